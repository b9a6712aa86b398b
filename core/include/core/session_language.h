// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_problem_text.h"

namespace kor::core {

// The language of this session's texts, as language::sessionReadsJapanese()
// chooses it. korlogo speaks it throughout; KOR and korsetup only for their usage,
// version and run report lines, their other texts being Japanese always.
TextLanguage sessionLanguage();

} // namespace kor::core
