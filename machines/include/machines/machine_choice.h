// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "machines/drive_letters.h"
#include "machines/emulator_machine.h"
#include "machines/known_machines.h"
#include "platform/machine.h"
#include "platform/result.h"

#include <optional>
#include <string>

// Which machine the programs work on, and that machine made the emulated
// Windows machine of the process.
namespace kor::machines {

// The machine the programs work on, opened: the emulated Windows machine
// and, for a machine of an emulator, what it was made from.
struct OpenedMachine {
    std::optional<EmulatorMachine> emulator; // none for a folder of drives
    DriveLetters letters;                    // none for a folder of drives
    platform::Machine machine;
};

// Opens the machine of an emulator: letters its drives, reads MSDOS.SYS on
// the boot drive for the Windows folder (WINDIR, when set, wins). Fails when
// a disk cannot be lettered, or MSDOS.SYS is there but cannot be read or
// names no folder. MSDOS.SYS is read through the machine of the process,
// which the machine opened stands in for meanwhile: only from the thread that
// uses the machine of the process.
platform::Result<OpenedMachine> openEmulatorMachine(EmulatorMachine emulator);

// A known machine as the programs list it: its configuration read, the
// machine opened, and its Windows folder found, as a run would find them.
struct InspectedMachine {
    KnownMachine known;
    std::optional<EmulatorMachine> emulator; // when its configuration could be read
    std::optional<OpenedMachine> opened;     // when it could be opened
    platform::Status usable;                 // whether a program can change it, else why not
};
InspectedMachine inspectMachine(KnownMachine known);

// The machine a program works on, first match wins: `requested` (the
// --machine of its command line: a known machine's name or a path), then
// KOR_ROOT, then the machine last chosen in the setup program, then ~/.kor.
// A folder of drives (KOR_ROOT, ~/.kor) also takes its Windows folder and
// boot drive from MSDOS.SYS when C: holds one. Fails when `requested` or the
// remembered machine cannot be opened, saying why.
platform::Result<OpenedMachine> chooseMachine(const std::optional<std::string>& requested);

} // namespace kor::machines
