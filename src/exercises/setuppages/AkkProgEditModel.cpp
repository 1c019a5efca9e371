// The progression editor's rules.
#include "exercises/setuppages/AkkProgEditModel.h"

#include "exercises/progressions/ProgressionNaming.h"
#include "exercises/progressions/ProgressionVoicing.h"
#include "music/base/Random.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"
#include "music/sequencer/MidiOut.h"

#include <algorithm>

namespace pv {

namespace {

constexpr int kTonic = 60;
constexpr std::array<int, 2> kExtraTypes = {23, 25}; ///< alterations 17 and 18
constexpr int kPlainTypes = 17;                      ///< alterations 0..16 are types 0..16

/// The degrees written with a flat: bII, bIII, bV, bVI, bVII.
bool FlatStep(int step)
{
    return step == 1 || step == 3 || step == 6 || step == 8 || step == 10;
}

} // namespace

QStringList ProgressionStepNames()
{
    QStringList names;
    for (const char* name : RomanDegreeNames)
        names << QString::fromLatin1(name);
    return names;
}

QStringList ProgressionAlterationNames(const ItemTable& chordItems)
{
    QStringList names;
    for (int i = 0; i < kAlterationCount; ++i)
        names << ChordSymbol(i);
    names[0] = chordItems.Name(1);
    names[1] = chordItems.Name(2);
    return names;
}

int AlterationOfChordType(int chordType)
{
    if (chordType >= 0 && chordType < kPlainTypes)
        return chordType;
    for (std::size_t i = 0; i < kExtraTypes.size(); ++i)
        if (kExtraTypes[i] == chordType)
            return kPlainTypes + static_cast<int>(i);
    return 0;
}

int ChordTypeOfAlteration(int alteration)
{
    if (alteration >= kPlainTypes && alteration < kAlterationCount)
        return kExtraTypes[static_cast<std::size_t>(alteration - kPlainTypes)];
    return std::clamp(alteration, 0, kPlainTypes - 1);
}

void AkkProgEditModel::Open(const std::vector<ProgressionChord>& chords)
{
    EditChords = {};
    m_given = std::min(static_cast<int>(chords.size()), kProgressionEditRows);
    std::copy_n(chords.begin(), m_given, EditChords.begin());
    EditChordCount = static_cast<std::uint32_t>(std::max(m_given, kProgressionEditMinChords));
    m_stepChosen = {};
    m_alterationChosen = {};
    FillProgressionEditor();
    TrackBar1Change(TrackBar1);
}

void AkkProgEditModel::FillProgressionEditor()
{
    for (int k = 0; k < kProgressionEditRows; ++k) {
        const ProgressionChord& chord = EditChords[static_cast<std::size_t>(k)];
        // A root in another octave shows as its degree, never past the list.
        StepIndex[static_cast<std::size_t>(k)] =
            chord.Root == 0 ? 0 : PositiveMod(chord.Root - kTonic, 12);
        AlterationIndex[static_cast<std::size_t>(k)] = AlterationOfChordType(chord.ChordType);
    }
    TrackBar1 = std::clamp(static_cast<int>(EditChordCount), kProgressionEditMinChords,
                           kProgressionEditRows);
}

void AkkProgEditModel::TrackBar1Change(int position)
{
    TrackBar1 = std::clamp(position, kProgressionEditMinChords, kProgressionEditRows);
    for (int k = 0; k < kProgressionEditRows; ++k)
        RowEnabled[static_cast<std::size_t>(k)] = k < TrackBar1;
    ComboBox1Change();
}

void AkkProgEditModel::ChooseStep(int row, int index)
{
    if (row < 0 || row >= kProgressionEditRows)
        return;
    StepIndex[static_cast<std::size_t>(row)] = std::clamp(index, 0, 11);
    m_stepChosen[static_cast<std::size_t>(row)] = true;
    ComboBox1Change();
}

void AkkProgEditModel::ChooseAlteration(int row, int index)
{
    if (row < 0 || row >= kProgressionEditRows)
        return;
    AlterationIndex[static_cast<std::size_t>(row)] = std::clamp(index, 0, kAlterationCount - 1);
    m_alterationChosen[static_cast<std::size_t>(row)] = true;
    ComboBox1Change();
}

void AkkProgEditModel::ReadProgressionEditor()
{
    for (int k = 0; k < kProgressionEditRows; ++k) {
        const std::size_t row = static_cast<std::size_t>(k);
        ProgressionChord& chord = EditChords[row];
        // Rows the item did not have take what their boxes show.
        const bool fresh = k >= m_given;
        if (fresh || m_stepChosen[row]) {
            chord.Root = static_cast<std::uint8_t>(kTonic + StepIndex[row]);
            chord.Shift = FlatStep(StepIndex[row]) ? 1 : 0;
        }
        if (fresh || m_alterationChosen[row])
            chord.ChordType =
                static_cast<std::uint8_t>(ChordTypeOfAlteration(AlterationIndex[row]));
    }
}

void AkkProgEditModel::ComboBox1Change()
{
    ReadProgressionEditor();
    EditChordCount = static_cast<std::uint32_t>(TrackBar1);
    Label11 = ProgressionName(EditChords, TrackBar1);
}

std::vector<ProgressionChord> AkkProgEditModel::Result() const
{
    return {EditChords.begin(), EditChords.begin() + static_cast<std::ptrdiff_t>(EditChordCount)};
}

void AkkProgEditModel::Play(const ItemTable& chordItems, bool guitar, TMidiOut& midiOut)
{
    ReadProgressionEditor();
    midiOut.StopQueue();
    QueueProgression(std::span(EditChords).first(EditChordCount), chordItems, guitar, midiOut);
    midiOut.StartQueue();
}

void QueueProgression(std::span<const ProgressionChord> chords, const ItemTable& chordItems,
                      bool guitar, TMidiOut& midiOut)
{
    std::vector<TNoteRec> recs;
    for (const ProgressionChord& chord : chords)
        recs.push_back(ProgressionChordRec(chord));
    StdRandom unused; // root positions: nothing is drawn at random
    const VoicedProgression voiced =
        VoiceProgression(recs, static_cast<int>(recs.size()), 0, 0, chordItems, unused);
    for (std::size_t j = 0; j + 1 < voiced.Counts.size(); ++j) {
        const int first = voiced.Counts[j];
        const int count = voiced.Counts[j + 1] - first;
        if (count > 0)
            midiOut.PlayNotes(std::span(voiced.Notes).subspan(static_cast<std::size_t>(first)),
                              static_cast<std::uint8_t>(count), TPlayMode::Harmonic, guitar);
    }
}

} // namespace pv
