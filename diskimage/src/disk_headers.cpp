// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk_headers.h"

#include "byte_order.h"

#include "language/translation.h"

#include <string>

namespace kor::diskimage {

namespace {

// What a header gives, before it is checked against the file.
struct HeaderFields {
    std::string_view format;
    std::uint64_t headerSize = 0;
    std::uint64_t diskSize = 0; // in bytes
    std::uint64_t sectorSize = 0;
    std::uint64_t heads = 0;
    std::uint64_t sectorsPerTrack = 0;
    std::uint64_t cylinders = 0;
    // Whether the disk size must be that of the geometry; Virtual98 counts
    // its sectors apart, and Neko Project goes by that count.
    bool sizedByGeometry = true;
};

// The bytes of a disk of that geometry; more than any file holds when the
// product overflows.
std::uint64_t bytesOf(const HeaderFields& fields) {
    std::uint64_t bytes = fields.cylinders;
    for (std::uint64_t factor : {fields.heads, fields.sectorsPerTrack, fields.sectorSize})
        if (__builtin_mul_overflow(bytes, factor, &bytes))
            return UINT64_MAX;
    return bytes;
}

// HDI, of Anex86, Neko Project and 86Box: no signature; eight little-endian
// dwords (reserved 0, disk type, header size, disk size in bytes, bytes per
// sector, sectors per track, heads, cylinders), the disk at the header size,
// 4096 as every writer makes it (Neko Project II kai fdd/sxsihdd.h HDIHDR,
// 86Box src/disk/hdd_image.c). Told by the fields holding together: a
// reserved 0, a header of whole sectors, a sector size that disks have.
std::optional<HeaderFields> hdiHeader(std::string_view head) {
    if (head.size() < 32 || littleEndian(head, 0, 4) != 0)
        return std::nullopt;
    HeaderFields fields{"HDI",
                        littleEndian(head, 8, 4),
                        littleEndian(head, 12, 4),
                        littleEndian(head, 16, 4),
                        littleEndian(head, 24, 4),
                        littleEndian(head, 20, 4),
                        littleEndian(head, 28, 4)};
    const bool sectorSize = fields.sectorSize == 256 || fields.sectorSize == 512 ||
                            fields.sectorSize == 1024 || fields.sectorSize == 2048;
    if (!sectorSize || fields.headerSize < 512 || fields.headerSize % 256 != 0 ||
        fields.headerSize > 65536)
        return std::nullopt;
    return fields;
}

// NHD, of T98-Next: "T98HDDIMAGE.R0" and a NUL in 16 bytes, a comment of 256,
// then the header size (dword), cylinders (dword), heads, sectors per track
// and bytes per sector (words); the header is 512 bytes (Neko Project II kai
// fdd/sxsihdd.h NHDHDR; 98imgtools formats/nhd.py).
std::optional<HeaderFields> nhdHeader(std::string_view head) {
    if (head.size() < 0x11E || !head.starts_with(std::string_view("T98HDDIMAGE.R0\0", 15)))
        return std::nullopt;
    HeaderFields fields{"NHD",
                        littleEndian(head, 0x110, 4),
                        0,
                        littleEndian(head, 0x11C, 2),
                        littleEndian(head, 0x118, 2),
                        littleEndian(head, 0x11A, 2),
                        littleEndian(head, 0x114, 4)};
    fields.diskSize = bytesOf(fields);
    return fields;
}

// HDX, of 86Box: the signature 0xD778A82044445459 (little-endian qword), the
// disk size in bytes (qword), bytes per sector, sectors per track, heads,
// cylinders (dwords) and two reserved dwords; the disk at byte 40
// (86Box src/disk/hdd_image.c, image_is_hdx and hdd_image_load).
std::optional<HeaderFields> hdxHeader(std::string_view head) {
    if (head.size() < 40 || littleEndian(head, 0, 8) != 0xD778A82044445459ULL)
        return std::nullopt;
    return HeaderFields{"HDX",
                        40,
                        littleEndian(head, 8, 8),
                        littleEndian(head, 0x10, 4),
                        littleEndian(head, 0x18, 4),
                        littleEndian(head, 0x14, 4),
                        littleEndian(head, 0x1C, 4)};
}

// Virtual98's HDD, which Neko Project opens as a SCSI disk: "VHD1.00" and a
// delimiter, a comment of 128 bytes, 4 reserved, then the size in MiB, bytes
// per sector (words), sectors per track and heads (bytes), cylinders (word)
// and the number of sectors (dword), 68 reserved: the disk at byte 220 (Neko
// Project II kai fdd/sxsihdd.h VHDHDR; 98imgtools formats/hdd.py). Not the
// VHD of Virtual PC.
std::optional<HeaderFields> virtual98Header(std::string_view head) {
    if (head.size() < 220 || !head.starts_with("VHD1.00"))
        return std::nullopt;
    HeaderFields fields{"Virtual98 HDD (VHD1.00)",
                        220,
                        0,
                        littleEndian(head, 142, 2),
                        littleEndian(head, 145, 1),
                        littleEndian(head, 144, 1),
                        littleEndian(head, 146, 2)};
    fields.diskSize = littleEndian(head, 148, 4) * fields.sectorSize;
    fields.sizedByGeometry = false;
    return fields;
}

// THD, of T98: a header of 256 bytes holding only the cylinders (word); the
// disk has 8 heads, 33 sectors a track and 256 bytes a sector (Neko Project
// II kai fdd/sxsihdd.c, THDHDR). Without a signature, told by the file's
// size, which no raw disk of whole 512-byte sectors has.
std::optional<HeaderFields> thdHeader(std::string_view head, std::uint64_t fileSize) {
    if (head.size() < 2)
        return std::nullopt;
    HeaderFields fields{"THD", 256, 0, 256, 8, 33, littleEndian(head, 0, 2)};
    fields.diskSize = fields.cylinders * 8 * 33 * 256;
    if (fields.cylinders == 0 || fileSize != fields.headerSize + fields.diskSize)
        return std::nullopt;
    return fields;
}

} // namespace

Result<std::optional<DiskContainer>> diskContainer(const ImageReader& read, std::uint64_t fileSize,
                                                   const std::string& image) {
    const std::string head = read(0, 512);
    std::optional<HeaderFields> fields = nhdHeader(head);
    for (const auto& header : {hdxHeader, virtual98Header, hdiHeader})
        if (!fields)
            fields = header(head);
    if (!fields)
        fields = thdHeader(head, fileSize);
    if (!fields)
        return std::optional<DiskContainer>();

    const std::string format(fields->format);
    // `told`: what is wrong, for the user, in the session's language.
    const auto damaged = [&](const std::string& why, const std::string& told) {
        return Error(Operation::OpenImage, image, EBADMSG,
                     "the header of this " + format + " image is damaged: " + why)
            .withUserReason(language::fill(
                language::translate("diskimage", "{1} 形式のｲﾒｰｼﾞのﾍｯﾀﾞが壊れています ({2})"),
                {format, told}));
    };
    if (fields->heads == 0 || fields->sectorsPerTrack == 0 || fields->cylinders == 0 ||
        fields->diskSize == 0)
        return damaged("its geometry holds a zero",
                       language::translate("diskimage", "ｼﾞｵﾒﾄﾘに 0 があります"));
    if (fields->sectorSize == 256)
        return Error(Operation::OpenImage, image, ENOTSUP,
                     "it is a " + format +
                         " image of a SASI disk with 256-byte sectors, which cannot be "
                         "worked on; only disks of 512-byte sectors (IDE, SCSI) can")
            .withUserReason(language::fill(
                language::translate("diskimage",
                                    "{1} 形式の 256 ﾊﾞｲﾄｾｸﾀの SASI ﾃﾞｨｽｸは使えません。512 "
                                    "ﾊﾞｲﾄｾｸﾀの ﾃﾞｨｽｸ (IDE, SCSI) だけが使えます"),
                {format}));
    if (fields->sectorSize != 512 && fields->sectorSize != 1024 && fields->sectorSize != 2048)
        return damaged("its sector size is " + std::to_string(fields->sectorSize) + " bytes",
                       language::fill(language::translate("diskimage", "ｾｸﾀ長が {1} ﾊﾞｲﾄです"),
                                      {std::to_string(fields->sectorSize)}));
    if (fields->sizedByGeometry && fields->diskSize != bytesOf(*fields))
        return damaged("its disk size does not match its geometry",
                       language::translate("diskimage", "ﾃﾞｨｽｸの大きさがｼﾞｵﾒﾄﾘと合いません"));
    if (fields->headerSize > fileSize || fields->diskSize > fileSize - fields->headerSize)
        return damaged("it gives a disk beyond the end of the file",
                       language::translate("diskimage", "ﾃﾞｨｽｸがﾌｧｲﾙの終わりを越えています"));
    return std::optional<DiskContainer>(
        DiskContainer{fields->format,
                      fields->headerSize,
                      fields->diskSize,
                      static_cast<std::uint32_t>(fields->sectorSize),
                      {static_cast<std::uint32_t>(fields->heads),
                       static_cast<std::uint32_t>(fields->sectorsPerTrack)}});
}

} // namespace kor::diskimage
