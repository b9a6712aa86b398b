// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_format.h"
#include "core/setup_session.h"

#include <QImage>
#include <QMdiSubWindow>
#include <QPalette>
#include <QTimer>

#include <optional>
#include <string>

class QByteArray;
class QCloseEvent;
class QEvent;
class QFrame;
class QHideEvent;
class QLabel;
class QShowEvent;
class QPushButton;

namespace kor::setup {

class MainWindow;

// The image display window: the picture picked in the logo browser, stretched
// over a 384 x 288 area, with a button for each logo that makes it that logo
// at once. The browser hides itself while this window is open. In archive
// mode the picture is a copy of the member extracted into the Windows
// directory, deleted when the window closes unless a change has used it.
// A logo that Windows 95 can show is shown as it boots: framed in the colour
// of its palette entry 0, its colours cycling.
class ImageDisplay final : public QMdiSubWindow {
    Q_OBJECT

  public:
    ImageDisplay(MainWindow& main, core::SetupSession& session);

    void load();
    void Form_Deactivate();

    // Shows `picture` under `title`; `bytes` are the file's, which tell
    // whether it is a logo.
    void showPicture(const QString& title, const QImage& picture, const QByteArray& bytes);

    // One step of a logo's colour cycling, as its timer takes it; nothing
    // for a picture that does not move.
    void stepAnimation();
    bool isAnimating() const { return m_animationTimer.isActive(); }

    // Whether a change has run from this showing.
    bool isUsed() const { return m_used; }

    // The controls, reached by the window's own code and by tests.
    QFrame* SSPanel1;
    QLabel* Image1;
    QFrame* SSPanel2;
    QPushButton* Command12;
    QPushButton* Command11;
    QPushButton* Command10;
    QPushButton* Command1;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Paint();
    void Form_Unload();
    void Command1_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();

    MainWindow& m_main;
    core::SetupSession& m_session;
    // The member whose extracted copy is shown; none in BMP mode, where the
    // picture is the user's own file.
    std::optional<std::string> m_shownMember;
    bool m_used = false;
    // The logo shown, as palette indices whose colour table each step of the
    // animation replaces.
    QImage m_logo;
    core::LogoPalette m_palette{};
    std::optional<core::AnimationRange> m_animation;
    QTimer m_animationTimer;
    QPalette m_designedPanelPalette;
};

} // namespace kor::setup
