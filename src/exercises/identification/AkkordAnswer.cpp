// How the identification exercise takes and scores an answer: by button or by entered notes.
#include "exercises/identification/AkkordModel.h"
#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/staff/KeyState.h"
#include "music/staff/Sheet.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <limits>

namespace pv {
namespace {

const std::array<const char*, 12> kSyllables = {"do", "ri",  "re", "me", "mi", "fa",
                                                "fi", "sol", "le", "la", "te", "ti"};

template <typename T> void AddSaturated(T& counter, int amount)
{
    const long long sum = static_cast<long long>(counter) + amount;
    counter = static_cast<T>(std::clamp<long long>(sum, 0, std::numeric_limits<T>::max()));
}

bool IsDescending(std::uint8_t style)
{
    return style == kPlayDown || style == kPlayHeldDown;
}

// Reads a key signature as its enharmonic twelve fifths away (7 flats rather than 5 sharps)
// when that lies nearer another, as an item's own key is read near the question's. A twin
// beyond seven flats or sharps does not exist: clamping it would name a key whose tonic is
// another pitch, and every letter drawn from it would be wrong.
int NearKeySignature(int keySignature, int near)
{
    if (keySignature - near >= 7 && keySignature - 12 >= kMinKeySignature) {
        keySignature -= 12;
    } else if (near - keySignature >= 7 && keySignature + 12 <= kMaxKeySignature) {
        keySignature += 12;
    }
    return keySignature;
}

} // namespace

std::vector<TNoteRec> AkkordModel::AnswerItemNotes(int item) const
{
    std::vector<TNoteRec> notes;
    if (item < 1 || item > static_cast<int>(kItemCount)) {
        return notes;
    }
    const AkkordItem& answer = ExerciseItem[static_cast<std::size_t>(item)];
    const AkkordItem& question = ExerciseItem[QuestionItem];
    const int count = std::clamp<int>(answer.NoteCount, 0, kItemNoteCount);
    const int root = QuestionRoot == 0 ? 60 : QuestionRoot;

    if (Mode == IdentificationMode::ChordProgressions) {
        std::array<TNoteRec, kItemNoteCount> chords{};
        for (int k = 0; k < count; ++k) {
            const auto i = static_cast<std::size_t>(k);
            chords[i].Pitch.Note =
                static_cast<std::int8_t>(std::clamp(answer.Pitch[i] + root, 0, 127));
            chords[i].AccidentalInput = answer.Code[i];
        }
        SpellChordRoots(std::span(chords).first(static_cast<std::size_t>(count)), root);
        // Chords are answers as root and type; the staff shows their voicing separately.
        notes.assign(chords.begin(), chords.begin() + count);
        return notes;
    }

    int move = 0;
    // The letter of the answer's C: in the question's key unless the item takes its own.
    int cLetter = MajorTonicLetter(Sheet.KeySignature) + DegreeLetters(Sheet.KeyOffset);
    const bool ownKey = Mode == IdentificationMode::ChordInversions ||
                        Mode == IdentificationMode::Scales || answer.Pitch[0] != 0;
    if (Mode == IdentificationMode::IntervalIdentification && IsDescending(CurrentPlayStyle) &&
        count > 1 && question.NoteCount > 1) {
        // The upper notes coincide, and so do their letters.
        move = question.Pitch[1] - answer.Pitch[1];
        const int upperLetter =
            WrittenLetter(QuestionNotes[1].Pitch).value_or(cLetter + ItemLetter(question, 1));
        cLetter = upperLetter - ItemLetter(answer, 1);
    } else if (ownKey) {
        move = question.Pitch[0] - answer.Pitch[0];
        int ownRoot = root + move;
        int rootIndex = -1;
        if (Mode == IdentificationMode::ChordInversions && count > 0) {
            rootIndex = answer.Code[0] < 255
                            ? PositiveMod(count - (count > 1 ? answer.Code[1] : 0), count)
                            : 0;
            ownRoot = answer.Pitch[static_cast<std::size_t>(rootIndex)] + root + move;
        }
        // A scale that starts on C and reads minor is written in its minor key, as a question
        // writes it; otherwise the item's own root is its key's tonic.
        const bool minorScale =
            Mode == IdentificationMode::Scales && answer.Pitch[0] == 0 && ItemReadsMinor(answer);
        const int minorOffset = minorScale ? -3 : 0;
        const int keySignature =
            NearKeySignature(KeySignatureOfPitchClass(ownRoot - minorOffset), Sheet.KeySignature);
        cLetter = MajorTonicLetter(keySignature) + DegreeLetters(minorOffset) -
                  (rootIndex >= 0 ? ItemLetter(answer, rootIndex) : 0);
    }
    std::array<TPitch, kItemNoteCount> pitches{};
    for (int k = 0; k < count; ++k) {
        const auto from = static_cast<std::size_t>(ReversedScale ? count - 1 - k : k);
        pitches[static_cast<std::size_t>(k)] =
            TPitch{static_cast<std::int8_t>(std::clamp(answer.Pitch[from] + root + move, 0, 127)),
                   answer.Shift[from]};
    }
    const std::span<TPitch> spelled(pitches.data(), static_cast<std::size_t>(count));
    SpellAsWritten(spelled, root + move, cLetter, LetterRuleOf(Mode, spelled, root + move));
    for (const TPitch& pitch : spelled) {
        TNoteRec note;
        note.Pitch = pitch;
        SetGuitarString(note, DisplayOffset);
        notes.push_back(note);
    }
    AssignGuitarStrings(notes, count, DisplayOffset, ModeInfo(Mode).Kind);
    return notes;
}

VoicedProgression AkkordModel::VoiceEnteredChords() const
{
    const int count = std::min<int>(EnteredCount, kItemNoteCount);
    return VoiceProgression(std::span(EnteredNotes).first(static_cast<std::size_t>(count)), count,
                            ProgressionNotes.TopPitch, IntervalInKey, m_chordItems, *m_random);
}

bool AkkordModel::ShowAnswerItem(int button, bool play)
{
    const int item = ItemOfButton(button);
    if (item == 0 || !AnswerButtonEnabled(button)) {
        return false;
    }
    const std::vector<TNoteRec> notes = AnswerItemNotes(item);
    if (!m_session->Answered || QuestionItem == 0) {
        EnteredNotes.fill(TNoteRec{});
        std::copy(notes.begin(), notes.end(), EnteredNotes.begin());
        EnteredCount = static_cast<std::uint8_t>(notes.size());
        DisplayedNoteCount = EnteredCount;
        ResultLabel = EnteredNotesText();
        if (!play || (AutoAnswer && item == QuestionItem)) {
            AnsweredItem = static_cast<std::uint8_t>(item);
            CheckAnswer(item, -1);
        }
    }
    return play && PlayToneOnClick && !notes.empty();
}

void AkkordModel::ClearEnteredNotes()
{
    if (FirstTonePitch != 0) {
        for (std::size_t k = 0; k < EnteredCount; ++k) {
            if (EnteredNotes[k].Pitch.Note == FirstTonePitch) {
                const TNoteRec first = EnteredNotes[k];
                EnteredNotes.fill(TNoteRec{});
                EnteredNotes[0] = first;
                EnteredCount = 1;
                DisplayedNoteCount = 1;
                UpdateMelodyBars();
                return;
            }
        }
    }
    EnteredNotes.fill(TNoteRec{});
    EnteredCount = 0;
    DisplayedNoteCount = 0;
    UpdateMelodyBars();
}

void AkkordModel::FourthButtonAction()
{
    if (m_session->Answered) {
        return;
    }
    const int compared = std::min<int>(EnteredCount, QuestionNoteCount);
    int matches = 0;
    const auto entered = [this](int k) { return EnteredNotes[static_cast<std::size_t>(k)]; };
    const auto asked = [this](int k) { return QuestionNotes[static_cast<std::size_t>(k)]; };
    if (Mode == IdentificationMode::ChordProgressions) {
        for (int k = 0; k < compared; ++k) {
            matches += SameProgressionChord(entered(k), asked(k)) ? 1 : 0;
        }
    } else {
        const std::uint8_t rule =
            QuestionNoteCount == 1 ? kIdentifyAbsolute : Settings.NoteIdentification;
        std::array<bool, kItemNoteCount> matched{};
        bool anyMatched = false;
        for (int k = 0; k < compared; ++k) {
            const int a = entered(k).Pitch.Note;
            const int b = asked(k).Pitch.Note;
            bool same = false;
            if (rule == kIdentifyRelative) {
                same = k > 0 && a - entered(0).Pitch.Note == b - asked(0).Pitch.Note;
            } else {
                same = rule == kIdentifyPitchClass ? a % 12 == b % 12 : a == b;
            }
            matched[static_cast<std::size_t>(k)] = same;
            anyMatched = anyMatched || same;
        }
        if (rule == kIdentifyRelative && compared > 0) {
            matched[0] = anyMatched;
        }
        // A melody written with note values is right only where the value is right too.
        const bool durations = Mode == IdentificationMode::MelodyDictation && ExtraEntryButtons;
        for (int k = 0; k < compared; ++k) {
            const bool sameValue = !durations || entered(k).Duration == asked(k).Duration;
            matches += matched[static_cast<std::size_t>(k)] && sameValue ? 1 : 0;
        }
    }
    if (EnteredCount == QuestionNoteCount && matches == QuestionNoteCount) {
        CheckAnswer(QuestionItem, matches);
    } else if (Mode != IdentificationMode::MelodyDictation) {
        AnsweredItem = static_cast<std::uint8_t>(FindEnteredItem());
        CheckAnswer(AnsweredItem, matches);
    } else {
        CheckAnswer(QuestionItem, matches);
    }
}

int AkkordModel::FindEnteredItem() const
{
    if (EnteredCount < 2 || Mode == IdentificationMode::ChordProgressions ||
        Mode == IdentificationMode::MelodyDictation) {
        return 0;
    }
    for (std::size_t i = 1; i <= kItemCount; ++i) {
        const AkkordItem& item = ExerciseItem[i];
        if (item.NoteCount != EnteredCount) {
            continue;
        }
        bool same = true;
        for (std::size_t k = 1; k < EnteredCount && same; ++k) {
            same = item.Pitch[k] - item.Pitch[k - 1] ==
                   EnteredNotes[k].Pitch.Note - EnteredNotes[k - 1].Pitch.Note;
        }
        if (same) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void AkkordModel::CheckAnswer(int item, int matches)
{
    if (m_session->Answered) {
        return;
    }
    const UIStringTable& strings = *m_strings;
    m_session->Answered = true;
    m_strip->ButtonEnabled[0] = true;
    m_strip->ButtonEnabled[3] = false;
    m_strip->FocusIndex = 0;

    // The question's notes follow the answer on the staff, after a double bar.
    const int count = std::clamp<int>(QuestionNoteCount, 0, kItemNoteCount);
    const int entered = std::min<int>(EnteredCount, kItemNoteCount);
    if (entered > 0) {
        EnteredNotes[static_cast<std::size_t>(entered - 1)].BarLine = 2;
    }
    for (int k = 0; k < count; ++k) {
        EnteredNotes[static_cast<std::size_t>(entered + k)] =
            QuestionNotes[static_cast<std::size_t>(k)];
    }
    if (count > 0) {
        EnteredNotes[static_cast<std::size_t>(entered + count - 1)].BarLine = 2;
    }
    DisplayedNoteCount = entered + count;

    if (Mode == IdentificationMode::MelodyDictation) {
        // A first tone that was shown is neither asked nor answered; a missed one never makes
        // the right count fall.
        const int shown = ShowFirstTone ? 1 : 0;
        const int asked = std::max(0, QuestionNoteCount - shown);
        const int right = std::max(0, matches - shown);
        AddSaturated(m_session->QuestionCount, asked);
        AddSaturated(m_session->CorrectCount, right);
        LastAnswerRight = matches == QuestionNoteCount && EnteredCount == QuestionNoteCount;
        RightPictureShown = LastAnswerRight;
        ResultLabel = LastAnswerRight
                          ? strings.StrScore
                          : Format(strings.StrIdentText6, {static_cast<std::int64_t>(right),
                                                           static_cast<std::int64_t>(asked)});
    } else {
        AddSaturated(m_session->QuestionCount, 1);
        // A note answer is right only with exactly the question's notes: a superset is not.
        const bool right =
            (matches == -1 && item == QuestionItem) ||
            (matches >= 0 && matches == QuestionNoteCount && EnteredCount == QuestionNoteCount);
        LastAnswerRight = right;
        RightPictureShown = right;
        m_session->CountItemAnswer(QuestionItem, right);
        if (right) {
            AddSaturated(m_session->CorrectCount, 1);
            ResultLabel = strings.StrScore + QStringLiteral(": ") + AnswerText();
            if (Mode != IdentificationMode::ChordProgressions && matches >= 0 &&
                (AnswerInput & kAnswerOnStaff) != 0 &&
                Settings.NoteIdentification != kIdentifyRelative) {
                bool spellingDiffers = false;
                for (int k = 0; k < entered && k < count; ++k) {
                    spellingDiffers = spellingDiffers ||
                                      EnteredNotes[static_cast<std::size_t>(k)].Pitch.Shift !=
                                          QuestionNotes[static_cast<std::size_t>(k)].Pitch.Shift;
                }
                if (spellingDiffers) {
                    ResultLabel +=
                        QStringLiteral("  (") + strings.StrIdentText5 + QStringLiteral(")");
                }
            }
        } else {
            if (item == QuestionItem) {
                ResultLabel = strings.StrIdentText4;
            } else {
                ResultLabel = strings.StrIdentText3 + QStringLiteral(" ") + AnswerText();
                // Only an item that has a button now can show the mistake.
                const int chosen = ButtonOfItem(item);
                if (chosen > 0) {
                    ButtonColour[static_cast<std::size_t>(chosen)] = AnswerPanelColour::Red;
                }
            }
            m_strip->ButtonEnabled[2] = true;
        }
        const int rightButton = ButtonOfItem(QuestionItem);
        if (rightButton > 0) {
            ButtonColour[static_cast<std::size_t>(rightButton)] = AnswerPanelColour::Green;
        }
        BlinkCount = 0;
        BlinkRunning = rightButton > 0;
    }
    if (Mode == IdentificationMode::ChordProgressions) {
        AlterationBarEnabled = false;
    }
    AutoNewQuestionArmed =
        Settings.AutoNewQuestion && (LastAnswerRight || !Settings.AutoNewQuestionOnlyRight);
    m_effects.Scored(LastAnswerRight);
}

QString AkkordModel::AnswerText() const
{
    if (QuestionItem == 0) {
        return {};
    }
    const QString& name = ExerciseItem[QuestionItem].Name;
    const int count = std::clamp<int>(QuestionNoteCount, 0, kItemNoteCount);
    if (count == 0) {
        return name;
    }
    switch (Mode) {
    case IdentificationMode::ChordIdentification:
    case IdentificationMode::Scales: {
        const int first = ReversedScale ? count - 1 : 0;
        return NoteName(QuestionNotes[static_cast<std::size_t>(first)].Pitch) +
               QStringLiteral(" ") + name;
    }
    case IdentificationMode::ChordInversions: {
        const int index = std::clamp(RootNoteIndex, 1, count) - 1;
        return NoteName(QuestionNotes[static_cast<std::size_t>(index)].Pitch) +
               QStringLiteral(" ") + name;
    }
    default:
        return name;
    }
}

QString AkkordModel::EnteredNotesText() const
{
    const UIStringTable& strings = *m_strings;
    QString text;
    const int tonic = KeyTonicTable(Sheet.KeySignature) + (Sheet.Minor ? -3 : 0);
    for (std::size_t k = 0; k < EnteredCount; ++k) {
        const TPitch pitch = EnteredNotes[k].Pitch;
        text += NoteName(pitch);
        if (Sheet.Syllables) {
            text += QStringLiteral(" (") +
                    QString::fromLatin1(
                        kSyllables[static_cast<std::size_t>(PositiveMod(pitch.Note - tonic, 12))]) +
                    QStringLiteral(")   ");
        } else {
            text += QStringLiteral("   ");
        }
    }
    if (Mode != IdentificationMode::MelodyDictation &&
        Mode != IdentificationMode::ChordProgressions) {
        const int found = FindEnteredItem();
        if (found > 0) {
            text += QStringLiteral("=  ") + ExerciseItem[static_cast<std::size_t>(found)].Name;
        }
    }
    if (!m_session->Answered) {
        // The hint is a courtesy: it never pushes the entered notes out of sight.
        const QString hinted =
            text + QStringLiteral("  (") + strings.StrItemSuffix + QStringLiteral(")");
        if (!ResultLabelFits || ResultLabelFits(hinted)) {
            return hinted;
        }
    }
    return text;
}

void AkkordModel::BlinkTick()
{
    if (!BlinkRunning) {
        return;
    }
    ++BlinkCount;
    const int button = ButtonOfItem(QuestionItem);
    if (BlinkCount >= 4) {
        BlinkRunning = false;
        BlinkCount = 0;
        if (button > 0) {
            ButtonColour[static_cast<std::size_t>(button)] = AnswerPanelColour::Face;
        }
        return;
    }
    if (button > 0) {
        ButtonColour[static_cast<std::size_t>(button)] =
            BlinkCount % 2 == 1 ? AnswerPanelColour::Face : AnswerPanelColour::Green;
    }
}

} // namespace pv
