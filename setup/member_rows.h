// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/archive.h"

#include <Qt>

#include <string>
#include <string_view>
#include <vector>

// How the logo browser's member list shows an archive's entries.
namespace kor::setup {

// A column of the member list; it takes 1/share of the list's width.
struct MemberColumn {
    std::string_view caption;
    Qt::Alignment alignment;
    double share;
};

// The five columns, in the order of a row's cells. The captions are
// half-width katakana, as every caption of the program, so that the list
// reads like the windows around it.
inline constexpr MemberColumn MemberColumns[] = {{"ﾌｧｲﾙ名", Qt::AlignLeft, 4.5},
                                                 {"元ﾌｧｲﾙｻｲｽﾞ", Qt::AlignRight, 8},
                                                 {"圧縮ﾌｧｲﾙｻｲｽﾞ", Qt::AlignRight, 7.8},
                                                 {"ﾌｧｲﾙ日付", Qt::AlignRight, 6},
                                                 {"ﾌｧｲﾙ日時", Qt::AlignRight, 9}};

// The cells of an entry's row: name, unpacked size, packed size, the date in
// the short form of Japanese Windows 95 ("95/08/24") whatever the host's
// locale, and H:M:S without leading zeros. The record's unsigned sizes are
// shown as signed numbers, so that 2 GiB and more read as negative; the date
// shows the stored numbers as they are, so that an impossible date
// (month 13, day 0) shows what the archive holds.
std::vector<std::string> memberRowCells(const core::ArchiveEntry& entry);

} // namespace kor::setup
