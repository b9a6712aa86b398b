#include "command_line.h"

#include "member_name.h"

#include "platform/machine.h"
#include "platform/text.h"

#include <cerrno>
#include <fstream>
#include <iterator>

namespace kor::unlha32 {

namespace {

bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

platform::Error badCommand(std::string_view commandLine, std::string reason) {
    return platform::Error(platform::Operation::RunCommand, displayMemberName(commandLine), EINVAL,
                           std::move(reason));
}

platform::Result<std::filesystem::path> responseFileHostPath(std::string_view cp932Path) {
    auto path = platform::fromCp932(cp932Path);
    if (!path)
        return path.error();
    if (path.value().starts_with('/'))
        return std::filesystem::path(path.value());
    return platform::Machine::current().hostPath(path.value());
}

platform::Result<std::string> readResponseFile(std::string_view cp932Path) {
    const auto hostPath = responseFileHostPath(cp932Path);
    if (!hostPath)
        return hostPath.error();
    std::ifstream file(hostPath.value(), std::ios::binary);
    if (!file.is_open())
        return platform::Error(platform::Operation::ReadResponseFile, displayMemberName(cp932Path),
                               errno);
    std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad())
        return platform::Error(platform::Operation::ReadResponseFile, displayMemberName(cp932Path),
                               EIO);
    return content.substr(0, content.find_first_of("\r\n"));
}

} // namespace

std::vector<std::string> splitCommandArguments(std::string_view text) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    while (true) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        if (at == text.size())
            return arguments;
        std::string argument;
        bool quoted = false;
        for (; at < text.size() && (quoted || !isBlank(text[at])); ++at) {
            if (text[at] == '"')
                quoted = !quoted;
            else
                argument += text[at];
        }
        arguments.push_back(std::move(argument));
    }
}

platform::Result<ExtractionCommand> parseCommand(std::string_view commandLine) {
    std::vector<std::string> arguments = splitCommandArguments(commandLine);
    if (arguments.size() == 1 && arguments.front().starts_with('@')) {
        const auto content = readResponseFile(std::string_view(arguments.front()).substr(1));
        if (!content)
            return content.error();
        arguments = splitCommandArguments(content.value());
    }

    if (arguments.empty() || foldMemberName(arguments.front()) != "X")
        return badCommand(commandLine, "only the command x is supported");
    std::size_t next = 1;
    bool foldersLeftOut = false;
    for (; next < arguments.size() && arguments[next].starts_with('-'); ++next) {
        if (foldMemberName(arguments[next]) != "-JF0")
            return badCommand(commandLine, "unsupported switch " + arguments[next]);
        foldersLeftOut = true;
    }
    if (!foldersLeftOut)
        return badCommand(commandLine, "extraction with folders needs the switch -jf0");
    if (arguments.size() - next < 3)
        return badCommand(commandLine, "expected an archive, a destination folder and a member");

    ExtractionCommand command;
    command.archive = arguments[next++];
    command.destination = arguments[next++];
    // A final 0x5C may be the second byte of a double-byte character.
    if (!splitMemberPath(command.destination).back().empty())
        return badCommand(commandLine, "the destination folder must end in \\");
    command.members.assign(arguments.begin() + static_cast<std::ptrdiff_t>(next), arguments.end());
    return command;
}

} // namespace kor::unlha32
