// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logo_format.h"
#include "core/settings.h"
#include "platform/result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kor::core {

// The three pictures Windows 95 shows: at start-up (logo.sys in the root of the
// boot drive), while it shuts down (logow.sys) and when the machine may be
// switched off (logos.sys), the last two in the Windows directory.
enum class LogoSlot { Opening, Middle, Ending };

inline constexpr LogoSlot AllLogoSlots[] = {LogoSlot::Opening, LogoSlot::Middle, LogoSlot::Ending};

// The KOR.INI keys a logo is drawn from.
inline const LogoSourceKeys& sourceKeysOf(LogoSlot slot) {
    return LogoSources[static_cast<std::size_t>(slot)];
}

inline constexpr std::uint64_t LogoLength = 129078;     // 256 colours: 14 + 40 + 1024 + 128000
inline constexpr std::uint64_t Pc98LogoLength = 128118; // 16 colours: 14 + 40 + 64 + 128000
// With the size check off, any picture a person could mean still fits: a
// 1600x1200 bitmap of 24-bit colour is under 6 MB. Anything larger is refused,
// so that a crafted archive cannot fill the disk through a logo.
inline constexpr std::uint64_t LargestPictureLength = 16 * 1024 * 1024;

// The drive Windows boots from, whose root holds logo.sys: the settings'
// bootDrive, else the Windows directory's.
char bootDriveLetter(const Settings& settings);

// The logo file of a slot: C:\logo.sys, C:\WINDOWS\logow.sys, C:\WINDOWS\logos.sys.
std::string logoTargetPath(LogoSlot slot, const Settings& settings);

// 0 (no check) when sizecheck is "on", else 128118 when pc98Check is "on",
// else 129078.
std::uint64_t expectedLogoLength(const Settings& settings);
// The expected length, or with no check any length up to LargestPictureLength.
bool isLogoLengthAccepted(const Settings& settings, std::uint64_t length);

// Makes a picture file the slot's logo: copies it into a temporary file beside
// the logo and gives that the logo's name in one atomic step, so that the slot
// holds the old logo or the new one whatever happens. The source stays where
// it is. On failure the slot keeps its old logo and no copy is left behind;
// a read-only logo fails with operation::ReplaceLogo (EACCES), as both
// installations do.
platform::Status installLogoFromFile(const Settings& settings, LogoSlot slot,
                                     std::string_view sourcePath);

// Makes an extracted member the slot's logo: the file at `extractedPath` takes
// the logo's name in one atomic step, or, on another drive than the logo's,
// a copy of it staged beside the logo does. On failure the slot keeps its old
// logo and the extracted file stays where it is.
platform::Status installLogoFromExtracted(const Settings& settings, LogoSlot slot,
                                          std::string_view extractedPath);

// The machine the logos are for: a PC-98 when pc98Check is "on", else a
// Windows 95 PC. The size check may be off, yet the machine stays the same.
LogoFormat logoFormatOf(const Settings& settings);

// The machine's name as the notes give it: "Windows 95" or "PC-98".
std::string_view machineNameOf(LogoFormat format);

// How the machine of `format` would take the file at `path` as its logo, from
// the file's length and its first LogoHeadersLength bytes only, so that a
// large file costs no more than a logo. Fails when the file cannot be
// measured or read.
platform::Result<LogoInspection> inspectLogoFile(std::string_view path, LogoFormat format);

// The folder in which the setup program keeps a backup of the three logos:
// korback in the Windows directory.
std::string logoBackupFolder(const Settings& settings);

// Removes what runs of the programs that died left in the folders where they
// make temporary files: the Windows directory, the boot drive's root, the
// backup folder and the temporary folder of the archive library.
void removeStaleTemporaryFiles(const Settings& settings);

} // namespace kor::core
