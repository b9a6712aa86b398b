#include "temporary_machine.h"

#include <cstdlib>
#include <fstream>
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

void TemporaryMachine::writePicture(std::string_view windowsPath, std::uint64_t length,
                                    unsigned seed) const {
    std::string bytes(length, '\0');
    std::mt19937 pattern(seed);
    for (std::uint64_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(pattern() & 0xFF);
    bytes.replace(0, std::min<std::uint64_t>(length, 2), std::string_view("BM").substr(0, length));
    writeFile(windowsPath, bytes);
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
