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
    setUpChildWindow(*this, "AboutWindow", tr("KORについて"), CloseButton::Shown);

    contentPanel = makePanel(nullptr, "contentPanel");
    contentPanel->setFixedSize(sizeFromTwips(4305, 2490));
    infoPanel = makePanel(contentPanel, "infoPanel");
    infoPanel->setGeometry(rectFromTwips(130, 105, 4050, 1365));

    titleLabel = makeLabel(infoPanel, "titleLabel", rectFromTwips(105, 120, 3810, 465));
    titleLabel->setText(QStringLiteral("Logo Changer"));
    titleLabel->setFont(versionFont(20.25));
    titleLabel->setAlignment(Qt::AlignCenter);
    iconLabel = makeLabel(infoPanel, "iconLabel", rectFromTwips(375, 615, 540, 540));
    iconLabel->setPixmap(QPixmap(QStringLiteral(":/setup/icon.png")));
    iconLabel->setAlignment(Qt::AlignCenter);
    versionLabel = makeLabel(infoPanel, "versionLabel", rectFromTwips(1320, 690, 2145, 315));
    versionLabel->setText(QStringLiteral("KOR Ver. 1.04"));
    versionLabel->setFont(versionFont(15.75));

    okButton = makeButton(contentPanel, "okButton", QStringLiteral("OK"),
                          rectFromTwips(3375, 1575, 795, 765));
    okButton->setFont(japaneseUiFont());
    setWidget(contentPanel);

    connect(okButton, &QPushButton::clicked, this, &AboutWindow::okClicked);
    m_main.whenDeactivated(this, &AboutWindow::closeOnFocusLoss);
}

void AboutWindow::load() {
    placeChildWindow(*this, m_main.outerSizeInTwips(), 6.0, 5.0);
}

void AboutWindow::closeOnFocusLoss() {
    close();
}

void AboutWindow::okClicked() {
    close();
}

} // namespace kor::setup
