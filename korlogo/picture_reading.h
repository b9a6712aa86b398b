// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_conversion.h"

#include <optional>

class QImageReader;

namespace kor::korlogo {

// Decodes the picture `reader` reads into the pixels a logo is made from, for
// the framing `framing`: a large JPEG is decoded at a half, a quarter or an
// eighth of its size where that still holds twice what the screen shows, as
// libjpeg then skips most of the work. Exif rotations are applied. nullopt
// when Qt cannot read it; reader.errorString() then says why. Shared by
// korlogo convert and korsetup's converter, so that both make the same logo.
std::optional<core::RgbaPicture> readPictureForLogo(QImageReader& reader, core::Framing framing);

} // namespace kor::korlogo
