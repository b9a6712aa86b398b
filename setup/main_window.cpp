// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include "about_window.h"
#include "controls.h"
#include "convert_window.h"
#include "drop_label.h"
#include "image_display.h"
#include "location_window.h"
#include "logo_backup.h"
#include "logo_browser.h"
#include "machine_chooser.h"
#include "options_window.h"
#include "twips.h"

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/services.h"
#include "platform/text.h"

#include "machines/known_machines.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEvent>
#include <QIcon>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace kor::setup {

namespace {

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                 const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

QKeySequence ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}

// `text` as one word of a shell's command line: quoted when it holds more
// than letters, digits and the marks of a plain path.
std::string shellWord(const std::string& text) {
    if (!text.empty() &&
        text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                               "0123456789/._-+,:@%~") == std::string::npos)
        return text;
    std::string quoted = "'";
    for (const char character : text)
        quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return quoted + "'";
}

// What a machine without a single drive (a folder of drives that is missing
// or empty) would have the user hear only at the first write: where it
// looked, and the set-up line of the README that makes drive C:. Nothing
// when the machine has a drive.
std::optional<std::string> noDrivesNote(const platform::Machine& machine) {
    if (!machine.drives().empty())
        return std::nullopt;
    // A line break in a path would pass for the end of the line.
    const auto shown = [](const std::filesystem::path& path) {
        return toQString(
            platform::escapeControlCharacters(path.string(), platform::LineBreaks::Escape));
    };
    const auto word = [](const QString& path) { return toQString(shellWord(path.toStdString())); };
    const QString root = shown(machine.root());
    std::error_code ignored;
    // A link made by the line below whose image has moved since: making it
    // again is what helps, not making it.
    const std::filesystem::path driveC = machine.root() / "c";
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(driveC, ignored)) &&
        !std::filesystem::exists(driveC, ignored))
        return QCoreApplication::translate(
                   "kor::setup::MainWindow",
                   "%1\nﾄﾞﾗｲﾌﾞ C: のﾘﾝｸ先 %2 がありません。ﾃﾞｨｽｸｲﾒｰｼﾞかﾌｫﾙﾀﾞを指すように、"
                   "たとえば次のように作り直してください:\nln -sfn ~/vms/win95/win95.img %3")
            .arg(shown(driveC), shown(std::filesystem::read_symlink(driveC, ignored)),
                 word(root + QStringLiteral("/c")))
            .toStdString();
    const QString missing =
        std::filesystem::is_directory(machine.root(), ignored)
            ? QCoreApplication::translate("kor::setup::MainWindow",
                                          "Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) にﾄﾞﾗｲﾌﾞがありません。")
            : QCoreApplication::translate("kor::setup::MainWindow",
                                          "Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) がありません。");
    return QCoreApplication::translate(
               "kor::setup::MainWindow",
               "%1\n%2ﾄﾞﾗｲﾌﾞ C: にするﾃﾞｨｽｸｲﾒｰｼﾞかﾌｫﾙﾀﾞを、たとえば次のようにつないでください:\n"
               "mkdir -p %3 && ln -s ~/vms/win95/win95.img %4\n"
               "ｴﾐｭﾚｰﾀのﾏｼﾝは、ファイル → ﾏｼﾝの選択... で選べます。")
        .arg(root, missing, word(root), word(root + QStringLiteral("/c")))
        .toStdString();
}

} // namespace

MainWindow::MainWindow(std::string machineName)
    : m_machineName(std::move(machineName)), m_area(new QMdiArea(this)) {
    setObjectName(QStringLiteral("MainWindow"));
    showTitle();
    setWindowIcon(QIcon(QStringLiteral(":/setup/icon.png")));

    m_area->setBackground(QBrush(QPixmap(QStringLiteral(":/setup/background.png"))));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setFixedSize(sizeFromTwips(InnerWidthTwips, InnerHeightTwips));
    setCentralWidget(m_area);
    createMenus();
    // The frame is the window manager's; the program fixes what lies inside
    // it, menu bar and inner area, and the size rule keeps it so.
    m_fixedSize = sizeHint();
    setFixedSize(m_fixedSize);
    setAcceptDrops(true);

    connect(m_area, &QMdiArea::subWindowActivated, this, &MainWindow::subWindowActivated);
    start();
}

