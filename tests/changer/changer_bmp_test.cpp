// SPDX-License-Identifier: GPL-3.0-or-later
#include "changer_run.h"
#include "foreign_tree.h"

#include "core/logo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace kor::testing {
namespace {

using core::LogoLength;
using core::Pc98LogoLength;

class ChangerBmpMode : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.writePicture("C:\\logo.sys", LogoLength, 100);
        machine.writePicture("C:\\WINDOWS\\logow.sys", LogoLength, 101);
        machine.writePicture("C:\\WINDOWS\\logos.sys", LogoLength, 102);
        oldLogos = logos();
    }

    std::map<std::string, std::string> logos() const {
        return {{"opening", machine.readFile("C:\\logo.sys")},
                {"middle", machine.readFile("C:\\WINDOWS\\logow.sys")},
                {"ending", machine.readFile("C:\\WINDOWS\\logos.sys")}};
    }

    // The pictures of a folder, by content, for telling which one was installed.
    std::map<std::string, std::string> picturesIn(const std::string& folder, int count,
                                                  std::uint64_t length = LogoLength) {
        std::map<std::string, std::string> byContent;
        for (int i = 0; i < count; ++i) {
            const std::string path = folder + "\\PIC" + std::to_string(i) + ".BMP";
            machine.writePicture(path, length, static_cast<unsigned>(i + 1));
            byContent[machine.readFile(path)] = path;
        }
        return byContent;
    }

    // A run to its end that says only which logos it left as they were.
    void expectCleanRun(const ProgramRun& run, std::vector<std::string> unchanged = {}) {
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        EXPECT_EQ(unchangedLogos(run), unchanged) << run.standardError;
    }

    TemporaryMachine machine;
    std::map<std::string, std::string> oldLogos;
};

TEST_F(ChangerBmpMode, EveryPictureOfTheFolderIsChosenOverManyRuns) {
    const auto pictures = picturesIn("C:\\PICS", 3);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS\nMDirOnly=\nEDirOnly=");
    std::set<std::string> chosen;
    for (int run = 0; run < 40; ++run) {
        expectCleanRun(runChanger(machine));
        const std::string logo = machine.readFile("C:\\logo.sys");
        ASSERT_TRUE(pictures.contains(logo)) << "the logo is one of the folder's pictures";
        chosen.insert(pictures.at(logo));
    }
    EXPECT_EQ(chosen.size(), 3u);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), oldLogos["middle"]);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logos.sys"), oldLogos["ending"]);
    for (const auto& [content, path] : pictures) {
        EXPECT_EQ(machine.readFile(path), content) << "the source pictures stay";
        EXPECT_FALSE(machine.exists("C:\\WINDOWS\\" + path.substr(path.rfind('\\') + 1)));
    }
}

TEST_F(ChangerBmpMode, HiddenFilesAreNeverChosen) {
    const auto pictures = picturesIn("C:\\PICS", 1);
    machine.writePicture("C:\\PICS\\.hidden.bmp", LogoLength, 50);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS");
    for (int run = 0; run < 15; ++run) {
        expectCleanRun(runChanger(machine));
        EXPECT_EQ(pictures.at(machine.readFile("C:\\logo.sys")), "C:\\PICS\\PIC0.BMP");
    }
}

TEST_F(ChangerBmpMode, SameFolderForTwoSlotsDrawsTwice) {
    const auto pictures = picturesIn("C:\\PICS", 4);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS\nMDirOnly=C:\\pics");
    bool differed = false;
    for (int run = 0; run < 20 && !differed; ++run) {
        expectCleanRun(runChanger(machine));
        const auto now = logos();
        ASSERT_TRUE(pictures.contains(now.at("opening")));
        ASSERT_TRUE(pictures.contains(now.at("middle")));
        differed = now.at("opening") != now.at("middle");
    }
    EXPECT_TRUE(differed) << "two slots never got different pictures in 20 runs";
}

