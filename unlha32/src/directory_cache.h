// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "archive_directory.h"

#include "platform/files.h"
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

    // The directory of the archive at a path of the machine. Fails as
    // readArchiveDirectory does.
    platform::Result<std::shared_ptr<const ArchiveDirectory>>
    directory(std::string_view windowsPath);

  private:
    struct Entry {
        platform::FileVersion identity;
        std::shared_ptr<const ArchiveDirectory> directory;
    };

    std::size_t m_capacity;
    std::list<Entry> m_entries; // the most recently used first
};

} // namespace kor::unlha32
