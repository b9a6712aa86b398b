// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

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

// `text` with each "{1}", "{2}"... replaced by the value of that number, in a
// single pass, so that a value holding such a mark itself (a file name may)
// stays as it is. A mark without a value stays too. A text with data is one
// sentence with marks, translated whole and filled afterwards, so that its
// English may put the values in another order.
std::string fill(std::string text, std::initializer_list<std::string_view> values);

// Makes the running Qt application's tr() speak the session's language: the
// English table under any other locale than Japanese; under a Japanese one the
// source texts themselves, and Qt's own texts (the tips of title-bar buttons,
// edit menus) from Qt's Japanese translation when it is installed. Called
// again, it follows a locale changed since.
void useSessionLanguage();

} // namespace kor::language
