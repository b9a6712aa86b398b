// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk_image.h"

#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <set>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kor::testing {

namespace {

constexpr std::uint64_t sectorSize = 512;
constexpr std::uint64_t mebibyte = 1024 * 1024;

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

[[noreturn]] void failWithErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// --- running the tools -------------------------------------------------------

struct ToolRun {
    std::string commandLine;
    int exitStatus = -1; // -1 when a signal ended it
    std::string output;
    std::string errorOutput;
};

// The tool's full path: mkfs.fat, sfdisk and fsck.fat live in /usr/sbin,
// which an ordinary user's PATH often lacks.
std::string findTool(const std::string& name) {
    std::string directories = std::getenv("PATH") ? std::getenv("PATH") : "";
    directories += ":/usr/sbin:/sbin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        std::size_t end = std::min(directories.find(':', start), directories.size());
        std::string candidate = directories.substr(start, end - start) + "/" + name;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    fail("cannot find the program " + name +
         " (install mtools, dosfstools and fdisk: "
         "scripts/install-deps.sh)");
}

// A temporary file that is gone from the file system at once and closed with
// the object: the tools' standard streams.
class AnonymousFile {
  public:
    AnonymousFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kor-tool-XXXXXX").string();
        m_descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (m_descriptor < 0)
            failWithErrno("cannot create a temporary file");
        ::unlink(pattern.c_str());
    }
    ~AnonymousFile() { ::close(m_descriptor); }
    AnonymousFile(const AnonymousFile&) = delete;
    AnonymousFile& operator=(const AnonymousFile&) = delete;

    int descriptor() const { return m_descriptor; }

