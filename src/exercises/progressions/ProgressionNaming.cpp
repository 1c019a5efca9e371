// Progression names and the minor-key vote.
#include "exercises/progressions/ProgressionNaming.h"

#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"

#include <algorithm>

namespace pv {

const std::array<const char*, 12> RomanDegreeNames = {"I",  "bII", "II",  "bIII", "III",  "IV",
                                                      "bV", "V",   "bVI", "VI",   "bVII", "VII"};

const std::array<std::uint8_t, kItemCount> ChordSymbolOfItem = [] {
    std::array<std::uint8_t, kItemCount> table{};
    for (std::uint8_t i = 0; i <= 16; ++i)
        table[i] = i;
    table[23] = 17;
    table[25] = 18;
    return table;
}();

namespace {

constexpr int kNamingKey = 60;

bool IsMinorType(std::uint8_t type)
{
    return std::find(MinorChordTypes.begin(), MinorChordTypes.end(), type) != MinorChordTypes.end();
}

} // namespace

QString ChordSymbolName(const ProgressionChord& chord, int key)
{
    const int root = chord.Root;
    const int shift = chord.Shift;
    const int degree = PositiveMod(root + 24 + shift - key, 12);
    QString name;
    if (shift >= -2 && shift <= 2)
        name = AccidentalNames()[static_cast<std::size_t>(2 - shift)];
    name += QLatin1String(RomanDegreeNames[static_cast<std::size_t>(degree)]);
    if (chord.ChordType < kItemCount) {
        const QString symbol = ChordSymbol(ChordSymbolOfItem[chord.ChordType]);
        if (!symbol.isEmpty())
            name += QLatin1Char(' ') + symbol;
    }
    return name;
}

QString ProgressionName(std::span<const ProgressionChord> chords, int count)
{
    const std::size_t n = std::min(chords.size(), static_cast<std::size_t>(std::max(count, 0)));
    QString name;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0)
            name += QStringLiteral(" - ");
        name += ChordSymbolName(chords[i], kNamingKey);
    }
    return name;
}

bool ProgressionIsMinor(std::span<const ProgressionChord> chords)
{
    // Chords on the tonic and on the minor third vote for their own kind (-1 minor, +1 major).
    const auto tonicVote = [](const ProgressionChord& chord) {
        return IsMinorType(chord.ChordType) ? -1 : 1;
    };
    int vote = 10;
    for (const ProgressionChord& chord : chords) {
        switch (PositiveMod(chord.Root - kNamingKey, 12)) {
        case 2:
        case 4:
        case 9:
            // Minor chords on these degrees are diatonic in major.
            vote += IsMinorType(chord.ChordType) ? 1 : -1;
            break;
        case 0:
        case 3:
            vote += tonicVote(chord);
            break;
        default:
            break;
        }
    }
    if (!chords.empty() && chords.back().Root == kNamingKey)
        vote += tonicVote(chords.back());
    return vote < 10;
}

} // namespace pv
