// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Files and folders the programs need for a moment: a picture on its way to
// becoming a logo, a member being extracted, KOR.INI being rewritten, the
// archive library's command file.
//
// They are named "~KOR" followed by four letters or digits, with the extension
// ".TMP": plain ASCII 8.3 names that any FAT directory takes and that a reader
// recognises as the programs' own. While its creator lives, each is held under
// a lock; one that nobody holds and that is older than the running process was
// left by a run that died, and removeStaleTemporaries takes it away.
namespace kor::platform {

struct HeldTemporary;

// A new, empty file under a fresh temporary name, removed again unless it is
// committed.
class TemporaryFile {
  public:
    // Creates the file in `directory` (a Windows path, or a host path outside
    // every drive). Fails when the folder cannot take a new file.
    static Result<TemporaryFile> create(std::string_view directory);

    TemporaryFile(TemporaryFile&&) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) noexcept;
    ~TemporaryFile();

    // Its full path, as the functions of files.h accept it.
    const std::string& path() const;
    // The open file, for writing.
    int descriptor() const;

    Status write(std::string_view bytes);

    // Gives the file a modification time (seconds since 1970) other than the
    // time of writing; a file system that cannot take it keeps that time.
    void setModificationTime(std::int64_t unixSeconds);

    // Flushes the file to the disk and gives it the name `target` in the same
    // folder in one atomic step, replacing a file already there (Replace::Yes)
    // or failing with EEXIST when there is one (Replace::No). A read-only target
    // is refused, as Windows refuses to overwrite it. On failure the temporary
    // file is removed and `target` is as it was.
    enum class Replace { No, Yes };
    Status commitAs(std::string_view target, Replace replace);

  private:
    explicit TemporaryFile(std::unique_ptr<HeldTemporary> held);
    std::unique_ptr<HeldTemporary> m_held;
};

// A new, empty folder under a fresh temporary name, removed with everything in
// it when this goes.
class TemporaryFolder {
  public:
    static Result<TemporaryFolder> create(std::string_view directory);

    TemporaryFolder(TemporaryFolder&&) noexcept;
    TemporaryFolder& operator=(TemporaryFolder&&) noexcept;
    ~TemporaryFolder();

    // Its full path, without a trailing backslash.
    const std::string& path() const;

  private:
    explicit TemporaryFolder(std::unique_ptr<HeldTemporary> held);
    std::unique_ptr<HeldTemporary> m_held;
};

// Removes from `directory` the temporary files and folders that a run which
// ended without cleaning up left behind: those that no live process holds and
// that are older than this process. Anything else is left alone, and a folder
// that cannot be read is no concern here.
void removeStaleTemporaries(std::string_view directory);

// A fresh name of the kind they take; whether it is free is the caller's to see.
std::string drawTemporaryName();

// Whether `name` is one that TemporaryFile or TemporaryFolder gives.
bool isTemporaryName(std::string_view name);

} // namespace kor::platform
