// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"
#include "platform/text.h"
#include "platform/text_list.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// File operations on Windows paths of the current Machine. Relative paths are
// taken against the current drive and directory; a path starting with "/" is a
// host path (a TMP outside every drive). Every failure carries the operation,
// the path and an errno value.
//
// A file without any write permission bit is read-only, as FAT's attribute
// shows on a FAT mount: deleting, overwriting or replacing it fails with
// EACCES and leaves it as it was, as on Windows.
namespace kor::platform {

enum class Overwrite { No, Yes };

// FileLen: the length in bytes of a file.
Result<std::uint64_t> fileLength(std::string_view path);

// FileCopy: copies a file. With Overwrite::No an existing destination fails the
// copy (EEXIST) and is left alone; with Overwrite::Yes a read-only one does.
// A failed copy removes what it had written.
Status copyFile(std::string_view from, std::string_view to, Overwrite overwrite);

// Kill: deletes a file; fails on a read-only one.
Status deleteFile(std::string_view path);

// Name ... As: moves a file to a new name on the same drive; fails when the
// destination exists.
Status renameFile(std::string_view from, std::string_view to);

// Moves a file onto `to` in one atomic step, replacing a file already there, so
// that `to` always names either the old or the new file. Fails when `to` is
// read-only.
Status replaceFile(std::string_view from, std::string_view to);

// Whether `error` is the refusal to delete, overwrite or replace a read-only
// file, whichever operation met it.
bool isReadOnlyRefusal(const Error& error);

// Writes a whole file through a temporary file in the same folder and a rename,
// so that a crash or a full disk never leaves it half written. Fails when the
// file is read-only.
Status writeFileAtomically(std::string_view path, std::string_view bytes);

// Succeeds when the drive of `path` could be written now, and else fails as a
// write would: a disk image that cannot be written, or that another program
// or a loop device uses. Writes nothing.
Status checkWritable(std::string_view path);

// Reads a whole file.
Result<std::string> readFile(std::string_view path);

// One state of a file: where it lies, its length and its times. A file whose
// version is unchanged has not been written since, so what was read of it
// still holds. Fails (EISDIR) for a directory.
struct FileVersion {
    std::string place;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // nanoseconds
    std::int64_t changed = 0;

    bool operator==(const FileVersion&) const = default;
};
Result<FileVersion> fileVersion(std::string_view path);

// A file opened for reading from its start: the host file, or a copy in
// memory of a file inside a disk image. The caller owns the descriptor.
Result<int> openFileForReading(std::string_view path);

// MkDir: creates one directory.
Status createDirectory(std::string_view path);

bool fileExists(std::string_view path);      // a normal file
bool directoryExists(std::string_view path); // a directory (a drive root counts)
// Succeeds when a directory is at `path`; else says why not: nothing there
// (ENOTDIR), a folder on the way that may not be searched (EACCES), or the
// drive's own failure (an unmapped drive, a disk image that cannot be used).
Status findDirectory(std::string_view path);

// Windows wildcard match of a name (a file name, or a whole member path of an
// archive): '*' and '?', without regard to ASCII case; "X.*" also matches a
// name without a dot that matches X, so "*.*" matches every name, and "X."
// only names without a dot.
bool matchesWildcard(std::string_view name, std::string_view pattern,
                     TextEncoding encoding = TextEncoding::Utf8);

// The names of a directory listing in their order. They are kept end to end
// in one buffer, in the order they were read, beside the order they are
// listed in: a folder of a hundred thousand pictures costs three allocations,
// not a string for each.
class NameList {
  public:
    std::size_t size() const { return m_order.size(); }
    bool empty() const { return m_order.empty(); }
    // The name at `index` of the listing; valid as long as the list.
    std::string_view operator[](std::size_t index) const { return read(m_order[index]); }
    std::vector<std::string> toVector() const;

    // Adds a name after the others, last in the listing.
    void add(std::string_view name);
    // Orders the listing without regard to case: by the names' upper-case
    // forms, names that differ only in case in byte order.
    void sortWithoutRegardToCase();

  private:
    std::string_view read(std::size_t position) const { return m_names[position]; }

    TextList m_names;                   // as read
    std::vector<std::uint32_t> m_order; // positions of the names as read
};

// The files of a directory whose names match `pattern`, as a file list shows
// them: no directories, no hidden or system files (a name starting with "." or,
// on a FAT mount, the hidden or system attribute), sorted without regard to
// case. Fails when the directory cannot be read.
Result<std::vector<std::string>> listFiles(std::string_view directory, std::string_view pattern);
// The same as a NameList.
Result<NameList> listFileNames(std::string_view directory, std::string_view pattern);

// The subdirectories of a directory, hidden and system ones left out, sorted
// without regard to case.
Result<std::vector<std::string>> listDirectories(std::string_view directory);

// The directory an environment variable such as TMP or TEMP names, as a path
// the functions here accept, without a trailing separator (a host path followed
// by "\\" and a name works too): a Windows path made full; an absolute host
// path on a mapped drive as its Windows path; one outside every drive as the
// host path, "." and ".." folded. Empty when the variable is unset, empty or no
// usable path.
std::string environmentDirectory(std::string_view variable);

} // namespace kor::platform