MainWindow::~MainWindow() {
    // The display window closes as it does at any other time, so that a copy
    // extracted only for viewing does not outlive the program.
    disconnect(m_area, nullptr, this, nullptr);
    if (m_imageDisplay)
        m_imageDisplay->close();
    // The child windows go first, while the session they watch still
    // exists.
    delete m_area;
}

QSize MainWindow::innerSizeInTwips() const {
    return {twipsFromPixels(m_area->width()), twipsFromPixels(m_area->height())};
}

LogoBrowser& MainWindow::logoBrowser() {
    const bool made = !m_logoBrowser;
    LogoBrowser& browser = childWindow(m_logoBrowser, *this, m_session);
    if (made) {
        connect(&browser, &LogoBrowser::entryDragStarted, this, &MainWindow::browserDragStarted);
        connect(&browser, &LogoBrowser::entryDragFinished, this, &MainWindow::browserDragFinished);
    }
    return browser;
}

OptionsWindow& MainWindow::optionsWindow() {
    return childWindow(m_optionsWindow, *this, m_session);
}

LocationWindow& MainWindow::locationWindow() {
    return childWindow(m_locationWindow, *this, m_session);
}

template <typename Window, typename... Arguments>
Window& MainWindow::childWindow(QPointer<Window>& window, Arguments&... arguments) {
    if (!window) {
        window = new Window(arguments...);
        m_area->addSubWindow(window);
        // Hidden until a menu item shows it, even when the main window itself
        // is shown later.
        window->hide();
        window->installEventFilter(this);
        window->load();
    }
    return *window;
}

void MainWindow::showLogoBrowser() {
    showChild(logoBrowser());
}

ImageDisplay& MainWindow::showImageDisplay() {
    ImageDisplay& display = childWindow(m_imageDisplay, *this, m_session);
    showChild(display);
    return display;
}

ConvertWindow& MainWindow::showConvertWindow() {
    ConvertWindow& window = childWindow(m_convertWindow, *this, m_session);
    showChild(window);
    return window;
}

MachineChooser& MainWindow::showMachineChooser() {
    // Made anew, so that it lists the machines as they are now.
    if (m_machineChooser)
        m_machineChooser->close();
    MachineChooser& chooser = childWindow(m_machineChooser, *this);
    showChild(chooser);
    return chooser;
}

void MainWindow::useMachine(const machines::KnownMachine& known, platform::Machine machine) {
    // The windows showed the old machine's settings; each is made again on
    // its next use, from the session read anew.
    m_area->closeAllSubWindows();
    platform::Machine::setCurrent(std::move(machine));
    m_session.settings = {};
    m_session.startFolder.clear();
    m_session.archiveState = {};
    m_machineName = known.name;
    showTitle();
    readMachine();
    if (const platform::Status remembered = machines::rememberChosenMachine(known.path.string());
        !remembered)
        tell(remembered.error().message());
}

void MainWindow::showTitle() {
    setWindowTitle(m_machineName.empty()
                       ? QStringLiteral("KOR SETUP")
                       : QStringLiteral("KOR SETUP - ") + toQString(m_machineName));
}

void MainWindow::createMenus() {
    QMenuBar* bar = menuBar();
    m_fileMenu = addMenu(bar, "fileMenu", tr("ファイル"));
    m_openFolderAction = addItem(m_fileMenu, "openFolderAction", tr("オープン"), ctrl(Qt::Key_F));
    m_convertAction = addItem(m_fileMenu, "convertAction", tr("画像をロゴに変換..."));
    m_machineAction = addItem(m_fileMenu, "machineAction", tr("ﾏｼﾝの選択..."));
    m_backupSeparator = addSeparator(m_fileMenu, "backupSeparator");
    m_backupAction = addItem(m_fileMenu, "backupAction", tr("ＬＯＧＯファイルバックアップ"));
    m_quitSeparator = addSeparator(m_fileMenu, "quitSeparator");
    m_quitAction = addItem(m_fileMenu, "quitAction", tr("終了"), ctrl(Qt::Key_E));

    m_settingsMenu = addMenu(bar, "settingsMenu", tr("設定"));
    m_openBrowserAction =
        addItem(m_settingsMenu, "openBrowserAction", tr("ＬＯＧＯファイルの変更"), ctrl(Qt::Key_L));
    m_locationAction = addItem(m_settingsMenu, "locationAction", tr("ＬＯＧＯ変更ファイル位置設定"),
                               ctrl(Qt::Key_I));

    m_optionsMenu = addMenu(bar, "optionsMenu", tr("オプション"));
    m_optionsAction =
        addItem(m_optionsMenu, "optionsAction", tr("オプション設定"), ctrl(Qt::Key_O));

    m_versionMenu = addMenu(bar, "versionMenu", tr("バージョン"));
    m_aboutAction = addItem(m_versionMenu, "aboutAction", tr("情報"), ctrl(Qt::Key_A));

    connect(m_openFolderAction, &QAction::triggered, this, &MainWindow::openStartFolder);
    connect(m_backupAction, &QAction::triggered, this, &MainWindow::backUpLogoFiles);
    connect(m_convertAction, &QAction::triggered, this, &MainWindow::openConverter);
    connect(m_machineAction, &QAction::triggered, this, [this] { showMachineChooser(); });
    connect(m_quitAction, &QAction::triggered, this, &MainWindow::quit);
    connect(m_openBrowserAction, &QAction::triggered, this, &MainWindow::showLogoBrowser);
    connect(m_locationAction, &QAction::triggered, this, &MainWindow::showLocationWindow);
    connect(m_optionsAction, &QAction::triggered, this, &MainWindow::showOptionsWindow);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAboutWindow);
}

