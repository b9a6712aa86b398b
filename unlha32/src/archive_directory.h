// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stored_header.h"

#include "platform/result.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kor::unlha32 {

// The compression method as a header names it ("-lh5-"), kept in place: an
// archive of a million members must not cost a million strings.
class MemberMethod {
  public:
    MemberMethod() = default;
    // Keeps at most the first five bytes, as many as lhasa reports.
    explicit MemberMethod(std::string_view text);

    const char* data() const { return m_text.data(); }
    std::size_t size() const { return m_size; }
    operator std::string_view() const { return {m_text.data(), m_size}; }
    friend bool operator==(const MemberMethod& method, std::string_view text) {
        return std::string_view(method) == text;
    }
    // For reports: "cannot decode the method " + method.
    friend std::string operator+(std::string_view text, const MemberMethod& method) {
        return std::string(text).append(method);
    }

  private:
    std::array<char, 5> m_text{};
    std::uint8_t m_size = 0;
};

// A place in a file in six bytes (up to 256 TiB), so that a member record
// stays small.
class FileOffset {
  public:
    static constexpr std::uint64_t Limit = std::uint64_t{1} << 48;

    FileOffset() = default;
    // Only for offsets below the limit.
    explicit FileOffset(std::uint64_t offset)
        : m_parts{static_cast<std::uint16_t>(offset), static_cast<std::uint16_t>(offset >> 16),
                  static_cast<std::uint16_t>(offset >> 32)} {}

    std::uint64_t value() const {
        return m_parts[0] | std::uint64_t{m_parts[1]} << 16 | std::uint64_t{m_parts[2]} << 32;
    }

  private:
    std::array<std::uint16_t, 3> m_parts{};
};

// One file of an archive, copied out of its header. Its name lies in the
// directory that holds it and is valid as long as that directory.
// Its fields are ordered so that it takes 48 bytes.
struct ArchiveMember {
    std::string_view storedName; // CP932, as stored, parts joined by "\"
    MemberMethod method;
    std::uint16_t crc = 0;
    std::uint32_t unixTime = 0; // as lhasa reports it; 0 when unknown
    std::uint32_t compressedLength = 0;
    std::uint32_t length = 0;
    DosTimestamp dosTimestamp;
    // Where its header starts in the file, so that extraction reads it alone;
    // 0 for the first header, which may follow a self-extractor's program.
    FileOffset headerOffset;
    std::uint8_t osType = 0;
    std::uint8_t headerLevel = 0;
};
static_assert(sizeof(ArchiveMember) <= 48);

// The longest stored name the member record can hold with its ending zero.
constexpr std::size_t MaximumStoredNameLength = 512;

// The files of an archive in archive order, with an index by name. Folders,
// symbolic links and members that the member record cannot hold (a name
// longer than 512 bytes, a size of 4 GiB or more, a header 256 TiB or more
// into the file) are left out.
//
// It is kept for as long as the archive is open or cached, so it holds little
// beside the archive's own bytes: the names end to end in blocks that never
// move, and an index of a hash and a position per member.
class ArchiveDirectory {
  public:
    ArchiveDirectory() = default;
    ArchiveDirectory(ArchiveDirectory&&) = default;
    ArchiveDirectory& operator=(ArchiveDirectory&&) = default;
    // A copy's members would name the original's blocks.
    ArchiveDirectory(const ArchiveDirectory&) = delete;
    ArchiveDirectory& operator=(const ArchiveDirectory&) = delete;

    // Adds a member after the others, its stored name copied into the
    // directory. Members added after index() are not found by name.
    void add(ArchiveMember member);
    // Builds the index by name once the last member is added.
    void index();

    const std::vector<ArchiveMember>& members() const { return m_members; }

    // The positions in members() of those named `name` (compared as
    // foldMemberName does), in archive order.
    std::vector<std::size_t> membersNamed(std::string_view name) const;

  private:
    struct IndexEntry {
        std::uint32_t hash;
        std::uint32_t position;
        auto operator<=>(const IndexEntry&) const = default;
    };

    std::string_view storeName(std::string_view name);

    std::vector<ArchiveMember> m_members;
    // Members as they are added, in chunks that index() joins into members():
    // a vector grown by doubling would hold up to three times its members
    // while it grows, this at most twice and only inside index().
    std::vector<std::vector<ArchiveMember>> m_added;
    std::vector<std::unique_ptr<char[]>> m_nameBlocks;
    std::size_t m_nameBlockUsed = 0;
    std::vector<IndexEntry> m_index; // sorted
};

// Reads every header of the archive at a path of the machine. Fails when the file cannot
// be read, is not an LZH archive, or a header cannot be read or the archive
// does not end where its last member's data ends (at the ending zero byte or
// the end of the file). An archive of that zero byte alone has no members.
platform::Result<ArchiveDirectory> readArchiveDirectory(std::string_view windowsPath);

} // namespace kor::unlha32
