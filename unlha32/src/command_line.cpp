// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"
#include "operations.h"

#include "member_name.h"

#include "platform/files.h"
#include "platform/text.h"

#include <cerrno>
#include <charconv>

namespace kor::unlha32 {

namespace {

bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

platform::Error badCommand(std::string_view commandLine, std::string reason) {
    return platform::Error(operation::RunCommand, displayMemberName(commandLine), EINVAL,
                           std::move(reason));
}

platform::Result<std::string> readResponseFile(std::string_view cp932Path) {
    const std::string path = KOR_TRY(platform::fromCp932(cp932Path));
    platform::Result<std::string> content = platform::readFile(path);
    if (!content)
        return content.error().retold(operation::ReadResponseFile, displayMemberName(cp932Path));
    return content;
}

// The LENGTH of "-jl=LENGTH", or nothing for "-jl"; false for anything else.
bool literalLength(std::string_view rest, std::optional<std::uint64_t>& length) {
    if (rest.empty())
        return true;
    if (!rest.starts_with('='))
        return false;
    rest.remove_prefix(1);
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (rest.empty() || error != std::errc{} || end != rest.data() + rest.size())
        return false;
    length = number;
    return true;
}

} // namespace

platform::Result<std::vector<CommandArgument>> splitCommandArguments(std::string_view text) {
    std::vector<CommandArgument> arguments;
    std::size_t at = 0;
    const auto endsCommand = [&] { return text[at] == '\r' || text[at] == '\n'; };
    while (true) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        if (at < text.size() && endsCommand() &&
            text.find_first_not_of(" \t\r\n", at) != std::string_view::npos)
            return badCommand(text, "the command goes on after its line");
        if (at == text.size() || endsCommand())
            return arguments;
        CommandArgument argument;
        bool inQuotes = false;
        for (; at < text.size() && (inQuotes || !(isBlank(text[at]) || endsCommand())); ++at) {
            if (text[at] != '"') {
                argument.text += text[at];
            } else if (inQuotes && at + 1 < text.size() && text[at + 1] == '"') {
                argument.text += '"';
                ++at;
            } else {
                inQuotes = !inQuotes;
                argument.quoted = true;
            }
        }
        if (inQuotes)
            return badCommand(text, "a quotation is not closed");
        arguments.push_back(std::move(argument));
    }
}

platform::Result<ExtractionCommand> parseCommand(std::string_view commandLine) {
    auto split = splitCommandArguments(commandLine);
    if (!split)
        return split.error();
    std::vector<CommandArgument> arguments = std::move(split).value();
    // "@file", quoted when its path holds blanks.
    if (arguments.size() == 1 && arguments.front().text.starts_with('@')) {
        const auto content = readResponseFile(std::string_view(arguments.front().text).substr(1));
        if (!content)
            return content.error();
        split = splitCommandArguments(content.value());
        if (!split)
            return split.error();
        arguments = std::move(split).value();
    }

    if (arguments.empty() || arguments.front().quoted ||
        foldMemberName(arguments.front().text) != "X")
        return badCommand(commandLine, "only the command x is supported");
    ExtractionCommand command;
    std::size_t next = 1;
    bool foldersLeftOut = false;
    for (; next < arguments.size() && !arguments[next].quoted &&
           arguments[next].text.starts_with('-');
         ++next) {
        const std::string option = foldMemberName(arguments[next].text);
        if (option == "-JF0")
            foldersLeftOut = true;
        else if (option.starts_with("-JL") &&
                 literalLength(std::string_view(option).substr(3), command.literalLength))
            command.literalNames = true;
        else
            return badCommand(commandLine, "unsupported switch " + arguments[next].text);
    }
    if (!foldersLeftOut)
        return badCommand(commandLine, "extraction with folders needs the switch -jf0");
    if (arguments.size() - next < 3)
        return badCommand(commandLine, "expected an archive, a destination folder and a member");

    command.archive = arguments[next++].text;
    command.destination = arguments[next++].text;
    // A final 0x5C may be the second byte of a double-byte character.
    if (!splitMemberPath(command.destination).back().empty())
        return badCommand(commandLine, "the destination folder must end in \\");
    for (; next < arguments.size(); ++next)
        command.members.push_back(std::move(arguments[next].text));
    return command;
}

} // namespace kor::unlha32
