// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>
#include <utility>

// What the archive library reports doing when a command fails, and why.
namespace kor::unlha32::operation {

inline constexpr platform::Operation Open{"open", "このﾌｧｲﾙを開けません"};
inline constexpr platform::Operation ReadArchive{"read archive", "この書庫を読み込めません"};
inline constexpr platform::Operation Extract{"extract", "このﾌｧｲﾙを解凍できません"};
inline constexpr platform::Operation ExtractInto{"extract into", "このﾌｫﾙﾀﾞに解凍できません"};
inline constexpr platform::Operation RunCommand{"run command", "このｺﾏﾝﾄﾞを実行できません"};
inline constexpr platform::Operation ReadResponseFile{"read response file",
                                                      "このﾚｽﾎﾟﾝｽﾌｧｲﾙを読み込めません"};

} // namespace kor::unlha32::operation

namespace kor::unlha32 {

// A reason of the library's own, where the errno's words would not say what
// is wrong with an archive: the English detail and the Japanese reason of
// the same failure.
struct Reason {
    std::string_view english;
    std::string_view japanese;
};

namespace reason {

inline constexpr Reason NoSuchMember{"no such member in the archive", "書庫にこのﾌｧｲﾙがありません"};
inline constexpr Reason SameName{"two members have this name",
                                 "書庫に同じ名前のﾌｧｲﾙが複数あります"};
inline constexpr Reason NoFileName{"the member has no file name", "ﾌｧｲﾙ名がありません"};
inline constexpr Reason InvalidFileName{"the member's name is not a valid file name",
                                        "ﾌｧｲﾙ名に使えない文字があります"};
inline constexpr Reason UnknownMethod{"cannot decode the method ",
                                      "この圧縮方式は解凍できません: "};
inline constexpr Reason ArchiveChanged{"the archive has changed", "書庫が途中で変更されました"};
inline constexpr Reason DamagedData{"the member's data is damaged", "ﾌｧｲﾙのﾃﾞｰﾀが壊れています"};
inline constexpr Reason CrcError{"CRC error", "CRC が一致しません。ﾌｧｲﾙのﾃﾞｰﾀが壊れています"};
inline constexpr Reason NoSuchFolder{"no such folder", "解凍先のﾌｫﾙﾀﾞがありません"};

} // namespace reason

// A failure of the library for `reason`, followed in both languages by
// `value` when one is given (the method that cannot be decoded).
inline platform::Error failure(platform::Operation operation, std::string path, int code,
                               Reason reason, std::string_view value = {}) {
    return platform::Error(operation, std::move(path), code,
                           std::string(reason.english) + std::string(value))
        .withJapaneseReason(std::string(reason.japanese) + std::string(value));
}

} // namespace kor::unlha32
