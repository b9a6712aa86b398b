// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings.h"

namespace kor::setup {

// Copies the three logo files (logo.sys from the root of the boot drive,
// logow.sys and logos.sys from the Windows directory) into the folder korback
// of the Windows directory, after asking; an earlier backup is overwritten.
// Tells the user how it went. Stops at the first file that cannot be copied,
// keeping the copies made before it.
void offerLogoBackup(const core::Settings& settings);

} // namespace kor::setup