TEST_F(ChangerBmpMode, CapitalOnMeansArchiveModeAndNothingChanges) {
    picturesIn("C:\\PICS", 2);
    writeSettings(machine, "ArcCheck=ON\nDirOnly=C:\\PICS");
    expectCleanRun(runChanger(machine));
    EXPECT_EQ(logos(), oldLogos);
}

TEST_F(ChangerBmpMode, WithoutKorIniNothingChanges) {
    expectCleanRun(runChanger(machine));
    EXPECT_EQ(logos(), oldLogos);
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\KOR.INI")) << "KOR never writes KOR.INI";
}

// Opened, a FIFO would hold the run, a boot script's too, waiting for a
// writer that never comes.
TEST_F(ChangerBmpMode, AKorIniThatIsAFifoIsReportedNotWaitedFor) {
    ASSERT_EQ(::mkfifo(machine.host("C:\\WINDOWS\\KOR.INI").c_str(), 0644), 0);
    const auto run = runProgram("/usr/bin/timeout",
                                {{"KOR_ROOT", machine.root().string()}, {"WINDIR", "C:\\WINDOWS"}},
                                {"20", KOR_PROGRAM});
    EXPECT_NE(run.exitStatus, 124) << "the run waited";
    EXPECT_NE(run.standardError.find("C:\\WINDOWS\\KOR.INI\nこのﾌｧｲﾙを読み込めません。"),
              std::string::npos)
        << run.standardError;
    EXPECT_EQ(logos(), oldLogos);
}

TEST_F(ChangerBmpMode, LengthRuleFollowsTheOptions) {
    // Without the size check a picture of any length is installed, with a note
    // when the machine cannot show it.
    enum Outcome { Installed, InstalledNotShown, Refused };
    struct Case {
        std::string options;
        std::uint64_t length;
        Outcome outcome;
    };
    for (const Case& c :
         {Case{"", LogoLength, Installed}, Case{"", LogoLength - 1, Refused},
          Case{"", LogoLength + 1, Refused}, Case{"pc98Check=on", Pc98LogoLength, Installed},
          Case{"pc98Check=on", LogoLength, Refused}, Case{"pc98Check=ON", LogoLength, Installed},
          Case{"sizecheck=on", 11, InstalledNotShown}, Case{"sizecheck=on", LogoLength, Installed},
          Case{"sizecheck=on\npc98Check=on", 0, InstalledNotShown},
          Case{"sizecheck=on", core::LargestPictureLength + 1, Refused}}) {
        std::filesystem::remove_all(machine.host("C:\\PICS"));
        const auto pictures = picturesIn("C:\\PICS", 1, c.length);
        writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS\n" + c.options);
        machine.writePicture("C:\\logo.sys", LogoLength, 100);
        const std::vector<std::string> said[] = {
            {}, {"logo.sys" + std::string(NotShown)}, {"logo.sys"}};
        expectCleanRun(runChanger(machine), said[c.outcome]);
        const bool installed = c.outcome != Refused;
        EXPECT_EQ(pictures.contains(machine.readFile("C:\\logo.sys")), installed)
            << c.options << " with a picture of " << c.length << " bytes";
    }
}

TEST_F(ChangerBmpMode, ATextFileBecomesTheLogoWithoutTheSizeCheck) {
    machine.writeFile("C:\\PICS\\README.TXT", "not a picture at all");
    writeSettings(machine, "ArcCheck=on\nsizecheck=on\nEDirOnly=C:\\PICS");
    expectCleanRun(runChanger(machine), {"logos.sys" + std::string(NotShown)});
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logos.sys"), "not a picture at all");
}

