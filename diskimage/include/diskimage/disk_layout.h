// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// The partitions of a disk image as the DOS of its machine sees them: which
// ones hold FAT, which ones get a drive letter, and the one it starts from.
namespace kor::diskimage {

enum class FatType { Fat12, Fat16, Fat32 };

// "FAT12", "FAT16" or "FAT32".
std::string_view fatTypeName(FatType type);

enum class PartitionScheme {
    Volume, // one FAT volume from the first byte, no partition table
    Mbr,    // a PC's master boot record, with the logical drives of its extended partition
    Pc98,   // the partition table of a NEC PC-98
    Blank,  // neither a table nor a FAT volume: a new disk, or another system's
};

struct DiskPartition {
    // As openImageDrive numbers them: of an MBR 1 to 4 the primary ones, from
    // 5 the logical ones in the order of their chain; of a PC-98 table 1 to
    // 16; 0 for a disk that is one volume.
    unsigned number = 0;
    bool logical = false;
    bool active = false;   // the MBR's boot flag; on a PC-98, bootable
    bool hidden = false;   // a FAT type hidden by a boot manager; on a PC-98, sleeping
    bool lettered = false; // Windows 95 gives it a drive letter
    // By the count of clusters its boot sector gives, else by its type in the
    // table; none for another system (the extended partition among them).
    std::optional<FatType> fat;
    std::uint64_t size = 0; // in bytes
};

struct DiskLayout {
    PartitionScheme scheme = PartitionScheme::Volume;
    // In the order of their numbers.
    std::vector<DiskPartition> partitions;
    // The partition that openImageDrive opens for 0: the one Windows 95 makes
    // drive C: (on a PC-98, the one the machine boots from, drive A:); none
    // when no partition gets a letter.
    std::optional<unsigned> firstDrive;
};

// The layout of the disk in the image file `imageFile`, of every kind
// openImageDrive opens: a raw or fixed VHD disk, a PC-98 emulator's header
// before one, a format of QEMU's through an export that ends with the call.
// Fails, saying why, when it cannot be read or is no disk of these kinds
// (another format, a damaged header, too small).
platform::Result<DiskLayout> readDiskLayout(const std::filesystem::path& imageFile);

} // namespace kor::diskimage
