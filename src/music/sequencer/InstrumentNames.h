// The General MIDI program names, as the instrument lists and the piano's adjuster show them.
#pragma once

#include <array>

#include <QString>

namespace pv {

inline constexpr int kProgramCount = 128;

/// `InstrumentNames`: entry n reads n, " - " and the short name of General MIDI program n
/// ("0 - Piano 1", "40 - Violin", "127 - Gun Shot"), at most 20 characters each.
const std::array<QString, kProgramCount>& InstrumentNames();

/// The name of program 0..127 alone, the entry's text after its "- "; empty for any other
/// number.
QString InstrumentName(int program);

} // namespace pv
