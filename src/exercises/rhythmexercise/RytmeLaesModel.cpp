// The phases of the rhythm reading exercise.
#include "exercises/rhythmexercise/RytmeLaesModel.h"

#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"

#include <limits>

namespace pv {

namespace {

constexpr int kNewButton = 0;
constexpr int kStartButton = 1;
constexpr int kTapsButton = 2;
constexpr int kRhythmButton = 3;
constexpr int kStopButton = 4;

constexpr auto kCountInOver = static_cast<std::uint8_t>(RytmeLaesModel::kCodeBase + 1);
constexpr auto kPlayedBar = static_cast<std::uint8_t>(RytmeLaesModel::kCodeBase + 2);
constexpr auto kPerformedBar = static_cast<std::uint8_t>(RytmeLaesModel::kCodeBase + 6);
constexpr auto kWaitingBarOver = static_cast<std::uint8_t>(RytmeLaesModel::kCodeBase + 7);
constexpr auto kLastBarOver = static_cast<std::uint8_t>(RytmeLaesModel::kCodeBase + 8);
constexpr auto kBeforeLastBeat = static_cast<std::uint8_t>(RytmeLaesModel::kCodeBase + 9);

std::uint32_t SaturatingAdd(std::uint32_t a, std::uint32_t b)
{
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    return a > kMax - b ? kMax : a + b;
}

} // namespace

RytmeLaesModel::RytmeLaesModel(ExerciseSession& session, ControlStripModel& strip,
                               const UIStringTable& strings, IRandom& random, IPrompts& prompts)
    : RhythmExerciseModel(ExerciseKind::RhythmReading, session, strip, strings, random, prompts)
{
    LastScore = 0;
}

void RytmeLaesModel::SetButtons(std::initializer_list<int> buttons, bool enabled)
{
    for (int b : buttons)
        m_strip->ButtonEnabled[static_cast<std::size_t>(b)] = enabled;
}

void RytmeLaesModel::Focus(int button)
{
    m_strip->FocusIndex = button;
}

bool RytmeLaesModel::CanPerform() const
{
    const std::vector<RhythmNote>& notes = m_rytme.List(0);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (notes[i].Rest == 0 && (i == 0 || notes[i - 1].Tied == 0))
            return true;
    }
    return false;
}

void RytmeLaesModel::ApplySetup(const RhythmSetup& block, bool reset)
{
    if (reset) {
        m_session->ClearCounters();
        KeyHeld = false;
    }
    // A performance of the old rhythm must not go on judging the new one.
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
    PlayingBack = false;
    BarCount = 0;
    ScrollTimerOn = false;
    ScrollY = 0;
    MarkedBar = {};
    SetupEngine(block);
    m_rytme.Generate();
    LastScore = 0;
    m_session->Passed = false;
    m_session->Answered = false;
    Recording = false;
    InstructionText = StartText(kStartButton);
    SetButtons({kNewButton, kTapsButton, kRhythmButton, kStopButton}, false);
    SetButtons({kStartButton}, true);
    Focus(kStartButton);
}

ExerciseEffects RytmeLaesModel::Run(const ExerciseRequest& request)
{
    switch (request.Operation) {
    case ExerciseOperation::AutoNewQuestTimerTimer:
        AutoStep();
        break;
    case ExerciseOperation::ResetResults:
        Stop();
        m_session->ClearResults();
        InstructionText = StartText(kStartButton);
        break;
    case ExerciseOperation::MidiInMessage:
        MidiInMessage(request.Message);
        break;
    case ExerciseOperation::NewQuestion:
        NextRhythm();
        break;
    case ExerciseOperation::RepeatQuestion:
        StartPerformance();
        break;
    case ExerciseOperation::ThirdButtonAction:
        PlayTaps();
        break;
    case ExerciseOperation::FourthButtonAction:
        PlayRhythm();
        break;
    case ExerciseOperation::StopPlaying:
        Stop();
        break;
    case ExerciseOperation::EnterExercise:
        ArmAutoNewQuestion(!request.TutorActive && m_settings.AutoNewQuestion);
        break;
    }
    m_effects.Show(ExerciseRepaint::Exercise);
    return TakeEffects();
}

