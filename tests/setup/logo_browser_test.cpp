// SPDX-License-Identifier: GPL-3.0-or-later
// The logo browser of the menu item "ＬＯＧＯファイルの変更": its drive,
// directory and file lists, the member list that the archive listing fills,
// which buttons are enabled when, and the change command in both modes.

#include "browser_test_support.h"
#include "foreign_tree.h"
#include "image_display.h"
#include "options_window.h"

#include "core/archive.h"
#include "platform/machine.h"
#include "platform/text.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <filesystem>
#include <unistd.h>

using kor::setup::ImageDisplay;
using kor::setup::LogoBrowser;
using kor::setup::ReportListView;
using kor::testing::CannotLoad;
using kor::testing::Changed;
using kor::testing::liveWindow;
using kor::testing::LzhMember;
using kor::testing::NoFileSelected;
using kor::testing::OpenBrowser;
using kor::testing::TemporaryMachine;
using kor::testing::WrongSize;

namespace {

const QStringList BmpMode{"ArcCheck=on"};
const QStringList ArchiveMode{};

std::string cp932(std::string_view text) {
    return kor::platform::toCp932(text).value();
}

const std::string Sakura = "桜.BMP";

// Pictures and archives on C: and an empty drive D:.
void writeFiles(TemporaryMachine& machine) {
    const std::string logo = kor::testing::logoBitmap(kor::testing::Quarters);
    machine.writePicture("C:\\PICS\\SMALL.BMP", 129000);
    machine.writeFile("C:\\PICS\\A.BMP", logo);
    machine.writeFile("C:\\PICS\\JUNK.BMP", kor::testing::notABitmap());
    machine.writeFile("C:\\PICS\\.HIDDEN.BMP", logo);
    machine.writeFile("C:\\PICS\\NOTES.TXT", "x");
    machine.writeFile("C:\\PICS\\SUB\\B.BMP", logo);
    machine.writeFile("C:\\PICS\\SUB\\A.BMP", logo);
    machine.writeFile(
        "C:\\ARC\\A.LZH",
        kor::testing::makeLzhArchive({
            {"ONE.BMP", logo, kor::testing::dosDate(1995, 8, 24), kor::testing::dosTime(9, 5, 10)},
            {cp932(Sakura), kor::testing::logoBitmap({QColor(Qt::yellow), QColor(Qt::yellow),
                                                      QColor(Qt::yellow), QColor(Qt::yellow)})},
            {"SMALL.BMP", std::string(1000, 's')},
        }));
    machine.writeFile("C:\\ARC\\B.LZH", kor::testing::makeLzhArchive({{"TWO.BMP", logo}}));
    machine.writeFile("C:\\ARC\\JUNK.LZH",
                      kor::testing::makeLzhArchive({{"JUNK.BMP", kor::testing::notABitmap()}}));
    machine.writeFile("C:\\ARC\\BAD.LZH", "this is no archive");
    machine.writeFile("C:\\ARC\\.HIDDEN.LZH", kor::testing::makeLzhArchive({}));
    machine.addDrive('D');
    std::filesystem::create_directories(machine.host("D:\\OTHER"));
}

struct Browser : OpenBrowser {
    explicit Browser(const QStringList& ini) : OpenBrowser(ini, writeFiles) {}

    bool actionsEnabled() const {
        const bool all = browser->installOpeningButton->isEnabled() &&
                         browser->installMiddleButton->isEnabled() &&
                         browser->installEndingButton->isEnabled() &&
                         browser->viewButton->isEnabled();
        const bool none = !browser->installOpeningButton->isEnabled() &&
                          !browser->installMiddleButton->isEnabled() &&
                          !browser->installEndingButton->isEnabled() &&
                          !browser->viewButton->isEnabled();
        if (!all && !none)
            throw std::logic_error("the four action buttons disagree");
        return all;
    }

    // Opens the archive folder and lists A.LZH, as the user would.
    void listArchive(const QString& name = QStringLiteral("A.LZH")) {
        open("C:\\ARC");
        QVERIFY(pickFile(name));
    }
};

QStringList headers(const ReportListView& list) {
    QStringList texts;
    for (int column = 0; column < list.columnCount(); ++column)
        texts << list.headerText(column);
    return texts;
}

QStringList cells(const ReportListView& list, int row) {
    QStringList texts;
    for (int column = 0; column < list.columnCount(); ++column)
        texts << list.cellText(row, column);
    return texts;
}

} // namespace

class LogoBrowserTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheDesignedControls_data();
    void showsTheDesignedControls();
    void heightAndPatternFollowTheMode_data();
    void heightAndPatternFollowTheMode();
    void listsAnArchiveWithSizesDatesAndTimes();
    void memberListShowsEveryCaptionDateAndTimeWhole();
    void actionButtons_data();
    void actionButtons();
    void aSelectedRowSaysWhyItWouldNotShow_data();
    void aSelectedRowSaysWhyItWouldNotShow();
    void changingPlaceEmptiesTheMemberList_data();
    void changingPlaceEmptiesTheMemberList();
    void anInvalidArchiveEndsTheProgram();
    void changeCommand_data();
    void changeCommand();
    void changeCommandRefuses_data();
    void changeCommandRefuses();
    void pictureCommandRefuses_data();
    void pictureCommandRefuses();
    void aSecondPickKeepsTheButtons();
    void endButtonDestroysTheBrowser();
    void settingThePatternAgainKeepsThePick();
    void changeAfterTheOptionsWindowClosed();
    void foreignLinksAreNotListed();
};

void LogoBrowserTest::showsTheDesignedControls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry"); // twips / 15
    QTest::addColumn<bool>("enabled");

    QTest::newRow("driveList") << "driveList"
                               << "" << QRect(4, 5, 160, 20) << true;
    QTest::newRow("folderList") << "folderList"
                                << "" << QRect(5, 36, 159, 104) << true;
    QTest::newRow("fileList") << "fileList"
                              << "" << QRect(169, 4, 155, 138) << true;
    QTest::newRow("memberList") << "memberList"
                                << "" << QRect(3, 146, 429, 211) << true;
    QTest::newRow("memberNames") << "memberNames"
                                 << "" << QRect(674, 340, 149, 76) << true;
    QTest::newRow("closeButton") << "closeButton"
                                 << "終了" << QRect(328, 118, 101, 24) << true;
    QTest::newRow("installOpeningButton") << "installOpeningButton"
                                          << "ｵｰﾌﾟﾆﾝｸﾞ変更" << QRect(328, 6, 101, 23) << false;
    QTest::newRow("installMiddleButton") << "installMiddleButton"
                                         << "中間変更" << QRect(328, 34, 101, 23) << false;
    QTest::newRow("installEndingButton") << "installEndingButton"
                                         << "ｴﾝﾃﾞｨﾝｸﾞ変更" << QRect(328, 62, 101, 23) << false;
    QTest::newRow("viewButton") << "viewButton"
                                << "画像表示" << QRect(328, 90, 101, 23) << false;
}

void LogoBrowserTest::showsTheDesignedControls() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    QFETCH(bool, enabled);
    Browser shown(ArchiveMode);

    QCOMPARE(shown.browser->windowTitle(), QStringLiteral("KOR SETUP"));
    QVERIFY(shown.browser->windowFlags().testFlag(Qt::FramelessWindowHint));
    auto* control = shown.browser->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->isEnabled(), enabled);
    if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), caption);
    // The list of member names lies outside the window and is never seen.
    QCOMPARE(control->isVisible(), name != QStringLiteral("memberNames"));
}

void LogoBrowserTest::heightAndPatternFollowTheMode_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<int>("height");
    QTest::addColumn<QStringList>("picks");

    QTest::newRow("BMP mode: cut off above the member list")
        << BmpMode << 146 << QStringList{"A.BMP", "JUNK.BMP", "SMALL.BMP"};
    QTest::newRow("archive mode: the member list shows")
        << ArchiveMode << 362 << QStringList{"A.LZH", "B.LZH", "BAD.LZH", "JUNK.LZH"};
}

void LogoBrowserTest::heightAndPatternFollowTheMode() {
    QFETCH(QStringList, ini);
    QFETCH(int, height);
    QFETCH(QStringList, picks);
    Browser shown(ini);

    QCOMPARE(shown.browser->height(), height);
    QCOMPARE(shown.browser->pos(), QPoint(0, 0));
    // Hidden files are left out; the pattern ignores case.
    shown.open(ini.isEmpty() ? "C:\\ARC" : "C:\\PICS");
    QCOMPARE(shown.browser->fileList->names(), picks);
}

