// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk_image.h"
#include "temporary_machine.h"

#include "machines/drive_letters.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace {

namespace image = kor::testing;
namespace machines = kor::machines;
using image::FatType;
namespace fs = std::filesystem;

constexpr std::uint64_t MiB = 2048; // in sectors

image::PartitionSpec fat(FatType type, std::uint64_t start, std::uint64_t mebibytes,
                         std::uint8_t partitionType = 0, bool active = false) {
    return {type, start, mebibytes * MiB, partitionType, active};
}
image::PartitionSpec extended(std::uint64_t start, std::uint64_t mebibytes) {
    return {std::nullopt, start, mebibytes * MiB, 0x05};
}

// A machine's disks, made in `folder`; the map of their letters, or none
// when letterDrives must refuse them.
struct LetterCase {
    const char* name;
    std::function<std::vector<fs::path>(const fs::path& folder)> disks;
    bool pc98 = false;
    std::vector<std::string> map;
};

void PrintTo(const LetterCase& letterCase, std::ostream* out) {
    *out << letterCase.name;
}

std::vector<fs::path> twoMbrDisks(const fs::path& folder) {
    // Disk 1: a FAT12 primary, the active one, a hidden one, and two
    // logical drives; disk 2: a primary and a logical one; disk 3 is new,
    // not yet partitioned.
    const fs::path one = folder / "one.img";
    const fs::path two = folder / "two.img";
    const fs::path three = folder / "three.img";
    const std::vector<image::PartitionSpec> first = {
        fat(FatType::Fat12, 1 * MiB, 4),        fat(FatType::Fat16, 5 * MiB, 16, 0x06, true),
        fat(FatType::Fat12, 21 * MiB, 4, 0x11), extended(25 * MiB, 25),
        fat(FatType::Fat12, 26 * MiB, 5),       fat(FatType::Fat16, 32 * MiB, 17, 0x06)};
    image::makePartitionedDisk(one, first);
    const std::vector<image::PartitionSpec> second = {
        fat(FatType::Fat16, 1 * MiB, 18), extended(19 * MiB, 7), fat(FatType::Fat12, 20 * MiB, 6)};
    image::makePartitionedDisk(two, second);
    std::ofstream(three).close();
    fs::resize_file(three, 1024 * 1024);
    return {one, two, three};
}

std::vector<fs::path> bareVolume(const fs::path& folder) {
    const fs::path disk = folder / "bare.vhd";
    image::makeUnpartitionedVolume(disk, FatType::Fat12, 4);
    image::appendFixedVhdFooter(disk);
    return {disk};
}

std::vector<fs::path> twoPc98Disks(const fs::path& folder) {
    // Disk 1 boots from its second partition and has a sleeping third one;
    // disk 2, behind an HDI header, has a sleeping first one.
    const fs::path one = folder / "one.hdi";
    const fs::path two = folder / "two.hdi";
    const std::vector<image::Pc98PartitionSpec> first = {{FatType::Fat16, 1, 240, false, true},
                                                         {FatType::Fat12, 241, 60, true, true},
                                                         {FatType::Fat12, 301, 60, false, false}};
    image::makePc98Disk(one, first);
    image::addDiskHeader(one, image::DiskHeader::Hdi);
    const std::vector<image::Pc98PartitionSpec> second = {{FatType::Fat12, 1, 60, false, false},
                                                          {FatType::Fat16, 61, 300, false, true}};
    image::makePc98Disk(two, second);
    image::addDiskHeader(two, image::DiskHeader::Hdi);
    return {one, two};
}

std::vector<fs::path> noFatFirst(const fs::path& folder) {
    const fs::path one = folder / "linux.img";
    const std::vector<image::PartitionSpec> partitions = {{std::nullopt, 1 * MiB, 4 * MiB, 0x83},
                                                          fat(FatType::Fat12, 5 * MiB, 4, 0x11)};
    image::makePartitionedDisk(one, partitions);
    return {one};
}

// Disk 1: a primary and a logical drive; disk 2: logical drives alone, which
// come after disk 1's logical one, as no primary partition of disk 2 takes
// a letter in the first round.
std::vector<fs::path> logicalOnlySecondDisk(const fs::path& folder) {
    const fs::path one = folder / "one.img";
    const fs::path two = folder / "two.img";
    const std::vector<image::PartitionSpec> first = {
        fat(FatType::Fat16, 1 * MiB, 16), extended(17 * MiB, 7), fat(FatType::Fat12, 18 * MiB, 6)};
    image::makePartitionedDisk(one, first);
    const std::vector<image::PartitionSpec> second = {
        extended(1 * MiB, 13), fat(FatType::Fat12, 2 * MiB, 5), fat(FatType::Fat12, 8 * MiB, 6)};
    image::makePartitionedDisk(two, second);
    return {one, two};
}

// The machine boots from its first disk; one without a drive there is
// refused, whatever the second holds.
std::vector<fs::path> noFatFirstOfTwo(const fs::path& folder) {
    std::vector<fs::path> disks = noFatFirst(folder);
    disks.push_back(bareVolume(folder).front());
    return disks;
}

