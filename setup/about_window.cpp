// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_window.h"

#include "controls.h"
#include "fonts.h"
#include "main_window.h"
#include "twips.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace kor::setup {

AboutWindow::AboutWindow(MainWindow& main) : m_main(main) {
    setUpChildWindow(*this, "AboutWindow", QStringLiteral("KORについて"), CloseButton::Shown);

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

    SSCommand1 = makeButton(SSPanel1, "SSCommand1", QStringLiteral("OK"),
                            rectFromTwips(3375, 1575, 795, 765));
    SSCommand1->setFont(japaneseUiFont());
    setWidget(SSPanel1);

    connect(SSCommand1, &QPushButton::clicked, this, &AboutWindow::SSCommand1_Click);
    m_main.whenDeactivated(this, &AboutWindow::Form_Deactivate);
}

void AboutWindow::load() {
    placeChildWindow(*this, m_main.outerSizeInTwips(), 6.0, 5.0);
}

void AboutWindow::Form_Deactivate() {
    close();
}

void AboutWindow::SSCommand1_Click() {
    close();
}

} // namespace kor::setup
