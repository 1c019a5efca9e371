// How the identification exercise takes a setup in each of its six modes: the answer buttons
// built from the enabled items, play styles, root range, options, staff flags and score display.
#pragma once

#include "exercises/base/ControlStripModel.h"
#include "exercises/base/ExerciseProtocol.h"
#include "exercises/identification/MelodyGenerator.h"
#include "exercises/items/ItemTables.h"
#include "exercises/progressions/ProgressionVoicing.h"
#include "exercises/session/ExerciseSession.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/base/ExerciseKind.h"
#include "music/base/Random.h"
#include "music/notation/NoteRec.h"
#include "music/notation/Spelling.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include <QString>

namespace pv {

class IPrompts;
struct UIStringTable;

/// The six exercises one identification window runs; the number is the window's fixed mode.
enum class IdentificationMode : std::uint8_t
{
    ChordIdentification = 0,
    ChordInversions = 1,
    IntervalIdentification = 2,
    Scales = 3,
    MelodyDictation = 4,
    ChordProgressions = 5,
};
inline constexpr std::array<IdentificationMode, 6> kIdentificationModes = {
    IdentificationMode::ChordIdentification,    IdentificationMode::ChordInversions,
    IdentificationMode::IntervalIdentification, IdentificationMode::Scales,
    IdentificationMode::MelodyDictation,        IdentificationMode::ChordProgressions};

struct IdentificationModeInfo
{
    ExerciseKind Kind = ExerciseKind::ChordIdentification;
    int ItemsUsed = 0;       ///< items of the table the mode asks (0: the melody has none)
    int HelpContext = 0;     ///< set at a reset; 0 leaves the window's help context as it is
    std::uint8_t TipTag = 0; ///< tip shown by the answer area's tip button
};
IdentificationModeInfo ModeInfo(IdentificationMode mode);
/// The mode that runs an exercise kind (1, 2, 7, 8, 9, 10); nothing for the other kinds.
std::optional<IdentificationMode> ModeOfKind(ExerciseKind kind);

/// Play styles of a question.
inline constexpr std::uint8_t kPlaySimultaneous = 0;
inline constexpr std::uint8_t kPlayUp = 1;
inline constexpr std::uint8_t kPlayDown = 2;
inline constexpr std::uint8_t kPlayDurations = 4; ///< melody: each note with its own length
inline constexpr std::uint8_t kPlayHeldUp = 5;    ///< arpeggio up whose notes keep sounding
inline constexpr std::uint8_t kPlayHeldDown = 6;

/// Tags of the note-entry tools (the staff's tool bar): delete, plain add, and the melody's two
/// extra add tools.
inline constexpr std::uint8_t kEntryToolDelete = 0;
inline constexpr std::uint8_t kEntryToolAdd = 1;

/// Answer-input bits: by name (answer buttons), piano, guitar, staff.
inline constexpr std::uint8_t kAnswerByName = 1;
inline constexpr std::uint8_t kAnswerOnPiano = 2;
inline constexpr std::uint8_t kAnswerOnGuitar = 4;
inline constexpr std::uint8_t kAnswerOnStaff = 8;

/// Number of chord-quality (alteration) buttons of the progression mode.
inline constexpr int kAlterationButtonCount = 19;

/// The window's copy of one item: notes relative to middle C, as the question and answer code
/// read them. NoteCount is 0 for an empty or unusable slot, never above 12. Its answer counts
/// are the session's.
struct AkkordItem
{
    std::array<std::int8_t, kItemNoteCount> Pitch{}; ///< MIDI note - 60 (progressions: root - 60)
    std::array<std::int8_t, kItemNoteCount> Shift{}; ///< spelling shift
    std::array<std::uint8_t, kItemNoteCount> Code{}; ///< inversion codes / progression chord type
    std::uint8_t NoteCount = 0;
    QString Name; ///< at most 50 characters
};

/// The staff's context as the setup leaves it; the window hands it to its `TSheet`.
struct AkkordSheetFlags
{
    bool ShowKeySignature = false;
    bool Chord = false; ///< notes are spaced as chords
    bool ShowKeyName = false;
    bool Syllables = false; ///< movable-do syllables
    int KeyOffset = 0;
    bool GuitarView = false; ///< answered on the guitar without the piano
    bool Minor = false;      ///< the question's key is read as minor
    int KeySignature = 0;    ///< -7..7: flats negative, sharps positive
    int StaffChoice = 2;     ///< -2: the question sits low (bass first), 2: high, 0: both
    int DisplayOffset = 0;   ///< octave shift of the shown notes
    /// The words of the key name under the staff: the names of the first two chord items, so
    /// the key is named in the language those items are named in.
    QString MajorWord = QStringLiteral("Major");
    QString MinorWord = QStringLiteral("Minor");
};

/// Colour of an answer button's panel.
enum class AnswerPanelColour : std::uint8_t
{
    Face = 0,  ///< the system button face
    Green = 1, ///< the question's item after an answer
    Red = 2,   ///< the wrongly chosen item
};

/// Which answer panels an answer-input bit set shows.
struct AnswerPanels
{
    bool Buttons = false;       ///< bit 1: answer by name
    bool Piano = false;         ///< bit 2
    bool Guitar = false;        ///< bit 4
    bool Staff = false;         ///< bit 8, with its tool bar
    bool AlterationBar = false; ///< progressions answered on piano or guitar
};

/// Settings of the program that the setup routines read.
struct AkkordSettings
{
    bool ShowKeyName = false; ///< the settings ask for the key's name under the staff
    bool TipsOffered = false; ///< the window offers tips at all (a program's windows do)
    /// The tips still offered: bit n - 1 for tip n. The staff's tip is tip 1, the answer
    /// area's the one its mode names.
    std::uint32_t TipsMask = 0xFFFFFFFFU;
    /// How entered notes are compared: 0 absolute pitch, 1 pitch class, 2 relative.
    std::uint8_t NoteIdentification = 0;
    bool AutoNewQuestion = false;          ///< put the next question by itself after an answer
    bool AutoNewQuestionOnlyRight = false; ///< ... only after a right answer
};

/// How entered notes are compared with the question.
inline constexpr std::uint8_t kIdentifyAbsolute = 0;
inline constexpr std::uint8_t kIdentifyPitchClass = 1;
inline constexpr std::uint8_t kIdentifyRelative = 2;

/// Root range: roots are drawn from LowNote .. LowNote + RootSpan - 1; RootSpan is at least 1.
struct RootRange
{
    int LowNote = 60;
    int RootSpan = 1;
    friend bool operator==(const RootRange&, const RootRange&) = default;
};

/// The fixed pitch class of a "same tone" (11..22) or "same key" (25..36) rule; nothing else.
std::optional<int> FixedRootPitchClass(std::uint8_t rule);
/// The roots a rule draws between lowest and highest (MIDI notes, the range bytes 81 and 80).
/// An empty range gives one root: the lowest note, or the lowest note of the fixed pitch class
/// at or above it.
RootRange ComputeRootRange(std::uint8_t rule, int highest, int lowest);

/// The state of one identification window that its setup decides, and the setup routines.
class AkkordModel
{
public:
    /// session is the kind's counters and item statistics and strip the window's control
    /// strip, which the setup also sets; strings are the interface texts of the score. All three
    /// must outlive the model.
    AkkordModel(IdentificationMode mode, ExerciseSession& session, ControlStripModel& strip,
                const UIStringTable& strings);

