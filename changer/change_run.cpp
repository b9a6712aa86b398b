// SPDX-License-Identifier: GPL-3.0-or-later
#include "change_run.h"
#include "core/logo_problem_text.h"
#include "core/operations.h"

#include "language/translation.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/profile.h"
#include "platform/random.h"
#include "platform/services.h"
#include "platform/text.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace kor::changer {

namespace {

using language::fill;
using language::translate;

constexpr std::string_view ProgramTitle = "KOR";

// The file name of a slot's logo, as the notes name it.
std::string logoFileName(core::LogoSlot slot, const core::Settings& settings) {
    const std::string target = core::logoTargetPath(slot, settings);
    return target.substr(target.find_last_of('\\') + 1);
}

// {1} stands for the logo, {2} for why it stays: a note and a report line.
constexpr const char* LeftUnchanged = KOR_TRANSLATE_NOOP("changer", "{1} は変更しません: {2}");

// A logo that this run leaves as it is, and why, on a line of its own: an
// unattended run must not stop for it, but must not keep it quiet either.
void noteUnchanged(core::LogoSlot slot, const core::Settings& settings, std::string_view why) {
    std::string reason(why);
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    std::cerr << ProgramTitle << ": "
              << platform::escapeControlCharacters(fill(translate("changer", LeftUnchanged),
                                                        {logoFileName(slot, settings), reason}))
              << '\n';
}

enum class ReportLine { Installed, WouldInstall, Unchanged, NoSource };

struct ReportText {
    ReportLine line;
    const char* japanese;
};

// The run report's lines; {1} stands for the logo file, {2} for the source or
// why the logo stays.
constexpr ReportText ReportTexts[] = {
    {ReportLine::Installed, KOR_TRANSLATE_NOOP("changer", "{1} を {2} に変更しました")},
    {ReportLine::WouldInstall,
     KOR_TRANSLATE_NOOP("changer", "{1} を {2} に変更します (--dry-run なので書き込みません)")},
    {ReportLine::Unchanged, LeftUnchanged},
    {ReportLine::NoSource,
     KOR_TRANSLATE_NOOP("changer", "{1} は変更しません: KOR.INI に取り出し元が指定されていません")},
};

void printReportLine(ReportLine line, const std::string& logo, const std::string& detail) {
    const char* japanese = "";
    for (const ReportText& entry : ReportTexts)
        if (entry.line == line)
            japanese = entry.japanese;
    std::string text = fill(translate("changer", japanese), {logo, detail});
    // One line per logo, as the notes keep a reason on one line.
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::cout << platform::escapeControlCharacters(text, platform::LineBreaks::Escape) << '\n';
}

// `name` in the directory `directory`, as a Windows path.
std::string pathIn(std::string directory, const std::string& name) {
    return core::addBackslash(directory) + name;
}

// A picture that passed the configured size check stays installed, so that a
// machine set up long ago behaves as it did; but when the machine may not
// show it, the run says why, since the user would otherwise see no logo and no
// reason. The installed logo is inspected, not the source, and only its
// headers are read.
void noteIfNotShown(core::LogoSlot slot, const core::Settings& settings,
                    const std::string& source) {
    const core::LogoFormat format = core::logoFormatOf(settings);
    const auto found = core::inspectLogoFile(core::logoTargetPath(slot, settings), format);
    // A logo that cannot be read back was installed all the same; the next
    // program to read it will say why.
    if (!found || found.value().isShown())
        return;
    const std::string note = fill(
        translate("changer",
                  "{1} を {2} に変更しましたが、{3} のロゴとして表示できない可能性があります。{4}"),
        {logoFileName(slot, settings), source, core::machineNameOf(format),
         core::describeLogoProblems(found.value(), format)});
    std::cerr << ProgramTitle << ": "
              << platform::escapeControlCharacters(note, platform::LineBreaks::Escape) << '\n';
}

std::string lengthRefusal(const core::Settings& settings, const std::string& path,
                          std::uint64_t length) {
    const std::uint64_t expected = core::expectedLogoLength(settings);
    if (expected == 0)
        return fill(
            translate("changer",
                      "{1} は {2} バイトあり、ロゴにできる大きさ ({3} バイトまで) を超えています"),
            {path, std::to_string(length), std::to_string(core::LargestPictureLength)});
    return fill(translate("changer", "{1} は {2} バイトで、ロゴの大きさ ({3} バイト) と違います"),
                {path, std::to_string(length), std::to_string(expected)});
}

// Every entry with the same chance: floor(r * n + 1) - 1 lies in 0 .. n-1.
std::size_t drawIndex(std::size_t count) {
    platform::seedRandomFromClock();
    const double r = platform::nextRandom();
    return static_cast<std::size_t>(std::floor(r * static_cast<double>(count) + 1)) - 1;
}

} // namespace

