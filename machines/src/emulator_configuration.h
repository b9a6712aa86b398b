// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "machines/emulator_machine.h"
#include "platform/result.h"

#include <filesystem>
#include <string>
#include <string_view>

// What the readers of the emulators' configurations share: the bounded read
// of an untrusted file, the refusals that name it, and the check of each
// image it names.
namespace kor::machines {

// A configuration is a few kilobytes; anything larger is no configuration,
// and reading it whole would cost for nothing.
inline constexpr std::uintmax_t LargestConfiguration = 4 * 1024 * 1024;

// The text of the configuration `file`; fails when it is no regular file,
// is larger than LargestConfiguration, holds NUL bytes or cannot be read.
platform::Result<std::string> readConfiguration(const std::filesystem::path& file);

// The text with its ASCII letters in lower case, as the emulators compare
// names of sections, keys and files; other bytes stay as they are.
std::string lowered(std::string_view text);

// A refusal of the configuration `file`, why in English and for the user in
// the session's language.
platform::Error configurationRefusal(const std::filesystem::path& file, int code, std::string why,
                                     std::string toldWhy);

// The hard disk that `key` of `file` names by `value`, resolved against the
// configuration's folder; fails naming both when it is missing, cannot be
// read, or is a device, a folder or anything but a regular file.
platform::Result<MachineDisk> namedDisk(const std::filesystem::path& file, std::string key,
                                        std::string_view value);

// The machine of a VirtualBox .vbox file and of a libvirt domain's XML.
platform::Result<EmulatorMachine> readVirtualBoxMachine(const std::filesystem::path& file,
                                                        const std::string& text);
platform::Result<EmulatorMachine> readLibvirtMachine(const std::filesystem::path& file,
                                                     const std::string& text);

} // namespace kor::machines
