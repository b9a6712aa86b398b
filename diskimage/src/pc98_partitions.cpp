// SPDX-License-Identifier: GPL-3.0-or-later
#include "pc98_partitions.h"

#include "byte_order.h"

#include <array>
#include <string>

namespace kor::diskimage {

namespace {

// One entry of 32 bytes: mid (bit 7 bootable; 0x20 to 0x2F DOS), sid (bit 7
// active, clear for a sleeping partition; 0x01 FAT12, 0x11 FAT16 below
// 32 MiB, 0x21 FAT16, 0x61 FAT32), two reserved bytes, the IPL's sector, head
// and cylinder (word), the start's sector, head and cylinder, the end's, and a
// name of 16 bytes. Sectors count from 0. DOS and Windows write the end as a
// cylinder with head and sector 0, which then runs to the cylinder's end.
// (GNU parted libparted/labels/pc98.c; FreeBSD sys/sys/diskpc98.h; Linux/98
// fs/partitions/nec98.c.)
struct Entry {
    unsigned char mid = 0;
    unsigned char sid = 0;
    unsigned reserved = 0;
    unsigned startSector = 0, startHead = 0, startCylinder = 0;
    unsigned endSector = 0, endHead = 0, endCylinder = 0;
};

constexpr std::size_t EntrySize = 32;
constexpr std::size_t Entries = 16;

Entry entryAt(std::string_view table, std::size_t index) {
    const std::string_view bytes = table.substr(index * EntrySize, EntrySize);
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    const auto word = [&](std::size_t at) {
        return static_cast<unsigned>(littleEndian(bytes, at, 2));
    };
    return {byte(0), byte(1), word(2), byte(8), byte(9), word(10), byte(12), byte(13), word(14)};
}

bool isUnused(std::string_view table, std::size_t index) {
    return table.substr(index * EntrySize, 16).find_first_not_of('\0') == std::string_view::npos;
}

std::optional<FatType> fatSystem(unsigned char sid) {
    switch (sid & 0x7F) {
    case 0x01:
        return FatType::Fat12;
    case 0x11:
    case 0x21:
        return FatType::Fat16;
    case 0x61:
        return FatType::Fat32;
    default:
        return std::nullopt;
    }
}

// A raw disk does not say its geometry: PC-98 BIOSes give IDE disks 8 heads
// of 17 sectors, and larger disks 16 heads of 63.
constexpr std::array<DiskGeometry, 2> RawDiskGeometries = {{{8, 17}, {16, 63}}};

std::optional<std::vector<Pc98Partition>>
partitionsIn(std::string_view table, std::uint64_t diskSize, std::uint32_t sectorSize,
             DiskGeometry geometry, const FatProbe& holdsFat) {
    std::vector<Pc98Partition> partitions;
    bool confirmed = false;
    const std::uint64_t cylinderSectors =
        static_cast<std::uint64_t>(geometry.heads) * geometry.sectorsPerTrack;
    for (std::size_t index = 0; index < Entries; ++index) {
        if (isUnused(table, index))
            continue;
        const Entry entry = entryAt(table, index);
        // The table of another system, or no table at all.
        if (entry.reserved != 0 || entry.startSector >= geometry.sectorsPerTrack ||
            entry.startHead >= geometry.heads || entry.endSector >= geometry.sectorsPerTrack ||
            entry.endHead >= geometry.heads || entry.startCylinder > entry.endCylinder)
            return std::nullopt;
        const std::uint64_t start = entry.startCylinder * cylinderSectors +
                                    entry.startHead * geometry.sectorsPerTrack + entry.startSector;
        const std::uint64_t end = entry.endHead == 0 && entry.endSector == 0
                                      ? (entry.endCylinder + 1) * cylinderSectors
                                      : entry.endCylinder * cylinderSectors +
                                            entry.endHead * geometry.sectorsPerTrack +
                                            entry.endSector + 1;
        if (end <= start)
            return std::nullopt;
        Pc98Partition partition{static_cast<unsigned>(index + 1),
                                fatSystem(entry.sid),
                                (entry.mid & 0x80) != 0,
                                (entry.sid & 0x80) != 0,
                                {start * sectorSize, (end - start) * sectorSize}};
        if (partition.fat && partition.volume.offset < diskSize &&
            holdsFat(partition.volume.offset))
            confirmed = true;
        partitions.push_back(partition);
    }
    if (!confirmed)
        return std::nullopt;
    return partitions;
}

} // namespace

std::optional<std::vector<Pc98Partition>>
pc98Partitions(const ImageReader& read, std::uint64_t diskSize, std::uint32_t sectorSize,
               std::optional<DiskGeometry> geometry, const FatProbe& holdsFat) {
    if (diskSize < 2 * static_cast<std::uint64_t>(sectorSize))
        return std::nullopt;
    const std::string table = read(sectorSize, Entries * EntrySize);
    if (table.size() < Entries * EntrySize)
        return std::nullopt;
    if (geometry)
        return partitionsIn(table, diskSize, sectorSize, *geometry, holdsFat);
    for (const DiskGeometry& candidate : RawDiskGeometries)
        if (auto partitions = partitionsIn(table, diskSize, sectorSize, candidate, holdsFat))
            return partitions;
    return std::nullopt;
}

} // namespace kor::diskimage
