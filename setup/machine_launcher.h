// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "machines/emulator_machine.h"
#include "platform/result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The desktop launcher of a machine: an entry of the desktop's application
// menu that runs KOR on the machine and then boots it in its emulator.
namespace kor::setup {

// The Exec value of a desktop entry that runs `arguments`: each argument that
// holds a character freedesktop.org's desktop entry format reserves is
// quoted, a percent sign doubled, and the whole escaped as a string value is.
std::string desktopExecValue(const std::vector<std::string>& arguments);

// Writes the launcher of the machine known as `name`, at `path`, into the
// applications folder of $XDG_DATA_HOME (~/.local/share/applications),
// replacing the one written before for that name. It runs `korProgram
// --machine PATH --` and the emulator's start command, in the
// configuration's folder. Returns the file written; fails naming it, or the
// folder, when it cannot be written.
platform::Result<std::filesystem::path>
writeMachineLauncher(std::string_view name, const std::filesystem::path& path,
                     const machines::EmulatorMachine& machine, const std::string& korProgram);

} // namespace kor::setup
