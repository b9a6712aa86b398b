// SPDX-License-Identifier: GPL-3.0-or-later
#include "host_places.h"

#include "platform/text.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kor::platform {

namespace fs = std::filesystem;

namespace {

// As the kernel's own bound on a chain of links.
constexpr int MaximumLinkHops = 40;

// Opens an entry without following it, nor allowing anything but a look.
constexpr int EntryFlags = O_PATH | O_NOFOLLOW | O_CLOEXEC;

FileDescriptor duplicate(int descriptor) {
    return FileDescriptor(::fcntl(descriptor, F_DUPFD_CLOEXEC, 0));
}

std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('/', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            names.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// An entry of a link's text, reached: the folder that holds it and the entry
// itself, not followed; or the errno of why not.
struct Reached {
    FileDescriptor folder;
    FileDescriptor object;
    struct stat info {};
    int error = 0;
};

int follow(FileDescriptor& folder, FileDescriptor& object, struct stat& info, int& hops);

// Walks the names of a link's text from `start`, following the links on the
// way by the rule, the last one not.
Reached walk(int start, const std::vector<std::string>& names, int& hops) {
    Reached reached;
    reached.folder = duplicate(start);
    if (names.empty()) {
        reached.object = duplicate(start);
        if (::fstat(reached.object.get(), &reached.info) != 0)
            reached.error = errno;
        return reached;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        FileDescriptor entry(::openat(reached.folder.get(), names[i].c_str(), EntryFlags));
        struct stat info {};
        if (!entry.isOpen() || ::fstat(entry.get(), &info) != 0) {
            reached.error = errno;
            return reached;
        }
        if (i + 1 == names.size()) {
            reached.object = std::move(entry);
            reached.info = info;
            return reached;
        }
        if (S_ISLNK(info.st_mode)) {
            FileDescriptor linkFolder = duplicate(reached.folder.get());
            if (const int error = follow(linkFolder, entry, info, hops)) {
                reached.error = error;
                return reached;
            }
        }
        if (!S_ISDIR(info.st_mode)) {
            reached.error = ENOTDIR;
            return reached;
        }
        reached.folder = std::move(entry);
    }
    return reached;
}

// Replaces a link (`object`, held in `folder`) by what it leads to, hop by hop,
// while the rule allows; 0, or ENOENT for a refused or broken link, ELOOP for
// too long a chain.
int follow(FileDescriptor& folder, FileDescriptor& object, struct stat& info, int& hops) {
    while (S_ISLNK(info.st_mode)) {
        if (++hops > MaximumLinkHops)
            return ELOOP;
        char text[PATH_MAX];
        const ssize_t length = ::readlinkat(object.get(), "", text, sizeof text);
        if (length < 0)
            return errno;
        const std::string_view target(text, static_cast<std::size_t>(length));
        FileDescriptor hostRoot;
        if (target.starts_with('/'))
            hostRoot = FileDescriptor(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        Reached reached =
            walk(hostRoot.isOpen() ? hostRoot.get() : folder.get(), split(target), hops);
        if (reached.error != 0)
            return reached.error == ELOOP ? ELOOP : ENOENT;
        if (info.st_uid != ::geteuid() && info.st_uid != reached.info.st_uid)
            return ENOENT;
        folder = std::move(reached.folder);
        object = std::move(reached.object);
        info = reached.info;
    }
    return 0;
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

// The entry of `folder` that a FAT drive would take for `name`: one that
// differs only in case or is `name` in CP932 bytes, the first in byte order so
// that a case-sensitive host gives the same answer every time.
std::optional<std::string> matchingName(int folder, std::string_view name) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::unique_ptr<DIR, DirectoryCloser> entries(listing < 0 ? nullptr
                                                                    : ::fdopendir(listing));
    if (!entries) {
        if (listing >= 0)
            ::close(listing);
        return std::nullopt;
    }
    std::optional<std::string> match;
    while (const dirent* entry = ::readdir(entries.get())) {
        std::string candidate = entry->d_name;
        if (equalsIgnoringAsciiCase(nameOfHostFile(candidate), name) &&
            (!match || candidate < *match))
            match = std::move(candidate);
    }
    return match;
}

// The folder `path` (names below `folder`, none of them a link) in one call
// where the kernel offers openat2; closed where it does not or a link is on
// the way, for the walk to decide.
FileDescriptor openFolderWithoutLinks(int folder, const std::string& path) {
    static std::atomic<bool> unavailable{false};
    if (unavailable.load(std::memory_order_relaxed))
        return FileDescriptor();
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH;
    const long opened = ::syscall(SYS_openat2, folder, path.c_str(), &how, sizeof how);
    // An older kernel has no openat2, and some container filters refuse it
    // (EPERM): the walk then does all the work.
    if (opened < 0 && (errno == ENOSYS || errno == EPERM))
        unavailable.store(true, std::memory_order_relaxed);
    return FileDescriptor(opened < 0 ? -1 : static_cast<int>(opened));
}

} // namespace

int HostPlace::folderError() const {
    if (folder.isOpen())
        return 0;
    return error != 0 ? error : EISDIR;
}

FileDescriptor HostPlace::open(int flags) const {
    if (!exists()) {
        errno = error != 0 ? error : ENOENT;
        return FileDescriptor();
    }
    // A FIFO or a device could block the open, or every read after, for as
    // long as no one writes: only files and folders are ever opened.
    if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        errno = EINVAL;
        return FileDescriptor();
    }
    // Through the descriptor itself: the file checked, whatever its name
    // leads to by now. A folder opens itself; a file, through /proc.
    if (S_ISDIR(info.st_mode))
        return FileDescriptor(::openat(object.get(), ".", flags | O_CLOEXEC));
    const std::string self = "/proc/self/fd/" + std::to_string(object.get());
    return FileDescriptor(::open(self.c_str(), flags | O_CLOEXEC));
}

HostPlace placeInDrive(const fs::path& drive, const std::vector<std::string>& names) {
    HostPlace place;
    std::string host = drive.string();
    FileDescriptor folder(::open(drive.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    const auto finish = [&](std::size_t from) {
        for (std::size_t i = from; i < names.size(); ++i)
            host += '/' + names[i];
        place.host = std::move(host);
        return std::move(place);
    };
    if (!folder.isOpen()) {
        place.error = errno;
        return finish(0);
    }
    if (names.empty()) {
        place.object = std::move(folder);
        if (::fstat(place.object.get(), &place.info) != 0)
            place.error = errno;
        return finish(0);
    }
    // A path spelt as on the disk without links, the usual case, reaches its
    // folder in one call; the walk below settles everything else.
    std::size_t next = 0;
    if (names.size() > 1) {
        std::string within = names.front();
        for (std::size_t i = 1; i + 1 < names.size(); ++i)
            within += '/' + names[i];
        if (FileDescriptor deep = openFolderWithoutLinks(folder.get(), within); deep.isOpen()) {
            folder = std::move(deep);
            host += '/' + within;
            next = names.size() - 1;
        }
    }
    int hops = 0;
    for (; next < names.size(); ++next) {
        std::string name = names[next];
        FileDescriptor entry(::openat(folder.get(), name.c_str(), EntryFlags));
        if (!entry.isOpen() && errno == ENOENT) {
            if (std::optional<std::string> found = matchingName(folder.get(), name)) {
                name = std::move(*found);
                entry = FileDescriptor(::openat(folder.get(), name.c_str(), EntryFlags));
            } else {
                errno = ENOENT;
            }
        }
        struct stat info {};
        int error = !entry.isOpen() || ::fstat(entry.get(), &info) != 0 ? errno : 0;
        if (error == 0 && S_ISLNK(info.st_mode)) {
            FileDescriptor linkFolder = duplicate(folder.get());
            error = follow(linkFolder, entry, info, hops);
        }
        host += '/' + name;
        const bool isLast = next + 1 == names.size();
        if (isLast) {
            place.folder = std::move(folder);
            place.name = std::move(name);
            place.error = error;
            if (error == 0) {
                place.object = std::move(entry);
                place.info = info;
            }
            return finish(names.size());
        }
        if (error == 0 && !S_ISDIR(info.st_mode))
            error = ENOTDIR;
        if (error != 0) {
            place.error = error;
            return finish(next + 1);
        }
        folder = std::move(entry);
    }
    return finish(names.size());
}

HostPlace placeOfHostPath(const fs::path& host) {
    HostPlace place;
    place.host = host;
    if (!host.has_relative_path()) {
        place.object = FileDescriptor(::open(host.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!place.exists() || ::fstat(place.object.get(), &place.info) != 0)
            place.error = errno;
        return place;
    }
    place.folder =
        FileDescriptor(::open(host.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!place.folder.isOpen()) {
        place.error = errno;
        return place;
    }
    place.name = host.filename().string();
    place.object =
        FileDescriptor(::openat(place.folder.get(), place.name.c_str(), O_PATH | O_CLOEXEC));
    if (!place.exists() || ::fstat(place.object.get(), &place.info) != 0) {
        place.error = errno;
        place.object = FileDescriptor();
    }
    return place;
}

std::optional<struct stat> statusOfEntry(int folder, const char* name) {
    struct stat info {};
    // One call for what is no link, as most entries are not.
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    if (!S_ISLNK(info.st_mode))
        return info;
    FileDescriptor entry(::openat(folder, name, EntryFlags));
    if (!entry.isOpen() || ::fstat(entry.get(), &info) != 0)
        return std::nullopt;
    FileDescriptor linkFolder = duplicate(folder);
    int hops = 0;
    if (follow(linkFolder, entry, info, hops) != 0)
        return std::nullopt;
    return info;
}

void syncFolder(int folder) {
    FileDescriptor opened(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (opened.isOpen())
        ::fsync(opened.get());
}

} // namespace kor::platform
