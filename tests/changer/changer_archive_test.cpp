// SPDX-License-Identifier: GPL-3.0-or-later
#include "changer_run.h"

#include "core/logo.h"
#include "lzh_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>

namespace kor::testing {
namespace {

using core::LogoLength;

std::string picture(char fill, std::size_t length = LogoLength) {
    return withBitmapStart(std::string(length, fill));
}

class ChangerArchiveMode : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.writeFile("C:\\logo.sys", picture('o'));
        machine.writeFile("C:\\WINDOWS\\logow.sys", picture('m'));
        machine.writeFile("C:\\WINDOWS\\logos.sys", picture('e'));
        oldLogos = logos();
    }

    std::map<std::string, std::string> logos() const {
        return {{"opening", machine.readFile("C:\\logo.sys")},
                {"middle", machine.readFile("C:\\WINDOWS\\logow.sys")},
                {"ending", machine.readFile("C:\\WINDOWS\\logos.sys")}};
    }

    void writeArchive(const std::string& path, const std::vector<LzhMember>& members) {
        machine.writeFile(path, makeLzhArchive(members));
    }

    // Runs KOR, remembering every path of the machine before.
    ProgramRun runKor() {
        m_treeBefore = treeOf(machine);
        return runChanger(machine);
    }

    // The last run left no file or folder behind, not even a temporary one.
    void expectNoCopiesLeft() { EXPECT_EQ(treeOf(machine), m_treeBefore); }

    TemporaryMachine machine;
    std::map<std::string, std::string> oldLogos;
    std::set<std::string> m_treeBefore;
};

TEST_F(ChangerArchiveMode, OnlyTheConfiguredSlotChanges) {
    writeArchive("C:\\ARC\\MID.LZH", {{"M1.BMP", picture('1')}});
    writeSettings(machine, "ArcCheck=off\nFileName=\nMDir=C:\\ARC\nMFileName=MID.LZH");
    const auto run = runKor();
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), picture('1'));
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), oldLogos["opening"]);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logos.sys"), oldLogos["ending"]);
    expectNoCopiesLeft();
    EXPECT_TRUE(machine.exists("C:\\ARC\\MID.LZH"));
}

TEST_F(ChangerArchiveMode, EveryMemberIsDrawnOverManyRuns) {
    writeArchive("C:\\ARC\\ALL.LZH", {{"A.BMP", picture('a')},
                                      {"B.BMP", picture('b')},
                                      {"\x83\x8D\x83\x53 \x95\x5C.BMP", picture('c')}});
    writeSettings(machine, "Dir=C:\\ARC\nFileName=ALL.LZH");
    std::set<std::string> chosen;
    for (int run = 0; run < 40; ++run) {
        const auto result = runKor();
        ASSERT_EQ(result.exitStatus, 0) << result.standardError;
        chosen.insert(machine.readFile("C:\\logo.sys"));
    }
    EXPECT_EQ(chosen, (std::set<std::string>{picture('a'), picture('b'), picture('c')}));
    expectNoCopiesLeft();
}

TEST_F(ChangerArchiveMode, ArchivesDefaultToTheWindowsDirectory) {
    writeArchive("C:\\WINDOWS\\END.LZH", {{"SUB\\E.BMP", picture('x')}});
    writeSettings(machine, "EFileName=END.LZH");
    const auto run = runKor();
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logos.sys"), picture('x'));
    expectNoCopiesLeft();
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\SUB"));
}

// A member the library does not decode leaves its logo as it is, and says why:
// -lh2- and -lh3- have no decoder, PMA's stored method is another archiver's.
TEST_F(ChangerArchiveMode, AMethodThatIsNotDecodedIsNamed) {
    for (const std::string method : {"-lh2-", "-lh3-", "-pm0-"}) {
        writeArchive("C:\\ARC\\M.LZH",
                     {{.storedName = "M.BMP", .data = picture('m'), .method = method}});
        writeSettings(machine, "Dir=C:\\ARC\nFileName=M.LZH");
        const auto run = runKor();
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        EXPECT_EQ(unchangedLogos(run), std::vector<std::string>{"logo.sys"}) << run.standardError;
        EXPECT_NE(run.standardError.find(method), std::string::npos) << run.standardError;
        expectNoCopiesLeft();
    }
}

