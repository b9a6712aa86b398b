// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive.h"
#include "core/logo.h"
#include "platform/files.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kor::core {
namespace {

using testing::TemporaryMachine;

Settings settingsFor(std::string windowsDirectory, std::string pc98Check = "",
                     std::string sizecheck = "") {
    Settings settings;
    settings.settingsDirectory = std::move(windowsDirectory);
    prepareSettingsPath(settings);
    settings.pc98Check = std::move(pc98Check);
    settings.sizecheck = std::move(sizecheck);
    return settings;
}

std::size_t entriesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

TEST(LogoLength, ExpectedLengthFollowsTheOptions) {
    struct Case {
        std::string pc98Check;
        std::string sizecheck;
        std::uint64_t expected;
    };
    for (const Case& c :
         {Case{"", "", 129078}, Case{"off", "off", 129078}, Case{"on", "", 128118},
          Case{"ON", "", 129078}, Case{"on", "on", 0}, Case{"", "on", 0}, Case{"", "ON", 129078}}) {
        const Settings settings = settingsFor("C:\\WINDOWS", c.pc98Check, c.sizecheck);
        EXPECT_EQ(expectedLogoLength(settings), c.expected)
            << "pc98Check=" << c.pc98Check << " sizecheck=" << c.sizecheck;
    }
}

TEST(LogoLength, OnlyTheExpectedLengthIsAccepted) {
    struct Case {
        std::string pc98Check;
        std::string sizecheck;
        std::uint64_t length;
        bool accepted;
    };
    for (const Case& c :
         {Case{"", "", 129078, true}, Case{"", "", 129077, false}, Case{"", "", 129079, false},
          Case{"", "", 128118, false}, Case{"on", "", 128118, true}, Case{"on", "", 129078, false},
          Case{"", "on", 0, true}, Case{"on", "on", 5, true}}) {
        const Settings settings = settingsFor("C:\\WINDOWS", c.pc98Check, c.sizecheck);
        EXPECT_EQ(isLogoLengthAccepted(settings, c.length), c.accepted)
            << c.length << " bytes, pc98Check=" << c.pc98Check << " sizecheck=" << c.sizecheck;
    }
}

TEST(LogoTargets, PathsFollowTheWindowsDirectory) {
    struct Case {
        std::string windowsDirectory;
        LogoSlot slot;
        std::string target;
    };
    for (const Case& c : {Case{"C:\\WINDOWS", LogoSlot::Opening, "C:\\logo.sys"},
                          Case{"C:\\WINDOWS", LogoSlot::Middle, "C:\\WINDOWS\\logow.sys"},
                          Case{"C:\\WINDOWS", LogoSlot::Ending, "C:\\WINDOWS\\logos.sys"},
                          Case{"E:\\WIN95\\", LogoSlot::Opening, "E:\\logo.sys"},
                          Case{"E:\\WIN95\\", LogoSlot::Ending, "E:\\WIN95\\logos.sys"}}) {
        const Settings settings = settingsFor(c.windowsDirectory);
        EXPECT_EQ(logoTargetPath(c.slot, settings), c.target);
    }
}

TEST(ExtractedCopy, NameIsTheLastPartOfTheMemberPath) {
    EXPECT_EQ(extractedCopyName("A.BMP"), "A.BMP");
    EXPECT_EQ(extractedCopyName("LOGOS\\SUB\\A.BMP"), "A.BMP");
    EXPECT_EQ(extractedCopyName("logos/表.bmp"), "表.bmp");
}

class LogoInstall : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.addDrive('D');
        machine.writePicture("D:\\PICS\\A.BMP", LogoLength, 1);
        machine.writePicture("C:\\logo.sys", LogoLength, 100);
        machine.writePicture("C:\\WINDOWS\\logow.sys", LogoLength, 101);
        machine.writePicture("C:\\WINDOWS\\logos.sys", LogoLength, 102);
        picture = machine.readFile("D:\\PICS\\A.BMP");
    }

    TemporaryMachine machine;
    Settings settings = settingsFor("C:\\WINDOWS");
    std::string picture;
};

TEST_F(LogoInstall, OpeningLogoComesFromAnotherDrive) {
    ASSERT_TRUE(installLogoFromFile(settings, LogoSlot::Opening, "D:\\PICS\\A.BMP").ok());
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), picture);
    EXPECT_EQ(machine.readFile("D:\\PICS\\A.BMP"), picture) << "the source stays";
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\A.BMP")) << "no staged copy is left";
}

TEST_F(LogoInstall, MiddleAndEndingLogosAreStagedInTheRoot) {
    for (LogoSlot slot : {LogoSlot::Middle, LogoSlot::Ending}) {
        ASSERT_TRUE(installLogoFromFile(settings, slot, "D:\\PICS\\A.BMP").ok());
        EXPECT_EQ(machine.readFile(logoTargetPath(slot, settings)), picture);
        EXPECT_FALSE(machine.exists("C:\\A.BMP"));
    }
    EXPECT_NE(machine.readFile("C:\\logo.sys"), picture) << "other slots are untouched";
}

