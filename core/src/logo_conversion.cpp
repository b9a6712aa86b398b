// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo_conversion.h"

#include "core/operations.h"
#include "language/translation.h"

#include <libimagequant.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace kor::core {
namespace {

using platform::Error;

// The speed of libimagequant (1 best, 10 fastest): 5 quantises a 320x400
// logo in about 50 ms, half the time of speed 1, with the same error to a
// hundredth of a level; from 8 on the error grows.
constexpr int QuantiserSpeed = 5;

Error conversionError(int code, std::string detail, std::string reason) {
    return Error(operation::ConvertPicture, {}, code, std::move(detail))
        .withUserReason(std::move(reason));
}

// How one axis of the output is made from the source: output sample i is the
// weighted sum of the source samples index[first[i]] ... index[first[i + 1] - 1].
struct Kernel {
    std::vector<std::size_t> first;
    std::vector<int> index;
    std::vector<float> weight;
    int lowest = 0;  // the lowest source sample any output sample reads
    int highest = 0; // the highest
};

// Maps the source interval [start, start + length) of an axis of `size`
// samples onto `count` output samples: each output sample averages the source
// samples it covers (a box filter, so that no source pixel is skipped when
// shrinking), or interpolates between the two nearest when enlarging.
Kernel makeKernel(double start, double length, int size, int count) {
    Kernel kernel;
    kernel.first.reserve(static_cast<std::size_t>(count) + 1);
    kernel.lowest = size - 1;
    const double step = length / count;
    const auto add = [&](int at, double weight) {
        at = std::clamp(at, 0, size - 1);
        kernel.index.push_back(at);
        kernel.weight.push_back(static_cast<float>(weight));
        kernel.lowest = std::min(kernel.lowest, at);
        kernel.highest = std::max(kernel.highest, at);
    };
    for (int i = 0; i < count; ++i) {
        kernel.first.push_back(kernel.index.size());
        if (step > 1) {
            const double from = start + i * step;
            const double to = std::min(from + step, static_cast<double>(size));
            double total = 0;
            const std::size_t begin = kernel.weight.size();
            for (int at = static_cast<int>(std::floor(from)); at < static_cast<int>(std::ceil(to));
                 ++at) {
                const double covered = std::min<double>(at + 1, to) - std::max<double>(at, from);
                if (covered > 0) {
                    add(at, covered);
                    total += covered;
                }
            }
            for (std::size_t k = begin; k < kernel.weight.size(); ++k)
                kernel.weight[k] = static_cast<float>(kernel.weight[k] / total);
        } else {
            const double centre = start + (i + 0.5) * step - 0.5;
            const double below = std::floor(centre);
            add(static_cast<int>(below), 1 - (centre - below));
            add(static_cast<int>(below) + 1, centre - below);
        }
    }
    kernel.first.push_back(kernel.index.size());
    return kernel;
}

struct Rectangle {
    double x, y, width, height;
};

// The vertical pass sums whole bytes in fixed point, weights in 1/32768: a
// weight fits 16 bits and a sum of 255s weighing 1 stays far inside 32.
constexpr float WeightOne = 32768;

constexpr std::uint32_t AlphaBits = std::endian::native == std::endian::little ? 0xFF000000 : 0xFF;

// Adds `count` RGBA pixels times `weight` to `sum`. Most rows are opaque and
// summed as they are, four channels alike; a row with transparent pixels is
// composited over black (premultiplied by its alpha) first.
void addRow(const std::uint8_t* in, int count, std::uint16_t weight, std::uint32_t* sum) {
    std::uint32_t opaque = 0xFFFFFFFF;
    for (int x = 0; x < count; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, in + x * 4, 4);
        opaque &= pixel;
    }
    if ((opaque & AlphaBits) == AlphaBits) {
        for (int at = 0; at < count * 4; ++at)
            sum[at] += static_cast<std::uint32_t>(std::uint16_t{in[at]}) * weight;
        return;
    }
    for (int x = 0; x < count; ++x, in += 4, sum += 4)
        for (int channel = 0; channel < 3; ++channel)
            sum[channel] += (in[channel] * in[3] + 127) / 255 * weight;
}

