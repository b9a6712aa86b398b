// SPDX-License-Identifier: GPL-3.0-or-later
#include "extraction.h"

#include "operations.h"

#include "crc16.h"
#include "lhasa_archive.h"
#include "member_name.h"
#include "member_search.h"
#include "stored_header.h"

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/temporary_files.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <set>
#include <utility>

namespace kor::unlha32 {

namespace {

// One member to write: where it comes from and where it goes.
struct PlannedFile {
    const ArchiveMember* member = nullptr;
    std::string windowsPath; // UTF-8
};

// The methods of the LZH archivers, the only ones that may reach a decoder
// (lhasa has none for -lh2- and -lh3-; "-lk7-" is LHark's variant of -lh7-,
// which lhasa 0.4 and later tell apart and decode). lhasa knows more (the PMA
// methods of other archivers among them), but an archive of logos holds none
// of them, and a decoder that is never run cannot be led astray by crafted
// data.
bool isLzhMethod(std::string_view method) {
    static constexpr std::string_view methods[] = {"-lh0-", "-lh1-", "-lh2-", "-lh3-", "-lh4-",
                                                   "-lh5-", "-lh6-", "-lh7-", "-lk7-", "-lhx-",
                                                   "-lzs-", "-lz4-", "-lz5-"};
    return std::ranges::find(methods, method) != std::end(methods);
}

// The files to write, in archive order, each member once however many
// patterns match it.
platform::Result<std::vector<PlannedFile>>
planFiles(const ExtractionCommand& command, const std::shared_ptr<const ArchiveDirectory>& shared,
          std::string_view destination) {
    const ArchiveDirectory& directory = *shared;
    std::set<std::size_t> chosen;
    const auto matching =
        command.literalNames ? MemberSearch::Matching::Literal : MemberSearch::Matching::Pattern;
    for (const std::string& pattern : command.members) {
        MemberSearch search(shared, pattern, matching, command.literalLength);
        const ArchiveMember* member = search.next();
        if (member == nullptr)
            return failure(operation::Extract, displayMemberName(pattern), ENOENT,
                           reason::NoSuchMember);
        for (; member != nullptr; member = search.next())
            chosen.insert(static_cast<std::size_t>(member - directory.members().data()));
    }

    std::vector<PlannedFile> planned;
    std::set<std::string> foldedNames;
    for (const std::size_t position : chosen) {
        const ArchiveMember& member = directory.members()[position];
        const std::string fileName = KOR_TRY(extractedFileName(member.storedName));
        const std::string name = KOR_TRY(platform::fromCp932(fileName));
        std::string windowsPath = std::string(destination) + name;
        if (!foldedNames.insert(foldMemberName(fileName)).second)
            return failure(operation::Extract, windowsPath, EEXIST, reason::SameName);
        // Taken names fail here, before any decoding, as well as where the
        // file takes its name.
        if (platform::fileExists(windowsPath) || platform::directoryExists(windowsPath))
            return platform::Error(operation::Extract, windowsPath, EEXIST);
        planned.push_back(PlannedFile{&member, std::move(windowsPath)});
    }
    return planned;
}

platform::Status decodeInto(LhasaArchive& archive, const PlannedFile& file,
                            platform::TemporaryFile& output) {
    const ArchiveMember& member = *file.member;
    std::array<char, 64 * 1024> buffer;
    std::uint64_t length = 0;
    std::uint16_t crc = 0;
    while (const std::size_t count = archive.decode(buffer)) {
        // Crafted data may decode to more than the header declares: no byte
        // beyond it is written.
        if (length + count > member.length)
            return failure(operation::Extract, file.windowsPath, EIO, reason::DamagedData);
        const std::string_view bytes(buffer.data(), count);
        KOR_TRY(output.write(bytes));
        crc = updateCrc16(crc, bytes);
        length += count;
    }
    if (length != member.length)
        return failure(operation::Extract, file.windowsPath, EIO, reason::DamagedData);
    if (crc != member.crc)
        return failure(operation::Extract, file.windowsPath, EIO, reason::CrcError);
    // The member's own time, as archivers restore it; a file system that
    // cannot take it keeps the time of writing.
    if (member.unixTime != 0)
        output.setModificationTime(member.unixTime);
    return {};
}

bool sameHeader(const LHAFileHeader& header, const ArchiveMember& member) {
    if (!(member.method == header.compress_method && member.length == header.length &&
          member.compressedLength == header.compressed_length && member.crc == header.crc))
        return false;
    const auto stored = readStoredHeaderFields({header.raw_data, header.raw_data_len});
    return stored && stored->name == member.storedName;
}

} // namespace

platform::Result<std::string> runExtraction(const ExtractionCommand& command,
                                            DirectoryCache& cache) {
    const std::string archivePath = KOR_TRY(platform::fromCp932(command.archive));
    const auto directory = KOR_TRY(cache.directory(archivePath));

    const std::string destination = KOR_TRY(platform::fromCp932(command.destination));
    if (!platform::directoryExists(destination))
        return failure(operation::ExtractInto, destination, ENOENT, reason::NoSuchFolder);

    const std::vector<PlannedFile> planned = KOR_TRY(planFiles(command, directory, destination));
    const auto opened = KOR_TRY(LhasaArchive::open(archivePath));
    LhasaArchive& archive = *opened;
    std::vector<platform::TemporaryFile> outputs;
    for (const PlannedFile& file : planned) {
        const auto cannotDecode = [&] {
            return failure(operation::Extract, file.windowsPath, ENOTSUP, reason::UnknownMethod,
                           file.member->method);
        };
        // The directory tells the method and where the member's header lies:
        // only that header is read again, to make sure the file still holds it.
        if (!isLzhMethod(file.member->method))
            return cannotDecode();
        const LHAFileHeader* header =
            archive.restartAt(file.member->headerOffset.value()) ? archive.nextHeader() : nullptr;
        if (header == nullptr || !sameHeader(*header, *file.member))
            return failure(operation::ReadArchive, archivePath, EAGAIN, reason::ArchiveChanged);
        if (!archive.startDecoding(*header))
            return cannotDecode();
        auto output = platform::TemporaryFile::create(destination);
        if (!output)
            return output.error();
        outputs.push_back(std::move(output).value());
        KOR_TRY(decodeInto(archive, file, outputs.back()));
    }

    // Everything is decoded: move the files into place, and take back those
    // already moved should one of them fail.
    std::string report;
    std::vector<const PlannedFile*> placed;
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        const PlannedFile& file = planned[index];
        if (auto moved =
                outputs[index].commitAs(file.windowsPath, platform::TemporaryFile::Replace::No);
            !moved) {
            for (const PlannedFile* done : placed)
                static_cast<void>(platform::deleteFile(done->windowsPath));
            return moved.error();
        }
        placed.push_back(&file);
        report += "extracted " + file.windowsPath + "\r\n";
    }
    return report;
}

bool isWriteFailure(const platform::Error& error) {
    const platform::Operation writing[] = {platform::Operation::Write,
                                           platform::Operation::CreateFileIn,
                                           platform::Operation::Move, operation::ExtractInto};
    return std::ranges::find(writing, error.operation()) != std::end(writing);
}

} // namespace kor::unlha32
