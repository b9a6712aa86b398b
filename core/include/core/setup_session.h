// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/archive.h"
#include "core/logo.h"
#include "core/settings.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kor::core {

// Where the pictures come from: folders of BMP files, or LZH archives.
enum class PictureSource { Bmp, Archive };

// What became of a path dropped on a logo's place.
enum class DropResult { Recorded, NotAnArchive };

// What the setup program holds from its start to its end and its windows
// share: the settings as read once at start and as the user changes them, the
// folder "オープン" shows, and the archive being listed. Every change of the
// picture-source mode or of a logo's source is told to the observers, so that
// each window shows the session's state instead of setting another's.
class SetupSession {
  public:
    using Observer = std::function<void()>;

    // Watches the session while it lives.
    class Subscription {
      public:
        Subscription(SetupSession& session, Observer observer);
        ~Subscription();
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;

      private:
        SetupSession& m_session;
        std::size_t m_id;
    };

    Settings settings;
    // Chosen by the start-up only, so "オープン" always shows the same folder.
    std::string startFolder;
    ArchiveState archiveState;

    // The first steps of the start: the settings directory is the Windows
    // directory, ArcCheck starts empty, and KOR.INI is read. A KOR.INI that
    // cannot be read leaves the values read before the fault and is not
    // reported. No observer is told.
    void readAtStart();

    // The mode in force: BMP mode only while ArcCheck is exactly "on".
    PictureSource pictureSource() const;
    bool isBmpMode() const { return pictureSource() == PictureSource::Bmp; }
    // Puts `source` in force: ArcCheck becomes "on" or "off" in memory and the
    // observers are told, even when the mode stays. Writes nothing.
    void setPictureSource(PictureSource source);
    // The user's choice of mode: ArcCheck written to KOR.INI, then put in
    // force. A KOR.INI that cannot be written keeps its old value, and so
    // does memory: the mode stays, no observer is told, and the failure is
    // returned.
    platform::Status choosePictureSource(PictureSource source);
    // Sets pc98Check or sizecheck to "on" or "off", in KOR.INI and then in
    // memory; a failed write leaves both as they were and is returned.
    platform::Status setFlag(std::string_view key, bool on);

    // The files the logo browser lists in the mode in force.
    std::string_view filePattern() const;
    // What a logo is drawn from in the mode in force: its picture directory
    // in BMP mode, its archive's file name in archive mode.
    const std::string& shownSource(LogoSlot slot) const;

    // Records the Windows path of an item dropped on a logo's place. In BMP
    // mode the folder (the item itself, or the folder holding an item whose
    // name looks like a file's) becomes the picture directory. In archive mode
    // an item named like an archive (*.LZH) becomes the archive, its
    // directory and file name written in one replacement of KOR.INI; any other
    // is refused and the old archive stays. A KOR.INI that cannot be written
    // fails the drop, with nothing recorded in memory either.
    platform::Result<DropResult> recordDroppedPath(LogoSlot slot, const std::string& windowsPath);
    // Empties every logo's sources in KOR.INI, in one replacement, and in
    // memory; Dir, MDir and EDir serve the start-up only and stay in memory.
    // Fails, changing nothing in memory, when KOR.INI cannot be written.
    platform::Status clearSources();

  private:
    void notify();

    std::vector<std::pair<std::size_t, Observer>> m_observers;
    std::size_t m_nextObserver = 0;
};

} // namespace kor::core
