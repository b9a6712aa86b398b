// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo.h"
#include "disk_image.h"
#include "lzh_writer.h"
#include "run_program.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <stdlib.h>
#include <sys/stat.h>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

// A fresh temporary folder, removed with everything in it afterwards.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "kor-machine-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder from " + pattern);
        m_path = pattern;
    }
    ~ScratchFolder() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return m_path; }

  private:
    fs::path m_path;
};

std::string hostBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// The disks of a machine as its emulator's BIOS numbers them, and each FAT
// partition on them by the letter its DOS gives it.
struct MachineDisks {
    std::vector<fs::path> images;
    std::map<char, FatVolume> drives;
};

enum class DiskSet {
    // C: on the first disk, D: the second disk's, E: a logical drive of the
    // first disk's extended partition.
    TwoPcDisks,
    OnePcDisk,
    // A PC-98's: on an HDI disk, B: its first partition and A: its second,
    // the one it boots from; C: on an NHD disk.
    TwoPc98Disks,
};

MachineDisks makeDisks(DiskSet set, const fs::path& folder) {
    if (set == DiskSet::OnePcDisk) {
        const fs::path image = folder / "win95.img";
        return {{image}, {{'C', makeMbrDisk(image, FatType::Fat16, 63)}}};
    }
    if (set == DiskSet::TwoPcDisks) {
        const fs::path first = folder / "win95.img";
        const fs::path second = folder / "data.img";
        const std::vector<PartitionSpec> firstPartitions = {{FatType::Fat16, 2048, 65536, 0, true},
                                                            {std::nullopt, 67584, 10240, 0x05},
                                                            {FatType::Fat12, 69632, 8192}};
        const std::vector<FatVolume> firstVolumes = makePartitionedDisk(first, firstPartitions);
        const std::vector<PartitionSpec> secondPartitions = {{FatType::Fat16, 2048, 65536}};
        return {{first, second},
                {{'C', firstVolumes[0]},
                 {'D', makePartitionedDisk(second, secondPartitions).front()},
                 {'E', firstVolumes[2]}}};
    }
    const fs::path first = folder / "pc98.hdi";
    const fs::path second = folder / "data.nhd";
    const std::vector<Pc98PartitionSpec> firstPartitions = {{FatType::Fat12, 1, 60, false},
                                                            {FatType::Fat16, 61, 240, true}};
    std::vector<FatVolume> firstVolumes = makePc98Disk(first, firstPartitions);
    const std::uint64_t firstHeader = addDiskHeader(first, DiskHeader::Hdi);
    const std::vector<Pc98PartitionSpec> secondPartitions = {{FatType::Fat16, 1, 240, true}};
    FatVolume data = makePc98Disk(second, secondPartitions).front();
    data.offset += addDiskHeader(second, DiskHeader::Nhd);
    for (FatVolume& volume : firstVolumes)
        volume.offset += firstHeader;
    return {{first, second}, {{'A', firstVolumes[1]}, {'B', firstVolumes[0]}, {'C', data}}};
}

// An emulator's configuration for the disks: the file's name in the
// machine's folder and its text.
struct Configuration {
    std::string fileName;
    std::string text;
};
using Configure = Configuration (*)(const std::vector<fs::path>& disks);

// 86Box: the disks on the primary IDE channel, named relative to the folder.
Configuration box86(const std::vector<fs::path>& disks) {
    std::string text = "[General]\nvid_renderer = qt_software\n\n[Hard disks]\n";
    for (std::size_t disk = 0; disk < disks.size(); ++disk) {
        const std::string prefix = "hdd_0" + std::to_string(disk + 1) + "_";
        text += prefix + "parameters = 63, 16, 1024, 0, ide\n" + prefix +
                "fn = " + disks[disk].filename().string() + "\n" + prefix +
                "ide_channel = 0:" + std::to_string(disk) + "\n";
    }
    return {"86box.cfg", text};
}