void LogoBrowserTest::listsAnArchiveWithSizesDatesAndTimes() {
    Browser shown(ArchiveMode);
    shown.listArchive();

    QCOMPARE(shown.window->state().archiveState.currentArchiveName, std::string("A.LZH"));
    ReportListView* list = shown.browser->memberList;
    QCOMPARE(headers(*list),
             QStringList({"ﾌｧｲﾙ名", "元ﾌｧｲﾙｻｲｽﾞ", "圧縮ﾌｧｲﾙｻｲｽﾞ", "ﾌｧｲﾙ日付", "ﾌｧｲﾙ日時"}));
    // 1545, 1080, 1245, 1080 and 1005 twips.
    QCOMPARE(QList<int>({list->columnWidth(0), list->columnWidth(1), list->columnWidth(2),
                         list->columnWidth(3), list->columnWidth(4)}),
             QList<int>({103, 72, 83, 72, 67}));
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignLeft));
    QCOMPARE(list->model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignRight));
    // Captions wider than their columns end in "…"; hovering shows them whole.
    for (int column = 0; column < list->columnCount(); ++column)
        QCOMPARE(list->model()->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 list->headerText(column));

    QCOMPARE(list->rowCount(), 3);
    // The short date of Japanese Windows 95, whatever the host's locale.
    QCOMPARE(cells(*list, 0), QStringList({"ONE.BMP", "129078", "129078", "95/08/24", "9:5:10"}));
    QCOMPARE(list->cellText(1, 0), QString::fromStdString(Sakura));
    QCOMPARE(cells(*list, 2).mid(0, 3), QStringList({"SMALL.BMP", "1000", "1000"}));
    QCOMPARE(list->model()->index(2, 1).data(Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignRight));
    QCOMPARE(shown.browser->memberNames->count(), 3);
    QCOMPARE(shown.browser->memberNames->item(1)->text(), QString::fromStdString(Sakura));
    QVERIFY(shown.messages().empty());
}

void LogoBrowserTest::memberListShowsEveryCaptionDateAndTimeWhole() {
    Browser shown(ArchiveMode);
    shown.listArchive();
    ReportListView& list = *shown.browser->memberList;
    QCOMPARE(list.columnCount(), 5);

    // A caption is whole when it fits the header's label, inside its margins;
    // a cell's text when it fits inside the item view's text margins.
    const QFontMetrics metrics(list.font());
    const int headerMargin = list.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &list);
    const int cellMargin =
        list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    int widths = 0;
    for (int column = 0; column < list.columnCount(); ++column) {
        QVERIFY2(metrics.horizontalAdvance(list.headerText(column)) + 2 * headerMargin <=
                     list.columnWidth(column),
                 qPrintable(list.headerText(column)));
        widths += list.columnWidth(column);
    }
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("95/12/31")) + 2 * cellMargin <=
            list.columnWidth(3));
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("23:59:58")) + 2 * cellMargin <=
            list.columnWidth(4));
    // Beside a vertical scroll bar, as a long archive has, no column is cut off.
    QVERIFY(widths <= list.viewport()->width() -
                          list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list));
}

void LogoBrowserTest::actionButtons_data() {
    QTest::addColumn<QStringList>("ini");
    // Steps: "open:PATH", "file:NAME", "member:ROW", "beside" (a click in the
    // member list below its rows), "drive:LETTER".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("window created") << ArchiveMode << QStringList{} << false;
    QTest::newRow("BMP mode: a file click enables all four")
        << BmpMode << QStringList{"open:C:\\PICS", "file:SMALL.BMP"} << true;
    QTest::newRow("archive mode: a file click leaves them")
        << ArchiveMode << QStringList{"open:C:\\ARC", "file:A.LZH"} << false;
    QTest::newRow("archive mode: a member click enables them")
        << ArchiveMode << QStringList{"open:C:\\ARC", "file:A.LZH", "member:1"} << true;
    QTest::newRow("archive mode: a click beside the rows enables them too")
        << ArchiveMode << QStringList{"open:C:\\ARC", "file:A.LZH", "beside"} << true;
    QTest::newRow("BMP mode: another directory disables them")
        << BmpMode << QStringList{"open:C:\\PICS", "file:A.BMP", "open:C:\\PICS\\SUB"} << false;
    QTest::newRow("archive mode: another directory disables them")
        << ArchiveMode << QStringList{"open:C:\\ARC", "file:A.LZH", "member:0", "open:C:\\"}
        << false;
    QTest::newRow("another drive disables them")
        << ArchiveMode << QStringList{"open:C:\\ARC", "file:A.LZH", "member:0", "drive:D"} << false;
    QTest::newRow("back on the first drive, still disabled")
        << BmpMode << QStringList{"open:C:\\PICS", "file:A.BMP", "drive:D", "drive:C"} << false;
}

