// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "change_run.h"

#include "core/logo_problem_text.h"

#include <span>
#include <string>

namespace kor::changer {

// What KOR's arguments ask for.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Mistake };
    Action action = Action::Run;
    RunOptions options;
    // The first argument not understood, for Action::Mistake.
    std::string mistake;
};

// Reads the arguments after the program name. An argument not understood makes
// the whole line a mistake, whatever else it asks for, so that nothing runs on
// a line the user did not mean.
CommandLine parseCommandLine(std::span<const std::string> arguments);

// The help for --help, ending in a line break.
std::string usageText(core::TextLanguage language);
// The version line for --version.
std::string versionText(core::TextLanguage language);
// What standard error gets for a mistaken line: which argument, and the short usage.
std::string mistakeText(const std::string& argument, core::TextLanguage language);

} // namespace kor::changer
