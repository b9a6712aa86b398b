// SPDX-License-Identifier: GPL-3.0-or-later
#include "changer_run.h"

#include "core/logo.h"
#include "disk_image.h"
#include "lzh_writer.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <set>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

std::string picture(char fill, std::uint64_t length = core::LogoLength) {
    return withBitmapStart(std::string(length, fill));
}

// An emulator's disk as Japanese Windows 95 leaves it: an MBR and a FAT16
// partition holding the Windows directory with its logos, a picture folder
// 壁紙 (a CP932 short name) and an archive 和風.LZH whose members have
// Japanese names. The machine's drive C: is a link to the image.
class ChangerOnImage : public ::testing::Test {
  protected:
    void SetUp() override { fill(makeMbrDisk(machine.root() / "win95.img", FatType::Fat16, 63)); }

    // Fills the volume and links its image as `drive`; the pictures are
    // `logoLength` bytes long.
    void fill(const FatVolume& made, char drive = 'c',
              std::uint64_t logoLength = core::LogoLength) {
        volume = made;
        makeDirectory(volume, "/WINDOWS");
        makeDirectory(volume, "/KABE");
        writeFile(volume, "/LOGO.SYS", picture('o', logoLength));
        writeFile(volume, "/WINDOWS/LOGOW.SYS", picture('m', logoLength));
        writeFile(volume, "/WINDOWS/LOGOS.SYS", picture('e', logoLength));
        for (char fill : {'1', '2', '3'})
            writeFile(volume, std::string("/KABE/PIC") + fill + ".BMP", picture(fill, logoLength));
        writeFile(volume, "/WAFU.LZH",
                  makeLzhArchive({{"\x96\xE9\x8D\xF7.BMP", picture('n', logoLength)}, // 夜桜.BMP
                                  {"FUJI.BMP", picture('f', logoLength)}}));
        renameShortEntry(volume, "KABE", "\x95\xC7\x8E\x86");         // 壁紙
        renameShortEntry(volume, "WAFU.LZH", "\x98\x61\x95\x97.LZH"); // 和風.LZH
        const fs::path link = machine.root() / std::string(1, drive);
        fs::remove_all(link);
        fs::create_symlink(volume.image, link);
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

// A PC-98 machine: a disk of PC-98 partitions after an emulator's header,
// whose first partition, the one it boots from, is drive A: and holds the
// Windows directory and pictures of the PC-98's length.
class ChangerOnPc98Image : public ChangerOnImage {
  protected:
    void SetUp() override {}

    void makeDisk(DiskHeader header) {
        const fs::path image = machine.root() / "pc98.img";
        const std::vector<Pc98PartitionSpec> partitions = {{FatType::Fat16, 1, 240, true},
                                                           {FatType::Fat12, 241, 60}};
        FatVolume boot = makePc98Disk(image, partitions).front();
        boot.offset += addDiskHeader(image, header);
        fill(boot, 'a', core::Pc98LogoLength);
    }

    // The run drew the logos from `pictures` only, and left the partition
    // sound and clean.
    void expectLogosFrom(const ProgramRun& run, const std::set<std::string>& pictures) {
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        for (const std::string& logo : logos())
            EXPECT_TRUE(pictures.contains(logo)) << run.standardError;
        expectSoundAndClean();
    }
};

// A PC-98 run in each mode, on each header: the settings, and the pictures
// the logos may come from.
struct Pc98Run {
    DiskHeader header;
    const char* settings;
    std::string pictures;
};

class ChangerOnPc98Disks : public ChangerOnPc98Image,
                           public ::testing::WithParamInterface<Pc98Run> {};

TEST_P(ChangerOnPc98Disks, ChangesTheLogosOfTheBootPartition) {
    makeDisk(GetParam().header);
    writeSettings(GetParam().settings);
    std::set<std::string> pictures;
    for (const char which : GetParam().pictures)
        pictures.insert(picture(which, core::Pc98LogoLength));
    expectLogosFrom(runChanger(machine, "A:\\WINDOWS"), pictures);
}

constexpr const char* Pc98BmpMode =
    "[SaveDir]\r\npc98Check=on\r\nArcCheck=on\r\nDirOnly=A:\\壁紙\r\n"
    "MDirOnly=A:\\壁紙\r\nEDirOnly=a:\\壁紙\r\n";
constexpr const char* Pc98ArchiveMode =
    "[SaveDir]\r\npc98Check=on\r\nArcCheck=off\r\nDir=A:\\\r\nFileName=和風.LZH\r\n"
    "MDir=A:\\\r\nMFileName=和風.lzh\r\nEDir=a:\\\r\nEFileName=和風.LZH\r\n";

INSTANTIATE_TEST_SUITE_P(Pc98, ChangerOnPc98Disks,
                         ::testing::Values(Pc98Run{DiskHeader::Hdi, Pc98BmpMode, "123"},
                                           Pc98Run{DiskHeader::Hdi, Pc98ArchiveMode, "nf"},
                                           Pc98Run{DiskHeader::Nhd, Pc98BmpMode, "123"},
                                           Pc98Run{DiskHeader::Nhd, Pc98ArchiveMode, "nf"}),
                         [](const ::testing::TestParamInfo<Pc98Run>& info) {
                             return std::string(info.param.header == DiskHeader::Hdi ? "Hdi"
                                                                                     : "Nhd") +
                                    (info.param.settings == Pc98BmpMode ? "Bmp" : "Archive");
                         });

std::string hostBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// The image's disk in another format of QEMU's, made by qemu-img as a user
// converts a disk, and the run's environment, whose exports go to a folder
// of the test's own.
struct QemuImageCase {
    const char* name;
    const char* format; // qemu-img's name
    std::vector<std::string> options;
    bool archiveMode;
};

void PrintTo(const QemuImageCase& image, std::ostream* out) {
    *out << image.name;
}

ProgramRun runQemuTool(const std::vector<std::string>& arguments) {
    return runProgram("/usr/bin/" + arguments.front(), {},
                      std::vector<std::string>(arguments.begin() + 1, arguments.end()));
}

// What a run leaves of an export that mentions `text`: processes, mounts.
std::vector<std::string> exportsLeft(const std::string& text) {
    std::vector<std::string> left;
    for (const fs::directory_entry& process : fs::directory_iterator("/proc")) {
        // Read by hand: a process that ends meanwhile fails the read.
        std::string line(4096, '\0');
        const int file = ::open((process.path() / "cmdline").c_str(), O_RDONLY | O_CLOEXEC);
        const ssize_t count = file < 0 ? 0 : ::read(file, line.data(), line.size());
        if (file >= 0)
            ::close(file);
        line.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        if (line.starts_with("qemu-storage-daemon") && line.find(text) != std::string::npos)
            left.push_back("process " + process.path().filename().string());
    }
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);)
        if (line.find(text) != std::string::npos)
            left.push_back("mount " + line);
    return left;
}

