#include "options_window.h"

#include "fonts.h"
#include "location_window.h"
#include "logo_browser.h"
#include "main_window.h"
#include "setup_state.h"
#include "twips.h"

#include "core/settings.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace kor::setup {

namespace {

constexpr int BmpModeBrowserHeightTwips = 2190;

std::string flagOf(const QCheckBox& box) {
    return box.isChecked() ? "on" : "off";
}

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

} // namespace

Option_Set::Option_Set(KORsetupMain& main, SetupState& state) : m_main(main), m_state(state) {
    setObjectName(QStringLiteral("Option_Set"));
    setWindowTitle(QStringLiteral("Form2"));
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);

    SSPanel1 = new QFrame;
    SSPanel1->setObjectName(QStringLiteral("SSPanel1"));
    SSPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
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
    Command1 = new QPushButton(QStringLiteral("終了"), SSPanel1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(rectFromTwips(120, 1140, 3465, 375));
    setWidget(SSPanel1);

    // Only the user's clicks count as clicks: filling the boxes from memory
    // writes nothing.
    connect(SSCheck1, &QCheckBox::clicked, this, &Option_Set::SSCheck1_Click);
    connect(Check1, &QCheckBox::clicked, this, &Option_Set::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &Option_Set::Check2_Click);
    connect(Command1, &QPushButton::clicked, this, &Option_Set::Command1_Click);
    m_main.whenDeactivated(this, &Option_Set::Form_Deactivate);
}

void Option_Set::Form_Load() {
    // Sized once inside the main window, where its title bar is part of it.
    adjustSize();
    const QSize inner = m_main.innerSizeInTwips();
    move(pixelsFromTwips(inner.width() / 4.5), pixelsFromTwips(inner.height() / 3.0));

    const core::Settings& settings = m_state.settings;
    SSCheck1->setChecked(core::isOn(settings.ArcCheck));
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

void Option_Set::check_set() {
    const bool bmpMode = SSCheck1->isChecked();
    core::Settings& settings = m_state.settings;
    Form1& browser = m_main.logoBrowser();
    Dir_File_Setup& location = m_main.locationWindow();

    if (bmpMode) {
        browser.setHeightInTwips(BmpModeBrowserHeightTwips);
        SSCheck1->setChecked(true);
        location.Label3->setText(QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞDIR"));
        location.Label4->setText(QStringLiteral("設定ｴﾝﾃﾞｨﾝｸﾞDIR"));
        location.Label5->setText(QStringLiteral("設定中間DIR"));
        browser.File1->setPattern("*.BMP");
        settings.ArcCheck = "on";
        location.Label1->setText(toQString(settings.DirOnly));
        location.Label2->setText(toQString(settings.EDirOnly));
        location.Label6->setText(toQString(settings.MDirOnly));
    } else {
        browser.setHeightInTwips(Form1::DesignedHeightTwips);
        SSCheck1->setChecked(false);
        location.Label3->setText(QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ"));
        location.Label4->setText(QStringLiteral("設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ"));
        location.Label5->setText(QStringLiteral("設定中間ﾌｧｲﾙ"));
        browser.File1->setPattern("*.lzh");
        settings.ArcCheck = "off";
        location.Label1->setText(toQString(settings.FileName));
        location.Label2->setText(toQString(settings.EFileName));
        location.Label6->setText(toQString(settings.MFileName));
    }
}

void Option_Set::SSCheck1_Click() {
    check_set();
    write("ArcCheck", m_state.settings.ArcCheck);
}

void Option_Set::Check1_Click() {
    m_state.settings.pc98Check = flagOf(*Check1);
    write("pc98Check", m_state.settings.pc98Check);
}

void Option_Set::Check2_Click() {
    m_state.settings.sizecheck = flagOf(*Check2);
    // The PC-98 length means nothing while no length is checked; its tick
    // stays for when the check comes back.
    Check1->setEnabled(!Check2->isChecked());
    write("sizecheck", m_state.settings.sizecheck);
}

void Option_Set::Command1_Click() {
    close();
}

void Option_Set::Form_Deactivate() {
    close();
}

void Option_Set::write(std::string_view key, const std::string& value) {
    // The options window reports nothing: a KOR.INI that cannot be written
    // keeps its old value, and the change holds for this run only.
    static_cast<void>(core::WriteSetting(m_state.settings, key, value));
}

} // namespace kor::setup
