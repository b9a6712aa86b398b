// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_descriptor.h"
#include "platform/files.h"
#include "platform/result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kor::platform {

// One entry of a folder on a drive.
struct FolderEntry {
    std::string name; // as Windows 95 shows it: the long name, else the 8.3 name
    std::uint64_t size = 0;
    bool directory = false;
    bool hidden = false; // the hidden or the system attribute
    bool readOnly = false;
};

// A drive of the machine that has no host folder to stand in (a disk image):
// what the files of files.h and the temporary files need of it. Paths are
// full Windows paths on the drive ("C:\WINDOWS\LOGO.SYS"); `operation` is
// the one a failure reports. A drive that is a host folder is reached through
// its folder (see Machine), and no Drive stands for it.
class Drive {
  public:
    virtual ~Drive() = default;

    // The entries of a directory, "." and ".." left out. Fails (ENOTDIR)
    // when it is not there.
    virtual Result<std::vector<FolderEntry>> list(Operation operation,
                                                  std::string_view directory) = 0;
    // The entry that a path names, or nothing when there is none; a drive
    // root is a directory.
    virtual Result<std::optional<FolderEntry>> find(Operation operation, std::string_view path) = 0;
    // What tells this state of a file from another.
    virtual Result<FileVersion> version(Operation operation, std::string_view path) = 0;
    // The file's bytes in a file in memory, read from its start.
    virtual Result<FileDescriptor> readIntoMemory(Operation operation, std::string_view path) = 0;

    // Writes the host file `contents` as `target` through a temporary name in
    // the target's folder, so that `target` is always the old file or the new
    // one; replaces a file of that name when `overwrite` says so.
    virtual Status storeAs(Operation operation, int contents, std::string_view target,
                           Overwrite overwrite) = 0;
    // Gives a file a new name on this drive, replacing one of that name when
    // `overwrite` says so (never a read-only one).
    virtual Status rename(Operation operation, std::string_view from, std::string_view to,
                          Overwrite overwrite) = 0;
    // Copies a file to `to` on this drive, so that `to` is always the old
    // file or the new one.
    virtual Status copy(Operation operation, std::string_view from, std::string_view to,
                        Overwrite overwrite) = 0;
    virtual Status remove(Operation operation, std::string_view path) = 0;
    virtual Status makeDirectory(Operation operation, std::string_view path) = 0;
    // Removes a folder that holds nothing but files, and those files.
    virtual Status removeFolder(Operation operation, std::string_view path) = 0;

    // A path in `folder` under a temporary name that no entry there has.
    virtual Result<std::string> freeTemporaryPath(Operation operation, std::string_view folder) = 0;
    // Marks this run as one that may leave temporary files on the drive
    // until it ends. Fails when the drive cannot be written.
    virtual Status claim(Operation operation, std::string_view path) = 0;
    // Succeeds when the drive could be changed now, and else fails as a
    // change would.
    virtual Status checkWritable(Operation operation, std::string_view path) = 0;
    // Removes the temporary files that runs which died left in `directory`.
    virtual void removeStaleTemporaries(std::string_view directory) = 0;
};

// Opens the drive that the disk image file `imageFile` holds on partition
// `partition` (0 for the first usable one); fails, saying why, when it holds
// none. The machine has none until a program gives it one (see
// Machine::setImageOpener), as the disk images live in a library of their own.
using DriveOpener = std::function<Result<std::shared_ptr<Drive>>(
    const std::filesystem::path& imageFile, unsigned partition)>;

} // namespace kor::platform
