#pragma once

#include "archive_directory.h"

#include "platform/result.h"

#include <cstdint>
#include <filesystem>
#include <list>
#include <memory>
#include <string_view>

namespace kor::unlha32 {

// The directories of the archives read last. The programs open an archive
// once for every member they list, so an archive that has not changed since
// it was read (same file, size and change times) is not read again. The
// least recently used directory is dropped when the cache is full.
class DirectoryCache {
  public:
    explicit DirectoryCache(std::size_t capacity) : m_capacity(capacity) {}

    // The directory of the archive at a host path; `windowsPath` names it in
    // the Error. Fails as readArchiveDirectory does.
    platform::Result<std::shared_ptr<const ArchiveDirectory>>
    directory(const std::filesystem::path& hostPath, std::string_view windowsPath);

  private:
    struct FileIdentity {
        std::filesystem::path path;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint64_t size = 0;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        std::int64_t changedSeconds = 0;
        std::int64_t changedNanoseconds = 0;

        bool operator==(const FileIdentity&) const = default;
    };
    struct Entry {
        FileIdentity identity;
        std::shared_ptr<const ArchiveDirectory> directory;
    };

    std::size_t m_capacity;
    std::list<Entry> m_entries; // the most recently used first
};

} // namespace kor::unlha32
