// SPDX-License-Identifier: GPL-3.0-or-later
// The setup program's main window: its fixed size, its menu bar, its start-up
// in both picture-source modes, and how its child windows come and go.

#include "about_window.h"
#include "location_window.h"
#include "logo_browser.h"
#include "main_window.h"
#include "options_window.h"
#include "recording_services.h"
#include "window_test_support.h"

#include "platform/machine.h"

#include <QAction>
#include <QCheckBox>
#include <QEventLoop>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>

using kor::setup::AboutWindow;
using kor::setup::LocationWindow;
using kor::setup::LogoBrowser;
using kor::setup::MainWindow;
using kor::setup::OptionsWindow;
using kor::testing::dragBy;
using kor::testing::koriniText;
using kor::testing::liveWindow;
using kor::testing::makeFolder;

namespace {

constexpr std::string_view KorIni = "C:\\WINDOWS\\KOR.INI";

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QAction* menuAction(QWidget& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startsIntoItsFixedSizeWindow();
    void menuBarHasTheFourMenusInOrder();
    void menuItems_data();
    void menuItems();
    void startUp_data();
    void startUp();
    void startUpWritesNothing();
    void saysAtStartThatTheFolderOfDrivesHasNone_data();
    void saysAtStartThatTheFolderOfDrivesHasNone();
    void openingTheStartFolderSaysWhyItCannot_data();
    void openingTheStartFolderSaysWhyItCannot();
    void refusesAWindowsDirectoryThatNamesNoFolder_data();
    void refusesAWindowsDirectoryThatNamesNoFolder();
    void draggingABorderSnapsBack();
    void maximizingIsUndone();
    void minimizingWorks();
    void endsAtOnce();
    void childWindowsPlaceThemselves_data();
    void childWindowsPlaceThemselves();
    void childWindowsKeepTheirSize_data();
    void childWindowsKeepTheirSize();
    void childWindowLosingTheFocusIsDestroyed();
    void logoBrowserOutlivesLosingTheFocus();
    void locationAndOptionsCloseTheLogoBrowser();
    void browserListsMoveTheCurrentDirectory();
    void browserRefusesAnUnmappedDrive();
    void captionsUseAJapaneseFont();
};

void MainWindowTest::startsIntoItsFixedSizeWindow() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("KOR SETUP"));
    QVERIFY(!window.windowIcon().isNull());
    auto* area = window.findChild<QMdiArea*>();
    QVERIFY(area);
    QCOMPARE(area->size(), QSize(440, 387));
    QCOMPARE(window.innerSizeInTwips(), QSize(6600, 5805));
    QCOMPARE(window.width(), 440);
    QCOMPARE(window.height(), 387 + window.menuBar()->height());
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.size(), window.minimumSize());

    const QPixmap background = area->background().texture();
    QCOMPARE(background.size(), QSize(440, 387));
    QVERIFY(background.toImage().depth() >= 24);
}

void MainWindowTest::menuBarHasTheFourMenusInOrder() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;

    QStringList menus;
    for (QAction* action : window.menuBar()->actions())
        menus << action->objectName() + QLatin1Char('=') + action->text();
    QCOMPARE(menus,
             QStringList({QStringLiteral("fileMenu=ファイル"), QStringLiteral("settingsMenu=設定"),
                          QStringLiteral("optionsMenu=オプション"),
                          QStringLiteral("versionMenu=バージョン")}));

    auto itemsOf = [&](const char* menuName) {
        QStringList items;
        for (QAction* action : window.findChild<QMenu*>(QString::fromLatin1(menuName))->actions())
            items << action->objectName() + (action->isSeparator()
                                                 ? QStringLiteral("|-")
                                                 : QLatin1Char('|') + action->text());
        return items;
    };
    QCOMPARE(itemsOf("fileMenu"),
             QStringList({QStringLiteral("openFolderAction|オープン"),
                          QStringLiteral("convertAction|画像をロゴに変換..."),
                          QStringLiteral("machineAction|ﾏｼﾝの選択..."),
                          QStringLiteral("backupSeparator|-"),
                          QStringLiteral("backupAction|ＬＯＧＯファイルバックアップ"),
                          QStringLiteral("quitSeparator|-"), QStringLiteral("quitAction|終了")}));
    QCOMPARE(itemsOf("settingsMenu"),
             QStringList({QStringLiteral("openBrowserAction|ＬＯＧＯファイルの変更"),
                          QStringLiteral("locationAction|ＬＯＧＯ変更ファイル位置設定")}));
    QCOMPARE(itemsOf("optionsMenu"), QStringList({QStringLiteral("optionsAction|オプション設定")}));
    QCOMPARE(itemsOf("versionMenu"), QStringList({QStringLiteral("aboutAction|情報")}));
}

