// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

#include <cmath>

// The windows are laid out in twips (1/1440 inch), as they were designed; at
// 96 dots per inch 15 twips make one pixel.
namespace kor::setup {

inline constexpr int TwipsPerPixel = 15;

// To the nearest pixel, so that a position worked out in twips by a division
// lands where the designed window would.
inline int pixelsFromTwips(double twips) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

inline int twipsFromPixels(int pixels) {
    return pixels * TwipsPerPixel;
}

inline QSize sizeFromTwips(int width, int height) {
    return {pixelsFromTwips(width), pixelsFromTwips(height)};
}

inline QRect rectFromTwips(int left, int top, int width, int height) {
    return {pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
            pixelsFromTwips(height)};
}

} // namespace kor::setup
