// SPDX-License-Identifier: GPL-3.0-or-later
// The image display window that the browser's "画像表示" opens: the picture
// stretched over its area, its change buttons, the used mark, and the copy of
// an archive member that it deletes on closing unless a change used it.

#include "browser_test_support.h"
#include "image_display.h"

#include "platform/machine.h"

#include <QApplication>
#include <QBuffer>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>

using kor::setup::ImageDisplay;
using kor::setup::LogoBrowser;
using kor::testing::Changed;
using kor::testing::liveWindow;
using kor::testing::OpenBrowser;
using kor::testing::TemporaryMachine;

namespace {

// Whether a copy of the member is extracted, in a temporary folder of the
// Windows directory.
bool extractedCopyExists(const kor::testing::TemporaryMachine& machine, const std::string& name) {
    for (const auto& entry : std::filesystem::directory_iterator(machine.host("C:\\WINDOWS")))
        if (entry.is_directory() && entry.path().filename().string().starts_with("~KOR") &&
            std::filesystem::exists(entry.path() / name))
            return true;
    return false;
}

const QStringList BmpMode{"ArcCheck=on"};
const QStringList ArchiveMode{};

const std::array<QColor, 4> Yellow = {QColor(Qt::yellow), QColor(Qt::yellow), QColor(Qt::yellow),
                                      QColor(Qt::yellow)};

void writeFiles(TemporaryMachine& machine) {
    const std::string logo = kor::testing::logoBitmap(kor::testing::Quarters);
    machine.writeFile("C:\\PICS\\A.BMP", logo);
    machine.writeFile("C:\\PICS\\B.BMP", kor::testing::logoBitmap(Yellow));
    machine.writeFile("C:\\ARC\\A.LZH", kor::testing::makeLzhArchive({
                                            {"ONE.BMP", logo},
                                            {"PICS\\TWO.BMP", kor::testing::logoBitmap(Yellow)},
                                        }));
    for (const char* old : {"C:\\logo.sys", "C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\logos.sys"})
        machine.writeFile(old, "old logo");
}

// The quarters' logo with entries 236 to 255 cycling, each its own colour,
// and its top left quarter drawn in entry 240; entry 0 stays red.
QColor cyclingColour(int entry) {
    return QColor(0, (entry - 236) * 12, 255);
}
std::string movingLogo() {
    std::string bytes = kor::testing::logoBitmap(kor::testing::Quarters);
    bytes[50] = static_cast<char>(236);
    for (int entry = 236; entry < 256; ++entry) {
        const QColor colour = cyclingColour(entry);
        const std::size_t at = 54 + static_cast<std::size_t>(entry) * 4;
        bytes[at] = static_cast<char>(colour.blue());
        bytes[at + 1] = static_cast<char>(colour.green());
        bytes[at + 2] = static_cast<char>(colour.red());
    }
    for (std::size_t at = 1078; at < bytes.size(); ++at)
        if (bytes[at] == 0)
            bytes[at] = static_cast<char>(240);
    return bytes;
}

// A 24-bit picture of no logo's size, all in the colour of the quarters'
// top left.
std::string plainBitmap() {
    QImage picture(100, 80, QImage::Format_RGB888);
    picture.fill(kor::testing::Quarters[0]);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return bytes.toStdString();
}

void writeMovingFiles(TemporaryMachine& machine) {
    machine.writeFile("C:\\PICS\\MOVING.BMP", movingLogo());
    machine.writeFile("C:\\PICS\\STILL.BMP", kor::testing::logoBitmap(kor::testing::Quarters));
    machine.writeFile("C:\\PICS\\PHOTO.BMP", plainBitmap());
    machine.writeFile("C:\\ARC\\A.LZH", kor::testing::makeLzhArchive({{"ONE.BMP", movingLogo()}}));
}

// The browser on a picture: in BMP mode A.BMP of C:\PICS, in archive mode the
// member at `member` of C:\ARC\A.LZH, viewed with "画像表示".
struct Viewing : OpenBrowser {
    explicit Viewing(const QStringList& ini, int member = 0) : OpenBrowser(ini, writeFiles) {
        bmpMode = !ini.isEmpty();
        if (bmpMode) {
            open("C:\\PICS");
            static_cast<void>(pickFile(QStringLiteral("A.BMP")));
        } else {
            open("C:\\ARC");
            static_cast<void>(pickFile(QStringLiteral("A.LZH")));
            clickMember(member);
        }
        view();
    }

