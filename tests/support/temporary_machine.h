// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/machine.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kor::testing {

// Gives fake picture bytes the start of a bitmap: as long as a Windows 95 logo
// (129078 bytes) or a PC-98 one (128118), the headers of a valid one, so that
// KOR installs it without a note; any other length, just "BM". The palette
// and the rows keep the bytes given.
std::string withBitmapStart(std::string bytes);

// A drive root in a fresh temporary folder, installed as the machine of this
// process for the test's lifetime and removed afterwards. Drive C: exists with
// its Windows directory; more drives are added with addDrive. Disk images
// open as drives, as the programs give the machine their opener.
class TemporaryMachine {
  public:
    explicit TemporaryMachine(std::string windowsDirectory = "C:\\WINDOWS");
    ~TemporaryMachine();
    TemporaryMachine(const TemporaryMachine&) = delete;
    TemporaryMachine& operator=(const TemporaryMachine&) = delete;

    const std::filesystem::path& root() const { return m_root; }

    // Maps a drive letter onto a new folder of the root; returns that folder.
    std::filesystem::path addDrive(char letter);

    // The host path of a Windows path such as C:\WINDOWS\KOR.INI, as the
    // machine resolves it.
    std::filesystem::path host(std::string_view windowsPath) const;

    // Writes a file (creating its folders) at a Windows path.
    void writeFile(std::string_view windowsPath, std::string_view bytes) const;
    // Writes a file of exactly `length` bytes that starts like a bitmap
    // (withBitmapStart); the rest of the bytes are a pattern derived from `seed`, so that two files
    // made with different seeds differ.
    void writePicture(std::string_view windowsPath, std::uint64_t length, unsigned seed = 0) const;
    std::string readFile(std::string_view windowsPath) const;
    bool exists(std::string_view windowsPath) const;

  private:
    std::filesystem::path m_root;
    platform::Machine m_previous;
};

} // namespace kor::testing
