// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_harness.h"

#include "scratch_machine.h"

#include "core/settings.h"
#include "platform/profile.h"
#include "platform/text.h"

#include <string>
#include <string_view>

namespace kor::fuzz {

namespace {

constexpr std::string_view IniPath = "C:\\WINDOWS\\KOR.INI";
// A value every reader must give back as written, with a double-byte
// character whose trail byte is 0x5C.
constexpr std::string_view WrittenValue = "C:\\表示\\PIC";

std::string valueOf(core::Settings settings, std::string_view key) {
    return *core::settingValue(settings, key);
}

// The core reads each key as the profile reader does, and stops at the first
// key that cannot be read.
void checkReadersAgree(const core::Settings& settings) {
    for (std::string_view key : core::SettingKeys) {
        const bool directory = key == "Dir" || key == "MDir" || key == "EDir";
        const auto value = platform::readProfileString(core::SettingsSection, key,
                                                       directory ? "C:\\WINDOWS\\" : "", IniPath);
        if (!value)
            fail("the profile reader fails where the core's reader succeeded");
        if (value.value() != valueOf(settings, key))
            fail("the core's reader and the profile reader give different values");
    }
}

// Writing one key keeps every other key's value and reads back as written.
void checkWriteKeepsOtherKeys(core::Settings settings) {
    const core::Settings before = settings;
    if (!core::writeSetting(settings, "FileName", WrittenValue))
        return; // a file the writer refuses, such as one holding a NUL byte
    core::Settings after;
    after.settingsDirectory = "C:\\WINDOWS";
    if (!core::readSettings(after))
        fail("KOR.INI cannot be read after one key was written");
    for (std::string_view key : core::SettingKeys) {
        const std::string expected =
            key == "FileName" ? std::string(WrittenValue) : valueOf(before, key);
        if (valueOf(after, key) != expected)
            fail("writing one key of KOR.INI changed what another reads, or did not read back");
    }
}

// Text that CP932 decodes encodes again, and then decodes to the same text;
// text that CP932 encodes decodes again to the same text.
void checkCp932RoundTrips(std::string_view bytes) {
    if (const auto utf8 = platform::fromCp932(bytes)) {
        const auto cp932 = platform::toCp932(utf8.value());
        if (!cp932)
            fail("text decoded from CP932 cannot be encoded again");
        const auto again = platform::fromCp932(cp932.value());
        if (!again || again.value() != utf8.value())
            fail("CP932 text does not decode to the text it was encoded from");
    }
    if (const auto cp932 = platform::toCp932(bytes)) {
        const auto utf8 = platform::fromCp932(cp932.value());
        if (!utf8 || utf8.value() != bytes)
            fail("UTF-8 text encoded in CP932 does not decode to itself");
    }
}

} // namespace

int runSettingsInput(const std::uint8_t* data, std::size_t size) {
    const auto& root = freshScratchMachine();
    writeHostFile(root / "c" / "WINDOWS" / "KOR.INI", data, size);

    core::Settings settings;
    settings.settingsDirectory = "C:\\WINDOWS";
    if (core::readSettings(settings)) {
        checkReadersAgree(settings);
        checkWriteKeepsOtherKeys(settings);
    }
    checkCp932RoundTrips(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}

} // namespace kor::fuzz
