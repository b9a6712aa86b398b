// KOR: changes the Windows 95 start-up and shut-down pictures unattended, each
// time it runs, from the sources that KOR.INI names.

#include "changer_form.h"

#include "platform/services.h"

int main() {
    kor::platform::setServices(kor::platform::makeServicesForThisSession());
    kor::changer::Form1 window;
    return static_cast<int>(window.Form_Load());
}
