// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kor::core {

// The two machines whose boot screen shows a logo file: Windows 95 takes a
// 320x400 bitmap of 256 colours and stretches it to 640x400; a PC-98 takes a
// 640x400 bitmap of 16 colours as it is.
enum class LogoFormat { Windows95, Pc98 };

// Why a machine cannot show a file as its logo.
enum class LogoProblem {
    NotABitmap,       // no "BM" and 40-byte BITMAPINFOHEADER
    WrongWidth,       // biWidth
    WrongHeight,      // biHeight (a top-down bitmap, negative, is refused too)
    WrongDepth,       // biBitCount
    Compressed,       // biCompression other than BI_RGB
    WrongPaletteSize, // biClrUsed other than 0 (a full palette) or the format's count
    WrongLength,      // the file's length
    TruncatedPixels,  // the rows end past the end of the file
    WrongPixelOffset, // bfOffBits other than just after the headers and the full palette
};

// What a logo of a format must hold.
struct LogoLayout {
    std::int32_t width;
    std::int32_t height;
    std::uint16_t bitsPerPixel;
    std::uint32_t paletteEntries;
    std::uint32_t pixelOffset;
    std::uint64_t length;
};
LogoLayout layoutOf(LogoFormat format);

// The palette entries that cycle, first to last.
struct AnimationRange {
    std::uint32_t first;
    std::uint32_t last;
};

// What inspectLogo found: every problem, in the order of LogoProblem, and the
// header fields it read (zero where the file is too short to hold them).
struct LogoInspection {
    std::vector<LogoProblem> problems;
    std::uint64_t length = 0;
    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t firstAnimatedEntry = 0; // biClrImportant, offset 0x32
    std::uint64_t pixelEnd = 0;           // where the rows the header describes would end
    // The entries that cycle when the logo is shown; none when
    // firstAnimatedEntry is 0 or beyond the palette's last entry.
    std::optional<AnimationRange> animation;

    bool isShown() const { return problems.empty(); }
    bool has(LogoProblem problem) const;
};

// The bytes inspectLogo needs at most: the two headers and a full palette.
inline constexpr std::size_t LogoHeadersLength = 14 + 40 + 256 * 4;

// Whether the machine of `format` can show a file as its logo. `start` holds
// the file's first bytes (the whole file, or at least its first
// LogoHeadersLength bytes) and `fileLength` its length, so that a huge file
// need not be read to be refused. A file too short for a bitmap's headers is
// NotABitmap; nothing here fails otherwise.
LogoInspection inspectLogo(std::span<const std::uint8_t> start, std::uint64_t fileLength,
                           LogoFormat format);

// A palette entry as a bitmap stores it.
struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};
using LogoPalette = std::array<RgbQuad, 256>;

// One step of the colour cycling as Windows 95 shows it: every entry from
// `firstAnimatedEntry` to 254 takes the colour of the entry above it and entry
// 255 the old colour of the first, so that colours move towards lower entries.
// The palette stays as it is when firstAnimatedEntry is 0 (no animation) or
// beyond 255.
LogoPalette stepPaletteAnimation(const LogoPalette& palette, std::uint32_t firstAnimatedEntry);

// The same step over the entries `range` names, for a palette whose last
// cycling entry is not 255 (a PC-98 logo cycles up to entry 15). The palette
// stays as it is when the range is empty or reaches past entry 255.
LogoPalette stepPaletteAnimation(const LogoPalette& palette, AnimationRange range);

// How long one step of the colour cycling stays on the screen: one tick of the
// PC's 18.2 Hz timer, near the pace of the moving bar of the Windows 95
// start-up screen. korlogo's preview and korsetup's image display both use it.
inline constexpr int LogoAnimationStepMilliseconds = 55;

// A logo as the machine draws it.
struct DecodedLogo {
    std::int32_t width = 0;
    std::int32_t height = 0;
    // The file's palette; entries past the format's count (16 for a PC-98)
    // stay black.
    LogoPalette palette{};
    // One palette index per pixel, the top row first (a file stores its rows
    // bottom up), 4-bit pixels expanded to a byte each.
    std::vector<std::uint8_t> pixels;
    std::optional<AnimationRange> animation;

    std::uint8_t pixelAt(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// The picture of a whole logo file; nullopt when inspectLogo finds that the
// machine of `format` cannot show it.
std::optional<DecodedLogo> decodeLogo(std::span<const std::uint8_t> file, LogoFormat format);

} // namespace kor::core
