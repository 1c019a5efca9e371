// Expected failures as values: a result holds either a value or a library's error code with the
// system's reason, so the message shown to the user can say why.
#pragma once

#include <type_traits>
#include <utility>
#include <variant>

#include <QString>

namespace pv {

/// A failure: the library's own scoped error code and the system's words for it (may be empty).
template <class E> struct Failure
{
    static_assert(std::is_enum_v<E>, "error codes are a scoped enum of their library");
    E code{};
    QString detail;
};

/// Makes a failure; `return Fail(DataError::Busy, reason);` converts to any Result<T, E>.
template <class E> Failure<E> Fail(E code, QString detail = {})
{
    return Failure<E>{code, std::move(detail)};
}

template <class T, class E> class [[nodiscard]] Result
{
public:
    Result(T value) : m_data(std::move(value)) {}
    Result(Failure<E> failure) : m_data(std::move(failure)) {}

    bool Ok() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return Ok(); }
    const T& Value() const { return std::get<T>(m_data); }
    T& Value() { return std::get<T>(m_data); }
    const Failure<E>& Err() const { return std::get<Failure<E>>(m_data); }
    E Code() const { return Err().code; }
    const QString& Detail() const { return Err().detail; }

private:
    std::variant<T, Failure<E>> m_data;
};

/// Success without a value, or a failure.
template <class E> class [[nodiscard]] Result<void, E>
{
public:
    Result() = default;
    Result(Failure<E> failure) : m_failed(true), m_failure(std::move(failure)) {}

    bool Ok() const { return !m_failed; }
    explicit operator bool() const { return Ok(); }
    const Failure<E>& Err() const { return m_failure; }
    E Code() const { return m_failure.code; }
    const QString& Detail() const { return m_failure.detail; }

private:
    bool m_failed = false;
    Failure<E> m_failure;
};

/// What a writer or command returns: success, or why it failed.
template <class E> using Status = Result<void, E>;

/// Lets a result go on purpose. why says what took care of a failure already (it was shown
/// where it happened, it cannot happen on this path), so no failure is dropped unexplained.
template <class T, class E> void IgnoreResult(const Result<T, E>& result, const char* why)
{
    static_cast<void>(result);
    static_cast<void>(why);
}

} // namespace pv
