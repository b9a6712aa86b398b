// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "temporary_machine.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QList>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

// Drops as a file manager makes them, delivered to the widget under the mouse.
namespace kor::testing {

// The file list a file manager drags: the host paths as file: addresses.
inline QList<QUrl> fileUrls(const QStringList& hostPaths) {
    QList<QUrl> urls;
    for (const QString& path : hostPaths)
        urls << QUrl::fromLocalFile(path);
    return urls;
}

// The host path of a Windows path of the temporary machine, as a file
// manager shows it.
inline QString hostPathOf(const TemporaryMachine& machine, const QString& windowsPath) {
    return QString::fromStdString(machine.host(windowsPath.toStdString()).string());
}

struct DropOutcome {
    bool dragAccepted = false;
    bool dropAccepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// Drags `data` into the middle of `target` and drops it there; the drop is
// delivered whether or not the drag was accepted, as a careless source would.
inline DropOutcome dragAndDrop(QWidget& target, const QMimeData& data) {
    const QPoint middle = target.rect().center();
    // A file manager offers every action and proposes a move.
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(middle, offered, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(&target, &enter);
    QDropEvent drop(QPointF(middle), offered, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(&target, &drop);
    return {enter.isAccepted(), drop.isAccepted(), drop.dropAction()};
}

inline DropOutcome dropFiles(QWidget& target, const QStringList& hostPaths) {
    QMimeData data;
    data.setUrls(fileUrls(hostPaths));
    return dragAndDrop(target, data);
}

} // namespace kor::testing