void LogoBrowserTest::actionButtons() {
    QFETCH(QStringList, ini);
    QFETCH(QStringList, steps);
    QFETCH(bool, enabled);
    Browser shown(ini);

    for (const QString& step : steps) {
        const QString argument = step.section(QLatin1Char(':'), 1);
        if (step.startsWith(QStringLiteral("open:")))
            shown.open(argument.toStdString());
        else if (step.startsWith(QStringLiteral("file:")))
            QVERIFY(shown.pickFile(argument));
        else if (step.startsWith(QStringLiteral("member:")))
            shown.clickMember(argument.toInt());
        else if (step == QStringLiteral("beside"))
            QTest::mouseClick(shown.browser->memberList->viewport(), Qt::LeftButton, {},
                              QPoint(20, shown.browser->memberList->viewport()->height() - 5));
        else if (step.startsWith(QStringLiteral("drive:")))
            QVERIFY(shown.browser->driveList->setDrive(argument.toStdString() + ":"));
    }
    QCOMPARE(shown.actionsEnabled(), enabled);
    QVERIFY(shown.browser->closeButton->isEnabled());
    QVERIFY(shown.messages().empty());
}

void LogoBrowserTest::aSelectedRowSaysWhyItWouldNotShow_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("member"); // -1: none
    QTest::addColumn<QString>("tooltip");

    QTest::newRow("BMP mode: a logo") << BmpMode << "A.BMP" << -1 << "";
    QTest::newRow("BMP mode: text of the logo's length")
        << BmpMode << "JUNK.BMP" << -1 << "Windows のビットマップではありません。";
    QTest::newRow("BMP mode: too short")
        << BmpMode << "SMALL.BMP" << -1
        << "Windows のビットマップではありません。ファイルの大きさが 129000 バイトです "
           "(129078 バイトでなければなりません)。";
    QTest::newRow("archive mode: a logo") << ArchiveMode << "A.LZH" << 0 << "";
    QTest::newRow("archive mode: too short, told by the listed size")
        << ArchiveMode << "A.LZH" << 2
        << "ファイルの大きさが 1000 バイトです (129078 バイトでなければなりません)。";
    QTest::newRow("archive mode: the right size, not extracted to look inside")
        << ArchiveMode << "JUNK.LZH" << 0 << "";
}

void LogoBrowserTest::aSelectedRowSaysWhyItWouldNotShow() {
    QFETCH(QStringList, ini);
    QFETCH(QString, file);
    QFETCH(int, member);
    QFETCH(QString, tooltip);
    Browser shown(ini);
    shown.open(member < 0 ? "C:\\PICS" : "C:\\ARC");
    QVERIFY(shown.pickFile(file));
    if (member < 0) {
        QCOMPARE(shown.browser->fileList->currentItem()->toolTip(), tooltip);
    } else {
        shown.clickMember(member);
        const ReportListView& list = *shown.browser->memberList;
        for (int column = 0; column < list.columnCount(); ++column)
            QCOMPARE(list.model()->index(member, column).data(Qt::ToolTipRole).toString(), tooltip);
    }
    QVERIFY(shown.messages().empty());
}

void LogoBrowserTest::changingPlaceEmptiesTheMemberList_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("currentDirectory");

    QTest::newRow("another drive") << "drive"
                                   << "D:\\";
    QTest::newRow("a directory set from outside") << "directory"
                                                  << "C:\\PICS";
    QTest::newRow("the root opened by double click") << "double click"
                                                     << "C:\\";
}