Configuration pcem(const std::vector<fs::path>& disks) {
    return {"Win95.cfg",
            "model = p55t2p4\nhdd_controller = ide\nhdc_fn = " + disks.front().string() + "\n"};
}

Configuration dosBoxX(const std::vector<fs::path>& disks) {
    return {"dosbox-x.conf", "[dosbox]\nmachine = svga_s3\n\n[autoexec]\nimgmount c " +
                                 disks.front().filename().string() + " -t hdd\nboot c:\n"};
}

Configuration bochs(const std::vector<fs::path>& disks) {
    return {"bochsrc", "megs: 64\nata0-master: type=disk, path=\"" +
                           disks.front().filename().string() + "\", mode=flat\nboot: disk\n"};
}

// VirtualBox: fixed VHDs, the second disk on the IDE controller's second port.
Configuration virtualBox(const std::vector<fs::path>& disks) {
    std::string media;
    std::string attached;
    for (std::size_t disk = 0; disk < disks.size(); ++disk) {
        const std::string uuid =
            "{aaaaaaaa-0000-0000-0000-00000000000" + std::to_string(disk) + "}";
        media += "<HardDisk uuid=\"" + uuid + "\" location=\"" + disks[disk].filename().string() +
                 "\" format=\"VHD\" type=\"Normal\"/>\n";
        attached += "<AttachedDevice type=\"HardDisk\" port=\"" + std::to_string(disk) +
                    "\" device=\"0\"><Image uuid=\"" + uuid + "\"/></AttachedDevice>\n";
    }
    return {"Win95.vbox",
            "<?xml version=\"1.0\"?>\n<VirtualBox xmlns=\"http://www.virtualbox.org/\" "
            "version=\"1.19-linux\">\n<Machine uuid=\"{00000000-0000-0000-0000-000000000001}\" "
            "name=\"Win95\" OSType=\"Windows95\">\n<MediaRegistry><HardDisks>\n" +
                media +
                "</HardDisks></MediaRegistry>\n<Hardware><StorageControllers>\n"
                "<StorageController name=\"IDE\" type=\"PIIX4\" PortCount=\"2\">\n" +
                attached +
                "</StorageController>\n</StorageControllers></Hardware>\n"
                "</Machine>\n</VirtualBox>\n"};
}

Configuration libvirt(const std::vector<fs::path>& disks) {
    return {"win95.xml", "<domain type='kvm'>\n  <name>win95</name>\n  <devices>\n"
                         "    <disk type='file' device='disk'><driver name='qemu' type='qcow2'/>"
                         "<source file='" +
                             disks.front().string() +
                             "'/><target dev='hda' bus='ide'/></disk>\n"
                             "  </devices>\n</domain>\n"};
}

Configuration nekoProject(const std::vector<fs::path>& disks) {
    return {"np21w.ini", "[NekoProject21]\r\npc_model=PC-9821\r\nHDD1FILE=" + disks[0].string() +
                             "\r\nHDD2FILE=" + disks[1].string() + "\r\n"};
}

// One machine: its emulator, its disks, where Windows lives on them and
// where the pictures of KOR.INI lie.
struct MachineCase {
    const char* name;
    Configure configure;
    DiskSet disks;
    std::string windowsFolder; // as MSDOS.SYS's WinDir names it
    char pictures;             // the drive of the folder KABE or the archive WAFU.LZH
    bool archiveMode;
    enum { Raw, FixedVhd, Qcow2 } format = Raw;
    // The map KOR --drives prints first (before the Windows folder and the
    // boot drive, which it prints last).
    std::vector<std::string> driveMap = {};

    bool pc98() const { return disks == DiskSet::TwoPc98Disks; }
    char bootDrive() const { return pc98() ? 'A' : 'C'; }
    // As mtools names it: "/WINDOWS".
    std::string windowsPath() const { return "/" + windowsFolder.substr(3); }
};

