// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures/picture_reading.h"

#include <QIODevice>
#include <QImage>
#include <QImageReader>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace kor::pictures {
namespace {

constexpr std::int64_t Megapixel = 1'000'000;

std::int64_t pixelsOf(QSize size) {
    return std::int64_t{size.width()} * size.height();
}

// How much of the picture's resolution the framing keeps, with a margin of
// two so that the area-averaging still has pixels to average.
double neededScale(QSize size, core::Framing framing) {
    const double across = 2 * 640.0 / size.width();
    const double down = 2 * 400.0 / size.height();
    return framing == core::Framing::Fit ? std::min(across, down) : std::max(across, down);
}

int reducedLength(int length, int factor) {
    return (length + factor - 1) / factor;
}

// In which order the rows of a picture arrive: one after the other, or in the
// passes of an interlaced PNG.
enum class RowOrder { TopToBottom, Interlaced };

// The most pixels of a reduced picture: what a framing keeps of the screen,
// twice over, with room for a picture far longer than wide cropped by Fill.
// Interlaced rows need sums of 32 bytes for each pixel until the end, rows in
// order only for one row of squares at a time, and pixels copied as they are
// none.
std::int64_t reducedPixelsLimit(RowOrder order, int factor) {
    return order == RowOrder::TopToBottom || factor == 1 ? 4'000'000 : 2'000'000;
}

// The side of the squares of pixels averaged into one pixel of the reduced
// picture: as large as the framing allows, and enough to keep it small.
int reductionFactor(QSize size, core::Framing framing, RowOrder order) {
    const double scale = neededScale(size, framing);
    int factor = scale >= 1 ? 1 : static_cast<int>(std::min(1 / scale, 1e9));
    while (std::int64_t{reducedLength(size.width(), factor)} *
               reducedLength(size.height(), factor) >
           reducedPixelsLimit(order, factor))
        ++factor;
    return factor;
}

// Averages squares of `factor` x `factor` pixels into one as rows arrive, so
// that a picture is never held whole. Colours are weighted by their opacity,
// so that a transparent pixel's colour does not show.
class AreaReducer {
  public:
    AreaReducer(QSize size, int factor, RowOrder order)
        : m_size(size), m_factor(factor),
          m_order(order), m_picture{reducedLength(size.width(), factor),
                                    reducedLength(size.height(), factor),
                                    {}},
          m_sums(factor == 1 ? 0
                             : static_cast<std::size_t>(m_picture.width) *
                                   (order == RowOrder::TopToBottom ? 1 : m_picture.height) * 4) {
        m_picture.pixels.resize(static_cast<std::size_t>(m_picture.width) * m_picture.height * 4);
    }

    // Adds `count` RGBA pixels of row `y`: the first at column `first`, the
    // others each `step` columns further.
    void addRow(const std::uint8_t* pixels, int count, int y, int first, int step) {
        if (m_factor == 1) {
            std::uint8_t* to = m_picture.pixels.data() +
                               (static_cast<std::size_t>(y) * m_picture.width + first) * 4;
            for (int i = 0; i < count; ++i, to += std::size_t(step) * 4)
                std::copy_n(pixels + std::size_t(i) * 4, 4, to);
            return;
        }
        const int square = y / m_factor;
        if (m_order == RowOrder::TopToBottom && square != m_square) {
            finishSquares(m_square, 0);
            m_square = square;
        }
        std::size_t at = (static_cast<std::size_t>(sumRow(square)) * m_picture.width +
                          static_cast<std::size_t>(first / m_factor)) *
                         4;
        int within = first % m_factor; // the column inside the current square
        for (const std::uint8_t* pixel = pixels; pixel < pixels + std::size_t(count) * 4;
             pixel += 4) {
            const std::uint32_t alpha = pixel[3];
            m_sums[at] += pixel[0] * alpha;
            m_sums[at + 1] += pixel[1] * alpha;
            m_sums[at + 2] += pixel[2] * alpha;
            m_sums[at + 3] += alpha;
            for (within += step; within >= m_factor; within -= m_factor)
                at += 4;
        }
    }

    // The reduced picture, once every row was added.
    core::RgbaPicture result() && {
        if (m_factor == 1)
            return std::move(m_picture);
        if (m_order == RowOrder::TopToBottom)
            finishSquares(m_square, 0);
        else
            for (int y = 0; y < m_picture.height; ++y)
                finishSquares(y, y);
        return std::move(m_picture);
    }

  private:
    int sumRow(int square) const { return m_order == RowOrder::TopToBottom ? 0 : square; }

