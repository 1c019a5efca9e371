// Progressions voiced on a real sheet are spelled as they are read in the question's key.
#include "exercises/progressions/ProgressionNaming.h"
#include "exercises/progressions/SheetScaleSpeller.h"
#include "music/notation/Pitch.h"
#include "support/ScriptedRandom.h"

#include <string>

#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

std::string Names(const VoicedProgression& v)
{
    QStringList names;
    for (const TNoteRec& n : v.Notes)
        names << NoteName(n.Pitch);
    return names.join(QLatin1Char(' ')).toStdString();
}

TEST(SheetScaleSpeller, SpellsBuiltInProgressionsInTheKeyOfTheQuestion)
{
    struct Case
    {
        const char* name;
        int item;
        int questionRoot;
        int keySignature;
        const char* expected;
    };
    const Case cases[] = {
        {"G7 - C in C", 3, 60, 0, "G B D F C E G"},
        {"Ab - C in C", 31, 60, 0, "Ab C Eb C E G"},
        {"B dim7 - Cm in C minor", 6, 60, -3, "B D F Ab C Eb G"},
        {"Db7(b5) - Cmaj7 in C", 27, 60, 0, "Db F Abb Cb C E G B"},
        {"Cm - Ab - Bb - Cm in C minor", 34, 60, -3, "C Eb G Ab C Eb Bb D F C Eb G"},
        {"the same in D minor", 34, 62, -1, "D F A Bb D F C E G D F A"},
        {"C - Am - F - G - C in G", 33, 67, 1, "G B D E G B C E G D F# A G B D"},
        {"Dm7 - G7 - Cm7 in E flat minor", 12, 63, -6, "F Ab C Eb Bb D F Ab Eb Gb Bb Db"},
    };
    const NoKeysHeld keys;
    NoteSpacing spacing;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto chords = BuiltInItemTables().ProgressionChords(c.item);
        const bool minor = ProgressionIsMinor(chords);
        TSheet sheet(keys, spacing);
        sheet.SetKeySignature(c.keySignature);
        sheet.SetKeyOffset(minor ? -3 : 0);
        const SheetScaleSpeller speller(sheet);
        std::vector<TNoteRec> recs;
        for (ProgressionChord chord : chords) {
            chord.Root = static_cast<std::uint8_t>(chord.Root + c.questionRoot - 60);
            recs.push_back(ProgressionChordRec(chord));
        }
        test::ScriptedRandom random({0});
        const auto v = VoiceProgression(recs, static_cast<int>(recs.size()), c.questionRoot, 0, 0,
                                        BuiltInItemTables().ChordIdentification, speller, random);
        EXPECT_EQ(Names(v), std::string(c.expected));
    }
}

} // namespace
} // namespace pv
