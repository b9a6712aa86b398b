// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

// Who else uses an image file: the processes that have it open, the locks on
// its bytes, the loop devices it is attached to, and whether the kernel knows
// of writers; and the bytes by whose locks the runs of these programs know
// one another.
namespace kor::diskimage {

using platform::Error;
using platform::Operation;

// The bytes the runs of the programs lock, away from those QEMU locks (100
// and 200 onwards). The locks are advisory: they keep nobody from reading or
// writing the image.
constexpr off_t ClaimByte = 0x4B4F5200; // "KOR"
constexpr off_t ChangeByte = 0x4B4F5201;
// Held shared, on the claim, while a run has the image open for writing, so
// that another run can tell that a writer may be one of these programs.
constexpr off_t WriterByte = 0x4B4F5202;

// Takes (`type` F_RDLCK or F_WRLCK) or lets go (F_UNLCK) of the open file
// description's lock on one byte; with `wait`, waits for it.
bool lockByte(int descriptor, short type, off_t byte, bool wait);

// The text up to its first line's end.
std::string firstLine(std::string_view text);

// The whole of a small file (one of /proc's), or nothing when it cannot be read.
std::string readSmallFile(const std::filesystem::path& file);

// A program that uses the image: its name and process number, as far as
// they can be read.
struct Holder {
    std::string program;
    std::string pid;
};

// The program of process `pid`, as /proc names it.
Holder holderOf(const std::string& pid);

// An image's path where it opens a report: escaped, as the report's own path
// line is, so that a line break in its name cannot pass for another line.
std::string leadingPath(const std::filesystem::path& image);

// The report of a change refused while `holder` uses the image.
Error inUse(Operation operation, std::string_view path, const std::filesystem::path& image,
            const Holder& holder);

// A process, other than this one, that has the image open.
struct Opening {
    std::string pid;
    bool isMtools = false; // whose processes are runs of these programs or the user's own
    bool writes = false;
    bool claimed = false; // a run of these programs, by its claim on one of its descriptors
};

// The processes that can be seen to have the image open. Processes of other
// users cannot be seen this way; the locks they hold on the image can (QEMU
// locks every image it runs from).
std::vector<Opening> openingsOf(const struct stat& target);

// Another program that has the image open (for writing, when `writersOnly`
// says so), other than this run's export daemon `exporter`: "86Box (PID 1234)".
std::optional<Holder> otherProgramOf(const std::vector<Opening>& openings, bool writersOnly,
                                     pid_t exporter);

// A lock on the image's bytes that no run of these programs holds, nor this
// run's export daemon when `exported`.
// "1: OFDLCK ADVISORY WRITE -1 fe:00:10952780 100 100": an open file
// description's lock names no process. Leases are other runs' probes.
std::optional<Holder> otherLockOf(const struct stat& target, bool exported);

// The loop device the image is attached to, as `mount -o loop` attaches it:
// by the device and inode of its backing file, which the kernel reports,
// when the device may be opened, and else of the file its name leads to.
std::optional<std::string> loopDeviceOf(const struct stat& target);

// Whether any process of any user has the file open for writing, as the
// kernel grants a read lease on it exactly when none has. The lease is
// released at once: while it is held another program's open would wait.
// Unseen where no lease may be taken: a file of another user, a file system
// without leases.
enum class Writers { None, Some, Unseen };

Writers writersOf(int readOnlyDescriptor);

// Whether a descriptor other than `descriptor` holds a lock on `byte`.
bool heldByAnother(int descriptor, off_t byte);

} // namespace kor::diskimage