void PrintTo(const MachineCase& machine, std::ostream* out) {
    *out << machine.name;
}

std::string picture(char fill, bool pc98) {
    return withBitmapStart(std::string(pc98 ? core::Pc98LogoLength : core::LogoLength, fill));
}

// MSDOS.SYS as Windows 95 writes it on the drive it boots from.
std::string msdosSys(const std::string& windowsFolder, char bootDrive) {
    return "[Paths]\r\nWinDir=" + windowsFolder + "\r\nWinBootDir=" + windowsFolder +
           "\r\nHostWinBootDrv=" + bootDrive +
           "\r\n\r\n[Options]\r\nBootMulti=1\r\nBootGUI=1\r\nNetwork=0\r\n;\r\n"
           ";The following lines are required for compatibility with other programs.\r\n"
           ";Do not remove them (MSDOS.SYS needs to be >1024 bytes).\r\n" +
           std::string(18, ';') + std::string(1000, 'x') + "\r\n";
}

// Each logo file on the machine's drives, by drive and path, and its bytes.
using Logos = std::map<std::pair<char, std::string>, std::string>;

// Makes every partition look like a Windows drive, so that a logo written to
// the wrong one shows, and writes MSDOS.SYS on the boot drive; returns the
// logos written.
Logos dressAsWindows(const MachineCase& test, const MachineDisks& disks) {
    const bool pc98 = test.pc98();
    Logos logos;
    for (const auto& [letter, volume] : disks.drives) {
        makeDirectory(volume, "/WINDOWS");
        logos[{letter, "/LOGO.SYS"}] = picture('o', pc98);
        logos[{letter, "/WINDOWS/LOGOW.SYS"}] = picture('m', pc98);
        logos[{letter, "/WINDOWS/LOGOS.SYS"}] = picture('e', pc98);
    }
    const char windowsDrive = test.windowsFolder.front();
    if (test.windowsPath() != "/WINDOWS") {
        makeDirectory(disks.drives.at(windowsDrive), test.windowsPath());
        logos[{windowsDrive, test.windowsPath() + "/LOGOW.SYS"}] = picture('m', pc98);
        logos[{windowsDrive, test.windowsPath() + "/LOGOS.SYS"}] = picture('e', pc98);
    }
    for (const auto& [where, bytes] : logos)
        writeFile(disks.drives.at(where.first), where.second, bytes);
    writeFile(disks.drives.at(test.bootDrive()), "/MSDOS.SYS",
              msdosSys(test.windowsFolder, test.bootDrive()));
    return logos;
}

// Writes the pictures, a folder KABE or an archive WAFU.LZH, and KOR.INI in
// the Windows folder naming them; returns the pictures.
std::set<std::string> writePicturesAndSettings(const MachineCase& test, const MachineDisks& disks) {
    const bool pc98 = test.pc98();
    const FatVolume& pictures = disks.drives.at(test.pictures);
    const std::string source = std::string{test.pictures} + ":\\";
    std::string settings = std::string("[SaveDir]\r\npc98Check=") + (pc98 ? "on" : "off");
    std::set<std::string> drawn;
    if (test.archiveMode) {
        writeFile(
            pictures, "/WAFU.LZH",
            makeLzhArchive({{"SAKURA.BMP", picture('n', pc98)}, {"FUJI.BMP", picture('f', pc98)}}));
        drawn = {picture('n', pc98), picture('f', pc98)};
        for (const char* logo : {"", "M", "E"})
            settings +=
                std::string("\r\n") + logo + "Dir=" + source + "\r\n" + logo + "FileName=WAFU.LZH";
        settings += "\r\nArcCheck=off\r\n";
    } else {
        makeDirectory(pictures, "/KABE");
        for (const char fill : {'1', '2', '3'}) {
            writeFile(pictures, std::string("/KABE/PIC") + fill + ".BMP", picture(fill, pc98));
            drawn.insert(picture(fill, pc98));
        }
        for (const char* logo : {"", "M", "E"})
            settings += std::string("\r\n") + logo + "DirOnly=" + source + "KABE";
        settings += "\r\nArcCheck=on\r\n";
    }
    writeFile(disks.drives.at(test.windowsFolder.front()), test.windowsPath() + "/KOR.INI",
              settings);
    return drawn;
}

