// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/translation.h"

#include <cerrno> // the codes of Error
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace kor::platform {

// What the programs were doing when something failed, in the words of the
// layer that did it: the phrase that follows "cannot" in the developer's
// English text, and the sentence of the report to the user, in Japanese and
// marked KOR_TRANSLATE_NOOP(OperationContext, ...), so that the report gives
// it in the session's language. Each layer names its own operations next to
// its code; those of the emulated machine are the members here. An operation
// is known by its English words, which no two operations share.
struct Operation {
    std::string_view english; // "get the length of"
    std::string_view japanese; // "このﾌｧｲﾙのｻｲｽﾞを調べられません", without the "。"

    bool operator==(const Operation& other) const { return english == other.english; }

    static const Operation Find;
    static const Operation FindWindowsPath;
    static const Operation List;
    static const Operation MeasureLength;
    static const Operation Copy;
    static const Operation Delete;
    static const Operation Rename;
    static const Operation Move;
    static const Operation Read;
    static const Operation Write;
    static const Operation CreateDirectory;
    static const Operation ChangeDirectory;
    static const Operation ChangeDrive;
    static const Operation DecodeText;
    static const Operation EncodeText;
    static const Operation CreateFileIn;
    static const Operation OpenImage;
    static const Operation UseWindowsDirectory;
    static const Operation OpenWindowsDirectory;
};

inline constexpr Operation Operation::Find{"find",
                                           KOR_TRANSLATE_NOOP("operation", "このﾊﾟｽは使えません")};
inline constexpr Operation Operation::FindWindowsPath{
    "find the Windows path of",
    KOR_TRANSLATE_NOOP("operation", "この場所を Windows のﾊﾟｽで表せません")};
inline constexpr Operation Operation::List{
    "list", KOR_TRANSLATE_NOOP("operation", "このﾌｫﾙﾀﾞのﾌｧｲﾙ一覧を読み込めません")};
inline constexpr Operation Operation::MeasureLength{
    "get the length of", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙのｻｲｽﾞを調べられません")};
inline constexpr Operation Operation::Copy{
    "copy", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙをｺﾋﾟｰできません")};
inline constexpr Operation Operation::Delete{
    "delete", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙを削除できません")};
inline constexpr Operation Operation::Rename{
    "rename", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙの名前を変更できません")};
inline constexpr Operation Operation::Move{
    "move", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙを移動できません")};
inline constexpr Operation Operation::Read{
    "read", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙを読み込めません")};
inline constexpr Operation Operation::Write{
    "write", KOR_TRANSLATE_NOOP("operation", "このﾌｧｲﾙに書き込めません")};
inline constexpr Operation Operation::CreateDirectory{
    "create directory", KOR_TRANSLATE_NOOP("operation", "このﾌｫﾙﾀﾞを作成できません")};
inline constexpr Operation Operation::ChangeDirectory{
    "change directory to", KOR_TRANSLATE_NOOP("operation", "このﾌｫﾙﾀﾞに移動できません")};
inline constexpr Operation Operation::ChangeDrive{
    "change to drive", KOR_TRANSLATE_NOOP("operation", "このﾄﾞﾗｲﾌﾞに切り替えられません")};
inline constexpr Operation Operation::DecodeText{
    "decode CP932 text", KOR_TRANSLATE_NOOP("operation", "Shift-JIS の文字列を読み取れません")};
inline constexpr Operation Operation::EncodeText{
    "encode text as CP932", KOR_TRANSLATE_NOOP("operation", "Shift-JIS の文字列に変換できません")};
inline constexpr Operation Operation::CreateFileIn{
    "create a file in", KOR_TRANSLATE_NOOP("operation", "このﾌｫﾙﾀﾞにﾌｧｲﾙを作成できません")};
inline constexpr Operation Operation::OpenImage{
    "open the disk image of",
    KOR_TRANSLATE_NOOP("operation", "このﾄﾞﾗｲﾌﾞのﾃﾞｨｽｸｲﾒｰｼﾞを使えません")};
inline constexpr Operation Operation::UseWindowsDirectory{
    "use as the Windows directory (WINDIR)",
    KOR_TRANSLATE_NOOP("operation", "WINDIR の Windows ﾌｫﾙﾀﾞを使えません")};
inline constexpr Operation Operation::OpenWindowsDirectory{
    "open the Windows directory", KOR_TRANSLATE_NOOP("operation", "Windows ﾌｫﾙﾀﾞを開けません")};

// The translation context of every operation's sentence, whatever its layer.
inline constexpr const char* OperationContext = "operation";

// Why, as the report to the user gives it in the session's language: in
// Japanese "アクセスが拒否されました" for EACCES, in English "Access denied"; a
// generic sentence with the number and the system's English text for an errno
// without a phrase of its own.
std::string userReasonOf(int code);

// What went wrong: the operation, the Windows path (or two, for a copy or a
// move), and why, as an errno value; custom failures take the errno that fits
// them best (an unmapped drive ENODEV, a place outside every drive EXDEV, a
// line break in a value EINVAL, text that CP932 cannot hold EILSEQ). `detail`
// replaces the generic English reason where a more precise one is known.
// The window or main() that finally reports it shows message() to the user.
class Error {
  public:
    Error(Operation operation, std::string path, int code, std::string detail = {})
        : m_operation(operation), m_path(std::move(path)), m_code(code),
          m_detail(std::move(detail)) {}
    // A failure between two files: a copy, a rename, a move.
    Error(Operation operation, std::string path, std::string destination, int code,
          std::string detail = {})
        : m_operation(operation), m_path(std::move(path)), m_destination(std::move(destination)),
          m_code(code), m_detail(std::move(detail)) {}

    Operation operation() const { return m_operation; }
    // The path, or the source of a failure between two files; may be empty.
    const std::string& path() const { return m_path; }
    // The destination of a failure between two files, else empty.
    const std::string& destination() const { return m_destination; }
    int code() const { return m_code; }
    // The precise English reason, or empty when the errno says it all.
    const std::string& detail() const { return m_detail; }

    // The same failure told as part of a larger operation: its cause and its
    // reasons kept, the operation and the places those of the caller.
    Error retold(Operation operation, std::string path, std::string destination = {}) const {
        Error error(operation, std::move(path), std::move(destination), m_code, m_detail);
        error.m_userReason = m_userReason;
        error.m_reasonLeads = m_reasonLeads;
        return error;
    }

    // Gives the report to the user a reason of its own where the errno's
    // phrase would not tell the user what to do ("... は qcow2 形式です"),
    // already in the session's language and without the closing full stop.
    Error&& withUserReason(std::string reason) && {
        m_userReason = std::move(reason);
        return std::move(*this);
    }

    // Puts the reason for the user before the path in the report, for a
    // reason the user acts on ("... が使用中です") beside a path that is only
    // where it was noticed.
    Error&& withLeadingReason(std::string reason) && {
        m_userReason = std::move(reason);
        m_reasonLeads = true;
        return std::move(*this);
    }

    // The English reason: the detail, else the errno's text ("permission denied").
    std::string reason() const;
    // The reason for the user in the session's language: the one given, else
    // the errno's phrase ("アクセスが拒否されました", "Access denied"), for a
    // note that names the place itself.
    std::string userReason() const;
    // "cannot <operation> <path>[ to <destination>]: <reason>", the path left
    // out when empty.
    std::string text() const;
    // The report for the user in the session's language: the path on a line
    // of its own, then the operation and the reason,
    // "C:\WINDOWS\LOGOW.SYS\nこのﾌｧｲﾙを削除できません。アクセスが拒否されました。",
    // "C:\WINDOWS\LOGOW.SYS\nCannot delete this file. Access denied.".
    // A leading reason comes first, the path and the operation after it:
    // "<reason>。\nC:\WINDOWS\~KOR1.TMP\nこのﾌｧｲﾙを作成できません。".
    std::string message() const;

  private:
    Operation m_operation;
    std::string m_path;
    std::string m_destination;
    int m_code;
    std::string m_detail;
    std::string m_userReason;
    bool m_reasonLeads = false;
};

// A value or the Error that prevented it (SerenityOS's ErrorOr).
template <typename T> class [[nodiscard]] Result {
  public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const Error& error() const { return std::get<1>(m_state); }

    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

  private:
    std::variant<T, Error> m_state;
};

template <> class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }

  private:
    std::optional<Error> m_error;
};

using Status = Result<void>;

namespace detail {
template <typename T> T valueOf(Result<T>&& result) {
    return std::move(result).value();
}
inline void valueOf(Status&&) {}
} // namespace detail

} // namespace kor::platform

// Hands the error of a failed Result or Status up to the caller, which returns
// a Result or a Status itself; yields the value of a Result that holds one
// (SerenityOS's TRY): `const std::string text = KOR_TRY(readFile(path));`.
#define KOR_TRY(expression)                                                                        \
    ({                                                                                             \
        auto korTried = (expression);                                                              \
        if (!korTried.ok())                                                                        \
            return korTried.error();                                                               \
        ::kor::platform::detail::valueOf(std::move(korTried));                                     \
    })
