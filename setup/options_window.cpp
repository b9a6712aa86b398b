// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window.h"

#include "controls.h"
#include "fonts.h"
#include "main_window.h"
#include "twips.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace kor::setup {

OptionsWindow::OptionsWindow(MainWindow& main, core::SetupSession& session)
    : m_main(main), m_session(session) {
    // The title bar names the window as the menu item that opens it does; the
    // captions are in half-width katakana, so that the window matches the
    // guides and pictures its users know.
    setUpChildWindow(*this, "OptionsWindow", tr("オプション設定"), CloseButton::Shown);

    contentPanel = makePanel(nullptr, "contentPanel");
    contentPanel->setFont(japaneseUiFont());
    contentPanel->setFixedSize(sizeFromTwips(3720, 1605));
    pictureSourceGroup = new QGroupBox(tr("非圧縮ﾌｧｲﾙ"), contentPanel);
    pictureSourceGroup->setObjectName(QStringLiteral("pictureSourceGroup"));
    pictureSourceGroup->setGeometry(rectFromTwips(120, 120, 1785, 855));
    bmpModeBox = makeCheckBox(pictureSourceGroup, "bmpModeBox", tr("BMPﾌｧｲﾙを使用"),
                              rectFromTwips(90, 270, 1605, 465));
    pc98Box = makeCheckBox(contentPanel, "pc98Box", tr("  PC98ｼﾘｰｽﾞ  "),
                           rectFromTwips(2070, 120, 1500, 315));
    noSizeCheckBox = makeCheckBox(contentPanel, "noSizeCheckBox", tr("  ｻｲｽﾞﾁｪｯｸ無し"),
                                  rectFromTwips(2070, 660, 1500, 315));
    exitButton =
        makeButton(contentPanel, "exitButton", tr("終了"), rectFromTwips(120, 1140, 3465, 375));
    setWidget(contentPanel);

    // Only the user's clicks count as clicks: filling the boxes from memory
    // writes nothing.
    connect(bmpModeBox, &QCheckBox::clicked, this, &OptionsWindow::bmpModeClicked);
    connect(pc98Box, &QCheckBox::clicked, this, &OptionsWindow::pc98Clicked);
    connect(noSizeCheckBox, &QCheckBox::clicked, this, &OptionsWindow::noSizeCheckClicked);
    connect(exitButton, &QPushButton::clicked, this, &OptionsWindow::exitClicked);
    m_main.whenDeactivated(this, &OptionsWindow::closeOnFocusLoss);
}

void OptionsWindow::load() {
    placeChildWindow(*this, m_main.innerSizeInTwips(), 4.5, 3.0);

    showStoredOptions();
    applyPictureSource();
}

void OptionsWindow::showStoredOptions() {
    // The boxes' handlers answer clicks alone; blocked all the same, so that
    // showing what is stored never writes it back.
    const QSignalBlocker blockBmpMode(bmpModeBox);
    const QSignalBlocker blockPc98(pc98Box);
    const QSignalBlocker blockNoSizeCheck(noSizeCheckBox);
    const core::Settings& settings = m_session.settings;
    bmpModeBox->setChecked(m_session.isBmpMode());
    pc98Box->setChecked(core::isOn(settings.pc98Check));
    noSizeCheckBox->setChecked(core::isOn(settings.sizecheck));
    pc98Box->setEnabled(!noSizeCheckBox->isChecked());
}

void OptionsWindow::applyPictureSource() {
    m_session.setPictureSource(bmpModeBox->isChecked() ? core::PictureSource::Bmp
                                                       : core::PictureSource::Archive);
}

void OptionsWindow::showPictureSource() {
    bmpModeBox->setChecked(m_session.isBmpMode());
}

// A KOR.INI that cannot be written keeps its old value, and so does memory:
// the window says why and shows the boxes as they were before the click.
void OptionsWindow::reportFailure(const platform::Status& written) {
    if (written)
        return;
    showStoredOptions();
    tell(written.error().message());
}

void OptionsWindow::bmpModeClicked() {
    reportFailure(m_session.choosePictureSource(
        bmpModeBox->isChecked() ? core::PictureSource::Bmp : core::PictureSource::Archive));
}

void OptionsWindow::pc98Clicked() {
    reportFailure(m_session.setFlag("pc98Check", pc98Box->isChecked()));
}

void OptionsWindow::noSizeCheckClicked() {
    // The PC-98 length means nothing while no length is checked; its tick
    // stays for when the check comes back.
    pc98Box->setEnabled(!noSizeCheckBox->isChecked());
    reportFailure(m_session.setFlag("sizecheck", noSizeCheckBox->isChecked()));
}

void OptionsWindow::exitClicked() {
    close();
}

void OptionsWindow::closeOnFocusLoss() {
    close();
}

} // namespace kor::setup
