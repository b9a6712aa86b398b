// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_users.h"

#include "programs.h"

#include "platform/text.h"

#include "language/translation.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <linux/loop.h>
#include <sstream>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/file_descriptor.h"

namespace kor::diskimage {

namespace fs = std::filesystem;
using platform::FileDescriptor;

namespace {

// The mtools program itself, whose processes may have the image open: they
// are runs of these programs or the user's own, and mtools locks the image
// against itself.
fs::path mtoolsProgram() {
    static const fs::path program = [] {
        std::error_code error;
        const fs::path found = programOnPath("mtools");
        return found.empty() ? found : fs::canonical(found, error);
    }();
    return program;
}

// Whether the open file `descriptor` of process `pid` holds the lock that
// marks the runs of these programs.
bool holdsClaim(const std::string& pid, const std::string& descriptor) {
    const std::string info = readSmallFile("/proc/" + pid + "/fdinfo/" + descriptor);
    const std::string claim = " " + std::to_string(ClaimByte) + " ";
    for (std::size_t at = info.find("lock:"); at != std::string::npos;
         at = info.find("lock:", at + 1)) {
        const std::string line = firstLine(std::string_view(info).substr(at));
        if (line.find(claim) != std::string::npos)
            return true;
    }
    return false;
}

std::string describe(const Holder& holder, std::string_view unnamed) {
    const std::string program = holder.program.empty() ? std::string(unnamed) : holder.program;
    return holder.pid.empty() ? program : program + " (PID " + holder.pid + ")";
}

// Whether the open file `descriptor` of process `pid` may write.
bool writes(const std::string& pid, const std::string& descriptor) {
    const std::string info = readSmallFile("/proc/" + pid + "/fdinfo/" + descriptor);
    const std::size_t at = info.find("flags:");
    if (at == std::string::npos)
        return true;
    const unsigned long flags = std::strtoul(info.c_str() + at + 6, nullptr, 8);
    return (flags & O_ACCMODE) != O_RDONLY;
}

bool isFile(const struct stat& info, const struct stat& target) {
    return info.st_dev == target.st_dev && info.st_ino == target.st_ino;
}

// QEMU locks bytes 100 and 200 onwards of every file it opens, one for each
// permission it takes and one for each it does not share with others
// (RAW_LOCK_PERM_BASE and RAW_LOCK_SHARED_BASE, block/file-posix.c).
bool isQemuLockByte(std::string_view start) {
    const long byte = std::strtol(std::string(start).c_str(), nullptr, 10);
    return byte >= 100 && byte < 300;
}

} // namespace

bool lockByte(int descriptor, short type, off_t byte, bool wait) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    int result = 0;
    do
        result = ::fcntl(descriptor, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

std::string firstLine(std::string_view text) {
    return std::string(text.substr(0, text.find('\n')));
}

std::string readSmallFile(const fs::path& file) {
    std::ifstream stream(file);
    std::stringstream text;
    text << stream.rdbuf();
    return text.str();
}

Holder holderOf(const std::string& pid) {
    return {firstLine(readSmallFile("/proc/" + pid + "/comm")), pid};
}

std::string leadingPath(const fs::path& image) {
    return platform::escapeControlCharacters(image.string(), platform::LineBreaks::Escape);
}

Error inUse(Operation operation, std::string_view path, const fs::path& image,
            const Holder& holder) {
    return Error(operation, std::string(path), EBUSY,
                 "the disk image " + image.string() + " is in use by " +
                     describe(holder, "another program"))
        .withLeadingReason(language::fill(
            language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} は {2} が使用中です。"
                                             "ｴﾐｭﾚｰﾀを終了してから、もう一度実行してください"),
            {leadingPath(image),
             describe(holder, language::translate("diskimage", "別のﾌﾟﾛｸﾞﾗﾑ"))}));
}

