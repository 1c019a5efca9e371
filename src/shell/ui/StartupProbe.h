// The start-up measurement hook: the time from the process's start to the main window's first
// paint, written where PELLIVARK_STARTUP_PROBE says.
#pragma once

#include <optional>

namespace pv {

inline constexpr const char* kStartupProbeVariable = "PELLIVARK_STARTUP_PROBE";

/// Milliseconds since the kernel started this process (loading the libraries included);
/// nothing when the system does not say.
std::optional<double> MillisecondsSinceProcessStart();

/// Appends "first-paint <ms>" to the file named by PELLIVARK_STARTUP_PROBE; nothing when the
/// variable is unset or the time unknown.
void NoteFirstPaint();

} // namespace pv