    // The browser's files replaced by writeMovingFiles, `pick` choosing.
    Viewing(const QStringList& ini, const std::function<void(Viewing&)>& pick)
        : OpenBrowser(ini, writeMovingFiles) {
        bmpMode = !ini.isEmpty();
        pick(*this);
        view();
    }

    void view() {
        QTest::mouseClick(browser->viewButton, Qt::LeftButton);
        display = liveWindow<ImageDisplay>(*window);
    }

    QPushButton* button(const char* name) const {
        return display->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    bool bmpMode = false;
    QPointer<ImageDisplay> display;
};

} // namespace

class ImageDisplayTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheDesignedControls_data();
    void showsTheDesignedControls();
    void stretchesThePictureOverItsArea_data();
    void stretchesThePictureOverItsArea();
    void endButtonBringsTheBrowserBackWithItsSelection_data();
    void endButtonBringsTheBrowserBackWithItsSelection();
    void changeButtons_data();
    void changeButtons();
    void aLaterViewOnlyLookedAtIsDeletedAgain();
    void closesWhenAnotherChildWindowOpens_data();
    void closesWhenAnotherChildWindowOpens();
    void endOfTheProgramDeletesAnUnusedCopy();
    void comingBackIntoViewGivesTheFocusToEnd();
    void showsALogoAsWindows95Does_data();
    void showsALogoAsWindows95Does();
};

void ImageDisplayTest::showsTheDesignedControls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry"); // twips / 15, within the parent

    QTest::newRow("picturePanel") << "picturePanel"
                                  << "" << QRect(0, 0, 401, 305);
    QTest::newRow("pictureView") << "pictureView"
                                 << "" << QRect(8, 8, 384, 288);
    QTest::newRow("buttonPanel") << "buttonPanel"
                                 << "" << QRect(0, 306, 401, 35);
    QTest::newRow("installOpeningButton") << "installOpeningButton"
                                          << "ｵｰﾌﾟﾆﾝｸﾞにする" << QRect(8, 6, 96, 23);
    QTest::newRow("installMiddleButton") << "installMiddleButton"
                                         << "中間にする" << QRect(104, 6, 96, 23);
    QTest::newRow("installEndingButton") << "installEndingButton"
                                         << "ｴﾝﾃﾞｨﾝｸﾞにする" << QRect(200, 6, 96, 23);
    QTest::newRow("closeButton") << "closeButton"
                                 << "終了" << QRect(298, 312, 96, 23);
}

void ImageDisplayTest::showsTheDesignedControls() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    Viewing shown(BmpMode);
    QVERIFY(shown.display);

    QVERIFY(shown.display->isVisible());
    QCOMPARE(shown.display->widget()->size(), QSize(401, 340));
    // Inner width / 25 and inner height / 20 of the main window.
    QCOMPARE(shown.display->pos(), QPoint(18, 19));
    auto* control = shown.display->findChild<QWidget*>(name);
    QVERIFY(control);
    QVERIFY(control->isVisible());
    QCOMPARE(control->geometry(), geometry);
    if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), caption);
    if (qobject_cast<QFrame*>(control) && !qobject_cast<QLabel*>(control))
        QCOMPARE(control->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    // "終了" lies in front of the panel of the change buttons.
    auto* end = shown.button("closeButton");
    QCOMPARE(end->parentWidget(), shown.display->widget());
    QCOMPARE(shown.display->widget()->childAt(end->geometry().center()), end);
}

void ImageDisplayTest::stretchesThePictureOverItsArea_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("title");

    QTest::newRow("BMP mode: a picture file") << BmpMode << "A.BMP";
    QTest::newRow("archive mode: an extracted member") << ArchiveMode << "ONE.BMP";
}

