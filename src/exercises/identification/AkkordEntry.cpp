// How the identification exercise takes back notes, enters progression chords, enters its view
// and narrows its pitch range to the instruments shown.
#include "exercises/identification/AkkordModel.h"
#include "music/notation/Guitar.h"
#include "music/notation/Pitch.h"

#include <algorithm>

namespace pv {
namespace {

constexpr int kWidestLowest = 36;
constexpr int kWidestHighest = 95;
constexpr int kGuitarLowest = 52;
constexpr int kPianoLowest = 41;

bool HasRoot(const TNoteRec& chord)
{
    return chord.Pitch.Note != 0;
}

} // namespace

int ChordTypeOfAlterationButton(int button)
{
    if (button >= 0 && button <= 16) {
        return button;
    }
    if (button == 17) {
        return 23;
    }
    if (button == 18) {
        return 25;
    }
    return -1;
}

int DiatonicTriadType(int semitones, bool minor)
{
    constexpr int kMajorTriad = 0;
    constexpr int kMinorTriad = 1;
    constexpr int kDiminishedTriad = 2;
    const int d = PositiveMod(semitones, 12);
    if (minor) {
        if (d == 0 || d == 5) {
            return kMinorTriad;
        }
        return d == 2 ? kDiminishedTriad : kMajorTriad;
    }
    if (d == 2 || d == 4 || d == 9) {
        return kMinorTriad;
    }
    return d == 11 ? kDiminishedTriad : kMajorTriad;
}

void AkkordModel::DeleteLastNote()
{
    // Progression answers are chord slots, not notes: taking one back is the chord entry's.
    if (m_session->Answered || EnteredCount == 0 || Mode == IdentificationMode::ChordProgressions) {
        return;
    }
    const int last = std::min<int>(EnteredCount, static_cast<int>(EnteredNotes.size()));
    EnterNote(EnteredNotes[static_cast<std::size_t>(last - 1)].Pitch, true, last);
    DisplayedNoteCount = EnteredCount;
    ResultLabel = EnteredNotesText();
}

AkkordModel::ProgressionChordEffect AkkordModel::SetProgressionChord(TPitch root,
                                                                     std::uint8_t chordType,
                                                                     int guitarString, bool remove,
                                                                     bool quiet)
{
    ProgressionChordEffect effect;
    const int count = std::min<int>(EnteredCount, kItemNoteCount);
    if (Mode != IdentificationMode::ChordProgressions || m_session->Answered || count == 0) {
        return effect;
    }
    ChordCursor = static_cast<std::uint8_t>(std::min<int>(ChordCursor, count - 1));

    if (remove) {
        if (root.Note == 0) {
            return effect;
        }
        for (int k = count - 1; k >= 0; --k) {
            TNoteRec& chord = EnteredNotes[static_cast<std::size_t>(k)];
            if (chord.Pitch.Note == root.Note) {
                chord = TNoteRec{};
                chord.AccidentalInput = kNoChordType;
                ChordCursor = static_cast<std::uint8_t>(k);
                PressedChordType = kOwnButtonChordType;
                effect.Changed = true;
                break;
            }
        }
        return effect;
    }

    HeldNote = TNoteRec{};
    TNoteRec& chord = EnteredNotes[ChordCursor];
    int type = chordType;
    if (root.Note != 0 && type == kNoChordType) {
        type = HasRoot(chord) ? chord.AccidentalInput
                              : DiatonicTriadType(root.Note - QuestionRoot, Sheet.Minor);
    }
    if (root.Note == 0 && HasRoot(chord)) {
        chord.AccidentalInput = static_cast<std::uint8_t>(type);
    } else {
        chord = TNoteRec{};
        chord.Pitch = root;
        chord.AccidentalInput = static_cast<std::uint8_t>(type);
        PressedChordType = type;
    }
    effect.Changed = true;
    if (!HasRoot(chord)) {
        return effect;
    }

    if (guitarString >= 1 && guitarString <= 6) {
        chord.GuitarString = static_cast<std::uint8_t>(guitarString);
    } else {
        chord.GuitarString = 0;
        SetGuitarString(chord, DisplayOffset);
    }
    // Only chords that sound make the answer worth checking.
    const VoicedProgression voiced = VoiceEnteredChords();
    m_strip->ButtonEnabled[3] = static_cast<int>(voiced.Notes.size()) > count;
    if (!quiet && PlayToneOnClick) {
        effect.PlayChord = ChordCursor;
    }
    if (ChordCursor + 1 < count && !HasRoot(EnteredNotes[ChordCursor + 1U])) {
        ++ChordCursor;
    }
    const TNoteRec& selected = EnteredNotes[ChordCursor];
    PressedChordType = HasRoot(selected) ? selected.AccidentalInput : -1;

    if (AutoAnswer && count == QuestionNoteCount) {
        bool same = true;
        for (std::size_t k = 0; k < static_cast<std::size_t>(count) && same; ++k) {
            same = SameProgressionChord(EnteredNotes[k], QuestionNotes[k]);
        }
        if (same) {
            FourthButtonAction();
        }
    }
    return effect;
}

AkkordModel::ProgressionChordEffect AkkordModel::AlterationButtonClick(int button)
{
    const int type = ChordTypeOfAlterationButton(button);
    if (type < 0) {
        return {};
    }
    return SetProgressionChord(TPitch{}, static_cast<std::uint8_t>(type), 0, false, false);
}

bool SameProgressionChord(const TNoteRec& entered, const TNoteRec& asked)
{
    // An entered root is folded into the octave above the question's root, while a question
    // chord may lie below it: roots are the same chord in any octave.
    return HasRoot(entered) && HasRoot(asked) &&
           PositiveMod(entered.Pitch.Note - asked.Pitch.Note, 12) == 0 &&
           entered.AccidentalInput == asked.AccidentalInput;
}

bool AkkordModel::EnterExercise(bool tutorActive)
{
    MidiHeldCount = 0;
    return !tutorActive && (Settings.AutoNewQuestion || QuestionNoteCount == 0);
}

void AkkordModel::UpdatePitchRange(std::optional<int> guitarTopPitch,
                                   std::optional<int> pianoTopPitch)
{
    HighestPitch = kWidestHighest;
    LowestPitch = kWidestLowest;
    if (guitarTopPitch) {
        HighestPitch = std::min(HighestPitch, *guitarTopPitch);
        LowestPitch = std::max(LowestPitch, kGuitarLowest);
    }
    if (pianoTopPitch) {
        HighestPitch = std::min(HighestPitch, *pianoTopPitch);
        LowestPitch = std::max(LowestPitch, kPianoLowest);
    }
}

} // namespace pv
