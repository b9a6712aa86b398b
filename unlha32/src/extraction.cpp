#include "extraction.h"

#include "crc16.h"
#include "lhasa_archive.h"
#include "member_name.h"
#include "member_search.h"

#include "platform/machine.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kor::unlha32 {

namespace {

namespace fs = std::filesystem;

// One member to write: where it comes from and where it goes.
struct PlannedFile {
    const ArchiveMember* member = nullptr;
    std::string windowsPath; // UTF-8
    fs::path hostPath;
};

// A file created under a fresh name in a folder, removed again unless it was
// moved into place.
class TemporaryFile {
  public:
    static platform::Result<TemporaryFile> create(const fs::path& folder,
                                                  std::string_view windowsFolder) {
        std::string pattern = (folder / ".unlha32-XXXXXX").string();
        const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (descriptor < 0)
            return platform::Error(platform::Operation::CreateFileIn, std::string(windowsFolder),
                                   errno);
        return TemporaryFile(descriptor, pattern);
    }

    TemporaryFile(TemporaryFile&& other) noexcept
        : m_descriptor(std::exchange(other.m_descriptor, -1)),
          m_path(std::exchange(other.m_path, {})) {}
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    ~TemporaryFile() {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }

    int descriptor() const { return m_descriptor; }
    const fs::path& path() const { return m_path; }

    // Flushes the data to the disk and closes the file.
    bool finish() {
        const bool synced = ::fsync(m_descriptor) == 0;
        const bool closed = ::close(std::exchange(m_descriptor, -1)) == 0;
        return synced && closed;
    }

    // The file was moved into place: it is no longer removed.
    void keep() { m_path.clear(); }

  private:
    TemporaryFile(int descriptor, fs::path path)
        : m_descriptor(descriptor), m_path(std::move(path)) {}

    int m_descriptor;
    fs::path m_path;
};

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Renames `from` to `to` in one step, failing with EEXIST when `to` exists.
bool moveWithoutReplacing(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system that cannot rename without replacing: a hard link fails
    // just as well when the name exists.
    return ::link(from.c_str(), to.c_str()) == 0 && ::unlink(from.c_str()) == 0;
}

// The files to write, in archive order, each member once however many
// patterns match it.
platform::Result<std::vector<PlannedFile>>
planFiles(const ExtractionCommand& command, const std::shared_ptr<const ArchiveDirectory>& shared,
          std::string_view destination, const fs::path& destinationHost) {
    const ArchiveDirectory& directory = *shared;
    std::set<std::size_t> chosen;
    for (const std::string& pattern : command.members) {
        MemberSearch search(shared, pattern);
        const ArchiveMember* member = search.next();
        if (member == nullptr)
            return platform::Error(platform::Operation::Extract, displayMemberName(pattern), ENOENT,
                                   "no such member in the archive");
        for (; member != nullptr; member = search.next())
            chosen.insert(static_cast<std::size_t>(member - directory.members().data()));
    }

    std::vector<PlannedFile> planned;
    std::set<std::string> foldedNames;
    for (const std::size_t position : chosen) {
        const ArchiveMember& member = directory.members()[position];
        const auto fileName = extractedFileName(member.storedName);
        if (!fileName)
            return fileName.error();
        const auto name = platform::fromCp932(fileName.value());
        if (!name)
            return name.error();
        std::string windowsPath = std::string(destination) + name.value();
        if (!foldedNames.insert(foldMemberName(fileName.value())).second)
            return platform::Error(platform::Operation::Extract, windowsPath, EEXIST,
                                   "two members have this name");
        auto hostPath = platform::Machine::current().hostPath(windowsPath);
        if (!hostPath)
            return hostPath.error();
        std::error_code error;
        if (!fs::equivalent(hostPath.value().parent_path(), destinationHost, error))
            return platform::Error(platform::Operation::Extract, windowsPath, EPERM,
                                   "outside the destination folder");
        if (fs::symlink_status(hostPath.value(), error).type() != fs::file_type::not_found)
            return platform::Error(platform::Operation::Extract, windowsPath, EEXIST);
        planned.push_back(
            PlannedFile{&member, std::move(windowsPath), std::move(hostPath).value()});
    }
    return planned;
}

platform::Status decodeInto(LhasaArchive& archive, const PlannedFile& file, TemporaryFile& output) {
    const ArchiveMember& member = *file.member;
    std::array<char, 64 * 1024> buffer;
    std::uint64_t length = 0;
    std::uint16_t crc = 0;
    while (const std::size_t count = archive.decode(buffer)) {
        const std::string_view bytes(buffer.data(), count);
        if (!writeAll(output.descriptor(), bytes))
            return platform::Error(platform::Operation::Write, file.windowsPath, errno);
        crc = updateCrc16(crc, bytes);
        length += count;
    }
    if (length != member.length)
        return platform::Error(platform::Operation::Extract, file.windowsPath, EIO,
                               "the member's data is damaged");
    if (crc != member.crc)
        return platform::Error(platform::Operation::Extract, file.windowsPath, EIO, "CRC error");
    // The member's own time, as archivers restore it; a file system that
    // cannot take it keeps the time of writing.
    if (member.unixTime != 0) {
        const timespec times[2] = {{.tv_sec = 0, .tv_nsec = UTIME_OMIT},
                                   {.tv_sec = static_cast<time_t>(member.unixTime), .tv_nsec = 0}};
        ::futimens(output.descriptor(), times);
    }
    if (::fchmod(output.descriptor(), 0644) != 0 || !output.finish())
        return platform::Error(platform::Operation::Write, file.windowsPath, errno);
    return {};
}

bool sameHeader(const LHAFileHeader& header, const ArchiveMember& member) {
    return member.method == header.compress_method && member.length == header.length &&
           member.compressedLength == header.compressed_length && member.crc == header.crc;
}

} // namespace