void MainWindowTest::menuItems_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");

    QTest::newRow("open") << "openFolderAction"
                          << "オープン" << QKeySequence(QStringLiteral("Ctrl+F"));
    QTest::newRow("convert") << "convertAction"
                             << "画像をロゴに変換..." << QKeySequence();
    QTest::newRow("machine") << "machineAction"
                             << "ﾏｼﾝの選択..." << QKeySequence();
    QTest::newRow("backup") << "backupAction"
                            << "ＬＯＧＯファイルバックアップ" << QKeySequence();
    QTest::newRow("end") << "quitAction"
                         << "終了" << QKeySequence(QStringLiteral("Ctrl+E"));
    QTest::newRow("browser") << "openBrowserAction"
                             << "ＬＯＧＯファイルの変更" << QKeySequence(QStringLiteral("Ctrl+L"));
    QTest::newRow("location") << "locationAction"
                              << "ＬＯＧＯ変更ファイル位置設定"
                              << QKeySequence(QStringLiteral("Ctrl+I"));
    QTest::newRow("options") << "optionsAction"
                             << "オプション設定" << QKeySequence(QStringLiteral("Ctrl+O"));
    QTest::newRow("about") << "aboutAction"
                           << "情報" << QKeySequence(QStringLiteral("Ctrl+A"));
}

void MainWindowTest::menuItems() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;

    QAction* action = window.findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
}