    void write(std::string_view bytes) {
        while (!bytes.empty()) {
            ssize_t written = ::write(m_descriptor, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                failWithErrno("cannot write a temporary file");
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        ::lseek(m_descriptor, 0, SEEK_SET);
    }
    std::string readAll() const {
        std::string bytes;
        ::lseek(m_descriptor, 0, SEEK_SET);
        char buffer[65536];
        for (;;) {
            ssize_t got = ::read(m_descriptor, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                failWithErrno("cannot read a temporary file");
            if (got == 0)
                return bytes;
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
    }

  private:
    int m_descriptor = -1;
};

ToolRun runTool(const std::string& tool, const std::vector<std::string>& arguments,
                std::string_view input = {}) {
    ToolRun run;
    std::string program = findTool(tool);
    run.commandLine = tool;
    for (const auto& argument : arguments)
        run.commandLine += " " + argument;

    AnonymousFile in, out, err;
    in.write(input);
    std::vector<std::string> argumentCopies = arguments;
    std::vector<char*> argv{program.data()};
    for (auto& argument : argumentCopies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.descriptor(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.descriptor(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.descriptor(), STDERR_FILENO);
    // The tools speak UTF-8 whatever the session's locale: mtools 4.0.43 and
    // later write every character beyond ASCII as "_" under the C locale.
    std::vector<std::string> environment{"LC_ALL=C.UTF-8"};
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (!std::string_view(*entry).starts_with("LC_ALL="))
            environment.emplace_back(*entry);
    std::vector<char*> environmentPointers;
    for (std::string& entry : environment)
        environmentPointers.push_back(entry.data());
    environmentPointers.push_back(nullptr);
    pid_t child = 0;
    int spawned = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(),
                                environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        errno = spawned;
        failWithErrno("cannot start " + program);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            failWithErrno("cannot wait for " + program);
    if (WIFEXITED(status))
        run.exitStatus = WEXITSTATUS(status);
    run.output = out.readAll();
    run.errorOutput = err.readAll();
    return run;
}

// Runs the tool and throws, with what it said, unless it ends with status 0.
ToolRun runToolOrThrow(const std::string& tool, const std::vector<std::string>& arguments,
                       std::string_view input = {}) {
    ToolRun run = runTool(tool, arguments, input);
    if (run.exitStatus != 0)
        fail(run.commandLine + " failed with exit status " + std::to_string(run.exitStatus) + ": " +
             run.errorOutput + run.output);
    return run;
}

// "image@@offset" and the path "::/path" for mtools' -i.
std::string imagePath(std::string_view path) {
    if (path.empty() || path.front() != '/')
        fail("not an absolute path in an image: " + std::string(path));
    return "::" + std::string(path);
}

std::vector<std::string> mtoolsArguments(const FatVolume& volume,
                                         std::initializer_list<std::string> arguments) {
    std::vector<std::string> result{"-i", volume.mtoolsImage()};
    result.insert(result.end(), arguments);
    return result;
}

// --- making images -----------------------------------------------------------

std::uint64_t defaultMegabytes(FatType fat) {
    switch (fat) {
    case FatType::Fat12:
        return 4;
    case FatType::Fat16:
        return 32;
    case FatType::Fat32:
        return 64;
    }
    return 32;
}

std::string fatBits(FatType fat) {
    switch (fat) {
    case FatType::Fat12:
        return "12";
    case FatType::Fat16:
        return "16";
    case FatType::Fat32:
        return "32";
    }
    return "16";
}

std::uint8_t usualPartitionType(const PartitionSpec& partition) {
    if (!partition.fat)
        return 0x83;
    switch (*partition.fat) {
    case FatType::Fat12:
        return 0x01;
    case FatType::Fat16:
        return partition.sectorCount < 65536 ? 0x04 : 0x06;
    case FatType::Fat32:
        return 0x0C;
    }
    return 0x06;
}

// A new image file of `bytes` bytes, all zero (a hole until written).
void createEmptyImage(const std::filesystem::path& image, std::uint64_t bytes) {
    {
        std::ofstream out(image, std::ios::binary | std::ios::trunc);
        if (!out)
            fail("cannot create " + image.string());
    }
    std::error_code error;
    std::filesystem::resize_file(image, bytes, error);
    if (error)
        fail("cannot size " + image.string() + ": " + error.message());
}

// Makes the file system: `sectors` sectors from `startSector` on. mkfs.fat
// counts in KiB blocks, so an odd last sector stays unused.
// The file system's own sectors are `logicalSectorSize` bytes long, in which
// mkfs.fat counts the offset too.
void makeFileSystem(const std::filesystem::path& image, FatType fat, std::uint64_t startSector,
                    std::uint64_t sectors, std::uint32_t logicalSectorSize = sectorSize) {
    std::vector<std::string> arguments{"-F", fatBits(fat)};
    if (logicalSectorSize != sectorSize) {
        // One sector a cluster, so that a small volume keeps FAT16's count
        // of clusters.
        arguments.insert(arguments.end(), {"-S", std::to_string(logicalSectorSize), "-s", "1"});
    }
    if (startSector == 0) {
        arguments.push_back("--mbr=n");
    } else {
        arguments.push_back("--offset=" +
                            std::to_string(startSector * sectorSize / logicalSectorSize));
        arguments.push_back("-h");
        arguments.push_back(std::to_string(startSector));
    }
    arguments.push_back(image.string());
    arguments.push_back(std::to_string(sectors / 2));
    runToolOrThrow("mkfs.fat", arguments);
}

void putBigEndian(std::string& bytes, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * (width - 1 - i))) & 0xFF);
}

void putLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The one's complement of the byte sum, as every checksum of VHD is.
std::uint32_t vhdChecksum(std::string_view bytes) {
    std::uint32_t sum = 0;
    for (unsigned char byte : bytes)
        sum += byte;
    return ~sum;
}

// The cylinders, heads and sectors a track of a VHD of that size, as the
// format's own algorithm derives them.
std::uint32_t vhdGeometry(std::uint64_t bytes) {
    std::uint64_t totalSectors = std::min<std::uint64_t>(bytes / sectorSize, 65535ULL * 16 * 255);
    std::uint64_t sectorsPerTrack, heads, cylinderTimesHeads;
    if (totalSectors >= 65535ULL * 16 * 63) {
        sectorsPerTrack = 255;
        heads = 16;
        cylinderTimesHeads = totalSectors / sectorsPerTrack;
    } else {
        sectorsPerTrack = 17;
        cylinderTimesHeads = totalSectors / sectorsPerTrack;
        heads = std::max<std::uint64_t>((cylinderTimesHeads + 1023) / 1024, 4);
        if (cylinderTimesHeads >= heads * 1024 || heads > 16) {
            sectorsPerTrack = 31;
            heads = 16;
            cylinderTimesHeads = totalSectors / sectorsPerTrack;
        }
        if (cylinderTimesHeads >= heads * 1024) {
            sectorsPerTrack = 63;
            heads = 16;
            cylinderTimesHeads = totalSectors / sectorsPerTrack;
        }
    }
    std::uint64_t cylinders = cylinderTimesHeads / heads;
    return static_cast<std::uint32_t>(cylinders << 16 | heads << 8 | sectorsPerTrack);
}

enum class VhdDiskType : std::uint32_t { Fixed = 2, Dynamic = 3, Differencing = 4 };

std::string vhdFooter(std::uint64_t diskBytes, VhdDiskType type, std::uint64_t dataOffset) {
    std::string footer(512, '\0');
    footer.replace(0, 8, "conectix");
    putBigEndian(footer, 8, 2, 4);           // features: the reserved bit, always set
    putBigEndian(footer, 12, 0x00010000, 4); // file format version 1.0
    putBigEndian(footer, 16, dataOffset, 8);
    putBigEndian(footer, 24, static_cast<std::uint64_t>(std::time(nullptr) - 946684800), 4);
    footer.replace(28, 4, "kor ");
    putBigEndian(footer, 32, 0x00010000, 4);
    footer.replace(36, 4, "Wi2k");
    putBigEndian(footer, 40, diskBytes, 8); // original size
    putBigEndian(footer, 48, diskBytes, 8); // current size
    putBigEndian(footer, 56, vhdGeometry(diskBytes), 4);
    putBigEndian(footer, 60, static_cast<std::uint32_t>(type), 4);
    std::random_device random;
    for (std::size_t i = 68; i < 84; ++i)
        footer[i] = static_cast<char>(random() & 0xFF);
    putBigEndian(footer, 64, vhdChecksum(footer), 4);
    return footer;
}

void appendBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out)
        fail("cannot write " + file.string());
}

// A cylinder of a PC-98 IDE disk: 8 heads of 17 sectors.
constexpr std::uint64_t pc98CylinderSectors = 8 * 17;

void writeBytesAt(const std::filesystem::path& file, std::uint64_t offset, std::string_view bytes) {
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out)
        fail("cannot write " + file.string());
}