// The bytes of `image` with those of `volumes` on it blanked out.
std::string bytesBeside(const fs::path& image, const std::vector<FatVolume>& volumes) {
    std::string bytes = hostBytes(image);
    for (const FatVolume& volume : volumes)
        if (volume.image == image && volume.offset < bytes.size())
            bytes.replace(volume.offset, volume.length, volume.length, '\0');
    return bytes;
}

ProgramRun runQemuImg(const std::vector<std::string>& arguments) {
    return runProgram("/usr/bin/qemu-img", {}, arguments);
}

class ChangerOnEmulatorMachine : public ::testing::TestWithParam<MachineCase> {};

// KOR --machine PATH, with no KOR_ROOT or WINDIR, finds Windows through the
// emulator's configuration and MSDOS.SYS: logo.sys goes to the root of the
// boot drive, logow.sys and logos.sys to the Windows folder, each inside its
// own image and partition, and nothing else on any disk changes.
TEST_P(ChangerOnEmulatorMachine, ChangesTheLogosInsideTheRightPartitions) {
    const MachineCase& test = GetParam();
    if (test.format == MachineCase::Qcow2)
        if (const std::string why = whyNoQemuExport(); !why.empty())
            GTEST_SKIP() << "cannot export an image through FUSE: " << why;
    const ScratchFolder scratch;
    const fs::path folder = scratch.path() / "Win95";
    for (const char* made : {"Win95", "home", "config", "run"})
        fs::create_directory(scratch.path() / made);
    ::chmod((scratch.path() / "run").c_str(), 0700);
    const MachineDisks disks = makeDisks(test.disks, folder);
    const char bootDrive = test.bootDrive();
    const char windowsDrive = test.windowsFolder.front();
    const std::string windowsPath = test.windowsPath();

    const Logos logos = dressAsWindows(test, disks);
    const std::set<std::string> drawn = writePicturesAndSettings(test, disks);

    std::vector<fs::path> named = disks.images;
    for (fs::path& image : named) {
        if (test.format == MachineCase::FixedVhd) {
            appendFixedVhdFooter(image);
        } else if (test.format == MachineCase::Qcow2) {
            const fs::path raw = image;
            image.replace_extension(".qcow2");
            const ProgramRun made =
                runQemuImg({"convert", "-O", "qcow2", raw.string(), image.string()});
            ASSERT_EQ(made.exitStatus, 0) << made.standardError;
        }
    }
    const Configuration configuration = test.configure(named);
    std::ofstream(folder / configuration.fileName, std::ios::binary) << configuration.text;
    const std::vector<FatVolume> changed = {disks.drives.at(bootDrive),
                                            disks.drives.at(windowsDrive)};
    std::vector<std::string> before;
    for (const fs::path& image : disks.images)
        before.push_back(bytesBeside(image, changed));

    // The folder for the machine's 86Box, the configuration file for the others.
    const fs::path machine = test.configure == box86 ? folder : folder / configuration.fileName;
    const std::map<std::string, std::string> environment = {
        {"HOME", (scratch.path() / "home").string()},
        {"XDG_CONFIG_HOME", (scratch.path() / "config").string()},
        {"XDG_RUNTIME_DIR", (scratch.path() / "run").string()},
        {"LANG", "C"}};
    const ProgramRun run = runProgram(KOR_PROGRAM, environment, {"--machine", machine.string()});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    if (!test.driveMap.empty()) {
        const ProgramRun map =
            runProgram(KOR_PROGRAM, environment, {"--machine", machine.string(), "--drives"});
        EXPECT_EQ(map.exitStatus, 0) << map.standardError;
        std::string expected;
        for (const std::string& line : test.driveMap)
            expected += line + "\n";
        EXPECT_TRUE(map.standardOutput.starts_with(expected)) << map.standardOutput;
        EXPECT_TRUE(map.standardOutput.ends_with("Windows folder: " + test.windowsFolder +
                                                 "\nboot drive: " + bootDrive + ":\n"))
            << map.standardOutput;
    }

    if (test.format == MachineCase::Qcow2)
        for (std::size_t disk = 0; disk < named.size(); ++disk) {
            const ProgramRun back = runQemuImg(
                {"convert", "-O", "raw", named[disk].string(), disks.images[disk].string()});
            ASSERT_EQ(back.exitStatus, 0) << back.standardError;
        }
    const std::set<std::pair<char, std::string>> installed = {
        {bootDrive, "/LOGO.SYS"},
        {windowsDrive, windowsPath + "/LOGOW.SYS"},
        {windowsDrive, windowsPath + "/LOGOS.SYS"}};
    for (const auto& [where, original] : logos) {
        const std::string now = readFile(disks.drives.at(where.first), where.second);
        if (installed.contains(where))
            EXPECT_TRUE(drawn.contains(now)) << where.first << ":" << where.second << " unchanged";
        else
            EXPECT_TRUE(now == original) << where.first << ":" << where.second << " changed";
    }
    for (const FatVolume& volume : changed) {
        const FsckResult fsck = checkVolume(volume);
        EXPECT_EQ(fsck.exitStatus, 0) << fsck.output;
    }
    for (std::size_t disk = 0; disk < disks.images.size(); ++disk)
        EXPECT_TRUE(bytesBeside(disks.images[disk], changed) == before[disk])
            << disks.images[disk] << " changed beside the boot drive and the Windows folder's";
}

