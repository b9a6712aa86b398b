// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop_services.h"

#include "platform/machine.h"

#include "language/translation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <cstdlib>

namespace kor::platform {
namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The changer shows boxes without a window of its own, so it gets an
// application object here; QApplication keeps references to argc and argv,
// hence they live as long as the program. The object is never destroyed: at
// the program's exit the toolkit's own statics are already gone, and its
// destructor would crash.
void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "kor";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    Q_UNUSED(application);
}

// The window the user was in when the program spoke: the active one, else a
// main window shown. The box is placed over it and gives the focus back to it,
// which without a window manager nothing else does.
QWidget* askingWindow() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Window)
            return window;
    return nullptr;
}

// Buttons as on Windows of the session's language, whatever the host's desktop
// theme and whether or not Qt's own translation is installed: plain text.
void nameButtons(QMessageBox& box) {
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } names[] = {{QMessageBox::Ok, "OK"},
                 {QMessageBox::Yes, KOR_TRANSLATE_NOOP("desktop_services", "はい(&Y)")},
                 {QMessageBox::No, KOR_TRANSLATE_NOOP("desktop_services", "いいえ(&N)")}};
    for (const auto& [button, text] : names)
        if (QAbstractButton* shown = box.button(button)) {
            shown->setText(toQString(language::translate("desktop_services", text)));
            shown->setIcon(QIcon());
        }
}

// Shows `box` over the asking window until it is answered, then gives the
// focus back to where it was.
int showOverAskingWindow(QMessageBox& box) {
    const QPointer<QWidget> focused = QApplication::focusWidget();
    const QPointer<QWidget> asker = box.parentWidget();
    const int answer = box.exec();
    if (asker)
        asker->activateWindow();
    if (focused)
        focused->setFocus(Qt::ActiveWindowFocusReason);
    return answer;
}

class DesktopServices final : public Services {
  public:
    DesktopServices() { ensureApplication(); }

    void showMessage(std::string_view caption, std::string_view text) override {
        QMessageBox box(QMessageBox::NoIcon, toQString(caption), toQString(text), QMessageBox::Ok,
                        askingWindow());
        nameButtons(box);
        showOverAskingWindow(box);
    }

    Answer ask(std::string_view text) override {
        QMessageBox box(QMessageBox::NoIcon,
                        toQString(language::translate("desktop_services", "確認")), toQString(text),
                        QMessageBox::Yes | QMessageBox::No, askingWindow());
        box.setDefaultButton(QMessageBox::Yes);
        nameButtons(box);
        return showOverAskingWindow(box) == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }

    void beep() override { QApplication::beep(); }

    FolderOpening openFolder(std::string_view windowsPath) override {
        Result<std::filesystem::path> host = Machine::current().hostPath(windowsPath);
        if (!host)
            return FolderOpening::NotAHostFolder;
        // False when the desktop names no program for folders; one that is
        // started but fails later goes unseen.
        return QDesktopServices::openUrl(
                   QUrl::fromLocalFile(QString::fromStdString(host.value().string())))
                   ? FolderOpening::Opened
                   : FolderOpening::NoFileManager;
    }

    [[noreturn]] void endProgram(int exitStatus) override { std::exit(exitStatus); }
};

} // namespace

std::unique_ptr<Services> makeDesktopServices() {
    return std::make_unique<DesktopServices>();
}

} // namespace kor::platform

// What a program that loads this face at run time calls; it owns the result.
extern "C" __attribute__((visibility("default"))) kor::platform::Services*
korMakeDesktopServices() {
    return kor::platform::makeDesktopServices().release();
}
