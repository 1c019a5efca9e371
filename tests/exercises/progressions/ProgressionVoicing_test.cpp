// Voicing of progressions: root position, a common top voice, random tops, the bass root.
#include "exercises/progressions/ProgressionVoicing.h"
#include "support/ScriptedRandom.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr std::uint8_t kMaj = 0;
constexpr std::uint8_t kSus4 = 5;
constexpr std::uint8_t kDom7 = 6;
constexpr std::uint8_t kDom7Flat5 = 11;
constexpr std::uint8_t kMinorNinthMaj7 = 21;

std::vector<TNoteRec> Chords(std::initializer_list<ProgressionChord> chords)
{
    std::vector<TNoteRec> recs;
    for (const ProgressionChord& c : chords)
        recs.push_back(ProgressionChordRec(c));
    return recs;
}

std::vector<std::vector<int>> PitchesByChord(const VoicedProgression& v)
{
    std::vector<std::vector<int>> result;
    for (std::size_t j = 0; j + 1 < v.Counts.size(); ++j) {
        std::vector<int> chord;
        for (int i = v.Counts[j]; i < v.Counts[j + 1]; ++i)
            chord.push_back(v.Notes[static_cast<std::size_t>(i)].Pitch.Note);
        result.push_back(chord);
    }
    return result;
}

class VoiceProgressionTest : public ::testing::Test
{
protected:
    VoicedProgression Voice(const std::vector<TNoteRec>& chords, int topPitch, std::uint8_t options,
                            std::vector<int> script = {0})
    {
        random = std::make_unique<test::ScriptedRandom>(std::move(script));
        return VoiceProgression(chords, static_cast<int>(chords.size()), topPitch, options, items,
                                *random);
    }
    ItemTable items = BuiltInItemTables().ChordIdentification;
    std::unique_ptr<test::ScriptedRandom> random;
};

