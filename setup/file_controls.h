// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QComboBox>
#include <QListWidget>
#include <QTreeView>

#include <string>
#include <string_view>
#include <vector>

// The drive, directory, file and member lists of the logo browser. Each path
// list keeps the Windows path it shows; a change made from outside runs the
// same change signal as the user's own pick, as the browser's handlers expect.
// With dragging enabled, the directory and file lists hand over the Windows
// path of the dragged entry, never a host file.
namespace kor::setup {

// Whether `name` matches one of `patterns`, wildcards separated by ";" as in a
// Windows file dialog's filter ("*.BMP;*.PNG").
bool matchesAnyPattern(std::string_view name, std::string_view patterns);

// The mapped drives of the machine, one of them selected.
class DriveListBox final : public QComboBox {
    Q_OBJECT

  public:
    // Starts at the current drive.
    explicit DriveListBox(QWidget* parent);

    // The selected drive letter, in upper case.
    char drive() const { return m_drive; }
    // Selects the drive of `path`, of which only the drive counts ("D:\LOGO"
    // selects D:); emits changed() when that is another drive. Fails, changing
    // nothing, when the path names no drive or its drive is not mapped.
    platform::Status setDrive(std::string_view path);

  signals:
    void changed();

  private:
    void fillDrives();
    void selectDrive(char letter);
    void pick(int index);

    char m_drive;
};

// A directory: the folders leading to it, then its subfolders. Opening an
// entry (double click or Enter) moves to it.
class DirListBox final : public QListWidget {
    Q_OBJECT

  public:
    // Starts at the current directory.
    explicit DirListBox(QWidget* parent);

    // The full Windows path shown, without a trailing "\" except at a root.
    const std::string& path() const { return m_path; }
    // The full Windows path of the entry selected, or path() when none is.
    std::string selectedPath() const;
    // Shows `path`; a drive alone ("D:") means that drive's current
    // directory. Emits changed() when that is another directory. Fails,
    // changing nothing, when the directory cannot be read.
    platform::Status setPath(std::string_view path);

  signals:
    void changed();
    // An entry is being dragged; it is dropped or cancelled by dragFinished().
    void dragStarted();
    void dragFinished();

  protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    void startDrag(Qt::DropActions supportedActions) override;

  private:
    void fill(const std::vector<std::string>& subfolders);
    void open(QListWidgetItem* item);

    std::string m_path;
};

// The names of the files of a directory that match a wildcard pattern, or
// any of several separated by ";".
class FileListBox final : public QListWidget {
    Q_OBJECT

  public:
    // Starts at the current directory with the pattern "*.*".
    explicit FileListBox(QWidget* parent);

    const std::string& path() const { return m_path; }
    const std::string& pattern() const { return m_pattern; }
    // Lists the directory at `path`; the selected name stays selected only
    // when that is the directory listed already. Fails, changing nothing,
    // when it cannot be read.
    platform::Status setPath(std::string_view path);
    // Lists the directory anew with `pattern`; a directory that can no longer
    // be read lists nothing.
    void setPattern(std::string_view pattern);

    // The names listed, in their order.
    QStringList names() const;
    // The selected name, or "" when none is.
    std::string selectedName() const;

  signals:
    // The user selected a name, by mouse or keyboard.
    void picked();
    // A name is being dragged; it is dropped or cancelled by dragFinished().
    void dragStarted();
    void dragFinished();

  protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    void startDrag(Qt::DropActions supportedActions) override;

  private:
    // Lists `names`, keeping the selected name selected when it is still
    // listed, so that listing the same folder anew loses no pick.
    void fill(const std::vector<std::string>& names);

    std::string m_path;
    std::string m_pattern = "*.*";
};

class ReportRows;

// A list of rows under column headers (report view). Any click in it counts,
// on a row or beside the rows, as does moving through the rows by keyboard.
// An archive may hold a hundred thousand members, so the rows are kept
// compactly in a model of its own and drawn only where they are seen.
class ReportListView final : public QTreeView {
    Q_OBJECT

  public:
    explicit ReportListView(QWidget* parent);

    // The text of the selected row's first cell, or "" when no row is selected.
    std::string selectedText() const;
    // The cells of the selected row; empty when no row is selected.
    std::vector<std::string> selectedCells() const;
    // Shows `tip` when the pointer rests on the selected row.
    void setSelectedRowToolTip(const QString& tip);
    // The selected row, counted from 0; -1 when no row is selected.
    int selectedRow() const;

    int rowCount() const;
    int columnCount() const;
    QString cellText(int row, int column) const;
    QString headerText(int column) const;

    void clearRows();
    void clearColumns();
    void addColumn(const QString& header, int width, Qt::Alignment alignment);
    void addRow(const std::vector<std::string>& cells);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ReportRows* m_rows;
};

} // namespace kor::setup
