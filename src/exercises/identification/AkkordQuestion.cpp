// How the identification exercise draws, keys, spells and places a question.
#include "exercises/identification/AkkordModel.h"
#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Spelling.h"
#include "music/staff/KeyState.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <array>

namespace pv {
namespace {

constexpr int kMaxDraws = 201;
constexpr int kMidiHighest = 127;

constexpr std::array<int, 12> kKeySignatureOfPitchClass = {0,  -5, 2,  -3, 4,  -1,
                                                           -6, 1,  -4, 3,  -2, 5};

// Positions of the lower note of each interval (size mod 12) inside the major scale.
constexpr std::array<int, 7> kUnison = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 2> kMinorSecond = {4, 11};
constexpr std::array<int, 5> kMajorSecond = {0, 2, 5, 7, 9};
constexpr std::array<int, 3> kMinorThird = {2, 4, 9};
constexpr std::array<int, 3> kMajorThird = {0, 5, 7};
constexpr std::array<int, 6> kFourth = {0, 2, 4, 7, 9, 11};
constexpr std::array<int, 2> kTritone = {5, 11};
constexpr std::array<int, 6> kFifth = {0, 2, 4, 5, 7, 9};
constexpr std::array<int, 2> kMinorSixth = {4, 9};
constexpr std::array<int, 4> kMajorSixth = {0, 2, 5, 7};
constexpr std::array<int, 5> kMinorSeventh = {2, 4, 7, 9, 11};
constexpr std::array<int, 2> kMajorSeventh = {0, 5};

// Chord items with a minor third: a progression ending on any of them is heard in minor.
constexpr std::array<int, 7> kMinorChordTypes = {1, 2, 7, 9, 10, 12, 16};

bool IsDescending(std::uint8_t style)
{
    return style == kPlayDown || style == kPlayHeldDown;
}

bool IsFixedToneRule(std::uint8_t rule)
{
    return rule >= 11 && rule <= 22;
}

// Pascal's div: the quotient truncates toward zero.
int Div(int a, int b)
{
    return a / b;
}

// A note outside MIDI's range would wrap in the 8-bit pitch: it is brought in by octaves.
int IntoMidiRange(int note)
{
    while (note < 0) {
        note += 12;
    }
    while (note > kMidiHighest) {
        note -= 12;
    }
    return note;
}

} // namespace

bool ItemReadsMinor(const AkkordItem& item)
{
    const int count = std::clamp<int>(item.NoteCount, 0, kItemNoteCount);
    return count > 2 && (item.Pitch[1] - item.Pitch[0] == 3 || item.Pitch[2] - item.Pitch[0] == 3);
}

int ItemLetter(const AkkordItem& item, int index)
{
    const auto i = static_cast<std::size_t>(index);
    const int written = item.Pitch[i] + item.Shift[i];
    return LetterOfNatural(written).value_or(DegreeLetters(written));
}

LetterRule LetterRuleOf(IdentificationMode mode, std::span<const TPitch> notes, int c)
{
    return mode == IdentificationMode::Scales ? ScaleLetterRule(notes, c) : LetterRule::Keep;
}

void AkkordModel::SpellChordRoots(std::span<TNoteRec> chords, int tonic) const
{
    // Every root lies on the letter of its degree in the key: diatonic ones on the key's own
    // letters, chromatic ones on the flat of their degree (bVI of E flat is C flat).
    const int tonicLetter = TonicLetter(Sheet.KeySignature, Sheet.Minor);
    for (TNoteRec& chord : chords) {
        if (chord.Pitch.Note != 0) {
            chord.Pitch.Shift = SpellDegree(chord.Pitch.Note, tonic, tonicLetter).Shift;
        }
    }
}

int KeySignatureOfPitchClass(int pitchClass)
{
    return kKeySignatureOfPitchClass[static_cast<std::size_t>(PositiveMod(pitchClass, 12))];
}

std::span<const int> IntervalKeyPositions(int interval)
{
    switch (PositiveMod(interval, 12)) {
    case 0:
        return kUnison;
    case 1:
        return kMinorSecond;
    case 2:
        return kMajorSecond;
    case 3:
        return kMinorThird;
    case 4:
        return kMajorThird;
    case 5:
        return kFourth;
    case 6:
        return kTritone;
    case 7:
        return kFifth;
    case 8:
        return kMinorSixth;
    case 9:
        return kMajorSixth;
    case 10:
        return kMinorSeventh;
    default:
        return kMajorSeventh;
    }
}

bool IsMinorChordType(int chordType)
{
    return std::find(kMinorChordTypes.begin(), kMinorChordTypes.end(), chordType) !=
           kMinorChordTypes.end();
}

int AkkordModel::NextRootByMovement() const
{
    const int high = LowNote + RootSpan;
    const int r = PreviousRoot;
    const std::uint8_t rule = RootMovementRule;
    if (r == 0) {
        return (rule == 4 || rule == 6 || rule == 8) ? high : LowNote;
    }
    const int p = r % 12;
    int next = r;
    switch (rule) {
    case 3:
        next = r + 7;
        break;
    case 4:
        next = r - 7;
        break;
    case 5:
        next = r + (p == 9 || p == 10 ? 4 : p == 11 ? 1 : 3);
        break;
    case 6:
        next = r - (p == 2 || p == 3 ? 4 : p == 1 ? 1 : 3);
        break;
    case 7:
        next = r + (p == 10 ? 3 : p == 11 ? 1 : 2);
        break;
    case 8:
        next = r - (p == 2 ? 3 : p == 1 ? 1 : 2);
        break;
    default:
        break;
    }
    const int pc = PositiveMod(next, 12);
    if (next > high) {
        next = (LowNote / 12) * 12 + pc;
        if (next < LowNote) {
            next += 12;
        }
    } else if (next < LowNote) {
        next = (high / 12) * 12 + pc;
        if (next > high) {
            next -= 12;
        }
    }
    return IntoMidiRange(next);
}

bool AkkordModel::AnswerButtonEnabled(int button) const
{
    return button >= 1 && button <= ButtonCount &&
           m_buttonEnabled[static_cast<std::size_t>(button)];
}

bool AkkordModel::NewQuestion()
{
    const UIStringTable& strings = *m_strings;
    if (Mode == IdentificationMode::MelodyDictation) {
        // When no melody fits, the question before stays as it was: nothing is asked, played
        // or counted.
        if (!DrawMelody()) {
            return false;
        }
    } else if (ButtonCount == 0) {
        return false;
    }
    BlinkRunning = false;
    AutoNewQuestionArmed = false;
    ButtonColour.fill(AnswerPanelColour::Face);
    EnteredCount = 0;
    EnteredNotes.fill(TNoteRec{});
    DisplayedNoteCount = 0;
    AnsweredItem = 0;
    RightPictureShown = false;
    AlterationBarEnabled = true;
    BlinkCount = 0;
    m_session->Answered = false;
    // A delete tool left down from the last answer would make the first click of this one
    // take nothing in.
    EntryTool = kEntryToolAdd;

    GenerateQuestion();

    ResultLabel = QuestionTitle;
    if (ShowFirstTone && AnswerInput != kAnswerByName) {
        ResultLabel +=
            QStringLiteral(" - ") +
            (CurrentPlayStyle != kPlaySimultaneous ? strings.StrIdentText1 : strings.StrIdentText2);
    }
    m_strip->ButtonEnabled[0] = true;
    m_strip->ButtonEnabled[3] = AnswerInput != kAnswerByName;
    return true;
}

void AkkordModel::GenerateQuestion()
{
    ReversedScale = false;
    FirstTonePitch = 0;
    RootNoteIndex = 1;
    if (Mode == IdentificationMode::MelodyDictation) {
        GenerateMelodyQuestion();
        return;
    }
    PreviousItem = QuestionItem;
    m_random->Randomize();

    const std::optional<int> fixedPitchClass = FixedRootPitchClass(RootMovementRule);
    const bool cyclic = RootMovementRule >= 3 && RootMovementRule <= 8;
    int root = QuestionRoot;
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        if (cyclic) {
            root = NextRootByMovement();
        } else {
            root = LowNote + m_random->Random(RootSpan);
            if (fixedPitchClass) {
                root = *fixedPitchClass + 12 * Div(root - *fixedPitchClass, 12);
            }
        }
        root = IntoMidiRange(root);
        CurrentPlayStyle = PlayStyles[static_cast<std::size_t>(m_random->Random(PlayStyleCount))];
        QuestionItem = ButtonItems[static_cast<std::size_t>(m_random->Random(ButtonCount) + 1)];
        if (root != PreviousRoot || QuestionItem != PreviousItem || RootSpan < 2) {
            break;
        }
    }
    QuestionRoot = static_cast<std::uint8_t>(root);
    PreviousRoot = QuestionRoot;
    const AkkordItem& item = ExerciseItem[QuestionItem];
    QuestionNoteCount = item.NoteCount;
    for (int b = 1; b <= ButtonCount; ++b) {
        m_buttonEnabled[static_cast<std::size_t>(b)] = true;
    }

