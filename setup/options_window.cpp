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

namespace kor::setup {

OptionsWindow::OptionsWindow(MainWindow& main, core::SetupSession& session)
    : m_main(main), m_session(session) {
    setUpChildWindow(*this, "OptionsWindow", QStringLiteral("Form2"), CloseButton::Shown);

    SSPanel1 = makePanel(nullptr, "SSPanel1");
    SSPanel1->setFont(japaneseUiFont());
    SSPanel1->setFixedSize(sizeFromTwips(3720, 1605));
    SSFrame1 = new QGroupBox(QStringLiteral("非圧縮ﾌｧｲﾙ"), SSPanel1);
    SSFrame1->setObjectName(QStringLiteral("SSFrame1"));
    SSFrame1->setGeometry(rectFromTwips(120, 120, 1785, 855));
    SSCheck1 = makeCheckBox(SSFrame1, "SSCheck1", QStringLiteral("BMPﾌｧｲﾙを使用"),
                            rectFromTwips(90, 270, 1605, 465));
    Check1 = makeCheckBox(SSPanel1, "Check1", QStringLiteral("  PC98ｼﾘｰｽﾞ  "),
                          rectFromTwips(2070, 120, 1500, 315));
    Check2 = makeCheckBox(SSPanel1, "Check2", QStringLiteral("  ｻｲｽﾞﾁｪｯｸ無し"),
                          rectFromTwips(2070, 660, 1500, 315));
    Command1 = makeButton(SSPanel1, "Command1", QStringLiteral("終了"),
                          rectFromTwips(120, 1140, 3465, 375));
    setWidget(SSPanel1);

    // Only the user's clicks count as clicks: filling the boxes from memory
    // writes nothing.
    connect(SSCheck1, &QCheckBox::clicked, this, &OptionsWindow::SSCheck1_Click);
    connect(Check1, &QCheckBox::clicked, this, &OptionsWindow::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &OptionsWindow::Check2_Click);
    connect(Command1, &QPushButton::clicked, this, &OptionsWindow::Command1_Click);
    m_main.whenDeactivated(this, &OptionsWindow::Form_Deactivate);
}

void OptionsWindow::load() {
    placeChildWindow(*this, m_main.innerSizeInTwips(), 4.5, 3.0);

    const core::Settings& settings = m_session.settings;
    SSCheck1->setChecked(m_session.isBmpMode());
    if (core::isOn(settings.pc98Check))
        Check1->setChecked(true);
    if (core::isOn(settings.sizecheck)) {
        Check2->setChecked(true);
        Check1->setEnabled(false);
    } else {
        Check1->setEnabled(true);
    }
    check_set();
}

void OptionsWindow::check_set() {
    m_session.setPictureSource(SSCheck1->isChecked() ? core::PictureSource::Bmp
                                                     : core::PictureSource::Archive);
}

void OptionsWindow::showPictureSource() {
    SSCheck1->setChecked(m_session.isBmpMode());
}

// A KOR.INI that cannot be written keeps its old value and says why; the
// change holds for this run only.
namespace {
void reportFailure(const platform::Status& written) {
    if (!written)
        tell(written.error().message());
}
} // namespace

void OptionsWindow::SSCheck1_Click() {
    reportFailure(m_session.choosePictureSource(
        SSCheck1->isChecked() ? core::PictureSource::Bmp : core::PictureSource::Archive));
}

void OptionsWindow::Check1_Click() {
    reportFailure(m_session.setFlag("pc98Check", Check1->isChecked()));
}

void OptionsWindow::Check2_Click() {
    // The PC-98 length means nothing while no length is checked; its tick
    // stays for when the check comes back.
    Check1->setEnabled(!Check2->isChecked());
    reportFailure(m_session.setFlag("sizecheck", Check2->isChecked()));
}

void OptionsWindow::Command1_Click() {
    close();
}

void OptionsWindow::Form_Deactivate() {
    close();
}

} // namespace kor::setup
