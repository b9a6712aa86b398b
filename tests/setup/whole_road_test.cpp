// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road from the setup program to the changer: the mode and the
// picture sources are set through korsetup's windows, by a tick and by drops
// from the file manager; then the built KOR, run unattended on the same
// machine, installs pictures from exactly those sources.

#include "drop_support.h"
#include "location_window.h"
#include "main_window.h"
#include "options_window.h"
#include "recording_services.h"
#include "window_test_support.h"

#include "lzh_writer.h"
#include "run_program.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include <random>
#include <set>
#include <string>
#include <vector>

using kor::setup::LocationWindow;
using kor::setup::MainWindow;
using kor::setup::OptionsWindow;
using kor::testing::liveWindow;
using kor::testing::TemporaryMachine;

namespace {

constexpr std::size_t LogoLength = 129078;
constexpr std::string_view KorIni = "C:\\WINDOWS\\KOR.INI";
// Runs of KOR per mode; each draws anew.
constexpr int Runs = 6;

// A bitmap of the logo length whose bytes follow from `seed`.
std::string picture(unsigned seed) {
    std::string bytes(LogoLength, '\0');
    std::mt19937 pattern(seed);
    for (char& byte : bytes)
        byte = static_cast<char>(pattern() & 0xFF);
    return kor::testing::withBitmapStart(std::move(bytes));
}

void triggerMenuItem(MainWindow& window, const char* name) {
    window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
}

// Opens the options window and clicks "BMPﾌｧｲﾙを使用" into `bmpMode`.
void clickBmpMode(MainWindow& window, bool bmpMode) {
    triggerMenuItem(window, "optionsAction");
    OptionsWindow* options = liveWindow<OptionsWindow>(window);
    QVERIFY(options && options->isVisible());
    QCOMPARE(options->bmpModeBox->isChecked(), !bmpMode);
    QTest::mouseClick(options->bmpModeBox, Qt::LeftButton);
    QCOMPARE(options->bmpModeBox->isChecked(), bmpMode);
}

// Drags the items at these Windows paths from the file manager onto `label`.
void dropItems(const TemporaryMachine& machine, QLabel* label, const QStringList& windowsPaths) {
    QStringList hostPaths;
    for (const QString& path : windowsPaths)
        hostPaths << kor::testing::hostPathOf(machine, path);
    QVERIFY(kor::testing::dropFiles(*label, hostPaths).dropAccepted);
}

kor::testing::ProgramRun runKor(const TemporaryMachine& machine) {
    return kor::testing::runProgram(
        KOR_PROGRAM, {{"KOR_ROOT", machine.root().string()}, {"WINDIR", "C:\\WINDOWS"}});
}

struct Logos {
    std::string opening;
    std::string middle;
    std::string ending;
};

Logos logos(const TemporaryMachine& machine) {
    return {machine.readFile("C:\\logo.sys"), machine.readFile("C:\\WINDOWS\\logow.sys"),
            machine.readFile("C:\\WINDOWS\\logos.sys")};
}

// The logos a machine has before any change, unlike every picture drawn.
void writeOldLogos(const TemporaryMachine& machine) {
    machine.writeFile("C:\\logo.sys", picture(100));
    machine.writeFile("C:\\WINDOWS\\logow.sys", picture(101));
    machine.writeFile("C:\\WINDOWS\\logos.sys", picture(102));
}

// Runs KOR several times; each run must end well and put in every logo a
// picture of its own set.
void expectRunsDrawFrom(const TemporaryMachine& machine, const std::set<std::string>& opening,
                        const std::set<std::string>& middle, const std::set<std::string>& ending) {
    for (int run = 0; run < Runs; ++run) {
        const kor::testing::ProgramRun result = runKor(machine);
        QVERIFY2(result.exitStatus == 0 && result.standardError.empty(),
                 result.standardError.c_str());
        const Logos now = logos(machine);
        QVERIFY(opening.contains(now.opening));
        QVERIFY(middle.contains(now.middle));
        QVERIFY(ending.contains(now.ending));
    }
}

} // namespace

class WholeRoadTest : public QObject {
    Q_OBJECT

  private slots:
    void bmpModeDrawsFromTheDroppedFolders();
    void archiveModeDrawsFromTheDroppedArchives();
};

