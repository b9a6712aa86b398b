// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/emulator_machine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace kor::machines {
namespace {

namespace fs = std::filesystem;

// A fresh temporary folder, removed with everything in it afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "kor-machines-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return m_path; }

    // Writes `bytes` at `name` below the folder, making its folders.
    void write(const std::string& name, const std::string& bytes) const {
        const fs::path file = m_path / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

  private:
    fs::path m_path;
};

using Files = std::vector<std::pair<std::string, std::string>>;

// Small stand-ins for disk images: the reader only resolves and checks them.
const Files Images = {{"Win95/win95.vhd", "disk"},
                      {"Win95/data.img", "disk"},
                      {"Win95/scsi.img", "disk"},
                      {"images/shared.img", "disk"}};

struct MachineCase {
    std::string title;
    Files files;
    std::string path; // what the user names, below the scratch folder
    Emulator emulator;
    std::string name;
    std::vector<std::pair<std::string, std::string>> disks; // image below the folder, key
};

TEST(EmulatorMachine, ReadsEachEmulatorsDisksInTheBiosOrder) {
    const std::vector<MachineCase> cases = {
        {"86Box: IDE channels before SCSI ids, whatever the numbering",
         {{"Win95/86box.cfg", "[General]\nvid_renderer = qt_software\n\n"
                              "[Hard disks]\n"
                              "hdd_01_parameters = 63, 16, 1024, 0, scsi\n"
                              "hdd_01_fn = scsi.img\n"
                              "hdd_01_scsi_location = 0:02\n"
                              "hdd_02_parameters = 63, 16, 1024, 0, ide\n"
                              "hdd_02_fn = data.img\n"
                              "hdd_02_ide_channel = 0:1\n"
                              "hdd_03_parameters = 63, 16, 1024, 0, ide\n"
                              "hdd_03_fn = win95.vhd\n"
                              "hdd_03_ide_channel = 0:0\n"
                              "hdd_04_parameters = 63, 16, 1024, 0, none\n"
                              "hdd_04_fn = missing.img\n"}},
         "Win95",
         Emulator::Box86,
         "Win95",
         {{"Win95/win95.vhd", "hdd_03_fn"},
          {"Win95/data.img", "hdd_02_fn"},
          {"Win95/scsi.img", "hdd_01_fn"}}},
        {"86Box: the configuration named, an absolute path and one above the folder",
         {{"Win95/86box.cfg", "[Hard disks]\r\n"
                              "hdd_01_parameters = 17, 15, 1023, 0, mfm\r\n"
                              "hdd_01_fn = ../images/shared.img\r\n"
                              "hdd_01_mfm_channel = 1\r\n"
                              "hdd_02_parameters = 17, 15, 1023, 0, mfm\r\n"
                              "hdd_02_fn = @/Win95/win95.vhd\r\n"
                              "hdd_02_mfm_channel = 0\r\n"}},
         "Win95/86box.cfg",
         Emulator::Box86,
         "Win95",
         {{"Win95/win95.vhd", "hdd_02_fn"}, {"images/shared.img", "hdd_01_fn"}}},
    };
    for (const MachineCase& test : cases) {
        SCOPED_TRACE(test.title);
        const ScratchFolder scratch;
        for (const auto& [name, bytes] : Images)
            scratch.write(name, bytes);
        for (auto [name, bytes] : test.files) {
            // "@" stands for the scratch folder, for the absolute paths.
            for (std::size_t at = bytes.find('@'); at != std::string::npos; at = bytes.find('@'))
                bytes.replace(at, 1, scratch.path().string());
            scratch.write(name, bytes);
        }
        const platform::Result<EmulatorMachine> machine =
            readEmulatorMachine(scratch.path() / test.path);
        ASSERT_TRUE(machine.ok()) << machine.error().text();
        EXPECT_EQ(machine.value().emulator, test.emulator);
        EXPECT_EQ(machine.value().name, test.name);
        EXPECT_EQ(machine.value().configuration, scratch.path() / test.files.front().first);
        std::vector<std::pair<std::string, std::string>> disks;
        for (const MachineDisk& disk : machine.value().disks)
            disks.emplace_back(disk.image.lexically_relative(scratch.path()).string(), disk.key);
        EXPECT_EQ(disks, test.disks);
    }
}

struct RefusalCase {
    std::string title;
    Files files;
    std::string path;
    std::vector<std::string> named; // in the refusal's English text
};

TEST(EmulatorMachine, RefusesWhatCannotBeADiskNamingFileAndKey) {
    const std::vector<RefusalCase> cases = {
        {"86Box: a missing image",
         {{"Win95/86box.cfg",
           "[Hard disks]\nhdd_01_parameters = 63, 16, 1024, 0, ide\nhdd_01_fn = gone.img\n"}},
         "Win95",
         {"86box.cfg", "hdd_01_fn", "gone.img", "does not exist"}},
        {"86Box: a device",
         {{"Win95/86box.cfg",
           "[Hard disks]\nhdd_01_parameters = 63, 16, 1024, 0, ide\nhdd_01_fn = /dev/null\n"}},
         "Win95",
         {"86box.cfg", "hdd_01_fn", "/dev/null", "device"}},
        {"86Box: a folder",
         {{"Win95/86box.cfg",
           "[Hard disks]\nhdd_01_parameters = 63, 16, 1024, 0, ide\nhdd_01_fn = .\n"}},
         "Win95",
         {"86box.cfg", "hdd_01_fn", "folder"}},
        {"86Box: no hard disk",
         {{"Win95/86box.cfg", "[Hard disks]\n[Floppy and CD-ROM drives]\n"}},
         "Win95",
         {"86box.cfg", "no hard disk"}},
        {"a file that is no configuration",
         {{"Win95/notes.cfg", std::string("\x7f"
                                          "ELF\0\1\2",
                                          7)}},
         "Win95/notes.cfg",
         {"notes.cfg", "not text"}},
        {"a folder without a configuration", {{"Win95/readme.txt", "hello"}}, "Win95", {"Win95"}},
    };
    for (const RefusalCase& test : cases) {
        SCOPED_TRACE(test.title);
        const ScratchFolder scratch;
        for (const auto& [name, bytes] : Images)
            scratch.write(name, bytes);
        for (const auto& [name, bytes] : test.files)
            scratch.write(name, bytes);
        const platform::Result<EmulatorMachine> machine =
            readEmulatorMachine(scratch.path() / test.path);
        ASSERT_FALSE(machine.ok());
        for (const std::string& named : test.named)
            EXPECT_NE(machine.error().text().find(named), std::string::npos)
                << machine.error().text() << " does not name " << named;
        EXPECT_FALSE(machine.error().message().empty());
    }
}

} // namespace
} // namespace kor::machines
