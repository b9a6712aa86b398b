// SPDX-License-Identifier: GPL-3.0-or-later
// The lists of the logo browser and of the source chooser, reached with Tab,
// show where the keyboard is: a focus mark that stands out from the row under
// it, selected or not, as Windows 95's dotted rectangle does.

#include "browser_test_support.h"
#include "logo_browser.h"
#include "main_window.h"
#include "source_chooser.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QTest>

#include <cstdlib>

using kor::testing::OpenBrowser;
using kor::testing::TemporaryMachine;

namespace {

// The pixels of `list` drawn apart from `other` by more than a faint tint: at
// least this far in one colour channel.
int starkDifferences(const QImage& list, const QImage& other) {
    constexpr int Stark = 100;
    int differing = 0;
    for (int y = 0; y < list.height(); ++y)
        for (int x = 0; x < list.width(); ++x) {
            const QColor a = list.pixelColor(x, y);
            const QColor b = other.pixelColor(x, y);
            differing += std::abs(a.red() - b.red()) > Stark ||
                         std::abs(a.green() - b.green()) > Stark ||
                         std::abs(a.blue() - b.blue()) > Stark;
        }
    return differing;
}

void writeFiles(TemporaryMachine& machine) {
    const std::string logo = kor::testing::logoBitmap(kor::testing::Quarters);
    machine.writeFile("C:\\ARC\\A.LZH",
                      kor::testing::makeLzhArchive({{"ONE.BMP", logo}, {"TWO.BMP", logo}}));
    machine.writeFile("C:\\ARC\\B.LZH", kor::testing::makeLzhArchive({{"THREE.BMP", logo}}));
}

} // namespace

class ListFocusTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void listReachedByTabShowsAFocusMark_data();
    void listReachedByTabShowsAFocusMark();
};

void ListFocusTest::initTestCase() {
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void ListFocusTest::listReachedByTabShowsAFocusMark_data() {
    QTest::addColumn<bool>("chooser");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("picked");
    QTest::newRow("browser's folders") << false << "driveList"
                                       << "folderList" << true;
    QTest::newRow("browser's files") << false << "folderList"
                                     << "fileList" << true;
    QTest::newRow("browser's files, none picked") << false << "folderList"
                                                  << "fileList" << false;
    QTest::newRow("browser's members") << false << "fileList"
                                       << "memberList" << true;
    QTest::newRow("chooser's folders") << true << "driveList"
                                       << "folderList" << false;
    QTest::newRow("chooser's files") << true << "folderList"
                                     << "fileList" << false;
}

void ListFocusTest::listReachedByTabShowsAFocusMark() {
    QFETCH(bool, chooser);
    QFETCH(QString, before);
    QFETCH(QString, list);
    QFETCH(bool, picked);
    std::unique_ptr<OpenBrowser> browser;
    std::unique_ptr<TemporaryMachine> machine;
    std::unique_ptr<kor::setup::SourceChooser> sourceChooser;
    QWidget* window = nullptr;
    if (chooser) {
        machine = std::make_unique<TemporaryMachine>();
        writeFiles(*machine);
        sourceChooser = std::make_unique<kor::setup::SourceChooser>(
            nullptr, kor::setup::SourceKind::Archive, QStringLiteral("LZH"), "C:\\ARC");
        sourceChooser->show();
        window = sourceChooser.get();
    } else {
        browser =
            std::make_unique<OpenBrowser>(QStringList{"Dir=C:\\ARC", "FileName=A.LZH"}, writeFiles);
        QVERIFY(browser->browser);
        if (picked)
            QVERIFY(browser->pickFile(QStringLiteral("A.LZH")));
        window = browser->browser;
    }
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window->window()));
    auto* from = window->findChild<QWidget*>(before);
    auto* to = window->findChild<QAbstractItemView*>(list);
    QVERIFY(from && to);
    QVERIFY(to->model()->rowCount() > 0);
    from->setFocus(Qt::MouseFocusReason);

    QTest::keyClick(from, Qt::Key_Tab);

    QVERIFY(to->hasFocus());
    QVERIFY(to->currentIndex().isValid());
    const QImage focused = to->grab().toImage();
    from->setFocus(Qt::TabFocusReason);
    QVERIFY(!to->hasFocus());
    // A dotted rectangle around a row is dozens of pixels.
    QVERIFY(starkDifferences(focused, to->grab().toImage()) >= 20);
}

QTEST_MAIN(ListFocusTest)
#include "list_focus_test.moc"
