// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kor::platform {

// `text` converted between two encodings as iconv names them ("CP850",
// "UTF-8"), or nothing when a character has no counterpart.
std::optional<std::string> convertText(std::string_view text, const char* to, const char* from);

} // namespace kor::platform
