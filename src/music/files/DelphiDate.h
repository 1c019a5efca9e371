// Dates as stored in the data files: doubles of days since 30 December 1899, local time.
#pragma once

#include <cstdint>

#include <QDateTime>

namespace pv {

/// Days since 1899-12-30 00:00 local time; the fraction is the time of day.
double ToDelphiDate(const QDateTime& when);
/// The local date and time of a stored value (to the millisecond).
QDateTime FromDelphiDate(double days);
/// The stored value of now.
double DelphiNow();
/// The stored value of today's midnight.
double DelphiToday();

} // namespace pv
