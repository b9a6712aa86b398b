// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drive.h"
#include "platform/host_files.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

// Where a name inside a drive folder leads on the host, reached one name at a
// time. A link inside a drive is followed only when the running user
// (effective uid) owns it, or its owner also owns what it leads to, at every
// hop of a chain; any other link counts as absent. So a run as root on another
// user's tree never reads, writes or lists, through a link that user made, a
// file only root may touch, while a user's own link to their own pictures
// works. The place keeps descriptors of what was checked, and everything done
// there is done through them, so that a link swapped after the check cannot
// lead elsewhere.
namespace kor::platform {

class Machine;

struct HostPlace {
    // The folder holding the entry, opened without access (O_PATH); closed
    // for a drive root and when the folder cannot be reached.
    FileDescriptor folder;
    // The entry's name in that folder: as on the disk when it exists, else as
    // given.
    std::string name;
    // What the entry is or leads to (O_PATH) and its status; closed when
    // nothing usable is there.
    FileDescriptor object;
    struct stat info {};
    // Why `object` is closed: ENOENT for an absent entry or a refused link,
    // or why its folder cannot be reached.
    int error = 0;
    // The path through the drive, for reports and for the desktop.
    std::filesystem::path host;

    bool exists() const { return object.isOpen(); }
    bool isFile() const { return exists() && S_ISREG(info.st_mode); }
    bool isDirectory() const { return exists() && S_ISDIR(info.st_mode); }
    // FAT's read-only attribute, kept as a FAT mount shows it: a file without
    // any write permission bit. The bits decide rather than access(2), which
    // lets root write anything; Windows refuses to delete or replace such a file.
    bool isReadOnly() const { return isFile() && (info.st_mode & 0222) == 0; }
    // The errno of a change of the entry itself (create, rename, remove) when
    // its folder is not open, else 0.
    int folderError() const;
    // Opens the object checked here with `flags` (O_RDONLY, O_DIRECTORY...);
    // closed with errno set on failure.
    FileDescriptor open(int flags) const;
};

// The place of `names` below the drive folder `drive` (which may be a link of
// the machine's root). A name absent as spelt is matched without regard to
// case as on FAT (the first in byte order, its CP932 bytes counting too).
HostPlace placeInDrive(const std::filesystem::path& drive, const std::vector<std::string>& names);

// The place of a host path outside every drive (a TMP folder), links followed
// as the user's own configuration.
HostPlace placeOfHostPath(const std::filesystem::path& host);

// The place of a full Windows path (or host path) of `machine`. Fails (ENODEV)
// when the drive is not mapped, and (ENOTSUP) when it is a disk image.
Result<HostPlace> hostPlace(const Machine& machine, std::string_view fullPath);

// The status of what the entry `name` of the open folder `folder` is or leads
// to, by the rule above; nothing for a refused or broken link.
std::optional<struct stat> statusOfEntry(int folder, const char* name);

// A Windows path as the caller means it (or a host path outside every drive),
// with the place on the host it names, or the disk image it lies in.
struct Location {
    std::string windowsPath;
    HostPlace place;
    std::shared_ptr<Drive> image;
};
Result<Location> locate(Operation operation, std::string_view path);

// The whole file at a location, a host file or one in a disk image.
Result<std::string> readLocatedFile(Operation operation, const Location& location);

// Flushes an open folder to the disk; a file system that cannot is no failure.
void syncFolder(int folder);

} // namespace kor::platform
