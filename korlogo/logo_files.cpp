// Reading logo files on the host, and saying why a machine cannot show one,
// the same for every command.

#include "logo_files.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kor::korlogo {
namespace {

using core::LogoFormat;
using core::LogoInspection;
using core::LogoProblem;

std::string reasonText(const Messages& messages, LogoProblem problem, const LogoInspection& found,
                       LogoFormat format) {
    const auto layout = core::layoutOf(format);
    using std::to_string;
    switch (problem) {
    case LogoProblem::NotABitmap:
        return messages.text(Message::NotABitmap);
    case LogoProblem::WrongWidth:
        return messages.text(Message::WrongWidth,
                             {to_string(found.width), to_string(layout.width)});
    case LogoProblem::WrongHeight:
        return messages.text(Message::WrongHeight,
                             {to_string(found.height), to_string(layout.height)});
    case LogoProblem::WrongDepth:
        return messages.text(Message::WrongDepth,
                             {to_string(found.bitsPerPixel), to_string(layout.bitsPerPixel)});
    case LogoProblem::Compressed:
        return messages.text(Message::Compressed, {to_string(found.compression)});
    case LogoProblem::WrongPaletteSize:
        return messages.text(Message::WrongPaletteSize,
                             {to_string(found.coloursUsed), to_string(layout.paletteEntries)});
    case LogoProblem::WrongLength:
        return messages.text(Message::WrongLength,
                             {to_string(found.length), to_string(layout.length)});
    case LogoProblem::TruncatedPixels:
        return messages.text(Message::TruncatedPixels, {to_string(found.pixelEnd - found.length)});
    case LogoProblem::WrongPixelOffset:
        return messages.text(Message::WrongPixelOffset,
                             {to_string(found.pixelOffset), to_string(layout.pixelOffset)});
    }
    return {};
}

} // namespace

FileStart readFileStart(const std::string& path, std::size_t limit) {
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
    }
    ::close(descriptor);
    return file;
}

std::string machineName(LogoFormat format) {
    return format == LogoFormat::Pc98 ? "PC-98" : "Windows 95";
}

std::string problemReasons(const Messages& messages, const LogoInspection& found,
                           LogoFormat format) {
    std::string reasons;
    for (const LogoProblem problem : found.problems) {
        if (!reasons.empty())
            reasons += messages.text(Message::Separator);
        reasons += reasonText(messages, problem, found, format);
    }
    return reasons;
}

std::string reasonsNotShown(const Messages& messages, const FileStart& file, LogoFormat format) {
    if (file.error != 0)
        return messages.text(Message::Unreadable, {messages.reason(file.error)});
    if (!file.isFile)
        return messages.text(Message::NotAFile);
    return problemReasons(messages, core::inspectLogo(file.bytes, file.length, format), format);
}

} // namespace kor::korlogo
