// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command_line.h"

#include <filesystem>
#include <string>
#include <vector>

// What KOR does with the machines of emulators beyond a run: lists them,
// keeps one under a name, shows a machine's drives; and a run on the machine
// chosen, followed by the command after "--". Each returns the exit status.
namespace kor::changer {

// --list-machines: a line each, name, emulator, boot drive, and "ok" or why
// KOR cannot change it.
int listMachines();

// --add-machine: keeps the machine at `path` under `name` when it opens as a
// machine; says why not on standard error otherwise.
int addMachine(const std::string& name, const std::string& path);

// Runs `command` in KOR's place, in `startFolder` (the folder KOR started
// in), once all that the run started is gone: the images' exports stopped
// and their locks let go, so that an emulator finds its disks free. Returns
// only when the command cannot be run, with the exit status a shell gives
// then.
int runInstead(const std::vector<std::string>& command, const std::filesystem::path& startFolder);

// A run, or --drives, on the machine that the line and the environment
// choose; then the command after "--" in KOR's place, also after a failure.
int runOnChosenMachine(const CommandLine& line);

} // namespace kor::changer
