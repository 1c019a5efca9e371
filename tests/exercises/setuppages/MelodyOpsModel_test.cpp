// The melody options page's model: load and store of the melody block, the scale list, the
// rules between its controls, restore, damaged blocks, the range picker's place by instrument,
// and the melody generator over what the page allows.
#include "exercises/identification/MelodyGenerator.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setuppages/MelodyOpsModel.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr ExerciseKind kMelody = ExerciseKind::MelodyDictation;
constexpr std::size_t kBlock = 558;

std::size_t At(int i)
{
    return static_cast<std::size_t>(i);
}

struct Page
{
    RangePicker range;
    MelodyOpsModel model{range};
};

TEST(MelodyOpsStore, WritesTheBytesThePageOwnsAndKeepsEveryOther)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<std::uint8_t> bytes(kExerciseSetupSize);
        for (std::uint8_t& b : bytes)
            b = static_cast<std::uint8_t>(rng());
        // The page's own bytes hold valid choices (written with values other than 1).
        bytes[kBlock + 0] = 7;               // tones
        bytes[kBlock + 1] = 3;               // leap: a fourth
        bytes[kBlock + 2] = 5;               // ambitus: a sixth
        bytes[kBlock + 3] = 7;               // harmonic minor
        for (std::size_t k = 0; k < 12; ++k) // keys F/d and A/f#
            bytes[kBlock + 4 + k] = k == 5 || k == 9 ? 4 : 0;
        bytes[kBlock + 17] = 2;    // key signature
        bytes[kBlock + 18] = 0x21; // tonic, as a cadence
        bytes[kBlock + 19] = 3;    // play on click
        bytes[kBlock + 20] = 0x86; // a lock of piano and guitar
        bytes[kBlock + 21] = 9;    // auto answer
        bytes[kBlock + 22] = 0;    // first tone
        bytes[kBlock + 24] = 5;    // rhythms
        bytes[kBlock + 27] = 79;   // highest
        bytes[kBlock + 28] = 55;   // lowest
        const ExerciseSetup original = *DecodeExerciseSetup(bytes);

        Page page;
        page.model.LoadSetup(original, kMelody, BuiltInItemTables());
        ExerciseSetup stored = original;
        page.model.StoreSetup(stored, kMelody);

        std::vector<std::uint8_t> expected = EncodeExerciseSetup(original);
        const std::uint8_t block[29] = {7, 3, 5, 7,    0, 0, 0, 0, 0, 1, 0, 0, 0,  1, 0,
                                        0, 0, 1, 0x21, 1, 0, 1, 0, 0, 1, 0, 0, 79, 55};
        for (std::size_t i = 0; i < 29; ++i) {
            // Bytes 16, 23, 25 and 26 are not the page's.
            if (i != 16 && i != 23 && i != 25 && i != 26)
                expected[kBlock + i] = block[i];
        }
        const std::vector<std::uint8_t> actual = EncodeExerciseSetup(stored);
        for (std::size_t i = 0; i < kExerciseSetupSize; ++i)
            ASSERT_EQ(actual[i], expected[i]) << "record byte " << i;
    }
}

TEST(MelodyOpsLoad, TheScaleListIsRebuiltFromTheItemTablesOnEveryLoad)
{
    ItemTables items = BuiltInItemTables();
    Page page;
    page.model.LoadSetup(DefaultExerciseSetup(), ExerciseKind::ChordIdentification, items);
    ASSERT_EQ(page.model.ScaleList.size(), kMelodyOpsScales);
    for (int s = 0; s <= kMelodyChromatic; ++s)
        EXPECT_EQ(page.model.ScaleList[s], items.Scales.Name(s + 1));
    EXPECT_EQ(page.model.ScaleList[11], QStringLiteral("IV - V - I"));
    EXPECT_TRUE(page.model.ScaleList[13].contains(QStringLiteral(" - ")));
    // Another language names the scales anew; the next load shows its names.
    items.Scales.Names[0] = QStringLiteral("Dur");
    page.model.LoadSetup(DefaultExerciseSetup(), kMelody, items);
    EXPECT_EQ(page.model.ScaleList[0], QStringLiteral("Dur"));
}

