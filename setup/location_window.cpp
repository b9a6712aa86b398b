#include "location_window.h"

#include "fonts.h"
#include "main_window.h"
#include "options_window.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace kor::setup {

namespace {

QFrame* makePanel(QWidget* parent, const char* name, QRect geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFont(japaneseUiFont());
    panel->setGeometry(geometry);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& caption = {}) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

// A value label shows a path; sunken and white, it reads as the place to
// drop one.
QLabel* makeValueLabel(QWidget* parent, const char* name, QRect geometry) {
    QLabel* label = makeLabel(parent, name, geometry);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    label->setIndent(3);
    return label;
}

} // namespace

Dir_File_Setup::Dir_File_Setup(KORsetupMain& main) : m_main(main) {
    setObjectName(QStringLiteral("Dir_File_Setup"));
    setWindowTitle(QStringLiteral("Form2"));
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);

    SSPanels = makePanel(nullptr, "SSPanels", {});
    SSPanels->setFixedSize(sizeFromTwips(5880, 3405));
    SSPanel1 = makePanel(SSPanels, "SSPanel1", rectFromTwips(120, 150, 5625, 765));
    Label3 = makeLabel(SSPanel1, "Label3", rectFromTwips(60, 75, 1515, 180),
                       QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ"));
    Label1 = makeValueLabel(SSPanel1, "Label1", rectFromTwips(90, 360, 5415, 345));
    SSPanel2 = makePanel(SSPanels, "SSPanel2", rectFromTwips(120, 990, 5625, 765));
    Label5 = makeLabel(SSPanel2, "Label5", rectFromTwips(60, 60, 1140, 180),
                       QStringLiteral("設定中間ﾌｧｲﾙ"));
    Label6 = makeValueLabel(SSPanel2, "Label6", rectFromTwips(90, 360, 5415, 345));
    SSPanel3 = makePanel(SSPanels, "SSPanel3", rectFromTwips(120, 1830, 5625, 765));
    Label4 = makeLabel(SSPanel3, "Label4", rectFromTwips(60, 45, 1455, 180),
                       QStringLiteral("設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ"));
    Label2 = makeValueLabel(SSPanel3, "Label2", rectFromTwips(90, 360, 5415, 330));
    Command9 = new QPushButton(QStringLiteral("終了"), SSPanels);
    Command9->setObjectName(QStringLiteral("Command9"));
    Command9->setGeometry(rectFromTwips(3090, 2760, 2490, 480));
    setWidget(SSPanels);

    connect(Command9, &QPushButton::clicked, this, &Dir_File_Setup::Command9_Click);
    connect(&m_main, &KORsetupMain::childDeactivated, this, [this](QMdiSubWindow* window) {
        if (window == this)
            Form_Deactivate();
    });
}

void Dir_File_Setup::Form_Load() {
    // Sized once inside the main window, where its title bar is part of it.
    adjustSize();
    const QSize inner = m_main.innerSizeInTwips();
    move(pixelsFromTwips(inner.width() / 20.0), pixelsFromTwips(inner.height() / 5.0));
    m_main.optionsWindow().check_set();
}

void Dir_File_Setup::Form_Deactivate() {
    close();
}

void Dir_File_Setup::Command9_Click() {
    close();
}

} // namespace kor::setup
