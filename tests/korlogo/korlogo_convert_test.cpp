// SPDX-License-Identifier: GPL-3.0-or-later
#include "korlogo_test_support.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

// A white pixel: Qt reads GIF but cannot write it.
const std::string OnePixelGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                              ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                              35);

struct PngShape {
    int width;
    int height;
    int colourType; // PNG_COLOR_TYPE_...
    int bitDepth;
    int interlace; // PNG_INTERLACE_...
};

// Writes a PNG of stripes with libpng, its rows made one at a time. With
// `Rows::Few` it ends after four rows, uncompressed so that they are written:
// a reader refuses the picture by the size in its header before it reads them.
enum class Rows { All, Few };
void writePng(const std::string& path, const PngShape& shape, Rows rows) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                               std::fclose);
    ASSERT_TRUE(file) << path;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file.get());
    png_set_compression_level(png, rows == Rows::Few ? 0 : 1);
    png_set_IHDR(png, info, shape.width, shape.height, shape.bitDepth, shape.colourType,
                 shape.interlace, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[16];
    for (int i = 0; i < 16; ++i)
        palette[i] = {png_byte(i * 16), png_byte(255 - i * 16), png_byte(i * 8)};
    if (shape.colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette, 16);
    png_write_info(png, info);
    std::vector<png_byte> row(png_get_rowbytes(png, info));
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < shape.height; ++y) {
            for (std::size_t i = 0; i < row.size(); ++i)
                row[i] = png_byte(shape.colourType == PNG_COLOR_TYPE_PALETTE
                                      ? (i / 500 + y / 500) % 16
                                      : (i / 301) * 40 + (y / 211) * 60);
            png_write_row(png, row.data());
            if (rows == Rows::Few && y == 3) {
                png_destroy_write_struct(&png, &info);
                return;
            }
        }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

class KorlogoConvert : public KorlogoFolderTest {
  protected:
    void SetUp() override {
        KorlogoFolderTest::SetUp();
        QImage picture(3000, 2000, QImage::Format_RGB32);
        picture.fill(QColor(30, 60, 90));
        QPainter painter(&picture);
        painter.setBrush(QColor(250, 200, 40));
        painter.drawEllipse(QPoint(1500, 1000), 800, 800);
        painter.end();
        ASSERT_TRUE(picture.save(QString::fromStdString(path("photo.jpg")), "JPEG", 85));
        ASSERT_TRUE(picture.scaled(300, 200).save(QString::fromStdString(path("small.png"))));
        write("pixel.gif", OnePixelGif);
        write("broken.png", "\x89PNG\r\n\x1a\n not really");
    }
};

