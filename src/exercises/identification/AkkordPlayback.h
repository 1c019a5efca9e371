// How the identification exercise plays a question, its tonic or cadence, a melody's count-in
// and the user's answer on the sequencer, and what the sequencer's notifications do.
#pragma once

#include "exercises/identification/AkkordModel.h"
#include "music/sequencer/MidiOut.h"

namespace pv {

/// Kinds of playback.
inline constexpr int kPlayNewQuestion = 1;
inline constexpr int kPlayRepeat = 2;
inline constexpr int kPlayEnteredAnswer = 3;
inline constexpr int kPlayTonicOnly = 4;

/// Notification codes a playback sends back to its window.
inline constexpr std::uint16_t kNotifyUpperTonic = 51;
inline constexpr std::uint16_t kNotifyTonicEnd = 52;
inline constexpr std::uint16_t kNotifyFirstTone = 53;
inline constexpr std::uint16_t kNotifyPlaybackEnd = 55;

/// Where the held note came from.
inline constexpr std::uint8_t kHeldByProgram = 0;
inline constexpr std::uint8_t kHeldByMicrophone = 3;
inline constexpr std::uint8_t kHeldByGuitar = 4;

/// The control button that stops a playback.
inline constexpr std::size_t kStopButton = 4;

/// Settings a playback reads besides the voices.
struct AkkordPlaybackSettings
{
    bool Metronome = false; ///< the count-in and the bars click audibly
    bool CountIn = false;
    SoundRecord FirstBeatSound{9, 0, 110, 76}; ///< channel, program, velocity, note
    SoundRecord BeatSound{9, 0, 100, 77};
};

class AkkordPlayback
{
public:
    /// model and midiOut must outlive the playback.
    AkkordPlayback(AkkordModel& model, TMidiOut& midiOut);

    AkkordPlaybackSettings Settings;

    void PlayQuestion(int kind);
    void RepeatQuestion() { PlayQuestion(kPlayRepeat); }
    /// Plays an item the user chose on an answer button, at once.
    void PlayAnswerItem(int item);
    void StopPlaying();
    /// A code the sequencer sent back (51, 52, 53, 55; others are ignored).
    void SequencerNotify(int code);
    /// Shows a note as held and, when asked for, sounds it.
    void PressNote(TPitch note, std::uint8_t source);
    /// Clears the held note and enters (or removes) it in the open question.
    void ReleaseNote(bool remove, bool noEnter);

private:
    void QueueNotes(std::span<const TNoteRec> notes, int count, bool interval);
    void QueueTonicContext(int kind, int& leadTime);
    void QueueCountIn(int leadTime);
    void Start();
    bool Guitar() const { return m_model.Sheet.GuitarView; }
    SoundRecord Voice() const;
    int SpelledShift(int note) const;

    AkkordModel& m_model;
    TMidiOut& m_midiOut;
};

} // namespace pv
