// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/machine.h"

#include "host_places.h"
#include "platform/host_files.h"
#include "platform/text.h"

#include "language/translation.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kor::platform {
namespace {

namespace fs = std::filesystem;

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char upperLetter(char c) {
    return upperAscii(std::string_view(&c, 1)).front();
}

char lowerLetter(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string driveRoot(char drive) {
    return std::string{drive, ':', '\\'};
}

// The components of a path below its drive, split at backslashes (or at
// `separator`).
std::vector<std::string> splitComponents(std::string_view text, char separator = '\\') {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            components.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

// Folds "." and ".." into `base` as Windows does, stopping at the drive root
// (or the host's root).
void appendFolded(std::vector<std::string>& base, const std::vector<std::string>& components) {
    for (const std::string& component : components) {
        if (component == ".")
            continue;
        if (component == "..") {
            if (!base.empty())
                base.pop_back();
            continue;
        }
        base.push_back(component);
    }
}

std::string joinPath(char drive, const std::vector<std::string>& components) {
    std::string path = driveRoot(drive);
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0)
            path += '\\';
        path += components[i];
    }
    return path;
}

// An absolute host path such as a TMP outside every drive ("/tmp\\$$$LHA32.$$$"):
// its separators made "/", "." and ".." folded without looking at the disk.
std::string normalizedHostPath(std::string_view path) {
    std::string text(path);
    std::replace(text.begin(), text.end(), '\\', '/');
    std::vector<std::string> components;
    appendFolded(components, splitComponents(text, '/'));
    std::string normalized;
    for (const std::string& component : components)
        normalized += "/" + component;
    return normalized.empty() ? "/" : normalized;
}

bool isHostPath(std::string_view fullPath) {
    return fullPath.starts_with('/');
}

// Windows 95 holds a full path (drive, folders and file name) in MAX_PATH bytes
// of its code page, the terminating NUL included; a longer one names nothing a
// real machine could hold. Refusing it early also bounds the work of resolving
// it on the host.
constexpr std::size_t WindowsMaxPath = 260;
// A host path (TMP outside the drives) is bounded by the host's own limit.
constexpr std::size_t HostMaxPath = 4096;

Status checkFullPathLength(std::string_view original, const std::string& full) {
    if (isHostPath(full)) {
        if (full.size() < HostMaxPath)
            return {};
        return Error(Operation::Find, shortenedForReport(original), ENAMETOOLONG,
                     "the host path is longer than " + std::to_string(HostMaxPath - 1) + " bytes");
    }
    // CP932 never takes more bytes than UTF-8 for the same text, so only a long
    // path needs encoding; text CP932 cannot hold is measured as it stands.
    std::size_t length = full.size();
    if (length >= WindowsMaxPath) {
        if (Result<std::string> encoded = toCp932(full))
            length = encoded.value().size();
    }
    if (length < WindowsMaxPath)
        return {};
    return Error(Operation::Find, shortenedForReport(original), ENAMETOOLONG,
                 "the full path takes " + std::to_string(length) +
                     " bytes; Windows holds at most " + std::to_string(WindowsMaxPath - 1));
}

// What maps a drive in a folder of drives: the entry of the root named by its
// letter, a folder or a disk image file (or a link to either), the lower case
// one first when a case-sensitive host holds both.
std::optional<MappedDrive> rootEntry(const fs::path& root, char letter) {
    if (!isAsciiLetter(letter))
        return std::nullopt;
    for (char name : {lowerLetter(letter), upperLetter(letter)}) {
        fs::path entry = root / std::string(1, name);
        std::error_code error;
        const fs::file_status status = fs::status(entry, error);
        if (fs::is_directory(status))
            return MappedDrive{std::move(entry)};
        // A disk itself counts as an image, which is refused with the reason
        // (see imageDrive).
        if (fs::is_regular_file(status) || fs::is_block_file(status))
            return MappedDrive{std::move(entry), true};
    }
    return std::nullopt;
}

std::optional<fs::path> driveFolder(const Machine& machine, char letter) {
    std::optional<MappedDrive> entry = machine.mappedDrive(letter);
    if (!entry || entry->image)
        return std::nullopt;
    return std::move(entry->host);
}

// The opener of disk image drives that the program gave, shared by every
// machine of the process (tests replace the machine, not the program).
DriveOpener& imageOpener() {
    static DriveOpener opener;
    return opener;
}

// The partition of a drive's image that a file beside it ("c.partition") or
// an environment variable (KOR_PARTITION_C) names; 0 for the one Windows
// 95 makes C: on that disk.
Result<unsigned> partitionOfImage(const fs::path& root, char letter) {
    std::string text;
    const std::string variable = std::string("KOR_PARTITION_") + upperLetter(letter);
    if (const char* value = std::getenv(variable.c_str()); value && *value)
        text = value;
    for (char name : {lowerLetter(letter), upperLetter(letter)}) {
        const HostFile file = readHostFile(root / (std::string(1, name) + ".partition"));
        if (text.empty() && file.error == 0)
            text = file.bytes;
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty())
        return 0u;
    if (text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(text) == 0)
        return Error(Operation::OpenImage, std::string{upperLetter(letter), ':'}, EINVAL,
                     "the partition number \"" + text + "\" is not a number from 1")
            .withUserReason(language::fill(
                language::translate("platform", "ﾊﾟｰﾃｨｼｮﾝ番号 \"{1}\" が正しくありません"),
                {text}));
    return static_cast<unsigned>(std::stoul(text));
}

fs::path defaultRoot() {
    // Made absolute at once: the working folder follows the current drive
    // from then on, and a relative root would then name another folder.
    if (const char* root = std::getenv("KOR_ROOT"); root && *root) {
        std::error_code error;
        const fs::path absolute = fs::absolute(root, error);
        return error ? fs::path(root) : absolute;
    }
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".kor";
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir)
        return fs::path(user->pw_dir) / ".kor";
    return ".kor";
}

