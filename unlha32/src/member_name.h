// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>
#include <vector>

// Member names are CP932 bytes. A lead byte (0x81-0x9F, 0xE0-0xFC) and the
// byte after it form one character whose trail byte may look like "\" (0x5C)
// or an ASCII letter: "表" is 0x95 0x5C. Nothing here takes a trail byte for a
// separator or a letter.
namespace kor::unlha32 {

// The name with the separators that some archivers store ("/", and 0xFF of
// the directory headers) written as "\". Neither byte can be part of a
// double-byte character.
std::string withBackslashSeparators(std::string_view name);

// The parts of a member path between its "\" and "/" separators.
std::vector<std::string_view> splitMemberPath(std::string_view name);

// The name with its ASCII letters upper-cased and "/" written as "\", so that
// two names that Windows takes for the same path fold to equal bytes.
std::string foldMemberName(std::string_view name);

bool hasWildcard(std::string_view pattern);

// Windows wildcards over a whole member path, as platform::matchesWildcard
// takes them ("*.*" matches every name, one without a dot too), "/" in the
// pattern meaning "\\".
bool matchesMemberPattern(std::string_view name, std::string_view pattern);

// The name a member is written under when its folders are left out: the last
// part of its stored name, whatever the folders before it. Fails, naming the
// reason, when that part is empty, "." or "..", or not a valid Windows file
// name (control characters, or any of < > : " | ? *).
platform::Result<std::string> extractedFileName(std::string_view storedName);

// A member name as readable UTF-8 for reports; invalid bytes are shown as
// \xNN.
std::string displayMemberName(std::string_view storedName);

} // namespace kor::unlha32
