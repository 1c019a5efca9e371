// Safe formatting of the language file's "Format"-style texts: a hostile or mistaken text can
// never read a missing argument, crash or reach a printf-family call.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <variant>

#include <QString>

namespace pv {

/// One argument: a text or a whole number.
using FormatArg = std::variant<QString, std::int64_t>;

/// Fills fmt with args. Understood: %s %d %u %x %% with an optional argument index ("%1:s"),
/// an optional '-' (left-justify), an optional width and an optional precision ("%.3d" pads
/// numbers with zeros; "%.3s" cuts texts). A missing argument gives an empty text; a number
/// asked for as text gives its digits; a text asked for as a number gives the number it holds
/// or nothing; an unknown or unfinished specifier is copied as it stands.
QString Format(const QString& fmt, std::initializer_list<FormatArg> args);

} // namespace pv
