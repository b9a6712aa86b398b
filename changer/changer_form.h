// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hidden_lists.h"

#include "core/archive.h"
#include "core/logo.h"
#include "core/logo_problem_text.h"
#include "core/settings.h"
#include "platform/files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kor::changer {

// How a run ended, as the program's exit status.
enum class RunOutcome { Completed = 0, Failed = 1 };

// What a run does besides its work, as the command line asks.
struct RunOptions {
    // Draws as a run does, with the same rules and notes, but writes nothing:
    // no logo, no extracted member, no removal of stale temporary files. A
    // logo's drive that could not be written now (a disk image in use) ends
    // it as it would end the run.
    bool dryRun = false;
    // Says on standard output, a line per logo, what was drawn and what came
    // of it; a dry run always does.
    bool verbose = false;
};

// The changer's only window. It is never shown: its load event does the whole
// run (read KOR.INI, then for the opening, middle and ending logo in turn draw
// a picture at random and install it) and the program ends after it. Its list
// controls serve only as the run's listings.
class Form1 final : public core::ArchiveListHost {
  public:
    // The lists start at the machine's current drive and directory. The run's
    // report lines are in `language`; its notes and messages are Japanese.
    explicit Form1(RunOptions options = {},
                   core::TextLanguage language = core::TextLanguage::Japanese);

    // The whole run. A failure that ends it has been reported through the
    // message service when this returns RunOutcome::Failed. An archive that
    // cannot be listed ends the program from inside, after its message.
    RunOutcome Form_Load();

    const core::Settings& settings() const { return m_settings; }

    // The member list as the archive listing fills it.
    std::uintptr_t windowHandle() const override { return 0; }
    void clearNameList() override;
    void addToNameList(const std::string& name) override { List1.push_back(name); }
    std::vector<std::string> nameList() const override;
    void clearReportRows() override {
        m_memberRows.clear();
        m_rowTexts.clear();
    }
    // The list is never shown, so its columns are no concern of a run.
    void setReportColumns(std::span<const core::ReportColumn>) override {}
    void addReportRow(const std::vector<std::string>& cells) override;
    std::size_t reportCellsKept() const override { return UsedCells; }
    std::optional<std::vector<std::string>> rowToExtract() const override;

  private:
    // The cells of a row of the member list.
    std::vector<std::string> memberRow(std::size_t index) const;

    // The run itself: stops at the first failure, which Form_Load reports.
    platform::Status changeLogos();
    platform::Status Drive1_Change();
    platform::Status Dir1_Change();
    void clearArchiveLists();

    // A logo this run leaves as it is: the note on standard error, and the
    // report line.
    void leaveUnchanged(core::LogoSlot slot, const std::string& why);
    // The report line of a slot that got, or in a dry run would get, `source`.
    void reportInstalled(core::LogoSlot slot, const std::string& source);
    void reportNoSource(core::LogoSlot slot);

    // Points the drive and directory lists at `directory` and makes it the
    // current drive and directory.
    platform::Status showDirectory(const std::string& directory);
    platform::Status changeFromPictureDirectory(core::LogoSlot slot, const std::string& directory);
    platform::Status changeFromArchive(core::LogoSlot slot, const std::string& directory,
                                       const std::string& archiveName);

    DriveList Drive1;
    DirectoryList Dir1;
    FileList File1;
    TextList List1;
    // The member list's rows, of which a run keeps the first UsedCells cells
    // (name and listed size). A row is kept in eight bytes: the name as the
    // entry of List1 that the listing added with it, the size as a number;
    // a row that cannot be kept so (name is OwnText) has its cells joined by
    // a NUL byte, which no cell can hold, in m_rowTexts at `size`.
    static constexpr std::size_t UsedCells = 2;
    static constexpr std::uint32_t OwnText = UINT32_MAX;
    struct MemberRow {
        std::uint32_t name;
        std::int32_t size;
    };
    std::vector<MemberRow> m_memberRows;
    TextList m_rowTexts;

    RunOptions m_options;
    core::TextLanguage m_language;
    core::Settings m_settings;
    core::ArchiveState m_archiveState;
    // The drawn member row, counted from 1.
    std::size_t m_chosenIndex = 0;
    // The archive file the member lists hold, as it was when listed.
    std::optional<platform::FileVersion> m_listedArchive;
};

} // namespace kor::changer
