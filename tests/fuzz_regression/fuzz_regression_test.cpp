// SPDX-License-Identifier: GPL-3.0-or-later
// Every input that once broke a fuzz target, run again through the same
// harness without libFuzzer: a harness aborts on the fault it found, so a case
// passes when its input runs to the end.
#include "archive_harness.h"
#include "image_harness.h"
#include "settings_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsIn(const char* folder) {
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(fs::path(KOR_FUZZ_REGRESSION) / folder))
        inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::vector<std::uint8_t> bytesOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string caseName(const testing::TestParamInfo<fs::path>& info) {
    std::string name = info.param.filename().string();
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

class ArchiveRegression : public testing::TestWithParam<fs::path> {};
class SettingsRegression : public testing::TestWithParam<fs::path> {};
class ImageRegression : public testing::TestWithParam<fs::path> {};

TEST_P(ArchiveRegression, RunsThroughTheArchiveHarness) {
    const std::vector<std::uint8_t> input = bytesOf(GetParam());
    ASSERT_EQ(input.size(), fs::file_size(GetParam()));
    EXPECT_EQ(kor::fuzz::runArchiveInput(input.data(), input.size()), 0);
}

TEST_P(SettingsRegression, RunsThroughTheSettingsHarness) {
    const std::vector<std::uint8_t> input = bytesOf(GetParam());
    ASSERT_EQ(input.size(), fs::file_size(GetParam()));
    EXPECT_EQ(kor::fuzz::runSettingsInput(input.data(), input.size()), 0);
}

TEST_P(ImageRegression, RunsThroughTheImageHarness) {
    const std::vector<std::uint8_t> input = bytesOf(GetParam());
    ASSERT_EQ(input.size(), fs::file_size(GetParam()));
    EXPECT_EQ(kor::fuzz::runImageInput(input.data(), input.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(Saved, ArchiveRegression, testing::ValuesIn(inputsIn("archive")),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Saved, SettingsRegression, testing::ValuesIn(inputsIn("settings")),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Saved, ImageRegression, testing::ValuesIn(inputsIn("image")), caseName);

} // namespace
