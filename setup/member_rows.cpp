// SPDX-License-Identifier: GPL-3.0-or-later
#include "member_rows.h"

#include <cstdint>
#include <cstdio>

namespace kor::setup {

std::vector<std::string> memberRowCells(const core::ArchiveEntry& entry) {
    char date[40];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", entry.date.year % 100, entry.date.month,
                  entry.date.day);
    return {entry.name, std::to_string(static_cast<std::int32_t>(entry.unpackedSize)),
            std::to_string(static_cast<std::int32_t>(entry.packedSize)), date,
            std::to_string(entry.hour) + ":" + std::to_string(entry.minute) + ":" +
                std::to_string(entry.second)};
}

} // namespace kor::setup
