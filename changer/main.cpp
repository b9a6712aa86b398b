// SPDX-License-Identifier: GPL-3.0-or-later
// KOR: changes the Windows 95 start-up and shut-down pictures unattended, each
// time it runs, from the sources that KOR.INI names.

#include "change_run.h"
#include "command_line.h"

#include "core/session_language.h"

#include "diskimage/image_drives.h"
#include "platform/machine.h"
#include "platform/services.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace kor;
    const core::TextLanguage language = core::sessionLanguage();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const changer::CommandLine line = changer::parseCommandLine(arguments);
    switch (line.action) {
    case changer::CommandLine::Action::ShowHelp:
        std::cout << changer::usageText(language);
        return 0;
    case changer::CommandLine::Action::ShowVersion:
        std::cout << changer::versionText(language);
        return 0;
    case changer::CommandLine::Action::Mistake:
        std::cerr << changer::mistakeText(line.mistake, language);
        return 2;
    case changer::CommandLine::Action::Run:
        break;
    }
    platform::setServices(platform::makeServicesForThisSession());
    platform::Machine::setImageOpener(diskimage::openImageDrive);
    changer::ChangeRun changeRun(line.options, language);
    return static_cast<int>(changeRun.run());
}
