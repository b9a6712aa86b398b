// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kor::testing {

struct ProgramRun {
    int exitStatus = -1; // -1 when the program did not exit normally
    std::string standardError;
    std::string standardOutput;
};

// Runs a built program with `arguments` to its end with only the given
// environment variables (and PATH, and the tests' locale when `environment`
// names none of LC_ALL, LC_MESSAGES, LANG), no display and no standard input,
// and collects its standard error and standard output.
ProgramRun runProgram(const std::filesystem::path& program,
                      const std::map<std::string, std::string>& environment,
                      const std::vector<std::string>& arguments = {});

} // namespace kor::testing
