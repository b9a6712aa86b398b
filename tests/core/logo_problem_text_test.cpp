// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo_problem_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kor::core {
namespace {

// The headers and palette of a Windows 95 logo, then whatever a case changes.
std::vector<std::uint8_t> logoStart(std::int32_t width, std::uint32_t compression) {
    std::vector<std::uint8_t> bytes(LogoHeadersLength, 0x55);
    const auto put = [&bytes](std::size_t at, std::uint32_t value, int length) {
        for (int i = 0; i < length; ++i)
            bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(10, 1078, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, 400, 4);
    put(28, 8, 2);
    put(30, compression, 4);
    put(46, 0, 4);
    put(50, 0, 4);
    return bytes;
}

TEST(LogoProblemText, JapaneseReasonsNameTheValuesFound) {
    struct Case {
        const char* what;
        std::int32_t width;
        std::uint32_t compression;
        std::uint64_t length;
        std::string reasons;
    };
    const Case cases[] = {
        {"a logo Windows 95 shows", 320, 0, 129078, ""},
        {"twice as wide, so its rows cannot fit", 640, 0, 129078,
         "幅が 640 ドットです (320 ドットでなければなりません)。"
         "画像データが途中で切れています (128000 バイト不足)。"},
        {"compressed and wide", 640, 1, 129078,
         "幅が 640 ドットです (320 ドットでなければなりません)。画像が圧縮されています (方式 1)。"},
        {"cut short", 320, 0, 2078,
         "ファイルの大きさが 2078 バイトです (129078 バイトでなければなりません)。"
         "画像データが途中で切れています (127000 バイト不足)。"},
    };
    for (const Case& c : cases) {
        const LogoInspection found =
            inspectLogo(logoStart(c.width, c.compression), c.length, LogoFormat::Windows95);
        EXPECT_EQ(describeLogoProblemsInJapanese(found, LogoFormat::Windows95), c.reasons)
            << c.what;
    }
}

TEST(FillInValues, ReplacesEachMarkOnceAndLeavesValuesAlone) {
    struct Case {
        const char* text;
        std::vector<std::string> values;
        const char* filled;
    };
    const Case cases[] = {
        {"{1}: {2} ({1})", {"A.BMP", "ok"}, "A.BMP: ok (A.BMP)"},
        // A file name holding a mark is not filled in a second time.
        {"{1} and {2}", {"{2}.BMP", "x"}, "{2}.BMP and x"},
        {"{2} then {1}", {"a", "b"}, "b then a"},
        {"{3} {0} {} {1", {"a", "b"}, "{3} {0} {} {1"},
        {"{10}", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}, "ten"},
        {"no marks", {}, "no marks"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fillInValues(c.text, c.values), c.filled) << c.text;
}

} // namespace
} // namespace kor::core
