#include "drop_label.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

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

} // namespace

DropLabel::DropLabel(QWidget* parent) : QLabel(parent) {
    setAcceptDrops(true);
}

void DropLabel::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        acceptAsCopy(event);
}

void DropLabel::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        acceptAsCopy(event);
}

void DropLabel::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    acceptAsCopy(event);
    emit filesDropped(paths);
}

} // namespace kor::setup
