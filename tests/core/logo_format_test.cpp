// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kor::core {
namespace {

// The headers of a bitmap as a test wants them, true or lying.
struct BitmapHeaders {
    std::int32_t width = 320;
    std::int32_t height = 400;
    std::uint16_t bitsPerPixel = 8;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t firstAnimatedEntry = 0;
    std::uint32_t paletteEntries = 256; // written after the headers
    std::int64_t pixelOffsetShift = 0;  // added to the true offset of the rows in the header
    std::int64_t lengthChange = 0;      // bytes added to (or cut from) the end of the file
};

void put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A bitmap file with the given headers, its palette and as many plain rows as
// the headers describe; pixels and colours are patterns, not zeros.
std::vector<std::uint8_t> bitmapFile(const BitmapHeaders& h) {
    const std::uint32_t offset = 54 + h.paletteEntries * 4;
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(h.width) * h.bitsPerPixel + 31) / 32 * 4;
    const std::uint64_t rows = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
    const auto length = static_cast<std::int64_t>(offset + stride * rows) + h.lengthChange;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    for (std::size_t i = 54; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, static_cast<std::uint32_t>(length), 4);
    put(bytes, 10, static_cast<std::uint32_t>(offset + h.pixelOffsetShift), 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, static_cast<std::uint32_t>(h.width), 4);
    put(bytes, 22, static_cast<std::uint32_t>(h.height), 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, h.bitsPerPixel, 2);
    put(bytes, 30, h.compression, 4);
    put(bytes, 34, static_cast<std::uint32_t>(stride * rows), 4);
    put(bytes, 38, 0, 4); // resolution, then colours used
    put(bytes, 42, 0, 4);
    put(bytes, 46, h.coloursUsed, 4);
    put(bytes, 50, h.firstAnimatedEntry, 4);
    return bytes;
}

using P = LogoProblem;

TEST(LogoFormat, EveryReasonWhyAMachineCannotShowAFile) {
    const BitmapHeaders pc98{.width = 640, .bitsPerPixel = 4, .paletteEntries = 16};
    auto renamed = bitmapFile({});
    renamed[0] = 'P';
    auto os2Header = bitmapFile({});
    os2Header[14] = 12;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        LogoFormat format;
        std::vector<LogoProblem> problems;
        std::uint32_t firstCycling = 0; // 0: does not move
    };
    const Case cases[] = {
        {"the stock kind of logo",
         bitmapFile({.firstAnimatedEntry = 236}),
         LogoFormat::Windows95,
         {},
         236},
        {"a still logo, palette size given",
         bitmapFile({.coloursUsed = 256}),
         LogoFormat::Windows95,
         {}},
        {"a PC-98 logo", bitmapFile(pc98), LogoFormat::Pc98, {}},
        {"a PC-98 logo cycling its last four",
         bitmapFile(
             {.width = 640, .bitsPerPixel = 4, .firstAnimatedEntry = 12, .paletteEntries = 16}),
         LogoFormat::Pc98,
         {},
         12},
        {"only the last entry cycles",
         bitmapFile({.firstAnimatedEntry = 255}),
         LogoFormat::Windows95,
         {},
         255},
        {"an important-colour count past the palette",
         bitmapFile({.firstAnimatedEntry = 256}),
         LogoFormat::Windows95,
         {}},
        {"24-bit 224x192 of the Windows 95 length",
         bitmapFile({.width = 224, .height = 192, .bitsPerPixel = 24, .paletteEntries = 0}),
         LogoFormat::Windows95,
         {P::WrongWidth, P::WrongHeight, P::WrongDepth, P::WrongPixelOffset}},
        {"24-bit 232x184 of the PC-98 length",
         bitmapFile({.width = 232, .height = 184, .bitsPerPixel = 24, .paletteEntries = 0}),
         LogoFormat::Pc98,
         {P::WrongWidth, P::WrongHeight, P::WrongDepth, P::WrongPixelOffset}},
        {"no BM", renamed, LogoFormat::Windows95, {P::NotABitmap}},
        {"an OS/2 header", os2Header, LogoFormat::Windows95, {P::NotABitmap}},
        {"shorter than the headers",
         std::vector<std::uint8_t>{'B', 'M', 0, 0},
         LogoFormat::Windows95,
         {P::NotABitmap, P::WrongLength}},
        {"one column too many",
         bitmapFile({.width = 321}),
         LogoFormat::Windows95,
         {P::WrongWidth, P::WrongLength}},
        {"top-down rows", bitmapFile({.height = -400}), LogoFormat::Windows95, {P::WrongHeight}},
        {"16 colours for Windows 95",
         bitmapFile(pc98),
         LogoFormat::Windows95,
         {P::WrongWidth, P::WrongDepth, P::WrongLength, P::WrongPixelOffset}},
        {"256 colours for a PC-98",
         bitmapFile({}),
         LogoFormat::Pc98,
         {P::WrongWidth, P::WrongDepth, P::WrongLength, P::WrongPixelOffset}},
        {"run-length coded",
         bitmapFile({.compression = 1}),
         LogoFormat::Windows95,
         {P::Compressed}},
        {"a short palette",
         bitmapFile({.coloursUsed = 236}),
         LogoFormat::Windows95,
         {P::WrongPaletteSize}},
        {"the last byte missing",
         bitmapFile({.lengthChange = -1}),
         LogoFormat::Windows95,
         {P::WrongLength, P::TruncatedPixels}},
        {"a byte too many",
         bitmapFile({.lengthChange = 1}),
         LogoFormat::Windows95,
         {P::WrongLength}},
        {"rows said to start late",
         bitmapFile({.pixelOffsetShift = 2}),
         LogoFormat::Windows95,
         {P::TruncatedPixels, P::WrongPixelOffset}},
    };
    for (const Case& c : cases) {
        const LogoInspection found = inspectLogo(c.file, c.file.size(), c.format);
        EXPECT_EQ(found.problems, c.problems) << c.what;
        EXPECT_EQ(found.isShown(), c.problems.empty()) << c.what;
        ASSERT_EQ(found.animation.has_value(), c.firstCycling != 0) << c.what;
        if (found.animation) {
            EXPECT_EQ(found.animation->first, c.firstCycling) << c.what;
            EXPECT_EQ(found.animation->last, layoutOf(c.format).paletteEntries - 1) << c.what;
        }
    }
}

