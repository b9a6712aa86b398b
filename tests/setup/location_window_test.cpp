// SPDX-License-Identifier: GPL-3.0-or-later
// The location window: items dropped from the file manager or the logo
// browser on its three value labels, or picked in the dialog a double click
// opens, are recorded in KOR.INI at once, by the mode's rules; what cannot be
// recorded is refused whole; the clear-all button empties the nine location
// keys. While an entry is dragged from the browser, which covers it, the
// window comes in front; it closes when another window takes the focus,
// except the browser or during such a drag.

#include "about_window.h"
#include "browser_test_support.h"
#include "drop_label.h"
#include "drop_support.h"
#include "image_display.h"
#include "location_window.h"
#include "logo_browser.h"
#include "main_window.h"
#include "options_window.h"
#include "recording_services.h"
#include "source_chooser.h"
#include "window_test_support.h"

#include "lzh_writer.h"

#include <QAction>
#include <QApplication>
#include <QByteArrayList>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

using kor::setup::LocationWindow;
using kor::setup::LogoBrowser;
using kor::setup::MainWindow;
using kor::setup::SourceChooser;
using kor::testing::dragBy;
using kor::testing::hostPathOf;
using kor::testing::liveWindow;
using kor::testing::withChooser;

namespace {

constexpr std::string_view KorIni = "C:\\WINDOWS\\KOR.INI";

// KOR.INI of each mode before a drop; its lines are bytes, as on disk.
const QByteArrayList BmpModeIni{"ArcCheck=on", "DirOnly=C:\\OLD1", "MDirOnly=C:\\OLD6",
                                "EDirOnly=C:\\OLD2"};
const QByteArrayList ArchiveModeIni{"ArcCheck=off", "FileName=old1.lzh", "MFileName=old6.lzh"};

QByteArray iniBytes(const QByteArrayList& lines) {
    QByteArray bytes = "[SaveDir]\r\n";
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// `lines` with each of `changes` ("Key=value") put in place of its key's
// line, or after the last line when the key is new, as the profile writer
// does.
QByteArray iniWith(QByteArrayList lines, const QByteArrayList& changes) {
    for (const QByteArray& change : changes) {
        const QByteArray key = change.left(change.indexOf('=') + 1);
        const auto at = std::ranges::find_if(
            lines, [&](const QByteArray& line) { return line.startsWith(key); });
        if (at == lines.end())
            lines << change;
        else
            *at = change;
    }
    return iniBytes(lines);
}

QByteArrayList modeIni(const QString& arcCheck) {
    return arcCheck == QStringLiteral("on") ? BmpModeIni : ArchiveModeIni;
}

void makeFile(const std::filesystem::path& path, const std::string& bytes = {}) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The main window on a fresh machine with KOR.INI holding `ini` (none when
// empty), the items the drops name, and the location window shown.
struct OpenLocation {
    explicit OpenLocation(const QByteArrayList& ini) {
        if (!ini.isEmpty())
            machine.writeFile(KorIni, iniBytes(ini).toStdString());
        machine.addDrive('D');
        const std::string archive = kor::testing::makeLzhArchive({{"A.BMP", "BM"}});
        for (const char* folder : {"C:\\LOGO", "C:\\表", "D:\\PICS", "D:\\OLDLZH"})
            std::filesystem::create_directories(machine.host(folder));
        for (const char* file : {"C:\\LOGO\\A.BMP", "C:\\LOGO\\README.TXT", "C:\\LOGO\\PIC.JPEG",
                                 "C:\\LOGO\\x.写", "D:\\ARC\\A.BMP"})
            machine.writeFile(file, "BM");
        for (const char* file :
             {"D:\\ARC\\logo1.lzh", "D:\\ARC\\LOGO2.LZH", "D:\\logo1.lzh", "C:\\表\\ロゴ.lzh"})
            machine.writeFile(file, archive);

        window = std::make_unique<MainWindow>();
        window->show();
        static_cast<void>(QTest::qWaitForWindowExposed(window.get()));
        openLocation();
    }

    void openLocation() {
        window->findChild<QAction*>(QStringLiteral("locationAction"))->trigger();
        location = liveWindow<LocationWindow>(*window);
    }

    QLabel& label(const QString& name) const { return *location->findChild<QLabel*>(name); }
    QStringList values() const {
        return {location->openingSource->text(), location->middleSource->text(),
                location->endingSource->text()};
    }
    QStringList inMemory(const QStringList& keys) const {
        kor::core::Settings settings = window->state().settings;
        QStringList values;
        for (const QString& key : keys)
            values << QString::fromStdString(*kor::core::settingValue(settings, key.toStdString()));
        return values;
    }
    QByteArray korIni() const {
        return machine.exists(KorIni) ? QByteArray::fromStdString(machine.readFile(KorIni))
                                      : QByteArray();
    }
    int beeps() { return recording.recorder().beeps; }
    QStringList messages() { return kor::testing::shownMessages(recording); }

    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    std::unique_ptr<MainWindow> window;
    LocationWindow* location = nullptr;
};

// The entry of `list` whose name, indentation left out, is `name`; of the
// directory list's, the subfolder rather than a folder leading to it.
QListWidgetItem* entryNamed(const QListWidget& list, const QString& name) {
    const QList<QListWidgetItem*> found = list.findItems(
        QStringLiteral("^ *") + QRegularExpression::escape(name) + '$', Qt::MatchRegularExpression);
    return found.isEmpty() ? nullptr : found.back();
}

// What a refused drop says, after the drop.
const QString NoArchive = "ドロップされたファイルは LZH ファイルではありません。";
const QString FolderNoArchive = "フォルダは設定できません。LZH ファイルをドロップしてください。";
const QString OutsideFolder =
    "ドロップされたフォルダはエミュレートされたマシンのドライブの外にあります。";
const QString UnwritableFolder =
    "ドロップされたフォルダの名前に、Windows のパスとして書けない文字があります。";
const QString OutsideFile =
    "ドロップされたファイルはエミュレートされたマシンのドライブの外にあります。";
const QString UnwritableFile =
    "ドロップされたファイルの名前に、Windows のパスとして書けない文字があります。";

const QStringList BmpModeKeys{"DirOnly", "MDirOnly", "EDirOnly"};
const QStringList ArchiveModeKeys{"FileName", "MFileName", "EFileName"};
const QStringList ArchiveDirectoryKeys{"Dir", "MDir", "EDir"};
const QStringList DefaultArchiveDirectories{"C:\\WINDOWS\\", "C:\\WINDOWS\\", "C:\\WINDOWS\\"};
const QStringList AllKeys = [] {
    QStringList keys;
    for (std::string_view key : kor::core::SettingKeys)
        keys << QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
    return keys;
}();

} // namespace

class LocationWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheDesignedControls();
    void dropIsRecorded_data();
    void dropIsRecorded();
    void unrecordablePathIsRefusedWhole_data();
    void unrecordablePathIsRefusedWhole();
    void otherDataIsNotAFileList_data();
    void otherDataIsNotAFileList();
    void browserEntryDropIsRecorded_data();
    void browserEntryDropIsRecorded();
    void unrecordableWindowsPathIsRefused_data();
    void unrecordableWindowsPathIsRefused();
    void chooserRecordsThePick_data();
    void chooserRecordsThePick();
    void refusedArchiveShowsTheRecordedOneWhenReopened();
    void clearAllEmptiesTheNineLocations_data();
    void clearAllEmptiesTheNineLocations();
    void closesByItsButtonAndOnFocusLoss();
    void comesInFrontWhileAnEntryIsDragged_data();
    void comesInFrontWhileAnEntryIsDragged();
    void closesWhenAnotherWindowTakesTheFocus_data();
    void closesWhenAnotherWindowTakesTheFocus();
};

void LocationWindowTest::showsTheDesignedControls() {
    OpenLocation open({});
    LocationWindow& location = *open.location;

    QCOMPARE(location.windowTitle(), QStringLiteral("ＬＯＧＯ変更ファイル位置設定"));
    QCOMPARE(location.contentPanel->size(), QSize(392, 227));
    const struct {
        QWidget* control;
        QWidget* container;
        QRect geometry;
    } placed[] = {
        {location.openingPanel, location.contentPanel, {8, 10, 375, 51}},
        {location.openingHeading, location.openingPanel, {4, 5, 101, 12}},
        {location.openingSource, location.openingPanel, {6, 24, 361, 23}},
        {location.middlePanel, location.contentPanel, {8, 66, 375, 51}},
        {location.middleHeading, location.middlePanel, {4, 4, 76, 12}},
        {location.middleSource, location.middlePanel, {6, 24, 361, 23}},
        {location.endingPanel, location.contentPanel, {8, 122, 375, 51}},
        {location.endingHeading, location.endingPanel, {4, 3, 97, 12}},
        {location.endingSource, location.endingPanel, {6, 24, 361, 22}},
        {location.clearAllButton, location.contentPanel, {18, 184, 166, 33}},
        {location.exitButton, location.contentPanel, {206, 184, 166, 32}},
    };
    for (const auto& [control, container, geometry] : placed) {
        QCOMPARE(control->parentWidget(), container);
        QCOMPARE(control->geometry(), geometry);
    }
    QCOMPARE(location.openingHeading->text(), QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ"));
    QCOMPARE(location.middleHeading->text(), QStringLiteral("設定中間ﾌｧｲﾙ"));
    QCOMPARE(location.endingHeading->text(), QStringLiteral("設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ"));
    QCOMPARE(location.clearAllButton->text(), QStringLiteral("設定値ALLｸﾘｱｰ"));
    QCOMPARE(location.exitButton->text(), QStringLiteral("終了"));
    // The values take drops; the headings do not.
    for (QLabel* value : {location.openingSource, location.middleSource, location.endingSource})
        QVERIFY(value->acceptDrops());
    for (QLabel* heading :
         {location.openingHeading, location.middleHeading, location.endingHeading})
        QVERIFY(!heading->acceptDrops());
}

// How a dropped path becomes a picture directory or an archive is the
// session's (tests/core/setup_session_test.cpp); these rows follow a drop
// through the window.
void LocationWindowTest::dropIsRecorded_data() {
    QTest::addColumn<QString>("arcCheck");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("dropped"); // Windows paths, in the order dragged
    QTest::addColumn<QStringList>("values");  // opening, middle, ending
    QTest::addColumn<QStringList>("inMemory");
    QTest::addColumn<QByteArray>("korIni");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("message"); // after a refused drop

    QTest::newRow("BMP: a folder") << "on"
                                   << "openingSource" << QStringList{"C:\\LOGO"}
                                   << QStringList{"C:\\LOGO", "C:\\OLD6", "C:\\OLD2"}
                                   << QStringList{"C:\\LOGO", "C:\\OLD6", "C:\\OLD2"}
                                   << iniWith(BmpModeIni, {"DirOnly=C:\\LOGO"}) << 0 << "";
    QTest::newRow("BMP: a file records its folder")
        << "on"
        << "middleSource" << QStringList{"C:\\LOGO\\A.BMP"}
        << QStringList{"C:\\OLD1", "C:\\LOGO", "C:\\OLD2"}
        << QStringList{"C:\\OLD1", "C:\\LOGO", "C:\\OLD2"}
        << iniWith(BmpModeIni, {"MDirOnly=C:\\LOGO"}) << 0 << "";
    QTest::newRow("BMP: of several items the last counts")
        << "on"
        << "endingSource" << QStringList{"C:\\LOGO\\A.BMP", "D:\\PICS"}
        << QStringList{"C:\\OLD1", "C:\\OLD6", "D:\\PICS"}
        << QStringList{"C:\\OLD1", "C:\\OLD6", "D:\\PICS"}
        << iniWith(BmpModeIni, {"EDirOnly=D:\\PICS"}) << 0 << "";
    QTest::newRow("BMP: Shift-JIS with a 0x5C trail byte")
        << "on"
        << "endingSource" << QStringList{"C:\\表"} << QStringList{"C:\\OLD1", "C:\\OLD6", "C:\\表"}
        << QStringList{"C:\\OLD1", "C:\\OLD6", "C:\\表"}
        << iniWith(BmpModeIni, {"EDirOnly=C:\\\x95\x5C"}) << 0 << "";

    QTest::newRow("archive: an archive")
        << "off"
        << "openingSource" << QStringList{"D:\\ARC\\logo1.lzh"}
        << QStringList{"logo1.lzh", "old6.lzh", ""} << QStringList{"logo1.lzh", "old6.lzh", ""}
        << iniWith(ArchiveModeIni, {"Dir=D:\\ARC", "FileName=logo1.lzh"}) << 0 << "";
    QTest::newRow("archive: directory written before file name")
        << "off"
        << "endingSource" << QStringList{"D:\\ARC\\LOGO2.LZH"}
        << QStringList{"old1.lzh", "old6.lzh", "LOGO2.LZH"}
        << QStringList{"old1.lzh", "old6.lzh", "LOGO2.LZH"}
        << iniWith(ArchiveModeIni, {"EDir=D:\\ARC", "EFileName=LOGO2.LZH"}) << 0 << "";
    QTest::newRow("archive: Shift-JIS names")
        << "off"
        << "openingSource" << QStringList{"C:\\表\\ロゴ.lzh"}
        << QStringList{"ロゴ.lzh", "old6.lzh", ""} << QStringList{"ロゴ.lzh", "old6.lzh", ""}
        << iniWith(ArchiveModeIni, {"Dir=C:\\\x95\x5C", "FileName=\x83\x8D\x83\x53.lzh"}) << 0
        << "";
    QTest::newRow("archive: of several items the last counts")
        << "off"
        << "endingSource" << QStringList{"D:\\ARC\\A.BMP", "D:\\ARC\\logo1.lzh"}
        << QStringList{"old1.lzh", "old6.lzh", "logo1.lzh"}
        << QStringList{"old1.lzh", "old6.lzh", "logo1.lzh"}
        << iniWith(ArchiveModeIni, {"EDir=D:\\ARC", "EFileName=logo1.lzh"}) << 0 << "";
    // Refused: the label is emptied, the recorded archive stays.
    QTest::newRow("archive: not an archive")
        << "off"
        << "middleSource" << QStringList{"D:\\ARC\\A.BMP"} << QStringList{"old1.lzh", "", ""}
        << QStringList{"old1.lzh", "old6.lzh", ""} << iniBytes(ArchiveModeIni) << 1 << NoArchive;
    QTest::newRow("archive: of several items the last is no archive")
        << "off"
        << "openingSource" << QStringList{"D:\\ARC\\logo1.lzh", "D:\\ARC\\A.BMP"}
        << QStringList{"", "old6.lzh", ""} << QStringList{"old1.lzh", "old6.lzh", ""}
        << iniBytes(ArchiveModeIni) << 1 << NoArchive;
}

void LocationWindowTest::dropIsRecorded() {
    QFETCH(QString, arcCheck);
    QFETCH(QString, target);
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, values);
    QFETCH(QStringList, inMemory);
    QFETCH(QByteArray, korIni);
    QFETCH(int, beeps);
    QFETCH(QString, message);
    OpenLocation open(modeIni(arcCheck));
    const bool bmpMode = arcCheck == QStringLiteral("on");
    const QStringList otherModeValues = open.inMemory(bmpMode ? ArchiveModeKeys : BmpModeKeys);
    QStringList hostPaths;
    for (const QString& path : dropped)
        hostPaths << hostPathOf(open.machine, path);

    const kor::testing::DropOutcome outcome =
        kor::testing::dropFiles(open.label(target), hostPaths);

    QVERIFY(outcome.dragAccepted);
    QVERIFY(outcome.dropAccepted);
    QCOMPARE(outcome.action, Qt::CopyAction);
    QCOMPARE(open.values(), values);
    QCOMPARE(open.inMemory(bmpMode ? BmpModeKeys : ArchiveModeKeys), inMemory);
    QCOMPARE(open.korIni(), korIni);
    QCOMPARE(open.beeps(), beeps);
    QCOMPARE(open.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    // A drop leaves the other mode's values, and the archive directories the
    // start-up read, as they were.
    QCOMPARE(open.inMemory(bmpMode ? ArchiveModeKeys : BmpModeKeys), otherModeValues);
    QCOMPARE(open.inMemory(ArchiveDirectoryKeys), DefaultArchiveDirectories);
}

void LocationWindowTest::unrecordablePathIsRefusedWhole_data() {
    QTest::addColumn<QString>("arcCheck");
    QTest::addColumn<QString>("target");
    // Below the machine's root ("c/LOGO"), or "outside/..." for an item
    // outside every drive; a folder with a trailing "/", else a file.
    QTest::addColumn<QString>("hostPath");
    QTest::addColumn<QString>("message");

    QTest::newRow("BMP: outside every drive") << "on"
                                              << "openingSource"
                                              << "outside/PICS/" << OutsideFolder;
    QTest::newRow("archive: outside every drive") << "off"
                                                  << "middleSource"
                                                  << "outside/logo1.lzh" << OutsideFile;
    QTest::newRow("BMP: a line break in a folder name") << "on"
                                                        << "endingSource"
                                                        << "c/LOGO/two\nlines/" << UnwritableFolder;
    // The directory alone could be written; it must not be without its file.
    QTest::newRow("archive: a line break in the archive name")
        << "off"
        << "openingSource"
        << "d/ARC/two\nlines.lzh" << UnwritableFile;
    QTest::newRow("archive: a line break in the directory")
        << "off"
        << "endingSource"
        << "d/two\rlines/logo1.lzh" << UnwritableFile;
    QTest::newRow("BMP: a backslash in a host name names another folder")
        << "on"
        << "middleSource"
        << "c/LOGO\\PICS" << UnwritableFile;
    QTest::newRow("archive: a character CP932 cannot hold") << "off"
                                                            << "openingSource"
                                                            << "d/ARC/🙂.lzh" << UnwritableFile;
}

void LocationWindowTest::unrecordablePathIsRefusedWhole() {
    QFETCH(QString, arcCheck);
    QFETCH(QString, target);
    QFETCH(QString, hostPath);
    QFETCH(QString, message);
    OpenLocation open(modeIni(arcCheck));
    QTemporaryDir outside;
    QVERIFY(outside.isValid());
    const bool isFolder = hostPath.endsWith('/');
    const QString name = isFolder ? hostPath.chopped(1) : hostPath;
    const std::filesystem::path host =
        name.startsWith(QStringLiteral("outside/"))
            ? std::filesystem::path(outside.path().toStdString()) / name.mid(8).toStdString()
            : open.machine.root() / name.toStdString();
    if (isFolder)
        std::filesystem::create_directories(host);
    else
        makeFile(host);
    const QStringList values = open.values();
    const QByteArray korIni = open.korIni();
    const QStringList before = open.inMemory(AllKeys);

    const kor::testing::DropOutcome outcome =
        kor::testing::dropFiles(open.label(target), {QString::fromStdString(host.string())});

    QVERIFY(outcome.dropAccepted);
    QCOMPARE(open.beeps(), 1);
    QCOMPARE(open.messages(), QStringList{message});
    QCOMPARE(open.values(), values);
    QCOMPARE(open.korIni(), korIni);
    QCOMPARE(open.inMemory(AllKeys), before);
}

void LocationWindowTest::otherDataIsNotAFileList_data() {
    QTest::addColumn<QString>("arcCheck");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("urls"); // "C:\..." for a file of the machine

    QTest::newRow("BMP: a path as text") << "on"
                                         << "C:\\LOGO" << QStringList{};
    QTest::newRow("archive: a path as text") << "off"
                                             << "D:\\ARC\\logo1.lzh" << QStringList{};
    QTest::newRow("archive: a web address") << "off"
                                            << "" << QStringList{"https://example.com/logo1.lzh"};
    QTest::newRow("BMP: a file and a web address")
        << "on"
        << "" << QStringList{"C:\\LOGO", "https://example.com/PICS"};
}

void LocationWindowTest::otherDataIsNotAFileList() {
    QFETCH(QString, arcCheck);
    QFETCH(QString, text);
    QFETCH(QStringList, urls);
    OpenLocation open(modeIni(arcCheck));
    QMimeData data;
    if (!text.isEmpty())
        data.setText(text);
    QList<QUrl> addresses;
    for (const QString& url : urls)
        addresses << (url.startsWith(QStringLiteral("C:"))
                          ? QUrl::fromLocalFile(hostPathOf(open.machine, url))
                          : QUrl(url));
    if (!addresses.isEmpty())
        data.setUrls(addresses);
    const QStringList values = open.values();
    const QByteArray korIni = open.korIni();

    for (QLabel* label :
         {open.location->openingSource, open.location->middleSource, open.location->endingSource}) {
        const kor::testing::DropOutcome outcome = kor::testing::dragAndDrop(*label, data);
        QVERIFY(!outcome.dragAccepted);
        QVERIFY(!outcome.dropAccepted);
    }
    QCOMPARE(open.values(), values);
    QCOMPARE(open.korIni(), korIni);
    QCOMPARE(open.beeps(), 0);
    QVERIFY(open.recording.recorder().messages.empty());
}

void LocationWindowTest::browserEntryDropIsRecorded_data() {
    QTest::addColumn<QString>("arcCheck");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("shown");   // the browser's directory
    QTest::addColumn<QString>("list");    // the browser's folderList or fileList
    QTest::addColumn<QString>("dragged"); // the entry's name
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("korIni");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("message"); // after a refused drop

    QTest::newRow("BMP: a folder") << "on"
                                   << "openingSource"
                                   << "D:\\"
                                   << "folderList"
                                   << "PICS" << QStringList{"D:\\PICS", "C:\\OLD6", "C:\\OLD2"}
                                   << iniWith(BmpModeIni, {"DirOnly=D:\\PICS"}) << 0 << "";
    QTest::newRow("BMP: a picture records its folder")
        << "on"
        << "middleSource"
        << "C:\\LOGO"
        << "fileList"
        << "A.BMP" << QStringList{"C:\\OLD1", "C:\\LOGO", "C:\\OLD2"}
        << iniWith(BmpModeIni, {"MDirOnly=C:\\LOGO"}) << 0 << "";
    QTest::newRow("archive: an archive")
        << "off"
        << "endingSource"
        << "C:\\表"
        << "fileList"
        << "ロゴ.lzh" << QStringList{"old1.lzh", "old6.lzh", "ロゴ.lzh"}
        << iniWith(ArchiveModeIni, {"EDir=C:\\\x95\x5C", "EFileName=\x83\x8D\x83\x53.lzh"}) << 0
        << "";
    QTest::newRow("archive: a folder is no archive")
        << "off"
        << "openingSource"
        << "D:\\"
        << "folderList"
        << "ARC" << QStringList{"", "old6.lzh", ""} << iniBytes(ArchiveModeIni) << 1
        << FolderNoArchive;
}

void LocationWindowTest::browserEntryDropIsRecorded() {
    QFETCH(QString, arcCheck);
    QFETCH(QString, target);
    QFETCH(QString, shown);
    QFETCH(QString, list);
    QFETCH(QString, dragged);
    QFETCH(QStringList, values);
    QFETCH(QByteArray, korIni);
    QFETCH(int, beeps);
    QFETCH(QString, message);
    OpenLocation open(modeIni(arcCheck));
    // The user turns to the browser to drag from it; the values stay open.
    open.window->showLogoBrowser();
    kor::setup::LogoBrowser& browser = open.window->logoBrowser();
    QVERIFY(liveWindow<LocationWindow>(*open.window));
    QVERIFY(browser.showDirectory(shown.toStdString()));
    QListWidget& source = *browser.findChild<QListWidget*>(list);
    QListWidgetItem* entry = entryNamed(source, dragged);
    QVERIFY(entry);
    const std::unique_ptr<QMimeData> data(source.model()->mimeData({source.indexFromItem(entry)}));

    // Nothing in it that a file manager would take for a host file.
    QVERIFY(!data->hasUrls());
    QVERIFY(!data->hasText());
    const kor::testing::DropOutcome outcome = kor::testing::dragAndDrop(open.label(target), *data);

    QVERIFY(outcome.dragAccepted);
    QVERIFY(outcome.dropAccepted);
    QCOMPARE(outcome.action, Qt::CopyAction);
    QCOMPARE(open.values(), values);
    QCOMPARE(open.korIni(), korIni);
    QCOMPARE(open.beeps(), beeps);
    QCOMPARE(open.messages(), message.isEmpty() ? QStringList() : QStringList{message});
}

void LocationWindowTest::unrecordableWindowsPathIsRefused_data() {
    QTest::addColumn<QString>("arcCheck");
    QTest::addColumn<QString>("windowsPath");
    QTest::addColumn<QString>("message");

    QTest::newRow("BMP: a missing folder")
        << "on"
        << "C:\\GONE" << QString("ドロップされたファイルが見つかりません。");
    QTest::newRow("archive: a drive not mapped")
        << "off"
        << "Q:\\logo1.lzh" << QString("ドロップされたファイルが見つかりません。");
    QTest::newRow("archive: a path not in its full form")
        << "off"
        << "D:\\ARC\\..\\logo1.lzh" << QString("ドロップされた場所は設定できません。");
}

void LocationWindowTest::unrecordableWindowsPathIsRefused() {
    QFETCH(QString, arcCheck);
    QFETCH(QString, windowsPath);
    QFETCH(QString, message);
    OpenLocation open(modeIni(arcCheck));
    const QStringList values = open.values();
    const QByteArray korIni = open.korIni();
    const QStringList before = open.inMemory(AllKeys);
    const std::unique_ptr<QMimeData> data(kor::setup::windowsPathData(windowsPath.toStdString()));

    const kor::testing::DropOutcome outcome =
        kor::testing::dragAndDrop(*open.location->middleSource, *data);

    QVERIFY(outcome.dropAccepted);
    QCOMPARE(open.beeps(), 1);
    QCOMPARE(open.messages(), QStringList{message});
    QCOMPARE(open.values(), values);
    QCOMPARE(open.korIni(), korIni);
    QCOMPARE(open.inMemory(AllKeys), before);
}

void LocationWindowTest::chooserRecordsThePick_data() {
    QTest::addColumn<QString>("arcCheck");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("opened"); // the directory the user opens
    QTest::addColumn<QString>("picked"); // a subfolder, or an archive; "" for none
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("korIni");

    QTest::newRow("BMP: a subfolder selected")
        << "on"
        << "openingSource"
        << "D:\\"
        << "PICS"
        << "okButton" << QStringList{"D:\\PICS", "C:\\OLD6", "C:\\OLD2"}
        << iniWith(BmpModeIni, {"DirOnly=D:\\PICS"});
    QTest::newRow("BMP: the folder opened")
        << "on"
        << "endingSource"
        << "C:\\表"
        << ""
        << "okButton" << QStringList{"C:\\OLD1", "C:\\OLD6", "C:\\表"}
        << iniWith(BmpModeIni, {"EDirOnly=C:\\\x95\x5C"});
    QTest::newRow("archive: an archive")
        << "off"
        << "middleSource"
        << "D:\\ARC"
        << "LOGO2.LZH"
        << "okButton" << QStringList{"old1.lzh", "LOGO2.LZH", ""}
        << iniWith(ArchiveModeIni, {"MDir=D:\\ARC", "MFileName=LOGO2.LZH"});
    QTest::newRow("BMP: cancelled")
        << "on"
        << "openingSource"
        << "D:\\"
        << "PICS"
        << "cancelButton" << QStringList{"C:\\OLD1", "C:\\OLD6", "C:\\OLD2"}
        << iniBytes(BmpModeIni);
    QTest::newRow("archive: cancelled")
        << "off"
        << "endingSource"
        << "D:\\ARC"
        << "logo1.lzh"
        << "cancelButton" << QStringList{"old1.lzh", "old6.lzh", ""} << iniBytes(ArchiveModeIni);
}

void LocationWindowTest::chooserRecordsThePick() {
    QFETCH(QString, arcCheck);
    QFETCH(QString, target);
    QFETCH(QString, opened);
    QFETCH(QString, picked);
    QFETCH(QString, button);
    QFETCH(QStringList, values);
    QFETCH(QByteArray, korIni);
    OpenLocation open(modeIni(arcCheck));
    const kor::platform::Machine& machine = kor::platform::Machine::current();
    const std::string currentDirectory = machine.currentDirectory();

    const bool shown = withChooser(open.label(target), [&](SourceChooser& chooser) {
        QVERIFY(chooser.driveList->setDrive(opened.toStdString()));
        QVERIFY(chooser.folderList->setPath(opened.toStdString()));
        if (!picked.isEmpty()) {
            QListWidget& list = arcCheck == QStringLiteral("on")
                                    ? static_cast<QListWidget&>(*chooser.folderList)
                                    : static_cast<QListWidget&>(*chooser.fileList);
            QListWidgetItem* entry = entryNamed(list, picked);
            QVERIFY(entry);
            list.setCurrentItem(entry);
        }
        QTest::mouseClick(chooser.findChild<QPushButton*>(button), Qt::LeftButton);
    });

    QVERIFY(shown);
    QCOMPARE(open.values(), values);
    QCOMPARE(open.korIni(), korIni);
    QCOMPARE(open.beeps(), 0);
    QVERIFY(open.recording.recorder().messages.empty());
    // The browser finds bare archive names in the current directory; picking
    // elsewhere must not move it.
    QCOMPARE(machine.currentDirectory(), currentDirectory);
}

void LocationWindowTest::refusedArchiveShowsTheRecordedOneWhenReopened() {
    OpenLocation open(ArchiveModeIni);
    kor::testing::dropFiles(*open.location->openingSource,
                            {hostPathOf(open.machine, QStringLiteral("D:\\ARC\\A.BMP"))});
    QCOMPARE(open.location->openingSource->text(), QString());

    QTest::mouseClick(open.location->exitButton, Qt::LeftButton);
    QVERIFY(!liveWindow<LocationWindow>(*open.window));
    open.openLocation();
    QCOMPARE(open.values(), QStringList({"old1.lzh", "old6.lzh", ""}));
}

void LocationWindowTest::clearAllEmptiesTheNineLocations_data() {
    QTest::addColumn<QByteArrayList>("ini");
    QTest::addColumn<QByteArray>("cleared");
    QTest::addColumn<QStringList>("archiveDirectories"); // in memory, kept

    const QByteArrayList locations{"Dir=D:\\ARC",     "FileName=a.lzh",  "MDir=D:\\ARC",
                                   "MFileName=b.lzh", "EDir=D:\\ARC",    "EFileName=c.lzh",
                                   "DirOnly=C:\\P1",  "MDirOnly=C:\\P2", "EDirOnly=C:\\P3"};
    const QByteArrayList empty{"Dir=",       "FileName=", "MDir=",     "MFileName=", "EDir=",
                               "EFileName=", "DirOnly=",  "MDirOnly=", "EDirOnly="};
    const QByteArrayList options{"pc98Check=on", "sizecheck=off"};
    const QStringList onD{"D:\\ARC", "D:\\ARC", "D:\\ARC"};
    QTest::newRow("BMP mode") << (QByteArrayList{"ArcCheck=on"} + locations + options)
                              << iniBytes(QByteArrayList{"ArcCheck=on"} + empty + options) << onD;
    QTest::newRow("archive mode") << (locations + QByteArrayList{"ArcCheck=off"} + options)
                                  << iniBytes(empty + QByteArrayList{"ArcCheck=off"} + options)
                                  << onD;
    // Keys written anew follow one another in the order they are cleared.
    QTest::newRow("archive mode, no KOR.INI yet")
        << QByteArrayList{} << iniBytes(empty) << DefaultArchiveDirectories;
}

void LocationWindowTest::clearAllEmptiesTheNineLocations() {
    QFETCH(QByteArrayList, ini);
    QFETCH(QByteArray, cleared);
    QFETCH(QStringList, archiveDirectories);
    OpenLocation open(ini);
    const QStringList headings{open.location->openingHeading->text(),
                               open.location->middleHeading->text(),
                               open.location->endingHeading->text()};
    const QStringList options = open.inMemory({"ArcCheck", "pc98Check", "sizecheck"});

    QTest::mouseClick(open.location->clearAllButton, Qt::LeftButton);

    QCOMPARE(open.korIni(), cleared);
    QCOMPARE(open.values(), QStringList({"", "", ""}));
    QCOMPARE(open.inMemory(BmpModeKeys + ArchiveModeKeys), QStringList({"", "", "", "", "", ""}));
    QCOMPARE(open.inMemory(ArchiveDirectoryKeys), archiveDirectories);
    QCOMPARE(open.inMemory({"ArcCheck", "pc98Check", "sizecheck"}), options);
    QCOMPARE(
        QStringList({open.location->openingHeading->text(), open.location->middleHeading->text(),
                     open.location->endingHeading->text()}),
        headings);
    QCOMPARE(open.beeps(), 0);

    // Reopened, in either mode, the values stay empty.
    for (int reopened = 0; reopened < 2; ++reopened) {
        open.window->findChild<QAction*>(QStringLiteral("optionsAction"))->trigger();
        auto* options = liveWindow<kor::setup::OptionsWindow>(*open.window);
        QTest::mouseClick(options->bmpModeBox, Qt::LeftButton);
        open.openLocation();
        QCOMPARE(open.values(), QStringList({"", "", ""}));
    }
}

void LocationWindowTest::closesByItsButtonAndOnFocusLoss() {
    OpenLocation open(BmpModeIni);
    QPointer<LocationWindow> location = open.location;
    QVERIFY(location->isVisible());
    QTest::mouseClick(location->exitButton, Qt::LeftButton);
    QTRY_VERIFY(location.isNull());

    open.openLocation();
    location = open.location;
    kor::testing::dropFiles(*location->openingSource,
                            {hostPathOf(open.machine, QStringLiteral("C:\\LOGO"))});
    open.window->findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
    QTRY_VERIFY(location.isNull());
    // What was dropped was written at the drop; closing writes nothing more.
    QCOMPARE(open.korIni(), iniWith(BmpModeIni, {"DirOnly=C:\\LOGO"}));
}

// Drags `name` of the browser's `list` down with the mouse, running `during`
// while the drag is under way; false when no drag started.
bool dragFromBrowser(LogoBrowser& browser, const QString& list, const QString& name,
                     const std::function<void()>& during) {
    QListWidget& source = *browser.findChild<QListWidget*>(list);
    const QListWidgetItem* entry = entryNamed(source, name);
    if (!entry)
        return false;
    bool started = false;
    const QMetaObject::Connection watch =
        QObject::connect(&browser, &LogoBrowser::entryDragStarted, [&] {
            started = true;
            during();
        });
    dragBy(*source.viewport(), source.visualItemRect(entry).center(), QPoint(0, 40));
    QObject::disconnect(watch);
    return started;
}

void LocationWindowTest::comesInFrontWhileAnEntryIsDragged_data() {
    QTest::addColumn<QString>("arcCheck");
    QTest::addColumn<QString>("shown");   // the browser's directory
    QTest::addColumn<QString>("list");    // the browser's folderList or fileList
    QTest::addColumn<QString>("dragged"); // the entry's name

    QTest::newRow("BMP: a folder") << "on"
                                   << "C:\\"
                                   << "folderList"
                                   << "LOGO";
    QTest::newRow("archive: an archive") << "off"
                                         << "D:\\"
                                         << "fileList"
                                         << "logo1.lzh";
}

void LocationWindowTest::comesInFrontWhileAnEntryIsDragged() {
    QFETCH(QString, arcCheck);
    QFETCH(QString, shown);
    QFETCH(QString, list);
    QFETCH(QString, dragged);
    OpenLocation open(modeIni(arcCheck));
    const QRect placed = open.location->geometry();
    open.window->showLogoBrowser();
    LogoBrowser& browser = open.window->logoBrowser();
    QVERIFY(browser.showDirectory(shown.toStdString()));
    QMdiArea& area = *browser.mdiArea();
    const auto front = [&area] { return area.subWindowList(QMdiArea::StackingOrder).back(); };
    QCOMPARE(front(), &browser);

    QMdiSubWindow* frontDuring = nullptr;
    QMdiSubWindow* activeDuring = nullptr;
    QVERIFY(dragFromBrowser(browser, list, dragged, [&] {
        frontDuring = front();
        activeDuring = area.activeSubWindow();
    }));

    // In front to take the drop, where it was, and the browser keeps the
    // focus; afterwards the browser is in front again.
    QCOMPARE(frontDuring, open.location);
    QCOMPARE(activeDuring, &browser);
    QVERIFY(liveWindow<LocationWindow>(*open.window));
    QCOMPARE(open.location->geometry(), placed);
    QCOMPARE(front(), &browser);
    QCOMPARE(area.activeSubWindow(), &browser);
}

void LocationWindowTest::closesWhenAnotherWindowTakesTheFocus_data() {
    // The windows that take the focus in turn, once the location window is
    // open; "drag" is the about window during a drag from the browser, which
    // keeps the location window open until the drag ends.
    QTest::addColumn<QStringList>("turns");
    QTest::addColumn<bool>("staysOpen");

    QTest::newRow("the about window") << QStringList{"about"} << false;
    QTest::newRow("the browser") << QStringList{"browser"} << true;
    QTest::newRow("the about window after the browser") << QStringList{"browser", "about"} << false;
    QTest::newRow("the image display after the browser")
        << QStringList{"browser", "display"} << false;
    QTest::newRow("the about window during a drag from the browser")
        << QStringList{"browser", "drag"} << false;
}

void LocationWindowTest::closesWhenAnotherWindowTakesTheFocus() {
    QFETCH(QStringList, turns);
    QFETCH(bool, staysOpen);
    OpenLocation open(BmpModeIni);
    open.machine.writeFile("C:\\LOGO\\A.BMP", kor::testing::logoBitmap(kor::testing::Quarters));
    QPointer<LocationWindow> location = open.location;
    const auto showAbout = [&open] {
        open.window->findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
    };

    for (const QString& turn : turns) {
        LogoBrowser& browser = open.window->logoBrowser();
        if (turn == QStringLiteral("browser")) {
            open.window->showLogoBrowser();
            QVERIFY(browser.showDirectory("C:\\LOGO"));
        } else if (turn == QStringLiteral("about")) {
            showAbout();
        } else if (turn == QStringLiteral("display")) {
            browser.fileList->setCurrentItem(entryNamed(*browser.fileList, "A.BMP"));
            QTest::mouseClick(browser.viewButton, Qt::LeftButton);
            QVERIFY(liveWindow<kor::setup::ImageDisplay>(*open.window));
        } else {
            // Open for the drop while the drag lasts, closed once it ends.
            bool openDuringDrag = false;
            QVERIFY(dragFromBrowser(browser, "fileList", "A.BMP", [&] {
                showAbout();
                openDuringDrag = liveWindow<LocationWindow>(*open.window) != nullptr;
            }));
            QVERIFY(openDuringDrag);
        }
    }

    QVERIFY(open.window->findChild<QMdiArea*>()->activeSubWindow() !=
            static_cast<QMdiSubWindow*>(location));
    QCOMPARE(!liveWindow<LocationWindow>(*open.window), !staysOpen);
}

QTEST_MAIN(LocationWindowTest)
#include "location_window_test.moc"
