// SPDX-License-Identifier: GPL-3.0-or-later
// korlogo convert: turns any picture Qt can read into a logo that Windows 95
// (or a PC-98) shows as it is.

#include "commands.h"
#include "logo_files.h"
#include "pictures/picture_reading.h"

#include "core/logo_conversion.h"
#include "language/translation.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace kor::korlogo {
namespace {

using core::Framing;
using core::LogoFormat;

// Decodes the picture at `path`; why not, in words, on failure. Anything but
// a regular file is refused before it is read, so that a FIFO cannot block.
std::optional<core::RgbaPicture> readPicture(const Messages& messages, const std::string& path,
                                             Framing framing, std::string& reason) {
    FileStart found;
    const int descriptor = openRegularFile(path, found);
    if (descriptor < 0) {
        reason = found.isFolder  ? messages.text(Message::IsAFolder)
                 : !found.isFile ? messages.text(Message::NotAFile)
                                 : messages.reason(found.error);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        reason = file.errorString().toStdString();
        return std::nullopt;
    }
    pictures::PictureReading reading = pictures::readPictureForLogo(file, framing);
    if (reading.refusedSize.isValid())
        reason =
            messages.text(Message::PictureTooLarge, {std::to_string(reading.refusedSize.width()),
                                                     std::to_string(reading.refusedSize.height()),
                                                     std::to_string(reading.limitMegapixels)});
    else if (reading.fault == pictures::PictureFault::TooWide)
        reason =
            messages.text(Message::PictureTooWide, {std::to_string(pictures::PngRowPixelsLimit)});
    else if (reading.fault == pictures::PictureFault::Damaged)
        reason = messages.text(Message::PictureDamaged, {reading.detail});
    else if (reading.fault == pictures::PictureFault::OutOfMemory)
        reason = messages.text(Message::PictureOutOfMemory);
    else if (reading.fault == pictures::PictureFault::Unreadable)
        reason = messages.text(Message::PictureUnreadable, {reading.detail});
    return std::move(reading.picture);
}

// The number in an option's value, or nothing when it is not a plain number.
std::optional<unsigned long> number(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoul(text);
}

} // namespace

int runConvert(const Messages& messages, std::span<const std::string> arguments) {
    core::ConversionOptions options;
    std::optional<std::string> animateFrom;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !argument.starts_with("-") || argument == "-")
            files.push_back(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if (argument == "--pc98")
            options.format = LogoFormat::Pc98;
        else if (argument == "--square-pixels")
            options.shape = core::ScreenShape::SquarePixels;
        else if (argument == "--fit")
            options.framing = Framing::Fit;
        else if (argument == "--fill")
            options.framing = Framing::Fill;
        else if (argument == "--stretch")
            options.framing = Framing::Stretch;
        else if (argument == "--animate-from" && i + 1 < arguments.size())
            animateFrom = arguments[++i];
        else if (argument.starts_with("--animate-from="))
            animateFrom = argument.substr(argument.find('=') + 1);
        else if (argument == "--help" || argument == "-h")
            return help(messages, Message::HelpConvert);
        else
            return badUsage(messages);
    }
    if (files.size() != 2)
        return badUsage(messages);
    const std::string& input = files[0];
    const std::string& output = files[1];
    const core::LogoLayout layout = core::layoutOf(options.format);
    if (animateFrom) {
        const auto entry = number(*animateFrom);
        if (!entry || *entry < 1 || *entry >= layout.paletteEntries) {
            std::fprintf(stderr, "%s\n",
                         messages
                             .text(Message::BadAnimateFrom,
                                   {std::to_string(layout.paletteEntries - 1), *animateFrom})
                             .c_str());
            return 2;
        }
        options.animateFrom = static_cast<std::uint32_t>(*entry);
    }

    if (output != StandardOutputName && isSpecialFile(output)) {
        std::fprintf(stderr, "%s\n", messages.text(Message::OutputNotAFile, {output}).c_str());
        return 1;
    }
    std::string reason;
    const auto picture = readPicture(messages, input, options.framing, reason);
    if (!picture) {
        std::fprintf(stderr, "%s\n",
                     messages.text(Message::CannotReadPicture, {input, reason}).c_str());
        return 1;
    }
    const auto logo = core::convertToLogo(*picture, options);
    if (!logo.ok()) {
        const platform::Error error = logo.error().retold(logo.error().operation(), input);
        std::fprintf(stderr, "korlogo: %s\n", error.message().c_str());
        return 1;
    }
    const bool toStandardOutput = output == StandardOutputName;
    const std::string outputName =
        toStandardOutput ? messages.text(Message::StandardOutput) : output;
    if (const int error = writeOutput(output, logo.value()); error == OutputIsSpecial) {
        std::fprintf(stderr, "%s\n", messages.text(Message::OutputNotAFile, {output}).c_str());
        return 1;
    } else if (error != 0) {
        std::fprintf(
            stderr, "%s\n",
            messages.text(Message::CannotWriteLogo, {outputName, messages.reason(error)}).c_str());
        return 1;
    }
    const std::string motion =
        options.animateFrom != 0
            ? messages.text(Message::Cycles, {std::to_string(options.animateFrom),
                                              std::to_string(layout.paletteEntries - 1)})
            : messages.text(Message::DoesNotMove);
    // Beside a logo on standard output, the summary goes to standard error.
    std::FILE* summary = toStandardOutput ? stderr : stdout;
    std::fprintf(summary, "%s\n",
                 messages
                     .text(Message::Converted,
                           {outputName, options.format == LogoFormat::Pc98 ? "PC-98" : "Windows 95",
                            std::to_string(layout.width), std::to_string(layout.height),
                            std::to_string(layout.paletteEntries), motion})
                     .c_str());
    return std::fflush(summary) == 0 ? 0 : 1;
}

} // namespace kor::korlogo
