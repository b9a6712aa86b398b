// SPDX-License-Identifier: GPL-3.0-or-later
// KOR: changes the Windows 95 start-up and shut-down pictures unattended, each
// time it runs, from the sources that KOR.INI names.

#include "command_line.h"
#include "machine_commands.h"

#include "diskimage/image_drives.h"
#include "platform/machine.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace kor;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const changer::CommandLine line = changer::parseCommandLine(arguments);
    switch (line.action) {
    case changer::CommandLine::Action::ShowHelp:
        std::cout << changer::usageText();
        return 0;
    case changer::CommandLine::Action::ShowVersion:
        std::cout << changer::versionText();
        return 0;
    case changer::CommandLine::Action::Mistake:
        std::cerr << changer::mistakeText(line);
        // A logo never keeps a machine from starting, a mistaken option of a
        // launcher's line neither.
        if (!line.command.empty()) {
            std::error_code unknown;
            return changer::runInstead(line.command, std::filesystem::current_path(unknown));
        }
        return 2;
    case changer::CommandLine::Action::ListMachines:
        platform::Machine::setImageOpener(diskimage::openImageDrive);
        return changer::listMachines();
    case changer::CommandLine::Action::AddMachine:
        return changer::addMachine(line.addedName, line.addedPath);
    case changer::CommandLine::Action::ShowDrives:
    case changer::CommandLine::Action::Run:
        break;
    }
    return changer::runOnChosenMachine(line);
}
