// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_reading.h"

#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace kor::korlogo {
namespace {

// How much of the picture's resolution the framing keeps, with a margin of
// two so that the area-averaging still has pixels to average.
double neededScale(QSize size, core::Framing framing) {
    const double across = 2 * 640.0 / size.width();
    const double down = 2 * 400.0 / size.height();
    return framing == core::Framing::Fit ? std::min(across, down) : std::max(across, down);
}

} // namespace

std::optional<core::RgbaPicture> readPictureForLogo(QImageReader& reader, core::Framing framing) {
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (reader.format() == "jpeg" && size.isValid() && !size.isEmpty()) {
        // Either orientation, as an Exif rotation is applied after the decoding.
        const double scale =
            std::max(neededScale(size, framing), neededScale(size.transposed(), framing));
        int denominator = 8;
        while (denominator > 1 && 1.0 / denominator < scale)
            denominator /= 2;
        if (denominator > 1)
            reader.setScaledSize(QSize(std::max(1, size.width() / denominator),
                                       std::max(1, size.height() / denominator)));
    }
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    image.convertTo(QImage::Format_RGBA8888);
    core::RgbaPicture picture{image.width(), image.height(), {}};
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height * 4);
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 4;
    for (int y = 0; y < picture.height; ++y)
        std::copy_n(image.constScanLine(y), rowBytes, picture.pixels.data() + y * rowBytes);
    return picture;
}

} // namespace kor::korlogo
