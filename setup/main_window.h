// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/setup_session.h"

#include <QMainWindow>
#include <QPointer>

#include <string>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace kor::setup {

class LocationWindow;
class ConvertWindow;
class LogoBrowser;
class ImageDisplay;
class OptionsWindow;
class AboutWindow;

// The main window of korsetup: a fixed-size frame whose inner area holds the
// other windows as child windows, and whose menu bar opens them, backs up the
// logo files and leaves; a picture dropped on it opens the converter on that
// picture. It reads KOR.INI when it is made and
// points the logo browser at the configured folder; the child windows show
// the session it owns.
class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    // The designed size in twips, outside (frame included) and inside.
    static constexpr int OuterWidthTwips = 6720;
    static constexpr int OuterHeightTwips = 6495;
    static constexpr int InnerWidthTwips = 6600;
    static constexpr int InnerHeightTwips = 5805;

    // Runs the start-up (MDIForm_Load).
    MainWindow();
    ~MainWindow() override;

    const core::SetupSession& state() const { return m_session; }

    // The sizes the child windows place themselves by, in twips. The outer
    // size is the designed one, which the size rule keeps; the window
    // manager's frame around it is not the program's to measure.
    QSize outerSizeInTwips() const { return {OuterWidthTwips, OuterHeightTwips}; }
    QSize innerSizeInTwips() const;

    // The child windows, each made on first use, its load() run, and
    // hidden until a menu item shows it.
    LogoBrowser& logoBrowser();
    OptionsWindow& optionsWindow();
    LocationWindow& locationWindow();

    // Shows the logo browser, made anew when it was closed, and gives it the
    // focus, as its menu item does.
    void showLogoBrowser();
    // Makes the image display window, runs its load() and shows it with
    // the focus.
    ImageDisplay& showImageDisplay();
    // Shows the picture-to-logo converter, made on first use, with the focus.
    ConvertWindow& showConvertWindow();

    // Runs `handler` of `window` (its Form_Deactivate) whenever another child
    // window takes the focus from it.
    template <typename Window> void whenDeactivated(Window* window, void (Window::*handler)()) {
        connect(this, &MainWindow::childDeactivated, window,
                [window, handler](QMdiSubWindow* deactivated) {
                    if (deactivated == window)
                        (window->*handler)();
                });
    }

  signals:
    // Another child window took the focus from `window`.
    void childDeactivated(QMdiSubWindow* window);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A picture file dropped from the file manager opens the converter on it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createMenus();

    void MDIForm_Load();
    void MDIForm_Resize();
    void mfile1_Click();
    void mfile2_Click();
    void mfile3_Click();
    void mend_Click();
    void mset1_Click();
    void mset2_Click();
    void moption1_Click();
    void mabout1_Click();
    void OpenStartFolder();

    bool showConfiguredDirectory(const std::string& directory);
    template <typename Form, typename... Arguments>
    Form& load(QPointer<Form>& window, Arguments&... arguments);
    void showChild(QMdiSubWindow& window);
    void closeLogoBrowser();
    void subWindowActivated(QMdiSubWindow* window);

    core::SetupSession m_session;
    QMdiArea* m_area;
    QSize m_fixedSize;

    QPointer<LogoBrowser> m_logoBrowser;
    QPointer<ImageDisplay> m_imageDisplay;
    QPointer<OptionsWindow> m_optionsWindow;
    QPointer<LocationWindow> m_locationWindow;
    QPointer<AboutWindow> m_aboutWindow;
    QPointer<ConvertWindow> m_convertWindow;
    QPointer<QMdiSubWindow> m_activeChild;

    QMenu* mfilem = nullptr;
    QAction* mfile1 = nullptr;
    QAction* mfile3 = nullptr;
    QAction* mspace1 = nullptr;
    QAction* mfile2 = nullptr;
    QAction* mspace = nullptr;
    QAction* mend = nullptr;
    QMenu* mset = nullptr;
    QAction* mset1 = nullptr;
    QAction* mset2 = nullptr;
    QMenu* moption = nullptr;
    QAction* moption1 = nullptr;
    QMenu* mabout = nullptr;
    QAction* mabout1 = nullptr;
};

} // namespace kor::setup