TEST_F(ChangerBmpMode, ARefusedOrEmptyFolderSkipsOnlyItsSlot) {
    picturesIn("C:\\WRONG", 1, 1000);
    std::filesystem::create_directories(machine.host("C:\\EMPTY\\SUB"));
    const auto pictures = picturesIn("C:\\PICS", 1);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\WRONG\nMDirOnly=C:\\EMPTY\nEDirOnly=C:\\PICS");
    expectCleanRun(runChanger(machine), {"logo.sys", "logow.sys"});
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), oldLogos["opening"]);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), oldLogos["middle"]);
    EXPECT_TRUE(pictures.contains(machine.readFile("C:\\WINDOWS\\logos.sys")));
}

// A picture of the logo's length passes the size check and is installed as
// before, but one whose headers Windows 95 refuses gets a note saying why.
TEST_F(ChangerBmpMode, APictureWindowsCannotShowIsInstalledWithANote) {
    struct Case {
        const char* what;
        std::size_t at; // a header field, four bytes
        std::uint32_t value;
        std::string reasons;
    };
    const Case cases[] = {
        {"twice as wide", 18, 640,
         "幅が 640 ドットです (320 ドットでなければなりません)。"
         "画像データが途中で切れています (128000 バイト不足)。"},
        {"run-length encoded", 30, 1, "画像が圧縮されています (方式 1)。"},
    };
    for (const Case& c : cases) {
        machine.writePicture("C:\\壁紙\\A.BMP", LogoLength, 3);
        std::string picture = machine.readFile("C:\\壁紙\\A.BMP");
        for (std::size_t i = 0; i < 4; ++i)
            picture[c.at + i] = static_cast<char>(c.value >> (8 * i) & 0xFF);
        machine.writeFile("C:\\壁紙\\A.BMP", picture);
        writeSettings(machine, "ArcCheck=on\nMDirOnly=C:\\\x95\xC7\x8E\x86");
        const auto run = runChanger(machine);
        EXPECT_EQ(run.exitStatus, 0) << c.what;
        EXPECT_EQ(run.standardError,
                  "KOR: logow.sys を C:\\壁紙\\A.BMP に変更しましたが、Windows 95 "
                  "のロゴとして表示できない可能性があります。" +
                      c.reasons + "\n")
            << c.what;
        EXPECT_TRUE(machine.readFile("C:\\WINDOWS\\logow.sys") == picture) << c.what;
    }
}

TEST_F(ChangerBmpMode, PicturesAndWindowsOnDifferentDrives) {
    TemporaryMachine other("E:\\WIN95");
    other.addDrive('D');
    other.writePicture("E:\\logo.sys", LogoLength, 100);
    other.writePicture("D:\\LOGOS\\壁紙\\富士.BMP", LogoLength, 7);
    const std::string picture = other.readFile("D:\\LOGOS\\壁紙\\富士.BMP");
    // The Windows directory's KOR.INI names the Japanese folder in Shift-JIS.
    other.writeFile("E:\\WIN95\\KOR.INI",
                    "[SaveDir]\r\nArcCheck=on\r\nDirOnly=D:\\LOGOS\\\x95\xC7\x8E\x86\r\n"
                    "EDirOnly=d:\\logos\\\x95\xC7\x8E\x86\r\n");
    const auto run = runChanger(other, "E:\\WIN95");
    expectCleanRun(run);
    EXPECT_EQ(other.readFile("E:\\logo.sys"), picture);
    EXPECT_EQ(other.readFile("E:\\WIN95\\logos.sys"), picture);
    EXPECT_FALSE(std::filesystem::exists(other.root() / "c" / "logo.sys"));
    EXPECT_EQ(other.readFile("D:\\LOGOS\\壁紙\\富士.BMP"), picture);
}

TEST_F(ChangerBmpMode, AMissingFolderEndsTheRunAndNamesIt) {
    const auto pictures = picturesIn("C:\\PICS", 1);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS\nMDirOnly=C:\\GONE\nEDirOnly=C:\\PICS");
    const auto run = runChanger(machine);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("C:\\GONE"), std::string::npos) << run.standardError;
    EXPECT_TRUE(pictures.contains(machine.readFile("C:\\logo.sys"))) << "done before the fault";
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), oldLogos["middle"]);
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logos.sys"), oldLogos["ending"]) << "not reached";
}

