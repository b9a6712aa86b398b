// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "run_program.h"
#include "temporary_machine.h"

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

namespace kor::testing {

// Runs the built KOR on a temporary machine, unattended (no display).
inline ProgramRun runChanger(const TemporaryMachine& machine,
                             const std::string& windowsDirectory = "C:\\WINDOWS") {
    return runProgram(KOR_PROGRAM,
                      {{"KOR_ROOT", machine.root().string()}, {"WINDIR", windowsDirectory}});
}

// Writes KOR.INI in the Windows directory: a [SaveDir] section with CRLF lines.
inline void writeSettings(const TemporaryMachine& machine, const std::string& keyLines,
                          const std::string& windowsDirectory = "C:\\WINDOWS") {
    std::string text = "[SaveDir]\r\n";
    std::size_t start = 0;
    while (start < keyLines.size()) {
        auto end = keyLines.find('\n', start);
        if (end == std::string::npos)
            end = keyLines.size();
        text += keyLines.substr(start, end - start) + "\r\n";
        start = end + 1;
    }
    machine.writeFile(windowsDirectory + "\\KOR.INI", text);
}

// The built KOR and the libraries it links and loads, copied into a fresh
// temporary folder that every user may enter and removed afterwards. The build
// tree often sits where another user may not go (a home folder, a private
// temporary folder), and there KOR could not load its libraries as that user.
class PublicProgramCopy {
  public:
    PublicProgramCopy() {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "kor-program-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder from " + pattern);
        m_folder = pattern;
        const auto readable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec;
        try {
            fs::permissions(m_folder, readable);
            for (const fs::path built : {KOR_PROGRAM, KOR_PROGRAM_LIBRARIES}) {
                fs::copy_file(built, m_folder / built.filename());
                fs::permissions(m_folder / built.filename(), readable);
            }
        } catch (...) {
            std::error_code error;
            fs::remove_all(m_folder, error);
            throw;
        }
    }
    ~PublicProgramCopy() {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }
    PublicProgramCopy(const PublicProgramCopy&) = delete;
    PublicProgramCopy& operator=(const PublicProgramCopy&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }
    std::filesystem::path program() const {
        return m_folder / std::filesystem::path(KOR_PROGRAM).filename();
    }

  private:
    std::filesystem::path m_folder;
};

// Runs the built KOR as a user for whom file permissions count: as root,
// through setpriv as nobody, the whole temporary machine opened to that user
// first and KOR run from a copy that user can reach (its libraries found
// beside it, before the build tree); otherwise as the user running the tests.
// The folders `closed` are then closed to that user (mode 000); the caller
// opens them again.
inline ProgramRun
runChangerWithoutPrivileges(const TemporaryMachine& machine,
                            const std::vector<std::string>& arguments = {},
                            const std::vector<std::filesystem::path>& closed = {}) {
    std::map<std::string, std::string> environment{{"KOR_ROOT", machine.root().string()},
                                                   {"WINDIR", "C:\\WINDOWS"}};
    const auto close = [&] {
        for (const std::filesystem::path& folder : closed)
            std::filesystem::permissions(folder, std::filesystem::perms::none);
    };
    if (::geteuid() != 0) {
        close();
        return runProgram(KOR_PROGRAM, environment, arguments);
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(machine.root()))
        if (entry.is_directory())
            std::filesystem::permissions(entry.path(), std::filesystem::perms::all);
    std::filesystem::permissions(machine.root(), std::filesystem::perms::all);
    close();
    const PublicProgramCopy copy;
    environment["LD_LIBRARY_PATH"] = copy.folder().string();
    std::vector<std::string> line{"--reuid=65534", "--regid=65534", "--clear-groups",
                                  copy.program().string()};
    line.insert(line.end(), arguments.begin(), arguments.end());
    return runProgram("/usr/bin/setpriv", environment, line);
}

// What a run said on standard error, a line each: for a note that a logo was
// left unchanged, the logo's file name ("logo.sys"); for a note that a logo
// was changed to a picture the machine may not show, its file name followed
// by NotShown; any other line as it is.
inline constexpr std::string_view NotShown = " may not be shown";
inline std::vector<std::string> unchangedLogos(const ProgramRun& run) {
    std::vector<std::string> lines;
    std::istringstream text(run.standardError);
    const std::string unchanged = " は変更しません: ";
    const std::string notShown = "のロゴとして表示できない可能性があります。";
    for (std::string line; std::getline(text, line);) {
        if (!line.starts_with("KOR: "))
            lines.push_back(line);
        else if (const auto at = line.find(unchanged); at != std::string::npos)
            lines.push_back(line.substr(5, at - 5));
        else if (line.find(notShown) != std::string::npos)
            lines.push_back(line.substr(5, line.find(' ', 5) - 5) + std::string(NotShown));
        else
            lines.push_back(line);
    }
    return lines;
}

// Every path below the machine's root, for telling that a run left nothing.
inline std::set<std::string> treeOf(const TemporaryMachine& machine) {
    std::set<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(machine.root()))
        paths.insert(std::filesystem::relative(entry.path(), machine.root()).string());
    return paths;
}

} // namespace kor::testing
