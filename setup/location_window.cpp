#include "location_window.h"

#include "drop_label.h"
#include "fonts.h"
#include "main_window.h"
#include "options_window.h"
#include "setup_state.h"
#include "twips.h"

#include "core/settings.h"
#include "platform/machine.h"
#include "platform/services.h"
#include "platform/text.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <array>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace kor::setup {

// The keys of one logo screen: the picture directory of BMP mode, the
// archive's directory and file name of archive mode.
struct Dir_File_Setup::ScreenKeys {
    std::string_view directoryOnly;
    std::string_view archiveDirectory;
    std::string_view archiveFileName;
};

namespace {

// The nine location keys in the order the clear-all button empties them.
constexpr std::array<std::string_view, 9> LocationKeys = {
    "Dir", "FileName", "MDir", "MFileName", "EDir", "EFileName", "DirOnly", "MDirOnly", "EDirOnly"};

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

QFrame* makePanel(QWidget* parent, const char* name, QRect geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFont(japaneseUiFont());
    panel->setGeometry(geometry);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& caption = {}) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

// A value label shows a path; sunken and white, it reads as the place to
// drop one.
DropLabel* makeValueLabel(QWidget* parent, const char* name, QRect geometry) {
    auto* label = new DropLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    label->setIndent(3);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

// KOR.INI holds no line break or NUL byte in a value, and only characters of
// CP932; a path with others cannot be recorded.
bool isStorableInKorIni(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos &&
           platform::toCp932(value).ok();
}

// The Windows path of a dropped host path, or nothing when it cannot be
// recorded: it lies outside every drive, its Windows path would lead the
// changer elsewhere (a host name holding "\"), or KOR.INI cannot hold it.
std::optional<std::string> recordablePath(const QString& hostPath) {
    const std::filesystem::path host(QFile::encodeName(hostPath).toStdString());
    const platform::Machine& machine = platform::Machine::current();
    platform::Result<std::string> windows = machine.windowsPath(host);
    if (!windows)
        return std::nullopt;
    platform::Result<std::filesystem::path> found = machine.hostPath(windows.value());
    std::error_code error;
    if (!found || !std::filesystem::equivalent(found.value(), host, error))
        return std::nullopt;
    if (!isStorableInKorIni(windows.value()))
        return std::nullopt;
    return std::move(windows).value();
}

struct SplitPath {
    std::string directory;
    std::string name;
};

// Splits at the last "\", which a full Windows path always holds: C:\LOGO\A.BMP
// gives C:\LOGO and A.BMP, C:\LOGO gives C: and LOGO, C:\ gives C: and nothing.
// UTF-8 has no byte 0x5C inside a character, so the search is safe.
SplitPath splitAtLastBackslash(const std::string& path) {
    const std::size_t at = path.rfind('\\');
    return {path.substr(0, at), path.substr(at + 1)};
}

// A name with "." fourth from its end (a three-letter extension) names a
// file; any other name a directory, whatever the item really is. A name of
// fewer than four characters is judged by its first one.
bool namesAFile(const std::string& name) {
    const std::u32string characters = QString::fromStdString(name).toStdU32String();
    if (characters.empty())
        return false;
    return characters[characters.size() < 4 ? 0 : characters.size() - 4] == U'.';
}

// Archives are told by the last three letters of the name alone, in any case.
bool namesAnArchive(const std::string& name) {
    return name.size() >= 3 && platform::upperAscii(name.substr(name.size() - 3)) == "LZH";
}

} // namespace

Dir_File_Setup::Dir_File_Setup(KORsetupMain& main, SetupState& state)
    : m_main(main), m_state(state) {
    setObjectName(QStringLiteral("Dir_File_Setup"));
    setWindowTitle(QStringLiteral("Form2"));
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);

    SSPanels = makePanel(nullptr, "SSPanels", {});
    SSPanels->setFixedSize(sizeFromTwips(5880, 3405));
    SSPanel1 = makePanel(SSPanels, "SSPanel1", rectFromTwips(120, 150, 5625, 765));
    Label3 = makeLabel(SSPanel1, "Label3", rectFromTwips(60, 75, 1515, 180),
                       QStringLiteral("設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ"));
    DropLabel* opening = makeValueLabel(SSPanel1, "Label1", rectFromTwips(90, 360, 5415, 345));
    SSPanel2 = makePanel(SSPanels, "SSPanel2", rectFromTwips(120, 990, 5625, 765));
    Label5 = makeLabel(SSPanel2, "Label5", rectFromTwips(60, 60, 1140, 180),
                       QStringLiteral("設定中間ﾌｧｲﾙ"));
    DropLabel* middle = makeValueLabel(SSPanel2, "Label6", rectFromTwips(90, 360, 5415, 345));
    SSPanel3 = makePanel(SSPanels, "SSPanel3", rectFromTwips(120, 1830, 5625, 765));
    Label4 = makeLabel(SSPanel3, "Label4", rectFromTwips(60, 45, 1455, 180),
                       QStringLiteral("設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ"));
    DropLabel* ending = makeValueLabel(SSPanel3, "Label2", rectFromTwips(90, 360, 5415, 330));
    Label1 = opening;
    Label6 = middle;
    Label2 = ending;
    Command4 = makeButton(SSPanels, "Command4", QStringLiteral("設定値ALLｸﾘｱｰ"),
                          rectFromTwips(270, 2760, 2490, 495));
    Command9 = makeButton(SSPanels, "Command9", QStringLiteral("終了"),
                          rectFromTwips(3090, 2760, 2490, 480));
    setWidget(SSPanels);

