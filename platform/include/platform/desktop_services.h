#pragma once

#include "platform/services.h"

namespace kor::platform {

// The desktop face: Qt message boxes and the desktop's file manager. Creates a
// QApplication when the program has none (the changer has no window of its own).
std::unique_ptr<Services> makeDesktopServices();

// The desktop face when a display is set, the headless face otherwise.
std::unique_ptr<Services> makeServicesForThisSession();

} // namespace kor::platform
