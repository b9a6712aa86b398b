// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services.h"

namespace kor::platform {

// The desktop face: Qt message boxes and the desktop's file manager. Creates a
// QApplication when the program has none (the changer has no window of its own).
std::unique_ptr<Services> makeDesktopServices();

} // namespace kor::platform
