// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

// What the programs report doing, in the words of both: a Windows path the
// user gave that does not lead anywhere, an archive member that cannot be had.
// An operation is known by its English words, so these are the core's own.
namespace kor::core::operation {

inline constexpr platform::Operation SelectDrive{"select drive", "このﾄﾞﾗｲﾌﾞを選択できません"};
inline constexpr platform::Operation OpenDirectory{"open directory", "このﾌｫﾙﾀﾞを開けません"};
inline constexpr const platform::Operation& OpenWindowsDirectory =
    platform::Operation::OpenWindowsDirectory;
inline constexpr platform::Operation OpenMachine{
    "open the folder of the Windows machine (KOR_ROOT)",
    "Windows ﾏｼﾝのﾌｫﾙﾀﾞ (KOR_ROOT) を開けません"};
inline constexpr platform::Operation ExtractMember{"extract the archive member",
                                                   "このﾌｧｲﾙを解凍できません"};
inline constexpr platform::Operation RunArchiveCommand{"run the archive library's command",
                                                       "このｺﾏﾝﾄﾞを実行できません"};
inline constexpr platform::Operation MakeResponseFile{"make the archive library's response file in",
                                                      "このﾌｫﾙﾀﾞにﾚｽﾎﾟﾝｽﾌｧｲﾙを作成できません"};
inline constexpr platform::Operation LoadArchiveLibrary{"load the archive library",
                                                        "ﾗｲﾌﾞﾗﾘを読み込めません"};
inline constexpr platform::Operation ReplaceLogo{"replace the logo",
                                                 "このﾛｺﾞﾌｧｲﾙを置き換えられません"};
inline constexpr platform::Operation ConvertPicture{"convert the picture",
                                                    "この画像をﾛｺﾞに変換できません"};

} // namespace kor::core::operation
