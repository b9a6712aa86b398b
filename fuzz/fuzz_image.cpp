// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return kor::fuzz::runImageInput(data, size);
}
