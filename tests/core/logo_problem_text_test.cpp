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
        EXPECT_EQ(describeLogoProblems(found, LogoFormat::Windows95), c.reasons) << c.what;
    }
}

} // namespace
} // namespace kor::core
