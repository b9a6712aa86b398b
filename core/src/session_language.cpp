// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session_language.h"

#include <cstdlib>
#include <string_view>

namespace kor::core {

TextLanguage sessionLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::string_view(value).starts_with("ja") ? TextLanguage::Japanese
                                                             : TextLanguage::English;
    }
    return TextLanguage::English;
}

} // namespace kor::core