TEST_F(LogoInstall, APictureNamedLikeTheLogoIsNotLost) {
    machine.writePicture("D:\\PICS\\logow.sys", LogoLength, 7);
    const std::string named = machine.readFile("D:\\PICS\\logow.sys");
    ASSERT_TRUE(installLogoFromFile(settings, LogoSlot::Middle, "D:\\PICS\\logow.sys").ok());
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), named);
}

TEST_F(LogoInstall, AUsersFileInTheStagingDirectoryIsNeverOverwritten) {
    machine.writeFile("C:\\WINDOWS\\A.BMP", "the user's own picture");
    machine.writeFile("C:\\A.BMP", "another file of the user");
    ASSERT_TRUE(installLogoFromFile(settings, LogoSlot::Opening, "D:\\PICS\\A.BMP").ok());
    ASSERT_TRUE(installLogoFromFile(settings, LogoSlot::Ending, "D:\\PICS\\A.BMP").ok());
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\A.BMP"), "the user's own picture");
    EXPECT_EQ(machine.readFile("C:\\A.BMP"), "another file of the user");
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), picture);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logos.sys"), picture);
}

TEST_F(LogoInstall, APictureAlreadyInItsStagingDirectoryInstalls) {
    machine.writePicture("C:\\WINDOWS\\B.BMP", LogoLength, 9);
    machine.writePicture("C:\\C.BMP", LogoLength, 10);
    const std::string b = machine.readFile("C:\\WINDOWS\\B.BMP");
    const std::string c = machine.readFile("C:\\C.BMP");
    ASSERT_TRUE(installLogoFromFile(settings, LogoSlot::Opening, "C:\\WINDOWS\\B.BMP").ok());
    ASSERT_TRUE(installLogoFromFile(settings, LogoSlot::Middle, "C:\\C.BMP").ok());
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), b);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\B.BMP"), b);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), c);
    EXPECT_EQ(machine.readFile("C:\\C.BMP"), c);
}

TEST_F(LogoInstall, ASlotWithoutALogoYetGetsOne) {
    std::filesystem::remove(machine.host("C:\\logo.sys"));
    ASSERT_TRUE(installLogoFromFile(settings, LogoSlot::Opening, "D:\\PICS\\A.BMP").ok());
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), picture);
}

TEST_F(LogoInstall, ALogoStoredInCapitalsIsReplacedNotDoubled) {
    std::filesystem::rename(machine.host("C:\\logo.sys"), machine.root() / "c" / "LOGO.SYS");
    ASSERT_TRUE(installLogoFromFile(settings, LogoSlot::Opening, "D:\\PICS\\A.BMP").ok());
    EXPECT_EQ(machine.readFile("C:\\LOGO.SYS"), picture);
    EXPECT_FALSE(std::filesystem::exists(machine.root() / "c" / "logo.sys"));
}

TEST_F(LogoInstall, AMissingPictureLeavesEverythingAsItWas) {
    const std::string oldLogo = machine.readFile("C:\\logo.sys");
    const auto installed = installLogoFromFile(settings, LogoSlot::Opening, "D:\\PICS\\GONE.BMP");
    ASSERT_FALSE(installed.ok());
    EXPECT_NE(installed.error().path().find("GONE.BMP"), std::string::npos)
        << installed.error().text();
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), oldLogo);
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\GONE.BMP"));
}

TEST_F(LogoInstall, AFailedFinalRenameKeepsTheOldLogoAndRemovesTheStagedCopy) {
    // A folder in the logo's place cannot be replaced by a file.
    std::filesystem::remove(machine.host("C:\\WINDOWS\\logos.sys"));
    std::filesystem::create_directories(machine.host("C:\\WINDOWS\\logos.sys") / "kept");
    const auto before = entriesIn(machine.root() / "c");
    const auto installed = installLogoFromFile(settings, LogoSlot::Ending, "D:\\PICS\\A.BMP");
    ASSERT_FALSE(installed.ok());
    EXPECT_TRUE(std::filesystem::exists(machine.host("C:\\WINDOWS\\logos.sys") / "kept"));
    EXPECT_EQ(entriesIn(machine.root() / "c"), before) << "no temporary copy is left";
}

TEST_F(LogoInstall, AnExtractedMemberTakesTheLogosPlace) {
    machine.writePicture("C:\\WINDOWS\\~KOR0001.TMP\\M.BMP", LogoLength, 3);
    const std::string member = machine.readFile("C:\\WINDOWS\\~KOR0001.TMP\\M.BMP");
    for (LogoSlot slot : AllLogoSlots) {
        machine.writeFile("C:\\WINDOWS\\~KOR0001.TMP\\M.BMP", member);
        ASSERT_TRUE(
            installLogoFromExtracted(settings, slot, "C:\\WINDOWS\\~KOR0001.TMP\\M.BMP").ok());
        EXPECT_EQ(machine.readFile(logoTargetPath(slot, settings)), member);
        EXPECT_FALSE(machine.exists("C:\\WINDOWS\\~KOR0001.TMP\\M.BMP"));
    }
}

TEST_F(LogoInstall, AMissingExtractedCopyKeepsTheOldLogo) {
    const std::string oldLogo = machine.readFile("C:\\WINDOWS\\logow.sys");
    EXPECT_FALSE(
        installLogoFromExtracted(settings, LogoSlot::Middle, "C:\\WINDOWS\\NONE.BMP").ok());
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), oldLogo);
}

} // namespace
} // namespace kor::core