// --- the directories of a FAT volume -------------------------------------------

// Reads and writes the volume's bytes in place, in the image file.
class VolumeFile {
  public:
    explicit VolumeFile(const FatVolume& volume)
        : m_volume(volume), m_file(volume.image, std::ios::binary | std::ios::in | std::ios::out) {
        if (!m_file)
            fail("cannot open " + volume.image.string());
    }

    std::string read(std::uint64_t at, std::uint64_t length) {
        if (at + length > m_volume.length)
            fail("a read beyond the end of the volume in " + m_volume.image.string());
        std::string bytes(length, '\0');
        m_file.seekg(static_cast<std::streamoff>(m_volume.offset + at));
        m_file.read(bytes.data(), static_cast<std::streamsize>(length));
        if (!m_file)
            fail("cannot read " + m_volume.image.string());
        return bytes;
    }

    std::string imageName() const { return m_volume.image.string(); }

    void write(std::uint64_t at, std::string_view bytes) {
        m_file.seekp(static_cast<std::streamoff>(m_volume.offset + at));
        m_file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        m_file.flush();
        if (!m_file)
            fail("cannot write " + m_volume.image.string());
    }

  private:
    const FatVolume& m_volume;
    std::fstream m_file;
};

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Where one directory entry is, with the one before it in the same folder.
struct EntryPlace {
    std::uint64_t at = 0; // from the start of the volume
    std::string bytes;    // its 32 bytes
    bool followsLongName = false;
};

// Every entry in use in every folder of the volume, found by reading the
// boot sector, the first FAT and the folders themselves from the root down.
class DirectoryWalk {
  public:
    explicit DirectoryWalk(VolumeFile& file) : m_file(file) {
        std::string boot = m_file.read(0, sectorSize);
        m_bytesPerSector = littleEndian(boot, 11, 2);
        m_sectorsPerCluster = littleEndian(boot, 13, 1);
        const std::uint32_t reserved = littleEndian(boot, 14, 2);
        m_fatCount = littleEndian(boot, 16, 1);
        m_rootEntries = littleEndian(boot, 17, 2);
        std::uint32_t totalSectors = littleEndian(boot, 19, 2);
        if (totalSectors == 0)
            totalSectors = littleEndian(boot, 32, 4);
        std::uint32_t fatSectors = littleEndian(boot, 22, 2);
        if (fatSectors == 0)
            fatSectors = littleEndian(boot, 36, 4);
        const std::uint32_t fatCount = m_fatCount;
        if (m_bytesPerSector == 0 || m_sectorsPerCluster == 0 || fatSectors == 0)
            fail("no FAT boot sector at the volume's start in " + file.imageName());
        std::uint32_t rootSectors = (m_rootEntries * 32 + m_bytesPerSector - 1) / m_bytesPerSector;
        m_rootStart = std::uint64_t{reserved + fatCount * fatSectors} * m_bytesPerSector;
        m_dataStart = m_rootStart + std::uint64_t{rootSectors} * m_bytesPerSector;
        std::uint32_t dataSectors = totalSectors - (reserved + fatCount * fatSectors + rootSectors);
        m_clusterCount = dataSectors / m_sectorsPerCluster;
        m_fatBits = m_rootEntries == 0 ? 32 : m_clusterCount < 4085 ? 12 : 16;
        m_rootCluster = m_fatBits == 32 ? littleEndian(boot, 44, 4) : 0;
        m_fatStart = std::uint64_t{reserved} * m_bytesPerSector;
        m_fatBytes = std::uint64_t{fatSectors} * m_bytesPerSector;
        m_fat = m_file.read(m_fatStart, m_fatBytes);
    }

    std::uint32_t lastCluster() const { return m_clusterCount + 1; }

    // The clusters of the chain from `first`, up to its end or the first
    // cluster it passed before.
    std::vector<std::uint32_t> chainOf(std::uint32_t first) const {
        std::vector<std::uint32_t> chain;
        std::set<std::uint32_t> visited;
        for (std::uint32_t cluster = first;
             isDataCluster(cluster) && visited.insert(cluster).second;
             cluster = nextCluster(cluster))
            chain.push_back(cluster);
        return chain;
    }

