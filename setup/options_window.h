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

    // Run once, when the main window makes it: places it, ticks the boxes as
    // memory holds them and puts the mode ticked in force.
    void load();
    // Closes the window when another takes the focus.
    void closeOnFocusLoss();

    // Puts the mode ticked in the BMP box in force (ArcCheck "on" or "off" in
    // memory). Writes nothing to KOR.INI.
    void applyPictureSource();

    // The controls, reached by the window's own code and by tests.
    QFrame* contentPanel;
    QGroupBox* pictureSourceGroup;
    QCheckBox* bmpModeBox;
    QCheckBox* pc98Box;
    QCheckBox* noSizeCheckBox;
    QPushButton* exitButton;

  private:
    void bmpModeClicked();
    void pc98Clicked();
    void noSizeCheckClicked();
    void exitClicked();
    void showPictureSource();
    // Ticks the boxes as memory holds the options, and greys the PC-98 box
    // while no size is checked; writes nothing.
    void showStoredOptions();
    void reportFailure(const platform::Status& written);

    MainWindow& m_main;
    core::SetupSession& m_session;
    core::SetupSession::Subscription m_watch{m_session, [this] { showPictureSource(); }};
};

} // namespace kor::setup
