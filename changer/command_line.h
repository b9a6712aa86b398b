// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "change_run.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kor::changer {

// What KOR's arguments ask for.
struct CommandLine {
    enum class Action {
        Run,
        ShowHelp,
        ShowVersion,
        Mistake,
        ShowDrives,   // --drives: the drive map of the machine
        ListMachines, // --list-machines
        AddMachine,   // --add-machine NAME PATH
    };
    Action action = Action::Run;
    RunOptions options;
    // The first argument not understood, for Action::Mistake, and what is
    // wrong with it.
    std::string mistake;
    enum class Mistake { Unknown, MissingValue, Misplaced };
    Mistake mistakeKind = Mistake::Unknown;
    // --machine: a known machine's name or a path.
    std::optional<std::string> machine;
    // --add-machine's name and path.
    std::string addedName;
    std::string addedPath;
    // What follows "--": run in KOR's place after the run.
    std::vector<std::string> command;
};

// Reads the arguments after the program name. An argument not understood makes
// the whole line a mistake, whatever else it asks for, so that nothing runs on
// a line the user did not mean: an option without its value, one given twice,
// two actions at once, or a command after "--" for anything but a run.
CommandLine parseCommandLine(std::span<const std::string> arguments);

// The help for --help, ending in a line break.
std::string usageText();
// The version line for --version.
std::string versionText();
// What standard error gets for a mistaken line: which argument and what is
// wrong with it, and the short usage.
std::string mistakeText(const CommandLine& line);

} // namespace kor::changer
