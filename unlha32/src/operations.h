// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include "language/translation.h"

#include <string>
#include <string_view>
#include <utility>

// What the archive library reports doing when a command fails, and why.
namespace kor::unlha32::operation {

inline constexpr platform::Operation Open{"open",
                                          KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙを開けません")};
inline constexpr platform::Operation ReadArchive{
    "read archive", KOR_TRANSLATE_NOOP("operation", "この書庫を読み込めません")};
inline constexpr platform::Operation Extract{
    "extract", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙを解凍できません")};
inline constexpr platform::Operation ExtractInto{
    "extract into", KOR_TRANSLATE_NOOP("operation", "このﾌｫﾙﾀﾞに解凍できません")};
inline constexpr platform::Operation RunCommand{
    "run command", KOR_TRANSLATE_NOOP("operation", "このｺﾏﾝﾄﾞを実行できません")};
inline constexpr platform::Operation ReadResponseFile{
    "read response file", KOR_TRANSLATE_NOOP("operation", "このﾚｽﾎﾟﾝｽﾌｧｲﾙを読み込めません")};

} // namespace kor::unlha32::operation

namespace kor::unlha32 {

// A reason of the library's own, where the errno's words would not say what
// is wrong with an archive: the English detail and the reason for the user,
// in Japanese and translated when told, of the same failure. {1} stands for
// the value the failure names.
struct Reason {
    std::string_view english;
    std::string_view japanese;
};

namespace reason {

inline constexpr Reason NoSuchMember{"no such member in the archive",
                                     KOR_TRANSLATE_NOOP("unlha32", "書庫にこのﾌｧｲﾙがありません")};
inline constexpr Reason SameName{
    "two members have this name",
    KOR_TRANSLATE_NOOP("unlha32", "書庫に同じ名前のﾌｧｲﾙが複数あります")};
inline constexpr Reason NoFileName{"the member has no file name",
                                   KOR_TRANSLATE_NOOP("unlha32", "ﾌｧｲﾙ名がありません")};
inline constexpr Reason InvalidFileName{
    "the member's name is not a valid file name",
    KOR_TRANSLATE_NOOP("unlha32", "ﾌｧｲﾙ名に使えない文字があります")};
inline constexpr Reason UnknownMethod{
    "cannot decode the method ",
    KOR_TRANSLATE_NOOP("unlha32", "この圧縮方式は解凍できません: {1}")};
inline constexpr Reason ArchiveChanged{"the archive has changed",
                                       KOR_TRANSLATE_NOOP("unlha32", "書庫が途中で変更されました")};
inline constexpr Reason DamagedData{"the member's data is damaged",
                                    KOR_TRANSLATE_NOOP("unlha32", "ﾌｧｲﾙのﾃﾞｰﾀが壊れています")};
inline constexpr Reason CrcError{
    "CRC error", KOR_TRANSLATE_NOOP("unlha32", "CRC が一致しません。ﾌｧｲﾙのﾃﾞｰﾀが壊れています")};
inline constexpr Reason NoSuchFolder{"no such folder",
                                     KOR_TRANSLATE_NOOP("unlha32", "解凍先のﾌｫﾙﾀﾞがありません")};

} // namespace reason

// A failure of the library for `reason`, with `value` when one is given (the
// method that cannot be decoded) after the English and in the user's reason.
inline platform::Error failure(platform::Operation operation, std::string path, int code,
                               Reason reason, std::string_view value = {}) {
    return platform::Error(operation, std::move(path), code,
                           std::string(reason.english) + std::string(value))
        .withUserReason(
            language::fill(language::translate("unlha32", std::string(reason.japanese).c_str()),
                           {std::string(value)}));
}

} // namespace kor::unlha32