void LogoBrowserTest::changingPlaceEmptiesTheMemberList() {
    QFETCH(QString, how);
    QFETCH(QString, currentDirectory);
    Browser shown(ArchiveMode);
    shown.listArchive();
    shown.clickMember(0);
    QCOMPARE(shown.browser->memberList->rowCount(), 3);

    if (how == QStringLiteral("drive")) {
        QVERIFY(shown.browser->driveList->setDrive("D:"));
    } else if (how == QStringLiteral("directory")) {
        shown.open("C:\\PICS");
    } else {
        QListWidgetItem* root = shown.browser->folderList->item(0);
        const QPoint centre = shown.browser->folderList->visualItemRect(root).center();
        QTest::mouseClick(shown.browser->folderList->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(shown.browser->folderList->viewport(), Qt::LeftButton, {}, centre);
    }

    QCOMPARE(shown.browser->memberList->rowCount(), 0);
    QCOMPARE(shown.browser->memberList->columnCount(), 0);
    QCOMPARE(shown.browser->memberNames->count(), 0);
    QVERIFY(!shown.actionsEnabled());
    QCOMPARE(QString::fromStdString(kor::platform::Machine::current().currentDirectory()),
             currentDirectory);
    QCOMPARE(QString::fromStdString(shown.browser->fileList->path()), currentDirectory);
}

void LogoBrowserTest::anInvalidArchiveEndsTheProgram() {
    Browser shown(ArchiveMode);
    shown.open("C:\\ARC");
    {
        // Picked without the click's handler, which is run below where the
        // end of the program can be caught.
        const QSignalBlocker blocker(shown.browser->fileList);
        QVERIFY(shown.pickFile(QStringLiteral("BAD.LZH")));
    }
    try {
        shown.browser->fileChosen();
        QFAIL("the program went on");
    } catch (const kor::testing::ProgramEnded& ended) {
        QCOMPARE(ended.exitStatus, 1);
    }
    QCOMPARE(shown.messages(), std::vector<std::string>{"正しいLHarcﾌｧｲﾙではありません"});
    QCOMPARE(shown.recording.recorder().messages.front().caption, std::string("korsetup"));
    QVERIFY(shown.window->state().archiveState.currentArchiveName.empty());
}

void LogoBrowserTest::changeCommand_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("member"); // -1 in BMP mode
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("logo");
    QTest::addColumn<QString>("source"); // what must stay where it was

    QTest::newRow("BMP mode, opening") << BmpMode << "A.BMP" << -1 << "installOpeningButton"
                                       << "C:\\logo.sys"
                                       << "C:\\PICS\\A.BMP";
    QTest::newRow("BMP mode, middle") << BmpMode << "A.BMP" << -1 << "installMiddleButton"
                                      << "C:\\WINDOWS\\logow.sys"
                                      << "C:\\PICS\\A.BMP";
    QTest::newRow("BMP mode, ending") << BmpMode << "A.BMP" << -1 << "installEndingButton"
                                      << "C:\\WINDOWS\\logos.sys"
                                      << "C:\\PICS\\A.BMP";
    QTest::newRow("archive mode, opening") << ArchiveMode << "A.LZH" << 0 << "installOpeningButton"
                                           << "C:\\logo.sys"
                                           << "C:\\ARC\\A.LZH";
    QTest::newRow("archive mode, middle") << ArchiveMode << "A.LZH" << 1 << "installMiddleButton"
                                          << "C:\\WINDOWS\\logow.sys"
                                          << "C:\\ARC\\A.LZH";
    QTest::newRow("archive mode, ending") << ArchiveMode << "B.LZH" << 0 << "installEndingButton"
                                          << "C:\\WINDOWS\\logos.sys"
                                          << "C:\\ARC\\B.LZH";
}

void LogoBrowserTest::changeCommand() {
    QFETCH(QStringList, ini);
    QFETCH(QString, file);
    QFETCH(int, member);
    QFETCH(QString, button);
    QFETCH(QString, logo);
    QFETCH(QString, source);
    Browser shown(ini);
    for (const char* old : {"C:\\logo.sys", "C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\logos.sys"})
        shown.machine.writeFile(old, "old logo");
    const std::string sourceBytes = shown.machine.readFile(source.toStdString());

    shown.open(member < 0 ? "C:\\PICS" : "C:\\ARC");
    QVERIFY(shown.pickFile(file));
    std::string picture = sourceBytes;
    if (member >= 0) {
        shown.clickMember(member);
        picture = member == 1 ? kor::testing::logoBitmap({QColor(Qt::yellow), QColor(Qt::yellow),
                                                          QColor(Qt::yellow), QColor(Qt::yellow)})
                              : kor::testing::logoBitmap(kor::testing::Quarters);
    }
    QTest::mouseClick(shown.browser->findChild<QPushButton*>(button), Qt::LeftButton);

    QCOMPARE(shown.messages(), std::vector<std::string>{std::string(Changed)});
    QCOMPARE(shown.recording.recorder().messages.front().caption, std::string("korsetup"));
    QVERIFY(shown.machine.readFile(logo.toStdString()) == picture);
    QVERIFY(shown.machine.readFile(source.toStdString()) == sourceBytes);
    // Nothing is left behind under the picture's own name.
    const QString name = member < 0 ? file : shown.browser->memberList->cellText(member, 0);
    for (const char* folder : {"C:\\WINDOWS\\", "C:\\"})
        QVERIFY(!shown.machine.exists(folder + name.toStdString()));
    // The buttons stay enabled after a change.
    QVERIFY(shown.actionsEnabled());
}

