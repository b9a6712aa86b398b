// SPDX-License-Identifier: GPL-3.0-or-later
#include "member_search.h"

#include "member_name.h"

namespace kor::unlha32 {

MemberSearch::MemberSearch(std::shared_ptr<const ArchiveDirectory> directory, std::string pattern,
                           Matching matching, std::optional<std::uint64_t> length)
    : m_directory(std::move(directory)), m_pattern(std::move(pattern)),
      m_kind(matching == Matching::Literal ? Kind::Literal
             // Every name matches these, as matchesMemberPattern takes them:
             // the programs list an archive with "*.*".
             : m_pattern == "*.*" || m_pattern == "*" ? Kind::All
             : hasWildcard(m_pattern)                 ? Kind::ByWildcard
                                                      : Kind::ByName),
      m_length(length) {
    if (m_kind == Kind::ByName || m_kind == Kind::Literal)
        m_positions = m_directory->membersNamed(m_pattern);
}

const ArchiveMember* MemberSearch::next() {
    const auto& members = m_directory->members();
    if (m_kind == Kind::Literal) {
        // Found once; the index holds every name that folds alike, in
        // archive order.
        if (m_next != 0)
            return nullptr;
        m_next = members.size();
        for (const std::size_t position : m_positions)
            if (members[position].storedName == m_pattern &&
                (!m_length || members[position].length == *m_length))
                return &members[position];
        return nullptr;
    }
    if (m_kind == Kind::ByName) {
        if (m_next >= m_positions.size())
            return nullptr;
        return &members[m_positions[m_next++]];
    }
    if (m_kind == Kind::All)
        return m_next < members.size() ? &members[m_next++] : nullptr;
    while (m_next < members.size()) {
        const ArchiveMember& member = members[m_next++];
        if (matchesMemberPattern(member.storedName, m_pattern))
            return &member;
    }
    return nullptr;
}

} // namespace kor::unlha32