void MainWindow::start() {
    // A WINDIR that names no Windows folder would have every setting written
    // somewhere the user never meant: the program says so and ends.
    if (const platform::Status windows = platform::Machine::current().windowsDirectoryStatus();
        !windows) {
        tell(windows.error().message());
        platform::endProgram(1);
    }
    readMachine();
    // Said once the window is up, over it, rather than before anything shows.
    if (std::optional<std::string> note = noDrivesNote(platform::Machine::current()))
        QTimer::singleShot(0, this, [note = std::move(*note)] { tell(note); });
}

// Reads the machine's KOR.INI into the session and points the windows at
// what it configures.
void MainWindow::readMachine() {
    m_session.readAtStart();
    const core::Settings& settings = m_session.settings;

    if (m_session.isBmpMode()) {
        if (!settings.DirOnly.empty())
            showConfiguredDirectory(settings.DirOnly);
        return;
    }
    // The last logo configured decides where the browser, the current
    // directory and the start folder point.
    for (const core::LogoSourceKeys& keys : core::LogoSources) {
        const std::string& fileName = settings.*keys.archiveFileName;
        if (fileName.empty() || !showConfiguredDirectory(settings.*keys.archiveDirectory))
            continue;
        m_session.archiveState.currentArchiveName = fileName;
    }
}

// Points the browser's lists, the current drive and directory and the start
// folder at a configured directory. A directory that no longer exists, or
// lies on a drive that is not mapped, is passed over untouched, so that the
// program starts all the same; false then.
bool MainWindow::showConfiguredDirectory(const std::string& directory) {
    if (!platform::directoryExists(directory) || !logoBrowser().showDirectory(directory))
        return false;
    m_session.startFolder = directory;
    return true;
}

void MainWindow::keepFixedSize() {
    // A minimized window has no size of its own to keep; it comes back as it
    // was.
    if (isMinimized())
        return;
    if (isMaximized())
        showNormal();
    if (size() != m_fixedSize)
        resize(m_fixedSize);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    keepFixedSize();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        keepFixedSize();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A closed child window is deleted soon after; it is forgotten at once,
    // so that the next request makes a fresh one.
    if (event->type() == QEvent::Close) {
        if (watched == m_logoBrowser)
            m_logoBrowser.clear();
        if (watched == m_imageDisplay)
            m_imageDisplay.clear();
        if (watched == m_optionsWindow)
            m_optionsWindow.clear();
        if (watched == m_locationWindow)
            m_locationWindow.clear();
        if (watched == m_aboutWindow)
            m_aboutWindow.clear();
        if (watched == m_convertWindow)
            m_convertWindow.clear();
        if (watched == m_machineChooser)
            m_machineChooser.clear();
        if (watched == m_activeChild)
            m_activeChild.clear();
    }
    return QMainWindow::eventFilter(watched, event);
}

