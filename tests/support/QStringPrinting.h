// Texts printed readably when an expectation about them fails.
#pragma once

#include <ostream>

#include <QString>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
