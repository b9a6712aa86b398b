// SPDX-License-Identifier: GPL-3.0-or-later
#include "location_window.h"

#include "controls.h"
#include "drop_label.h"
#include "logo_browser.h"
#include "main_window.h"
#include "source_chooser.h"
#include "twips.h"

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/text.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <optional>

namespace kor::setup {

namespace {

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

// KOR.INI holds no line break or NUL byte in a value, and only characters of
// CP932; a path with others cannot be recorded.
bool isStorableInKorIni(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos &&
           platform::toCp932(value).ok();
}

// Why a Windows path, from a drop or a pick, cannot be recorded; "" when it
// can: a full path of an existing item, asked of the machine so that every
// kind of drive answers alike, that KOR.INI can hold.
std::string whyNotRecordable(const std::string& windowsPath) {
    const bool isFolder = platform::directoryExists(windowsPath);
    platform::Result<std::string> full = platform::Machine::current().fullPath(windowsPath);
    if (!full || (!platform::fileExists(windowsPath) && !isFolder))
        return (isFolder ? QCoreApplication::translate("kor::setup::LocationWindow",
                                                       "ドロップされたフォルダが見つかりません。")
                         : QCoreApplication::translate("kor::setup::LocationWindow",
                                                       "ドロップされたファイルが見つかりません。"))
            .toStdString();
    if (full.value() != windowsPath)
        return QCoreApplication::translate("kor::setup::LocationWindow",
                                           "ドロップされた場所は設定できません。")
            .toStdString();
    if (!isStorableInKorIni(windowsPath))
        return unwritableDropName(isFolder);
    return {};
}

} // namespace

LocationWindow::LocationWindow(MainWindow& main, core::SetupSession& session)
    : m_main(main), m_session(session) {
    // The title bar names the window as the menu item that opens it does; the
    // captions are in half-width katakana, so that the window matches the
    // guides and pictures its users know.
    setUpChildWindow(*this, "LocationWindow", tr("ＬＯＧＯ変更ファイル位置設定"),
                     CloseButton::Shown);

    contentPanel = makePanel(nullptr, "contentPanel", {});
    contentPanel->setFixedSize(sizeFromTwips(5880, 3405));
    openingPanel = makePanel(contentPanel, "openingPanel", rectFromTwips(120, 150, 5625, 765));
    openingHeading = makeLabel(openingPanel, "openingHeading", rectFromTwips(60, 75, 1515, 180),
                               tr("設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ"));
    DropLabel* opening =
        makeValueLabel(openingPanel, "openingSource", rectFromTwips(90, 360, 5415, 345));
    middlePanel = makePanel(contentPanel, "middlePanel", rectFromTwips(120, 990, 5625, 765));
    middleHeading = makeLabel(middlePanel, "middleHeading", rectFromTwips(60, 60, 1140, 180),
                              tr("設定中間ﾌｧｲﾙ"));
    DropLabel* middle =
        makeValueLabel(middlePanel, "middleSource", rectFromTwips(90, 360, 5415, 345));
    endingPanel = makePanel(contentPanel, "endingPanel", rectFromTwips(120, 1830, 5625, 765));
    endingHeading = makeLabel(endingPanel, "endingHeading", rectFromTwips(60, 45, 1455, 180),
                              tr("設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ"));
    DropLabel* ending =
        makeValueLabel(endingPanel, "endingSource", rectFromTwips(90, 360, 5415, 330));
    openingSource = opening;
    middleSource = middle;
    endingSource = ending;
    clearAllButton = makeButton(contentPanel, "clearAllButton", tr("設定値ALLｸﾘｱｰ"),
                                rectFromTwips(270, 2760, 2490, 495));
    exitButton =
        makeButton(contentPanel, "exitButton", tr("終了"), rectFromTwips(3090, 2760, 2490, 480));
    setWidget(contentPanel);

    connect(opening, &DropLabel::filesDropped, this, &LocationWindow::openingDropped);
    connect(middle, &DropLabel::filesDropped, this, &LocationWindow::middleDropped);
    connect(ending, &DropLabel::filesDropped, this, &LocationWindow::endingDropped);
    const struct {
        DropLabel* value;
        QLabel* heading;
        core::LogoSlot slot;
    } values[] = {{opening, openingHeading, core::LogoSlot::Opening},
                  {middle, middleHeading, core::LogoSlot::Middle},
                  {ending, endingHeading, core::LogoSlot::Ending}};
    // Each row's parts captured by name, as clang 14 (which checks these
    // sources) cannot capture a structured binding.
    for (const auto& row : values) {
        connect(row.value, &DropLabel::windowsPathDropped, this,
                [this, value = row.value, slot = row.slot](const QString& path) {
                    recordPath(*value, slot, path.toStdString());
                });
        connect(row.value, &DropLabel::doubleClicked, this,
                [this, value = row.value, heading = row.heading, slot = row.slot] {
                    chooseSource(*value, *heading, slot);
                });
    }
    connect(clearAllButton, &QPushButton::clicked, this, &LocationWindow::clearAllSources);
    connect(exitButton, &QPushButton::clicked, this, &LocationWindow::exitClicked);
    connect(&m_main, &MainWindow::childActivated, this,
            &LocationWindow::closeWhenAnotherIsActivated);
}

void LocationWindow::load() {
    placeChildWindow(*this, m_main.innerSizeInTwips(), 20.0, 5.0);
    // The mode in force, made "on" or "off" in memory, as every window that
    // shows it does when it loads.
    m_session.setPictureSource(m_session.pictureSource());
}

void LocationWindow::showSources() {
    const bool bmpMode = m_session.isBmpMode();
    setCaption(*openingHeading, bmpMode ? tr("設定ｵｰﾌﾟﾆﾝｸﾞDIR") : tr("設定ｵｰﾌﾟﾆﾝｸﾞﾌｧｲﾙ"));
    setCaption(*endingHeading, bmpMode ? tr("設定ｴﾝﾃﾞｨﾝｸﾞDIR") : tr("設定ｴﾝﾃﾞｨﾝｸﾞﾌｧｲﾙ"));
    setCaption(*middleHeading, bmpMode ? tr("設定中間DIR") : tr("設定中間ﾌｧｲﾙ"));
    openingSource->setText(toQString(m_session.shownSource(core::LogoSlot::Opening)));
    middleSource->setText(toQString(m_session.shownSource(core::LogoSlot::Middle)));
    endingSource->setText(toQString(m_session.shownSource(core::LogoSlot::Ending)));
}

void LocationWindow::closeWhenAnotherIsActivated(QMdiSubWindow* activated) {
    // Items are dragged onto the values from the logo browser: the focus
    // passing to it keeps this window open, and the main window brings it
    // forward while a drag is under way.
    if (activated == this || qobject_cast<LogoBrowser*>(activated) ||
        m_main.isDraggingFromBrowser())
        return;
    close();
}

void LocationWindow::openingDropped(const QStringList& hostPaths) {
    recordDrop(*openingSource, core::LogoSlot::Opening, hostPaths);
}

void LocationWindow::middleDropped(const QStringList& hostPaths) {
    recordDrop(*middleSource, core::LogoSlot::Middle, hostPaths);
}

void LocationWindow::endingDropped(const QStringList& hostPaths) {
    recordDrop(*endingSource, core::LogoSlot::Ending, hostPaths);
}

void LocationWindow::recordDrop(QLabel& label, core::LogoSlot slot, const QStringList& hostPaths) {
    // Of several items dropped at once, the last one counts.
    const DroppedItem dropped = droppedItemOf(hostPaths.back());
    if (!dropped.windowsPath)
        return refuseDrop(dropped.refusal);
    recordPath(label, slot, *dropped.windowsPath);
}

void LocationWindow::recordPath(QLabel& label, core::LogoSlot slot,
                                const std::string& windowsPath) {
    // Refused before anything is written, so that an archive's directory is
    // never written without its file name.
    if (std::string why = whyNotRecordable(windowsPath); !why.empty())
        return refuseDrop(std::move(why));
    const platform::Result<core::DropResult> recorded =
        m_session.recordDroppedPath(slot, windowsPath);
    if (!recorded)
        return tell(recorded.error().message());
    // A refused archive leaves the old one recorded, in KOR.INI and in memory;
    // the emptied label shows it again when the window is next opened.
    if (recorded.value() == core::DropResult::NotAnArchive) {
        refuseDrop((platform::directoryExists(windowsPath)
                        ? tr("フォルダは設定できません。LZH ファイルをドロップしてください。")
                        : tr("ドロップされたファイルは LZH ファイルではありません。"))
                       .toStdString());
        label.clear();
    }
}

void LocationWindow::chooseSource(QLabel& label, QLabel& heading, core::LogoSlot slot) {
    const core::LogoSourceKeys& keys = core::sourceKeysOf(slot);
    const bool bmpMode = m_session.isBmpMode();
    // Opens where the slot's source lies now.
    const std::string& recorded =
        m_session.settings.*(bmpMode ? keys.pictureDirectory : keys.archiveDirectory);
    SourceChooser chooser(&m_main, bmpMode ? SourceKind::Folder : SourceKind::Archive,
                          wholeCaption(heading), recorded);
    const QPointer<LocationWindow> alive(this);
    if (chooser.exec() != QDialog::Accepted || !alive)
        return;
    recordPath(label, slot, chooser.chosenPath());
}

void LocationWindow::clearAllSources() {
    if (platform::Status cleared = m_session.clearSources(); !cleared)
        tell(cleared.error().message());
}

void LocationWindow::exitClicked() {
    close();
}

} // namespace kor::setup