void MainWindowTest::startUp_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("bmpMode");
    QTest::addColumn<bool>("browserMade");
    QTest::addColumn<QString>("browserDirectory");
    QTest::addColumn<QString>("currentDirectory");
    QTest::addColumn<QString>("startFolder");
    QTest::addColumn<QString>("archiveName");
    QTest::addColumn<QStringList>("labels"); // the location window's values

    const QStringList none;
    const QStringList noLabels{"", "", ""};
    QTest::newRow("no KOR.INI keys: nothing is touched") << none << none << false << false << ""
                                                         << "C:\\"
                                                         << ""
                                                         << "" << noLabels;
    QTest::newRow("archive mode, opening only")
        << QStringList{"Dir=D:\\ARC", "FileName=open.lzh"} << QStringList{"D:\\ARC"} << false
        << true << "D:\\ARC"
        << "D:\\ARC"
        << "D:\\ARC"
        << "open.lzh" << QStringList{"open.lzh", "", ""};
    QTest::newRow("archive mode, middle only")
        << QStringList{"MDir=C:\\LOGO\\MID", "MFileName=mid.lzh"} << QStringList{"C:\\LOGO\\MID"}
        << false << true << "C:\\LOGO\\MID"
        << "C:\\LOGO\\MID"
        << "C:\\LOGO\\MID"
        << "mid.lzh" << QStringList{"", "mid.lzh", ""};
    QTest::newRow("archive mode, all three screens: the ending decides")
        << QStringList{"Dir=C:\\A",       "FileName=a.lzh", "MDir=D:\\B",
                       "MFileName=b.lzh", "EDir=C:\\E",     "EFileName=e.lzh"}
        << QStringList{"C:\\A", "D:\\B", "C:\\E"} << false << true << "C:\\E"
        << "C:\\E"
        << "C:\\E"
        << "e.lzh" << QStringList{"a.lzh", "b.lzh", "e.lzh"};
    QTest::newRow("archive mode, two screens: the middle decides")
        << QStringList{"Dir=C:\\A", "FileName=a.lzh", "MDir=D:\\B", "MFileName=b.lzh"}
        << QStringList{"C:\\A", "D:\\B"} << false << true << "D:\\B"
        << "D:\\B"
        << "D:\\B"
        << "b.lzh" << QStringList{"a.lzh", "b.lzh", ""};
    QTest::newRow("capital ON counts as archive mode")
        << QStringList{"ArcCheck=ON", "Dir=C:\\ARC", "FileName=x.lzh", "DirOnly=C:\\PICS"}
        << QStringList{"C:\\ARC", "C:\\PICS"} << false << true << "C:\\ARC"
        << "C:\\ARC"
        << "C:\\ARC"
        << "x.lzh" << QStringList{"x.lzh", "", ""};
    QTest::newRow("a file name without its directory opens the settings directory")
        << QStringList{"FileName=a.lzh"} << none << false << true << "C:\\WINDOWS"
        << "C:\\WINDOWS"
        << "C:\\WINDOWS\\"
        << "a.lzh" << QStringList{"a.lzh", "", ""};
    QTest::newRow("a directory that is gone is passed over")
        << QStringList{"Dir=C:\\GONE", "FileName=a.lzh", "MDir=C:\\MID", "MFileName=b.lzh"}
        << QStringList{"C:\\MID"} << false << true << "C:\\MID"
        << "C:\\MID"
        << "C:\\MID"
        << "b.lzh" << QStringList{"a.lzh", "b.lzh", ""};
    QTest::newRow("a last directory that is gone leaves the one before")
        << QStringList{"Dir=C:\\A", "FileName=a.lzh", "EDir=C:\\GONE", "EFileName=e.lzh"}
        << QStringList{"C:\\A"} << false << true << "C:\\A"
        << "C:\\A"
        << "C:\\A"
        << "a.lzh" << QStringList{"a.lzh", "", "e.lzh"};
    QTest::newRow("an unmapped drive is passed over")
        << QStringList{"Dir=Q:\\ARC", "FileName=a.lzh"} << none << false << false << ""
        << "C:\\"
        << ""
        << "" << QStringList{"a.lzh", "", ""};
    QTest::newRow("BMP mode with a picture directory")
        << QStringList{"ArcCheck=on", "DirOnly=D:\\PICS", "MDirOnly=C:\\M", "FileName=a.lzh"}
        << QStringList{"D:\\PICS", "C:\\M"} << true << true << "D:\\PICS"
        << "D:\\PICS"
        << "D:\\PICS"
        << "" << QStringList{"D:\\PICS", "C:\\M", ""};
    QTest::newRow("BMP mode without a picture directory")
        << QStringList{"ArcCheck=on", "EDirOnly=C:\\E"} << QStringList{"C:\\E"} << true << false
        << "C:\\"
        << "C:\\"
        << ""
        << "" << QStringList{"", "", "C:\\E"};
    QTest::newRow("BMP mode, picture directory gone")
        << QStringList{"ArcCheck=on", "DirOnly=C:\\GONE"} << none << true << false << "C:\\"
        << "C:\\"
        << ""
        << "" << QStringList{"C:\\GONE", "", ""};
    QTest::newRow("BMP mode, picture directory on an unmapped drive")
        << QStringList{"ArcCheck=on", "DirOnly=Q:\\PICS"} << none << true << false << "C:\\"
        << "C:\\"
        << ""
        << "" << QStringList{"Q:\\PICS", "", ""};
}

