// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profile.h"

#include "host_places.h"
#include "platform/files.h"
#include "platform/host_files.h"
#include "platform/machine.h"
#include "platform/text.h"

#include <optional>
#include <vector>

namespace kor::platform {
namespace {

// Every test on a line runs on its CP932 bytes. Trail bytes of double-byte
// characters can look like ASCII ('A', ']', '\\'), so anything that folds
// case or looks for ']' steps over them.
bool isLeadByte(char c) {
    return isShiftJisLeadByte(static_cast<unsigned char>(c));
}

std::string foldCase(std::string_view cp932) {
    std::string folded(cp932);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (isLeadByte(folded[i]))
            ++i;
        else if (folded[i] >= 'a' && folded[i] <= 'z')
            folded[i] = static_cast<char>(folded[i] - 'a' + 'A');
    }
    return folded;
}

std::size_t findSingleByte(std::string_view cp932, char wanted) {
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        if (cp932[i] == wanted)
            return i;
        if (isLeadByte(cp932[i]))
            ++i;
    }
    return std::string_view::npos;
}

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct Line {
    std::string_view content;   // without its line break
    std::string_view lineBreak; // "\r\n", "\n", or empty on a last line without one
};

std::vector<Line> splitLines(std::string_view bytes) {
    std::vector<Line> lines;
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        if (newline == std::string_view::npos) {
            lines.push_back({bytes, {}});
            break;
        }
        std::size_t contentLength = newline;
        if (contentLength > 0 && bytes[contentLength - 1] == '\r')
            --contentLength;
        lines.push_back({bytes.substr(0, contentLength),
                         bytes.substr(contentLength, newline + 1 - contentLength)});
        bytes.remove_prefix(newline + 1);
    }
    return lines;
}

// The name of a section line ("[name]"), or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    std::string_view text = trimBlanks(line);
    if (!text.starts_with('['))
        return std::nullopt;
    text.remove_prefix(1);
    return trimBlanks(text.substr(0, findSingleByte(text, ']')));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// The key and value of a "key=value" line, or nothing for a line without "=".
std::optional<KeyLine> keyLine(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trimBlanks(line.substr(0, equals)), trimBlanks(line.substr(equals + 1))};
}

// Where a section and a key lie in the lines of a file. The first section of
// that name is the section, and the first line of the key in it is the key.
struct Place {
    std::optional<std::size_t> section; // index of the section line
    std::optional<std::size_t> key;     // index of the key line
    std::size_t lastKey = 0;            // the section line or its last key line
};

Place find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place place;
    const std::string wantedSection = foldCase(section);
    const std::string wantedKey = foldCase(key);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (std::optional<std::string_view> name = sectionName(lines[i].content)) {
            if (place.section)
                break;
            if (foldCase(*name) == wantedSection)
                place.section = place.lastKey = i;
            continue;
        }
        if (!place.section)
            continue;
        if (std::optional<KeyLine> entry = keyLine(lines[i].content)) {
            place.lastKey = i;
            if (!place.key && foldCase(entry->key) == wantedKey)
                place.key = i;
        }
    }
    return place;
}

// A value in matching quotes comes back without them, as Windows gives it.
std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string displayedPath(std::string_view iniPath) {
    return Machine::current().fullPath(iniPath).valueOr(std::string(iniPath));
}

// The section, key or value as CP932, refused when it could break the line
// structure of the file or CP932 cannot hold it.
Result<std::string> encodeForLine(std::string_view text, std::string_view what,
                                  const std::string& path) {
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return Error(Operation::Write, path, EINVAL,
                     std::string(what) + " holds a line break or a NUL byte");
    Result<std::string> encoded = toCp932(text);
    if (!encoded)
        return Error(Operation::Write, path, EILSEQ,
                     std::string(what) + " has a character that CP932 cannot hold");
    return encoded;
}

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

} // namespace

bool hasUtf8Mark(std::string_view iniPath) {
    Result<Location> location = locate(Operation::Read, iniPath);
    if (!location)
        return false;
    Result<std::string> bytes = readLocatedFile(Operation::Read, location.value());
    return bytes && bytes.value().starts_with(Utf8Mark);
}

namespace {

// The bytes of a profile file, empty when there is none yet. A reader finds
// nothing on a drive that is not there, as Windows' own does; a writer fails,
// and a disk image that cannot be used says why to both.
Result<std::string> readProfileFile(Operation operation, std::string_view iniPath) {
    Result<Location> location = locate(operation, iniPath);
    if (!location && operation == Operation::Read &&
        location.error().operation() != Operation::OpenImage)
        return std::string();
    if (!location)
        return location.error();
    Result<std::string> bytes = readLocatedFile(operation, location.value());
    if (!bytes && (bytes.error().code() == ENOENT || bytes.error().code() == ENOTDIR))
        return std::string();
    return bytes;
}

} // namespace

Result<std::string> readProfileString(std::string_view section, std::string_view key,
                                      std::string_view fallback, std::string_view iniPath) {
    const std::string file = KOR_TRY(readProfileFile(Operation::Read, iniPath));
    return profileStringIn(file, section, key, fallback, iniPath);
}

