// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

namespace kor::core {
namespace {

using Colour = std::array<double, 3>;
// A picture as a function of the position in it, (0,0) top left, (1,1) bottom right.
using Shade = std::function<Colour(double u, double v)>;

RgbaPicture paint(int width, int height, const Shade& shade, std::uint8_t alpha = 255) {
    RgbaPicture picture{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour colour = shade((x + 0.5) / width, (y + 0.5) / height);
            std::uint8_t* pixel = &picture.pixels[(std::size_t(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c)
                pixel[c] =
                    static_cast<std::uint8_t>(std::lround(std::clamp(colour[c], 0.0, 255.0)));
            pixel[3] = alpha;
        }
    return picture;
}

const Shade Gradient = [](double u, double v) { return Colour{255 * u, 255 * v, 127.5 * (u + v)}; };

// A logo read back: the palette entry of each pixel, rows top first, and the palette.
struct Decoded {
    int width;
    int height;
    std::vector<int> entries;
    std::vector<Colour> palette;

    Colour colour(int x, int y) const { return palette[entries[std::size_t(y) * width + x]]; }
};

Decoded decode(const std::vector<std::uint8_t>& bytes, LogoFormat format) {
    const LogoLayout layout = layoutOf(format);
    Decoded logo{layout.width, layout.height, {}, {}};
    for (std::uint32_t entry = 0; entry < layout.paletteEntries; ++entry) {
        const std::uint8_t* quad = &bytes[54 + entry * 4];
        logo.palette.push_back({double(quad[2]), double(quad[1]), double(quad[0])});
    }
    const int rowBytes = layout.width * layout.bitsPerPixel / 8;
    for (int y = 0; y < layout.height; ++y) {
        const std::uint8_t* row = &bytes[layout.pixelOffset + (layout.height - 1 - y) * rowBytes];
        for (int x = 0; x < layout.width; ++x)
            logo.entries.push_back(layout.bitsPerPixel == 8 ? row[x]
                                                            : (row[x / 2] >> (x % 2 ? 0 : 4)) & 15);
    }
    return logo;
}

std::vector<std::uint8_t> convert(const RgbaPicture& picture, ConversionOptions options) {
    auto result = convertToLogo(picture, options);
    if (!result.ok()) {
        ADD_FAILURE() << result.error().text();
        return std::vector<std::uint8_t>(layoutOf(options.format).length, 0);
    }
    const LogoInspection found = inspectLogo(result.value(), result.value().size(), options.format);
    EXPECT_TRUE(found.isShown());
    EXPECT_EQ(result.value().size(), layoutOf(options.format).length);
    EXPECT_EQ(found.firstAnimatedEntry, options.animateFrom);
    return std::move(result).value();
}

// Where a pixel of the logo lands in the picture, (u, v) as in Shade, on the
// screen of `shape` in square units (640x480 for 4:3, 640x400 for square
// pixels); nothing when it falls on a bar.
std::optional<std::array<double, 2>> placeInPicture(int x, int y, int logoWidth, int width,
                                                    int height, Framing framing,
                                                    ScreenShape shape) {
    const double screenHeight = shape == ScreenShape::FourByThree ? 480 : 400;
    const double screenX = (x + 0.5) * 640.0 / logoWidth;
    const double screenY = (y + 0.5) * screenHeight / 400;
    if (framing == Framing::Stretch)
        return std::array{screenX / 640, screenY / screenHeight};
    const double scale = framing == Framing::Fit ? std::min(640.0 / width, screenHeight / height)
                                                 : std::max(640.0 / width, screenHeight / height);
    const double u = (screenX - (640 - width * scale) / 2) / (width * scale);
    const double v = (screenY - (screenHeight - height * scale) / 2) / (height * scale);
    if (u < 0 || u > 1 || v < 0 || v > 1)
        return std::nullopt;
    return std::array{u, v};
}

TEST(LogoConversion, EveryFramingKeepsThePictureWithinTheErrorOfItsPalette) {
    struct Case {
        LogoFormat format;
        Framing framing;
        int width;
        int height;
        std::uint8_t alpha;
        double meanError; // per channel, of 255
        ScreenShape shape = ScreenShape::FourByThree;
    };
    // Dithering trades a small error per pixel for smooth shades; 16 colours
    // for three channels leave a coarse palette.
    const Case cases[] = {
        {LogoFormat::Windows95, Framing::Fit, 1000, 400, 255, 8},
        {LogoFormat::Windows95, Framing::Fit, 300, 600, 255, 8},
        {LogoFormat::Windows95, Framing::Fill, 1000, 400, 255, 8},
        {LogoFormat::Windows95, Framing::Stretch, 160, 100, 255, 8},
        {LogoFormat::Windows95, Framing::Stretch, 333, 777, 128, 8},
        {LogoFormat::Pc98, Framing::Fit, 1000, 400, 255, 24},
        {LogoFormat::Pc98, Framing::Fill, 300, 600, 255, 24},
        {LogoFormat::Pc98, Framing::Stretch, 2000, 1500, 255, 24},
        {LogoFormat::Windows95, Framing::Fit, 300, 600, 255, 8, ScreenShape::SquarePixels},
        {LogoFormat::Pc98, Framing::Fill, 1000, 400, 255, 24, ScreenShape::SquarePixels},
    };
    for (const Case& c : cases) {
        const Decoded logo = decode(
            convert(paint(c.width, c.height, Gradient, c.alpha), {c.format, c.framing, 0, c.shape}),
            c.format);
        double error = 0;
        for (int y = 0; y < logo.height; ++y)
            for (int x = 0; x < logo.width; ++x) {
                const auto place =
                    placeInPicture(x, y, logo.width, c.width, c.height, c.framing, c.shape);
                Colour expected{0, 0, 0};
                if (place)
                    for (int i = 0; i < 3; ++i)
                        expected[i] = Gradient((*place)[0], (*place)[1])[i] * c.alpha / 255;
                for (int i = 0; i < 3; ++i)
                    error += std::abs(logo.colour(x, y)[i] - expected[i]);
            }
        error /= 3.0 * logo.width * logo.height;
        EXPECT_LT(error, c.meanError) << c.width << "x" << c.height << " framing " << int(c.framing)
                                      << " format " << int(c.format) << " shape " << int(c.shape);
    }
}

TEST(LogoConversion, ADiscStaysRoundOnTheScreenAndTheBarsAreTheBorderColour) {
    const Shade disc = [](double u, double v) {
        const double inside = std::hypot(u - 0.5, v - 0.5) < 0.375 ? 255 : 0;
        return Colour{inside, inside * 0.5, 40};
    };
    // The 800x800 picture fits the screen's height, so the disc is three
    // quarters of the logo's 400 rows tall; it is round on the screen when
    // its width times a logo pixel's width there is its height times the
    // pixel's height. A Windows 95 logo's pixel is two screen pixels wide,
    // and a 4:3 monitor shows 640x400 screen pixels 1.2 times as tall as wide.
    struct Case {
        LogoFormat format;
        ScreenShape shape;
        double pixelWidth; // of a logo pixel on the screen, in square units
        double pixelHeight;
    };
    const Case cases[] = {
        {LogoFormat::Windows95, ScreenShape::FourByThree, 2, 1.2},
        {LogoFormat::Windows95, ScreenShape::SquarePixels, 2, 1},
        {LogoFormat::Pc98, ScreenShape::FourByThree, 1, 1.2},
        {LogoFormat::Pc98, ScreenShape::SquarePixels, 1, 1},
    };
    for (const Case& c : cases) {
        const Decoded logo =
            decode(convert(paint(800, 800, disc), {c.format, Framing::Fit, 0, c.shape}), c.format);
        int left = logo.width, right = -1, top = logo.height, bottom = -1;
        for (int y = 0; y < logo.height; ++y)
            for (int x = 0; x < logo.width; ++x)
                if (logo.colour(x, y)[0] > 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        EXPECT_NEAR(bottom - top + 1, 300, 2) << int(c.format) << " " << int(c.shape);
        EXPECT_NEAR(right - left + 1, 300 * c.pixelHeight / c.pixelWidth, 2)
            << int(c.format) << " " << int(c.shape);
        // Bars beside the picture, and Windows paints entry 0 around it.
        EXPECT_EQ(logo.entries[0], 0);
        EXPECT_EQ(logo.palette[0], (Colour{0, 0, 0}));
    }
}

TEST(LogoConversion, TheCyclingEntriesHoldTheLeastUsedColoursAsARamp) {
    // Shades and grain, so that the quantiser fills the whole palette.
    const Shade photo = [](double u, double v) {
        const double grain = (std::rand() % 41) - 20;
        return Colour{200 * u + grain, 120 + 100 * std::sin(6 * v) + grain, 255 * u * v + grain};
    };
    struct Case {
        LogoFormat format;
        std::uint32_t animateFrom;
    };
    for (const Case& c : {Case{LogoFormat::Windows95, 236}, Case{LogoFormat::Windows95, 1},
                          Case{LogoFormat::Pc98, 12}}) {
        const Decoded logo = decode(
            convert(paint(640, 480, photo), {c.format, Framing::Fill, c.animateFrom}), c.format);
        std::vector<std::size_t> uses(logo.palette.size(), 0);
        for (const int entry : logo.entries)
            ++uses[entry];
        std::size_t leastStill = SIZE_MAX, mostCycling = 0;
        for (std::size_t entry = 1; entry < logo.palette.size(); ++entry) {
            if (entry < c.animateFrom)
                leastStill = std::min(leastStill, uses[entry]);
            else
                mostCycling = std::max(mostCycling, uses[entry]);
        }
        EXPECT_GT(mostCycling, 0u) << c.animateFrom;
        if (c.animateFrom > 1) {
            EXPECT_GE(leastStill, mostCycling) << c.animateFrom;
        }
        const auto luminance = [&](std::size_t entry) {
            const Colour& colour = logo.palette[entry];
            return 299 * colour[0] + 587 * colour[1] + 114 * colour[2];
        };
        for (std::size_t entry = c.animateFrom + 1; entry < logo.palette.size(); ++entry)
            EXPECT_LE(luminance(entry - 1), luminance(entry)) << entry;
    }
}

TEST(LogoConversion, RefusesWhatCannotBecomeALogo) {
    struct Case {
        RgbaPicture picture;
        ConversionOptions options;
    };
    const RgbaPicture good = paint(4, 4, Gradient);
    RgbaPicture short_ = good;
    short_.pixels.pop_back();
    const Case cases[] = {
        {RgbaPicture{0, 0, {}}, {LogoFormat::Windows95, Framing::Fit, 0}},
        {RgbaPicture{4, 0, {}}, {LogoFormat::Pc98, Framing::Fill, 0}},
        {short_, {LogoFormat::Windows95, Framing::Fit, 0}},
        {good, {LogoFormat::Windows95, Framing::Fit, 256}},
        {good, {LogoFormat::Pc98, Framing::Fit, 16}},
    };
    for (const Case& c : cases) {
        const auto result = convertToLogo(c.picture, c.options);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().code(), EINVAL) << result.error().text();
    }
}

} // namespace
} // namespace kor::core
