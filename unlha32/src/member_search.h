// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive_directory.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kor::unlha32 {

// The members of an archive that match a pattern, one after the other in
// archive order. A pattern without wildcards is a member path, found through
// the directory's index; with "*" or "?" every member is tried. A literal
// search finds the first member whose stored name is the pattern byte for
// byte, wildcards and case included, and, when `length` is given, whose
// length is that: an archive may hold several members of one name.
class MemberSearch {
  public:
    enum class Matching { Pattern, Literal };

    MemberSearch(std::shared_ptr<const ArchiveDirectory> directory, std::string pattern,
                 Matching matching = Matching::Pattern,
                 std::optional<std::uint64_t> length = std::nullopt);

    // The next matching member, or nullptr when none is left. Valid as long
    // as the search.
    const ArchiveMember* next();

  private:
    enum class Kind { ByName, ByWildcard, All, Literal };

    std::shared_ptr<const ArchiveDirectory> m_directory;
    std::string m_pattern;
    Kind m_kind;
    std::vector<std::size_t> m_positions; // of a search by name, found at once
    std::size_t m_next = 0;
    std::optional<std::uint64_t> m_length;
};

} // namespace kor::unlha32
