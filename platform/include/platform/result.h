#pragma once

#include <array>
#include <cerrno> // the codes of Error
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace kor::platform {

// What the programs were doing when something failed: one value per
// operation the platform and the libraries above it report.
enum class Operation {
    Find,                 // making sense of a path
    FindWindowsPath,      // naming a host path as a Windows path
    List,                 // reading the files of a folder
    MeasureLength,        // FileLen
    Copy,                 // FileCopy
    Delete,               // Kill
    Rename,               // Name ... As
    Move,                 // moving a file onto another one
    Read,                 // reading a whole file
    Write,                // writing a whole file
    CreateDirectory,      // MkDir
    ChangeDirectory,      // ChDir
    ChangeDrive,          // ChDrive
    OpenDirectory,        // a folder list taking a path
    SelectDrive,          // a drive list taking a drive
    OpenWindowsDirectory, // the start of a run
    Stage,                // placing a new logo beside the old one
    DecodeText,           // CP932 to UTF-8
    EncodeText,           // UTF-8 to CP932
    LoadLibrary,          // the archive library
    Open,                 // opening an archive file
    ReadArchive,          // reading an archive's members
    Extract,              // extracting a member
    ExtractInto,          // extracting into a folder
    CreateFileIn,         // a new file in a folder
    RunCommand,           // the archive library's command line
    ReadResponseFile,     // an @file of that command line
    OpenMachine,          // the host folder of the emulated machine (KOR_ROOT)
};

// Every Operation, in the order of their values, for tables and tests.
inline constexpr std::array AllOperations{
    Operation::Find,
    Operation::FindWindowsPath,
    Operation::List,
    Operation::MeasureLength,
    Operation::Copy,
    Operation::Delete,
    Operation::Rename,
    Operation::Move,
    Operation::Read,
    Operation::Write,
    Operation::CreateDirectory,
    Operation::ChangeDirectory,
    Operation::ChangeDrive,
    Operation::OpenDirectory,
    Operation::SelectDrive,
    Operation::OpenWindowsDirectory,
    Operation::Stage,
    Operation::DecodeText,
    Operation::EncodeText,
    Operation::LoadLibrary,
    Operation::Open,
    Operation::ReadArchive,
    Operation::Extract,
    Operation::ExtractInto,
    Operation::CreateFileIn,
    Operation::RunCommand,
    Operation::ReadResponseFile,
    Operation::OpenMachine,
};

namespace detail {
constexpr bool listsEveryOperationInOrder() {
    for (std::size_t i = 0; i < AllOperations.size(); ++i)
        if (static_cast<std::size_t>(AllOperations[i]) != i)
            return false;
    return true;
}
} // namespace detail
// A new Operation goes at the end of AllOperations as well; the phrase tables
// are switches that the compiler checks for every value.
static_assert(detail::listsEveryOperationInOrder() &&
                  AllOperations.back() == Operation::OpenMachine,
              "AllOperations must list every Operation in order");

// The operation as it reads after "cannot": "get the length of".
std::string_view englishOperation(Operation operation);
// The operation as the sentence of a Japanese report: "このﾌｧｲﾙを削除できません".
std::string_view japaneseOperation(Operation operation);
// Why, as a Japanese report gives it: "アクセスが拒否されました" for EACCES; a
// generic sentence with the number and the English text for an errno without
// a phrase of its own.
std::string japaneseReason(int code);

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

    // The English reason: the detail, else the errno's text ("permission denied").
    std::string reason() const;
    // "cannot <operation> <path>[ to <destination>]: <reason>", the path left
    // out when empty.
    std::string text() const;
    // The report for the user: the path on a line of its own, then a Japanese
    // sentence, "C:\WINDOWS\LOGOW.SYS\nこのﾌｧｲﾙを削除できません。アクセスが拒否されました。".
    std::string message() const;

  private:
    Operation m_operation;
    std::string m_path;
    std::string m_destination;
    int m_code;
    std::string m_detail;
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

} // namespace kor::platform