// As a boot script runs it: as root on a tree of another user, whose links to
// root's files count as absent, the folder link as a missing folder.
TEST_F(ChangerBmpMode, ForeignLinksNeverBringRootsFilesIn) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the tree to another user needs root";
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS\nMDirOnly=C:\\ETC");
    const ForeignTree tree = makeForeignTree(machine);
    for (int run = 0; run < 12; ++run) {
        const auto done = runChanger(machine);
        EXPECT_EQ(done.exitStatus, 1);
        EXPECT_NE(done.standardError.find("C:\\ETC"), std::string::npos) << done.standardError;
        const std::string logo = machine.readFile("C:\\logo.sys");
        EXPECT_TRUE(logo == tree.picture || logo == tree.own) << "never the secret";
        EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), oldLogos["middle"]);
    }
}

// KOR_ROOT as the README writes it, relative to the folder the run starts in,
// although the run changes its working folder to the current drive.
TEST_F(ChangerBmpMode, ARelativeRootNamesTheFolderTheRunStartedIn) {
    const auto pictures = picturesIn("C:\\PICS", 1);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS");
    const std::filesystem::path started = std::filesystem::current_path();
    std::filesystem::current_path(machine.root().parent_path());
    const auto run = runProgram(
        KOR_PROGRAM, {{"KOR_ROOT", machine.root().filename().string()}, {"WINDIR", "C:\\WINDOWS"}});
    std::filesystem::current_path(started);
    expectCleanRun(run);
    EXPECT_TRUE(pictures.contains(machine.readFile("C:\\logo.sys")));
}

// A display that is set but does not answer: the report goes to standard
// error instead of being lost with the toolkit.
TEST_F(ChangerBmpMode, AReportReachesStandardErrorWhenTheDisplayIsDead) {
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\GONE");
    const std::map<std::string, std::string> deadDisplays[] = {
        {{"DISPLAY", ":73"}},
        {{"DISPLAY", "127.0.0.1:73"}},
        {{"DISPLAY", "no-such-host.invalid:0"}},
        {{"DISPLAY", "localhost:99999999999"}},
        {{"WAYLAND_DISPLAY", "wayland-73"}, {"XDG_RUNTIME_DIR", machine.root().string()}}};
    for (const auto& display : deadDisplays) {
        auto environment = display;
        environment["KOR_ROOT"] = machine.root().string();
        const auto run = runProgram(KOR_PROGRAM, environment);
        EXPECT_EQ(run.exitStatus, 1) << display.begin()->second;
        EXPECT_NE(run.standardError.find("C:\\GONE"), std::string::npos) << run.standardError;
    }
}

TEST_F(ChangerBmpMode, AKorIniSavedAsUtf8IsReadAsUtf8WithANote) {
    const auto pictures = picturesIn("C:\\壁紙", 2);
    machine.writeFile("C:\\WINDOWS\\KOR.INI",
                      "\xEF\xBB\xBF[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\n");
    const auto run = runChanger(machine);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(pictures.contains(machine.readFile("C:\\logo.sys")));
    EXPECT_NE(run.standardError.find("Shift-JIS"), std::string::npos) << run.standardError;
}

