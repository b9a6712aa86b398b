// SPDX-License-Identifier: GPL-3.0-or-later
#include "directory_cache.h"
#include "operations.h"

#include <algorithm>
#include <cerrno>

namespace kor::unlha32 {

platform::Result<std::shared_ptr<const ArchiveDirectory>>
DirectoryCache::directory(std::string_view windowsPath) {
    platform::Result<platform::FileVersion> version = platform::fileVersion(windowsPath);
    if (!version)
        return version.error().retold(operation::Open, std::string(windowsPath));
    const platform::FileVersion& identity = version.value();

    const auto cached = std::ranges::find(m_entries, identity, &Entry::identity);
    if (cached != m_entries.end()) {
        m_entries.splice(m_entries.begin(), m_entries, cached);
        return m_entries.front().directory;
    }

    ArchiveDirectory read = KOR_TRY(readArchiveDirectory(windowsPath));
    // A changed archive replaces what was read of it before.
    m_entries.remove_if([&](const Entry& entry) { return entry.identity.place == identity.place; });
    m_entries.push_front(
        Entry{identity, std::make_shared<const ArchiveDirectory>(std::move(read))});
    if (m_entries.size() > m_capacity)
        m_entries.pop_back();
    return m_entries.front().directory;
}

} // namespace kor::unlha32