void RytmeLaesModel::AutoStep()
{
    if (m_session->Passed)
        m_rytme.Generate();
    StartPerformance();
}

void RytmeLaesModel::NextRhythm()
{
    m_rytme.Generate();
    StartPerformance();
}

void RytmeLaesModel::StartPerformance()
{
    // A setup that made no rhythm leaves nothing to read: the window stays as it is.
    if (!CanPerform())
        return;
    m_session->Answered = false;
    m_rytme.TapCount = 0;
    MarkBar(0);
    ArmAutoNewQuestion(false);

    SetButtons({kNewButton, kTapsButton, kRhythmButton}, false);
    BarCount = 0;
    InstructionText = m_strings.StrRhythmText2;
    PlayingBack = false;
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();

    m_rytme.HasTaps = 0;
    m_rytme.RecordTap(true);
    m_rytme.QueueMetronomeBar(false, kWaitingBarOver, kBeforeLastBeat, true, true);

    Recording = true;
    SetButtons({kStartButton}, false);
    SetButtons({kStopButton}, true);
    Focus(kStopButton);
    PutQuestion();
}

void RytmeLaesModel::PlayTaps()
{
    // Only taps of a judged performance are kept, relative to its start; without any there is
    // nothing to hear and no playback that would end by itself.
    if (m_rytme.TapCount <= 0)
        return;
    ArmAutoNewQuestion(false);
    SetButtons({kNewButton, kStartButton}, false);
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
    PlayingBack = true;
    BarCount = 0;
    m_rytme.PlayTaps(kCodeBase);
    SetButtons({kStopButton}, true);
    SetButtons({kTapsButton, kRhythmButton}, false);
    InstructionText = m_strings.StrRhythmText4;
}

void RytmeLaesModel::PlayRhythm()
{
    if (!CanPerform())
        return;
    ArmAutoNewQuestion(false);
    SetButtons({kNewButton, kStartButton, kTapsButton, kRhythmButton}, false);
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
    PlayingBack = true;
    BarCount = 0;
    m_rytme.PlayRhythm(kCodeBase, 0, true);
    SetButtons({kStopButton}, true);
    InstructionText = m_strings.StrRhythmText3;
}

void RytmeLaesModel::Stop()
{
    ScrollTimerOn = false;
    ArmAutoNewQuestion(false);
    RestMetronome();
    BarCount = 0;
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
    SetButtons({kStopButton}, false);
    InstructionText.clear();
    SetButtons({kStartButton}, true);
    if (PlayingBack) {
        PlayingBack = false;
        SetButtons({kTapsButton, kRhythmButton}, true);
    } else {
        // A stopped performance is forgotten; taps after it are not recorded, or they would
        // stand as absolute times among the relative ones a playback expects.
        m_rytme.TapCount = 0;
        m_rytme.HasTaps = 0;
        Recording = false;
        Focus(kStartButton);
    }
    SetButtons({kNewButton}, true);
    ScrollY = 0;
    MarkBar(0);
}

void RytmeLaesModel::PedalDown()
{
    if (m_strip->ButtonEnabled[kStopButton])
        Stop();
    else
        AutoStep();
}

