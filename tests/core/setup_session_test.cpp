// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/setup_session.h"

#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kor::core {
namespace {

using testing::TemporaryMachine;

constexpr std::string_view KorIni = "C:\\WINDOWS\\KOR.INI";

SetupSession startedOn(const TemporaryMachine& machine, std::string_view ini) {
    if (!ini.empty())
        machine.writeFile(KorIni, ini);
    SetupSession session;
    session.readAtStart();
    return session;
}

TEST(SetupSession, ADropRecordsTheSourceOfItsMode) {
    struct Case {
        std::string_view mode;
        LogoSlot slot;
        std::string dropped;
        DropResult result;
        std::string shown;
        std::string korIni; // the lines after "[SaveDir]\r\nArcCheck=..\r\n"
    };
    const Case cases[] = {
        {"on", LogoSlot::Opening, "C:\\LOGO\\README.TXT", DropResult::Recorded, "C:\\LOGO",
         "DirOnly=C:\\LOGO\r\n"},
        {"on", LogoSlot::Middle, "C:\\LOGO\\PIC.JPEG", DropResult::Recorded, "C:\\LOGO\\PIC.JPEG",
         "MDirOnly=C:\\LOGO\\PIC.JPEG\r\n"},
        // Characters, not bytes: "写" is three bytes of UTF-8.
        {"on", LogoSlot::Ending, "C:\\LOGO\\x.写", DropResult::Recorded, "C:\\LOGO\\x.写",
         "EDirOnly=C:\\LOGO\\x.\x8E\xCA\r\n"},
        {"on", LogoSlot::Ending, "C:\\LOGO\\表.BMP", DropResult::Recorded, "C:\\LOGO",
         "EDirOnly=C:\\LOGO\r\n"},
        {"on", LogoSlot::Opening, "C:\\", DropResult::Recorded, "C:\\", "DirOnly=C:\\\r\n"},
        {"off", LogoSlot::Middle, "D:\\logo1.LzH", DropResult::Recorded, "logo1.LzH",
         "MDir=D:\r\nMFileName=logo1.LzH\r\n"},
        {"off", LogoSlot::Opening, "D:\\OLDLZH", DropResult::Recorded, "OLDLZH",
         "Dir=D:\r\nFileName=OLDLZH\r\n"},
        {"off", LogoSlot::Ending, "D:\\ARC\\A.BMP", DropResult::NotAnArchive, "", ""},
        {"off", LogoSlot::Opening, "C:\\", DropResult::NotAnArchive, "", ""},
    };
    for (const Case& c : cases) {
        TemporaryMachine machine;
        const std::string ini = "[SaveDir]\r\nArcCheck=" + std::string(c.mode) + "\r\n";
        SetupSession session = startedOn(machine, ini);
        int told = 0;
        const SetupSession::Subscription watch(session, [&told] { ++told; });

        EXPECT_EQ(session.recordDroppedPath(c.slot, c.dropped).value(), c.result) << c.dropped;
        EXPECT_EQ(session.shownSource(c.slot), c.shown) << c.dropped;
        EXPECT_EQ(machine.readFile(KorIni), ini + c.korIni) << c.dropped;
        EXPECT_EQ(told, c.result == DropResult::Recorded ? 1 : 0) << c.dropped;
        EXPECT_EQ(session.settings.Dir, "C:\\WINDOWS\\") << "the start-up's value stays";
    }
}

// A KOR.INI that cannot be written (read-only, as Windows marks it) fails the
// change, and the session keeps what the file holds.
TEST(SetupSession, AKorIniThatCannotBeWrittenFailsTheChangeAndKeepsTheOldValues) {
    TemporaryMachine machine;
    SetupSession session = startedOn(machine, "[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\OLD\r\n");
    std::filesystem::permissions(machine.host(std::string(KorIni)),
                                 std::filesystem::perms::owner_read);
    EXPECT_FALSE(session.recordDroppedPath(LogoSlot::Opening, "C:\\NEW").ok());
    EXPECT_FALSE(session.clearSources().ok());
    EXPECT_EQ(session.shownSource(LogoSlot::Opening), "C:\\OLD");
    int told = 0;
    const SetupSession::Subscription watch(session, [&told] { ++told; });
    EXPECT_FALSE(session.choosePictureSource(PictureSource::Archive).ok());
    EXPECT_EQ(session.pictureSource(), PictureSource::Bmp);
    EXPECT_EQ(told, 0);
    EXPECT_FALSE(session.setFlag("pc98Check", true).ok());
    EXPECT_EQ(session.settings.pc98Check, "");
}

TEST(SetupSession, ClearingEmptiesTheNineSourcesInOneOrder) {
    TemporaryMachine machine;
    SetupSession session = startedOn(machine, "[SaveDir]\r\nEFileName=e.lzh\r\nDirOnly=C:\\P\r\n");
    int told = 0;
    const SetupSession::Subscription watch(session, [&told] { ++told; });

    ASSERT_TRUE(session.clearSources().ok());

    EXPECT_EQ(machine.readFile(KorIni),
              "[SaveDir]\r\nEFileName=\r\nDirOnly=\r\nDir=\r\nFileName=\r\nMDir=\r\n"
              "MFileName=\r\nEDir=\r\nMDirOnly=\r\nEDirOnly=\r\n");
    for (LogoSlot slot : AllLogoSlots)
        EXPECT_EQ(session.shownSource(slot), "");
    EXPECT_EQ(session.settings.EFileName, "");
    EXPECT_EQ(session.settings.DirOnly, "");
    EXPECT_EQ(session.settings.EDir, "C:\\WINDOWS\\") << "kept for the start-up only";
    EXPECT_EQ(told, 1);
}

TEST(SetupSession, TheModeIsInForceAtOnceAndWrittenOnlyWhenChosen) {
    TemporaryMachine machine;
    SetupSession session =
        startedOn(machine, "[SaveDir]\r\nArcCheck=ON\r\nDirOnly=C:\\P\r\nFileName=a.lzh\r\n");
    EXPECT_EQ(session.pictureSource(), PictureSource::Archive) << "only \"on\" is BMP mode";
    std::vector<std::string> shown;
    {
        const SetupSession::Subscription watch(
            session, [&] { shown.push_back(session.shownSource(LogoSlot::Opening)); });
        session.setPictureSource(PictureSource::Archive);
        EXPECT_EQ(session.settings.ArcCheck, "off");
        EXPECT_EQ(machine.readFile(KorIni).find("ArcCheck=ON"), 11u) << "nothing written yet";
        ASSERT_TRUE(session.choosePictureSource(PictureSource::Bmp).ok());
        EXPECT_EQ(session.filePattern(), "*.BMP");
    }
    session.setPictureSource(PictureSource::Archive);
    EXPECT_EQ(shown, (std::vector<std::string>{"a.lzh", "C:\\P"})) << "no word after the watch";
    EXPECT_EQ(machine.readFile(KorIni),
              "[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\P\r\nFileName=a.lzh\r\n");
}

} // namespace
} // namespace kor::core
