#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace kor::unlha32 {

// "x -jf0 archive destination\ member...": extract the members (names or
// wildcard patterns) of the archive into the destination folder, each under
// the last part of its stored name. Texts are CP932; the paths are Windows
// paths of the machine.
struct ExtractionCommand {
    std::string archive;
    std::string destination; // ends in "\"
    std::vector<std::string> members;
};

// The arguments of a command text. Blanks (spaces and tabs) separate them; a
// double-quoted part may hold blanks, and its quotation marks are dropped.
std::vector<std::string> splitCommandArguments(std::string_view text);

// Reads an extraction command. A command text that is one argument "@file"
// names a response file holding the command on its first line; the file is a
// Windows path or an absolute host path (the temporary folder may lie outside
// every drive). Fails on any command but "x", any switch but "-jf0" (both
// without regard to case), a missing "-jf0", a destination that does not end
// in "\", no member, or a response file that cannot be read.
platform::Result<ExtractionCommand> parseCommand(std::string_view commandLine);

} // namespace kor::unlha32
