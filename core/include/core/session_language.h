// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_problem_text.h"

namespace kor::core {

// The language of this session's texts as the C library would choose it:
// LC_ALL, then LC_MESSAGES, then LANG, the first that is set and not empty;
// Japanese when it starts with "ja", English otherwise and when none is set.
// korlogo speaks it throughout; KOR and korsetup only for their usage,
// version and run report lines, their other texts being Japanese always.
TextLanguage sessionLanguage();

} // namespace kor::core
