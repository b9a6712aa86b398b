// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disk_image.h"

#include <optional>
#include <string_view>

// The headers that PC-98 emulators and 86Box put before a raw hard disk:
// HDI, NHD, HDX and Virtual98's HDD, each a header followed by the disk's
// sectors in order, and T98's THD, which is refused.
namespace kor::diskimage {

// How the disk's sectors are addressed by cylinder, head and sector.
struct DiskGeometry {
    std::uint32_t heads = 0;
    std::uint32_t sectorsPerTrack = 0;
};

// Where the raw disk lies in the file, as its header says.
struct DiskContainer {
    std::string_view format; // "HDI", "NHD", ...
    std::uint64_t dataOffset = 0;
    std::uint64_t diskSize = 0;
    std::uint32_t sectorSize = 512;
    DiskGeometry geometry;
};

// The container of the disk in an image of `fileSize` bytes, told by its
// header's contents, never by the file's name; none for a file with no such
// header. Fails, naming the format, when the header is damaged (a zero in the
// geometry, a disk beyond the end of the file) or when the disk has sectors
// of 256 bytes (a SASI disk), which are not worked on.
Result<std::optional<DiskContainer>> diskContainer(const ImageReader& read, std::uint64_t fileSize,
                                                   const std::string& image);

} // namespace kor::diskimage
