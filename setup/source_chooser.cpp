// SPDX-License-Identifier: GPL-3.0-or-later
#include "source_chooser.h"

#include "controls.h"
#include "fonts.h"
#include "twips.h"

#include "core/archive.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kor::setup {

SourceChooser::SourceChooser(QWidget* parent, SourceKind kind, const QString& title,
                             const std::string& startAt)
    : QDialog(parent), m_kind(kind) {
    setObjectName(QStringLiteral("SourceChooser"));
    setWindowTitle(title);
    setModal(true);

    const bool folder = kind != SourceKind::Archive;
    contentPanel = makePanel(this, "contentPanel");
    contentPanel->setFont(japaneseUiFont());
    contentPanel->setFixedSize(sizeFromTwips(5070, 3600));
    prompt = makeLabel(contentPanel, "prompt", rectFromTwips(120, 105, 4830, 240),
                       kind == SourceKind::Folder ? tr("画像のあるﾌｫﾙﾀﾞを選んでください")
                       : folder ? tr("保存するﾌｫﾙﾀﾞを選んでください")
                                : tr("LZHﾌｧｲﾙを選んでください"));
    driveList = new DriveListBox(contentPanel);
    driveList->setObjectName(QStringLiteral("driveList"));
    driveList->setGeometry(rectFromTwips(120, 450, 2385, 300));
    folderList = new DirListBox(contentPanel);
    folderList->setObjectName(QStringLiteral("folderList"));
    folderList->setGeometry(rectFromTwips(120, 840, 2385, 2070));
    fileList = new FileListBox(contentPanel);
    fileList->setObjectName(QStringLiteral("fileList"));
    fileList->setGeometry(rectFromTwips(2625, 450, 2325, 2460));
    // In folder mode the pictures only show what the folder holds.
    fileList->setPattern(folder ? "*.BMP" : "*.LZH");
    fileList->setEnabled(!folder);
    okButton = makeButton(contentPanel, "okButton", QStringLiteral("OK"),
                          rectFromTwips(1875, 3060, 1455, 390));
    cancelButton =
        makeButton(contentPanel, "cancelButton", tr("ｷｬﾝｾﾙ"), rectFromTwips(3495, 3060, 1455, 390));
    okButton->setDefault(true);
    setTabOrderChain({driveList, folderList, fileList, okButton, cancelButton});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(contentPanel);
    setFixedSize(sizeHint());
    fitCaptions(*this);

    connect(driveList, &DriveListBox::changed, this, &SourceChooser::driveChanged);
    connect(folderList, &DirListBox::changed, this, &SourceChooser::folderChanged);
    connect(fileList, &FileListBox::picked, this, &SourceChooser::enableOk);
    connect(fileList, &QListWidget::itemActivated, this, &SourceChooser::fileActivated);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // A source that can no longer be read leaves the lists where they are.
    if (driveList->setDrive(startAt))
        static_cast<void>(folderList->setPath(startAt));
    if (folderList->path() != fileList->path())
        static_cast<void>(fileList->setPath(folderList->path()));
    enableOk();
}

std::string SourceChooser::chosenPath() const {
    if (m_kind != SourceKind::Archive)
        return folderList->selectedPath();
    const std::string name = fileList->selectedName();
    if (name.empty())
        return {};
    std::string directory = fileList->path();
    return core::addBackslash(directory) + name;
}

void SourceChooser::driveChanged() {
    // The folder list moves to the drive's own current directory; the
    // machine's current drive stays, as the logo browser relies on it.
    if (platform::Status shown = folderList->setPath(std::string{driveList->drive(), ':'}); !shown)
        tell(shown.error().message());
}

void SourceChooser::folderChanged() {
    if (platform::Status listed = fileList->setPath(folderList->path()); !listed)
        tell(listed.error().message());
    enableOk();
}

void SourceChooser::fileActivated() {
    if (m_kind == SourceKind::Archive && !chosenPath().empty())
        accept();
}

void SourceChooser::enableOk() {
    okButton->setEnabled(!chosenPath().empty());
}

} // namespace kor::setup
