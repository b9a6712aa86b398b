// SPDX-License-Identifier: GPL-3.0-or-later
// The disk images the drive tests stand on: every kind is a sound FAT file
// system that holds what was copied into it, the Japanese names are exactly
// the CP932 bytes Windows writes, and a fixed VHD's footer is one its tools
// accept.

#include "disk_image.h"
#include "temporary_machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

std::string bytesOfFile(const fs::path& path) {
    std::string bytes(fs::file_size(path), '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// How many 32-byte slots of the volume hold `field` as their name, read from
// the image's raw bytes.
std::size_t slotsNamed(std::string_view image, const FatVolume& volume, std::string_view field) {
    const std::string_view bytes = image.substr(volume.offset, volume.length);
    std::size_t count = 0;
    for (std::size_t at = 0; at + 32 <= bytes.size(); at += 32)
        count += bytes.substr(at, field.size()) == field;
    return count;
}

std::uint64_t bigEndian(std::string_view bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

const std::string kabegami = "\x95\xC7\x8E\x86       "; // 壁紙
const std::string wafuLzh = "\x98\x61\x95\x97    LZH";  // 和風.LZH

struct ImageKind {
    const char* name;
    std::function<FatVolume(const fs::path&)> make;
};

const ImageKind imageKinds[] = {
    {"FAT16 from sector 63", [](const fs::path& p) { return makeMbrDisk(p, FatType::Fat16, 63); }},
    {"FAT16 from sector 2048", [](const fs::path& p) { return makeMbrDisk(p, FatType::Fat16); }},
    {"FAT32", [](const fs::path& p) { return makeMbrDisk(p, FatType::Fat32); }},
    {"FAT12", [](const fs::path& p) { return makeMbrDisk(p, FatType::Fat12, 63); }},
    {"unpartitioned FAT16",
     [](const fs::path& p) { return makeUnpartitionedVolume(p, FatType::Fat16); }},
    {"fixed VHD",
     [](const fs::path& p) {
         FatVolume volume = makeMbrDisk(p, FatType::Fat16);
         appendFixedVhdFooter(p);
         return volume;
     }},
};

TEST(DiskImage, EveryKindHoldsTheCopiedTreeSoundly) {
    TemporaryMachine machine;
    const fs::path tree = machine.root() / "tree";
    std::string picture;
    for (int i = 0; i < 3000; ++i)
        picture.push_back(static_cast<char>(i * 7));
    fs::create_directories(tree / "WINDOWS" / "SYSTEM");
    fs::create_directories(tree / "LOGOS" / "壁紙");
    std::ofstream(tree / "WINDOWS" / "logow.sys", std::ios::binary) << picture;
    std::ofstream(tree / "LOGOS" / "壁紙" / "TORII.BMP", std::ios::binary) << picture;
    std::ofstream(tree / "LOGOS" / "和風.LZH", std::ios::binary) << "-lh0-";

    for (const auto& kind : imageKinds) {
        SCOPED_TRACE(kind.name);
        const FatVolume volume = kind.make(machine.root() / "disk.img");
        copyTree(volume, tree);
        const FsckResult check = checkVolume(volume);
        EXPECT_EQ(check.exitStatus, 0) << check.output;
        EXPECT_EQ(readFile(volume, "/WINDOWS/LOGOW.SYS"), picture);
        EXPECT_EQ(listDirectory(volume, "/WINDOWS"),
                  (std::vector<std::string>{"SYSTEM", "logow.sys"}));
        const std::string image = bytesOfFile(volume.image);
        EXPECT_EQ(slotsNamed(image, volume, kabegami), 1u);
        EXPECT_EQ(slotsNamed(image, volume, wafuLzh), 1u);
        EXPECT_EQ(slotsNamed(image, volume, "KOR"), 0u) << "a placeholder was left";
    }
}

TEST(DiskImage, FixedVhdFooterDescribesTheRawDisk) {
    TemporaryMachine machine;
    const fs::path image = machine.root() / "disk.vhd";
    makeMbrDisk(image, FatType::Fat16);
    const std::uint64_t rawSize = fs::file_size(image);
    appendFixedVhdFooter(image);
    const std::string file = bytesOfFile(image);
    ASSERT_EQ(file.size(), rawSize + 512);
    const std::string footer = file.substr(rawSize);

    EXPECT_EQ(footer.substr(0, 8), "conectix");
    EXPECT_EQ(bigEndian(footer, 8, 4), 2u);
    EXPECT_EQ(bigEndian(footer, 12, 4), 0x00010000u);
    EXPECT_EQ(bigEndian(footer, 16, 8), ~std::uint64_t{0});
    EXPECT_EQ(bigEndian(footer, 40, 8), rawSize);
    EXPECT_EQ(bigEndian(footer, 48, 8), rawSize);
    EXPECT_EQ(bigEndian(footer, 60, 4), 2u);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < footer.size(); ++i)
        sum += i >= 64 && i < 68 ? 0 : static_cast<unsigned char>(footer[i]);
    EXPECT_EQ(bigEndian(footer, 64, 4), static_cast<std::uint32_t>(~sum));
    // The geometry covers the disk up to less than one more cylinder.
    const std::uint64_t cylinders = bigEndian(footer, 56, 2), heads = bigEndian(footer, 58, 1),
                        sectors = bigEndian(footer, 59, 1), total = rawSize / 512;
    EXPECT_LE(cylinders * heads * sectors, total);
    EXPECT_LT(total - cylinders * heads * sectors, (heads + 1) * sectors);
}

TEST(DiskImage, RenamingRefusesAnythingButOnePlainEntry) {
    struct Case {
        const char* what;
        std::vector<std::string> folders;
        std::string placeholder;
        std::string newName;
    };
    const Case cases[] = {
        {"no such entry", {"/A"}, "B", "\x95\xC7\x8E\x86"},
        {"two entries", {"/A", "/A/X", "/B", "/B/X"}, "X", "\x95\xC7\x8E\x86"},
        {"a long name", {"/Kabegami"}, "KABEGAMI", "\x95\xC7\x8E\x86"},
        {"not 8.3", {"/A"}, "A", "\x95\xC7\x8E\x86\x95\xC7\x8E\x86\x95\xC7"},
    };
    TemporaryMachine machine;
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const FatVolume volume = makeMbrDisk(machine.root() / "disk.img", FatType::Fat16);
        for (const auto& folder : test.folders)
            makeDirectory(volume, folder);
        const std::string before = bytesOfFile(volume.image);
        EXPECT_THROW(renameShortEntry(volume, test.placeholder, test.newName), std::runtime_error);
        EXPECT_TRUE(bytesOfFile(volume.image) == before) << "the image changed";
    }
}

TEST(DiskImage, ALeadByteE5IsStoredAs05) {
    // 0xE5 in the first byte marks a deleted entry.
    EXPECT_EQ(shortNameField("\xE5\x40.BMP"), std::string("\x05\x40      BMP", 11));
}

TEST(DiskImage, AFailingToolSaysWhy) {
    TemporaryMachine machine;
    const FatVolume volume = makeMbrDisk(machine.root() / "disk.img", FatType::Fat16);
    try {
        makeDirectory(volume, "/NO/SUCH");
        ADD_FAILURE() << "mmd into a missing folder did not fail";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("mmd"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace kor::testing
