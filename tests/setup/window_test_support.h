// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording_services.h"
#include "source_chooser.h"
#include "temporary_machine.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <string>

// Helpers of the window tests: KOR.INI texts, folders on the temporary
// machine, the child windows that are alive, and drags with the mouse.
namespace kor::testing {

// The bytes of a KOR.INI with section [SaveDir] and these key lines, as the
// profile functions write them: CRLF line ends.
inline std::string koriniText(const QStringList& lines) {
    std::string text = "[SaveDir]\r\n";
    for (const QString& line : lines)
        text += line.toStdString() + "\r\n";
    return text;
}

// Creates a folder at a Windows path, mapping its drive first.
inline void makeFolder(TemporaryMachine& machine, const QString& windowsPath) {
    const std::string path = windowsPath.toStdString();
    machine.addDrive(path.front());
    std::filesystem::create_directories(machine.host(path));
}

// The child window of type Window that is alive: closed windows are deleted
// first, as the event loop would.
template <typename Window> Window* liveWindow(QWidget& mainWindow) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return mainWindow.findChild<Window*>();
}

// The texts of the messages shown so far, those posted until now included
// (a drop says why it was refused once it is over).
inline QStringList shownMessages(RecordingScope& recording) {
    QCoreApplication::processEvents();
    QStringList texts;
    for (const auto& message : recording.recorder().messages)
        texts << QString::fromStdString(message.text);
    return texts;
}

// Hovers at `from`, presses the left button there, moves by `offset` and lets
// go, as a mouse does: each event where the pointer is on the screen, seen
// from wherever the widget is by then (QTest's moves carry no pressed button).
inline void dragBy(QWidget& widget, QPoint from, QPoint offset) {
    const QPoint start = widget.mapToGlobal(from);
    const auto send = [&](QEvent::Type type, QPoint moved, Qt::MouseButton button,
                          Qt::MouseButtons held) {
        const QPoint global = start + moved;
        QMouseEvent event(type, QPointF(widget.mapFromGlobal(global)), QPointF(global), button,
                          held, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &event);
    };
    send(QEvent::MouseMove, {}, Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, {}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, offset / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, offset, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, offset, Qt::LeftButton, Qt::NoButton);
}

// Double-clicks `value` and, while the chooser it opens is shown, runs `use`
// on it; false when no chooser opened. Whatever `use` left undone, the
// chooser does not stay open.
inline bool withChooser(QLabel& value, const std::function<void(setup::SourceChooser&)>& use) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* chooser = qobject_cast<setup::SourceChooser*>(widget);
                chooser && chooser->isVisible()) {
                opened = true;
                use(*chooser);
                if (chooser->isVisible())
                    chooser->reject();
            }
    });
    QTest::mouseDClick(&value, Qt::LeftButton);
    return opened;
}

} // namespace kor::testing
