// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/setup_session.h"

#include "platform/machine.h"
#include "platform/text.h"

#include <algorithm>

namespace kor::core {

namespace {

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
bool namesAFile(std::string_view name) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < name.size(); ++i)
        if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    if (starts.empty())
        return false;
    return name[starts[starts.size() < 4 ? 0 : starts.size() - 4]] == '.';
}

// Archives are told by the last three letters of the name alone, in any case.
bool namesAnArchive(std::string_view name) {
    return name.size() >= 3 && platform::upperAscii(name.substr(name.size() - 3)) == "LZH";
}

} // namespace

SetupSession::Subscription::Subscription(SetupSession& session, Observer observer)
    : m_session(session), m_id(session.m_nextObserver++) {
    session.m_observers.emplace_back(m_id, std::move(observer));
}

SetupSession::Subscription::~Subscription() {
    std::erase_if(m_session.m_observers, [this](const auto& entry) { return entry.first == m_id; });
}

void SetupSession::readAtStart() {
    settings.settingsDirectory = platform::Machine::current().windowsDirectory();
    settings.bootDrive = platform::Machine::current().bootDrive();
    settings.ArcCheck.clear();
    static_cast<void>(readSettings(settings));
    removeStaleTemporaryFiles(settings);
}

PictureSource SetupSession::pictureSource() const {
    return core::isBmpMode(settings) ? PictureSource::Bmp : PictureSource::Archive;
}

void SetupSession::setPictureSource(PictureSource source) {
    settings.ArcCheck = source == PictureSource::Bmp ? "on" : "off";
    notify();
}

platform::Status SetupSession::choosePictureSource(PictureSource source) {
    KOR_TRY(writeSetting(settings, "ArcCheck", source == PictureSource::Bmp ? "on" : "off"));
    setPictureSource(source);
    return {};
}

platform::Status SetupSession::setFlag(std::string_view key, bool on) {
    const std::string_view value = on ? "on" : "off";
    KOR_TRY(writeSetting(settings, key, value));
    *settingValue(settings, key) = value;
    return {};
}

std::string_view SetupSession::filePattern() const {
    return isBmpMode() ? "*.BMP" : "*.lzh";
}

const std::string& SetupSession::shownSource(LogoSlot slot) const {
    const LogoSourceKeys& keys = sourceKeysOf(slot);
    return settings.*(isBmpMode() ? keys.pictureDirectory : keys.archiveFileName);
}

platform::Result<DropResult> SetupSession::recordDroppedPath(LogoSlot slot,
                                                             const std::string& windowsPath) {
    const LogoSourceKeys& keys = sourceKeysOf(slot);
    const auto [directoryPart, namePart] = splitAtLastBackslash(windowsPath);
    if (isBmpMode()) {
        const std::string directory =
            namesAFile(namePart) ? directoryPart : directoryPart + '\\' + namePart;
        KOR_TRY(writeSettings(settings, {{keys.pictureDirectoryKey, directory}}));
        settings.*keys.pictureDirectory = directory;
    } else {
        if (!namesAnArchive(namePart))
            return DropResult::NotAnArchive;
        // The keys of one drop go in one replacement of the file, never one
        // without the other. Dir, MDir and EDir serve the start-up only.
        KOR_TRY(writeSettings(settings, {{keys.archiveDirectoryKey, directoryPart},
                                         {keys.archiveFileNameKey, namePart}}));
        settings.*keys.archiveFileName = namePart;
    }
    notify();
    return DropResult::Recorded;
}

platform::Status SetupSession::clearSources() {
    // Emptied together: a crash part way must not leave a directory emptied
    // beside the file name it went with.
    std::vector<platform::ProfileEntry> emptied;
    for (const LogoSourceKeys& keys : LogoSources) {
        emptied.push_back({keys.archiveDirectoryKey, {}});
        emptied.push_back({keys.archiveFileNameKey, {}});
    }
    for (const LogoSourceKeys& keys : LogoSources)
        emptied.push_back({keys.pictureDirectoryKey, {}});
    KOR_TRY(writeSettings(settings, emptied));
    for (const LogoSourceKeys& keys : LogoSources) {
        (settings.*keys.pictureDirectory).clear();
        (settings.*keys.archiveFileName).clear();
    }
    notify();
    return {};
}

void SetupSession::notify() {
    // Copied, so that an observer may come or go while the others are told.
    const auto observers = m_observers;
    for (const auto& [id, observer] : observers)
        observer();
}

} // namespace kor::core
