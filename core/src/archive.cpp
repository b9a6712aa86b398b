// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive.h"
#include "core/operations.h"

#include "core/archive_library.h"
#include "core/logo.h"
#include "language/translation.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kor::core {

namespace {

constexpr int CheckModeFull = 1;
constexpr std::uint32_t OpenMode = 0x2100;
// The window a library call may place a dialog on; the library shows none, so
// the programs give it no window.
constexpr std::uintptr_t NoOwner = 0;
constexpr std::uint32_t OutputBufferSize = 31744;
constexpr std::size_t LongestDirectCommand = 256;
constexpr int LibraryWriteFailed = 2;

// An archive handle that is closed however the scope is left.
class OpenArchive {
  public:
    OpenArchive(const ArchiveLibrary::Functions& unlha, const std::string& cp932Path)
        : m_unlha(unlha), m_handle(unlha.UnlhaOpenArchive(NoOwner, cp932Path.c_str(), OpenMode)) {}
    ~OpenArchive() {
        if (m_handle)
            m_unlha.UnlhaCloseArchive(m_handle);
    }
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;

    explicit operator bool() const { return m_handle != 0; }
    HARC handle() const { return m_handle; }

  private:
    const ArchiveLibrary::Functions& m_unlha;
    HARC m_handle;
};

ListingResult forgetArchive(ArchiveState& state, ListingResult result) {
    state.currentArchiveName.clear();
    return result;
}

// One argument of a library command, quoted whatever it holds: inside quotes
// no blank, line break, leading "-" or "@" means anything, and a quotation
// mark is written twice.
std::string quotedArgument(std::string_view text) {
    std::string argument = "\"";
    for (const char character : text) {
        argument += character;
        if (character == '"')
            argument += '"';
    }
    return argument + "\"";
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (unsigned char byte : utf8)
        count += (byte & 0xC0) != 0x80;
    return count;
}

// The temporary directory and the variable that named it (TMP, TEMP), or no
// variable for the root of the system drive.
struct TemporaryDirectory {
    std::string path;
    std::string_view variable;
};

TemporaryDirectory temporaryDirectory() {
    for (const std::string_view variable : {"TMP", "TEMP"})
        if (std::string directory = platform::environmentDirectory(variable); !directory.empty())
            return {addBackslash(directory), variable};
    std::string root = getSystemDriveRoot();
    return {addBackslash(root), {}};
}

// Where the response file goes. A new file inside a disk image stays in
// memory until it is committed, where the library, reading the image, would
// never find it; the response file of a temporary directory inside an image
// goes to the host's temporary folder instead.
std::string responseFileFolder(const TemporaryDirectory& temporary) {
    if (temporary.path.starts_with('/'))
        return temporary.path;
    const auto image = platform::Machine::current().imageDrive(temporary.path.front());
    if (!image || !image.value())
        return temporary.path;
    std::error_code error;
    const std::filesystem::path host = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : host.string();
}

// A response file that could not be made fails the one command that needed
// it; the reason names the variable to change.
platform::Error responseFileFailure(const platform::Error& error,
                                    const TemporaryDirectory& temporary,
                                    const std::string& folder) {
    const std::string reason =
        temporary.variable.empty() || folder != temporary.path
            ? language::fill(
                  language::translate("core", "一時ﾌｫﾙﾀﾞ {1} にﾌｧｲﾙを作成できません ({2})"),
                  {folder, error.userReason()})
            : language::fill(language::translate(
                                 "core", "環境変数 {1} のﾌｫﾙﾀﾞ {2} にﾌｧｲﾙを作成できません ({3})"),
                             {temporary.variable, folder, error.userReason()});
    const std::string named =
        temporary.variable.empty() ? std::string() : " (" + std::string(temporary.variable) + ")";
    return platform::Error(operation::MakeResponseFile, folder, error.code(),
                           "the temporary folder" + named + " takes no file: " + error.reason())
        .withUserReason(reason);
}

// The date and time of a member as its record holds them, in MS-DOS form.
void setDosDateTime(ArchiveEntry& entry, std::uint16_t date, std::uint16_t time) {
    entry.date = {1980 + (date >> 9), (date >> 5) & 0x0F, date & 0x1F};
    entry.hour = static_cast<std::uint8_t>(time >> 11);
    entry.minute = static_cast<std::uint8_t>((time >> 5) & 0x3F);
    entry.second = static_cast<std::uint8_t>(2 * (time & 0x1F));
}

void fillEntryFields(const INDIVIDUALINFO& info, ArchiveEntry& entry) {
    entry.unpackedSize = info.dwOriginalSize;
    entry.packedSize = info.dwCompressedSize;
    setDosDateTime(entry, info.wDate, info.wTime);
    entry.method.assign(info.szMode, strnlen(info.szMode, sizeof info.szMode));
}

} // namespace