    /// Runs the setup routine of the window's mode on the setup and the item tables.
    void Setup(const ExerciseSetup& setup, const ItemTables& items, const AkkordSettings& settings,
               bool reset);

    void SetupChordId(const ExerciseSetup& setup, const ItemTables& items,
                      const AkkordSettings& settings, bool reset);
    void SetupChordInversions(const ExerciseSetup& setup, const ItemTables& items,
                              const AkkordSettings& settings, bool reset);
    void SetupIntervalId(const ExerciseSetup& setup, const ItemTables& items,
                         const AkkordSettings& settings, bool reset);
    void SetupScales(const ExerciseSetup& setup, const ItemTables& items,
                     const AkkordSettings& settings, bool reset);
    void SetupMelody(const ExerciseSetup& setup, const AkkordSettings& settings, bool reset);
    void SetupChordProgression(const ExerciseSetup& setup, const ItemTables& items,
                               const AkkordSettings& settings, bool reset);

    /// Applies one option block and the first n items (item i is items[i - 1]).
    void SetupExercise(bool reset, const OptionBlock& block, std::span<const AkkordItem> items,
                       int n);

    /// The answer button (1-based) that shows an item now, 0 when the item has none.
    int ButtonOfItem(int item) const;
    /// The item (1..60) of answer button 1..ButtonCount, 0 for any other number.
    int ItemOfButton(int button) const;
    /// The caption of answer button 1..ButtonCount.
    QString ButtonCaption(int button) const;

