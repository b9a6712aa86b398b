// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return kor::fuzz::runArchiveInput(data, size);
}
