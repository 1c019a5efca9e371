// Small helpers of the main window used across the program: comparisons and time texts.
#pragma once

#include "shell/results/ElapsedTime.h"

#include <cstdint>

#include <QString>

namespace pv {

/// The larger of a and b; b when they are equal.
constexpr std::int32_t Max(std::int32_t a, std::int32_t b)
{
    return a > b ? a : b;
}

/// The smaller of a and b; b when they are equal.
constexpr std::int32_t Min(std::int32_t a, std::int32_t b)
{
    return a < b ? a : b;
}

/// n in decimal with a "0" in front when that is shorter than two characters.
inline QString ZeroPad2(std::int64_t n)
{
    QString text = QString::number(n);
    if (text.size() < 2)
        text.prepend(QLatin1Char('0'));
    return text;
}

} // namespace pv
