// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/library.h"
#include "unlha32/unlha32.h"

#include <filesystem>
#include <optional>
#include <string>

namespace kor::core {

// The archive library, loaded by name at the first archive call of the
// program and bound function by function, as the programs always did with
// their LZH library. It may be missing: then every call site sees "cannot be
// loaded" and acts on it.
class ArchiveLibrary {
  public:
    struct Functions {
        decltype(&::UnlhaCheckArchive) UnlhaCheckArchive;
        decltype(&::UnlhaOpenArchive) UnlhaOpenArchive;
        decltype(&::UnlhaFindFirst) UnlhaFindFirst;
        decltype(&::UnlhaFindNext) UnlhaFindNext;
        decltype(&::UnlhaCloseArchive) UnlhaCloseArchive;
        decltype(&::Unlha) Unlha;
    };

    // The library of this process.
    static ArchiveLibrary& instance();

    // Where the library is looked for: the given file, or without one the
    // folder of the running program first, then the folder it was built in.
    // Setting a location forgets a library already loaded (tests point it at a
    // missing file).
    void setLocation(std::optional<std::filesystem::path> libraryFile);

    // The bound functions, loading the library at the first call; nullptr when
    // it cannot be loaded.
    const Functions* functions();
    // Why the last load failed, for the report.
    const std::string& loadError() const { return m_loadError; }

    ArchiveLibrary(const ArchiveLibrary&) = delete;
    ArchiveLibrary& operator=(const ArchiveLibrary&) = delete;

  private:
    ArchiveLibrary() = default;
    void unload();

    std::optional<std::filesystem::path> m_location;
    platform::LoadedLibrary m_library;
    std::optional<Functions> m_functions;
    std::string m_loadError;
};

} // namespace kor::core