    // Writes the entry of `cluster` in every FAT.
    void setFatEntry(std::uint32_t cluster, std::uint32_t value) {
        std::uint64_t at = 0;
        std::string bytes;
        switch (m_fatBits) {
        case 12: {
            at = cluster + cluster / 2;
            std::uint32_t pair = littleEndian(m_fat, at, 2);
            pair = cluster % 2 ? (pair & 0x000F) | (value & 0xFFF) << 4
                               : (pair & 0xF000) | (value & 0xFFF);
            bytes = {static_cast<char>(pair & 0xFF), static_cast<char>(pair >> 8)};
            break;
        }
        case 16:
            at = cluster * 2;
            bytes = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
            break;
        default:
            at = cluster * 4;
            value = (littleEndian(m_fat, at, 4) & 0xF0000000) | (value & 0x0FFFFFFF);
            bytes = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF),
                     static_cast<char>(value >> 16 & 0xFF), static_cast<char>(value >> 24)};
        }
        m_fat.replace(at, bytes.size(), bytes);
        for (std::uint32_t copy = 0; copy < m_fatCount; ++copy)
            m_file.write(m_fatStart + copy * m_fatBytes + at, bytes);
    }

    // The first cluster an entry names: bytes 20-21 hold its high word on
    // FAT32 only; FAT12 and FAT16 leave them to others (OS/2 and Windows NT
    // keep an extended attributes handle there).
    std::uint32_t firstClusterOf(std::string_view entry) const {
        const std::uint32_t low = littleEndian(entry, 26, 2);
        return m_fatBits == 32 ? low | littleEndian(entry, 20, 2) << 16 : low;
    }

    std::vector<EntryPlace> allEntries() {
        std::vector<EntryPlace> entries;
        std::set<std::uint32_t> visited;
        walk(m_rootCluster, entries, visited);
        return entries;
    }

  private:
    std::uint32_t nextCluster(std::uint32_t cluster) const {
        switch (m_fatBits) {
        case 12: {
            std::uint32_t pair = littleEndian(m_fat, cluster + cluster / 2, 2);
            return cluster % 2 ? pair >> 4 : pair & 0xFFF;
        }
        case 16:
            return littleEndian(m_fat, cluster * 2, 2);
        default:
            return littleEndian(m_fat, cluster * 4, 4) & 0x0FFFFFFF;
        }
    }

    bool isDataCluster(std::uint32_t cluster) const {
        return cluster >= 2 && cluster < m_clusterCount + 2;
    }

    // The places of a folder's 32-byte slots: the fixed root of FAT12/16
    // (cluster 0), or the chain of clusters from `cluster`.
    std::vector<std::uint64_t> slotsOf(std::uint32_t cluster, std::set<std::uint32_t>& visited) {
        std::vector<std::uint64_t> slots;
        if (cluster == 0) {
            for (std::uint32_t i = 0; i < m_rootEntries; ++i)
                slots.push_back(m_rootStart + i * 32);
            return slots;
        }
        std::uint64_t clusterBytes = std::uint64_t{m_bytesPerSector} * m_sectorsPerCluster;
        while (isDataCluster(cluster) && visited.insert(cluster).second) {
            std::uint64_t start = m_dataStart + (cluster - 2) * clusterBytes;
            for (std::uint64_t at = 0; at < clusterBytes; at += 32)
                slots.push_back(start + at);
            cluster = nextCluster(cluster);
        }
        return slots;
    }

    void walk(std::uint32_t cluster, std::vector<EntryPlace>& entries,
              std::set<std::uint32_t>& visited) {
        bool afterLongName = false;
        for (std::uint64_t at : slotsOf(cluster, visited)) {
            std::string entry = m_file.read(at, 32);
            unsigned char first = static_cast<unsigned char>(entry[0]);
            if (first == 0x00)
                return; // the end of the folder
            unsigned char attributes = static_cast<unsigned char>(entry[11]);
            if (first == 0xE5) {
                afterLongName = false;
                continue;
            }
            if (attributes == 0x0F) {
                afterLongName = true;
                continue;
            }
            entries.push_back({at, entry, afterLongName});
            afterLongName = false;
            bool isDot = entry.compare(0, 11, ".          ") == 0 ||
                         entry.compare(0, 11, "..         ") == 0;
            if ((attributes & 0x10) && !(attributes & 0x08) && !isDot) {
                const std::uint32_t start = firstClusterOf(entry);
                if (isDataCluster(start))
                    walk(start, entries, visited);
            }
        }
    }

    VolumeFile& m_file;
    std::uint32_t m_bytesPerSector = 0;
    std::uint32_t m_sectorsPerCluster = 0;
    std::uint32_t m_rootEntries = 0;
    std::uint64_t m_rootStart = 0;
    std::uint64_t m_dataStart = 0;
    std::uint32_t m_clusterCount = 0;
    std::uint32_t m_rootCluster = 0;
    std::uint32_t m_fatCount = 0;
    std::uint64_t m_fatStart = 0;
    std::uint64_t m_fatBytes = 0;
    int m_fatBits = 16;
    std::string m_fat;
};

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string joinImagePath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + std::string(name);
}

} // namespace