ArchiveEntry ArchiveListing::operator[](std::size_t index) const {
    const Record& record = m_records[index];
    ArchiveEntry entry;
    entry.name = name(index);
    entry.unpackedSize = record.unpackedSize;
    entry.packedSize = record.packedSize;
    setDosDateTime(entry, record.date, record.time);
    if (const std::uint8_t method = m_methodOf[index]; method != 0)
        entry.method = m_methods[method - 1];
    return entry;
}

std::string_view ArchiveListing::name(std::size_t index) const {
    const std::size_t start = index == 0 ? 0 : m_records[index - 1].nameEnd;
    return std::string_view(m_names).substr(start, m_records[index].nameEnd - start);
}

void ArchiveListing::clear() {
    m_names.clear();
    m_records.clear();
    m_methodOf.clear();
    m_methods.clear();
    m_unlisted = 0;
}

bool ArchiveListing::add(const ArchiveEntry& entry) {
    if (entry.name.size() > UINT32_MAX - m_names.size())
        return false;
    std::uint8_t method = 0;
    if (!entry.method.empty()) {
        auto known = std::find(m_methods.begin(), m_methods.end(), entry.method);
        if (known == m_methods.end() && m_methods.size() < MostMethods)
            known = m_methods.insert(m_methods.end(), entry.method);
        if (known != m_methods.end())
            method = static_cast<std::uint8_t>(known - m_methods.begin() + 1);
    }
    m_names += entry.name;
    const auto date = static_cast<std::uint16_t>(((entry.date.year - 1980) << 9) |
                                                 (entry.date.month << 5) | entry.date.day);
    const auto time =
        static_cast<std::uint16_t>((entry.hour << 11) | (entry.minute << 5) | (entry.second / 2));
    m_records.push_back({static_cast<std::uint32_t>(m_names.size()), entry.unpackedSize,
                         entry.packedSize, date, time});
    m_methodOf.push_back(method);
    return true;
}

ListingResult listArchive(ArchiveState& state, ArchiveListing& listing) {
    const auto* unlha = ArchiveLibrary::instance().functions();
    if (!unlha)
        return forgetArchive(state, ListingResult::LibraryMissing);
    const auto archivePath = platform::toCp932(state.currentArchiveName);
    if (!archivePath || unlha->UnlhaCheckArchive(archivePath.value().c_str(), CheckModeFull) == 0)
        return forgetArchive(state, ListingResult::NotAnArchive);
    if (!fillArchiveList(listing, state.currentArchiveName))
        return forgetArchive(state, ListingResult::ListingFailed);
    return ListingResult::Listed;
}

std::string listingFailureMessage(ListingResult result) {
    switch (result) {
    case ListingResult::Listed:
        break;
    case ListingResult::NotAnArchive:
        return language::translate("core", "正しいLHarcﾌｧｲﾙではありません");
    case ListingResult::ListingFailed:
        return language::translate("core", "不明なエラーが発生しました");
    case ListingResult::LibraryMissing:
        return language::translate("core", "書庫操作ライブラリ libunlha32.so を読み込めません") +
               "\n" + ArchiveLibrary::instance().loadError();
    }
    return {};
}

