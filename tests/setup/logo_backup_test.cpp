// SPDX-License-Identifier: GPL-3.0-or-later
// The logo backup of the menu item "ＬＯＧＯファイルバックアップ": it asks, copies
// logo.sys, logow.sys and logos.sys into korback in the Windows directory, and
// says how it went.

#include "main_window.h"
#include "recording_services.h"
#include "window_test_support.h"

#include <QAction>
#include <QTest>

#include <filesystem>

using kor::platform::Answer;
using kor::setup::MainWindow;

namespace {

const std::string Question = "現在のＬＯＧＯファイルをバックアップします、よろしいですか？";
const std::string Done = "バックアップ終了";
const std::string NotFound =
    "バックアップするためのファイルが見つかりませんでした、確認してください。";

struct Logo {
    std::string path;
    std::string copy;
};

const Logo Logos[] = {
    {"C:\\logo.sys", "C:\\WINDOWS\\korback\\logo.sys"},
    {"C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\korback\\logow.sys"},
    {"C:\\WINDOWS\\logos.sys", "C:\\WINDOWS\\korback\\logos.sys"},
};

// Distinct contents, so that a copy under the wrong name would show.
void writeLogos(kor::testing::TemporaryMachine& machine, unsigned seed) {
    for (unsigned i = 0; i < 3; ++i)
        machine.writePicture(Logos[i].path, 1000 + i, seed + i);
}

void backUp(MainWindow& window) {
    window.findChild<QAction*>(QStringLiteral("backupAction"))->trigger();
}

} // namespace

class LogoBackupTest : public QObject {
    Q_OBJECT

  private slots:
    void firstBackupCopiesAllThree();
    void secondBackupOverwritesWithoutAsking();
    void existingEmptyFolderIsUsed();
    void opensTheBootDriveOfTheWindowsDirectory();
    void failures_data();
    void failures();
};

void LogoBackupTest::firstBackupCopiesAllThree() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    writeLogos(machine, 1);
    MainWindow window;

    backUp(window);

    auto& recorder = recording.recorder();
    QCOMPARE(recorder.questions, std::vector{Question});
    QCOMPARE(recorder.messages.size(), std::size_t(1));
    QCOMPARE(recorder.messages[0].caption, std::string("korsetup"));
    QCOMPARE(recorder.messages[0].text, Done);
    QCOMPARE(recorder.beeps, 0);
    QVERIFY(std::filesystem::is_directory(machine.host("C:\\WINDOWS\\korback")));
    for (const Logo& logo : Logos)
        QCOMPARE(machine.readFile(logo.copy), machine.readFile(logo.path));
}

void LogoBackupTest::secondBackupOverwritesWithoutAsking() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    writeLogos(machine, 1);
    MainWindow window;
    backUp(window);

    writeLogos(machine, 7);
    backUp(window);

    QCOMPARE(recording.recorder().questions.size(), std::size_t(2));
    QCOMPARE(recording.recorder().messages.back().text, Done);
    for (const Logo& logo : Logos)
        QCOMPARE(machine.readFile(logo.copy), machine.readFile(logo.path));
}

void LogoBackupTest::existingEmptyFolderIsUsed() {
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    writeLogos(machine, 1);
    // Any case, as FAT would find it.
    kor::testing::makeFolder(machine, QStringLiteral("C:\\WINDOWS\\KORBACK"));
    MainWindow window;

    backUp(window);

    QCOMPARE(recording.recorder().messages.back().text, Done);
    QCOMPARE(machine.readFile("C:\\WINDOWS\\KORBACK\\logow.sys"),
             machine.readFile("C:\\WINDOWS\\logow.sys"));
}

void LogoBackupTest::opensTheBootDriveOfTheWindowsDirectory() {
    kor::testing::TemporaryMachine machine("E:\\WIN95");
    kor::testing::RecordingScope recording;
    machine.writePicture("E:\\logo.sys", 10, 1);
    machine.writePicture("E:\\WIN95\\logow.sys", 11, 2);
    machine.writePicture("E:\\WIN95\\logos.sys", 12, 3);
    MainWindow window;

    backUp(window);

    QCOMPARE(recording.recorder().messages.back().text, Done);
    QCOMPARE(machine.readFile("E:\\WIN95\\korback\\logo.sys"), machine.readFile("E:\\logo.sys"));
    QCOMPARE(machine.readFile("E:\\WIN95\\korback\\logos.sys"),
             machine.readFile("E:\\WIN95\\logos.sys"));
}

void LogoBackupTest::failures_data() {
    QTest::addColumn<QString>("missing"); // the logo file that is not there
    QTest::addColumn<bool>("korbackIsAFile");
    QTest::addColumn<bool>("answerNo");
    QTest::addColumn<int>("copies"); // how many of logo.sys, logow.sys, logos.sys were copied
    QTest::addColumn<bool>("reported");

    QTest::newRow("answer No: a beep, nothing else") << "" << false << true << 0 << false;
    QTest::newRow("logo.sys missing: nothing copied")
        << "C:\\logo.sys" << false << false << 0 << true;
    QTest::newRow("logow.sys missing: logo.sys copied")
        << "C:\\WINDOWS\\logow.sys" << false << false << 1 << true;
    QTest::newRow("logos.sys missing: the first two copied")
        << "C:\\WINDOWS\\logos.sys" << false << false << 2 << true;
    QTest::newRow("a plain file named korback: nothing copied") << "" << true << false << 0 << true;
}

void LogoBackupTest::failures() {
    QFETCH(QString, missing);
    QFETCH(bool, korbackIsAFile);
    QFETCH(bool, answerNo);
    QFETCH(int, copies);
    QFETCH(bool, reported);
    kor::testing::TemporaryMachine machine;
    kor::testing::RecordingScope recording;
    writeLogos(machine, 1);
    if (!missing.isEmpty())
        std::filesystem::remove(machine.host(missing.toStdString()));
    if (korbackIsAFile)
        machine.writeFile("C:\\WINDOWS\\korback", "not a folder");
    auto& recorder = recording.recorder();
    if (answerNo)
        recorder.answers.push_back(Answer::No);
    MainWindow window;

    backUp(window);

    QCOMPARE(recorder.questions, std::vector{Question});
    QCOMPARE(recorder.beeps, 1);
    if (reported) {
        QCOMPARE(recorder.messages.size(), std::size_t(1));
        QCOMPARE(recorder.messages[0].caption, std::string("korsetup"));
        QCOMPARE(recorder.messages[0].text, NotFound);
    } else {
        QVERIFY(recorder.messages.empty());
    }
    for (int i = 0; i < 3; ++i) {
        const Logo& logo = Logos[i];
        QCOMPARE(machine.exists(logo.copy) && !korbackIsAFile, i < copies);
        if (i < copies)
            QCOMPARE(machine.readFile(logo.copy), machine.readFile(logo.path));
    }
    if (korbackIsAFile)
        QCOMPARE(machine.readFile("C:\\WINDOWS\\korback"), std::string("not a folder"));
    else if (answerNo || copies == 0)
        QCOMPARE(machine.exists("C:\\WINDOWS\\korback"), !answerNo);
}

QTEST_MAIN(LogoBackupTest)
#include "logo_backup_test.moc"