std::string FatVolume::mtoolsImage() const {
    return image.string() + "@@" + std::to_string(offset);
}

std::vector<FatVolume> makePartitionedDisk(const std::filesystem::path& image,
                                           std::span<const PartitionSpec> partitions) {
    if (partitions.empty())
        fail("a partitioned disk holds a partition");
    std::uint64_t diskSectors = 0;
    std::string script = "label: dos\n";
    for (const auto& partition : partitions) {
        diskSectors = std::max(diskSectors, partition.startSector + partition.sectorCount);
        std::uint8_t type = partition.type ? partition.type : usualPartitionType(partition);
        char line[96];
        std::snprintf(line, sizeof line, "start=%llu, size=%llu, type=%x%s\n",
                      static_cast<unsigned long long>(partition.startSector),
                      static_cast<unsigned long long>(partition.sectorCount), type,
                      partition.active ? ", bootable" : "");
        script += line;
    }
    createEmptyImage(image, diskSectors * sectorSize);
    runToolOrThrow("sfdisk", {"--quiet", image.string()}, script);

    std::vector<FatVolume> volumes;
    for (const auto& partition : partitions) {
        if (partition.fat)
            makeFileSystem(image, *partition.fat, partition.startSector, partition.sectorCount);
        volumes.push_back(
            {image, partition.startSector * sectorSize, partition.sectorCount * sectorSize});
    }
    return volumes;
}

FatVolume makeMbrDisk(const std::filesystem::path& image, FatType fat, std::uint64_t startSector,
                      std::uint64_t megabytes) {
    if (megabytes == 0)
        megabytes = defaultMegabytes(fat);
    const PartitionSpec partition{fat, startSector, megabytes * mebibyte / sectorSize};
    return makePartitionedDisk(image, std::span(&partition, 1)).front();
}

FatVolume makeUnpartitionedVolume(const std::filesystem::path& image, FatType fat,
                                  std::uint64_t megabytes) {
    if (megabytes == 0)
        megabytes = defaultMegabytes(fat);
    const std::uint64_t bytes = megabytes * mebibyte;
    createEmptyImage(image, bytes);
    makeFileSystem(image, fat, 0, bytes / sectorSize);
    return {image, 0, bytes};
}

void appendFixedVhdFooter(const std::filesystem::path& image) {
    std::error_code error;
    const std::uint64_t bytes = std::filesystem::file_size(image, error);
    if (error)
        fail("cannot read the size of " + image.string() + ": " + error.message());
    if (bytes % sectorSize != 0)
        fail(image.string() + " is not a whole number of sectors long");
    appendBytes(image, vhdFooter(bytes, VhdDiskType::Fixed, ~std::uint64_t{0}));
}

std::vector<FatVolume> makePc98Disk(const std::filesystem::path& image,
                                    std::span<const Pc98PartitionSpec> partitions) {
    if (partitions.empty() || partitions.size() > 16)
        fail("a PC-98 disk holds 1 to 16 partitions");
    std::uint32_t diskCylinders = 0;
    for (const auto& partition : partitions)
        diskCylinders = std::max(diskCylinders, partition.firstCylinder + partition.cylinders);
    createEmptyImage(image, diskCylinders * pc98CylinderSectors * sectorSize);

    // An IPL that only says what it is, and the table.
    std::string start(2 * sectorSize, '\0');
    start.replace(0, 8, "\xEB\x06\x90\x90IPL1");
    start[510] = '\x55';
    start[511] = '\xAA';
    std::vector<FatVolume> volumes;
    for (std::size_t i = 0; i < partitions.size(); ++i) {
        const Pc98PartitionSpec& partition = partitions[i];
        const std::uint64_t firstSector = partition.firstCylinder * pc98CylinderSectors;
        const std::uint64_t sectors = partition.cylinders * pc98CylinderSectors;
        const std::size_t at = sectorSize + 32 * i;
        std::uint8_t system = partition.fat == FatType::Fat12        ? 0x01
                              : partition.fat == FatType::Fat32      ? 0x61
                              : sectors * sectorSize < 32 * mebibyte ? 0x11
                                                                     : 0x21;
        start[at] = static_cast<char>(0x20 | (partition.bootable ? 0x80 : 0));
        start[at + 1] = static_cast<char>(system | (partition.active ? 0x80 : 0));
        putLittleEndian(start, at + 6, partition.firstCylinder, 2);  // IPL
        putLittleEndian(start, at + 10, partition.firstCylinder, 2); // start
        putLittleEndian(start, at + 14, partition.firstCylinder + partition.cylinders - 1, 2);
        const std::string name = "PARTITION " + std::to_string(i + 1) + "     ";
        start.replace(at + 16, 16, name.substr(0, 16));
        makeFileSystem(image, partition.fat, firstSector, sectors, partition.logicalSectorSize);
        volumes.push_back({image, firstSector * sectorSize, sectors * sectorSize});
    }
    writeBytesAt(image, 0, start);
    return volumes;
}

