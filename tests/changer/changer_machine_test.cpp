// SPDX-License-Identifier: GPL-3.0-or-later
#include "changer_run.h"

#include "core/logo.h"
#include "disk_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

std::string picture(char fill) {
    return withBitmapStart(std::string(core::LogoLength, fill));
}

std::string readText(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

// An 86Box machine in its manager's usual place in a temporary home folder:
// its folder holds 86box.cfg and the disk image it names, a FAT16 disk with
// Windows and a folder of pictures. KOR runs with HOME and the XDG folders
// pointed into the home folder.
class ChangerOnMachine : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(folder);
        volume = makeMbrDisk(folder / "win95.img", FatType::Fat16, 63);
        makeDirectory(volume, "/WINDOWS");
        makeDirectory(volume, "/PICS");
        writeFile(volume, "/LOGO.SYS", picture('o'));
        writeFile(volume, "/WINDOWS/LOGOW.SYS", picture('m'));
        writeFile(volume, "/WINDOWS/LOGOS.SYS", picture('e'));
        for (char fill : {'1', '2'})
            writeFile(volume, std::string("/PICS/PIC") + fill + ".BMP", picture(fill));
        writeFile(volume, "/WINDOWS/KOR.INI",
                  "[SaveDir]\r\nArcCheck=on\r\nDirOnly=C:\\PICS\r\nMDirOnly=C:\\PICS\r\n");
        // As 86Box writes it: the image relative to the machine's folder.
        std::ofstream(folder / "86box.cfg")
            << "[Machine]\nmachine = p55t2p4\n\n[Hard disks]\nhdd_01_parameters = 63, 16, 65, "
               "0, ide\nhdd_01_fn = win95.img\nhdd_01_ide_channel = 0:0\n";
    }

    ProgramRun run(const std::vector<std::string>& arguments) const {
        return runProgram(KOR_PROGRAM,
                          {{"HOME", home().string()},
                           {"XDG_CONFIG_HOME", (home() / "config").string()},
                           {"XDG_DATA_HOME", (home() / "data").string()},
                           {"XDG_RUNTIME_DIR", home().string()},
                           {"LANG", "C"}},
                          arguments);
    }

    const fs::path& home() const { return machine.root(); }
    fs::path machinesFile() const { return home() / "config/kor/machines.ini"; }

    TemporaryMachine machine;
    const fs::path folder = home() / "data/86Box/Virtual Machines/Win95";
    FatVolume volume;
};

// KOR --machine changes the logos inside the image the configuration names,
// by the machine's folder, its configuration file or its name.
TEST_F(ChangerOnMachine, ChangesTheLogosInsideTheMachinesImage) {
    for (const std::string& named :
         {folder.string(), (folder / "86box.cfg").string(), std::string("Win95")}) {
        SCOPED_TRACE(named);
        writeFile(volume, "/LOGO.SYS", picture('o'));
        const ProgramRun changed = run({"--machine", named});
        EXPECT_EQ(changed.exitStatus, 0) << changed.standardError;
        EXPECT_TRUE((std::set<std::string>{picture('1'), picture('2')})
                        .contains(readFile(volume, "/LOGO.SYS")));
        EXPECT_TRUE((std::set<std::string>{picture('1'), picture('2')})
                        .contains(readFile(volume, "/WINDOWS/LOGOW.SYS")));
        EXPECT_EQ(readFile(volume, "/WINDOWS/LOGOS.SYS"), picture('e'));
    }
}

// --drives prints the drive map and what each line was made from.
TEST_F(ChangerOnMachine, DrivesShowsTheMapAndWhereItCameFrom) {
    const ProgramRun shown = run({"--machine", folder.string(), "--drives"});
    EXPECT_EQ(shown.exitStatus, 0) << shown.standardError;
    std::istringstream lines(shown.standardOutput);
    std::string first;
    std::getline(lines, first);
    EXPECT_TRUE(first.starts_with("C:  disk 1, partition 1, FAT16, ")) << first;
    EXPECT_TRUE(first.ends_with("win95.img")) << first;
    for (const std::string& expected :
         {"disk 1: " + (folder / "win95.img").string() + " (hdd_01_fn)",
          std::string("Windows folder: C:\\WINDOWS"), std::string("boot drive: C:")})
        EXPECT_NE(shown.standardOutput.find(expected + "\n"), std::string::npos)
            << shown.standardOutput;
}

// --add-machine keeps a machine that opens under its name, refuses one that
// does not with nothing written; --list-machines lists the added and the
// found, each with its emulator, boot drive and whether KOR can change it.
TEST_F(ChangerOnMachine, AddedAndFoundMachinesAreListed) {
    const ProgramRun added = run({"--add-machine", "Mine", (folder / "86box.cfg").string()});
    EXPECT_EQ(added.exitStatus, 0) << added.standardError;
    const std::string kept = readText(machinesFile());
    EXPECT_EQ(kept, "[machines]\nMine = " + (folder / "86box.cfg").string() + "\n");
    for (const std::vector<std::string>& refused :
         {std::vector<std::string>{"--add-machine", "Gone", (home() / "nowhere").string()},
          std::vector<std::string>{"--add-machine", "a=b", folder.string()}}) {
        const ProgramRun run = this->run(refused);
        EXPECT_EQ(run.exitStatus, 1) << run.standardError;
        EXPECT_NE(run.standardError, "");
        EXPECT_EQ(readText(machinesFile()), kept);
    }
    // A machine without its Windows folder opens, but KOR cannot change it.
    fs::create_directories(home() / "86Box/NoWindows");
    makeMbrDisk(home() / "86Box/NoWindows/dos.img", FatType::Fat16, 63);
    std::ofstream(home() / "86Box/NoWindows/86box.cfg")
        << "[Hard disks]\nhdd_01_parameters = 63, 16, 65, 0, ide\nhdd_01_fn = dos.img\n";
    fs::create_directories(home() / ".pcem/configs");
    std::ofstream(home() / ".pcem/configs/Broken.cfg") << "[Hard disks]\nnothing here\n";

    const ProgramRun listed = run({"--list-machines"});
    EXPECT_EQ(listed.exitStatus, 0) << listed.standardError;
    std::vector<std::string> lines;
    std::istringstream text(listed.standardOutput);
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4U) << listed.standardOutput;
    EXPECT_EQ(lines[0], "Mine  86Box  C:  ok");
    EXPECT_EQ(lines[1], "Win95  86Box  C:  ok");
    EXPECT_TRUE(
        lines[2].starts_with("NoWindows  86Box  C:  C:\\WINDOWS Cannot open the Windows folder."))
        << lines[2];
    EXPECT_TRUE(lines[3].starts_with("Broken  ")) << lines[3];
    EXPECT_FALSE(lines[3].ends_with("  ok")) << lines[3];
}

// A machine that cannot be chosen fails the run as any failure does, and
// the command after -- still runs, with its own exit status.
TEST_F(ChangerOnMachine, CommandRunsAfterAMachineThatCannotBeChosen) {
    const ProgramRun run =
        this->run({"--machine", "Nowhere", "--", "sh", "-c", "echo ran; exit 3"});
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_EQ(run.standardOutput, "ran\n");
    EXPECT_NE(run.standardError.find("Nowhere"), std::string::npos) << run.standardError;
}

} // namespace
} // namespace kor::testing
