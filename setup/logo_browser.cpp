// SPDX-License-Identifier: GPL-3.0-or-later
#include "logo_browser.h"

#include "controls.h"
#include "image_display.h"
#include "main_window.h"
#include "member_rows.h"
#include "twips.h"

#include "core/logo_problem_text.h"
#include "core/operations.h"
#include "language/translation.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/services.h"

#include <QByteArray>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>

namespace kor::setup {

namespace {

constexpr const char* NoFileSelected =
    QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "ファイルが選択されていません");
constexpr const char* WrongSize =
    QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "ファイルサイズが違うのでロゴには使用できません");
constexpr const char* Changed = QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "変更が終了しました");
constexpr const char* CannotLoad =
    QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "画像を読み込めません");

// Says one of the texts above in the session's language.
void tellTranslated(const char* japanese) {
    tell(LogoBrowser::tr(japanese).toStdString());
}

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
        tellTranslated(CannotLoad);
        return std::nullopt;
    }
    return LoadedPicture{std::move(image), std::move(file)};
}

// Every problem of `found` in the session's language, as korlogo tells them:
// in English the clauses joined into one sentence.
QString describeProblems(const core::LogoInspection& found, core::LogoFormat format) {
    QString reasons = toQString(core::describeLogoProblems(found, format));
    if (!language::sessionReadsJapanese() && !reasons.isEmpty())
        reasons = reasons.front().toUpper() + reasons.mid(1) + u'.';
    return reasons;
}

// Why the machine of the settings cannot show a picture file as its logo, in
// the words KOR and korlogo use; empty when it can, or when the file cannot be
// read (the change commands say why then). Only the headers are read.
QString reasonNotShown(const std::string& path, const core::Settings& settings) {
    const core::LogoFormat format = core::logoFormatOf(settings);
    const platform::Result<core::LogoInspection> found = core::inspectLogoFile(path, format);
    if (!found)
        return {};
    return describeProblems(found.value(), format);
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
    return describeProblems(found, format);
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
    driveList = new DriveListBox(content);
    driveList->setObjectName(QStringLiteral("driveList"));
    driveList->setGeometry(rectFromTwips(60, 75, 2400, 300));
    folderList = new DirListBox(content);
    folderList->setObjectName(QStringLiteral("folderList"));
    folderList->setGeometry(rectFromTwips(75, 540, 2385, 1560));
    fileList = new FileListBox(content);
    fileList->setObjectName(QStringLiteral("fileList"));
    fileList->setGeometry(rectFromTwips(2535, 60, 2325, 2070));
    fileList->setPattern("*.LZH");
    // A folder or a file is dragged from here onto the change-file location
    // window's values.
    for (QListWidget* list :
         {static_cast<QListWidget*>(folderList), static_cast<QListWidget*>(fileList)}) {
        list->setDragEnabled(true);
        list->setDragDropMode(QAbstractItemView::DragOnly);
    }
    connect(folderList, &DirListBox::dragStarted, this, &LogoBrowser::entryDragStarted);
    connect(folderList, &DirListBox::dragFinished, this, &LogoBrowser::entryDragFinished);
    connect(fileList, &FileListBox::dragStarted, this, &LogoBrowser::entryDragStarted);
    connect(fileList, &FileListBox::dragFinished, this, &LogoBrowser::entryDragFinished);
    memberList = new ReportListView(content);
    memberList->setObjectName(QStringLiteral("memberList"));
    memberList->setGeometry(rectFromTwips(45, 2190, 6435, 3165));
    // The member names alone, as the listing fills them. Never shown: the
    // user sees them in the member list, beside their sizes.
    memberNames = new QListWidget(content);
    memberNames->setObjectName(QStringLiteral("memberNames"));
    memberNames->setGeometry(rectFromTwips(10110, 5100, 2235, 1140));
    memberNames->hide();
    // The captions are in half-width katakana, as in the rest of the program,
    // so that they fit the narrow buttons on one line.
    closeButton =
        makeButton(content, "closeButton", tr("終了"), rectFromTwips(4920, 1770, 1515, 360));
    installOpeningButton = makeButton(content, "installOpeningButton", tr("ｵｰﾌﾟﾆﾝｸﾞ変更"),
                                      rectFromTwips(4920, 90, 1515, 345));
    installMiddleButton = makeButton(content, "installMiddleButton", tr("中間変更"),
                                     rectFromTwips(4920, 510, 1515, 345));
    installEndingButton = makeButton(content, "installEndingButton", tr("ｴﾝﾃﾞｨﾝｸﾞ変更"),
                                     rectFromTwips(4920, 930, 1515, 345));
    viewButton =
        makeButton(content, "viewButton", tr("画像表示"), rectFromTwips(4920, 1350, 1515, 345));
    disableActionButtons();
    setTabOrderChain({driveList, folderList, fileList, memberList, memberNames, closeButton,
                      installOpeningButton, installMiddleButton, installEndingButton, viewButton});
    setWidget(content);
    resize(sizeFromTwips(DesignedWidthTwips, DesignedHeightTwips));
    // Not placed as the other child windows are, so its captions are fitted
    // here.
    fitCaptions(*this);

    connect(driveList, &DriveListBox::changed, this, &LogoBrowser::driveChosen);
    connect(folderList, &DirListBox::changed, this, &LogoBrowser::folderChosen);
    connect(fileList, &FileListBox::picked, this, &LogoBrowser::fileChosen);
    connect(memberList, &ReportListView::clicked, this, &LogoBrowser::memberChosen);
    connect(closeButton, &QPushButton::clicked, this, &LogoBrowser::close);
    connect(installOpeningButton, &QPushButton::clicked, this, &LogoBrowser::installOpening);
    connect(installMiddleButton, &QPushButton::clicked, this, &LogoBrowser::installMiddle);
    connect(installEndingButton, &QPushButton::clicked, this, &LogoBrowser::installEnding);
    connect(viewButton, &QPushButton::clicked, this, &LogoBrowser::viewPicture);
}

