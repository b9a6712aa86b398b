#include "core/settings.h"

#include "platform/profile.h"
#include "platform/text.h"

namespace kor::core {

namespace {

bool isDirectoryKey(std::string_view key) {
    return key == "Dir" || key == "MDir" || key == "EDir";
}

} // namespace

std::string* settingValue(Settings& settings, std::string_view key) {
    std::string* const values[] = {&settings.Dir,       &settings.FileName,  &settings.MDir,
                                   &settings.MFileName, &settings.EDir,      &settings.EFileName,
                                   &settings.DirOnly,   &settings.MDirOnly,  &settings.EDirOnly,
                                   &settings.ArcCheck,  &settings.pc98Check, &settings.sizecheck};
    for (std::size_t i = 0; i < SettingKeys.size(); ++i) {
        if (platform::equalsIgnoringAsciiCase(SettingKeys[i], key))
            return values[i];
    }
    return nullptr;
}

void prepareSettingsPath(Settings& settings) {
    if (settings.settingsDirectory.empty() || settings.settingsDirectory.back() != '\\')
        settings.settingsDirectory += '\\';
    settings.iniPath = settings.settingsDirectory + "KOR.INI";
}

platform::Status ReadSettings(Settings& settings) {
    prepareSettingsPath(settings);
    for (std::string_view key : SettingKeys) {
        // An absent Dir, MDir or EDir means the settings directory itself.
        const std::string_view fallback =
            isDirectoryKey(key) ? std::string_view(settings.settingsDirectory) : std::string_view();
        auto value = platform::readProfileString(SettingsSection, key, fallback, settings.iniPath);
        if (!value)
            return value.error();
        *settingValue(settings, key) = std::move(value).value();
    }
    return {};
}

platform::Status WriteSetting(Settings& settings, std::string_view key, std::string_view value) {
    prepareSettingsPath(settings);
    return platform::writeProfileString(SettingsSection, key, value, settings.iniPath);
}

platform::Status WriteSettings(Settings& settings,
                               const std::vector<platform::ProfileEntry>& entries) {
    prepareSettingsPath(settings);
    return platform::writeProfileStrings(SettingsSection, entries, settings.iniPath);
}

} // namespace kor::core