void RytmeLaesModel::SequencerNotify(int code)
{
    const int bars = m_rytme.Bars;
    const auto firstBar = static_cast<std::uint8_t>(m_rytme.FirstBarRest + 1);
    switch (code) {
    case kCountInOver:
        if (!PlayingBack) {
            m_rytme.RecordTap(true);
            InstructionText = TurnText;
        }
        MarkBar(1);
        break;
    case kPlayedBar:
        ++BarCount;
        MarkBar(BarCount + 1);
        if (BarCount < bars) {
            ScrollTimerOn = true;
            break;
        }
        ScrollTimerOn = false;
        BarCount = 0;
        if (PlayingBack) {
            PlayingBack = false;
            SetButtons({kNewButton}, true);
        } else {
            Finish();
        }
        InstructionText.clear();
        SetButtons({kStopButton}, false);
        SetButtons({kStartButton, kTapsButton, kRhythmButton}, true);
        ScrollY = 0;
        break;
    case kBeforeLastBeat:
        if (m_rytme.HasTaps != 0) {
            EarlyStart = false;
            if (bars > 1) {
                BarCount = firstBar;
                m_rytme.QueueWaitBars(kCodeBase, bars - BarCount);
            }
        } else {
            // A tap in the coming last beat starts the performance at the next bar line,
            // unless the rhythm opens with a rest that is shorter than the bar.
            EarlyStart =
                (m_rytme.Count(0) > 0 && m_rytme.Note(0, 1).Rest == 0) || m_rytme.FirstBarRest != 0;
            m_rytme.QueueMetronomeBar(false, kWaitingBarOver, kBeforeLastBeat, true, true);
        }
        break;
    case kWaitingBarOver:
        if (m_rytme.HasTaps != 0) {
            if (bars == 1 && !EarlyStart) {
                EndAttempt();
                break;
            }
            if (EarlyStart) {
                // The taps just before this bar line count as early taps of the first note.
                m_rytme.RecordTap(true);
                EarlyStart = false;
            } else if (BarCount == 0) {
                BarCount = firstBar;
            }
            MarkBar(BarCount + 1);
        } else {
            // Until the user starts, the performance starts at every bar line.
            m_rytme.RecordTap(true);
            InstructionText = TurnText;
        }
        break;
    case kPerformedBar:
        ++BarCount;
        MarkBar(BarCount + 1);
        ScrollTimerOn = true;
        break;
    case kLastBarOver:
        EndAttempt();
        break;
    default:
        break;
    }
}

void RytmeLaesModel::EndAttempt()
{
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
    BarCount = 0;
    ScrollTimerOn = false;
    InstructionText.clear();
    SetButtons({kStopButton}, false);
    SetButtons({kStartButton, kTapsButton, kRhythmButton}, true);
    Finish();
    ScrollY = 0;
}

void RytmeLaesModel::Finish()
{
    m_session->Answered = true;
    Recording = false;
    MarkBar(0);
    ScrollY = 0;
    if (!CanPerform()) {
        // Nothing to judge: no score is counted.
        m_session->Answered = false;
        return;
    }
    QString verdict = InstructionText;
    LastScore = m_rytme.Evaluate(m_settings.PassMark, verdict);
    m_session->Passed = LastScore >= m_settings.PassMark;
    InstructionText = verdict;
    // The counters come first: the score shown and the tutor judge by them.
    m_session->QuestionCount = SaturatingAdd(m_session->QuestionCount, 1);
    m_session->CorrectCount = SaturatingAdd(m_session->CorrectCount, LastScore);
    Scored(m_session->Passed);
}

ExerciseEffects RytmeLaesModel::ContinueAfterAnswer()
{
    if (m_settings.AutoNewQuestion)
        ArmAutoNewQuestion(true);
    SetButtons({kNewButton}, true);
    Focus(m_session->Passed ? kNewButton : kStartButton);
    m_effects.Show(ExerciseRepaint::Exercise);
    return TakeEffects();
}

void RytmeLaesModel::ScrollTimerTick()
{
    const int bar = BarCount + 1;
    const int drawn = m_rytme.BarsDrawn[0];
    // The current bar's line is at the top (or the view can scroll no further): done.
    if (bar < 1 || bar > drawn || ScrollY >= ScrollLimit ||
        m_rytme.BarLine[0][static_cast<std::size_t>(bar)] * kRhythmLineHeight <= ScrollY) {
        ScrollTimerOn = false;
        return;
    }
    ScrollY += 2;
}

} // namespace pv