std::vector<Opening> openingsOf(const struct stat& target) {
    std::vector<Opening> openings;
    const std::string self = std::to_string(::getpid());
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        const std::string pid = process->path().filename().string();
        if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code ignored;
        Opening opening{pid};
        bool opened = false;
        for (fs::directory_iterator file(process->path() / "fd", ignored), last;
             !ignored && file != last; file.increment(ignored)) {
            struct stat info {};
            const std::string descriptor = file->path().filename().string();
            // Sockets, pipes and the like, most of what is open, are told by
            // their link alone, without a look at the file.
            char link[16] = {};
            if (::readlink(file->path().c_str(), link, sizeof link - 1) > 0 && link[0] != '/')
                continue;
            if (::stat(file->path().c_str(), &info) != 0 || !isFile(info, target))
                continue;
            opened = true;
            opening.writes = opening.writes || writes(pid, descriptor);
            opening.claimed = opening.claimed || holdsClaim(pid, descriptor);
        }
        if (!opened)
            continue;
        const fs::path program = fs::read_symlink(process->path() / "exe", ignored);
        opening.isMtools = !program.empty() && program == mtoolsProgram();
        openings.push_back(std::move(opening));
    }
    return openings;
}

std::optional<Holder> otherProgramOf(const std::vector<Opening>& openings, bool writersOnly,
                                     pid_t exporter) {
    for (const Opening& opening : openings)
        if (!opening.isMtools && !opening.claimed && (opening.writes || !writersOnly) &&
            opening.pid != std::to_string(exporter))
            return holderOf(opening.pid);
    return std::nullopt;
}

std::optional<Holder> otherLockOf(const struct stat& target, bool exported) {
    std::istringstream locks(readSmallFile("/proc/locks"));
    const std::string inode = ":" + std::to_string(target.st_ino);
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, file, start;
        fields >> number >> kind >> mode >> access >> pid >> file >> start;
        if (kind == "->" || kind == "LEASE")
            continue;
        if (!file.ends_with(inode) || start == std::to_string(ClaimByte) ||
            start == std::to_string(ChangeByte) || start == std::to_string(WriterByte) ||
            (exported && isQemuLockByte(start)))
            continue;
        return pid == "-1" ? Holder() : holderOf(pid);
    }
    return std::nullopt;
}

std::optional<std::string> loopDeviceOf(const struct stat& target) {
    std::error_code error;
    for (fs::directory_iterator block("/sys/block", error), end; !error && block != end;
         block.increment(error)) {
        const std::string name = block->path().filename().string();
        if (!name.starts_with("loop"))
            continue;
        const std::string device = "/dev/" + name;
        if (const FileDescriptor loop(::open(device.c_str(), O_RDONLY | O_CLOEXEC));
            loop.isOpen()) {
            loop_info64 status{};
            if (::ioctl(loop.get(), LOOP_GET_STATUS64, &status) == 0 &&
                status.lo_device == target.st_dev && status.lo_inode == target.st_ino)
                return device;
        }
        const std::string backing = firstLine(readSmallFile(block->path() / "loop/backing_file"));
        struct stat info {};
        if (!backing.empty() && ::stat(backing.c_str(), &info) == 0 && isFile(info, target))
            return device;
    }
    return std::nullopt;
}

Writers writersOf(int readOnlyDescriptor) {
    // The lease is taken on a descriptor of its own, closed on return: a
    // lease left behind on a long-lived descriptor would stall every writer.
    const std::string self = "/proc/self/fd/" + std::to_string(readOnlyDescriptor);
    const FileDescriptor probe(::open(self.c_str(), O_RDONLY | O_CLOEXEC));
    // Were another program to open the image for writing in that moment, the
    // kernel would signal this one, by default with SIGIO, which ends it;
    // SIGURG is ignored unless a program asks for it.
    if (!probe.isOpen() || ::fcntl(probe.get(), F_SETSIG, SIGURG) != 0)
        return Writers::Unseen;
    if (::fcntl(probe.get(), F_SETLEASE, F_RDLCK) == 0)
        return ::fcntl(probe.get(), F_SETLEASE, F_UNLCK) == 0 ? Writers::None : Writers::Unseen;
    return errno == EAGAIN ? Writers::Some : Writers::Unseen;
}

bool heldByAnother(int descriptor, off_t byte) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    return ::fcntl(descriptor, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

} // namespace kor::diskimage
