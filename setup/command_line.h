// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

// korsetup's own arguments, read before Qt sees them: --help, --version and a
// mistake are answered on the console, where there may be no display.
namespace kor::setup {

struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Mistake };
    Action action = Action::Run;
    // The first argument not understood, for Action::Mistake.
    std::string mistake;
    // --machine NAME|PATH: the machine to work on.
    std::optional<std::string> machine;
    // -platform NAME: the platform Qt is to use rather than QT_QPA_PLATFORM.
    std::optional<std::string> qtPlatform;
    // -display NAME: the X display Qt is to open rather than DISPLAY.
    std::optional<std::string> qtDisplay;
    // Where in argv the arguments for QApplication are: 0 and Qt's own
    // options, korsetup's left out.
    std::vector<int> qtArguments;
};

// Reads argv[1] .. argv[argc - 1]. Qt's own options (-platform NAME, -style
// NAME, -reverse, ...; also with two dashes, as Qt takes them) are let
// through for QApplication; anything else korsetup does not know, and any
// operand, is a mistake, whatever else the line asks for. --machine without
// its value is a mistake too.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The platform Qt is to open windows on: -platform's, else QT_QPA_PLATFORM,
// else empty for Qt's own choice.
std::string qtPlatformOf(const CommandLine& line);

// Says on standard error that korsetup needs a desktop, as when no platform
// can open a window, and returns the exit status 1.
int refuseWithoutDesktop();

// Answers a line whose action is not Run: the help or the version on standard
// output, a mistake on standard error, in the session's language. Returns the
// exit status: 0, or 2 for a mistake.
int answerCommandLine(const CommandLine& line);

} // namespace kor::setup
