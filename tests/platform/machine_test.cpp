// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/machine.h"

#include "diskimage/image_drives.h"
#include "platform/files.h"
#include "temporary_machine.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace kor::platform {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryMachine;

TEST(Machine, ResolvesExistingNamesWithoutRegardToCase) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\KOR.INI", "");

    const Result<fs::path> host = Machine::current().hostPath("c:\\windows\\kor.ini");

    ASSERT_TRUE(host.ok()) << host.error().text();
    EXPECT_EQ(host.value(), machine.root() / "c" / "WINDOWS" / "KOR.INI");
}

TEST(Machine, KeepsNewNamesAsGiven) {
    TemporaryMachine machine;

    const Result<fs::path> host = Machine::current().hostPath("C:/windows/New Folder/Logo.bmp");

    ASSERT_TRUE(host.ok()) << host.error().text();
    EXPECT_EQ(host.value(), machine.root() / "c" / "WINDOWS" / "New Folder" / "Logo.bmp");
}

TEST(Machine, PrefersTheExactNameOverAnotherCase) {
    TemporaryMachine machine;
    machine.writeFile("C:\\pics\\a.bmp", "lower");
    fs::create_directories(machine.root() / "c" / "PICS");

    EXPECT_EQ(Machine::current().hostPath("C:\\PICS").value(), machine.root() / "c" / "PICS");
    EXPECT_EQ(Machine::current().hostPath("C:\\pics").value(), machine.root() / "c" / "pics");
}

TEST(Machine, UnmappedDriveFailsNamingThePath) {
    TemporaryMachine machine;

    const Result<fs::path> host = Machine::current().hostPath("Q:\\ARCHIVE\\LOGO.LZH");

    ASSERT_FALSE(host.ok());
    EXPECT_EQ(host.error().path(), "Q:\\ARCHIVE\\LOGO.LZH");
    EXPECT_EQ(host.error().code(), ENODEV);
    EXPECT_NE(host.error().reason().find("Q:"), std::string::npos);
}

TEST(Machine, HostPathsAreUsedAsTheyStand) {
    TemporaryMachine machine;

    const Result<fs::path> host = Machine::current().hostPath("/tmp\\$$$LHA32.$$$");

    ASSERT_TRUE(host.ok()) << host.error().text();
    EXPECT_EQ(host.value(), fs::path("/tmp/$$$LHA32.$$$"));
    EXPECT_EQ(Machine::current().hostPath("/TMP/x/..").value(), fs::path("/TMP"));
}

TEST(Machine, ListsDrivesNamedByOneLetterInAnyCase) {
    TemporaryMachine machine;
    machine.addDrive('e');
    fs::create_directory(machine.root() / "D");
    fs::create_directory(machine.root() / "cd");
    fs::create_directory_symlink(machine.root() / "c", machine.root() / "z");
    // A file is a disk image drive; whether it holds one shows when it is used.
    std::ofstream(machine.root() / "f") << "not a disk";
    std::ofstream(machine.root() / "g.partition") << "1";

    EXPECT_EQ(Machine::current().drives(), (std::vector<char>{'C', 'D', 'E', 'F', 'Z'}));
    EXPECT_TRUE(Machine::current().isDriveMapped('d'));
    EXPECT_FALSE(Machine::current().isDriveMapped('G'));
}

// A machine described by its drives (an emulator's) has those drives alone,
// whatever its folder holds, and boots from the drive it is told.
TEST(Machine, DescribedDrivesAreTheOnlyDrives) {
    TemporaryMachine folders;
    fs::create_directory(folders.root() / "d");
    std::ofstream(folders.root() / "image") << "a disk image";
    std::map<char, MappedDrive> drives{{'d', {folders.root() / "c"}},
                                       {'E', {folders.root() / "d"}},
                                       {'C', {folders.root() / "image", true, 5}}};
    Machine machine(folders.root(), std::move(drives), "D:\\WINDOWS");
    Machine::setImageOpener([](const fs::path& image,
                               unsigned partition) -> Result<std::shared_ptr<Drive>> {
        return Error(Operation::OpenImage, image.string() + " " + std::to_string(partition), EIO);
    });
    const Result<std::shared_ptr<Drive>> image = machine.imageDrive('C');
    Machine::setImageOpener(diskimage::openImageDrive);

    EXPECT_EQ(machine.drives(), (std::vector<char>{'C', 'D', 'E'}));
    EXPECT_FALSE(machine.isDriveMapped('F'));
    EXPECT_EQ(machine.hostPath("E:\\X").value(), folders.root() / "d" / "X");
    EXPECT_EQ(machine.windowsPath(folders.root() / "c" / "WINDOWS").value(), "D:\\WINDOWS");
    ASSERT_FALSE(image.ok());
    EXPECT_EQ(image.error().path(), (folders.root() / "image").string() + " 5");
    EXPECT_EQ(machine.bootDrive(), 'D');
    machine.setBootDrive('c');
    EXPECT_EQ(machine.bootDrive(), 'C');
}

