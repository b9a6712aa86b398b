// SPDX-License-Identifier: GPL-3.0-or-later
// korlogo: checks, converts and previews the start-up and shut-down logos of
// Windows 95 (and of a PC-98) on the host, outside any emulated machine.

#include "commands.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kor::korlogo {

int usage(const Messages& messages, std::FILE* stream, int status) {
    std::fputs(messages.text(Message::Usage).c_str(), stream);
    std::fputs(messages.text(Message::UsageConvert).c_str(), stream);
    std::fputs(messages.text(Message::UsagePreview).c_str(), stream);
    return status;
}

} // namespace kor::korlogo

int main(int argc, char** argv) {
    using namespace kor::korlogo;
    const Messages messages{};
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        return usage(messages, stderr, 2);
    const std::string& command = arguments[0];
    const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--help" || command == "-h")
        return usage(messages, stdout, 0);
    if (command == "check")
        return runCheck(messages, rest);
    if (command == "convert")
        return runConvert(messages, rest);
    if (command == "preview")
        return runPreview(messages, rest);
    return usage(messages, stderr, 2);
}