// Resamples the `source` rectangle of `picture` to `width` x `height` RGBA
// pixels into `canvas` (of `canvasWidth` pixels a row) at (left, top), the
// colours composited over black. One output row at a time: the source rows
// it covers are summed into one row, which is then narrowed, so that a large
// picture is read once and nothing of its size is allocated.
void resample(const RgbaPicture& picture, Rectangle source, int width, int height,
              std::vector<std::uint8_t>& canvas, int canvasWidth, int left, int top) {
    const Kernel across = makeKernel(source.x, source.width, picture.width, width);
    const Kernel down = makeKernel(source.y, source.height, picture.height, height);
    const int columns = across.highest - across.lowest + 1;
    std::vector<std::uint32_t> row(static_cast<std::size_t>(columns) * 4);
    const std::size_t stride = static_cast<std::size_t>(picture.width) * 4;
    for (int y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (std::size_t k = down.first[y]; k < down.first[y + 1]; ++k)
            addRow(picture.pixels.data() + down.index[k] * stride +
                       static_cast<std::size_t>(across.lowest) * 4,
                   columns, static_cast<std::uint16_t>(std::lround(down.weight[k] * WeightOne)),
                   row.data());
        std::uint8_t* out =
            canvas.data() + (static_cast<std::size_t>(top + y) * canvasWidth + left) * 4;
        for (int x = 0; x < width; ++x, out += 4) {
            float red = 0, green = 0, blue = 0;
            for (std::size_t k = across.first[x]; k < across.first[x + 1]; ++k) {
                const std::uint32_t* sum = row.data() + (across.index[k] - across.lowest) * 4;
                const float weight = across.weight[k] / WeightOne;
                red += static_cast<float>(sum[0]) * weight;
                green += static_cast<float>(sum[1]) * weight;
                blue += static_cast<float>(sum[2]) * weight;
            }
            // Rounded, and within a byte despite the float sums' last bits.
            const auto byte = [](float value) {
                return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
            };
            out[0] = byte(red);
            out[1] = byte(green);
            out[2] = byte(blue);
            out[3] = 255;
        }
    }
}

// The picture framed on the logo's canvas (its own width, 400 rows), black
// wherever the picture does not reach; tells whether there are such bars.
std::vector<std::uint8_t> frame(const RgbaPicture& picture, const ConversionOptions& options,
                                const LogoLayout& layout, bool& hasBars) {
    const int width = layout.width;
    const int height = layout.height;
    std::vector<std::uint8_t> canvas(static_cast<std::size_t>(width) * height * 4, 0);
    for (std::size_t at = 3; at < canvas.size(); at += 4)
        canvas[at] = 255;
    // Framing is decided on the screen in square pixels; a Windows 95 logo
    // then holds every second column of it, as the machine doubles each
    // column when it shows it, and on a 4:3 screen a row of the logo covers
    // 1.2 of them.
    const ScreenSize screen = screenSizeOf(options.shape);
    const double screenWidth = screen.width;
    const double screenHeight = screen.height;
    const double columnsPerScreenPixel = width / screenWidth;
    const double rowsPerScreenPixel = height / screenHeight;
    const Rectangle whole{0, 0, static_cast<double>(picture.width),
                          static_cast<double>(picture.height)};
    hasBars = false;
    switch (options.framing) {
    case Framing::Stretch:
        resample(picture, whole, width, height, canvas, width, 0, 0);
        break;
    case Framing::Fit: {
        const double scale = std::min(screenWidth / picture.width, screenHeight / picture.height);
        const int shownWidth = std::clamp(
            static_cast<int>(std::lround(picture.width * scale * columnsPerScreenPixel)), 1, width);
        const int shownHeight = std::clamp(
            static_cast<int>(std::lround(picture.height * scale * rowsPerScreenPixel)), 1, height);
        hasBars = shownWidth < width || shownHeight < height;
        resample(picture, whole, shownWidth, shownHeight, canvas, width, (width - shownWidth) / 2,
                 (height - shownHeight) / 2);
        break;
    }
    case Framing::Fill: {
        const double scale = std::max(screenWidth / picture.width, screenHeight / picture.height);
        const double seenWidth = std::min(screenWidth / scale, whole.width);
        const double seenHeight = std::min(screenHeight / scale, whole.height);
        resample(
            picture,
            {(whole.width - seenWidth) / 2, (whole.height - seenHeight) / 2, seenWidth, seenHeight},
            width, height, canvas, width, 0, 0);
        break;
    }
    }
    return canvas;
}

template <typename T, void (*Destroy)(T*)> struct Deleter {
    void operator()(T* object) const { Destroy(object); }
};
using Attributes = std::unique_ptr<liq_attr, Deleter<liq_attr, liq_attr_destroy>>;
using Image = std::unique_ptr<liq_image, Deleter<liq_image, liq_image_destroy>>;
using Quantisation = std::unique_ptr<liq_result, Deleter<liq_result, liq_result_destroy>>;

