// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drive.h"
#include "platform/result.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kor::platform {

// A drive that a machine's description names, rather than an entry of a
// folder of drives.
struct MappedDrive {
    std::filesystem::path host; // a folder, or a disk image file
    bool image = false;
    unsigned partition = 0; // of an image, as DriveOpener numbers them
};

// The emulated Windows machine: drive letters mapped onto host folders or FAT
// disk images, the Windows directory, and the current drive with a current
// directory per drive.
//
// Drives are those a description gives (an emulator's disks, lettered as its
// DOS gives them), or the entries of the root folder named by one letter (a folder, a
// disk image file, or a link to either, any case): $KOR_ROOT/c is drive C:. An
// image with a partition table is read on its first FAT partition, or on the
// one that the file $KOR_ROOT/c.partition or the variable KOR_PARTITION_C
// names by its number. Windows paths (UTF-8 text,
// backslashes, drive letter and colon) resolve onto host paths component by
// component; an existing name is matched without regard to case when the exact
// name is absent, as on FAT, and a missing name is kept as given. A path that
// starts with "/" is a host path (TMP may name a folder outside every drive);
// it is used as it stands, case and all. A symbolic link inside a drive is
// followed only when the running user owns it or its owner also owns what it
// leads to (the files of files.h are reached so); the drive entries
// themselves are the user's own and always followed.
class Machine {
  public:
    // A machine over `root` whose Windows directory is `windowsDirectory`
    // (a full Windows path such as C:\WINDOWS). The current drive starts as the
    // drive of the Windows directory, every drive's current directory as its root.
    // A Windows directory that names no folder of a drive ("\\server\share",
    // "1:\WINDOWS") leaves the machine on C:\WINDOWS and windowsDirectoryStatus
    // failed.
    Machine(std::filesystem::path root, std::string windowsDirectory);
    // A machine whose drives are `drives` alone (an emulator's disks, lettered
    // as its DOS gives them); `root` is the folder its description lies in.
    Machine(std::filesystem::path root, const std::map<char, MappedDrive>& drives,
            std::string windowsDirectory);

    // The machine of a folder of drives: KOR_ROOT (default $HOME/.kor), with
    // WINDIR (default C:\WINDOWS).
    static Machine folderOfDrives();
    // The machine of this process, made on first use as folderOfDrives().
    static Machine& current();
    // Replaces the machine of this process: with the one a program chose, or
    // in tests one over a temporary root. Only from the thread that uses the
    // machine of the process.
    static void setCurrent(Machine machine);

    const std::filesystem::path& root() const { return m_root; }

    // Gives the machine another Windows directory, taken as the constructor
    // takes one, and makes its drive the current one.
    void setWindowsDirectory(std::string windowsDirectory);

    // As GetWindowsDirectoryA: a full path, no trailing backslash except at a
    // drive root ("C:\WINDOWS", "E:\").
    std::string windowsDirectory() const { return m_windowsDirectory; }
    // Whether the Windows directory given to the machine (WINDIR for the
    // machine of this process) could be used: else an Error of
    // Operation::UseWindowsDirectory naming the value given and why (EINVAL,
    // ENAMETOOLONG). What a program does about it is the program's choice.
    const Status& windowsDirectoryStatus() const { return m_windowsDirectoryStatus; }
    // The drive Windows boots from, whose root holds logo.sys: the one set,
    // else the Windows directory's.
    char bootDrive() const;
    void setBootDrive(char letter);

    // As GetSystemDirectoryA: the SYSTEM folder of the Windows directory.
    std::string systemDirectory() const;

    // Upper-case letters of the mapped drives, in alphabetical order.
    std::vector<char> drives() const;
    bool isDriveMapped(char letter) const;
    // What maps a drive: its folder, or its disk image (a disk itself
    // included); the partition is the described drive's, and 0 for a folder
    // of drives, whose c.partition is read when the drive opens.
    std::optional<MappedDrive> mappedDrive(char letter) const;

    // The full Windows path of `path`, made absolute against the current drive
    // and that drive's current directory, "." and ".." folded, separators made
    // backslashes, no trailing backslash except at a drive root. A host path
    // ("/tmp\\X") stays one: separators made "/", "." and ".." folded
    // ("/tmp/X"). Fails (EINVAL) for a path that names no drive letter it could
    // use, and (ENAMETOOLONG) for a Windows path of 260 CP932 bytes or more, as
    // MAX_PATH allows no more, or a host path of 4096 bytes or more.
    Result<std::string> fullPath(std::string_view path) const;

    // The host path of a Windows path (relative ones are made full first), or
    // of a host path as fullPath gives it. Fails (ENODEV) when the drive is not
    // mapped, and (ENOTSUP) when it is a disk image, which has no host path.
    Result<std::filesystem::path> hostPath(std::string_view path) const;

    // The disk image behind a drive, or nullptr when the drive is a folder.
    // Fails (ENODEV) when the drive is not mapped, (ENOTSUP) when it is a
    // disk itself or no opener of images was given, and as the opener fails
    // when the image cannot be used; always saying why.
    Result<std::shared_ptr<Drive>> imageDrive(char letter) const;

    // Gives every machine of this process the opener of the drives that are
    // disk images. Each program gives it at its start; until then a drive
    // that is a disk image fails to open, and is never taken for a folder.
    static void setImageOpener(DriveOpener opener);

    // The Windows path of a host path that lies on a mapped drive, or an Error
    // (EXDEV) when it lies outside every drive.
    Result<std::string> windowsPath(const std::filesystem::path& host) const;

    char currentDrive() const { return m_currentDrive; }
    // Fails (ENODEV) when the drive is not mapped.
    Status setCurrentDrive(char letter);

    // The current directory of the current drive, or of `drive`, as a full path.
    std::string currentDirectory() const;
    std::string currentDirectory(char drive) const;
    // As ChDir: sets the current directory of the path's drive (not the current
    // drive). Fails when the directory does not exist or, for a host path, lies
    // outside every drive. The process's working directory follows when that
    // drive is the current one.
    Status setCurrentDirectory(std::string_view path);

  private:
    Result<std::string> unboundedFullPath(std::string_view path) const;

    std::filesystem::path m_root;
    // The drives a description gave; none for a folder of drives.
    std::optional<std::map<char, MappedDrive>> m_describedDrives;
    std::optional<char> m_bootDrive;
    std::string m_windowsDirectory;
    Status m_windowsDirectoryStatus;
    char m_currentDrive = 'C';
    std::map<char, std::string> m_currentDirectories;
};

} // namespace kor::platform
