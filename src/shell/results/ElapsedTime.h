// Exercise and answer times as the program shows them: hours, minutes and maybe seconds.
#pragma once

#include <QChar>
#include <QString>

namespace pv {

/// The separator of hours, minutes and seconds in the system locale's short time format.
QChar TimeSeparator();

/// A span of days as hours (any number), separator, two-digit minutes and, withSeconds,
/// separator and two-digit seconds: 1 h 5 min 9 s gives "1:05" or "1:05:09". Milliseconds
/// are dropped; a negative or unusable span shows as 0.
QString FormatElapsedTime(bool withSeconds, double span, QChar separator = TimeSeparator());

} // namespace pv