TEST(MelodyOpsRules, EachRuleSetsTheControls)
{
    enum class Act
    {
        Load,
        Scale,
        KeyOff,
        FirstToneOn,
        OneTone,
        TonicOff,
    };
    struct Case
    {
        const char* name;
        int scale;      ///< of the loaded block
        int tones;      ///< of the loaded block
        bool firstTone; ///< of the loaded block
        Act act;
        int argument; ///< the scale chosen, the key pressed
        int keysDown; ///< expected: key buttons down
        bool keysVisible;
        bool keySignature;
        bool keySignatureEnabled;
        bool tonic;
        bool tonicEnabled;
        bool referenceKindsEnabled;
        int expectTones;
        bool expectFirstTone;
    };
    // The block: key signature shown, the tonic played as a cadence, keys C/a and G/e.
    const Case cases[] = {
        {"a major scale keeps every box", 0, 5, false, Act::Load, 0, 2, true, true, true, true,
         true, true, 5, false},
        {"a mode plays no tonic", 1, 5, false, Act::Load, 0, 2, true, true, true, false, false,
         false, 5, false},
        {"whole-tone melodies have no key", 0, 5, false, Act::Scale, 9, 2, false, false, false,
         false, false, false, 5, false},
        {"chromatic melodies have no key", 0, 5, false, Act::Scale, 10, 2, false, false, false,
         false, false, false, 5, false},
        {"back to a scale reads the key boxes again", 10, 5, false, Act::Scale, 7, 2, true, true,
         true, true, true, true, 5, false},
        {"a progression keeps every box", 0, 5, false, Act::Scale, 15, 2, true, true, true, true,
         true, true, 5, false},
        {"switching off one of two keys", 0, 5, false, Act::KeyOff, 7, 1, true, true, true, true,
         true, true, 5, false},
        {"switching off the last key gives C/a", 0, 5, false, Act::KeyOff, 6, 1, true, true, true,
         true, true, true, 5, false},
        {"showing the first tone of one note makes three", 0, 1, false, Act::FirstToneOn, 0, 2,
         true, true, true, true, true, true, 3, true},
        {"one note shows no first tone", 0, 5, true, Act::OneTone, 0, 2, true, true, true, true,
         true, true, 1, false},
        {"a block of one note shown first shows it not", 0, 1, true, Act::Load, 0, 2, true, true,
         true, true, true, true, 1, false},
        {"without the tonic its kinds are off", 0, 5, false, Act::TonicOff, 0, 2, true, true, true,
         false, true, false, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSetup setup = DefaultExerciseSetup();
        MelodySetup& m = setup.Melody;
        m.Scale = static_cast<std::uint8_t>(c.scale);
        m.ToneCount = static_cast<std::uint8_t>(c.tones);
        m.ShowFirstTone = c.firstTone ? 1 : 0;
        m.ShowKeySignature = 1;
        m.TonicReference = 0x21;
        m.Keys.fill(0);
        m.Keys[6] = 1;
        m.Keys[7] = 1;
        Page page;
        MelodyOpsModel& model = page.model;
        model.LoadSetup(setup, kMelody, BuiltInItemTables());
        switch (c.act) {
        case Act::Load:
            break;
        case Act::Scale:
            model.ChooseScale(c.argument, setup);
            break;
        case Act::KeyOff:
            if (c.argument == kMelodyOpsCKey)
                model.ClickKey(7);
            model.ClickKey(c.argument);
            break;
        case Act::FirstToneOn:
            model.SetShowFirstTone(true);
            break;
        case Act::OneTone:
            model.SetToneCount(1);
            break;
        case Act::TonicOff:
            model.SetPlayTonic(false);
            break;
        }
        int down = 0;
        for (bool key : model.Keys)
            down += key ? 1 : 0;
        EXPECT_EQ(down, c.keysDown);
        if (c.act == Act::KeyOff && c.argument == kMelodyOpsCKey) {
            EXPECT_TRUE(model.Keys[At(kMelodyOpsCKey)]);
        }
        EXPECT_EQ(model.KeysVisible, c.keysVisible);
        EXPECT_EQ(model.ShowKeySignature, c.keySignature);
        EXPECT_EQ(model.ShowKeySignatureEnabled, c.keySignatureEnabled);
        EXPECT_EQ(model.PlayTonic, c.tonic);
        EXPECT_EQ(model.PlayTonicEnabled, c.tonicEnabled);
        EXPECT_EQ(model.ReferenceKindsEnabled, c.referenceKindsEnabled);
        EXPECT_TRUE(model.Cadence);
        EXPECT_EQ(model.ToneCount, c.expectTones);
        EXPECT_EQ(model.ShowFirstTone, c.expectFirstTone);
        // The bytes follow the controls.
        ExerciseSetup stored = setup;
        model.StoreSetup(stored, kMelody);
        EXPECT_EQ(stored.Melody.ToneCount, c.expectTones);
        EXPECT_EQ(stored.Melody.ShowFirstTone, c.expectFirstTone ? 1 : 0);
        EXPECT_EQ(stored.Melody.ShowKeySignature, c.keySignature ? 1 : 0);
        EXPECT_EQ(stored.Melody.TonicReference, (c.tonic ? 1 : 0) + 32);
        EXPECT_EQ(stored.Melody.AnswerInput, 0);
    }
}

TEST(MelodyOpsRestore, PutsBackTheSavedMelodyBlockWhileMelodyIsShown)
{
    ExerciseSetup saved = DefaultExerciseSetup();
    saved.Melody.ToneCount = 9;
    saved.Melody.Scale = 4;
    saved.Melody.LowestNote = 48;
    saved.Melody.HighestNote = 67;
    ExerciseSetup current = DefaultExerciseSetup();
    current.RhythmReading.Bars = 7;
    Page page;
    page.model.LoadSetup(current, kMelody, BuiltInItemTables());
    page.model.SpeedButton13Click(saved, current, ExerciseKind::RhythmReading, BuiltInItemTables());
    EXPECT_EQ(page.model.ToneCount, 5) << "another kind shown: nothing restored";
    EXPECT_EQ(current.Melody, DefaultExerciseSetup().Melody);
    page.model.SpeedButton13Click(saved, current, kMelody, BuiltInItemTables());
    EXPECT_EQ(current.Melody, saved.Melody);
    EXPECT_EQ(current.RhythmReading.Bars, 7);
    EXPECT_EQ(page.model.ToneCount, 9);
    EXPECT_EQ(page.model.Scale, 4);
    EXPECT_EQ(page.range.LowNote(), 48);
    EXPECT_EQ(page.range.HighNote(), 67);
}

TEST(MelodyOpsLoad, DamagedBlocksShowAValidPageAndAreStoredValid)
{
    struct Case
    {
        const char* name;
        MelodySetup block;
        int tones, leap, ambitus, scale, low, high;
    };
    const auto with = [](int tones, int leap, int ambitus, int scale, int low, int high,
                         bool keys) {
        MelodySetup m = DefaultExerciseSetup().Melody;
        m.ToneCount = static_cast<std::uint8_t>(tones);
        m.LargestLeap = static_cast<std::uint8_t>(leap);
        m.Ambitus = static_cast<std::uint8_t>(ambitus);
        m.Scale = static_cast<std::uint8_t>(scale);
        m.LowestNote = static_cast<std::uint8_t>(low);
        m.HighestNote = static_cast<std::uint8_t>(high);
        if (!keys)
            m.Keys.fill(0);
        return m;
    };
    const Case cases[] = {
        {"zeros everywhere", with(0, 0, 0, 0, 0, 0, false), 1, 3, 3, 0, 41, 46},
        {"values past every list", with(200, 9, 8, 17, 255, 255, true), 11, 3, 3, 0, 103, 108},
        {"the range upside down", with(5, 2, 3, 3, 80, 60, true), 5, 2, 3, 3, 80, 85},
        {"a range narrower than the gap", with(5, 7, 7, 16, 60, 62, true), 5, 7, 7, 16, 60, 65},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSetup setup = DefaultExerciseSetup();
        setup.Melody = c.block;
        Page page;
        page.model.LoadSetup(setup, kMelody, BuiltInItemTables());
        ExerciseSetup stored = setup;
        page.model.StoreSetup(stored, kMelody);
        const MelodySetup& m = stored.Melody;
        EXPECT_EQ(m.ToneCount, c.tones);
        EXPECT_EQ(m.LargestLeap, c.leap);
        EXPECT_EQ(m.Ambitus, c.ambitus);
        EXPECT_EQ(m.Scale, c.scale);
        EXPECT_EQ(m.LowestNote, c.low);
        EXPECT_EQ(m.HighestNote, c.high);
        int keys = 0;
        for (std::uint8_t k : m.Keys)
            keys += k;
        EXPECT_GE(keys, 1);
        if (!c.block.Keys[6] && keys == 1) {
            EXPECT_EQ(m.Keys[6], 1) << "no key gives C/a";
        }
    }
}

TEST(MelodyOpsRange, ThePickerLiesByTheNoteEntryInstrument)
{
    struct Case
    {
        int instrument;
        MelodyOpsRangeGeometry expected;
    };
    const MelodyOpsRangeGeometry staff{QRect(13, 69, 180, 155), QRect(14, 22, 160, 129),
                                       RangeView::Staff};
    const Case cases[] = {
        {2, {QRect(13, 69, 324, 65), QRect(8, 24, 308, 35), RangeView::Piano}},
        {4, {QRect(13, 69, 324, 65), QRect(8, 24, 308, 35), RangeView::Guitar}},
        {8, staff},
        // A damaged settings byte shows the staff, in a box that fits the staff.
        {0, staff},
        {3, staff},
        {255, staff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("instrument " + std::to_string(c.instrument));
        EXPECT_EQ(MelodyOpsRangeGeometryFor(c.instrument), c.expected);
    }
}

TEST(MelodyOpsRules, TheGeneratorMakesAMelodyOrSaysSoForEveryChoiceThePageAllows)
{
    // Random page choices made valid by the page: each gives a melody of the page's tone count
    // inside the range, or the range message with the count left alone; never a hang.
    std::mt19937 rng(99);
    UIStringTable strings;
    strings.StrMelodyRangeMessage = QStringLiteral("No melody fits");
    int made = 0;
    int refused = 0;
    for (int sample = 0; sample < 3000; ++sample) {
        ExerciseSetup setup = DefaultExerciseSetup();
        MelodySetup& m = setup.Melody;
        m.ToneCount = static_cast<std::uint8_t>(rng() % 14);
        m.LargestLeap = static_cast<std::uint8_t>(rng() % 9);
        m.Ambitus = static_cast<std::uint8_t>(rng() % 9);
        m.Scale = static_cast<std::uint8_t>(rng() % 18);
        for (std::uint8_t& key : m.Keys)
            key = rng() % 4 == 0 ? 1 : 0;
        m.Rhythms = rng() % 2;
        m.LowestNote = static_cast<std::uint8_t>(36 + rng() % 60);
        m.HighestNote = static_cast<std::uint8_t>(m.LowestNote + rng() % 30);
        Page page;
        page.model.LoadSetup(setup, kMelody, BuiltInItemTables());
        page.model.StoreSetup(setup, kMelody);

        test::SeededRandom random(static_cast<std::uint32_t>(sample) + 1);
        test::ScriptedPrompts prompts;
        MelodyGenerator generator(random, &prompts, strings);
        std::array<TNoteRec, 12> notes{};
        std::uint16_t count = 77;
        MelodySheet sheet;
        std::uint8_t root = 0;
        const bool ok =
            generator.GenerateMelody(m, BuiltInItemTables(), notes, count, sheet, root).Ok();
        SCOPED_TRACE("sample " + std::to_string(sample));
        if (ok) {
            ++made;
            ASSERT_EQ(count, m.ToneCount);
            ASSERT_EQ(prompts.Count(QStringLiteral("message")), 0);
            for (int k = 0; k < count; ++k) {
                ASSERT_GE(notes[At(k)].Pitch.Note, m.LowestNote);
                ASSERT_LE(notes[At(k)].Pitch.Note, m.HighestNote);
            }
        } else {
            ++refused;
            ASSERT_EQ(count, 77);
            ASSERT_EQ(prompts.Count(QStringLiteral("message")), 1);
        }
    }
    EXPECT_GT(made, 1000);
    EXPECT_GT(refused, 0);
}

} // namespace
} // namespace pv
