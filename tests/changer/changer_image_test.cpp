// SPDX-License-Identifier: GPL-3.0-or-later
#include "changer_run.h"

#include "core/logo.h"
#include "disk_image.h"
#include "lzh_writer.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <set>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

std::string picture(char fill) {
    return withBitmapStart(std::string(core::LogoLength, fill));
}

// An emulator's disk as Japanese Windows 95 leaves it: an MBR and a FAT16
// partition holding the Windows directory with its logos, a picture folder
// 壁紙 (a CP932 short name) and an archive 和風.LZH whose members have
// Japanese names. The machine's drive C: is a link to the image.
class ChangerOnImage : public ::testing::Test {
  protected:
    void SetUp() override {
        const fs::path image = machine.root() / "win95.img";
        volume = makeMbrDisk(image, FatType::Fat16, 63);
        makeDirectory(volume, "/WINDOWS");
        makeDirectory(volume, "/KABE");
        writeFile(volume, "/LOGO.SYS", picture('o'));
        writeFile(volume, "/WINDOWS/LOGOW.SYS", picture('m'));
        writeFile(volume, "/WINDOWS/LOGOS.SYS", picture('e'));
        for (char fill : {'1', '2', '3'})
            writeFile(volume, std::string("/KABE/PIC") + fill + ".BMP", picture(fill));
        writeFile(volume, "/WAFU.LZH",
                  makeLzhArchive({{"\x96\xE9\x8D\xF7.BMP", picture('n')}, // 夜桜.BMP
                                  {"FUJI.BMP", picture('f')}}));
        renameShortEntry(volume, "KABE", "\x95\xC7\x8E\x86");         // 壁紙
        renameShortEntry(volume, "WAFU.LZH", "\x98\x61\x95\x97.LZH"); // 和風.LZH
        fs::remove_all(machine.root() / "c");
        fs::create_symlink(image, machine.root() / "c");
    }

    void writeSettings(const std::string& text) {
        writeFile(volume, "/WINDOWS/KOR.INI", platform::toCp932(text).value());
    }

    std::vector<std::string> logos() const {
        return {readFile(volume, "/LOGO.SYS"), readFile(volume, "/WINDOWS/LOGOW.SYS"),
                readFile(volume, "/WINDOWS/LOGOS.SYS")};
    }

    // The run left the file system sound and nothing of its own behind.
    void expectSoundAndClean() {
        const FsckResult fsck = checkVolume(volume);
        EXPECT_EQ(fsck.exitStatus, 0) << fsck.output;
        EXPECT_EQ(listDirectory(volume, "/WINDOWS"),
                  (std::vector<std::string>{"KOR.INI", "LOGOS.SYS", "LOGOW.SYS"}));
        EXPECT_EQ(listDirectory(volume, "/"),
                  (std::vector<std::string>{"LOGO.SYS", "WINDOWS", "\u00f2\u00c3\u00c4\u00e5",
                                            "\u00ffa\u00f2\u00f9.LZH"}));
    }

    TemporaryMachine machine;
    FatVolume volume;
};

TEST_F(ChangerOnImage, BmpModeDrawsFromAJapaneseFolderInsideTheImage) {
    writeSettings("[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\nMDirOnly=C:\\壁紙\r\n"
                  "EDirOnly=c:\\壁紙\r\n");
    const std::set<std::string> pictures = {picture('1'), picture('2'), picture('3')};

    const ProgramRun run = runChanger(machine);

    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    for (const std::string& logo : logos())
        EXPECT_TRUE(pictures.contains(logo)) << run.standardError;
    expectSoundAndClean();
}

