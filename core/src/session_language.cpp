// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session_language.h"

#include "language/translation.h"

namespace kor::core {

TextLanguage sessionLanguage() {
    return language::sessionReadsJapanese() ? TextLanguage::Japanese : TextLanguage::English;
}

} // namespace kor::core
