// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hidden_lists.h"

#include "core/archive.h"
#include "core/logo.h"
#include "core/settings.h"
#include "platform/files.h"

#include <optional>
#include <string>

namespace kor::changer {

// How a run ended, as the program's exit status.
enum class RunOutcome { Completed = 0, Failed = 1 };

// What a run does besides its work, as the command line asks.
struct RunOptions {
    // Draws as a run does, with the same rules and notes, but writes nothing:
    // no logo, no extracted member, no removal of stale temporary files. A
    // logo's drive that could not be written now (a disk image in use) ends
    // it as it would end the run.
    bool dryRun = false;
    // Says on standard output, a line per logo, what was drawn and what came
    // of it; a dry run always does.
    bool verbose = false;
};

// One run of the changer: read KOR.INI, then for the opening, middle and
// ending logo in turn draw a picture at random and install it. The program
// shows no window and ends after it. It walks the drives and folders through
// lists that keep the change rules of the setup program's list controls, so
// that both programs find the same sources.
class ChangeRun final {
  public:
    // The lists start at the machine's current drive and directory. The run's
    // report lines, notes and messages are in the session's language.
    explicit ChangeRun(RunOptions options = {});

    // The whole run. A failure that ends it has been reported through the
    // message service when this returns RunOutcome::Failed. An archive that
    // cannot be listed ends the program from inside, after its message.
    RunOutcome run();

    const core::Settings& settings() const { return m_settings; }

  private:
    // The run itself: stops at the first failure, which run() reports.
    platform::Status changeLogos();
    // What the lists do when the drive or the folder changes: the folder list
    // moves to the drive's current directory, the file list to the folder,
    // the machine's current drive and directory follow, and the listing of
    // an archive of the folder left is forgotten.
    platform::Status enterChosenDrive();
    platform::Status enterChosenFolder();
    void forgetListing();

    // A logo this run leaves as it is: the note on standard error, and the
    // report line.
    void leaveUnchanged(core::LogoSlot slot, const std::string& why);
    // The report line of a slot that got, or in a dry run would get, `source`.
    void reportInstalled(core::LogoSlot slot, const std::string& source);
    void reportNoSource(core::LogoSlot slot);

    // Points the drive and folder lists at `directory` and makes it the
    // current drive and directory.
    platform::Status showDirectory(const std::string& directory);
    platform::Status changeFromPictureDirectory(core::LogoSlot slot, const std::string& directory);
    platform::Status changeFromArchive(core::LogoSlot slot, const std::string& directory,
                                       const std::string& archiveName);

    DriveList m_driveList;
    DirectoryList m_folderList;
    FileList m_fileList;
    // The members of the archive listed last; a run draws one of them.
    core::ArchiveListing m_listing;

    RunOptions m_options;
    core::Settings m_settings;
    core::ArchiveState m_archiveState;
    // The archive file the listing holds, as it was when listed.
    std::optional<platform::FileVersion> m_listedArchive;
};

} // namespace kor::changer