    if (Mode == IdentificationMode::ChordProgressions) {
        GenerateProgression(item);
        return;
    }

    const int count = std::clamp<int>(item.NoteCount, 0, kItemNoteCount);
    int keyOffset = 0;
    // Where the item's C lies in the key decides every letter: the notes keep the letters the
    // item writes them on above its C.
    bool cOnTonic = false;
    if (Mode == IdentificationMode::ChordInversions || item.Pitch[0] != 0) {
        cOnTonic = true;
        Sheet.Minor = false;
        if (Mode != IdentificationMode::Scales && count > 0) {
            RootNoteIndex = item.Code[0] < 255
                                ? PositiveMod(count - (count > 1 ? item.Code[1] : 0), count) + 1
                                : 1;
            const auto k = static_cast<std::size_t>(RootNoteIndex - 1);
            keyOffset = item.Pitch[k] + item.Shift[k];
        }
        Sheet.KeySignature = KeySignatureOfPitchClass(root);
    } else if (Mode == IdentificationMode::IntervalIdentification) {
        const int interval = count > 1 ? item.Pitch[1] - item.Pitch[0] : 0;
        Sheet.Minor = IsFixedToneRule(RootMovementRule) ? false : m_random->Random(2) == 1;
        Sheet.KeySignature = KeySignatureOfPitchClass(root);
        if (IntervalInKey != 0) {
            const std::span<const int> positions = IntervalKeyPositions(interval);
            keyOffset = positions[static_cast<std::size_t>(
                m_random->Random(static_cast<int>(positions.size())))];
        } else {
            keyOffset = Sheet.Minor ? -3 : 0;
            if (IsDescending(CurrentPlayStyle)) {
                root -= interval;
            }
        }
        root += keyOffset;
    } else {
        Sheet.Minor = ItemReadsMinor(item);
        keyOffset = Sheet.Minor ? -3 : 0;
        if (IsFixedToneRule(RootMovementRule)) {
            Sheet.KeySignature = KeySignatureOfPitchClass(root - keyOffset);
        } else {
            Sheet.KeySignature = KeySignatureOfPitchClass(root);
            root += keyOffset;
        }
    }
    Sheet.KeyOffset = keyOffset;
    int cLetter = MajorTonicLetter(Sheet.KeySignature) + (cOnTonic ? 0 : DegreeLetters(keyOffset));
    if (Mode == IdentificationMode::IntervalIdentification && IsDescending(CurrentPlayStyle) &&
        IntervalInKey == 0 && count > 1) {
        // Without a key the upper note is the drawn tonic; the lower one keeps the interval
        // its item names.
        cLetter -= ItemLetter(item, 1);
    }

