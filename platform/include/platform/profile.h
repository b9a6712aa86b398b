// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>
#include <vector>

// Profile strings: the INI files of Windows, with the results of
// GetPrivateProfileStringA and WritePrivateProfileStringA. Files are CP932 with
// CRLF lines on disk; section, key and value here are UTF-8. Section and key
// names match without regard to case; blanks around keys and values are
// trimmed.
namespace kor::platform {

// The value of `key` in `section` of the file at the Windows path `iniPath`;
// `fallback` when the file, the section or the key is absent. A key present
// with nothing after "=" gives the empty string. The value is read whole.
// Fails when the file exists but cannot be read or holds bytes that are not
// valid CP932 in the line that was asked for.
Result<std::string> readProfileString(std::string_view section, std::string_view key,
                                      std::string_view fallback, std::string_view iniPath);

// The value of `key` in `section` of the profile file whose bytes are `file`,
// as readProfileString gives it; `iniPath` names the file in reports. For a
// file read once and asked for several keys.
Result<std::string> profileStringIn(std::string_view file, std::string_view section,
                                    std::string_view key, std::string_view fallback,
                                    std::string_view iniPath);

// Whether the file starts with the UTF-8 byte order mark. Such a file is read
// as UTF-8 and written back in CP932, without the mark.
bool hasUtf8Mark(std::string_view iniPath);

// Sets `key` in `section`, creating the file and the section when missing and
// keeping every other line as it was. The file is rewritten through a temporary
// file and a rename. A value holding a line break or a NUL byte, or one that
// CP932 cannot hold, is refused and nothing is written.
Status writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                          std::string_view iniPath);

struct ProfileEntry {
    std::string_view key;
    std::string_view value;
};

// Sets several keys of `section` in one replacement of the file, each placed
// as writeProfileString would place it, in the order given. When any section,
// key or value is refused, nothing is written and the first refusal is
// returned; a crash leaves the file either wholly old or wholly new.
Status writeProfileStrings(std::string_view section, const std::vector<ProfileEntry>& entries,
                           std::string_view iniPath);

} // namespace kor::platform
