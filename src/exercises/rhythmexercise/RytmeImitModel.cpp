// The phases of rhythm imitation: demonstration, waiting bars, the attempt and its judgement.
#include "exercises/rhythmexercise/RytmeImitModel.h"

#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <limits>

namespace pv {

namespace {

constexpr int kLineHeight = 64;
constexpr int kScrollStep = 2;
constexpr int kNewQuestionButton = 0;

void AddSaturating(std::uint32_t& counter, std::uint32_t amount)
{
    const std::uint32_t room = std::numeric_limits<std::uint32_t>::max() - counter;
    counter += std::min(room, amount);
}

} // namespace

RytmeImitModel::RytmeImitModel(ExerciseSession& session, ControlStripModel& strip,
                               const UIStringTable& strings, IRandom& random, IPrompts& prompts)
    : RhythmExerciseModel(ExerciseKind::RhythmImitation, session, strip, strings, random, prompts)
{
    InstructionText = StartText(kNewQuestionButton);
}

void RytmeImitModel::ApplySetup(const RhythmSetup& block, bool reset)
{
    if (reset) {
        m_session->ClearCounters();
        KeyHeld = false;
        LastScore = 100;
        m_session->Passed = true;
    }
    m_showSecondTime = block.ShowSecondTime != 0;
    // A setup may come while an attempt or a playback runs: its codes no longer apply.
    if (Recording || PlayingTaps)
        StopQueue();
    PlayingTaps = false;
    Recording = false;
    SetupEngine(block);
    m_rytme.Generate();
    SetButtons(true, false, false, false, false);
    m_strip->FocusIndex = 0;
    NotationShown = false;
    StripShown = true;
    InstructionText = StartText(kNewQuestionButton);
    SetPhase(0);
    MarkBar(0);
    BarCount = 0;
    ScrollTimerOn = false;
    m_session->Answered = false;
}

ExerciseEffects RytmeImitModel::Run(const ExerciseRequest& request)
{
    switch (request.Operation) {
    case ExerciseOperation::AutoNewQuestTimerTimer:
    case ExerciseOperation::NewQuestion:
        NextRhythm();
        break;
    case ExerciseOperation::ResetResults:
        Stop();
        m_session->ClearResults();
        InstructionText = StartText(kNewQuestionButton);
        break;
    case ExerciseOperation::MidiInMessage:
        MidiInMessage(request.Message);
        break;
    case ExerciseOperation::RepeatQuestion:
        Demonstrate();
        break;
    case ExerciseOperation::ThirdButtonAction:
        PlayTaps();
        break;
    case ExerciseOperation::FourthButtonAction:
        ShowNotation();
        break;
    case ExerciseOperation::StopPlaying:
        Stop();
        break;
    case ExerciseOperation::EnterExercise:
        if (!request.TutorActive && m_settings.AutoNewQuestion)
            ArmAutoNewQuestion(true);
        break;
    }
    m_effects.Show(ExerciseRepaint::Exercise);
    return TakeEffects();
}

void RytmeImitModel::NextRhythm()
{
    LastScore = 100;
    NotationShown = false;
    m_rytme.Generate();
    Demonstrate();
}

void RytmeImitModel::Demonstrate()
{
    m_session->Answered = false;
    ArmAutoNewQuestion(false);
    if (!HasNotesToTap()) {
        // A setup that cannot make a rhythm (its message was shown when generating): nothing is
        // played and nothing can be judged, but a new question or another setup may still come.
        StopQueue();
        Recording = false;
        PlayingTaps = false;
        SetPhase(0);
        MarkBar(0);
        BarCount = 0;
        ScrollTimerOn = false;
        SetButtons(true, false, false, false, false);
        m_strip->FocusIndex = 0;
        InstructionText = StartText(kNewQuestionButton);
        return;
    }
    if (!m_strip->ButtonEnabled[4]) {
        SetButtons(false, false, false, false, true);
        m_strip->FocusIndex = 4;
    }
    StopQueue();
    PlayingTaps = false;
    InstructionText = m_strings.StrRhythmText2;
    BarCount = 0;
    SetPhase(1);
    MarkBar(0);
    m_rytme.PlayRhythm(kCodeBase, 0, true);
    m_rytme.TapCount = 0;
    m_rytme.HasTaps = 0;
    QueueWaitingBar();
    Recording = true;
    PutQuestion();
}

void RytmeImitModel::PlayTaps()
{
    ScrollTimerOn = false;
    m_strip->ButtonEnabled[0] = false;
    m_strip->ButtonEnabled[1] = false;
    SetPhase(0);
    StripShown = false;
    StopQueue();
    PlayingTaps = true;
    BarCount = 0;
    m_rytme.PlayTaps(kCodeBase);
    m_strip->ButtonEnabled[4] = true;
    m_strip->ButtonEnabled[2] = false;
    InstructionText = m_strings.StrRhythmText4;
    // Without a tap (or without an output) nothing plays and no code would ever end the
    // playback: it ends at once.
    if (m_rytme.TapCount <= 0 || m_midiOut == nullptr)
        Stop();
}

void RytmeImitModel::ShowNotation()
{
    m_strip->ButtonEnabled[3] = false;
    NotationShown = true;
}

void RytmeImitModel::Stop()
{
    LastScore = 0;
    m_session->Passed = false;
    m_strip->ButtonEnabled[4] = false;
    StopQueue();
    RestMetronome();
    // A stopped attempt listens no more: a later tap belongs to no question.
    Recording = false;
    StripShown = true;
    SetPhase(0);
    MarkBar(0);
    ScrollTimerOn = false;
    ScrollY = 0;
    m_strip->ButtonEnabled[1] = true;
    m_strip->ButtonEnabled[3] = !NotationShown;
    m_strip->ButtonEnabled[0] = true;
    m_strip->ButtonEnabled[2] = m_session->Answered;
    if (PlayingTaps)
        PlayingTaps = false;
    else
        m_strip->FocusIndex = 1;
}

void RytmeImitModel::SequencerNotify(int code)
{
    // Codes come only from a running demonstration, attempt or playback of the taps; a late
    // one after a setup or a stop has nothing to move.
    if (!Recording && !PlayingTaps)
        return;
    const int bars = m_rytme.Bars;
    switch (code) {
    case kCountInOver:
        if (!PlayingTaps)
            InstructionText = Texts.Playing;
        SetPhase(2);
        MarkBar(1);
        break;
    case kBarPlayed:
        ++BarCount;
        SetPhase(BarCount + 2);
        MarkBar(BarCount + 1);
        if (BarCount >= bars) {
            if (PlayingTaps) {
                Stop();
            } else {
                // Taps made along with the demonstration are no attempt: the user's turn
                // starts with none.
                m_rytme.TapCount = 0;
                m_rytme.HasTaps = 0;
                m_rytme.RecordTap(true);
                InstructionText = Texts.Turn;
            }
            ScrollY = 0;
            BarCount = 0;
        } else {
            ScrollTimerOn = true;
        }
        break;
    case kBeforeLastBeat:
        if (PlayingTaps)
            break;
        if (m_rytme.HasTaps != 0) {
            EarlyStart = false;
            if (bars > 1) {
                BarCount = static_cast<std::uint8_t>(m_rytme.FirstBarRest + 1);
                m_rytme.QueueWaitBars(kCodeBase, std::max(0, bars - BarCount));
            }
        } else {
            const bool startsWithNote = m_rytme.Count(0) > 0 && m_rytme.Note(0, 1).Rest == 0;
            EarlyStart = startsWithNote || m_rytme.FirstBarRest != 0;
            ++BarCount;
            if (BarCount < kIdleBarsBeforeReplay) {
                QueueWaitingBar();
            } else {
                InstructionText = Texts.Playing;
                m_rytme.PlayRhythm(kCodeBase, 0, false);
                QueueWaitingBar();
                BarCount = 0;
                SetPhase(1);
            }
        }
        break;
    case kWaitingBarOver:
        if (PlayingTaps)
            break;
        if (m_rytme.HasTaps == 0) {
            if (Phase == 1) {
                SetPhase(2);
                MarkBar(1);
            }
            // Until the user starts, the attempt's clock restarts at every bar line.
            m_rytme.RecordTap(true);
        } else if (bars == 1 && !EarlyStart) {
            Finish();
        } else {
            MarkBar(BarCount + 1);
            if (EarlyStart) {
                // The taps just before this bar line are early taps of the first note.
                m_rytme.RecordTap(true);
                EarlyStart = false;
            } else if (BarCount == 0) {
                BarCount = static_cast<std::uint8_t>(m_rytme.FirstBarRest + 1);
                MarkBar(BarCount + 1);
            }
        }
        break;
    case kImitationBar:
        if (PlayingTaps)
            break;
        ++BarCount;
        MarkBar(BarCount + 1);
        ScrollTimerOn = true;
        break;
    case kImitationOver:
        if (PlayingTaps)
            break;
        Finish();
        ScrollY = 0;
        break;
    default:
        break;
    }
}

void RytmeImitModel::ScrollTimerTick()
{
    const int bar = std::clamp(BarCount + 1, 1, kRhythmMaxBars);
    const int line = m_rytme.BarLine[0][static_cast<std::size_t>(bar)];
    if (BarCount > 0 && line * kLineHeight > ScrollY)
        ScrollY += kScrollStep;
    else
        ScrollTimerOn = false;
}

void RytmeImitModel::PedalDown()
{
    if (m_strip->ButtonEnabled[0])
        NextRhythm();
    else
        Stop();
}

void RytmeImitModel::SetPhase(int phase)
{
    Phase = phase;
}

void RytmeImitModel::QueueWaitingBar()
{
    m_rytme.QueueMetronomeBar(false, kWaitingBarOver, kBeforeLastBeat, true, true);
}

void RytmeImitModel::Finish()
{
    Recording = false;
    m_session->Answered = true;
    AddSaturating(m_session->QuestionCount, 1);
    const std::uint8_t passMark = m_settings.PassMark;
    QString text = InstructionText;
    LastScore = m_rytme.Evaluate(passMark, text);
    InstructionText = text;
    const bool passed = LastScore >= passMark;
    m_session->Passed = passed;
    // Counted before the answer is carried out, so the score shown and the tutor asked see it.
    AddSaturating(m_session->CorrectCount, LastScore);
    Scored(passed);
}

ExerciseEffects RytmeImitModel::ContinueAfterAnswer()
{
    const bool passed = m_session->Passed;
    bool show = false;
    if (m_settings.AutoNewQuestion) {
        show = !passed && m_showSecondTime;
        if (passed)
            NextRhythm();
        else
            Demonstrate();
    } else {
        show = m_showSecondTime;
        Stop();
        if (passed)
            m_strip->FocusIndex = 0;
    }
    if (show) {
        ShowNotation();
    } else {
        NotationShown = false;
        // Idle again with the notation hidden: button 3 can show it.
        if (!m_settings.AutoNewQuestion)
            m_strip->ButtonEnabled[3] = true;
    }
    m_effects.Show(ExerciseRepaint::Exercise);
    return TakeEffects();
}

bool RytmeImitModel::HasNotesToTap() const
{
    const std::vector<RhythmNote>& notes = m_rytme.List(0);
    return std::any_of(notes.begin(), notes.end(),
                       [](const RhythmNote& note) { return note.Rest == 0; });
}

void RytmeImitModel::SetButtons(bool b0, bool b1, bool b2, bool b3, bool b4)
{
    m_strip->ButtonEnabled = {b0, b1, b2, b3, b4};
}

void RytmeImitModel::StopQueue()
{
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
}

} // namespace pv
