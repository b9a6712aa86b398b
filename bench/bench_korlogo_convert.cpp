// SPDX-License-Identifier: GPL-3.0-or-later
// How long `korlogo convert` takes to turn a 4000x3000 photograph (a JPEG)
// into a Windows 95 and a PC-98 logo, and how much memory it needs, beside
// the floor of any converter that reads the whole picture: decoding the same
// JPEG at full size with QImageReader, in a process started the same way.
// The in-process lines split the conversion itself (no decoding) into the
// framing and resampling of the large picture and the quantising. Then a PNG
// of 100 megapixels, the largest korlogo takes: its peak memory beside Qt's
// decoding of the same PNG whole, Qt's allocation limit lifted.
//
//     bench_korlogo_convert [--runs N] [--program PATH]

#include "measure.h"

#include "core/logo_conversion.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <png.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#ifndef KORLOGO_PROGRAM
#error "KORLOGO_PROGRAM must name the korlogo program; bench/CMakeLists.txt defines it"
#endif

namespace {

using kor::bench::RunMeasurement;

struct Options {
    int runs = 7;
    std::string program = KORLOGO_PROGRAM;
};

constexpr const char* Usage =
    "usage: bench_korlogo_convert [--runs N] [--program PATH]\n"
    "Times korlogo convert on a 4000x3000 JPEG photograph and a 100-megapixel "
    "PNG.\n";

// Smooth shades, grain and a few hard-edged shapes: what a camera gives, for
// the quantiser as for the JPEG decoder.
QImage photograph(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> grain(-12, 12);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            const int noise = grain(random);
            row[x] = qRgb(std::clamp(int(90 + 120 * u + 30 * std::sin(9 * v)) + noise, 0, 255),
                          std::clamp(int(140 - 80 * v + 40 * std::cos(7 * u)) + noise, 0, 255),
                          std::clamp(int(200 * v * (1 - u) + 40) + noise, 0, 255));
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(240, 200, 60));
    painter.drawEllipse(QPointF(2600, 900), 500, 500);
    painter.setBrush(QColor(30, 60, 30));
    painter.drawRect(300, 2000, 1500, 700);
    painter.setBrush(QColor(180, 30, 40));
    painter.drawPolygon(QPolygonF({QPointF(2000, 2900), QPointF(3500, 1600), QPointF(3900, 2900)}));
    return image;
}

// The child of the reference: decodes the JPEG at full size, as a converter
// that reads the whole picture must.
int decodeOnly(const char* path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    return image.isNull() || image.width() != 4000 ? 1 : 0;
}

// The child of the PNG reference: decodes the PNG whole, with no limit.
int decodePngWhole(const char* path) {
    QImageReader::setAllocationLimit(0);
    QImageReader reader(path);
    const QImage image = reader.read();
    return image.isNull() ? 1 : 0;
}

// A PNG of smooth shades and stripes, written with libpng a row at a time, so
// that making it costs no more memory than reading it should.
void writeLargePng(const std::string& path, int width, int height) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(std::size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            row[std::size_t(x) * 3] = png_byte(x * 255 / width);
            row[std::size_t(x) * 3 + 1] = png_byte(y * 255 / height);
            row[std::size_t(x) * 3 + 2] = png_byte((x / 250 + y / 250) % 2 * 200);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0)
        throw std::runtime_error("cannot write " + path);
}

kor::core::RgbaPicture rgbaOf(const QImage& image) {
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    kor::core::RgbaPicture picture{rgba.width(), rgba.height(), {}};
    for (int y = 0; y < rgba.height(); ++y)
        picture.pixels.insert(picture.pixels.end(), rgba.constScanLine(y),
                              rgba.constScanLine(y) + std::size_t(rgba.width()) * 4);
    return picture;
}

