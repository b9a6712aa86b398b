#include "core/archive_library.h"

#include <dlfcn.h>

#include <system_error>
#include <vector>

namespace kor::core {

namespace {

constexpr const char* LibraryFileName = "libunlha32.so";

std::vector<std::filesystem::path> defaultLocations() {
    std::vector<std::filesystem::path> locations;
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        locations.push_back(program.parent_path() / LibraryFileName);
    locations.emplace_back(KOR_ARCHIVE_LIBRARY_BUILT);
    return locations;
}

template <typename Function> bool bind(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

} // namespace

ArchiveLibrary& ArchiveLibrary::instance() {
    static ArchiveLibrary library;
    return library;
}

ArchiveLibrary::~ArchiveLibrary() {
    unload();
}

void ArchiveLibrary::unload() {
    m_functions.reset();
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
}

void ArchiveLibrary::setLocation(std::optional<std::filesystem::path> libraryFile) {
    unload();
    m_location = std::move(libraryFile);
}

const ArchiveLibrary::Functions* ArchiveLibrary::functions() {
    if (m_functions)
        return &*m_functions;

    const auto locations =
        m_location ? std::vector<std::filesystem::path>{*m_location} : defaultLocations();
    m_loadError.clear();
    for (const auto& location : locations) {
        if (!std::filesystem::exists(location)) {
            m_loadError = "cannot load " + location.string() + ": no such file";
            continue;
        }
        m_handle = dlopen(location.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle)
            break;
        m_loadError = dlerror();
    }
    if (!m_handle)
        return nullptr;

    Functions functions{};
    if (bind(m_handle, "UnlhaCheckArchive", functions.UnlhaCheckArchive) &&
        bind(m_handle, "UnlhaOpenArchive", functions.UnlhaOpenArchive) &&
        bind(m_handle, "UnlhaFindFirst", functions.UnlhaFindFirst) &&
        bind(m_handle, "UnlhaFindNext", functions.UnlhaFindNext) &&
        bind(m_handle, "UnlhaCloseArchive", functions.UnlhaCloseArchive) &&
        bind(m_handle, "Unlha", functions.Unlha)) {
        m_functions = functions;
        return &*m_functions;
    }
    m_loadError = "the archive library lacks a function it must offer";
    unload();
    return nullptr;
}

} // namespace kor::core
