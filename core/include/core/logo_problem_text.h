// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_format.h"

#include <string>

namespace kor::core {

// Every reason why the machine of `format` cannot show `found` as its logo,
// with the values it holds, in the session's language, so that the three
// programs tell a problem in the same words: in Japanese one sentence ending
// in "。" after the other, in English clauses without a capital or a full stop
// joined by "; ", to follow a colon. "" when the file can be shown.
std::string describeLogoProblems(const LogoInspection& found, LogoFormat format);

} // namespace kor::core
