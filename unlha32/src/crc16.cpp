// SPDX-License-Identifier: GPL-3.0-or-later
#include "crc16.h"

#include <array>

namespace kor::unlha32 {

namespace {

constexpr std::array<std::uint16_t, 256> makeCrc16Table() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned value = 0; value < table.size(); ++value) {
        unsigned crc = value;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[value] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr auto Crc16Table = makeCrc16Table();

} // namespace

std::uint16_t updateCrc16(std::uint16_t crc, std::string_view bytes) {
    for (const char byte : bytes)
        crc = static_cast<std::uint16_t>(
            (crc >> 8) ^ Crc16Table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF]);
    return crc;
}

} // namespace kor::unlha32
