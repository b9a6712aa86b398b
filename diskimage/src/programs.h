// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

namespace kor::diskimage {

// The program `name` (mtools, qemu-storage-daemon, fusermount3, qemu-img) as
// the PATH of this process finds it, an executable file; empty when none
// is. Found by this process rather than by the spawn, which would try to
// execute it in every folder before its own.
std::filesystem::path programOnPath(std::string_view name);

} // namespace kor::diskimage
