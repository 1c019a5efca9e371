// How the identification exercise plays a question, its tonic or cadence, a melody's count-in
// and the user's answer on the sequencer, and what the sequencer's notifications do.
#pragma once

#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/InstrumentGeometry.h"
#include "music/sequencer/MidiOut.h"

#include <array>
#include <optional>
#include <span>

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

    /// Plays the question, the entered answer or the tonic; the automatic new question stops,
    /// so that it does not cut the playback off.
    void PlayQuestion(int kind);
    void RepeatQuestion() { PlayQuestion(kPlayRepeat); }
    /// Plays an item the user chose on an answer button, at once.
    void PlayAnswerItem(int item);
    /// Plays notes at once in the current play style (a chord column clicked on the staff).
    void PlayNotesNow(std::span<const TNoteRec> notes);
    void StopPlaying();
    /// A code the sequencer sent back (51, 52, 53, 55; others are ignored).
    void SequencerNotify(int code);
    /// Shows a note as held and, when asked for, sounds it; a note the user held before is
    /// switched off first.
    void PressNote(TPitch note, std::uint8_t source);
    /// Clears the held note and enters (or removes) it in the open question; position 0 sorts
    /// it in, 1.. puts it before that entered note.
    void ReleaseNote(bool remove, bool noEnter, int position = 0);
    /// One message of a MIDI keyboard (status | data 1 << 8 | data 2 << 16). A note-on inside
    /// the shown range sounds the key and enters it; its note-off (or a note-on with velocity
    /// 0) switches off exactly the note the key sounded. In the progression mode the key comes
    /// back as a chord to set on its root; otherwise the returned entry's action is None.
    InstrumentEntry MidiInMessage(std::uint32_t message);
    /// Entering the exercise: no key counts as held any more, and an echo still sounding from
    /// a key whose release never arrived is switched off.
    void ForgetMidiKeys();
    /// Progressions: plays the voiced notes of answer chord index (0-based) at once.
    void PlayEnteredChord(int index);

private:
    void QueueNotes(std::span<const TNoteRec> notes, int count, bool interval);
    void QueueTonicContext(int kind, int& leadTime);
    void QueueCountIn(int leadTime);
    void Start();
    bool Guitar() const { return m_model.Sheet.GuitarView; }
    SoundRecord Voice() const;
    /// The MIDI note a held note sounds on (display offset added, the guitar an octave lower).
    int SoundedPitch(const TNoteRec& held, std::uint8_t source) const;
    int SpelledShift(int note) const;
    /// The note a MIDI key writes. Guitar music is written an octave above its sound, so with
    /// the guitar's sound (unless it plays as written) a key is written an octave up: it then
    /// sounds at its own pitch and stands where the guitar's questions stand.
    int WrittenOfKey(int key) const;
    /// The sound a note entered by the user makes (nothing when clicks are silent). guitar: the
    /// guitar voice, which plays an octave below the written note unless told otherwise.
    std::optional<SoundRecord> EntrySound(int note, bool guitar) const;
    void MidiNoteOn(int channel, int key);
    void MidiNoteOff(int channel, int key);
    /// The free-playing staff: both staves while nothing is entered, else the side of the
    /// middle pitch on which the entered notes reach further.
    void ChooseFreePlayStaff();

    /// A MIDI key as this window took it: held since an entered note-on, and the note its echo
    /// sounded (so the note-off switches off that very note, whatever happened in between).
    struct MidiKey
    {
        bool Held = false;
        std::optional<std::uint8_t> Sounded;
    };

    AkkordModel& m_model;
    TMidiOut& m_midiOut;
    std::array<std::array<MidiKey, 128>, 16> m_midiKeys{}; ///< [channel][key]
};

} // namespace pv
