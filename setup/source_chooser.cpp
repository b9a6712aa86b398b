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
    SSPanel1 = makePanel(this, "SSPanel1");
    SSPanel1->setFont(japaneseUiFont());
    SSPanel1->setFixedSize(sizeFromTwips(5070, 3600));
    Label1 =
        makeLabel(SSPanel1, "Label1", rectFromTwips(120, 105, 4830, 240),
                  kind == SourceKind::Folder ? QStringLiteral("画像のあるﾌｫﾙﾀﾞを選んでください")
                  : folder ? QStringLiteral("保存するﾌｫﾙﾀﾞを選んでください")
                           : QStringLiteral("LZHﾌｧｲﾙを選んでください"));
    Drive1 = new DriveListBox(SSPanel1);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(rectFromTwips(120, 450, 2385, 300));
    Dir1 = new DirListBox(SSPanel1);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(rectFromTwips(120, 840, 2385, 2070));
    File1 = new FileListBox(SSPanel1);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(rectFromTwips(2625, 450, 2325, 2460));
    // In folder mode the pictures only show what the folder holds.
    File1->setPattern(folder ? "*.BMP" : "*.LZH");
    File1->setEnabled(!folder);
    Command1 = makeButton(SSPanel1, "Command1", QStringLiteral("OK"),
                          rectFromTwips(1875, 3060, 1455, 390));
    Command2 = makeButton(SSPanel1, "Command2", QStringLiteral("ｷｬﾝｾﾙ"),
                          rectFromTwips(3495, 3060, 1455, 390));
    Command1->setDefault(true);
    setTabOrderChain({Drive1, Dir1, File1, Command1, Command2});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(SSPanel1);
    setFixedSize(sizeHint());

    connect(Drive1, &DriveListBox::changed, this, &SourceChooser::Drive1_Change);
    connect(Dir1, &DirListBox::changed, this, &SourceChooser::Dir1_Change);
    connect(File1, &FileListBox::picked, this, &SourceChooser::enableOk);
    connect(File1, &QListWidget::itemActivated, this, &SourceChooser::File1_DblClick);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);

    // A source that can no longer be read leaves the lists where they are.
    if (Drive1->setDrive(startAt))
        static_cast<void>(Dir1->setPath(startAt));
    if (Dir1->path() != File1->path())
        static_cast<void>(File1->setPath(Dir1->path()));
    enableOk();
}

std::string SourceChooser::chosenPath() const {
    if (m_kind != SourceKind::Archive)
        return Dir1->selectedPath();
    const std::string name = File1->selectedName();
    if (name.empty())
        return {};
    std::string directory = File1->path();
    return core::addBackslash(directory) + name;
}

void SourceChooser::Drive1_Change() {
    // The directory list moves to the drive's own current directory; the
    // machine's current drive stays, as the logo browser relies on it.
    if (platform::Status shown = Dir1->setPath(std::string{Drive1->drive(), ':'}); !shown)
        tell(shown.error().message());
}

void SourceChooser::Dir1_Change() {
    if (platform::Status listed = File1->setPath(Dir1->path()); !listed)
        tell(listed.error().message());
    enableOk();
}

void SourceChooser::File1_DblClick() {
    if (m_kind == SourceKind::Archive && !chosenPath().empty())
        accept();
}

void SourceChooser::enableOk() {
    Command1->setEnabled(!chosenPath().empty());
}

} // namespace kor::setup