    /// The results reset: clears the counters and per-item statistics, closes the question (no
    /// note held) and leaves only "new question" of the question's control buttons.
    void ResetResults();
    ScoreDisplay Score() const;

    /// The answer inputs in force: the setup's lock when it has one, else the user's choice.
    std::uint8_t EffectiveAnswerInput(std::uint8_t userChoice) const;
    AnswerPanels PanelsOf(std::uint8_t answerInput) const;

    /// Takes an answer-input bit set: the panels it shows, the staff's guitar view, and "check"
    /// (control button 3) switched off when the answer is given by name only.
    void SetAnswerInput(std::uint8_t bits);
    /// The panels the window shows now: those of AnswerInput, the alteration bar only once the
    /// progression setup has made its buttons.
    AnswerPanels ShownPanels() const;
    /// The answer area's tip button may be shown: the tip is still offered and the answer is
    /// not given by name alone.
    bool AnswerTipAllowed() const;
    /// The staff's tip button shows: the mode has one and tip 1 is offered.
    bool StaffTipShown() const;
    /// The user picked play-style button 0..2 (simultaneous, up, down) of the style bar.
    void ChoosePlayStyle(int styleButton);

    /// The random source every draw of a question takes; it must outlive the model.
    void SetRandom(IRandom& random) { m_random = &random; }
    /// Where the melody mode says that no melody fits its range; it must outlive the model.
    /// Without one the message goes to the result label.
    void SetPrompts(IPrompts& prompts) { m_prompts = &prompts; }

    /// Puts a new question: draws it, arms the answer and the label. False when no question
    /// can be put (no answer button, or no melody fits the melody setup): nothing changes then.
    bool NewQuestion();
    /// Fills the question state: item, root, play style, key, notes with their spelling,
    /// guitar strings, display offset, staff choice and the first tone.
    void GenerateQuestion();
    /// The next root of a cyclic root movement (rules 3..8) after PreviousRoot.
    int NextRootByMovement() const;
    /// The enabled state of answer button 1..ButtonCount (progressions keep only those of the
    /// question's chord count).
    bool AnswerButtonEnabled(int button) const;
    /// Adds (or removes) one entered note; position 0 sorts it in, 1.. inserts it there.
    void EnterNote(TPitch note, bool remove, int position = 0);
    /// Keeps only the shown first tone when it was entered, else empties the answer.
    void ClearEnteredNotes();
    /// Shows the first tone as entered: progressions the first chord, other modes the first
    /// question note (the last one when the question descends).
    void EnterFirstTone();

    /// An answer button (1..ButtonCount) was used: its item becomes the entered answer and,
    /// without play (a right or middle click) or as the right item under AutoAnswer, is scored.
    /// True when the item should be auditioned now.
    bool ShowAnswerItem(int button, bool play);
    /// The item's notes (progressions: voiced chords) as the answer of the open question.
    std::vector<TNoteRec> AnswerItemNotes(int item) const;
    /// Progressions: the entered chords (root and chord type) voiced like the question's.
    VoicedProgression VoiceEnteredChords() const;
    /// "Check": compares the entered notes with the question and scores them.
    void FourthButtonAction();
    /// The first item whose intervals are those of the entered notes; 0 for none.
    int FindEnteredItem() const;
    /// Scores the open question once; matches is -1 for an answer by item, else the number of
    /// matching entered notes.
    void CheckAnswer(int item, int matches);
    /// The right answer as it is named: the item, after its root note for chords and scales.
    QString AnswerText() const;
    /// The entered notes' names for the result label.
    QString EnteredNotesText() const;
    /// One tick of the answer-button blink.
    void BlinkTick();

