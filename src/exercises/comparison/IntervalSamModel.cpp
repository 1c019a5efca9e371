// How the interval comparison exercise takes its setup, puts and plays a question and scores
// the answer.
#include "exercises/comparison/IntervalSamModel.h"

#include "exercises/setup/ExerciseSetup.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <utility>

namespace pv {
namespace {

/// How often B is drawn again before a source that keeps giving A's item is given up on.
constexpr int kItemDrawAttempts = 64;

} // namespace

IntervalSamModel::IntervalSamModel(ExerciseSession& session, ControlStripModel& strip,
                                   const UIStringTable& strings)
    : m_session(&session), m_strip(&strip), m_strings(&strings)
{
}

void IntervalSamModel::SetupIntervalCompare(const ExerciseSetup& setup, const ItemTables& items,
                                            const ComparisonSettings& settings, bool reset)
{
    SetupIntervalCompare(setup.IntervalComparison, items.IntervalIdentification, settings, reset);
}

void IntervalSamModel::SetupIntervalCompare(const OptionBlock& block, const ItemTable& intervals,
                                            const ComparisonSettings& settings, bool reset)
{
    Settings = settings;
    if (reset) {
        QuestionText.clear();
        RightPictureShown = false;
        m_session->ClearCounters();
    }
    m_session->Answered = true;
    m_strip->ButtonEnabled[0] = true;
    for (std::size_t b = 1; b <= 3; ++b)
        m_strip->ButtonEnabled[b] = false;
    m_strip->FocusIndex = 0;

    PlayStyleCount = 0;
    for (std::uint8_t s = 0; s < 3; ++s) {
        if (block.PlayStyles[s] != 0)
            PlayStyles[PlayStyleCount++] = s;
    }
    if (PlayStyleCount == 0) {
        PlayStyles[0] = 0;
        PlayStyleCount = 1;
    }
    CommonRoot = block.ShowKeySignature != 0;

    // Reckoned in int: a highest note below the lowest must not wrap to hundreds of roots.
    CompareLow = block.LowestNote;
    CompareSpan = std::max(1, static_cast<int>(block.HighestNote) - CompareLow);

    // An item of fewer than two notes has no span to compare (an empty user slot), and more
    // than twelve notes only a damaged table can hold.
    CompareItemCount = 0;
    for (int i = 1; i <= kCompareItemCapacity; ++i) {
        const auto slot = static_cast<std::size_t>(i - 1);
        const int count = intervals.Counts[slot];
        if (block.ItemFlags[slot] == 0 || count < 2 || count > static_cast<int>(kItemNoteCount))
            continue;
        CompareItem& item = CompareItems[++CompareItemCount];
        item = CompareItem{};
        const ItemDefinition& def = intervals.Items[slot];
        for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k)
            item.Offsets[k] = def.Notes[k].Note - def.Notes[0].Note;
        item.NoteCount = static_cast<std::uint8_t>(count);
        item.Name = intervals.Names[slot].left(kCompareNameCapacity);
    }
}

bool IntervalSamModel::NewQuestion()
{
    if (CompareItemCount < 2) {
        m_strip->ButtonEnabled[0] = false;
        return false;
    }
    PanelA = ComparePanelColour::Face;
    PanelB = ComparePanelColour::Face;
    BlinkRunning = false;
    BlinkCount = 0;
    AutoNewQuestionArmed = false;
    LetterCaptions = true;

    GenerateQuestion();
    PlayBoth(kGapBeforeB);

    QuestionText = m_strings->StrComparisonText;
    RightPictureShown = false;
    m_strip->ButtonEnabled[0] = false;
    return true;
}

void IntervalSamModel::GenerateQuestion()
{
    // A source that answers outside its range must not reach past the item list.
    const auto draw = [this](int range) {
        return std::clamp(m_random->Random(range), 0, std::max(0, range - 1));
    };
    m_random->Randomize();
    const int rootA = CompareLow + draw(CompareSpan);
    const int rootB = CommonRoot ? rootA : CompareLow + draw(CompareSpan);
    CurrentPlayStyle = PlayStyles[static_cast<std::size_t>(draw(PlayStyleCount))];
    const int count = CompareItemCount;
    ItemA = static_cast<std::uint8_t>(draw(count) + 1);
    ItemB = ItemA;
    for (int attempt = 0; attempt < kItemDrawAttempts && ItemB == ItemA; ++attempt)
        ItemB = static_cast<std::uint8_t>(draw(count) + 1);
    if (ItemB == ItemA)
        ItemB = static_cast<std::uint8_t>(ItemA % count + 1);

    CountA = PlaceInterval(CompareItems[ItemA], rootA, NotesA);
    CountB = PlaceInterval(CompareItems[ItemB], rootB, NotesB);
    LargerOne = 0;
    m_session->Answered = false;
}

