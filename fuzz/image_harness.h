// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace kor::fuzz {

// Takes the bytes, after a first byte that picks the part, either as the
// start of a disk image file, whose FAT volume is looked for (with the
// partition number the first byte gives) and checked as the programs check
// it before a change, or as what mtools prints of a directory (a listing, a
// NUL, the attributes). Aborts when a volume found lies outside the file, a
// fault of its FAT is told in no words, or a parsed entry has no 8.3 name or
// is "." or "..".
// Returns 0, as libFuzzer expects.
int runImageInput(const std::uint8_t* data, std::size_t size);

} // namespace kor::fuzz
