// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/version.h"

namespace kor::core {

// KOR_VERSION comes from project(kor VERSION ...) in the top CMakeLists.txt,
// the one place the version is written.
std::string_view programVersion() {
    return KOR_VERSION;
}

} // namespace kor::core
