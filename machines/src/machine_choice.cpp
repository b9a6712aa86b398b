// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/machine_choice.h"

#include "machines/known_machines.h"
#include "platform/profile.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <utility>

namespace kor::machines {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> givenWindowsDirectory() {
    if (const char* windows = std::getenv("WINDIR"); windows && *windows)
        return std::string(windows);
    return std::nullopt;
}

// The files of the platform are read through the machine of the process; a
// machine being opened stands in for it only while its MSDOS.SYS is read, so
// that a machine that is only looked at (the setup program's chooser) never
// becomes the one worked on.
class StandingIn {
  public:
    explicit StandingIn(const platform::Machine& machine) : m_saved(platform::Machine::current()) {
        platform::Machine::setCurrent(machine);
    }
    StandingIn(const StandingIn&) = delete;
    StandingIn& operator=(const StandingIn&) = delete;
    ~StandingIn() { platform::Machine::setCurrent(std::move(m_saved)); }

  private:
    platform::Machine m_saved;
};

// Windows 95 and 98 keep where they live in MSDOS.SYS, an INI file in the
// root of the drive they boot from: [Paths] WinDir= names the Windows
// folder, and HostWinBootDrv= the drive that holds the boot files, logo.sys
// among them, which differs from the one holding MSDOS.SYS only on a drive
// that DriveSpace compressed. A machine without MSDOS.SYS (DOS, a folder of
// drives made by hand) keeps its Windows folder, and boots from its drive.
void placeWindows(platform::Machine& machine, char msdosSysDrive) {
    const std::string msdosSys = std::string{msdosSysDrive, ':', '\\'} + "MSDOS.SYS";
    std::string windowsDirectory;
    std::string hostBootDrive;
    {
        const StandingIn standingIn(machine);
        if (!platform::fileLength(msdosSys))
            return;
        windowsDirectory = platform::readProfileString("Paths", "WinDir", "", msdosSys).valueOr("");
        hostBootDrive =
            platform::readProfileString("Paths", "HostWinBootDrv", "", msdosSys).valueOr("");
    }
    if (!givenWindowsDirectory() && !windowsDirectory.empty())
        machine.setWindowsDirectory(windowsDirectory);
    const bool hostMapped = hostBootDrive.size() == 1 && machine.isDriveMapped(hostBootDrive[0]);
    machine.setBootDrive(hostMapped ? hostBootDrive[0] : msdosSysDrive);
}

platform::Result<OpenedMachine> openKnownMachine(std::string_view nameOrPath) {
    const std::optional<KnownMachine> known = findMachine(nameOrPath);
    if (!known)
        return platform::Error(ReadMachine, std::string(nameOrPath), ENOENT,
                               "no machine of that name is known, and no machine lies there")
            .withJapaneseReason("その名前のﾏｼﾝはなく、そこにﾏｼﾝもありません");
    EmulatorMachine emulator = KOR_TRY(readEmulatorMachine(known->path));
    if (known->added || emulator.name.empty())
        emulator.name = known->name;
    return openEmulatorMachine(std::move(emulator));
}

OpenedMachine openFolderOfDrives() {
    platform::Machine machine = platform::Machine::folderOfDrives();
    if (machine.isDriveMapped('C'))
        placeWindows(machine, 'C');
    return {std::nullopt, {}, std::move(machine)};
}

} // namespace

platform::Result<OpenedMachine> openEmulatorMachine(EmulatorMachine emulator) {
    std::vector<fs::path> disks;
    for (const MachineDisk& disk : emulator.disks)
        disks.push_back(disk.image);
    DriveLetters letters = KOR_TRY(letterDrives(disks));
    std::map<char, platform::MappedDrive> drives;
    for (const LetteredDrive& drive : letters.drives)
        drives[drive.letter] = {disks[drive.disk], true, drive.partition};
    // The drive holding MSDOS.SYS: the one the machine boots from.
    const char bootDrive = letters.pc98 ? 'A' : 'C';
    platform::Machine machine(
        emulator.configuration.parent_path(), drives,
        givenWindowsDirectory().value_or(std::string{bootDrive} + ":\\WINDOWS"));
    placeWindows(machine, bootDrive);
    return OpenedMachine{std::move(emulator), std::move(letters), std::move(machine)};
}

platform::Result<OpenedMachine> chooseMachine(const std::optional<std::string>& requested) {
    if (requested)
        return openKnownMachine(*requested);
    if (const char* root = std::getenv("KOR_ROOT"); root && *root)
        return openFolderOfDrives();
    if (const std::optional<std::string> chosen = lastChosenMachine())
        return openKnownMachine(*chosen);
    return openFolderOfDrives();
}

} // namespace kor::machines