void ImageDisplayTest::stretchesThePictureOverItsArea() {
    QFETCH(QStringList, ini);
    QFETCH(QString, title);
    Viewing shown(ini);
    QVERIFY(shown.display);

    QCOMPARE(shown.display->windowTitle(), title);
    QVERIFY(shown.browser->isHidden());
    QCOMPARE(shown.display->pictureView->pixmap().size(), QSize(320, 400));
    // The 320 x 400 picture fills 384 x 288: each quarter of the area shows
    // its quarter of the picture, right to the edges.
    const QImage area = shown.display->pictureView->grab().toImage();
    QCOMPARE(area.size(), QSize(384, 288));
    const QPoint corners[] = {{1, 1}, {382, 1}, {1, 286}, {382, 286}};
    const QPoint middles[] = {{96, 72}, {288, 72}, {96, 216}, {288, 216}};
    for (std::size_t quarter = 0; quarter < 4; ++quarter) {
        QCOMPARE(area.pixelColor(corners[quarter]), kor::testing::Quarters[quarter]);
        QCOMPARE(area.pixelColor(middles[quarter]), kor::testing::Quarters[quarter]);
    }
    QVERIFY(shown.messages().empty());
}

void ImageDisplayTest::endButtonBringsTheBrowserBackWithItsSelection_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("shownCopy"); // deleted on closing
    QTest::addColumn<QString>("kept");      // still there afterwards

    QTest::newRow("BMP mode: the picture is the user's own") << BmpMode << ""
                                                             << "C:\\PICS\\A.BMP";
    QTest::newRow("archive mode: the copy only looked at goes") << ArchiveMode << "ONE.BMP"
                                                                << "C:\\ARC\\A.LZH";
}

void ImageDisplayTest::endButtonBringsTheBrowserBackWithItsSelection() {
    QFETCH(QStringList, ini);
    QFETCH(QString, shownCopy);
    QFETCH(QString, kept);
    Viewing shown(ini);
    QVERIFY(shown.display);
    if (!shownCopy.isEmpty())
        QVERIFY(extractedCopyExists(shown.machine, shownCopy.toStdString()));
    QPointer<LogoBrowser> browser = shown.browser;

    QTest::mouseClick(shown.button("closeButton"), Qt::LeftButton);

    QTRY_VERIFY(shown.display.isNull());
    QCOMPARE(liveWindow<LogoBrowser>(*shown.window), browser.data());
    QVERIFY(browser->isVisible());
    QCOMPARE(shown.window->findChild<QMdiArea*>()->activeSubWindow(), browser.data());
    QCOMPARE(browser->fileList->selectedName(), std::string(shown.bmpMode ? "A.BMP" : "A.LZH"));
    QCOMPARE(browser->folderList->path(), std::string(shown.bmpMode ? "C:\\PICS" : "C:\\ARC"));
    if (!shown.bmpMode) {
        QCOMPARE(browser->memberList->rowCount(), 2);
        QCOMPARE(browser->selectedMemberName(), std::string("ONE.BMP"));
        QVERIFY(!extractedCopyExists(shown.machine, shownCopy.toStdString()));
    }
    QVERIFY(shown.machine.exists(kept.toStdString()));
    QCOMPARE(shown.machine.readFile("C:\\logo.sys"), std::string("old logo"));
    QVERIFY(shown.messages().empty());
}

void ImageDisplayTest::changeButtons_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<int>("member");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QStringList>("logos"); // made from the picture, in order

    QTest::newRow("BMP mode, opening")
        << BmpMode << 0 << QStringList{"installOpeningButton"} << QStringList{"C:\\logo.sys"};
    QTest::newRow("BMP mode, middle and ending")
        << BmpMode << 0 << QStringList{"installMiddleButton", "installEndingButton"}
        << QStringList{"C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\logos.sys"};
    QTest::newRow("archive mode, opening")
        << ArchiveMode << 0 << QStringList{"installOpeningButton"} << QStringList{"C:\\logo.sys"};
    QTest::newRow("archive mode, a member in a folder, ending")
        << ArchiveMode << 1 << QStringList{"installEndingButton"}
        << QStringList{"C:\\WINDOWS\\logos.sys"};
    QTest::newRow("archive mode, all three in one showing")
        << ArchiveMode << 0
        << QStringList{"installOpeningButton", "installMiddleButton", "installEndingButton"}
        << QStringList{"C:\\logo.sys", "C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\logos.sys"};
}