// The median time of converting `picture` in this process.
kor::bench::RunSummary timeInProcess(const std::string& label,
                                     const kor::core::RgbaPicture& picture,
                                     kor::core::LogoFormat format, int runs) {
    std::vector<RunMeasurement> measured;
    for (int i = 0; i <= runs; ++i) {
        const auto started = std::chrono::steady_clock::now();
        const auto logo = kor::core::convertToLogo(picture, {format, kor::core::Framing::Fit, 0});
        RunMeasurement run;
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!logo.ok())
            throw std::runtime_error(logo.error().text());
        if (i > 0)
            measured.push_back(run);
    }
    return kor::bench::summarise(label, measured);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--decode-only")
        return decodeOnly(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--decode-png-whole")
        return decodePngWhole(argv[2]);
    Options options;
    kor::bench::OptionReader line(argc, argv, Usage);
    while (const auto option = line.next()) {
        if (*option == "--runs")
            options.runs = line.positive();
        else if (*option == "--program")
            options.program = line.text();
        else
            line.mistake();
    }
    try {
        kor::bench::ScratchMachine scratch; // only its temporary folder
        const std::string jpeg = (scratch.root() / "photo.jpg").string();
        // Made and let go before the runs: a child's peak counts the pages it
        // shares with this process until it starts the program.
        if (!photograph(4000, 3000).save(QString::fromStdString(jpeg), "JPEG", 90))
            throw std::runtime_error("cannot write " + jpeg);
        std::printf("korlogo program: %s\n4000x3000 JPEG of %llu bytes; each case: one warm-up "
                    "run, then %d timed runs.\n\n",
                    options.program.c_str(),
                    static_cast<unsigned long long>(std::filesystem::file_size(jpeg)),
                    options.runs);
        std::fflush(stdout);

        struct Case {
            std::string label;
            std::string program;
            std::vector<std::string> arguments;
        };
        const std::string logo = (scratch.root() / "LOGO.SYS").string();
        const std::string png = (scratch.root() / "large.png").string();
        writeLargePng(png, 10000, 10000);
        std::printf("10000x10000 PNG of %llu bytes.\n\n",
                    static_cast<unsigned long long>(std::filesystem::file_size(png)));
        std::fflush(stdout);
        const Case cases[] = {
            {"decode JPEG (reference)", "/proc/self/exe", {"--decode-only", jpeg}},
            {"convert, Windows 95", options.program, {"convert", jpeg, logo}},
            {"convert, Windows 95, cycling",
             options.program,
             {"convert", "--animate-from", "236", jpeg, logo}},
            {"convert, Windows 95, fill", options.program, {"convert", "--fill", jpeg, logo}},
            {"convert, PC-98", options.program, {"convert", "--pc98", jpeg, logo}},
            {"decode 100 MP PNG whole (reference)", "/proc/self/exe", {"--decode-png-whole", png}},
            {"convert 100 MP PNG, Windows 95", options.program, {"convert", png, logo}},
        };
        std::vector<kor::bench::RunSummary> rows;
        for (const Case& c : cases) {
            std::vector<RunMeasurement> runs;
            for (int i = 0; i <= options.runs; ++i) {
                RunMeasurement run = kor::bench::runAndMeasure(
                    c.program == "/proc/self/exe"
                        ? std::filesystem::read_symlink(c.program).string()
                        : c.program,
                    {}, {}, c.arguments);
                if (const std::string failure = kor::bench::describeFailure(run); !failure.empty())
                    throw std::runtime_error(c.label + ": " + failure + "; " + run.errorOutput);
                if (i > 0)
                    runs.push_back(std::move(run));
            }
            rows.push_back(kor::bench::summarise(c.label, runs));
        }

        const long baselineKilobytes = kor::bench::runBaselineKilobytes();
        const QImage picture(QString::fromStdString(jpeg));
        const kor::core::RgbaPicture large = rgbaOf(picture);
        const kor::core::RgbaPicture small = rgbaOf(picture.scaled(320, 400));
        rows.push_back(timeInProcess("core 4000x3000, Windows 95", large,
                                     kor::core::LogoFormat::Windows95, options.runs));
        rows.push_back(timeInProcess("core 320x400, Windows 95", small,
                                     kor::core::LogoFormat::Windows95, options.runs));
        rows.push_back(timeInProcess("core 4000x3000, PC-98", large, kor::core::LogoFormat::Pc98,
                                     options.runs));
        kor::bench::printTable(stdout, rows);
        std::printf("\nPeak RSS is the largest of the runs (ru_maxrss of wait4; none for the "
                    "in-process\ncore lines); a process started this way shows at least %.1f MB. "
                    "core 320x400 is\nthe quantising alone: the difference to core 4000x3000 is "
                    "the resampling.\n",
                    static_cast<double>(baselineKilobytes) / 1024);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_korlogo_convert: %s\n", error.what());
        return 1;
    }
    return 0;
}
