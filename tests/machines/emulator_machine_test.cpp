// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/emulator_machine.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace kor::machines {
namespace {

namespace fs = std::filesystem;

// Writes `bytes` at `name` below `root`, making its folders.
void writeFile(const fs::path& root, const std::string& name, const std::string& bytes) {
    const fs::path file = root / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

using Files = std::vector<std::pair<std::string, std::string>>;

// Small stand-ins for disk images: the reader only resolves and checks them.
const Files Images = {{"Win95/win95.vhd", "disk"},
                      {"Win95/data.img", "disk"},
                      {"Win95/scsi.img", "disk"},
                      {"images/shared.img", "disk"}};

struct MachineCase {
    std::string title;
    Files files;
    std::string path; // what the user names, below the temporary folder
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
                              "hdd_01_mfm_channel = 2\r\n"
                              "hdd_02_parameters = 17, 15, 1023, 0, mfm\r\n"
                              "hdd_02_fn = {root}/Win95/win95.vhd\r\n"
                              "hdd_02_mfm_channel = 0\r\n"}},
         "Win95/86box.cfg",
         Emulator::Box86,
         "Win95",
         {{"Win95/win95.vhd", "hdd_02_fn"}, {"images/shared.img", "hdd_01_fn"}}},
        {"PCem: the primary master, then the secondary, the CD-ROM drive's place skipped",
         {{"configs/Win95.cfg", "gameblaster = 0\nmodel = p55t2p4\nhdd_controller = ide\n"
                                "cdrom_channel = 1\n"
                                "hdc_fn = {root}/Win95/win95.vhd\nhdd_fn = {root}/missing.img\n"
                                "hde_fn = ../Win95/data.img\n\n[Joysticks]\njoystick_type = 0\n"}},
         "configs/Win95.cfg",
         Emulator::PCem,
         "Win95",
         {{"Win95/win95.vhd", "hdc_fn"}, {"Win95/data.img", "hde_fn"}}},
        {"PCem: an MFM controller's two disks, whatever the CD-ROM drive's channel",
         {{"Win95/pcem.cfg", "model = ibmat\nhdd_controller = mfm_at\ncdrom_channel = 1\n"
                             "hdc_fn = win95.vhd\nhdd_fn = data.img\nhde_fn = scsi.img\n"}},
         "Win95/pcem.cfg",
         Emulator::PCem,
         "pcem",
         {{"Win95/win95.vhd", "hdc_fn"}, {"Win95/data.img", "hdd_fn"}}},
        {"PCem: SCSI ids 0 to 6, the CD-ROM drive's id skipped",
         {{"Win95/pcem.cfg", "model = p55t2p4\nhdd_controller = aha1542c\n"
                             "hdc_fn = win95.vhd\nhde_fn = data.img\nhdi_fn = scsi.img\n"}},
         "Win95/pcem.cfg",
         Emulator::PCem,
         "pcem",
         {{"Win95/win95.vhd", "hdc_fn"}, {"Win95/scsi.img", "hdi_fn"}}},
        {"DOSBox-X: letters and BIOS numbers, quotes, a swap list and a CD-ROM image left out",
         {{"Win95/dosbox-x.conf",
           "[dosbox]\nmachine = svga_s3\n\n[autoexec]\n# imgmount c gone.img\n"
           "imgmount a disk1.img disk2.img -t floppy\n"
           "IMGMOUNT e scsi.img scsi.img\n"
           "imgmount 3 \"../images/shared.img\" -size 512,63,16,520 -fs none\n"
           "imgmount d cd.iso\n"

           "@imgmount c win95.vhd -t hdd\n"}},
         "Win95",
         Emulator::DosBoxX,
         "Win95",
         {{"Win95/win95.vhd", "imgmount c"}, {"images/shared.img", "imgmount 3"}}},
        {"Bochs: the ATA positions in order, a CD-ROM drive skipped, quotes and comments",
         {{"Win95/bochsrc.txt",
           "megs: 64  # memory\nromimage: file=$BXSHARE/BIOS-bochs-latest\n"
           "ata1-master: type=disk, path=\"scsi.img\", mode=flat\n"
           "ata0-slave: type=cdrom, path=cd.iso, status=inserted\n"
           "ata0-master: type=disk, path = \"win95.vhd\", mode=vpc  # the boot disk\n"
           "boot: disk\n"}},
         "Win95",
         Emulator::Bochs,
         "Win95",
         {{"Win95/win95.vhd", "ata0-master"}, {"Win95/scsi.img", "ata1-master"}}},
        {"VirtualBox: by controller, port and device; a DVD drive and a snapshot's disks left out",
         {{"VMs/Win95/Win95.vbox",
           "<?xml version=\"1.0\"?>\n"
           "<VirtualBox xmlns=\"http://www.virtualbox.org/\" version=\"1.19-linux\">\n"
           " <Machine uuid=\"{00000000-0000-0000-0000-000000000001}\" name=\"Windows 95\"\n"
           "   OSType=\"Windows95\">\n"
           "  <MediaRegistry><HardDisks>\n"
           "   <HardDisk uuid=\"{AAAAAAAA-0000-0000-0000-000000000001}\"\n"
           "     location=\"{root}/Win95/win95.vhd\" format=\"VHD\" type=\"Normal\"/>\n"
           "   <HardDisk uuid=\"{aaaaaaaa-0000-0000-0000-000000000002}\"\n"
           "     location=\"../../Win95/data.img\" format=\"RAW\" type=\"Normal\"/>\n"
           "  </HardDisks></MediaRegistry>\n"
           "  <Hardware><StorageControllers>\n"
           "   <StorageController name=\"IDE\" type=\"PIIX4\" PortCount=\"2\">\n"
           "    <AttachedDevice type=\"HardDisk\" port=\"1\" device=\"0\">\n"
           "     <Image uuid=\"{aaaaaaaa-0000-0000-0000-000000000002}\"/></AttachedDevice>\n"
           "    <AttachedDevice passthrough=\"false\" type=\"DVD\" port=\"0\" device=\"1\"/>\n"
           "    <AttachedDevice type=\"HardDisk\" port=\"0\" device=\"0\">\n"
           "     <Image uuid=\"{aaaaaaaa-0000-0000-0000-000000000001}\"/></AttachedDevice>\n"
           "   </StorageController>\n"
           "  </StorageControllers></Hardware>\n"
           "  <Snapshot uuid=\"{00000000-0000-0000-0000-000000000002}\" name=\"Fresh\">\n"
           "   <Hardware><StorageControllers><StorageController name=\"IDE\">\n"
           "    <AttachedDevice type=\"HardDisk\" port=\"0\" device=\"0\">\n"
           "     <Image uuid=\"{aaaaaaaa-0000-0000-0000-000000000009}\"/></AttachedDevice>\n"
           "   </StorageController></StorageControllers></Hardware>\n"
           "  </Snapshot>\n"
           " </Machine>\n"
           "</VirtualBox>\n"}},
         "VMs/Win95",
         Emulator::VirtualBox,
         "Windows 95",
         {{"Win95/win95.vhd", "IDE port 0 device 0"}, {"Win95/data.img", "IDE port 1 device 0"}}},
        {"libvirt: boot order first, then the targets' names; CD-ROM drive left out",
         {{"libvirt/win95.xml",
           "<domain type='kvm'>\n  <name>win95</name>\n  <devices>\n"
           "    <disk type='file' device='disk'><source file='{root}/Win95/scsi.img'/>"
           "<target dev='hdb' bus='ide'/></disk>\n"
           "    <disk type='file' device='cdrom'><source file='/nowhere/cd.iso'/>"
           "<target dev='hdc' bus='ide'/></disk>\n"
           "    <disk type='file' device='disk'><source file='{root}/Win95/data.img'/>"
           "<target dev='hda' bus='ide'/></disk>\n"
           "    <disk type='file' device='disk'><driver name='qemu' type='raw'/>"
           "<source file='{root}/Win95/win95.vhd'/><target dev='hdd' bus='ide'/>"
           "<boot order='1'/></disk>\n"
           "  </devices>\n</domain>\n"}},
         "libvirt/win95.xml",
         Emulator::Libvirt,
         "win95",
         {{"Win95/win95.vhd", "disk hdd"},
          {"Win95/data.img", "disk hda"},
          {"Win95/scsi.img", "disk hdb"}}},
        {"Neko Project 21/W: IDE positions by their types, then SCSI",
         {{"np21w/np21w.ini", "[NekoProject21]\r\npc_model=PC-9821\r\n"
                              "HDD1FILE=..\\\\nowhere.hdi\r\nIDE1TYPE=2\r\n"
                              "HDD2FILE={root}/Win95/win95.vhd\r\nIDE2TYPE=1\r\n"
                              "SCSIHDD0=../Win95/scsi.img\r\n"
                              "[NP2 keydisp]\r\nHDD3FILE=data.img\r\n"}},
         "np21w",
         Emulator::NekoProject,
         "np21w",
         {{"Win95/win95.vhd", "HDD2FILE"}, {"Win95/scsi.img", "SCSIHDD0"}}},
    };
    for (const MachineCase& test : cases) {
        SCOPED_TRACE(test.title);
        const testing::TemporaryMachine temporary;
        for (const auto& [name, bytes] : Images)
            writeFile(temporary.root(), name, bytes);
        for (auto [name, bytes] : test.files) {
            // "{root}" stands for the temporary folder, for the absolute paths.
            const std::string root = "{root}";
            for (std::size_t at = bytes.find(root); at != std::string::npos; at = bytes.find(root))
                bytes.replace(at, root.size(), temporary.root().string());
            writeFile(temporary.root(), name, bytes);
        }
        const platform::Result<EmulatorMachine> machine =
            readEmulatorMachine(temporary.root() / test.path);
        ASSERT_TRUE(machine.ok()) << machine.error().text();
        EXPECT_EQ(machine.value().emulator, test.emulator);
        EXPECT_EQ(machine.value().name, test.name);
        EXPECT_EQ(machine.value().configuration, temporary.root() / test.files.front().first);
        std::vector<std::pair<std::string, std::string>> disks;
        for (const MachineDisk& disk : machine.value().disks)
            disks.emplace_back(disk.image.lexically_relative(temporary.root()).string(), disk.key);
        EXPECT_EQ(disks, test.disks);
    }
}

