// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_conversion.h"

#include <QSize>

#include <optional>
#include <string>

class QIODevice;

namespace kor::pictures {

// Why a picture that is not too large was not read, for each program to say
// in the language of its session.
enum class PictureFault { None, TooWide, Damaged, OutOfMemory, Unreadable };

// What reading a picture gave: its pixels, or why not.
struct PictureReading {
    std::optional<core::RgbaPicture> picture;
    // Without a picture: its size when it has more pixels than
    // `limitMegapixels` allows, otherwise invalid and `fault` says why, with
    // the decoder's own English words in `detail` where it gave any.
    QSize refusedSize;
    int limitMegapixels = 0;
    PictureFault fault = PictureFault::None;
    std::string detail;
};

// The most pixels a picture may have, in millions: a PNG is decoded by rows
// and a JPEG at a reduced size, so that either costs little memory.
inline constexpr int PictureLimitMegapixels = 100;
// The most pixels of the pictures Qt decodes whole (GIF, BMP, ...), in
// millions: 4 bytes each, what a conversion may take.
inline constexpr int WholeDecodeLimitMegapixels = 32;
// The widest row of a PNG that is read, libpng's own default, so that one
// row stays small.
inline constexpr int PngRowPixelsLimit = 1'000'000;

// Decodes the picture `device` reads into the pixels a logo is made from, for
// the framing `framing`, reduced by area-averaging to what still holds twice
// what the screen shows. A PNG is decoded row by row with libpng and reduced
// as it goes; a large JPEG is decoded at a half, a quarter or an eighth of its
// size, as libjpeg then skips most of the work; others are decoded whole by
// Qt. Exif rotations are applied (not for PNG). The memory Qt may use is set
// to what the decoding needs, and the decoders' own warnings are never
// written. Shared by korlogo convert and korsetup's converter, so that both
// make the same logo.
PictureReading readPictureForLogo(QIODevice& device, core::Framing framing);

} // namespace kor::pictures