void LogoBrowserTest::changeCommandRefuses_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("file"); // "" for none
    QTest::addColumn<int>("member");   // -1 for none
    QTest::addColumn<QString>("message");

    QTest::newRow("BMP mode, no file selected") << BmpMode << "" << -1 << NoFileSelected.data();
    QTest::newRow("BMP mode, a picture of the wrong length")
        << BmpMode << "SMALL.BMP" << -1 << WrongSize.data();
    QTest::newRow("archive mode, no archive selected")
        << ArchiveMode << "" << -1 << NoFileSelected.data();
    QTest::newRow("archive mode, no member selected")
        << ArchiveMode << "A.LZH" << -1 << NoFileSelected.data();
    QTest::newRow("archive mode, a member of the wrong length")
        << ArchiveMode << "A.LZH" << 2 << WrongSize.data();
}

void LogoBrowserTest::changeCommandRefuses() {
    QFETCH(QStringList, ini);
    QFETCH(QString, file);
    QFETCH(int, member);
    QFETCH(QString, message);
    Browser shown(ini);
    shown.machine.writeFile("C:\\logo.sys", "old logo");

    shown.open(ini.isEmpty() ? "C:\\ARC" : "C:\\PICS");
    if (!file.isEmpty())
        QVERIFY(shown.pickFile(file));
    if (member >= 0)
        shown.clickMember(member);
    // The buttons are pressed whether they are enabled or not.
    shown.browser->installOpening();

    QCOMPARE(shown.messages(), std::vector<std::string>{message.toStdString()});
    QCOMPARE(shown.machine.readFile("C:\\logo.sys"), std::string("old logo"));
    // Refused before anything was extracted: no temporary folder was made.
    for (const auto& entry : std::filesystem::directory_iterator(shown.machine.host("C:\\WINDOWS")))
        QVERIFY(!entry.path().filename().string().starts_with("~KOR"));
}

void LogoBrowserTest::pictureCommandRefuses_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("member");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("leftOver"); // a file that must not be there afterwards

    QTest::newRow("BMP mode, no file selected")
        << BmpMode << "" << -1 << NoFileSelected.data() << "";
    QTest::newRow("BMP mode, a picture of the wrong length")
        << BmpMode << "SMALL.BMP" << -1 << WrongSize.data() << "";
    QTest::newRow("BMP mode, the right length but no picture")
        << BmpMode << "JUNK.BMP" << -1 << CannotLoad.data() << "";
    QTest::newRow("archive mode, a member of the wrong length")
        << ArchiveMode << "A.LZH" << 2 << WrongSize.data() << "C:\\WINDOWS\\SMALL.BMP";
    QTest::newRow("archive mode, the right length but no picture")
        << ArchiveMode << "JUNK.LZH" << 0 << CannotLoad.data() << "C:\\WINDOWS\\JUNK.BMP";
}

void LogoBrowserTest::pictureCommandRefuses() {
    QFETCH(QStringList, ini);
    QFETCH(QString, file);
    QFETCH(int, member);
    QFETCH(QString, message);
    QFETCH(QString, leftOver);
    Browser shown(ini);

    shown.open(ini.isEmpty() ? "C:\\ARC" : "C:\\PICS");
    if (!file.isEmpty())
        QVERIFY(shown.pickFile(file));
    if (member >= 0)
        shown.clickMember(member);
    shown.browser->viewPicture();

    QCOMPARE(shown.messages(), std::vector<std::string>{message.toStdString()});
    // Nothing is shown; the browser stays where it was.
    QVERIFY(!liveWindow<ImageDisplay>(*shown.window));
    QVERIFY(shown.browser->isVisible());
    if (!leftOver.isEmpty())
        QVERIFY(!shown.machine.exists(leftOver.toStdString()));
}

