// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Disk images for the tests of drives that are image files, built with the
// real tools (sfdisk, mkfs.fat, mtools, fsck.fat) as a user's emulator disk
// would be. Every function throws std::runtime_error, with the tool's command
// line and standard error, when a tool fails; none of them fails silently.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kor::testing {

enum class FatType { Fat12, Fat16, Fat32 };

// One FAT file system inside an image file: where it starts and how long it
// is, in bytes.
struct FatVolume {
    std::filesystem::path image;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;

    // The drive as mtools names it with -i: "image@@offset".
    std::string mtoolsImage() const;
};

// One partition of an MBR disk, in 512-byte sectors.
struct PartitionSpec {
    // The file system made in it; none leaves it empty (a partition of
    // another system).
    std::optional<FatType> fat;
    std::uint64_t startSector = 2048;
    std::uint64_t sectorCount = 0;
    // The partition type byte; 0 takes the usual one: 0x01 FAT12, 0x04 or
    // 0x06 FAT16 (below or from 32 MiB), 0x0C FAT32, 0x83 without a FAT.
    std::uint8_t type = 0;
    // The boot flag.
    bool active = false;
};

// Writes a new disk image at `image`: an MBR with the given partitions (at
// most four primary ones; those that lie in an extended one, type 0x05, are
// its logical ones) and the FAT file systems made in them. Returns one
// volume per partition, in order; a partition without a FAT is returned with
// its place too.
std::vector<FatVolume> makePartitionedDisk(const std::filesystem::path& image,
                                           std::span<const PartitionSpec> partitions);

// Writes a new disk image with one FAT partition of `megabytes` MiB starting
// at `startSector` (63 as old DOS partitioners did, 2048 as newer ones do).
// The default size suits the FAT type: 4 MiB for FAT12, 32 MiB for FAT16,
// 64 MiB for FAT32 (mkfs.fat refuses a volume too small or too large for its
// type, and then this throws).
FatVolume makeMbrDisk(const std::filesystem::path& image, FatType fat,
                      std::uint64_t startSector = 2048, std::uint64_t megabytes = 0);

// Writes a new image that is one FAT file system from its first byte, with no
// partition table (a "superfloppy"), of `megabytes` MiB (0: as makeMbrDisk).
FatVolume makeUnpartitionedVolume(const std::filesystem::path& image, FatType fat,
                                  std::uint64_t megabytes = 0);

// Makes a raw image a fixed-size VHD, as Virtual PC and Hyper-V write them:
// appends the 512-byte footer ("conectix", disk type 2, the image's size and
// geometry, checksum). The volumes of the image keep their offsets.
void appendFixedVhdFooter(const std::filesystem::path& image);

// One partition of a PC-98 disk, in whole cylinders of 8 heads of 17
// sectors of 512 bytes (68 KiB), as PC-98 DOS and Windows 95 lay them out.
struct Pc98PartitionSpec {
    FatType fat = FatType::Fat16;
    std::uint32_t firstCylinder = 1; // cylinder 0 holds the IPL and the table
    std::uint32_t cylinders = 0;
    bool bootable = false; // the mid byte's bit 7
    bool active = true;    // the sid byte's bit 7; clear for a sleeping one
    // The file system's sectors: PC-98 DOS formats its partitions with
    // sectors of 1024 bytes on a disk of 512.
    std::uint32_t logicalSectorSize = 512;
};

// Writes a new raw PC-98 disk at `image`: an IPL sector, the partition
// table in sector 1 (the end given as a cylinder with head and sector 0, as
// DOS writes it) and the FAT file systems made in the partitions. Returns
// one volume per partition, in order.
std::vector<FatVolume> makePc98Disk(const std::filesystem::path& image,
                                    std::span<const Pc98PartitionSpec> partitions);

// The headers emulators put before a raw disk.
enum class DiskHeader {
    Hdi,       // Anex86, Neko Project, 86Box: 4096 bytes, no signature
    Nhd,       // T98-Next: "T98HDDIMAGE.R0", 512 bytes
    Hdx,       // 86Box: a 64-bit signature, 40 bytes
    Virtual98, // Virtual98 and Neko Project: "VHD1.00", 220 bytes
};

// Puts a header of `kind` before the raw disk in `image`, which is first
// padded to whole cylinders of 8 heads of 17 sectors; the header says
// sectors of `sectorSize` bytes. Returns the header's length, by which the
// disk's volumes move.
std::uint64_t addDiskHeader(const std::filesystem::path& image, DiskHeader kind,
                            std::uint32_t sectorSize = 512);

