// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/profile.h"
#include "platform/result.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kor::core {

// The twelve values of KOR.INI, section [SaveDir], held by each program from
// its start to its end, with the settings directory they were read from.
struct Settings {
    std::string Dir;      // archive directory of the opening logo
    std::string FileName; // archive file name of the opening logo
    std::string MDir;     // ... of the middle logo
    std::string MFileName;
    std::string EDir; // ... of the ending logo
    std::string EFileName;
    std::string DirOnly; // picture directory of the opening logo (BMP mode)
    std::string MDirOnly;
    std::string EDirOnly;
    std::string ArcCheck;  // "on": BMP mode; anything else: archive mode
    std::string pc98Check; // "on": PC-98 logo length
    std::string sizecheck; // "on": no length check

    // The Windows directory; ends in "\" from the first access to KOR.INI on.
    std::string settingsDirectory;
    // The drive Windows boots from, whose root holds logo.sys; when 0, the
    // drive of settingsDirectory.
    char bootDrive = 0;
    // settingsDirectory + "KOR.INI", formed afresh at every access.
    std::string iniPath;
};

inline constexpr std::string_view SettingsSection = "SaveDir";

// The keys in the order they are read.
inline constexpr std::array<std::string_view, 12> SettingKeys = {
    "Dir",     "FileName", "MDir",     "MFileName", "EDir",      "EFileName",
    "DirOnly", "MDirOnly", "EDirOnly", "ArcCheck",  "pc98Check", "sizecheck"};

// Where one logo is drawn from, as KOR.INI names it: a picture directory in
// BMP mode, an archive's directory and file name in archive mode.
struct LogoSourceKeys {
    std::string_view pictureDirectoryKey;
    std::string Settings::*pictureDirectory;
    std::string_view archiveDirectoryKey;
    std::string Settings::*archiveDirectory;
    std::string_view archiveFileNameKey;
    std::string Settings::*archiveFileName;
};

// The opening, middle and ending logo, in the order of LogoSlot.
inline constexpr std::array<LogoSourceKeys, 3> LogoSources = {{
    {"DirOnly", &Settings::DirOnly, "Dir", &Settings::Dir, "FileName", &Settings::FileName},
    {"MDirOnly", &Settings::MDirOnly, "MDir", &Settings::MDir, "MFileName", &Settings::MFileName},
    {"EDirOnly", &Settings::EDirOnly, "EDir", &Settings::EDir, "EFileName", &Settings::EFileName},
}};

// The in-memory value of a key, matched without regard to case; nullptr for a
// name that is not one of the twelve keys.
std::string* settingValue(Settings& settings, std::string_view key);

// Flags count as set only when exactly "on".
inline bool isOn(std::string_view flag) {
    return flag == "on";
}
inline bool isBmpMode(const Settings& settings) {
    return isOn(settings.ArcCheck);
}

// Makes the settings directory end in "\" and forms the path of KOR.INI.
void prepareSettingsPath(Settings& settings);

// Reads the twelve keys. Dir, MDir and EDir default to the settings directory,
// the others to the empty string; a key present with an empty value reads as
// empty. Values are read whole, whatever their length. When a key cannot be
// read (an unreadable file, bytes that are not CP932) reading stops there: the
// keys read before it keep their new values, the rest their old ones, and the
// error is returned for the caller to note.
platform::Status readSettings(Settings& settings);

// Checks the values that say where pictures and archives come from, as KOR.INI
// gave them: DirOnly, Dir and FileName of each logo. KOR.INI names only the
// emulated machine, so a folder must be a Windows path (a host path such as
// "/etc" would reach outside every drive) and a file name a bare name (no "\",
// "/" or ":"); neither may hold a control character. An empty value passes, as
// its logo then stays as it is. Fails (EINVAL) naming the first refused key and
// its value in the error's path ("C:\WINDOWS\KOR.INI [SaveDir] DirOnly=/etc").
// In archive mode a Dir, MDir or EDir written empty while its file name is set
// is refused as well: the archive would lie on no drive.
platform::Status checkSourceSettings(const Settings& settings);

// Writes one key of [SaveDir] into KOR.INI through a temporary file and a
// rename. A value holding a line break or a NUL byte is refused and nothing is
// written. The in-memory value is the caller's to set.
platform::Status writeSetting(Settings& settings, std::string_view key, std::string_view value);

// Writes several keys of [SaveDir] in one replacement of KOR.INI, so that keys
// that only make sense together (an archive's directory and file name) are
// never found one without the other. When any value is refused, none is
// written. The in-memory values are the caller's to set.
platform::Status writeSettings(Settings& settings,
                               const std::vector<platform::ProfileEntry>& entries);

} // namespace kor::core