std::uint64_t addDiskHeader(const std::filesystem::path& image, DiskHeader kind,
                            std::uint32_t headerSectorSize) {
    constexpr std::uint64_t heads = 8;
    constexpr std::uint64_t sectorsPerTrack = 17;
    std::error_code error;
    std::uint64_t bytes = std::filesystem::file_size(image, error);
    if (error)
        fail("cannot read the size of " + image.string() + ": " + error.message());
    const std::uint64_t cylinderBytes = heads * sectorsPerTrack * headerSectorSize;
    const std::uint64_t cylinders = (bytes + cylinderBytes - 1) / cylinderBytes;
    bytes = cylinders * cylinderBytes;
    std::string header;
    switch (kind) {
    case DiskHeader::Hdi:
        header.assign(4096, '\0');
        putLittleEndian(header, 8, header.size(), 4);
        putLittleEndian(header, 12, bytes, 4);
        putLittleEndian(header, 16, headerSectorSize, 4);
        putLittleEndian(header, 20, sectorsPerTrack, 4);
        putLittleEndian(header, 24, heads, 4);
        putLittleEndian(header, 28, cylinders, 4);
        break;
    case DiskHeader::Nhd:
        header.assign(512, '\0');
        header.replace(0, 14, "T98HDDIMAGE.R0");
        putLittleEndian(header, 0x110, header.size(), 4);
        putLittleEndian(header, 0x114, cylinders, 4);
        putLittleEndian(header, 0x118, heads, 2);
        putLittleEndian(header, 0x11A, sectorsPerTrack, 2);
        putLittleEndian(header, 0x11C, headerSectorSize, 2);
        break;
    case DiskHeader::Hdx:
        header.assign(40, '\0');
        putLittleEndian(header, 0, 0xD778A82044445459ULL, 8);
        putLittleEndian(header, 8, bytes, 8);
        putLittleEndian(header, 0x10, headerSectorSize, 4);
        putLittleEndian(header, 0x14, sectorsPerTrack, 4);
        putLittleEndian(header, 0x18, heads, 4);
        putLittleEndian(header, 0x1C, cylinders, 4);
        break;
    case DiskHeader::Virtual98:
        header.assign(220, '\0');
        header.replace(0, 7, "VHD1.00");
        putLittleEndian(header, 140, bytes / mebibyte, 2);
        putLittleEndian(header, 142, headerSectorSize, 2);
        putLittleEndian(header, 144, sectorsPerTrack, 1);
        putLittleEndian(header, 145, heads, 1);
        putLittleEndian(header, 146, cylinders, 2);
        putLittleEndian(header, 148, bytes / headerSectorSize, 4);
        break;
    }
    std::filesystem::resize_file(image, bytes, error);
    if (error)
        fail("cannot size " + image.string() + ": " + error.message());
    const std::filesystem::path raw = image.string() + ".raw";
    std::filesystem::rename(image, raw);
    {
        std::ofstream out(image, std::ios::binary | std::ios::trunc);
        std::ifstream in(raw, std::ios::binary);
        out.write(header.data(), static_cast<std::streamsize>(header.size()));
        out << in.rdbuf();
        out.flush();
        if (!out)
            fail("cannot write " + image.string());
    }
    std::filesystem::remove(raw);
    return header.size();
}

void writeUnsupportedImage(const std::filesystem::path& image, UnsupportedImage format) {
    constexpr std::uint64_t virtualSize = 32 * mebibyte;
    std::string bytes(512, '\0');
    switch (format) {
    case UnsupportedImage::Qcow:
        bytes.replace(0, 4, "QFI\xfb");
        putBigEndian(bytes, 4, 1, 4); // version
        putBigEndian(bytes, 24, virtualSize, 8);
        bytes[32] = 16; // cluster bits
        break;
    case UnsupportedImage::DifferencingVdi:
        bytes.replace(0, 40, "<<< Oracle VM VirtualBox Disk Image >>>\n");
        putLittleEndian(bytes, 0x40, 0xBEDA107F, 4);
        putLittleEndian(bytes, 0x44, 0x00010001, 4);
        putLittleEndian(bytes, 0x48, 400, 4); // header size
        putLittleEndian(bytes, 0x4C, 4, 4);   // image type: differencing
        break;
    case UnsupportedImage::BochsGrowing:
        bytes.replace(0, 32, std::string("Bochs Virtual HD Image").append(10, '\0'));
        bytes.replace(32, 16, std::string("Redolog").append(9, '\0'));
        bytes.replace(48, 16, std::string("Growing").append(9, '\0'));
        putLittleEndian(bytes, 64, 0x00020000, 4); // version 2.0
        putLittleEndian(bytes, 68, 512, 4);        // header size
        break;
    case UnsupportedImage::DifferencingVhd: {
        const std::string footer = vhdFooter(virtualSize, VhdDiskType::Differencing, 512);
        bytes = footer + std::string(1536, '\0') + footer;
        break;
    }
    }
    std::ofstream out(image, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out)
        fail("cannot write " + image.string());
}

