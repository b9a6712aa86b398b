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

// How a picture of another shape meets the 640x400 screen.
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
};

// The whole logo file for `picture`: exactly layoutOf(format).length bytes,
// rows bottom first, uncompressed, the full palette. The picture is framed on
// a 640x400 screen of square pixels, so that a Windows 95 logo, shown twice
// as wide as it is stored, keeps the picture's proportions. Transparent parts
// are shown over black. Fails (EINVAL) for an empty picture, pixels that do
// not match its size or an animateFrom beyond the palette, and when the
// palette quantiser fails.
platform::Result<std::vector<std::uint8_t>> convertToLogo(const RgbaPicture& picture,
                                                          const ConversionOptions& options);

} // namespace kor::core