namespace {

// Only a file manager's list of files is taken; text or web addresses are
// left to whatever else takes them.
bool isFileList(const QMimeData* data) {
    return data && data->hasUrls() && !data->urls().isEmpty() &&
           std::ranges::all_of(data->urls(), [](const QUrl& url) { return url.isLocalFile(); });
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (isFileList(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (isFileList(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (!isFileList(event->mimeData()))
        return event->ignore();
    // Taken as a copy, so that a file manager proposing a move deletes
    // nothing; of several files the last one counts, as on the location
    // window.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QString hostPath = event->mimeData()->urls().back().toLocalFile();
    const DroppedItem dropped = droppedItemOf(hostPath);
    if (!dropped.windowsPath)
        return refuseDrop(dropped.refusal);
    if (!platform::fileExists(*dropped.windowsPath) ||
        !isConvertiblePictureName(*dropped.windowsPath))
        return refuseDrop((platform::directoryExists(*dropped.windowsPath)
                               ? tr("ドロップされたフォルダは変換できる画像 (BMP・PNG・JPEG・GIF) "
                                    "ではありません。")
                               : tr("ドロップされたファイルは変換できる画像 (BMP・PNG・JPEG・GIF) "
                                    "ではありません。"))
                              .toStdString());
    if (platform::Status shown = showConvertWindow().setSource(*dropped.windowsPath); !shown)
        refuseDrop(shown.error().message());
}

void MainWindow::subWindowActivated(QMdiSubWindow* window) {
    // No window at all: the active one was closed or hidden, and nobody took
    // the focus from anyone.
    if (!window)
        return;
    const QPointer<QMdiSubWindow> previous = std::exchange(m_activeChild, window);
    if (previous == window)
        return;
    if (previous)
        emit childDeactivated(previous);
    emit childActivated(window);
}

void MainWindow::browserDragStarted() {
    // The browser cannot be moved, and covers the location window whole or
    // but for a strip: for the drag's length that window comes in front to
    // take the drop, without the focus, which stays with the browser.
    m_draggingFromBrowser = true;
    if (m_locationWindow)
        m_locationWindow->raise();
}

void MainWindow::browserDragFinished() {
    m_draggingFromBrowser = false;
    // A window that took the focus during the drag stays in front, and the
    // location window, kept open only for the drop, closes as it would have.
    QMdiSubWindow* active = m_area->activeSubWindow();
    if (active && active != m_logoBrowser && active != m_locationWindow) {
        if (m_locationWindow)
            m_locationWindow->closeWhenAnotherIsActivated(active);
        active->raise();
        return;
    }
    if (m_logoBrowser)
        m_logoBrowser->raise();
}

void MainWindow::showChild(QMdiSubWindow& window) {
    window.show();
    window.raise();
    m_area->setActiveSubWindow(&window);
}

void MainWindow::closeLogoBrowser() {
    if (m_logoBrowser)
        m_logoBrowser->close();
}

void MainWindow::openStartFolder() {
    // With no start folder nothing is seen. A folder that cannot be opened is
    // said so, with why, rather than nothing happening: one inside a disk image
    // has no host folder to give a file manager, and a desktop may have none.
    const platform::FolderOpening opening = platform::services().openFolder(m_session.startFolder);
    if (opening == platform::FolderOpening::Opened || m_session.startFolder.empty())
        return;
    tell((opening == platform::FolderOpening::NotAHostFolder
              ? tr("%1\nこのﾌｫﾙﾀﾞをﾌｧｲﾙﾏﾈｰｼﾞｬで開けませんでした。ﾃﾞｨｽｸｲﾒｰｼﾞの中のﾌｫﾙﾀﾞは"
                   "「ＬＯＧＯファイルの変更」で開いてください")
              : tr("%1\nこのﾌｫﾙﾀﾞを開くﾌｧｲﾙﾏﾈｰｼﾞｬが見つかりませんでした"))
             .arg(toQString(m_session.startFolder))
             .toStdString());
}

void MainWindow::backUpLogoFiles() {
    offerLogoBackup(m_session.settings);
}

void MainWindow::openConverter() {
    showConvertWindow();
}

void MainWindow::quit() {
    QCoreApplication::exit(0);
}

void MainWindow::showLocationWindow() {
    closeLogoBrowser();
    showChild(locationWindow());
}

void MainWindow::showOptionsWindow() {
    closeLogoBrowser();
    showChild(optionsWindow());
}

void MainWindow::showAboutWindow() {
    showChild(childWindow(m_aboutWindow, *this));
}

} // namespace kor::setup
