#include "about_window.h"

#include "fonts.h"
#include "main_window.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace kor::setup {

namespace {

QFrame* makePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

} // namespace

about::about(KORsetupMain& main) : m_main(main) {
    setObjectName(QStringLiteral("about"));
    setWindowTitle(QStringLiteral("KORについて"));
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);

    SSPanel1 = makePanel(nullptr, "SSPanel1");
    SSPanel1->setFixedSize(sizeFromTwips(4305, 2490));
    SSPanel2 = makePanel(SSPanel1, "SSPanel2");
    SSPanel2->setGeometry(rectFromTwips(130, 105, 4050, 1365));

    Label2 = makeLabel(SSPanel2, "Label2", rectFromTwips(105, 120, 3810, 465));
    Label2->setText(QStringLiteral("Logo Changer"));
    Label2->setFont(versionFont(20.25));
    Label2->setAlignment(Qt::AlignCenter);
    Picture1 = makeLabel(SSPanel2, "Picture1", rectFromTwips(375, 615, 540, 540));
    Picture1->setPixmap(QPixmap(QStringLiteral(":/setup/icon.png")));
    Picture1->setAlignment(Qt::AlignCenter);
    Label3 = makeLabel(SSPanel2, "Label3", rectFromTwips(1320, 690, 2145, 315));
    Label3->setText(QStringLiteral("KOR Ver. 1.04"));
    Label3->setFont(versionFont(15.75));

    SSCommand1 = new QPushButton(QStringLiteral("OK"), SSPanel1);
    SSCommand1->setObjectName(QStringLiteral("SSCommand1"));
    SSCommand1->setFont(japaneseUiFont());
    SSCommand1->setGeometry(rectFromTwips(3375, 1575, 795, 765));
    setWidget(SSPanel1);

    connect(SSCommand1, &QPushButton::clicked, this, &about::SSCommand1_Click);
    m_main.whenDeactivated(this, &about::Form_Deactivate);
}

void about::Form_Load() {
    // Sized once inside the main window, where its title bar is part of it.
    adjustSize();
    const QSize outer = m_main.outerSizeInTwips();
    move(pixelsFromTwips(outer.width() / 6.0), pixelsFromTwips(outer.height() / 5.0));
}

void about::Form_Deactivate() {
    close();
}

void about::SSCommand1_Click() {
    close();
}

} // namespace kor::setup
