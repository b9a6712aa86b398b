#include "archive_directory.h"

#include "lhasa_archive.h"
#include "member_name.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <system_error>

namespace kor::unlha32 {

namespace {

bool isFile(const LHAFileHeader& header) {
    return std::strcmp(header.compress_method, LHA_COMPRESS_TYPE_DIR) != 0 &&
           header.symlink_target == nullptr;
}

bool fitsTheRecord(const LHAFileHeader& header, const StoredHeaderFields& stored) {
    constexpr std::uint64_t largestSize = std::numeric_limits<std::uint32_t>::max();
    return stored.name.size() <= maximumStoredNameLength && header.length <= largestSize &&
           header.compressed_length <= largestSize &&
           stored.largeLength.value_or(0) <= largestSize &&
           stored.largeCompressedLength.value_or(0) <= largestSize;
}

ArchiveMember makeMember(const LHAFileHeader& header, const StoredHeaderFields& stored,
                         std::size_t headerIndex) {
    ArchiveMember member;
    member.storedName = stored.name;
    member.method = header.compress_method;
    member.compressedLength = static_cast<std::uint32_t>(header.compressed_length);
    member.length = static_cast<std::uint32_t>(header.length);
    member.crc = header.crc;
    member.osType = header.os_type;
    member.headerLevel = header.header_level;
    member.unixTime = header.timestamp;
    member.dosTimestamp = stored.dosTimestamp.value_or(dosTimestampFromUnixTime(header.timestamp));
    member.headerIndex = headerIndex;
    return member;
}

} // namespace

ArchiveDirectory::ArchiveDirectory(std::vector<ArchiveMember> members)
    : m_members(std::move(members)) {
    for (std::size_t position = 0; position < m_members.size(); ++position)
        m_positionsByFoldedName[foldMemberName(m_members[position].storedName)].push_back(position);
}

std::span<const std::size_t> ArchiveDirectory::membersNamed(std::string_view name) const {
    const auto found = m_positionsByFoldedName.find(foldMemberName(name));
    if (found == m_positionsByFoldedName.end())
        return {};
    return found->second;
}

platform::Result<ArchiveDirectory> readArchiveDirectory(const std::filesystem::path& hostPath,
                                                        std::string_view windowsPath) {
    const auto damaged = [&](std::string reason) {
        return platform::Error(platform::Operation::ReadArchive, std::string(windowsPath), EINVAL,
                               std::move(reason));
    };
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(hostPath, error);
    if (error)
        return platform::Error(platform::Operation::ReadArchive, std::string(windowsPath),
                               error.value());
    auto opened = LhasaArchive::open(hostPath, windowsPath);
    if (!opened)
        return opened.error();
    LhasaArchive& archive = *opened.value();

    std::vector<ArchiveMember> members;
    std::size_t headerCount = 0;
    std::uint64_t dataEnd = 0;
    while (const LHAFileHeader* header = archive.nextHeader()) {
        dataEnd = archive.position() + header->compressed_length;
        const auto stored = readStoredHeaderFields({header->raw_data, header->raw_data_len});
        if (!stored)
            return damaged("a header is damaged");
        if (isFile(*header) && fitsTheRecord(*header, *stored))
            members.push_back(makeMember(*header, *stored, headerCount));
        ++headerCount;
    }

    if (headerCount == 0) {
        if (fileSize == 1 && archive.byteAt(0) == std::uint8_t{0})
            return ArchiveDirectory({});
        return damaged("not an LZH archive");
    }
    if (dataEnd > fileSize)
        return damaged("the archive ends inside a member");
    if (dataEnd < fileSize && archive.byteAt(dataEnd) != std::uint8_t{0})
        return damaged("a header is damaged");
    return ArchiveDirectory(std::move(members));
}

} // namespace kor::unlha32
