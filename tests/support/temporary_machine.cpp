// SPDX-License-Identifier: GPL-3.0-or-later
#include "temporary_machine.h"

#include "diskimage/image_drives.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace kor::testing {
namespace {

namespace fs = std::filesystem;

fs::path makeUniqueFolder() {
    std::string pattern = (fs::temp_directory_path() / "kor-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder from " + pattern);
    return pattern;
}

char lowerLetter(char letter) {
    return (letter >= 'A' && letter <= 'Z') ? static_cast<char>(letter - 'A' + 'a') : letter;
}

} // namespace

TemporaryMachine::TemporaryMachine(std::string windowsDirectory)
    : m_root(makeUniqueFolder()), m_previous(platform::Machine::current()) {
    fs::create_directory(m_root / "c");
    platform::Machine machine(m_root, std::move(windowsDirectory));
    fs::create_directories(m_root /
                           std::string(1, lowerLetter(machine.windowsDirectory().front())));
    platform::Machine::setCurrent(std::move(machine));
    platform::Machine::setImageOpener(diskimage::openImageDrive);
    fs::create_directories(host(platform::Machine::current().systemDirectory()));
}

TemporaryMachine::~TemporaryMachine() {
    platform::Machine::setCurrent(std::move(m_previous));
    std::error_code error;
    // Leave the tree before removing it, as a test may have made it the
    // working directory.
    const fs::path workingDirectory = fs::current_path(error);
    if (!error && workingDirectory.string().starts_with(m_root.string()))
        fs::current_path(fs::temp_directory_path(error), error);
    fs::remove_all(m_root, error);
}

fs::path TemporaryMachine::addDrive(char letter) {
    const fs::path folder = m_root / std::string(1, lowerLetter(letter));
    fs::create_directories(folder);
    return folder;
}

fs::path TemporaryMachine::host(std::string_view windowsPath) const {
    platform::Result<fs::path> host = platform::Machine::current().hostPath(windowsPath);
    if (!host)
        throw std::runtime_error(host.error().text());
    return host.value();
}

void TemporaryMachine::writeFile(std::string_view windowsPath, std::string_view bytes) const {
    const fs::path path = host(windowsPath);
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::string withBitmapStart(std::string bytes) {
    // The two logo kinds: Windows 95 (320 x 400, 256 colours) and PC-98
    // (640 x 400, 16 colours).
    struct Layout {
        std::uint32_t width;
        std::uint32_t bitsPerPixel;
        std::uint32_t paletteEntries;
    };
    std::optional<Layout> logo;
    for (const Layout layout : {Layout{320, 8, 256}, Layout{640, 4, 16}})
        if (bytes.size() == 14 + 40 + layout.paletteEntries * 4 + 128000)
            logo = layout;
    if (!logo) {
        bytes.replace(0, std::min<std::size_t>(bytes.size(), 2),
                      std::string_view("BM").substr(0, bytes.size()));
        return bytes;
    }
    const auto put = [&bytes](std::size_t at, std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    };
    const std::uint32_t pixelOffset = 14 + 40 + logo->paletteEntries * 4;
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<std::uint32_t>(bytes.size()), 4);
    put(6, 0, 4);
    put(10, pixelOffset, 4);
    put(14, 40, 4);
    put(18, logo->width, 4);
    put(22, 400, 4);
    put(26, 1, 2);
    put(28, logo->bitsPerPixel, 2);
    put(30, 0, 4); // plain rows
    put(34, 128000, 4);
    put(38, 0, 4); // resolution
    put(42, 0, 4);
    put(46, 0, 4); // a full palette
    put(50, 0, 4); // no colour cycling
    return bytes;
}

void TemporaryMachine::writePicture(std::string_view windowsPath, std::uint64_t length,
                                    unsigned seed) const {
    std::string bytes(length, '\0');
    std::mt19937 pattern(seed);
    for (std::uint64_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(pattern() & 0xFF);
    writeFile(windowsPath, withBitmapStart(std::move(bytes)));
}

std::string TemporaryMachine::readFile(std::string_view windowsPath) const {
    const fs::path path = host(windowsPath);
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool TemporaryMachine::exists(std::string_view windowsPath) const {
    platform::Result<fs::path> host = platform::Machine::current().hostPath(windowsPath);
    std::error_code error;
    return host && fs::exists(host.value(), error);
}

} // namespace kor::testing
