// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/setup_session.h"

#include <QMdiSubWindow>

class QCheckBox;
class QFrame;
class QGroupBox;
class QPushButton;

namespace kor::setup {

class MainWindow;

// The options window: the picture-source mode, the PC-98 logo size and the
// switch that turns the size check off, each written to KOR.INI at the click.
// The mode is the session's; the windows that show it follow its changes.
class OptionsWindow final : public QMdiSubWindow {
    Q_OBJECT

  public:
    OptionsWindow(MainWindow& main, core::SetupSession& session);

    void load();
    void Form_Deactivate();

    // Puts the mode ticked in SSCheck1 in force (ArcCheck "on" or "off" in
    // memory). Writes nothing to KOR.INI.
    void check_set();

    // The controls, reached by the window's own code and by tests.
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
    void showPictureSource();

    MainWindow& m_main;
    core::SetupSession& m_session;
    core::SetupSession::Subscription m_watch{m_session, [this] { showPictureSource(); }};
};

} // namespace kor::setup
