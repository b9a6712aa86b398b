// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disk_headers.h"
#include "diskimage/disk_layout.h"

#include <functional>
#include <optional>
#include <vector>

// The partition table of a NEC PC-98 hard disk, which PC-98 DOS and Windows
// 95 write in place of an MBR.
namespace kor::diskimage {

struct Pc98Partition {
    unsigned number = 0;        // 1 to 16, in table order
    std::optional<FatType> fat; // by its system id; none for another system
    bool bootable = false;
    bool active = false; // not sleeping: DOS gives it a drive letter
    ImageVolume volume;  // in bytes from the start of the disk
};

// Whether the disk at byte `offset` starts a FAT file system.
using FatProbe = std::function<bool(std::uint64_t offset)>;

// The partitions of the PC-98 table in sector 1 of a disk of `diskSize`
// bytes and `sectorSize`-byte sectors, in the geometry given (from the image's
// header) or, for a raw disk, in the one that puts a FAT file system where the
// table says; none when sector 1 holds no such table with a FAT partition
// that `holdsFat` confirms.
std::optional<std::vector<Pc98Partition>>
pc98Partitions(const ImageReader& read, std::uint64_t diskSize, std::uint32_t sectorSize,
               std::optional<DiskGeometry> geometry, const FatProbe& holdsFat);

} // namespace kor::diskimage
