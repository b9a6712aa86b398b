// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logo.h"

#include "core/archive.h"
#include "core/operations.h"
#include "language/translation.h"
#include "platform/files.h"
#include "platform/temporary_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>
#include <vector>

#include <unistd.h>

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

// An installation refused because the logo is read-only is told as that: no
// copy or move failed, the logo may not be replaced.
platform::Status toldAsLogo(platform::Status installed, const std::string& target) {
    if (installed || !platform::isReadOnlyRefusal(installed.error()))
        return installed;
    return platform::Error(operation::ReplaceLogo, target, EACCES, installed.error().detail())
        .withUserReason(language::translate("core", "読み取り専用になっています"));
}

} // namespace

char bootDriveLetter(const Settings& settings) {
    if (settings.bootDrive != 0)
        return settings.bootDrive;
    return settings.settingsDirectory.empty() ? 'C' : settings.settingsDirectory.front();
}

std::string logoTargetPath(LogoSlot slot, const Settings& settings) {
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

std::uint64_t expectedLogoLength(const Settings& settings) {
    if (isOn(settings.sizecheck))
        return 0;
    return isOn(settings.pc98Check) ? Pc98LogoLength : LogoLength;
}

LogoFormat logoFormatOf(const Settings& settings) {
    return isOn(settings.pc98Check) ? LogoFormat::Pc98 : LogoFormat::Windows95;
}

std::string_view machineNameOf(LogoFormat format) {
    return format == LogoFormat::Pc98 ? "PC-98" : "Windows 95";
}

bool isLogoLengthAccepted(const Settings& settings, std::uint64_t length) {
    const std::uint64_t expected = expectedLogoLength(settings);
    return expected == 0 ? length <= LargestPictureLength : expected == length;
}

platform::Status installLogoFromFile(const Settings& settings, LogoSlot slot,
                                     std::string_view sourcePath) {
    const std::string target = logoTargetPath(slot, settings);
    return toldAsLogo(platform::copyFile(sourcePath, target, platform::Overwrite::Yes), target);
}

platform::Status installLogoFromExtracted(const Settings& settings, LogoSlot slot,
                                          std::string_view extractedPath) {
    const std::string target = logoTargetPath(slot, settings);
    // No rename crosses drives: on another drive than the logo's (logo.sys of
    // a machine whose Windows lives on D:), the member is staged beside the
    // logo first, as a picture file is.
    if (std::toupper(static_cast<unsigned char>(extractedPath.front())) !=
        std::toupper(static_cast<unsigned char>(target.front())))
        return toldAsLogo(platform::copyFile(extractedPath, target, platform::Overwrite::Yes),
                          target);
    return toldAsLogo(platform::replaceFile(extractedPath, target), target);
}

platform::Result<LogoInspection> inspectLogoFile(std::string_view path, LogoFormat format) {
    // Measured first: the length counts for the inspection, and only a plain
    // file has one, so a FIFO given a picture's name is never opened.
    const std::uint64_t length = KOR_TRY(platform::fileLength(path));
    const int descriptor = KOR_TRY(platform::openFileForReading(path));
    std::vector<std::uint8_t> start(std::min<std::uint64_t>(length, LogoHeadersLength));
    std::size_t filled = 0;
    int error = 0;
    while (filled < start.size()) {
        const ssize_t got = ::read(descriptor, start.data() + filled, start.size() - filled);
        if (got > 0)
            filled += static_cast<std::size_t>(got);
        else if (got == 0)
            break;
        else if (errno != EINTR) {
            error = errno;
            break;
        }
    }
    ::close(descriptor);
    if (error != 0)
        return platform::Error(platform::Operation::Read, std::string(path), error);
    start.resize(filled);
    return inspectLogo(start, length, format);
}

std::string logoBackupFolder(const Settings& settings) {
    return windowsDirectory(settings) + "korback";
}

void removeStaleTemporaryFiles(const Settings& settings) {
    platform::removeStaleTemporaries(windowsDirectory(settings));
    platform::removeStaleTemporaries(logoBackupFolder(settings));
    platform::removeStaleTemporaries(bootDriveRoot(settings));
    platform::removeStaleTemporaries(responseFileDirectory());
}

} // namespace kor::core
