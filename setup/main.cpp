// SPDX-License-Identifier: GPL-3.0-or-later
// korsetup: the desktop program in which the user tries pictures, makes them
// logos at once, tells the changer KOR where to draw its pictures from, sets
// its options and backs up the logo files.

#include "command_line.h"
#include "controls.h"
#include "fonts.h"
#include "main_window.h"

#include "diskimage/image_drives.h"
#include "language/translation.h"
#include "machines/known_machines.h"
#include "machines/machine_choice.h"
#include "platform/desktop_services.h"
#include "platform/machine.h"
#include "platform/services.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QTimer>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

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

// The name the title shows for the machine chosen: the known machine's, as
// --machine or the last choice named it; empty for a folder of drives.
std::string machineName(const kor::machines::OpenedMachine& opened,
                        const std::optional<std::string>& requested) {
    if (!opened.emulator)
        return {};
    const std::optional<std::string> named =
        requested ? requested : kor::machines::lastChosenMachine();
    if (named)
        if (const auto known = kor::machines::findMachine(*named))
            return known->name;
    return opened.emulator->name;
}

} // namespace

int main(int argc, char* argv[]) {
    // --help, --version and a mistaken argument are answered before
    // QApplication exists, since it cannot start without a display. Qt's own
    // options go on to QApplication, korsetup's own kept from it, and Qt takes
    // them out of its copy of argv; an argument it leaves (an option of a Qt
    // newer than the list korsetup knows) is a mistake too, answered before
    // any window opens.
    using kor::setup::CommandLine;
    const CommandLine line = kor::setup::parseCommandLine(argc, argv);
    if (line.action != CommandLine::Action::Run)
        return kor::setup::answerCommandLine(line);
    // Qt would end the program with a crash signal and its own words. A
    // display named with -display is Qt's to open.
    if (!line.qtDisplay && !kor::platform::windowsCanOpen(kor::setup::qtPlatformOf(line)))
        return kor::setup::refuseWithoutDesktop();
    std::vector<char*> qtArguments;
    for (const int index : line.qtArguments)
        qtArguments.push_back(argv[index]);
    int qtArgumentCount = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication application(qtArgumentCount, qtArguments.data());
    if (qtArgumentCount > 1) {
        CommandLine mistaken;
        mistaken.action = CommandLine::Action::Mistake;
        mistaken.mistake = qtArguments[1];
        return kor::setup::answerCommandLine(mistaken);
    }
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/setup/icon.png")));
    kor::setup::useJapaneseUiFont();
    kor::platform::setServices(kor::platform::makeDesktopServices());
    kor::platform::Machine::setImageOpener(kor::diskimage::openImageDrive);

    kor::language::useSessionLanguage();

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

    // The machine is chosen before any window reads it. One that cannot be
    // opened is said, and the program goes on with the folder of drives
    // (KOR_ROOT, else ~/.kor), as without a choice.
    std::string shownMachine;
    if (auto opened = kor::machines::chooseMachine(line.machine); !opened) {
        kor::setup::tell(opened.error().message());
    } else {
        shownMachine = machineName(opened.value(), line.machine);
        kor::platform::Machine::setCurrent(std::move(opened.value().machine));
    }

    kor::setup::MainWindow window(shownMachine);
    window.show();
    return QApplication::exec();
}
