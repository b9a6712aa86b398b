#pragma once

#include "core/archive.h"
#include "core/settings.h"

#include <string>

namespace kor::setup {

// What the setup program holds from its start to its end and its windows
// share (Module1): the settings as read once at start and as the windows
// change them, the folder "オープン" shows, and the archive being listed.
// The main window owns it and hands it to each child window.
struct SetupState {
    core::Settings settings;
    // Chosen by the start-up only, so "オープン" always shows the same folder.
    std::string startFolder;
    core::ArchiveState archiveState;
};

// The first steps of the start: the settings directory is the Windows
// directory, ArcCheck starts empty, and KOR.INI is read. A KOR.INI that cannot
// be read leaves the values read before the fault and is not reported.
void readSettingsAtStart(SetupState& state);

} // namespace kor::setup
