// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Marks `japanese` as a source text of `context` where it is only stored, as
// in a table, and translated later: lupdate finds it through this name.
#define KOR_TRANSLATE_NOOP(context, japanese) japanese

namespace kor::language {

// Whether this session reads Japanese, as the C library would choose its
// language: LC_ALL, then LC_MESSAGES, then LANG, the first that is set and not
// empty, starting with "ja". English otherwise, and when none is set.
bool sessionReadsJapanese();

// `japanese`, a source text of `context`, in English: its translation, or
// `japanese` itself while it has none.
std::string english(const char* context, const char* japanese);

// `japanese`, a source text of `context`, in the session's language: itself
// under a Japanese locale, otherwise its English. lupdate finds the texts by
// this function's name.
std::string translate(const char* context, const char* japanese);

} // namespace kor::language
