// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/known_machines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kor::machines {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

void writeText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// A fresh home folder, with HOME and XDG_CONFIG_HOME pointed into it for the
// test's lifetime, and the variables as they were afterwards.
class TemporaryHome {
  public:
    explicit TemporaryHome(std::optional<std::string> configHome = std::nullopt) {
        std::string pattern = (fs::temp_directory_path() / "kor-home-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        m_home = pattern;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
        ::setenv("HOME", m_home.c_str(), 1);
        if (configHome)
            ::setenv("XDG_CONFIG_HOME", configHome->c_str(), 1);
    }
    ~TemporaryHome() {
        for (const auto& [name, value] : m_saved)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        std::error_code error;
        fs::remove_all(m_home, error);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const fs::path& path() const { return m_home; }

  private:
    fs::path m_home;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST(KnownMachines, FileFollowsXdgConfigHomeUnlessRelative) {
    {
        const TemporaryHome home;
        EXPECT_EQ(machinesFile(), home.path() / ".config/kor/machines.ini");
    }
    {
        const TemporaryHome home("/elsewhere/config");
        EXPECT_EQ(machinesFile(), fs::path("/elsewhere/config/kor/machines.ini"));
    }
    {
        // The XDG base directories ignore a relative folder.
        const TemporaryHome home("relative/config");
        EXPECT_EQ(machinesFile(), home.path() / ".config/kor/machines.ini");
    }
}

TEST(KnownMachines, AddingKeepsEveryOtherLineAndEachNameOnce) {
    struct Case {
        const char* name;
        std::string before; // empty: no file
        std::string machine;
        std::string after;
    };
    const Case cases[] = {
        {"new file", "", "Win95", "[machines]\nWin95 = /vm/new\n"},
        {"replaced, junk and comments kept",
         "; mine\njunk line\n[Machines]\nWin95 = /vm/old\n# note\nWin98=/vm/98\nWin95 = /vm/again\n"
         "\n[chosen]\nmachine = Win98\n" +
             std::string(10000, 'x') + "\n",
         "Win95",
         "; mine\njunk line\n[Machines]\nWin95 = /vm/new\n# note\nWin98=/vm/98\n"
         "\n[chosen]\nmachine = Win98\n" +
             std::string(10000, 'x') + "\n"},
        {"added after the section's last entry",
         "[machines]\nWin98 = /vm/98\n\n[other]\nkey = value\n", "Win95",
         "[machines]\nWin98 = /vm/98\nWin95 = /vm/new\n\n[other]\nkey = value\n"},
        {"section added at the end", "[chosen]\nmachine = x\n", "ＰＣ-98 マシン",
         "[chosen]\nmachine = x\n\n[machines]\nＰＣ-98 マシン = /vm/new\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TemporaryHome home;
        if (!c.before.empty())
            writeText(machinesFile(), c.before);
        ASSERT_TRUE(addMachine(c.machine, "/vm/./new"));
        EXPECT_EQ(readText(machinesFile()), c.after);
        if (c.before.empty()) {
            EXPECT_EQ(fs::status(machinesFile().parent_path()).permissions(), fs::perms::owner_all);
        }
        const std::optional<KnownMachine> found = findMachine(c.machine);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->path, fs::path("/vm/new"));
        EXPECT_TRUE(found->added);
    }
}

TEST(KnownMachines, NamesThatCannotStandInTheFileAreRefused) {
    const TemporaryHome home;
    const std::string before = "[machines]\nWin95 = /vm/95\n";
    writeText(machinesFile(), before);
    for (const std::string& name :
         std::vector<std::string>{"", " Win95", "Win95 ", "a=b", "two\nlines", "[x]", "; x",
                                  std::string("nul\0x", 5), std::string(5000, 'n')}) {
        SCOPED_TRACE(name);
        const platform::Status added = addMachine(name, "/vm/x");
        ASSERT_FALSE(added);
        EXPECT_NE(added.error().message().find("ﾏｼﾝ"), std::string::npos)
            << added.error().message();
    }
    EXPECT_FALSE(addMachine("Win98", "/vm/two\nlines"));
    EXPECT_FALSE(rememberChosenMachine("two\nlines"));
    EXPECT_EQ(readText(machinesFile()), before);
}

TEST(KnownMachines, ReadOnlyFolderIsRefusedAndTheFileKept) {
    const TemporaryHome home;
    const std::string before = "[machines]\nWin95 = /vm/95\n";
    writeText(machinesFile(), before);
    fs::permissions(machinesFile().parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    // Root writes anywhere: the attempt is made as nobody, who is given the
    // home folder first.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0) {
            for (const auto& entry : fs::recursive_directory_iterator(home.path()))
                static_cast<void>(::chown(entry.path().c_str(), 65534, 65534));
            static_cast<void>(::chown(home.path().c_str(), 65534, 65534));
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
        }
        const platform::Status added = addMachine("Win98", "/vm/98");
        ::_exit(added ? 0 : added.error().code() == EACCES ? 1 : 2);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    fs::permissions(machinesFile().parent_path(), fs::perms::owner_all);
    EXPECT_EQ(readText(machinesFile()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(machinesFile().parent_path()),
                            fs::directory_iterator()),
              1)
        << "no temporary file left";
}

// A FIFO in the file's place is refused, not waited on: every start of the
// programs reads the file.
TEST(KnownMachines, AFifoInPlaceOfTheFileIsRefusedNotWaitedOn) {
    const TemporaryHome home;
    fs::create_directories(machinesFile().parent_path());
    ASSERT_EQ(::mkfifo(machinesFile().c_str(), 0600), 0);
    const platform::Status added = addMachine("Win95", "/vm/95");
    ASSERT_FALSE(added.ok());
    EXPECT_EQ(added.error().code(), EINVAL);
    EXPECT_EQ(lastChosenMachine(), std::nullopt);
    EXPECT_TRUE(fs::is_fifo(machinesFile()));
}

TEST(KnownMachines, ChosenMachineIsRememberedBesideTheAddedOnes) {
    const TemporaryHome home;
    EXPECT_FALSE(lastChosenMachine());
    ASSERT_TRUE(addMachine("Win95", "/vm/95"));
    ASSERT_TRUE(rememberChosenMachine("Win95"));
    EXPECT_EQ(lastChosenMachine(), "Win95");
    ASSERT_TRUE(rememberChosenMachine("/vm/98/86box.cfg"));
    EXPECT_EQ(lastChosenMachine(), "/vm/98/86box.cfg");
    EXPECT_EQ(readText(machinesFile()),
              "[machines]\nWin95 = /vm/95\n\n[chosen]\nmachine = /vm/98/86box.cfg\n");
}

TEST(KnownMachines, EmulatorsUsualPlacesAreFoundAddedNamesFirst) {
    const TemporaryHome home;
    const fs::path& h = home.path();
    writeText(h / ".local/share/86Box/Virtual Machines/Win95/86box.cfg", "[Hard disks]\n");
    writeText(h / ".local/share/86Box/Virtual Machines/Empty/notes.txt", "");
    writeText(h / ".pcem/configs/Win98.cfg", "");
    writeText(h / ".pcem/configs/Win95.cfg", "");
    writeText(h / ".config/dosbox-x/dos.conf", "");
    writeText(h / ".bochsrc", "");
    writeText(h / "VirtualBox VMs/Win2000/Win2000.vbox", "");
    writeText(h / "VirtualBox VMs/Win2000/Win2000.vbox-prev", "");
    writeText(h / ".config/libvirt/qemu/win31.xml", "");
    writeText(h / ".config/np21kai/np21kai.cfg", "");
    writeText(h / ".config/unrelated/x.cfg", "");
    writeText(h / "86Box/Win31/86box.cfg", "");
    writeText(h / ".config/86Box/86box_global.cfg",
              "[General]\nvmm_path = " + (h / "vms").string());
    writeText(h / "vms/Moved/86box.cfg", "");
    writeText(h / ".np2/np21rc", "");
    writeText(h / "elsewhere/Win&Me.vbox", "");
    writeText(h / ".config/VirtualBox/VirtualBox.xml",
              "<MachineRegistry>\n<MachineEntry uuid=\"{1}\" src=\"" + (h / "elsewhere").string() +
                  "/Win&amp;Me.vbox\"/>\n<MachineEntry uuid=\"{2}\" src=\"" +
                  (h / "VirtualBox VMs/Win2000/Win2000.vbox").string() +
                  "\"/>\n</MachineRegistry>\n");
    // A link that leads back up must not make the search go round.
    fs::create_directory_symlink(h, h / ".local/share/86Box/Virtual Machines/Loop");
    ASSERT_TRUE(addMachine("Win98", "/vm/mine"));

    std::vector<std::string> listed;
    for (const KnownMachine& machine : knownMachines())
        listed.push_back(machine.name + (machine.added ? " + " : " ") + machine.path.string());
    const std::string vms = (h / ".local/share/86Box/Virtual Machines").string();
    EXPECT_EQ(listed, (std::vector<std::string>{
                          "Win98 + /vm/mine",
                          "Win95 " + vms + "/Win95/86box.cfg",
                          "Win31 " + (h / "86Box/Win31/86box.cfg").string(),
                          "Win95 (PCem) " + (h / ".pcem/configs/Win95.cfg").string(),
                          "dos " + (h / ".config/dosbox-x/dos.conf").string(),
                          "bochsrc " + (h / ".bochsrc").string(),
                          "Win2000 " + (h / "VirtualBox VMs/Win2000/Win2000.vbox").string(),
                          "win31 " + (h / ".config/libvirt/qemu/win31.xml").string(),
                          "np21kai " + (h / ".config/np21kai/np21kai.cfg").string(),
                          "np21 " + (h / ".np2/np21rc").string(),
                          "Moved " + (h / "vms/Moved/86box.cfg").string(),
                          "Win&Me " + (h / "elsewhere/Win&Me.vbox").string(),
                      }));
    EXPECT_EQ(findMachine("Win95")->path, fs::path(vms) / "Win95/86box.cfg");
    // A path that no name takes names its machine.
    const std::optional<KnownMachine> byPath = findMachine((h / "VirtualBox VMs/Win2000").string());
    ASSERT_TRUE(byPath);
    EXPECT_EQ(byPath->name, "Win2000");
    EXPECT_FALSE(findMachine("Nowhere"));
}

} // namespace
} // namespace kor::machines
