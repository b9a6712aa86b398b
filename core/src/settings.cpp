// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"

#include "platform/profile.h"
#include "platform/text.h"

#include <optional>

namespace kor::core {

namespace {

bool isDirectoryKey(std::string_view key) {
    return key == "Dir" || key == "MDir" || key == "EDir";
}

enum class SourceKind { Folder, FileName };

struct SourceKey {
    std::string_view key;
    std::string Settings::*value;
    SourceKind kind;
};

// The values checked, in the order the first refused one is found: the
// picture directories, the archive directories, the archive file names.
std::vector<SourceKey> sourceKeysInCheckOrder() {
    std::vector<SourceKey> keys;
    keys.reserve(3 * LogoSources.size());
    for (const LogoSourceKeys& source : LogoSources)
        keys.push_back({source.pictureDirectoryKey, source.pictureDirectory, SourceKind::Folder});
    for (const LogoSourceKeys& source : LogoSources)
        keys.push_back({source.archiveDirectoryKey, source.archiveDirectory, SourceKind::Folder});
    for (const LogoSourceKeys& source : LogoSources)
        keys.push_back({source.archiveFileNameKey, source.archiveFileName, SourceKind::FileName});
    return keys;
}

bool holdsControlCharacter(std::string_view value) {
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

// Why a source value cannot be used, or nothing when it can.
std::optional<std::string> sourceFault(std::string_view value, SourceKind kind) {
    if (holdsControlCharacter(value))
        return "holds a control character";
    if (kind == SourceKind::FileName) {
        if (value.find_first_of("\\/:") != std::string_view::npos)
            return "is not a bare file name";
    } else if (value.starts_with('/')) {
        return "is a host path, not a Windows path of the machine";
    }
    return std::nullopt;
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

platform::Status readSettings(Settings& settings) {
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

platform::Status checkSourceSettings(const Settings& settings) {
    for (const SourceKey& source : sourceKeysInCheckOrder()) {
        const std::string& value = settings.*source.value;
        if (value.empty())
            continue;
        if (std::optional<std::string> fault = sourceFault(value, source.kind))
            return platform::Error(platform::Operation::Find,
                                   settings.iniPath + " [" + std::string(SettingsSection) + "] " +
                                       std::string(source.key) + "=" +
                                       platform::shortenedForReport(value),
                                   EINVAL, std::string(source.key) + " " + *fault);
    }
    // An archive needs its folder: a Dir written empty (rather than left out)
    // names no drive at all.
    if (!isBmpMode(settings)) {
        for (const LogoSourceKeys& archive : LogoSources)
            if (!(settings.*archive.archiveFileName).empty() &&
                (settings.*archive.archiveDirectory).empty())
                return platform::Error(platform::Operation::Find,
                                       settings.iniPath + " [" + std::string(SettingsSection) +
                                           "] " + std::string(archive.archiveDirectoryKey) + "=",
                                       EINVAL,
                                       std::string(archive.archiveDirectoryKey) +
                                           " is empty, so the archive lies on no drive");
    }
    return {};
}

platform::Status writeSetting(Settings& settings, std::string_view key, std::string_view value) {
    prepareSettingsPath(settings);
    return platform::writeProfileString(SettingsSection, key, value, settings.iniPath);
}

platform::Status writeSettings(Settings& settings,
                               const std::vector<platform::ProfileEntry>& entries) {
    prepareSettingsPath(settings);
    return platform::writeProfileStrings(SettingsSection, entries, settings.iniPath);
}

} // namespace kor::core
