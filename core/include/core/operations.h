// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

// What the programs report doing, in the words of both: a Windows path the
// user gave that does not lead anywhere, an archive member that cannot be had.
// An operation is known by its English words, so these are the core's own.
namespace kor::core::operation {

inline constexpr platform::Operation SelectDrive{
    "select drive", KOR_TRANSLATE_NOOP("operation", "このﾄﾞﾗｲﾌﾞを選択できません")};
inline constexpr platform::Operation OpenDirectory{
    "open directory", KOR_TRANSLATE_NOOP("operation", "このﾌｫﾙﾀﾞを開けません")};
inline constexpr const platform::Operation& OpenWindowsDirectory =
    platform::Operation::OpenWindowsDirectory;
inline constexpr platform::Operation OpenMachine{
    "open the folder of the Windows machine (KOR_ROOT)",
    KOR_TRANSLATE_NOOP("operation", "Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) を開けません")};
inline constexpr platform::Operation ExtractMember{
    "extract the archive member", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙを解凍できません")};
inline constexpr platform::Operation RunArchiveCommand{
    "run the archive library's command",
    KOR_TRANSLATE_NOOP("operation", "このｺﾏﾝﾄﾞを実行できません")};
inline constexpr platform::Operation MakeResponseFile{
    "make the archive library's response file in",
    KOR_TRANSLATE_NOOP("operation", "このﾌｫﾙﾀﾞにﾚｽﾎﾟﾝｽﾌｧｲﾙを作成できません")};
inline constexpr platform::Operation LoadArchiveLibrary{
    "load the archive library", KOR_TRANSLATE_NOOP("operation", "ﾗｲﾌﾞﾗﾘを読み込めません")};
inline constexpr platform::Operation ReplaceLogo{
    "replace the logo", KOR_TRANSLATE_NOOP("operation", "このﾛｺﾞﾌｧｲﾙを置き換えられません")};
inline constexpr platform::Operation ConvertPicture{
    "convert the picture", KOR_TRANSLATE_NOOP("operation", "この画像をﾛｺﾞに変換できません")};

} // namespace kor::core::operation
