// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disk_image.h"
#include "platform/file_descriptor.h"

#include <filesystem>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// An image of a format of QEMU's block layer (qcow2, VDI, VMDK, VHDX, dynamic
// VHD) worked on in place: qemu-storage-daemon exports it as a plain file
// through FUSE, which mtools and every read then use as a raw image. The
// image keeps its format, its snapshots and its backing files.
//
// The daemon never outlives the program, yet a change that mtools is making
// when the program dies runs to its end on a live export. A guardian process,
// forked without exec into a session of its own (a Ctrl+C or a kill of the
// program's group does not reach it), starts the daemon and waits on a
// lifeline pipe whose write end the program and every mtools process it
// starts hold; when the last of them is gone the guardian stops the daemon,
// unmounts what is left and removes its files. The exported files live in a
// private folder of the user's, where the next run removes what a killed
// guardian left.
namespace kor::diskimage {

using platform::FileDescriptor;

class QemuExport {
  public:
    // Exports `image`, which QEMU's driver `format.driver` reads. Fails
    // saying what to install when this machine cannot export, and with
    // QEMU's first words when the daemon does not start; `lockRefused` is
    // then set when another program holds QEMU's lock on the image.
    static Result<std::shared_ptr<QemuExport>> start(const std::filesystem::path& image,
                                                     const QemuFormat& format, bool& lockRefused);

    QemuExport(const QemuExport&) = delete;
    QemuExport& operator=(const QemuExport&) = delete;
    // Lets go of the lifeline and waits a little for the guardian to have
    // stopped the daemon and removed the export.
    ~QemuExport();

    // Whether the export is still up and answers: its guardian ends when
    // the daemon does.
    bool alive() const;

    // The disk as a plain file.
    const std::filesystem::path& file() const { return m_file; }
    // The daemon, which has the image open for writing and holds QEMU's locks.
    pid_t daemon() const { return m_daemon; }
    // To be passed to every process that works on the exported file.
    int lifeline() const { return m_lifeline.get(); }

  private:
    QemuExport() = default;

    std::filesystem::path m_file;
    pid_t m_guardian = -1;
    pid_t m_daemon = -1;
    FileDescriptor m_lifeline;     // its write end
    FileDescriptor m_guardianGone; // reaches its end when the guardian exits
};

// The other files that the image `image` is made of: VMDK extents, and the
// backing files under it with theirs, as far as they can be read.
std::vector<std::filesystem::path> chainOf(const std::filesystem::path& image);

// The images beside `image` in its folder that name it as their backing file
// (qcow2 overlays, VMDK and VHD deltas): they build on it, and a change of
// it would change what they hold.
std::vector<std::filesystem::path> overlaysOf(const std::filesystem::path& image);

} // namespace kor::diskimage