std::string defaultWindowsDirectory() {
    if (const char* windows = std::getenv("WINDIR"); windows && *windows)
        return windows;
    return "C:\\WINDOWS";
}

std::optional<Machine>& machineOfThisProcess() {
    static std::optional<Machine> machine;
    return machine;
}

// Why a place is no directory to stand in: behind a folder that may not be
// searched it is denied, as a lookup says; otherwise there is no such folder.
Error noDirectoryAt(const std::string& path, const HostPlace& place) {
    if (place.error == EACCES)
        return Error(Operation::ChangeDirectory, path, EACCES);
    return Error(Operation::ChangeDirectory, path, ENOTDIR, "no such directory");
}

} // namespace

Machine::Machine(fs::path root, std::string windowsDirectory) : m_root(std::move(root)) {
    setWindowsDirectory(std::move(windowsDirectory));
}

Machine::Machine(fs::path root, const std::map<char, MappedDrive>& drives,
                 std::string windowsDirectory)
    : m_root(std::move(root)), m_describedDrives(std::map<char, MappedDrive>()) {
    for (const auto& [letter, drive] : drives)
        if (isAsciiLetter(letter))
            (*m_describedDrives)[upperLetter(letter)] = drive;
    setWindowsDirectory(std::move(windowsDirectory));
}

void Machine::setWindowsDirectory(std::string windowsDirectory) {
    // A Windows directory given without a drive, or with forward slashes, is
    // made a full path on drive C: like any other path; a leading "/" here
    // means the root of that drive, never a host path.
    std::string given = windowsDirectory;
    std::replace(windowsDirectory.begin(), windowsDirectory.end(), '/', '\\');
    Result<std::string> full = fullPath(windowsDirectory);
    m_windowsDirectoryStatus = {};
    if (!full)
        m_windowsDirectoryStatus =
            full.error().retold(Operation::UseWindowsDirectory, std::move(given));
    m_windowsDirectory = full.valueOr("C:\\WINDOWS");
    m_currentDrive = m_windowsDirectory.front();
}

Machine Machine::folderOfDrives() {
    return Machine(defaultRoot(), defaultWindowsDirectory());
}

Machine& Machine::current() {
    std::optional<Machine>& machine = machineOfThisProcess();
    if (!machine)
        machine.emplace(folderOfDrives());
    return *machine;
}

void Machine::setCurrent(Machine machine) {
    machineOfThisProcess() = std::move(machine);
}

std::string Machine::systemDirectory() const {
    std::string directory = m_windowsDirectory;
    if (directory.back() != '\\')
        directory += '\\';
    return directory + "SYSTEM";
}

char Machine::bootDrive() const {
    return m_bootDrive ? *m_bootDrive : m_windowsDirectory.front();
}

void Machine::setBootDrive(char letter) {
    m_bootDrive = upperLetter(letter);
}

std::optional<MappedDrive> Machine::mappedDrive(char letter) const {
    if (!m_describedDrives)
        return rootEntry(m_root, letter);
    const auto found = m_describedDrives->find(upperLetter(letter));
    if (found == m_describedDrives->end())
        return std::nullopt;
    return found->second;
}