Error quantiserError(liq_error code) {
    if (code == LIQ_OUT_OF_MEMORY)
        return conversionError(ENOMEM, "out of memory",
                               language::translate("core", "メモリが不足しています"));
    return conversionError(
        EINVAL,
        "the palette quantiser failed (error " + std::to_string(static_cast<int>(code)) + ")",
        language::fill(language::translate("core", "減色に失敗しました (ｴﾗｰ {1})"),
                       {std::to_string(static_cast<int>(code))}));
}

struct Quantised {
    std::vector<liq_color> palette;    // at most the format's entries
    std::vector<std::uint8_t> indices; // one a pixel, rows top first
};

platform::Result<Quantised> quantise(std::vector<std::uint8_t>& canvas, const LogoLayout& layout,
                                     bool hasBars) {
    const Attributes attributes(liq_attr_create());
    if (!attributes)
        return quantiserError(LIQ_OUT_OF_MEMORY);
    if (const liq_error code =
            liq_set_max_colors(attributes.get(), static_cast<int>(layout.paletteEntries));
        code != LIQ_OK)
        return quantiserError(code);
    if (const liq_error code = liq_set_speed(attributes.get(), QuantiserSpeed); code != LIQ_OK)
        return quantiserError(code);
    const Image image(
        liq_image_create_rgba(attributes.get(), canvas.data(), layout.width, layout.height, 0));
    if (!image)
        return quantiserError(LIQ_OUT_OF_MEMORY);
    // Exact black for the bars, so that they are not dithered into noise.
    if (hasBars)
        if (const liq_error code = liq_image_add_fixed_color(image.get(), liq_color{0, 0, 0, 255});
            code != LIQ_OK)
            return quantiserError(code);
    liq_result* made = nullptr;
    if (const liq_error code = liq_image_quantize(image.get(), attributes.get(), &made);
        code != LIQ_OK)
        return quantiserError(code);
    const Quantisation result(made);
    if (const liq_error code = liq_set_dithering_level(result.get(), 1.0f); code != LIQ_OK)
        return quantiserError(code);
    Quantised quantised;
    quantised.indices.resize(static_cast<std::size_t>(layout.width) * layout.height);
    if (const liq_error code = liq_write_remapped_image(
            result.get(), image.get(), quantised.indices.data(), quantised.indices.size());
        code != LIQ_OK)
        return quantiserError(code);
    const liq_palette* palette = liq_get_palette(result.get());
    quantised.palette.assign(palette->entries, palette->entries + palette->count);
    return quantised;
}

// The entry of the quantiser's palette that most pixels of the outer edge use.
std::size_t edgeEntry(const Quantised& quantised, int width, int height) {
    std::vector<std::size_t> uses(quantised.palette.size(), 0);
    const auto count = [&](int x, int y) {
        ++uses[quantised.indices[static_cast<std::size_t>(y) * width + x]];
    };
    for (int x = 0; x < width; ++x) {
        count(x, 0);
        count(x, height - 1);
    }
    for (int y = 1; y + 1 < height; ++y) {
        count(0, y);
        count(width - 1, y);
    }
    return static_cast<std::size_t>(std::max_element(uses.begin(), uses.end()) - uses.begin());
}

int luminance(const liq_color& colour) {
    return 299 * colour.r + 587 * colour.g + 114 * colour.b;
}

// The order of the file's palette, as the quantiser's entries: entry 0 is the
// colour Windows also paints around the picture, so it is the one most of the
// picture's outer edge uses (the bars, when the picture is letterboxed), and
// the border continues the edge. The other still entries follow by how many
// pixels use them. When entries from `animateFrom` on cycle, they hold the
// colours fewest pixels use, sorted dark to light, so that the cycling moves
// those parts of the picture gradually through neighbouring shades; a ramp
// shorter than the cycle is stretched by repeating its shades. -1 marks an
// entry no pixel uses (black).
std::vector<int> paletteOrder(const Quantised& quantised, const LogoLayout& layout,
                              std::uint32_t animateFrom) {
    std::vector<std::size_t> uses(quantised.palette.size(), 0);
    for (const std::uint8_t index : quantised.indices)
        ++uses[index];
    const std::size_t edge = edgeEntry(quantised, layout.width, layout.height);
    std::vector<int> byUse;
    for (std::size_t entry = 0; entry < quantised.palette.size(); ++entry)
        if (entry != edge)
            byUse.push_back(static_cast<int>(entry));
    std::stable_sort(byUse.begin(), byUse.end(), [&](int a, int b) { return uses[a] > uses[b]; });
    byUse.insert(byUse.begin(), static_cast<int>(edge));

    const std::size_t entries = layout.paletteEntries;
    const std::size_t still = animateFrom == 0 ? entries : animateFrom;
    std::vector<int> order(byUse.begin(), byUse.begin() + std::min(still, byUse.size()));
    order.resize(still, -1);
    if (still < entries && byUse.size() > still) {
        std::vector<int> ramp(byUse.begin() + still, byUse.end());
        std::stable_sort(ramp.begin(), ramp.end(), [&](int a, int b) {
            return luminance(quantised.palette[a]) < luminance(quantised.palette[b]);
        });
        const std::size_t cycle = entries - still;
        for (std::size_t slot = 0; slot < cycle; ++slot)
            order.push_back(ramp[slot * ramp.size() / cycle]);
    }
    order.resize(entries, -1);
    return order;
}

