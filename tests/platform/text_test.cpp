// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text.h"

#include <gtest/gtest.h>

namespace kor::platform {
namespace {

struct Cp932Case {
    const char* utf8;
    std::string cp932;
};

class Cp932RoundTrip : public ::testing::TestWithParam<Cp932Case> {};

TEST_P(Cp932RoundTrip, EncodesAndDecodesExactBytes) {
    const Result<std::string> encoded = toCp932(GetParam().utf8);
    ASSERT_TRUE(encoded.ok());
    EXPECT_EQ(encoded.value(), GetParam().cp932);

    const Result<std::string> decoded = fromCp932(GetParam().cp932);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value(), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Text, Cp932RoundTrip,
    ::testing::Values(Cp932Case{"C:\\WINDOWS\\", "C:\\WINDOWS\\"}, Cp932Case{"", ""},
                      // 表 ends in 0x5C, the byte of a backslash.
                      Cp932Case{"C:\\表\\", "C:\\\x95\x5C\\"},
                      Cp932Case{"ソフト", "\x83\x5C\x83\x74\x83\x67"},
                      Cp932Case{"ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9"},
                      Cp932Case{"ＭＳ Ｐゴシック",
                                "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"}));

TEST(Text, RefusesBytesThatAreNotCp932) {
    EXPECT_FALSE(fromCp932("\x81").ok());       // a lead byte without its trail byte
    EXPECT_FALSE(fromCp932("A\x81\x20Z").ok()); // a trail byte out of range
    EXPECT_FALSE(fromCp932("\xA0").ok());
}

TEST(Text, RefusesCharactersThatCp932CannotHold) {
    EXPECT_FALSE(toCp932("한국어").ok());
    EXPECT_FALSE(toCp932("\xFF\xFE").ok()); // not UTF-8 at all
}

TEST(Text, FoldsAsciiLettersOnly) {
    EXPECT_EQ(upperAscii("c:\\Windows\\kor.ini"), "C:\\WINDOWS\\KOR.INI");
    EXPECT_EQ(upperAscii("ａｂｃ é"), "ａｂｃ é");
    EXPECT_TRUE(equalsIgnoringAsciiCase("SaveDir", "SAVEDIR"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("SaveDir", "SaveDi"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("é", "É"));
}

struct EscapeCase {
    std::string text;
    std::string shown;
};

class ControlCharacters : public ::testing::TestWithParam<EscapeCase> {};

// Names from KOR.INI and archives reach standard error; a terminal must see
// their control characters, never obey them.
TEST_P(ControlCharacters, AreShownEscapedExceptLineBreaks) {
    EXPECT_EQ(escapeControlCharacters(GetParam().text), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Text, ControlCharacters,
                         ::testing::Values(EscapeCase{"C:\\PICS\\富士.BMP", "C:\\PICS\\富士.BMP"},
                                           EscapeCase{"C:\\A\nこのﾌｧｲﾙ", "C:\\A\nこのﾌｧｲﾙ"},
                                           EscapeCase{"\x1B[2J\x1B]0;x\a",
                                                      "\\x1B[2J\\x1B]0;x\\x07"},
                                           EscapeCase{"a\rb\tc\x7F", "a\\x0Db\\x09c\\x7F"},
                                           EscapeCase{std::string("A\0B", 3), "A\\x00B"},
                                           EscapeCase{"\xC2\x9B"
                                                      "31m\xC2\xA0",
                                                      "\\u009B31m\xC2\xA0"},
                                           EscapeCase{"\x1F\x20", "\\x1F "}));

} // namespace
} // namespace kor::platform
