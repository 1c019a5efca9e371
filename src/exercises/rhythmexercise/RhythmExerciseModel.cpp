// The taps, echoes and score line every rhythm exercise shares.
#include "exercises/rhythmexercise/RhythmExerciseModel.h"

#include "exercises/setup/ExerciseSetup.h"
#include "music/sequencer/MidiMessage.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <utility>

namespace pv {

namespace {

constexpr std::uint8_t kSustainController = 64;
constexpr std::uint8_t kPedalDown = 127;

} // namespace

RhythmExerciseModel::RhythmExerciseModel(ExerciseKind kind, ExerciseSession& session,
                                         ControlStripModel& strip, const UIStringTable& strings,
                                         IRandom& random, IPrompts& prompts)
    : m_kind(kind), m_session(&session), m_strip(&strip), m_strings(strings), m_prompts(prompts),
      m_rytme(random, prompts, strings)
{
}

RhythmExerciseModel::~RhythmExerciseModel() = default;

void RhythmExerciseModel::AttachPlayback(TMidiOut* midiOut, const IClock& clock)
{
    m_midiOut = midiOut;
    m_rytme.AttachPlayback(midiOut, clock);
}

void RhythmExerciseModel::SetSettings(const RhythmExerciseSettings& settings)
{
    m_settings = settings;
    m_rytme.PlaybackSettings = settings.Playback;
}

void RhythmExerciseModel::ApplySetup(const ExerciseSetup& setup, bool reset)
{
    if (const RhythmSetup* block = RhythmSetupOfKind(setup, m_kind))
        ApplySetup(*block, reset);
}

QString RhythmExerciseModel::StartText(int button) const
{
    // The windows start from different buttons (imitation from New question, reading from
    // Start), and one text serves both: it names the button by its own caption, without the
    // accelerator mark.
    QString caption = m_strip->Captions[static_cast<std::size_t>(button)];
    caption.remove(QLatin1Char('&'));
    return Format(m_strings.StrRhythmText1, {caption});
}

void RhythmExerciseModel::SetupEngine(const RhythmSetup& block)
{
    m_rytme.Setup(block, m_kind);
}

void RhythmExerciseModel::TapKey(bool down)
{
    if (down) {
        if (KeyHeld)
            return;
        RecordTap();
        EchoOn();
        KeyHeld = true;
    } else {
        KeyHeld = false;
        EchoOff();
    }
}

void RhythmExerciseModel::TapButton(bool down)
{
    if (down) {
        RecordTap();
        EchoOn();
    } else {
        EchoOff();
    }
}

void RhythmExerciseModel::MidiInMessage(std::uint32_t message)
{
    const std::uint8_t status = MessageStatus(message) & 0xF0;
    const std::uint8_t data2 = MessageData2(message);
    if (status == kStatusNoteOn && data2 > 0) {
        RecordTap();
        EchoOn();
    } else if (status == kStatusNoteOff || status == kStatusNoteOn) {
        EchoOff();
    } else if (status == kStatusControlChange && MessageData1(message) == kSustainController &&
               data2 == kPedalDown) {
        PedalDown();
    }
}

void RhythmExerciseModel::MicTap(std::uint32_t ms)
{
    // The microphone stamps its claps itself; a clap is heard, so it is not echoed. A stamp of
    // 0 would read as "now": one millisecond later is the nearest stamp the engine takes.
    RecordTap(ms == 0 ? 1 : ms);
}

void RhythmExerciseModel::SetTempo(int tempo)
{
    m_rytme.Tempo = static_cast<std::uint8_t>(std::clamp(tempo, kRhythmMinTempo, kRhythmMaxTempo));
}

ScoreDisplay RhythmExerciseModel::Score() const
{
    ScoreDisplay score;
    if (m_session->QuestionCount < 1)
        return score;
    // Rhythm answers add their percent scores, so the gauge is their mean.
    score.Gauge = static_cast<int>(std::min<std::uint32_t>(
        100U, m_session->CorrectCount / std::max<std::uint32_t>(1U, m_session->QuestionCount)));
    score.Label = QString::number(m_session->QuestionCount) + QStringLiteral(". ") +
                  m_strings.StrRhythmText5 + QLatin1Char(' ') + QString::number(LastScore) +
                  QStringLiteral(" %");
    return score;
}

void RhythmExerciseModel::RecordTap(std::uint32_t ms)
{
    if (Recording)
        m_rytme.RecordTap(false, ms);
}

void RhythmExerciseModel::EchoOn()
{
    // With an output delay the echo would come too late to help: the user hears their own tap.
    if (m_midiOut != nullptr && m_settings.OutputDelay == 0)
        m_midiOut->NoteOn(m_settings.Playback.ClapSound);
}

void RhythmExerciseModel::EchoOff()
{
    if (m_midiOut != nullptr && m_settings.OutputDelay == 0)
        m_midiOut->NoteOff(static_cast<std::uint8_t>(m_settings.Playback.ClapSound.note));
}

ExerciseEffects RhythmExerciseModel::TakeEffects()
{
    return std::exchange(m_effects, ExerciseEffects{});
}

} // namespace pv
