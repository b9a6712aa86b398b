// SPDX-License-Identifier: GPL-3.0-or-later
// The machine chooser on two 86Box machines, one found in 86Box's usual
// folder and one added by name, each a folder with its 86box.cfg and a FAT
// disk image whose KOR.INI differs, and a third that cannot be opened:
// choosing one makes the windows show its settings, the title name it and
// machines.ini remember it; its launcher runs KOR and then 86Box.

#include "disk_image.h"
#include "machine_chooser.h"
#include "machine_launcher.h"
#include "main_window.h"
#include "options_window.h"
#include "recording_services.h"
#include "temporary_machine.h"
#include "window_test_support.h"

#include "machines/known_machines.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using kor::setup::MachineChooser;
using kor::setup::MainWindow;
using kor::testing::liveWindow;

namespace {

namespace fs = std::filesystem;

// A home folder of the test's own, with the XDG folders inside it, for the
// test's lifetime: the machines found, machines.ini and the launchers all
// land there.
class TemporaryHome {
  public:
    TemporaryHome() {
        std::string pattern = (fs::temp_directory_path() / "kor-chooser-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
        for (const auto& [variable, folder] :
             {std::pair{"HOME", m_path}, std::pair{"XDG_CONFIG_HOME", m_path / "config"},
              std::pair{"XDG_DATA_HOME", m_path / "data"}}) {
            if (const char* value = std::getenv(variable))
                m_previous.emplace_back(variable, value);
            ::setenv(variable, folder.c_str(), 1);
        }
    }
    ~TemporaryHome() {
        for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            ::unsetenv(variable);
        for (const auto& [variable, value] : m_previous)
            ::setenv(variable.c_str(), value.c_str(), 1);
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
    std::vector<std::pair<std::string, std::string>> m_previous;
};

// An 86Box machine folder: its 86box.cfg naming win95.img on the first IDE
// channel, and that image, Windows 95 in C:\WINDOWS with this pc98Check.
void makeMachine(const fs::path& folder, const std::string& pc98Check) {
    fs::create_directories(folder);
    std::ofstream(folder / "86box.cfg") << "[Hard disks]\n"
                                           "hdd_01_parameters = 63, 16, 1024, 0, ide\n"
                                           "hdd_01_fn = win95.img\n"
                                           "hdd_01_ide_channel = 0:0\n";
    const kor::testing::FatVolume volume =
        kor::testing::makeMbrDisk(folder / "win95.img", kor::testing::FatType::Fat16);
    kor::testing::writeFile(volume, "/MSDOS.SYS",
                            "[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\WINDOWS\r\n"
                            "HostWinBootDrv=C\r\n");
    kor::testing::makeDirectory(volume, "/WINDOWS");
    kor::testing::writeFile(
        volume, "/WINDOWS/KOR.INI",
        kor::testing::koriniText({QString::fromStdString("pc98Check=" + pc98Check)}));
}

// The two machines and a broken one: "Win95 B" added by name (PC-98 size on),
// "Broken" added with an image missing, "Win95A" found in 86Box's folder
// (PC-98 size off). Returns the folder of "Win95 B".
fs::path makeMachines(const TemporaryHome& home) {
    fs::path added = home.path() / "vms/B's 95";
    makeMachine(home.path() / "data/86Box/Virtual Machines/Win95A", "off");
    makeMachine(added, "on");
    const fs::path broken = home.path() / "vms/broken";
    fs::create_directories(broken);
    std::ofstream(broken / "86box.cfg")
        << "[Hard disks]\nhdd_01_parameters = 63, 16, 1024, 0, ide\n"
           "hdd_01_fn = gone.img\nhdd_01_ide_channel = 0:0\n";
    if (!kor::machines::addMachine("Win95 B", added) ||
        !kor::machines::addMachine("Broken", broken))
        throw std::runtime_error("cannot add the machines");
    return added;
}

// Opens the chooser from the file menu and makes the row of `name` current.
MachineChooser* chooserOn(MainWindow& window, const QString& name) {
    window.findChild<QAction*>(QStringLiteral("machineAction"))->trigger();
    auto* chooser = liveWindow<MachineChooser>(window);
    if (!chooser)
        return nullptr;
    const QList<QTreeWidgetItem*> rows = chooser->machineList->findItems(name, Qt::MatchExactly);
    if (rows.size() != 1)
        return nullptr;
    chooser->machineList->setCurrentItem(rows.front());
    return chooser;
}

std::string fileText(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
}

} // namespace

class MachineChooserTest : public QObject {
    Q_OBJECT

