// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/setup_session.h"

#include <QMdiSubWindow>
#include <QStringList>

class QFrame;
class QLabel;
class QPushButton;

namespace kor::setup {

class MainWindow;

// The change-file location window: for each logo screen a heading that names
// the kind of value (a directory in BMP mode, an archive in archive mode) and
// the value the changer draws from, as the session holds them. An item
// dropped on a value from the file manager or from the logo browser, or
// picked in the dialog a double click on the value opens, is recorded in
// KOR.INI at once.
class LocationWindow final : public QMdiSubWindow {
    Q_OBJECT

  public:
    LocationWindow(MainWindow& main, core::SetupSession& session);

    // Run once, when the main window makes it: places it and puts the mode
    // in force.
    void load();
    // Closes the window when `activated`, another child window, takes the
    // focus, from this window or from any other; unless that is the logo
    // browser, from which items are dragged onto the sources, or a drag from
    // it is under way.
    void closeWhenAnotherIsActivated(QMdiSubWindow* activated);

    // The controls, reached by the window's own code and by tests. A panel
    // for each logo holds its heading and its source; the sources take drops.
    QFrame* contentPanel;
    QFrame* openingPanel;
    QLabel* openingHeading;
    QLabel* openingSource;
    QFrame* middlePanel;
    QLabel* middleHeading;
    QLabel* middleSource;
    QFrame* endingPanel;
    QLabel* endingHeading;
    QLabel* endingSource;
    QPushButton* clearAllButton;
    QPushButton* exitButton;

  private:
    void openingDropped(const QStringList& hostPaths);
    void middleDropped(const QStringList& hostPaths);
    void endingDropped(const QStringList& hostPaths);
    void clearAllSources();
    void exitClicked();

    void recordDrop(QLabel& label, core::LogoSlot slot, const QStringList& hostPaths);
    // Records the item at `windowsPath` as the slot's source, by the mode's
    // rules; what cannot be recorded is refused with a beep and a message.
    void recordPath(QLabel& label, core::LogoSlot slot, const std::string& windowsPath);
    // Lets the user pick the slot's source on the machine's drives; a pick is
    // recorded as a drop is, a cancel changes nothing.
    void chooseSource(QLabel& label, QLabel& heading, core::LogoSlot slot);
    // The headings and values of the mode in force.
    void showSources();

    MainWindow& m_main;
    core::SetupSession& m_session;
    core::SetupSession::Subscription m_watch{m_session, [this] { showSources(); }};
};

} // namespace kor::setup