class ChangerOnQemuImage : public ChangerOnImage,
                           public ::testing::WithParamInterface<QemuImageCase> {
  protected:
    void SetUp() override {
        if (const std::string why = kor::testing::whyNoQemuExport(); !why.empty())
            GTEST_SKIP() << "cannot export an image through FUSE: " << why;
        ChangerOnImage::SetUp();
        fs::create_directory(exports());
        ::chmod(exports().c_str(), 0700);
    }

    fs::path exports() const { return machine.root() / "run"; }

    // Converts the raw image into `format` beside it and links drive C: to it.
    fs::path convert(const QemuImageCase& image) {
        const fs::path converted = machine.root() / (std::string("win95.") + image.format);
        std::vector<std::string> line = {"qemu-img", "convert", "-O", image.format};
        line.insert(line.end(), image.options.begin(), image.options.end());
        line.insert(line.end(), {volume.image.string(), converted.string()});
        const ProgramRun made = runQemuTool(line);
        EXPECT_EQ(made.exitStatus, 0) << made.standardError;
        fs::remove(machine.root() / "c");
        fs::create_symlink(converted, machine.root() / "c");
        return converted;
    }

    ProgramRun runChangerWithExports() {
        return runProgram(KOR_PROGRAM, {{"KOR_ROOT", machine.root().string()},
                                        {"WINDIR", "C:\\WINDOWS"},
                                        {"XDG_RUNTIME_DIR", exports().string()}});
    }

    // The run's export is gone within a few seconds: no daemon, no mount, no
    // file in the folder of exports.
    void expectNothingLeft() {
        std::vector<std::string> left;
        for (int wait = 0; wait < 100; ++wait) {
            left = exportsLeft(machine.root().string());
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(exports()))
                if (!entry.is_directory())
                    left.push_back(entry.path().string());
            if (left.empty())
                return;
            ::usleep(50'000);
        }
        ADD_FAILURE() << "left behind: " << left.front();
    }
};

