// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk_image.h"
#include "temporary_machine.h"

#include "diskimage/image_drives.h"
#include "machines/known_machines.h"
#include "machines/machine_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace kor::machines {
namespace {

namespace fs = std::filesystem;
using testing::FatType;

// Sets an environment variable for one test, or unsets it, and puts back
// what was there.
class Variable {
  public:
    Variable(const char* name, const std::optional<std::string>& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        set(value);
    }
    ~Variable() { set(m_old); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

  private:
    void set(const std::optional<std::string>& value) {
        if (value)
            ::setenv(m_name, value->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    const char* m_name;
    std::optional<std::string> m_old;
};

std::string msdosSys(const std::string& windowsDirectory) {
    return "[Paths]\r\nWinDir=" + windowsDirectory + "\r\nWinBootDir=" + windowsDirectory +
           "\r\nHostWinBootDrv=C\r\n";
}

struct ChoiceCase {
    const char* name;
    bool requested = false;  // --machine names the 86Box machine
    bool korRoot = false;    // KOR_ROOT names the folder of drives
    bool remembered = false; // the 86Box machine was last chosen in korsetup
    std::optional<std::string> windir = std::nullopt;
    std::string machineWinDir = "C:\\WIN95"; // MSDOS.SYS's, in the 86Box machine
    // What is chosen: the 86Box machine, else a folder of drives (KOR_ROOT's,
    // or ~/.kor's), and its Windows folder; empty when it is refused.
    bool emulated = false;
    std::string windowsDirectory = {};
};

void PrintTo(const ChoiceCase& choice, std::ostream* out) {
    *out << choice.name;
}

class ChooseMachine : public ::testing::TestWithParam<ChoiceCase> {};

// The first of --machine, KOR_ROOT, the machine last chosen and ~/.kor is
// the machine, and its Windows folder is MSDOS.SYS's unless WINDIR says
// otherwise.
TEST_P(ChooseMachine, TakesTheFirstMachineNamedAndItsWindowsFolder) {
    const ChoiceCase& choice = GetParam();
    const testing::TemporaryMachine home;
    const fs::path machine = home.root() / "Win95";
    fs::create_directories(machine);
    const testing::FatVolume volume = testing::makeMbrDisk(machine / "win95.img", FatType::Fat16);
    testing::writeFile(volume, "/MSDOS.SYS", msdosSys(choice.machineWinDir));
    std::ofstream(machine / "86box.cfg")
        << "[Hard disks]\nhdd_01_parameters = 63, 16, 65, 0, ide\nhdd_01_fn = win95.img\n"
           "hdd_01_ide_channel = 0:0\n";
    // KOR_ROOT's C: says Windows lives on D:; ~/.kor has no MSDOS.SYS.
    const fs::path korRoot = home.root() / "root";
    fs::create_directories(korRoot / "c");
    fs::create_directories(home.root() / ".kor" / "c");
    std::ofstream(korRoot / "c" / "MSDOS.SYS") << msdosSys("D:\\WINDOWS");

    const Variable homeVariable("HOME", home.root().string());
    const Variable config("XDG_CONFIG_HOME", (home.root() / "config").string());
    const Variable root("KOR_ROOT",
                        choice.korRoot ? std::optional(korRoot.string()) : std::nullopt);
    const Variable windir("WINDIR", choice.windir);
    if (choice.remembered) {
        ASSERT_TRUE(rememberChosenMachine(machine.string()).ok());
    }
    platform::Machine::setImageOpener(diskimage::openImageDrive);

    const platform::Result<OpenedMachine> chosen =
        chooseMachine(choice.requested ? std::optional(machine.string()) : std::nullopt);
    if (choice.windowsDirectory.empty()) {
        ASSERT_FALSE(chosen.ok());
        EXPECT_NE(chosen.error().text().find("MSDOS.SYS"), std::string::npos)
            << chosen.error().text();
        return;
    }
    ASSERT_TRUE(chosen.ok()) << chosen.error().text();
    EXPECT_EQ(chosen.value().emulator.has_value(), choice.emulated);
    EXPECT_EQ(chosen.value().machine.windowsDirectory(), choice.windowsDirectory);
    EXPECT_EQ(chosen.value().machine.bootDrive(), 'C');
    EXPECT_EQ(chosen.value().machine.root(), choice.emulated  ? machine
                                             : choice.korRoot ? korRoot
                                                              : home.root() / ".kor");
}

INSTANTIATE_TEST_SUITE_P(
    Machines, ChooseMachine,
    ::testing::Values(ChoiceCase{.name = "RequestedBeforeKorRoot",
                                 .requested = true,
                                 .korRoot = true,
                                 .remembered = true,
                                 .emulated = true,
                                 .windowsDirectory = "C:\\WIN95"},
                      ChoiceCase{.name = "KorRootBeforeTheRememberedOne",
                                 .korRoot = true,
                                 .remembered = true,
                                 .windowsDirectory = "D:\\WINDOWS"},
                      ChoiceCase{.name = "RememberedBeforeHomeKor",
                                 .remembered = true,
                                 .emulated = true,
                                 .windowsDirectory = "C:\\WIN95"},
                      ChoiceCase{.name = "HomeKorLast", .windowsDirectory = "C:\\WINDOWS"},
                      ChoiceCase{.name = "WindirWinsOverMsdosSys",
                                 .requested = true,
                                 .windir = "C:\\OTHER",
                                 .emulated = true,
                                 .windowsDirectory = "C:\\OTHER"},
                      ChoiceCase{.name = "WinDirOfNoFolderIsRefused",
                                 .requested = true,
                                 .machineWinDir = "WINDOWS"}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return info.param.name; });

} // namespace
} // namespace kor::machines
