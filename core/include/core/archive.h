// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings.h"
#include "platform/temporary_files.h"

#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Listing the members of an LZH archive into the window that hosts the listing,
// and extracting one of them into the settings directory for installation.
namespace kor::core {

// One member of an archive as listed.
struct ArchiveEntry {
    struct CalendarDate {
        int year = 1980;
        int month = 1;
        int day = 1;
    };

    std::string name; // as stored, with "\" between folders, decoded from Shift-JIS
    std::int32_t unpackedSize = 0;
    std::int32_t packedSize = 0;
    CalendarDate date;
    std::uint8_t hour = 0;   // as stored, unchecked
    std::uint8_t minute = 0; // as stored, unchecked
    std::uint8_t second = 0; // twice the stored 2-second count
};

enum class ColumnAlignment { Left, Right };

// A column of the member report; how wide it is shown is the window's choice.
struct ReportColumn {
    std::string_view header;
    ColumnAlignment alignment;
};

// The five columns of the member report, in the order of a row's cells.
inline constexpr ReportColumn ArchiveReportColumns[] = {{"ﾌｧｲﾙ名", ColumnAlignment::Left},
                                                        {"元ﾌｧｲﾙｻｲｽﾞ", ColumnAlignment::Right},
                                                        {"圧縮ﾌｧｲﾙｻｲｽﾞ", ColumnAlignment::Right},
                                                        {"ﾌｧｲﾙ日付", ColumnAlignment::Right},
                                                        {"ﾌｧｲﾙ日時", ColumnAlignment::Right}};

// The two lists of the window that hosts a listing: a hidden scratch list of
// member names (List1) and the report list of members (ListView1).
class ArchiveListHost {
  public:
    virtual ~ArchiveListHost() = default;

    virtual std::uintptr_t windowHandle() const = 0;

    virtual void clearNameList() = 0;
    virtual void addToNameList(const std::string& name) = 0;
    virtual std::vector<std::string> nameList() const = 0;

    virtual void clearReportRows() = 0;
    // Replaces the report's columns by these.
    virtual void setReportColumns(std::span<const ReportColumn> columns) = 0;
    // A row: the member name, then the four further cells.
    virtual void addReportRow(const std::vector<std::string>& cells) = 0;
    // How many of a row's cells, from the first, the host keeps; the others
    // are not even formatted for a host that never shows them.
    virtual std::size_t reportCellsKept() const { return std::size(ArchiveReportColumns); }

    // The row an extraction takes: the selected row in the setup program, the
    // row at the drawn position in the changer; nullopt when there is none.
    virtual std::optional<std::vector<std::string>> rowToExtract() const = 0;
};

// The two lists kept in memory, for a host that shows neither: a benchmark, a
// fuzz target, a test. The row an extraction takes is the one at `selected`.
class ArchiveListInMemory : public ArchiveListHost {
  public:
    std::uintptr_t windowHandle() const override { return 0; }
    void clearNameList() override { names.clear(); }
    void addToNameList(const std::string& name) override { names.push_back(name); }
    std::vector<std::string> nameList() const override { return names; }
    void clearReportRows() override { rows.clear(); }
    void setReportColumns(std::span<const ReportColumn>) override {}
    void addReportRow(const std::vector<std::string>& cells) override { rows.push_back(cells); }
    std::optional<std::vector<std::string>> rowToExtract() const override {
        if (selected >= rows.size())
            return std::nullopt;
        return rows[selected];
    }

    std::vector<std::string> names;
    std::vector<std::vector<std::string>> rows;
    std::size_t selected = 0;
};

// What the programs keep about archives between calls.
struct ArchiveState {
    // The bare file name of the archive being listed, resolved against the
    // current directory.
    std::string currentArchiveName;
};

// A member extracted for installing or viewing. It lies alone in a temporary
// folder of the Windows directory, made for it, so that neither a file of the
// user's nor a copy left by an earlier run can stand in its way; the folder
// and whatever is still in it go when this does.
class ExtractedMember {
  public:
    ExtractedMember(platform::TemporaryFolder folder, std::string path)
        : m_folder(std::move(folder)), m_path(std::move(path)) {}

    // The extracted file's Windows path.
    const std::string& path() const { return m_path; }

  private:
    platform::TemporaryFolder m_folder;
    std::string m_path;
};

// What became of a listing.
enum class ListingResult { Listed, NotAnArchive, ListingFailed, LibraryMissing };

// Lists the current archive into the host. A file that is not a valid archive,
// a listing that fails, or a library that cannot be loaded forgets the archive
// name and says which it was; both programs then tell the user and end.
ListingResult listArchive(ArchiveListHost& host, ArchiveState& state);

// The words the user is shown for a listing that did not give Listed.
std::string listingFailureMessage(ListingResult result);

// Fills the host's lists from the archive; false when the archive is not a
// normal file or cannot be opened. An archive without members gives true and
// an empty report under its five headers.
bool fillArchiveList(ArchiveListHost& host, const std::string& archivePath);

// Looks the member named entry.name up again and fills the other fields; false
// when it is not found.
bool getArchiveEntry(const std::string& archivePath, ArchiveEntry& entry);

// The zero-terminated Shift-JIS name of a member record as text. A lead byte
// right before the end is dropped; a pair that is not a character becomes
// U+FFFD, so that such a member is never found again and gets no row.
std::string decodeMemberName(const char* nameBytes);
bool isLeadByte(unsigned char byte);

// The cell texts of a member row: name, unpacked size, packed size, the date in
// the user's short date format, and H:M:S without leading zeros; the first
// `count` of them.
std::vector<std::string> archiveRowCells(const ArchiveEntry& entry,
                                         std::size_t count = std::size(ArchiveReportColumns));

// The length a row's size cell lists: the record's unsigned 32-bit size, which
// the row shows as a signed number, so that 2 GiB and more read as negative.
// Nothing for a cell that is no number.
std::optional<std::uint64_t> listedMemberLength(std::string_view cell);

// The name under which a member is extracted: the last part of its stored
// path, since extraction leaves the member's folders out.
std::string extractedCopyName(std::string_view memberName);

// Extracts exactly the member of the host's rowToExtract, when its listed
// unpacked size is accepted (isLogoLengthAccepted). A member that cannot be
// had fails with operation::ExtractMember: EFBIG when the size is refused, else the
// library's reason, or why the response file could not be made. A folder or
// disk that takes no file fails with the operation that could not write.
// Failures name the member, not the temporary folder it was extracted into.
platform::Result<ExtractedMember>
extractSelectedMember(ArchiveListHost& host, const ArchiveState& state, const Settings& settings);

// Runs one library command, through a response file in the temporary
// directory when it is longer than 256 characters (in the host's temporary
// folder when that directory lies in a disk image, whose new files the
// library could not read). Fails with the library's report as the reasons,
// English and Japanese: platform::Operation::Write when the command failed at
// writing, operation::RunArchiveCommand otherwise; and with
// operation::MakeResponseFile, its Japanese reason naming the variable (TMP,
// TEMP) that chose the folder, when the response file cannot be made.
platform::Status runArchiveCommand(std::uintptr_t owner, const std::string& commandText);

// TMP, else TEMP, else the root of the system drive; ends in "\".
std::string getTempDirectory();
// Where runArchiveCommand writes its response file: getTempDirectory, or the
// host's temporary folder when that lies in a disk image.
std::string responseFileDirectory();
// The first three characters of the system directory ("C:\"), or "".
std::string getSystemDriveRoot();
// Makes `text` end in "\" and returns it.
std::string& addBackslash(std::string& text);

} // namespace kor::core