void MainWindowTest::startUp() {
    QFETCH(QStringList, ini);
    QFETCH(QStringList, folders);
    QFETCH(bool, bmpMode);
    QFETCH(bool, browserMade);
    QFETCH(QString, browserDirectory);
    QFETCH(QString, currentDirectory);
    QFETCH(QString, startFolder);
    QFETCH(QString, archiveName);
    QFETCH(QStringList, labels);
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    for (const QString& folder : folders)
        makeFolder(machine, folder);
    machine.writeFile(KorIni, koriniText(ini));

    MainWindow window;

    QVERIFY(recording.recorder().messages.empty());
    QCOMPARE(text(kor::platform::Machine::current().currentDirectory()), currentDirectory);
    QCOMPARE(text(window.state().archiveState.currentArchiveName), archiveName);
    QCOMPARE(text(window.state().startFolder), startFolder);
    menuAction(window, "openFolderAction")->trigger();
    QCOMPARE(recording.recorder().openedFolders, std::vector{startFolder.toStdString()});

    // The browser is made at the start only to show a configured folder, and
    // stays hidden until its menu item shows it.
    auto* browser = liveWindow<LogoBrowser>(window);
    QCOMPARE(browser != nullptr, browserMade);
    if (browser) {
        QVERIFY(browser->isHidden());
        QCOMPARE(text(browser->folderList->path()), browserDirectory);
        QCOMPARE(browser->driveList->drive(), browserDirectory.toStdString().front());
        QCOMPARE(text(browser->fileList->path()), browserDirectory);
    }
    // The other windows show the mode and the sources read.
    QCOMPARE(window.optionsWindow().bmpModeBox->isChecked(), bmpMode);
    const LocationWindow& location = window.locationWindow();
    QCOMPARE(location.openingHeading->text(),
             bmpMode ? QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞDIR") : QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ"));
    QCOMPARE(location.middleHeading->text(),
             bmpMode ? QStringLiteral("設定中間DIR") : QStringLiteral("設定中間ﾌｧｲﾙ"));
    QCOMPARE(location.endingHeading->text(),
             bmpMode ? QStringLiteral("設定ｴﾝﾃﾞｨﾝｸﾞDIR") : QStringLiteral("設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ"));
    QCOMPARE(QStringList({location.openingSource->text(), location.middleSource->text(),
                          location.endingSource->text()}),
             labels);
}

void MainWindowTest::startUpWritesNothing() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    makeFolder(machine, QStringLiteral("C:\\PICS"));
    // Blanks and a key of another program stay exactly as they were.
    const std::string ini = "[SaveDir]\r\nArcCheck = on\r\nDirOnly=C:\\PICS\r\nOther=1\r\n";
    machine.writeFile(KorIni, ini);
    {
        MainWindow window;
        QCOMPARE(window.state().settings.ArcCheck, std::string("on"));
    }
    QCOMPARE(machine.readFile(KorIni), ini);
    QVERIFY(!machine.exists("C:\\WINDOWS\\korback"));
}

void MainWindowTest::saysAtStartThatTheFolderOfDrivesHasNone_data() {
    QTest::addColumn<QString>("folder"); // KOR_ROOT, inside a fresh temporary folder
    // "": nothing; ".": the folder; "c": drive C: too; "c -> T": C: a link to T
    QTest::addColumn<QString>("made");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("command"); // %1: the folder
    QTest::newRow("missing") << "kor"
                             << ""
                             << "Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) がありません。"
                             << "mkdir -p %1 && ln -s ~/vms/win95/win95.img %1/c";
    QTest::newRow("empty") << "kor"
                           << "."
                           << "Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) にﾄﾞﾗｲﾌﾞがありません。"
                           << "mkdir -p %1 && ln -s ~/vms/win95/win95.img %1/c";
    QTest::newRow("missing, a name with blanks")
        << "Win 95's drives"
        << ""
        << "Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) がありません。"
        << "mkdir -p '%1' && ln -s ~/vms/win95/win95.img '%1/c'";
    QTest::newRow("drive C: a link to a missing image")
        << "kor"
        << "c -> gone.img"
        << "ﾄﾞﾗｲﾌﾞ C: のﾘﾝｸ先 gone.img がありません。ﾃﾞｨｽｸｲﾒｰｼﾞかﾌｫﾙﾀﾞを指すように、"
           "たとえば次のように作り直してください:"
        << "ln -sfn ~/vms/win95/win95.img %1/c";
    QTest::newRow("with drive C:") << "kor"
                                   << "c"
                                   << ""
                                   << "";
}