    // Turns the sums of the row of squares `y`, kept at `sumRow`, into pixels.
    void finishSquares(int y, int sumRow) {
        const std::uint64_t rows = std::min(m_factor, m_size.height() - y * m_factor);
        std::uint64_t* sums =
            m_sums.data() + static_cast<std::size_t>(sumRow) * m_picture.width * 4;
        std::uint8_t* pixel =
            m_picture.pixels.data() + static_cast<std::size_t>(y) * m_picture.width * 4;
        for (int x = 0; x < m_picture.width; ++x, sums += 4, pixel += 4) {
            const std::uint64_t count = rows * std::min(m_factor, m_size.width() - x * m_factor);
            const std::uint64_t alpha = sums[3];
            for (int channel = 0; channel < 3; ++channel)
                pixel[channel] =
                    static_cast<std::uint8_t>(alpha == 0 ? 0 : (sums[channel] + alpha / 2) / alpha);
            pixel[3] = static_cast<std::uint8_t>((alpha + count / 2) / count);
            std::fill_n(sums, 4, 0);
        }
    }

    QSize m_size;
    int m_factor;
    RowOrder m_order;
    core::RgbaPicture m_picture;
    std::vector<std::uint64_t> m_sums;
    int m_square = 0; // the row of squares being summed, rows in order
};

// Qt's image handlers write their decoders' warnings ("Corrupt JPEG data",
// the allocation limit) as log lines, most in the default category: while a
// picture is decoded, no log line is written; the result says what failed.
class DecoderLogSilenced {
  public:
    DecoderLogSilenced() : m_previous(qInstallMessageHandler(drop)) {}
    ~DecoderLogSilenced() { qInstallMessageHandler(m_previous); }
    DecoderLogSilenced(const DecoderLogSilenced&) = delete;
    DecoderLogSilenced& operator=(const DecoderLogSilenced&) = delete;

  private:
    static void drop(QtMsgType, const QMessageLogContext&, const QString&) {}
    QtMessageHandler m_previous;
};

// Qt's limit on the memory of one decoded picture, for as long as it lives;
// Qt keeps one for the whole process, and each version its own default.
class AllocationLimit {
  public:
    explicit AllocationLimit(std::int64_t bytes) : m_previous(QImageReader::allocationLimit()) {
        QImageReader::setAllocationLimit(static_cast<int>((bytes >> 20) + 1));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_previous); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

