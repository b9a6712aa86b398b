// SPDX-License-Identifier: GPL-3.0-or-later
#include "korlogo_test_support.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

// A bottom-up bitmap with plain rows and a palette of `paletteEntries`.
std::string bitmap(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                   std::uint32_t paletteEntries, std::uint32_t firstAnimatedEntry) {
    const std::uint32_t offset = 54 + paletteEntries * 4;
    const std::uint32_t pixels = (width * bitsPerPixel + 31) / 32 * 4 * height;
    std::string bytes(offset + pixels, '\x55');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, offset + pixels, 4);
    put(bytes, 6, 0, 4);
    put(bytes, 10, offset, 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, width, 4);
    put(bytes, 22, height, 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, bitsPerPixel, 2);
    put(bytes, 30, 0, 4);
    put(bytes, 34, pixels, 4);
    put(bytes, 38, 0, 4); // resolution, then colours used
    put(bytes, 42, 0, 4);
    put(bytes, 46, 0, 4);
    put(bytes, 50, firstAnimatedEntry, 4);
    return bytes;
}

class KorlogoCheck : public KorlogoFolderTest {
  protected:
    void SetUp() override {
        KorlogoFolderTest::SetUp();
        write("logo.sys", bitmap(320, 400, 8, 256, 236));
        write("photo.bmp", bitmap(224, 192, 24, 0, 0)); // as long as a logo
    }
};

TEST_F(KorlogoCheck, SaysForEachFileWhetherItIsShownInTheLanguageOfTheLocale) {
    struct Case {
        std::map<std::string, std::string> environment;
        std::vector<std::string> files;
        int exitStatus;
        std::vector<std::string> phrases; // in this order on standard output
    };
    const Case cases[] = {
        {{{"LANG", "C.UTF-8"}},
         {"logo.sys"},
         0,
         {"logo.sys: Windows 95 can show it as a logo; entries 236-255 cycle\n"}},
        {{{"LANG", "ja_JP.UTF-8"}},
         {"logo.sys"},
         0,
         {"logo.sys: Windows 95 のロゴとして表示できます。パレットの 236～255 "
          "番の色が循環します。"}},
        {{{"LANG", "en_GB.UTF-8"}},
         {"photo.bmp"},
         1,
         {"photo.bmp: Windows 95 cannot show it as a logo: the width is 224, not 320; ",
          "the colour depth is 24 bits, not 8"}},
        {{{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "C"}},
         {"photo.bmp", "logo.sys"},
         1,
         {"photo.bmp: Windows 95 のロゴとして表示できません。幅が 224 ドットです",
          "logo.sys: Windows 95 のロゴとして表示できます。"}},
        {{{"LC_ALL", "C"}, {"LANG", "ja_JP.UTF-8"}},
         {"missing.sys"},
         1,
         {"missing.sys: Windows 95 cannot show it as a logo: cannot read it"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"check"};
        for (const std::string& file : c.files)
            arguments.push_back(path(file));
        const ProgramRun run = runProgram(KORLOGO_PROGRAM, c.environment, arguments);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << c.files[0];
        std::size_t at = 0;
        for (const std::string& phrase : c.phrases) {
            at = run.standardOutput.find(phrase, at);
            EXPECT_NE(at, std::string::npos) << phrase << "\nin:\n" << run.standardOutput;
        }
    }
}

TEST_F(KorlogoCheck, BadUsageIsExitStatusTwo) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"verify", path("logo.sys")}, {"check"}, {"check", "--pc99", path("logo.sys")}}) {
        const ProgramRun run = runProgram(KORLOGO_PROGRAM, {{"LANG", "C.UTF-8"}}, arguments);
        EXPECT_EQ(run.exitStatus, 2) << arguments.size();
        EXPECT_NE(run.standardError.find("usage: korlogo check"), std::string::npos);
    }
}

} // namespace
} // namespace kor::testing
