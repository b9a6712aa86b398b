// SPDX-License-Identifier: GPL-3.0-or-later
#include "mtools.h"

#include "programs.h"

#include "platform/host_files.h"
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <csignal>
#include <cwctype>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kor::diskimage::mtools {

using platform::convertText;
using platform::FileDescriptor;
using platform::fromCp932;
using platform::Result;
using platform::writeAll;

namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The 8.3 name's bytes read as CP932; bytes that are no CP932 stay as code
// page 850 shows them, so that the name can still be seen and chosen.
std::string readShortName(const std::string& carrier) {
    // ASCII reads the same in code page 850 and CP932.
    if (std::ranges::all_of(carrier, [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return carrier;
    if (std::optional<std::string> bytes = convertText(carrier, "CP850", "UTF-8"))
        if (Result<std::string> name = fromCp932(*bytes))
            return std::move(name).value();
    return carrier;
}

bool isDate(std::string_view word) {
    return word.size() == 10 && word[4] == '-' && word[7] == '-';
}

bool isNumber(std::string_view word) {
    return !word.empty() && std::ranges::all_of(word, [](char c) { return c >= '0' && c <= '9'; });
}

// The words of a line up to and with the time that follows its date, and where
// the time ends; at most `limit` words before the date.
std::vector<std::string_view> wordsUpToTime(std::string_view line, std::size_t limit,
                                            std::size_t& end) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    bool dateSeen = false;
    while (words.size() <= limit + 1) {
        at = line.find_first_not_of(' ', at);
        if (at == std::string_view::npos)
            break;
        const std::size_t wordEnd = std::min(line.find(' ', at), line.size());
        words.push_back(line.substr(at, wordEnd - at));
        at = wordEnd;
        if (dateSeen)
            break;
        dateSeen = isDate(words.back());
    }
    end = std::min(at, line.size());
    return words;
}

// One entry line of mdir: "NAME     EXT    SIZE DATE TIME  LONG NAME", the
// extension and the long name optional, SIZE "<DIR>" for a folder.
std::optional<Entry> parseEntryLine(std::string_view line) {
    std::size_t consumed = 0;
    const std::vector<std::string_view> words = wordsUpToTime(line, 3, consumed);
    const auto date = std::ranges::find_if(words, isDate);
    if (date == words.end() || date - words.begin() < 2 || date - words.begin() > 3 ||
        date + 1 == words.end())
        return std::nullopt;
    const std::string_view size = *(date - 1);
    if (size != "<DIR>" && !isNumber(size))
        return std::nullopt;
    Entry entry;
    entry.carrier = std::string(words[0]);
    if (date - words.begin() == 3)
        entry.carrier += "." + std::string(words[1]);
    entry.directory = size == "<DIR>";
    if (!entry.directory &&
        std::from_chars(size.data(), size.data() + size.size(), entry.size).ec != std::errc())
        return std::nullopt;
    entry.shortName = readShortName(entry.carrier);
    // The long name follows the time after two blanks.
    const std::size_t timeEnd = consumed;
    const std::string_view rest = line.substr(std::min(timeEnd, line.size()));
    entry.name =
        rest.starts_with("  ") && rest.size() > 2 ? std::string(rest.substr(2)) : entry.shortName;
    return entry;
}

// The same folding on both sides, as mtools compares names: by character,
// upper case.
std::u32string folded(std::string_view utf8) {
    std::u32string text;
    std::optional<std::string> wide = convertText(utf8, "UTF-32LE", "UTF-8");
    if (!wide)
        return text;
    static const locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    for (std::size_t at = 0; at + 4 <= wide->size(); at += 4) {
        char32_t c = 0;
        for (std::size_t i = 0; i < 4; ++i)
            c |= static_cast<char32_t>(static_cast<unsigned char>((*wide)[at + i])) << (8 * i);
        text +=
            utf8Locale ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), utf8Locale)) : c;
    }
    return text;
}

bool matchesPattern(std::u32string_view name, std::u32string_view pattern) {
    if (pattern.empty())
        return name.empty();
    if (name.empty() || (pattern[0] != U'?' && pattern[0] != name[0]))
        return false;
    return matchesPattern(name.substr(1), pattern.substr(1));
}

} // namespace

