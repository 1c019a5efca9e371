// The settings the MIDI output plays with: the piano and guitar voices and the sound records.
#pragma once

#include <cstdint>

namespace pv {

/// A sound as the settings store it: channel 0..15, program, velocity and note 0..127 (values
/// from a file may lie outside; the MIDI output keeps them in range).
struct SoundRecord
{
    std::uint16_t channel = 0;
    std::uint16_t program = 0;
    std::uint16_t velocity = 0;
    std::uint16_t note = 0;

    friend bool operator==(const SoundRecord&, const SoundRecord&) = default;
};

struct MidiVoiceSettings
{
    SoundRecord piano{0, 0, 110, 60};
    SoundRecord guitar{1, 24, 110, 60};
    /// Guitar notes sound as written instead of an octave lower.
    bool guitarNotTransposed = false;
};

/// Read at every use, so a change of the settings takes effect at the next playback.
class IMidiVoiceSettings
{
public:
    virtual ~IMidiVoiceSettings() = default;
    virtual MidiVoiceSettings MidiVoices() const = 0;
};

/// Voices held by value: what tests give in place of the settings record.
class FixedMidiVoiceSettings final : public IMidiVoiceSettings
{
public:
    FixedMidiVoiceSettings() = default;
    explicit FixedMidiVoiceSettings(const MidiVoiceSettings& initial) : voices(initial) {}
    MidiVoiceSettings MidiVoices() const override { return voices; }

    MidiVoiceSettings voices;
};

} // namespace pv