TEST_F(ChangerArchiveMode, WrongSizesAndEmptyArchivesSkipOnlyTheirSlot) {
    writeArchive("C:\\ARC\\SMALL.LZH", {{"S.BMP", picture('s', 1000)}});
    writeArchive("C:\\ARC\\EMPTY.LZH", {});
    writeArchive("C:\\ARC\\GOOD.LZH", {{"G.BMP", picture('g')}});
    writeSettings(machine, "Dir=C:\\ARC\nFileName=SMALL.LZH\nMDir=C:\\ARC\nMFileName=EMPTY.LZH\n"
                           "EDir=C:\\ARC\nEFileName=GOOD.LZH");
    const auto run = runKor();
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(unchangedLogos(run), (std::vector<std::string>{"logo.sys", "logow.sys"}));
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), oldLogos["opening"]);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), oldLogos["middle"]);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logos.sys"), picture('g'));
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\S.BMP")) << "a refused member is never extracted";
}

TEST_F(ChangerArchiveMode, ThePc98OptionAcceptsOnlyPc98Pictures) {
    writeArchive("C:\\ARC\\PC98.LZH", {{"P.BMP", picture('p', core::Pc98LogoLength)}});
    writeArchive("C:\\ARC\\AT.LZH", {{"A.BMP", picture('a')}});
    writeSettings(machine, "pc98Check=on\nDir=C:\\ARC\nFileName=PC98.LZH\nMDir=C:\\ARC\n"
                           "MFileName=AT.LZH");
    EXPECT_EQ(runKor().exitStatus, 0);
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), picture('p', core::Pc98LogoLength));
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), oldLogos["middle"]);
}

TEST_F(ChangerArchiveMode, ARefusedArchiveEndsTheRunAfterItsMessage) {
    writeArchive("C:\\ARC\\GOOD.LZH", {{"G.BMP", picture('g')}});
    machine.writeFile("C:\\ARC\\FAKE.LZH", "plain text");
    writeSettings(machine, "Dir=C:\\ARC\nFileName=FAKE.LZH\nMDir=C:\\ARC\nMFileName=GOOD.LZH\n"
                           "EDir=C:\\ARC\nEFileName=GOOD.LZH");
    const auto run = runKor();
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("正しいLHarcﾌｧｲﾙではありません"), std::string::npos)
        << run.standardError;
    EXPECT_EQ(logos(), oldLogos) << "later slots are not handled";
}

// Folders are left out, so a path that climbs out of the Windows directory
// brings only its picture, and nothing lands anywhere else.
TEST_F(ChangerArchiveMode, AMemberThatClimbsOutBringsOnlyItsPicture) {
    writeArchive("C:\\ARC\\EVIL.LZH", {{"..\\..\\EVIL.BMP", picture('v')}});
    writeSettings(machine, "sizecheck=on\nDir=C:\\ARC\nFileName=EVIL.LZH");
    const auto run = runKor();
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(machine.readFile("C:\\logo.sys") == picture('v'));
    expectNoCopiesLeft();
    EXPECT_FALSE(std::filesystem::exists(machine.root().parent_path() / "EVIL.BMP"));
}

// Names that a command line could split, quote, read as a switch or expand,
// in every part of the name: whichever member is drawn, it alone is written,
// and it becomes the logo or is refused with a note.
TEST_F(ChangerArchiveMode, OnlyTheDrawnMemberIsEverWritten) {
    const std::vector<std::string> names = {
        "TAB\t*\\T1.BMP", "Q\" *\\T2.BMP", "\"\t\"\\T3.BMP", "*\\T4.BMP", "-jf0\\T5.BMP",
        "@X\\-T6.BMP",    "? ?\\T7.BMP",   "T8 \".BMP",      "T9\t.BMP",  "*",
        "WININIT.INI",    "-T10.BMP",      "\" *",           "A.BMP",     "a.bmp"};
    std::vector<LzhMember> members;
    std::set<std::string> writable;
    for (std::size_t i = 0; i < names.size(); ++i) {
        members.push_back({names[i], picture(static_cast<char>('A' + i), 100 + i)});
        const std::string written = names[i].substr(names[i].find_last_of('\\') + 1);
        if (written.find_first_of("*?\"\t") == std::string::npos)
            writable.insert(members.back().data);
    }
    writeArchive("C:\\ARC\\-NAMES.LZH", members);
    writeSettings(machine, "sizecheck=on\nDir=C:\\ARC\nFileName=-NAMES.LZH");
    std::set<std::string> installed;
    for (int i = 0; i < 60; ++i) {
        const auto run = runKor();
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
        const std::string logo = machine.readFile("C:\\logo.sys");
        EXPECT_TRUE(logo == oldLogos["opening"] || writable.contains(logo)) << logo.size();
        // Members of a few bytes are no bitmaps: installed, they are noted.
        EXPECT_EQ(unchangedLogos(run),
                  std::vector<std::string>{logo == oldLogos["opening"]
                                               ? "logo.sys"
                                               : "logo.sys" + std::string(NotShown)})
            << run.standardError;
        installed.insert(logo);
        machine.writeFile("C:\\logo.sys", oldLogos["opening"]);
        expectNoCopiesLeft();
    }
    EXPECT_GT(installed.size(), 5u);
}

