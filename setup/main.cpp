// korsetup: the desktop program in which the user tries pictures, makes them
// logos at once, tells the changer KOR where to draw its pictures from, sets
// its options and backs up the logo files.

#include "fonts.h"
#include "main_window.h"

#include "platform/desktop_services.h"
#include "platform/services.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/setup/icon.png")));
    kor::setup::useJapaneseUiFont();
    kor::platform::setServices(kor::platform::makeDesktopServices());

    kor::setup::KORsetupMain window;
    window.show();
    return QApplication::exec();
}
