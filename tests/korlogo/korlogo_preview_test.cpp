// SPDX-License-Identifier: GPL-3.0-or-later
// korlogo preview run as a program: the first frame it saves, and the files
// and sessions in which it shows nothing.

#include "korlogo_test_support.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

// Entry i of every test palette: a colour no other entry has.
QColor entryColour(int entry) {
    return QColor(entry, 255 - entry, (entry * 3) % 256);
}

struct Pixel {
    int x, y; // in the picture, top row 0
    int entry;
};

// A logo of 320x400x8 or, with `pc98`, 640x400x4, cycling from entry
// `firstAnimatedEntry`; every pixel is entry 1 but `pixels`.
std::string logo(bool pc98, std::uint32_t firstAnimatedEntry, const std::vector<Pixel>& pixels) {
    const int width = pc98 ? 640 : 320;
    const int bits = pc98 ? 4 : 8;
    const std::uint32_t entries = pc98 ? 16 : 256;
    const std::uint32_t offset = 54 + entries * 4;
    const std::uint32_t stride = 320;
    std::string bytes(offset + stride * 400, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    put(bytes, 10, offset, 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, static_cast<std::uint32_t>(width), 4);
    put(bytes, 22, 400, 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, static_cast<std::uint32_t>(bits), 2);
    put(bytes, 50, firstAnimatedEntry, 4);
    for (std::uint32_t entry = 0; entry < entries; ++entry) {
        const QColor colour = entryColour(static_cast<int>(entry));
        put(bytes, 54 + entry * 4,
            static_cast<std::uint32_t>(colour.blue() | colour.green() << 8 | colour.red() << 16),
            4);
    }
    const auto setPixel = [&](int x, int y, int entry) {
        char& stored = bytes[offset + (399 - y) * stride + x * bits / 8];
        if (!pc98)
            stored = static_cast<char>(entry);
        else if (x % 2 == 0)
            stored = static_cast<char>((stored & 0x0F) | entry << 4);
        else
            stored = static_cast<char>((stored & 0xF0) | entry);
    };
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < width; ++x)
            setPixel(x, y, 1);
    for (const Pixel& pixel : pixels)
        setPixel(pixel.x, pixel.y, pixel.entry);
    return bytes;
}

using KorlogoPreview = KorlogoFolderTest;

constexpr int Border = 32;

TEST_F(KorlogoPreview, SavesTheFirstFrameOnItsScreenInTheBorderColour) {
    struct ScreenPixel {
        int x, y; // on the screen
        int entry;
    };
    struct Case {
        const char* what;
        bool pc98;
        bool squarePixels;
        std::vector<Pixel> pixels;
        std::vector<ScreenPixel> shown;
    };
    // On a 4:3 screen of 640x480 each row of the logo is 1.2 rows tall: in
    // every six rows of the screen the third and fourth show the same row.
    const Case cases[] = {
        // Entry 240 cycles: the first frame still shows its own colour.
        {"Windows 95 on 4:3: each pixel twice as wide, 1.2 times as tall",
         false,
         false,
         {{3, 0, 240}, {10, 2, 5}, {319, 399, 7}},
         {{6, 0, 240},
          {7, 0, 240},
          {5, 0, 1},
          {8, 0, 1},
          {20, 1, 1},
          {20, 2, 5},
          {21, 3, 5},
          {20, 4, 1},
          {638, 479, 7},
          {639, 479, 7}}},
        {"PC-98 on 4:3: as wide as it is, high nibble first",
         true,
         false,
         {{4, 0, 12}, {5, 0, 9}, {10, 2, 5}, {639, 399, 3}},
         {{4, 0, 12}, {5, 0, 9}, {6, 0, 1}, {10, 2, 5}, {10, 3, 5}, {10, 4, 1}, {639, 479, 3}}},
        {"Windows 95 in square pixels: each pixel twice as wide",
         false,
         true,
         {{3, 0, 240}, {10, 2, 5}, {319, 399, 7}},
         {{6, 0, 240},
          {7, 0, 240},
          {5, 0, 1},
          {20, 2, 5},
          {20, 3, 1},
          {638, 399, 7},
          {639, 399, 7}}},
    };
    for (const Case& c : cases) {
        const std::string file = write("logo.sys", logo(c.pc98, c.pc98 ? 12 : 236, c.pixels));
        std::vector<std::string> arguments{"preview", file, "--save", path("frame.png")};
        if (c.pc98)
            arguments.push_back("--pc98");
        if (c.squarePixels)
            arguments.push_back("--square-pixels");
        // No display: a picture is saved without one.
        const ProgramRun run = runProgram(KORLOGO_PROGRAM, {}, arguments);
        ASSERT_EQ(run.exitStatus, 0) << c.what << run.standardError;
        const QImage frame(QString::fromStdString(path("frame.png")));
        const int screenHeight = c.squarePixels ? 400 : 480;
        ASSERT_EQ(frame.size(), QSize(640 + 2 * Border, screenHeight + 2 * Border)) << c.what;
        for (const ScreenPixel& pixel : c.shown)
            EXPECT_EQ(frame.pixelColor(Border + pixel.x, Border + pixel.y),
                      entryColour(pixel.entry))
                << c.what << " at " << pixel.x << "," << pixel.y;
        for (const QPoint border :
             {QPoint(0, 0), QPoint(Border - 1, 200), QPoint(Border + 320, Border + screenHeight),
              QPoint(640 + 2 * Border - 1, screenHeight + 2 * Border - 1)})
            EXPECT_EQ(frame.pixelColor(border), entryColour(0)) << c.what << " border";
    }
}

TEST_F(KorlogoPreview, ShowsNothingItCannotShowAndSaysWhy) {
    std::string truncated = logo(false, 0, {});
    truncated.pop_back();
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::string> options;
        std::string said; // on standard error
    };
    const Case cases[] = {
        {"a file a byte short",
         truncated,
         {"--save", path("frame.png")},
         "cannot show it as a logo: the file is 129077 bytes long, not 129078; the pixels end 1 "
         "bytes past the end of the file"},
        {"a Windows 95 logo for a PC-98",
         logo(false, 0, {}),
         {"--pc98"},
         "PC-98 cannot show it as a logo: the width is 320, not 640"},
        {"no display to show a good logo on",
         logo(false, 236, {}),
         {},
         "no display to show the window on"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"preview", write("logo.sys", c.file)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const ProgramRun run = runProgram(KORLOGO_PROGRAM, {{"LANG", "C.UTF-8"}}, arguments);
        EXPECT_EQ(run.exitStatus, 1) << c.what;
        EXPECT_NE(run.standardError.find(c.said), std::string::npos) << c.what << ":\n"
                                                                     << run.standardError;
        EXPECT_FALSE(fs::exists(path("frame.png"))) << c.what;
    }
}

} // namespace
} // namespace kor::testing
