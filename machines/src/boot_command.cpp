// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/boot_command.h"

namespace kor::machines {
namespace {

// A domain whose description lies in the system's libvirt folder belongs to
// the system's connection; any other to the user's own session.
std::string libvirtConnection(const std::filesystem::path& configuration) {
    return configuration.string().starts_with("/etc/libvirt/") ? "qemu:///system"
                                                               : "qemu:///session";
}

} // namespace

std::vector<std::string> bootCommand(const EmulatorMachine& machine) {
    const std::string configuration = machine.configuration.string();
    switch (machine.emulator) {
    case Emulator::Box86:
        // 86Box's --help: "-P, --vmpath path: set 'path' to be root for vm".
        return {"86Box", "-P", machine.configuration.parent_path().string()};
    case Emulator::PCem:
        // PCem's readme (v10.1 on): a command line option names the
        // configuration file, --config FILE, and the machine starts at once.
        return {"pcem", "--config", configuration};
    case Emulator::DosBoxX:
        // DOSBox-X's wiki, "Command-Line Options": -conf FILE.
        return {"dosbox-x", "-conf", configuration};
    case Emulator::Bochs:
        // bochs(1): -q skips the start menu, -f names the configuration file.
        return {"bochs", "-q", "-f", configuration};
    case Emulator::VirtualBox:
        // The VirtualBox manual, "VBoxManage startvm": a registered machine
        // by its name, in a window of its own.
        return {"VBoxManage", "startvm", machine.name, "--type", "gui"};
    case Emulator::Libvirt:
        // virsh(1) "start" boots the domain and ends; virt-viewer(1) shows
        // its screen. The viewer is opened also when the domain was running
        // already, which virsh reports as a failure.
        return {"sh",
                "-c",
                "virsh --connect \"$1\" start \"$2\"; exec virt-viewer --connect \"$1\" \"$2\"",
                "sh",
                libvirtConnection(machine.configuration),
                machine.name};
    case Emulator::NekoProject:
        // Neko Project II kai's X11 program for the 386 and later machines
        // that run Windows: "--config [-c] <file>: specify config file".
        return {"xnp21kai", "--config", configuration};
    }
    return {};
}

} // namespace kor::machines
