// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive_harness.h"

#include "scratch_machine.h"

#include "core/archive.h"
#include "core/archive_library.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace kor::fuzz {

namespace fs = std::filesystem;

namespace {

constexpr const char* ArchivePath = "C:\\ARCHIVE.LZH";
constexpr const char* ExtractCommand = "x -jf0 \"C:\\ARCHIVE.LZH\" \"C:\\OUT\\\" \"*.*\"";
constexpr std::uint32_t OutputBufferSize = 31744;
// Members are listed up to this count, and extracted only while each declares
// no more than this many bytes: decoding is the slow part, and large members
// find no fault that small ones do not.
constexpr std::size_t MostMembers = 4096;
constexpr std::uint32_t LargestExtractedMember = 4u << 20;

struct ListedMember {
    std::string name;
    std::uint32_t originalSize = 0;
};

// Every member through FindFirst("*.*") and FindNext, each then found again by
// its own name.
std::vector<ListedMember> listMembers(const core::ArchiveLibrary::Functions& unlha, HARC archive) {
    std::vector<ListedMember> members;
    INDIVIDUALINFO info{};
    for (int found = unlha.UnlhaFindFirst(archive, "*.*", &info);
         found == 0 && members.size() < MostMembers; found = unlha.UnlhaFindNext(archive, &info)) {
        if (!std::memchr(info.szFileName, 0, sizeof info.szFileName))
            fail("a member record holds a name without its ending zero byte");
        members.push_back({info.szFileName, info.dwOriginalSize});
    }
    for (const ListedMember& member : members) {
        INDIVIDUALINFO again{};
        if (unlha.UnlhaFindFirst(archive, member.name.c_str(), &again) != 0)
            fail("a listed member is not found by its own name");
    }
    return members;
}

// Everything on the drive root besides the archive, drive C:'s Windows
// directory and the destination folder's own files: an extraction wrote
// outside its destination, or left a folder or link there.
void checkNothingOutsideDestination(const fs::path& root) {
    const fs::path drive = root / "c";
    const fs::path destination = drive / "OUT";
    std::error_code error;
    for (auto entry = fs::recursive_directory_iterator(root, error);
         !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        const fs::path& path = entry->path();
        const bool expected =
            path == drive || path == drive / "ARCHIVE.LZH" || path == destination ||
            path == drive / "WINDOWS" || path == drive / "WINDOWS" / "SYSTEM" ||
            (path.parent_path() == destination && entry->is_regular_file() && !entry->is_symlink());
        if (!expected) {
            std::fprintf(stderr, "KOR fuzz: unexpected %s\n", path.c_str());
            fail("the extraction wrote outside its destination folder");
        }
    }
    if (error)
        fail("cannot walk the scratch drive root");
}

std::size_t filesIn(const fs::path& folder) {
    std::error_code error;
    std::size_t count = 0;
    for (auto entry = fs::directory_iterator(folder, error);
         !error && entry != fs::directory_iterator(); entry.increment(error))
        ++count;
    return count;
}

} // namespace

int runArchiveInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& root = freshScratchMachine();
    writeHostFile(root / "c" / "ARCHIVE.LZH", data, size);
    std::error_code error;
    fs::create_directory(root / "c" / "OUT", error);

    const core::ArchiveLibrary::Functions* unlha = core::ArchiveLibrary::instance().functions();
    if (!unlha)
        fail(("cannot load the archive library: " + core::ArchiveLibrary::instance().loadError())
                 .c_str());

    const bool valid = unlha->UnlhaCheckArchive(ArchivePath, 1) != 0;
    const HARC archive = unlha->UnlhaOpenArchive(0, ArchivePath, 0);
    if (valid != (archive != 0))
        fail("UnlhaCheckArchive and UnlhaOpenArchive disagree on the archive");
    std::vector<ListedMember> members;
    if (archive) {
        members = listMembers(*unlha, archive);
        if (unlha->UnlhaCloseArchive(archive) != 0)
            fail("an open archive cannot be closed");
    }

    core::ArchiveListing listing;
    if (core::fillArchiveList(listing, ArchivePath) != valid)
        fail("the core's listing and UnlhaOpenArchive disagree on the archive");
    const bool listedWhole = members.size() < MostMembers;
    if (listedWhole && listing.size() + listing.unlistedCount() != members.size())
        fail("the core's listing holds other members than the library lists");

    bool small = listedWhole;
    for (const ListedMember& member : members)
        small = small && member.originalSize <= LargestExtractedMember;
    if (!small)
        return 0;

    char output[OutputBufferSize];
    std::memset(output, 'x', sizeof output);
    const int status = unlha->Unlha(0, ExtractCommand, output, sizeof output);
    if (!std::memchr(output, 0, sizeof output))
        fail("the command's report has no ending zero byte");
    checkNothingOutsideDestination(root);
    const std::size_t written = filesIn(root / "c" / "OUT");
    if (status != 0 && written != 0)
        fail("a failed extraction left files in its destination folder");
    if (status == 0 && written != members.size())
        fail("a successful extraction did not write one file per member");
    return 0;
}

} // namespace kor::fuzz
