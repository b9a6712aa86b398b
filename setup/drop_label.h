// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

class QMimeData;

namespace kor::setup {

// The type under which korsetup's own lists hand over the Windows path (UTF-8)
// of a dragged entry. It is the program's own, so that no file manager takes
// such a drag for a host file.
inline constexpr char WindowsPathMimeType[] = "application/x-kor-windows-path";

// Drag data that carries `windowsPath` under WindowsPathMimeType and nothing
// else.
QMimeData* windowsPathData(std::string_view windowsPath);

// The refusal of an item whose name Windows cannot hold.
std::string unwritableDropName(bool isFolder);

// A dropped host path as the machine names it: its Windows path, or why it
// has none (outside every drive, or its Windows path would lead elsewhere: a
// host name holding "\").
struct DroppedItem {
    std::optional<std::string> windowsPath;
    std::string refusal;
};
DroppedItem droppedItemOf(const QString& hostPath);

// A refused drop beeps, and says why once the drop is over: a box shown
// inside the drop would hold the file manager that the item came from.
void refuseDrop(std::string why);

// A label that takes the file lists a file manager drops (text/uri-list of
// local files) and the Windows paths dragged from korsetup's own lists, and
// hands them on; what a drop means is the window's to decide. Anything else
// dropped on it is left alone.
class DropLabel final : public QLabel {
    Q_OBJECT

  public:
    explicit DropLabel(QWidget* parent = nullptr);

  signals:
    // A file list was dropped: its host paths in the order the list gives.
    void filesDropped(const QStringList& hostPaths);
    // An entry of korsetup's own lists was dropped.
    void windowsPathDropped(const QString& windowsPath);
    // The user asks to pick the value another way than by a drop.
    void doubleClicked();

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace kor::setup
