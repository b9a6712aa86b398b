#pragma once

#include "run_program.h"
#include "temporary_machine.h"

#include <string>

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

} // namespace kor::testing
