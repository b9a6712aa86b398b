// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_format.h"

#include <string>
#include <string_view>
#include <vector>

namespace kor::core {

// The languages the programs speak: korsetup and KOR speak Japanese, korlogo
// follows the session's locale.
enum class TextLanguage { English, Japanese };

// `text` with each "{1}", "{2}"... replaced by the value of that number, in a
// single pass, so that a value holding such a mark itself (a file name may)
// stays as it is. A mark without a value stays too.
std::string fillInValues(std::string_view text, const std::vector<std::string>& values);

// One reason why the machine of `format` cannot show a file as its logo, as a
// sentence with the values `found` holds: in English a clause without a
// capital or a full stop (the caller joins them), in Japanese a whole sentence
// ending in "。", so that the three programs tell a problem in the same words.
std::string describeLogoProblem(LogoProblem problem, const LogoInspection& found, LogoFormat format,
                                TextLanguage language);

// Every problem of `found` in Japanese, one sentence after the other; "" when
// the file can be shown.
std::string describeLogoProblemsInJapanese(const LogoInspection& found, LogoFormat format);

} // namespace kor::core