void makeDirectory(const FatVolume& volume, std::string_view path) {
    runToolOrThrow("mmd", mtoolsArguments(volume, {imagePath(path)}));
}

void writeFile(const FatVolume& volume, std::string_view path, std::string_view bytes) {
    const std::filesystem::path staged =
        std::filesystem::temp_directory_path() / ("kor-image-file-" + std::to_string(::getpid()) +
                                                  "-" + std::to_string(std::random_device{}()));
    {
        std::ofstream out(staged, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out)
            fail("cannot write " + staged.string());
    }
    try {
        runToolOrThrow("mcopy",
                       mtoolsArguments(volume, {"-D", "o", staged.string(), imagePath(path)}));
    } catch (...) {
        std::filesystem::remove(staged);
        throw;
    }
    std::filesystem::remove(staged);
}

void copyTree(const FatVolume& volume, const std::filesystem::path& hostFolder,
              std::string_view path) {
    struct Rename {
        std::string placeholder;
        std::string cp932Name;
    };
    std::vector<Rename> renames;
    static unsigned placeholderNumber = 0;

    // Copies one folder's entries: all its ASCII-named files with one mcopy,
    // the rest one by one under placeholders that are renamed at the end.
    auto copyFolder = [&](auto& self, const std::filesystem::path& from,
                          const std::string& to) -> void {
        std::vector<std::filesystem::directory_entry> entries{
            std::filesystem::directory_iterator(from), std::filesystem::directory_iterator()};
        std::sort(entries.begin(), entries.end());
        std::vector<std::string> plainFiles;
        for (const auto& entry : entries) {
            std::string name = entry.path().filename().string();
            std::string target = name;
            if (!isAscii(name)) {
                auto cp932 = platform::toCp932(name);
                if (!cp932)
                    fail("CP932 cannot hold the name " + name);
                shortNameField(cp932.value()); // throws unless it fits 8.3
                char placeholder[16];
                std::snprintf(placeholder, sizeof placeholder, "KOR%05u", ++placeholderNumber);
                target = placeholder;
                renames.push_back({target, cp932.value()});
            }
            if (entry.is_directory()) {
                const std::string folder = joinImagePath(to, target);
                makeDirectory(volume, folder);
                self(self, entry.path(), folder);
            } else if (target == name) {
                plainFiles.push_back(entry.path().string());
            } else {
                runToolOrThrow("mcopy",
                               mtoolsArguments(volume, {"-D", "o", entry.path().string(),
                                                        imagePath(joinImagePath(to, target))}));
            }
        }
        if (!plainFiles.empty()) {
            std::vector<std::string> arguments = mtoolsArguments(volume, {"-D", "o"});
            arguments.insert(arguments.end(), plainFiles.begin(), plainFiles.end());
            arguments.push_back(imagePath(joinImagePath(to, "")));
            runToolOrThrow("mcopy", arguments);
        }
    };
    copyFolder(copyFolder, hostFolder, imagePath(path).substr(2));
    for (const auto& rename : renames)
        renameShortEntry(volume, rename.placeholder, rename.cp932Name);
}

std::string shortNameField(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3)
        fail("not an 8.3 name: " + std::string(name));
    std::string field(11, ' ');
    field.replace(0, base.size(), base);
    field.replace(8, extension.size(), extension);
    // 0xE5 marks a deleted entry; a name starting with that byte (a CP932
    // lead byte) is stored as 0x05.
    if (static_cast<unsigned char>(field[0]) == 0xE5)
        field[0] = '\x05';
    return field;
}

void renameShortEntry(const FatVolume& volume, std::string_view placeholder,
                      std::string_view cp932Name, std::optional<std::uint8_t> smallLetters) {
    const std::string from = shortNameField(platform::upperAscii(placeholder));
    const std::string to = shortNameField(cp932Name);
    VolumeFile file(volume);
    std::vector<EntryPlace> matches;
    for (auto& entry : DirectoryWalk(file).allEntries())
        if (entry.bytes.compare(0, 11, from) == 0)
            matches.push_back(std::move(entry));
    if (matches.size() != 1)
        fail(std::to_string(matches.size()) + " entries named " + std::string(placeholder) +
             " in " + volume.mtoolsImage() + ", not exactly one");
    if (matches.front().followsLongName)
        fail(std::string(placeholder) + " in " + volume.mtoolsImage() +
             " has a long name, which would no longer match its 8.3 name");
    file.write(matches.front().at, to);
    if (smallLetters)
        file.write(matches.front().at + 12, std::string(1, static_cast<char>(*smallLetters)));
}