    // Into the range of roots, an octave at a time.
    if (root > LowNote + RootSpan && root - 12 > LowNote) {
        root -= 12;
    }
    if (root < LowNote && LowNote + RootSpan >= root + 12) {
        root += 12;
    }
    QuestionRoot = static_cast<std::uint8_t>(IntoMidiRange(root));

    QuestionNotes.fill(TNoteRec{});
    if (Mode == IdentificationMode::Scales && IsDescending(CurrentPlayStyle)) {
        for (int k = 0; k < count; ++k) {
            const auto from = static_cast<std::size_t>(count - 1 - k);
            TNoteRec& note = QuestionNotes[static_cast<std::size_t>(k)];
            note.Pitch.Note = static_cast<std::int8_t>(IntoMidiRange(item.Pitch[from] + root));
            note.Pitch.Shift = item.Shift[from];
        }
        CurrentPlayStyle = kPlayUp;
        ReversedScale = true;
    } else {
        for (int k = 0; k < count; ++k) {
            const auto i = static_cast<std::size_t>(k);
            QuestionNotes[i].Pitch.Note =
                static_cast<std::int8_t>(IntoMidiRange(item.Pitch[i] + root));
            QuestionNotes[i].Pitch.Shift = item.Shift[i];
        }
    }
    SpellAndPlaceNotes(cLetter);
}