Result<std::string> profileStringIn(std::string_view file, std::string_view section,
                                    std::string_view key, std::string_view fallback,
                                    std::string_view iniPath) {
    const std::string path = displayedPath(iniPath);
    if (file.empty())
        return std::string(fallback);
    // A file that starts with the UTF-8 mark says it is UTF-8, as later
    // editions of Notepad save it; any other is CP932.
    const bool utf8 = file.starts_with(Utf8Mark);
    const std::string_view text = file.substr(utf8 ? Utf8Mark.size() : 0);
    // A section or key that CP932 cannot hold cannot be in the file either.
    Result<std::string> wantedSection = utf8 ? std::string(section) : toCp932(section);
    Result<std::string> wantedKey = utf8 ? std::string(key) : toCp932(key);
    if (!wantedSection || !wantedKey)
        return std::string(fallback);
    const std::vector<Line> lines = splitLines(text);
    const Place place = find(lines, wantedSection.value(), wantedKey.value());
    if (!place.key)
        return std::string(fallback);
    // A value's own faults name its key where the report shows the path.
    const std::string keyPath = path + " [" + std::string(section) + "] " + std::string(key);
    const std::string_view bytes = unquote(keyLine(lines[*place.key].content)->value);
    // A NUL byte would silently cut the value wherever it became a C string.
    if (bytes.find('\0') != std::string_view::npos)
        return Error(Operation::Read, keyPath, EINVAL,
                     "the value of " + std::string(key) + " in [" + std::string(section) +
                         "] holds a NUL byte");
    // Text of a UTF-8 file counts only when Windows 95 could hold it too.
    const bool readable = utf8 ? toCp932(bytes).ok() : true;
    Result<std::string> value = utf8 ? Result<std::string>(std::string(bytes)) : fromCp932(bytes);
    if (!readable || !value)
        return Error(Operation::Read, keyPath, EILSEQ,
                     "the value of " + std::string(key) + " in [" + std::string(section) +
                         (utf8 ? "] is not text that Shift-JIS can hold" : "] is not valid CP932"));
    return value;
}

Status writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                          std::string_view iniPath) {
    return writeProfileStrings(section, {{key, value}}, iniPath);
}

Status writeProfileStrings(std::string_view section, const std::vector<ProfileEntry>& entries,
                           std::string_view iniPath) {
    const std::string path = displayedPath(iniPath);
    const std::string_view sectionText = trimBlanks(section);
    if (sectionText.empty())
        return Error(Operation::Write, path, EINVAL, "the section or key name is empty");
    if (sectionText.find(']') != std::string_view::npos)
        return Error(Operation::Write, path, EINVAL, "the section name holds \"]\"");
    const std::string sectionBytes = KOR_TRY(encodeForLine(sectionText, "the section name", path));
    // Every entry is checked before the file is read, so that one refused
    // entry leaves the whole batch unwritten.
    std::vector<std::string> keys;
    std::vector<std::string> keyLines;
    keys.reserve(entries.size());
    keyLines.reserve(entries.size());
    for (const ProfileEntry& entry : entries) {
        const std::string_view keyText = trimBlanks(entry.key);
        if (keyText.empty())
            return Error(Operation::Write, path, EINVAL, "the section or key name is empty");
        if (keyText.find('=') != std::string_view::npos || keyText.starts_with('['))
            return Error(Operation::Write, path, EINVAL,
                         "the key name holds \"=\" or starts with \"[\"");
        const std::string keyBytes = KOR_TRY(encodeForLine(keyText, "the key name", path));
        const std::string valueBytes = KOR_TRY(encodeForLine(entry.value, "the value", path));
        keyLines.push_back(keyBytes + "=" + valueBytes);
        keys.push_back(keyBytes);
    }
    if (entries.empty())
        return {};

    std::string file = KOR_TRY(readProfileFile(Operation::Write, iniPath));
    // A file saved as UTF-8 is written back as Windows 95 reads it, in CP932.
    if (std::string_view(file).starts_with(Utf8Mark)) {
        Result<std::string> converted = toCp932(std::string_view(file).substr(Utf8Mark.size()));
        if (!converted)
            return Error(Operation::Write, path, EILSEQ,
                         "the file, saved as UTF-8, has a character that CP932 cannot hold");
        file = std::move(converted).value();
    }

    // The entries go in one after another, each as a write of its own would
    // place it, and the file is replaced once.
    constexpr std::string_view crlf = "\r\n";
    const std::string sectionLineText = "[" + sectionBytes + "]";
    std::vector<Line> lines = splitLines(file);
    std::size_t added = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const Place place = find(lines, sectionBytes, keys[i]);
        added += keyLines[i].size() + 2;
        if (place.key) {
            lines[*place.key] = {keyLines[i], crlf};
            continue;
        }
        // A new key follows the last key of its section, before the blank lines
        // that part it from the next; a new section goes at the end.
        const std::size_t at = place.section ? place.lastKey + 1 : lines.size();
        if (at > 0 && lines[at - 1].lineBreak.empty())
            lines[at - 1].lineBreak = crlf;
        auto inserted =
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{keyLines[i], crlf});
        if (!place.section) {
            lines.insert(inserted, Line{sectionLineText, crlf});
            added += sectionLineText.size() + 2;
        }
    }
    std::string bytes;
    bytes.reserve(file.size() + added);
    for (const Line& line : lines) {
        bytes += line.content;
        bytes += line.lineBreak;
    }
    return writeFileAtomically(path, bytes);
}

} // namespace kor::platform
