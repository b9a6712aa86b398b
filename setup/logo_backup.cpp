// SPDX-License-Identifier: GPL-3.0-or-later
#include "logo_backup.h"

#include "controls.h"

#include "core/archive.h"
#include "core/logo.h"
#include "language/translation.h"
#include "platform/files.h"
#include "platform/services.h"

#include <string>

namespace kor::setup {

namespace {

// False at the first step that fails.
bool copyLogoFiles(const core::Settings& settings) {
    const std::string folder = core::logoBackupFolder(settings);
    // A plain file of that name is left alone; the first copy then fails.
    if (!platform::fileExists(folder) && !platform::directoryExists(folder) &&
        !platform::createDirectory(folder))
        return false;
    for (core::LogoSlot slot : core::AllLogoSlots) {
        const std::string logo = core::logoTargetPath(slot, settings);
        const std::string copy = folder + logo.substr(logo.rfind('\\'));
        if (!platform::copyFile(logo, copy, platform::Overwrite::Yes))
            return false;
    }
    return true;
}

} // namespace

void offerLogoBackup(const core::Settings& settings) {
    platform::Services& services = platform::services();
    if (services.ask(language::translate(
            "logo_backup", "現在のＬＯＧＯファイルをバックアップします、よろしいですか？")) !=
        platform::Answer::Yes) {
        services.beep();
        return;
    }
    if (!copyLogoFiles(settings)) {
        services.beep();
        services.showMessage(
            ProgramTitle,
            language::translate(
                "logo_backup",
                "バックアップするためのファイルが見つかりませんでした、確認してください。"));
        return;
    }
    services.showMessage(ProgramTitle, language::translate("logo_backup", "バックアップ終了"));
}

} // namespace kor::setup
