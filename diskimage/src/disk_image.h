// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diskimage/disk_layout.h"
#include "platform/result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Where the FAT file system of a disk image lies: the image file may be a
// whole hard disk with a partition table, a bare FAT volume as a floppy holds
// it, or either of them inside a fixed-size VHD. Emulators keep other formats
// (qcow2, VDI, VMDK, VHDX, dynamic VHD) that QEMU's block layer presents as
// a raw disk (see qemu_export.h).
namespace kor::diskimage {

// The platform's error channel, which every unit here reports through.
using platform::Error;
using platform::Operation;
using platform::Result;
using platform::Status;

struct ImageVolume {
    std::uint64_t offset = 0; // in bytes from the start of the file
    std::uint64_t length = 0;
};

// Reads `length` bytes at `offset` of the image file; fewer at its end.
using ImageReader = std::function<std::string(std::uint64_t offset, std::size_t length)>;

// The `length` bytes at `offset` of the open file `descriptor`; fewer at its
// end or where it cannot be read.
std::string readBytes(int descriptor, std::uint64_t offset, std::size_t length);

// An ImageReader of the open file `descriptor`, which must outlive it.
ImageReader readerOf(int descriptor);

// A format of QEMU's block layer: its driver ("qcow2", "vdi", "vmdk", "vhdx",
// "vpc") and its name for the user ("VHD (容量可変)").
struct QemuFormat {
    std::string driver;
    std::string name;
};

// The format of QEMU's that the image file of `fileSize` bytes is in, told by
// its signature (never by the file's name); none for a raw disk or a fixed
// VHD. Fails, naming the format and why, for the kinds that cannot be
// written safely: a qcow (version 1) or encrypted qcow2 image, a
// differencing VHD or VDI, Bochs' own growing, sparse and redo-log images.
Result<std::optional<QemuFormat>> qemuFormatOf(const ImageReader& read, std::uint64_t fileSize,
                                               const std::string& image);

// The refusal of an image in `format` that this machine cannot work on in
// place: `why` (English) and `toldWhy` (for the user, in the session's
// language) say what it lacks, and the conversion to a raw image is offered.
Error unworkableFormatError(std::string_view format, const std::string& image,
                            const std::string& why, const std::string& toldWhy);

// The volume of an image of `fileSize` bytes: partition number `partition`
// (of an MBR, 1 to 4 the primary ones, 5 and up the logical ones in order,
// hidden ones too; of a PC-98 table, 1 to 16 in its order) or, when it is 0,
// the one Windows 95 makes drive C: (on a PC-98, the active FAT partition it
// boots from, drive A:); a bare volume when the image holds no partition
// table. The disk may follow an emulator's header (HDI, NHD, HDX, Virtual98's
// HDD). `image` names the file in the errors, which say what the
// file is when it is no image of these kinds, and how to convert it.
Result<ImageVolume> findImageVolume(const ImageReader& read, std::uint64_t fileSize,
                                    unsigned partition, const std::string& image);

// The layout of the disk in an image of `fileSize` bytes, as readDiskLayout
// gives it, by the same rules findImageVolume follows: its firstDrive is the
// partition findImageVolume takes for 0.
Result<DiskLayout> findDiskLayout(const ImageReader& read, std::uint64_t fileSize,
                                  const std::string& image);

} // namespace kor::diskimage
