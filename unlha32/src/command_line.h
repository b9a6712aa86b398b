// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kor::unlha32 {

// "x -jf0 [-jl[=LENGTH]] archive destination\ member...": extract the
// members of the archive into the destination folder, each under the last
// part of its stored name. A member argument is a name or a wildcard pattern;
// with -jl it is a member's stored name exactly, byte for byte, "*" and "?"
// included, and names one member only: the first of that name, or with
// =LENGTH the first of that name and length. Texts are CP932; the paths are
// Windows paths of the machine.
struct ExtractionCommand {
    std::string archive;
    std::string destination; // ends in "\"
    std::vector<std::string> members;
    bool literalNames = false;
    std::optional<std::uint64_t> literalLength; // of the member a literal name names
};

// One argument of a command text, and whether any of it was quoted: a quoted
// argument is never taken for a switch.
struct CommandArgument {
    std::string text;
    bool quoted = false;
};

// The arguments of a command text. Blanks (spaces and tabs) separate them; a
// double-quoted part may hold blanks, line breaks and, written twice (""), a
// quotation mark; its enclosing quotation marks are dropped. An unquoted line
// break ends the command. Fails on a quotation that is never closed, or on
// anything but blanks and line breaks after the command's end.
platform::Result<std::vector<CommandArgument>> splitCommandArguments(std::string_view text);

// Reads an extraction command. A command text that is one argument "@file"
// names a response file holding the command; the file is a
// Windows path or an absolute host path (the temporary folder may lie outside
// every drive). Fails on any command but "x", any switch but "-jf0" and "-jl[=LENGTH]"
// (both without regard to case), a missing "-jf0", a destination that does not
// end in "\", no member, a quotation never closed, or a response file that
// cannot be read.
platform::Result<ExtractionCommand> parseCommand(std::string_view commandLine);

} // namespace kor::unlha32