// A folder of drives without a single drive is said once the window is up,
// with the line that makes drive C: and the way to an emulator's machine;
// the window opens all the same.
void MainWindowTest::saysAtStartThatTheFolderOfDrivesHasNone() {
    QFETCH(QString, folder);
    QFETCH(QString, made);
    QFETCH(QString, sentence);
    QFETCH(QString, command);
    kor::testing::TemporaryMachine machine; // gives the machine before the test back
    const std::filesystem::path root = machine.root() / folder.toStdString();
    if (made.contains(QStringLiteral(" -> "))) {
        std::filesystem::create_directories(root);
        std::filesystem::create_symlink(
            made.section(QStringLiteral(" -> "), 1).toStdString(),
            root / made.section(QStringLiteral(" -> "), 0, 0).toStdString());
    } else if (!made.isEmpty()) {
        std::filesystem::create_directories(root / made.toStdString());
    }
    const QByteArray given = qgetenv("KOR_ROOT");
    qputenv("KOR_ROOT", QByteArray::fromStdString(root.string()));
    kor::platform::Machine::setCurrent(kor::platform::Machine::folderOfDrives());
    if (given.isNull())
        qunsetenv("KOR_ROOT");
    else
        qputenv("KOR_ROOT", given);
    kor::testing::RecordingScope recording;

    MainWindow window;
    QVERIFY(recording.recorder().messages.empty());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QStringList told = kor::testing::shownMessages(recording);
    if (sentence.isEmpty()) {
        QCOMPARE(told, QStringList());
        return;
    }
    if (made.contains(QStringLiteral(" -> "))) {
        QCOMPARE(told, QStringList{text((root / "c").string()) + "\n" + sentence + "\n" +
                                   command.arg(text(root.string()))});
        return;
    }
    QCOMPARE(
        told,
        QStringList{text(root.string()) + "\n" + sentence +
                    "ﾄﾞﾗｲﾌﾞ C: にするﾃﾞｨｽｸｲﾒｰｼﾞかﾌｫﾙﾀﾞを、たとえば次のようにつないでください:\n" +
                    command.arg(text(root.string()).replace("'", "'\\''")) +
                    "\nｴﾐｭﾚｰﾀのﾏｼﾝは、ファイル → ﾏｼﾝの選択... で選べます。"});
}

void MainWindowTest::openingTheStartFolderSaysWhyItCannot_data() {
    QTest::addColumn<kor::platform::FolderOpening>("opening");
    QTest::addColumn<QString>("said");
    QTest::newRow("opened") << kor::platform::FolderOpening::Opened << "";
    QTest::newRow("inside a disk image")
        << kor::platform::FolderOpening::NotAHostFolder
        << "C:\\A\nこのﾌｫﾙﾀﾞをﾌｧｲﾙﾏﾈｰｼﾞｬで開けませんでした。ﾃﾞｨｽｸｲﾒｰｼﾞの中のﾌｫﾙﾀﾞは"
           "「ＬＯＧＯファイルの変更」で開いてください";
    QTest::newRow("no file manager") << kor::platform::FolderOpening::NoFileManager
                                     << "C:\\A\nこのﾌｫﾙﾀﾞを開くﾌｧｲﾙﾏﾈｰｼﾞｬが見つかりませんでした";
}

void MainWindowTest::openingTheStartFolderSaysWhyItCannot() {
    QFETCH(kor::platform::FolderOpening, opening);
    QFETCH(QString, said);
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    recording.recorder().folderOpening = opening;
    makeFolder(machine, QStringLiteral("C:\\A"));
    machine.writeFile(KorIni, koriniText({"Dir=C:\\A", "FileName=a.lzh"}));
    MainWindow window;

    menuAction(window, "openFolderAction")->trigger();

    QCOMPARE(recording.recorder().openedFolders, std::vector<std::string>{"C:\\A"});
    QStringList shown;
    for (const auto& message : recording.recorder().messages)
        shown << text(message.text);
    QCOMPARE(shown, said.isEmpty() ? QStringList() : QStringList{said});
}

void MainWindowTest::refusesAWindowsDirectoryThatNamesNoFolder_data() {
    QTest::addColumn<QString>("windowsDirectory");
    QTest::newRow("network path") << QStringLiteral("\\\\server\\share");
    QTest::newRow("no drive letter") << QStringLiteral("1:\\WINDOWS");
}