    /// The duration code an add tool enters in a melody with note values: the plain tool a
    /// quarter, the half-bar tool a half and the whole-bar tool a whole note.
    static std::uint8_t DurationOfTool(std::uint8_t tool);

    /// Takes back the last entered note while the question is open (the remote's fifth note in
    /// the scales and melody windows).
    void DeleteLastNote();

    /// What a progression chord entry asks of the window besides repainting.
    struct ProgressionChordEffect
    {
        bool Changed = false;         ///< the answer changed (it is voiced anew)
        std::optional<int> PlayChord; ///< 0-based answer chord whose voiced notes to play
    };
    /// Progressions: sets the chord on a root (chord type 15: the type of the chord at the
    /// cursor when it has a root, else the key's diatonic triad; root 0: only a new type for
    /// the chord at the cursor), or with remove empties the last answer chord on that root.
    /// guitarString is the string the guitar entered it on, 0 for none. quiet: nothing to play.
    ProgressionChordEffect SetProgressionChord(TPitch root, std::uint8_t chordType,
                                               int guitarString, bool remove, bool quiet);
    /// Chord-quality button 0..18 of the alteration bar: the chord at the cursor gets its type.
    ProgressionChordEffect AlterationButtonClick(int button);

    /// Entering the exercise view: no MIDI key counts as held any more. True when the
    /// automatic question is armed: outside the tutor, when new questions come by themselves
    /// or no question was put yet.
    bool EnterExercise(bool tutorActive);
    /// The automatic new question is put unless a note is held.
    bool AutoNewQuestionDue() const { return HeldNote.Pitch.Note == 0; }
    /// The pitches the shown inputs can display: 36..95, narrowed to the guitar's 52..its top
    /// and to the piano's 41..its top for the instruments shown.
    void UpdatePitchRange(std::optional<int> guitarTopPitch, std::optional<int> pianoTopPitch);

    /// What the model's inputs caused since the last call: the scored answer among them.
    ExerciseEffects TakeEffects() { return std::exchange(m_effects, ExerciseEffects{}); }
    /// A playback or a question of the user's own cuts the automatic new question short.
    void StopAutoNewQuestion()
    {
        AutoNewQuestionArmed = false;
        m_effects.SwitchAutoNewQuestion(false);
    }
    /// Entering the exercise arms the automatic new question.
    void ArmAutoNewQuestion() { m_effects.SwitchAutoNewQuestion(true); }
    /// A new question is put (and played).
    void QuestionWasPut() { m_effects.PutQuestion(); }

    /// The kind's session (shared with the window and the program).
    ExerciseSession& Session() { return *m_session; }
    const ExerciseSession& Session() const { return *m_session; }
    ControlStripModel& Strip() { return *m_strip; }
    const ControlStripModel& Strip() const { return *m_strip; }

    // The fields below keep the names the rest of the exercise knows them by.
    const IdentificationMode Mode;
    std::uint8_t ButtonCount = 0;
    std::array<std::uint8_t, kItemCount + 1> ButtonItems{}; ///< [1..ButtonCount]: item of button
    std::array<AkkordItem, kItemCount + 1> ExerciseItem{};  ///< [1..60]
    std::array<std::uint8_t, 3> PlayStyles{};               ///< [0..PlayStyleCount - 1]
    std::uint8_t PlayStyleCount = 1;
    std::uint8_t CurrentPlayStyle = 0;
    int LowNote = 60;
    int RootSpan = 1;
    std::uint8_t QuestionRoot = 60;
    std::uint8_t RootMovementRule = 0;
    std::uint8_t IntervalInKey = 0;
    bool PlayToneOnClick = false;
    bool ShowFirstTone = false;
    bool AutoAnswer = false;
    bool TonicContext = false;
    std::uint8_t CadenceMode = 0; ///< bit 0 base tones, bit 1 cadence
    bool ExtraEntryButtons = false;
    int MaxSamePitch = 0; ///< melody: how often one pitch may repeat
    std::uint16_t QuestionNoteCount = 0;
    std::uint8_t EnteredCount = 0;
    std::uint8_t MidiHeldCount = 0; ///< MIDI keys down now whose notes were taken
    /// Progressions: the answer chord selected (0-based).
    std::uint8_t ChordCursor = 0;
    /// Progressions: the chord type whose chord-quality button is down, -1 none.
    int PressedChordType = -1;
    TNoteRec HeldNote;
    std::uint8_t AnswerInput = kAnswerByName | kAnswerOnStaff;
    std::uint8_t EntryTool = kEntryToolAdd; ///< tag of the note-entry tool that is down
    /// Melodies with note values: the half-bar (tag 2) and whole-bar (tag 3) add tools may be
    /// used at the place the next entered note takes in its bar.
    bool HalfToolEnabled = true;
    bool WholeToolEnabled = true;
    AkkordSettings Settings; ///< as the last setup took them

