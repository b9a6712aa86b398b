// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_descriptor.h"
#include "platform/result.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>

// Small tools for the host's file system, shared by the files, the machine,
// the profile strings and the disk images.
namespace kor::platform {

// The text of an errno value as it reads inside a sentence: "no such file or
// directory".
std::string describeError(int error);

// A whole host file, or the errno that prevented reading it.
struct HostFile {
    std::string bytes;
    int error = 0;
};
HostFile readHostFile(const std::filesystem::path& host);

// Writes all of `bytes`; an errno or 0.
int writeAll(int descriptor, std::string_view bytes);

// The folder of a full path as Location gives it: "C:\WINDOWS" for
// "C:\WINDOWS\KOR.INI", "C:\" for "C:\logo.sys", "/tmp" for "/tmp/x".
std::string parentFolder(std::string_view fullPath);

// Why a read-only file (see HostPlace::isReadOnly) is not changed.
inline constexpr std::string_view ReadOnlyDetail = "the file is read-only";

} // namespace kor::platform
