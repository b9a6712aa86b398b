// SPDX-License-Identifier: GPL-3.0-or-later
#include "qemu_export.h"

#include "byte_order.h"
#include "image_users.h"
#include "programs.h"

#include "language/translation.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kor::diskimage {

namespace fs = std::filesystem;

namespace {

// What statfs reports for a FUSE mount (FUSE_SUPER_MAGIC, linux/magic.h).
constexpr long FuseMagic = 0x65735546;

// Bounds on the daemon's start, and on the wait for the guardian's clean-up
// at the end: a SIGTERM stops the daemon within milliseconds, and it flushes
// the image's metadata first.
constexpr int StartMilliseconds = 10'000;
constexpr int EndMilliseconds = 10'000;
// How long qemu-img may take to repair a qcow2 image; it reads only the
// image's tables, so a run longer than this has hung.
constexpr int RepairMilliseconds = 60'000;

// What is mounted at `file`: a FUSE mount that answers, one whose daemon is
// gone (ENOTCONN until it is unmounted), or none. Async-signal-safe, for the
// guardian.
enum class Mount { None, Live, Disconnected };

Mount mountAt(const char* file) {
    struct statfs info {};
    if (::statfs(file, &info) != 0)
        return errno == ENOTCONN ? Mount::Disconnected : Mount::None;
    return info.f_type == FuseMagic ? Mount::Live : Mount::None;
}

// QEMU's option syntax ends a value at a comma, and reads two as one.
std::string optionValue(std::string_view value) {
    std::string escaped;
    for (const char c : value)
        escaped += c == ',' ? std::string(",,") : std::string(1, c);
    return escaped;
}

// The user's private folder of exports: made 0700 when missing, and refused
// unless it is the user's own folder that nobody else may enter.
Result<fs::path> exportFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const fs::path folder =
        fs::path(runtime && *runtime ? runtime : "/tmp") / ("kor-" + std::to_string(::getuid()));
    struct stat info {};
    if ((::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) ||
        ::lstat(folder.c_str(), &info) != 0)
        return Error(Operation::OpenImage, folder.string(), errno,
                     "cannot make the folder of disk-image exports " + folder.string());
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 077) != 0)
        return Error(Operation::OpenImage, folder.string(), EPERM,
                     "the folder of disk-image exports is not the user's private folder")
            .withUserReason(language::fill(
                language::translate("diskimage",
                                    "ﾃﾞｨｽｸｲﾒｰｼﾞ用のﾌｫﾙﾀﾞ {1} が自分専用のﾌｫﾙﾀﾞではありません"),
                {folder.string()}));
    return folder;
}

