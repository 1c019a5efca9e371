// The progression editor without its dialog: two to five chords of a progression item, each a
// degree of C and a chord type, named as a text and played through the progression voicing.
#pragma once

#include "exercises/items/ItemTables.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include <QString>
#include <QStringList>

namespace pv {

class TMidiOut;

inline constexpr int kProgressionEditRows = 5;
inline constexpr int kProgressionEditMinChords = 2;
inline constexpr int kAlterationCount = 19;

/// Queues the chords voiced from C in root position, one after the other, each sounded
/// together; any number of chords (a tutor's item may hold twelve).
void QueueProgression(std::span<const ProgressionChord> chords, const ItemTable& chordItems,
                      bool guitar, TMidiOut& midiOut);

/// Whether a progression of that many chords can be edited (at most five rows); a longer one
/// is refused, so its chords are kept as they are.
constexpr bool ProgressionEditable(int chordCount)
{
    return chordCount <= kProgressionEditRows;
}

/// The step list: the Roman degrees of C by semitones.
QStringList ProgressionStepNames();
/// The alteration list: the chord symbols, the first two as the names of the first two chord
/// items.
QStringList ProgressionAlterationNames(const ItemTable& chordItems);
/// The alteration entry of a chord type (types without an entry show the first), and back.
int AlterationOfChordType(int chordType);
int ChordTypeOfAlteration(int alteration);

class AkkProgEditModel
{
public:
    std::array<ProgressionChord, kProgressionEditRows> EditChords{};
    std::uint32_t EditChordCount = kProgressionEditMinChords;

    // The dialog's boxes.
    int TrackBar1 = kProgressionEditMinChords;
    std::array<int, kProgressionEditRows> StepIndex{};       ///< ComboBox1, 3, 5, 7, 9
    std::array<int, kProgressionEditRows> AlterationIndex{}; ///< ComboBox2, 4, 6, 8, 10
    std::array<bool, kProgressionEditRows> RowEnabled{};
    QString Label11;

    /// Takes an item's chords (at most five) and fills the boxes.
    void Open(const std::vector<ProgressionChord>& chords);
    void FillProgressionEditor();
    void TrackBar1Change(int position);
    void ComboBox1Change();
    /// The user chose a step or an alteration in a row.
    void ChooseStep(int row, int index);
    void ChooseAlteration(int row, int index);
    void ReadProgressionEditor();
    /// The chords as OK stores them.
    std::vector<ProgressionChord> Result() const;

    /// Plays the chords, voiced from C, one after the other.
    void Play(const ItemTable& chordItems, bool guitar, TMidiOut& midiOut);

private:
    /// A row whose box the user changed takes the box; others keep their chord as it came, so
    /// a root outside the octave above C or a type without an entry survives an OK.
    std::array<bool, kProgressionEditRows> m_stepChosen{};
    std::array<bool, kProgressionEditRows> m_alterationChosen{};
    int m_given = 0; ///< the chords the item came with
};

} // namespace pv
