#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>

// The system's ANSI code page (CP932, Shift-JIS) and the UTF-8 the programs
// work in.
namespace kor::platform {

// Fails on bytes that are not valid CP932.
Result<std::string> fromCp932(std::string_view cp932);
// Fails on characters that CP932 cannot hold.
Result<std::string> toCp932(std::string_view utf8);

// Windows' case folding for paths and keys: ASCII letters only, so that the
// trail byte of a double-byte character is never changed.
std::string upperAscii(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace kor::platform