// KOR works inside the image in its own format, through QEMU, as on a raw
// image; the image stays consistent and nothing of the export stays behind.
TEST_P(ChangerOnQemuImage, ChangesTheLogosInPlace) {
    const QemuImageCase& image = GetParam();
    writeSettings(image.archiveMode
                      ? "[SaveDir]\r\nArcCheck=off\r\nDir=C:\\\r\nFileName=和風.LZH\r\n"
                        "MDir=C:\\\r\nMFileName=和風.lzh\r\nEDir=c:\\\r\nEFileName=和風.LZH\r\n"
                      : "[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\nMDirOnly=C:\\壁紙\r\n"
                        "EDirOnly=c:\\壁紙\r\n");
    const std::set<std::string> pictures =
        image.archiveMode ? std::set<std::string>{picture('n'), picture('f')}
                          : std::set<std::string>{picture('1'), picture('2'), picture('3')};
    const fs::path converted = convert(image);

    const ProgramRun run = runChangerWithExports();

    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    expectNothingLeft();
    // qemu-img checks no VHD (exit status 63).
    const ProgramRun check = runQemuTool({"qemu-img", "check", converted.string()});
    EXPECT_EQ(check.exitStatus, std::string_view(image.format) == "vpc" ? 63 : 0)
        << check.standardOutput << check.standardError;
    const ProgramRun back = runQemuTool(
        {"qemu-img", "convert", "-O", "raw", converted.string(), volume.image.string()});
    ASSERT_EQ(back.exitStatus, 0) << back.standardError;
    for (const std::string& logo : logos())
        EXPECT_TRUE(pictures.contains(logo)) << run.standardError;
    expectSoundAndClean();
}

