// SPDX-License-Identifier: GPL-3.0-or-later
#include "fat_reader.h"

#include "byte_order.h"
#include "platform/text.h"

#include "language/translation.h"

#include <algorithm>
#include <string_view>

namespace kor::diskimage {

using platform::fromCp932;
using platform::isShiftJisLeadByte;

namespace {

constexpr std::size_t EntryBytes = 32;
constexpr unsigned char EndOfFolder = 0x00;
constexpr unsigned char Deleted = 0xE5;
constexpr unsigned char StoredE5 = 0x05;
constexpr std::uint8_t VolumeLabel = 0x08;
constexpr std::uint8_t LongNameAttributes = 0x0F;
constexpr std::uint8_t LastLongNamePart = 0x40;
// A long name holds at most 255 characters, 13 in each of its entries.
constexpr unsigned MostLongNameParts = 20;
// Windows reads no more of a folder than 65,536 entries.
constexpr std::uint64_t LargestFolderBytes = 65536 * EntryBytes;
// The FAT is read in blocks of this size as the chains reach them.
constexpr std::uint64_t TableBlockBytes = 256 * 1024;
// Enough faults to say what is wrong; a volume with more is no better.
constexpr std::size_t MostFaults = 16;
// A Windows path holds at most 259 bytes, so no more folders than this of
// one-letter names ("\A\B\...") can be reached.
constexpr std::uint32_t DeepestFolder = 128;

unsigned byteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

bool isPowerOfTwo(std::uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

void appendUtf8(std::string& text, char32_t character) {
    if (character < 0x80) {
        text += static_cast<char>(character);
    } else if (character < 0x800) {
        text += static_cast<char>(0xC0 | character >> 6);
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        text += static_cast<char>(0xE0 | character >> 12);
        text += static_cast<char>(0x80 | (character >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | character >> 18);
        text += static_cast<char>(0x80 | (character >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (character >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
}

// A long name's UTF-16 units up to its terminating zero, in UTF-8; a lone
// surrogate becomes U+FFFD.
std::string utf8Of(const std::vector<char16_t>& units) {
    std::string text;
    for (std::size_t i = 0; i < units.size() && units[i] != 0; ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
        } else if (unit >= 0xD800 && unit < 0xE000) {
            appendUtf8(text, 0xFFFD);
        } else {
            appendUtf8(text, unit);
        }
    }
    return text;
}

// The checksum of an 8.3 name that its long name entries carry.
unsigned char shortNameChecksum(std::string_view field) {
    unsigned char sum = 0;
    for (std::size_t i = 0; i < 11; ++i)
        sum = static_cast<unsigned char>(((sum & 1) << 7) + (sum >> 1) + byteAt(field, i));
    return sum;
}

// The ASCII capitals of a CP932 name in small letters, the trail bytes of
// double-byte characters left alone.
void lowerAsciiLetters(std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (isShiftJisLeadByte(static_cast<unsigned char>(name[i])))
            ++i;
        else if (name[i] >= 'A' && name[i] <= 'Z')
            name[i] = static_cast<char>(name[i] - 'A' + 'a');
    }
}

// The 8.3 name of an entry; a name in small letters that Windows NT, and
// mtools, store without a long name keeps its case in two flags of byte 12.
std::string shortNameOf(std::string_view entry) {
    std::string base(entry.substr(0, 8));
    std::string extension(entry.substr(8, 3));
    base.erase(base.find_last_not_of(' ') + 1);
    extension.erase(extension.find_last_not_of(' ') + 1);
    if (!base.empty() && static_cast<unsigned char>(base[0]) == StoredE5)
        base[0] = static_cast<char>(Deleted);
    const unsigned smallLetters = byteAt(entry, 12);
    if (smallLetters & 0x08)
        lowerAsciiLetters(base);
    if (smallLetters & 0x10)
        lowerAsciiLetters(extension);
    return extension.empty() ? base : base + "." + extension;
}

// Calls `take` with the 32 bytes of each entry of a folder in their order,
// and its long name's UTF-16 units, or nothing when it has none; up to the
// mark that ends the folder.
template <typename Take> void forEachEntry(std::string_view bytes, Take&& take) {
    std::vector<char16_t> longName;
    unsigned partsToCome = 0; // of a long name begun; 0 when none is
    unsigned char checksum = 0;
    bool pending = false;
    for (std::size_t at = 0; at + EntryBytes <= bytes.size(); at += EntryBytes) {
        const std::string_view entry = bytes.substr(at, EntryBytes);
        const unsigned first = byteAt(entry, 0);
        if (first == EndOfFolder)
            return;
        const auto attributes = static_cast<std::uint8_t>(byteAt(entry, 11));
        if (first == Deleted) {
            pending = false;
            continue;
        }
        if ((attributes & 0x3F) == LongNameAttributes) {
            const unsigned part = first & 0x1F;
            if (first & LastLongNamePart) {
                pending = part >= 1 && part <= MostLongNameParts;
                longName.assign(std::size_t{part} * 13, 0xFFFF);
                checksum = static_cast<unsigned char>(byteAt(entry, 13));
                partsToCome = part;
            } else if (!pending || part == 0 || part != partsToCome ||
                       static_cast<unsigned char>(byteAt(entry, 13)) != checksum) {
                pending = false;
            }
            if (!pending)
                continue;
            constexpr std::size_t places[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
            for (std::size_t i = 0; i < 13; ++i)
                longName[(part - 1) * 13 + i] =
                    static_cast<char16_t>(littleEndian(entry, places[i], 2));
            --partsToCome;
            continue;
        }
        const bool named = pending && partsToCome == 0 && shortNameChecksum(entry) == checksum;
        pending = false;
        if ((attributes & VolumeLabel) != 0 || entry.starts_with(".          ") ||
            entry.starts_with("..         "))
            continue;
        take(entry, named ? &longName : nullptr);
    }
}

// The name Windows shows for an entry of a folder.
std::string nameOf(std::string_view entry, const std::vector<char16_t>* longName) {
    FatEntry named;
    named.shortName = shortNameOf(entry);
    if (longName)
        named.longName = utf8Of(*longName);
    return named.name();
}

FatFault layoutFault() {
    return {FatFault::Kind::Layout, {}, {}, 0, 0};
}

} // namespace

std::string FatEntry::name() const {
    if (!longName.empty())
        return longName;
    return fromCp932(shortName).valueOr(shortName);
}

std::string FatFault::english() const {
    switch (kind) {
    case Kind::Layout:
        return "its boot sector describes no FAT volume that fits the disk";
    case Kind::Unreadable:
        return "the clusters of " + path + " cannot be read";
    case Kind::Loop:
        return "the cluster chain of " + path + " runs in a loop";
    case Kind::Broken:
        return "the cluster chain of " + path + " runs into a free or bad cluster";
    case Kind::Outside:
        return "the cluster chain of " + path + " leads outside the volume";
    case Kind::WrongLength:
        return path + " has " + std::to_string(clusters) + " clusters for its " +
               std::to_string(size) + " bytes";
    case Kind::CrossLinked:
        return path + " shares clusters with " + (other.empty() ? "another file" : other);
    case Kind::TooDeep:
        return path + " lies in more folders than a Windows path can hold";
    }
    return {};
}

std::string FatFault::userText() const {
    switch (kind) {
    case Kind::Layout:
        return language::translate("diskimage", "ﾌﾞｰﾄｾｸﾀの内容がﾃﾞｨｽｸと合いません");
    case Kind::Unreadable:
        return language::fill(language::translate("diskimage", "{1} のｸﾗｽﾀを読み込めません"),
                              {path});
    case Kind::Loop:
        return language::fill(language::translate("diskimage", "{1} のｸﾗｽﾀﾁｪｰﾝが循環しています"),
                              {path});
    case Kind::Broken:
        return language::fill(
            language::translate("diskimage",
                                "{1} のｸﾗｽﾀﾁｪｰﾝが空きｸﾗｽﾀか不良ｸﾗｽﾀにつながっています"),
            {path});
    case Kind::Outside:
        return language::fill(
            language::translate("diskimage", "{1} のｸﾗｽﾀﾁｪｰﾝがﾎﾞﾘｭｰﾑの外を指しています"), {path});
    case Kind::WrongLength:
        return language::fill(
            language::translate("diskimage",
                                "{1} のｸﾗｽﾀ数 ({2}) がﾌｧｲﾙｻｲｽﾞ ({3} ﾊﾞｲﾄ) と合いません"),
            {path, std::to_string(clusters), std::to_string(size)});
    case Kind::CrossLinked:
        return other.empty()
                   ? language::fill(
                         language::translate("diskimage",
                                             "{1} と ほかのﾌｧｲﾙ が同じｸﾗｽﾀを使っています (ｸﾛｽﾘﾝｸ)"),
                         {path})
                   : language::fill(
                         language::translate("diskimage",
                                             "{1} と {2} が同じｸﾗｽﾀを使っています (ｸﾛｽﾘﾝｸ)"),
                         {path, other});
    case Kind::TooDeep:
        return language::fill(language::translate("diskimage", "{1} のﾌｫﾙﾀﾞの階層が深すぎます"),
                              {path});
    }
    return {};
}

Result<FatReader> FatReader::open(ImageReader read, ImageVolume volume, const std::string& image) {
    const auto damaged = [&] {
        const FatFault fault = layoutFault();
        return Error(Operation::OpenImage, image, EBADMSG, fault.english())
            .withUserReason(language::fill(
                language::translate("diskimage", "ﾃﾞｨｽｸｲﾒｰｼﾞ {1} のﾌｧｲﾙｼｽﾃﾑが壊れています ({2})"),
                {image, fault.userText()}));
    };
    const std::string boot = read(volume.offset, 512);
    if (boot.size() < 512)
        return damaged();
    const std::uint32_t bytesPerSector = littleEndian(boot, 11, 2);
    const std::uint32_t sectorsPerCluster = byteAt(boot, 13);
    const std::uint32_t reserved = littleEndian(boot, 14, 2);
    const std::uint32_t tables = byteAt(boot, 16);
    const std::uint32_t rootEntries = littleEndian(boot, 17, 2);
    const std::uint32_t sectors16 = littleEndian(boot, 19, 2);
    const std::uint32_t tableSectors16 = littleEndian(boot, 22, 2);
    const std::uint64_t sectors = sectors16 != 0 ? sectors16 : littleEndian(boot, 32, 4);
    const std::uint64_t tableSectors =
        tableSectors16 != 0 ? tableSectors16 : littleEndian(boot, 36, 4);
    if (bytesPerSector < 512 || bytesPerSector > 4096 || !isPowerOfTwo(bytesPerSector) ||
        !isPowerOfTwo(sectorsPerCluster) || reserved == 0 || tables == 0 || tableSectors == 0 ||
        sectors * bytesPerSector > volume.length)
        return damaged();
    const std::uint64_t rootSectors =
        (std::uint64_t{rootEntries} * EntryBytes + bytesPerSector - 1) / bytesPerSector;
    const std::uint64_t dataSector = reserved + tables * tableSectors + rootSectors;
    if (dataSector >= sectors)
        return damaged();
    const std::uint64_t clusterCount = (sectors - dataSector) / sectorsPerCluster;
    if (clusterCount == 0 || clusterCount > 0x0FFFFFF5 - 2)
        return damaged();

    FatReader reader;
    reader.m_read = std::move(read);
    reader.m_volumeOffset = volume.offset;
    reader.m_type = clusterCount < 4085    ? FatType::Fat12
                    : clusterCount < 65525 ? FatType::Fat16
                                           : FatType::Fat32;
    reader.m_clusterBytes = bytesPerSector * sectorsPerCluster;
    reader.m_lastCluster = static_cast<std::uint32_t>(clusterCount + 1);
    reader.m_rootOffset = (reserved + tables * tableSectors) * bytesPerSector;
    reader.m_rootBytes = std::uint64_t{rootEntries} * EntryBytes;
    reader.m_dataOffset = dataSector * bytesPerSector;
    if (reader.m_type == FatType::Fat32) {
        reader.m_rootCluster = littleEndian(boot, 44, 4);
        if (rootEntries != 0 || reader.m_rootCluster < 2 ||
            reader.m_rootCluster > reader.m_lastCluster)
            return damaged();
    } else if (rootEntries == 0) {
        return damaged();
    }
    const std::uint64_t entries = std::uint64_t{reader.m_lastCluster} + 1;
    const std::uint64_t tableBytes = reader.m_type == FatType::Fat12   ? (entries * 3 + 1) / 2
                                     : reader.m_type == FatType::Fat16 ? entries * 2
                                                                       : entries * 4;
    if (tableBytes > tableSectors * bytesPerSector)
        return damaged();
    reader.m_tableOffset = volume.offset + std::uint64_t{reserved} * bytesPerSector;
    reader.m_tableBytes = tableBytes;
    reader.m_tableBlocks.resize((tableBytes + TableBlockBytes - 1) / TableBlockBytes);
    return reader;
}

std::uint32_t FatReader::tableBytes(std::uint64_t at, std::size_t width) const {
    std::uint32_t value = 0;
    for (std::uint64_t i = at + width; i-- > at;) {
        std::string& block = m_tableBlocks[i / TableBlockBytes];
        if (block.empty()) {
            const std::uint64_t start = i / TableBlockBytes * TableBlockBytes;
            const std::size_t length =
                std::min<std::uint64_t>(TableBlockBytes, m_tableBytes - start);
            // What cannot be read counts as free clusters, where the chains break off.
            block = m_read(m_tableOffset + start, length);
            block.resize(length, '\0');
        }
        value = value << 8 | static_cast<unsigned char>(block[i % TableBlockBytes]);
    }
    return value;
}

std::uint32_t FatReader::firstClusterOf(std::string_view entry) const {
    // FAT12 and FAT16 leave bytes 20-21 to others: OS/2 and Windows NT keep
    // an extended attributes handle there.
    const std::uint32_t high = m_type == FatType::Fat32 ? littleEndian(entry, 20, 2) : 0;
    return littleEndian(entry, 26, 2) | high << 16;
}

std::uint32_t FatReader::next(std::uint32_t cluster) const {
    switch (m_type) {
    case FatType::Fat12: {
        const std::uint32_t pair = tableBytes(cluster + cluster / 2, 2);
        return cluster % 2 ? pair >> 4 : pair & 0xFFF;
    }
    case FatType::Fat16:
        return tableBytes(std::uint64_t{cluster} * 2, 2);
    case FatType::Fat32:
        return tableBytes(std::uint64_t{cluster} * 4, 4) & 0x0FFFFFFF;
    }
    return 0;
}

bool FatReader::endsChain(std::uint32_t value) const {
    switch (m_type) {
    case FatType::Fat12:
        return value >= 0xFF8;
    case FatType::Fat16:
        return value >= 0xFFF8;
    case FatType::Fat32:
        return value >= 0x0FFFFFF8;
    }
    return true;
}

bool FatReader::breaksChain(std::uint32_t value) const {
    const std::uint32_t bad = m_type == FatType::Fat12   ? 0xFF7
                              : m_type == FatType::Fat16 ? 0xFFF7
                                                         : 0x0FFFFFF7;
    return value == 0 || value == bad;
}

std::uint64_t FatReader::clusterOffset(std::uint32_t cluster) const {
    return m_dataOffset + std::uint64_t{cluster - 2} * m_clusterBytes;
}

FatRead<std::vector<std::uint32_t>> FatReader::chainOf(std::uint32_t first,
                                                       std::uint64_t most) const {
    const auto fault = [](FatFault::Kind kind) { return FatFault{kind, {}, {}, 0, 0}; };
    std::vector<std::uint32_t> chain;
    for (std::uint32_t cluster = first; chain.size() < most;) {
        if (cluster < 2 || cluster > m_lastCluster)
            return fault(FatFault::Kind::Outside);
        chain.push_back(cluster);
        const std::uint32_t following = next(cluster);
        if (endsChain(following))
            break;
        if (breaksChain(following))
            return fault(FatFault::Kind::Broken);
        cluster = following;
    }
    // A chain that comes back to a cluster passes it twice within its bound.
    std::vector<std::uint32_t> sorted = chain;
    std::ranges::sort(sorted);
    if (std::ranges::adjacent_find(sorted) != sorted.end())
        return fault(FatFault::Kind::Loop);
    return chain;
}

bool FatReader::chainBytes(const std::vector<std::uint32_t>& chain, std::uint64_t length,
                           const std::function<bool(std::string_view)>& sink) const {
    constexpr std::uint64_t mostAtOnce = 1024 * 1024;
    std::uint64_t given = 0;
    for (std::size_t start = 0; start < chain.size() && given < length;) {
        std::size_t end = start + 1;
        while (end < chain.size() && chain[end] == chain[end - 1] + 1)
            ++end;
        const std::uint64_t runStart = m_volumeOffset + clusterOffset(chain[start]);
        const std::uint64_t runLength =
            std::min<std::uint64_t>((end - start) * std::uint64_t{m_clusterBytes}, length - given);
        for (std::uint64_t done = 0; done < runLength;) {
            const std::uint64_t wanted = std::min(mostAtOnce, runLength - done);
            const std::string piece = m_read(runStart + done, wanted);
            if (piece.size() < wanted)
                return false;
            if (!sink(piece))
                return true;
            done += wanted;
        }
        given += runLength;
        start = end;
    }
    return true;
}

std::optional<std::string> FatReader::folderBytes(const std::vector<std::uint32_t>& chain) const {
    if (chain.empty()) {
        std::string bytes = m_read(m_volumeOffset + m_rootOffset, m_rootBytes);
        return bytes.size() == m_rootBytes ? std::optional(std::move(bytes)) : std::nullopt;
    }
    std::string bytes;
    const bool read = chainBytes(
        chain, std::min<std::uint64_t>(chain.size() * m_clusterBytes, LargestFolderBytes),
        [&bytes](std::string_view piece) {
            bytes += piece;
            return true;
        });
    return read ? std::optional(std::move(bytes)) : std::nullopt;
}

FatRead<std::vector<FatEntry>> FatReader::readFolder(std::uint32_t firstCluster) const {
    if (firstCluster == 0)
        firstCluster = m_rootCluster;
    std::vector<std::uint32_t> chain;
    if (firstCluster != 0) {
        // No folder is read further than Windows reads one.
        FatRead<std::vector<std::uint32_t>> found =
            chainOf(firstCluster, (LargestFolderBytes + m_clusterBytes - 1) / m_clusterBytes);
        if (const FatFault* fault = std::get_if<FatFault>(&found))
            return *fault;
        chain = std::get<0>(std::move(found));
    }
    const std::optional<std::string> bytes = folderBytes(chain);
    if (!bytes)
        return FatFault{FatFault::Kind::Unreadable, {}, {}, 0, 0};
    std::vector<FatEntry> entries;
    forEachEntry(*bytes, [&](std::string_view entry, const std::vector<char16_t>* longName) {
        FatEntry& found = entries.emplace_back();
        found.shortName = shortNameOf(entry);
        if (longName)
            found.longName = utf8Of(*longName);
        found.storedName = std::string(entry.substr(0, 11));
        found.smallLetters = static_cast<std::uint8_t>(byteAt(entry, 12));
        found.attributes = static_cast<std::uint8_t>(byteAt(entry, 11));
        found.firstCluster = firstClusterOf(entry);
        found.size = littleEndian(entry, 28, 4);
    });
    return entries;
}

Result<std::vector<FatEntry>> FatReader::list(std::uint32_t firstCluster) const {
    FatRead<std::vector<FatEntry>> read = readFolder(firstCluster);
    if (const FatFault* fault = std::get_if<FatFault>(&read))
        return fault->kind == FatFault::Kind::Unreadable
                   ? Error(Operation::List, {}, EIO, "a folder's clusters cannot be read")
                   : Error(Operation::List, {}, EBADMSG, "a folder's cluster chain is broken");
    return std::get<0>(std::move(read));
}

std::optional<FatFault>
FatReader::readFile(const FatEntry& file, const std::function<bool(std::string_view)>& sink) const {
    const std::uint64_t needed = (std::uint64_t{file.size} + m_clusterBytes - 1) / m_clusterBytes;
    if (needed == 0)
        return std::nullopt;
    const auto fault = [&](FatFault::Kind kind, std::uint32_t clusters) {
        return FatFault{kind, {}, {}, clusters, file.size};
    };
    if (file.firstCluster == 0)
        return fault(FatFault::Kind::WrongLength, 0);
    FatRead<std::vector<std::uint32_t>> found = chainOf(file.firstCluster, needed);
    if (const FatFault* chainFault = std::get_if<FatFault>(&found))
        return *chainFault;
    const std::vector<std::uint32_t>& chain = std::get<0>(found);
    if (chain.size() < needed)
        return fault(FatFault::Kind::WrongLength, static_cast<std::uint32_t>(chain.size()));
    if (!chainBytes(chain, file.size, sink))
        return fault(FatFault::Kind::Unreadable, 0);
    return std::nullopt;
}

// One walk of every folder. Each cluster a chain passes is marked in a bitmap,
// so that a cluster met again is a loop or a cross-link, found in one step,
// and no folder is entered twice. Each chain is kept by its first cluster and
// length, and each folder by its name, so that the few faults told find their
// paths and the other holder of a cross-link without walking the folders
// again; the walk ends at MostFaults.
class FatReader::Check {
  public:
    explicit Check(const FatReader& reader)
        : m_reader(reader), m_used(std::size_t{reader.m_lastCluster} / 64 + 1) {}

    std::vector<FatFault> run() {
        // Folder 0 is the root: FAT32's root chain, or the fixed root.
        m_folders.push_back({0, m_reader.m_rootCluster, 0, {}});
        std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>> toWalk(1);
        if (m_reader.m_rootCluster != 0 &&
            !follow(m_reader.m_rootCluster, {0, Itself}, &toWalk[0].second))
            return std::move(m_faults);
        while (!toWalk.empty() && !full()) {
            // Named one by one: clang 14 cannot capture a structured binding
            // in the lambda below.
            const std::uint32_t folder = toWalk.back().first;
            const std::vector<std::uint32_t> chain = std::move(toWalk.back().second);
            toWalk.pop_back();
            const std::optional<std::string> bytes = m_reader.folderBytes(chain);
            if (!bytes) {
                fault(FatFault::Kind::Unreadable, {folder, Itself});
                continue;
            }
            std::uint32_t ordinal = 0;
            forEachEntry(*bytes, [&](std::string_view entry,
                                     const std::vector<char16_t>* longName) {
                const Place place{folder, ordinal++};
                if (full())
                    return;
                const std::uint32_t first = m_reader.firstClusterOf(entry);
                if (byteAt(entry, 11) & FatEntry::Directory) {
                    const std::uint32_t depth = m_folders[folder].depth + 1;
                    if (depth > DeepestFolder) {
                        fault(FatFault::Kind::TooDeep, place);
                        return;
                    }
                    std::vector<std::uint32_t> clusters;
                    if (!follow(first, place, &clusters))
                        return;
                    m_folders.push_back({folder, first, depth, nameOf(entry, longName)});
                    toWalk.emplace_back(static_cast<std::uint32_t>(m_folders.size() - 1),
                                        std::move(clusters));
                    return;
                }
                const std::uint32_t size = littleEndian(entry, 28, 4);
                const auto needed = static_cast<std::uint32_t>(
                    (std::uint64_t{size} + m_reader.m_clusterBytes - 1) / m_reader.m_clusterBytes);
                const std::optional<std::uint32_t> count =
                    first == 0 ? std::optional<std::uint32_t>(0) : follow(first, place, nullptr);
                if (count && *count != needed) {
                    FatFault& wrong = fault(FatFault::Kind::WrongLength, place);
                    wrong.clusters = *count;
                    wrong.size = size;
                }
            });
        }
        return std::move(m_faults);
    }

  private:
    static constexpr std::uint32_t Itself = 0xFFFFFFFF;

    // A folder met on the walk, inside folder `parent` (the root in itself).
    struct Folder {
        std::uint32_t parent;
        std::uint32_t firstCluster;
        std::uint32_t depth;
        std::string name;
    };
    // An entry of a folder, as list gives them, or the folder Itself.
    struct Place {
        std::uint32_t folder;
        std::uint32_t ordinal;
        bool operator==(const Place&) const = default;
    };
    // The clusters a chain has marked: `length` of them from `first`.
    struct Chain {
        std::uint32_t first;
        std::uint32_t length;
        Place place;
    };

    bool used(std::uint32_t cluster) const { return (m_used[cluster / 64] >> cluster % 64) & 1; }
    bool full() const { return m_faults.size() >= MostFaults; }

    // "\WINDOWS\LOGO.SYS"; "\" for the root. The name of an entry is read
    // from its folder again: only a fault asks.
    std::string pathOf(Place place) const {
        std::string path;
        if (place.ordinal != Itself) {
            const Result<std::vector<FatEntry>> entries =
                m_reader.list(m_folders[place.folder].firstCluster);
            path = "\\" + (entries && place.ordinal < entries.value().size()
                               ? entries.value()[place.ordinal].name()
                               : std::string("?"));
        }
        for (std::uint32_t folder = place.folder; folder != 0; folder = m_folders[folder].parent)
            path.insert(0, "\\" + m_folders[folder].name);
        return path.empty() ? "\\" : path;
    }

    FatFault& fault(FatFault::Kind kind, Place place) {
        m_faults.push_back({kind, pathOf(place), {}, 0, 0});
        return m_faults.back();
    }

    // Whether the chain from `first` passes `cluster` within `length` clusters.
    bool passes(std::uint32_t first, std::uint32_t length, std::uint32_t cluster) const {
        std::uint32_t at = first;
        for (std::uint32_t i = 0; i < length && at >= 2 && at <= m_reader.m_lastCluster; ++i) {
            if (at == cluster)
                return true;
            at = m_reader.next(at);
        }
        return false;
    }

    // The other holder of a cluster met a second time, among the chains
    // walked before; each is walked no further than it was marked.
    std::string holderOf(std::uint32_t cluster, Place asking) const {
        for (const Chain& chain : m_chains)
            if (chain.place != asking && passes(chain.first, chain.length, cluster))
                return pathOf(chain.place);
        return {};
    }

    // Follows the chain from `first` of the entry at `place` and marks its
    // clusters, collecting them in `clusters` when given. How many it has;
    // nothing, with the fault, when it is not sound.
    std::optional<std::uint32_t> follow(std::uint32_t first, Place place,
                                        std::vector<std::uint32_t>* clusters) {
        std::uint32_t count = 0;
        const auto keep = [&] {
            if (count != 0)
                m_chains.push_back({first, count, place});
        };
        std::uint32_t cluster = first;
        for (;;) {
            if (cluster < 2 || cluster > m_reader.m_lastCluster) {
                keep();
                fault(FatFault::Kind::Outside, place);
                return std::nullopt;
            }
            if (used(cluster)) {
                if (passes(first, count, cluster)) {
                    fault(FatFault::Kind::Loop, place);
                } else {
                    const std::string other = holderOf(cluster, place);
                    fault(FatFault::Kind::CrossLinked, place).other = other;
                }
                keep();
                return std::nullopt;
            }
            m_used[cluster / 64] |= std::uint64_t{1} << cluster % 64;
            ++count;
            if (clusters)
                clusters->push_back(cluster);
            const std::uint32_t following = m_reader.next(cluster);
            if (m_reader.endsChain(following)) {
                keep();
                return count;
            }
            if (m_reader.breaksChain(following)) {
                keep();
                fault(FatFault::Kind::Broken, place);
                return std::nullopt;
            }
            cluster = following;
        }
    }

    const FatReader& m_reader;
    std::vector<std::uint64_t> m_used;
    std::vector<Folder> m_folders;
    std::vector<Chain> m_chains;
    std::vector<FatFault> m_faults;
};

std::vector<FatFault> FatReader::check() const {
    return Check(*this).run();
}

std::vector<FatFault> checkFatVolume(const ImageReader& read, ImageVolume volume) {
    const Result<FatReader> reader = FatReader::open(read, volume, {});
    if (!reader)
        return {layoutFault()};
    return reader.value().check();
}

} // namespace kor::diskimage
