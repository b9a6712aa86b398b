// SPDX-License-Identifier: GPL-3.0-or-later
// Reading logo files on the host, and saying why a machine cannot show one,
// the same for every command.

#include "logo_files.h"

#include "core/logo_problem_text.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kor::korlogo {

using core::LogoFormat;

int openRegularFile(const std::string& path, FileStart& found) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        found.error = errno;
        return -1;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        found.error = errno;
    } else if (S_ISREG(status.st_mode)) {
        found.length = static_cast<std::uint64_t>(status.st_size);
        return descriptor;
    } else {
        found.isFile = false;
        found.isFolder = S_ISDIR(status.st_mode);
    }
    ::close(descriptor);
    return -1;
}

FileStart readFileStart(const std::string& path, std::size_t limit) {
    FileStart file;
    const int descriptor = openRegularFile(path, file);
    if (descriptor < 0)
        return file;
    file.bytes.resize(limit);
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
    ::close(descriptor);
    return file;
}

std::string reasonsNotShown(const Messages& messages, const FileStart& file, LogoFormat format) {
    if (file.error != 0)
        return messages.text(Message::Unreadable, {messages.reason(file.error)});
    if (!file.isFile)
        return messages.text(Message::NotAFile);
    return core::describeLogoProblems(core::inspectLogo(file.bytes, file.length, format), format);
}

bool isSpecialFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

namespace {

// Writes all of `bytes` to `descriptor`; 0 or an errno.
int writeAll(int descriptor, std::span<const std::uint8_t> bytes) {
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t done = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (done > 0)
            written += static_cast<std::size_t>(done);
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Through a new file beside `path` and a rename; 0 or an errno.
int writeAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string temporary;
    int descriptor = -1;
    for (int attempt = 0; descriptor < 0; ++attempt) {
        temporary = folder + "/.korlogo-" + std::to_string(::getpid()) + "-" +
                    std::to_string(attempt) + ".tmp";
        descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && (errno != EEXIST || attempt == 100))
            return errno;
    }
    int error = writeAll(descriptor, bytes);
    if (error == 0 && ::fsync(descriptor) != 0)
        error = errno;
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    // Decided again just before the rename: what is there now is replaced,
    // whatever was there when the command began.
    if (error == 0 && isSpecialFile(path))
        error = OutputIsSpecial;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename itself reaches the disk with the folder.
    const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor >= 0) {
        ::fsync(folderDescriptor);
        ::close(folderDescriptor);
    }
    return 0;
}

} // namespace

int writeOutput(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path == StandardOutputName)
        return writeAll(STDOUT_FILENO, bytes);
    return writeAtomically(path, bytes);
}

} // namespace kor::korlogo
