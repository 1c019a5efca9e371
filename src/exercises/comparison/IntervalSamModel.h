// The interval comparison exercise without a screen: two different intervals drawn from the
// enabled interval items, played one after the other as A and B, the answer which of them is
// larger, the blinking result panel, the score and the automatic next question.
#pragma once

#include "exercises/base/ControlStripModel.h"
#include "exercises/base/ExerciseProtocol.h"
#include "exercises/items/ItemTables.h"
#include "exercises/session/ExerciseSession.h"
#include "music/base/Random.h"
#include "music/notation/NoteRec.h"

#include <array>
#include <cstdint>
#include <functional>

#include <QString>

namespace pv {

struct ExerciseSetup;
struct OptionBlock;
struct UIStringTable;
class TMidiOut;

/// Notification codes a comparison playback sends back to its window.
inline constexpr std::uint16_t kNotifyEndOfA = 41;
inline constexpr std::uint16_t kNotifyEndOfB = 42;
inline constexpr std::uint16_t kNotifyComparisonEnd = 45;

/// The ticks between A and B: a new question leaves a short gap, a repeat a longer one.
inline constexpr std::uint32_t kGapBeforeB = 400;
inline constexpr std::uint32_t kRepeatGapBeforeB = 800;

/// Interval items one setup can ask, and the length their names are cut to.
inline constexpr int kCompareItemCapacity = 30;
inline constexpr int kCompareNameCapacity = 15;

/// Point sizes of the answer buttons' captions: the letters while the question is open, the
/// interval names after the answer.
inline constexpr int kAnswerLetterPointSize = 36;
inline constexpr int kAnswerNamePointSize = 14;

/// The two intervals of a question.
enum class CompareChoice : std::uint8_t
{
    A = 1,
    B = 2,
};

/// Colour of the panel behind an answer button.
enum class ComparePanelColour : std::uint8_t
{
    Face = 0,   ///< the system button face
    Yellow = 1, ///< the interval is playing
    Green = 2,  ///< the larger interval, after the answer
    Red = 3,    ///< the smaller interval, after a wrong answer
};

/// One interval the exercise may ask: its notes as semitones from its first note.
struct CompareItem
{
    std::array<int, kItemNoteCount> Offsets{};
    std::uint8_t NoteCount = 0; ///< 2..12
    QString Name;               ///< at most kCompareNameCapacity characters
};

/// The program settings the exercise reads.
struct ComparisonSettings
{
    bool AutoNewQuestion = false;          ///< put the next question by itself after an answer
    bool AutoNewQuestionOnlyRight = false; ///< ... only after a right answer
};

class IntervalSamModel final : public IExerciseModel
{
public:
    /// session is the kind's and strip the window's control strip; strings are the interface
    /// texts. All three must outlive the model.
    IntervalSamModel(ExerciseSession& session, ControlStripModel& strip,
                     const UIStringTable& strings);

    /// The random source of every draw; it must outlive the model.
    void SetRandom(IRandom& random) { m_random = &random; }
    /// The output A and B are played through; null plays nothing. It must outlive the model.
    void SetMidiOut(TMidiOut* midiOut) { m_midiOut = midiOut; }

    /// Takes the interval comparison block of the setup and the interval identification items;
    /// reset also clears the counters and the result text.
    void SetupIntervalCompare(const ExerciseSetup& setup, const ItemTables& items,
                              const ComparisonSettings& settings, bool reset);
    void SetupIntervalCompare(const OptionBlock& block, const ItemTable& intervals,
                              const ComparisonSettings& settings, bool reset);

    /// Draws and plays a new question. False (and "new question" disabled) when fewer than two
    /// intervals are enabled.
    bool NewQuestion();
    /// Draws the two intervals, their roots and the play style; nothing is played.
    void GenerateQuestion();
    /// Plays A and B again with a longer gap between them.
    void RepeatQuestion();
    /// The user chose A or B: scores an open question; after the answer plays the chosen
    /// interval on its own.
    void Answer(CompareChoice choice);
    void StopPlaying();
    /// A code the sequencer sent back (41, 42, 45; others are ignored).
    void SequencerNotify(int code);
    /// One tick of the result panel's blink.
    void BlinkTick();
    /// Clears the counters, closes the question and empties the result text.
    void ResetResults();
    ScoreDisplay Score() const override;