// Another qemu-storage-daemon that runs from the image, as a running QEMU
// does, holds QEMU's lock on it: the run is refused naming it, and the image
// is left as it was.
TEST_F(ChangerOnQemuImage, RefusesAnImageThatAnotherQemuHolds) {
    writeSettings("[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\n");
    const fs::path converted = convert({"Qcow2", "qcow2", {}, false});
    const std::string node = "driver=file,node-name=file,filename=" + converted.string();
    std::string line[] = {"/usr/bin/qemu-storage-daemon", "--blockdev", node, "--blockdev",
                          "driver=qcow2,node-name=disk,file=file"};
    char* arguments[] = {line[0].data(), line[1].data(), line[2].data(),
                         line[3].data(), line[4].data(), nullptr};
    pid_t holder = 0;
    ASSERT_EQ(::posix_spawn(&holder, line[0].c_str(), nullptr, nullptr, arguments, environ), 0);
    // Ready once it holds its locks.
    struct stat info {};
    ASSERT_EQ(::stat(converted.c_str(), &info), 0);
    const std::string inode = ":" + std::to_string(info.st_ino) + " ";
    for (int wait = 0; wait < 100 && hostBytes("/proc/locks").find(inode) == std::string::npos;
         ++wait)
        ::usleep(50'000);
    const std::string before = hostBytes(converted);

    const ProgramRun run = runChangerWithExports();

    ::kill(holder, SIGTERM);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(run.exitStatus, 1) << run.standardError;
    EXPECT_NE(run.standardError.find("(PID " + std::to_string(holder) + ") が使用中です"),
              std::string::npos)
        << run.standardError;
    EXPECT_TRUE(hostBytes(converted) == before) << "the image changed";
    expectNothingLeft();
}

// KOR -- COMMAND runs the command in its place after the change, also after
// a failed one, once everything the run started is gone: the stand-in
// command looks for the files, daemon and mount of the run's export (named
// after KOR's process, which it became) and for any process that has the
// image open, and says what it finds before it ran. Its exit status is the
// run's.
TEST_F(ChangerOnQemuImage, RunsTheCommandInItsPlaceOnceTheImageIsFree) {
    const fs::path converted = fs::canonical(convert({"Qcow2", "qcow2", {}, false}));
    const fs::path standIn = machine.root() / "stand-in.sh";
    std::ofstream(standIn)
        << "image=$1\n"
           // First, before the export's guardian could finish late: its files.
           "for file in \"$2\"/kor-*/$$-*; do [ -e \"$file\" ] && echo export; done\n"
           "grep -lasF \"$2\" /proc/[0-9]*/cmdline |\n"
           "  xargs -r grep -qas '^qemu-storage-daemon' && echo daemon\n"
           "ls -l /proc/[0-9]*/fd 2>/dev/null | grep -qF -- \"-> $image\" && echo open\n"
           "grep -qF \"$2\" /proc/self/mountinfo && echo mount\n"
           "echo ran\n"
           "exit 42\n";
    enum class Logo { Changed, Kept, Any };
    struct Case {
        const char* name;
        std::string settings;
        Logo logo;
        std::vector<std::string> command;
        int status;
        std::string output;   // of the command
        std::string reported; // on standard error
    };
    const std::string shell = "/bin/sh";
    const std::vector<std::string> standInLine = {shell, standIn.string(), converted.string(),
                                                  exports().string()};
    const Case cases[] = {
        {"after a change", "ArcCheck=on\r\nDirOnly=C:\\壁紙", Logo::Changed, standInLine, 42,
         "ran\n", ""},
        {"after a failed change", "ArcCheck=on\r\nDirOnly=C:\\NONE", Logo::Kept, standInLine, 42,
         "ran\n", "NONE"},
        // An archive that cannot be listed ends the run from inside.
        {"after an archive that cannot be listed", "ArcCheck=off\r\nDir=C:\\\r\nFileName=LOGO.SYS",
         Logo::Kept, standInLine, 42, "ran\n", "LHarc"},
        {"not found",
         "ArcCheck=on\r\nDirOnly=C:\\壁紙",
         Logo::Any,
         {"/nonexistent/command"},
         127,
         "",
         "/nonexistent"},
        {"not executable",
         "ArcCheck=on\r\nDirOnly=C:\\壁紙",
         Logo::Any,
         {standIn.string()},
         126,
         "",
         "stand-in.sh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = readFile(volume, "/LOGO.SYS");
        writeSettings("[SaveDir]\r\n" + c.settings + "\r\n");
        const ProgramRun back = runQemuTool({"qemu-img", "convert", "-f", "raw", "-O", "qcow2",
                                             volume.image.string(), converted.string()});
        ASSERT_EQ(back.exitStatus, 0) << back.standardError;
        std::vector<std::string> arguments = {"--"};
        arguments.insert(arguments.end(), c.command.begin(), c.command.end());

        const ProgramRun run = runProgram(KOR_PROGRAM,
                                          {{"KOR_ROOT", machine.root().string()},
                                           {"WINDIR", "C:\\WINDOWS"},
                                           {"XDG_RUNTIME_DIR", exports().string()}},
                                          arguments);

        EXPECT_EQ(run.exitStatus, c.status) << run.standardError;
        EXPECT_EQ(run.standardOutput, c.output);
        if (c.reported.empty()) {
            EXPECT_EQ(run.standardError, "");
        } else {
            EXPECT_NE(run.standardError.find(c.reported), std::string::npos) << run.standardError;
        }
        expectNothingLeft();
        const ProgramRun raw = runQemuTool(
            {"qemu-img", "convert", "-O", "raw", converted.string(), volume.image.string()});
        ASSERT_EQ(raw.exitStatus, 0) << raw.standardError;
        if (c.logo != Logo::Any) {
            EXPECT_EQ(readFile(volume, "/LOGO.SYS") != before, c.logo == Logo::Changed);
        }
    }
}

// Marks one cluster past the end of the qcow2 image `file` as used, as a
// daemon killed between allocating a cluster and writing its reference
// leaves it (QEMU's docs/interop/qcow2.txt: cluster bits at byte 20, the
// refcount table's offset at 48; 16-bit refcounts, the default).
void leakACluster(const fs::path& file) {
    const std::string image = hostBytes(file);
    const auto number = [&](std::size_t at, std::size_t length) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < length; ++i)
            value = value << 8 | static_cast<unsigned char>(image[at + i]);
        return value;
    };
    const std::uint64_t clusterSize = std::uint64_t{1} << number(20, 4);
    const std::uint64_t refcountBlock = number(number(48, 8), 8);
    const std::uint64_t leaked = (image.size() + clusterSize - 1) / clusterSize;
    fs::resize_file(file, (leaked + 1) * clusterSize);
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    stream.seekp(static_cast<std::streamoff>(refcountBlock + leaked * 2));
    stream.write("\0\1", 2);
}

