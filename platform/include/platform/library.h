// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Libraries the programs load only when they need them.
namespace kor::platform {

// A shared library opened with dlopen and closed when the object goes.
class LoadedLibrary {
  public:
    LoadedLibrary() = default;
    ~LoadedLibrary();
    LoadedLibrary(LoadedLibrary&& other) noexcept;
    LoadedLibrary& operator=(LoadedLibrary&& other) noexcept;
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // Opens `fileName` from the folder of the running program, else from the
    // first folder the loader searches for this library that holds it (its
    // run path names the build folders, or its own folder once installed).
    // An unloaded object on failure; `error` says why, or where it looked.
    static LoadedLibrary openByName(std::string_view fileName, std::string& error);
    // Opens exactly `file`.
    static LoadedLibrary open(const std::filesystem::path& file, std::string& error);

    explicit operator bool() const { return m_handle != nullptr; }
    // The address of an exported symbol, or nullptr.
    void* symbol(const char* name) const;

  private:
    explicit LoadedLibrary(void* handle) : m_handle(handle) {}
    void* m_handle = nullptr;
};

} // namespace kor::platform