std::uint8_t IntervalSamModel::PlaceInterval(const CompareItem& item, int root,
                                             std::array<TNoteRec, kItemNoteCount>& notes)
{
    const int count = std::clamp<int>(item.NoteCount, 0, static_cast<int>(kItemNoteCount));
    notes.fill(TNoteRec{});
    if (count == 0)
        return 0;
    const auto first = item.Offsets.begin();
    const auto [low, high] = std::minmax_element(first, first + count);
    // The whole interval moves by octaves, so its span (what the user judges) stays exact.
    int shift = 0;
    while (root + *high + shift > 127 && root + *low + shift - 12 >= 0)
        shift -= 12;
    while (root + *low + shift < 0 && root + *high + shift + 12 <= 127)
        shift += 12;
    for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
        const int note = std::clamp(root + item.Offsets[k] + shift, 0, 127);
        notes[k].Pitch.Note = static_cast<std::int8_t>(note);
    }
    return static_cast<std::uint8_t>(count);
}

void IntervalSamModel::PlayBoth(std::uint32_t gap)
{
    PanelA = ComparePanelColour::Yellow;
    const auto style = static_cast<TPlayMode>(CurrentPlayStyle);
    if (m_midiOut != nullptr) {
        m_midiOut->StopQueue();
        m_midiOut->PlayNotes(NotesA, CountA, style, false);
        m_midiOut->QueueWait(SequencerQueue::Music, gap);
        m_midiOut->QueueNotify(kNotifyEndOfA);
        m_midiOut->PlayNotes(NotesB, CountB, style, false);
        m_midiOut->QueueNotify(kNotifyEndOfB);
    }
    m_strip->ButtonEnabled[4] = true;
    m_strip->FocusIndex = 4;
    if (m_midiOut != nullptr) {
        m_midiOut->QueueNotify(kNotifyComparisonEnd);
        m_midiOut->StartQueue();
    }
}

void IntervalSamModel::PlayOne(CompareChoice choice)
{
    // Before the first question there is nothing to play again.
    if (CountA == 0)
        return;
    const bool a = choice == CompareChoice::A;
    m_strip->ButtonEnabled[4] = true;
    if (m_midiOut == nullptr)
        return;
    m_midiOut->StopQueue();
    m_midiOut->PlayNotes(a ? NotesA : NotesB, a ? CountA : CountB,
                         static_cast<TPlayMode>(CurrentPlayStyle), false);
    m_midiOut->QueueNotify(kNotifyComparisonEnd);
    m_midiOut->StartQueue();
}

void IntervalSamModel::RepeatQuestion()
{
    if (CountA == 0)
        return;
    m_strip->ButtonEnabled[1] = false;
    PlayBoth(kRepeatGapBeforeB);
}

int IntervalSamModel::SpanOf(CompareChoice choice) const
{
    const bool a = choice == CompareChoice::A;
    const auto& notes = a ? NotesA : NotesB;
    if ((a ? CountA : CountB) < 2)
        return 0;
    return notes[1].Pitch.Note - notes[0].Pitch.Note;
}

void IntervalSamModel::Answer(CompareChoice choice)
{
    if (m_session->Answered) {
        PlayOne(choice);
        return;
    }
    m_session->Answered = true;
    m_strip->ButtonEnabled[0] = true;
    m_strip->FocusIndex = 0;
    BlinkRunning = true;
    BlinkCount = 0;

    // Equal spans (a user's item that repeats a built-in one) count B as the larger.
    const CompareChoice larger =
        SpanOf(CompareChoice::A) <= SpanOf(CompareChoice::B) ? CompareChoice::B : CompareChoice::A;
    LargerOne = static_cast<std::uint8_t>(larger);
    const bool right = choice == larger;
    LastAnswerRight = right;
    m_session->CountAnswer(right);
    RightPictureShown = right;
    QuestionText = right ? m_strings->StrScore : m_strings->StrComparisonText2;
    ColourResult();
    LetterCaptions = false;
    AutoNewQuestionArmed =
        Settings.AutoNewQuestion && (right || !Settings.AutoNewQuestionOnlyRight);
    m_effects.Scored(right);
}

void IntervalSamModel::ColourResult()
{
    if (LargerOne == 0)
        return;
    const auto larger = static_cast<CompareChoice>(LargerOne);
    Panel(larger) = ComparePanelColour::Green;
    if (!LastAnswerRight)
        Panel(OtherChoice(larger)) = ComparePanelColour::Red;
}

