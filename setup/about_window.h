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

    void load();
    void Form_Deactivate();

    QFrame* SSPanel1;
    QFrame* SSPanel2;
    QLabel* Label2; // the title line
    QLabel* Picture1;
    QLabel* Label3; // the version
    QPushButton* SSCommand1;

  private:
    void SSCommand1_Click();

    MainWindow& m_main;
};

} // namespace kor::setup
