// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The integers that disks, file systems and image headers store in their
// bytes. A byte beyond the end of `bytes` reads as 0, so that a short read
// never reaches outside it.
namespace kor::diskimage {

// The `width` bytes at `at`, the least significant first (FAT, MBR, HDI).
inline std::uint64_t littleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value =
            value << 8 | (at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0U);
    return value;
}

// The `width` bytes at `at`, the most significant first (VHD, qcow2).
inline std::uint64_t bigEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value =
            value << 8 | (at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0U);
    return value;
}

} // namespace kor::diskimage