// A program that gave the machine no opener of disk images is refused an
// image drive, in every use of it; the image is never read as a folder.
TEST(Machine, AnImageDriveWithoutAnOpenerIsRefused) {
    TemporaryMachine machine;
    std::ofstream(machine.root() / "d") << "a disk image";
    Machine::setImageOpener(nullptr);

    const Result<std::shared_ptr<Drive>> drive = Machine::current().imageDrive('D');
    const Result<std::vector<std::string>> listed = listFiles("D:\\", "*.*");
    const Status entered = Machine::current().setCurrentDirectory("D:\\");
    Machine::setImageOpener(diskimage::openImageDrive);

    ASSERT_FALSE(drive.ok());
    EXPECT_EQ(drive.error().operation(), Operation::OpenImage);
    EXPECT_EQ(drive.error().code(), ENOTSUP);
    ASSERT_FALSE(listed.ok());
    EXPECT_EQ(listed.error().operation(), Operation::OpenImage);
    EXPECT_FALSE(entered.ok());
}

TEST(Machine, SystemDirectoryIsBelowTheWindowsDirectory) {
    TemporaryMachine machine("D:\\WIN95");

    EXPECT_EQ(Machine::current().windowsDirectory(), "D:\\WIN95");
    EXPECT_EQ(Machine::current().systemDirectory(), "D:\\WIN95\\SYSTEM");
    EXPECT_EQ(Machine::current().currentDrive(), 'D');
    EXPECT_TRUE(fs::is_directory(machine.root() / "d" / "WIN95" / "SYSTEM"));
}

struct FullPathCase {
    const char* path;
    const char* expected;
};

class FullPath : public ::testing::TestWithParam<FullPathCase> {};