TEST_F(ChangerOnImage, ArchiveModeExtractsJapaneseMembersInsideTheImage) {
    writeSettings("[SaveDir]\r\nArcCheck=off\r\nDir=C:\\\r\nFileName=和風.LZH\r\n"
                  "MDir=C:\\\r\nMFileName=和風.lzh\r\nEDir=c:\\\r\nEFileName=和風.LZH\r\n");
    std::set<std::string> drawn;
    // Enough runs that the Japanese member is drawn too.
    for (int attempt = 0; attempt < 6 && !drawn.contains(picture('n')); ++attempt) {
        const ProgramRun run = runChanger(machine);
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
        for (const std::string& logo : logos()) {
            EXPECT_TRUE(logo == picture('n') || logo == picture('f'));
            drawn.insert(logo);
        }
    }
    EXPECT_TRUE(drawn.contains(picture('n')));
    expectSoundAndClean();
}

// The extraction command of a member with a long path goes through a response
// file; with TMP and TEMP unset it would lie in the image's root, where a new
// file stays in memory until committed and the library could not read it.
TEST_F(ChangerOnImage, ALongExtractionCommandWorksWithoutATemporaryFolder) {
    makeDirectory(volume, "/ARC");
    writeFile(volume, "/ARC/LONG.LZH",
              makeLzhArchive({{std::string(200, 'F') + "\\LONG.BMP", picture('l'), {}, {}, 2}}));
    writeSettings("[SaveDir]\r\nArcCheck=off\r\nDir=C:\\ARC\r\nFileName=LONG.LZH\r\n");

    const ProgramRun run = runChanger(machine);

    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(readFile(volume, "/LOGO.SYS"), picture('l'));
    EXPECT_EQ(checkVolume(volume).exitStatus, 0);
    EXPECT_EQ(listDirectory(volume, "/ARC"), std::vector<std::string>{"LONG.LZH"});
    EXPECT_EQ(listDirectory(volume, "/WINDOWS"),
              (std::vector<std::string>{"KOR.INI", "LOGOS.SYS", "LOGOW.SYS"}));
}

// A root folder of sixteen entries, all taken: the logo finds no place in it,
// and the user reads why in Japanese, not in mtools' words.
TEST(ChangerOnFullImage, AFullFolderIsToldInJapanese) {
    TemporaryMachine machine;
    const fs::path image = machine.root() / "full.img";
    const ProgramRun made =
        runProgram("/usr/sbin/mkfs.fat", {}, {"-C", "-r", "16", image.string(), "2048"});
    ASSERT_EQ(made.exitStatus, 0) << made.standardError;
    const FatVolume volume{image, 0, fs::file_size(image)};
    makeDirectory(volume, "/WINDOWS");
    makeDirectory(volume, "/PICS");
    writeFile(volume, "/PICS/P.BMP", picture('p'));
    writeFile(volume, "/WINDOWS/KOR.INI", "[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\PICS\r\n");
    for (int filler = 0; filler < 14; ++filler)
        writeFile(volume, "/FILL" + std::to_string(filler), "x");
    fs::remove_all(machine.root() / "c");
    fs::create_symlink(image, machine.root() / "c");

    const ProgramRun run = runChanger(machine);

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("ﾃﾞｨｽｸｲﾒｰｼﾞ " + image.string() + " のﾌｫﾙﾀﾞがいっぱい"),
              std::string::npos)
        << run.standardError;
    for (const std::string_view english : {"mtools", "No directory slots", "~KOR"})
        EXPECT_EQ(run.standardError.find(english), std::string::npos) << run.standardError;
    EXPECT_EQ(checkVolume(volume).exitStatus, 0);
}

TEST(ChangerOnUnusableImage, SaysWhatTheImageIsAndHowToConvertIt) {
    TemporaryMachine machine;
    const fs::path image = machine.root() / "win95.qcow2";
    writeUnsupportedImage(image, UnsupportedImage::Qcow2);
    fs::remove_all(machine.root() / "c");
    fs::create_symlink(image, machine.root() / "c");

    const ProgramRun run = runChanger(machine);

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("qcow2 形式"), std::string::npos) << run.standardError;
    EXPECT_NE(run.standardError.find("qemu-img convert -O raw " + image.string()),
              std::string::npos)
        << run.standardError;
}

} // namespace
} // namespace kor::testing
