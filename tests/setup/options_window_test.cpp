// SPDX-License-Identifier: GPL-3.0-or-later
// The options window: its ticks come from memory, every click is written to
// KOR.INI at once, the no-size-check box greys the PC-98 box, and the logo
// browser and the location window follow the picture-source mode it puts in
// force.

#include "location_window.h"
#include "logo_browser.h"
#include "main_window.h"
#include "options_window.h"
#include "recording_services.h"
#include "window_test_support.h"

#include "platform/machine.h"
#include "platform/profile.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <memory>

using kor::setup::LocationWindow;
using kor::setup::LogoBrowser;
using kor::setup::MainWindow;
using kor::setup::OptionsWindow;
using kor::testing::koriniText;
using kor::testing::liveWindow;

namespace {

constexpr std::string_view KorIni = "C:\\WINDOWS\\KOR.INI";

// A fresh machine with KOR.INI holding `ini` (none when empty), and the
// main window with its options window open.
struct OpenOptions {
    explicit OpenOptions(const QStringList& ini) {
        if (!ini.isEmpty())
            machine.writeFile(KorIni, koriniText(ini));
        window = std::make_unique<MainWindow>();
        window->show();
        static_cast<void>(QTest::qWaitForWindowExposed(window.get()));
        window->findChild<QAction*>(QStringLiteral("optionsAction"))->trigger();
        options = liveWindow<OptionsWindow>(*window);
    }

    std::string iniValue(std::string_view key) const {
        return kor::platform::readProfileString("SaveDir", key, "(absent)", KorIni)
            .valueOr("(unreadable)");
    }

    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    std::unique_ptr<MainWindow> window;
    OptionsWindow* options = nullptr;
};

QCheckBox* box(OptionsWindow& options, const QString& name) {
    return options.findChild<QCheckBox*>(name);
}

} // namespace

class OptionsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheDesignedControls();
    void ticksComeFromMemory_data();
    void ticksComeFromMemory();
    void clickIsWrittenAtOnce_data();
    void clickIsWrittenAtOnce();
    void firstClickCreatesKorIni();
    void sizeCheckGreysPc98();
    void aFailedWriteShowsWhatIsStored_data();
    void aFailedWriteShowsWhatIsStored();
    void otherWindowsFollowTheMode_data();
    void otherWindowsFollowTheMode();
    void capitalOnStaysInTheFileUntilClicked();
};

void OptionsWindowTest::showsTheDesignedControls() {
    OpenOptions open({});
    OptionsWindow& options = *open.options;

    QCOMPARE(options.windowTitle(), QStringLiteral("オプション設定"));
    QCOMPARE(options.pictureSourceGroup->title(), QStringLiteral("非圧縮ﾌｧｲﾙ"));
    QCOMPARE(options.bmpModeBox->parentWidget(), options.pictureSourceGroup);
    QCOMPARE(options.bmpModeBox->text(), QStringLiteral("BMPﾌｧｲﾙを使用"));
    QCOMPARE(options.pc98Box->text(), QStringLiteral("  PC98ｼﾘｰｽﾞ  "));
    QCOMPARE(options.noSizeCheckBox->text(), QStringLiteral("  ｻｲｽﾞﾁｪｯｸ無し"));
    QCOMPARE(options.exitButton->text(), QStringLiteral("終了"));
    QCOMPARE(options.pictureSourceGroup->geometry(), QRect(8, 8, 119, 57));
    QCOMPARE(options.bmpModeBox->geometry(), QRect(6, 18, 107, 31));
    QCOMPARE(options.pc98Box->geometry(), QRect(138, 8, 100, 21));
    QCOMPARE(options.noSizeCheckBox->geometry(), QRect(138, 44, 100, 21));
    QCOMPARE(options.exitButton->geometry(), QRect(8, 76, 231, 25));
}