platform::Result<std::string> runExtraction(const ExtractionCommand& command,
                                            DirectoryCache& cache) {
    platform::Machine& machine = platform::Machine::current();
    const auto archivePath = platform::fromCp932(command.archive);
    if (!archivePath)
        return archivePath.error();
    const auto archiveHost = machine.hostPath(archivePath.value());
    if (!archiveHost)
        return archiveHost.error();
    const auto directory = cache.directory(archiveHost.value(), archivePath.value());
    if (!directory)
        return directory.error();

    const auto destination = platform::fromCp932(command.destination);
    if (!destination)
        return destination.error();
    const auto destinationHost = machine.hostPath(destination.value());
    if (!destinationHost)
        return destinationHost.error();
    std::error_code error;
    if (!fs::is_directory(destinationHost.value(), error))
        return platform::Error(platform::Operation::ExtractInto, destination.value(), ENOENT,
                               "no such folder");

    auto planned =
        planFiles(command, directory.value(), destination.value(), destinationHost.value());
    if (!planned)
        return planned.error();

    auto opened = LhasaArchive::open(archiveHost.value(), archivePath.value());
    if (!opened)
        return opened.error();
    LhasaArchive& archive = *opened.value();
    std::vector<TemporaryFile> outputs;
    std::size_t headerIndex = 0;
    for (const PlannedFile& file : planned.value()) {
        const LHAFileHeader* header = nullptr;
        while (headerIndex <= file.member->headerIndex) {
            header = archive.nextHeader();
            ++headerIndex;
            if (header == nullptr)
                break;
        }
        if (header == nullptr || !sameHeader(*header, *file.member))
            return platform::Error(platform::Operation::ReadArchive, archivePath.value(), EAGAIN,
                                   "the archive has changed");
        if (!archive.startDecoding(*header))
            return platform::Error(platform::Operation::Extract, file.windowsPath, ENOTSUP,
                                   "cannot decode the method " + file.member->method);
        auto output = TemporaryFile::create(destinationHost.value(), destination.value());
        if (!output)
            return output.error();
        outputs.push_back(std::move(output).value());
        if (auto decoded = decodeInto(archive, file, outputs.back()); !decoded)
            return decoded.error();
    }

    // Everything is decoded: move the files into place, and take back those
    // already moved should one of them fail.
    std::string report;
    std::vector<const PlannedFile*> placed;
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        const PlannedFile& file = planned.value()[index];
        if (!moveWithoutReplacing(outputs[index].path(), file.hostPath)) {
            const int code = errno;
            for (const PlannedFile* done : placed)
                ::unlink(done->hostPath.c_str());
            return platform::Error(platform::Operation::Extract, file.windowsPath, code);
        }
        outputs[index].keep();
        placed.push_back(&file);
        report += "extracted " + file.windowsPath + "\r\n";
    }
    return report;
}

} // namespace kor::unlha32
