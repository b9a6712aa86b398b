// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace kor::setup {

// "ＭＳ Ｐゴシック" 9 point, the face of the windows' controls. Linux desktops do
// not know it by that name, so the first call maps it onto the IPA Gothic
// faces, which share its metrics, or onto Noto Sans CJK; under a language
// other than Japanese onto Liberation Sans first.
QFont japaneseUiFont();

// Times New Roman, bold italic, for the about window's lines; mapped onto the
// serif faces a Linux desktop has.
QFont versionFont(double pointSize);

// Makes the Japanese face the default of every window, menus and message
// boxes included.
void useJapaneseUiFont();

} // namespace kor::setup
