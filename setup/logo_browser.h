// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "file_controls.h"

#include "core/archive.h"
#include "core/logo.h"
#include "core/setup_session.h"

#include <QByteArray>
#include <QImage>
#include <QMdiSubWindow>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

class QPushButton;

namespace kor::setup {

class MainWindow;

// Where the change command finds an archive member: extracted anew (the
// browser's own buttons), or already extracted by the picture command that
// opened the image display window.
enum class MemberSource { ExtractAnew, AlreadyExtracted };

// The logo browser: the window in which the user walks drives and
// directories, picks a picture or an archive and one of its members, views
// it or makes it a logo at once. It has no border and sits in the top left
// corner of the main window's inner area; its height and the files it lists
// follow the session's picture-source mode. It hosts the archive listing:
// the member list shows the members with their sizes, dates and times.
class LogoBrowser final : public QMdiSubWindow {
    Q_OBJECT

  public:
    static constexpr int DesignedWidthTwips = 6525;
    static constexpr int DesignedHeightTwips = 5430;

    static constexpr int BmpModeHeightTwips = 2190;

    LogoBrowser(MainWindow& main, core::SetupSession& session);

    // Moves to the top left corner and applies the picture-source mode.
    void load();

    // Points the drive and directory lists, the current drive and the
    // current directory at `directory`; false when it cannot be shown.
    bool showDirectory(const std::string& directory);

    // The change command for one logo, with its checks and messages; the
    // image display window runs it too, while this window is hidden.
    void changeLogo(core::LogoSlot slot, MemberSource source);
    // Removes the copy extracted for the image display window, if any.
    void discardViewedCopy() { m_viewedCopy.reset(); }

    // The member name of the member list's selected row, "" when none.
    std::string selectedMemberName() const { return memberList->selectedText(); }

    // The handlers, run by the controls.
    void driveChosen();
    void folderChosen();
    void fileChosen();
    void memberChosen();
    void installOpening();
    void installMiddle();
    void installEnding();
    void viewPicture();

    // The controls, reached by the window's own code and by tests.
    DriveListBox* driveList;
    DirListBox* folderList;
    FileListBox* fileList;
    ReportListView* memberList;
    QListWidget* memberNames;
    QPushButton* closeButton;
    QPushButton* installOpeningButton;
    QPushButton* installMiddleButton;
    QPushButton* installEndingButton;
    QPushButton* viewButton;

  signals:
    // An entry of the directory or file list is being dragged, until
    // entryDragFinished(), whether it was dropped or the drag cancelled.
    void entryDragStarted();
    void entryDragFinished();

  private:
    // The archive listing and how the member lists show it: a row of the
    // member list is the entry of the same number.
    class ArchiveLists final {
      public:
        explicit ArchiveLists(LogoBrowser& window) : m_window(window) {}

        // Lists the current archive and shows it; as core::listArchive.
        core::ListingResult list(core::ArchiveState& state);
        // The entry of memberList's selected row; nullopt when none is selected.
        std::optional<core::ArchiveEntry> selectedEntry() const;
        // Extracts the entry of the selected row, as core::extractMember.
        platform::Result<core::ExtractedMember> extractSelected(const core::ArchiveState& state,
                                                                const core::Settings& settings);

      private:
        void show();

        LogoBrowser& m_window;
        core::ArchiveListing m_listing;
    };

    bool isBmpMode() const { return m_session.isBmpMode(); }
    // The height and the file pattern of the mode in force.
    void showPictureSource();
    std::string selectedFilePath() const;
    void clearArchiveLists();
    void enableActionButtons();
    void disableActionButtons();
    void changeFromPictureFile(core::LogoSlot slot);
    void changeFromArchive(core::LogoSlot slot, MemberSource source);
    // The picture to view with its title, checked and loaded; nullopt when
    // the user has been told why not. An archive member is extracted for it
    // and, when it cannot be shown, deleted again.
    struct Picture {
        QString title;
        QImage image;
        QByteArray bytes; // the file's
    };
    std::optional<Picture> pictureToView();
    // Installs the member from `extracted`; reports a failure.
    void installExtracted(core::LogoSlot slot, const core::ExtractedMember& extracted);

    MainWindow& m_main;
    core::SetupSession& m_session;
    core::SetupSession::Subscription m_watch{m_session, [this] { showPictureSource(); }};
    ArchiveLists m_archiveLists{*this};
    // The member extracted for the image display window, until a change
    // installs it or the window closes.
    std::optional<core::ExtractedMember> m_viewedCopy;
};

} // namespace kor::setup
