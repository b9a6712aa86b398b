// SPDX-License-Identifier: GPL-3.0-or-later
// What the korlogo tests share: a scratch folder of host files for each test,
// and little-endian fields for the bitmaps they write.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace kor::testing {

// Writes the `width` low bytes of `value` at `at`, least significant first.
inline void put(std::string& bytes, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A test whose files lie in a folder of their own, removed afterwards.
class KorlogoFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "korlogo-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_folder = pattern;
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }
    std::string path(const std::string& name) const { return (m_folder / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) {
        std::ofstream(m_folder / name, std::ios::binary) << bytes;
        return path(name);
    }
    std::string read(const std::string& name) const {
        std::ifstream in(m_folder / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    std::filesystem::path m_folder;
};

} // namespace kor::testing
