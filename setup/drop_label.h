#pragma once

#include <QLabel>
#include <QStringList>

namespace kor::setup {

// A label that takes the file lists a file manager drops (text/uri-list of
// local files) and hands on their host paths; what a drop means is the
// window's to decide. Anything else dropped on it is left alone.
class DropLabel final : public QLabel {
    Q_OBJECT

  public:
    explicit DropLabel(QWidget* parent = nullptr);

  signals:
    // A file list was dropped: its host paths in the order the list gives.
    void filesDropped(const QStringList& hostPaths);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace kor::setup
