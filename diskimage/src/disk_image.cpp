// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk_image.h"

#include "byte_order.h"
#include "disk_headers.h"
#include "fat_reader.h"
#include "pc98_partitions.h"

#include "language/translation.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <set>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace kor::diskimage {

namespace {

constexpr std::uint64_t SectorSize = 512;

// A format's name as the user reads it; this one is translated where it is shown.
constexpr std::string_view DynamicVhd = KOR_TRANSLATE_NOOP("diskimage", "VHD (容量可変)");

// The formats that hold a disk in a way of their own, by the signature at the
// start of the file.
std::optional<std::string_view> foreignFormat(std::string_view head) {
    if (head.starts_with("QFI\xfb"))
        return head.size() > 7 && head[7] == 1 ? "qcow" : "qcow2";
    if (head.starts_with("KDMV") || head.starts_with("# Disk DescriptorFile"))
        return "VMDK";
    if (head.starts_with("vhdxfile"))
        return "VHDX";
    if (head.size() >= 0x44 && littleEndian(head, 0x40, 4) == 0xbeda107f)
        return "VDI";
    // A dynamic or differencing VHD starts with a copy of its footer.
    if (head.starts_with("conectix"))
        return DynamicVhd;
    return std::nullopt;
}

// A boot sector of FAT: a jump, then a BIOS parameter block whose fields
// have values that FAT allows.
bool isFatBootSector(std::string_view sector) {
    if (sector.size() < SectorSize)
        return false;
    const auto jump = static_cast<unsigned char>(sector[0]);
    if (jump != 0xEB && jump != 0xE9)
        return false;
    const std::uint16_t bytesPerSector = littleEndian(sector, 0x0B, 2);
    const auto sectorsPerCluster = static_cast<unsigned char>(sector[0x0D]);
    const std::uint16_t reserved = littleEndian(sector, 0x0E, 2);
    const auto fats = static_cast<unsigned char>(sector[0x10]);
    const bool powerOfTwo =
        sectorsPerCluster != 0 && (sectorsPerCluster & (sectorsPerCluster - 1)) == 0;
    return (bytesPerSector == 512 || bytesPerSector == 1024 || bytesPerSector == 2048 ||
            bytesPerSector == 4096) &&
           powerOfTwo && reserved >= 1 && (fats == 1 || fats == 2);
}

// The types of FAT partitions that Windows 95 gives a drive letter: FAT12,
// FAT16 (below and from 32 MiB, and by LBA), FAT32 (by CHS and by LBA).
bool isFatPartitionType(unsigned char type) {
    constexpr std::array<unsigned char, 6> types = {0x01, 0x04, 0x06, 0x0B, 0x0C, 0x0E};
    return std::ranges::find(types, type) != types.end();
}

// The same types hidden, as boot managers hide the systems not started: no
// drive letter.
bool isHiddenFatPartitionType(unsigned char type) {
    return (type & 0xF0) == 0x10 && isFatPartitionType(type & 0x0F);
}

// The FAT type that a partition type names, hidden or not.
std::optional<FatType> fatTypeOfPartition(unsigned char type) {
    switch (isHiddenFatPartitionType(type) ? type & 0x0F : type) {
    case 0x01:
        return FatType::Fat12;
    case 0x04:
    case 0x06:
    case 0x0E:
        return FatType::Fat16;
    case 0x0B:
    case 0x0C:
        return FatType::Fat32;
    default:
        return std::nullopt;
    }
}

bool isExtendedPartitionType(unsigned char type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

struct PartitionEntry {
    bool active = false; // the boot flag
    unsigned char type = 0;
    std::uint64_t firstSector = 0;
    std::uint64_t sectors = 0;
};

std::array<PartitionEntry, 4> partitionTable(std::string_view sector) {
    std::array<PartitionEntry, 4> entries{};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t at = 0x1BE + 16 * i;
        entries[i] = {sector[at] == '\x80', static_cast<unsigned char>(sector[at + 4]),
                      littleEndian(sector, at + 8, 4), littleEndian(sector, at + 12, 4)};
    }
    return entries;
}

bool hasBootSignature(std::string_view sector) {
    return sector.size() >= SectorSize && sector[510] == '\x55' && sector[511] == '\xAA';
}

// A partition as a volume: where it lies, in bytes.
struct Candidate {
    unsigned number = 0; // 1 to 4 primary, from 5 logical
    unsigned char type = 0;
    bool active = false;
    ImageVolume volume;
};

// The partitions in their numbering: the four primary ones, then the logical
// ones of the extended partition in the order of its chain. A chain that
// loops or leaves the disk ends there.
std::vector<Candidate> partitionsOf(const ImageReader& read, std::string_view masterBootRecord,
                                    std::uint64_t diskSize) {
    std::vector<Candidate> partitions;
    std::optional<std::uint64_t> extendedStart;
    unsigned number = 0;
    for (const PartitionEntry& entry : partitionTable(masterBootRecord)) {
        ++number;
        if (entry.type == 0)
            continue;
        if (isExtendedPartitionType(entry.type) && !extendedStart)
            extendedStart = entry.firstSector;
        partitions.push_back({number,
                              entry.type,
                              entry.active,
                              {entry.firstSector * SectorSize, entry.sectors * SectorSize}});
    }
    if (!extendedStart)
        return partitions;
    std::set<std::uint64_t> visited;
    std::uint64_t record = *extendedStart;
    number = 4;
    while (record * SectorSize + SectorSize <= diskSize && visited.insert(record).second &&
           visited.size() <= 128) {
        const std::string sector = read(record * SectorSize, SectorSize);
        if (!hasBootSignature(sector))
            break;
        const std::array<PartitionEntry, 4> entries = partitionTable(sector);
        if (entries[0].type != 0)
            partitions.push_back({++number,
                                  entries[0].type,
                                  false,
                                  {(record + entries[0].firstSector) * SectorSize,
                                   entries[0].sectors * SectorSize}});
        if (!isExtendedPartitionType(entries[1].type))
            break;
        record = *extendedStart + entries[1].firstSector;
    }
    return partitions;
}

// Drive C: as Windows 95 gives it on one disk: the active primary FAT
// partition, else the first primary one; on a disk without one, the first
// logical drive. Hidden partitions get no letter.
const Candidate* driveC(const std::vector<Candidate>& partitions) {
    const Candidate* firstPrimary = nullptr;
    const Candidate* firstLogical = nullptr;
    for (const Candidate& candidate : partitions) {
        if (!isFatPartitionType(candidate.type))
            continue;
        if (candidate.number > 4) {
            firstLogical = firstLogical ? firstLogical : &candidate;
            continue;
        }
        if (candidate.active)
            return &candidate;
        firstPrimary = firstPrimary ? firstPrimary : &candidate;
    }
    return firstPrimary ? firstPrimary : firstLogical;
}

// Whether PC-98 DOS gives the partition a drive letter: FAT and not sleeping.
bool isLetteredOnPc98(const Pc98Partition& partition) {
    return partition.fat && partition.active;
}

// The partition a PC-98 boots from, its drive A:: the bootable one of the
// lettered partitions, else the first of them.
const Pc98Partition* pc98BootPartition(const std::vector<Pc98Partition>& partitions) {
    auto chosen = std::ranges::find_if(
        partitions, [](const Pc98Partition& p) { return isLetteredOnPc98(p) && p.bootable; });
    if (chosen == partitions.end())
        chosen = std::ranges::find_if(partitions, isLetteredOnPc98);
    return chosen == partitions.end() ? nullptr : &*chosen;
}

// What a disk holds, told in this order: a FAT boot sector at its start is one
// volume; a PC-98 table counts only where a FAT volume confirms it; an MBR is
// the last guess. None when the disk holds none of them.
struct DiskTable {
    PartitionScheme scheme = PartitionScheme::Volume;
    std::vector<Pc98Partition> pc98;
    std::vector<Candidate> mbr;
};

std::optional<DiskTable> tableOf(const ImageReader& read, std::uint64_t diskSize,
                                 const std::optional<DiskContainer>& container) {
    const std::string head = read(0, SectorSize);
    if (isFatBootSector(head))
        return DiskTable{};
    const auto holdsFat = [&](std::uint64_t offset) {
        return isFatBootSector(read(offset, SectorSize));
    };
    if (std::optional<std::vector<Pc98Partition>> pc98 =
            pc98Partitions(read, diskSize, container ? container->sectorSize : SectorSize,
                           container ? std::optional(container->geometry) : std::nullopt, holdsFat))
        return DiskTable{PartitionScheme::Pc98, std::move(*pc98), {}};
    if (!hasBootSignature(head))
        return std::nullopt;
    return DiskTable{PartitionScheme::Mbr, {}, partitionsOf(read, head, diskSize)};
}

// The disk of an image file: after an emulator's header, before a fixed VHD's
// footer.
struct Disk {
    ImageReader read; // from the disk's first byte
    std::uint64_t size = 0;
    std::uint64_t offset = 0; // of its first byte in the file
    std::optional<DiskContainer> container;
};

// `told`: what is wrong, for the user, in the session's language.
Error damagedImage(const std::string& image, const std::string& why, const std::string& told) {
    return Error(Operation::OpenImage, image, EBADMSG, why).withUserReason(told);
}

std::string convertCommand(const std::string& image) {
    return "qemu-img convert -O raw " + image + " disk.img";
}

// A format's name in the session's language.
std::string shownFormat(std::string_view format) {
    return language::translate("diskimage", std::string(format).c_str());
}

Error foreignFormatError(std::string_view format, const std::string& image) {
    const std::string command = convertCommand(image);
    return Error(Operation::OpenImage, image, ENOTSUP,
                 "it is a " + std::string(format) + " image; convert it to a raw one: " + command)
        .withUserReason(language::fill(
            language::translate("diskimage",
                                "{1} 形式のｲﾒｰｼﾞは使えません。raw 形式に変換してください: {2}"),
            {shownFormat(format), command}));
}

// `toldWhy`: why, for the user, in the session's language.
Error refusedImage(const std::string& image, const std::string& why, const std::string& toldWhy) {
    return Error(Operation::OpenImage, image, ENOTSUP, why).withUserReason(toldWhy);
}

Result<ImageVolume> findDiskVolume(const Disk& disk, unsigned partition, const std::string& image) {
    const ImageReader& read = disk.read;
    const auto damaged = [&](const std::string& why, const std::string& told) {
        return damagedImage(image, why, told);
    };
    const std::optional<DiskTable> table = tableOf(read, disk.size, disk.container);
    if (!table)
        return damaged(
            "it holds neither a partition table nor a FAT file system",
            language::translate("diskimage", "ﾊﾟｰﾃｨｼｮﾝﾃｰﾌﾞﾙも FAT ﾌｧｲﾙｼｽﾃﾑも見つかりません"));
    if (table->scheme == PartitionScheme::Volume) {
        if (partition > 1)
            return damaged(
                "the image holds one volume and no partition " + std::to_string(partition),
                language::fill(language::translate(
                                   "diskimage",
                                   "ﾊﾟｰﾃｨｼｮﾝに分かれていないｲﾒｰｼﾞです (ﾊﾟｰﾃｨｼｮﾝ {1} はありません)"),
                               {std::to_string(partition)}));
        return ImageVolume{0, disk.size};
    }
    // The chosen partition's volume, when it lies in the file and holds FAT.
    const auto volumeOf = [&](unsigned chosen, const ImageVolume& volume) -> Result<ImageVolume> {
        const std::string number = std::to_string(chosen);
        if (volume.length == 0 || volume.offset >= disk.size ||
            volume.length > disk.size - volume.offset)
            return damaged("partition " + number + " lies outside the file",
                           language::fill(language::translate(
                                              "diskimage", "ﾊﾟｰﾃｨｼｮﾝ {1} がﾌｧｲﾙの外を指しています"),
                                          {number}));
        if (!isFatBootSector(read(volume.offset, SectorSize)))
            return damaged(
                "partition " + number + " holds no FAT file system",
                language::fill(
                    language::translate("diskimage", "ﾊﾟｰﾃｨｼｮﾝ {1} は FAT ﾌｧｲﾙｼｽﾃﾑではありません"),
                    {number}));
        return volume;
    };

    // A PC-98 disk: partition 0 is the one it boots from, its drive A:.
    if (table->scheme == PartitionScheme::Pc98) {
        const std::vector<Pc98Partition>& pc98 = table->pc98;
        if (partition != 0) {
            const auto named = std::ranges::find(pc98, partition, &Pc98Partition::number);
            if (named == pc98.end())
                return damaged(
                    "no partition " + std::to_string(partition),
                    language::fill(language::translate("diskimage", "ﾊﾟｰﾃｨｼｮﾝ {1} がありません"),
                                   {std::to_string(partition)}));
            return volumeOf(named->number, named->volume);
        }
        if (const Pc98Partition* chosen = pc98BootPartition(pc98))
            return volumeOf(chosen->number, chosen->volume);
        // A table is taken only with a FAT partition in it.
        const auto sleeping =
            std::ranges::find_if(pc98, [](const Pc98Partition& p) { return p.fat.has_value(); });
        const std::string number = std::to_string(sleeping->number);
        return damaged(
            "no FAT partition of the PC-98 disk is active; partition " + number +
                " sleeps, and may be named by its number",
            language::fill(language::translate("diskimage",
                                               "PC-98 のﾃﾞｨｽｸに使用中の FAT のﾊﾟｰﾃｨｼｮﾝがありません "
                                               "(ﾊﾟｰﾃｨｼｮﾝ {1} は休止中です。番号で指定できます)"),
                           {number}));
    }

    const std::vector<Candidate>& partitions = table->mbr;
    if (partition == 0) {
        if (const Candidate* chosen = driveC(partitions))
            return volumeOf(chosen->number, chosen->volume);
        const auto hidden = std::ranges::find_if(
            partitions, [](const Candidate& c) { return isHiddenFatPartitionType(c.type); });
        if (hidden == partitions.end())
            return damaged("no FAT partition in the partition table",
                           language::translate("diskimage", "FAT のﾊﾟｰﾃｨｼｮﾝがありません"));
        const std::string number = std::to_string(hidden->number);
        return damaged(
            "no FAT partition that Windows gives a drive letter; partition " + number +
                " is hidden, and may be named by its number",
            language::fill(language::translate(
                               "diskimage", "ﾄﾞﾗｲﾌﾞ名の付く FAT のﾊﾟｰﾃｨｼｮﾝがありません (ﾊﾟｰﾃｨｼｮﾝ "
                                            "{1} は隠しﾊﾟｰﾃｨｼｮﾝです。番号で指定できます)"),
                           {number}));
    }
    const auto named = std::ranges::find(partitions, partition, &Candidate::number);
    const std::string number = std::to_string(partition);
    if (named == partitions.end())
        return damaged("no partition " + number,
                       language::fill(language::translate("diskimage", "ﾊﾟｰﾃｨｼｮﾝ {1} がありません"),
                                      {number}));
    if (isExtendedPartitionType(named->type))
        return damaged(
            "partition " + number +
                " is the extended partition, which holds the logical drives; "
                "they are numbered from 5",
            language::fill(language::translate(
                               "diskimage",
                               "ﾊﾟｰﾃｨｼｮﾝ {1} は論理ﾄﾞﾗｲﾌﾞを入れる拡張ﾊﾟｰﾃｨｼｮﾝです。論理ﾄﾞﾗｲﾌﾞは "
                               "5 から番号で指定してください"),
                           {number}));
    return volumeOf(named->number, named->volume);
}

// The disk in an image file of `fileSize` bytes, refused, saying what it is,
// when it is in a format of its own or too small for a disk.
Result<Disk> diskOf(const ImageReader& read, std::uint64_t fileSize, const std::string& image) {
    const std::string head = read(0, SectorSize);
    if (std::optional<std::string_view> format = foreignFormat(head))
        return foreignFormatError(*format, image);
    if (fileSize < SectorSize)
        return damagedImage(image, "the file is too small for a disk",
                            language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞとしては小さすぎます"));

    // A fixed VHD is the raw disk followed by a footer of one sector.
    std::uint64_t diskSize = fileSize;
    const std::string footer = read(fileSize - SectorSize, SectorSize);
    if (footer.starts_with("conectix") && footer.size() >= 0x40) {
        if (bigEndian(footer, 0x3C, 4) != 2)
            return foreignFormatError(DynamicVhd, image);
        diskSize -= SectorSize;
    }

    const std::optional<DiskContainer> container = KOR_TRY(diskContainer(read, fileSize, image));
    if (!container)
        return Disk{read, diskSize, 0, std::nullopt};
    // The disk after its header, read and placed as a raw one.
    const std::uint64_t dataOffset = container->dataOffset;
    return Disk{[read, dataOffset](std::uint64_t offset, std::size_t length) {
                    return read(dataOffset + offset, length);
                },
                container->diskSize, dataOffset, container};
}

// The FAT type of the partition at `volume` whose type in its table names
// `byType`: its boot sector's, else that one; none for another system.
std::optional<FatType> fatTypeAt(const Disk& disk, const ImageVolume& volume,
                                 std::optional<FatType> byType, const std::string& image) {
    if (!byType)
        return std::nullopt;
    if (const Result<FatReader> reader = FatReader::open(disk.read, volume, image); reader.ok())
        return reader.value().type();
    return byType;
}

} // namespace

Error unworkableFormatError(std::string_view format, const std::string& image,
                            const std::string& why, const std::string& toldWhy) {
    const std::string command = convertCommand(image);
    return refusedImage(
        image,
        "it is a " + std::string(format) + " image, and " + why +
            "; or convert it to a raw one: " + command,
        language::fill(language::translate(
                           "diskimage",
                           "{1} 形式のｲﾒｰｼﾞを使うには{2}。または raw 形式に変換してください: {3}"),
                       {shownFormat(format), toldWhy, command}));
}

// The signatures and fields read here, by their formats' public descriptions:
// qcow2, QEMU's docs/interop/qcow2.txt (crypt_method at byte 32); VDI, the
// header of QEMU's block/vdi.c (image type at 0x4C: 1 dynamic, 2 fixed, 3
// undo, 4 differencing); VHD, Microsoft's published description of its
// virtual hard disk format (disk type at 0x3C of the footer: 2 fixed, 3
// dynamic, 4 differencing); Bochs, its user manual's "harddisk modes" and QEMU's
// block/bochs.c (the header's magic "Bochs Virtual HD Image"; the sparse
// format's magic 0x02468ACE, version 1 or 2).
Result<std::optional<QemuFormat>> qemuFormatOf(const ImageReader& read, std::uint64_t fileSize,
                                               const std::string& image) {
    const std::string head = read(0, SectorSize);
    const bool bochsSparse = head.size() >= 8 && littleEndian(head, 0, 4) == 0x02468ACE &&
                             (littleEndian(head, 4, 4) == 1 || littleEndian(head, 4, 4) == 2);
    if (head.starts_with("Bochs Virtual HD Image") || bochsSparse) {
        const std::string command = convertCommand(image);
        return refusedImage(
            image,
            "it is a growing, sparse or redo-log image of Bochs, which QEMU "
            "only reads; convert it to a raw one: " +
                command,
            language::fill(language::translate(
                               "diskimage",
                               "Bochs の可変長・ｽﾊﾟｰｽ・REDO ﾛｸﾞ形式のｲﾒｰｼﾞには書き込めません。raw "
                               "形式に変換してください: {1}"),
                           {command}));
    }
    const std::optional<std::string_view> format = foreignFormat(head);
    if (!format || fileSize < SectorSize)
        return std::optional<QemuFormat>();
    if (*format == "qcow")
        return foreignFormatError(*format, image);
    if (*format == "qcow2") {
        if (head.size() >= 36 && bigEndian(head, 32, 4) != 0)
            return refusedImage(
                image,
                "it is an encrypted qcow2 image, which cannot be worked on "
                "without its key",
                language::translate("diskimage", "暗号化された qcow2 形式のｲﾒｰｼﾞは使えません"));
        return std::optional<QemuFormat>({"qcow2", "qcow2"});
    }
    if (*format == "VDI") {
        const std::uint32_t type = head.size() >= 0x50 ? littleEndian(head, 0x4C, 4) : 0;
        if (type != 1 && type != 2)
            return refusedImage(
                image,
                "it is a differencing VDI of VirtualBox (a snapshot), which QEMU cannot write; "
                "link the disk VirtualBox opens after merging its snapshots",
                language::translate("diskimage",
                                    "VirtualBox の差分 VDI (ｽﾅｯﾌﾟｼｮｯﾄ) "
                                    "には書き込めません。ｽﾅｯﾌﾟｼｮｯﾄを統合してから使ってください"));
        return std::optional<QemuFormat>({"vdi", "VDI"});
    }
    if (*format == DynamicVhd) {
        if (head.size() >= 0x40 && bigEndian(head, 0x3C, 4) == 4)
            return refusedImage(
                image,
                "it is a differencing VHD, which QEMU cannot write; merge it "
                "into its parent first",
                language::translate(
                    "diskimage",
                    "差分 VHD 形式のｲﾒｰｼﾞには書き込めません。親ｲﾒｰｼﾞに統合してから使ってください"));
        return std::optional<QemuFormat>({"vpc", std::string(DynamicVhd)});
    }
    if (*format == "VMDK")
        return std::optional<QemuFormat>({"vmdk", "VMDK"});
    return std::optional<QemuFormat>({"vhdx", "VHDX"});
}

std::string readBytes(int descriptor, std::uint64_t offset, std::size_t length) {
    std::string bytes(length, '\0');
    std::size_t done = 0;
    while (done < length) {
        const ssize_t count = ::pread(descriptor, bytes.data() + done, length - done,
                                      static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    bytes.resize(done);
    return bytes;
}

ImageReader readerOf(int descriptor) {
    return [descriptor](std::uint64_t offset, std::size_t length) {
        return readBytes(descriptor, offset, length);
    };
}

Result<ImageVolume> findImageVolume(const ImageReader& read, std::uint64_t fileSize,
                                    unsigned partition, const std::string& image) {
    const Disk disk = KOR_TRY(diskOf(read, fileSize, image));
    ImageVolume volume = KOR_TRY(findDiskVolume(disk, partition, image));
    volume.offset += disk.offset;
    return volume;
}

Result<DiskLayout> findDiskLayout(const ImageReader& read, std::uint64_t fileSize,
                                  const std::string& image) {
    const Disk disk = KOR_TRY(diskOf(read, fileSize, image));
    const std::optional<DiskTable> table = tableOf(disk.read, disk.size, disk.container);
    if (!table)
        return DiskLayout{PartitionScheme::Blank, {}, std::nullopt};
    DiskLayout layout;
    layout.scheme = table->scheme;
    if (table->scheme == PartitionScheme::Volume) {
        // No table names its type: only its boot sector can.
        const Result<FatReader> reader = FatReader::open(disk.read, {0, disk.size}, image);
        layout.partitions.push_back(
            {0, false, false, false, true,
             reader.ok() ? std::optional(reader.value().type()) : std::nullopt, disk.size});
        layout.firstDrive = 0;
        return layout;
    }
    if (table->scheme == PartitionScheme::Pc98) {
        for (const Pc98Partition& p : table->pc98)
            layout.partitions.push_back({p.number, false, p.bootable, !p.active,
                                         isLetteredOnPc98(p),
                                         fatTypeAt(disk, p.volume, p.fat, image), p.volume.length});
        if (const Pc98Partition* boot = pc98BootPartition(table->pc98))
            layout.firstDrive = boot->number;
        return layout;
    }
    for (const Candidate& c : table->mbr)
        layout.partitions.push_back({c.number, c.number > 4, c.active,
                                     isHiddenFatPartitionType(c.type), isFatPartitionType(c.type),
                                     fatTypeAt(disk, c.volume, fatTypeOfPartition(c.type), image),
                                     c.volume.length});
    if (const Candidate* c = driveC(table->mbr))
        layout.firstDrive = c->number;
    return layout;
}

std::string_view fatTypeName(FatType type) {
    switch (type) {
    case FatType::Fat12:
        return "FAT12";
    case FatType::Fat16:
        return "FAT16";
    case FatType::Fat32:
        return "FAT32";
    }
    return {};
}

} // namespace kor::diskimage
