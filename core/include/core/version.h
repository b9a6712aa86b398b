// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace kor::core {

// The version of KOR, korsetup and korlogo, as the project's build names it
// ("1.04").
std::string_view programVersion();

} // namespace kor::core
