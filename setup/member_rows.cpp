// SPDX-License-Identifier: GPL-3.0-or-later
#include "member_rows.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace kor::setup {

namespace {

std::string shortDate(const core::ArchiveEntry::CalendarDate& date) {
    // Checked in range first: the calendar's month and day keep a byte each.
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31 ||
        !std::chrono::year_month_day(std::chrono::year(date.year),
                                     std::chrono::month(static_cast<unsigned>(date.month)),
                                     std::chrono::day(static_cast<unsigned>(date.day)))
             .ok())
        return {};
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", date.year % 100, date.month, date.day);
    return text;
}

std::string clockTime(const core::ArchiveEntry& entry) {
    if (entry.hour > 23 || entry.minute > 59 || entry.second > 59)
        return {};
    return std::to_string(entry.hour) + ":" + std::to_string(entry.minute) + ":" +
           std::to_string(entry.second);
}

} // namespace

std::vector<std::string> memberRowCells(const core::ArchiveEntry& entry) {
    return {entry.name, std::to_string(static_cast<std::int32_t>(entry.unpackedSize)),
            std::to_string(static_cast<std::int32_t>(entry.packedSize)), shortDate(entry.date),
            clockTime(entry)};
}

} // namespace kor::setup
