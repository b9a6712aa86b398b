// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings.h"
#include "platform/temporary_files.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Listing the members of an LZH archive, and extracting one of them into the
// settings directory for installation. How a listing is shown is the
// program's affair.
namespace kor::core {

// One member of an archive as listed.
struct ArchiveEntry {
    struct CalendarDate {
        int year = 1980;
        int month = 1;
        int day = 1;
        bool operator==(const CalendarDate&) const = default;
    };

    std::string name; // as stored, with "\" between folders, decoded from Shift-JIS
    // The record's unsigned sizes; a program that shows them as signed
    // numbers shows 2 GiB and more as negative.
    std::uint32_t unpackedSize = 0;
    std::uint32_t packedSize = 0;
    CalendarDate date;
    std::uint8_t hour = 0;   // as stored, unchecked
    std::uint8_t minute = 0; // as stored, unchecked
    std::uint8_t second = 0; // twice the stored 2-second count
    std::string method;      // as stored, such as "-lh5-"; empty when the record has none

    bool operator==(const ArchiveEntry&) const = default;
};

// The members of one archive that can be extracted again, in stored order.
// An archive of hundreds of thousands of members is kept as one text of their
// names and a fixed record of 17 bytes each, not as an object per member.
// A member is extracted again by its name and unpacked size, which are what
// the library's command can name it by.
class ArchiveListing {
  public:
    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    // The member at `index`, which is below size().
    ArchiveEntry operator[](std::size_t index) const;
    // Valid until the listing changes.
    std::string_view name(std::size_t index) const;
    std::uint32_t unpackedSize(std::size_t index) const { return m_records[index].unpackedSize; }
    // Members the archive holds that got no entry: their names, decoded,
    // cannot find them again.
    std::size_t unlistedCount() const { return m_unlisted; }

    void clear();
    // Adds a member; false, with nothing added, when the names would pass
    // 4 GiB. The date and time are kept in the record's own form, so the
    // values are as a record could hold them.
    bool add(const ArchiveEntry& entry);
    void addUnlisted() { ++m_unlisted; }

  private:
    struct Record {
        std::uint32_t nameEnd;
        std::uint32_t unpackedSize;
        std::uint32_t packedSize;
        std::uint16_t date;
        std::uint16_t time;
    };
    // No more methods than this are told apart; a further one lists as none.
    static constexpr std::size_t MostMethods = 255;

    std::string m_names;
    std::vector<Record> m_records;
    // A method per member, as its number in m_methods plus one; 0 for none.
    std::vector<std::uint8_t> m_methodOf;
    std::vector<std::string> m_methods;
    std::size_t m_unlisted = 0;
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

// Lists the current archive into `listing`. A file that is not a valid
// archive, a listing that fails, or a library that cannot be loaded forgets
// the archive name and says which it was; both programs then tell the user
// and end.
ListingResult listArchive(ArchiveState& state, ArchiveListing& listing);

// The words the user is shown for a listing that did not give Listed, in the
// session's language.
std::string listingFailureMessage(ListingResult result);

// Fills `listing` from the archive; false when the archive is not a normal
// file (the listing is emptied then) or cannot be opened or listed whole. An
// archive without members gives true and an empty listing.
bool fillArchiveList(ArchiveListing& listing, const std::string& archivePath);

// Looks the member named entry.name up again and fills the other fields; false
// when it is not found.
bool getArchiveEntry(const std::string& archivePath, ArchiveEntry& entry);

// The zero-terminated Shift-JIS name of a member record as text. A lead byte
// right before the end is dropped; a pair that is not a character becomes
// U+FFFD, so that such a member is never found again and gets no entry.
std::string decodeMemberName(const char* nameBytes);
bool isLeadByte(unsigned char byte);

// The name under which a member is extracted: the last part of its stored
// path, since extraction leaves the member's folders out.
std::string extractedCopyName(std::string_view memberName);

// Extracts exactly the listed member `entry` of the current archive, when its
// listed unpacked size is accepted (isLogoLengthAccepted). A member that
// cannot be had fails with operation::ExtractMember: EFBIG when the size is
// refused, else the library's reason, or why the response file could not be
// made. A folder or disk that takes no file fails with the operation that
// could not write. Failures name the member, not the temporary folder it was
// extracted into.
platform::Result<ExtractedMember>
extractMember(const ArchiveEntry& entry, const ArchiveState& state, const Settings& settings);

// Runs one library command, through a response file in the temporary
// directory when it is longer than 256 characters (in the host's temporary
// folder when that directory lies in a disk image, whose new files the
// library could not read). Fails with the library's report as the reasons,
// the developer's English and the user's: platform::Operation::Write when the command failed at
// writing, operation::RunArchiveCommand otherwise; and with
// operation::MakeResponseFile, its user's reason naming the variable (TMP,
// TEMP) that chose the folder, when the response file cannot be made.
platform::Status runArchiveCommand(const std::string& commandText);

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
