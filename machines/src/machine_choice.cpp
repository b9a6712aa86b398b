// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/machine_choice.h"

#include "machines/known_machines.h"
#include "platform/files.h"
#include "platform/profile.h"

#include "language/translation.h"

#include <cerrno>
#include <cstdint>
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

// MSDOS.SYS is a few kilobytes, padded past 1024 bytes; a far larger file
// is no Windows' MSDOS.SYS, and is not read whole.
constexpr std::uint64_t LargestMsdosSys = 64 * 1024;

// Windows 95 and 98 keep where they live in MSDOS.SYS, an INI file in the
// root of the drive they boot from, whose root also holds logo.sys: [Paths]
// WinDir= names the Windows folder. (Its HostWinBootDrv= names that same
// partition in the letters of a machine whose boot drive DriveSpace
// compressed; the drives here are partitions, never compressed ones.) A
// machine without MSDOS.SYS (DOS, a folder of drives made by hand) keeps
// its Windows folder, and boots from that folder's drive. WINDIR, when set,
// wins over WinDir.
platform::Status placeWindows(platform::Machine& machine, char msdosSysDrive) {
    const std::string msdosSys = std::string{msdosSysDrive, ':', '\\'} + "MSDOS.SYS";
    std::string windowsDirectory;
    {
        const StandingIn standingIn(machine);
        const platform::Result<std::uint64_t> length = platform::fileLength(msdosSys);
        if (!length) {
            const int code = length.error().code();
            return code == ENOENT || code == ENOTDIR ? platform::Status() : length.error();
        }
        if (length.value() > LargestMsdosSys)
            return platform::Error(platform::Operation::Read, msdosSys, EFBIG,
                                   "it is far larger than the MSDOS.SYS of Windows")
                .withUserReason(
                    language::translate("machines", "Windows の MSDOS.SYS としては大きすぎます"));
        const std::string file = KOR_TRY(platform::readFile(msdosSys));
        windowsDirectory =
            KOR_TRY(platform::profileStringIn(file, "Paths", "WinDir", "", msdosSys));
    }
    machine.setBootDrive(msdosSysDrive);
    if (windowsDirectory.empty() || givenWindowsDirectory())
        return {};
    // Windows writes a full path there; anything else names no folder it uses.
    const bool full = windowsDirectory.size() >= 3 && windowsDirectory[1] == ':' &&
                      windowsDirectory[2] == '\\' && machine.fullPath(windowsDirectory).ok();
    if (!full)
        return platform::Error(platform::Operation::Read, msdosSys, EINVAL,
                               "its [Paths] WinDir=" + windowsDirectory +
                                   " is not the full path of a folder")
            .withUserReason(language::fill(
                language::translate("machines",
                                    "[Paths] の WinDir={1} がﾌｫﾙﾀﾞのﾌﾙﾊﾟｽではありません"),
                {windowsDirectory}));
    machine.setWindowsDirectory(windowsDirectory);
    return {};
}

platform::Result<OpenedMachine> openKnownMachine(std::string_view nameOrPath) {
    const std::optional<KnownMachine> known = findMachine(nameOrPath);
    if (!known)
        return platform::Error(ReadMachine, std::string(nameOrPath), ENOENT,
                               "no machine of that name is known, and no machine lies there")
            .withUserReason(
                language::translate("machines", "その名前のﾏｼﾝはなく、そこにﾏｼﾝもありません"));
    EmulatorMachine emulator = KOR_TRY(readEmulatorMachine(known->path));
    if (known->added || emulator.name.empty())
        emulator.name = known->name;
    return openEmulatorMachine(std::move(emulator));
}

platform::Result<OpenedMachine> openFolderOfDrives() {
    platform::Machine machine = platform::Machine::folderOfDrives();
    if (machine.isDriveMapped('C'))
        KOR_TRY(placeWindows(machine, 'C'));
    return OpenedMachine{std::nullopt, {}, std::move(machine)};
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
    KOR_TRY(placeWindows(machine, bootDrive));
    return OpenedMachine{std::move(emulator), std::move(letters), std::move(machine)};
}

InspectedMachine inspectMachine(KnownMachine known) {
    InspectedMachine inspected{std::move(known), std::nullopt, std::nullopt, {}};
    platform::Result<EmulatorMachine> read = readEmulatorMachine(inspected.known.path);
    if (!read) {
        inspected.usable = read.error();
        return inspected;
    }
    inspected.emulator = read.value();
    platform::Result<OpenedMachine> opened = openEmulatorMachine(std::move(read).value());
    if (!opened) {
        inspected.usable = opened.error();
        return inspected;
    }
    const platform::Machine& machine = opened.value().machine;
    inspected.usable = machine.windowsDirectoryStatus();
    if (inspected.usable) {
        const StandingIn standingIn(machine);
        if (platform::Status found = platform::findDirectory(machine.windowsDirectory()); !found)
            inspected.usable = found.error().retold(platform::Operation::OpenWindowsDirectory,
                                                    machine.windowsDirectory());
    }
    inspected.opened = std::move(opened).value();
    return inspected;
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
