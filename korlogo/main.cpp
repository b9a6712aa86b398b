// SPDX-License-Identifier: GPL-3.0-or-later
// korlogo: checks, converts and previews the start-up and shut-down logos of
// Windows 95 (and of a PC-98) on the host, outside any emulated machine.

#include "commands.h"

#include "core/version.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kor::korlogo {

int help(const Messages& messages, Message text) {
    // The program's help starts with the usage lines a mistake shows.
    if (text == Message::Help)
        std::fputs(messages.text(Message::Synopsis).c_str(), stdout);
    std::fputs(messages.text(text).c_str(), stdout);
    return 0;
}

int badUsage(const Messages& messages) {
    std::fputs(messages.text(Message::Synopsis).c_str(), stderr);
    std::fputs(messages.text(Message::MoreHelp).c_str(), stderr);
    return 2;
}

} // namespace kor::korlogo

int main(int argc, char** argv) {
    using namespace kor::korlogo;
    const Messages messages{};
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        return badUsage(messages);
    const std::string& command = arguments[0];
    const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--help" || command == "-h")
        return help(messages, Message::Help);
    if (command == "--version") {
        std::fputs(messages.text(Message::Version, {kor::core::programVersion()}).c_str(), stdout);
        return 0;
    }
    if (command == "check")
        return runCheck(messages, rest);
    if (command == "convert")
        return runConvert(messages, rest);
    if (command == "preview")
        return runPreview(messages, rest);
    return badUsage(messages);
}