void LogoBrowser::load() {
    move(0, 0);
    // The mode in force, made "on" or "off" in memory, as every window that
    // shows it does when it loads.
    m_session.setPictureSource(m_session.pictureSource());
}

void LogoBrowser::showPictureSource() {
    resize(width(), pixelsFromTwips(isBmpMode() ? BmpModeHeightTwips : DesignedHeightTwips));
    fileList->setPattern(m_session.filePattern());
}

bool LogoBrowser::showDirectory(const std::string& directory) {
    if (!driveList->setDrive(directory) || !folderList->setPath(directory))
        return false;
    platform::Machine& machine = platform::Machine::current();
    return machine.setCurrentDrive(driveList->drive()) && machine.setCurrentDirectory(directory);
}

void LogoBrowser::driveChosen() {
    // The directory list moves to the drive's own current directory.
    if (auto shown = folderList->setPath(std::string{driveList->drive(), ':'}); !shown)
        report(shown.error());
    else if (auto selected = platform::Machine::current().setCurrentDrive(driveList->drive());
             !selected)
        report(selected.error());
    clearArchiveLists();
    disableActionButtons();
}

void LogoBrowser::folderChosen() {
    // The current directory follows, so that the bare archive name of a pick
    // is found.
    if (auto listed = fileList->setPath(folderList->path()); !listed)
        report(listed.error());
    else if (auto changed = platform::Machine::current().setCurrentDirectory(folderList->path());
             !changed)
        report(changed.error());
    clearArchiveLists();
    disableActionButtons();
}

