// Rhythm error detection without a screen: a written rhythm is shown, a changed copy of it is
// played, the user marks the notes that sound different and asks for the check, which scores
// the marks against the changes made.
#pragma once

#include "exercises/rhythmexercise/RhythmExerciseModel.h"
#include "music/base/Prompts.h"

#include <cstdint>
#include <set>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QString>

namespace pv {

namespace detail {

/// Lets through only the first plain message while a question is being made: a setup that
/// cannot be filled would otherwise say so once for every attempt.
class OneMessagePrompts final : public IPrompts
{
public:
    explicit OneMessagePrompts(IPrompts& inner) : m_inner(inner) {}
    /// From now on only the next plain message is shown, until EndQuiet.
    void BeginQuiet()
    {
        m_quiet = true;
        m_shown = false;
    }
    void EndQuiet() { m_quiet = false; }

    void ShowError(const QString& text, const QString& caption) override
    {
        m_inner.ShowError(text, caption);
    }
    void ShowMessage(const QString& text) override;
    void ShowInfo(const QString& text, const QString& caption) override
    {
        m_inner.ShowInfo(text, caption);
    }
    PromptButton AskOkRetry(const QString& text, const QString& caption) override
    {
        return m_inner.AskOkRetry(text, caption);
    }
    PromptButton AskYesNo(const QString& text, const QString& caption) override
    {
        return m_inner.AskYesNo(text, caption);
    }
    PromptButton AskYesNoCancel(const QString& text, const QString& caption) override
    {
        return m_inner.AskYesNoCancel(text, caption);
    }
    std::optional<QString> AskOpenFile(const QString& caption, const QString& folder,
                                       const QString& filter) override
    {
        return m_inner.AskOpenFile(caption, folder, filter);
    }
    std::optional<QString> AskFolder(const FolderQuestion& question) override
    {
        return m_inner.AskFolder(question);
    }
    std::optional<QString> AskSaveFile(const QString& caption, const QString& suggested,
                                       const QString& filter) override
    {
        return m_inner.AskSaveFile(caption, suggested, filter);
    }
    std::optional<QString> AskText(const QString& caption, const QString& prompt,
                                   const QString& initial) override
    {
        return m_inner.AskText(caption, prompt, initial);
    }

private:
    IPrompts& m_inner;
    bool m_quiet = false;
    bool m_shown = false;
};

/// Holds the filtered prompts so that they exist before the shared model is built with them.
struct OneMessagePromptsHolder
{
    explicit OneMessagePromptsHolder(IPrompts& inner) : m_filteredPrompts(inner) {}
    OneMessagePrompts m_filteredPrompts;
};

} // namespace detail

/// The form texts of the window (language ids 1225, 1230 and 1235).
struct RytmeKorrTexts
{
    QString PlayingText = QStringLiteral("Listen and compare with the notation.");
    QString MarkText = QStringLiteral("Mark the wrong notes, then press Check.");
    /// Three whole numbers: changed notes found, changed notes in all, notes marked wrongly.
    QString VerdictFormat = QStringLiteral("%d of %d errors found, wrong marks: %d.");
};

/// A small ellipse drawn under a note of the written rhythm.
struct RytmeKorrMark
{
    QRect Box; ///< the ellipse's bounding box, corners included
    std::uint32_t Rgb = 0;
    friend bool operator==(const RytmeKorrMark&, const RytmeKorrMark&) = default;
};

inline constexpr std::uint32_t kKorrFoundRgb = 0x008000;  ///< a changed note the user marked
inline constexpr std::uint32_t kKorrMissedRgb = 0xFF0000; ///< a changed note left unmarked
inline constexpr std::uint32_t kKorrMarkRgb = 0xFFFF00;   ///< every note the user marked

class RytmeKorrModel final : private detail::OneMessagePromptsHolder, public RhythmExerciseModel
{
public:
    /// A question is given up after this many rhythms that could not be changed.
    static constexpr int kQuestionAttempts = 81;
    /// The message shown when no attempt gave a changed rhythm.
    static QString NoChangesMessage();
    /// The code base of this exercise's notifications.
    static constexpr std::uint8_t kCodeBase = 30;

    RytmeKorrModel(ExerciseSession& session, ControlStripModel& strip, const UIStringTable& strings,
                   IRandom& random, IPrompts& prompts);

    void SetTexts(const RytmeKorrTexts& texts) { m_texts = texts; }
    const RytmeKorrTexts& Texts() const { return m_texts; }

    using RhythmExerciseModel::ApplySetup;
    void ApplySetup(const RhythmSetup& block, bool reset) override;

    /// New question: a new rhythm and its changed copy, the changed copy played at once;
    /// repeat: the changed rhythm played; third button: the written rhythm played; fourth: the
    /// marks checked; stop: the playback ends.
    ExerciseEffects Run(const ExerciseRequest& request) override;
    /// By the settings the automatic question comes.
    ExerciseEffects ContinueAfterAnswer() override;
    void SequencerNotify(int code) override;

    // No tapping in this exercise: keys, buttons, MIDI and claps do nothing.
    void TapKey(bool) override {}
    void TapButton(bool) override {}
    void MidiInMessage(std::uint32_t) override {}
    void MicTap(std::uint32_t) override {}

    /// Makes a rhythm and changes it, trying up to kQuestionAttempts times; false (after the
    /// message) when none could be changed: the question then has no changed rhythm.
    bool MakeQuestion();

    /// The width the written rhythm is laid out on (the notation area's width).
    void SetDrawingWidth(int width);
    int DrawingWidth() const { return m_width; }
    /// Lays out and returns the written rhythm (list 0); the notes' positions are what clicks
    /// are judged against.
    RhythmDisplayList DrawWritten();
    /// The changed rhythm (list 1), shown once the marks are checked; empty before.
    RhythmDisplayList DrawChanged(int width);
    /// The ellipses under the written rhythm: green or red under the changed notes after the
    /// check, yellow under every marked note.
    std::vector<RytmeKorrMark> Marks() const;

    /// A mouse press at a point of the written rhythm's drawing: toggles the mark of the note
    /// there. True when a mark changed.
    bool ClickWritten(QPoint at);
    bool IsMarked(int note) const { return m_marked.count(note) != 0; }
    const std::set<int>& Marked() const { return m_marked; }

    /// A changed rhythm is ready to be played and checked.
    bool HasQuestion() const { return m_hasQuestion; }

    QString VerdictText;
    bool PlayingChanged = false;
    bool Playing = false;               ///< a playback of either rhythm is in progress
    bool ChangedShown = false;          ///< the changed rhythm and its caption are shown
    bool HintShown = false;             ///< the hint to click the notes is shown
    bool RightPictureShown = false;     ///< the picture left of a right verdict
    int Hits = 0, Total = 0, Wrong = 0; ///< of the last check
    int QuestionAttempts = 0;           ///< rhythms the last MakeQuestion made

private:
    void NextRhythm();
    void CheckMarks();
    void Stop();
    void StartPlayback(int list);
    void ClearVerdictLine();
    void ShowQuestionButtons();
    /// Numbers of the notes of list 0 the changes touch.
    std::set<int> ChangedNotes() const;
    int BarMarkList() const { return PlayingChanged && Session().Answered ? 1 : 0; }

    RytmeKorrTexts m_texts;
    std::set<int> m_marked;
    bool m_hasQuestion = false;
    int m_width = 600;
};

} // namespace pv
