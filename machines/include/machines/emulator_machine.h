// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A machine of an emulator, as the emulator's own configuration describes
// it: which image files are its hard disks, in the order its BIOS numbers
// them. A configuration is untrusted input: its paths are resolved against
// its own folder, and nothing is written on its word.
namespace kor::machines {

// What a refusal of a machine reports doing.
inline constexpr platform::Operation ReadMachine{
    "open the emulator's machine", KOR_TRANSLATE_NOOP("operation", "ｴﾐｭﾚｰﾀのﾏｼﾝを開けません")};

enum class Emulator { Box86, PCem, DosBoxX, Bochs, VirtualBox, Libvirt, NekoProject };

// The emulator's name as its users know it: "86Box", "PCem", "DOSBox-X",
// "Bochs", "VirtualBox", "QEMU (libvirt)", "Neko Project".
std::string_view emulatorName(Emulator emulator);

// One hard disk of a machine.
struct MachineDisk {
    std::filesystem::path image; // absolute
    std::string key;             // where the configuration names it: "hdd_01_fn", "ata0-master"
};

struct EmulatorMachine {
    std::string name; // the machine's own name, else its folder's
    Emulator emulator = Emulator::Box86;
    std::filesystem::path configuration; // the file read, absolute
    std::vector<MachineDisk> disks;      // in the BIOS's order: the first is the one it boots
};

// Reads the machine at `path`: an emulator's configuration file, or a folder
// that holds exactly one (86Box's 86box.cfg, a VirtualBox .vbox, ...). Fails
// saying why, naming the file and the key, when it is no configuration of a
// known emulator, or names no hard disk, or names one that is a device, is
// missing or cannot be read, or is of a kind the programs cannot open in
// place (a VirtualBox differencing image of a machine with snapshots).
platform::Result<EmulatorMachine> readEmulatorMachine(const std::filesystem::path& path);

} // namespace kor::machines