void IntervalSamModel::StopPlaying()
{
    if (m_midiOut != nullptr)
        m_midiOut->StopQueue();
    m_strip->ButtonEnabled[0] = true;
    m_strip->ButtonEnabled[1] = true;
    m_strip->ButtonEnabled[4] = false;
    if (!m_session->Answered) {
        m_strip->ButtonEnabled[2] = true;
        m_strip->ButtonEnabled[3] = true;
        m_strip->FocusIndex = 1;
        PanelA = ComparePanelColour::Face;
        PanelB = ComparePanelColour::Face;
    } else {
        m_strip->FocusIndex = 0;
    }
}

void IntervalSamModel::SequencerNotify(int code)
{
    switch (code) {
    case kNotifyEndOfA:
        PanelA = ComparePanelColour::Face;
        PanelB = ComparePanelColour::Yellow;
        break;
    case kNotifyEndOfB:
        PanelB = ComparePanelColour::Face;
        m_strip->ButtonEnabled[1] = true;
        if (m_session->Answered)
            ColourResult();
        break;
    case kNotifyComparisonEnd:
        StopPlaying();
        break;
    default:
        break;
    }
}

void IntervalSamModel::BlinkTick()
{
    if (!BlinkRunning)
        return;
    ++BlinkCount;
    if (LargerOne != 0) {
        Panel(static_cast<CompareChoice>(LargerOne)) =
            BlinkCount % 2 == 1 ? ComparePanelColour::Face : ComparePanelColour::Green;
    }
    if (BlinkCount >= 4) {
        BlinkRunning = false;
        BlinkCount = 0;
    }
}

void IntervalSamModel::ResetResults()
{
    m_session->Answered = true;
    m_strip->ButtonEnabled[0] = true;
    m_strip->ButtonEnabled[1] = false;
    QuestionText.clear();
    // The picture says "right" to the text beside it; without the text it would say it alone.
    RightPictureShown = false;
    m_session->ClearCounters();
}

ScoreDisplay IntervalSamModel::Score() const
{
    ScoreDisplay score;
    score.Gauge = m_session->ScoreGauge();
    score.Label =
        Format(m_strings->StrIdentFormat1, {static_cast<std::int64_t>(m_session->CorrectCount),
                                            static_cast<std::int64_t>(m_session->QuestionCount)});
    return score;
}

ExerciseEffects IntervalSamModel::Run(const ExerciseRequest& request)
{
    switch (request.Operation) {
    case ExerciseOperation::AutoNewQuestTimerTimer:
    case ExerciseOperation::NewQuestion:
        // A question of its own cuts short what the timer would have put.
        m_effects.SwitchAutoNewQuestion(false);
        if (NewQuestion())
            m_effects.PutQuestion();
        break;
    case ExerciseOperation::ResetResults:
        ResetResults();
        break;
    case ExerciseOperation::MidiInMessage:
        // The comparison takes no notes from a keyboard.
        break;
    case ExerciseOperation::RepeatQuestion:
        RepeatQuestion();
        break;
    case ExerciseOperation::ThirdButtonAction:
        Answer(CompareChoice::A);
        break;
    case ExerciseOperation::FourthButtonAction:
        Answer(CompareChoice::B);
        break;
    case ExerciseOperation::StopPlaying:
        StopPlaying();
        break;
    case ExerciseOperation::EnterExercise:
        m_effects.SwitchAutoNewQuestion(AutoNewQuestionOnEnter(request.TutorActive));
        break;
    }
    m_effects.Show(ExerciseRepaint::Exercise);
    return TakeEffects();
}

ExerciseEffects IntervalSamModel::TakeEffects()
{
    return std::exchange(m_effects, ExerciseEffects{});
}

ExerciseEffects IntervalSamModel::ContinueAfterAnswer()
{
    ExerciseEffects next;
    next.SwitchAutoNewQuestion(AutoNewQuestionArmed);
    return next;
}

bool IntervalSamModel::AutoNewQuestionOnEnter(bool tutorActive) const
{
    return !tutorActive && (Settings.AutoNewQuestion || CountA == 0);
}

QString IntervalSamModel::AnswerCaption(CompareChoice choice) const
{
    const bool a = choice == CompareChoice::A;
    const int item = a ? ItemA : ItemB;
    if (LetterCaptions || item < 1 || item > CompareItemCount)
        return a ? QStringLiteral("&A") : QStringLiteral("&B");
    // A name is shown as it is written: an ampersand in it is no mnemonic.
    QString name = CompareItems[static_cast<std::size_t>(item)].Name;
    return name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace pv
