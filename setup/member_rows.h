// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/archive.h"

#include <Qt>
#include <QtGlobal>

#include <string>
#include <string_view>
#include <vector>

// How the logo browser's member list shows an archive's entries.
namespace kor::setup {

// A column of the member list and its width in twips.
struct MemberColumn {
    std::string_view caption;
    Qt::Alignment alignment;
    int widthTwips;
};

// The five columns, in the order of a row's cells. The captions are
// half-width katakana, as every caption of the program, so that the list
// reads like the windows around it. The designed widths, 1/4.5, 1/8, 1/7.8,
// 1/6 and 1/9 of the list, fill three quarters of it and cut two-digit hours
// and the longer captions; these share out the rest of the list, so that
// every caption and time is whole and the columns still fit beside a
// vertical scroll bar.
// The captions are the logo browser's texts, translated where it shows them.
inline constexpr MemberColumn MemberColumns[] = {
    {QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "ﾌｧｲﾙ名"), Qt::AlignLeft, 1545},
    {QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "元ﾌｧｲﾙｻｲｽﾞ"), Qt::AlignRight, 1080},
    {QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "圧縮ﾌｧｲﾙｻｲｽﾞ"), Qt::AlignRight, 1245},
    {QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "ﾌｧｲﾙ日付"), Qt::AlignRight, 1080},
    {QT_TRANSLATE_NOOP("kor::setup::LogoBrowser", "ﾌｧｲﾙ日時"), Qt::AlignRight, 1005}};

// The cells of an entry's row: name, unpacked size, packed size, the date in
// the short form of Japanese Windows 95 ("95/08/24") whatever the host's
// locale, and H:M:S without leading zeros. The record's unsigned sizes are
// shown as signed numbers, so that 2 GiB and more read as negative. A date
// that no calendar has (month 13, day 0, 30 February: a zero DOS date among
// them) and a time that no clock shows (hour 24, minute or second 60) are
// blank, rather than numbers that pass for a date or a time.
std::vector<std::string> memberRowCells(const core::ArchiveEntry& entry);

} // namespace kor::setup
