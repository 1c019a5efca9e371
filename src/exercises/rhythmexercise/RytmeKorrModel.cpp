// Rhythm error detection: making a question that has changes, playing either rhythm, marking
// notes and checking the marks.
#include "exercises/rhythmexercise/RytmeKorrModel.h"

#include "music/sequencer/MidiOut.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <limits>

namespace pv {

namespace {

constexpr int kCountInCode = 31;
constexpr int kBarCode = 32;
constexpr int kButtonNew = 0;
constexpr int kButtonChanged = 1;
constexpr int kButtonWritten = 2;
constexpr int kButtonCheck = 3;
constexpr int kButtonStop = 4;

// Where the ellipses sit under a note, from the top of its line.
constexpr int kChangeMarkTop = 54;
constexpr int kChangeMarkBottom = 60;
constexpr int kUserMarkTop = 47;
constexpr int kUserMarkBottom = 53;
constexpr int kMarkWidth = 9;

// A click belongs to the note whose head starts at most this far to its right.
constexpr int kClickSlack = 4;
// Clicks further left than this before the first note are not meant for a note.
constexpr int kClickLeftMargin = 5;

QRect MarkBox(const RhythmNote& note, int top, int bottom)
{
    const int lineTop = note.Line * kRhythmLineHeight;
    return QRect(QPoint(note.X, lineTop + top), QPoint(note.X + kMarkWidth, lineTop + bottom));
}

} // namespace

void detail::OneMessagePrompts::ShowMessage(const QString& text)
{
    if (m_quiet) {
        if (m_shown)
            return;
        m_shown = true;
    }
    m_inner.ShowMessage(text);
}

QString RytmeKorrModel::NoChangesMessage()
{
    return QStringLiteral("PELLIVARK could not make changes\n\rwith the chosen setup!");
}

RytmeKorrModel::RytmeKorrModel(ExerciseSession& session, ControlStripModel& strip,
                               const UIStringTable& strings, IRandom& random, IPrompts& prompts)
    : detail::OneMessagePromptsHolder(prompts),
      RhythmExerciseModel(ExerciseKind::RhythmErrorDetection, session, strip, strings, random,
                          m_filteredPrompts)
{
    m_strip->ButtonEnabled.fill(false);
}

void RytmeKorrModel::ApplySetup(const RhythmSetup& block, bool reset)
{
    if (reset)
        Session().ClearCounters();
    SetupEngine(block);
    VerdictText.clear();
    ClearVerdictLine();
    m_strip->ButtonEnabled[kButtonNew] = false;
    m_strip->ButtonEnabled[kButtonCheck] = false;
    m_strip->ButtonEnabled[kButtonStop] = false;
    if (Playing && m_midiOut != nullptr)
        m_midiOut->StopQueue();
    Playing = false;
    MarkedBar = {0, 0};
    MakeQuestion();
    ShowQuestionButtons();
    m_marked.clear();
    Session().Answered = false;
    ChangedShown = false;
    HintShown = false;
}

ExerciseEffects RytmeKorrModel::Run(const ExerciseRequest& request)
{
    switch (request.Operation) {
    case ExerciseOperation::AutoNewQuestTimerTimer:
    case ExerciseOperation::NewQuestion:
        NextRhythm();
        break;
    case ExerciseOperation::ResetResults:
        Stop();
        Session().ClearResults();
        ClearVerdictLine();
        break;
    case ExerciseOperation::MidiInMessage:
        // No tapping in this exercise.
        break;
    case ExerciseOperation::RepeatQuestion:
        StartPlayback(1);
        break;
    case ExerciseOperation::ThirdButtonAction:
        StartPlayback(0);
        break;
    case ExerciseOperation::FourthButtonAction:
        CheckMarks();
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

void RytmeKorrModel::NextRhythm()
{
    ArmAutoNewQuestion(false);
    if (Playing && m_midiOut != nullptr)
        m_midiOut->StopQueue();
    Playing = false;
    MarkedBar = {0, 0};
    m_marked.clear();
    m_strip->ButtonEnabled[kButtonNew] = false;
    m_strip->ButtonEnabled[kButtonCheck] = false;
    m_strip->ButtonEnabled[kButtonStop] = false;
    ClearVerdictLine();
    VerdictText.clear();
    MakeQuestion();
    ShowQuestionButtons();
    Session().Answered = false;
    ChangedShown = false;
    HintShown = false;
    if (!m_hasQuestion)
        return;
    PutQuestion();
    StartPlayback(1);
}

void RytmeKorrModel::StartPlayback(int list)
{
    // Without a changed rhythm there is nothing to compare: neither rhythm is played.
    if (!m_hasQuestion)
        return;
    PlayingChanged = list == 1;
    ArmAutoNewQuestion(false);
    m_strip->ButtonEnabled[kButtonChanged] = false;
    m_strip->ButtonEnabled[kButtonWritten] = false;
    m_strip->ButtonEnabled[kButtonCheck] = false;
    BarCount = 0;
    MarkedBar = {0, 0};
    InstructionText = m_strings.StrRhythmText2;
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
    m_rytme.PlayRhythm(kCodeBase, list, true);
    Playing = true;
    m_strip->ButtonEnabled[kButtonStop] = true;
    m_strip->FocusIndex = kButtonStop;
}

void RytmeKorrModel::Stop()
{
    ArmAutoNewQuestion(false);
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
    RestMetronome();
    Playing = false;
    MarkedBar = {0, 0};
    m_strip->ButtonEnabled[kButtonStop] = false;
    ShowQuestionButtons();
}

void RytmeKorrModel::SequencerNotify(int code)
{
    // A code of a playback that is over (or of another exercise) changes nothing.
    if (!Playing)
        return;
    const std::size_t list = static_cast<std::size_t>(BarMarkList());
    if (code == kCountInCode) {
        InstructionText = Session().Answered ? VerdictText : m_texts.PlayingText;
        MarkedBar = {0, 0};
        MarkedBar[list] = 1;
    } else if (code == kBarCode) {
        BarCount = static_cast<std::uint8_t>(std::min(BarCount + 1, 255));
        if (BarCount < m_rytme.Bars) {
            MarkedBar = {0, 0};
            MarkedBar[list] = BarCount + 1;
            return;
        }
        Playing = false;
        RestMetronome();
        m_strip->ButtonEnabled[kButtonStop] = false;
        ShowQuestionButtons();
        m_strip->ButtonEnabled[kButtonCheck] = !Session().Answered && m_hasQuestion;
        MarkedBar = {0, 0};
        InstructionText = Session().Answered ? VerdictText : m_texts.MarkText;
        HintShown = !Session().Answered;
    }
}

void RytmeKorrModel::CheckMarks()
{
    // The marks of a question are judged once, and only when there were changes to find.
    if (!m_hasQuestion || Session().Answered || Playing)
        return;
    m_strip->ButtonEnabled[kButtonChanged] = true;
    m_strip->ButtonEnabled[kButtonWritten] = true;
    m_strip->ButtonEnabled[kButtonNew] = true;
    m_strip->ButtonEnabled[kButtonCheck] = false;
    m_strip->FocusIndex = kButtonNew;
    Session().Answered = true;
    ChangedShown = true;
    HintShown = false;

    const std::set<int> changed = ChangedNotes();
    Hits = 0;
    Total = 0;
    Wrong = 0;
    for (int j = 1; j <= m_rytme.Count(0); ++j) {
        if (changed.count(j) != 0) {
            ++Total;
            if (IsMarked(j))
                ++Hits;
        } else if (IsMarked(j)) {
            ++Wrong;
        }
    }

    Session().Passed = Hits == Total && Wrong == 0;
    if (Session().Passed) {
        VerdictText = m_strings.StrScore;
        RightPictureShown = true;
    } else {
        VerdictText = Format(m_texts.VerdictFormat,
                             {std::int64_t{Hits}, std::int64_t{Total}, std::int64_t{Wrong}});
        RightPictureShown = false;
    }
    InstructionText = VerdictText;

    const int points = std::max(0, Hits * 100 - Wrong * 50);
    LastScore = static_cast<std::uint8_t>(std::clamp(points / std::max(1, Total), 0, 100));

    // The counters stand before the answer is carried out, so the score line and a tutor
    // deciding on its step see this answer.
    ExerciseSession& session = Session();
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    session.CorrectCount =
        session.CorrectCount > kMax - LastScore ? kMax : session.CorrectCount + LastScore;
    if (session.QuestionCount < kMax)
        ++session.QuestionCount;
    Scored(session.Passed);
}

ExerciseEffects RytmeKorrModel::ContinueAfterAnswer()
{
    if (m_settings.AutoNewQuestion && (Session().Passed || !m_settings.AutoNewQuestionOnlyRight))
        ArmAutoNewQuestion(true);
    return TakeEffects();
}

bool RytmeKorrModel::MakeQuestion()
{
    m_filteredPrompts.BeginQuiet();
    bool made = false;
    QuestionAttempts = 0;
    while (QuestionAttempts < kQuestionAttempts && !made) {
        ++QuestionAttempts;
        m_rytme.Generate();
        made = m_rytme.MakeCorrections();
    }
    m_filteredPrompts.EndQuiet();
    m_hasQuestion = made;
    if (!made) {
        // Nothing changed is left to play or judge.
        m_rytme.List(1).clear();
        m_rytme.Corrections.clear();
        m_prompts.ShowError(NoChangesMessage(), m_strings.StrMessageTitle);
        return false;
    }
    DrawWritten();
    return true;
}

void RytmeKorrModel::SetDrawingWidth(int width)
{
    m_width = std::max(0, width);
}

RhythmDisplayList RytmeKorrModel::DrawWritten()
{
    return m_rytme.Draw(0, m_width, m_settings.NotationSpacing);
}

RhythmDisplayList RytmeKorrModel::DrawChanged(int width)
{
    if (!ChangedShown || !m_hasQuestion)
        return RhythmDisplayList{};
    return m_rytme.Draw(1, width, m_settings.NotationSpacing);
}

std::vector<RytmeKorrMark> RytmeKorrModel::Marks() const
{
    std::vector<RytmeKorrMark> marks;
    const int count = m_rytme.Count(0);
    if (Session().Answered && m_hasQuestion) {
        for (int j : ChangedNotes()) {
            if (j < 1 || j > count)
                continue;
            marks.push_back({MarkBox(m_rytme.Note(0, j), kChangeMarkTop, kChangeMarkBottom),
                             IsMarked(j) ? kKorrFoundRgb : kKorrMissedRgb});
        }
    }
    for (int j : m_marked) {
        if (j >= 1 && j <= count)
            marks.push_back(
                {MarkBox(m_rytme.Note(0, j), kUserMarkTop, kUserMarkBottom), kKorrMarkRgb});
    }
    return marks;
}

bool RytmeKorrModel::ClickWritten(QPoint at)
{
    const int count = m_rytme.Count(0);
    if (Session().Answered || !m_hasQuestion || count == 0)
        return false;
    if (at.x() < m_rytme.Note(0, 1).X - kClickLeftMargin || at.y() < 0)
        return false;
    const int line = at.y() / kRhythmLineHeight;
    for (int j = count; j >= 1; --j) {
        const RhythmNote& note = m_rytme.Note(0, j);
        if (note.Line == line && note.X - kClickSlack <= at.x()) {
            if (!m_marked.erase(j))
                m_marked.insert(j);
            return true;
        }
    }
    // A point with no note at or before it on its line (below the last line, say) is no note.
    return false;
}

void RytmeKorrModel::ClearVerdictLine()
{
    InstructionText.clear();
    RightPictureShown = false;
}

void RytmeKorrModel::ShowQuestionButtons()
{
    // Without a changed rhythm only a new question makes sense.
    m_strip->ButtonEnabled[kButtonChanged] = m_hasQuestion;
    m_strip->ButtonEnabled[kButtonWritten] = m_hasQuestion;
    if (!m_hasQuestion) {
        m_strip->ButtonEnabled[kButtonNew] = true;
        m_strip->ButtonEnabled[kButtonCheck] = false;
        m_strip->FocusIndex = kButtonNew;
    } else {
        m_strip->FocusIndex = kButtonChanged;
    }
}

std::set<int> RytmeKorrModel::ChangedNotes() const
{
    std::set<int> changed;
    for (const RhythmCorrection& c : m_rytme.Corrections) {
        changed.insert(c.NoteIndex);
        if (c.Change != RhythmChange::Split)
            changed.insert(c.NoteIndex + 1);
    }
    return changed;
}

} // namespace pv