    // The question.
    QString QuestionTitle; ///< the prompt of the kind, from the language
    QString ResultLabel;   ///< the text of the result label
    std::uint8_t QuestionItem = 0;
    std::uint8_t PreviousItem = 0;
    std::uint8_t PreviousRoot = 0; ///< 0: no previous question
    std::array<TNoteRec, kItemNoteCount> QuestionNotes{};
    bool ReversedScale = false;
    int QuestionHighest = 0;
    int QuestionLowest = 0;
    int LowestPitch = 36; ///< the pitches the visible input views can show
    int HighestPitch = 95;
    int DisplayOffset = 0;
    int FirstTonePitch = 0; ///< the tone shown at once, 0 = none
    int RootNoteIndex = 1;  ///< inverted chords: 1-based place of the chord's root
    /// Progressions: the voiced chords of the question (notes, chord starts).
    VoicedProgression ProgressionNotes;
    std::array<TNoteRec, 2 * kItemNoteCount> EnteredNotes{};
    std::uint8_t BlinkCount = 0;
    bool BlinkRunning = false;         ///< the answer-button blink timer runs
    bool AutoNewQuestionArmed = false; ///< the automatic new question timer runs
    std::array<AnswerPanelColour, kItemCount + 1> ButtonColour{}; ///< [1..ButtonCount]
    int TonicNote = 0;             ///< the tonic played before the question
    bool ExternalHold = false;     ///< the program or the microphone holds a note
    std::uint8_t HeldSource = 0;   ///< 0 program, 1 staff, 2 piano, 3 microphone, 4 guitar
    std::uint8_t AnsweredItem = 0; ///< item the entered notes form, 0 none
    bool LastAnswerRight = false;
    bool RightPictureShown = false; ///< the "right" picture beside the result label
    bool AlterationBarEnabled = true;
    /// The entered notes followed by the question's after an answer, for the staff.
    int DisplayedNoteCount = 0;
    /// Whether a text still fits the result label; the window measures it. Unset: it fits.
    std::function<bool(const QString& text)> ResultLabelFits;

    AkkordSheetFlags Sheet;
    int HelpContext = 0;
    std::uint8_t TipTag = 0;                              ///< tag of the answer area's tip button
    std::array<std::uint8_t, 3> StyleButtonTags{0, 1, 2}; ///< simultaneous, up, down buttons
    bool PlayStyleBarAllowed = true;                      ///< outside scales and melodies
    bool StaffTipButtonShown = true;                      ///< hidden in the progression mode

    /// Progression mode: chord-quality buttons; made once, then shown by the chords in use.
    bool AlterationBarShown = false;
    std::array<QString, kAlterationButtonCount> AlterationCaptions{};
    std::array<bool, kAlterationButtonCount> AlterationVisible{};

private:
    void ResetForSetup(bool reset);
    /// Takes away what showed the last answer: the result text, the entered notes with the
    /// question's behind them, and the answer buttons' colours.
    void ClearShownAnswer();
    void MakeArpeggiosHeld();