void ImageDisplayTest::changeButtons() {
    QFETCH(QStringList, ini);
    QFETCH(int, member);
    QFETCH(QStringList, buttons);
    QFETCH(QStringList, logos);
    Viewing shown(ini, member);
    QVERIFY(shown.display);
    QVERIFY(!shown.display->isUsed());
    const std::string picture =
        kor::testing::logoBitmap(member == 1 ? Yellow : kor::testing::Quarters);

    for (const QString& name : buttons)
        QTest::mouseClick(shown.button(name.toLatin1().constData()), Qt::LeftButton);

    QCOMPARE(shown.messages(), std::vector<std::string>(static_cast<std::size_t>(buttons.size()),
                                                        std::string(Changed)));
    for (const QString& logo : logos)
        QVERIFY2(shown.machine.readFile(logo.toStdString()) == picture, qPrintable(logo));
    // The window stays open, the browser hidden.
    QVERIFY(shown.display && shown.display->isVisible() && shown.display->isUsed());
    QVERIFY(shown.browser->isHidden());

    // Closing deletes nothing; the change took the extracted copy away.
    QTest::mouseClick(shown.button("closeButton"), Qt::LeftButton);
    QTRY_VERIFY(shown.display.isNull());
    if (shown.bmpMode)
        QVERIFY(shown.machine.readFile("C:\\PICS\\A.BMP") == picture);
    for (const char* copy : {"ONE.BMP", "TWO.BMP"})
        QVERIFY2(!extractedCopyExists(shown.machine, copy), copy);
}

void ImageDisplayTest::aLaterViewOnlyLookedAtIsDeletedAgain() {
    Viewing shown(ArchiveMode);
    QVERIFY(shown.display);
    QTest::mouseClick(shown.button("installOpeningButton"), Qt::LeftButton);
    QTest::mouseClick(shown.button("closeButton"), Qt::LeftButton);
    QTRY_VERIFY(shown.display.isNull());

    shown.clickMember(1);
    shown.view();
    QVERIFY(shown.display);
    QVERIFY(!shown.display->isUsed());
    QCOMPARE(shown.display->windowTitle(), QStringLiteral("PICS\\TWO.BMP"));
    // A member's folders are left out: the copy lies in the Windows directory.
    QVERIFY(extractedCopyExists(shown.machine, "TWO.BMP"));
    QTest::mouseClick(shown.button("closeButton"), Qt::LeftButton);
    QTRY_VERIFY(shown.display.isNull());

    QVERIFY(!extractedCopyExists(shown.machine, "TWO.BMP"));
    QVERIFY(shown.machine.readFile("C:\\logo.sys") ==
            kor::testing::logoBitmap(kor::testing::Quarters));
}

void ImageDisplayTest::closesWhenAnotherChildWindowOpens_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("browserLives");

    // Location and options close the browser themselves.
    QTest::newRow("about") << "aboutAction" << true;
    QTest::newRow("options") << "optionsAction" << false;
    QTest::newRow("location") << "locationAction" << false;
}

void ImageDisplayTest::closesWhenAnotherChildWindowOpens() {
    QFETCH(QString, item);
    QFETCH(bool, browserLives);
    Viewing shown(ArchiveMode);
    QVERIFY(shown.display);
    QVERIFY(extractedCopyExists(shown.machine, "ONE.BMP"));
    QPointer<LogoBrowser> browser = shown.browser;

    shown.menu(item.toLatin1().constData());

    QTRY_VERIFY(shown.display.isNull());
    QVERIFY(!extractedCopyExists(shown.machine, "ONE.BMP"));
    QCOMPARE(browser.isNull(), !browserLives);
    if (browser)
        QVERIFY(browser->isHidden());
    auto* active = shown.window->findChild<QMdiArea*>()->activeSubWindow();
    QVERIFY(active && active->isVisible());

    // The menu item shows the browser again.
    shown.menu("openBrowserAction");
    QVERIFY(liveWindow<LogoBrowser>(*shown.window)->isVisible());
    QVERIFY(shown.messages().empty());
}