bool fillArchiveList(ArchiveListing& listing, const std::string& archivePath) {
    if (!platform::fileExists(archivePath)) {
        listing.clear();
        return false;
    }
    const auto* unlha = ArchiveLibrary::instance().functions();
    const auto cp932Path = platform::toCp932(archivePath);
    if (!unlha || !cp932Path)
        return false;
    OpenArchive archive(*unlha, cp932Path.value());
    if (!archive)
        return false;
    listing.clear();

    // Every entry comes from the record of its own member in this one pass.
    // Looking a name up again would cost a search per member and, for a name
    // holding "*" or "?", would find the first member matching it as a
    // pattern instead.
    INDIVIDUALINFO info{};
    for (int found = unlha->UnlhaFindFirst(archive.handle(), "*.*", &info); found == 0;
         found = unlha->UnlhaFindNext(archive.handle(), &info)) {
        ArchiveEntry entry;
        entry.name = decodeMemberName(info.szFileName);
        // A name that does not encode back to its stored bytes (a character
        // CP932 cannot hold, shown as U+FFFD) names no member and gets no entry.
        const auto encoded = platform::toCp932(entry.name);
        if (!encoded || encoded.value() != info.szFileName) {
            listing.addUnlisted();
            continue;
        }
        fillEntryFields(info, entry);
        if (!listing.add(entry)) {
            listing.clear();
            return false;
        }
    }
    return true;
}

bool getArchiveEntry(const std::string& archivePath, ArchiveEntry& entry) {
    const auto* unlha = ArchiveLibrary::instance().functions();
    const auto cp932Path = platform::toCp932(archivePath);
    const auto cp932Name = platform::toCp932(entry.name);
    if (!unlha || !cp932Path || !cp932Name)
        return false;
    OpenArchive archive(*unlha, cp932Path.value());
    if (!archive)
        return false;
    INDIVIDUALINFO info{};
    if (unlha->UnlhaFindFirst(archive.handle(), cp932Name.value().c_str(), &info) != 0)
        return false;
    fillEntryFields(info, entry);
    return true;
}

bool isLeadByte(unsigned char byte) {
    return platform::isShiftJisLeadByte(byte);
}

std::string decodeMemberName(const char* nameBytes) {
    std::string_view bytes(nameBytes);
    if (!bytes.empty() && isLeadByte(static_cast<unsigned char>(bytes.back()))) {
        // Only a lead byte right before the end is left without its trail byte.
        std::size_t position = 0;
        while (position < bytes.size())
            position += isLeadByte(static_cast<unsigned char>(bytes[position])) ? 2 : 1;
        if (position > bytes.size())
            bytes.remove_suffix(1);
    }
    if (auto whole = platform::fromCp932(bytes))
        return std::move(whole).value();

    std::string text;
    for (std::size_t position = 0; position < bytes.size();) {
        const std::size_t width = isLeadByte(static_cast<unsigned char>(bytes[position])) ? 2 : 1;
        const auto character = platform::fromCp932(bytes.substr(position, width));
        text += character ? character.value() : "\uFFFD";
        position += width;
    }
    return text;
}

std::string extractedCopyName(std::string_view memberName) {
    const auto separator = memberName.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? memberName
                                                           : memberName.substr(separator + 1));
}

