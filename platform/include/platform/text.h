// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The system's ANSI code page (CP932, Shift-JIS) and the UTF-8 the programs
// work in.
namespace kor::platform {

// The two encodings of text here: the UTF-8 the programs work in, and CP932,
// the system's ANSI code page, of KOR.INI and of archive member names.
enum class TextEncoding { Utf8, Cp932 };

// A byte that starts a double-byte character of CP932 (0x81-0x9F, 0xE0-0xFC).
// The second byte may look like ASCII: "表" is 0x95 0x5C, a backslash.
bool isShiftJisLeadByte(unsigned char byte);

// The length in bytes of the character that starts at `at`: a UTF-8 sequence,
// or a CP932 pair (a lead byte at the very end stands alone).
std::size_t characterLength(std::string_view text, std::size_t at, TextEncoding encoding);

// Fails on bytes that are not valid CP932.
Result<std::string> fromCp932(std::string_view cp932);
// Fails on characters that CP932 cannot hold.
Result<std::string> toCp932(std::string_view utf8);

// The name of a host file as the machine shows it. Host names are UTF-8 as a
// rule, but files unpacked from old Japanese archives keep their CP932 bytes
// ("\x83\x5C" for "ソ", whose second byte looks like a backslash): a name that
// is not UTF-8 but is CP932 is read as CP932, as a whole; anything else stays
// as it is.
std::string nameOfHostFile(std::string_view hostName);

// Windows' case folding for paths and keys: ASCII letters only, so that the
// trail byte of a double-byte character is never changed.
std::string upperAscii(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The text as a report shows it: a long one cut at a character boundary after
// its first `bytes` bytes and marked "...", so that a megabyte of path or value
// makes no megabyte of message.
std::string shortenedForReport(std::string_view text, std::size_t bytes = 80);

// The text as it may go to a terminal: every control character except the
// line break ("\n") written as an escape ("\x1B", "\x7F"; a C1 control
// such as U+009B as "\u009B"), so that a name from KOR.INI or an archive
// cannot move the cursor, retitle the window or ring the bell.
enum class LineBreaks { Keep, Escape };
std::string escapeControlCharacters(std::string_view text,
                                    LineBreaks lineBreaks = LineBreaks::Keep);

// `text` converted between two encodings as iconv names them ("CP850",
// "UTF-8"), or nothing when a character has no counterpart.
std::optional<std::string> convertText(std::string_view text, const char* to, const char* from);

} // namespace kor::platform