TEST_F(VoiceProgressionTest, RootPositionIgnoresTopPitchAndMarksChordEnds)
{
    const auto v = Voice(Chords({{67, 0, kDom7, 0}, {60, 0, kMaj, 0}}), 80, 0x00);
    EXPECT_EQ(PitchesByChord(v), (std::vector<std::vector<int>>{{67, 71, 74, 77}, {60, 64, 67}}));
    EXPECT_EQ(v.Counts, (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(v.TopPitch, 0);
    EXPECT_EQ(random->Calls(), 0);
    const std::vector<int> bars = {0, 0, 0, 1, 0, 0, 2};
    for (std::size_t i = 0; i < v.Notes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(v.Notes[i].BarLine, bars[i]);
        EXPECT_EQ(v.Notes[i].Staff, 0);
        EXPECT_EQ(v.Notes[i].Duration, 0);
    }
}

TEST_F(VoiceProgressionTest, EachInversionModeHangsTheChordsFromOneTopVoice)
{
    const auto fgc = Chords({{65, 0, kMaj, 0}, {67, 0, kMaj, 0}, {60, 0, kMaj, 0}});
    struct Case
    {
        const char* name;
        int topPitch;
        std::uint8_t options;
        std::vector<int> script;
        std::vector<std::vector<int>> expected;
        int expectedTop;
        int randomCalls;
    };
    const Case cases[] = {
        {"last chord in root position, its top note leads",
         0,
         0x01,
         {0},
         {{57, 60, 65}, {59, 62, 67}, {60, 64, 67}},
         67,
         0},
        {"random top: the root of the last chord",
         0,
         0x02,
         {0},
         {{53, 57, 60}, {50, 55, 59}, {52, 55, 60}},
         60,
         1},
        {"random top: the third of the last chord",
         0,
         0x02,
         {1},
         {{57, 60, 65}, {55, 59, 62}, {55, 60, 64}},
         64,
         1},
        {"given top pitch is kept for every chord",
         72,
         0x02,
         {0},
         {{65, 69, 72}, {62, 67, 71}, {64, 67, 72}},
         72,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = Voice(fgc, c.topPitch, c.options, c.script);
        EXPECT_EQ(PitchesByChord(v), c.expected);
        EXPECT_EQ(v.TopPitch, c.expectedTop);
        EXPECT_EQ(random->Calls(), c.randomCalls);
        EXPECT_EQ(v.Counts.back(), static_cast<int>(v.Notes.size()));
    }
}

TEST_F(VoiceProgressionTest, InversionModesThreeAndAboveVoiceAsRootPosition)
{
    // F G C with a top pitch that would hang every chord differently were it used.
    const auto fgc = Chords({{65, 0, kMaj, 0}, {67, 0, kDom7, 0}, {60, 0, kMaj, 0}});
    for (std::uint8_t bass : {std::uint8_t{0x00}, std::uint8_t{0xF0}}) {
        const auto rootPosition = Voice(fgc, 0, bass);
        for (int mode = 0; mode <= 15; ++mode) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " bass " << int{bass});
            const auto options = static_cast<std::uint8_t>(bass | mode);
            const bool inverts = mode == 1 || mode == 2;
            EXPECT_EQ(InversionModeOf(options) != InversionMode::RootPosition, inverts);
            const auto v = Voice(fgc, 0, options, {1});
            if (inverts) {
                EXPECT_NE(PitchesByChord(v), PitchesByChord(rootPosition));
                continue;
            }
            EXPECT_EQ(PitchesByChord(v), PitchesByChord(rootPosition));
            EXPECT_EQ(v.Counts, rootPosition.Counts);
            EXPECT_EQ(v.TopPitch, 0);
            EXPECT_EQ(random->Calls(), 0) << "nothing is drawn at random";
            for (std::size_t i = 0; i < v.Notes.size(); ++i) {
                EXPECT_EQ(v.Notes[i].Staff, rootPosition.Notes[i].Staff);
                EXPECT_EQ(v.Notes[i].BarLine, rootPosition.Notes[i].BarLine);
            }
        }
    }
}

TEST_F(VoiceProgressionTest, BassRootGoesAnOctaveFurtherWhenTheChordSitsTooClose)
{
    struct Case
    {
        const char* name;
        ProgressionChord chord;
        int topPitch;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"root position: an octave below", {60, 0, kMaj, 0}, 67, {48, 60, 64, 67}},
        {"fifth seven above stays", {60, 0, kMaj, 0}, 64, {48, 55, 60, 64}},
        {"fourth five above goes lower", {60, 0, kSus4, 0}, 60, {36, 53, 55, 60}},
        {"third four above goes lower", {67, 0, kMaj, 0}, 67, {43, 59, 62, 67}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = Voice(Chords({c.chord}), c.topPitch, 0x11);
        ASSERT_EQ(PitchesByChord(v).size(), 1u);
        EXPECT_EQ(PitchesByChord(v)[0], c.expected);
        EXPECT_EQ(v.Notes[0].Staff, 1);
        EXPECT_EQ(v.Notes[1].Staff, 0);
        EXPECT_EQ(v.Counts, (std::vector<int>{0, 4}));
    }
}

TEST_F(VoiceProgressionTest, HighBassRootsAreAllPlacedByPitch)
{
    const auto high = Voice(Chords({{86, 0, kMaj, 0}, {62, 0, kMaj, 0}}), 0, 0x10);
    EXPECT_EQ(high.Notes[0].Pitch.Note, 74);
    for (const TNoteRec& n : high.Notes)
        EXPECT_EQ(n.Staff, 0);

    const auto low = Voice(Chords({{60, 0, kMaj, 0}, {55, 0, kMaj, 0}}), 0, 0x10);
    EXPECT_EQ(low.Notes[0].Staff, 1);
    EXPECT_EQ(low.Notes[4].Staff, 1);
}

TEST_F(VoiceProgressionTest, InvertedNinthChordDropsTheRootUnderTheNinth)
{
    const auto chord = Chords({{60, 0, kMinorNinthMaj7, 0}});
    const auto inverted = Voice(chord, 71, 0x01);
    EXPECT_EQ(PitchesByChord(inverted)[0], (std::vector<int>{62, 63, 67, 71}));
    const auto rootPosition = Voice(chord, 74, 0x01);
    EXPECT_EQ(PitchesByChord(rootPosition)[0], (std::vector<int>{60, 63, 67, 71, 74}));
}

TEST_F(VoiceProgressionTest, RestsAndDamagedChordsSoundAsOneSilentNote)
{
    ItemTable emptied = items;
    emptied.Counts[1] = 0;
    items = emptied;
    const auto v = Voice(
        Chords(
            {{0, 0, kMaj, 0}, {60, 0, 200, 0}, {60, 0, 1, 0}, {67, 0, kMaj, 0}, {0, 0, kMaj, 0}}),
        0, 0x11);
    EXPECT_EQ(v.Counts, (std::vector<int>{0, 1, 2, 3, 7, 8}));
    for (int i : {0, 1, 2, 7}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(v.Notes[static_cast<std::size_t>(i)].Pitch.Note, 0);
        EXPECT_EQ(v.Notes[static_cast<std::size_t>(i)].Staff, 0);
    }
    EXPECT_EQ(v.Notes[0].BarLine, 1);
    EXPECT_EQ(v.Notes[7].BarLine, 2);
    // A trailing rest leaves the top voice to the last chord that sounds.
    EXPECT_EQ(v.TopPitch, 74);
    EXPECT_EQ(PitchesByChord(v)[3], (std::vector<int>{55, 67, 71, 74}));
}

TEST_F(VoiceProgressionTest, SpellsEveryChordFromItsRootsLetterByStackedThirds)
{
    // The roots arrive spelled; each chord tone lies as many letters above its root as the
    // chord item writes it above C, through inversions and the added bass alike.
    struct Case
    {
        const char* name;
        ProgressionChord chord;
        std::uint8_t options;
        const char* expected;
    };
    const Case cases[] = {
        {"C flat major", {59, 1, kMaj, 0}, 0x00, "Cb Eb Gb"},
        {"B major on the same keys", {59, 0, kMaj, 0}, 0x00, "B D# F#"},
        {"E sharp diminished seventh", {65, -1, 10, 0}, 0x00, "E# G# B D"},
        {"F diminished seventh", {65, 0, 10, 0}, 0x00, "F Ab Cb Ebb"},
        {"D flat seven flat five", {61, 1, kDom7Flat5, 0}, 0x00, "Db F Abb Cb"},
        {"G flat seven sus four inverted over its bass", {66, 1, 14, 0}, 0x11, "Gb Gb Cb Db Fb"},
        {"C sharp seven sharp nine", {61, -1, 25, 0}, 0x00, "C# E# G# B D##"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = Voice(Chords({c.chord}), 0, c.options);
        QStringList names;
        for (const TNoteRec& n : v.Notes)
            names << NoteName(n.Pitch);
        EXPECT_EQ(names.join(QLatin1Char(' ')).toStdString(), std::string(c.expected));
    }
}

TEST_F(VoiceProgressionTest, TwelveNoteChordGetsNoThirteenthPlaceForTheBass)
{
    for (std::size_t n = 0; n < kItemNoteCount; ++n)
        items.Items[29].Notes[n] = ItemNote{static_cast<std::uint8_t>(60 + n), 0, 0, 0};
    items.Counts[29] = 12;
    const auto v = Voice(Chords({{60, 0, 29, 0}}), 0, 0x10);
    EXPECT_EQ(v.Counts, (std::vector<int>{0, 12}));
    EXPECT_EQ(v.Notes[0].Pitch.Note, 60);
}

TEST_F(VoiceProgressionTest, EveryBuiltInProgressionKeepsItsTopVoiceInEveryMode)
{
    const ItemTables& tables = BuiltInItemTables();
    for (std::uint8_t options : {0x00, 0x01, 0x02, 0x10, 0x11, 0x12}) {
        for (int item = 1; item <= 35; ++item) {
            SCOPED_TRACE(testing::Message() << "options " << int{options} << " item " << item);
            std::vector<TNoteRec> chords;
            for (const ProgressionChord& c : tables.ProgressionChords(item))
                chords.push_back(ProgressionChordRec(c));
            const auto v = Voice(chords, 0, options, {item});
            ASSERT_EQ(v.Counts.size(), chords.size() + 1);
            ASSERT_EQ(v.Counts.back(), static_cast<int>(v.Notes.size()));
            EXPECT_EQ(v.Notes.back().BarLine, 2);
            for (std::size_t j = 0; j < chords.size(); ++j) {
                ASSERT_LT(v.Counts[j], v.Counts[j + 1]);
                const TNoteRec& top = v.Notes[static_cast<std::size_t>(v.Counts[j + 1] - 1)];
                EXPECT_EQ(top.BarLine, j + 1 == chords.size() ? 2 : 1);
                if ((options & 0x0F) != 0) {
                    EXPECT_LE(std::abs(top.Pitch.Note - v.TopPitch), 6);
                }
            }
        }
    }
}

} // namespace
} // namespace pv