INSTANTIATE_TEST_SUITE_P(
    Emulators, ChangerOnEmulatorMachine,
    ::testing::Values(
        MachineCase{"Box86WindowsOnDWithPicturesOnALogicalDrive",
                    box86,
                    DiskSet::TwoPcDisks,
                    "D:\\WINDOWS",
                    'E',
                    false,
                    MachineCase::Raw,
                    {"C:  disk 1, partition 1, FAT16, 32.0 MB, win95.img",
                     "D:  disk 2, partition 1, FAT16, 32.0 MB, data.img",
                     "E:  disk 1, partition 5, FAT12, 4.0 MB, win95.img"}},
        MachineCase{"VirtualBoxWindowsOnDInArchiveMode", virtualBox, DiskSet::TwoPcDisks,
                    "D:\\WINDOWS", 'D', true, MachineCase::FixedVhd},
        MachineCase{"PCemWindowsInWin95", pcem, DiskSet::OnePcDisk, "C:\\WIN95", 'C', false},
        MachineCase{"DosBoxXInArchiveMode", dosBoxX, DiskSet::OnePcDisk, "C:\\WINDOWS", 'C', true},
        MachineCase{"Bochs", bochs, DiskSet::OnePcDisk, "C:\\WINDOWS", 'C', false},
        MachineCase{"LibvirtQcow2", libvirt, DiskSet::OnePcDisk, "C:\\WINDOWS", 'C', false,
                    MachineCase::Qcow2},
        MachineCase{"NekoProjectTwoPc98Disks",
                    nekoProject,
                    DiskSet::TwoPc98Disks,
                    "A:\\WINDOWS",
                    'C',
                    false,
                    MachineCase::Raw,
                    {"A:  disk 1, partition 2, FAT16, 15.9 MB, pc98.hdi",
                     "B:  disk 1, partition 1, FAT12, 4.0 MB, pc98.hdi",
                     "C:  disk 2, partition 1, FAT16, 15.9 MB, data.nhd"}}),
    [](const ::testing::TestParamInfo<MachineCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace kor::testing
