// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "unlha32/unlha32.h"

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The library's calls as the programs make them, for the tests.
namespace kor::testing {

// The fields of a member record, copied out of the packed record so that
// tests may take references to them.
struct ListedMember {
    std::string name;
    std::string method;
    std::uint32_t originalSize = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t crc = 0;
    std::uint16_t osType = 0;
    std::uint16_t headerLevel = 0;
    std::uint16_t ratio = 0;
    std::uint16_t date = 0;
    std::uint16_t time = 0;
};

ListedMember listedMember(const INDIVIDUALINFO& info);

// The members matching `pattern`, through one open archive; empty when it
// cannot be opened.
std::vector<ListedMember> listMembers(std::string_view archivePath,
                                      std::string_view pattern = "*.*");

struct CommandResult {
    int status = -1;
    std::string report;
};

// Unlha with an output buffer of 31744 bytes, as the programs pass it.
CommandResult runCommand(std::string_view commandLine);

// Every file and folder below a host folder, as paths relative to it; links
// are listed, not followed.
std::set<std::string> treeBelow(const std::filesystem::path& folder);

} // namespace kor::testing