ChangeRun::ChangeRun(RunOptions options)
    : m_driveList(platform::Machine::current().currentDrive()),
      m_folderList(platform::Machine::current().currentDirectory()), m_options(options) {
    m_driveList.onChange = [this] { return enterChosenDrive(); };
    m_folderList.onChange = [this] { return enterChosenFolder(); };
}

RunOutcome ChangeRun::run() {
    if (auto status = changeLogos(); !status) {
        platform::services().showMessage(ProgramTitle, status.error().message());
        return RunOutcome::Failed;
    }
    return RunOutcome::Completed;
}

platform::Status ChangeRun::changeLogos() {
    const platform::Machine& machine = platform::Machine::current();
    KOR_TRY(machine.windowsDirectoryStatus());
    std::error_code ignored;
    if (!std::filesystem::is_directory(machine.root(), ignored))
        return platform::Error(core::operation::OpenMachine, machine.root().string(), ENOENT);
    m_settings.settingsDirectory = machine.windowsDirectory();
    m_settings.bootDrive = machine.bootDrive();
    if (platform::Status found = platform::findDirectory(m_settings.settingsDirectory); !found)
        return found.error().retold(core::operation::OpenWindowsDirectory,
                                    m_settings.settingsDirectory);

    // An unreadable KOR.INI is noted but does not stop the run: the keys read
    // before the fault keep their values, the rest stay empty.
    if (auto read = core::readSettings(m_settings); !read)
        std::cerr << ProgramTitle << ": "
                  << platform::escapeControlCharacters(read.error().message()) << '\n';
    if (platform::hasUtf8Mark(m_settings.iniPath))
        std::cerr << ProgramTitle << ": "
                  << fill(translate("changer",
                                    "{1} は UTF-8 で保存されているので UTF-8 として読みました。"
                                    "Windows 95 でも使えるよう、Shift-JIS で保存し直してください"),
                          {m_settings.iniPath})
                  << '\n';
    // KOR.INI names only the emulated machine; a value that would reach a host
    // folder, or hides a control character, ends the run before anything changes.
    KOR_TRY(core::checkSourceSettings(m_settings));
    if (!m_options.dryRun)
        core::removeStaleTemporaryFiles(m_settings);

    KOR_TRY(m_fileList.setPath(m_folderList.path()));
    for (core::LogoSlot slot : core::AllLogoSlots) {
        const core::LogoSourceKeys& sources = core::sourceKeysOf(slot);
        auto changed = core::isBmpMode(m_settings)
                           ? changeFromPictureDirectory(slot, m_settings.*sources.pictureDirectory)
                           : changeFromArchive(slot, m_settings.*sources.archiveDirectory,
                                               m_settings.*sources.archiveFileName);
        if (!changed)
            return changed;
    }
    return {};
}

platform::Status ChangeRun::enterChosenDrive() {
    KOR_TRY(m_folderList.setPath(std::string(1, m_driveList.drive()) + ":"));
    KOR_TRY(platform::Machine::current().setCurrentDrive(m_driveList.drive()));
    forgetListing();
    return {};
}

platform::Status ChangeRun::enterChosenFolder() {
    KOR_TRY(m_fileList.setPath(m_folderList.path()));
    KOR_TRY(platform::Machine::current().setCurrentDirectory(m_folderList.path()));
    forgetListing();
    return {};
}

void ChangeRun::forgetListing() {
    m_listing.clear();
    m_listedArchive.reset();
}

void ChangeRun::leaveUnchanged(core::LogoSlot slot, const std::string& why) {
    noteUnchanged(slot, m_settings, why);
    if (m_options.verbose || m_options.dryRun)
        printReportLine(ReportLine::Unchanged, core::logoTargetPath(slot, m_settings), why);
}

void ChangeRun::reportInstalled(core::LogoSlot slot, const std::string& source) {
    if (m_options.verbose || m_options.dryRun)
        printReportLine(m_options.dryRun ? ReportLine::WouldInstall : ReportLine::Installed,
                        core::logoTargetPath(slot, m_settings), source);
}

void ChangeRun::reportNoSource(core::LogoSlot slot) {
    if (m_options.verbose || m_options.dryRun)
        printReportLine(ReportLine::NoSource, core::logoTargetPath(slot, m_settings), {});
}

platform::Status ChangeRun::showDirectory(const std::string& configured) {
    // A bare drive ("D:", as the setup program records an archive in a drive's
    // root) names that root, not the drive's current directory, which the
    // logo handled before may have moved.
    const std::string directory =
        configured.size() == 2 && configured[1] == ':' ? configured + '\\' : configured;
    KOR_TRY(m_driveList.setDrive(directory));
    KOR_TRY(m_folderList.setPath(directory));
    auto& machine = platform::Machine::current();
    KOR_TRY(machine.setCurrentDrive(m_driveList.drive()));
    return machine.setCurrentDirectory(directory);
}