void OptionsWindowTest::ticksComeFromMemory_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<bool>("bmpMode");
    QTest::addColumn<bool>("pc98");
    QTest::addColumn<bool>("noSizeCheck");

    QTest::newRow("no option keys") << QStringList{} << false << false << false;
    QTest::newRow("BMP mode") << QStringList{"ArcCheck=on"} << true << false << false;
    QTest::newRow("PC-98") << QStringList{"pc98Check=on"} << false << true << false;
    QTest::newRow("no size check") << QStringList{"sizecheck=on"} << false << false << true;
    QTest::newRow("PC-98 and no size check")
        << QStringList{"pc98Check=on", "sizecheck=on"} << false << true << true;
    QTest::newRow("off everywhere")
        << QStringList{"ArcCheck=off", "pc98Check=off", "sizecheck=off"} << false << false << false;
    QTest::newRow("capital ON is not on")
        << QStringList{"ArcCheck=ON", "pc98Check=ON", "sizecheck=ON"} << false << false << false;
}

void OptionsWindowTest::ticksComeFromMemory() {
    QFETCH(QStringList, ini);
    QFETCH(bool, bmpMode);
    QFETCH(bool, pc98);
    QFETCH(bool, noSizeCheck);
    OpenOptions open(ini);
    const std::string before = open.machine.exists(KorIni) ? open.machine.readFile(KorIni) : "";

    QVERIFY(open.options->isVisible());
    QCOMPARE(open.options->bmpModeBox->isChecked(), bmpMode);
    QCOMPARE(open.options->pc98Box->isChecked(), pc98);
    QCOMPARE(open.options->noSizeCheckBox->isChecked(), noSizeCheck);
    QCOMPARE(open.options->pc98Box->isEnabled(), !noSizeCheck);
    // Opening writes nothing.
    QCOMPARE(open.machine.exists(KorIni) ? open.machine.readFile(KorIni) : "", before);
}

void OptionsWindowTest::clickIsWrittenAtOnce_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("written");

    QTest::newRow("BMP mode on") << "bmpModeBox" << QStringList{"pc98Check=off"} << "ArcCheck"
                                 << "on";
    QTest::newRow("BMP mode off") << "bmpModeBox" << QStringList{"ArcCheck=on"} << "ArcCheck"
                                  << "off";
    QTest::newRow("BMP mode from capital ON")
        << "bmpModeBox" << QStringList{"ArcCheck=ON"} << "ArcCheck"
        << "on";
    QTest::newRow("PC-98 on") << "pc98Box" << QStringList{"ArcCheck=on"} << "pc98Check"
                              << "on";
    QTest::newRow("PC-98 off") << "pc98Box" << QStringList{"pc98Check=on"} << "pc98Check"
                               << "off";
    QTest::newRow("no size check on")
        << "noSizeCheckBox" << QStringList{"ArcCheck=off"} << "sizecheck"
        << "on";
    QTest::newRow("no size check off")
        << "noSizeCheckBox" << QStringList{"sizecheck=on"} << "sizecheck"
        << "off";
}

void OptionsWindowTest::clickIsWrittenAtOnce() {
    QFETCH(QString, boxName);
    QFETCH(QStringList, ini);
    QFETCH(QString, key);
    QFETCH(QString, written);
    OpenOptions open(ini);
    QCheckBox* clicked = box(*open.options, boxName);
    QVERIFY(clicked);

    QTest::mouseClick(clicked, Qt::LeftButton);

    QCOMPARE(clicked->isChecked(), written == QStringLiteral("on"));
    QCOMPARE(QString::fromStdString(open.iniValue(key.toStdString())), written);
    kor::core::Settings inMemory = open.window->state().settings;
    QCOMPARE(QString::fromStdString(*kor::core::settingValue(inMemory, key.toStdString())),
             written);
    // The other lines stay as they were.
    for (const QString& line : ini) {
        const QString otherKey = line.section(QLatin1Char('='), 0, 0);
        if (otherKey != key)
            QCOMPARE(QString::fromStdString(open.iniValue(otherKey.toStdString())),
                     line.section(QLatin1Char('='), 1));
    }
}