// Such a WINDIR would have the settings written where the user never meant:
// the program names it and ends before anything is read or written.
void MainWindowTest::refusesAWindowsDirectoryThatNamesNoFolder() {
    QFETCH(QString, windowsDirectory);
    kor::testing::TemporaryMachine machine(windowsDirectory.toStdString());
    kor::testing::RecordingScope recording;
    int exitStatus = 0;
    try {
        MainWindow window;
    } catch (const kor::testing::ProgramEnded& ended) {
        exitStatus = ended.exitStatus;
    }
    QCOMPARE(exitStatus, 1);
    QCOMPARE(recording.recorder().messages.size(), std::size_t{1});
    QVERIFY(recording.recorder().messages[0].text.starts_with(
        windowsDirectory.toStdString() + "\nWINDIR の Windows ﾌｫﾙﾀﾞを使えません。"));
    QVERIFY(!machine.exists("C:\\WINDOWS\\KOR.INI"));
}

void MainWindowTest::draggingABorderSnapsBack() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize fixed = window.size();

    // As a window manager would: through the platform window, past Qt's limits.
    QSignalSpy resized(window.windowHandle(), &QWindow::widthChanged);
    window.windowHandle()->resize(600, 500);
    QTRY_VERIFY(!resized.isEmpty());
    QTRY_COMPARE(window.size(), fixed);
    QTRY_COMPARE(window.windowHandle()->size(), fixed);
}

void MainWindowTest::maximizingIsUndone() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize fixed = window.size();

    window.showMaximized();
    QTRY_VERIFY(!window.isMaximized());
    QCOMPARE(window.size(), fixed);
}

void MainWindowTest::minimizingWorks() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize fixed = window.size();

    window.showMinimized();
    QTest::qWait(50);
    QVERIFY(window.isMinimized());
    window.showNormal();
    QTRY_VERIFY(!window.isMinimized());
    QCOMPARE(window.size(), fixed);
}

void MainWindowTest::endsAtOnce() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();

    QEventLoop loop;
    QTimer::singleShot(0, &window, [&window] { menuAction(window, "quitAction")->trigger(); });
    // A loop that "終了" did not end stops with 99 after five seconds.
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
    QCOMPARE(loop.exec(), 0);
    QVERIFY(recording.recorder().questions.empty());
    QVERIFY(recording.recorder().messages.empty());
}

void MainWindowTest::childWindowsPlaceThemselves_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("windowName");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QSize>("innerSize");

    // Twips from the main window's size (6600 x 5805 inside, 6720 x 6495
    // outside), 15 to a pixel. In BMP mode the start-up makes the browser,
    // the location and the options window before the main window is shown.
    const QStringList bmpMode{"ArcCheck=on"};
    QTest::newRow("browser: top left, archive mode height")
        << QStringList{} << "openBrowserAction"
        << "LogoBrowser" << QPoint(0, 0) << QSize(435, 362);
    QTest::newRow("browser made at start: BMP mode height")
        << bmpMode << "openBrowserAction"
        << "LogoBrowser" << QPoint(0, 0) << QSize(435, 146);
    QTest::newRow("location: inner width / 20, inner height / 5")
        << QStringList{} << "locationAction"
        << "LocationWindow" << QPoint(22, 77) << QSize(392, 227);
    QTest::newRow("location made at start")
        << bmpMode << "locationAction"
        << "LocationWindow" << QPoint(22, 77) << QSize(392, 227);
    QTest::newRow("options: inner width / 4.5, inner height / 3")
        << QStringList{} << "optionsAction"
        << "OptionsWindow" << QPoint(98, 129) << QSize(248, 107);
    QTest::newRow("options made at start") << bmpMode << "optionsAction"
                                           << "OptionsWindow" << QPoint(98, 129) << QSize(248, 107);
    QTest::newRow("about: outer width / 6, outer height / 5")
        << QStringList{} << "aboutAction"
        << "AboutWindow" << QPoint(75, 87) << QSize(287, 166);
}

