// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kor::core {

enum class TextLanguage { English, Japanese };

// The language of this session's texts, as language::sessionReadsJapanese()
// chooses it, for korsetup's command line, which keeps a text of each
// language; every other text is translated through language::translate().
TextLanguage sessionLanguage();

} // namespace kor::core
