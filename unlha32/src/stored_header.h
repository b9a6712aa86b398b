// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kor::unlha32 {

struct DosTimestamp {
    std::uint16_t date = 0; // year-1980 << 9 | month << 5 | day
    std::uint16_t time = 0; // hour << 11 | minute << 5 | second / 2
};

// What lhasa does not report as the archiver stored it.
struct StoredHeaderFields {
    // The member path as stored, parts joined by "\" (the directory of a
    // level 1 to 3 header first, then the file name), in the archive's bytes,
    // up to a zero byte.
    std::string name;
    // The MS-DOS stamp of a level 0 or 1 header; level 2 and 3 headers hold
    // Unix time instead.
    std::optional<DosTimestamp> dosTimestamp;
    // The sizes of the extended header that archivers write for members of
    // 4 GiB or more; the base header then holds only their low 32 bits.
    std::optional<std::uint64_t> largeCompressedLength;
    std::optional<std::uint64_t> largeLength;
};

// Reads the stored name and stamp from the raw bytes of one header, including
// its extended headers, as lhasa read them. Empty when the bytes do not hold
// the fields that their own lengths announce.
std::optional<StoredHeaderFields> readStoredHeaderFields(std::span<const std::uint8_t> raw);

// A Unix time as an MS-DOS stamp in local time, held within the years that
// the stamp can express (1980 to 2107).
DosTimestamp dosTimestampFromUnixTime(std::int64_t unixTime);

} // namespace kor::unlha32
