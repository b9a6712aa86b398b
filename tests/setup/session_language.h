// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session_locale.h"

#include "language/translation.h"

#include <cstdlib>
#include <optional>

namespace kor::testing {

// Makes the windows made while it lives speak the language of `messages`
// ("C" for English, "ja_JP.UTF-8" for Japanese), as korsetup started under
// LC_MESSAGES=`messages` would: the window tests otherwise run in Japanese.
// Puts the locale and the application's translator back at its end.
class SessionLanguage {
  public:
    explicit SessionLanguage(const char* messages) {
        m_locale.emplace(nullptr, messages, std::getenv("LANG"));
        language::useSessionLanguage();
    }
    ~SessionLanguage() {
        m_locale.reset();
        language::useSessionLanguage();
    }
    SessionLanguage(const SessionLanguage&) = delete;
    SessionLanguage& operator=(const SessionLanguage&) = delete;

  private:
    std::optional<SessionLocale> m_locale;
};

} // namespace kor::testing