// Formats that a drive refuses: a file holding just the start of such an
// image, with the signature and fields the format's tools look for.
enum class UnsupportedImage {
    Qcow,            // QEMU's first format: "QFI\xfb", version 1
    DifferencingVdi, // VirtualBox: its banner, 0xBEDA107F, image type 4
    BochsGrowing,    // "Bochs Virtual HD Image", "Redolog", "Growing"
    DifferencingVhd, // footer copy of disk type 4
};
void writeUnsupportedImage(const std::filesystem::path& image, UnsupportedImage format);

// Makes a folder in the volume; `path` is absolute in the image and ASCII
// ("/WINDOWS/SYSTEM"). The parent must exist.
void makeDirectory(const FatVolume& volume, std::string_view path);

// Writes a file of the volume (ASCII path, parent existing), replacing one
// that is there.
void writeFile(const FatVolume& volume, std::string_view path, std::string_view bytes);

// Copies everything in `hostFolder` into the folder `path` of the volume
// (which must exist), recursively. Host names that are not ASCII are taken as
// UTF-8 and stored as the CP932 bytes of an 8.3 name, as Japanese Windows
// stores them (see renameShortEntry); any other name is left to mtools.
void copyTree(const FatVolume& volume, const std::filesystem::path& hostFolder,
              std::string_view path = "/");

// Gives the one directory entry of the volume whose 8.3 name is `placeholder`
// (ASCII, e.g. "KABE" or "WAFU.LZH") the raw 8.3 name `cp932Name` (e.g.
// "\x95\xC7\x8E\x86" for 壁紙, or "\x98\x61\x95\x97.LZH" for 和風.LZH) by
// patching the 11 bytes of its name field, as mtools cannot write such names.
// Throws unless exactly one entry in all the volume's folders has the
// placeholder's name and it has no long name, or if `cp932Name` does not fit
// 8.3. With `smallLetters`, its byte 12 becomes that: flags 0x08 and 0x10
// show the base name and the extension in small letters, as Windows NT and
// mtools write a name such as "b.bmp".
void renameShortEntry(const FatVolume& volume, std::string_view placeholder,
                      std::string_view cp932Name,
                      std::optional<std::uint8_t> smallLetters = std::nullopt);

// The 11 bytes of an 8.3 name as a directory entry stores them: "WAFU.LZH" is
// "WAFU    LZH"; a first byte 0xE5 is stored as 0x05. Throws if the name does
// not fit.
std::string shortNameField(std::string_view name);

// The clusters of the chain of the one file or folder of the volume whose
// 8.3 name is `shortName` (ASCII, "LOGO.SYS"), in order. Throws unless
// exactly one entry has that name.
std::vector<std::uint32_t> clusterChain(const FatVolume& volume, std::string_view shortName);

// Writes `bytes` at `offset` of the one 8.3 entry of the volume named
// `shortName` (ASCII); throws unless exactly one has that name.
void writeIntoEntry(const FatVolume& volume, std::string_view shortName, std::size_t offset,
                    std::string_view bytes);

// Writes `bytes` at `offset` of every 8.3 entry in use in every folder of
// the volume (long-name entries left out).
void writeIntoEveryEntry(const FatVolume& volume, std::size_t offset, std::string_view bytes);

// The number of the volume's last cluster (the first is 2).
std::uint32_t lastCluster(const FatVolume& volume);

// Sets the entry of `cluster` in every FAT of the volume to `value`, as a
// fault of the disk or of a program leaves it (0 free, 0x0FFFFFFF the end of a
// chain, cut to the FAT's width).
void setFatEntry(const FatVolume& volume, std::uint32_t cluster, std::uint32_t value);

// The bytes of a file of the volume (ASCII path).
std::string readFile(const FatVolume& volume, std::string_view path);

// The names in a folder of the volume (ASCII path) as mtools shows them (the
// long name where there is one), hidden ones too, without "." and "..",
// sorted.
std::vector<std::string> listDirectory(const FatVolume& volume, std::string_view path);

struct FsckResult {
    int exitStatus = -1;
    std::string output; // standard output and standard error
};
// Runs `fsck.fat -n` (check only) on a copy of the volume; its exit status is
// 0 when the file system is sound.
FsckResult checkVolume(const FatVolume& volume);

// Runs qemu-img with `arguments`, as a user makes, converts or checks an
// image of QEMU's formats; throws unless it ends with status 0.
void qemuImg(const std::vector<std::string>& arguments);

// Why this machine cannot work on an image of QEMU's formats in place (no
// /dev/fuse, or qemu-storage-daemon, qemu-img or fusermount3 missing); empty
// when it can.
std::string whyNoQemuExport();

} // namespace kor::testing
