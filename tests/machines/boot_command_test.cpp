// SPDX-License-Identifier: GPL-3.0-or-later
// The command that starts each emulator's machine, as a launcher runs it
// after KOR.

#include "machines/boot_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kor::machines::bootCommand;
using kor::machines::Emulator;
using kor::machines::EmulatorMachine;

TEST(BootCommand, StartsEachEmulatorOnTheMachineItsConfigurationDescribes) {
    struct Case {
        Emulator emulator;
        const char* configuration;
        std::vector<std::string> command;
    };
    const std::string libvirtScript =
        "virsh --connect \"$1\" start \"$2\"; exec virt-viewer --connect \"$1\" \"$2\"";
    const Case cases[] = {
        {Emulator::Box86,
         "/home/u/86Box VMs/Win 95/86box.cfg",
         {"86Box", "-P", "/home/u/86Box VMs/Win 95"}},
        {Emulator::PCem,
         "/home/u/.pcem/configs/Win 95.cfg",
         {"pcem", "--config", "/home/u/.pcem/configs/Win 95.cfg"}},
        {Emulator::DosBoxX,
         "/home/u/dos/win95.conf",
         {"dosbox-x", "-conf", "/home/u/dos/win95.conf"}},
        {Emulator::Bochs, "/home/u/bochs/bochsrc", {"bochs", "-q", "-f", "/home/u/bochs/bochsrc"}},
        {Emulator::VirtualBox,
         "/home/u/VirtualBox VMs/Win 95/Win 95.vbox",
         {"VBoxManage", "startvm", "Win 95", "--type", "gui"}},
        {Emulator::Libvirt,
         "/home/u/.config/libvirt/qemu/Win 95.xml",
         {"sh", "-c", libvirtScript, "sh", "qemu:///session", "Win 95"}},
        {Emulator::Libvirt,
         "/etc/libvirt/qemu/Win 95.xml",
         {"sh", "-c", libvirtScript, "sh", "qemu:///system", "Win 95"}},
        {Emulator::NekoProject,
         "/home/u/np21/np21.ini",
         {"xnp21kai", "--config", "/home/u/np21/np21.ini"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.configuration);
        const EmulatorMachine machine{"Win 95", c.emulator, c.configuration, {}};
        EXPECT_EQ(bootCommand(machine), c.command);
    }
}
