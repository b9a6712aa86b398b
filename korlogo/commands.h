// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "messages.h"

#include <span>
#include <string>

namespace kor::korlogo {

// Each command takes the arguments after its name and returns the exit
// status: 0 on success, 1 when a file failed, 2 on bad usage.
int runCheck(const Messages& messages, std::span<const std::string> arguments);
int runConvert(const Messages& messages, std::span<const std::string> arguments);
int runPreview(const Messages& messages, std::span<const std::string> arguments);

// Writes `text`, the program's help or a command's, to standard output; returns 0.
int help(const Messages& messages, Message text);

// Writes the usage lines and where the help is to standard error; returns 2,
// the status of bad usage.
int badUsage(const Messages& messages);

} // namespace kor::korlogo
