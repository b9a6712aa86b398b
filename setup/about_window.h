// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMdiSubWindow>

class QFrame;
class QLabel;
class QPushButton;

namespace kor::setup {

class MainWindow;

// The about window: the program's name, its picture and its version.
class AboutWindow final : public QMdiSubWindow {
    Q_OBJECT

  public:
    explicit AboutWindow(MainWindow& main);

    // Run once, when the main window makes it: places it.
    void load();
    // Closes the window when another takes the focus.
    void closeOnFocusLoss();

    // The controls, reached by tests. The inner panel holds the title line,
    // the program's icon and its version.
    QFrame* contentPanel;
    QFrame* infoPanel;
    QLabel* titleLabel;
    QLabel* iconLabel;
    QLabel* versionLabel;
    QPushButton* okButton;

  private:
    void okClicked();

    MainWindow& m_main;
};

} // namespace kor::setup
