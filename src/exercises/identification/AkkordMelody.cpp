// How the identification exercise asks a melody: the generated melody becomes the question,
// spelled in its key, and the entered answer keeps its note values in bars.
#include "exercises/identification/AkkordModel.h"
#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Spelling.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <vector>

namespace pv {
namespace {

// Melodies are written in 4/4.
constexpr int kBar = kWholeTicks;
constexpr int kHalfBar = kWholeTicks / 2;
constexpr std::uint8_t kPlainTool = 1;
constexpr std::uint8_t kHalfTool = 2;
constexpr std::uint8_t kWholeTool = 3;

} // namespace

std::uint8_t AkkordModel::DurationOfTool(std::uint8_t tool)
{
    switch (tool) {
    case kWholeTool:
        return 1;
    case kHalfTool:
        return 2;
    default:
        return 3;
    }
}

bool AkkordModel::DrawMelody()
{
    m_drawnMelody.reset();
    if (!m_melodyItems) {
        m_melodyItems = std::make_shared<const ItemTables>(BuiltInItemTables());
    }
    // Each melody is new: the source is seeded as for every other question.
    m_random->Randomize();
    DrawnMelody melody;
    melody.Notes = QuestionNotes;
    melody.Count = QuestionNoteCount;
    melody.Sheet =
        MelodySheet{Sheet.KeySignature, Sheet.KeyOffset, Sheet.ShowKeySignature, Sheet.Minor};
    melody.Root = QuestionRoot;
    MelodyGenerator generator(*m_random, m_prompts, *m_strings);
    const Status<MelodyError> made = generator.GenerateMelody(
        m_melodySetup, *m_melodyItems, melody.Notes, melody.Count, melody.Sheet, melody.Root);
    if (!made) {
        if (m_prompts == nullptr) {
            ResultLabel = m_strings->StrMelodyRangeMessage;
        }
        return false;
    }
    m_drawnMelody = melody;
    return true;
}

void AkkordModel::GenerateMelodyQuestion()
{
    if (!m_drawnMelody && !DrawMelody()) {
        return;
    }
    const DrawnMelody melody = *m_drawnMelody;
    m_drawnMelody.reset();
    UpdateMelodyBars();
    QuestionItem = 0;
    QuestionNotes = melody.Notes;
    QuestionNoteCount = melody.Count;
    QuestionRoot = melody.Root;
    PreviousRoot = melody.Root;
    Sheet.KeySignature = melody.Sheet.KeySignature;
    Sheet.KeyOffset = melody.Sheet.KeyOffset;
    Sheet.ShowKeySignature = melody.Sheet.ShowKeySignature;
    Sheet.Minor = melody.Sheet.Minor;
    // Whole-tone and chromatic melodies have no key whose tonic could be played first.
    TonicContext = PlaysTonicReference(m_melodySetup.TonicReference) &&
                   m_melodySetup.Scale != kMelodyWholeTone &&
                   m_melodySetup.Scale != kMelodyChromatic;

    const int count = std::clamp<int>(QuestionNoteCount, 0, kItemNoteCount);
    QuestionHighest = 0;
    QuestionLowest = 127;
    for (int k = 0; k < count; ++k) {
        const int pitch = QuestionNotes[static_cast<std::size_t>(k)].Pitch.Note;
        QuestionHighest = std::max(QuestionHighest, pitch);
        QuestionLowest = std::min(QuestionLowest, pitch);
    }
    PlaceOnStaff();
    // Every note is written on the letter the key gives it, whatever the scale item wrote.
    std::vector<TPitch> spelled(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        spelled[static_cast<std::size_t>(k)] = SpellInKey(
            QuestionNotes[static_cast<std::size_t>(k)].Pitch.Note, Sheet.KeySignature, Sheet.Minor);
    }
    WriteSpelledQuestion(spelled);
}

void AkkordModel::UpdateMelodyBars()
{
    if (Mode != IdentificationMode::MelodyDictation || !ExtraEntryButtons) {
        return;
    }
    int sum = 0;
    for (std::size_t k = 0; k < EnteredCount; ++k) {
        TNoteRec& note = EnteredNotes[k];
        sum += DurationTicksOf(note.Duration);
        note.BarLine = sum % kBar == 0 ? 1 : 0;
    }
    const int used = sum % kBar;
    WholeToolEnabled = used == 0;
    HalfToolEnabled = used <= kHalfBar;
    if ((EntryTool == kWholeTool && !WholeToolEnabled) ||
        (EntryTool == kHalfTool && !HalfToolEnabled)) {
        EntryTool = kPlainTool;
    }
}

} // namespace pv