void MainWindowTest::childWindowsPlaceThemselves() {
    QFETCH(QStringList, ini);
    QFETCH(QString, item);
    QFETCH(QString, windowName);
    QFETCH(QPoint, position);
    QFETCH(QSize, innerSize);
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    machine.writeFile(KorIni, koriniText(ini));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    window.findChild<QAction*>(item)->trigger();
    auto* child = window.findChild<QMdiSubWindow*>(windowName);
    QVERIFY(child);
    QVERIFY(child->isVisible());
    QCOMPARE(window.findChild<QMdiArea*>()->activeSubWindow(), child);
    QCOMPARE(child->pos(), position);
    QCOMPARE(child->widget()->size(), innerSize);
    // Title bar and frame come on top: nothing of the inner area is cut off.
    QVERIFY(child->rect().contains(child->widget()->geometry()));
}

void MainWindowTest::childWindowsKeepTheirSize_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("windowName");

    QTest::newRow("location") << "locationAction"
                              << "LocationWindow";
    QTest::newRow("options") << "optionsAction"
                             << "OptionsWindow";
    QTest::newRow("about") << "aboutAction"
                           << "AboutWindow";
}

// As on Windows 95: no resizing, a move by the title bar moves the whole
// window, and its title-bar menu offers only what such a window can do.
void MainWindowTest::childWindowsKeepTheirSize() {
    QFETCH(QString, item);
    QFETCH(QString, windowName);
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QAction*>(item)->trigger();
    auto* child = window.findChild<QMdiSubWindow*>(windowName);
    QVERIFY(child);
    const QRect placed = child->geometry();
    const QPoint content = child->widget()->pos();

    child->resize(placed.size() + QSize(60, 40));
    child->resize(placed.size() - QSize(60, 40));
    QCOMPARE(child->size(), placed.size());
    // The bottom right corner of the frame, dragged outwards.
    dragBy(*child, QPoint(child->width() - 2, child->height() - 2), QPoint(30, 20));
    QCOMPARE(child->geometry(), placed);

    // Dragged by its title bar, a little right and down.
    dragBy(*child, QPoint(child->width() / 2, child->widget()->y() / 2), QPoint(30, 20));
    QCOMPARE(child->geometry(), placed.translated(30, 20));
    QCOMPARE(child->widget()->pos(), content);

    QStringList entries;
    for (const QAction* action : child->systemMenu()->actions())
        if (action->isVisible())
            entries << action->text();
    QCOMPARE(entries, QStringList({"移動(&M)", "閉じる(&C)"}));
}

void MainWindowTest::childWindowLosingTheFocusIsDestroyed() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    menuAction(window, "optionsAction")->trigger();
    QPointer<OptionsWindow> options = liveWindow<OptionsWindow>(window);
    QVERIFY(options && options->isVisible());

    menuAction(window, "aboutAction")->trigger();
    QTRY_VERIFY(options.isNull());
    QPointer<AboutWindow> aboutWindow = liveWindow<AboutWindow>(window);
    QVERIFY(aboutWindow && aboutWindow->isVisible());

    // Opening the options again makes a fresh window, which takes the focus
    // from the about window.
    menuAction(window, "optionsAction")->trigger();
    QTRY_VERIFY(aboutWindow.isNull());
    options = liveWindow<OptionsWindow>(window);
    QVERIFY(options && options->isVisible());

    // Its own button closes it for good.
    QTest::mouseClick(options->exitButton, Qt::LeftButton);
    QTRY_VERIFY(options.isNull());
    QVERIFY(recording.recorder().messages.empty());
}

void MainWindowTest::logoBrowserOutlivesLosingTheFocus() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    menuAction(window, "openBrowserAction")->trigger();
    QPointer<LogoBrowser> browser = liveWindow<LogoBrowser>(window);
    QVERIFY(browser && browser->isVisible());
    menuAction(window, "aboutAction")->trigger();
    QPointer<AboutWindow> aboutWindow = liveWindow<AboutWindow>(window);
    QVERIFY(aboutWindow && aboutWindow->isVisible());
    QCOMPARE(window.findChild<QMdiArea*>()->activeSubWindow(), aboutWindow.data());

    // The browser takes the focus back: the about window goes, the browser stays.
    window.findChild<QMdiArea*>()->setActiveSubWindow(browser);
    QTRY_VERIFY(aboutWindow.isNull());
    QCOMPARE(liveWindow<LogoBrowser>(window), browser.data());
    QVERIFY(browser->isVisible());
}

