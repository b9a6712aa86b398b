#pragma once

#include <QMdiSubWindow>

#include <string>
#include <string_view>

class QCheckBox;
class QFrame;
class QGroupBox;
class QPushButton;

namespace kor::setup {

class KORsetupMain;
struct SetupState;

// The options window: the picture-source mode, the PC-98 logo size and the
// switch that turns the size check off, each written to KOR.INI at the click.
// It owns check_set, which makes the logo browser and the location window
// follow the mode.
class Option_Set final : public QMdiSubWindow {
    Q_OBJECT

  public:
    Option_Set(KORsetupMain& main, SetupState& state);

    void Form_Load();
    void Form_Deactivate();

    // Applies the mode ticked in SSCheck1 to the logo browser (height and file
    // pattern), to the location window (headings and values) and to the
    // in-memory ArcCheck; makes those windows when they do not exist yet.
    // Writes nothing to KOR.INI.
    void check_set();

    // The controls; the main window's start-up ticks SSCheck1.
    QFrame* SSPanel1;
    QGroupBox* SSFrame1;
    QCheckBox* SSCheck1; // BMP mode
    QCheckBox* Check1;   // PC-98
    QCheckBox* Check2;   // no size check
    QPushButton* Command1;

  private:
    void SSCheck1_Click();
    void Check1_Click();
    void Check2_Click();
    void Command1_Click();

    void write(std::string_view key, const std::string& value);

    KORsetupMain& m_main;
    SetupState& m_state;
};

} // namespace kor::setup
