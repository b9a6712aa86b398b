#include "setup_state.h"

#include "core/logo.h"
#include "platform/machine.h"

namespace kor::setup {

void readSettingsAtStart(SetupState& state) {
    state.settings.settingsDirectory = platform::Machine::current().windowsDirectory();
    state.settings.ArcCheck.clear();
    static_cast<void>(core::ReadSettings(state.settings));
    core::RemoveStaleTemporaryFiles(state.settings);
}

} // namespace kor::setup