void AkkordModel::SpellAndPlaceNotes(int cLetter)
{
    const int count = std::clamp<int>(QuestionNoteCount, 0, kItemNoteCount);
    QuestionHighest = 0;
    QuestionLowest = kMidiHighest;
    for (int k = 0; k < count; ++k) {
        const int pitch = QuestionNotes[static_cast<std::size_t>(k)].Pitch.Note;
        QuestionHighest = std::max(QuestionHighest, pitch);
        QuestionLowest = std::min(QuestionLowest, pitch);
    }
    if (count == 0) {
        QuestionHighest = QuestionLowest = QuestionRoot;
    }
    PlaceOnStaff();

    std::array<TPitch, kItemNoteCount> pitches{};
    for (int k = 0; k < count; ++k) {
        pitches[static_cast<std::size_t>(k)] = QuestionNotes[static_cast<std::size_t>(k)].Pitch;
    }
    const std::span<TPitch> spelled(pitches.data(), static_cast<std::size_t>(count));
    SpellAsWritten(spelled, QuestionRoot, cLetter, LetterRuleOf(Mode, spelled, QuestionRoot));
    WriteSpelledQuestion(spelled);
}

void AkkordModel::WriteSpelledQuestion(std::span<const TPitch> spelled)
{
    const int count = static_cast<int>(std::min(spelled.size(), QuestionNotes.size()));
    for (int k = 0; k < count; ++k) {
        TNoteRec& note = QuestionNotes[static_cast<std::size_t>(k)];
        note.Pitch = spelled[static_cast<std::size_t>(k)];
        note.GuitarString = 0;
        SetGuitarString(note, DisplayOffset);
        note.Staff = 0;
    }
    AssignGuitarStrings(QuestionNotes, count, DisplayOffset, ModeInfo(Mode).Kind);
    if (!TonicContext && ShowFirstTone) {
        EnterFirstTone();
    }
}

void AkkordModel::EnterFirstTone()
{
    const int count = std::clamp<int>(QuestionNoteCount, 0, kItemNoteCount);
    if (count == 0) {
        return;
    }
    if (Mode == IdentificationMode::ChordProgressions) {
        // The answer holds one slot per chord; the first one is given away.
        EnteredCount = std::max<std::uint8_t>(EnteredCount, 1);
        EnteredNotes[0] = QuestionNotes[0];
        m_strip->ButtonEnabled[2] = true;
        // The chord given away is not the one the user enters next.
        if (ChordCursor == 0 && EnteredCount > 1) {
            ChordCursor = 1;
        }
        return;
    }
    const bool last = IsDescending(CurrentPlayStyle) && !ReversedScale;
    const TNoteRec& first = QuestionNotes[static_cast<std::size_t>(last ? count - 1 : 0)];
    const std::uint8_t tool = EntryTool;
    if (Mode == IdentificationMode::MelodyDictation && ExtraEntryButtons) {
        // The tone given away is entered with its own note value, so it matches the question.
        EntryTool = static_cast<std::uint8_t>(4 - std::clamp<int>(first.Duration, 1, 3));
    }
    EnterNote(first.Pitch, false);
    EntryTool = tool;
    UpdateMelodyBars();
    FirstTonePitch = first.Pitch.Note;
}