platform::Result<ExtractedMember>
extractMember(const ArchiveEntry& entry, const ArchiveState& state, const Settings& settings) {
    const std::string& memberName = entry.name;
    const std::uint64_t size = entry.unpackedSize;
    if (!isLogoLengthAccepted(settings, size))
        return platform::Error(operation::ExtractMember, memberName, EFBIG,
                               "the member's length is not a logo's");
    auto folder = platform::TemporaryFolder::create(settings.settingsDirectory);
    if (!folder)
        return folder.error();
    std::string destination = folder.value().path();
    addBackslash(destination);
    // The member is named by its stored name exactly and its listed length
    // (-jl=LENGTH), so that no name, whatever it holds, can stand for another
    // member or for more than one, and no other member of the same name can
    // slip past the length rule.
    const std::string command = "x -jf0 -jl=" + std::to_string(size) + " " +
                                quotedArgument(state.currentArchiveName) + " " +
                                quotedArgument(destination) + " " + quotedArgument(memberName);
    std::string path = destination + extractedCopyName(memberName);
    // A failure is told under the member's name, never the temporary folder's:
    // one of the member's own (the library refused it, its command found no
    // place) as ExtractMember, one of the disk's as the write that failed.
    if (auto ran = runArchiveCommand(command); !ran) {
        const platform::Operation failed = ran.error().operation();
        const bool refused =
            failed == operation::RunArchiveCommand || failed == operation::MakeResponseFile;
        return ran.error().retold(refused ? operation::ExtractMember : failed, memberName);
    }
    if (platform::fileLength(path).valueOr(0) != size)
        return platform::Error(operation::ExtractMember, memberName, EIO,
                               "the extracted member is not the one listed");
    return ExtractedMember(std::move(folder).value(), std::move(path));
}

platform::Status runArchiveCommand(const std::string& commandText) {
    const auto* unlha = ArchiveLibrary::instance().functions();
    if (!unlha)
        return platform::Error(operation::LoadArchiveLibrary, "libunlha32.so", ENOENT,
                               ArchiveLibrary::instance().loadError());
    // The library's report is the reason of a failure; a failure at writing
    // is one of the disk's, not of the archive's.
    const auto run = [&](const std::string& cp932Command) -> platform::Status {
        std::string output(OutputBufferSize, '\0');
        const int result =
            unlha->Unlha(NoOwner, cp932Command.c_str(), output.data(), OutputBufferSize);
        if (result == 0)
            return {};
        const std::string cp932Report = output.substr(0, output.find('\0'));
        const std::string report = platform::fromCp932(cp932Report).valueOr(cp932Report);
        // The developer's English on the first line, "cannot <operation>
        // <path>: <reason>", the user's reason in the session's language on
        // the second. The reason alone is
        // kept in both: the path is in the run's temporary folder, which says
        // nothing to the user, and no Windows path holds ": ".
        const std::size_t lineEnd = report.find("\r\n");
        const std::string english = report.substr(0, lineEnd);
        const std::size_t reasonStart = english.find(": ");
        platform::Error error(
            result == LibraryWriteFailed ? platform::Operation::Write
                                         : operation::RunArchiveCommand,
            {}, EIO, reasonStart == std::string::npos ? english : english.substr(reasonStart + 2));
        if (lineEnd == std::string::npos)
            return error;
        return std::move(error).withUserReason(report.substr(lineEnd + 2));
    };

    if (characterCount(commandText) <= LongestDirectCommand)
        return run(KOR_TRY(platform::toCp932(commandText)));

    const std::string command = KOR_TRY(platform::toCp932(commandText + "\r\n"));
    const TemporaryDirectory temporary = temporaryDirectory();
    const std::string folder = responseFileFolder(temporary);
    auto responseFile = platform::TemporaryFile::create(folder);
    if (!responseFile)
        return responseFileFailure(responseFile.error(), temporary, folder);
    if (auto written = responseFile.value().write(command); !written)
        return responseFileFailure(written.error(), temporary, folder);
    return run(KOR_TRY(platform::toCp932(quotedArgument("@" + responseFile.value().path()))));
}

std::string getTempDirectory() {
    return temporaryDirectory().path;
}

std::string responseFileDirectory() {
    return responseFileFolder(temporaryDirectory());
}

std::string getSystemDriveRoot() {
    const std::string system = platform::Machine::current().systemDirectory();
    return system.size() < 3 ? std::string() : system.substr(0, 3);
}

std::string& addBackslash(std::string& text) {
    if (text.empty() || text.back() != '\\')
        text += '\\';
    return text;
}

} // namespace kor::core