    ExerciseSession* m_session;
    ControlStripModel* m_strip;
    const UIStringTable* m_strings;
    std::array<std::uint8_t, kItemCount + 1> m_buttonOfItem{};
    std::array<bool, kItemCount + 1> m_buttonEnabled{};
    StdRandom m_ownRandom;
    IRandom* m_random = &m_ownRandom;
    ItemTable m_chordItems; ///< progressions voice their chords from these
    IPrompts* m_prompts = nullptr;
    ExerciseEffects m_effects;
    MelodySetup m_melodySetup;                       ///< the melody block as the last setup gave it
    std::shared_ptr<const ItemTables> m_melodyItems; ///< scales, chords and progressions
    /// A melody drawn for the question being put, before the question state changes.
    struct DrawnMelody
    {
        std::array<TNoteRec, kItemNoteCount> Notes{};
        std::uint16_t Count = 0;
        MelodySheet Sheet;
        std::uint8_t Root = 60;
    };
    std::optional<DrawnMelody> m_drawnMelody;

    /// Generates a melody from the setup; false (after the range message) when none fits.
    bool DrawMelody();
    /// Makes the drawn melody the question: its key, notes spelled in it, staff placement.
    void GenerateMelodyQuestion();
    /// Melodies with note values: bar lines after the entered notes that close a bar, and
    /// which longer add tools still fit the bar.
    void UpdateMelodyBars();

    void GenerateProgression(const AkkordItem& item);
    /// Shifts what is shown by octaves until the question's notes fit the range, and picks
    /// the staff on whose side most of them lie.
    void PlaceOnStaff();
    /// Writes the question's notes with their spelled pitches, guitar strings and staff, and
    /// gives the first tone away when the setup shows it.
    void WriteSpelledQuestion(std::span<const TPitch> spelled);
    /// After a removal: moves the remaining notes' guitar strings up where they fit.
    void RaiseStringsAfterRemoval();
    /// Spells the question's notes, still holding the shifts their item writes them with, from
    /// the letter on which the item's C (the question root) is written.
    void SpellAndPlaceNotes(int cLetter);
    /// Spells progression chord roots as degrees of the sheet's key whose tonic is the MIDI
    /// note tonic.
    void SpellChordRoots(std::span<TNoteRec> chords, int tonic) const;
};

/// An item that starts on C reads as minor when its second or third note is a minor third up.
bool ItemReadsMinor(const AkkordItem& item);
/// The letter (0 C .. 6 B) on which an item writes its note index, counted from the item's C.
int ItemLetter(const AkkordItem& item, int index);
/// How an item's letters are kept when it is moved to the question's root.
LetterRule LetterRuleOf(IdentificationMode mode, std::span<const TPitch> notes, int c);

/// Key signature (-6..5) of the major key whose tonic is a pitch class (any int, folded).
int KeySignatureOfPitchClass(int pitchClass);
/// The semitones above a major tonic on which the lower note of an interval (size mod 12)
/// lies inside the major scale.
std::span<const int> IntervalKeyPositions(int interval);
/// Chord types (zero-based chord items) with a minor third that vote for a minor key.
bool IsMinorChordType(int chordType);

/// The window's item copies of a kind's table (chords, inversions, intervals, scales), all 60.
std::array<AkkordItem, kItemCount> AkkordItemsOfTable(const ItemTable& table);
/// The 60 progressions as items: roots relative to 60, chord types as codes, names built from
/// their chords.
std::array<AkkordItem, kItemCount> AkkordItemsOfProgressions(const ItemTables& tables);
/// The chord-quality button (0..18) of a chord type.
int AlterationButtonOfChordType(int chordType);
/// The chord type of chord-quality button 0..18, -1 for any other number.
int ChordTypeOfAlterationButton(int button);
/// The chord type a root alone asks for: the diatonic triad on the degree semitones above the
/// key's tonic, in a minor or a major key.
int DiatonicTriadType(int semitones, bool minor);
/// An entered progression chord names an asked one: both have roots of the same pitch class
/// and the same chord type.
bool SameProgressionChord(const TNoteRec& entered, const TNoteRec& asked);
/// The chord type of an empty progression chord, and of a root entered without a type.
inline constexpr std::uint8_t kNoChordType = 15;
/// The chord type whose chord-quality button stands apart from the bar.
inline constexpr int kOwnButtonChordType = 19;

} // namespace pv
