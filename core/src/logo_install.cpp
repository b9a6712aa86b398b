#include "core/logo.h"

#include "platform/files.h"

#include <string>

namespace kor::core {

namespace {

// The settings directory is the Windows directory; it ends in "\" once KOR.INI
// has been accessed, and is made to here when a caller has not done so yet.
std::string windowsDirectory(const Settings& settings) {
    std::string directory = settings.settingsDirectory;
    if (directory.empty() || directory.back() != '\\')
        directory += '\\';
    return directory;
}

std::string bootDriveRoot(const Settings& settings) {
    return std::string(1, bootDriveLetter(settings)) + ":\\";
}

// The names a staged picture may take: its own first, then numbered ones.
std::string stagingCandidate(std::string_view fileName, int attempt) {
    if (attempt == 0)
        return std::string(fileName);
    const auto dot = fileName.rfind('.');
    const std::string_view stem = fileName.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? "" : fileName.substr(dot);
    return std::string(stem) + "~" + std::to_string(attempt) + std::string(extension);
}

bool isNameTaken(const std::string& path) {
    return platform::fileExists(path) || platform::directoryExists(path);
}

constexpr int MaximumStagingAttempts = 1000;

// A path in `directory` under `fileName`, or under a numbered variant when a
// file of that name is already there, so that staging never touches it.
platform::Result<std::string> freeStagingPath(const std::string& directory,
                                              std::string_view fileName) {
    for (int attempt = 0; attempt < MaximumStagingAttempts; ++attempt) {
        std::string candidate = directory + stagingCandidate(fileName, attempt);
        if (!isNameTaken(candidate))
            return candidate;
    }
    return platform::Error(platform::Operation::Stage, directory + std::string(fileName), EEXIST,
                           "no free name in the staging directory");
}

// The last step of every installation: the staged picture takes the logo's
// name in one rename, so the slot always holds the old logo or the new one. A
// staged copy that could not take it is removed again.
platform::Status moveStagedOverLogo(const std::string& stagedPath, const std::string& target) {
    auto replaced = platform::replaceFile(stagedPath, target);
    if (!replaced)
        (void)platform::deleteFile(stagedPath);
    return replaced;
}

} // namespace

char bootDriveLetter(const Settings& settings) {
    return settings.settingsDirectory.empty() ? 'C' : settings.settingsDirectory.front();
}

std::string LogoTargetPath(LogoSlot slot, const Settings& settings) {
    switch (slot) {
    case LogoSlot::Opening:
        return bootDriveRoot(settings) + "logo.sys";
    case LogoSlot::Middle:
        return windowsDirectory(settings) + "logow.sys";
    case LogoSlot::Ending:
        return windowsDirectory(settings) + "logos.sys";
    }
    return {};
}

std::string LogoStagingDir(LogoSlot slot, const Settings& settings) {
    return slot == LogoSlot::Opening ? windowsDirectory(settings) : bootDriveRoot(settings);
}

std::uint64_t ExpectedLogoLength(const Settings& settings) {
    if (isOn(settings.sizecheck))
        return 0;
    return isOn(settings.pc98Check) ? Pc98LogoLength : LogoLength;
}

bool IsLogoLengthAccepted(const Settings& settings, std::uint64_t length) {
    const std::uint64_t expected = ExpectedLogoLength(settings);
    return expected == 0 || expected == length;
}

platform::Status InstallLogoFromFile(const Settings& settings, LogoSlot slot,
                                     std::string_view sourcePath, std::string_view fileName) {
    auto stagedPath = freeStagingPath(LogoStagingDir(slot, settings), fileName);
    if (!stagedPath)
        return stagedPath.error();
    if (auto copied = platform::copyFile(sourcePath, stagedPath.value(), platform::Overwrite::No);
        !copied)
        return copied;
    return moveStagedOverLogo(stagedPath.value(), LogoTargetPath(slot, settings));
}

std::string ExtractedCopyName(std::string_view memberName) {
    const auto separator = memberName.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? memberName
                                                           : memberName.substr(separator + 1));
}

platform::Status InstallLogoFromExtracted(const Settings& settings, LogoSlot slot,
                                          std::string_view memberName) {
    const std::string name = ExtractedCopyName(memberName);
    const std::string extractedPath = windowsDirectory(settings) + name;
    if (slot == LogoSlot::Opening)
        return moveStagedOverLogo(extractedPath, LogoTargetPath(slot, settings));

    auto stagedPath = freeStagingPath(LogoStagingDir(slot, settings), name);
    if (!stagedPath)
        return stagedPath.error();
    if (auto moved = platform::renameFile(extractedPath, stagedPath.value()); !moved)
        return moved;
    return moveStagedOverLogo(stagedPath.value(), LogoTargetPath(slot, settings));
}

} // namespace kor::core