void LogoBrowser::fileChosen() {
    m_session.archiveState.currentArchiveName = fileList->selectedName();
    if (isBmpMode()) {
        // The window has no status line: the row itself says why a picture
        // would not show, for the selected row only, so that a folder of any
        // size lists as fast as before.
        if (const QList<QListWidgetItem*> rows = fileList->selectedItems(); !rows.isEmpty())
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

void LogoBrowser::memberChosen() {
    if (const std::optional<core::ArchiveEntry> entry = m_archiveLists.selectedEntry())
        memberList->setSelectedRowToolTip(reasonNotShown(*entry, m_session.settings));
    enableActionButtons();
}

void LogoBrowser::installOpening() {
    changeLogo(core::LogoSlot::Opening, MemberSource::ExtractAnew);
}

void LogoBrowser::installMiddle() {
    changeLogo(core::LogoSlot::Middle, MemberSource::ExtractAnew);
}

void LogoBrowser::installEnding() {
    changeLogo(core::LogoSlot::Ending, MemberSource::ExtractAnew);
}

void LogoBrowser::viewPicture() {
    const std::optional<Picture> picture = pictureToView();
    if (!picture)
        return;
    // Hidden, not closed: the display window's buttons read these lists.
    hide();
    m_main.showImageDisplay().showPicture(picture->title, picture->image, picture->bytes);
}

void LogoBrowser::changeLogo(core::LogoSlot slot, MemberSource source) {
    if (fileList->selectedName().empty())
        return tellTranslated(NoFileSelected);
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
        return tellTranslated(WrongSize);
    if (auto installed = core::installLogoFromFile(m_session.settings, slot, path); !installed)
        return report(installed.error());
    tellTranslated(Changed);
}

void LogoBrowser::changeFromArchive(core::LogoSlot slot, MemberSource source) {
    const std::string member = selectedMemberName();
    if (member.empty())
        return tellTranslated(NoFileSelected);
    // A change from the display window uses the copy extracted for viewing;
    // once an earlier change there has used it up, the member is extracted
    // again, so that every button of that window works.
    if (source == MemberSource::AlreadyExtracted && m_viewedCopy) {
        installExtracted(slot, *m_viewedCopy);
        return;
    }
    auto extracted = m_archiveLists.extractSelected(m_session.archiveState, m_session.settings);
    if (!extracted)
        return extracted.error().code() == EFBIG ? tellTranslated(WrongSize)
                                                 : report(extracted.error());
    installExtracted(slot, extracted.value());
}

void LogoBrowser::installExtracted(core::LogoSlot slot, const core::ExtractedMember& extracted) {
    if (auto installed = core::installLogoFromExtracted(m_session.settings, slot, extracted.path());
        !installed)
        return report(installed.error());
    m_viewedCopy.reset();
    tellTranslated(Changed);
}

std::optional<LogoBrowser::Picture> LogoBrowser::pictureToView() {
    const std::string fileName = fileList->selectedName();
    if (fileName.empty()) {
        tellTranslated(NoFileSelected);
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
            tellTranslated(WrongSize);
            return std::nullopt;
        }
        std::optional<LoadedPicture> loaded = loadPicture(path);
        if (!loaded)
            return std::nullopt;
        return Picture{toQString(fileName), std::move(loaded->image), std::move(loaded->bytes)};
    }

    const std::string member = selectedMemberName();
    if (member.empty()) {
        tellTranslated(NoFileSelected);
        return std::nullopt;
    }
    auto extracted = m_archiveLists.extractSelected(m_session.archiveState, m_session.settings);
    if (!extracted) {
        extracted.error().code() == EFBIG ? tellTranslated(WrongSize) : report(extracted.error());
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
    std::string path = folderList->path();
    return core::addBackslash(path) + fileList->selectedName();
}

void LogoBrowser::clearArchiveLists() {
    memberNames->clear();
    memberList->clearRows();
    memberList->clearColumns();
}

void LogoBrowser::enableActionButtons() {
    for (QPushButton* button :
         {installOpeningButton, installMiddleButton, installEndingButton, viewButton})
        button->setEnabled(true);
}

void LogoBrowser::disableActionButtons() {
    for (QPushButton* button :
         {installOpeningButton, installMiddleButton, installEndingButton, viewButton})
        button->setEnabled(false);
}

core::ListingResult LogoBrowser::ArchiveLists::list(core::ArchiveState& state) {
    const core::ListingResult listed = core::listArchive(state, m_listing);
    if (listed == core::ListingResult::Listed) {
        show();
    } else if (m_listing.empty()) {
        // An archive that went away takes its rows with it.
        m_window.memberList->clearRows();
        m_window.memberNames->clear();
    }
    return listed;
}

void LogoBrowser::ArchiveLists::show() {
    ReportListView& list = *m_window.memberList;
    QListWidget& names = *m_window.memberNames;
    list.clearRows();
    names.clear();
    list.clearColumns();
    for (const MemberColumn& column : MemberColumns)
        list.addColumn(tr(column.caption.data()), pixelsFromTwips(column.widthTwips),
                       column.alignment);
    for (std::size_t i = 0; i < m_listing.size(); ++i) {
        names.addItem(toQString(m_listing.name(i)));
        list.addRow(memberRowCells(m_listing[i]));
    }
}

std::optional<core::ArchiveEntry> LogoBrowser::ArchiveLists::selectedEntry() const {
    const int row = m_window.memberList->selectedRow();
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
    return core::extractMember(*entry, state, settings);
}

} // namespace kor::setup
