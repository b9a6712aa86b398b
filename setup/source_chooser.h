// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "file_controls.h"

#include <QDialog>

#include <string>

class QFrame;
class QLabel;
class QPushButton;

namespace kor::setup {

// What the user picks for a logo: the folder of its pictures (BMP mode) or
// its LZH archive (archive mode); or the folder a converted logo is saved in.
enum class SourceKind { Folder, Archive, SaveFolder };

// A small modal dialog over the drives of the emulated machine in which the
// user picks a logo's source without a file manager, so that it serves drives
// a file manager cannot open. It reads the machine through the platform layer
// only and leaves its current drive and directory as they were.
class SourceChooser final : public QDialog {
    Q_OBJECT

  public:
    // Titled `title`, showing `startAt` when that directory can be read and
    // the current directory otherwise.
    SourceChooser(QWidget* parent, SourceKind kind, const QString& title,
                  const std::string& startAt);

    // The full Windows path picked: the folder selected in the folder list,
    // or the archive selected in the file list; "" when no archive is.
    std::string chosenPath() const;

    // The controls, reached by the dialog's own code and by tests.
    QFrame* contentPanel;
    QLabel* prompt;
    DriveListBox* driveList;
    DirListBox* folderList;
    FileListBox* fileList; // archives to pick, or the pictures of the folder shown
    QPushButton* okButton;
    QPushButton* cancelButton;

  private:
    void driveChanged();
    void folderChanged();
    void fileActivated();
    void enableOk();

    SourceKind m_kind;
};

} // namespace kor::setup