  private:
    int m_previous;
};

PictureReading refusal(QSize size, int limitMegapixels) {
    PictureReading reading;
    reading.refusedSize = size;
    reading.limitMegapixels = limitMegapixels;
    return reading;
}

PictureReading failure(PictureFault fault, std::string detail = {}) {
    PictureReading reading;
    reading.fault = fault;
    reading.detail = std::move(detail);
    return reading;
}

// libpng reports an error by a longjmp to the setjmp of the function that
// called it. Those functions hold no object with a destructor, so that the
// jump skips none; what they fill is owned by their callers.
struct PngSource {
    QIODevice* device = nullptr;
    char error[160] = {};
};

void onPngError(png_structp png, png_const_charp message) {
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::strncpy(source->error, message, sizeof source->error - 1);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void readPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    while (length > 0) {
        const qint64 got =
            source->device->read(reinterpret_cast<char*>(data), static_cast<qint64>(length));
        if (got <= 0)
            png_error(png, "the file ends before the picture does");
        data += got;
        length -= static_cast<png_size_t>(got);
    }
}

bool readPngHeader(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

// Any PNG is read as 8-bit RGBA rows.
bool setPngToRgba(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    const int colourType = png_get_color_type(png, info);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);
    png_set_scale_16(png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && !transparency)
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    if (png_get_channels(png, info) != 4 || png_get_bit_depth(png, info) != 8)
        png_error(png, "unexpected pixel layout");
    return true;
}

// An interlaced PNG is read pass by pass, each pass's pixels added to the
// reduced picture where they lie, so that it too is never held whole.
bool readPngRows(png_structp png, png_infop info, std::uint8_t* row, AreaReducer& reducer) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_ADAM7) {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, row, nullptr);
            reducer.addRow(row, static_cast<int>(width), static_cast<int>(y), 0, 1);
        }
        return true;
    }
    for (int pass = 0; pass < 7; ++pass) {
        const png_uint_32 columns = PNG_PASS_COLS(width, pass);
        const png_uint_32 rows = PNG_PASS_ROWS(height, pass);
        if (columns == 0 || rows == 0)
            continue;
        for (png_uint_32 y = 0; y < rows; ++y) {
            png_read_row(png, row, nullptr);
            reducer.addRow(
                row, static_cast<int>(columns), static_cast<int>(PNG_ROW_FROM_PASS_ROW(y, pass)),
                static_cast<int>(PNG_COL_FROM_PASS_COL(0, pass)), 1 << PNG_PASS_COL_SHIFT(pass));
        }
    }
    return true;
}

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;
    explicit PngReader(PngSource& source) {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, onPngError, onPngWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

PictureReading readPng(QIODevice& device, core::Framing framing) {
    PngSource source;
    source.device = &device;
    PngReader reader(source);
    if (!reader.png || !reader.info)
        return failure(PictureFault::OutOfMemory);
    png_set_read_fn(reader.png, &source, readPngBytes);
    // The size is judged here, so that the refusal can name it.
    png_set_user_limits(reader.png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    if (!readPngHeader(reader.png, reader.info))
        return failure(PictureFault::Damaged, source.error);
    const QSize size(static_cast<int>(png_get_image_width(reader.png, reader.info)),
                     static_cast<int>(png_get_image_height(reader.png, reader.info)));
    if (pixelsOf(size) > PictureLimitMegapixels * Megapixel)
        return refusal(size, PictureLimitMegapixels);
    if (size.width() > PngRowPixelsLimit)
        return failure(PictureFault::TooWide);
    if (!setPngToRgba(reader.png, reader.info))
        return failure(PictureFault::Damaged, source.error);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(size.width()) * 4);
    const RowOrder order = png_get_interlace_type(reader.png, reader.info) == PNG_INTERLACE_ADAM7
                               ? RowOrder::Interlaced
                               : RowOrder::TopToBottom;
    AreaReducer reducer(size, reductionFactor(size, framing, order), order);
    if (!readPngRows(reader.png, reader.info, row.data(), reducer))
        return failure(PictureFault::Damaged, source.error);
    PictureReading reading;
    reading.picture = std::move(reducer).result();
    return reading;
}

PictureReading readWithQt(QIODevice& device, core::Framing framing) {
    const DecoderLogSilenced silenced;
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    QSize decoded = size;
    if (size.isValid() && !size.isEmpty()) {
        if (pixelsOf(size) > PictureLimitMegapixels * Megapixel)
            return refusal(size, PictureLimitMegapixels);
        if (reader.format() == "jpeg") {
            // Either orientation, as an Exif rotation is applied after the
            // decoding; smaller still where a picture far longer than wide
            // would need more memory than a whole decoding may take.
            const double scale =
                std::max(neededScale(size, framing), neededScale(size.transposed(), framing));
            int denominator = 8;
            while (denominator > 1 && 1.0 / denominator < scale)
                denominator /= 2;
            while (denominator < 8 &&
                   pixelsOf(size / denominator) > WholeDecodeLimitMegapixels * Megapixel)
                denominator *= 2;
            decoded = QSize(std::max(1, size.width() / denominator),
                            std::max(1, size.height() / denominator));
            if (denominator > 1)
                reader.setScaledSize(decoded);
        } else if (pixelsOf(size) > WholeDecodeLimitMegapixels * Megapixel) {
            return refusal(size, WholeDecodeLimitMegapixels);
        }
    } else {
        decoded = QSize(1000, WholeDecodeLimitMegapixels * 1000);
    }
    QImage image;
    {
        // A row and a column more, as libjpeg rounds a reduced size up.
        const AllocationLimit limit(pixelsOf(decoded + QSize(1, 1)) * 4);
        image = reader.read();
    }
    if (image.isNull())
        return failure(PictureFault::Unreadable, reader.errorString().toStdString());
    AreaReducer reducer(image.size(), reductionFactor(image.size(), framing, RowOrder::TopToBottom),
                        RowOrder::TopToBottom);
    // Converted a row at a time, as a whole copy would double the memory.
    for (int y = 0; y < image.height(); ++y) {
        if (image.format() == QImage::Format_RGBA8888) {
            reducer.addRow(image.constScanLine(y), image.width(), y, 0, 1);
        } else {
            const QImage row =
                image.copy(0, y, image.width(), 1).convertToFormat(QImage::Format_RGBA8888);
            reducer.addRow(row.constScanLine(0), image.width(), y, 0, 1);
        }
    }
    PictureReading reading;
    reading.picture = std::move(reducer).result();
    return reading;
}

} // namespace

PictureReading readPictureForLogo(QIODevice& device, core::Framing framing) {
    static constexpr char pngSignature[] = "\x89PNG\r\n\x1a\n";
    if (device.peek(8) == QByteArray(pngSignature, 8))
        return readPng(device, framing);
    return readWithQt(device, framing);
}

} // namespace kor::pictures
