#include "platform/library.h"

#include <dlfcn.h>

#include <system_error>
#include <utility>

namespace kor::platform {

LoadedLibrary::~LoadedLibrary() {
    if (m_handle)
        dlclose(m_handle);
}

LoadedLibrary::LoadedLibrary(LoadedLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)) {}

LoadedLibrary& LoadedLibrary::operator=(LoadedLibrary&& other) noexcept {
    if (this != &other) {
        if (m_handle)
            dlclose(m_handle);
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

LoadedLibrary LoadedLibrary::open(const std::filesystem::path& file, std::string& error) {
    std::error_code missing;
    if (!std::filesystem::exists(file, missing)) {
        error = "cannot load " + file.string() + ": no such file";
        return {};
    }
    if (void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL))
        return LoadedLibrary(handle);
    error = dlerror();
    return {};
}

LoadedLibrary LoadedLibrary::openBesideProgram(std::string_view fileName,
                                               const std::filesystem::path& builtFile,
                                               std::string& error) {
    std::error_code unknown;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", unknown);
    if (!unknown)
        if (LoadedLibrary library = open(program.parent_path() / fileName, error))
            return library;
    return open(builtFile, error);
}

void* LoadedLibrary::symbol(const char* name) const {
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

} // namespace kor::platform
