// SPDX-License-Identifier: GPL-3.0-or-later
#include "library_calls.h"

#include <cstring>

namespace kor::testing {

namespace {

std::string textField(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

} // namespace

ListedMember listedMember(const INDIVIDUALINFO& info) {
    return ListedMember{
        .name = textField(info.szFileName, sizeof info.szFileName),
        .method = textField(info.szMode, sizeof info.szMode),
        .originalSize = info.dwOriginalSize,
        .compressedSize = info.dwCompressedSize,
        .crc = info.dwCRC,
        .osType = info.uOSType,
        .headerLevel = info.uHeaderLevel,
        .ratio = info.wRatio,
        .date = info.wDate,
        .time = info.wTime,
    };
}

std::vector<ListedMember> listMembers(std::string_view archivePath, std::string_view pattern) {
    std::vector<ListedMember> members;
    const HARC archive = UnlhaOpenArchive(0, std::string(archivePath).c_str(), 0x2100);
    if (archive == 0)
        return members;
    INDIVIDUALINFO info{};
    for (int result = UnlhaFindFirst(archive, std::string(pattern).c_str(), &info); result == 0;
         result = UnlhaFindNext(archive, &info))
        members.push_back(listedMember(info));
    UnlhaCloseArchive(archive);
    return members;
}

CommandResult runCommand(std::string_view commandLine) {
    std::string output(31744, ' ');
    CommandResult result;
    result.status = Unlha(0, std::string(commandLine).c_str(), output.data(),
                          static_cast<std::uint32_t>(output.size()));
    result.report = output.substr(0, output.find('\0'));
    return result;
}

std::set<std::string> treeBelow(const std::filesystem::path& folder) {
    std::set<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        entries.insert(std::filesystem::relative(entry.path(), folder).generic_string());
    return entries;
}

} // namespace kor::testing
