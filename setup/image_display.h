// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/setup_session.h"

#include <QMdiSubWindow>

#include <optional>
#include <string>

class QCloseEvent;
class QEvent;
class QFrame;
class QLabel;
class QPixmap;
class QShowEvent;
class QPushButton;

namespace kor::setup {

class KORsetupMain;

// The image display window: the picture picked in the logo browser, stretched
// over a 384 x 288 area, with a button for each logo that makes it that logo
// at once. The browser hides itself while this window is open. In archive
// mode the picture is a copy of the member extracted into the Windows
// directory, deleted when the window closes unless a change has used it.
class Form3 final : public QMdiSubWindow {
    Q_OBJECT

  public:
    Form3(KORsetupMain& main, core::SetupSession& session);

    void Form_Load();
    void Form_Deactivate();

    // Shows `picture` under `title`.
    void showPicture(const QString& title, const QPixmap& picture);

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
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Form_Paint();
    void Form_Unload();
    void Command1_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();

    KORsetupMain& m_main;
    core::SetupSession& m_session;
    // The member whose extracted copy is shown; none in BMP mode, where the
    // picture is the user's own file.
    std::optional<std::string> m_shownMember;
    bool m_used = false;
};

} // namespace kor::setup
