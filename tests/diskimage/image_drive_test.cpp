// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk_image.h"
#include "run_program.h"
#include "temporary_machine.h"
// The read-only FAT reader inside the disk image library, by its path: the
// tests' own disk_image.h would shadow the library's.
#include "../../diskimage/src/fat_reader.h"
#include "../../diskimage/src/image_drive.h"
#include "../../diskimage/src/mtools.h"
#include "platform/host_files.h"

#include "diskimage/image_drives.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/profile.h"
#include "platform/temporary_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kor::diskimage::mtools {

void PrintTo(const Entry& entry, std::ostream* out) {
    *out << "{" << entry.name << ", " << entry.shortName << ", " << entry.carrier << ", "
         << entry.size << (entry.directory ? ", folder" : "") << (entry.hidden ? ", hidden" : "")
         << (entry.readOnly ? ", read-only" : "") << "}";
}

} // namespace kor::diskimage::mtools

namespace {

namespace platform = kor::platform;
namespace diskimage = kor::diskimage;
namespace image = kor::testing;
using kor::testing::FatType;
using kor::testing::FatVolume;
using kor::testing::qemuImg;
namespace fs = std::filesystem;

// A step that must succeed, with its error's text when it does not.
::testing::AssertionResult done(const platform::Status& status) {
    if (status)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << status.error().text();
}

std::string hostBytes(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// A machine whose drive C: is a disk image, made by `build` in the machine's
// root and linked as "c", as a user links an emulator's disk.
struct ImageMachine {
    kor::testing::TemporaryMachine machine;
    fs::path image;

    explicit ImageMachine(const std::function<FatVolume(const fs::path&)>& build)
        : image(machine.root() / "win95.img") {
        volume = build(image);
        fs::remove_all(machine.root() / "c");
        fs::create_symlink(image, machine.root() / "c");
    }
    FatVolume volume;

    void mtools(const std::string& command) const {
        const std::string line = "MTOOLSRC=/dev/null mtools -c " + command + " -i '" +
                                 volume.mtoolsImage() + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(line.c_str()), 0) << line;
    }
};

FatVolume standardContents(const FatVolume& volume) {
    image::makeDirectory(volume, "/WINDOWS");
    image::makeDirectory(volume, "/PICS");
    image::writeFile(volume, "/WINDOWS/KOR.INI", "[SaveDir]\r\nDirOnly=C:\\PICS\r\n");
    image::writeFile(volume, "/PICS/A.BMP", std::string(1000, 'a'));
    image::writeFile(volume, "/PICS/b.bmp", std::string(2000, 'b'));
    image::writeFile(volume, "/PICS/NOTE.TXT", "note");
    return volume;
}

struct ImageKind {
    const char* name;
    std::function<FatVolume(const fs::path&)> build;
};

class EveryImageKind : public ::testing::TestWithParam<ImageKind> {};

TEST_P(EveryImageKind, TakesEveryFileOperationAndStaysSound) {
    ImageMachine drive(
        [&](const fs::path& image) { return standardContents(GetParam().build(image)); });
    const fs::path hostPicture = drive.machine.root() / "outside.bmp";
    std::ofstream(hostPicture, std::ios::binary) << std::string(3000, 'h');

    EXPECT_EQ(platform::Machine::current().drives(), std::vector<char>{'C'});
    EXPECT_EQ(platform::listFiles("C:\\pics", "*.BMP").valueOr({}),
              (std::vector<std::string>{"A.BMP", "b.bmp"}));
    EXPECT_EQ(platform::listDirectories("C:\\").valueOr({}),
              (std::vector<std::string>{"PICS", "WINDOWS"}));
    EXPECT_EQ(platform::fileLength("c:\\pics\\B.BMP").valueOr(0), 2000u);
    ASSERT_TRUE(done(platform::Machine::current().setCurrentDirectory("C:\\PICS")));

    ASSERT_TRUE(
        done(platform::copyFile("A.BMP", "C:\\WINDOWS\\LOGOW.SYS", platform::Overwrite::No)));
    ASSERT_TRUE(done(platform::copyFile(hostPicture.string(), "C:\\WINDOWS\\LOGOS.SYS",
                                        platform::Overwrite::No)));
    EXPECT_FALSE(platform::copyFile("B.BMP", "C:\\WINDOWS\\LOGOS.SYS", platform::Overwrite::No));
    ASSERT_TRUE(
        done(platform::copyFile("B.BMP", "C:\\WINDOWS\\LOGOS.SYS", platform::Overwrite::Yes)));
    ASSERT_TRUE(done(platform::copyFile("C:\\WINDOWS\\LOGOS.SYS", hostPicture.string(),
                                        platform::Overwrite::Yes)));
    EXPECT_EQ(hostBytes(hostPicture), std::string(2000, 'b'));
    ASSERT_TRUE(done(platform::renameFile("C:\\PICS\\NOTE.TXT", "C:\\PICS\\Read me.txt")));
    ASSERT_TRUE(done(platform::replaceFile("C:\\WINDOWS\\LOGOW.SYS", "C:\\WINDOWS\\LOGOS.SYS")));
    ASSERT_TRUE(done(platform::deleteFile("C:\\PICS\\A.BMP")));
    ASSERT_TRUE(done(platform::createDirectory("C:\\korback")));
    ASSERT_TRUE(done(
        platform::writeProfileString("SaveDir", "FileName", "LOGO.LZH", "C:\\WINDOWS\\KOR.INI")));

    EXPECT_EQ(platform::readFile("C:\\WINDOWS\\LOGOS.SYS").valueOr(""), std::string(1000, 'a'));
    EXPECT_FALSE(platform::fileExists("C:\\WINDOWS\\LOGOW.SYS"));
    EXPECT_FALSE(platform::fileExists("C:\\PICS\\A.BMP"));
    EXPECT_TRUE(platform::directoryExists("C:\\KORBACK"));
    EXPECT_EQ(
        platform::readProfileString("SaveDir", "DirOnly", "", "C:\\WINDOWS\\KOR.INI").valueOr(""),
        "C:\\PICS");
    EXPECT_EQ(
        platform::readProfileString("SaveDir", "FileName", "", "C:\\WINDOWS\\KOR.INI").valueOr(""),
        "LOGO.LZH");
    EXPECT_EQ(image::listDirectory(drive.volume, "/PICS"),
              (std::vector<std::string>{"Read me.txt", "b.bmp"}));
    EXPECT_EQ(image::listDirectory(drive.volume, "/WINDOWS"),
              (std::vector<std::string>{"KOR.INI", "LOGOS.SYS"}));
    const image::FsckResult fsck = image::checkVolume(drive.volume);
    EXPECT_EQ(fsck.exitStatus, 0) << fsck.output;
}

// Reads an image file as the drive does.
diskimage::ImageReader readerOf(const platform::FileDescriptor& file) {
    return [&file](std::uint64_t offset, std::size_t length) {
        std::string bytes(length, '\0');
        const ssize_t count = ::pread(file.get(), bytes.data(), length, static_cast<off_t>(offset));
        bytes.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        return bytes;
    };
}

// The names of a folder of the volume as the read-only FAT reader lists it,
// reached from the root by its long names; sorted, as listDirectory gives them.
std::vector<std::string> namesByTheReader(const FatVolume& volume,
                                          std::initializer_list<std::string> folders) {
    const platform::FileDescriptor file(::open(volume.image.c_str(), O_RDONLY | O_CLOEXEC));
    const platform::Result<diskimage::FatReader> reader = diskimage::FatReader::open(
        readerOf(file), {volume.offset, volume.length}, volume.image.string());
    if (!reader)
        return {reader.error().text()};
    std::vector<diskimage::FatEntry> entries = reader.value().list(0).valueOr({});
    for (const std::string& folder : folders) {
        const auto found = std::ranges::find(entries, folder, &diskimage::FatEntry::name);
        entries = found == entries.end() ? std::vector<diskimage::FatEntry>()
                                         : reader.value().list(found->firstCluster).valueOr({});
    }
    std::vector<std::string> names;
    for (const diskimage::FatEntry& entry : entries)
        names.push_back(entry.name());
    std::ranges::sort(names);
    return names;
}

// No false alarm: long names, folders in folders, a folder of many clusters,
// deleted entries, a volume label and empty files pass the check, and the
// reader lists the folders as mtools does.
TEST_P(EveryImageKind, FindsNoFaultInASoundVolumeAndListsItsFolders) {
    ImageMachine drive([&](const fs::path& image) {
        FatVolume volume = standardContents(GetParam().build(image));
        const fs::path many = image.parent_path() / "many";
        fs::create_directories(many / "Older pictures");
        for (int i = 0; i < 60; ++i)
            std::ofstream(many / ("Picture number " + std::to_string(i) + ".bmp"))
                << std::string(static_cast<std::size_t>(i) * 100, 'p');
        std::ofstream(many / "Older pictures" / "EMPTY.TXT");
        image::makeDirectory(volume, "/PICS/MANY");
        image::copyTree(volume, many, "/PICS/MANY");
        image::writeFile(volume, "/PICS/EMPTY.BMP", "");
        image::writeFile(volume, "/PICS/Gone with a long name.bmp", std::string(3000, 'g'));
        return volume;
    });
    drive.mtools("mdel ::/PICS/Gone*.bmp");
    drive.mtools("mlabel ::KOR95");

    EXPECT_EQ(namesByTheReader(drive.volume, {"PICS"}),
              image::listDirectory(drive.volume, "/PICS"));
    EXPECT_EQ(namesByTheReader(drive.volume, {"PICS", "MANY"}),
              image::listDirectory(drive.volume, "/PICS/MANY"));
    EXPECT_EQ(namesByTheReader(drive.volume, {"PICS", "MANY", "Older pictures"}),
              std::vector<std::string>{"EMPTY.TXT"});
    EXPECT_TRUE(
        done(platform::copyFile("C:\\PICS\\A.BMP", "C:\\LOGO.SYS", platform::Overwrite::Yes)));
    EXPECT_TRUE(done(platform::writeFileAtomically("C:\\PICS\\EMPTY.BMP", "")));
}

// An entry of a kind that Windows, Windows NT or mtools leave in a folder,
// made in /LISTED, and as mtools lists it: the name Windows shows (none for
// an entry that no listing shows) and its attributes.
struct Listed {
    const char* what;
    std::function<void(ImageMachine&)> make;
    const char* shown;
    bool hidden = false;
    bool readOnly = false;
};

// A folder of the volume (the root, or one in it) as the drive reads it
// without mtools.
std::vector<diskimage::mtools::Entry> entriesByTheReader(const FatVolume& volume,
                                                         const std::string& folder) {
    const platform::FileDescriptor file(::open(volume.image.c_str(), O_RDONLY | O_CLOEXEC));
    const platform::Result<diskimage::FatReader> reader = diskimage::FatReader::open(
        readerOf(file), {volume.offset, volume.length}, volume.image.string());
    if (!reader)
        return {};
    std::vector<diskimage::FatEntry> entries = reader.value().list(0).valueOr({});
    if (!folder.empty()) {
        const auto found = std::ranges::find(entries, folder, &diskimage::FatEntry::name);
        entries = found == entries.end() ? std::vector<diskimage::FatEntry>()
                                         : reader.value().list(found->firstCluster).valueOr({});
    }
    std::vector<diskimage::mtools::Entry> read;
    std::ranges::transform(entries, std::back_inserter(read), diskimage::mtools::entryOf);
    return read;
}

// The same folder as mdir and mattrib list it.
std::vector<diskimage::mtools::Entry> entriesByMtools(const FatVolume& volume,
                                                      const std::string& folder) {
    const auto run = [&](const char* command, std::vector<std::string> arguments) {
        diskimage::mtools::Invocation invocation;
        invocation.command = command;
        invocation.arguments = std::move(arguments);
        return diskimage::mtools::run(volume.image, volume.offset, invocation).output;
    };
    const std::string pattern = "::/" + folder + (folder.empty() ? "*" : "/*");
    return diskimage::mtools::parseListing(run("mdir", {"-a", "-f", pattern}),
                                           run("mattrib", {pattern}));
}

// Writes go through mtools, which is given the entries by the carriers of
// their 8.3 names: the reader must spell every field as mtools does.
TEST(ImageDrive, ReadsEveryEntryAsMtoolsListsIt) {
    const auto file = [](const char* name) {
        return [name](ImageMachine& drive) {
            image::writeFile(drive.volume, std::string("/LISTED/") + name, name);
        };
    };
    const auto fileAs = [](const char* placeholder, const char* cp932Name,
                           std::optional<std::uint8_t> smallLetters = std::nullopt) {
        return [=](ImageMachine& drive) {
            image::writeFile(drive.volume, std::string("/LISTED/") + placeholder, "x");
            image::renameShortEntry(drive.volume, placeholder, cp932Name, smallLetters);
        };
    };
    const auto withAttribute = [](const char* name, const char* attribute) {
        return [=](ImageMachine& drive) {
            image::writeFile(drive.volume, std::string("/LISTED/") + name, name);
            drive.mtools(std::string("mattrib ") + attribute + " \"::/LISTED/" + name + "\"");
        };
    };
    const Listed table[] = {
        {"an 8.3 name", file("PLAIN.TXT"), "PLAIN.TXT"},
        {"a long name", file("A long name.bmp"), "A long name.bmp"},
        {"a CP932 8.3 name", fileAs("WAFU.LZH", "\x98\x61\x95\x97.LZH"), "和風.LZH"},
        {"a CP932 8.3 folder name with a backslash for a trail byte",
         [](ImageMachine& drive) {
             image::makeDirectory(drive.volume, "/LISTED/SOFT");
             image::renameShortEntry(drive.volume, "SOFT", "\x83\x5C\x83\x74\x83\x67");
         },
         "ソフト"},
        {"a first byte 0xE5, stored as 0x05", fileAs("E5.TXT", "\xE5\x40.TXT"), "蕁.TXT"},
        {"small letters by the flags of byte 12", file("b.bmp"), "b.bmp"},
        {"small letters beyond ASCII by those flags",
         fileAs("FLAGS.TXT", "\x80\x83\x41\x8E\x42\x43.TX\x9A", 0x18), "çâaäbc.txü"},
        {"a hidden file", withAttribute("HIDDEN.TXT", "+h"), "HIDDEN.TXT", true},
        {"a system file", withAttribute("SYSTEM.TXT", "+s"), "SYSTEM.TXT", true},
        {"a read-only file with a long name", withAttribute("Read only.txt", "+r"), "Read only.txt",
         false, true},
        {"a folder", [](ImageMachine& drive) { image::makeDirectory(drive.volume, "/LISTED/SUB"); },
         "SUB"},
        {"a deleted entry",
         [](ImageMachine& drive) {
             image::writeFile(drive.volume, "/LISTED/Deleted long name.txt", "gone");
             drive.mtools("mdel \"::/LISTED/Deleted long name.txt\"");
         },
         nullptr},
        {"a volume label", [](ImageMachine& drive) { drive.mtools("mlabel ::KOR95"); }, nullptr},
    };
    ImageMachine drive([](const fs::path& image) {
        FatVolume volume = image::makeMbrDisk(image, FatType::Fat16);
        image::makeDirectory(volume, "/LISTED");
        return volume;
    });
    for (const Listed& listed : table)
        listed.make(drive);

    const std::vector<diskimage::mtools::Entry> byMtools = entriesByMtools(drive.volume, "LISTED");
    for (const Listed& listed : table) {
        const auto shown =
            std::ranges::find(byMtools, std::string(listed.shown ? listed.shown : ""),
                              &diskimage::mtools::Entry::name);
        EXPECT_EQ(shown != byMtools.end(), listed.shown != nullptr) << listed.what;
        if (shown != byMtools.end()) {
            EXPECT_EQ(std::pair(shown->hidden, shown->readOnly),
                      std::pair(listed.hidden, listed.readOnly))
                << listed.what;
        }
    }
    EXPECT_EQ(byMtools.size(),
              static_cast<std::size_t>(std::ranges::count_if(table, &Listed::shown)));
    EXPECT_EQ(entriesByTheReader(drive.volume, "LISTED"), byMtools);
    EXPECT_EQ(entriesByTheReader(drive.volume, ""), entriesByMtools(drive.volume, ""));
}

INSTANTIATE_TEST_SUITE_P(
    Images, EveryImageKind,
    ::testing::Values(ImageKind{"Fat16FromSector63",
                                [](const fs::path& image) {
                                    return image::makeMbrDisk(image, FatType::Fat16, 63);
                                }},
                      ImageKind{"Fat32",
                                [](const fs::path& image) {
                                    return image::makeMbrDisk(image, FatType::Fat32);
                                }},
                      ImageKind{"UnpartitionedFat12",
                                [](const fs::path& image) {
                                    return image::makeUnpartitionedVolume(image, FatType::Fat12);
                                }},
                      ImageKind{"FixedVhd",
                                [](const fs::path& image) {
                                    FatVolume volume = image::makeMbrDisk(image, FatType::Fat16);
                                    image::appendFixedVhdFooter(image);
                                    return volume;
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

// Japanese Windows 95 writes a name that fits 8.3 in CP932 bytes as a short
// name alone; "ソフト" holds 0x5C, the backslash, as a trail byte.
TEST(ImageDrive, FindsJapaneseShortNamesByTheirCharacters) {
    ImageMachine drive([](const fs::path& file) {
        FatVolume volume = standardContents(image::makeMbrDisk(file, FatType::Fat16));
        image::makeDirectory(volume, "/KABE");
        image::makeDirectory(volume, "/SOFT");
        image::writeFile(volume, "/KABE/WAFU.LZH", "archive");
        image::writeFile(volume, "/SOFT/DATA.BMP", "data");
        image::renameShortEntry(volume, "KABE", "\x95\xC7\x8E\x86");
        image::renameShortEntry(volume, "WAFU.LZH", "\x98\x61\x95\x97.LZH");
        image::renameShortEntry(volume, "SOFT", "\x83\x5C\x83\x74\x83\x67");
        return volume;
    });

    EXPECT_EQ(platform::listDirectories("C:\\").valueOr({}),
              (std::vector<std::string>{"PICS", "WINDOWS", "ソフト", "壁紙"}));
    EXPECT_EQ(platform::listFiles("C:\\壁紙", "*.lzh").valueOr({}),
              std::vector<std::string>{"和風.LZH"});
    EXPECT_EQ(platform::readFile("c:\\壁紙\\和風.lzh").valueOr(""), "archive");
    EXPECT_EQ(platform::readFile("C:\\ソフト\\data.bmp").valueOr(""), "data");
    ASSERT_TRUE(done(
        platform::copyFile("C:\\ソフト\\DATA.BMP", "C:\\壁紙\\COPY.BMP", platform::Overwrite::No)));
    ASSERT_TRUE(done(platform::writeFileAtomically("C:\\ソフト\\DATA.BMP", "new")));
    EXPECT_EQ(platform::readFile("C:\\壁紙\\COPY.BMP").valueOr(""), "data");
    EXPECT_EQ(platform::readFile("C:\\ソフト\\DATA.BMP").valueOr(""), "new");
    // The names the programs make are ASCII; one beyond it is refused. (No
    // fsck.fat here: it takes the trail byte 0x5C for a backslash.)
    EXPECT_FALSE(platform::createDirectory("C:\\バックアップ").ok());
    EXPECT_FALSE(platform::directoryExists("C:\\バックアップ"));
}

TEST(ImageDrive, KeepsHiddenFilesOutOfListsAndReadOnlyFilesUnchanged) {
    ImageMachine drive([](const fs::path& file) {
        return standardContents(image::makeUnpartitionedVolume(file, FatType::Fat16));
    });
    drive.mtools("mattrib +h ::/PICS/A.BMP");
    drive.mtools("mattrib +s ::/PICS/NOTE.TXT");
    drive.mtools("mattrib +r ::/PICS/b.bmp");

    EXPECT_EQ(platform::listFiles("C:\\PICS", "*.*").valueOr({}),
              std::vector<std::string>{"b.bmp"});
    EXPECT_EQ(platform::deleteFile("C:\\PICS\\B.BMP").error().code(), EACCES);
    EXPECT_EQ(platform::writeFileAtomically("C:\\PICS\\B.BMP", "x").error().code(), EACCES);
    EXPECT_EQ(platform::copyFile("C:\\PICS\\A.BMP", "C:\\PICS\\B.BMP", platform::Overwrite::Yes)
                  .error()
                  .code(),
              EACCES);
    EXPECT_EQ(platform::readFile("C:\\PICS\\B.BMP").valueOr(""), std::string(2000, 'b'));
}

struct Refusal {
    const char* name;
    std::function<void(const fs::path&)> write;
    const char* said; // in the Japanese report
    bool needsRoot = false;
};

class RefusedImage : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedImage, SaysWhyAndWritesNothing) {
    if (GetParam().needsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a device node";
    kor::testing::TemporaryMachine machine;
    const fs::path file = machine.root() / "disk.img";
    GetParam().write(file);
    fs::remove_all(machine.root() / "c");
    fs::create_symlink(file, machine.root() / "c");
    const std::string before = hostBytes(file);

    const platform::Result<std::string> read = platform::readFile("C:\\WINDOWS\\KOR.INI");
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.error().message().find(GetParam().said), std::string::npos)
        << read.error().message();
    EXPECT_FALSE(platform::writeFileAtomically("C:\\KOR.INI", "x").ok());
    EXPECT_FALSE(platform::fileExists("C:\\KOR.INI"));
    EXPECT_EQ(hostBytes(file), before);
}

INSTANTIATE_TEST_SUITE_P(
    Images, RefusedImage,
    ::testing::Values(
        Refusal{"Qcow",
                [](const fs::path& file) {
                    image::writeUnsupportedImage(file, image::UnsupportedImage::Qcow);
                },
                "qcow 形式のｲﾒｰｼﾞは使えません。raw 形式に変換してください: qemu-img convert"},
        Refusal{"DifferencingVdi",
                [](const fs::path& file) {
                    image::writeUnsupportedImage(file, image::UnsupportedImage::DifferencingVdi);
                },
                "VirtualBox の差分 VDI (ｽﾅｯﾌﾟｼｮｯﾄ) には書き込めません"},
        Refusal{"BochsGrowing",
                [](const fs::path& file) {
                    image::writeUnsupportedImage(file, image::UnsupportedImage::BochsGrowing);
                },
                "Bochs の可変長・ｽﾊﾟｰｽ・REDO ﾛｸﾞ形式のｲﾒｰｼﾞには書き込めません。"
                "raw 形式に変換してください: qemu-img convert"},
        Refusal{"DifferencingVhd",
                [](const fs::path& file) {
                    image::writeUnsupportedImage(file, image::UnsupportedImage::DifferencingVhd);
                },
                "差分 VHD 形式のｲﾒｰｼﾞには書き込めません"},
        Refusal{"EncryptedQcow2",
                // AES, which the header tells as LUKS is told: making a LUKS
                // image times the CPU, which fails where its clock is coarse.
                [](const fs::path& file) {
                    qemuImg({"create", "-f", "qcow2", "--object", "secret,id=key,data=kor", "-o",
                             "encrypt.format=aes,encrypt.key-secret=key", file.string(), "32M"});
                },
                "暗号化された qcow2 形式のｲﾒｰｼﾞは使えません"},
        Refusal{"BaseOfAnOverlayBesideIt",
                [](const fs::path& file) {
                    qemuImg({"create", "-f", "qcow2", file.string(), "32M"});
                    qemuImg({"create", "-f", "qcow2", "-F", "qcow2", "-b", file.filename().string(),
                             (file.parent_path() / "overlay.qcow2").string()});
                },
                "のﾍﾞｰｽ (元のｲﾒｰｼﾞ) です。ｴﾐｭﾚｰﾀが開くｲﾒｰｼﾞを指定してください"},
        Refusal{"PartitionBeyondTheEnd",
                [](const fs::path& file) {
                    image::makeMbrDisk(file, FatType::Fat16);
                    fs::resize_file(file, 4u << 20);
                },
                "ﾊﾟｰﾃｨｼｮﾝ 1 がﾌｧｲﾙの外を指しています"},
        Refusal{"NoFileSystem",
                [](const fs::path& file) { std::ofstream(file) << std::string(4096, 'x'); },
                "ﾊﾟｰﾃｨｼｮﾝﾃｰﾌﾞﾙも FAT ﾌｧｲﾙｼｽﾃﾑも見つかりません"},
        Refusal{"BlockDevice",
                [](const fs::path& file) {
                    ASSERT_EQ(::mknod(file.c_str(), S_IFBLK | 0600, ::makedev(7, 200)), 0);
                },
                "はﾄﾞﾗｲﾌﾞにできません (ｼｽﾃﾑや別のﾌﾟﾛｸﾞﾗﾑが使用中かどうかを確かめられません)",
                true}),
    [](const auto& info) { return std::string(info.param.name); });

// Without qemu-storage-daemon a qcow2 image is refused with what to install,
// and with the command that converts it as the alternative.
TEST(QemuImageWithoutItsDaemon, SaysWhatToInstallAndHowToConvert) {
    kor::testing::TemporaryMachine machine;
    const fs::path file = machine.root() / "disk.qcow2";
    qemuImg({"create", "-f", "qcow2", file.string(), "32M"});
    fs::remove_all(machine.root() / "c");
    fs::create_symlink(file, machine.root() / "c");
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", machine.root().c_str(), 1);

    const platform::Result<std::string> read = platform::readFile("C:\\WINDOWS\\KOR.INI");

    ::setenv("PATH", path.c_str(), 1);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.error().message().find("(qemu-storage-daemon がありません): apt install "
                                          "qemu-system-common fuse3。または raw 形式に変換して"
                                          "ください: qemu-img convert -O raw " +
                                          file.string()),
              std::string::npos)
        << read.error().message();
}

// Kills the qemu-storage-daemon that exports `image`, as the out-of-memory
// killer would, and waits until its guardian has removed the export and
// ended, letting go of the lock by which the next export repairs the image.
void killExportOf(const fs::path& image) {
    const std::string named = fs::canonical(image).string();
    for (const auto& process : fs::directory_iterator("/proc")) {
        std::ifstream stream(process.path() / "cmdline", std::ios::binary);
        const std::string line{std::istreambuf_iterator<char>(stream),
                               std::istreambuf_iterator<char>()};
        if (!line.starts_with("qemu-storage-daemon") || line.find(named) == std::string::npos ||
            line.find("mountpoint=") == std::string::npos)
            continue;
        // Field 4 of stat(5), after the name in parentheses, is the parent.
        std::ifstream stat(process.path() / "stat");
        const std::string status{std::istreambuf_iterator<char>(stat),
                                 std::istreambuf_iterator<char>()};
        const fs::path guardian =
            fs::path("/proc") / std::to_string(std::atoi(status.c_str() + status.rfind(')') + 4));
        ASSERT_EQ(::kill(std::stoi(process.path().filename().string()), SIGKILL), 0);
        // A zombie has closed its files; this process reaps the guardian later.
        const auto guarding = [&] {
            std::ifstream state(guardian / "stat");
            const std::string text{std::istreambuf_iterator<char>(state),
                                   std::istreambuf_iterator<char>()};
            return !text.empty() && text.compare(text.rfind(')') + 2, 1, "Z") != 0;
        };
        for (int wait = 0; wait < 1000 && guarding(); ++wait)
            ::usleep(10'000);
        ASSERT_FALSE(guarding()) << "the guardian outlived its daemon by 10 s";
        return;
    }
    FAIL() << "no daemon exports " << named;
}

// An emulator started from a qcow2 image while the drive is open between
// uses finds the image free once the drive has let go of its export, and the
// drive reads and writes again after; a change keeps its export to its end.
TEST(QemuImageDrive, LetsGoOfTheImageBetweenUsesButNotDuringAChange) {
    if (const std::string why = kor::testing::whyNoQemuExport(); !why.empty())
        GTEST_SKIP() << "cannot export an image through FUSE here: " << why;
    if (::access("/usr/bin/qemu-io", X_OK) != 0)
        GTEST_SKIP() << "qemu-io, which stands for the emulator, is missing";
    ImageMachine drive([](const fs::path& file) {
        return standardContents(image::makeMbrDisk(file, FatType::Fat16));
    });
    const fs::path qcow2 = drive.machine.root() / "win95.qcow2";
    qemuImg({"convert", "-O", "qcow2", drive.image.string(), qcow2.string()});
    fs::remove(drive.machine.root() / "c");
    fs::create_symlink(qcow2, drive.machine.root() / "c");
    // QEMU opening the image for writing, as an emulator does.
    const auto emulatorOpens = [&] {
        return kor::testing::runProgram("/usr/bin/qemu-io", {},
                                        {"-c", "read 0 512", qcow2.string()})
            .exitStatus;
    };

    EXPECT_EQ(platform::readFile("C:\\PICS\\A.BMP").valueOr(""), std::string(1000, 'a'));
    EXPECT_NE(emulatorOpens(), 0) << "the export holds no lock";
    diskimage::releaseImageDrives();
    EXPECT_EQ(emulatorOpens(), 0);
    EXPECT_EQ(platform::readFile("C:\\PICS\\B.BMP").valueOr(""), std::string(2000, 'b'));
    ASSERT_TRUE(done(platform::writeFileAtomically("C:\\WINDOWS\\KOR.INI", "released")));

    const auto opened = diskimage::openImageDrive(fs::canonical(qcow2), 0);
    ASSERT_TRUE(opened.ok());
    auto& imageDrive = dynamic_cast<diskimage::ImageDrive&>(*opened.value());
    {
        const auto change = diskimage::ImageDrive::Change::begin(
            imageDrive, platform::Operation::Write, "C:\\WINDOWS\\KOR.INI");
        ASSERT_TRUE(change.ok());
        diskimage::releaseImageDrives();
        EXPECT_NE(emulatorOpens(), 0) << "a change lost its export";
        ASSERT_TRUE(done(platform::writeFileAtomically("C:\\WINDOWS\\KOR.INI", "changed")));
    }
    diskimage::releaseImageDrives();
    EXPECT_EQ(emulatorOpens(), 0);
    EXPECT_EQ(platform::readFile("C:\\WINDOWS\\KOR.INI").valueOr(""), "changed");

    // A daemon killed while the drive has its export is replaced at the next use.
    ASSERT_TRUE(done(platform::writeFileAtomically("C:\\WINDOWS\\KOR.INI", "exported")));
    killExportOf(qcow2);
    ASSERT_TRUE(done(platform::writeFileAtomically("C:\\WINDOWS\\KOR.INI", "again")));
    EXPECT_EQ(platform::readFile("C:\\WINDOWS\\KOR.INI").valueOr(""), "again");
    diskimage::releaseImageDrives();
    const kor::testing::ProgramRun check =
        kor::testing::runProgram("/usr/bin/qemu-img", {}, {"check", qcow2.string()});
    EXPECT_EQ(check.exitStatus, 0) << check.standardOutput;
}

// A partition of a test disk, and the text of /WHICH.TXT in it when it
// holds a FAT file system.
struct Part {
    image::PartitionSpec spec;
    const char* label = "";
};

// A FAT16 partition of 15 MiB at `start`, a FAT32 one of 64 MiB, and an
// extended one of 16 MiB, whose first logical partition starts 1 MiB in.
Part fat16(std::uint64_t start, const char* label, std::uint8_t type = 0x06, bool active = false) {
    return {{FatType::Fat16, start, 30720, type, active}, label};
}
Part fat32(std::uint64_t start, const char* label, std::uint8_t type) {
    return {{FatType::Fat32, start, 131072, type}, label};
}
Part extended(std::uint64_t start) {
    return {{std::nullopt, start, 32768, 0x05}};
}

const std::vector<Part> primaryAndLogical = {fat16(2048, "primary"), extended(32768),
                                             fat16(34816, "logical")};
const std::vector<Part> hiddenAndNormal = {fat16(2048, "hidden", 0x16), fat16(32768, "normal")};

struct PartitionChoice {
    const char* name;
    std::vector<Part> parts;
    const char* number; // c.partition's text; none leaves the choice to the drive
    const char* read;   // /WHICH.TXT as drive C: reads it, or a part of the report
};

void PrintTo(const PartitionChoice& choice, std::ostream* out) {
    *out << choice.name;
}

class PartitionOfDriveC : public ::testing::TestWithParam<PartitionChoice> {};

// Drive C: is the partition Windows 95 gives that letter, or the one named.
TEST_P(PartitionOfDriveC, IsTheOneWindowsGivesTheLetterOrTheOneNamed) {
    kor::testing::TemporaryMachine machine;
    const fs::path file = machine.root() / "disk.img";
    std::vector<image::PartitionSpec> specs;
    for (const Part& part : GetParam().parts)
        specs.push_back(part.spec);
    const std::vector<FatVolume> volumes = image::makePartitionedDisk(file, specs);
    for (std::size_t i = 0; i < volumes.size(); ++i)
        if (specs[i].fat)
            image::writeFile(volumes[i], "/WHICH.TXT", GetParam().parts[i].label);
    fs::remove_all(machine.root() / "c");
    fs::create_symlink(file, machine.root() / "c");
    if (*GetParam().number)
        std::ofstream(machine.root() / "c.partition") << GetParam().number << "\n";

    const platform::Result<std::string> read = platform::readFile("C:\\WHICH.TXT");

    if (read)
        EXPECT_EQ(read.value(), GetParam().read);
    else
        EXPECT_NE(read.error().message().find(GetParam().read), std::string::npos)
            << read.error().message();
}

INSTANTIATE_TEST_SUITE_P(
    Disks, PartitionOfDriveC,
    ::testing::Values(
        PartitionChoice{"HiddenFirst", hiddenAndNormal, "", "normal"},
        PartitionChoice{"SecondActive",
                        {fat16(2048, "first"), fat16(32768, "active", 0x06, true)},
                        "",
                        "active"},
        PartitionChoice{"Fat32Lba",
                        {fat32(2048, "hidden", 0x1B), fat32(133120, "FAT32 LBA", 0x0C)},
                        "",
                        "FAT32 LBA"},
        PartitionChoice{"PrimaryBeforeLogical", primaryAndLogical, "", "primary"},
        PartitionChoice{"LogicalWithoutAPrimary",
                        {fat16(2048, "hidden", 0x16), extended(32768), fat16(34816, "logical")},
                        "",
                        "logical"},
        PartitionChoice{
            "OnlyHidden", {fat16(2048, "hidden", 0x16)}, "", "ﾊﾟｰﾃｨｼｮﾝ 1 は隠しﾊﾟｰﾃｨｼｮﾝです"},
        PartitionChoice{"HiddenNamed", hiddenAndNormal, "1", "hidden"},
        PartitionChoice{"PrimaryNamed", primaryAndLogical, "1", "primary"},
        PartitionChoice{"LogicalNamed", primaryAndLogical, "5", "logical"},
        PartitionChoice{"ExtendedNamed", primaryAndLogical, "2",
                        "ﾊﾟｰﾃｨｼｮﾝ 2 は論理ﾄﾞﾗｲﾌﾞを入れる拡張ﾊﾟｰﾃｨｼｮﾝです"},
        PartitionChoice{"MissingNamed", primaryAndLogical, "6", "ﾊﾟｰﾃｨｼｮﾝ 6 がありません"}),
    [](const auto& info) { return std::string(info.param.name); });

// The disks of PC-98 emulators and 86Box: a header before the raw disk, which
// holds a PC-98 partition table or an MBR.
struct EmulatorDisk {
    const char* name;
    // Writes the image and /WHICH.TXT in its volumes; returns the volume
    // that drive A: should be, or none when the image is refused.
    std::function<std::optional<FatVolume>(const fs::path&)> build;
    const char* number; // a.partition's text; none leaves the choice to the drive
    const char* read;   // /WHICH.TXT as drive A: reads it, or a part of the report
};

void PrintTo(const EmulatorDisk& disk, std::ostream* out) {
    *out << disk.name;
}

// A PC-98 disk of a FAT16 partition that is not bootable and a FAT12 one
// that is, the one a PC-98 boots from, each with /WHICH.TXT.
std::vector<FatVolume> pc98Disk(const fs::path& file, bool active = true,
                                std::uint32_t logicalSectorSize = 512) {
    const std::vector<image::Pc98PartitionSpec> specs = {
        {FatType::Fat16, 1, 240, false, active, logicalSectorSize},
        {FatType::Fat12, 241, 60, true, active, logicalSectorSize}};
    std::vector<FatVolume> volumes = image::makePc98Disk(file, specs);
    image::writeFile(volumes[0], "/WHICH.TXT", "data");
    image::writeFile(volumes[1], "/WHICH.TXT", "boot");
    return volumes;
}

// The disk's volume `which` after a header of `kind`.
std::optional<FatVolume> withHeader(std::vector<FatVolume> volumes, std::size_t which,
                                    image::DiskHeader kind) {
    volumes[which].offset += image::addDiskHeader(volumes[which].image, kind);
    return volumes[which];
}

FatVolume mbrDisk(const fs::path& file) {
    FatVolume volume = image::makeMbrDisk(file, FatType::Fat16);
    image::writeFile(volume, "/WHICH.TXT", "mbr");
    return volume;
}

void patch(const fs::path& file, std::uint64_t offset, std::string_view bytes) {
    std::fstream stream(file, std::ios::binary | std::ios::in | std::ios::out);
    stream.seekp(static_cast<std::streamoff>(offset));
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class EmulatorDiskLayout : public ::testing::TestWithParam<EmulatorDisk> {};

// Drive A: is the partition a PC-98 boots from, or the one named, wherever
// the header puts the disk; what cannot be worked on is refused by name.
TEST_P(EmulatorDiskLayout, PutsDriveAOnTheBootPartitionOrRefusesByName) {
    kor::testing::TemporaryMachine machine;
    const fs::path file = machine.root() / "pc98.img";
    const std::optional<FatVolume> volume = GetParam().build(file);
    fs::create_symlink(file, machine.root() / "a");
    if (*GetParam().number)
        std::ofstream(machine.root() / "a.partition") << GetParam().number << "\n";
    const std::string before = hostBytes(file);

    const platform::Result<std::string> read = platform::readFile("A:\\WHICH.TXT");

    if (!volume) {
        ASSERT_FALSE(read.ok()) << read.value();
        EXPECT_NE(read.error().message().find(GetParam().read), std::string::npos)
            << read.error().message();
        EXPECT_FALSE(platform::writeFileAtomically("A:\\NEW.TXT", "new").ok());
        EXPECT_EQ(hostBytes(file), before);
        return;
    }
    ASSERT_TRUE(read.ok()) << read.error().text();
    EXPECT_EQ(read.value(), GetParam().read);
    ASSERT_TRUE(done(platform::writeFileAtomically("A:\\NEW.TXT", "new")));
    EXPECT_EQ(image::readFile(*volume, "/NEW.TXT"), "new");
    const image::FsckResult fsck = image::checkVolume(*volume);
    EXPECT_EQ(fsck.exitStatus, 0) << fsck.output;
}

INSTANTIATE_TEST_SUITE_P(
    Disks, EmulatorDiskLayout,
    ::testing::Values(
        EmulatorDisk{"RawPc98",
                     [](const fs::path& file) { return std::optional(pc98Disk(file)[1]); }, "",
                     "boot"},
        EmulatorDisk{"RawPc98Named",
                     [](const fs::path& file) { return std::optional(pc98Disk(file)[0]); }, "1",
                     "data"},
        EmulatorDisk{"Pc98Hdi",
                     [](const fs::path& file) {
                         return withHeader(pc98Disk(file), 1, image::DiskHeader::Hdi);
                     },
                     "", "boot"},
        EmulatorDisk{"Pc98Nhd",
                     [](const fs::path& file) {
                         return withHeader(pc98Disk(file), 1, image::DiskHeader::Nhd);
                     },
                     "", "boot"},
        EmulatorDisk{"Pc98NhdOfPc98DosSectors",
                     [](const fs::path& file) {
                         return withHeader(pc98Disk(file, true, 1024), 1, image::DiskHeader::Nhd);
                     },
                     "", "boot"},
        EmulatorDisk{"Pc98Virtual98Hdd",
                     [](const fs::path& file) {
                         return withHeader(pc98Disk(file), 0, image::DiskHeader::Virtual98);
                     },
                     "1", "data"},
        EmulatorDisk{"MbrHdi",
                     [](const fs::path& file) {
                         return withHeader({mbrDisk(file)}, 0, image::DiskHeader::Hdi);
                     },
                     "", "mbr"},
        EmulatorDisk{"MbrHdx",
                     [](const fs::path& file) {
                         return withHeader({mbrDisk(file)}, 0, image::DiskHeader::Hdx);
                     },
                     "", "mbr"},
        EmulatorDisk{"Pc98Sleeping",
                     [](const fs::path& file) {
                         pc98Disk(file, false);
                         return std::optional<FatVolume>();
                     },
                     "", "ﾊﾟｰﾃｨｼｮﾝ 1 は休止中です"},
        EmulatorDisk{"HdiBeyondTheFile",
                     [](const fs::path& file) {
                         withHeader(pc98Disk(file), 1, image::DiskHeader::Hdi);
                         fs::resize_file(file, fs::file_size(file) - 512);
                         return std::optional<FatVolume>();
                     },
                     "", "HDI 形式のｲﾒｰｼﾞのﾍｯﾀﾞが壊れています (ﾃﾞｨｽｸがﾌｧｲﾙの終わりを越えています)"},
        EmulatorDisk{"NhdWithoutHeads",
                     [](const fs::path& file) {
                         withHeader(pc98Disk(file), 1, image::DiskHeader::Nhd);
                         patch(file, 0x118, std::string(2, '\0'));
                         return std::optional<FatVolume>();
                     },
                     "", "NHD 形式のｲﾒｰｼﾞのﾍｯﾀﾞが壊れています (ｼﾞｵﾒﾄﾘに 0 があります)"},
        EmulatorDisk{"SasiHdi",
                     [](const fs::path& file) {
                         pc98Disk(file);
                         image::addDiskHeader(file, image::DiskHeader::Hdi, 256);
                         return std::optional<FatVolume>();
                     },
                     "", "HDI 形式の 256 ﾊﾞｲﾄｾｸﾀの SASI ﾃﾞｨｽｸは使えません"},
        EmulatorDisk{"Thd",
                     [](const fs::path& file) {
                         std::string thd(256 + 2 * 8 * 33 * 256, '\0');
                         thd[0] = 2; // cylinders
                         std::ofstream(file, std::ios::binary) << thd;
                         return std::optional<FatVolume>();
                     },
                     "", "THD 形式の 256 ﾊﾞｲﾄｾｸﾀの SASI ﾃﾞｨｽｸは使えません"}),
    [](const auto& info) { return std::string(info.param.name); });

// An emulator keeps its disk open while it runs: the image may be read, but
// a change would pull the disk from under it.
TEST(ImageDrive, WritesNothingWhileAnotherProgramHasTheImageOpen) {
    ImageMachine drive([](const fs::path& file) {
        return standardContents(image::makeMbrDisk(file, FatType::Fat16));
    });
    const int held = ::open(drive.image.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, held, 3);
    pid_t emulator = 0;
    char sleep[] = "sleep";
    char seconds[] = "30";
    char* arguments[] = {sleep, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&emulator, "sleep", &actions, nullptr, arguments, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(held);
    const std::string before = hostBytes(drive.image);

    EXPECT_EQ(platform::readFile("C:\\PICS\\A.BMP").valueOr(""), std::string(1000, 'a'));
    const platform::Status written = platform::writeFileAtomically("C:\\WINDOWS\\KOR.INI", "x");
    ::kill(emulator, SIGKILL);
    ::waitpid(emulator, nullptr, 0);
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error().code(), EBUSY);
    const std::string message = written.error().message();
    EXPECT_NE(message.find("sleep (PID " + std::to_string(emulator) + ")"), std::string::npos)
        << message;
    EXPECT_NE(message.find(drive.image.string()), std::string::npos) << message;
    EXPECT_EQ(hostBytes(drive.image), before);

    ASSERT_TRUE(done(platform::writeFileAtomically("C:\\WINDOWS\\KOR.INI", "x")));
}

TEST(ImageDrive, RemovesTheTemporaryFilesThatADeadRunLeft) {
    ImageMachine drive([](const fs::path& file) {
        FatVolume volume = standardContents(image::makeMbrDisk(file, FatType::Fat16));
        image::writeFile(volume, "/WINDOWS/~KOR12AB.TMP", "left by a run that died");
        image::makeDirectory(volume, "/WINDOWS/~KORX9Z0.TMP");
        image::writeFile(volume, "/WINDOWS/~KORX9Z0.TMP/MEMBER.BMP", "half extracted");
        return volume;
    });

    platform::removeStaleTemporaries("C:\\WINDOWS");

    EXPECT_EQ(image::listDirectory(drive.volume, "/WINDOWS"), std::vector<std::string>{"KOR.INI"});
    const image::FsckResult fsck = image::checkVolume(drive.volume);
    EXPECT_EQ(fsck.exitStatus, 0) << fsck.output;
}

// A FAT16 volume whose folder /PICS ends its cluster chain by pointing back
// to its first cluster.
void makeFolderChainLoop(const FatVolume& volume) {
    const std::uint32_t first = image::clusterChain(volume, "PICS").front();
    image::setFatEntry(volume, first, first);
}

TEST(ImageDrive, RefusesAFileSystemWhoseChainsLoop) {
    ImageMachine drive([](const fs::path& file) {
        return standardContents(image::makeMbrDisk(file, FatType::Fat16));
    });
    makeFolderChainLoop(drive.volume);
    const std::string before = hostBytes(drive.image);

    const platform::Result<std::vector<std::string>> listed =
        platform::listFiles("C:\\PICS", "*.*");
    ASSERT_FALSE(listed.ok());
    EXPECT_NE(listed.error().message().find("ｸﾗｽﾀﾁｪｰﾝが循環しています"), std::string::npos)
        << listed.error().message();
    EXPECT_FALSE(
        platform::copyFile("C:\\WINDOWS\\KOR.INI", "C:\\PICS\\NEW.BMP", platform::Overwrite::No)
            .ok());
    EXPECT_EQ(hostBytes(drive.image), before);
}

// A folder whose entry names cluster 0, which stands for the root, is
// damaged: reading it as the root would walk the tree in circles.
TEST(ImageDrive, RefusesAFolderWhoseEntryNamesNoCluster) {
    ImageMachine drive([](const fs::path& file) {
        return standardContents(image::makeMbrDisk(file, FatType::Fat16));
    });
    image::writeIntoEntry(drive.volume, "PICS", 26, std::string(2, '\0'));

    const platform::Result<std::vector<std::string>> listed =
        platform::listFiles("C:\\PICS", "*.*");
    ASSERT_FALSE(listed.ok());
    EXPECT_EQ(listed.error().code(), EBADMSG);
    EXPECT_NE(listed.error().message().find("\\PICS"), std::string::npos)
        << listed.error().message();
}

// A file whose chain does not hold its size: what it holds and how the
// report of a read tells it.
struct BrokenChain {
    const char* name;
    std::function<void(const FatVolume&, const std::vector<std::uint32_t>&)> make;
    const char* said;
};

void PrintTo(const BrokenChain& broken, std::ostream* out) {
    *out << broken.name;
}

class FileWithABrokenChain : public ::testing::TestWithParam<BrokenChain> {};

// Such a file is not read at all: neither the part its chain holds nor, round
// a loop, more than it holds.
TEST_P(FileWithABrokenChain, IsNotReadAndTheReportNamesIt) {
    ImageMachine drive([](const fs::path& file) {
        FatVolume volume = standardContents(image::makeMbrDisk(file, FatType::Fat16));
        image::writeFile(volume, "/PICS/BIG.BMP", std::string(20000, 'g'));
        return volume;
    });
    const std::vector<std::uint32_t> chain = image::clusterChain(drive.volume, "BIG.BMP");
    ASSERT_GE(chain.size(), 3u);
    GetParam().make(drive.volume, chain);

    const platform::Result<std::string> read = platform::readFile("C:\\PICS\\BIG.BMP");

    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().code(), EBADMSG);
    EXPECT_NE(read.error().message().find(GetParam().said), std::string::npos)
        << read.error().message();
    EXPECT_EQ(platform::readFile("C:\\PICS\\A.BMP").valueOr(""), std::string(1000, 'a'));
}

INSTANTIATE_TEST_SUITE_P(
    Chains, FileWithABrokenChain,
    ::testing::Values(
        BrokenChain{"EndsBeforeItsSize",
                    [](const FatVolume& volume, const std::vector<std::uint32_t>& chain) {
                        image::setFatEntry(volume, chain[0], 0x0FFFFFFF);
                    },
                    "\\PICS\\BIG.BMP のｸﾗｽﾀ数 (1) がﾌｧｲﾙｻｲｽﾞ (20000 ﾊﾞｲﾄ) と合いません"},
        BrokenChain{"Loops",
                    [](const FatVolume& volume, const std::vector<std::uint32_t>& chain) {
                        image::setFatEntry(volume, chain[1], chain[0]);
                    },
                    "\\PICS\\BIG.BMP のｸﾗｽﾀﾁｪｰﾝが循環しています"},
        BrokenChain{"RunsIntoAFreeCluster",
                    [](const FatVolume& volume, const std::vector<std::uint32_t>& chain) {
                        image::setFatEntry(volume, chain[0], image::lastCluster(volume) / 2);
                    },
                    "\\PICS\\BIG.BMP のｸﾗｽﾀﾁｪｰﾝが空きｸﾗｽﾀか不良ｸﾗｽﾀにつながっています"},
        BrokenChain{"LeavesTheVolume",
                    [](const FatVolume& volume, const std::vector<std::uint32_t>& chain) {
                        image::setFatEntry(volume, chain[0], 0x0FFFFFF6);
                    },
                    "\\PICS\\BIG.BMP のｸﾗｽﾀﾁｪｰﾝがﾎﾞﾘｭｰﾑの外を指しています"}),
    [](const auto& info) { return std::string(info.param.name); });

// The most memory this process has held since `resetPeakMemory` (which sets
// it to what it holds now), in KiB, as /proc/self/status tells it.
std::uint64_t peakMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stoull(line.substr(6));
    return 0;
}

void resetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A file of 256 MiB on a sparse image, made by giving a one-cluster file
// that size and a chain of clusters never written, is read into memory a
// piece at a time: the program's own memory does not grow by its size.
TEST(ImageDrive, ReadsAHugeFileWithoutHoldingItWhole) {
    constexpr std::uint32_t size = 256 * 1024 * 1024;
    ImageMachine drive([](const fs::path& file) {
        FatVolume volume = image::makeMbrDisk(file, FatType::Fat32, 2048, 512);
        image::writeFile(volume, "/BIG.BMP", "g");
        return volume;
    });
    const std::uint32_t first = image::clusterChain(drive.volume, "BIG.BMP").front();
    {
        std::fstream disk(drive.image, std::ios::in | std::ios::out | std::ios::binary);
        std::string boot(512, '\0');
        disk.seekg(static_cast<std::streamoff>(drive.volume.offset));
        disk.read(boot.data(), 512);
        const auto field = [&](std::size_t at, std::size_t width) {
            std::uint32_t value = 0;
            for (std::size_t i = width; i-- > 0;)
                value = value << 8 | static_cast<unsigned char>(boot[at + i]);
            return value;
        };
        const std::uint32_t clusterBytes = field(11, 2) * field(13, 1);
        const std::uint32_t clusters = size / clusterBytes;
        std::string chain(std::size_t{clusters} * 4, '\0');
        for (std::uint32_t i = 0; i < clusters; ++i) {
            const std::uint32_t next = i + 1 == clusters ? 0x0FFFFFFF : first + i + 1;
            for (std::size_t b = 0; b < 4; ++b)
                chain[std::size_t{i} * 4 + b] = static_cast<char>(next >> (8 * b));
        }
        const std::uint64_t fatBytes = std::uint64_t{field(36, 4)} * field(11, 2);
        for (std::uint32_t fat = 0; fat < field(16, 1); ++fat) {
            disk.seekp(static_cast<std::streamoff>(drive.volume.offset +
                                                   std::uint64_t{field(14, 2)} * field(11, 2) +
                                                   fat * fatBytes + std::uint64_t{first} * 4));
            disk.write(chain.data(), static_cast<std::streamsize>(chain.size()));
        }
        ASSERT_TRUE(disk.good());
    }
    image::writeIntoEveryEntry(drive.volume, 28, std::string("\0\0\0\x10", 4));

    resetPeakMemory();
    const std::uint64_t before = peakMemory();
    const platform::Result<int> opened = platform::openFileForReading("C:\\BIG.BMP");
    const std::uint64_t grown = peakMemory() - before;

    ASSERT_TRUE(opened.ok()) << opened.error().message();
    const platform::FileDescriptor file(opened.value());
    struct stat status {};
    ASSERT_EQ(::fstat(file.get(), &status), 0);
    EXPECT_EQ(status.st_size, off_t{size});
    char last = 'x';
    EXPECT_EQ(::pread(file.get(), &last, 1, off_t{size} - 1), 1);
    EXPECT_EQ(last, '\0');
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps freed memory in quarantine, which the peak counts.
    EXPECT_LT(grown, 64u * 1024) << "KiB";
#else
    static_cast<void>(grown);
#endif
}

// Bytes 20-21 of every entry of a FAT16 volume set, as OS/2 and Windows NT
// keep an extended attributes handle there.
void setExtendedAttributeHandles(const FatVolume& volume) {
    image::writeIntoEveryEntry(volume, 20, "\x2A\x01");
}

// Every file of /MANY but its first, /MANY/FIRST, shares that one's cluster,
// as a FAT overwritten by a crash leaves thousands of crossed chains.
void crossThousandsOfChains(ImageMachine& drive) {
    const fs::path many = drive.image.parent_path() / "many";
    fs::create_directories(many);
    for (int i = 0; i < 3000; ++i)
        std::ofstream(many / ("F" + std::to_string(i))) << 'f';
    image::makeDirectory(drive.volume, "/MANY");
    image::writeFile(drive.volume, "/MANY/FIRST", "f");
    image::copyTree(drive.volume, many, "/MANY");
    const std::uint32_t shared = image::clusterChain(drive.volume, "FIRST").front();
    const platform::FileDescriptor file(::open(drive.image.c_str(), O_RDONLY | O_CLOEXEC));
    const platform::Result<diskimage::FatReader> reader = diskimage::FatReader::open(
        readerOf(file), {drive.volume.offset, drive.volume.length}, drive.image.string());
    ASSERT_TRUE(reader.ok());
    const platform::Result<std::vector<diskimage::FatEntry>> root = reader.value().list(0);
    ASSERT_TRUE(root.ok());
    const auto folder = std::ranges::find(root.value(), "MANY", &diskimage::FatEntry::name);
    ASSERT_NE(folder, root.value().end());
    const std::vector<diskimage::FatEntry> files =
        reader.value().list(folder->firstCluster).valueOr({});
    ASSERT_EQ(files.size(), 3001u);
    for (const diskimage::FatEntry& entry : files)
        if (entry.firstCluster != shared)
            image::setFatEntry(drive.volume, entry.firstCluster, shared);
}

struct Damage {
    const char* name;
    std::function<void(ImageMachine&)> make;
    const char* said; // in the Japanese report of the first fault; none when sound
};

void PrintTo(const Damage& damage, std::ostream* out) {
    *out << damage.name;
}

class CheckedVolume : public ::testing::TestWithParam<Damage> {};

// The check tells the first faults of a volume however damaged, and lets
// nothing be written there; a sound volume passes it.
TEST_P(CheckedVolume, TellsTheFirstFaultsOrTakesTheWrite) {
    ImageMachine drive([](const fs::path& file) {
        return standardContents(image::makeMbrDisk(file, FatType::Fat16));
    });
    GetParam().make(drive);
    const std::string before = hostBytes(drive.image);
    std::vector<diskimage::FatFault> faults;
    {
        const platform::FileDescriptor file(::open(drive.image.c_str(), O_RDONLY | O_CLOEXEC));
        faults =
            diskimage::checkFatVolume(readerOf(file), {drive.volume.offset, drive.volume.length});
    }
    const platform::Status written = platform::writeFileAtomically("C:\\PICS\\NEW.BMP", "new");

    if (GetParam().said == nullptr) {
        EXPECT_TRUE(faults.empty()) << faults.front().english();
        EXPECT_TRUE(done(written));
        return;
    }
    ASSERT_FALSE(faults.empty());
    EXPECT_LE(faults.size(), 16u) << "the first faults only";
    EXPECT_NE(faults.front().userText().find(GetParam().said), std::string::npos)
        << faults.front().userText();
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().message().find(GetParam().said), std::string::npos)
        << written.error().message();
    EXPECT_EQ(hostBytes(drive.image), before);
}

INSTANTIATE_TEST_SUITE_P(
    Volumes, CheckedVolume,
    ::testing::Values(Damage{"ExtendedAttributeHandlesOfFat16",
                             [](ImageMachine& drive) { setExtendedAttributeHandles(drive.volume); },
                             nullptr},
                      Damage{"ThousandsOfCrossedChains", crossThousandsOfChains,
                             "\\MANY\\FIRST が同じｸﾗｽﾀを使っています"},
                      Damage{"FoldersDeeperThanAPath",
                             [](ImageMachine& drive) {
                                 std::string path;
                                 std::string folders;
                                 for (int depth = 0; depth < 140; ++depth) {
                                     path += "/A";
                                     folders += " ::" + path;
                                 }
                                 drive.mtools("mmd" + folders);
                             },
                             "のﾌｫﾙﾀﾞの階層が深すぎます"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