void AkkordModel::PlaceOnStaff()
{
    // The over-shift by an octave when the excess is a whole number of octaves is kept: it
    // only moves what is shown, never what sounds or is stored.
    if (QuestionHighest > HighestPitch) {
        DisplayOffset = Div(QuestionHighest - HighestPitch, 12) * 12 + 12;
    } else if (LowestPitch > QuestionLowest) {
        DisplayOffset = -Div(LowestPitch - QuestionLowest, 12) * 12 - 12;
    } else {
        DisplayOffset = 0;
    }
    Sheet.DisplayOffset = DisplayOffset;
    Sheet.StaffChoice = QuestionHighest - 60 < 60 - QuestionLowest ? -2 : 2;
}

void AkkordModel::GenerateProgression(const AkkordItem& item)
{
    const int count = std::clamp<int>(item.NoteCount, 0, kItemNoteCount);
    for (int b = 1; b <= ButtonCount; ++b) {
        const AkkordItem& other = ExerciseItem[ButtonItems[static_cast<std::size_t>(b)]];
        m_buttonEnabled[static_cast<std::size_t>(b)] = other.NoteCount == item.NoteCount;
    }

    const int root = QuestionRoot;
    int vote = 10;
    std::array<TNoteRec, kItemNoteCount> chords{};
    for (int k = 0; k < count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const int r = PositiveMod(item.Pitch[i], 12);
        const bool minorChord = IsMinorChordType(item.Code[i]);
        if (r == 2 || r == 4 || r == 9) {
            vote += minorChord ? 1 : -1;
        } else if (r == 0 || r == 3) {
            vote += minorChord ? -1 : 1;
        }
        chords[i].Pitch.Note = static_cast<std::int8_t>(IntoMidiRange(item.Pitch[i] + root));
        chords[i].Pitch.Shift = item.Shift[i];
        chords[i].AccidentalInput = item.Code[i];
    }
    if (count > 0 && chords[static_cast<std::size_t>(count - 1)].Pitch.Note == root) {
        vote += IsMinorChordType(item.Code[static_cast<std::size_t>(count - 1)]) ? -1 : 1;
    }
    Sheet.Minor = vote < 10;
    Sheet.KeyOffset = Sheet.Minor ? -3 : 0;
    Sheet.KeySignature = KeySignatureOfPitchClass(root - Sheet.KeyOffset);

    SpellChordRoots(std::span(chords).first(static_cast<std::size_t>(count)), root);
    QuestionNotes = chords;
    ProgressionNotes = VoiceProgression(chords, count, 0, IntervalInKey, m_chordItems, *m_random);

    QuestionHighest = 0;
    QuestionLowest = kMidiHighest;
    for (const TNoteRec& note : ProgressionNotes.Notes) {
        if (note.Pitch.Note == 0) {
            continue;
        }
        QuestionHighest = std::max<int>(QuestionHighest, note.Pitch.Note);
        QuestionLowest = std::min<int>(QuestionLowest, note.Pitch.Note);
    }
    if (QuestionHighest < QuestionLowest) {
        QuestionHighest = QuestionLowest = root;
    }
    PlaceOnStaff();
    for (TNoteRec& note : ProgressionNotes.Notes) {
        DefaultGuitarString(note);
    }
    // The answer has a slot per chord from the start; empty slots sound as rests.
    EnteredNotes.fill(TNoteRec{});
    EnteredCount = static_cast<std::uint8_t>(count);
    ChordCursor = 0;
    PressedChordType = -1;
    if (!TonicContext && ShowFirstTone) {
        EnterFirstTone();
    }
}