    // The exercise protocol.
    ExerciseEffects Run(const ExerciseRequest& request) override;
    ExerciseEffects TakeEffects() override;
    /// The automatic new question as the answer armed it.
    ExerciseEffects ContinueAfterAnswer() override;

    /// Whether entering the exercise arms the automatic new question: without a tutor, when the
    /// settings ask for it or no question has been put yet.
    bool AutoNewQuestionOnEnter(bool tutorActive) const;

    /// The caption of an answer button: its letter with its mnemonic while the question is
    /// open, the interval's name after the answer.
    QString AnswerCaption(CompareChoice choice) const;
    int AnswerPointSize() const
    {
        return LetterCaptions ? kAnswerLetterPointSize : kAnswerNamePointSize;
    }
    ComparePanelColour PanelColour(CompareChoice choice) const
    {
        return choice == CompareChoice::A ? PanelA : PanelB;
    }
    /// The span of an interval of the question: its second note less its first.
    int SpanOf(CompareChoice choice) const;

    ExerciseSession& Session() { return *m_session; }
    const ExerciseSession& Session() const { return *m_session; }
    ControlStripModel& Strip() { return *m_strip; }
    const ControlStripModel& Strip() const { return *m_strip; }

    // The fields below keep the names the rest of the exercise knows them by.
    std::array<CompareItem, kCompareItemCapacity + 1> CompareItems{}; ///< [1..CompareItemCount]
    std::uint8_t CompareItemCount = 0;
    int CompareLow = 60;
    int CompareSpan = 1;     ///< roots are CompareLow .. CompareLow + CompareSpan - 1
    bool CommonRoot = false; ///< A and B start on the same note
    std::array<std::uint8_t, 3> PlayStyles{};
    std::uint8_t PlayStyleCount = 1;
    std::uint8_t CurrentPlayStyle = 0;
    std::array<TNoteRec, kItemNoteCount> NotesA{};
    std::array<TNoteRec, kItemNoteCount> NotesB{};
    std::uint8_t CountA = 0; ///< 0 before the first question
    std::uint8_t CountB = 0;
    std::uint8_t ItemA = 0;
    std::uint8_t ItemB = 0;
    std::uint8_t LargerOne = 0; ///< 1 A, 2 B; 0 before the first answer
    bool LastAnswerRight = false;
    std::uint8_t BlinkCount = 0;
    bool BlinkRunning = false;         ///< the blink timer runs (200 ms)
    bool AutoNewQuestionArmed = false; ///< the automatic new question timer runs
    ComparisonSettings Settings;

    // What the window shows.
    QString QuestionText;           ///< the question and result text
    bool RightPictureShown = false; ///< the "right" picture beside the text
    ComparePanelColour PanelA = ComparePanelColour::Face;
    ComparePanelColour PanelB = ComparePanelColour::Face;
    bool LetterCaptions = true; ///< the answer buttons show "A" and "B"

private:
    /// Queues A, the gap, B and the notifications, and starts the sequencer.
    void PlayBoth(std::uint32_t gap);
    void PlayOne(CompareChoice choice);
    void ColourResult();
    ComparePanelColour& Panel(CompareChoice choice)
    {
        return choice == CompareChoice::A ? PanelA : PanelB;
    }
    /// Puts an item's notes on a root, moved by octaves to fit MIDI's range.
    static std::uint8_t PlaceInterval(const CompareItem& item, int root,
                                      std::array<TNoteRec, kItemNoteCount>& notes);

    ExerciseSession* m_session;
    ControlStripModel* m_strip;
    const UIStringTable* m_strings;
    StdRandom m_ownRandom;
    IRandom* m_random = &m_ownRandom;
    TMidiOut* m_midiOut = nullptr;
    ExerciseEffects m_effects;
};

/// The other interval.
constexpr CompareChoice OtherChoice(CompareChoice choice)
{
    return choice == CompareChoice::A ? CompareChoice::B : CompareChoice::A;
}

} // namespace pv
