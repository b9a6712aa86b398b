// SPDX-License-Identifier: GPL-3.0-or-later
#include "drop_label.h"

#include "controls.h"

#include "platform/machine.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kor::setup {

namespace {

// A drop only records where the items lie. Taken as a copy, never as the
// move a file manager may propose, so that the source does not delete them.
void acceptAsCopy(QDropEvent* event) {
    if (event->possibleActions().testFlag(Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

// The host paths of a file list in the order dropped; empty when `data` is
// not a file list (text, web addresses, nothing at all).
QStringList droppedFiles(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    // A file manager's list names files only; one address of another kind
    // makes it something else.
    if (urls.isEmpty() ||
        !std::ranges::all_of(urls, [](const QUrl& url) { return url.isLocalFile(); }))
        return {};
    QStringList paths;
    for (const QUrl& url : urls)
        paths << url.toLocalFile();
    return paths;
}

// The Windows path dragged from korsetup's own lists, or "" when `data`
// carries none.
QString droppedWindowsPath(const QMimeData* data) {
    if (!data)
        return {};
    return QString::fromUtf8(data->data(QString::fromLatin1(WindowsPathMimeType)));
}

bool isTaken(const QMimeData* data) {
    return !droppedWindowsPath(data).isEmpty() || !droppedFiles(data).isEmpty();
}

} // namespace

std::string unwritableDropName(bool isFolder) {
    return (isFolder ? QCoreApplication::translate("kor::setup::DropLabel",
                                                   "ドロップされたフォルダの名前に、Windows "
                                                   "のパスとして書けない文字があります。")
                     : QCoreApplication::translate("kor::setup::DropLabel",
                                                   "ドロップされたファイルの名前に、Windows "
                                                   "のパスとして書けない文字があります。"))
        .toStdString();
}

DroppedItem droppedItemOf(const QString& hostPath) {
    const bool isFolder = QFileInfo(hostPath).isDir();
    const std::filesystem::path host(QFile::encodeName(hostPath).toStdString());
    const platform::Machine& machine = platform::Machine::current();
    platform::Result<std::string> windows = machine.windowsPath(host);
    if (!windows)
        return {
            std::nullopt,
            (isFolder
                 ? QCoreApplication::translate("kor::setup::DropLabel",
                                               "ドロップされたフォルダはエミュレートされたマシンの"
                                               "ドライブの外にあります。")
                 : QCoreApplication::translate("kor::setup::DropLabel",
                                               "ドロップされたファイルはエミュレートされたマシンの"
                                               "ドライブの外にあります。"))
                .toStdString()};
    platform::Result<std::filesystem::path> found = machine.hostPath(windows.value());
    std::error_code error;
    if (!found || !std::filesystem::equivalent(found.value(), host, error))
        return {std::nullopt, unwritableDropName(isFolder)};
    return {std::move(windows).value(), {}};
}

void refuseDrop(std::string why) {
    platform::services().beep();
    QTimer::singleShot(0, [why = std::move(why)] { tell(why); });
}

QMimeData* windowsPathData(std::string_view windowsPath) {
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(WindowsPathMimeType),
                  QByteArray(windowsPath.data(), static_cast<qsizetype>(windowsPath.size())));
    return data;
}

DropLabel::DropLabel(QWidget* parent) : QLabel(parent) {
    setAcceptDrops(true);
}

void DropLabel::dragEnterEvent(QDragEnterEvent* event) {
    if (isTaken(event->mimeData()))
        acceptAsCopy(event);
}

void DropLabel::dragMoveEvent(QDragMoveEvent* event) {
    if (isTaken(event->mimeData()))
        acceptAsCopy(event);
}

void DropLabel::dropEvent(QDropEvent* event) {
    // The program's own path comes first: a source that also offered a file
    // list would mean the same item.
    if (const QString windowsPath = droppedWindowsPath(event->mimeData()); !windowsPath.isEmpty()) {
        acceptAsCopy(event);
        emit windowsPathDropped(windowsPath);
        return;
    }
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    acceptAsCopy(event);
    emit filesDropped(paths);
}

void DropLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QLabel::mouseDoubleClickEvent(event);
    event->accept();
    emit doubleClicked();
}

} // namespace kor::setup
