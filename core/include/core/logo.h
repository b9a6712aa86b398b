#pragma once

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

inline constexpr std::uint64_t LogoLength = 129078;     // 256 colours: 14 + 40 + 1024 + 128000
inline constexpr std::uint64_t Pc98LogoLength = 128118; // 16 colours: 14 + 40 + 64 + 128000

// The drive letter of the Windows directory, where logo.sys lies.
char bootDriveLetter(const Settings& settings);

// The logo file of a slot: C:\logo.sys, C:\WINDOWS\logow.sys, C:\WINDOWS\logos.sys.
std::string LogoTargetPath(LogoSlot slot, const Settings& settings);

// Where a new picture waits, under its own name, just before it becomes the
// logo: never the folder of the slot's own logo, so that nothing done to the
// old logo can touch the new picture. The Windows directory for the opening
// logo, the boot drive's root for the other two; ends in "\".
std::string LogoStagingDir(LogoSlot slot, const Settings& settings);

// 0 (no check) when sizecheck is "on", else 128118 when pc98Check is "on",
// else 129078.
std::uint64_t ExpectedLogoLength(const Settings& settings);
bool IsLogoLengthAccepted(const Settings& settings, std::uint64_t length);

// Makes a plain picture file the slot's logo: copies it into the staging
// directory and moves the copy over the logo file in one atomic step. The
// source stays where it is. A file already in the staging directory under the
// picture's name is never touched: the copy then waits under a free name. On
// failure the slot keeps its old logo and no staged copy is left behind.
platform::Status InstallLogoFromFile(const Settings& settings, LogoSlot slot,
                                     std::string_view sourcePath, std::string_view fileName);

// The name under which an archive member is extracted into, and staged in, a
// folder: the last part of its stored path, since extraction leaves the
// member's folders out.
std::string ExtractedCopyName(std::string_view memberName);

// Makes the member extracted into the Windows directory (under
// ExtractedCopyName) the slot's logo: the opening logo takes it straight from
// there, the others through the boot drive's root, where it waits under a free
// name. On failure the slot keeps its old logo; a staged copy that could not
// become the logo is removed, and an extracted copy that could not be moved to
// the staging directory stays in the Windows directory.
platform::Status InstallLogoFromExtracted(const Settings& settings, LogoSlot slot,
                                          std::string_view memberName);

} // namespace kor::core
