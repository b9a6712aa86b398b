#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace kor::platform {

// What went wrong, with the operation and the Windows path it concerned, so that
// the window or main() that finally reports it can name both:
// "cannot rename C:\WINDOWS\A.BMP to C:\logo.sys: permission denied".
class Error {
public:
    Error(std::string operation, std::string path, std::string reason)
        : m_operation(std::move(operation)), m_path(std::move(path)), m_reason(std::move(reason)) {}

    const std::string& operation() const { return m_operation; }
    const std::string& path() const { return m_path; }
    const std::string& reason() const { return m_reason; }

    // "cannot <operation> <path>: <reason>", the path left out when empty.
    std::string text() const;

private:
    std::string m_operation;
    std::string m_path;
    std::string m_reason;
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
