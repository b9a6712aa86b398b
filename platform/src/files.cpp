// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include "host_places.h"
#include "platform/host_files.h"
#include "platform/machine.h"
#include "platform/temporary_files.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <linux/msdos_fs.h>
#include <memory>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <system_error>

namespace kor::platform {

namespace fs = std::filesystem;

namespace {

// A size for reading and copying in steps.
constexpr std::size_t ChunkSize = 64 * 1024;

} // namespace

int writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

namespace {

// Reads from `descriptor` until its end, handing each piece to `consume`,
// which returns an errno or 0; the first failure, or 0.
int readAll(int descriptor, const std::function<int(std::string_view)>& consume) {
    std::array<char, ChunkSize> buffer;
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (count == 0)
            return 0;
        if (const int error =
                consume(std::string_view(buffer.data(), static_cast<std::size_t>(count))))
            return error;
    }
}

// After a rename between two folders, both have changed.
void syncFoldersOf(const HostPlace& from, const HostPlace& to) {
    syncFolder(to.folder.get());
    struct stat fromFolder {};
    struct stat toFolder {};
    if (::fstat(from.folder.get(), &fromFolder) != 0 || ::fstat(to.folder.get(), &toFolder) != 0 ||
        fromFolder.st_ino != toFolder.st_ino || fromFolder.st_dev != toFolder.st_dev)
        syncFolder(from.folder.get());
}

} // namespace

Result<Location> locate(Operation operation, std::string_view path) {
    const Machine& machine = Machine::current();
    Result<std::string> full = machine.fullPath(path);
    if (!full)
        return Error(operation, std::string(path), full.error().code(), full.error().detail());
    if (!full.value().starts_with('/')) {
        Result<std::shared_ptr<Drive>> image = machine.imageDrive(full.value().front());
        // An image that cannot be used says why in its own words.
        if (!image && image.error().operation() == Operation::OpenImage)
            return image.error();
        if (image && image.value())
            return Location{std::move(full).value(), HostPlace(), std::move(image).value()};
    }
    Result<HostPlace> place = hostPlace(machine, full.value());
    if (!place)
        return Error(operation, full.value(), place.error().code(), place.error().detail());
    return Location{std::move(full).value(), std::move(place).value(), nullptr};
}

namespace {

// The two places of an operation between files, ready to report its failure;
// `destination` stays empty for an operation on one file.
struct Failure {
    Operation operation;
    std::string path;
    std::string destination;

