// SPDX-License-Identifier: GPL-3.0-or-later
// The six functions of the library and the table of open archives.

#include "unlha32/unlha32.h"
#include "operations.h"

#include "command_line.h"
#include "directory_cache.h"
#include "extraction.h"
#include "member_search.h"

#include "platform/machine.h"
#include "platform/text.h"

#include "language/translation.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

#define UNLHA32_EXPORT __attribute__((visibility("default")))

namespace kor::unlha32 {

namespace {

constexpr int Found = 0;
constexpr int NotFound = -1;
constexpr int CommandFailed = 1;
constexpr int WriteFailed = 2;

// Archives whose directories are kept: the programs list one archive at a
// time, member by member.
constexpr std::size_t CachedArchiveCount = 4;

struct OpenArchive {
    std::shared_ptr<const ArchiveDirectory> directory;
    std::optional<MemberSearch> search;
};

// What the library holds between calls. Handles are numbers into a table, so
// a stale or made-up handle finds nothing instead of freed memory.
class Library {
  public:
    static Library& instance() {
        static Library library;
        return library;
    }

    std::unique_lock<std::mutex> lock() { return std::unique_lock(m_mutex); }

    platform::Result<std::shared_ptr<const ArchiveDirectory>> directory(const char* cp932Path) {
        if (cp932Path == nullptr)
            return platform::Error(operation::Open, "", EINVAL, "no archive named");
        const std::string windowsPath = KOR_TRY(platform::fromCp932(cp932Path));
        return m_cache.directory(windowsPath);
    }

    DirectoryCache& cache() { return m_cache; }

    HARC add(std::shared_ptr<const ArchiveDirectory> directory) {
        const HARC handle = m_nextHandle++;
        m_open.emplace(handle, OpenArchive{std::move(directory), std::nullopt});
        return handle;
    }

    OpenArchive* find(HARC handle) {
        const auto open = m_open.find(handle);
        return open == m_open.end() ? nullptr : &open->second;
    }

    bool remove(HARC handle) { return m_open.erase(handle) != 0; }

  private:
    Library() = default;

    std::mutex m_mutex;
    DirectoryCache m_cache{CachedArchiveCount};
    std::unordered_map<HARC, OpenArchive> m_open;
    HARC m_nextHandle = 1;
};

void fillRecord(const ArchiveMember& member, INDIVIDUALINFO& info) {
    info = INDIVIDUALINFO{};
    info.dwOriginalSize = member.length;
    info.dwCompressedSize = member.compressedLength;
    info.dwCRC = member.crc;
    info.uOSType = member.osType;
    info.uHeaderLevel = member.headerLevel;
    if (member.length != 0)
        info.wRatio = static_cast<std::uint16_t>(std::min<std::uint64_t>(
            std::uint64_t{member.compressedLength} * 1000 / member.length, 0xFFFF));
    info.wDate = member.dosTimestamp.date;
    info.wTime = member.dosTimestamp.time;
    std::memcpy(info.szFileName, member.storedName.data(), member.storedName.size());
    // LHark writes "-lh7-" in the header for a variant of its own, which
    // lhasa 0.4 and later tell apart as "-lk7-"; callers see the header's
    // name whichever lhasa reads it.
    const std::string_view method =
        member.method == "-lk7-" ? std::string_view("-lh7-") : std::string_view(member.method);
    std::memcpy(info.szMode, method.data(), std::min(method.size(), sizeof info.szMode - 1));
}

int nextMatch(OpenArchive& archive, INDIVIDUALINFO* info) {
    const ArchiveMember* member = archive.search->next();
    if (member == nullptr)
        return NotFound;
    fillRecord(*member, *info);
    return Found;
}

void writeReport(std::string_view utf8Text, char* output, std::uint32_t outputSize) {
    if (output == nullptr || outputSize == 0)
        return;
    const std::string text = platform::toCp932(utf8Text).valueOr(std::string(utf8Text));
    const std::size_t length = std::min<std::size_t>(text.size(), outputSize - 1);
    std::memcpy(output, text.data(), length);
    output[length] = '\0';
}

// The report of a failure: the English text on its first line, the reason for
// the user in the session's language on its second, each kept to its own line.
std::string failureReport(const platform::Error& error) {
    return platform::escapeControlCharacters(error.text(), platform::LineBreaks::Escape) + "\r\n" +
           platform::escapeControlCharacters(error.userReason(), platform::LineBreaks::Escape);
}

} // namespace

} // namespace kor::unlha32

using namespace kor::unlha32;

// No exception may leave these functions: the caller is C.

extern "C" UNLHA32_EXPORT int UnlhaCheckArchive(const char* archivePath, int) {
    try {
        Library& library = Library::instance();
        const auto lock = library.lock();
        return library.directory(archivePath).ok() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

extern "C" UNLHA32_EXPORT HARC UnlhaOpenArchive(HWND, const char* archivePath, std::uint32_t) {
    try {
        Library& library = Library::instance();
        const auto lock = library.lock();
        auto directory = library.directory(archivePath);
        if (!directory)
            return 0;
        return library.add(std::move(directory).value());
    } catch (...) {
        return 0;
    }
}

extern "C" UNLHA32_EXPORT int UnlhaFindFirst(HARC archive, const char* pattern,
                                             INDIVIDUALINFO* info) {
    try {
        Library& library = Library::instance();
        const auto lock = library.lock();
        OpenArchive* open = library.find(archive);
        if (open == nullptr || pattern == nullptr || info == nullptr)
            return NotFound;
        open->search.emplace(open->directory, pattern);
        return nextMatch(*open, info);
    } catch (...) {
        return NotFound;
    }
}

extern "C" UNLHA32_EXPORT int UnlhaFindNext(HARC archive, INDIVIDUALINFO* info) {
    try {
        Library& library = Library::instance();
        const auto lock = library.lock();
        OpenArchive* open = library.find(archive);
        if (open == nullptr || !open->search || info == nullptr)
            return NotFound;
        return nextMatch(*open, info);
    } catch (...) {
        return NotFound;
    }
}

extern "C" UNLHA32_EXPORT int UnlhaCloseArchive(HARC archive) {
    try {
        Library& library = Library::instance();
        const auto lock = library.lock();
        return library.remove(archive) ? 0 : NotFound;
    } catch (...) {
        return NotFound;
    }
}

extern "C" UNLHA32_EXPORT int Unlha(HWND, const char* commandLine, char* output,
                                    std::uint32_t outputSize) {
    try {
        Library& library = Library::instance();
        const auto lock = library.lock();
        const auto command = parseCommand(commandLine == nullptr ? "" : commandLine);
        if (!command) {
            writeReport(failureReport(command.error()), output, outputSize);
            return CommandFailed;
        }
        const auto report = runExtraction(command.value(), library.cache());
        if (!report) {
            writeReport(failureReport(report.error()), output, outputSize);
            return isWriteFailure(report.error()) ? WriteFailed : CommandFailed;
        }
        writeReport(report.value(), output, outputSize);
        return 0;
    } catch (...) {
        writeReport(
            "cannot run the command\r\n" +
                kor::language::translate(kor::platform::OperationContext,
                                         std::string(operation::RunCommand.japanese).c_str()),
            output, outputSize);
        return CommandFailed;
    }
}