TEST_F(KorlogoConvert, EveryPictureBecomesALogoTheMachineShows) {
    struct Case {
        std::string picture;
        std::vector<std::string> options;
        std::string said; // on standard output after "LOGO: "
        std::string checked;
    };
    const Case cases[] = {
        {"photo.jpg", {}, "Windows 95 logo, 320x400, 256 colours, no animation", "no animation"},
        {"photo.jpg",
         {"--fill", "--animate-from", "236"},
         "Windows 95 logo, 320x400, 256 colours, entries 236-255 cycle",
         "entries 236-255 cycle"},
        {"small.png", {"--pc98", "--stretch"}, "PC-98 logo, 640x400, 16 colours", "PC-98 can show"},
        {"pixel.gif",
         {"--pc98", "--animate-from=8"},
         "PC-98 logo, 640x400, 16 colours, entries 8-15 cycle",
         "entries 8-15 cycle"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"convert"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.push_back(path(c.picture));
        arguments.push_back(path("LOGO.SYS"));
        const ProgramRun run = runProgram(KORLOGO_PROGRAM, {{"LANG", "C.UTF-8"}}, arguments);
        EXPECT_EQ(run.exitStatus, 0) << c.picture << ": " << run.standardError;
        EXPECT_NE(run.standardOutput.find("LOGO.SYS: " + c.said), std::string::npos)
            << run.standardOutput;

        std::vector<std::string> check{"check", path("LOGO.SYS")};
        if (c.options.size() > 0 && c.options[0] == "--pc98")
            check.insert(check.begin() + 1, "--pc98");
        const ProgramRun checked = runProgram(KORLOGO_PROGRAM, {{"LANG", "C.UTF-8"}}, check);
        EXPECT_EQ(checked.exitStatus, 0) << c.picture << ": " << checked.standardOutput;
        EXPECT_NE(checked.standardOutput.find(c.checked), std::string::npos)
            << checked.standardOutput;
    }
}

TEST_F(KorlogoConvert, AFailureLeavesTheOldLogoAsItWas) {
    struct Case {
        std::string language;
        std::string picture;
        std::string logo;
        std::string said; // on standard error
    };
    const Case cases[] = {
        {"C.UTF-8", "broken.png", "LOGO.SYS", "cannot read the picture"},
        {"ja_JP.UTF-8", "missing.jpg", "LOGO.SYS", "画像を読み込めません"},
        // libpng's English words are not shown under a Japanese locale.
        {"ja_JP.UTF-8", "broken.png", "LOGO.SYS",
         "broken.png: 画像を読み込めません。画像のデータが壊れています。\n"},
        {"C.UTF-8", "photo.jpg", "LOGO.SYS/inside", "cannot write"},
        // The new logo is made, then cannot take the place of a folder.
        {"C.UTF-8", "photo.jpg", "LOGOS", "cannot write"},
    };
    write("LOGO.SYS", "the old logo");
    fs::create_directory(m_folder / "LOGOS");
    for (const Case& c : cases) {
        const ProgramRun run = runProgram(KORLOGO_PROGRAM, {{"LANG", c.language}},
                                          {"convert", path(c.picture), path(c.logo)});
        EXPECT_EQ(run.exitStatus, 1) << c.picture;
        EXPECT_NE(run.standardError.find(c.said), std::string::npos) << run.standardError;
        EXPECT_EQ(read("LOGO.SYS"), "the old logo");
        EXPECT_EQ(names(), (std::vector<std::string>{"LOGO.SYS", "LOGOS", "broken.png", "photo.jpg",
                                                     "pixel.gif", "small.png"}));
    }
}

TEST_F(KorlogoConvert, BadUsageIsExitStatusTwoAndWritesNothing) {
    const std::string in = path("small.png");
    const std::string out = path("LOGO.SYS");
    const std::vector<std::vector<std::string>> cases{
        {"convert"},
        {"convert", in},
        {"convert", in, out, out},
        {"convert", "--fit", "--squash", in, out},
        {"convert", "--animate-from", "0", in, out},
        {"convert", "--animate-from", "256", in, out},
        {"convert", "--pc98", "--animate-from", "16", in, out},
        {"convert", "--animate-from", "1x", in, out},
        {"convert", in, out, "--animate-from"},
    };
    for (const auto& arguments : cases) {
        const ProgramRun run = runProgram(KORLOGO_PROGRAM, {}, arguments);
        EXPECT_EQ(run.exitStatus, 2) << arguments.size() << " " << arguments.back();
        EXPECT_NE(run.standardError.find("korlogo"), std::string::npos);
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(KorlogoConvert, DashWritesTheLogoToStandardOutput) {
    const ProgramRun toFile = runProgram(KORLOGO_PROGRAM, {{"LANG", "C.UTF-8"}},
                                         {"convert", path("small.png"), path("LOGO.SYS")});
    ASSERT_EQ(toFile.exitStatus, 0) << toFile.standardError;
    const ProgramRun toOutput =
        runProgram(KORLOGO_PROGRAM, {{"LANG", "C.UTF-8"}}, {"convert", path("small.png"), "-"});
    EXPECT_EQ(toOutput.exitStatus, 0) << toOutput.standardError;
    // Compared whole, not printed: a logo is 129078 bytes.
    EXPECT_TRUE(toOutput.standardOutput == read("LOGO.SYS"))
        << toOutput.standardOutput.size() << " bytes on standard output";
    EXPECT_NE(toOutput.standardError.find("standard output: Windows 95 logo"), std::string::npos)
        << toOutput.standardError;

    // A failed write to standard output is a failure, said as one.
    const ProgramRun full = runProgram(
        "/bin/sh", {{"LANG", "C.UTF-8"}},
        {"-c", std::string(KORLOGO_PROGRAM) + " convert \"$0\" - > /dev/full", path("small.png")});
    EXPECT_EQ(full.exitStatus, 1);
    EXPECT_NE(full.standardError.find("cannot write standard output: no space left on device"),
              std::string::npos)
        << full.standardError;
}

// A device, a FIFO or a socket is never replaced by a logo: as root, a logo
// written to /dev/null would have taken its place.
TEST_F(KorlogoConvert, AnOutputThatIsNotAFileIsLeftAsItIs) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    const bool device = ::mknod(path("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
    write("LOGO.SYS", "the old logo");
    struct Case {
        std::vector<std::string> arguments;
        std::string output;
        mode_t type;
    };
    std::vector<Case> cases{
        {{"convert", path("small.png"), path("fifo")}, path("fifo"), S_IFIFO},
        {{"preview", "--save", path("fifo"), path("LOGO.SYS")}, path("fifo"), S_IFIFO},
    };
    if (device) // only root may make a device
        cases.push_back({{"convert", path("small.png"), path("null")}, path("null"), S_IFCHR});
    for (const Case& c : cases) {
        const ProgramRun run = runProgram("/usr/bin/timeout", {{"LANG", "C.UTF-8"}}, [&] {
            std::vector<std::string> all{"20", KORLOGO_PROGRAM};
            all.insert(all.end(), c.arguments.begin(), c.arguments.end());
            return all;
        }());
        EXPECT_EQ(run.exitStatus, 1) << c.output;
        EXPECT_NE(run.standardError.find("cannot write " + c.output + ": it is not a regular file"),
                  std::string::npos)
            << run.standardError;
        struct stat status {};
        ASSERT_EQ(::stat(c.output.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & S_IFMT, c.type) << c.output;
    }
}

// Only a regular file is read as a picture, so that a FIFO cannot hold the
// program waiting for a writer.
TEST_F(KorlogoConvert, APictureThatIsNotAFileIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    fs::create_directory(m_folder / "pictures");
    struct Case {
        std::string language;
        std::string picture;
        std::string said;
    };
    const Case cases[] = {
        {"C.UTF-8", "fifo", "cannot read the picture " + path("fifo") + ": not a file"},
        {"C.UTF-8", "pictures", "cannot read the picture " + path("pictures") + ": it is a folder"},
        {"ja_JP.UTF-8", "pictures", path("pictures") + ": 画像を読み込めません。フォルダです。"},
    };
    for (const Case& c : cases) {
        const ProgramRun run =
            runProgram("/usr/bin/timeout", {{"LANG", c.language}},
                       {"20", KORLOGO_PROGRAM, "convert", path(c.picture), path("LOGO.SYS")});
        EXPECT_EQ(run.exitStatus, 1) << c.picture;
        EXPECT_NE(run.standardError.find(c.said), std::string::npos) << run.standardError;
        EXPECT_FALSE(fs::exists(m_folder / "LOGO.SYS"));
    }
}

// Larger PNGs than Qt's allocation limit lets it decode are decoded by rows;
// beyond 100 megapixels they are refused by their size, in the program's
// own words only.
TEST_F(KorlogoConvert, LargePngsConvertAndTooLargeOnesAreRefusedBySize) {
    struct Case {
        PngShape shape;
        Rows rows;
        std::string said; // on standard error
    };
    const Case cases[] = {
        {{12000, 3000, PNG_COLOR_TYPE_RGB, 8, PNG_INTERLACE_NONE}, Rows::All, ""},
        {{5800, 5800, PNG_COLOR_TYPE_RGB_ALPHA, 16, PNG_INTERLACE_NONE}, Rows::All, ""},
        {{12000, 3000, PNG_COLOR_TYPE_PALETTE, 8, PNG_INTERLACE_ADAM7}, Rows::All, ""},
        {{10100, 10000, PNG_COLOR_TYPE_RGB, 8, PNG_INTERLACE_NONE},
         Rows::Few,
         "korlogo: cannot read the picture " + path("large.png") +
             ": it is 10100x10000 pixels, more than the 100 megapixels a picture may have\n"},
    };
    for (const Case& c : cases) {
        writePng(path("large.png"), c.shape, c.rows);
        const ProgramRun run = runProgram(KORLOGO_PROGRAM, {{"LANG", "C.UTF-8"}},
                                          {"convert", path("large.png"), path("LOGO.SYS")});
        EXPECT_EQ(run.exitStatus, c.said.empty() ? 0 : 1) << c.shape.width;
        EXPECT_EQ(run.standardError, c.said);
        if (c.said.empty()) {
            const ProgramRun checked =
                runProgram(KORLOGO_PROGRAM, {{"LANG", "C.UTF-8"}}, {"check", path("LOGO.SYS")});
            EXPECT_EQ(checked.exitStatus, 0) << checked.standardOutput;
            fs::remove(m_folder / "LOGO.SYS");
        } else {
            EXPECT_FALSE(fs::exists(m_folder / "LOGO.SYS"));
        }
    }
}

} // namespace
} // namespace kor::testing
