// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files.h"
#include "platform/result.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The drive, folder and file lists a run walks: plain in-memory lists that
// keep the change rules of the setup program's list controls. A change
// handler runs inside the assignment that changes the list, before the
// assignment returns, and its failure is the assignment's.
namespace kor::changer {

using ChangeHandler = std::function<platform::Status()>;

// The drive currently selected.
class DriveList {
  public:
    explicit DriveList(char drive) : m_drive(drive) {}

    char drive() const { return m_drive; }
    // Selects the drive named by the first character of `path`; runs the change
    // handler when that is another drive. Fails for a drive that is not mapped.
    platform::Status setDrive(std::string_view path);

    ChangeHandler onChange;

  private:
    char m_drive;
};

// The directory currently shown, as a full path without a trailing "\" except
// at a drive root.
class DirectoryList {
  public:
    explicit DirectoryList(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }
    // Shows `path`; a bare drive ("D:") shows that drive's current directory.
    // Runs the change handler when that is another directory. Fails for a
    // directory that does not exist.
    platform::Status setPath(std::string_view path);

    ChangeHandler onChange;

  private:
    std::string m_path;
};

// The files of one directory that match "*.*", hidden and system files left out.
class FileList {
  public:
    const std::string& path() const { return m_path; }
    platform::Status setPath(std::string_view path);

    const platform::NameList& entries() const { return m_entries; }

  private:
    std::string m_path;
    platform::NameList m_entries;
};

} // namespace kor::changer