// Faults of the set-up itself end the run with a report that names what to
// mend.
TEST_F(ChangerBmpMode, SetUpFaultsNameWhatToMend) {
    struct Case {
        std::string settings;
        std::string named;
    };
    const std::string longFolder = "C:\\" + std::string(300, 'L');
    for (const Case& c : {Case{"ArcCheck=off\nDir=\nFileName=A.LZH", "[SaveDir] Dir="},
                          Case{"ArcCheck=on\nDirOnly=" + longFolder, "長すぎます"},
                          Case{"ArcCheck=on\nMDirOnly=C:\\GONE", "C:\\GONE"}}) {
        writeSettings(machine, c.settings);
        const auto run = runChanger(machine);
        EXPECT_EQ(run.exitStatus, 1) << c.settings;
        EXPECT_NE(run.standardError.find(c.named), std::string::npos) << run.standardError;
        EXPECT_TRUE(logos() == oldLogos);
    }
    const auto noMachine =
        runProgram(KOR_PROGRAM, {{"KOR_ROOT", (machine.root() / "nowhere").string()}});
    EXPECT_EQ(noMachine.exitStatus, 1);
    EXPECT_NE(noMachine.standardError.find("KOR_ROOT"), std::string::npos)
        << noMachine.standardError;
}

// Files unpacked on the host from old Japanese archives keep CP932 names,
// whose trail byte may be 0x5C: each is one name, never split at that byte.
TEST_F(ChangerBmpMode, HostFilesNamedInCp932AreWholeNames) {
    const std::filesystem::path folder = machine.root() / "c" / "\x83\x5C\x83\x74\x83\x67";
    std::filesystem::create_directories(folder);
    const std::string picture = withBitmapStart(std::string(LogoLength, 's'));
    std::ofstream(folder / "\x95\x5C.BMP", std::ios::binary) << picture;
    // KOR.INI names the folder in CP932, as Windows writes it: "ソフト".
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\\x83\x5C\x83\x74\x83\x67\n"
                           "EDirOnly=c:\\\x83\x5C\x83\x74\x83\x67");
    const auto run = runChanger(machine);
    expectCleanRun(run);
    EXPECT_TRUE(machine.readFile("C:\\logo.sys") == picture);
    EXPECT_TRUE(machine.readFile("C:\\WINDOWS\\logos.sys") == picture);
}

TEST_F(ChangerBmpMode, AnUnmappedDriveEndsTheRunAndNamesIt) {
    writeSettings(machine, "ArcCheck=on\nDirOnly=Q:\\PICS");
    const auto run = runChanger(machine);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("Q:"), std::string::npos) << run.standardError;
    EXPECT_EQ(logos(), oldLogos);
}

TEST_F(ChangerBmpMode, AWindowsDirectoryOnAnUnmappedDriveIsReported) {
    const auto run = runChanger(machine, "M:\\WINDOWS");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("M:\\WINDOWS"), std::string::npos) << run.standardError;
    EXPECT_EQ(logos(), oldLogos);
}

TEST_F(ChangerBmpMode, AReadOnlyLogoIsKeptAndReported) {
    const auto pictures = picturesIn("C:\\PICS", 1);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS\nMDirOnly=C:\\PICS");
    ::chmod(machine.host("C:\\logo.sys").c_str(), 0444);
    const auto run = runChanger(machine);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("C:\\logo.sys"), std::string::npos) << run.standardError;
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), oldLogos["opening"]);
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\PIC0.BMP")) << "the staged copy is removed";
    EXPECT_EQ(machine.readFile("C:\\WINDOWS\\logow.sys"), oldLogos["middle"]);
}

TEST_F(ChangerBmpMode, AnUnreadablePictureEndsTheRunAndKeepsTheOldLogo) {
    picturesIn("C:\\PICS", 1);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS");
    std::filesystem::permissions(machine.host("C:\\PICS\\PIC0.BMP"), std::filesystem::perms::none);
    const auto run = runChangerWithoutPrivileges(machine);
    EXPECT_EQ(run.exitStatus, 1) << run.standardError;
    EXPECT_NE(run.standardError.find("C:\\PICS\\PIC0.BMP"), std::string::npos) << run.standardError;
    EXPECT_NE(run.standardError.find("アクセスが拒否されました"), std::string::npos)
        << run.standardError;
    EXPECT_EQ(machine.readFile("C:\\logo.sys"), oldLogos["opening"]);
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\PIC0.BMP")) << "no partial copy is left";
}

