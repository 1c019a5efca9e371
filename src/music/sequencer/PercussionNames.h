// The General MIDI percussion key names, as the settings' clap and metronome note lists show them.
#pragma once

#include <array>

#include <QString>

namespace pv {

inline constexpr int kPercussionKeyCount = 128;

/// Entry n reads n and " -", then a blank and the sound's name for the keys the General MIDI
/// percussion map names ("27 - High Q", "39 - Hand Clap"); the other keys have no name ("0 -",
/// "127 -").
const std::array<QString, kPercussionKeyCount>& PercussionNames();

/// The name of percussion key 0..127 alone; empty for a key without one and any other number.
QString PercussionName(int key);

} // namespace pv
