// How the identification exercise takes notes sung into the microphone: a reading counts only
// when most of the latest readings agree with it, the sung note is held while it sounds and is
// entered when the voice leaves it.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

namespace pv {

class AkkordModel;
class AkkordPlayback;

/// Accepted pitches below this are silence or noise.
inline constexpr int kMicLowestPitch = 36;

/// The latest microphone readings and the pitch taken from them.
struct MicPitchFilter
{
    std::array<std::uint8_t, 4> MicHistory{}; ///< readings, 0 = empty
    std::uint8_t MicHistoryIndex = 0;         ///< 0..3: where the next reading goes
    std::uint8_t MicPitch = 0;                ///< the pitch last accepted, 0 none

    /// Takes one reading (a MIDI pitch, 0 for silence). It is accepted when at least 3 of the
    /// 4 readings before it agree with it (empty, or less than 5 semitones away); otherwise the
    /// pitch accepted before stays. Returns the accepted pitch.
    int Accept(int pitch);
};

/// The microphone's side of the identification window: what each reading holds, releases or
/// enters, through the same holds and releases as the piano and the MIDI keyboard.
class AkkordMicInput
{
public:
    /// listening: the result label's text while a sung note is held in an open question (a
    /// text of the interface, which a language file may change later). Both must outlive this
    /// object.
    AkkordMicInput(AkkordModel& model, const QString& listening)
        : m_model(model), m_listening(listening)
    {
    }

    /// One reading of the microphone (a MIDI pitch; below kMicLowestPitch silence).
    /// A new sung pitch is held (it does not sound: the singer is heard already); the note the
    /// microphone held before has ended and is entered. Silence enters the held sung note.
    void MicPitchInput(int pitch, AkkordPlayback& playback);
    /// The microphone stops: the note it holds has ended and is entered.
    void ReleaseNote(AkkordPlayback& playback);

    const MicPitchFilter& Filter() const { return m_filter; }

private:
    /// Enters the note the microphone holds and gives the mouse its entry back.
    void EndSungNote(AkkordPlayback& playback);
    bool HoldsSungNote() const;

    AkkordModel& m_model;
    const QString& m_listening;
    MicPitchFilter m_filter;
};

} // namespace pv
