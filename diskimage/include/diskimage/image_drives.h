// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drive.h"
#include "platform/result.h"

#include <filesystem>
#include <memory>

// Drives of the emulated machine that are FAT disk images: raw disks and
// partitions, the partition tables and headers emulators write, read and
// written with mtools on the image as it lies. A program gives the opener
// to the machine once, at its start:
//     platform::Machine::setImageOpener(diskimage::openImageDrive);
namespace kor::diskimage {

// The drive that the image file `imageFile` holds on partition `partition`
// (0 for the first FAT one); one object for each image and partition, so
// that all a run knows of an image stays in one place. Fails, saying why,
// when the file holds no FAT volume there.
platform::Result<std::shared_ptr<platform::Drive>>
openImageDrive(const std::filesystem::path& imageFile, unsigned partition);

// Lets every open drive of an image in a format of QEMU's go of its export,
// and with it of QEMU's lock on the image, until its next read or change, so
// that an emulator may start from the image meanwhile. A drive in the middle
// of a change keeps its export. For a program that stays open between uses.
void releaseImageDrives();

// Lets every drive of an image go for good: its export stopped and unmounted,
// its guardian waited for, its locks and open files closed; a change under way
// ends with it. For a program about to run another in its place, which must
// find the images as free as if the program had never run. A drive opened
// afterwards opens its image anew.
void closeImageDrives();

} // namespace kor::diskimage