void OptionsWindowTest::firstClickCreatesKorIni() {
    OpenOptions open({});
    QVERIFY(!open.machine.exists(KorIni));

    QTest::mouseClick(open.options->pc98Box, Qt::LeftButton);
    QCOMPARE(open.machine.readFile(KorIni), std::string("[SaveDir]\r\npc98Check=on\r\n"));
    QTest::mouseClick(open.options->bmpModeBox, Qt::LeftButton);
    QCOMPARE(open.machine.readFile(KorIni),
             std::string("[SaveDir]\r\npc98Check=on\r\nArcCheck=on\r\n"));
}

void OptionsWindowTest::sizeCheckGreysPc98() {
    OpenOptions open({"pc98Check=on"});
    OptionsWindow& options = *open.options;
    QVERIFY(options.pc98Box->isEnabled());

    QTest::mouseClick(options.noSizeCheckBox, Qt::LeftButton);
    QVERIFY(!options.pc98Box->isEnabled());
    QVERIFY(options.pc98Box->isChecked());
    QCOMPARE(open.iniValue("sizecheck"), std::string("on"));
    // A greyed box takes no clicks.
    QTest::mouseClick(options.pc98Box, Qt::LeftButton);
    QVERIFY(options.pc98Box->isChecked());
    QCOMPARE(open.iniValue("pc98Check"), std::string("on"));

    QTest::mouseClick(options.noSizeCheckBox, Qt::LeftButton);
    QVERIFY(options.pc98Box->isEnabled());
    QVERIFY(options.pc98Box->isChecked());
    QCOMPARE(open.iniValue("sizecheck"), std::string("off"));
    QCOMPARE(open.iniValue("pc98Check"), std::string("on"));
}

void OptionsWindowTest::aFailedWriteShowsWhatIsStored_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<QString>("key");

    QTest::newRow("BMP mode") << "bmpModeBox" << QStringList{"ArcCheck=off"} << "ArcCheck";
    QTest::newRow("BMP mode from capital ON")
        << "bmpModeBox" << QStringList{"ArcCheck=ON"} << "ArcCheck";
    QTest::newRow("PC-98") << "pc98Box" << QStringList{"pc98Check=on"} << "pc98Check";
    QTest::newRow("no size check")
        << "noSizeCheckBox" << QStringList{"pc98Check=on"} << "sizecheck";
    QTest::newRow("no size check off")
        << "noSizeCheckBox" << QStringList{"sizecheck=on"} << "sizecheck";
}

// A read-only KOR.INI (as Windows marks a file, which stops root too) takes
// no click: the failure is said once, and the boxes, their greying and
// memory stay as they were.
void OptionsWindowTest::aFailedWriteShowsWhatIsStored() {
    QFETCH(QString, boxName);
    QFETCH(QStringList, ini);
    QFETCH(QString, key);
    OpenOptions open(ini);
    OptionsWindow& options = *open.options;
    const auto boxes = [&] {
        QStringList shown;
        for (QCheckBox* each : {options.bmpModeBox, options.pc98Box, options.noSizeCheckBox})
            shown << each->objectName() + (each->isChecked() ? "=ticked" : "=unticked") +
                         (each->isEnabled() ? "" : ", grey");
        return shown;
    };
    const QStringList before = boxes();
    kor::core::Settings inMemory = open.window->state().settings;
    const std::string file = open.machine.readFile(KorIni);
    std::filesystem::permissions(open.machine.host(KorIni), std::filesystem::perms::owner_read);

    QTest::mouseClick(box(options, boxName), Qt::LeftButton);

    QCOMPARE(boxes(), before);
    const std::string name = key.toStdString();
    kor::core::Settings now = open.window->state().settings;
    QCOMPARE(*kor::core::settingValue(now, name), *kor::core::settingValue(inMemory, name));
    QCOMPARE(open.machine.readFile(KorIni), file);
    const QStringList told = kor::testing::shownMessages(open.recording);
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.front().contains(QStringLiteral("KOR.INI")), qPrintable(told.front()));
}

