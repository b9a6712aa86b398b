// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive_directory.h"
#include "operations.h"

#include "lhasa_archive.h"
#include "member_name.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <limits>
#include <system_error>

namespace kor::unlha32 {

namespace {

bool isFile(const LHAFileHeader& header) {
    return std::strcmp(header.compress_method, LHA_COMPRESS_TYPE_DIR) != 0 &&
           header.symlink_target == nullptr;
}

bool fitsTheRecord(const LHAFileHeader& header, const StoredHeaderFields& stored,
                   std::uint64_t headerOffset) {
    constexpr std::uint64_t largestSize = std::numeric_limits<std::uint32_t>::max();
    return stored.name.size() <= MaximumStoredNameLength && header.length <= largestSize &&
           headerOffset < FileOffset::Limit && header.compressed_length <= largestSize &&
           stored.largeLength.value_or(0) <= largestSize &&
           stored.largeCompressedLength.value_or(0) <= largestSize;
}

ArchiveMember makeMember(const LHAFileHeader& header, const StoredHeaderFields& stored,
                         std::uint64_t headerOffset) {
    ArchiveMember member;
    member.storedName = stored.name;
    member.method = MemberMethod(header.compress_method);
    member.compressedLength = static_cast<std::uint32_t>(header.compressed_length);
    member.length = static_cast<std::uint32_t>(header.length);
    member.crc = header.crc;
    member.osType = header.os_type;
    member.headerLevel = header.header_level;
    member.unixTime = header.timestamp;
    // Converted only when the header stores no MS-DOS stamp: a conversion
    // asks the time zone.
    member.dosTimestamp =
        stored.dosTimestamp ? *stored.dosTimestamp : dosTimestampFromUnixTime(header.timestamp);
    member.headerOffset = FileOffset(headerOffset);
    return member;
}

constexpr std::size_t NameBlockSize = 64 * 1024;
constexpr std::size_t AddedChunkSize = 4096;

std::uint32_t nameHash(std::string_view name) {
    return static_cast<std::uint32_t>(std::hash<std::string>{}(foldMemberName(name)));
}

} // namespace

MemberMethod::MemberMethod(std::string_view text) {
    m_size = static_cast<std::uint8_t>(std::min(text.size(), m_text.size()));
    std::copy_n(text.data(), m_size, m_text.data());
}

std::string_view ArchiveDirectory::storeName(std::string_view name) {
    // Names never span two blocks, so that a block once filled never moves.
    if (m_nameBlocks.empty() || NameBlockSize - m_nameBlockUsed < name.size()) {
        m_nameBlocks.push_back(
            std::make_unique_for_overwrite<char[]>(std::max(NameBlockSize, name.size())));
        m_nameBlockUsed = 0;
    }
    char* const stored = m_nameBlocks.back().get() + m_nameBlockUsed;
    std::copy(name.begin(), name.end(), stored);
    m_nameBlockUsed += name.size();
    return {stored, name.size()};
}

void ArchiveDirectory::add(ArchiveMember member) {
    member.storedName = storeName(member.storedName);
    if (m_added.empty() || m_added.back().size() == AddedChunkSize) {
        m_added.emplace_back();
        m_added.back().reserve(AddedChunkSize);
    }
    m_added.back().push_back(member);
}

void ArchiveDirectory::index() {
    std::size_t count = m_members.size();
    for (const auto& chunk : m_added)
        count += chunk.size();
    m_members.reserve(count);
    for (auto& chunk : m_added) {
        m_members.insert(m_members.end(), chunk.begin(), chunk.end());
        std::vector<ArchiveMember>().swap(chunk);
    }
    m_added.clear();
    m_index.clear();
    m_index.reserve(m_members.size());
    for (std::size_t position = 0; position < m_members.size(); ++position)
        m_index.push_back(
            {nameHash(m_members[position].storedName), static_cast<std::uint32_t>(position)});
    std::sort(m_index.begin(), m_index.end());
}

std::vector<std::size_t> ArchiveDirectory::membersNamed(std::string_view name) const {
    const std::string folded = foldMemberName(name);
    const auto hash = static_cast<std::uint32_t>(std::hash<std::string>{}(folded));
    std::vector<std::size_t> positions;
    for (auto entry = std::lower_bound(m_index.begin(), m_index.end(), IndexEntry{hash, 0});
         entry != m_index.end() && entry->hash == hash; ++entry)
        if (foldMemberName(m_members[entry->position].storedName) == folded)
            positions.push_back(entry->position);
    return positions;
}

platform::Result<ArchiveDirectory> readArchiveDirectory(std::string_view windowsPath) {
    const auto damaged = [&](std::string reason) {
        return platform::Error(operation::ReadArchive, std::string(windowsPath), EINVAL,
                               std::move(reason));
    };
    auto opened = LhasaArchive::open(windowsPath);
    if (!opened)
        return opened.error();
    LhasaArchive& archive = *opened.value();
    const std::uint64_t fileSize = archive.size();

    ArchiveDirectory directory;
    std::size_t headerCount = 0;
    std::uint64_t dataEnd = 0;
    while (const LHAFileHeader* header = archive.nextHeader()) {
        // Each header follows the data of the one before.
        const std::uint64_t headerOffset = dataEnd;
        dataEnd = archive.position() + header->compressed_length;
        const auto stored = readStoredHeaderFields({header->raw_data, header->raw_data_len});
        if (!stored)
            return damaged("a header is damaged");
        if (isFile(*header) && fitsTheRecord(*header, *stored, headerOffset))
            directory.add(makeMember(*header, *stored, headerOffset));
        ++headerCount;
    }

    if (headerCount == 0) {
        if (fileSize == 1 && archive.byteAt(0) == std::uint8_t{0})
            return ArchiveDirectory();
        return damaged("not an LZH archive");
    }
    if (dataEnd > fileSize)
        return damaged("the archive ends inside a member");
    if (dataEnd < fileSize && archive.byteAt(dataEnd) != std::uint8_t{0})
        return damaged("a header is damaged");
    directory.index();
    return directory;
}

} // namespace kor::unlha32
