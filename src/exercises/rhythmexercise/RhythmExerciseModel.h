// What the three rhythm exercises share without a screen: the engine they own, the settings they
// play and judge with, the taps from a key, the mouse, a MIDI keyboard or the microphone with
// their clap echo, the score line, and what their steps caused for the window to carry out.
// Each exercise (imitation, reading, error detection) gives the protocol its own phases.
#pragma once

#include "exercises/base/ControlStripModel.h"
#include "exercises/base/ExerciseProtocol.h"
#include "exercises/rhythm/TRytme.h"
#include "exercises/session/ExerciseSession.h"
#include "music/base/ExerciseKind.h"

#include <cstdint>
#include <functional>

#include <QString>

namespace pv {

class IClock;
class IPrompts;
class IRandom;
class TMidiOut;
struct ExerciseSetup;
struct UIStringTable;

/// The program settings a rhythm exercise plays and judges with, read when a setup is applied
/// and whenever the settings change.
struct RhythmExerciseSettings
{
    std::uint8_t PassMark = 80;            ///< the repeat threshold, percent
    bool AutoNewQuestion = false;          ///< the next question comes by itself
    bool AutoNewQuestionOnlyRight = false; ///< ... only after a right answer
    std::int32_t OutputDelay = 0;          ///< ms; taps are echoed only without a delay
    std::uint8_t NotationSpacing = 0;      ///< 0..3
    RhythmPlaybackSettings Playback;       ///< the clap and click sounds, clicks under rhythms
    bool TipOffered = true;                ///< the window's tip is still offered
};

class RhythmExerciseModel : public IExerciseModel
{
public:
    /// kind is 4, 5 or 6; session is the kind's and strip the window's control strip; the
    /// strings, random source and prompts must outlive the model.
    RhythmExerciseModel(ExerciseKind kind, ExerciseSession& session, ControlStripModel& strip,
                        const UIStringTable& strings, IRandom& random, IPrompts& prompts);
    ~RhythmExerciseModel() override;
    RhythmExerciseModel(const RhythmExerciseModel&) = delete;
    RhythmExerciseModel& operator=(const RhythmExerciseModel&) = delete;

    /// Where rhythms, clicks and echoes are played and the clock taps are stamped on; both must
    /// outlive the model. Without an output nothing sounds.
    void AttachPlayback(TMidiOut* midiOut, const IClock& clock);
    /// Takes new program settings (sounds, pass mark, automatic question, spacing).
    void SetSettings(const RhythmExerciseSettings& settings);
    const RhythmExerciseSettings& Settings() const { return m_settings; }

    /// Takes this kind's rhythm block of the setup and puts the exercise in its starting state;
    /// reset also clears the counters.
    void ApplySetup(const ExerciseSetup& setup, bool reset);
    virtual void ApplySetup(const RhythmSetup& block, bool reset) = 0;

    ExerciseEffects TakeEffects() override;

    /// A code the sequencer sent back; codes of other exercises are ignored.
    virtual void SequencerNotify(int code) = 0;
    /// One tick of the notation's scroll timer (55 ms) while ScrollTimerOn.
    virtual void ScrollTimerTick() {}

    /// A tap key (Space, the instruction line) went down or up. A held key taps once.
    virtual void TapKey(bool down);
    /// The tap button's own mouse: taps and echoes on every press, without the held-key rule.
    virtual void TapButton(bool down);
    /// A packed MIDI short message: note-ons tap, note-offs end the echo, the sustain pedal runs
    /// PedalDown; everything else is ignored.
    virtual void MidiInMessage(std::uint32_t message);
    /// A clap the microphone heard at ms of the shared 32-bit millisecond clock.
    virtual void MicTap(std::uint32_t ms);
    /// The main window's tempo control moved.
    void SetTempo(int tempo);

    /// The score line and gauge the main window shows.
    ScoreDisplay Score() const override;

    TRytme& Rytme() { return m_rytme; }
    const TRytme& Rytme() const { return m_rytme; }
    ExerciseKind Kind() const { return m_kind; }
    ExerciseSession& Session() { return *m_session; }
    const ExerciseSession& Session() const { return *m_session; }
    ControlStripModel& Strip() { return *m_strip; }
    const ControlStripModel& Strip() const { return *m_strip; }

    // What the window shows, by the names the rest of the exercise knows them by.
    QString InstructionText; ///< the instruction and verdict line
    std::uint8_t LastScore = 100;
    bool KeyHeld = false;      ///< a tap key is down
    bool Recording = false;    ///< taps are recorded
    std::uint8_t BarCount = 0; ///< bars played or counted in the current step
    bool EarlyStart = false; ///< a tap in the last beat before a bar line starts the attempt there
    bool ScrollTimerOn = false;
    int ScrollY = 0; ///< the notation's scroll position, pixels
    /// The bar underlined on the notation of list 0 and 1 (0: none).
    std::array<int, 2> MarkedBar{};

protected:
    /// The sustain pedal went down (controller 64, value 127).
    virtual void PedalDown() {}
    /// Records a tap now (or at ms of the shared clock) when recording.
    void RecordTap(std::uint32_t ms = 0);
    void EchoOn();
    void EchoOff();
    /// A question was put (its time starts, the tutor's progress shows it).
    void PutQuestion() { m_effects.PutQuestion(); }
    /// The main window's automatic-new-question timer is to run or stop.
    void ArmAutoNewQuestion(bool on) { m_effects.SwitchAutoNewQuestion(on); }
    /// An attempt was judged: good enough or not.
    void Scored(bool passed) { m_effects.Scored(passed); }
    /// The music stopped: the visual metronome is to show no beat of it any more.
    void RestMetronome() { m_effects.Show(ExerciseRepaint::Metronome); }
    /// Loads the engine with this kind's block (bars clamped to the kind).
    void SetupEngine(const RhythmSetup& block);
    /// The first line after a setup or a reset, naming the control button that starts.
    QString StartText(int button) const;

    ExerciseKind m_kind;
    ExerciseSession* m_session;
    ControlStripModel* m_strip;
    const UIStringTable& m_strings;
    IPrompts& m_prompts;
    TRytme m_rytme;
    TMidiOut* m_midiOut = nullptr;
    RhythmExerciseSettings m_settings;
    ExerciseEffects m_effects;
};

} // namespace pv