// Unmounts a FUSE mount whose daemon is gone or going, lazily, as the user
// may: the mount is the user's own.
void unmount(const char* fusermount, const char* mountpoint) {
    const pid_t child = ::fork();
    if (child == 0) {
        const char* arguments[] = {fusermount, "-u", "-z", mountpoint, nullptr};
        ::execv(fusermount, const_cast<char* const*>(arguments));
        ::_exit(127);
    }
    int status = 0;
    while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

// Whether process `pid` is a qemu-storage-daemon exporting on `mountpoint`,
// by its command line.
bool isDaemonOf(pid_t pid, const fs::path& mountpoint) {
    const std::string line = readSmallFile("/proc/" + std::to_string(pid) + "/cmdline");
    return line.find("qemu-storage-daemon") != std::string::npos &&
           line.find("mountpoint=" + optionValue(mountpoint.string()) + '\0') != std::string::npos;
}

// Removes what killed runs left in `folder`: an export whose guardian is
// gone is known by its lock file, which nobody holds any more. Its daemon, if
// still running, is stopped; a mount left behind is unmounted. Returns the
// images of those exports: a daemon that did not stop as asked may have left
// clusters allocated that nothing uses.
std::vector<fs::path> removeStale(const fs::path& folder, const fs::path& fusermount) {
    std::vector<fs::path> images;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path lockFile = entry->path();
        if (lockFile.extension() != ".lock")
            continue;
        const FileDescriptor lock(::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        if (!lock.isOpen() || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        // Another run's clean-up may have removed this lock file, and a new
        // export taken its name, between the open and the lock.
        struct stat held {};
        struct stat named {};
        if (::fstat(lock.get(), &held) != 0 || held.st_nlink == 0 ||
            ::lstat(lockFile.c_str(), &named) != 0 || named.st_dev != held.st_dev ||
            named.st_ino != held.st_ino)
            continue;
        fs::path mountpoint = lockFile;
        mountpoint.replace_extension();
        // The daemon's number, and on the next line the image.
        const std::string record = readSmallFile(lockFile);
        const pid_t daemon = std::atoi(record.c_str());
        if (daemon > 0 && isDaemonOf(daemon, mountpoint)) {
            ::kill(daemon, SIGTERM);
            for (int wait = 0; wait < 200 && ::kill(daemon, 0) == 0; ++wait)
                ::usleep(5000);
        }
        if (mountAt(mountpoint.c_str()) != Mount::None)
            unmount(fusermount.c_str(), mountpoint.c_str());
        if (const std::size_t line = record.find('\n'); line != std::string::npos)
            images.emplace_back(record.substr(line + 1, record.find('\n', line + 1) - line - 1));
        std::error_code ignored;
        fs::remove(mountpoint, ignored);
        fs::remove(lockFile, ignored);
    }
    return images;
}

// Frees the clusters of a qcow2 image that nothing uses, as a daemon that
// died while writing leaves them ("leaked clusters", which qemu-img check
// reports). qemu-img takes QEMU's lock on the image, and so repairs nothing
// that another program holds; the image is told by its signature. Fails
// only when qemu-img hangs: it is then ended, so that the caller does not
// hang with it.
Status repairLeaks(const fs::path& image) {
    const fs::path qemuImg = programOnPath("qemu-img");
    const FileDescriptor file(::open(image.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (qemuImg.empty() || !file.isOpen() || readBytes(file.get(), 0, 4) != "QFI\xfb")
        return {};
    std::string line[] = {"qemu-img", "check", "-q", "-r", "leaks", "-f", "qcow2", image.string()};
    std::vector<char*> arguments;
    for (std::string& argument : line)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int output : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, output, "/dev/null", O_RDWR, 0);
    pid_t checker = -1;
    const int spawned =
        ::posix_spawn(&checker, qemuImg.c_str(), &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    const FileDescriptor handle(static_cast<int>(::syscall(SYS_pidfd_open, checker, 0)));
    pollfd ended{handle.get(), POLLIN, 0};
    int ready = 1;
    while (handle.isOpen() && (ready = ::poll(&ended, 1, RepairMilliseconds)) < 0 &&
           errno == EINTR) {
    }
    if (ready == 0)
        ::kill(checker, SIGKILL);
    int status = 0;
    while (::waitpid(checker, &status, 0) < 0 && errno == EINTR) {
    }
    if (ready == 0)
        return Error(Operation::OpenImage, image.string(), ETIMEDOUT,
                     "qemu-img check did not finish repairing the disk image in " +
                         std::to_string(RepairMilliseconds / 1000) + " seconds")
            .withUserReason(language::fill(
                language::translate("diskimage",
                                    "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} の qemu-img check が {2} 秒で終わりません"),
                {image.string(), std::to_string(RepairMilliseconds / 1000)}));
    return {};
}

// Writes `value` in decimal at the start of the file, and returns how many
// bytes that took: in the guardian, where only async-signal-safe calls may be
// made.
std::size_t writeNumber(int descriptor, long value) {
    char digits[24];
    std::size_t at = sizeof digits;
    do {
        digits[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && at > 0);
    static_cast<void>(::pwrite(descriptor, digits + at, sizeof digits - at, 0));
    return sizeof digits - at;
}

// Everything the guardian needs, made before the fork: after it, a process
// forked from one that may run other threads may make only
// async-signal-safe calls (fork(2), signal-safety(7)).
struct GuardianPlan {
    std::vector<std::string> arguments;
    std::vector<char*> argv;
    std::vector<char*> envp;
    std::string daemonProgram;
    std::string fusermount;
    std::string folder;
    std::string mountpoint;
    std::string lockFile;
    // Written after the daemon's number in the lock file: "\n" and the image.
    std::string image;
    // Descriptors 3 to 6 of the guardian, in this order.
    int lifeline = -1;   // read end
    int reporter = -1;   // write end, never written: closed when the guardian exits
    int logFile = -1;    // the daemon's standard error, unnamed
    int nullDevice = -1; // its standard input and output
};

// The guardian's lock file, as it holds it.
constexpr int GuardianLock = 7;
constexpr const char* GuardianLockPath = "/proc/self/fd/7";

// Makes the export's files, starts the daemon, waits for it or for the end
// of the lifeline, whichever comes first, then stops the daemon, unmounts and
// removes the files. The files are named only here, so that a run killed
// before the guardian starts leaves none.
[[noreturn]] void guard(const GuardianPlan& plan) {
    // First, as the program's own handlers would run here: a Ctrl+C sent to
    // the program's group before setsid must not end the guardian.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (const int signal : {SIGINT, SIGQUIT, SIGHUP, SIGPIPE, SIGTSTP, SIGTTIN, SIGTTOU})
        ::sigaction(signal, &ignore, nullptr);
    ::sigaction(SIGTERM, &standard, nullptr);
    ::sigaction(SIGCHLD, &standard, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int sources[] = {plan.lifeline, plan.reporter, plan.logFile, plan.nullDevice};
    for (int i = 0; i < 4; ++i)
        ::dup2(sources[i], 3 + i);
    constexpr int lifeline = 3, logFile = 5, nullDevice = 6;
    ::dup2(nullDevice, 0);
    ::dup2(nullDevice, 1);
    ::dup2(nullDevice, 2);
    ::syscall(SYS_close_range, 7U, ~0U, 0U);
    ::setsid();
    // The lock file is locked from the moment it has a name: made unnamed,
    // locked, then linked, so that no other run's clean-up takes it for a
    // dead one's (open(2), O_TMPFILE). The mount point must be a regular
    // file (QEMU's docs/tools/qemu-storage-daemon.rst, "--export type=fuse").
    const int made = ::open(plan.folder.c_str(), O_TMPFILE | O_RDWR, 0600);
    if (made < 0 || (made != GuardianLock && ::dup2(made, GuardianLock) < 0) ||
        ::flock(GuardianLock, LOCK_EX) != 0 ||
        ::linkat(AT_FDCWD, GuardianLockPath, AT_FDCWD, plan.lockFile.c_str(), AT_SYMLINK_FOLLOW) !=
            0)
        ::_exit(1);
    const int mountpoint =
        ::open(plan.mountpoint.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (mountpoint < 0) {
        ::unlink(plan.lockFile.c_str());
        ::_exit(1);
    }
    ::close(mountpoint);

    const pid_t guardian = ::getpid();
    bool killed = false;
    const pid_t daemon = ::fork();
    if (daemon == 0) {
        // Should the guardian die anyhow, the daemon stops too; a SIGTERM
        // makes it flush the image and unmount the export itself.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != guardian)
            ::_exit(127);
        ::dup2(logFile, 1);
        ::dup2(logFile, 2);
        ::syscall(SYS_close_range, 3U, ~0U, 0U);
        ::execve(plan.daemonProgram.c_str(), plan.argv.data(), plan.envp.data());
        ::_exit(127);
    }
    if (daemon > 0) {
        const std::size_t written = writeNumber(GuardianLock, daemon);
        static_cast<void>(::pwrite(GuardianLock, plan.image.data(), plan.image.size(),
                                   static_cast<off_t>(written)));
        const int handle = static_cast<int>(::syscall(SYS_pidfd_open, daemon, 0));
        pollfd wanted[2] = {{lifeline, POLLIN, 0}, {handle, POLLIN, 0}};
        bool daemonEnded = false;
        for (;;) {
            if (::poll(wanted, handle >= 0 ? 2 : 1, -1) < 0) {
                if (errno == EINTR)
                    continue;
                break;
            }
            if (wanted[1].revents != 0) {
                daemonEnded = true;
                break;
            }
            char byte = 0;
            if (wanted[0].revents != 0 && ::read(lifeline, &byte, 1) <= 0)
                break;
        }
        if (!daemonEnded)
            ::kill(daemon, SIGTERM);
        int status = 0;
        while (::waitpid(daemon, &status, 0) < 0 && errno == EINTR) {
        }
        // A daemon killed in the middle of a write may have left clusters
        // allocated that nothing uses: the lock file stays, unheld, for the
        // next run to repair the image as it cleans up.
        killed = WIFSIGNALED(status);
    }
    if (mountAt(plan.mountpoint.c_str()) != Mount::None)
        unmount(plan.fusermount.c_str(), plan.mountpoint.c_str());
    ::unlink(plan.mountpoint.c_str());
    if (!killed)
        ::unlink(plan.lockFile.c_str());
    ::_exit(0);
}

} // namespace

Result<std::shared_ptr<QemuExport>> QemuExport::start(const fs::path& image,
                                                      const QemuFormat& format, bool& lockRefused) {
    lockRefused = false;
    const std::string imageName = image.string();
    const fs::path daemonProgram = programOnPath("qemu-storage-daemon");
    const fs::path fusermount = programOnPath("fusermount3");
    if (daemonProgram.empty() || fusermount.empty() || ::access("/dev/fuse", R_OK | W_OK) != 0) {
        const std::string missing = daemonProgram.empty() ? "qemu-storage-daemon"
                                    : fusermount.empty()  ? "fusermount3"
                                                          : "/dev/fuse";
        return unworkableFormatError(
            format.name, imageName,
            "working on it in place needs qemu-storage-daemon and FUSE (" + missing +
                " is missing): apt install qemu-system-common fuse3",
            language::fill(language::translate(
                               "diskimage", "qemu-storage-daemon と FUSE が必要です ({1} "
                                            "がありません): apt install qemu-system-common fuse3"),
                           {missing}));
    }
    const fs::path folder = KOR_TRY(exportFolder());
    for (const fs::path& left : removeStale(folder, fusermount))
        KOR_TRY(repairLeaks(left));

    static unsigned exports = 0;
    const std::string name = std::to_string(::getpid()) + "-" + std::to_string(++exports);
    std::shared_ptr<QemuExport> made(new QemuExport());
    made->m_file = folder / name;
    GuardianPlan plan;
    plan.folder = folder.string();
    plan.mountpoint = made->m_file.string();
    plan.lockFile = plan.mountpoint + ".lock";
    plan.image = "\n" + imageName + "\n";
    plan.daemonProgram = daemonProgram.string();
    plan.fusermount = fusermount.string();
    const auto failed = [&](int code) {
        return Error(Operation::OpenImage, imageName, code,
                     "cannot prepare the export of the disk image in " + folder.string());
    };
    // The daemon's words, in a file without a name that nothing leaves behind.
    const FileDescriptor log(
        ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_APPEND | O_CLOEXEC, 0600));
    const FileDescriptor nullDevice(::open("/dev/null", O_RDWR | O_CLOEXEC));
    int lifeline[2] = {-1, -1};
    int reporter[2] = {-1, -1};
    if (!log.isOpen() || !nullDevice.isOpen() || ::pipe2(lifeline, O_CLOEXEC) != 0)
        return failed(errno);
    made->m_lifeline = FileDescriptor(lifeline[1]);
    FileDescriptor lifelineEnd(lifeline[0]);
    if (::pipe2(reporter, O_CLOEXEC) != 0)
        return failed(errno);
    made->m_guardianGone = FileDescriptor(reporter[0]);
    FileDescriptor reporterEnd(reporter[1]);

    // The guardian moves its descriptors to 3 to 6: from above those numbers,
    // so that no move overwrites another's source.
    const int sources[] = {lifelineEnd.get(), reporterEnd.get(), log.get(), nullDevice.get()};
    std::vector<FileDescriptor> lifted;
    for (const int source : sources)
        lifted.emplace_back(::fcntl(source, F_DUPFD_CLOEXEC, 10));
    if (std::ranges::any_of(lifted, [](const FileDescriptor& d) { return !d.isOpen(); }))
        return failed(errno);
    plan.lifeline = lifted[0].get();
    plan.reporter = lifted[1].get();
    plan.logFile = lifted[2].get();
    plan.nullDevice = lifted[3].get();
    // An image the user may only read is exported for reading, so that it
    // can be browsed; a change is refused as on any image the user cannot
    // write.
    const bool writable = ::faccessat(AT_FDCWD, image.c_str(), W_OK, AT_EACCESS) == 0;
    const std::string readOnly = writable ? "off" : "on";
    // The image's file is one node and its format another (QEMU's
    // docs/tools/qemu-storage-daemon.rst); backing files and VMDK extents are
    // opened by the format's driver, as the image names them.
    plan.arguments = {
        "qemu-storage-daemon",
        "--blockdev",
        "driver=file,node-name=file,read-only=" + readOnly + ",filename=" + optionValue(imageName),
        "--blockdev",
        "driver=" + format.driver + ",node-name=disk,read-only=" + readOnly + ",file=file",
        "--export",
        // Last, where the clean-up finds it in the command line (isDaemonOf).
        "type=fuse,id=export,node-name=disk,writable=" + std::string(writable ? "on" : "off") +
            ",allow-other=off,mountpoint=" + optionValue(plan.mountpoint),
    };
    for (std::string& argument : plan.arguments)
        plan.argv.push_back(argument.data());
    plan.argv.push_back(nullptr);
    for (char** variable = environ; *variable; ++variable)
        plan.envp.push_back(*variable);
    plan.envp.push_back(nullptr);

    const pid_t guardian = ::fork();
    if (guardian == 0)
        guard(plan);
    if (guardian < 0)
        return failed(errno);
    made->m_guardian = guardian;
    // The guardian's ends of the pipes are its alone: the lifeline ends, and
    // the guardian's end shows, only when the guardian holds them.
    lifted.clear();
    lifelineEnd.close();
    reporterEnd.close();

    // Ready when the export is mounted; failed when the guardian ends first,
    // as it does when the daemon exits.
    pollfd gone{made->m_guardianGone.get(), POLLIN, 0};
    int waited = 0;
    while (mountAt(made->m_file.c_str()) != Mount::Live) {
        if (::poll(&gone, 1, 2) != 0 || (waited += 2) > StartMilliseconds) {
            std::string said = readBytes(log.get(), 0, 4096);
            made.reset();
            said = said.substr(0, said.find('\n'));
            // "Failed to get "write" lock": QEMU's image lock (block/file-posix.c).
            lockRefused = said.find("Failed to get") != std::string::npos;
            return Error(Operation::OpenImage, imageName, lockRefused ? EBUSY : EIO,
                         "qemu-storage-daemon cannot export the disk image" +
                             (said.empty() ? std::string() : ": " + said))
                .withUserReason(
                    said.empty()
                        ? language::fill(language::translate(
                                             "diskimage",
                                             "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} を qemu-storage-daemon で開けません"),
                                         {imageName})
                        : language::fill(
                              language::translate(
                                  "diskimage",
                                  "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} を qemu-storage-daemon で開けません ({2})"),
                              {imageName, said}));
        }
    }
    // The guardian records the daemon right after starting it.
    for (int wait = 0; made->m_daemon <= 0 && wait < 1000; ++wait) {
        made->m_daemon = std::atoi(readSmallFile(plan.lockFile).c_str());
        if (made->m_daemon <= 0)
            ::usleep(1000);
    }
    // Unknown, the daemon would pass for another program that uses the image.
    if (made->m_daemon <= 0)
        return Error(Operation::OpenImage, imageName, EIO,
                     "qemu-storage-daemon exported the disk image, but its process is unknown");
    return made;
}

bool QemuExport::alive() const {
    // The guardian removes the exported file before it ends: a dead daemon's
    // export may be gone while its guardian is still there.
    pollfd gone{m_guardianGone.get(), POLLIN, 0};
    return ::poll(&gone, 1, 0) == 0 && mountAt(m_file.c_str()) == Mount::Live;
}

QemuExport::~QemuExport() {
    m_lifeline = FileDescriptor();
    if (m_guardian <= 0)
        return;
    pollfd gone{m_guardianGone.get(), POLLIN, 0};
    while (::poll(&gone, 1, EndMilliseconds) < 0 && errno == EINTR) {
    }
    // A guardian still unmounting after that is left to finish, and reaped
    // when it does, so that it stays no zombie.
    int status = 0;
    if (::waitpid(m_guardian, &status, WNOHANG) == 0)
        std::thread([guardian = m_guardian] {
            int ended = 0;
            while (::waitpid(guardian, &ended, 0) < 0 && errno == EINTR) {
            }
        }).detach();
}

namespace {

// The value of `parentFileNameHint="..."` in a VMDK descriptor.
std::string parentHint(std::string_view descriptor) {
    constexpr std::string_view key = "parentFileNameHint=\"";
    const std::size_t at = descriptor.find(key);
    if (at == std::string_view::npos)
        return {};
    const std::size_t start = at + key.size();
    return std::string(descriptor.substr(start, descriptor.find('"', start) - start));
}

// The backing file that the image `file` names, as written in it, by its
// format's public description: qcow2, QEMU's docs/interop/qcow2.txt (offset
// and size of the name at bytes 8 and 16); VMDK, VMware's "Virtual Disk
// Format 1.1" (the descriptor's parentFileNameHint, in a sparse extent at the
// sector its header gives at byte 28); VHD, Microsoft's published
// description of its virtual hard disk format (a differencing disk's dynamic
// header, at the footer's data offset, holds the parent's name in UTF-16 at
// byte 64).
std::string backingNameOf(const fs::path& file) {
    const FileDescriptor image(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!image.isOpen() || ::fstat(image.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    const std::string head = readBytes(image.get(), 0, 512);
    if (head.starts_with("QFI\xfb") && bigEndian(head, 4, 4) >= 2) {
        const std::uint64_t length = bigEndian(head, 16, 4);
        return length > 0 && length < 1024 ? readBytes(image.get(), bigEndian(head, 8, 8), length)
                                           : std::string();
    }
    if (head.starts_with("# Disk DescriptorFile"))
        return parentHint(readBytes(image.get(), 0, 65536));
    if (head.starts_with("KDMV")) {
        const std::uint64_t sectors = littleEndian(head, 36, 8);
        return sectors > 0 && sectors <= 128
                   ? parentHint(
                         readBytes(image.get(), littleEndian(head, 28, 8) * 512, sectors * 512))
                   : std::string();
    }
    if (head.starts_with("conectix") && bigEndian(head, 0x3C, 4) == 4) {
        const std::string header = readBytes(image.get(), bigEndian(head, 16, 8), 1024);
        std::string name;
        for (std::size_t at = 64; at + 1 < std::min<std::size_t>(header.size(), 576); at += 2) {
            const auto unit = static_cast<std::uint16_t>(bigEndian(header, at, 2));
            if (unit == 0)
                break;
            // Names beyond ASCII are compared as far as they can be here.
            name += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
        return name;
    }
    return {};
}

// The extent files that a VMDK descriptor names ("RW 4192256 SPARSE
// \"disk-s001.vmdk\""), by VMware's "Virtual Disk Format 1.1".
std::vector<std::string> extentsOf(const fs::path& file) {
    std::vector<std::string> extents;
    const FileDescriptor image(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!image.isOpen())
        return extents;
    std::istringstream descriptor(readBytes(image.get(), 0, 65536));
    if (descriptor.str().starts_with("# Disk DescriptorFile"))
        for (std::string line; std::getline(descriptor, line);) {
            const std::size_t open = line.find('"');
            const std::size_t close = line.find('"', open + 1);
            if ((line.starts_with("RW ") || line.starts_with("RDONLY ")) &&
                open != std::string::npos && close != std::string::npos)
                extents.push_back(line.substr(open + 1, close - open - 1));
        }
    return extents;
}

} // namespace

std::vector<fs::path> chainOf(const fs::path& image) {
    std::vector<fs::path> files;
    fs::path layer = image;
    for (int depth = 0; depth < 16 && !layer.empty(); ++depth) {
        const fs::path folder = layer.parent_path();
        const auto resolved = [&](const std::string& name) {
            return fs::path(name).is_absolute() ? fs::path(name) : folder / name;
        };
        for (const std::string& extent : extentsOf(layer))
            files.push_back(resolved(extent));
        const std::string backing = backingNameOf(layer);
        layer = backing.empty() ? fs::path() : resolved(backing);
        if (!layer.empty())
            files.push_back(layer);
    }
    return files;
}

std::vector<fs::path> overlaysOf(const fs::path& image) {
    std::vector<fs::path> overlays;
    struct stat target {};
    if (::stat(image.c_str(), &target) != 0)
        return overlays;
    const fs::path folder = image.parent_path().empty() ? fs::path(".") : image.parent_path();
    std::error_code error;
    int looked = 0;
    for (fs::directory_iterator entry(folder, error), end;
         !error && entry != end && ++looked <= 4096; entry.increment(error)) {
        const std::string name = backingNameOf(entry->path());
        if (name.empty())
            continue;
        const fs::path backing = fs::path(name).is_absolute() ? fs::path(name) : folder / name;
        struct stat info {};
        if (::stat(backing.c_str(), &info) == 0 && info.st_dev == target.st_dev &&
            info.st_ino == target.st_ino && entry->path() != image)
            overlays.push_back(entry->path());
    }
    return overlays;
}

} // namespace kor::diskimage
