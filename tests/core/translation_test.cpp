// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/translation.h"
#include "session_locale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kor::language {
namespace {

using Locale = kor::testing::SessionLocale;

// No QCoreApplication exists in this program: the English comes from the
// table built into the library all the same.
TEST(Translation, EachTextInTheLanguageTheLocaleChooses) {
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        const char* text;
    };
    const Case cases[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", "標準出力"},
        {nullptr, nullptr, "C.UTF-8", "standard output"},
        {nullptr, nullptr, nullptr, "standard output"},
        {nullptr, "ja_JP.UTF-8", "C", "標準出力"},
        {"C", nullptr, "ja_JP.UTF-8", "standard output"},
        {"", "", "ja", "標準出力"},
        {nullptr, nullptr, "en_GB.UTF-8", "standard output"},
    };
    for (const Case& c : cases) {
        const Locale locale(c.all, c.messages, c.lang);
        SCOPED_TRACE(std::string("LC_ALL=") + (c.all ? c.all : "(unset)") +
                     " LC_MESSAGES=" + (c.messages ? c.messages : "(unset)") +
                     " LANG=" + (c.lang ? c.lang : "(unset)"));
        EXPECT_EQ(translate("korlogo", "標準出力"), c.text);
        EXPECT_EQ(sessionReadsJapanese(), std::string(c.text) == "標準出力");
    }
}

// The values go into the translated text, where its language puts them, and
// are not read for marks themselves.
TEST(Translation, ValuesFillTheTranslationInItsOwnOrder) {
    const auto values = {std::string_view("[Hard disks] hdd_01_fn"), std::string_view("{1}.img")};
    EXPECT_EQ(fill(english("machines", "{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} は書き込み禁止です"), values),
              "The disk image {1}.img of [Hard disks] hdd_01_fn is write-protected");
    EXPECT_EQ(fill("{1} のﾃﾞｨｽｸｲﾒｰｼﾞ {2} は書き込み禁止です", values),
              "[Hard disks] hdd_01_fn のﾃﾞｨｽｸｲﾒｰｼﾞ {1}.img は書き込み禁止です");
}

TEST(Translation, ATextWithoutEnglishStaysJapanese) {
    EXPECT_EQ(english("korlogo", "まだ英訳のない文"), "まだ英訳のない文");
    EXPECT_EQ(english("no such context", "標準出力"), "標準出力");
}

TEST(Fill, ReplacesEachMarkOnceAndLeavesValuesAlone) {
    struct Case {
        std::string filled;
        const char* expected;
    };
    const Case cases[] = {
        {fill("{1}: {2} ({1})", {"A.BMP", "ok"}), "A.BMP: ok (A.BMP)"},
        // A file name holding a mark is not filled in a second time.
        {fill("{1} and {2}", {"{2}.BMP", "x"}), "{2}.BMP and x"},
        {fill("{2} then {1}", {"a", "b"}), "b then a"},
        {fill("{3} {0} {} {1", {"a", "b"}), "{3} {0} {} {1"},
        {fill("{10}", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}), "ten"},
        {fill("no marks", {}), "no marks"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.filled, c.expected);
}

} // namespace
} // namespace kor::language
