// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace kor::fuzz {

// Takes the bytes as C:\WINDOWS\KOR.INI on the scratch machine and reads the
// settings through the profile reader and the core; then the bytes as CP932
// and as UTF-8 text, converted both ways. Aborts when the readers disagree, a
// written value does not read back or other keys change with it, or a
// conversion does not hold on its round trip. Returns 0, as libFuzzer expects.
int runSettingsInput(const std::uint8_t* data, std::size_t size);

} // namespace kor::fuzz
