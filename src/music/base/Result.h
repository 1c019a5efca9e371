// Expected failures as values: a result holds either a value or an error code with detail.
#pragma once

#include <utility>
#include <variant>

#include <QString>

namespace pv {

struct Error
{
    int code = 0;
    QString detail;
};

template <class T> class Result
{
public:
    Result(T value) : m_data(std::move(value)) {}
    Result(Error error) : m_data(std::move(error)) {}

    bool Ok() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return Ok(); }
    const T& Value() const { return std::get<T>(m_data); }
    T& Value() { return std::get<T>(m_data); }
    const Error& Err() const { return std::get<Error>(m_data); }

private:
    std::variant<T, Error> m_data;
};

} // namespace pv