TEST_P(FullPath, FoldsAgainstTheCurrentDirectories) {
    TemporaryMachine machine;
    machine.addDrive('D');
    fs::create_directories(machine.root() / "d" / "ARC" / "OLD");
    ASSERT_TRUE(Machine::current().setCurrentDirectory("C:\\WINDOWS").ok());
    ASSERT_TRUE(Machine::current().setCurrentDirectory("D:\\ARC\\OLD").ok());

    const Result<std::string> full = Machine::current().fullPath(GetParam().path);

    ASSERT_TRUE(full.ok()) << full.error().text();
    EXPECT_EQ(full.value(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Machine, FullPath,
                         ::testing::Values(FullPathCase{"KOR.INI", "C:\\WINDOWS\\KOR.INI"},
                                           FullPathCase{".\\SYSTEM\\.", "C:\\WINDOWS\\SYSTEM"},
                                           FullPathCase{"D:X.LZH", "D:\\ARC\\OLD\\X.LZH"},
                                           FullPathCase{"d:..\\Y", "D:\\ARC\\Y"},
                                           FullPathCase{"\\logo.sys", "C:\\logo.sys"},
                                           FullPathCase{"C:/a/b/../c/", "C:\\a\\c"},
                                           FullPathCase{"..\\..\\..\\X", "C:\\X"},
                                           FullPathCase{"D:\\..", "D:\\"},
                                           FullPathCase{"c:", "C:\\WINDOWS"},
                                           FullPathCase{"E:\\", "E:\\"},
                                           FullPathCase{"/tmp\\$$$LHA32.$$$", "/tmp/$$$LHA32.$$$"},
                                           FullPathCase{"/tmp/a/../b/./c/", "/tmp/b/c"},
                                           FullPathCase{"//tmp\\\\x", "/tmp/x"},
                                           FullPathCase{"/..", "/"}, FullPathCase{"/", "/"}));

TEST(Machine, FullPathRefusesPathsWithoutAUsableDrive) {
    TemporaryMachine machine;

    EXPECT_EQ(Machine::current().fullPath("").error().code(), EINVAL);
    EXPECT_FALSE(Machine::current().fullPath("1:\\X").ok());
    EXPECT_FALSE(Machine::current().fullPath("\\\\server\\share").ok());
}

std::string repeated(std::string_view part, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += part;
    return text;
}

struct PathLengthCase {
    std::string path;
    bool accepted;
};

class PathLength : public ::testing::TestWithParam<PathLengthCase> {};

// Windows 95 keeps a full path in 260 CP932 bytes with its terminating NUL.
// Without this bound a megabyte of KOR.INI value took minutes to resolve.
TEST_P(PathLength, RefusesWhatMaxPathCannotHold) {
    TemporaryMachine machine;

    const Result<fs::path> host = Machine::current().hostPath(GetParam().path);

    if (GetParam().accepted) {
        EXPECT_TRUE(host.ok()) << host.error().text();
    } else {
        ASSERT_FALSE(host.ok());
        EXPECT_EQ(host.error().code(), ENAMETOOLONG);
        EXPECT_LE(host.error().path().size(), 100u);
        EXPECT_FALSE(Machine::current().fullPath(GetParam().path).ok());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Machine, PathLength,
    ::testing::Values(PathLengthCase{"C:\\" + std::string(256, 'A'), true},
                      PathLengthCase{"C:\\" + std::string(257, 'A'), false},
                      PathLengthCase{"\\WINDOWS\\" + std::string(250, 'A'), false},
                      // 128 kanji: 384 bytes of UTF-8 but 256 of CP932.
                      PathLengthCase{"C:\\" + repeated("漢", 128), true},
                      PathLengthCase{"C:\\" + repeated("漢", 129), false},
                      PathLengthCase{"C:\\" + repeated("..\\", 1000) + "X", true},
                      PathLengthCase{"C:\\" + std::string(1 << 20, 'A'), false},
                      PathLengthCase{"C:" + repeated("\\A", 1 << 16), false},
                      PathLengthCase{"/tmp/" + std::string(1000, 'A'), true},
                      PathLengthCase{"/tmp" + repeated("/A", 1 << 16), false}));

TEST(Machine, ChangingDirectoryOfAnotherDriveKeepsTheCurrentDrive) {
    TemporaryMachine machine;
    const fs::path driveD = machine.addDrive('D');
    fs::create_directories(driveD / "Pics");
    ASSERT_TRUE(Machine::current().setCurrentDirectory("C:\\WINDOWS").ok());

    ASSERT_TRUE(Machine::current().setCurrentDirectory("d:\\pics").ok());

    EXPECT_EQ(Machine::current().currentDrive(), 'C');
    EXPECT_EQ(Machine::current().currentDirectory(), "C:\\WINDOWS");
    EXPECT_EQ(Machine::current().currentDirectory('d'), "D:\\pics");
    EXPECT_EQ(fs::current_path(), fs::canonical(machine.root() / "c" / "WINDOWS"));
}

TEST(Machine, ChangingDriveMovesTheWorkingDirectoryToThatDrivesDirectory) {
    TemporaryMachine machine;
    const fs::path driveD = machine.addDrive('D');
    fs::create_directories(driveD / "PICS");
    ASSERT_TRUE(Machine::current().setCurrentDirectory("D:\\PICS").ok());

    ASSERT_TRUE(Machine::current().setCurrentDrive('d').ok());

    EXPECT_EQ(Machine::current().currentDrive(), 'D');
    EXPECT_EQ(Machine::current().currentDirectory(), "D:\\PICS");
    EXPECT_EQ(fs::current_path(), fs::canonical(driveD / "PICS"));
}

TEST(Machine, ChangingToMissingPlacesFailsAndChangesNothing) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\A.BMP", "BM");

    EXPECT_FALSE(Machine::current().setCurrentDirectory("C:\\NOWHERE").ok());
    EXPECT_FALSE(Machine::current().setCurrentDirectory("C:\\WINDOWS\\A.BMP").ok());
    EXPECT_FALSE(Machine::current().setCurrentDrive('Q').ok());
    EXPECT_EQ(Machine::current().currentDrive(), 'C');
    EXPECT_EQ(Machine::current().currentDirectory(), "C:\\");
}

TEST(Machine, WindowsPathReversesTheMapping) {
    TemporaryMachine machine;
    machine.writeFile("C:\\WINDOWS\\Logo.bmp", "BM");

    const Result<std::string> windows =
        Machine::current().windowsPath(machine.root() / "c" / "WINDOWS" / "." / "Logo.bmp");

    ASSERT_TRUE(windows.ok()) << windows.error().text();
    EXPECT_EQ(windows.value(), "C:\\WINDOWS\\Logo.bmp");
    EXPECT_EQ(Machine::current().hostPath(windows.value()).value(),
              machine.root() / "c" / "WINDOWS" / "Logo.bmp");
    EXPECT_EQ(Machine::current().windowsPath(machine.root() / "c").value(), "C:\\");
}

TEST(Machine, WindowsPathRefusesPlacesOutsideEveryDrive) {
    TemporaryMachine machine;

    const Result<std::string> windows = Machine::current().windowsPath(machine.root());

    ASSERT_FALSE(windows.ok());
    EXPECT_EQ(windows.error().path(), machine.root().string());
    EXPECT_EQ(windows.error().code(), EXDEV);
}

TEST(Machine, CurrentDirectoryMayBeAHostPathOnADriveOnly) {
    TemporaryMachine machine;
    fs::create_directories(machine.root() / "c" / "PICS");

    ASSERT_TRUE(
        Machine::current().setCurrentDirectory((machine.root() / "c" / "PICS").string()).ok());
    EXPECT_EQ(Machine::current().currentDirectory(), "C:\\PICS");

    const Status outside = Machine::current().setCurrentDirectory(machine.root().string());
    ASSERT_FALSE(outside.ok());
    EXPECT_EQ(outside.error().code(), EXDEV);
    EXPECT_EQ(Machine::current().currentDirectory(), "C:\\PICS");
}

TEST(Machine, MissingDirectoryIsAPathNotFound) {
    TemporaryMachine machine;

    const Status status = Machine::current().setCurrentDirectory("C:\\NOWHERE");

    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().operation(), Operation::ChangeDirectory);
    EXPECT_EQ(status.error().message(),
              "C:\\NOWHERE\nこのﾌｫﾙﾀﾞに移動できません。パスが見つかりません。");
}

// What lies behind a folder that may not be searched is denied, as a lookup
// says, not missing.
TEST(Machine, ADirectoryBehindAnUnsearchableFolderIsDenied) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "becoming a user who may not search the folder needs root";
    TemporaryMachine machine;
    machine.writeFile("C:\\LOCKED\\SUB\\A.BMP", "BM");
    const auto open = std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                      std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                      std::filesystem::perms::others_exec;
    std::filesystem::permissions(machine.root(), open);
    std::filesystem::permissions(machine.root() / "c", open);
    std::filesystem::permissions(machine.host("C:\\LOCKED"), std::filesystem::perms::owner_all);

    ASSERT_EQ(::seteuid(65534), 0);
    const Status directory = Machine::current().setCurrentDirectory("C:\\LOCKED\\SUB");
    ASSERT_EQ(::seteuid(0), 0);

    ASSERT_FALSE(directory.ok());
    EXPECT_EQ(directory.error().code(), EACCES);
    EXPECT_EQ(directory.error().message(),
              "C:\\LOCKED\\SUB\nこのﾌｫﾙﾀﾞに移動できません。アクセスが拒否されました。");
}

TEST(Machine, WindowsDirectoryWithALeadingSlashIsOnDriveC) {
    TemporaryMachine machine;

    EXPECT_EQ(Machine(machine.root(), "/WIN95").windowsDirectory(), "C:\\WIN95");
}

} // namespace
} // namespace kor::platform
