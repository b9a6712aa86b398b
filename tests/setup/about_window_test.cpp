// SPDX-License-Identifier: GPL-3.0-or-later
// The about window of the menu item "情報".

#include "about_window.h"
#include "main_window.h"
#include "recording_services.h"
#include "session_language.h"
#include "window_test_support.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using kor::setup::AboutWindow;
using kor::setup::MainWindow;
using kor::testing::liveWindow;

class AboutWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheVersion_data();
    void showsTheVersion();
    void okButtonClosesIt();
    void itIsMadeAfreshEachTime();
};

namespace {

AboutWindow* openAbout(MainWindow& window) {
    window.findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
    return liveWindow<AboutWindow>(window);
}

} // namespace

void AboutWindowTest::showsTheVersion_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("title");

    QTest::newRow("Japanese") << "ja_JP.UTF-8"
                              << "KORについて";
    QTest::newRow("English") << "C"
                             << "About KOR";
}

void AboutWindowTest::showsTheVersion() {
    QFETCH(QString, locale);
    QFETCH(QString, title);

    const kor::testing::SessionLanguage language(qPrintable(locale));
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    AboutWindow* shown = openAbout(window);
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    QCOMPARE(shown->windowTitle(), title);
    // Whole in either language, although its label is lower than its font's line.
    QCOMPARE(shown->versionLabel->text(), QStringLiteral("KOR Ver. 1.04"));
    QVERIFY(shown->versionLabel->font().bold() && shown->versionLabel->font().italic());
    QCOMPARE(shown->versionLabel->font().pointSizeF(), 15.75);
    QCOMPARE(shown->titleLabel->font().pointSizeF(), 20.25);
    QVERIFY(!shown->titleLabel->text().isEmpty());
    // The title line fits its label.
    QVERIFY(QFontMetrics(shown->titleLabel->font()).horizontalAdvance(shown->titleLabel->text()) <=
            shown->titleLabel->width());
    QCOMPARE(shown->iconLabel->pixmap().size(), QSize(32, 32));
    QCOMPARE(shown->okButton->text(), QStringLiteral("OK"));
    QCOMPARE(shown->okButton->geometry(), QRect(225, 105, 53, 51));
    QCOMPARE(shown->infoPanel->geometry(), QRect(9, 7, 270, 91));
}

void AboutWindowTest::okButtonClosesIt() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QPointer<AboutWindow> shown = openAbout(window);
    QVERIFY(shown);
    QTest::mouseClick(shown->okButton, Qt::LeftButton);
    QTRY_VERIFY(shown.isNull());
    QVERIFY(!liveWindow<AboutWindow>(window));
}

void AboutWindowTest::itIsMadeAfreshEachTime() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QPointer<AboutWindow> first = openAbout(window);
    QVERIFY(first);
    first->move(0, 0);
    QTest::mouseClick(first->okButton, Qt::LeftButton);
    QTRY_VERIFY(first.isNull());

    AboutWindow* second = openAbout(window);
    QVERIFY(second);
    QCOMPARE(second->pos(), QPoint(75, 87));
}

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
