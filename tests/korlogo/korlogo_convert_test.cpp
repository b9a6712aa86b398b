// SPDX-License-Identifier: GPL-3.0-or-later
#include "korlogo_test_support.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>

#include <filesystem>
#include <string>
#include <vector>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

// A white pixel: Qt reads GIF but cannot write it.
const std::string OnePixelGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                              ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                              35);

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
        {"photo.jpg", {}, "Windows 95 logo, 320x400, 256 colours, does not move", "does not move"},
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

} // namespace
} // namespace kor::testing
