// SPDX-License-Identifier: GPL-3.0-or-later
#include "hidden_lists.h"
#include "core/operations.h"

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/text.h"

#include <cctype>

namespace kor::changer {

platform::Status DriveList::setDrive(std::string_view path) {
    const char drive =
        path.empty() ? '\0'
                     : static_cast<char>(std::toupper(static_cast<unsigned char>(path.front())));
    if (!platform::Machine::current().isDriveMapped(drive))
        return platform::Error(core::operation::SelectDrive, std::string(path.substr(0, 1)) + ":",
                               ENODEV, "drive is not mapped");
    if (drive == m_drive)
        return {};
    m_drive = drive;
    return onChange ? onChange() : platform::Status{};
}

platform::Status DirectoryList::setPath(std::string_view path) {
    auto full = platform::Machine::current().fullPath(path);
    if (!full)
        return full.error();
    if (platform::Status found = platform::findDirectory(full.value()); !found)
        return found.error().retold(core::operation::OpenDirectory, full.value());
    if (platform::equalsIgnoringAsciiCase(full.value(), m_path))
        return {};
    m_path = std::move(full).value();
    return onChange ? onChange() : platform::Status{};
}

platform::Status FileList::setPath(std::string_view path) {
    auto entries = platform::listFileNames(path, "*.*");
    if (!entries)
        return entries.error();
    m_path = std::string(path);
    m_entries = std::move(entries).value();
    return {};
}

} // namespace kor::changer
