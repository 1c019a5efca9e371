// The rhythm engine of the three rhythm exercises: one rhythm setup, the time-signature table,
// the generated rhythm (list 0) and its changed copy (list 1), the user's taps and the state of
// playback, drawing and evaluation. Each rhythm window owns one.
//
// The note lists keep the numbering 1..N of their notes in the interface (Note(list, i)); they
// grow as needed, so a long reading rhythm never overruns them.
#pragma once

#include "exercises/rhythm/RhythmLayout.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/base/ExerciseKind.h"
#include "music/notation/NotationTables.h"
#include "music/sequencer/MidiVoiceSettings.h"

#include <array>
#include <cstdint>
#include <vector>

#include <QString>

namespace pv {

class IClock;
class TMidiOut;
class IRandom;
class IPrompts;
struct UIStringTable;

/// One note or rest of a rhythm.
struct RhythmNote
{
    std::uint8_t Value = 0;         ///< note value index 1..6 it is written with
    std::uint32_t Ticks = 0;        ///< sounding length (dotted 3/2, triplet 2/3 of the value)
    std::uint8_t Kind = 0;          ///< 0 plain, 1 dotted, 2 triplet note
    std::uint8_t TripletMiddle = 0; ///< the group's figure is drawn over this note
    std::uint8_t Rest = 0;
    std::uint8_t Tied = 0;   ///< tied to the next entry
    std::uint8_t BarEnd = 0; ///< a bar line follows
    std::uint8_t BeamLevel = 0;
    std::uint8_t BeamGroup = 0; ///< 0 = not beamed
    std::uint8_t BeatEnd = 0;   ///< ends on a beat (a beam group may end after it)
    std::int32_t X = 0;         ///< horizontal position on the drawing
    std::int32_t Line = 0;      ///< drawing line
    std::int32_t Result = 0;    ///< evaluation: see RhythmResult
    bool operator==(const RhythmNote&) const = default;
};

/// Values of RhythmNote::Result.
namespace RhythmResult {
inline constexpr std::int32_t OnTime = 0;
inline constexpr std::int32_t Early = 1;
inline constexpr std::int32_t Late = -1;
inline constexpr std::int32_t Missed = 2;
inline constexpr std::int32_t NotPlayed = -2; ///< a rest or a tied continuation
inline constexpr std::int32_t Unmatched = 32767;
} // namespace RhythmResult

/// One row of the time-signature table.
struct TimeSignatureRow
{
    std::uint8_t Numerator = 0;
    std::uint8_t Denominator = 0;
    std::uint8_t Groups = 1;
    std::uint8_t FirstUnits = 0;
    std::uint8_t FirstBeats = 0;
    std::uint8_t SecondUnits = 0;
    std::uint8_t SecondBeats = 0;
};

inline constexpr int kTimeSignatureRows = 14;
/// Rows 1..14 at indexes 0..13, in the order the setup's flags use.
inline constexpr std::array<TimeSignatureRow, kTimeSignatureRows> kTimeSignatureTable = {{
    {2, 2, 1, 1, 2, 0, 0},
    {2, 4, 1, 1, 1, 0, 0},
    {3, 4, 1, 1, 1, 0, 0},
    {4, 4, 1, 1, 1, 0, 0},
    {3, 8, 1, 3, 3, 0, 0},
    {6, 8, 1, 3, 1, 0, 0},
    {3, 2, 1, 1, 2, 0, 0},
    {4, 2, 1, 1, 2, 0, 0},
    {7, 8, 2, 4, 2, 3, 3},
    {9, 8, 1, 3, 1, 0, 0},
    {12, 8, 1, 3, 1, 0, 0},
    {5, 4, 2, 3, 3, 2, 2},
    {4, 8, 1, 2, 1, 0, 0},
    {5, 8, 1, 3, 3, 0, 0},
}};

/// Bounds a damaged setup is clamped to: the most bars of any kind (the bar-line tables hold
/// that many), the tempo range of the main window's control and the corrections asked for.
inline constexpr int kRhythmMaxBars = 12;
inline constexpr int kRhythmMinTempo = 20;
inline constexpr int kRhythmMaxTempo = 250;
inline constexpr int kRhythmDefaultTempo = 90;
inline constexpr int kRhythmMaxCorrections = 5;

/// Which note a correction changed and how.
enum class RhythmChange : std::uint16_t
{
    Tie = 0,   ///< note i is tied to note i + 1
    Split = 1, ///< note i becomes two notes of the next shorter value
    Swap = 2,  ///< notes i and i + 1 change places
};

struct RhythmCorrection
{
    std::uint16_t NoteIndex = 0; ///< number i of the changed note in list 0
    RhythmChange Change = RhythmChange::Tie;
    std::uint16_t NoteX = 0; ///< X of note i in list 0 when the change was made
};

/// A note choice of the generator: a plain value or a triplet value.
struct RhythmNoteChoice
{
    std::uint8_t Value = 0;
    std::uint8_t Triplet = 0;
};

/// What a rhythm plays with, copied from the program settings by the window that owns the
/// engine (read at every playback).
struct RhythmPlaybackSettings
{
    SoundRecord ClapSound{9, 0, 110, 39}; ///< the rhythm's notes, tap echoes and played taps
    SoundRecord BeatSound{9, 0, 110, 37};
    SoundRecord FirstBeatSound{9, 0, 125, 56};
    /// The click bars under a rhythm are heard (count-in bars always are).
    bool WithMetronome = true;
};

/// Taps kept in one attempt; later ones are ignored. A reading rhythm holds up to 768 notes,
/// so this leaves room for as many surplus taps again while a stuck key or a noisy microphone
/// cannot grow the list without end.
inline constexpr int kMaxTaps = 1544;

class TRytme
{
public:
    /// random and prompts must outlive the engine; strings give the engine's messages and
    /// verdicts.
    TRytme(IRandom& random, IPrompts& prompts, const UIStringTable& strings);