  private slots:
    void switchesBetweenMachinesAndRemembersTheChoice();
    void makesALauncherThatRunsKorThenTheEmulator();
};

void MachineChooserTest::switchesBetweenMachinesAndRemembersTheChoice() {
    TemporaryHome home;
    makeMachines(home);
    kor::testing::TemporaryMachine folder;
    kor::testing::RecordingScope recording;
    MainWindow window;
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("KOR SETUP"));

    MachineChooser* chooser = chooserOn(window, QStringLiteral("Broken"));
    QVERIFY(chooser);
    QCOMPARE(chooser->machineList->topLevelItemCount(), 3);
    QVERIFY(!chooser->chooseButton->isEnabled());
    QVERIFY2(chooser->reasonLabel->text().contains(QStringLiteral("gone.img")),
             qPrintable(chooser->reasonLabel->text()));

    for (const auto& [name, pc98] :
         {std::pair{QStringLiteral("Win95 B"), true}, std::pair{QStringLiteral("Win95A"), false}}) {
        chooser = chooserOn(window, name);
        QVERIFY(chooser);
        QCOMPARE(chooser->machineList->currentItem()->text(3), QStringLiteral("C:\\WINDOWS"));
        QVERIFY(chooser->chooseButton->isEnabled());
        chooser->chooseButton->click();
        QVERIFY(!liveWindow<MachineChooser>(window));
        QCOMPARE(window.windowTitle(), QStringLiteral("KOR SETUP - ") + name);
        QCOMPARE(window.optionsWindow().pc98Box->isChecked(), pc98);
        const std::optional<std::string> chosen = kor::machines::lastChosenMachine();
        QVERIFY(chosen);
        QCOMPARE(kor::machines::findMachine(*chosen)->name, name.toStdString());
    }
    QCOMPARE(kor::testing::shownMessages(recording), QStringList());
}

void MachineChooserTest::makesALauncherThatRunsKorThenTheEmulator() {
    QCOMPARE(kor::setup::desktopExecValue({"a b", "$x", "100%", "back\\slash"}),
             std::string(R"("a b" "\\$x" 100%% "back\\\\slash")"));

    TemporaryHome home;
    const fs::path added = makeMachines(home);
    kor::testing::TemporaryMachine folder;
    kor::testing::RecordingScope recording;
    MainWindow window;
    MachineChooser* chooser = chooserOn(window, QStringLiteral("Win95 B"));
    QVERIFY(chooser);
    chooser->launcherButton->click();

    const fs::path launcher = home.path() / "data/applications/kor-Win95_20B.desktop";
    const std::string text = fileText(launcher);
    QVERIFY2(text.find("\nExec=KOR --machine \"" + added.string() + "\" -- 86Box -P \"" +
                       added.string() + "\"\n") != std::string::npos,
             text.c_str());
    QVERIFY2(text.find("\nPath=" + added.string() + "\n") != std::string::npos, text.c_str());
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"),
                   {QString::fromStdString(launcher.string())});
    QVERIFY(validate.waitForFinished());
    const QString said = QString::fromUtf8(validate.readAll() + validate.readAllStandardError());
    QCOMPARE(validate.exitCode(), 0);
    QVERIFY2(!said.contains(QStringLiteral("error")), qPrintable(said));
    const QStringList shown = kor::testing::shownMessages(recording);
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.front().startsWith(QString::fromStdString(launcher.string())));
}

QTEST_MAIN(MachineChooserTest)
#include "machine_chooser_test.moc"
