// SPDX-License-Identifier: GPL-3.0-or-later
#include "stored_header.h"

#include "member_name.h"

#include <algorithm>
#include <ctime>

namespace kor::unlha32 {

namespace {

constexpr std::size_t LevelOffset = 20;
constexpr std::size_t DosTimeOffset = 15;
constexpr std::size_t DosDateOffset = 17;
constexpr std::size_t NameLengthOffset = 21;
constexpr std::size_t NameOffset = 22;
constexpr std::uint8_t FileNameHeader = 0x01;
constexpr std::uint8_t DirectoryHeader = 0x02;
constexpr std::uint8_t LargeSizesHeader = 0x42;

std::uint64_t readLittleEndian64(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::size_t index = bytes.size(); index-- > 0;)
        value = value << 8 | bytes[index];
    return value;
}

std::uint32_t readLittleEndian(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(readLittleEndian64(bytes));
}

// A name field as text. Some archivers (MorphOS, Amiga) put a comment after a
// zero byte in it.
std::string text(std::span<const std::uint8_t> bytes) {
    const std::string field(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return field.substr(0, field.find('\0'));
}

struct ExtendedFields {
    std::optional<std::string> fileName;
    std::string directory;
    std::optional<std::uint64_t> largeCompressedLength;
    std::optional<std::uint64_t> largeLength;
};

// Extended headers form a chain: each is announced by a size field (2 bytes
// for levels 1 and 2, 4 bytes for level 3) that counts the type byte, the
// data and the next size field; a size of 0 ends the chain.
std::optional<ExtendedFields> readExtendedFields(std::span<const std::uint8_t> raw,
                                                 std::size_t firstSizeAt, std::size_t sizeWidth) {
    ExtendedFields fields;
    std::size_t sizeAt = firstSizeAt;
    while (true) {
        if (sizeAt + sizeWidth > raw.size())
            return std::nullopt;
        const std::size_t size = readLittleEndian(raw.subspan(sizeAt, sizeWidth));
        if (size == 0)
            return fields;
        const std::size_t headerAt = sizeAt + sizeWidth;
        if (size < 1 + sizeWidth || size > raw.size() - headerAt)
            return std::nullopt;
        const auto data = raw.subspan(headerAt + 1, size - 1 - sizeWidth);
        if (raw[headerAt] == FileNameHeader) {
            fields.fileName = text(data);
        } else if (raw[headerAt] == DirectoryHeader) {
            fields.directory = text(data);
        } else if (raw[headerAt] == LargeSizesHeader && data.size() >= 16) {
            fields.largeCompressedLength = readLittleEndian64(data.subspan(0, 8));
            fields.largeLength = readLittleEndian64(data.subspan(8, 8));
        }
        sizeAt = headerAt + size - sizeWidth;
    }
}

std::string joinStoredPath(std::string_view directory, std::string_view fileName) {
    std::string path = withBackslashSeparators(directory);
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path + withBackslashSeparators(fileName);
}

} // namespace

std::optional<StoredHeaderFields> readStoredHeaderFields(std::span<const std::uint8_t> raw) {
    if (raw.size() <= NameLengthOffset)
        return std::nullopt;
    const std::uint8_t level = raw[LevelOffset];
    StoredHeaderFields fields;
    std::string baseName;
    std::optional<ExtendedFields> extended = ExtendedFields{};
    if (level <= 1) {
        const std::size_t nameLength = raw[NameLengthOffset];
        if (NameOffset + nameLength > raw.size())
            return std::nullopt;
        baseName = text(raw.subspan(NameOffset, nameLength));
        fields.dosTimestamp = DosTimestamp{
            static_cast<std::uint16_t>(readLittleEndian(raw.subspan(DosDateOffset, 2))),
            static_cast<std::uint16_t>(readLittleEndian(raw.subspan(DosTimeOffset, 2)))};
        // A level 1 base header ends in the first extended header's size.
        if (level == 1)
            extended = readExtendedFields(raw, raw[0], 2);
    } else if (level == 2) {
        extended = readExtendedFields(raw, 24, 2);
    } else if (level == 3) {
        extended = readExtendedFields(raw, 28, 4);
    } else {
        return std::nullopt;
    }
    if (!extended)
        return std::nullopt;
    fields.name = joinStoredPath(extended->directory, extended->fileName.value_or(baseName));
    fields.largeCompressedLength = extended->largeCompressedLength;
    fields.largeLength = extended->largeLength;
    return fields;
}

DosTimestamp dosTimestampFromUnixTime(std::int64_t unixTime) {
    const std::time_t time = static_cast<std::time_t>(unixTime);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr)
        return {};
    const int year = local.tm_year + 1900;
    if (year < 1980)
        return DosTimestamp{(0 << 9) | (1 << 5) | 1, 0};
    if (year > 2107)
        return DosTimestamp{(127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29};
    return DosTimestamp{
        static_cast<std::uint16_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday),
        static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2)};
}

} // namespace kor::unlha32
