// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "messages.h"

#include "core/logo_format.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kor::korlogo {

// The start of a host file and its length, or the errno that stopped the
// reading.
struct FileStart {
    std::vector<std::uint8_t> bytes;
    std::uint64_t length = 0;
    int error = 0;
    bool isFile = true;
    bool isFolder = false;
};

// Opens the regular file at `path` for reading; a FIFO or a device is never
// read and cannot block. Returns its descriptor, or -1 with `found.error`,
// `found.isFile` and `found.isFolder` saying why.
int openRegularFile(const std::string& path, FileStart& found);

// Reads at most `limit` bytes of the file at `path`, so that a file of any
// size costs the same; a FIFO or a device is never read and cannot block.
FileStart readFileStart(const std::string& path, std::size_t limit = core::LogoHeadersLength);

// Why the machine of `format` cannot show `file` (unreadable, not a file, or
// its problems); empty when it can.
std::string reasonsNotShown(const Messages& messages, const FileStart& file,
                            core::LogoFormat format);

// The name that stands for standard output where a command writes a file.
inline constexpr std::string_view StandardOutputName = "-";

// Whether `path` names something other than a regular file (a folder, a
// device, a FIFO, a socket), which a command's output must never replace.
bool isSpecialFile(const std::string& path);

// What writeOutput returns when `path` names a special file just before it
// would be replaced; no errno has this value.
inline constexpr int OutputIsSpecial = -1;

// Writes `bytes` to standard output when `path` is "-", otherwise to `path`
// through a new file beside it and a rename, so that `path` is either its old
// self or the whole new file; a special file is never replaced. Returns 0,
// OutputIsSpecial or an errno.
int writeOutput(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace kor::korlogo
