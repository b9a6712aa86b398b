// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return kor::fuzz::runSettingsInput(data, size);
}
