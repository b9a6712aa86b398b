// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files.h"
#include "platform/result.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The list controls of the changer's window, which is never shown: plain
// in-memory lists that keep the change rules of the drive, directory and file
// list controls. A change handler runs inside the assignment that changes the
// list, before the assignment returns, and its failure is the assignment's.
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

// Texts kept end to end in one buffer, as the hidden lists of an archive's
// members hold them: an archive of a million members costs two allocations
// that grow, not a million of them.
class TextList {
  public:
    void clear() {
        m_text.clear();
        m_ends.clear();
    }
    void push_back(std::string_view text) {
        m_text += text;
        m_ends.push_back(m_text.size());
    }
    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    // Valid until the list changes.
    std::string_view operator[](std::size_t index) const {
        const std::size_t start = index == 0 ? 0 : m_ends[index - 1];
        return std::string_view(m_text).substr(start, m_ends[index] - start);
    }

  private:
    std::string m_text;
    std::vector<std::size_t> m_ends;
};

} // namespace kor::changer
