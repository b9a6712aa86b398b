// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo_format.h"

#include <algorithm>

namespace kor::core {
namespace {

constexpr std::uint32_t FileHeaderLength = 14;
constexpr std::uint32_t InfoHeaderLength = 40;
constexpr std::uint32_t BI_RGB = 0;

std::uint32_t readLittleEndian(std::span<const std::uint8_t> bytes, std::size_t at,
                               std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = value << 8 | bytes[at + i];
    return value;
}

// Bytes of the rows a header describes, each padded to four bytes; 64 bits so
// that no header can overflow it.
std::uint64_t pixelBytes(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel) {
    const auto rowBits = static_cast<std::uint64_t>(width < 0 ? 0 : width) * bitsPerPixel;
    const std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    return (rowBits + 31) / 32 * 4 * rows;
}

} // namespace

LogoLayout layoutOf(LogoFormat format) {
    const bool pc98 = format == LogoFormat::Pc98;
    const std::uint32_t entries = pc98 ? 16 : 256;
    const std::uint32_t offset = FileHeaderLength + InfoHeaderLength + entries * 4;
    return LogoLayout{pc98 ? 640 : 320, 400,    static_cast<std::uint16_t>(pc98 ? 4 : 8),
                      entries,          offset, offset + 128000};
}

bool LogoInspection::has(LogoProblem problem) const {
    return std::find(problems.begin(), problems.end(), problem) != problems.end();
}

LogoInspection inspectLogo(std::span<const std::uint8_t> start, std::uint64_t fileLength,
                           LogoFormat format) {
    const LogoLayout layout = layoutOf(format);
    LogoInspection found;
    found.length = fileLength;
    const auto bytes = start.first(std::min<std::uint64_t>(start.size(), fileLength));
    const auto field = [&](std::size_t at, std::size_t width) {
        return readLittleEndian(bytes, at, width);
    };

    if (bytes.size() < FileHeaderLength + InfoHeaderLength || bytes[0] != 'B' || bytes[1] != 'M' ||
        field(14, 4) != InfoHeaderLength) {
        found.problems.push_back(LogoProblem::NotABitmap);
        if (fileLength != layout.length)
            found.problems.push_back(LogoProblem::WrongLength);
        return found;
    }
    found.pixelOffset = field(10, 4);
    found.width = static_cast<std::int32_t>(field(18, 4));
    found.height = static_cast<std::int32_t>(field(22, 4));
    found.bitsPerPixel = static_cast<std::uint16_t>(field(28, 2));
    found.compression = field(30, 4);
    found.coloursUsed = field(46, 4);
    found.firstAnimatedEntry = field(50, 4);
    found.pixelEnd = found.pixelOffset + pixelBytes(found.width, found.height, found.bitsPerPixel);

    const auto refuseUnless = [&](bool accepted, LogoProblem problem) {
        if (!accepted)
            found.problems.push_back(problem);
    };
    refuseUnless(found.width == layout.width, LogoProblem::WrongWidth);
    refuseUnless(found.height == layout.height, LogoProblem::WrongHeight);
    refuseUnless(found.bitsPerPixel == layout.bitsPerPixel, LogoProblem::WrongDepth);
    refuseUnless(found.compression == BI_RGB, LogoProblem::Compressed);
    refuseUnless(found.coloursUsed == 0 || found.coloursUsed == layout.paletteEntries,
                 LogoProblem::WrongPaletteSize);
    refuseUnless(fileLength == layout.length, LogoProblem::WrongLength);
    // A compressed bitmap's rows have no fixed length, so only plain rows can
    // be found short.
    refuseUnless(found.compression != BI_RGB || found.pixelEnd <= fileLength,
                 LogoProblem::TruncatedPixels);
    refuseUnless(found.pixelOffset == layout.pixelOffset, LogoProblem::WrongPixelOffset);

    if (found.firstAnimatedEntry != 0 && found.firstAnimatedEntry < layout.paletteEntries)
        found.animation = AnimationRange{found.firstAnimatedEntry, layout.paletteEntries - 1};
    return found;
}

LogoPalette stepPaletteAnimation(const LogoPalette& palette, std::uint32_t firstAnimatedEntry) {
    if (firstAnimatedEntry == 0 || firstAnimatedEntry >= palette.size())
        return palette;
    return stepPaletteAnimation(palette, AnimationRange{firstAnimatedEntry, 255});
}

LogoPalette stepPaletteAnimation(const LogoPalette& palette, AnimationRange range) {
    LogoPalette stepped = palette;
    if (range.first >= range.last || range.last >= palette.size())
        return stepped;
    std::rotate(stepped.begin() + range.first, stepped.begin() + range.first + 1,
                stepped.begin() + range.last + 1);
    return stepped;
}

std::optional<DecodedLogo> decodeLogo(std::span<const std::uint8_t> file, LogoFormat format) {
    const LogoInspection found = inspectLogo(file, file.size(), format);
    if (!found.isShown())
        return std::nullopt;
    // From here the layout is the format's exactly: the palette and every row
    // lie inside the file.
    const LogoLayout layout = layoutOf(format);
    DecodedLogo logo;
    logo.width = layout.width;
    logo.height = layout.height;
    logo.animation = found.animation;
    const std::size_t paletteStart = FileHeaderLength + InfoHeaderLength;
    for (std::size_t entry = 0; entry < layout.paletteEntries; ++entry) {
        const std::size_t at = paletteStart + entry * 4;
        logo.palette[entry] = RgbQuad{file[at], file[at + 1], file[at + 2], file[at + 3]};
    }
    const auto width = static_cast<std::size_t>(layout.width);
    const auto height = static_cast<std::size_t>(layout.height);
    const std::size_t stride = (width * layout.bitsPerPixel + 31) / 32 * 4;
    logo.pixels.resize(width * height);
    for (std::size_t row = 0; row < height; ++row) {
        const std::uint8_t* stored = file.data() + layout.pixelOffset + (height - 1 - row) * stride;
        std::uint8_t* shown = logo.pixels.data() + row * width;
        for (std::size_t x = 0; x < width; ++x)
            shown[x] = layout.bitsPerPixel == 8 ? stored[x]
                                                : (stored[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
    }
    return logo;
}

} // namespace kor::core
