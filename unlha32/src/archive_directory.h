#pragma once

#include "stored_header.h"

#include "platform/result.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kor::unlha32 {

// One file of an archive, copied out of its header.
struct ArchiveMember {
    std::string storedName; // CP932, as stored, parts joined by "\"
    std::string method;     // such as "-lh5-"
    std::uint32_t compressedLength = 0;
    std::uint32_t length = 0;
    std::uint16_t crc = 0;
    std::uint8_t osType = 0;
    std::uint8_t headerLevel = 0;
    DosTimestamp dosTimestamp;
    std::int64_t unixTime = 0;   // as lhasa reports it; 0 when unknown
    std::size_t headerIndex = 0; // position among all headers of the archive
};

// The longest stored name the member record can hold with its ending zero.
constexpr std::size_t maximumStoredNameLength = 512;

// The files of an archive in archive order, with an index by name. Folders,
// symbolic links and members that the member record cannot hold (a name
// longer than 512 bytes, a size of 4 GiB or more) are left out.
class ArchiveDirectory {
  public:
    explicit ArchiveDirectory(std::vector<ArchiveMember> members);

    const std::vector<ArchiveMember>& members() const { return m_members; }

    // The positions in members() of those named `name` (compared as
    // foldMemberName does), in archive order.
    std::span<const std::size_t> membersNamed(std::string_view name) const;

  private:
    std::vector<ArchiveMember> m_members;
    std::unordered_map<std::string, std::vector<std::size_t>> m_positionsByFoldedName;
};

// Reads every header of the archive at a host path. Fails when the file cannot
// be read, is not an LZH archive, or a header cannot be read or the archive
// does not end where its last member's data ends (at the ending zero byte or
// the end of the file). An archive of that zero byte alone has no members.
platform::Result<ArchiveDirectory> readArchiveDirectory(const std::filesystem::path& hostPath,
                                                        std::string_view windowsPath);

} // namespace kor::unlha32