TEST(LogoFormat, AHugeFileIsJudgedFromItsHeadersAlone) {
    const auto logo = bitmapFile({.firstAnimatedEntry = 236});
    const std::span<const std::uint8_t> headers(logo.data(), LogoHeadersLength);
    EXPECT_TRUE(inspectLogo(headers, logo.size(), LogoFormat::Windows95).isShown());
    const LogoInspection huge = inspectLogo(headers, 5'000'000'000, LogoFormat::Windows95);
    EXPECT_EQ(huge.problems, std::vector<LogoProblem>{P::WrongLength});
    EXPECT_EQ(huge.length, 5'000'000'000u);
}

// Entry i holds a colour no other entry has.
LogoPalette numberedPalette() {
    LogoPalette palette;
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = RgbQuad{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i / 2), 0};
    return palette;
}

TEST(LogoAnimation, ColoursMoveTowardsLowerEntriesAndTheFirstWrapsToTheLast) {
    const LogoPalette start = numberedPalette();
    struct Case {
        std::uint32_t first;
        std::size_t unchangedBelow; // entries below stay as they are
    };
    for (const Case& c : {Case{236, 236}, Case{1, 1}, Case{255, 256}, Case{0, 256}, Case{256, 256},
                          Case{1000, 256}}) {
        const LogoPalette stepped = stepPaletteAnimation(start, c.first);
        for (std::size_t i = 0; i < 256; ++i) {
            const RgbQuad expected = i < c.unchangedBelow ? start[i]
                                     : i == 255           ? start[c.first]
                                                          : start[i + 1];
            EXPECT_EQ(stepped[i], expected) << "first " << c.first << ", entry " << i;
        }
    }
}

TEST(LogoAnimation, TheStockRangeComesBackAfterTwentySteps) {
    const LogoPalette start = numberedPalette();
    LogoPalette palette = start;
    for (int step = 1; step <= 20; ++step) {
        palette = stepPaletteAnimation(palette, 236);
        EXPECT_EQ(palette == start, step == 20) << "step " << step;
        EXPECT_EQ(palette[255], start[236 + step - 1]) << "step " << step;
    }
}

TEST(LogoAnimation, ARangeCyclesOnlyItsOwnEntries) {
    const LogoPalette start = numberedPalette();
    const LogoPalette stepped = stepPaletteAnimation(start, AnimationRange{12, 15});
    for (std::size_t i = 0; i < 256; ++i) {
        const RgbQuad expected = i < 12 || i > 15 ? start[i] : i == 15 ? start[12] : start[i + 1];
        EXPECT_EQ(stepped[i], expected) << "entry " << i;
    }
    EXPECT_EQ(stepPaletteAnimation(start, AnimationRange{240, 256}), start);
}

// A pixel a file stores, `storedRow` rows above the bottom; the rows of both
// formats are 320 bytes long.
void setStoredByte(std::vector<std::uint8_t>& file, std::uint32_t pixelOffset,
                   std::size_t storedRow, std::size_t byte, std::uint8_t value) {
    file[pixelOffset + storedRow * 320 + byte] = value;
}

TEST(LogoDecoding, PixelsComeTopRowFirstWithTheirPalette) {
    auto windows95 = bitmapFile({.firstAnimatedEntry = 236});
    setStoredByte(windows95, 1078, 0, 5, 0xAB);   // bottom row
    setStoredByte(windows95, 1078, 399, 7, 0xCD); // top row
    put(windows95, 54 + 0xAB * 4, 0x00112233, 4);
    auto pc98 = bitmapFile({.width = 640, .bitsPerPixel = 4, .paletteEntries = 16});
    setStoredByte(pc98, 118, 0, 2, 0x9C); // pixels 4 and 5 of the bottom row
    setStoredByte(pc98, 118, 398, 0, 0x3E);
    put(pc98, 54 + 0xC * 4, 0x00445566, 4);
    struct Pixel {
        std::int32_t x, y;
        std::uint8_t index;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        LogoFormat format;
        std::vector<Pixel> pixels;
        RgbQuad colourOfLast; // of the last pixel's entry
        std::optional<std::uint32_t> firstCycling;
    };
    const Case cases[] = {
        {"8 bits",
         windows95,
         LogoFormat::Windows95,
         {{7, 0, 0xCD}, {5, 399, 0xAB}},
         {0x33, 0x22, 0x11, 0},
         236},
        {"4 bits",
         pc98,
         LogoFormat::Pc98,
         {{4, 399, 0x9}, {0, 1, 0x3}, {1, 1, 0xE}, {5, 399, 0xC}},
         {0x66, 0x55, 0x44, 0},
         std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<DecodedLogo> logo = decodeLogo(c.file, c.format);
        ASSERT_TRUE(logo) << c.what;
        EXPECT_EQ(logo->width, layoutOf(c.format).width) << c.what;
        EXPECT_EQ(logo->height, 400) << c.what;
        ASSERT_EQ(logo->pixels.size(), static_cast<std::size_t>(logo->width) * 400) << c.what;
        for (const Pixel& pixel : c.pixels)
            EXPECT_EQ(logo->pixelAt(pixel.x, pixel.y), pixel.index)
                << c.what << " at " << pixel.x << "," << pixel.y;
        EXPECT_EQ(logo->palette[c.pixels.back().index], c.colourOfLast) << c.what;
        EXPECT_EQ(logo->animation ? std::optional(logo->animation->first) : std::nullopt,
                  c.firstCycling)
            << c.what;
    }
    // Entries past a PC-98's sixteen are not read from the pixels after them.
    EXPECT_EQ(decodeLogo(pc98, LogoFormat::Pc98)->palette[16], RgbQuad{});
}

TEST(LogoDecoding, AFileTheMachineCannotShowIsRefused) {
    const std::vector<std::uint8_t> refused[] = {bitmapFile({.lengthChange = -1}),
                                                 bitmapFile({.height = -400}),
                                                 bitmapFile({.pixelOffsetShift = 2}),
                                                 std::vector<std::uint8_t>{'B', 'M'},
                                                 {}};
    for (const auto& file : refused)
        EXPECT_FALSE(decodeLogo(file, LogoFormat::Windows95)) << file.size() << " bytes";
    EXPECT_FALSE(decodeLogo(bitmapFile({}), LogoFormat::Pc98));
}

} // namespace
} // namespace kor::core
