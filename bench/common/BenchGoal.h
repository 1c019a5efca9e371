// One goal of a benchmark: printed for people, and as a line scripts/bench collects:
//   GOAL <name> <figure><unit> <<= or >=><target><unit> met|missed|not-measured
#pragma once

#include <cstdio>
#include <string>

namespace pv::bench {

enum class Bound
{
    AtMost,
    AtLeast
};

/// Prints the goal and returns whether it was met. `compare` (may be empty) names a reference
/// figure printed beside ours, e.g. "aubio 86.00".
inline bool Goal(const std::string& name, double figure, const char* unit, Bound bound,
                 double target, const std::string& compare = {})
{
    const bool met = bound == Bound::AtMost ? figure <= target : figure >= target;
    const char* sign = bound == Bound::AtMost ? "<=" : ">=";
    std::printf("goal %-44s %9.2f %-2s (target %s %.2f%s%s): %s\n", name.c_str(), figure, unit,
                sign, target, compare.empty() ? "" : "; ", compare.c_str(), met ? "met" : "MISSED");
    std::printf("GOAL %s %.2f%s %s%.2f%s %s\n", name.c_str(), figure, unit, sign, target, unit,
                met ? "met" : "missed");
    return met;
}

/// Prints a goal that could not be measured this time, and why; it counts as not met.
inline void NotMeasured(const std::string& name, const char* unit, Bound bound, double target,
                        const std::string& why)
{
    const char* sign = bound == Bound::AtMost ? "<=" : ">=";
    std::printf("goal %-44s %9s %-2s (target %s %.2f): not measured (%s)\n", name.c_str(), "-",
                unit, sign, target, why.c_str());
    std::printf("GOAL %s n/a %s%.2f%s not-measured\n", name.c_str(), sign, target, unit);
}

} // namespace pv::bench
