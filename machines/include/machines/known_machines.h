// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The machines a user has: those found in the emulators' usual places in the
// home folder, and those the user added by name. Both programs keep them,
// with the machine last chosen, in $XDG_CONFIG_HOME/kor/machines.ini
// (~/.config/kor/machines.ini), plain text; KOR.INI holds none of it.
namespace kor::machines {

struct KnownMachine {
    std::string name;
    std::filesystem::path path; // its folder or configuration file
    bool added = false;         // by the user, else found
};

// A folder of the XDG Base Directory rules: `variable` (XDG_CONFIG_HOME,
// XDG_DATA_HOME) when it is absolute, else `underHome` in the home folder.
std::filesystem::path xdgFolder(const char* variable, const char* underHome);

// The file the added machines and the last choice are kept in.
std::filesystem::path machinesFile();

// The machines added by the user, then those found in the emulators' usual
// places whose names no added machine takes, each name once.
std::vector<KnownMachine> knownMachines();

// The machine that `nameOrPath` names: a known machine's name, else a path
// to a machine's folder or configuration file (with its known name, when a
// known machine lies there); none when it is neither.
std::optional<KnownMachine> findMachine(std::string_view nameOrPath);

// Keeps the machine at `path` under `name`, replacing one of that name.
platform::Status addMachine(std::string_view name, const std::filesystem::path& path);

// The machine last chosen in the setup program (a path; a name in files of
// older versions), if any. A path stays the machine chosen, whatever names
// machines found later take.
std::optional<std::string> lastChosenMachine();
platform::Status rememberChosenMachine(std::string_view nameOrPath);

} // namespace kor::machines