    Error operator()(int code, std::string detail = {}) const {
        return Error(operation, path, destination, code, std::move(detail));
    }
    Error operator()(const Error& cause) const {
        return cause.retold(operation, path, destination);
    }
};

// Fills a new temporary file beside the destination through `fill` (an errno
// or 0) and gives it the destination's name only once it is complete, so that
// a crash or a full disk never leaves a half-written file under that name.
Status writeThroughTemporaryFile(const Location& destination, const Failure& failed,
                                 TemporaryFile::Replace replace,
                                 const std::function<int(int)>& fill) {
    Result<TemporaryFile> staged = TemporaryFile::create(parentFolder(destination.windowsPath));
    if (!staged)
        return failed(staged.error());
    if (const int error = fill(staged.value().descriptor()))
        return failed(error);
    if (Status committed = staged.value().commitAs(destination.windowsPath, replace); !committed)
        return failed(committed.error());
    return {};
}

bool isOnFatMount(int directory) {
    struct statfs info {};
    return ::fstatfs(directory, &info) == 0 && info.f_type == MSDOS_SUPER_MAGIC;
}

// Whether FAT marks the entry `name` of `folder` hidden or system. A file
// whose attributes cannot be read counts as a plain one.
bool hasHiddenOrSystemAttribute(int folder, const char* name) {
    FileDescriptor descriptor(
        ::openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    std::uint32_t attributes = 0;
    if (!descriptor.isOpen() ||
        ::ioctl(descriptor.get(), FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0)
        return false;
    return (attributes & (ATTR_HIDDEN | ATTR_SYS)) != 0;
}

enum class EntryKind { File, Directory };

unsigned char upperByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// Names in the order of their upper-case forms, names that differ only in
// case in byte order; compared in place, as a sort compares a name many times.
bool lessWithoutRegardToCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t i = 0;
    // Equal bytes are equal in any case: they are passed eight at a time, up
    // to the first byte that differs.
    for (std::uint64_t x = 0, y = 0; i + 8 <= common; i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little)
                i += static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
            break;
        }
    }
    for (; i < common; ++i) {
        const unsigned char x = upperByte(a[i]);
        const unsigned char y = upperByte(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// What a directory entry is: d_type where the file system gives it, else (and
// for a link, which counts as what it leads to where it may be followed) what
// stat says.
std::optional<EntryKind> kindOfEntry(int directory, const dirent& entry) {
    if (entry.d_type == DT_REG)
        return EntryKind::File;
    if (entry.d_type == DT_DIR)
        return EntryKind::Directory;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return std::nullopt;
    const std::optional<struct stat> status = statusOfEntry(directory, entry.d_name);
    if (!status)
        return std::nullopt;
    const struct stat& info = *status;
    if (S_ISREG(info.st_mode))
        return EntryKind::File;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Directory;
    return std::nullopt;
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

Result<NameList> listEntries(std::string_view directory, EntryKind kind, std::string_view pattern) {
    const Location location = KOR_TRY(locate(Operation::List, directory));
    NameList names;
    if (location.image) {
        for (const FolderEntry& entry :
             KOR_TRY(location.image->list(Operation::List, location.windowsPath))) {
            const bool kindMatches = entry.directory == (kind == EntryKind::Directory);
            if (kindMatches && !entry.hidden && !entry.name.starts_with('.') &&
                matchesWildcard(entry.name, pattern))
                names.add(entry.name);
        }
        names.sortWithoutRegardToCase();
        return names;
    }
    int error = 0;
    FileDescriptor opened = location.place.open(O_RDONLY | O_DIRECTORY);
    const std::unique_ptr<DIR, DirectoryCloser> folder(opened.isOpen() ? ::fdopendir(opened.get())
                                                                       : nullptr);
    if (!folder)
        error = errno;
    else
        opened.release();
    const bool onFat = folder && isOnFatMount(::dirfd(folder.get()));
    while (folder) {
        errno = 0;
        const dirent* entry = ::readdir(folder.get());
        if (entry == nullptr) {
            error = errno;
            break;
        }
        // Names that start with a dot ("." and ".." among them) are never
        // listed, in their host bytes as in CP932.
        if (entry->d_name[0] == '.' || kindOfEntry(::dirfd(folder.get()), *entry) != kind)
            continue;
        const std::string name = nameOfHostFile(entry->d_name);
        if (!matchesWildcard(name, pattern))
            continue;
        if (onFat && hasHiddenOrSystemAttribute(::dirfd(folder.get()), entry->d_name))
            continue;
        names.add(name);
    }
    // A folder that is not there is a path not found, as Windows reports it.
    if (error == ENOENT)
        return Error(Operation::List, location.windowsPath, ENOTDIR, "no such directory");
    if (error != 0)
        return Error(Operation::List, location.windowsPath, error);
    names.sortWithoutRegardToCase();
    return names;
}

// Matches from the start of both texts, a character at a time: '*' any run
// of characters, '?' exactly one, any other the same character, ASCII letters
// without regard to case. Neither '*' nor '?' can be the second byte of a
// CP932 character.
// One character each: a single byte without regard to ASCII case, a longer
// one byte for byte, so that a CP932 trail byte that looks like a letter is
// never folded.
bool sameCharacter(std::string_view a, std::string_view b) {
    return a.size() == 1 && b.size() == 1 ? equalsIgnoringAsciiCase(a, b) : a == b;
}

bool matchesGlob(std::string_view name, std::string_view pattern, TextEncoding encoding) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::optional<std::size_t> starPattern;
    std::size_t starName = 0;
    while (n < name.size()) {
        const std::size_t nameLength = characterLength(name, n, encoding);
        const std::size_t patternLength =
            p < pattern.size() ? characterLength(pattern, p, encoding) : 0;
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' ||
                    sameCharacter(pattern.substr(p, patternLength), name.substr(n, nameLength)))) {
            n += nameLength;
            p += patternLength;
        } else if (starPattern) {
            p = *starPattern;
            n = starName += characterLength(name, starName, encoding);
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::string parentFolder(std::string_view fullPath) {
    const char separator = fullPath.starts_with('/') ? '/' : '\\';
    const std::size_t last = fullPath.rfind(separator);
    if (last == std::string_view::npos)
        return std::string(fullPath);
    // A drive root keeps its backslash, the host root its slash.
    const bool isRoot = separator == '/' ? last == 0 : last == 2;
    return std::string(fullPath.substr(0, isRoot ? last + 1 : last));
}

namespace {

HostFile readWholeFile(const FileDescriptor& descriptor) {
    HostFile file;
    if (!descriptor.isOpen()) {
        file.error = errno;
        return file;
    }
    file.error = readAll(descriptor.get(), [&](std::string_view piece) {
        file.bytes.append(piece);
        return 0;
    });
    return file;
}

} // namespace

HostFile readHostFile(const fs::path& host) {
    return readWholeFile(FileDescriptor(::open(host.c_str(), O_RDONLY | O_CLOEXEC)));
}

Result<std::string> readLocatedFile(Operation operation, const Location& location) {
    HostFile file;
    if (location.image) {
        const FileDescriptor memory =
            KOR_TRY(location.image->readIntoMemory(operation, location.windowsPath));
        file.error = readAll(memory.get(), [&](std::string_view piece) {
            file.bytes.append(piece);
            return 0;
        });
    } else {
        file = readWholeFile(location.place.open(O_RDONLY));
    }
    if (file.error != 0)
        return Error(operation, location.windowsPath, file.error);
    return std::move(file.bytes);
}

Result<std::uint64_t> fileLength(std::string_view path) {
    const Location location = KOR_TRY(locate(Operation::MeasureLength, path));
    const Failure failed{Operation::MeasureLength, location.windowsPath, {}};
    if (location.image) {
        const std::optional<FolderEntry> entry =
            KOR_TRY(location.image->find(Operation::MeasureLength, location.windowsPath));
        if (!entry)
            return failed(ENOENT);
        if (entry->directory)
            return failed(EISDIR, "not a file");
        return entry->size;
    }
    const struct stat& info = location.place.info;
    if (!location.place.exists())
        return failed(location.place.error);
    if (!S_ISREG(info.st_mode))
        return failed(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, "not a file");
    return static_cast<std::uint64_t>(info.st_size);
}

Status copyFile(std::string_view from, std::string_view to, Overwrite overwrite) {
    const Location source = KOR_TRY(locate(Operation::Copy, from));
    Result<Location> destination = locate(Operation::Copy, to);
    if (!destination)
        return destination.error().retold(Operation::Copy, source.windowsPath, std::string(to));
    const Failure failed{Operation::Copy, source.windowsPath, destination.value().windowsPath};
    if (source.image && source.image == destination.value().image)
        return source.image->copy(Operation::Copy, source.windowsPath,
                                  destination.value().windowsPath, overwrite);
    FileDescriptor input =
        source.image ? KOR_TRY(source.image->readIntoMemory(Operation::Copy, source.windowsPath))
                     : source.place.open(O_RDONLY);
    struct stat info {};
    if (!input.isOpen() || ::fstat(input.get(), &info) != 0)
        return failed(errno);
    if (!S_ISREG(info.st_mode))
        return failed(S_ISDIR(info.st_mode) ? EISDIR : EINVAL,
                      source.windowsPath + " is not a file");
    // Staged and renamed, so that a failed copy leaves the old destination as
    // it was, and copying a file onto itself cannot empty it.
    const auto replace =
        overwrite == Overwrite::Yes ? TemporaryFile::Replace::Yes : TemporaryFile::Replace::No;
    return writeThroughTemporaryFile(destination.value(), failed, replace, [&](int output) {
        const int error =
            readAll(input.get(), [&](std::string_view piece) { return writeAll(output, piece); });
        const std::array<timespec, 2> times{info.st_atim, info.st_mtim};
        ::futimens(output, times.data());
        return error;
    });
}

bool isReadOnlyRefusal(const Error& error) {
    return error.code() == EACCES && error.detail() == ReadOnlyDetail;
}

Status deleteFile(std::string_view path) {
    const Location location = KOR_TRY(locate(Operation::Delete, path));
    const Failure failed{Operation::Delete, location.windowsPath, {}};
    if (location.image)
        return location.image->remove(Operation::Delete, location.windowsPath);
    const HostPlace& place = location.place;
    if (!place.folder.isOpen())
        return failed(place.folderError());
    // A link that may not be followed counts as absent.
    if (!place.exists())
        return failed(place.error);
    if (place.isReadOnly())
        return failed(EACCES, std::string(ReadOnlyDetail));
    if (::unlinkat(place.folder.get(), place.name.c_str(), 0) != 0)
        return failed(errno);
    return {};
}

Status renameFile(std::string_view from, std::string_view to) {
    const Location source = KOR_TRY(locate(Operation::Rename, from));
    Result<Location> destination = locate(Operation::Rename, to);
    if (!destination)
        return destination.error().retold(Operation::Rename, source.windowsPath, std::string(to));
    const Failure failed{Operation::Rename, source.windowsPath, destination.value().windowsPath};
    // The drive letter, or "/" for two host paths outside every drive.
    if (source.windowsPath.front() != destination.value().windowsPath.front())
        return failed(EXDEV, "the new name is on another drive");
    if (source.image)
        return source.image->rename(Operation::Rename, source.windowsPath,
                                    destination.value().windowsPath, Overwrite::No);
    const HostPlace& oldPlace = source.place;
    const HostPlace& newPlace = destination.value().place;
    if (const int error = oldPlace.folderError() ? oldPlace.folderError() : newPlace.folderError())
        return failed(error);
    if (!oldPlace.exists())
        return failed(oldPlace.error);
    const int oldFolder = oldPlace.folder.get();
    const int newFolder = newPlace.folder.get();
    if (::renameat2(oldFolder, oldPlace.name.c_str(), newFolder, newPlace.name.c_str(),
                    RENAME_NOREPLACE) == 0) {
        syncFoldersOf(oldPlace, newPlace);
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS)
        return failed(errno);
    // A file system without RENAME_NOREPLACE: a hard link refuses an existing
    // name just as well.
    if (::linkat(oldFolder, oldPlace.name.c_str(), newFolder, newPlace.name.c_str(), 0) != 0)
        return failed(errno);
    if (::unlinkat(oldFolder, oldPlace.name.c_str(), 0) != 0) {
        const int error = errno;
        ::unlinkat(newFolder, newPlace.name.c_str(), 0);
        return failed(error);
    }
    syncFoldersOf(oldPlace, newPlace);
    return {};
}

Status replaceFile(std::string_view from, std::string_view to) {
    const Location source = KOR_TRY(locate(Operation::Move, from));
    Result<Location> destination = locate(Operation::Move, to);
    if (!destination)
        return destination.error().retold(Operation::Move, source.windowsPath, std::string(to));
    const Failure failed{Operation::Move, source.windowsPath, destination.value().windowsPath};
    if (source.image != destination.value().image)
        return failed(EXDEV, "the new name is on another drive");
    if (source.image)
        return source.image->rename(Operation::Move, source.windowsPath,
                                    destination.value().windowsPath, Overwrite::Yes);
    const HostPlace& oldPlace = source.place;
    const HostPlace& newPlace = destination.value().place;
    if (const int error = oldPlace.folderError() ? oldPlace.folderError() : newPlace.folderError())
        return failed(error);
    if (!oldPlace.exists())
        return failed(oldPlace.error);
    if (newPlace.isReadOnly())
        return failed(EACCES, std::string(ReadOnlyDetail));
    if (::renameat(oldPlace.folder.get(), oldPlace.name.c_str(), newPlace.folder.get(),
                   newPlace.name.c_str()) != 0)
        return failed(errno);
    syncFoldersOf(oldPlace, newPlace);
    return {};
}

Status writeFileAtomically(std::string_view path, std::string_view bytes) {
    const Location location = KOR_TRY(locate(Operation::Write, path));
    return writeThroughTemporaryFile(location, Failure{Operation::Write, location.windowsPath, {}},
                                     TemporaryFile::Replace::Yes,
                                     [&](int output) { return writeAll(output, bytes); });
}

Status checkWritable(std::string_view path) {
    const Location location = KOR_TRY(locate(Operation::Write, path));
    if (location.image)
        return location.image->checkWritable(Operation::Write, location.windowsPath);
    return {};
}

Result<std::string> readFile(std::string_view path) {
    const Location location = KOR_TRY(locate(Operation::Read, path));
    return readLocatedFile(Operation::Read, location);
}

Result<FileVersion> fileVersion(std::string_view path) {
    const Location location = KOR_TRY(locate(Operation::Find, path));
    if (location.image)
        return location.image->version(Operation::Find, location.windowsPath);
    const Failure failed{Operation::Find, location.windowsPath, {}};
    if (!location.place.exists())
        return failed(location.place.error);
    const struct stat& info = location.place.info;
    if (!S_ISREG(info.st_mode))
        return failed(EISDIR, "not a file");
    return FileVersion{location.windowsPath,
                       info.st_dev,
                       info.st_ino,
                       static_cast<std::uint64_t>(info.st_size),
                       info.st_mtim.tv_sec * 1'000'000'000 + info.st_mtim.tv_nsec,
                       info.st_ctim.tv_sec * 1'000'000'000 + info.st_ctim.tv_nsec};
}

Result<int> openFileForReading(std::string_view path) {
    const Location location = KOR_TRY(locate(Operation::Read, path));
    if (location.image) {
        FileDescriptor memory =
            KOR_TRY(location.image->readIntoMemory(Operation::Read, location.windowsPath));
        return memory.release();
    }
    FileDescriptor opened = location.place.open(O_RDONLY);
    if (!opened.isOpen())
        return Error(Operation::Read, location.windowsPath, errno);
    return opened.release();
}

Status createDirectory(std::string_view path) {
    const Location location = KOR_TRY(locate(Operation::CreateDirectory, path));
    if (location.image)
        return location.image->makeDirectory(Operation::CreateDirectory, location.windowsPath);
    const HostPlace& place = location.place;
    if (!place.folder.isOpen())
        return Error(Operation::CreateDirectory, location.windowsPath, place.folderError());
    if (::mkdirat(place.folder.get(), place.name.c_str(), 0777) != 0)
        return Error(Operation::CreateDirectory, location.windowsPath, errno);
    return {};
}

namespace {

// What is at a path: a file, a directory, or nothing; or why the place
// cannot be looked at.
Result<std::optional<EntryKind>> kindAt(std::string_view path) {
    const Location location = KOR_TRY(locate(Operation::Find, path));
    if (location.image) {
        const std::optional<FolderEntry> entry =
            KOR_TRY(location.image->find(Operation::Find, location.windowsPath));
        if (!entry)
            return std::optional<EntryKind>();
        return std::optional(entry->directory ? EntryKind::Directory : EntryKind::File);
    }
    if (location.place.isFile())
        return std::optional(EntryKind::File);
    if (location.place.isDirectory())
        return std::optional(EntryKind::Directory);
    // A folder on the way that may not be searched hides what lies below it:
    // that is no missing path.
    if (location.place.error == EACCES)
        return Error(Operation::Find, location.windowsPath, EACCES);
    return std::optional<EntryKind>();
}

} // namespace

bool fileExists(std::string_view path) {
    return kindAt(path).valueOr(std::nullopt) == EntryKind::File;
}

bool directoryExists(std::string_view path) {
    return kindAt(path).valueOr(std::nullopt) == EntryKind::Directory;
}

Status findDirectory(std::string_view path) {
    if (KOR_TRY(kindAt(path)) != EntryKind::Directory)
        return Error(Operation::Find, Machine::current().fullPath(path).valueOr(std::string(path)),
                     ENOTDIR, "path not found");
    return {};
}

bool matchesWildcard(std::string_view name, std::string_view pattern, TextEncoding encoding) {
    // What every listing asks: these match every name, by the rules below.
    if (pattern == "*.*" || pattern == "*")
        return true;
    if (matchesGlob(name, pattern, encoding))
        return true;
    // As on Windows, "X.*" also matches a name without a dot that matches X
    // ("*.*" matches every name), and "X." matches only names without a dot.
    if (pattern.ends_with(".*"))
        return name.find('.') == std::string_view::npos &&
               matchesGlob(name, pattern.substr(0, pattern.size() - 2), encoding);
    if (pattern.ends_with('.'))
        return name.find('.') == std::string_view::npos &&
               matchesGlob(name, pattern.substr(0, pattern.size() - 1), encoding);
    return false;
}

std::vector<std::string> NameList::toVector() const {
    std::vector<std::string> names;
    names.reserve(size());
    for (std::size_t index = 0; index < size(); ++index)
        names.emplace_back((*this)[index]);
    return names;
}

void NameList::add(std::string_view name) {
    m_order.push_back(static_cast<std::uint32_t>(m_names.size()));
    m_names.push_back(name);
}

void NameList::sortWithoutRegardToCase() {
    std::sort(m_order.begin(), m_order.end(), [this](std::uint32_t a, std::uint32_t b) {
        return lessWithoutRegardToCase(read(a), read(b));
    });
}

Result<NameList> listFileNames(std::string_view directory, std::string_view pattern) {
    return listEntries(directory, EntryKind::File, pattern);
}

Result<std::vector<std::string>> listFiles(std::string_view directory, std::string_view pattern) {
    return KOR_TRY(listEntries(directory, EntryKind::File, pattern)).toVector();
}

Result<std::vector<std::string>> listDirectories(std::string_view directory) {
    return KOR_TRY(listEntries(directory, EntryKind::Directory, "*")).toVector();
}

std::string environmentDirectory(std::string_view variable) {
    const char* value = std::getenv(std::string(variable).c_str());
    if (!value || !*value)
        return {};
    const Machine& machine = Machine::current();
    Result<std::string> full = machine.fullPath(value);
    if (!full)
        return {};
    // A host path that lies on a drive is named as Windows would name it.
    if (full.value().starts_with('/'))
        if (Result<std::string> windows = machine.windowsPath(full.value()))
            return std::move(windows).value();
    return std::move(full).value();
}

} // namespace kor::platform