void put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> writeLogo(const Quantised& quantised, const LogoLayout& layout,
                                    std::uint32_t animateFrom) {
    const std::vector<int> order = paletteOrder(quantised, layout, animateFrom);
    // A pixel takes the first file entry that holds its colour: a repeated
    // shade of a stretched ramp is never used by a pixel of its own.
    std::vector<std::uint8_t> fileEntry(quantised.palette.size(), 0);
    for (std::size_t slot = order.size(); slot-- > 0;)
        if (order[slot] >= 0)
            fileEntry[order[slot]] = static_cast<std::uint8_t>(slot);

    std::vector<std::uint8_t> bytes(layout.length, 0);
    const std::uint32_t rowBytes =
        static_cast<std::uint32_t>(layout.width) * layout.bitsPerPixel / 8;
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, static_cast<std::uint32_t>(layout.length), 4);
    put(bytes, 10, layout.pixelOffset, 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, static_cast<std::uint32_t>(layout.width), 4);
    put(bytes, 22, static_cast<std::uint32_t>(layout.height), 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, layout.bitsPerPixel, 2);
    put(bytes, 30, 0, 4); // BI_RGB
    put(bytes, 34, rowBytes * static_cast<std::uint32_t>(layout.height), 4);
    put(bytes, 46, layout.paletteEntries, 4);
    put(bytes, 50, animateFrom, 4);
    for (std::size_t slot = 0; slot < order.size(); ++slot) {
        if (order[slot] < 0)
            continue;
        const liq_color& colour = quantised.palette[order[slot]];
        std::uint8_t* quad = bytes.data() + 54 + slot * 4;
        quad[0] = colour.b;
        quad[1] = colour.g;
        quad[2] = colour.r;
    }
    for (int y = 0; y < layout.height; ++y) {
        const std::uint8_t* in =
            quantised.indices.data() + static_cast<std::size_t>(y) * layout.width;
        std::uint8_t* out = bytes.data() + layout.pixelOffset +
                            static_cast<std::size_t>(layout.height - 1 - y) * rowBytes;
        if (layout.bitsPerPixel == 8) {
            for (int x = 0; x < layout.width; ++x)
                out[x] = fileEntry[in[x]];
        } else {
            for (int x = 0; x < layout.width; x += 2)
                out[x / 2] =
                    static_cast<std::uint8_t>(fileEntry[in[x]] << 4 | fileEntry[in[x + 1]]);
        }
    }
    return bytes;
}

} // namespace

ScreenSize screenSizeOf(ScreenShape shape) {
    return {640, shape == ScreenShape::FourByThree ? 480 : 400};
}

platform::Result<std::vector<std::uint8_t>> convertToLogo(const RgbaPicture& picture,
                                                          const ConversionOptions& options) {
    const LogoLayout layout = layoutOf(options.format);
    if (picture.width <= 0 || picture.height <= 0)
        return conversionError(EINVAL, "the picture is empty",
                               language::translate("core", "画像が空です"));
    if (picture.pixels.size() / 4 / static_cast<std::size_t>(picture.width) !=
            static_cast<std::size_t>(picture.height) ||
        picture.pixels.size() % (static_cast<std::size_t>(picture.width) * 4) != 0)
        return conversionError(EINVAL, "the pixels do not match the picture's size",
                               language::translate("core", "画素の数が画像の大きさと合いません"));
    if (options.animateFrom >= layout.paletteEntries) {
        const std::string last = std::to_string(layout.paletteEntries - 1);
        return conversionError(
            EINVAL, "the first cycling palette entry must be from 1 to " + last,
            language::fill(language::translate(
                               "core", "循環させる最初のﾊﾟﾚｯﾄ番号は 1～{1} でなければなりません"),
                           {last}));
    }
    bool hasBars = false;
    std::vector<std::uint8_t> canvas = frame(picture, options, layout, hasBars);
    const Quantised quantised = KOR_TRY(quantise(canvas, layout, hasBars));
    return writeLogo(quantised, layout, options.animateFrom);
}

} // namespace kor::core
