// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace kor::fuzz {

// Takes the bytes as an LZH archive C:\ARCHIVE.LZH on the scratch machine and
// runs it through the archive library and the listing as the programs do:
// check, open and list every member, find each member by its own name, list
// it through the core, and extract every member into C:\OUT\. Aborts when the
// library breaks one of its promises: a listed member not found by its name,
// check and open disagreeing, a file written outside C:\OUT\, a failed
// extraction that left something behind, or a successful one that did not
// write exactly one file per member. Returns 0, as libFuzzer expects.
int runArchiveInput(const std::uint8_t* data, std::size_t size);

} // namespace kor::fuzz