void AkkordModel::EnterNote(TPitch note, bool remove, int position)
{
    const auto entered = static_cast<std::size_t>(EnteredCount);
    if (!remove) {
        int same = 0;
        for (std::size_t k = 0; k < entered; ++k) {
            same += EnteredNotes[k].Pitch.Note == note.Note ? 1 : 0;
        }
        const int maxSame = std::max(MaxSamePitch, 1);
        if (same >= maxSame || entered >= kItemNoteCount) {
            return;
        }
        std::size_t at = entered;
        if (position > 0) {
            at = std::min(static_cast<std::size_t>(position - 1), entered);
        } else if (Mode != IdentificationMode::Scales &&
                   Mode != IdentificationMode::MelodyDictation) {
            at = 0;
            while (at < entered && EnteredNotes[at].Pitch.Note <= note.Note) {
                ++at;
            }
        }
        for (std::size_t k = entered; k > at; --k) {
            EnteredNotes[k] = EnteredNotes[k - 1];
        }
        TNoteRec rec;
        rec.Pitch = note;
        rec.Free18 = static_cast<std::uint8_t>(same);
        if (Mode == IdentificationMode::MelodyDictation && ExtraEntryButtons) {
            rec.Duration = DurationOfTool(EntryTool);
        }
        EnteredNotes[at] = rec;
        ++EnteredCount;
        UpdateMelodyBars();
        for (std::size_t k = 0; k < EnteredCount; ++k) {
            EnteredNotes[k].GuitarString = 0;
            SetGuitarString(EnteredNotes[k], DisplayOffset);
        }
        AssignGuitarStrings(EnteredNotes, EnteredCount, DisplayOffset, ModeInfo(Mode).Kind);
    } else {
        int same = 0;
        std::size_t last = entered;
        for (std::size_t k = 0; k < entered; ++k) {
            if (EnteredNotes[k].Pitch.Note == note.Note) {
                ++same;
                last = k;
            }
        }
        // The shown first tone stays unless the user entered it a second time.
        if (note.Note == FirstTonePitch && FirstTonePitch != 0 && same < 2) {
            return;
        }
        std::size_t at = position > 0 ? static_cast<std::size_t>(position - 1) : last;
        if (at >= entered) {
            return;
        }
        for (std::size_t k = at; k + 1 < entered; ++k) {
            EnteredNotes[k] = EnteredNotes[k + 1];
        }
        EnteredNotes[entered - 1] = TNoteRec{};
        --EnteredCount;
        RaiseStringsAfterRemoval();
        UpdateMelodyBars();
    }
    m_strip->ButtonEnabled[2] = EnteredCount > 0;
    // Every input names what it entered (a check that follows replaces the names by its
    // result); only a scored answer on show keeps its text.
    if (!m_session->Answered || m_session->QuestionCount == 0) {
        ResultLabel = EnteredNotesText();
    }
    if (!remove && AutoAnswer && !m_session->Answered && EnteredCount == QuestionNoteCount) {
        bool holdsQuestion = true;
        for (std::size_t k = 0; k < EnteredCount; ++k) {
            holdsQuestion =
                holdsQuestion && EnteredNotes[k].Pitch.Note == QuestionNotes[k].Pitch.Note;
        }
        if (holdsQuestion) {
            FourthButtonAction();
        }
    }
}

void AkkordModel::RaiseStringsAfterRemoval()
{
    const std::size_t count = EnteredCount;
    if (count < 1 || count > kGuitarStringCount) {
        return;
    }
    // A removed note leaves a gap on the fretboard: the notes above it close up towards the
    // high strings again, as long as each still sounds on its new string and none lands on
    // the string of the note after it.
    for (std::size_t k = count; k-- > 0;) {
        TNoteRec& note = EnteredNotes[k];
        const int string = GuitarStringNumber(note.GuitarString);
        if (string < 2) {
            continue;
        }
        const int target = string - 1;
        if (GuitarStrings[static_cast<std::size_t>(target)] > note.Pitch.Note - DisplayOffset) {
            continue;
        }
        if (k + 1 < count && GuitarStringNumber(EnteredNotes[k + 1].GuitarString) >= target) {
            continue;
        }
        note.GuitarString = static_cast<std::uint8_t>(note.GuitarString - 1);
    }
}

} // namespace pv