    connect(opening, &DropLabel::filesDropped, this, &Dir_File_Setup::Label1_OLEDragDrop);
    connect(middle, &DropLabel::filesDropped, this, &Dir_File_Setup::Label6_OLEDragDrop);
    connect(ending, &DropLabel::filesDropped, this, &Dir_File_Setup::Label2_OLEDragDrop);
    connect(Command4, &QPushButton::clicked, this, &Dir_File_Setup::Command4_Click);
    connect(Command9, &QPushButton::clicked, this, &Dir_File_Setup::Command9_Click);
    m_main.whenDeactivated(this, &Dir_File_Setup::Form_Deactivate);
}

void Dir_File_Setup::Form_Load() {
    // Sized once inside the main window, where its title bar is part of it.
    adjustSize();
    const QSize inner = m_main.innerSizeInTwips();
    move(pixelsFromTwips(inner.width() / 20.0), pixelsFromTwips(inner.height() / 5.0));
    m_main.optionsWindow().check_set();
}

void Dir_File_Setup::Form_Deactivate() {
    close();
}

void Dir_File_Setup::Label1_OLEDragDrop(const QStringList& hostPaths) {
    recordDrop(*Label1, {"DirOnly", "Dir", "FileName"}, hostPaths);
}

void Dir_File_Setup::Label6_OLEDragDrop(const QStringList& hostPaths) {
    recordDrop(*Label6, {"MDirOnly", "MDir", "MFileName"}, hostPaths);
}

void Dir_File_Setup::Label2_OLEDragDrop(const QStringList& hostPaths) {
    recordDrop(*Label2, {"EDirOnly", "EDir", "EFileName"}, hostPaths);
}

void Dir_File_Setup::recordDrop(QLabel& label, const ScreenKeys& keys,
                                const QStringList& hostPaths) {
    // Of several items dropped at once, the last one counts. One that cannot
    // be recorded is refused before anything is written, so that an archive's
    // directory is never written without its file name.
    const std::optional<std::string> path = recordablePath(hostPaths.back());
    if (!path) {
        platform::services().beep();
        return;
    }
    const auto [directoryPart, namePart] = splitAtLastBackslash(*path);
    core::Settings& settings = m_state.settings;

    // check_set made ArcCheck "on" or "off" when this window loaded.
    if (settings.ArcCheck != "off") {
        const std::string directory =
            namesAFile(namePart) ? directoryPart : directoryPart + '\\' + namePart;
        label.setText(toQString(directory));
        write({{keys.directoryOnly, directory}});
        *core::settingValue(settings, keys.directoryOnly) = directory;
        return;
    }

    // The old archive stays recorded, in KOR.INI and in memory; the emptied
    // label shows it again when the window is next opened.
    if (!namesAnArchive(namePart)) {
        platform::services().beep();
        label.clear();
        return;
    }
    label.setText(toQString(namePart));
    write({{keys.archiveDirectory, directoryPart}, {keys.archiveFileName, namePart}});
    *core::settingValue(settings, keys.archiveFileName) = namePart;
}

void Dir_File_Setup::Command4_Click() {
    // Emptied together: a crash part way must not leave a directory emptied
    // beside the file name it went with.
    std::vector<platform::ProfileEntry> emptied;
    for (std::string_view key : LocationKeys)
        emptied.push_back({key, {}});
    write(emptied);
    Label1->clear();
    Label2->clear();
    Label6->clear();
    // Dir, MDir and EDir serve the start-up only; in memory they stay.
    core::Settings& settings = m_state.settings;
    settings.DirOnly.clear();
    settings.EDirOnly.clear();
    settings.MDirOnly.clear();
    settings.FileName.clear();
    settings.EFileName.clear();
    settings.MFileName.clear();
}

void Dir_File_Setup::Command9_Click() {
    close();
}

void Dir_File_Setup::write(const std::vector<platform::ProfileEntry>& entries) {
    // As with the options, a KOR.INI that cannot be written is not reported:
    // the values hold for this run only. The keys of one drop go in one
    // replacement of the file, never one without the other.
    static_cast<void>(core::WriteSettings(m_state.settings, entries));
}

} // namespace kor::setup
