#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace kor::testing {

struct ProgramRun {
    int exitStatus = -1; // -1 when the program did not exit normally
    std::string standardError;
};

// Runs a built program to its end with only the given environment variables
// (and PATH), no display and no standard input, and collects its standard error.
ProgramRun runProgram(const std::filesystem::path& program,
                      const std::map<std::string, std::string>& environment);

} // namespace kor::testing
