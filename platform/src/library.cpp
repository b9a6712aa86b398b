// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/library.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <system_error>
#include <utility>
#include <vector>

namespace kor::platform {

namespace {

// The folders the dynamic loader searches for a bare library name asked for
// by this library: LD_LIBRARY_PATH, then its run path (the build folders of
// the loaded libraries in the build tree, its own folder once installed),
// then the system's. Asked of the loader and searched here, because a
// sanitizer's dlopen stands in between and would search its own run path.
std::vector<std::filesystem::path> foldersSearchedForThisLibrary() {
    Dl_info thisLibrary{};
    if (!dladdr(reinterpret_cast<void*>(&foldersSearchedForThisLibrary), &thisLibrary) ||
        !thisLibrary.dli_fname)
        return {};
    void* handle = dlopen(thisLibrary.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!handle)
        return {};
    std::vector<std::filesystem::path> folders;
    Dl_serinfo size{};
    if (dlinfo(handle, RTLD_DI_SERINFOSIZE, &size) == 0) {
        // Dl_serinfo ends in an array of its own length, followed by the names.
        std::vector<std::max_align_t> storage(size.dls_size / sizeof(std::max_align_t) + 1);
        auto* paths = reinterpret_cast<Dl_serinfo*>(storage.data());
        *paths = size;
        if (dlinfo(handle, RTLD_DI_SERINFO, paths) == 0)
            for (unsigned int i = 0; i < paths->dls_cnt; ++i)
                folders.emplace_back(paths->dls_serpath[i].dls_name);
    }
    dlclose(handle);
    return folders;
}

} // namespace

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

LoadedLibrary LoadedLibrary::openByName(std::string_view fileName, std::string& error) {
    std::error_code unknown;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", unknown);
    std::vector<std::filesystem::path> folders;
    if (!unknown)
        folders.push_back(program.parent_path());
    for (auto& folder : foldersSearchedForThisLibrary())
        folders.push_back(std::move(folder));

    for (const auto& folder : folders) {
        std::error_code missing;
        if (std::filesystem::exists(folder / fileName, missing))
            return open(folder / fileName, error);
    }
    error = "cannot load " + std::string(fileName) + ": it is in none of the folders searched (";
    for (std::size_t i = 0; i < folders.size(); ++i)
        error += (i ? ", " : "") + folders[i].string();
    error += ")";
    return {};
}

void* LoadedLibrary::symbol(const char* name) const {
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

} // namespace kor::platform