platform::Status ChangeRun::changeFromPictureDirectory(core::LogoSlot slot,
                                                       const std::string& directory) {
    if (directory.empty()) {
        reportNoSource(slot);
        return {};
    }
    KOR_TRY(showDirectory(directory));

    const auto& pictures = m_fileList.entries();
    // A folder without pictures leaves its logo as it is; the other logos
    // still change.
    if (pictures.empty()) {
        leaveUnchanged(
            slot, fill(translate("changer", "{1} にファイルがありません"), {m_folderList.path()}));
        return {};
    }
    const std::string sourcePath =
        pathIn(m_folderList.path(), std::string(pictures[drawIndex(pictures.size())]));

    auto length = platform::fileLength(sourcePath);
    if (!length)
        return length.error();
    if (!core::isLogoLengthAccepted(m_settings, length.value())) {
        leaveUnchanged(slot, lengthRefusal(m_settings, sourcePath, length.value()));
        return {};
    }
    if (!m_options.dryRun) {
        KOR_TRY(core::installLogoFromFile(m_settings, slot, sourcePath));
        noteIfNotShown(slot, m_settings, sourcePath);
    } else {
        KOR_TRY(platform::checkWritable(core::logoTargetPath(slot, m_settings)));
    }
    reportInstalled(slot, sourcePath);
    return {};
}

platform::Status ChangeRun::changeFromArchive(core::LogoSlot slot, const std::string& directory,
                                              const std::string& archiveName) {
    if (archiveName.empty()) {
        reportNoSource(slot);
        return {};
    }
    KOR_TRY(showDirectory(directory));
    // A path longer than Windows holds names no archive at all, not a broken
    // one: it ends the run as too long, as a folder key's path does.
    if (auto full = platform::Machine::current().fullPath(pathIn(m_folderList.path(), archiveName));
        !full && full.error().code() == ENAMETOOLONG)
        return full.error();
    // A bare file name, found in the current directory just set.
    m_archiveState.currentArchiveName = archiveName;

    // Logos that draw from one archive list it once: the listing of the file
    // as it was when listed still holds while it has not changed since.
    auto version = platform::fileVersion(archiveName);
    if (!version || version.value() != m_listedArchive) {
        m_listedArchive.reset();
        // An archive that cannot be listed ends the run, as the user is told.
        if (const auto listed = core::listArchive(m_archiveState, m_listing);
            listed != core::ListingResult::Listed) {
            platform::services().showMessage(ProgramTitle, core::listingFailureMessage(listed));
            platform::endProgram(1);
        }
        if (version)
            m_listedArchive = std::move(version).value();
    }
    // An archive without members leaves its logo as it is; the other logos
    // still change.
    if (m_listing.empty()) {
        leaveUnchanged(
            slot, fill(translate("changer", "書庫 {1} にファイルがありません"), {archiveName}));
        return {};
    }
    const core::ArchiveEntry drawn = m_listing[drawIndex(m_listing.size())];
    const std::string source = archiveName + " : " + drawn.name;
    // The report names the archive by its whole path: the bare name of the
    // notes says nothing to a reader who did not write KOR.INI.
    const std::string reportedSource =
        pathIn(m_folderList.path(), archiveName) + " : " + drawn.name;
    if (m_options.dryRun) {
        // The member is judged by its listed length, as the extraction would
        // judge it first; what only extracting could tell stays unknown.
        if (!core::isLogoLengthAccepted(m_settings, drawn.unpackedSize)) {
            leaveUnchanged(slot, lengthRefusal(m_settings, source, drawn.unpackedSize));
            return {};
        }
        KOR_TRY(platform::checkWritable(core::logoTargetPath(slot, m_settings)));
        reportInstalled(slot, reportedSource);
        return {};
    }
    auto extracted = core::extractMember(drawn, m_archiveState, m_settings);
    if (!extracted) {
        // A member that cannot become a logo leaves it as it is; a disk that
        // takes nothing ends the run.
        if (extracted.error().operation() != core::operation::ExtractMember)
            return extracted.error();
        const bool refusedLength = extracted.error().code() == EFBIG;
        leaveUnchanged(slot, refusedLength ? lengthRefusal(m_settings, source, drawn.unpackedSize)
                                           : fill(translate("changer", "{1} を解凍できません: {2}"),
                                                  {source, extracted.error().userReason()}));
        return {};
    }
    KOR_TRY(core::installLogoFromExtracted(m_settings, slot, extracted.value().path()));
    noteIfNotShown(slot, m_settings, source);
    reportInstalled(slot, reportedSource);
    return {};
}

} // namespace kor::changer
