// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kor::testing {

// MS-DOS stamps as LZH headers of level 0 and 1 hold them.
constexpr std::uint16_t dosDate(int year, int month, int day) {
    return static_cast<std::uint16_t>((year - 1980) << 9 | month << 5 | day);
}
constexpr std::uint16_t dosTime(int hour, int minute, int second) {
    return static_cast<std::uint16_t>(hour << 11 | minute << 5 | second / 2);
}

// One member of a test archive, its data stored as they are: uncompressed
// under -lh0-, and as a stand-in for compressed data under any other method.
struct LzhMember {
    // The name's bytes exactly as they go into the header: Shift-JIS, blanks,
    // "\" between folders, or anything hostile ("..\\EVIL.BMP", "C:\\X").
    std::string storedName;
    std::string data;
    std::uint16_t dosDate = testing::dosDate(2000, 1, 1);
    std::uint16_t dosTime = testing::dosTime(12, 0, 0);
    // 0: the name in the base header (at most 233 bytes), the stamp as given.
    // 2: the folders and the file name in extended headers (0xFF between
    // folders, the name split at its last "\" that is not the second byte of
    // a double-byte character), the stamp as Unix time of the local zone.
    int headerLevel = 0;
    // Five characters, such as "-lh0-".
    std::string method = "-lh0-";
};

// An MS-DOS stamp as Unix time of the local zone, out-of-range fields
// carried over as lhasa does (month 0 of 1981 is December 1980).
std::int64_t unixTimeOf(std::uint16_t date, std::uint16_t time);

// The bytes of an LZH archive holding `members` in order, each with its
// CRC-16, and the ending zero byte. No members: the zero byte alone.
// Throws std::invalid_argument for a name that a level 0 header cannot hold
// or a header level other than 0 and 2.
std::string makeLzhArchive(const std::vector<LzhMember>& members);

// The CRC-16 of LZH headers (polynomial 0xA001, reflected, starting at 0).
std::uint16_t lzhCrc16(std::string_view bytes);

} // namespace kor::testing
