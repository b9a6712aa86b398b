#include "changer_run.h"

#include "core/logo.h"
#include "lzh_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace kor::testing {
namespace {

using core::LogoLength;

std::string picture(char fill, std::size_t length = LogoLength) {
    std::string bytes(length, fill);
    bytes[0] = 'B';
    bytes[1] = 'M';
    return bytes;
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
