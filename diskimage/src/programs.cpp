// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kor::diskimage {

std::filesystem::path programOnPath(std::string_view name) {
    const char* variable = std::getenv("PATH");
    std::string_view rest = variable ? variable : "/usr/bin:/bin";
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(':'), rest.size());
        const std::string_view folder = rest.substr(0, end);
        std::filesystem::path candidate =
            std::filesystem::path(folder.empty() ? "." : folder) / name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return {};
}

} // namespace kor::diskimage
