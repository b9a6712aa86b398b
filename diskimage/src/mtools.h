// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fat_reader.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The FAT file system inside a disk image, through mtools: one process per
// operation, on the image as it lies, without mounting it.
//
// mtools runs with its default code page, 850, and never with 932: in 932 it
// prints names with stray characters and spells new short names wrongly. Code
// page 850 gives every byte a character of its own, so a short name comes back
// as its exact bytes ("carrier" text), which are then read as CP932 here. The
// programs create ASCII names only.
namespace kor::diskimage::mtools {

// One entry of a directory.
struct Entry {
    std::string name;      // as Windows 95 shows it: the long name, else the 8.3 name
    std::string shortName; // the 8.3 name read as CP932: "LONGFI~1.BMP", "和風.LZH"
    std::string carrier;   // the 8.3 name as mtools spells it in code page 850
    std::uint64_t size = 0;
    bool directory = false;
    bool hidden = false; // the hidden or the system attribute
    bool readOnly = false;

    bool operator==(const Entry&) const = default;
};

// The entries of a directory from what `mdir -a -f DIR/*` and
// `mattrib DIR/*` print, "." and ".." left out.
std::vector<Entry> parseListing(std::string_view directoryListing,
                                std::string_view attributeListing);

// The carrier of a directory entry's 8.3 name as mdir shows it, from the 11
// bytes the entry stores and its byte 12, whose flags 0x08 and 0x10 put the
// base name and the extension in small letters: code page 850 characters,
// the flagged parts in small letters character by character, blanks at the
// ends of both parts left out, a stored first byte 0x05 read as 0xE5.
std::string carrierOf(std::string_view storedName, std::uint8_t smallLetters);

// An entry that the FAT reader read, as mdir and mattrib list it.
Entry entryOf(const FatEntry& entry);

// An 8.3 name's carrier text as mtools may be given it in a path: the bytes
// it would read as a separator or a wildcard ("\" and "[", trail bytes of
// CP932 characters such as "ソ") become "?", which matches them.
std::string addressOf(std::string_view carrier);

// Whether mtools would take the address for `entry`: a pattern matched
// against its long and its 8.3 name, without regard to case.
bool addressMatches(std::string_view address, const Entry& entry);

// A name the programs create, as mtools is given it: ASCII only.
bool isCreatableName(std::string_view name);

// An 8.3 name in capitals, which mtools writes as it is spelt, without a long
// name ("~KOR12AB.TMP", "LOGO.SYS").
bool keepsItsSpelling(std::string_view name);

struct Outcome {
    int spawnError = 0; // an errno when mtools could not be started
    bool timedOut = false;
    int exitStatus = -1;
    std::string output;
    std::string errors;

    bool succeeded() const { return spawnError == 0 && !timedOut && exitStatus == 0; }
};

struct Invocation {
    std::string command; // "mdir", "mcopy", ...
    std::vector<std::string> arguments;
    // A host file the command reads as /dev/fd/5, or -1.
    int input = -1;
    // A descriptor the command holds open, unused, until it ends, or -1: the
    // lifeline of the export it works on (qemu_export.h).
    int keptOpen = -1;
    std::chrono::seconds deadline{60};
};

// Runs one mtools command on the FAT volume at `offset` bytes of `image`,
// which is reached as "::". The command runs in a process group of its own, so
// that a Ctrl+C meant for the program, or the program's own end, never cuts
// it off half way through a change of the file system.
Outcome run(const std::filesystem::path& image, std::uint64_t offset, const Invocation& invocation);

} // namespace kor::diskimage::mtools
