// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/translation.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace kor::testing {

// Makes the windows made while it lives speak the language of `messages`
// ("C" for English, "ja_JP.UTF-8" for Japanese), as korsetup started under
// LC_MESSAGES=`messages` would: the window tests otherwise run in Japanese.
// Puts the locale and the application's translator back at its end.
class SessionLanguage {
  public:
    explicit SessionLanguage(const char* messages)
        : m_all(saved("LC_ALL")), m_messages(saved("LC_MESSAGES")) {
        ::unsetenv("LC_ALL");
        ::setenv("LC_MESSAGES", messages, 1);
        language::useSessionLanguage();
    }
    ~SessionLanguage() {
        restore("LC_ALL", m_all);
        restore("LC_MESSAGES", m_messages);
        language::useSessionLanguage();
    }
    SessionLanguage(const SessionLanguage&) = delete;
    SessionLanguage& operator=(const SessionLanguage&) = delete;

  private:
    static std::optional<std::string> saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::optional<std::string> m_all;
    std::optional<std::string> m_messages;
};

} // namespace kor::testing
