// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session_language.h"
#include "language/translation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace kor::language {
namespace {

// Sets the locale variables a case names, unsets the others, and puts back
// what the test program was started with.
class Locale {
  public:
    Locale(const char* all, const char* messages, const char* lang) {
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(Names[i]);
            m_saved[i] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        set(0, all);
        set(1, messages);
        set(2, lang);
    }
    ~Locale() {
        for (int i = 0; i < 3; ++i)
            set(i, m_saved[i] ? m_saved[i]->c_str() : nullptr);
    }
    Locale(const Locale&) = delete;
    Locale& operator=(const Locale&) = delete;

  private:
    static constexpr const char* Names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    static void set(int i, const char* value) {
        if (value)
            ::setenv(Names[i], value, 1);
        else
            ::unsetenv(Names[i]);
    }
    std::optional<std::string> m_saved[3];
};

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
        EXPECT_EQ(core::sessionLanguage() == core::TextLanguage::Japanese,
                  std::string(c.text) == "標準出力");
    }
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
