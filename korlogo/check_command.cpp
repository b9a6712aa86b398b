// SPDX-License-Identifier: GPL-3.0-or-later
// korlogo check: whether Windows 95 (or a PC-98) can show host files as
// logos and, when not, why.

#include "commands.h"

#include "core/logo.h"
#include "core/logo_format.h"
#include "core/logo_problem_text.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kor::korlogo {
namespace {

using core::LogoFormat;
using core::LogoInspection;
using core::LogoProblem;

// The start of a host file and its length, or the errno that stopped the
// reading. Only the headers are read, so a file of any size costs the same; a
// FIFO or a device is never opened for reading and cannot block the run.
struct FileStart {
    std::vector<std::uint8_t> bytes;
    std::uint64_t length = 0;
    int error = 0;
    bool isFile = true;
};

FileStart readFileStart(const std::string& path) {
    FileStart file;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        file.error = errno;
        return file;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        file.error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        file.isFile = false;
    } else {
        file.length = static_cast<std::uint64_t>(status.st_size);
        file.bytes.resize(core::LogoHeadersLength);
        std::size_t filled = 0;
        while (filled < file.bytes.size()) {
            const ssize_t got =
                ::read(descriptor, file.bytes.data() + filled, file.bytes.size() - filled);
            if (got > 0)
                filled += static_cast<std::size_t>(got);
            else if (got == 0)
                break;
            else if (errno != EINTR) {
                file.error = errno;
                break;
            }
        }
        file.bytes.resize(filled);
    }
    ::close(descriptor);
    return file;
}

// One line for one file; true when the machine can show it.
bool checkFile(const Messages& messages, const std::string& path, LogoFormat format) {
    const FileStart file = readFileStart(path);
    const std::string machine(core::machineNameOf(format));
    std::string line;
    bool shown = false;
    if (file.error != 0) {
        line = messages.text(
            Message::NotShown,
            {path, machine, messages.text(Message::Unreadable, {messages.reason(file.error)})});
    } else if (!file.isFile) {
        line = messages.text(Message::NotShown, {path, machine, messages.text(Message::NotAFile)});
    } else {
        const LogoInspection found = core::inspectLogo(file.bytes, file.length, format);
        if (found.isShown()) {
            shown = true;
            const std::string motion =
                found.animation
                    ? messages.text(Message::Cycles, {std::to_string(found.animation->first),
                                                      std::to_string(found.animation->last)})
                    : messages.text(Message::DoesNotMove);
            line = messages.text(Message::Shown, {path, machine, motion});
        } else {
            std::string reasons;
            for (const LogoProblem problem : found.problems) {
                if (!reasons.empty())
                    reasons += messages.text(Message::Separator);
                reasons += core::describeLogoProblem(problem, found, format, messages.language());
            }
            line = messages.text(Message::NotShown, {path, machine, reasons});
        }
    }
    std::printf("%s\n", line.c_str());
    return shown;
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
            return usage(messages, stdout, 0);
        else
            return usage(messages, stderr, 2);
    }
    if (files.empty())
        return usage(messages, stderr, 2);

    bool allShown = true;
    for (const std::string& file : files)
        allShown = checkFile(messages, file, format) && allShown;
    if (std::fflush(stdout) != 0)
        return 2;
    return allShown ? 0 : 1;
}

} // namespace kor::korlogo