void WholeRoadTest::bmpModeDrawsFromTheDroppedFolders() {
    TemporaryMachine machine;
    machine.addDrive('D');
    writeOldLogos(machine);
    machine.writeFile("C:\\PICS\\OPEN\\O1.BMP", picture(1));
    machine.writeFile("C:\\PICS\\OPEN\\O2.BMP", picture(2));
    machine.writeFile("D:\\MID\\M1.BMP", picture(3));
    machine.writeFile("D:\\MID\\M2.BMP", picture(4));
    machine.writeFile("C:\\PICS\\END\\E1.BMP", picture(5));
    // Pictures beside the sources, which no run may take.
    machine.writeFile("C:\\PICS\\DECOY.BMP", picture(6));
    machine.writeFile("D:\\OTHER\\X.BMP", picture(7));
    {
        kor::testing::RecordingScope recording;
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        clickBmpMode(window, true);
        triggerMenuItem(window, "locationAction");
        LocationWindow* location = liveWindow<LocationWindow>(window);
        QVERIFY(location && location->isVisible());
        QCOMPARE(location->openingHeading->text(), QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞDIR"));

        dropItems(machine, location->openingSource, {"C:\\PICS\\OPEN"});
        dropItems(machine, location->middleSource, {"D:\\MID"});
        // A picture dropped stands for its folder.
        dropItems(machine, location->endingSource, {"C:\\PICS\\END\\E1.BMP"});
        QCOMPARE(QStringList({location->openingSource->text(), location->middleSource->text(),
                              location->endingSource->text()}),
                 QStringList({"C:\\PICS\\OPEN", "D:\\MID", "C:\\PICS\\END"}));
        QCOMPARE(recording.recorder().beeps, 0);
        QVERIFY(recording.recorder().messages.empty());
    }
    QCOMPARE(machine.readFile(KorIni),
             kor::testing::koriniText({"ArcCheck=on", "DirOnly=C:\\PICS\\OPEN", "MDirOnly=D:\\MID",
                                       "EDirOnly=C:\\PICS\\END"}));

    expectRunsDrawFrom(machine, {picture(1), picture(2)}, {picture(3), picture(4)}, {picture(5)});
}

void WholeRoadTest::archiveModeDrawsFromTheDroppedArchives() {
    TemporaryMachine machine;
    machine.addDrive('D');
    writeOldLogos(machine);
    auto writeArchive = [&](const char* path, const std::vector<unsigned>& seeds) {
        std::vector<kor::testing::LzhMember> members;
        for (unsigned seed : seeds)
            members.push_back({"P" + std::to_string(seed) + ".BMP", picture(seed)});
        machine.writeFile(path, kor::testing::makeLzhArchive(members));
    };
    writeArchive("C:\\ARC\\OPEN.LZH", {1, 2});
    writeArchive("D:\\ARC\\MID.lzh", {3});
    writeArchive("C:\\END.LZH", {4, 5});
    writeArchive("C:\\ARC\\DECOY.LZH", {6});
    // A picture folder of an earlier session in BMP mode, which archive mode
    // must leave alone.
    machine.writeFile("C:\\PICS\\OLD.BMP", picture(7));
    machine.writeFile(KorIni, kor::testing::koriniText({"ArcCheck=on", "DirOnly=C:\\PICS"}));
    {
        kor::testing::RecordingScope recording;
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        clickBmpMode(window, false);
        triggerMenuItem(window, "locationAction");
        LocationWindow* location = liveWindow<LocationWindow>(window);
        QVERIFY(location && location->isVisible());
        QCOMPARE(location->openingHeading->text(), QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ"));

        dropItems(machine, location->openingSource, {"C:\\ARC\\OPEN.LZH"});
        dropItems(machine, location->middleSource, {"D:\\ARC\\MID.lzh"});
        // Of several archives dropped at once the last one counts.
        dropItems(machine, location->endingSource, {"C:\\ARC\\DECOY.LZH", "C:\\END.LZH"});
        QCOMPARE(QStringList({location->openingSource->text(), location->middleSource->text(),
                              location->endingSource->text()}),
                 QStringList({"OPEN.LZH", "MID.lzh", "END.LZH"}));
        QCOMPARE(recording.recorder().beeps, 0);
        QVERIFY(recording.recorder().messages.empty());
    }
    QCOMPARE(machine.readFile(KorIni),
             kor::testing::koriniText({"ArcCheck=off", "DirOnly=C:\\PICS", "Dir=C:\\ARC",
                                       "FileName=OPEN.LZH", "MDir=D:\\ARC", "MFileName=MID.lzh",
                                       "EDir=C:", "EFileName=END.LZH"}));

    expectRunsDrawFrom(machine, {picture(1), picture(2)}, {picture(3)}, {picture(4), picture(5)});
    // Every extracted member was consumed by its installation.
    for (const char* folder : {"C:\\WINDOWS\\", "C:\\"})
        for (unsigned seed = 1; seed <= 6; ++seed)
            QVERIFY(!machine.exists(folder + ("P" + std::to_string(seed) + ".BMP")));
}

QTEST_MAIN(WholeRoadTest)
#include "whole_road_test.moc"
