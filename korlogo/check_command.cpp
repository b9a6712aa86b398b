// SPDX-License-Identifier: GPL-3.0-or-later
// korlogo check: whether Windows 95 (or a PC-98) can show host files as
// logos and, when not, why.

#include "commands.h"
#include "logo_files.h"

#include "core/logo.h"
#include "core/logo_format.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kor::korlogo {
namespace {

using core::LogoFormat;
using core::LogoInspection;

// One line for one file; true when the machine can show it.
bool checkFile(const Messages& messages, const std::string& path, LogoFormat format) {
    const FileStart file = readFileStart(path);
    const std::string machine(core::machineNameOf(format));
    const std::string refusal = reasonsNotShown(messages, file, format);
    if (!refusal.empty()) {
        std::printf("%s\n", messages.text(Message::NotShown, {path, machine, refusal}).c_str());
        return false;
    }
    const LogoInspection found = core::inspectLogo(file.bytes, file.length, format);
    const std::string motion =
        found.animation ? messages.text(Message::Cycles, {std::to_string(found.animation->first),
                                                          std::to_string(found.animation->last)})
                        : messages.text(Message::DoesNotMove);
    std::printf("%s\n", messages.text(Message::Shown, {path, machine, motion}).c_str());
    return true;
}

} // namespace

int runCheck(const Messages& messages, std::span<const std::string> arguments) {
    LogoFormat format = LogoFormat::Windows95;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || !argument.starts_with("-") || argument == "-")
            files.push_back(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if (argument == "--pc98")
            format = LogoFormat::Pc98;
        else if (argument == "--help" || argument == "-h")
            return help(messages, Message::HelpCheck);
        else
            return badUsage(messages);
    }
    if (files.empty())
        return badUsage(messages);

    bool allShown = true;
    for (const std::string& file : files)
        allShown = checkFile(messages, file, format) && allShown;
    if (std::fflush(stdout) != 0)
        return 2;
    return allShown ? 0 : 1;
}

} // namespace kor::korlogo
