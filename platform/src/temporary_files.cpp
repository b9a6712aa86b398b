// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/temporary_files.h"

#include "host_places.h"
#include "platform/host_files.h"
#include "platform/text.h"

#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace kor::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view NamePrefix = "~KOR";
constexpr std::string_view NameExtension = ".TMP";
constexpr std::string_view NameCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::size_t NameDrawnLength = 4;
constexpr int MaximumNameAttempts = 200;

// When this process began, as far as its temporary files can tell: anything
// of ours made since carries a later time.
const fs::file_time_type ProcessStart = fs::file_time_type::clock::now();

std::string drawName() {
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, NameCharacters.size() - 1);
    std::string name(NamePrefix);
    for (std::size_t i = 0; i < NameDrawnLength; ++i)
        name += NameCharacters[pick(generator)];
    name += NameExtension;
    return name;
}

enum class Kind { File, Folder };

// A lock that nobody else holds; false when another process holds one.
bool lockExclusively(int descriptor) {
    return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    const char separator = path.starts_with('/') ? '/' : '\\';
    if (path.empty() || path.back() != separator)
        path += separator;
    return path + std::string(name);
}

// A listing of an open folder, on a copy of its descriptor that the listing
// owns once it exists; closed with the listing, and at once when none opens.
DIR* listingOf(int folder) {
    FileDescriptor copy(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    DIR* listing = copy.isOpen() ? ::fdopendir(copy.get()) : nullptr;
    if (listing != nullptr)
        copy.release();
    return listing;
}

// Empties an open folder, and every folder in it, without following a link:
// what an extraction left there, and nothing a link leads to.
void removeEverythingIn(int folder) {
    DIR* listing = listingOf(folder);
    if (listing == nullptr)
        return;
    ::rewinddir(listing);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(listing);
    for (const std::string& name : names) {
        if (::unlinkat(folder, name.c_str(), 0) == 0 || (errno != EISDIR && errno != EPERM))
            continue;
        FileDescriptor inner(
            ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (inner.isOpen())
            removeEverythingIn(inner.get());
        ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
    }
}

} // namespace

// A temporary file or folder of this process, locked from its creation until
// it is removed or committed. In a disk image a file is kept in memory until
// it is committed, and the run's claim on the image stands for the lock. On
// the host it is named by its name in the folder it was made in, held open.
struct HeldTemporary {
    std::string path;
    FileDescriptor folder;
    std::string name;
    std::shared_ptr<Drive> image;
    Kind kind = Kind::File;
    FileDescriptor descriptor;
    bool removeAtEnd = true;

    ~HeldTemporary() {
        if (!removeAtEnd)
            return;
        if (image) {
            static_cast<void>(image->removeFolder(Operation::Delete, path));
            return;
        }
        if (kind == Kind::Folder && descriptor.isOpen())
            removeEverythingIn(descriptor.get());
        ::unlinkat(folder.get(), name.c_str(), kind == Kind::Folder ? AT_REMOVEDIR : 0);
    }
};

namespace {

Result<std::unique_ptr<HeldTemporary>> createHeldInImage(const Location& folder, Kind kind) {
    Drive& image = *folder.image;
    const std::optional<FolderEntry> found =
        KOR_TRY(image.find(Operation::CreateFileIn, folder.windowsPath));
    if (!found || !found->directory)
        return Error(Operation::CreateFileIn, folder.windowsPath, ENOTDIR, "no such directory");
    KOR_TRY(image.claim(Operation::CreateFileIn, folder.windowsPath));
    auto held = std::make_unique<HeldTemporary>();
    held->image = folder.image;
    held->kind = kind;
    held->path = KOR_TRY(image.freeTemporaryPath(Operation::CreateFileIn, folder.windowsPath));
    if (kind == Kind::Folder) {
        held->removeAtEnd = false;
        KOR_TRY(image.makeDirectory(Operation::CreateFileIn, held->path));
        held->removeAtEnd = true;
        return held;
    }
    held->removeAtEnd = false;
    held->descriptor = FileDescriptor(::memfd_create("kor-temporary", MFD_CLOEXEC));
    if (!held->descriptor.isOpen())
        return Error(Operation::CreateFileIn, folder.windowsPath, errno);
    return held;
}

Result<std::unique_ptr<HeldTemporary>> createHeld(std::string_view directory, Kind kind) {
    const Location folder = KOR_TRY(locate(Operation::CreateFileIn, directory));
    if (folder.image)
        return createHeldInImage(folder, kind);
    // Made in the folder as it was found, whatever its path leads to by now.
    const int within = folder.place.object.get();
    if (!folder.place.exists())
        return Error(Operation::CreateFileIn, folder.windowsPath, folder.place.error);
    for (int attempt = 0; attempt < MaximumNameAttempts; ++attempt) {
        const std::string name = drawName();
        auto held = std::make_unique<HeldTemporary>();
        held->path = joinPath(folder.windowsPath, name);
        held->folder = FileDescriptor(::fcntl(within, F_DUPFD_CLOEXEC, 0));
        held->name = name;
        held->kind = kind;
        // Created exclusively, so that two runs at once never share a name.
        if (kind == Kind::File) {
            held->descriptor = FileDescriptor(::openat(
                within, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        } else if (::mkdirat(within, name.c_str(), 0777) == 0) {
            held->descriptor = FileDescriptor(
                ::openat(within, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            // Gone already: another run's clean-up took it in that moment.
            if (!held->descriptor.isOpen() && errno == ENOENT) {
                held->removeAtEnd = false;
                continue;
            }
            if (!held->descriptor.isOpen()) {
                const int error = errno;
                ::unlinkat(within, name.c_str(), AT_REMOVEDIR);
                held->removeAtEnd = false;
                return Error(Operation::CreateFileIn, folder.windowsPath, error);
            }
        }
        if (!held->descriptor.isOpen()) {
            held->removeAtEnd = false;
            if (errno == EEXIST)
                continue;
            return Error(Operation::CreateFileIn, folder.windowsPath, errno);
        }
        // Another run's clean-up may have taken the name for a stale one in the
        // moment before the lock: then it is gone, and another name is drawn. On
        // a file system without locks no clean-up can take a lock either, and
        // none removes anything.
        struct stat created {};
        if (::flock(held->descriptor.get(), LOCK_EX) == 0 &&
            ::fstat(held->descriptor.get(), &created) == 0 && created.st_nlink == 0) {
            held->removeAtEnd = false;
            continue;
        }
        return held;
    }
    return Error(Operation::CreateFileIn, folder.windowsPath, EEXIST, "no free temporary name");
}

} // namespace

Result<TemporaryFile> TemporaryFile::create(std::string_view directory) {
    Result<std::unique_ptr<HeldTemporary>> held = createHeld(directory, Kind::File);
    if (!held)
        return held.error();
    return TemporaryFile(std::move(held).value());
}

TemporaryFile::TemporaryFile(std::unique_ptr<HeldTemporary> held) : m_held(std::move(held)) {}
TemporaryFile::TemporaryFile(TemporaryFile&&) noexcept = default;
TemporaryFile& TemporaryFile::operator=(TemporaryFile&&) noexcept = default;
TemporaryFile::~TemporaryFile() = default;

const std::string& TemporaryFile::path() const {
    return m_held->path;
}

int TemporaryFile::descriptor() const {
    return m_held->descriptor.get();
}

Status TemporaryFile::write(std::string_view bytes) {
    if (const int error = writeAll(descriptor(), bytes))
        return Error(Operation::Write, m_held->path, error);
    return {};
}

void TemporaryFile::setModificationTime(std::int64_t unixSeconds) {
    const timespec times[2] = {{.tv_sec = 0, .tv_nsec = UTIME_OMIT},
                               {.tv_sec = static_cast<time_t>(unixSeconds), .tv_nsec = 0}};
    ::futimens(descriptor(), times);
}

Status TemporaryFile::commitAs(std::string_view target, Replace replace) {
    const Location destination = KOR_TRY(locate(Operation::Move, target));
    const auto failed = [&](int code, std::string detail = {}) {
        return Error(Operation::Move, m_held->path, destination.windowsPath, code,
                     std::move(detail));
    };
    if (destination.image != m_held->image)
        return failed(EXDEV, "the new name is on another drive");
    if (m_held->image) {
        KOR_TRY(m_held->image->storeAs(Operation::Move, descriptor(), destination.windowsPath,
                                       replace == Replace::Yes ? Overwrite::Yes : Overwrite::No));
        m_held->descriptor.close();
        return {};
    }
    const HostPlace& place = destination.place;
    if (!place.folder.isOpen())
        return failed(place.folderError());
    if (replace == Replace::Yes) {
        if (place.isReadOnly())
            return failed(EACCES, std::string(ReadOnlyDetail));
        if (place.exists())
            ::fchmod(descriptor(), place.info.st_mode & 07777);
    }
    if (::fsync(descriptor()) != 0)
        return failed(errno);
    const int from = m_held->folder.get();
    const char* name = m_held->name.c_str();
    const int renamed =
        replace == Replace::Yes
            ? ::renameat(from, name, place.folder.get(), place.name.c_str())
            : ::renameat2(from, name, place.folder.get(), place.name.c_str(), RENAME_NOREPLACE);
    if (renamed != 0) {
        if (replace == Replace::Yes || (errno != EINVAL && errno != ENOSYS))
            return failed(errno);
        // A file system without RENAME_NOREPLACE: a hard link refuses an
        // existing name just as well.
        if (::linkat(from, name, place.folder.get(), place.name.c_str(), 0) != 0)
            return failed(errno);
    }
    m_held->removeAtEnd = replace == Replace::No && renamed != 0;
    // The data are on the disk and the name is given: a failing close can no
    // longer take anything back, so it does not turn the result into a failure.
    m_held->descriptor.close();
    syncFolder(place.folder.get());
    return {};
}

Result<TemporaryFolder> TemporaryFolder::create(std::string_view directory) {
    Result<std::unique_ptr<HeldTemporary>> held = createHeld(directory, Kind::Folder);
    if (!held)
        return held.error();
    return TemporaryFolder(std::move(held).value());
}

TemporaryFolder::TemporaryFolder(std::unique_ptr<HeldTemporary> held) : m_held(std::move(held)) {}
TemporaryFolder::TemporaryFolder(TemporaryFolder&&) noexcept = default;
TemporaryFolder& TemporaryFolder::operator=(TemporaryFolder&&) noexcept = default;
TemporaryFolder::~TemporaryFolder() = default;

const std::string& TemporaryFolder::path() const {
    return m_held->path;
}

namespace {

// Whether the entry `name` of `folder` still names the file opened as `opened`.
bool stillNames(int folder, const char* name, const struct stat& opened) {
    struct stat named {};
    return ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// Empties a stale temporary folder through its open descriptor: it holds
// regular files only, as an extraction leaves them. Anything else in it means
// it is no folder of ours, and it is left alone.
bool removeFilesOf(int folderDescriptor) {
    DIR* listing = listingOf(folderDescriptor);
    if (listing == nullptr)
        return false;
    std::vector<std::string> files;
    bool onlyFiles = true;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        if (::fstatat(folderDescriptor, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode))
            onlyFiles = false;
        files.emplace_back(name);
    }
    ::closedir(listing);
    if (!onlyFiles)
        return false;
    for (const std::string& file : files)
        ::unlinkat(folderDescriptor, file.c_str(), 0);
    return true;
}

// Removes one temporary file or folder of ours that a run which died left:
// one of this user's, older than this process, that nobody holds.
void removeIfStale(int folder, const char* name) {
    FileDescriptor held(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!held.isOpen() || ::fstat(held.get(), &info) != 0 || info.st_uid != ::geteuid())
        return;
    const bool isFolder = S_ISDIR(info.st_mode);
    if (!(isFolder || S_ISREG(info.st_mode)))
        return;
    const auto modified = fs::file_time_type::clock::from_sys(
        std::chrono::system_clock::time_point(std::chrono::seconds(info.st_mtim.tv_sec) +
                                              std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
    // A live run still holds it; a younger one may be another run's, made
    // since this process began.
    if (modified >= ProcessStart || !lockExclusively(held.get()) || !stillNames(folder, name, info))
        return;
    if (!isFolder)
        ::unlinkat(folder, name, 0);
    else if (removeFilesOf(held.get()))
        ::unlinkat(folder, name, AT_REMOVEDIR);
}

} // namespace

std::string drawTemporaryName() {
    return drawName();
}

bool isTemporaryName(std::string_view name) {
    if (name.size() != NamePrefix.size() + NameDrawnLength + NameExtension.size() ||
        !equalsIgnoringAsciiCase(name.substr(0, NamePrefix.size()), NamePrefix) ||
        !equalsIgnoringAsciiCase(name.substr(name.size() - NameExtension.size()), NameExtension))
        return false;
    const std::string drawn = upperAscii(name.substr(NamePrefix.size(), NameDrawnLength));
    return drawn.find_first_not_of(NameCharacters) == std::string::npos;
}

void removeStaleTemporaries(std::string_view directory) {
    Result<Location> folder = locate(Operation::List, directory);
    if (!folder)
        return;
    if (folder.value().image) {
        folder.value().image->removeStaleTemporaries(folder.value().windowsPath);
        return;
    }
    FileDescriptor opened = folder.value().place.open(O_RDONLY | O_DIRECTORY);
    DIR* listing = opened.isOpen() ? listingOf(opened.get()) : nullptr;
    if (listing == nullptr)
        return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing))
        if (isTemporaryName(entry->d_name))
            names.emplace_back(entry->d_name);
    ::closedir(listing);
    for (const std::string& name : names)
        removeIfStale(opened.get(), name.c_str());
}

} // namespace kor::platform
