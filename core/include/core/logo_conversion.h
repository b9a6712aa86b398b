// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_format.h"
#include "platform/result.h"

#include <cstdint>
#include <vector>

namespace kor::core {

// A decoded picture: RGBA8888, rows top first, no padding between rows.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The shape of the screen a logo is made for. Both machines show 640x400
// pixels on a monitor of 4:3, so that a screen pixel is 1.2 times as tall as
// it is wide; an emulator may instead show them unscaled, as square pixels.
enum class ScreenShape {
    FourByThree,  // 640x400 on a 4:3 monitor, as the machines were seen
    SquarePixels, // 640x400 pixels as they are
};

// The screen of `shape` in square pixels: 640x480 on a 4:3 monitor, 640x400
// as they are.
struct ScreenSize {
    int width;
    int height;
};
ScreenSize screenSizeOf(ScreenShape shape);

// How a picture of another shape meets the screen.
enum class Framing {
    Fit,     // the whole picture, centred, with black bars beside or above it
    Fill,    // the whole screen, the picture cropped around its centre
    Stretch, // the whole picture on the whole screen, its shape changed
};

struct ConversionOptions {
    LogoFormat format = LogoFormat::Windows95;
    Framing framing = Framing::Fit;
    // The first palette entry that cycles when the logo is shown (1 to the
    // last entry), or 0 for a logo that does not move.
    std::uint32_t animateFrom = 0;
    ScreenShape shape = ScreenShape::FourByThree;
};

// The whole logo file for `picture`: exactly layoutOf(format).length bytes,
// rows bottom first, uncompressed, the full palette. The picture is framed on
// the screen of `shape`, so that the logo as the machine shows it there (a
// Windows 95 logo twice as wide as it is stored) keeps the picture's
// proportions: on a 4:3 screen a Windows 95 logo's pixel is 2 screen pixels
// wide and 1.2 tall, a PC-98 logo's 1 wide and 1.2 tall. Transparent parts
// are shown over black. Fails (EINVAL) for an empty picture, pixels that do
// not match its size or an animateFrom beyond the palette, and when the
// palette quantiser fails.
platform::Result<std::vector<std::uint8_t>> convertToLogo(const RgbaPicture& picture,
                                                          const ConversionOptions& options);

} // namespace kor::core