std::vector<char> Machine::drives() const {
    std::vector<char> letters;
    if (m_describedDrives) {
        for (const auto& [letter, drive] : *m_describedDrives)
            letters.push_back(letter);
        return letters;
    }
    std::error_code error;
    for (fs::directory_iterator it(m_root, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code statusError;
        const fs::file_status status = fs::status(it->path(), statusError);
        if (name.size() == 1 && isAsciiLetter(name[0]) &&
            (fs::is_directory(status) || fs::is_regular_file(status)))
            letters.push_back(upperLetter(name[0]));
    }
    std::sort(letters.begin(), letters.end());
    letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
    return letters;
}

bool Machine::isDriveMapped(char letter) const {
    return mappedDrive(letter).has_value();
}

void Machine::setImageOpener(DriveOpener opener) {
    imageOpener() = std::move(opener);
}

Result<std::shared_ptr<Drive>> Machine::imageDrive(char letter) const {
    const std::optional<MappedDrive> entry = mappedDrive(letter);
    if (!entry)
        return Error(Operation::Find, std::string{upperLetter(letter), ':'}, ENODEV,
                     std::string("drive ") + upperLetter(letter) + ": is not mapped");
    if (!entry->image)
        return std::shared_ptr<Drive>();
    // Nothing would tell whether the system or another program is using the
    // disk, as it is told for an image file, and writing a mounted disk
    // under the system's feet destroys its file system.
    std::error_code error;
    if (fs::is_block_file(entry->host, error)) {
        const std::string device = fs::canonical(entry->host, error).string();
        return Error(Operation::OpenImage, entry->host.string(), ENOTSUP,
                     "it is the block device " + device +
                         "; a disk cannot be a drive, as nothing tells whether the system or "
                         "another program is using it. Link a disk image file, or mount the "
                         "disk and link the folder it is mounted on")
            .withUserReason(language::fill(
                language::translate("platform",
                                    "ﾌﾞﾛｯｸﾃﾞﾊﾞｲｽ {1} はﾄﾞﾗｲﾌﾞにできません (ｼｽﾃﾑや別のﾌﾟﾛｸﾞﾗﾑが"
                                    "使用中かどうかを確かめられません)。ﾃﾞｨｽｸｲﾒｰｼﾞのﾌｧｲﾙか、"
                                    "ﾃﾞｨｽｸをﾏｳﾝﾄしたﾌｫﾙﾀﾞにﾘﾝｸしてください"),
                {device}));
    }
    const unsigned partition =
        m_describedDrives ? entry->partition : KOR_TRY(partitionOfImage(m_root, letter));
    // The image file itself rather than the link to it, so that reports name
    // the file the user knows.
    const fs::path image = fs::canonical(entry->host, error);
    if (!imageOpener())
        return Error(Operation::OpenImage, (error ? entry->host : image).string(), ENOTSUP,
                     "this program cannot open disk images")
            .withUserReason(
                language::translate("platform", "このﾌﾟﾛｸﾞﾗﾑはﾃﾞｨｽｸｲﾒｰｼﾞのﾄﾞﾗｲﾌﾞを開けません"));
    return imageOpener()(error ? entry->host : image, partition);
}

Result<std::string> Machine::fullPath(std::string_view path) const {
    const std::string full = KOR_TRY(unboundedFullPath(path));
    KOR_TRY(checkFullPathLength(path, full));
    return full;
}

Result<std::string> Machine::unboundedFullPath(std::string_view path) const {
    if (isHostPath(path))
        return normalizedHostPath(path);
    std::string text(path);
    std::replace(text.begin(), text.end(), '/', '\\');
    if (text.empty())
        return Error(Operation::Find, "", EINVAL, "the path is empty");
    std::string_view rest = text;
    char drive = m_currentDrive;
    if (rest.size() >= 2 && rest[1] == ':') {
        if (!isAsciiLetter(rest[0]))
            return Error(Operation::Find, std::string(path), EINVAL,
                         "the path names no drive letter");
        drive = upperLetter(rest[0]);
        rest.remove_prefix(2);
    } else if (rest.starts_with("\\\\")) {
        return Error(Operation::Find, std::string(path), EINVAL,
                     "network paths have no drive letter");
    }
    std::vector<std::string> components;
    if (!rest.starts_with('\\'))
        components = splitComponents(std::string_view(currentDirectory(drive)).substr(3));
    appendFolded(components, splitComponents(rest));
    return joinPath(drive, components);
}

Result<HostPlace> hostPlace(const Machine& machine, std::string_view fullPath) {
    const std::string full = KOR_TRY(machine.fullPath(fullPath));
    if (isHostPath(full))
        return placeOfHostPath(full);
    const char drive = full.front();
    std::optional<MappedDrive> entry = machine.mappedDrive(drive);
    if (!entry)
        return Error(Operation::Find, full, ENODEV,
                     std::string("drive ") + drive + ": is not mapped");
    if (entry->image)
        return Error(Operation::Find, full, ENOTSUP,
                     std::string("drive ") + drive + ": is a disk image, not a host folder");
    return placeInDrive(entry->host, splitComponents(std::string_view(full).substr(3)));
}

Result<fs::path> Machine::hostPath(std::string_view path) const {
    return std::move(KOR_TRY(hostPlace(*this, path)).host);
}

Result<std::string> Machine::windowsPath(const fs::path& host) const {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(fs::absolute(host, error), error);
    if (error)
        return Error(Operation::FindWindowsPath, host.string(), error.value());
    std::optional<char> bestDrive;
    fs::path bestRelative;
    std::size_t bestDepth = 0;
    for (char drive : drives()) {
        const std::optional<fs::path> mapped = driveFolder(*this, drive);
        if (!mapped)
            continue;
        const fs::path folder = fs::canonical(*mapped, error);
        if (error)
            continue;
        fs::path relative = target.lexically_relative(folder);
        if (relative.empty() || *relative.begin() == "..")
            continue;
        // A drive may be a link into another drive; the deepest folder names
        // the path most directly.
        const auto depth = static_cast<std::size_t>(std::distance(folder.begin(), folder.end()));
        if (!bestDrive || depth > bestDepth) {
            bestDrive = drive;
            bestRelative = std::move(relative);
            bestDepth = depth;
        }
    }
    if (!bestDrive)
        return Error(Operation::FindWindowsPath, host.string(), EXDEV,
                     "it lies outside every drive");
    std::vector<std::string> components;
    for (const fs::path& component : bestRelative)
        if (component != ".")
            components.push_back(nameOfHostFile(component.string()));
    return joinPath(*bestDrive, components);
}

Status Machine::setCurrentDrive(char letter) {
    const char drive = upperLetter(letter);
    if (!isDriveMapped(drive))
        return Error(Operation::ChangeDrive, std::string{drive, ':'}, ENODEV,
                     std::string("drive ") + drive + ": is not mapped");
    const std::string directory = currentDirectory(drive);
    // A disk image has no host folder for the process to stand in; the
    // current directory is kept here alone.
    if (auto image = imageDrive(drive); image && image.value()) {
        m_currentDrive = drive;
        return {};
    }
    Result<HostPlace> place = hostPlace(*this, directory);
    if (!place)
        return Error(Operation::ChangeDrive, std::string{drive, ':'}, place.error().code(),
                     place.error().detail());
    if (!place.value().isDirectory())
        return noDirectoryAt(directory, place.value());
    if (::fchdir(place.value().object.get()) != 0)
        return Error(Operation::ChangeDirectory, directory, errno);
    m_currentDrive = drive;
    return {};
}

std::string Machine::currentDirectory() const {
    return currentDirectory(m_currentDrive);
}

std::string Machine::currentDirectory(char drive) const {
    const char letter = upperLetter(drive);
    const auto found = m_currentDirectories.find(letter);
    return found != m_currentDirectories.end() ? found->second : driveRoot(letter);
}

Status Machine::setCurrentDirectory(std::string_view path) {
    Result<std::string> full = fullPath(path);
    if (!full)
        return Error(Operation::ChangeDirectory, std::string(path), full.error().code(),
                     full.error().detail());
    // Only a drive has a current directory: a host path must name a folder on one.
    if (isHostPath(full.value())) {
        Result<std::string> onDrive = windowsPath(full.value());
        if (!onDrive)
            return Error(Operation::ChangeDirectory, full.value(), onDrive.error().code(),
                         onDrive.error().detail());
        full = std::move(onDrive);
    }
    const char drive = full.value().front();
    Result<std::shared_ptr<Drive>> image = imageDrive(drive);
    if (!image)
        return Error(Operation::ChangeDirectory, full.value(), image.error().code(),
                     image.error().detail());
    if (image.value()) {
        Result<std::optional<FolderEntry>> found =
            image.value()->find(Operation::ChangeDirectory, full.value());
        if (!found)
            return found.error();
        if (!found.value() || !found.value()->directory)
            return Error(Operation::ChangeDirectory, full.value(), ENOTDIR, "no such directory");
        m_currentDirectories[drive] = full.value();
        return {};
    }
    Result<HostPlace> place = hostPlace(*this, full.value());
    if (!place)
        return Error(Operation::ChangeDirectory, full.value(), place.error().code(),
                     place.error().detail());
    if (!place.value().isDirectory())
        return noDirectoryAt(full.value(), place.value());
    if (drive == m_currentDrive && ::fchdir(place.value().object.get()) != 0)
        return Error(Operation::ChangeDirectory, full.value(), errno);
    m_currentDirectories[drive] = full.value();
    return {};
}

} // namespace kor::platform