void LogoBrowserTest::aSecondPickKeepsTheButtons() {
    Browser shown(ArchiveMode);
    shown.listArchive();
    shown.clickMember(0);
    QVERIFY(shown.actionsEnabled());

    QVERIFY(shown.pickFile(QStringLiteral("B.LZH")));
    QCOMPARE(shown.browser->memberList->rowCount(), 1);
    QCOMPARE(shown.browser->memberList->cellText(0, 0), QStringLiteral("TWO.BMP"));
    QVERIFY(shown.actionsEnabled());
    QVERIFY(shown.browser->selectedMemberName().empty());
    QCOMPARE(shown.window->state().archiveState.currentArchiveName, std::string("B.LZH"));
}

void LogoBrowserTest::endButtonDestroysTheBrowser() {
    Browser shown(ArchiveMode);
    shown.listArchive();
    QPointer<LogoBrowser> browser = shown.browser;

    QTest::mouseClick(browser->closeButton, Qt::LeftButton);
    QTRY_VERIFY(browser.isNull());
    // The program keeps the archive and the directory it was in.
    QCOMPARE(shown.window->state().archiveState.currentArchiveName, std::string("A.LZH"));
    QCOMPARE(kor::platform::Machine::current().currentDirectory(), std::string("C:\\ARC"));

    // Shown again, it starts afresh.
    shown.menu("openBrowserAction");
    shown.browser = liveWindow<LogoBrowser>(*shown.window);
    QVERIFY(shown.browser && shown.browser->isVisible());
    QCOMPARE(shown.browser->memberList->rowCount(), 0);
    QVERIFY(!shown.actionsEnabled());
}

void LogoBrowserTest::settingThePatternAgainKeepsThePick() {
    // A fresh options window puts the mode in force, which sets the pattern
    // anew; the pick the change buttons read survives it, but not a move elsewhere.
    Browser shown(BmpMode);
    shown.open("C:\\PICS");
    QVERIFY(shown.pickFile(QStringLiteral("A.BMP")));
    shown.browser->fileList->setPattern("*.BMP");
    QCOMPARE(shown.browser->fileList->selectedName(), std::string("A.BMP"));
    shown.browser->fileList->setPattern("*.TXT");
    QVERIFY(shown.browser->fileList->selectedName().empty());

    // A name of the same spelling in another directory is not picked.
    shown.browser->fileList->setPattern("*.BMP");
    QVERIFY(shown.pickFile(QStringLiteral("A.BMP")));
    shown.open("C:\\PICS\\SUB");
    QCOMPARE(shown.browser->fileList->names(), QStringList({"A.BMP", "B.BMP"}));
    QVERIFY(shown.browser->fileList->selectedName().empty());
    QVERIFY(shown.messages().empty());
}

void LogoBrowserTest::changeAfterTheOptionsWindowClosed() {
    // The options window closes when the browser takes the focus; the change
    // command reads the mode all the same.
    Browser shown(BmpMode);
    shown.menu("optionsAction");
    QTRY_VERIFY(!liveWindow<LogoBrowser>(*shown.window));
    shown.menu("openBrowserAction");
    shown.browser = liveWindow<LogoBrowser>(*shown.window);
    QTRY_VERIFY(!liveWindow<kor::setup::OptionsWindow>(*shown.window));

    shown.open("C:\\PICS");
    QVERIFY(shown.pickFile(QStringLiteral("A.BMP")));
    QTest::mouseClick(shown.browser->installEndingButton, Qt::LeftButton);

    QCOMPARE(shown.messages(), std::vector<std::string>{std::string(Changed)});
    QVERIFY(shown.machine.readFile("C:\\WINDOWS\\logos.sys") ==
            shown.machine.readFile("C:\\PICS\\A.BMP"));
}

void LogoBrowserTest::foreignLinksAreNotListed() {
    if (::geteuid() != 0)
        QSKIP("giving the tree to another user needs root");
    Browser shown(BmpMode);
    kor::testing::makeForeignTree(shown.machine);

    shown.open("C:\\PICS");

    QCOMPARE(shown.browser->fileList->names(),
             QStringList({"A.BMP", "JUNK.BMP", "MINE.BMP", "PIC.BMP", "SMALL.BMP"}));
}

QTEST_MAIN(LogoBrowserTest)
#include "logo_browser_test.moc"
