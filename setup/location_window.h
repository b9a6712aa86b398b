#pragma once

#include <QMdiSubWindow>

class QFrame;
class QLabel;
class QPushButton;

namespace kor::setup {

class KORsetupMain;

// The change-file location window: for each logo screen a heading that names
// the kind of value (a directory in BMP mode, an archive in archive mode) and
// the value the changer draws from.
class Dir_File_Setup final : public QMdiSubWindow {
    Q_OBJECT

  public:
    explicit Dir_File_Setup(KORsetupMain& main);

    void Form_Load();
    void Form_Deactivate();

    // The controls; the headings and values are set by check_set and by the
    // main window's start-up.
    QFrame* SSPanels;
    QFrame* SSPanel1; // opening
    QLabel* Label3;   // opening heading
    QLabel* Label1;   // opening value
    QFrame* SSPanel2; // middle
    QLabel* Label5;
    QLabel* Label6;
    QFrame* SSPanel3; // ending
    QLabel* Label4;
    QLabel* Label2;
    QPushButton* Command9;

  private:
    void Command9_Click();

    KORsetupMain& m_main;
};

} // namespace kor::setup