void OptionsWindowTest::otherWindowsFollowTheMode_data() {
    QTest::addColumn<QStringList>("ini");
    QTest::addColumn<bool>("bmpModeAfterClick");
    QTest::addColumn<int>("browserHeight");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("headings"); // opening, middle, ending
    QTest::addColumn<QStringList>("values");   // opening, middle, ending

    const QStringList locations{"DirOnly=C:\\OPEN",  "MDirOnly=C:\\MID",  "EDirOnly=C:\\END",
                                "FileName=open.lzh", "MFileName=mid.lzh", "EFileName=end.lzh"};
    // 2190 twips in BMP mode, 5430 in archive mode.
    QTest::newRow("ticked: BMP mode")
        << locations << true << 146 << QStringList{"a.BMP", "b.bmp"}
        << QStringList{"設定ｵｰﾌﾟﾆﾝｸﾞDIR", "設定中間DIR", "設定ｴﾝﾃﾞｨﾝｸﾞDIR"}
        << QStringList{"C:\\OPEN", "C:\\MID", "C:\\END"};
    QTest::newRow("unticked: archive mode")
        << (QStringList(locations) << "ArcCheck=on") << false << 362
        << QStringList{"c.lzh", "d.LZH"}
        << QStringList{"設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ", "設定中間ﾌｧｲﾙ", "設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ"}
        << QStringList{"open.lzh", "mid.lzh", "end.lzh"};
}

void OptionsWindowTest::otherWindowsFollowTheMode() {
    QFETCH(QStringList, ini);
    QFETCH(bool, bmpModeAfterClick);
    QFETCH(int, browserHeight);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, headings);
    QFETCH(QStringList, values);
    OpenOptions open(ini);
    // The options window closed the browser; a fresh one starts at the
    // current directory and shows the mode clicked.
    QVERIFY(!liveWindow<LogoBrowser>(*open.window));
    const std::string here = kor::platform::Machine::current().currentDirectory();
    const std::string folder = here.ends_with('\\') ? here : here + '\\';
    for (const char* name : {"a.BMP", "b.bmp", "c.lzh", "d.LZH", "e.txt"})
        open.machine.writeFile(folder + name, "");

    QTest::mouseClick(open.options->bmpModeBox, Qt::LeftButton);
    QCOMPARE(open.options->bmpModeBox->isChecked(), bmpModeAfterClick);

    const std::string mode = bmpModeAfterClick ? "on" : "off";
    QCOMPARE(open.window->state().settings.ArcCheck, mode);
    QCOMPARE(open.iniValue("ArcCheck"), mode);

    LogoBrowser* browser = &open.window->logoBrowser();
    QCOMPARE(browser->fileList->path(), here);
    QCOMPARE(browser->height(), browserHeight);
    QCOMPARE(browser->fileList->pattern(), bmpModeAfterClick ? "*.BMP" : "*.lzh");
    QCOMPARE(browser->fileList->names(), listed);

    LocationWindow* location = &open.window->locationWindow();
    QCOMPARE(QStringList({location->openingHeading->text(), location->middleHeading->text(),
                          location->endingHeading->text()}),
             headings);
    QCOMPARE(QStringList({location->openingSource->text(), location->middleSource->text(),
                          location->endingSource->text()}),
             values);
}

void OptionsWindowTest::capitalOnStaysInTheFileUntilClicked() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    machine.writeFile(KorIni, koriniText({"ArcCheck=ON"}));
    MainWindow window;
    QCOMPARE(window.state().settings.ArcCheck, std::string("ON"));

    // Loading puts the mode the box shows, archive mode, in force in memory.
    OptionsWindow& options = window.optionsWindow();
    QVERIFY(!options.bmpModeBox->isChecked());
    QCOMPARE(window.state().settings.ArcCheck, std::string("off"));
    QCOMPARE(machine.readFile(KorIni), koriniText({"ArcCheck=ON"}));
}

QTEST_MAIN(OptionsWindowTest)
#include "options_window_test.moc"
