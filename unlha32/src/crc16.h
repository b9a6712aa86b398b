// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace kor::unlha32 {

// The CRC-16 that LZH headers carry for a member's data (polynomial 0xA001,
// reflected, starting at 0). Feed the data piece by piece, passing the
// previous result as `crc`.
std::uint16_t updateCrc16(std::uint16_t crc, std::string_view bytes);

} // namespace kor::unlha32
