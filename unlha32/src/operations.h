// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

// What the archive library reports doing when a command fails.
namespace kor::unlha32::operation {

inline constexpr platform::Operation Open{"open", "このﾌｧｲﾙを開けません"};
inline constexpr platform::Operation ReadArchive{"read archive", "この書庫を読み込めません"};
inline constexpr platform::Operation Extract{"extract", "このﾌｧｲﾙを解凍できません"};
inline constexpr platform::Operation ExtractInto{"extract into", "このﾌｫﾙﾀﾞに解凍できません"};
inline constexpr platform::Operation RunCommand{"run command", "このｺﾏﾝﾄﾞを実行できません"};
inline constexpr platform::Operation ReadResponseFile{"read response file",
                                                      "このﾚｽﾎﾟﾝｽﾌｧｲﾙを読み込めません"};

} // namespace kor::unlha32::operation