// A configuration of `count` sections, each named once: a hostile file that a
// reader comparing each new section with all before it would take hours on.
std::string manySections(unsigned count) {
    std::string text = "[Hard disks]\n";
    for (unsigned index = 0; index < count; ++index)
        text += "[Section " + std::to_string(index) + "]\n";
    return text;
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
        {"two configurations in one folder",
         {{"Win95/86box.cfg",
           "[Hard disks]\nhdd_01_parameters = 63, 16, 1024, 0, ide\nhdd_01_fn = win95.vhd\n"},
          {"Win95/bochsrc", "ata0-master: type=disk, path=win95.vhd\n"}},
         "Win95",
         {"Win95", "86box.cfg", "bochsrc"}},
        {"VirtualBox: a differencing image of a snapshot attached",
         {{"Win95/Win95.vbox",
           "<VirtualBox version=\"1.19-linux\"><Machine name=\"Win95\">"
           "<MediaRegistry><HardDisks>"
           "<HardDisk uuid=\"{1}\" location=\"win95.vhd\" format=\"VHD\" type=\"Normal\">"
           "<HardDisk uuid=\"{2}\" location=\"Snapshots/{2}.vhd\" format=\"VHD\"/>"
           "</HardDisk></HardDisks></MediaRegistry>"
           "<Hardware><StorageControllers><StorageController name=\"SATA\">"
           "<AttachedDevice type=\"HardDisk\" port=\"0\" device=\"0\"><Image uuid=\"{2}\"/>"
           "</AttachedDevice></StorageController></StorageControllers></Hardware>"
           "</Machine></VirtualBox>"}},
         "Win95",
         {"Win95.vbox", "SATA port 0 device 0", "differencing image of a snapshot",
          "Snapshots/{2}.vhd", "delete", "merge", "win95.vhd"}},
        {"libvirt: a block device",
         {{"win95.xml", "<domain><name>win95</name><devices><disk type='block' device='disk'>"
                        "<source dev='/dev/sda'/><target dev='sda' bus='sata'/></disk>"
                        "</devices></domain>"}},
         "win95.xml",
         {"win95.xml", "disk sda", "/dev/sda", "block device"}},
        {"libvirt: an XML file that is no domain",
         {{"network.xml", "<network><name>default</name><domain name='x'/></network>"}},
         "network.xml",
         {"network.xml", "<domain>"}},
        {"DOSBox-X: single quotes, which DOSBox-X keeps in the file's name",
         {{"Win95/dosbox-x.conf", "[autoexec]\nimgmount c 'win95.vhd'\n"}},
         "Win95",
         {"dosbox-x.conf", "imgmount c", "'win95.vhd'", "does not exist"}},
        {"Bochs: a disk whose writes go to a redo log",
         {{"Win95/bochsrc", "ata0-master: type=disk, path=win95.vhd, mode=undoable\n"}},
         "Win95/bochsrc",
         {"bochsrc", "ata0-master", "undoable"}},
        {"Bochs: a growing image, refused by its mode",
         {{"Win95/bochsrc", "ata0-master: type=disk, path=win95.vhd, mode=vpc\n"
                            "ata0-slave: type=disk, path=data.img, mode=Growing\n"}},
         "Win95/bochsrc",
         {"bochsrc", "ata0-slave", "mode=growing", "convert"}},
        {"86Box: a line of a megabyte, and no disk",
         {{"Win95/86box.cfg", "[Hard disks]\nhdd_01_fn = " + std::string(1 << 20, 'x') + "\n"}},
         "Win95",
         {"86box.cfg", "no hard disk"}},
        {"86Box: two hundred thousand sections, read in one pass, and no disk",
         {{"Win95/86box.cfg", manySections(200000)}},
         "Win95",
         {"86box.cfg", "no hard disk"}},
        {"a file too large for a configuration",
         {{"Win95/86box.cfg", std::string(5 << 20, '\n')}},
         "Win95/86box.cfg",
         {"86box.cfg", "too large"}},
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
        const testing::TemporaryMachine temporary;
        for (const auto& [name, bytes] : Images)
            writeFile(temporary.root(), name, bytes);
        for (const auto& [name, bytes] : test.files)
            writeFile(temporary.root(), name, bytes);
        const platform::Result<EmulatorMachine> machine =
            readEmulatorMachine(temporary.root() / test.path);
        ASSERT_FALSE(machine.ok());
        for (const std::string& named : test.named)
            EXPECT_NE(machine.error().text().find(named), std::string::npos)
                << machine.error().text() << " does not name " << named;
        EXPECT_FALSE(machine.error().message().empty());
    }
}

} // namespace
} // namespace kor::machines
