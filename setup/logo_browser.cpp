// SPDX-License-Identifier: GPL-3.0-or-later
#include "logo_browser.h"

#include "controls.h"
#include "image_display.h"
#include "main_window.h"
#include "member_rows.h"
#include "twips.h"

#include "core/logo_problem_text.h"
#include "core/operations.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/services.h"

#include <QByteArray>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

#include <cmath>

namespace kor::setup {

namespace {

constexpr std::string_view NoFileSelected = "ファイルが選択されていません";
constexpr std::string_view WrongSize = "ファイルサイズが違うのでロゴには使用できません";
constexpr std::string_view Changed = "変更が終了しました";
constexpr std::string_view CannotLoad = "画像を読み込めません";

void report(const platform::Error& error) {
    tell(error.message());
}

// A picture file as an image with the file's bytes, which the display window
// reads a logo's palette from; nullopt, the user told, when it cannot be read
// or holds no picture that can be shown.
struct LoadedPicture {
    QImage image;
    QByteArray bytes;
};
std::optional<LoadedPicture> loadPicture(const std::string& path) {
    platform::Result<std::string> bytes = platform::readFile(path);
    if (!bytes) {
        report(bytes.error());
        return std::nullopt;
    }
    QByteArray file = QByteArray::fromStdString(bytes.value());
    QImage image = QImage::fromData(file);
    if (image.isNull()) {
        tell(CannotLoad);
        return std::nullopt;
    }
    return LoadedPicture{std::move(image), std::move(file)};
}

// Why the machine of the settings cannot show a picture file as its logo, in
// the words KOR and korlogo use; empty when it can, or when the file cannot be
// read (the change commands say why then). Only the headers are read.
QString reasonNotShown(const std::string& path, const core::Settings& settings) {
    const core::LogoFormat format = core::logoFormatOf(settings);
    const platform::Result<core::LogoInspection> found = core::inspectLogoFile(path, format);
    if (!found)
        return {};
    return toQString(core::describeLogoProblemsInJapanese(found.value(), format));
}

// The same for an archive member, of which only the listed size is known
// until it is extracted: a wrong length, or nothing.
QString reasonNotShown(const core::ArchiveEntry& entry, const core::Settings& settings) {
    const core::LogoFormat format = core::logoFormatOf(settings);
    if (entry.unpackedSize == core::layoutOf(format).length)
        return {};
    core::LogoInspection found;
    found.length = entry.unpackedSize;
    found.problems.push_back(core::LogoProblem::WrongLength);
    return toQString(core::describeLogoProblemsInJapanese(found, format));
}

} // namespace

LogoBrowser::LogoBrowser(MainWindow& main, core::SetupSession& session)
    : m_main(main), m_session(session) {
    setObjectName(QStringLiteral("LogoBrowser"));
    setWindowTitle(QStringLiteral("KOR SETUP"));
    setWindowIcon(QIcon(QStringLiteral(":/setup/icon.png")));
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* content = new QWidget(this);
    Drive1 = new DriveListBox(content);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(rectFromTwips(60, 75, 2400, 300));
    Dir1 = new DirListBox(content);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setGeometry(rectFromTwips(75, 540, 2385, 1560));
    File1 = new FileListBox(content);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(rectFromTwips(2535, 60, 2325, 2070));
    File1->setPattern("*.LZH");
    // A folder or a file is dragged from here onto the change-file location
    // window's values.
    for (QListWidget* list : {static_cast<QListWidget*>(Dir1), static_cast<QListWidget*>(File1)}) {
        list->setDragEnabled(true);
        list->setDragDropMode(QAbstractItemView::DragOnly);
    }
    ListView1 = new ReportListView(content);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(rectFromTwips(45, 2190, 6435, 3165));
    // Scratch space of the listing, never seen.
    List1 = new QListWidget(content);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(rectFromTwips(10110, 5100, 2235, 1140));
    List1->hide();
    Command9 = makeButton(content, "Command9", QStringLiteral("終了"),
                          rectFromTwips(4920, 1770, 1515, 360));
    Command10 = makeButton(content, "Command10", QStringLiteral("ｵｰﾌﾟﾆﾝｸﾞ変更"),
                           rectFromTwips(4920, 90, 1515, 345));
    Command11 = makeButton(content, "Command11", QStringLiteral("中間変更"),
                           rectFromTwips(4920, 510, 1515, 345));
    Command12 = makeButton(content, "Command12", QStringLiteral("ｴﾝﾃﾞｨﾝｸﾞ変更"),
                           rectFromTwips(4920, 930, 1515, 345));
    Command13 = makeButton(content, "Command13", QStringLiteral("画像表示"),
                           rectFromTwips(4920, 1350, 1515, 345));
    disableActionButtons();
    setTabOrderChain({Drive1, Dir1, File1, ListView1, List1, Command9, Command10, Command11,
                      Command12, Command13});
    setWidget(content);
    resize(sizeFromTwips(DesignedWidthTwips, DesignedHeightTwips));

    connect(Drive1, &DriveListBox::changed, this, &LogoBrowser::Drive1_Change);
    connect(Dir1, &DirListBox::changed, this, &LogoBrowser::Dir1_Change);
    connect(File1, &FileListBox::picked, this, &LogoBrowser::File1_Click);
    connect(ListView1, &ReportListView::clicked, this, &LogoBrowser::ListView1_Click);
    connect(Command9, &QPushButton::clicked, this, &LogoBrowser::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &LogoBrowser::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &LogoBrowser::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &LogoBrowser::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &LogoBrowser::Command13_Click);
}

void LogoBrowser::Form_Load() {
    move(0, 0);
    // The mode in force, made "on" or "off" in memory, as every window that
    // shows it does when it loads.
    m_session.setPictureSource(m_session.pictureSource());
}

void LogoBrowser::showPictureSource() {
    resize(width(), pixelsFromTwips(isBmpMode() ? BmpModeHeightTwips : DesignedHeightTwips));
    File1->setPattern(m_session.filePattern());
}

bool LogoBrowser::showDirectory(const std::string& directory) {
    if (!Drive1->setDrive(directory) || !Dir1->setPath(directory))
        return false;
    platform::Machine& machine = platform::Machine::current();
    return machine.setCurrentDrive(Drive1->drive()) && machine.setCurrentDirectory(directory);
}

void LogoBrowser::Drive1_Change() {
    // The directory list moves to the drive's own current directory.
    if (auto shown = Dir1->setPath(std::string{Drive1->drive(), ':'}); !shown)
        report(shown.error());
    else if (auto selected = platform::Machine::current().setCurrentDrive(Drive1->drive());
             !selected)
        report(selected.error());
    clearArchiveLists();
    disableActionButtons();
}

void LogoBrowser::Dir1_Change() {
    // The current directory follows, so that the bare archive name of a pick
    // is found.
    if (auto listed = File1->setPath(Dir1->path()); !listed)
        report(listed.error());
    else if (auto changed = platform::Machine::current().setCurrentDirectory(Dir1->path());
             !changed)
        report(changed.error());
    clearArchiveLists();
    disableActionButtons();
}

void LogoBrowser::File1_Click() {
    m_session.archiveState.currentArchiveName = File1->selectedName();
    if (isBmpMode()) {
        // The window has no status line: the row itself says why a picture
        // would not show, for the selected row only, so that a folder of any
        // size lists as fast as before.
        if (const QList<QListWidgetItem*> rows = File1->selectedItems(); !rows.isEmpty())
            rows.front()->setToolTip(reasonNotShown(selectedFilePath(), m_session.settings));
        return enableActionButtons();
    }
    // An archive that cannot be listed ends the program, as the user is told.
    if (const auto listed = m_archiveLists.list(m_session.archiveState);
        listed != core::ListingResult::Listed) {
        tell(core::listingFailureMessage(listed));
        platform::endProgram(1);
    }
}

void LogoBrowser::ListView1_Click() {
    if (const std::optional<core::ArchiveEntry> entry = m_archiveLists.selectedEntry())
        ListView1->setSelectedRowToolTip(reasonNotShown(*entry, m_session.settings));
    enableActionButtons();
}

void LogoBrowser::Command9_Click() {
    close();
}

void LogoBrowser::Command10_Click() {
    changeLogo(core::LogoSlot::Opening, MemberSource::ExtractAnew);
}

void LogoBrowser::Command11_Click() {
    changeLogo(core::LogoSlot::Middle, MemberSource::ExtractAnew);
}

void LogoBrowser::Command12_Click() {
    changeLogo(core::LogoSlot::Ending, MemberSource::ExtractAnew);
}

void LogoBrowser::Command13_Click() {
    const std::optional<Picture> picture = pictureToView();
    if (!picture)
        return;
    // Hidden, not closed: the display window's buttons read these lists.
    hide();
    m_main.showImageDisplay().showPicture(picture->title, picture->image, picture->bytes);
}

void LogoBrowser::changeLogo(core::LogoSlot slot, MemberSource source) {
    if (File1->selectedName().empty())
        return tell(NoFileSelected);
    if (isBmpMode())
        changeFromPictureFile(slot);
    else
        changeFromArchive(slot, source);
}

void LogoBrowser::changeFromPictureFile(core::LogoSlot slot) {
    const std::string path = selectedFilePath();
    platform::Result<std::uint64_t> length = platform::fileLength(path);
    if (!length)
        return report(length.error());
    // Told as the picture command and archive mode tell it, rather than
    // leaving the user to wonder why nothing happened.
    if (!core::isLogoLengthAccepted(m_session.settings, length.value()))
        return tell(WrongSize);
    if (auto installed = core::installLogoFromFile(m_session.settings, slot, path); !installed)
        return report(installed.error());
    tell(Changed);
}

void LogoBrowser::changeFromArchive(core::LogoSlot slot, MemberSource source) {
    const std::string member = selectedMemberName();
    if (member.empty())
        return tell(NoFileSelected);
    // A change from the display window uses the copy extracted for viewing;
    // once an earlier change there has used it up, the member is extracted
    // again, so that every button of that window works.
    if (source == MemberSource::AlreadyExtracted && m_viewedCopy) {
        installExtracted(slot, *m_viewedCopy);
        return;
    }
    auto extracted = m_archiveLists.extractSelected(m_session.archiveState, m_session.settings);
    if (!extracted)
        return extracted.error().code() == EFBIG ? tell(WrongSize) : report(extracted.error());
    installExtracted(slot, extracted.value());
}

void LogoBrowser::installExtracted(core::LogoSlot slot, const core::ExtractedMember& extracted) {
    if (auto installed = core::installLogoFromExtracted(m_session.settings, slot, extracted.path());
        !installed)
        return report(installed.error());
    m_viewedCopy.reset();
    tell(Changed);
}

std::optional<LogoBrowser::Picture> LogoBrowser::pictureToView() {
    const std::string fileName = File1->selectedName();
    if (fileName.empty()) {
        tell(NoFileSelected);
        return std::nullopt;
    }
    if (isBmpMode()) {
        const std::string path = selectedFilePath();
        platform::Result<std::uint64_t> length = platform::fileLength(path);
        if (!length) {
            report(length.error());
            return std::nullopt;
        }
        if (!core::isLogoLengthAccepted(m_session.settings, length.value())) {
            tell(WrongSize);
            return std::nullopt;
        }
        std::optional<LoadedPicture> loaded = loadPicture(path);
        if (!loaded)
            return std::nullopt;
        return Picture{toQString(fileName), std::move(loaded->image), std::move(loaded->bytes)};
    }

    const std::string member = selectedMemberName();
    if (member.empty()) {
        tell(NoFileSelected);
        return std::nullopt;
    }
    auto extracted = m_archiveLists.extractSelected(m_session.archiveState, m_session.settings);
    if (!extracted) {
        extracted.error().code() == EFBIG ? tell(WrongSize) : report(extracted.error());
        return std::nullopt;
    }
    std::optional<LoadedPicture> loaded = loadPicture(extracted.value().path());
    // No display window will show it otherwise, so none would remove it.
    if (!loaded)
        return std::nullopt;
    m_viewedCopy = std::move(extracted).value();
    return Picture{toQString(member), std::move(loaded->image), std::move(loaded->bytes)};
}

std::string LogoBrowser::selectedFilePath() const {
    // A drive root ends in "\" already.
    std::string path = Dir1->path();
    return core::addBackslash(path) + File1->selectedName();
}

void LogoBrowser::clearArchiveLists() {
    List1->clear();
    ListView1->clearRows();
    ListView1->clearColumns();
}

void LogoBrowser::enableActionButtons() {
    for (QPushButton* button : {Command10, Command11, Command12, Command13})
        button->setEnabled(true);
}

void LogoBrowser::disableActionButtons() {
    for (QPushButton* button : {Command10, Command11, Command12, Command13})
        button->setEnabled(false);
}

core::ListingResult LogoBrowser::ArchiveLists::list(core::ArchiveState& state) {
    const core::ListingResult listed = core::listArchive(state, m_listing, owner());
    if (listed == core::ListingResult::Listed) {
        show();
    } else if (m_listing.empty()) {
        // An archive that went away takes its rows with it.
        m_window.ListView1->clearRows();
        m_window.List1->clear();
    }
    return listed;
}

void LogoBrowser::ArchiveLists::show() {
    ReportListView& list = *m_window.ListView1;
    QListWidget& names = *m_window.List1;
    list.clearRows();
    names.clear();
    list.clearColumns();
    const double width = list.width();
    for (const MemberColumn& column : MemberColumns)
        list.addColumn(toQString(column.caption),
                       static_cast<int>(std::lround(width / column.share)), column.alignment);
    for (std::size_t i = 0; i < m_listing.size(); ++i) {
        names.addItem(toQString(m_listing.name(i)));
        list.addRow(memberRowCells(m_listing[i]));
    }
}

std::optional<core::ArchiveEntry> LogoBrowser::ArchiveLists::selectedEntry() const {
    const int row = m_window.ListView1->selectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_listing.size())
        return std::nullopt;
    return m_listing[static_cast<std::size_t>(row)];
}

platform::Result<core::ExtractedMember>
LogoBrowser::ArchiveLists::extractSelected(const core::ArchiveState& state,
                                           const core::Settings& settings) {
    const std::optional<core::ArchiveEntry> entry = selectedEntry();
    if (!entry)
        return platform::Error(core::operation::ExtractMember, state.currentArchiveName, ENOENT,
                               "no member is chosen");
    return core::extractMember(*entry, state, settings, owner());
}

} // namespace kor::setup
