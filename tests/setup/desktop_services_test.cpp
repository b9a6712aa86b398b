// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop face of the dialog services: its message boxes speak Japanese.

#include "platform/desktop_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <memory>

class DesktopServicesTest : public QObject {
    Q_OBJECT

  private slots:
    void messageBoxButtonsAreJapanese();
};

// Whatever the locale, and without Qt's translation installed, as here.
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

QTEST_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