// A folder below one that may not be searched is there for all the user knows:
// the run says that access is denied, not that the path does not exist.
TEST_F(ChangerBmpMode, AFolderThatMayNotBeSearchedIsDeniedNotMissing) {
    picturesIn("C:\\PICS\\SUB", 1);
    writeSettings(machine, "ArcCheck=on\nDirOnly=C:\\PICS\\SUB");
    const auto run = runChangerWithoutPrivileges(machine, {}, {machine.host("C:\\PICS")});
    std::filesystem::permissions(machine.host("C:\\PICS"), std::filesystem::perms::owner_all);
    EXPECT_EQ(run.exitStatus, 1) << run.standardError;
    EXPECT_NE(
        run.standardError.find("C:\\PICS\\SUB\nこのﾌｫﾙﾀﾞを開けません。アクセスが拒否されました。"),
        std::string::npos)
        << run.standardError;
    EXPECT_EQ(logos(), oldLogos);
}

TEST_F(ChangerBmpMode, InvalidShiftJisInKorIniIsReportedAndTheRestIsNotGuessed) {
    picturesIn("C:\\PICS", 1);
    machine.writeFile("C:\\WINDOWS\\KOR.INI",
                      "[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\\x81\x20\r\nEDirOnly=C:\\PICS\r\n");
    const auto run = runChanger(machine);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.standardError.find("KOR.INI"), std::string::npos) << run.standardError;
    EXPECT_EQ(logos(), oldLogos);
}

struct HostileValue {
    const char* key;
    const char* settings; // "@" stands for a host folder full of pictures
};

class ChangerHostileKorIni : public ChangerBmpMode,
                             public ::testing::WithParamInterface<HostileValue> {};

// KOR.INI names only the emulated machine: a value reaching a host folder, or
// hiding a terminal escape, ends the run before any logo changes.
TEST_P(ChangerHostileKorIni, EndsTheRunNamingTheKey) {
    picturesIn("C:\\PICS", 1);
    const std::filesystem::path outside = machine.root() / "outside";
    std::filesystem::copy(machine.host("C:\\PICS"), outside);
    std::string settings = GetParam().settings;
    if (const auto at = settings.find('@'); at != std::string::npos)
        settings.replace(at, 1, outside.string());
    writeSettings(machine, settings);

    const auto run = runChanger(machine);

    EXPECT_EQ(run.exitStatus, 1) << run.standardError;
    EXPECT_NE(run.standardError.find(std::string("] ") + GetParam().key + "="), std::string::npos)
        << run.standardError;
    EXPECT_EQ(run.standardError.find_first_of("\x01\x07\x1B"), std::string::npos)
        << "control characters reach the terminal escaped";
    EXPECT_EQ(logos(), oldLogos);
}

INSTANTIATE_TEST_SUITE_P(
    ChangerBmpMode, ChangerHostileKorIni,
    ::testing::Values(HostileValue{"DirOnly", "ArcCheck=on\nDirOnly=@"},
                      HostileValue{"MDirOnly", "ArcCheck=on\nDirOnly=C:\\PICS\nMDirOnly=@"},
                      HostileValue{"EDirOnly", "ArcCheck=on\nEDirOnly=C:\\PICS\x1B]0;x\x07"},
                      HostileValue{"Dir", "Dir=@\nFileName=A.LZH"},
                      HostileValue{"MDir", "MDir=/etc\nMFileName=A.LZH"},
                      HostileValue{"EDir", "EDir=C:\\\x01\nEFileName=A.LZH"},
                      HostileValue{"FileName", "Dir=C:\\PICS\nFileName=@/A.LZH"},
                      HostileValue{"MFileName", "MDir=C:\\\nMFileName=..\\A.LZH"},
                      HostileValue{"EFileName", "EDir=C:\\\nEFileName=A\x1B[2J.LZH"},
                      HostileValue{"DirOnly", "DirOnly=/home/x\nDir=C:\\PICS"}));

} // namespace
} // namespace kor::testing
