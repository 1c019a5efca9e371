// Language-dependent chord symbols and the key-root tables.
#include "music/notation/NotationTables.h"

#include "music/notation/Pitch.h"

#include <algorithm>

namespace pv {

namespace {

std::array<QString, kChordSymbolCount> DefaultChordSymbols()
{
    return {QString(),
            QStringLiteral("mi"),
            QStringLiteral("mb5"),
            QStringLiteral("+"),
            QStringLiteral("sus2"),
            QStringLiteral("sus4"),
            QStringLiteral("7"),
            QStringLiteral("mi7"),
            QStringLiteral("maj7"),
            QStringLiteral("mi,maj7"),
            QStringLiteral("dim7"),
            QStringLiteral("7(b5)"),
            QStringLiteral("mi7(b5)"),
            QStringLiteral("7(#5)"),
            QStringLiteral("sus4,7"),
            QStringLiteral("6"),
            QStringLiteral("mi6"),
            QStringLiteral("7(b9)"),
            QStringLiteral("7(#9)")};
}

std::array<QString, kChordSymbolCount>& MutableChordSymbols()
{
    static std::array<QString, kChordSymbolCount> symbols = DefaultChordSymbols();
    return symbols;
}

// Indexed by k + 7.
constexpr std::array<int, 15> kKeyTonics = {11, 6, 1, 8, 3, 10, 5, 0, 7, 2, 9, 4, 11, 6, 1};
// Six flats uses the tonic 6 (G flat) like the tonic table: with 7 there, intervals in that key
// came out with shifts of +2 and +3 and were named "???".
constexpr std::array<int, 15> kScaleRoots = {12, 6, 1, 8, 3, 10, 5, 0, 7, 2, 9, 4, 11, 6, 1};

// A signature may come from a stored file, so one outside the range is clamped, not trusted.
std::size_t KeyIndex(int k)
{
    return static_cast<std::size_t>(std::clamp(k, kMinKeySignature, kMaxKeySignature) -
                                    kMinKeySignature);
}

} // namespace

const std::array<QString, kChordSymbolCount>& ChordSymbolTable()
{
    return MutableChordSymbols();
}

void SetChordSymbol(int index, const QString& symbol)
{
    if (index < 0 || index >= kChordSymbolCount)
        return;
    MutableChordSymbols()[static_cast<std::size_t>(index)] = symbol;
}

QString ChordSymbol(int index)
{
    if (index < 0 || index >= kChordSymbolCount)
        return QString();
    return ChordSymbolTable()[static_cast<std::size_t>(index)];
}

void ResetNotationTexts()
{
    MutableChordSymbols() = DefaultChordSymbols();
    SetNoteLetterB(QLatin1Char('B'));
}

int KeyTonicTable(int k)
{
    return kKeyTonics[KeyIndex(k)];
}

int ScaleRootTable(int k)
{
    return kScaleRoots[KeyIndex(k)];
}

} // namespace pv
