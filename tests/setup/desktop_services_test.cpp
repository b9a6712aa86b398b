// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop face of the dialog services: its message boxes speak Japanese,
// look as on Windows 95 and stay with the window that asked.

#include "platform/desktop_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

class DesktopServicesTest : public QObject {
    Q_OBJECT

  private slots:
    void messageBoxButtonsAreJapanese();
    void messageBoxIsAPlainDialogOverTheAskingWindow_data();
    void messageBoxIsAPlainDialogOverTheAskingWindow();
};

namespace {

// A desktop theme that puts icons on dialog buttons, as GNOME's and KDE's do.
class IconsOnButtons final : public QProxyStyle {
  public:
    IconsOnButtons() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        return hint == SH_DialogButtonBox_ButtonsHaveIcons
                   ? 1
                   : QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

// The first message box shown, or null.
QMessageBox* shownBox() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

} // namespace

// In a Japanese session, whatever the desktop, and without Qt's translation
// installed, as here.
void DesktopServicesTest::messageBoxButtonsAreJapanese() {
    const std::unique_ptr<kor::platform::Services> desktop = kor::platform::makeDesktopServices();
    QStringList seen;
    QTimer poll;
    QMessageBox::StandardButton press = QMessageBox::NoButton;
    // Reads the buttons of the box once it is shown, and presses `press`.
    connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                for (const QAbstractButton* button : box->buttons())
                    seen << button->text();
                box->button(press)->click();
                poll.stop();
            }
    });
    const auto readAndPress = [&](QMessageBox::StandardButton button) {
        press = button;
        poll.start(0);
    };

    readAndPress(QMessageBox::No);
    QCOMPARE(desktop->ask("よろしいですか？"), kor::platform::Answer::No);
    readAndPress(QMessageBox::Ok);
    desktop->showMessage("korsetup", "変更が終了しました");
    seen.sort();
    QCOMPARE(seen, QStringList({"OK", "いいえ(&N)", "はい(&Y)"}));
}

void DesktopServicesTest::messageBoxIsAPlainDialogOverTheAskingWindow_data() {
    QTest::addColumn<bool>("question");
    QTest::addColumn<int>("press");
    QTest::newRow("message") << false << int(QMessageBox::Ok);
    QTest::newRow("question") << true << int(QMessageBox::No);
}

// The asking window sits in a corner, far from the middle of the screen; the
// box opens over it, with plain buttons and a title bar that offers no
// minimising or maximising, and the focus goes back where it was.
void DesktopServicesTest::messageBoxIsAPlainDialogOverTheAskingWindow() {
    QFETCH(bool, question);
    QFETCH(int, press);
    QApplication::setStyle(new IconsOnButtons);
    const std::unique_ptr<kor::platform::Services> desktop = kor::platform::makeDesktopServices();
    QWidget asker;
    asker.setWindowTitle(QStringLiteral("KOR SETUP"));
    auto* layout = new QVBoxLayout(&asker);
    auto* first = new QLineEdit(&asker);
    auto* focused = new QLineEdit(&asker);
    layout->addWidget(first);
    layout->addWidget(focused);
    asker.setGeometry(0, 0, 240, 160);
    asker.show();
    asker.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&asker));
    focused->setFocus();
    QVERIFY(focused->hasFocus());

    QRect boxPlace;
    Qt::WindowFlags flags;
    int buttonsWithIcons = -1;
    QTimer::singleShot(0, [&] {
        QMessageBox* box = shownBox();
        if (!box)
            return;
        boxPlace = box->frameGeometry();
        flags = box->windowFlags();
        buttonsWithIcons = 0;
        for (const QAbstractButton* button : box->buttons())
            buttonsWithIcons += button->icon().isNull() ? 0 : 1;
        box->button(QMessageBox::StandardButton(press))->click();
    });
    if (question)
        desktop->ask("よろしいですか？");
    else
        desktop->showMessage("korsetup", "変更が終了しました");

    QVERIFY2(boxPlace.isValid(), "no message box was shown");
    QCOMPARE(buttonsWithIcons, 0);
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY2(asker.frameGeometry().contains(boxPlace.center()),
             qPrintable(QStringLiteral("the box's middle is at %1,%2")
                            .arg(boxPlace.center().x())
                            .arg(boxPlace.center().y())));
    QTRY_VERIFY(focused->hasFocus());
}

QTEST_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