// Neither a file of the Windows directory of the member's name nor a copy
// left by a run that died stands in a picture's way, and neither is touched.
TEST_F(ChangerArchiveMode, NoFileInTheWindowsDirectoryBlocksAPicture) {
    machine.writeFile("C:\\WINDOWS\\SETUP.BMP", "Windows' own");
    machine.writeFile("C:\\WINDOWS\\~KORAB12.TMP\\SETUP.BMP", "left by a run that died");
    const auto stale = machine.host("C:\\WINDOWS\\~KORAB12.TMP");
    std::filesystem::last_write_time(stale, std::filesystem::last_write_time(stale) -
                                                std::chrono::hours(1));
    writeArchive("C:\\ARC\\PACK.LZH", {{"SETUP.BMP", picture('s')}});
    writeArchive("C:\\ARC\\WAIT.LZH", {{"LOGOW.SYS", picture('w')}});
    writeSettings(machine, "Dir=C:\\ARC\nFileName=PACK.LZH\nMDir=C:\\ARC\nMFileName=WAIT.LZH");
    const auto run = runKor();
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(machine.readFile("C:\\logo.sys") == picture('s'));
    EXPECT_TRUE(machine.readFile("C:\\WINDOWS\\logow.sys") == picture('w'));
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\SETUP.BMP"), "Windows' own");
    EXPECT_FALSE(std::filesystem::exists(stale)) << "the stale copy is cleared";
}

// A disk that takes no more: the run ends with the report, as in BMP mode,
// and leaves the machine as it was.
TEST_F(ChangerArchiveMode, ADiskThatCannotBeWrittenEndsTheRun) {
    writeArchive("C:\\ARC\\A.LZH", {{"A.BMP", picture('a')}});
    writeSettings(machine, "Dir=C:\\ARC\nFileName=A.LZH");
    const std::map<std::string, std::string> environment{{"KOR_ROOT", machine.root().string()}};
    // Files of at most 64 KiB, and a write beyond that fails instead of
    // ending the program.
    m_treeBefore = treeOf(machine);
    const auto run = runProgram("/bin/bash", environment,
                                {"-c", "trap '' XFSZ; ulimit -f 64; exec \"$0\"", KOR_PROGRAM});
    EXPECT_EQ(run.exitStatus, 1) << run.standardError;
    EXPECT_NE(run.standardError.find("A.BMP"), std::string::npos) << run.standardError;
    EXPECT_EQ(logos(), oldLogos);
    expectNoCopiesLeft();
}

TEST_F(ChangerArchiveMode, ABareDriveNamesItsRootNotTheCurrentDirectory) {
    writeArchive("C:\\ARC\\A.LZH", {{"A.BMP", picture('a')}});
    writeArchive("C:\\ROOT.LZH", {{"R.BMP", picture('r')}});
    // The opening logo leaves C:'s current directory at C:\ARC.
    writeSettings(machine, "Dir=C:\\ARC\nFileName=A.LZH\nMDir=C:\nMFileName=ROOT.LZH");
    const auto run = runKor();
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), picture('a'));
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), picture('r'));
}

TEST_F(ChangerArchiveMode, AMissingArchiveFolderEndsTheRunAndNamesIt) {
    writeSettings(machine, "Dir=C:\\NOWHERE\nFileName=A.LZH");
    const auto run = runKor();
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("C:\\NOWHERE"), std::string::npos) << run.standardError;
    EXPECT_EQ(logos(), oldLogos);
}

} // namespace
} // namespace kor::testing