void writeIntoEntry(const FatVolume& volume, std::string_view shortName, std::size_t offset,
                    std::string_view bytes) {
    const std::string field = shortNameField(platform::upperAscii(shortName));
    VolumeFile file(volume);
    std::vector<EntryPlace> matches;
    for (auto& entry : DirectoryWalk(file).allEntries())
        if (entry.bytes.compare(0, 11, field) == 0)
            matches.push_back(std::move(entry));
    if (matches.size() != 1)
        fail(std::to_string(matches.size()) + " entries named " + std::string(shortName) + " in " +
             volume.mtoolsImage() + ", not exactly one");
    file.write(matches.front().at + offset, bytes);
}

std::vector<std::uint32_t> clusterChain(const FatVolume& volume, std::string_view shortName) {
    const std::string field = shortNameField(platform::upperAscii(shortName));
    VolumeFile file(volume);
    DirectoryWalk walk(file);
    std::vector<std::uint32_t> found;
    int matches = 0;
    for (const auto& entry : walk.allEntries())
        if (entry.bytes.compare(0, 11, field) == 0 && ++matches == 1)
            found = walk.chainOf(walk.firstClusterOf(entry.bytes));
    if (matches != 1)
        fail(std::to_string(matches) + " entries named " + std::string(shortName) + " in " +
             volume.mtoolsImage() + ", not exactly one");
    return found;
}

void writeIntoEveryEntry(const FatVolume& volume, std::size_t offset, std::string_view bytes) {
    if (offset + bytes.size() > 32)
        fail("a directory entry has 32 bytes");
    VolumeFile file(volume);
    for (const auto& entry : DirectoryWalk(file).allEntries())
        file.write(entry.at + offset, bytes);
}

std::uint32_t lastCluster(const FatVolume& volume) {
    VolumeFile file(volume);
    return DirectoryWalk(file).lastCluster();
}

void setFatEntry(const FatVolume& volume, std::uint32_t cluster, std::uint32_t value) {
    VolumeFile file(volume);
    DirectoryWalk walk(file);
    if (cluster < 2 || cluster > walk.lastCluster())
        fail("no cluster " + std::to_string(cluster) + " in " + volume.mtoolsImage());
    walk.setFatEntry(cluster, value);
}

std::string readFile(const FatVolume& volume, std::string_view path) {
    return runToolOrThrow("mcopy", mtoolsArguments(volume, {imagePath(path), "-"})).output;
}

std::vector<std::string> listDirectory(const FatVolume& volume, std::string_view path) {
    const std::string listing =
        runToolOrThrow("mdir", mtoolsArguments(volume, {"-a", "-b", imagePath(path)})).output;
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < listing.size()) {
        const std::size_t end = std::min(listing.find('\n', start), listing.size());
        std::string line = listing.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '/' || line.back() == '\r'))
            line.pop_back();
        const std::string name = line.substr(line.rfind('/') + 1);
        if (!name.empty() && name != "." && name != "..")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

FsckResult checkVolume(const FatVolume& volume) {
    // fsck.fat takes no offset, so it checks a copy of the volume alone.
    const std::filesystem::path copy =
        std::filesystem::temp_directory_path() /
        ("kor-fsck-" + std::to_string(::getpid()) + "-" + std::to_string(std::random_device{}()));
    FsckResult result;
    try {
        runToolOrThrow("dd",
                       {"if=" + volume.image.string(), "of=" + copy.string(), "bs=1M",
                        "iflag=skip_bytes,count_bytes", "skip=" + std::to_string(volume.offset),
                        "count=" + std::to_string(volume.length), "status=none"});
        ToolRun run = runTool("fsck.fat", {"-n", copy.string()});
        result.exitStatus = run.exitStatus;
        result.output = run.output + run.errorOutput;
    } catch (...) {
        std::filesystem::remove(copy);
        throw;
    }
    std::filesystem::remove(copy);
    return result;
}

void qemuImg(const std::vector<std::string>& arguments) {
    runToolOrThrow("qemu-img", arguments);
}

std::string whyNoQemuExport() {
    if (::access("/dev/fuse", R_OK | W_OK) != 0)
        return "no /dev/fuse here";
    for (const char* program : {"qemu-storage-daemon", "qemu-img", "fusermount3"}) {
        try {
            findTool(program);
        } catch (const std::runtime_error&) {
            return std::string(program) + " is missing";
        }
    }
    return {};
}

} // namespace kor::testing