// A daemon killed in the middle of a change may leave clusters allocated
// that nothing uses; its guardian leaves its lock file unheld, and the next
// run frees them before it uses the image.
TEST_F(ChangerOnQemuImage, RepairsTheClustersAKilledDaemonLeaked) {
    writeSettings("[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\n");
    const fs::path converted = convert({"Qcow2", "qcow2", {}, false});
    leakACluster(converted);
    ASSERT_EQ(runQemuTool({"qemu-img", "check", converted.string()}).exitStatus, 3);
    const fs::path folder = exports() / ("kor-" + std::to_string(::getuid()));
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    std::ofstream(folder / "1-1.lock") << "0\n" << converted.string() << "\n";

    const ProgramRun run = runChangerWithExports();

    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    const ProgramRun check = runQemuTool({"qemu-img", "check", converted.string()});
    EXPECT_EQ(check.exitStatus, 0) << check.standardOutput;
    expectNothingLeft();
}

// An image the user may read but not write is read through an export that
// writes nothing; the run refuses the change as on any image the user
// cannot write, rather than failing to open it.
TEST_F(ChangerOnQemuImage, ReadsAnImageTheUserMayNotWriteAndChangesNothing) {
    writeSettings("[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\n");
    const fs::path converted = convert({"Qcow2", "qcow2", {}, false});
    // Root may write a file whatever its permission bits, but not an
    // immutable one.
    ASSERT_EQ(::chmod(converted.c_str(), 0444), 0);
    const std::string immutable = "chattr +i '" + converted.string() + "' 2>/dev/null";
    if (::geteuid() == 0 && std::system(immutable.c_str()) != 0)
        GTEST_SKIP() << "cannot keep root from writing " << converted << " (chattr +i)";
    const std::string before = hostBytes(converted);

    const ProgramRun run = runChangerWithExports();

    if (::geteuid() == 0)
        std::system(("chattr -i '" + converted.string() + "'").c_str());
    EXPECT_EQ(run.exitStatus, 1) << run.standardError;
    EXPECT_NE(run.standardError.find(
                  "KOR: C:\\logo.sys\nこのﾌｧｲﾙをｺﾋﾟｰできません。アクセスが拒否されました"),
              std::string::npos)
        << run.standardError;
    EXPECT_TRUE(hostBytes(converted) == before) << "the image changed";
    expectNothingLeft();
}

