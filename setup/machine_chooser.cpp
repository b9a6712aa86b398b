// SPDX-License-Identifier: GPL-3.0-or-later
#include "machine_chooser.h"

#include "controls.h"
#include "fonts.h"
#include "machine_launcher.h"
#include "main_window.h"
#include "twips.h"

#include "diskimage/image_drives.h"
#include "language/translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace kor::setup {
namespace {

enum Column { NameColumn, EmulatorColumn, DisksColumn, WindowsColumn };

// The file names of the disks, in the BIOS's order.
QString diskNames(const machines::EmulatorMachine& machine) {
    QStringList names;
    for (const machines::MachineDisk& disk : machine.disks)
        names << toQString(disk.image.filename().string());
    return names.join(QStringLiteral(", "));
}

// KOR as installed beside this program, else as the desktop finds it.
std::string korProgram() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/KOR");
    return QFileInfo(beside).isExecutable() ? beside.toStdString() : "KOR";
}

} // namespace

MachineChooser::MachineChooser(MainWindow& main) : m_main(main) {
    setUpChildWindow(*this, "MachineChooser", tr("ﾏｼﾝの選択"), CloseButton::Shown);

    contentPanel = makePanel(nullptr, "contentPanel");
    contentPanel->setFont(japaneseUiFont());
    contentPanel->setFixedSize(sizeFromTwips(6180, 3480));
    machineList = new QTreeWidget(contentPanel);
    machineList->setObjectName(QStringLiteral("machineList"));
    machineList->setGeometry(rectFromTwips(120, 120, 5940, 1800));
    machineList->setRootIsDecorated(false);
    showFocusMark(*machineList);
    machineList->setHeaderLabels({tr("ﾏｼﾝ"), tr("ｴﾐｭﾚｰﾀ"), tr("ﾃﾞｨｽｸ"), tr("Windows ﾌｫﾙﾀﾞ")});
    machineList->header()->resizeSection(NameColumn, pixelsFromTwips(1350));
    machineList->header()->resizeSection(EmulatorColumn, pixelsFromTwips(1200));
    machineList->header()->resizeSection(DisksColumn, pixelsFromTwips(1800));
    reasonLabel = makeLabel(contentPanel, "reasonLabel", rectFromTwips(120, 1980, 5940, 840));
    reasonLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    reasonLabel->setWordWrap(true);
    chooseButton =
        makeButton(contentPanel, "chooseButton", tr("選択"), rectFromTwips(120, 2940, 1905, 375));
    launcherButton = makeButton(contentPanel, "launcherButton", tr("ﾗﾝﾁｬｰ作成"),
                                rectFromTwips(2137, 2940, 1905, 375));
    exitButton =
        makeButton(contentPanel, "exitButton", tr("終了"), rectFromTwips(4155, 2940, 1905, 375));
    setWidget(contentPanel);
    setTabOrderChain({machineList, chooseButton, launcherButton, exitButton});

    connect(machineList, &QTreeWidget::currentItemChanged, this,
            &MachineChooser::currentRowChanged);
    connect(machineList, &QTreeWidget::itemActivated, this, &MachineChooser::chooseClicked);
    connect(chooseButton, &QPushButton::clicked, this, &MachineChooser::chooseClicked);
    connect(launcherButton, &QPushButton::clicked, this, &MachineChooser::launcherClicked);
    connect(exitButton, &QPushButton::clicked, this, &MachineChooser::exitClicked);
    m_main.whenDeactivated(this, &MachineChooser::closeOnFocusLoss);
}

void MachineChooser::load() {
    placeChildWindow(*this, m_main.innerSizeInTwips(), 30.0, 6.0);
    listMachines();
}

// Each machine is opened as it would be chosen, so that one that cannot be
// worked on says why here rather than after the choice.
void MachineChooser::listMachines() {
    for (machines::KnownMachine& known : machines::knownMachines())
        m_machines.push_back(machines::inspectMachine(std::move(known)));
    // Looking at a machine must not keep its emulator from starting: the
    // exports of images in QEMU's formats, and QEMU's locks with them, go.
    diskimage::releaseImageDrives();

    for (const machines::InspectedMachine& listed : m_machines) {
        auto* row = new QTreeWidgetItem(machineList);
        row->setText(NameColumn, toQString(listed.known.name));
        if (listed.emulator) {
            row->setText(EmulatorColumn,
                         toQString(machines::emulatorName(listed.emulator->emulator)));
            row->setText(DisksColumn, diskNames(*listed.emulator));
        }
        if (listed.usable) {
            row->setText(WindowsColumn, toQString(listed.opened->machine.windowsDirectory()));
        } else {
            row->setText(WindowsColumn, tr("使用できません"));
            row->setForeground(WindowsColumn, palette().brush(QPalette::Disabled, QPalette::Text));
        }
        row->setToolTip(NameColumn, toQString(listed.known.path.string()));
        if (listed.known.name == m_main.machineName())
            machineList->setCurrentItem(row);
    }
    currentRowChanged();
}

machines::InspectedMachine* MachineChooser::currentMachine() {
    const int row = machineList->indexOfTopLevelItem(machineList->currentItem());
    return row < 0 ? nullptr : &m_machines[static_cast<std::size_t>(row)];
}

void MachineChooser::currentRowChanged() {
    const machines::InspectedMachine* listed = currentMachine();
    setCaption(*reasonLabel,
               listed && !listed->usable ? toQString(listed->usable.error().message()) : QString());
    chooseButton->setEnabled(listed && listed->usable);
    launcherButton->setEnabled(listed && listed->emulator);
}

void MachineChooser::chooseClicked() {
    machines::InspectedMachine* listed = currentMachine();
    if (!listed || !listed->usable)
        return;
    // The main window closes every child window, this one too.
    m_main.useMachine(listed->known, std::move(listed->opened->machine));
}

void MachineChooser::launcherClicked() {
    const machines::InspectedMachine* listed = currentMachine();
    if (!listed || !listed->emulator)
        return;
    const auto written = writeMachineLauncher(listed->known.name, listed->known.path,
                                              *listed->emulator, korProgram());
    if (!written)
        return tell(written.error().message());
    tell(language::fill(
        tr("{1}\nﾗﾝﾁｬｰを作成しました。ﾛｺﾞを変えてから {2} でﾏｼﾝを起動します").toStdString(),
        {written.value().string(),
         std::string(machines::emulatorName(listed->emulator->emulator))}));
}

void MachineChooser::exitClicked() {
    close();
}

void MachineChooser::closeOnFocusLoss() {
    close();
}

} // namespace kor::setup
