// SPDX-License-Identifier: GPL-3.0-or-later
#include "member_name.h"
#include "operations.h"

#include "platform/files.h"
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace kor::unlha32 {

namespace {

// The characters of a name: one byte, or two for a double-byte character
// (a lead byte at the very end stands alone).
std::vector<std::string_view> characters(std::string_view name) {
    std::vector<std::string_view> result;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t width =
            platform::characterLength(name, at, platform::TextEncoding::Cp932);
        result.push_back(name.substr(at, width));
        at += width;
    }
    return result;
}

bool isSeparator(std::string_view character) {
    return character == "\\" || character == "/";
}

char foldByte(char byte) {
    if (byte >= 'a' && byte <= 'z')
        return static_cast<char>(byte - 'a' + 'A');
    if (byte == '/')
        return '\\';
    return byte;
}

bool isForbiddenInFileName(std::string_view character) {
    if (character.size() != 1)
        return false;
    const auto byte = static_cast<unsigned char>(character.front());
    return byte < 0x20 || byte == 0x7F ||
           std::string_view("<>:\"|?*").find(character.front()) != std::string_view::npos;
}

platform::Error refusal(std::string_view storedName, Reason why) {
    return failure(operation::Extract, displayMemberName(storedName), EPERM, why);
}

} // namespace

std::string withBackslashSeparators(std::string_view name) {
    std::string result(name);
    std::replace_if(
        result.begin(), result.end(),
        [](char byte) { return byte == '/' || static_cast<unsigned char>(byte) == 0xFF; }, '\\');
    return result;
}

std::vector<std::string_view> splitMemberPath(std::string_view name) {
    std::vector<std::string_view> parts;
    std::size_t partStart = 0;
    std::size_t at = 0;
    for (const std::string_view character : characters(name)) {
        if (isSeparator(character)) {
            parts.push_back(name.substr(partStart, at - partStart));
            partStart = at + 1;
        }
        at += character.size();
    }
    parts.push_back(name.substr(partStart));
    return parts;
}

std::string foldMemberName(std::string_view name) {
    // Folded in place: every archive's index folds each of its names once.
    std::string result(name);
    for (std::size_t at = 0; at < result.size();) {
        const std::size_t width =
            platform::characterLength(name, at, platform::TextEncoding::Cp932);
        if (width == 1)
            result[at] = foldByte(result[at]);
        at += width;
    }
    return result;
}

bool hasWildcard(std::string_view pattern) {
    return std::ranges::any_of(characters(pattern), [](std::string_view character) {
        return character == "*" || character == "?";
    });
}

bool matchesMemberPattern(std::string_view name, std::string_view pattern) {
    // Stored names hold "\" between folders; a pattern may say "/".
    std::string wanted(pattern);
    std::replace(wanted.begin(), wanted.end(), '/', '\\');
    return platform::matchesWildcard(name, wanted, platform::TextEncoding::Cp932);
}

platform::Result<std::string> extractedFileName(std::string_view storedName) {
    // Only the last part is ever written, so the folders before it (an
    // absolute path, a drive, "..") lead nowhere.
    const std::string_view fileName = splitMemberPath(storedName).back();
    if (fileName.empty() || fileName == "." || fileName == "..")
        return refusal(storedName, reason::NoFileName);
    if (std::ranges::any_of(characters(fileName), isForbiddenInFileName))
        return refusal(storedName, reason::InvalidFileName);
    return std::string(fileName);
}

std::string displayMemberName(std::string_view storedName) {
    if (auto utf8 = platform::fromCp932(storedName); utf8.ok())
        return std::move(utf8).value();
    std::string shown;
    for (const char byte : storedName) {
        const auto value = static_cast<unsigned char>(byte);
        if (value >= 0x20 && value < 0x7F) {
            shown += byte;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", value);
            shown += escaped;
        }
    }
    return shown;
}

} // namespace kor::unlha32