std::vector<Entry> parseListing(std::string_view directoryListing,
                                std::string_view attributeListing) {
    std::map<std::string, std::string_view> attributes;
    for (std::string_view line : splitLines(attributeListing)) {
        // "  A  SHR     ::/PATH/NAME": flags in fixed columns, then the path.
        const std::size_t path = line.find("::/");
        if (path == std::string_view::npos || line.size() < 8)
            continue;
        attributes.emplace(std::string(line.substr(line.rfind('/') + 1)), line.substr(0, path));
    }
    std::vector<Entry> entries;
    for (std::string_view line : splitLines(directoryListing)) {
        std::optional<Entry> entry = parseEntryLine(line);
        if (!entry || entry->carrier == "." || entry->carrier == "..")
            continue;
        // mattrib names an entry by its long name when it has one.
        const bool hasLongName = entry->name != entry->shortName;
        const auto flags = attributes.find(hasLongName ? entry->name : entry->carrier);
        if (flags != attributes.end() && flags->second.size() >= 8) {
            entry->hidden = flags->second[5] == 'S' || flags->second[6] == 'H';
            entry->readOnly = flags->second[7] == 'R';
        }
        entries.push_back(std::move(*entry));
    }
    return entries;
}

std::string carrierOf(std::string_view storedName, std::uint8_t smallLetters) {
    std::string base(storedName.substr(0, 8));
    std::string extension(storedName.substr(std::min<std::size_t>(8, storedName.size()), 3));
    if (!base.empty() && base[0] == '\x05')
        base[0] = '\xE5';
    // mdir reads the bytes in code page 850 and puts the characters in small
    // letters by the rules of Unicode, beyond ASCII too.
    const auto spelt = [](std::string part, bool small) {
        part.erase(part.find_last_not_of(' ') + 1);
        if (std::ranges::all_of(part,
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            if (small)
                std::ranges::transform(part, part.begin(), [](char c) {
                    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                });
            return part;
        }
        std::optional<std::string> characters = convertText(part, "UTF-32LE", "CP850");
        if (!characters)
            return part;
        if (small) {
            static const locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
            for (std::size_t at = 0; utf8Locale && at + 4 <= characters->size(); at += 4) {
                wint_t c = 0;
                for (std::size_t i = 0; i < 4; ++i)
                    c |= static_cast<wint_t>(static_cast<unsigned char>((*characters)[at + i]))
                         << (8 * i);
                const wint_t lower = towlower_l(c, utf8Locale);
                for (std::size_t i = 0; i < 4; ++i)
                    (*characters)[at + i] = static_cast<char>(lower >> (8 * i) & 0xFF);
            }
        }
        return convertText(*characters, "UTF-8", "UTF-32LE").value_or(part);
    };
    base = spelt(std::move(base), (smallLetters & 0x08) != 0);
    extension = spelt(std::move(extension), (smallLetters & 0x10) != 0);
    return extension.empty() ? base : base + "." + extension;
}

Entry entryOf(const FatEntry& read) {
    Entry entry;
    entry.carrier = carrierOf(read.storedName, read.smallLetters);
    entry.shortName = readShortName(entry.carrier);
    entry.name = read.longName.empty() ? entry.shortName : read.longName;
    entry.directory = read.isDirectory();
    entry.size = entry.directory ? 0 : read.size;
    entry.hidden = (read.attributes & (FatEntry::Hidden | FatEntry::System)) != 0;
    entry.readOnly = (read.attributes & FatEntry::ReadOnly) != 0;
    return entry;
}

std::string addressOf(std::string_view carrier) {
    std::string address(carrier);
    for (char& c : address)
        if (c == '\\' || c == '[' || c == ']' || c == '*' || c == '?')
            c = '?';
    return address;
}

bool addressMatches(std::string_view address, const Entry& entry) {
    const std::u32string pattern = folded(address);
    return matchesPattern(folded(entry.carrier), pattern) ||
           matchesPattern(folded(entry.name), pattern);
}

bool isCreatableName(std::string_view name) {
    return !name.empty() && std::ranges::all_of(name, [](char c) {
        return c >= 0x20 && c < 0x7F &&
               std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos;
    });
}

bool keepsItsSpelling(std::string_view name) {
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    const auto plain = [](std::string_view part) {
        return std::ranges::all_of(part, [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   std::string_view("!#$%&'()-@^_`{}~").find(c) != std::string_view::npos;
        });
    };
    return !base.empty() && base.size() <= 8 && extension.size() <= 3 &&
           (dot == std::string_view::npos || !extension.empty()) && plain(base) && plain(extension);
}

namespace {

FileDescriptor memoryFile(const char* name, std::string_view contents = {}) {
    FileDescriptor file(::memfd_create(name, MFD_CLOEXEC));
    if (file.isOpen() && writeAll(file.get(), contents) != 0)
        return FileDescriptor();
    return file;
}

std::string contentsOf(int descriptor) {
    std::string text;
    ::lseek(descriptor, 0, SEEK_SET);
    char buffer[16384];
    for (ssize_t count; (count = ::read(descriptor, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(count));
    return text;
}

// The configuration every command reads last: code page 850, whatever the
// system's or the user's own files say.
int configurationFile() {
    static const FileDescriptor file = memoryFile("kor-mtoolsrc", "default_codepage=850\n");
    return file.get();
}

std::vector<std::string> childEnvironment() {
    std::vector<std::string> environment = {
        "LC_ALL=C.UTF-8",      "HOME=/nonexistent",
        "MTOOLSRC=/dev/fd/4",  "MTOOLS_TWENTY_FOUR_HOUR_CLOCK=1",
        "MTOOLS_LOWER_CASE=0", "MTOOLS_LOCK_TIMEOUT=20"};
    if (const char* path = std::getenv("PATH"))
        environment.push_back(std::string("PATH=") + path);
    return environment;
}

// Waits for the child until the deadline; kills it after that.
bool waitFor(pid_t child, std::chrono::seconds deadline, int& status) {
    const FileDescriptor handle(static_cast<int>(::syscall(SYS_pidfd_open, child, 0)));
    if (handle.isOpen()) {
        pollfd wanted{.fd = handle.get(), .events = POLLIN, .revents = 0};
        int ready = 0;
        do
            ready = ::poll(&wanted, 1, static_cast<int>(deadline.count() * 1000));
        while (ready < 0 && errno == EINTR);
        if (ready == 0) {
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return false;
        }
    }
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

} // namespace

Outcome run(const std::filesystem::path& image, std::uint64_t offset,
            const Invocation& invocation) {
    Outcome outcome;
    // Only passed on: mtools opens it again through /dev/fd/3 for what its
    // command needs, reading or writing.
    const FileDescriptor imageFile(::open(image.c_str(), O_RDONLY | O_CLOEXEC));
    const int imageDescriptor = imageFile.get();
    FileDescriptor output = memoryFile("kor-mtools-output");
    FileDescriptor errors = memoryFile("kor-mtools-errors");
    if (imageDescriptor < 0 || !output.isOpen() || !errors.isOpen()) {
        outcome.spawnError = errno;
        return outcome;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    // Each source is taken to a number of its own above the ones it fills, so
    // that no dup2 overwrites another's source.
    const int sources[] = {output.get(),        errors.get(),     imageDescriptor,
                           configurationFile(), invocation.input, invocation.keptOpen};
    std::vector<FileDescriptor> lifted;
    for (std::size_t i = 0; i < std::size(sources); ++i) {
        if (sources[i] < 0)
            continue;
        lifted.emplace_back(::fcntl(sources[i], F_DUPFD_CLOEXEC, 10));
        posix_spawn_file_actions_adddup2(&actions, lifted.back().get(), static_cast<int>(i) + 1);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGXFSZ);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> arguments = {"mtools", "-c", invocation.command, "-i",
                                          "/dev/fd/3@@" + std::to_string(offset)};
    arguments.insert(arguments.end(), invocation.arguments.begin(), invocation.arguments.end());
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = childEnvironment();
    std::vector<char*> envp;
    envp.reserve(environment.size() + 1);
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    pid_t child = 0;
    const std::filesystem::path program = programOnPath("mtools");
    const int spawned = program.empty() ? ENOENT
                                        : ::posix_spawn(&child, program.c_str(), &actions,
                                                        &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    lifted.clear();
    if (spawned != 0) {
        outcome.spawnError = spawned;
        return outcome;
    }

    int status = 0;
    outcome.timedOut = !waitFor(child, invocation.deadline, status);
    outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.output = contentsOf(output.get());
    outcome.errors = contentsOf(errors.get());
    return outcome;
}

} // namespace kor::diskimage::mtools