class LetterDrives : public ::testing::TestWithParam<LetterCase> {};

// Every partition gets the letter its DOS gives it, and the map names each.
TEST_P(LetterDrives, AsTheMachinesDosGivesThem) {
    const image::TemporaryMachine machine;
    const std::vector<fs::path> disks = GetParam().disks(machine.root());
    const kor::platform::Result<machines::DriveLetters> letters = machines::letterDrives(disks);
    if (GetParam().map.empty()) {
        ASSERT_FALSE(letters.ok());
        EXPECT_NE(letters.error().text().find(disks.front().string()), std::string::npos)
            << letters.error().text();
        return;
    }
    ASSERT_TRUE(letters.ok()) << letters.error().text();
    EXPECT_EQ(letters.value().pc98, GetParam().pc98);
    std::vector<std::string> map;
    for (const machines::LetteredDrive& drive : letters.value().drives)
        map.push_back(machines::driveMapLine(drive, disks.at(drive.disk)));
    EXPECT_EQ(map, GetParam().map);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, LetterDrives,
    ::testing::Values(LetterCase{"TwoMbrDisks",
                                 twoMbrDisks,
                                 false,
                                 {"C:  disk 1, partition 2, FAT16, 16.0 MB, one.img",
                                  "D:  disk 2, partition 1, FAT16, 18.0 MB, two.img",
                                  "E:  disk 1, partition 5, FAT12, 5.0 MB, one.img",
                                  "F:  disk 1, partition 6, FAT16, 17.0 MB, one.img",
                                  "G:  disk 2, partition 5, FAT12, 6.0 MB, two.img",
                                  "H:  disk 1, partition 1, FAT12, 4.0 MB, one.img"}},
                      LetterCase{"BareVolume",
                                 bareVolume,
                                 false,
                                 {"C:  disk 1, whole disk, FAT12, 4.0 MB, bare.vhd"}},
                      LetterCase{"TwoPc98Disks",
                                 twoPc98Disks,
                                 true,
                                 {"A:  disk 1, partition 2, FAT12, 4.0 MB, one.hdi",
                                  "B:  disk 1, partition 1, FAT16, 15.9 MB, one.hdi",
                                  "C:  disk 2, partition 2, FAT16, 19.9 MB, two.hdi"}},
                      LetterCase{"LogicalOnlySecondDisk",
                                 logicalOnlySecondDisk,
                                 false,
                                 {"C:  disk 1, partition 1, FAT16, 16.0 MB, one.img",
                                  "D:  disk 1, partition 5, FAT12, 6.0 MB, one.img",
                                  "E:  disk 2, partition 5, FAT12, 5.0 MB, two.img",
                                  "F:  disk 2, partition 6, FAT12, 6.0 MB, two.img"}},
                      LetterCase{"NoFatOnTheFirstDisk", noFatFirst, false, {}},
                      LetterCase{"NoFatOnTheFirstOfTwoDisks", noFatFirstOfTwo, false, {}}),
    [](const ::testing::TestParamInfo<LetterCase>& info) { return info.param.name; });

// The size in the largest unit of which it is at least one.
TEST(DriveMapLine, GivesTheSizeInItsLargestUnit) {
    const std::uint64_t gib = 1024 * 1024 * 1024;
    EXPECT_EQ(machines::driveMapLine({'C', 0, 1, "FAT16", 2 * gib}, "/vm/win95.vhd"),
              "C:  disk 1, partition 1, FAT16, 2.0 GB, win95.vhd");
    EXPECT_EQ(machines::driveMapLine({'D', 1, 5, "FAT32", 500 * 1024 * 1024}, "disk.img"),
              "D:  disk 2, partition 5, FAT32, 500.0 MB, disk.img");
    EXPECT_EQ(machines::driveMapLine({'A', 0, 0, "FAT12", 1440 * 1024}, "floppy.img"),
              "A:  disk 1, whole disk, FAT12, 1.4 MB, floppy.img");
}

// A disk in a format of QEMU's is read through its export, which is gone
// when the letters are: QEMU may open the image for writing again.
TEST(LetterDrivesOfQcow2, ReadsThroughAnExportThatEndsWithThem) {
    if (const std::string why = image::whyNoQemuExport(); !why.empty())
        GTEST_SKIP() << "cannot export an image through FUSE here: " << why;
    const image::TemporaryMachine machine;
    const fs::path raw = machine.root() / "win95.img";
    const fs::path qcow2 = machine.root() / "win95.qcow2";
    image::makeMbrDisk(raw, FatType::Fat16);
    image::qemuImg({"convert", "-O", "qcow2", raw.string(), qcow2.string()});
    const kor::platform::Result<machines::DriveLetters> letters = machines::letterDrives({qcow2});
    ASSERT_TRUE(letters.ok()) << letters.error().text();
    ASSERT_EQ(letters.value().drives.size(), 1U);
    EXPECT_EQ(machines::driveMapLine(letters.value().drives.front(), qcow2),
              "C:  disk 1, partition 1, FAT16, 32.0 MB, win95.qcow2");
    image::qemuImg({"check", qcow2.string()});
}

} // namespace