// An overlay is written, its base left as it was; while another program
// writes the base, the overlay is not written either, and the run names it.
TEST_F(ChangerOnQemuImage, WritesTheOverlayAndWatchesItsBase) {
    writeSettings("[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\nMDirOnly=C:\\壁紙\r\n"
                  "EDirOnly=c:\\壁紙\r\n");
    const fs::path overlay = machine.root() / "overlay.qcow2";
    const ProgramRun made = runQemuTool({"qemu-img", "create", "-f", "qcow2", "-F", "raw", "-b",
                                         volume.image.filename().string(), overlay.string()});
    ASSERT_EQ(made.exitStatus, 0) << made.standardError;
    fs::remove(machine.root() / "c");
    fs::create_symlink(overlay, machine.root() / "c");
    const std::string base = hostBytes(volume.image);

    const ProgramRun run = runChangerWithExports();

    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(hostBytes(volume.image) == base) << "the base changed";
    const std::string written = hostBytes(overlay);
    const int held = ::open(volume.image.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, held, 3);
    std::string line[] = {"/usr/bin/sleep", "60"};
    char* arguments[] = {line[0].data(), line[1].data(), nullptr};
    pid_t writer = 0;
    ASSERT_EQ(::posix_spawn(&writer, line[0].c_str(), &actions, nullptr, arguments, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(held);

    const ProgramRun refused = runChangerWithExports();

    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    EXPECT_EQ(refused.exitStatus, 1) << refused.standardError;
    EXPECT_NE(refused.standardError.find("ﾃﾞｨｽｸｲﾒｰｼﾞ " + volume.image.string() + " は sleep (PID " +
                                         std::to_string(writer) + ") が使用中です"),
              std::string::npos)
        << refused.standardError;
    EXPECT_TRUE(hostBytes(overlay) == written) << "the overlay changed";
    expectNothingLeft();
    // Read out beside the base, which the overlay reads.
    const fs::path readOut = machine.root() / "read-out.img";
    const ProgramRun back =
        runQemuTool({"qemu-img", "convert", "-O", "raw", overlay.string(), readOut.string()});
    ASSERT_EQ(back.exitStatus, 0) << back.standardError;
    fs::rename(readOut, volume.image);
    for (const std::string& logo : logos())
        EXPECT_TRUE(logo == picture('1') || logo == picture('2') || logo == picture('3'));
    expectSoundAndClean();
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ChangerOnQemuImage,
    ::testing::Values(
        QemuImageCase{"Qcow2Bmp", "qcow2", {}, false},
        QemuImageCase{"Qcow2Archive", "qcow2", {}, true}, QemuImageCase{"VdiBmp", "vdi", {}, false},
        QemuImageCase{"VdiArchive", "vdi", {}, true}, QemuImageCase{"VmdkBmp", "vmdk", {}, false},
        QemuImageCase{"VmdkArchive", "vmdk", {}, true}, QemuImageCase{"VhdxBmp", "vhdx", {}, false},
        QemuImageCase{"VhdxArchive", "vhdx", {}, true},
        QemuImageCase{"DynamicVhdBmp", "vpc", {"-o", "subformat=dynamic"}, false},
        QemuImageCase{"DynamicVhdArchive", "vpc", {"-o", "subformat=dynamic"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A program of another user (65533) that keeps the image open, as an
// emulator does; stopped when the test ends.
class ImageHolder {
  public:
    // The image opened with `flags`; with `locked`, an open file
    // description's read lock on byte 100, as QEMU takes, which names no
    // process.
    ImageHolder(const fs::path& image, int flags, bool locked) {
        const int held = ::open(image.c_str(), flags | O_CLOEXEC);
        if (held < 0)
            throw std::runtime_error("cannot open " + image.string());
        struct flock lock {};
        lock.l_type = F_RDLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 100;
        lock.l_len = 1;
        if (locked && ::fcntl(held, F_OFD_SETLK, &lock) != 0)
            throw std::runtime_error("cannot lock " + image.string());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, held, 3);
        std::string line[] = {"/usr/bin/setpriv", "--reuid=65533", "--regid=65533",
                              "--clear-groups",   "sleep",         "60"};
        char* arguments[] = {line[0].data(), line[1].data(), line[2].data(), line[3].data(),
                             line[4].data(), line[5].data(), nullptr};
        const int spawned =
            ::posix_spawn(&m_process, line[0].c_str(), &actions, nullptr, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(held);
        if (spawned != 0)
            throw std::runtime_error("cannot start sleep");
    }
    ~ImageHolder() {
        ::kill(m_process, SIGKILL);
        ::waitpid(m_process, nullptr, 0);
    }
    ImageHolder(const ImageHolder&) = delete;
    ImageHolder& operator=(const ImageHolder&) = delete;

  private:
    pid_t m_process = 0;
};

// The image attached to a free loop device, as `mount -o loop` attaches it,
// and detached when the test ends; the device is empty when none could be
// attached.
class LoopDevice {
  public:
    explicit LoopDevice(const fs::path& image) {
        const std::string command =
            "PATH=$PATH:/usr/sbin:/sbin losetup -f --show '" + image.string() + "' 2>/dev/null";
        if (FILE* output = ::popen(command.c_str(), "r")) {
            char line[256] = {};
            if (std::fgets(line, sizeof line, output))
                m_device = std::string(line).substr(0, std::string(line).find('\n'));
            ::pclose(output);
        }
    }
    ~LoopDevice() {
        if (!m_device.empty())
            std::system(("PATH=$PATH:/usr/sbin:/sbin losetup -d " + m_device).c_str());
    }
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;

    const std::string& device() const { return m_device; }

  private:
    std::string m_device;
};

// Whether the kernel grants leases on the file, by which a run sees writers
// of other users.
bool takesLeases(const fs::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    const bool granted = descriptor >= 0 && ::fcntl(descriptor, F_SETLEASE, F_RDLCK) == 0;
    if (descriptor >= 0)
        ::close(descriptor);
    return granted;
}

enum class Holding { WriterOfAnotherUser, LockWithoutProcess, ReaderOfAnotherUser, LoopDevice };

struct BusyCase {
    const char* name;
    Holding holding;
    // KOR runs as the image's owner, another user than the holder's, who
    // cannot see the holder's open files; else as root.
    bool asOwner;
    bool dryRun;
    // What the Japanese report says; none when the run goes through.
    const char* said;
};

void PrintTo(const BusyCase& busy, std::ostream* out) {
    *out << busy.name;
}

class ChangerOnBusyImage : public ChangerOnImage, public ::testing::WithParamInterface<BusyCase> {};

// A run never writes an image that another program of any user writes, nor
// one that a loop device holds, and says why; a dry run fails as the run
// would. A program that only reads the image does not stop it.
TEST_P(ChangerOnBusyImage, WritesNothingWhileAnotherUserOrALoopDeviceHoldsTheImage) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to start a program as another user";
    writeSettings("[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\nMDirOnly=C:\\壁紙\r\n"
                  "EDirOnly=C:\\壁紙\r\n");
    const BusyCase& busy = GetParam();
    if (busy.asOwner) {
        ASSERT_EQ(::chown(volume.image.c_str(), 65534, 65534), 0);
        if (!takesLeases(volume.image))
            GTEST_SKIP() << "the file system of " << volume.image << " grants no leases";
    }
    std::optional<ImageHolder> holder;
    std::optional<LoopDevice> loop;
    std::string said = busy.said;
    if (busy.holding == Holding::LoopDevice) {
        loop.emplace(volume.image);
        if (loop->device().empty())
            GTEST_SKIP() << "no loop device can be attached here";
        said = loop->device() + said;
    } else {
        holder.emplace(volume.image,
                       busy.holding == Holding::WriterOfAnotherUser ? O_RDWR : O_RDONLY,
                       busy.holding == Holding::LockWithoutProcess);
    }
    const std::string before = hostBytes(volume.image);

    const std::vector<std::string> arguments =
        busy.dryRun ? std::vector<std::string>{"--dry-run"} : std::vector<std::string>{};
    const ProgramRun run =
        busy.asOwner ? runChangerWithoutPrivileges(machine, arguments) : runChanger(machine);

    if (said.empty()) {
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        EXPECT_NE(logos()[0], picture('o')) << run.standardError;
        return;
    }
    EXPECT_EQ(run.exitStatus, 1) << run.standardError;
    // The report leads with the image and what holds it.
    EXPECT_NE(run.standardError.find("KOR: ﾃﾞｨｽｸｲﾒｰｼﾞ " + fs::canonical(volume.image).string() +
                                     " は " + said),
              std::string::npos)
        << run.standardError;
    EXPECT_EQ(run.standardOutput.find("would install"), std::string::npos) << run.standardOutput;
    EXPECT_TRUE(hostBytes(volume.image) == before) << "the image changed";
}

INSTANTIATE_TEST_SUITE_P(
    Holders, ChangerOnBusyImage,
    ::testing::Values(BusyCase{"WriterOfAnotherUser", Holding::WriterOfAnotherUser, true, false,
                               "別のﾌﾟﾛｸﾞﾗﾑ が使用中です"},
                      BusyCase{"WriterOfAnotherUserInADryRun", Holding::WriterOfAnotherUser, true,
                               true, "別のﾌﾟﾛｸﾞﾗﾑ が使用中です"},
                      BusyCase{"LockWithoutProcess", Holding::LockWithoutProcess, true, false,
                               "別のﾌﾟﾛｸﾞﾗﾑ が使用中です"},
                      BusyCase{"ReaderOfAnotherUser", Holding::ReaderOfAnotherUser, false, false,
                               ""},
                      BusyCase{"LoopDevice", Holding::LoopDevice, false, false,
                               " に接続されています。ｱﾝﾏｳﾝﾄして切り離して"}),
    [](const auto& info) { return std::string(info.param.name); });

// A fault in the FAT, made by editing its entries as a crash or a faulty
// program leaves them, and what the run says of it.
struct Damage {
    const char* name;
    std::function<void(const FatVolume&)> make;
    const char* said;
};

class ChangerOnDamagedImage : public ChangerOnImage,
                              public ::testing::WithParamInterface<Damage> {};

TEST_P(ChangerOnDamagedImage, EndsTheRunAndWritesNothing) {
    writeSettings("[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\壁紙\r\nMDirOnly=C:\\壁紙\r\n"
                  "EDirOnly=c:\\壁紙\r\n");
    GetParam().make(volume);
    const std::string before = hostBytes(volume.image);

    const ProgramRun run = runChanger(machine);

    EXPECT_EQ(run.exitStatus, 1) << run.standardError;
    EXPECT_NE(run.standardError.find("ﾃﾞｨｽｸｲﾒｰｼﾞ " + volume.image.string() +
                                     " のﾌｧｲﾙｼｽﾃﾑが壊れています (" + GetParam().said),
              std::string::npos)
        << run.standardError;
    EXPECT_NE(run.standardError.find(")。Windows の ScanDisk で修復してください"),
              std::string::npos);
    EXPECT_TRUE(hostBytes(volume.image) == before);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ChangerOnDamagedImage,
    ::testing::Values(
        Damage{"ChainThatLoops",
               [](const FatVolume& volume) {
                   const std::vector<std::uint32_t> logo = clusterChain(volume, "LOGO.SYS");
                   setFatEntry(volume, logo.back(), logo.front());
               },
               "\\LOGO.SYS のｸﾗｽﾀﾁｪｰﾝが循環しています"},
        Damage{"CrossLink",
               [](const FatVolume& volume) {
                   const std::vector<std::uint32_t> logo = clusterChain(volume, "LOGO.SYS");
                   const std::vector<std::uint32_t> picture = clusterChain(volume, "PIC1.BMP");
                   setFatEntry(volume, logo.front(), picture[1]);
               },
               "\\壁紙\\PIC1.BMP と \\LOGO.SYS が同じｸﾗｽﾀを使っています (ｸﾛｽﾘﾝｸ)"},
        Damage{"ChainLongerThanTheFile",
               [](const FatVolume& volume) {
                   const std::vector<std::uint32_t> logo = clusterChain(volume, "LOGO.SYS");
                   const std::uint32_t free = lastCluster(volume) / 2;
                   setFatEntry(volume, logo.back(), free);
                   setFatEntry(volume, free, 0x0FFFFFFF);
               },
               "\\LOGO.SYS のｸﾗｽﾀ数 ("},
        Damage{"ChainThatLeavesTheVolume",
               [](const FatVolume& volume) {
                   const std::vector<std::uint32_t> logo = clusterChain(volume, "LOGO.SYS");
                   // A value that FAT reserves, which mtools takes for an end.
                   setFatEntry(volume, logo.back(), 0x0FFFFFF6);
               },
               "\\LOGO.SYS のｸﾗｽﾀﾁｪｰﾝがﾎﾞﾘｭｰﾑの外を指しています"}),
    [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

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
    const fs::path image = machine.root() / "win95.qcow";
    writeUnsupportedImage(image, UnsupportedImage::Qcow);
    fs::remove_all(machine.root() / "c");
    fs::create_symlink(image, machine.root() / "c");

    const ProgramRun run = runChanger(machine);

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("qcow 形式"), std::string::npos) << run.standardError;
    EXPECT_NE(run.standardError.find("qemu-img convert -O raw " + image.string()),
              std::string::npos)
        << run.standardError;
}

} // namespace
} // namespace kor::testing
