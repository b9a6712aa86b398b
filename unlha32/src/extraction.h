// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command_line.h"
#include "directory_cache.h"

#include "platform/result.h"

#include <string>

namespace kor::unlha32 {

// Runs an extraction command and returns its report, one line per file
// written. Every member is decoded into a temporary file in the destination
// folder and checked against its length and CRC; only when all of them are
// sound are they renamed into place, each without replacing any file. The
// command fails, leaving nothing behind, when a member pattern matches no
// file, a stored name may not be written (extractedFileName), two members
// would be written under one name, a file of that name exists, or a member
// cannot be decoded.
platform::Result<std::string> runExtraction(const ExtractionCommand& command,
                                            DirectoryCache& cache);

// Whether a failed extraction failed at writing (a full disk, a folder that
// takes no file) rather than at the archive or the command.
bool isWriteFailure(const platform::Error& error);

} // namespace kor::unlha32
