// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "machines/known_machines.h"
#include "machines/machine_choice.h"

#include <QMdiSubWindow>

#include <optional>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace kor::setup {

class MainWindow;

// The machine chooser: the machines found in the emulators' usual places and
// those the user added, each with its emulator, disks and Windows folder, or
// why it cannot be opened. The one chosen becomes the machine every window
// works on; a launcher on the desktop can be made for any that opens.
class MachineChooser final : public QMdiSubWindow {
    Q_OBJECT

  public:
    explicit MachineChooser(MainWindow& main);

    // Run once, when the main window makes it: places it, and opens and
    // lists the machines.
    void load();
    // Closes the window when another takes the focus.
    void closeOnFocusLoss();

    // The controls, reached by tests. The list has one row per machine, in
    // the order knownMachines gives them.
    QFrame* contentPanel;
    QTreeWidget* machineList;
    QLabel* reasonLabel;
    QPushButton* chooseButton;
    QPushButton* launcherButton;
    QPushButton* exitButton;

  private:
    // A machine as listed: opened, or why it is not.
    void listMachines();
    void currentRowChanged();
    void chooseClicked();
    void launcherClicked();
    void exitClicked();
    machines::InspectedMachine* currentMachine();

    MainWindow& m_main;
    std::vector<machines::InspectedMachine> m_machines;
};

} // namespace kor::setup