    // --- model and generator ---
    /// Loads a rhythm setup; empties both lists and the taps. Bars are clamped to 1..12.
    void Setup(const RhythmSetup& block);
    /// The same, with the bars clamped to what the kind allows (1..6 or 1..12).
    void Setup(const RhythmSetup& block, ExerciseKind kind);
    /// Makes row 1..14 of the time-signature table current and derives UnitTicks, BarTicks and
    /// GroupTicks from it; any other row is ignored.
    void SelectTimeSignature(int row);
    /// A new random rhythm in list 0 (beams computed). Nothing without a note value or time
    /// signature. When a place comes up that no allowed note fills, the rhythm-setup message is
    /// shown once and list 0 stays empty.
    void Generate();
    /// Whether the generator fills every bar of the time signature in use to its end whatever
    /// it draws: from every place of a bar it can reach some allowed note fits.
    bool BarsAlwaysFill() const;
    /// Whether a tick position from the start of the rhythm falls on a beat.
    bool IsOnBeat(std::int64_t position) const;
    /// 3/8, 6/8, 9/8 and 12/8: the beat is a dotted quarter (three units) that already divides
    /// in three, so no note may straddle one and no triplets are drawn.
    bool CompoundTime() const;
    /// Where the beams of eighths and shorter notes close inside a bar (and at its end): after
    /// each beat group; in quarter-note time after each beat, so that 5/4 pairs its eighths
    /// by the beat like 4/4 although its beats are grouped 3 + 2.
    std::int64_t BeamGroupTicks() const;

    // --- notes, numbered 1..Count(list) ---
    int Count(int list) const { return static_cast<int>(m_notes[ListIndex(list)].size()); }
    RhythmNote& Note(int list, int i)
    {
        return m_notes[ListIndex(list)][static_cast<std::size_t>(i - 1)];
    }
    const RhythmNote& Note(int list, int i) const
    {
        return m_notes[ListIndex(list)][static_cast<std::size_t>(i - 1)];
    }
    std::vector<RhythmNote>& List(int list) { return m_notes[ListIndex(list)]; }
    const std::vector<RhythmNote>& List(int list) const { return m_notes[ListIndex(list)]; }

    // --- beaming (run on a new list) ---
    /// Sets BeamGroup and BeamLevel of the list's notes and removes ties into rests.
    void ComputeBeams(int list);

    // --- corrections (error detection) ---
    /// Chooses the changes and builds list 1; false when no note could be changed (list 1 is
    /// then empty).
    bool MakeCorrections();

    // --- drawing (RhythmLayout.cpp) ---
    /// Lays out the list on a paint box `width` pixels wide with the settings' notation spacing
    /// 0..3; sets X and Line of every note and the list's BarX, BarLine and BarsDrawn.
    RhythmDisplayList Draw(int list, int width, int spacing);
    /// The underline of bar 1..Bars of the list as last drawn, which replaces the previous
    /// bar's; bar 0 or a bar not drawn removes every underline of a drawing `width` wide.
    RhythmDisplayList MarkBar(int bar, int list, int width) const;
    /// The result mark of every note of list 0 that has one, at the note as last drawn.
    RhythmDisplayList DrawResultMarks() const;