void ImageDisplayTest::endOfTheProgramDeletesAnUnusedCopy() {
    Viewing shown(ArchiveMode);
    QVERIFY(shown.display);
    QVERIFY(extractedCopyExists(shown.machine, "ONE.BMP"));

    shown.window.reset();

    QVERIFY(!extractedCopyExists(shown.machine, "ONE.BMP"));
    QCOMPARE(shown.machine.readFile("C:\\logo.sys"), std::string("old logo"));
}

void ImageDisplayTest::comingBackIntoViewGivesTheFocusToEnd() {
    Viewing shown(BmpMode);
    QVERIFY(shown.display);
    QCOMPARE(shown.display->focusWidget(), shown.button("closeButton"));

    // A click leaves the focus on its button, as a message box would find it.
    QTest::mouseClick(shown.button("installMiddleButton"), Qt::LeftButton);
    QCOMPARE(shown.messages(), std::vector<std::string>{std::string(Changed)});
    QCOMPARE(shown.display->focusWidget(), shown.button("installMiddleButton"));

    // Another window covers the program and goes again.
    QWidget cover;
    cover.show();
    cover.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&cover));
    cover.close();
    shown.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(shown.window.get()));
    QTRY_COMPARE(QApplication::focusWidget(), shown.button("closeButton"));

    // Enter leaves the window, and the browser comes back.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(shown.display.isNull());
    QVERIFY(shown.browser->isVisible());
}

void ImageDisplayTest::showsALogoAsWindows95Does_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("file");  // in C:\PICS, or the archive in C:\ARC
    QTest::addColumn<bool>("moving");   // the top left quarter cycles from entry 240
    QTest::addColumn<QColor>("margin"); // around the picture; invalid: as designed

    const QColor red(Qt::red);
    QTest::newRow("a moving logo") << BmpMode << "MOVING.BMP" << true << red;
    QTest::newRow("a moving logo in an archive") << ArchiveMode << "A.LZH" << true << red;
    QTest::newRow("a still logo") << BmpMode << "STILL.BMP" << false << red;
    QTest::newRow("a picture that is no logo")
        << QStringList{"ArcCheck=on", "sizecheck=on"} << "PHOTO.BMP" << false << QColor();
}

void ImageDisplayTest::showsALogoAsWindows95Does() {
    QFETCH(QStringList, ini);
    QFETCH(QString, file);
    QFETCH(bool, moving);
    QFETCH(QColor, margin);
    Viewing shown(ini, [&](Viewing& viewing) {
        viewing.open(ini.isEmpty() ? "C:\\ARC" : "C:\\PICS");
        QVERIFY(viewing.pickFile(file));
        if (ini.isEmpty())
            viewing.clickMember(0);
    });
    QVERIFY(shown.display);
    QCOMPARE(shown.display->isAnimating(), moving);
    const QPoint topLeft(96, 72);
    const QPoint topRight(288, 72);
    const QPoint inMargin(4, 150); // inside the panel's edge, left of the picture
    const QColor first = moving ? cyclingColour(240) : kor::testing::Quarters[0];
    QCOMPARE(shown.display->pictureView->grab().toImage().pixelColor(topLeft), first);

    shown.display->stepAnimation();
    const QImage area = shown.display->pictureView->grab().toImage();
    QCOMPARE(area.pixelColor(topLeft), moving ? cyclingColour(241) : first);
    if (moving)
        QCOMPARE(area.pixelColor(topRight), kor::testing::Quarters[1]);
    const QColor designed = shown.display->widget()->palette().color(QPalette::Window);
    QCOMPARE(shown.display->picturePanel->grab().toImage().pixelColor(inMargin),
             margin.isValid() ? margin : designed);

    shown.display->hide();
    QVERIFY(!shown.display->isAnimating());
    QVERIFY(shown.messages().empty());
}

QTEST_MAIN(ImageDisplayTest)
#include "image_display_test.moc"
