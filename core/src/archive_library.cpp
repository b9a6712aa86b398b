// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive_library.h"

namespace kor::core {

namespace {

template <typename Function>
bool bind(const platform::LoadedLibrary& library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(library.symbol(name));
    return function != nullptr;
}

} // namespace

ArchiveLibrary& ArchiveLibrary::instance() {
    static ArchiveLibrary library;
    return library;
}

void ArchiveLibrary::unload() {
    m_functions.reset();
    m_library = {};
}

void ArchiveLibrary::setLocation(std::optional<std::filesystem::path> libraryFile) {
    unload();
    m_location = std::move(libraryFile);
}

const ArchiveLibrary::Functions* ArchiveLibrary::functions() {
    if (m_functions)
        return &*m_functions;

    m_loadError.clear();
    m_library = m_location ? platform::LoadedLibrary::open(*m_location, m_loadError)
                           : platform::LoadedLibrary::openByName("libunlha32.so", m_loadError);
    if (!m_library)
        return nullptr;

    Functions functions{};
    if (bind(m_library, "UnlhaCheckArchive", functions.UnlhaCheckArchive) &&
        bind(m_library, "UnlhaOpenArchive", functions.UnlhaOpenArchive) &&
        bind(m_library, "UnlhaFindFirst", functions.UnlhaFindFirst) &&
        bind(m_library, "UnlhaFindNext", functions.UnlhaFindNext) &&
        bind(m_library, "UnlhaCloseArchive", functions.UnlhaCloseArchive) &&
        bind(m_library, "Unlha", functions.Unlha)) {
        m_functions = functions;
        return &*m_functions;
    }
    m_loadError = "the archive library lacks a function it must offer";
    unload();
    return nullptr;
}

} // namespace kor::core
