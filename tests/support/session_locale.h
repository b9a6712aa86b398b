// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace kor::testing {

// Sets the locale variables a case names, unsets the others, and puts back
// what the test program was started with: the session language of
// language::translate for as long as it lives.
class SessionLocale {
  public:
    SessionLocale(const char* all, const char* messages, const char* lang) {
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(Names[i]);
            m_saved[i] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        set(0, all);
        set(1, messages);
        set(2, lang);
    }
    ~SessionLocale() {
        for (int i = 0; i < 3; ++i)
            set(i, m_saved[i] ? m_saved[i]->c_str() : nullptr);
    }
    SessionLocale(const SessionLocale&) = delete;
    SessionLocale& operator=(const SessionLocale&) = delete;

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

} // namespace kor::testing
