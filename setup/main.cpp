// SPDX-License-Identifier: GPL-3.0-or-later
// korsetup: the desktop program in which the user tries pictures, makes them
// logos at once, tells the changer KOR where to draw its pictures from, sets
// its options and backs up the logo files.

#include "command_line.h"
#include "fonts.h"
#include "main_window.h"

#include "diskimage/image_drives.h"
#include "platform/desktop_services.h"
#include "platform/machine.h"
#include "platform/services.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <chrono>

namespace {

// How long korsetup keeps a disk image's export without input from the user.
constexpr std::chrono::seconds IdleRelease{10};

// Starts the idle timer again at each input from the user.
class InputWatcher final : public QObject {
  public:
    explicit InputWatcher(QTimer& idle) : m_idle(idle) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
        case QEvent::Drop:
            m_idle.start();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QTimer& m_idle;
};

} // namespace

int main(int argc, char* argv[]) {
    // --help, --version and a mistaken argument are answered before
    // QApplication exists, since it cannot start without a display. Qt's own
    // options go on to QApplication, which takes them out of argv; an argument
    // it leaves (an option of a Qt newer than the list korsetup knows) is a
    // mistake too, answered before any window opens.
    using kor::setup::CommandLine;
    if (const CommandLine line = kor::setup::parseCommandLine(argc, argv);
        line.action != CommandLine::Action::Run)
        return kor::setup::answerCommandLine(line);
    QApplication application(argc, argv);
    if (argc > 1)
        return kor::setup::answerCommandLine({CommandLine::Action::Mistake, argv[1]});
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/setup/icon.png")));
    kor::setup::useJapaneseUiFont();
    kor::platform::setServices(kor::platform::makeDesktopServices());
    kor::platform::Machine::setImageOpener(kor::diskimage::openImageDrive);

    // korsetup speaks Japanese whatever the host's locale: Qt's own texts
    // (the tips of title-bar buttons, edit menus) come from its Japanese
    // translation. When that file is missing they stay English; the message
    // boxes and title-bar menus name their entries themselves.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // An image in a format of QEMU's is exported, and locked by QEMU, only
    // while korsetup uses it: the user who leaves the window, most likely to
    // start the emulator from that image, or leaves it idle, must find the
    // image free.
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(IdleRelease);
    QObject::connect(&idle, &QTimer::timeout, &kor::diskimage::releaseImageDrives);
    QObject::connect(&application, &QGuiApplication::applicationStateChanged,
                     [](Qt::ApplicationState state) {
                         if (state != Qt::ApplicationActive)
                             kor::diskimage::releaseImageDrives();
                     });
    InputWatcher watcher(idle);
    application.installEventFilter(&watcher);
    idle.start();

    kor::setup::MainWindow window;
    window.show();
    return QApplication::exec();
}