    // --- playback, taps and evaluation ---
    /// Where playback is queued and the clock taps are stamped on; both must outlive the
    /// engine. Without an output nothing is queued (as with a closed device). Until a clock is
    /// attached no tap can be timed, so taps are not recorded.
    void AttachPlayback(TMidiOut* midiOut, const IClock& clock);
    /// One bar of clicks on the click queue (silent waits unless audible), each beat announced
    /// to the visual metronome; codeAfterBar after the last beat, codeBeforeLast after the
    /// beat before it (0: none). delayMusic: the music queue waits one bar. Starts the
    /// sequencer; with generate a new rhythm is made while the bar sounds.
    void QueueMetronomeBar(bool generate, std::uint8_t codeAfterBar, std::uint8_t codeBeforeLast,
                           bool delayMusic, bool audible);
    /// count waiting bars (count < 0: Bars) ending with base + 6, then the code base + 8.
    void QueueWaitBars(std::uint8_t base, int count);
    /// Plays list 0 or 1 as claps over its click bars (each ending with base + 2), after a
    /// count-in bar ending with base + 1 when asked for.
    void PlayRhythm(std::uint8_t base, int list, bool countIn);
    /// One clap of length ticks on the music queue.
    void QueueClap(std::uint32_t length);
    /// Plays the taps back (relative, after Evaluate) over a count-in and the click bars.
    void PlayTaps(std::uint8_t base);
    /// start: the recording starts now and the tempo in effect is fixed. Otherwise one tap at
    /// time (milliseconds on the clock's 32-bit millisecond timeline, IClock::NowMs), or now
    /// when time is 0.
    void RecordTap(bool start, std::uint32_t time = 0);
    /// Matches the taps to the notes of list 0, marks every note (RhythmNote::Result) and gives
    /// the score 0..100; text gets the verdict (left as it was when nothing can be judged).
    /// The taps are left relative to the start of the rhythm.
    std::uint8_t Evaluate(std::uint8_t passMark, QString& text);

    RhythmPlaybackSettings PlaybackSettings;

    // Public state, as the windows and the drawing read it.
    std::vector<RhythmNoteChoice> NoteChoice;
    int StraightCount = 0;
    std::vector<std::uint8_t> TimeSigChoice; ///< rows 1..14 allowed, ascending
    std::uint8_t Dotted = 0;
    std::uint8_t Ties = 0;
    std::uint8_t Rests = 0;
    std::int32_t Evaluation = 1; ///< 0 kind, 1 normal, 2 severe
    std::int32_t ShortestTicks = 0;
    std::uint8_t CurrentTimeSig = 4; ///< row 1..14
    std::int32_t BarTicks = kWholeTicks;
    std::int32_t UnitTicks = kQuarterTicks;
    std::uint16_t GroupTicks = kQuarterTicks;
    std::uint8_t Bars = 1;
    std::uint8_t Tempo = 90;
    std::uint8_t TempoInEffect = 90;
    std::array<std::array<std::int32_t, 13>, 2> BarX{};    ///< [list][bar 1..12]
    std::array<std::array<std::int32_t, 13>, 2> BarLine{}; ///< [list][bar 1..12]
    std::array<int, 2> BarsDrawn{}; ///< [list] bar lines that BarX and BarLine hold, 0..12
    std::uint8_t HasTaps = 0;
    /// [0] the start of recording, [1..TapCount] the taps, milliseconds on the shared clock
    /// (relative to the start after Evaluate).
    std::vector<std::int64_t> TapTimes = std::vector<std::int64_t>(1, 0);
    int TapCount = 0;
    std::vector<RhythmCorrection> Corrections; ///< ascending by note index, at most 5
    std::uint8_t CorrectionsWanted = 1;
    std::uint8_t FirstBarRest = 0;

    const TimeSignatureRow& CurrentRow() const
    {
        return kTimeSignatureTable[static_cast<std::size_t>(CurrentTimeSig - 1)];
    }

protected:
    static std::size_t ListIndex(int list) { return list == 1 ? 1 : 0; }

    IRandom& m_random;
    IPrompts& m_prompts;
    const UIStringTable& m_strings;
    std::array<std::vector<RhythmNote>, 2> m_notes;
    TMidiOut* m_midiOut = nullptr;
    const IClock* m_clock = nullptr;
};

/// Whether a rhythm setup lets the generator fill every bar of time-signature row 1..14.
bool RhythmBarsAlwaysFill(const RhythmSetup& block, int row);

} // namespace pv
