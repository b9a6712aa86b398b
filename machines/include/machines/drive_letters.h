// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The drive letters that the DOS of a machine gives the FAT partitions of its
// hard disks.
namespace kor::machines {

struct LetteredDrive {
    char letter = 'C';
    std::size_t disk = 0; // which of the disks given, from 0
    unsigned partition =
        0; // as diskimage::openImageDrive numbers them; 0 for a disk that is one volume
    std::string fileSystem; // "FAT12", "FAT16" or "FAT32"
    std::uint64_t size = 0; // in bytes
};

struct DriveLetters {
    // In the order of their letters.
    std::vector<LetteredDrive> drives;
    // The first disk holds a PC-98 partition table: the boot partition is A:.
    bool pc98 = false;
};

// The letters of the FAT partitions of `disks`, given in the BIOS's order. On
// a PC: C: on the first disk by the rule Windows 95 follows (recognised FAT
// types, hidden ones never, the active primary partition first), D: the same
// on the second disk, and so on; then the logical drives of each disk in
// order; then the remaining primary partitions. On a PC-98 the partition it
// boots from is A: and the others follow, disk by disk in table order. Fails,
// naming the image, when a disk cannot be read or has no FAT partition at all
// and is the first one.
platform::Result<DriveLetters> letterDrives(const std::vector<std::filesystem::path>& disks);

// One line of the map `KOR --drives` prints:
// "C:  disk 1, partition 1, FAT16, 2.0 GB, win95.vhd".
std::string driveMapLine(const LetteredDrive& drive, const std::filesystem::path& image);

} // namespace kor::machines