void MainWindowTest::locationAndOptionsCloseTheLogoBrowser() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    for (const QString& item :
         {QStringLiteral("locationAction"), QStringLiteral("optionsAction")}) {
        menuAction(window, "openBrowserAction")->trigger();
        QPointer<LogoBrowser> browser = liveWindow<LogoBrowser>(window);
        QVERIFY(browser && browser->isVisible());

        window.findChild<QAction*>(item)->trigger();
        // Destroyed, lists and all.
        QTRY_VERIFY(browser.isNull());
        auto* shown = window.findChild<QMdiArea*>()->activeSubWindow();
        QVERIFY(shown && shown->isVisible());
        QCOMPARE(shown->objectName(), item == QStringLiteral("locationAction")
                                          ? QStringLiteral("LocationWindow")
                                          : QStringLiteral("OptionsWindow"));
    }
}

void MainWindowTest::browserListsMoveTheCurrentDirectory() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    makeFolder(machine, QStringLiteral("D:\\ARC\\SUB"));
    machine.writeFile("C:\\WINDOWS\\a.lzh", "");
    machine.writeFile("C:\\WINDOWS\\b.LZH", "");
    machine.writeFile("C:\\WINDOWS\\c.bmp", "");
    MainWindow window;
    menuAction(window, "openBrowserAction")->trigger();
    LogoBrowser* browser = liveWindow<LogoBrowser>(window);
    QVERIFY(browser);

    QVERIFY(browser->folderList->setPath("C:\\WINDOWS"));
    QCOMPARE(kor::platform::Machine::current().currentDirectory(), std::string("C:\\WINDOWS"));
    QCOMPARE(browser->fileList->path(), std::string("C:\\WINDOWS"));
    QCOMPARE(browser->fileList->names(), QStringList({"a.lzh", "b.LZH"}));

    // Another drive: the directory list moves to that drive's current directory.
    kor::platform::Machine& current = kor::platform::Machine::current();
    QVERIFY(current.setCurrentDirectory("D:\\ARC"));
    QVERIFY(browser->driveList->setDrive("D:\\anything"));
    QCOMPARE(current.currentDrive(), 'D');
    QCOMPARE(browser->folderList->path(), std::string("D:\\ARC"));
    QCOMPARE(browser->fileList->path(), std::string("D:\\ARC"));

    // The directory list shows the way down and the subfolders; opening an
    // entry moves there.
    QStringList entries;
    for (int row = 0; row < browser->folderList->count(); ++row)
        entries << browser->folderList->item(row)->text().trimmed();
    QCOMPARE(entries, QStringList({"D:\\", "ARC", "SUB"}));
    emit browser->folderList->itemActivated(browser->folderList->item(2));
    QCOMPARE(current.currentDirectory(), std::string("D:\\ARC\\SUB"));
    emit browser->folderList->itemActivated(browser->folderList->item(0));
    QCOMPARE(current.currentDirectory(), std::string("D:\\"));
    QVERIFY(recording.recorder().messages.empty());
}

void MainWindowTest::browserRefusesAnUnmappedDrive() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;
    LogoBrowser& browser = window.logoBrowser();

    const kor::platform::Status refused = browser.driveList->setDrive("Q:\\PICS");
    QVERIFY(!refused);
    QCOMPARE(refused.error().code(), ENODEV);
    QCOMPARE(browser.driveList->drive(), 'C');
    QVERIFY(!browser.folderList->setPath("C:\\GONE"));
    QCOMPARE(browser.folderList->path(), std::string("C:\\"));
    QCOMPARE(kor::platform::Machine::current().currentDirectory(), std::string("C:\\"));
}

void MainWindowTest::captionsUseAJapaneseFont() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    MainWindow window;

    const QCheckBox* box = window.optionsWindow().bmpModeBox;
    QCOMPARE(box->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    const QString face = QFontInfo(box->font()).family();
    QVERIFY2(face.startsWith(QStringLiteral("IPA")) || face.contains(QStringLiteral("CJK")),
             qPrintable(face));
    QVERIFY(QFontMetrics(box->font()).inFont(QChar(u'ﾌ')));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
