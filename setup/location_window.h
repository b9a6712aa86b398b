#pragma once

#include "platform/profile.h"

#include <QMdiSubWindow>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

class QFrame;
class QLabel;
class QPushButton;

namespace kor::setup {

class KORsetupMain;
struct SetupState;

// The change-file location window: for each logo screen a heading that names
// the kind of value (a directory in BMP mode, an archive in archive mode) and
// the value the changer draws from. Items dropped from the file manager on a
// value are recorded in KOR.INI at once.
class Dir_File_Setup final : public QMdiSubWindow {
    Q_OBJECT

  public:
    Dir_File_Setup(KORsetupMain& main, SetupState& state);

    void Form_Load();
    void Form_Deactivate();

    // The controls; the headings and values are set by check_set and by the
    // main window's start-up. The three values take drops.
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
    QPushButton* Command4; // clear all
    QPushButton* Command9;

  private:
    struct ScreenKeys;

    void Label1_OLEDragDrop(const QStringList& hostPaths);
    void Label6_OLEDragDrop(const QStringList& hostPaths);
    void Label2_OLEDragDrop(const QStringList& hostPaths);
    void Command4_Click();
    void Command9_Click();

    void recordDrop(QLabel& label, const ScreenKeys& keys, const QStringList& hostPaths);
    void write(const std::vector<platform::ProfileEntry>& entries);

    KORsetupMain& m_main;
    SetupState& m_state;
};

} // namespace kor::setup
