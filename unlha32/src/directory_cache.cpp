#include "directory_cache.h"
#include "operations.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace kor::unlha32 {

platform::Result<std::shared_ptr<const ArchiveDirectory>>
DirectoryCache::directory(const std::filesystem::path& hostPath, std::string_view windowsPath) {
    struct stat status {};
    if (::stat(hostPath.c_str(), &status) != 0)
        return platform::Error(operation::Open, std::string(windowsPath), errno);
    if (!S_ISREG(status.st_mode))
        return platform::Error(operation::Open, std::string(windowsPath), EISDIR, "not a file");
    const FileIdentity identity{
        .path = hostPath,
        .device = status.st_dev,
        .inode = status.st_ino,
        .size = static_cast<std::uint64_t>(status.st_size),
        .modifiedSeconds = status.st_mtim.tv_sec,
        .modifiedNanoseconds = status.st_mtim.tv_nsec,
        .changedSeconds = status.st_ctim.tv_sec,
        .changedNanoseconds = status.st_ctim.tv_nsec,
    };

    const auto cached = std::ranges::find(m_entries, identity, &Entry::identity);
    if (cached != m_entries.end()) {
        m_entries.splice(m_entries.begin(), m_entries, cached);
        return m_entries.front().directory;
    }

    ArchiveDirectory read = KOR_TRY(readArchiveDirectory(hostPath, windowsPath));
    // A changed archive replaces what was read of it before.
    m_entries.remove_if([&](const Entry& entry) { return entry.identity.path == hostPath; });
    m_entries.push_front(
        Entry{identity, std::make_shared<const ArchiveDirectory>(std::move(read))});
    if (m_entries.size() > m_capacity)
        m_entries.pop_back();
    return m_entries.front().directory;
}

} // namespace kor::unlha32
