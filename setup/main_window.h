// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/setup_session.h"
#include "machines/known_machines.h"
#include "platform/machine.h"

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
class MachineChooser;

// The main window of korsetup: a fixed-size frame whose inner area holds the
// other windows as child windows, and whose menu bar opens them, backs up the
// logo files and leaves; a picture dropped on it opens the converter on that
// picture. It reads KOR.INI when it is made and
// points the logo browser at the configured folder; the child windows show
// the session it owns. Its title names the machine of an emulator that it
// works on.
class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    // The designed size in twips, outside (frame included) and inside.
    static constexpr int OuterWidthTwips = 6720;
    static constexpr int OuterHeightTwips = 6495;
    static constexpr int InnerWidthTwips = 6600;
    static constexpr int InnerHeightTwips = 5805;

    // Runs the start-up: reads KOR.INI and points the browser at its folder.
    // `machineName` is the name of the machine of an emulator that the
    // process's machine was made from, or empty for a folder of drives.
    explicit MainWindow(std::string machineName = {});
    ~MainWindow() override;

    const core::SetupSession& state() const { return m_session; }
    const std::string& machineName() const { return m_machineName; }

    // The sizes the child windows place themselves by, in twips. The outer
    // size is the designed one, which the size rule keeps; the window
    // manager's frame around it is not the program's to measure.
    QSize outerSizeInTwips() const { return {OuterWidthTwips, OuterHeightTwips}; }
    QSize innerSizeInTwips() const;

    // The child windows, each made and loaded on first use, and hidden until
    // a menu item shows it.
    LogoBrowser& logoBrowser();
    OptionsWindow& optionsWindow();
    LocationWindow& locationWindow();

    // Shows the logo browser, made anew when it was closed, and gives it the
    // focus, as its menu item does.
    void showLogoBrowser();
    // Makes and loads the image display window and shows it with the focus.
    ImageDisplay& showImageDisplay();
    // Shows the picture-to-logo converter, made on first use, with the focus.
    ConvertWindow& showConvertWindow();
    // Shows the machine chooser, made anew each time, with the focus.
    MachineChooser& showMachineChooser();

    // Makes `machine`, the one `known` names, the machine of this process: every
    // child window closes, the session is read again from the machine's
    // KOR.INI, the title names it, and the choice is remembered for the next
    // start (a failure to remember it is said; the choice holds all the same).
    void useMachine(const machines::KnownMachine& known, platform::Machine machine);

    // Whether an entry dragged from the logo browser is on its way to a drop.
    bool isDraggingFromBrowser() const { return m_draggingFromBrowser; }

    // Runs `handler` of `window` whenever another child window takes the
    // focus from it.
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
    // `window` took the focus, from another child window or from none.
    void childActivated(QMdiSubWindow* window);

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

    void start();
    void readMachine();
    void showTitle();
    void keepFixedSize();
    void backUpLogoFiles();
    void openConverter();
    void quit();
    void showLocationWindow();
    void showOptionsWindow();
    void showAboutWindow();
    void openStartFolder();

    bool showConfiguredDirectory(const std::string& directory);
    template <typename Window, typename... Arguments>
    Window& childWindow(QPointer<Window>& window, Arguments&... arguments);
    void showChild(QMdiSubWindow& window);
    void closeLogoBrowser();
    void subWindowActivated(QMdiSubWindow* window);
    void browserDragStarted();
    void browserDragFinished();

    core::SetupSession m_session;
    std::string m_machineName;
    QMdiArea* m_area;
    QSize m_fixedSize;

    QPointer<LogoBrowser> m_logoBrowser;
    QPointer<ImageDisplay> m_imageDisplay;
    QPointer<OptionsWindow> m_optionsWindow;
    QPointer<LocationWindow> m_locationWindow;
    QPointer<AboutWindow> m_aboutWindow;
    QPointer<ConvertWindow> m_convertWindow;
    QPointer<MachineChooser> m_machineChooser;
    QPointer<QMdiSubWindow> m_activeChild;
    bool m_draggingFromBrowser = false;

    QMenu* m_fileMenu = nullptr;
    QAction* m_openFolderAction = nullptr;
    QAction* m_convertAction = nullptr;
    QAction* m_machineAction = nullptr;
    QAction* m_backupSeparator = nullptr;
    QAction* m_backupAction = nullptr;
    QAction* m_quitSeparator = nullptr;
    QAction* m_quitAction = nullptr;
    QMenu* m_settingsMenu = nullptr;
    QAction* m_openBrowserAction = nullptr;
    QAction* m_locationAction = nullptr;
    QMenu* m_optionsMenu = nullptr;
    QAction* m_optionsAction = nullptr;
    QMenu* m_versionMenu = nullptr;
    QAction* m_aboutAction = nullptr;
};

} // namespace kor::setup
