// Logging category and the soft check for broken invariants: assert in debug, log and go on.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPellivark)

namespace pv {
/// Logs a failed check (and asserts in debug builds); returns ok so callers can recover.
bool SoftCheck(bool ok, const char* expression, const char* file, int line);
} // namespace pv

#define PV_SOFT_CHECK(cond) (::pv::SoftCheck(static_cast<bool>(cond), #cond, __FILE__, __LINE__))
