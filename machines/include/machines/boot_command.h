// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "machines/emulator_machine.h"

#include <string>
#include <vector>

// How each emulator is told to start a machine from the command line, so that
// a launcher can change the logos and then boot the machine.
namespace kor::machines {

// The program and arguments that start `machine` in its emulator, the
// program by the name its packages install it under: 86Box -P FOLDER,
// pcem --config FILE, dosbox-x -conf FILE, bochs -q -f FILE, VBoxManage
// startvm NAME, virsh start then virt-viewer for a libvirt domain, xnp21kai
// --config FILE. DOSBox-X and Bochs take the relative paths of their
// configuration against the folder they start in, which should be the
// configuration's.
std::vector<std::string> bootCommand(const EmulatorMachine& machine);

} // namespace kor::machines
