// The melody generator: what every melody keeps over many seeded runs, its rhythm rules, and
// setups that cannot or must not give a melody.
#include "exercises/identification/MelodyGenerator.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/notation/NotationTables.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr int kBar = 2688;
constexpr int kRuns = 120;

MelodySetup Melody(int scale, int tones = 5, int leap = 2, int ambitus = 3, int low = 60,
                   int high = 72, bool rhythms = true)
{
    MelodySetup m = DefaultExerciseSetup().Melody;
    m.Scale = static_cast<std::uint8_t>(scale);
    m.ToneCount = static_cast<std::uint8_t>(tones);
    m.LargestLeap = static_cast<std::uint8_t>(leap);
    m.Ambitus = static_cast<std::uint8_t>(ambitus);
    m.LowestNote = static_cast<std::uint8_t>(low);
    m.HighestNote = static_cast<std::uint8_t>(high);
    m.Rhythms = rhythms ? 1 : 0;
    return m;
}

void OnlyKeys(MelodySetup& m, std::initializer_list<int> keys)
{
    m.Keys.fill(0);
    for (int k : keys) {
        m.Keys[static_cast<std::size_t>(k + 6)] = 1;
    }
}

struct Made
{
    bool ok = false;
    std::array<TNoteRec, kItemNoteCount> notes{};
    std::uint16_t count = 0;
    MelodySheet sheet;
    std::uint8_t root = 0;
};

struct Generator
{
    explicit Generator(IRandom& random) : generator(random, &prompts, strings)
    {
        strings.StrMelodyRangeMessage = QStringLiteral("No melody fits");
    }
    Made Make(const MelodySetup& setup, const ItemTables& items = BuiltInItemTables())
    {
        Made made;
        made.ok =
            generator.GenerateMelody(setup, items, made.notes, made.count, made.sheet, made.root)
                .Ok();
        return made;
    }
    UIStringTable strings;
    test::ScriptedPrompts prompts;
    MelodyGenerator generator;
};

// The pitch classes of the melody's material, read from the tables and the reference note.
std::set<int> Material(const MelodySetup& setup, const Made& made)
{
    std::set<int> classes;
    const ItemTables& items = BuiltInItemTables();
    if (setup.Scale == kMelodyChromatic) {
        for (int pc = 0; pc < 12; ++pc) {
            classes.insert(pc);
        }
        return classes;
    }
    int item = setup.Scale + 1;
    if (setup.Scale > kMelodyChromatic) {
        item = MelodyScaleIsMinor(setup.Scale) ? 6 : 1;
    }
    for (const ItemNote& note : items.Scales.Notes(item)) {
        classes.insert(PositiveMod(note.Note - 60 + made.root, 12));
    }
    return classes;
}

// Steps between two pitches along the material (both lie in it).
int StepsApart(const std::set<int>& material, int a, int b)
{
    int steps = 0;
    for (int p = std::min(a, b) + 1; p <= std::max(a, b); ++p) {
        steps += material.count(PositiveMod(p, 12)) != 0 ? 1 : 0;
    }
    return steps;
}

std::string Durations(const Made& made)
{
    std::string text;
    for (int k = 0; k < made.count; ++k) {
        text += std::to_string(made.notes[static_cast<std::size_t>(k)].Duration);
        text += made.notes[static_cast<std::size_t>(k)].BarLine != 0 ? "|" : " ";
    }
    return text;
}

// Checks everything a melody promises its setup.
void ExpectKeepsItsSetup(const MelodySetup& setup, const Made& made)
{
    const int n = setup.ToneCount;
    ASSERT_EQ(made.count, n);
    const std::set<int> material = Material(setup, made);
    const bool chromatic = setup.Scale == kMelodyChromatic;
    const int leap = chromatic ? MajorScaleSteps[setup.LargestLeap] : setup.LargestLeap;
    const int ambitus = chromatic ? MajorScaleSteps[setup.Ambitus] : setup.Ambitus;
    int lowest = 127;
    int highest = 0;
    int ticks = 0;
    for (int k = 0; k < n; ++k) {
        const TNoteRec& note = made.notes[static_cast<std::size_t>(k)];
        const int pitch = note.Pitch.Note;
        SCOPED_TRACE(k);
        EXPECT_GE(pitch, setup.LowestNote);
        EXPECT_LE(pitch, setup.HighestNote);
        EXPECT_EQ(material.count(PositiveMod(pitch, 12)), 1U) << pitch;
        lowest = std::min(lowest, pitch);
        highest = std::max(highest, pitch);
        if (k + 1 < n) {
            const int next = made.notes[static_cast<std::size_t>(k + 1)].Pitch.Note;
            EXPECT_LE(StepsApart(material, pitch, next), leap) << pitch << " " << next;
        }
        if (k + 2 < n) {
            const int next = made.notes[static_cast<std::size_t>(k + 1)].Pitch.Note;
            const int after = made.notes[static_cast<std::size_t>(k + 2)].Pitch.Note;
            EXPECT_FALSE(pitch == next && next == after) << "three equal notes";
        }
        // Notes never cross a bar line, and a bar line follows exactly the notes ending a bar.
        const int length = DurationTicks[note.Duration];
        EXPECT_EQ((ticks + length - 1) / kBar, ticks / kBar) << Durations(made);
        ticks += length;
        EXPECT_EQ(note.BarLine, k + 1 == n || (setup.Rhythms != 0 && ticks % kBar == 0) ? 1 : 0)
            << Durations(made);
        if (setup.Rhythms == 0) {
            EXPECT_EQ(note.Duration, 1);
            EXPECT_EQ(note.VelocityLevel,
                      k + 1 == n ? 2 : BeatLevels[static_cast<std::size_t>(k % 4)]);
        } else if (k + 1 < n) {
            // No whole note before the last three notes' end, and never two in a row.
            if (k >= n - 3) {
                EXPECT_NE(note.Duration, 1) << Durations(made);
            }
            if (k > 0) {
                EXPECT_FALSE(note.Duration == 1 &&
                             made.notes[static_cast<std::size_t>(k - 1)].Duration == 1)
                    << Durations(made);
            }
        }
        EXPECT_TRUE(note.Duration >= 1 && note.Duration <= 3);
    }
    EXPECT_EQ(ticks % kBar, 0) << Durations(made);
    EXPECT_EQ(made.notes[static_cast<std::size_t>(n - 1)].VelocityLevel, 2);
    EXPECT_LE(StepsApart(material, lowest, highest), ambitus) << lowest << " " << highest;

    // The melody ends on the first, third or fifth step of its scale (chromatic: on the
    // reference note itself).
    const int last = made.notes[static_cast<std::size_t>(n - 1)].Pitch.Note;
    if (chromatic) {
        EXPECT_EQ(last, made.root);
    } else {
        const int tonic = *std::find_if(material.begin(), material.end(), [&](int pc) {
            const int item = setup.Scale > kMelodyChromatic
                                 ? (MelodyScaleIsMinor(setup.Scale) ? 6 : 1)
                                 : setup.Scale + 1;
            return pc ==
                   PositiveMod(BuiltInItemTables().Scales.Notes(item).front().Note - 60 + made.root,
                               12);
        });
        const int degree = StepsApart(material, tonic, tonic + PositiveMod(last - tonic, 12));
        EXPECT_TRUE(degree == 0 || degree == 2 || degree == 4) << "degree " << degree;
    }
}

TEST(MelodyGenerator, EveryMelodyKeepsLeapAmbitusRangeBarsAndEnding)
{
    struct Case
    {
        const char* name;
        int tones, leap, ambitus, low, high;
        bool rhythms;
        std::initializer_list<int> keys;
    };
    const Case cases[] = {
        {"default", 5, 2, 3, 60, 72, true, {0}},
        {"long, wide leaps, flat keys", 11, 4, 7, 55, 79, true, {-6, -3, -1}},
        {"short, seconds only, sharp keys", 3, 1, 2, 60, 76, true, {1, 2, 5}},
        {"whole notes, every key",
         7,
         3,
         5,
         48,
         72,
         false,
         {-6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5}},
        {"one note", 1, 2, 3, 60, 72, true, {-2}},
        {"two notes, narrow range", 2, 2, 3, 64, 69, true, {0, -1}},
    };
    for (int scale = 0; scale <= kMelodyLastScale; ++scale) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " scale " + std::to_string(scale));
            MelodySetup setup = Melody(scale, c.tones, c.leap, c.ambitus, c.low, c.high, c.rhythms);
            OnlyKeys(setup, c.keys);
            StdRandom random(static_cast<std::uint32_t>(1000 * scale + c.tones));
            Generator g(random);
            int made = 0;
            std::set<int> keys;
            for (int run = 0; run < kRuns; ++run) {
                const Made melody = g.Make(setup);
                if (!melody.ok) {
                    continue;
                }
                ++made;
                if (scale != kMelodyWholeTone && scale != kMelodyChromatic) {
                    keys.insert(melody.sheet.KeySignature);
                    EXPECT_EQ(std::count(c.keys.begin(), c.keys.end(), melody.sheet.KeySignature),
                              1);
                }
                ExpectKeepsItsSetup(setup, melody);
                if (HasFailure()) {
                    return;
                }
            }
            // Every one of these ranges holds such melodies.
            EXPECT_EQ(made, kRuns);
            EXPECT_EQ(g.prompts.Count(QStringLiteral("message")), 0);
            if (scale != kMelodyWholeTone && scale != kMelodyChromatic) {
                EXPECT_EQ(keys.size(), c.keys.size()) << "every enabled key is drawn";
            }
        }
    }
}

TEST(MelodyGenerator, KeyAndReferenceNoteFollowTheScale)
{
    struct Case
    {
        int scale;
        int keyOffset;
        bool minor;
        bool showKeySignature;
        int keySignature; // with only the key of two flats enabled
    };
    const Case cases[] = {
        {0, 0, false, true, -2},  {1, 2, false, true, -2},  {2, 4, false, true, -2},
        {3, 5, false, true, -2},  {4, 7, false, true, -2},  {5, 0, true, true, -2},
        {6, -1, false, true, -2}, {7, 0, true, true, -2},   {8, 0, true, true, -2},
        {9, 0, false, false, 0},  {10, 0, false, false, 1}, {11, 0, false, true, -2},
        {12, 0, false, true, -2}, {13, 0, false, true, -2}, {14, 0, false, true, -2},
        {15, 0, true, true, -2},  {16, 0, true, true, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scale);
        MelodySetup setup = Melody(c.scale);
        OnlyKeys(setup, {-2});
        StdRandom random(7);
        Generator g(random);
        const Made made = g.Make(setup);
        ASSERT_TRUE(made.ok);
        EXPECT_EQ(made.sheet.KeySignature, c.keySignature);
        EXPECT_EQ(made.sheet.KeyOffset, c.keyOffset);
        EXPECT_EQ(made.sheet.Minor, c.minor);
        EXPECT_EQ(made.sheet.ShowKeySignature, c.showKeySignature);
        if (c.scale != kMelodyWholeTone && c.scale != kMelodyChromatic) {
            EXPECT_EQ(made.root % 12, 10) << "the placed major tonic of B flat";
            EXPECT_GE(made.root + c.keyOffset, 60);
            EXPECT_LE(made.root + c.keyOffset, 72);
        } else {
            EXPECT_GE(made.root, 60);
            EXPECT_LT(made.root, 72);
        }
    }
}

TEST(MelodyGenerator, SmallSetupsGiveTheMelodiesTheyMust)
{
    // Dorian in C: no signature, the mode starts on D, and the melody ends on D, F or A.
    {
        MelodySetup setup = Melody(1);
        OnlyKeys(setup, {0});
        StdRandom random(3);
        Generator g(random);
        for (int run = 0; run < 50; ++run) {
            const Made made = g.Make(setup);
            ASSERT_TRUE(made.ok);
            EXPECT_EQ(made.sheet.KeySignature, 0);
            EXPECT_EQ(made.sheet.KeyOffset, 2);
            const int last = made.notes[4].Pitch.Note % 12;
            EXPECT_TRUE(last == 2 || last == 5 || last == 9) << last;
        }
    }
    // C major in 60..65: C, D, E or F, ending on C or E.
    {
        MelodySetup setup = Melody(0, 5, 2, 3, 60, 65);
        OnlyKeys(setup, {0});
        StdRandom random(4);
        Generator g(random);
        for (int run = 0; run < 50; ++run) {
            const Made made = g.Make(setup);
            if (!made.ok) {
                continue;
            }
            for (int k = 0; k < 5; ++k) {
                const int pitch = made.notes[static_cast<std::size_t>(k)].Pitch.Note;
                EXPECT_TRUE(pitch == 60 || pitch == 62 || pitch == 64 || pitch == 65) << pitch;
            }
            EXPECT_TRUE(made.notes[4].Pitch.Note == 60 || made.notes[4].Pitch.Note == 64);
        }
    }
    // Chromatic with leaps up to a third: at most four semitones, ending on the reference.
    {
        const MelodySetup setup = Melody(kMelodyChromatic, 9, 2, 7, 50, 80);
        StdRandom random(5);
        Generator g(random);
        for (int run = 0; run < 50; ++run) {
            const Made made = g.Make(setup);
            ASSERT_TRUE(made.ok);
            for (int k = 0; k + 1 < 9; ++k) {
                EXPECT_LE(std::abs(made.notes[static_cast<std::size_t>(k)].Pitch.Note -
                                   made.notes[static_cast<std::size_t>(k + 1)].Pitch.Note),
                          4);
            }
            EXPECT_EQ(made.notes[8].Pitch.Note, made.root);
        }
    }
    // A repeated note comes now and then.
    {
        const MelodySetup setup = Melody(0, 11, 1, 2, 60, 72);
        StdRandom random(6);
        Generator g(random);
        int repeats = 0;
        for (int run = 0; run < 100; ++run) {
            const Made made = g.Make(setup);
            for (int k = 0; made.ok && k + 1 < 11; ++k) {
                repeats += made.notes[static_cast<std::size_t>(k)].Pitch.Note ==
                                   made.notes[static_cast<std::size_t>(k + 1)].Pitch.Note
                               ? 1
                               : 0;
            }
        }
        EXPECT_GT(repeats, 0);
    }
}

// Scripted draws: Random(6) = 0 whole, 1 or 3 half, 4 or 5 quarter.
TEST(MelodyGenerator, RhythmEndsWithAFullBar)
{
    struct Case
    {
        const char* name;
        int tones;
        std::vector<int> draws; // the rhythm's Random(6) draws, then pitches (any)
        std::string durations;
    };
    const Case cases[] = {
        {"one note becomes a whole note", 1, {4}, "1|"},
        {"four quarters: half closes the bar, whole note alone", 4, {4, 4, 4, 4}, "3 3 2|1|"},
        {"half and quarter closing the bar swap", 3, {4, 1, 4}, "3 3 2|"},
        {"a quarter alone in its bar becomes whole", 5, {1, 1, 1, 1, 4}, "2 2|2 2|1|"},
        {"two quarters on beats 1 and 2 become halves", 4, {1, 1, 4, 4}, "2 2|2 2|"},
        {"a half on beats 1-2 becomes whole", 3, {1, 1, 1}, "2 2|1|"},
        {"quarter and half to beat 3: the quarter becomes half", 4, {1, 1, 4, 1}, "2 2|2 2|"},
        {"a quarter on beat 3 becomes half", 5, {1, 1, 4, 4, 4}, "2 2|3 3 2|"},
        {"no whole note among the last three", 4, {0, 0, 4, 4, 1}, "1|3 3 2|"},
        {"no two whole notes in a row", 7, {0, 0, 1, 1, 0, 0, 1, 1, 4}, "1|2 2|1|2 2|1|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Then the reference note 13, and every further note a semitone above the one after it.
        std::vector<int> script = c.draws;
        script.push_back(13);
        test::ScriptedRandom random(script);
        Generator g(random);
        MelodySetup setup = Melody(kMelodyChromatic, c.tones, 7, 7, 0, 127);
        const Made made = g.Make(setup);
        ASSERT_TRUE(made.ok);
        EXPECT_EQ(Durations(made), c.durations);
    }
}

TEST(MelodyGenerator, WithoutRhythmsEveryNoteIsWholeAndOnlyTheLastHasABarLine)
{
    StdRandom random(9);
    Generator g(random);
    const Made made = g.Make(Melody(0, 7, 2, 3, 60, 72, false));
    ASSERT_TRUE(made.ok);
    EXPECT_EQ(Durations(made), "1 1 1 1 1 1 1|");
    std::vector<int> levels;
    for (int k = 0; k < 7; ++k) {
        levels.push_back(made.notes[static_cast<std::size_t>(k)].VelocityLevel);
    }
    EXPECT_EQ(levels, (std::vector<int>{2, 1, 0, 1, 2, 1, 2}));
}

TEST(MelodyGenerator, ProgressionMelodiesChangeChordOnlyAtBarLinesAndEndOnTheLastChord)
{
    // Chord tones are marked 11; over C - Am - F - G - C the last note is a tone of C (or of
    // the key's tonic chord in any other key).
    MelodySetup setup = Melody(14, 11, 2, 4, 55, 79);
    OnlyKeys(setup, {-3, 0, 4});
    StdRandom random(21);
    Generator g(random);
    int chordTones = 0;
    int notes = 0;
    for (int run = 0; run < 100; ++run) {
        const Made made = g.Make(setup);
        ASSERT_TRUE(made.ok);
        const int tonic = made.root % 12;
        const int last = PositiveMod(made.notes[10].Pitch.Note - tonic, 12);
        EXPECT_TRUE(last == 0 || last == 4 || last == 7) << last;
        EXPECT_EQ(made.notes[10].AccidentalInput, kMelodyChordTone);
        for (int k = 0; k < 11; ++k) {
            notes += 1;
            chordTones +=
                made.notes[static_cast<std::size_t>(k)].AccidentalInput == kMelodyChordTone ? 1 : 0;
        }
    }
    // Non-chord tones pass only as steps after several usable draws: most notes are chord tones.
    EXPECT_GT(chordTones * 2, notes);
    EXPECT_LT(chordTones, notes);
}

TEST(MelodyGenerator, ARangeThatHoldsNoMelodyGivesTheMessageOnceAndKeepsTheCount)
{
    // Only C lies in 60..61 of C major: no second note can differ from it.
    MelodySetup setup = Melody(0, 5, 1, 2, 60, 61);
    OnlyKeys(setup, {0});
    StdRandom random(1);
    Generator g(random);
    Made made;
    made.count = 3;
    const Status<MelodyError> status = g.generator.GenerateMelody(
        setup, BuiltInItemTables(), made.notes, made.count, made.sheet, made.root);
    ASSERT_FALSE(status.Ok());
    EXPECT_EQ(status.Code(), MelodyError::NoPitchInRange);
    EXPECT_EQ(made.count, 3);
    ASSERT_EQ(g.prompts.asked.size(), 1U);
    EXPECT_EQ(g.prompts.asked[0].kind, QStringLiteral("message"));
    EXPECT_EQ(g.prompts.asked[0].text, QStringLiteral("No melody fits"));
}

// Setups from damaged files or tutors: each ends, never reads past a list, and either gives a
// melody inside the range or the message with the count unchanged.
TEST(MelodyGenerator, DamagedSetupsNeverCrashOrHang)
{
    ItemTables noChords = BuiltInItemTables();
    noChords.ProgressionCounts[7] = 0; // progression 8, melody scale 11
    ItemTables emptyScale = BuiltInItemTables();
    emptyScale.Scales.Counts[0] = 0; // Ionian
    ItemTables longProgression = BuiltInItemTables();
    for (std::size_t c = 0; c < kItemNoteCount; ++c) {
        longProgression.Progressions[32].Chords[c] = {static_cast<std::uint8_t>(60 + (c % 3) * 5),
                                                      0, static_cast<std::uint8_t>(c % 2)};
    }
    longProgression.ProgressionCounts[32] = 12; // melody scale 14, twelve chords
    ItemTables oddChordTypes = BuiltInItemTables();
    oddChordTypes.Progressions[7].Chords[0].ChordType = 250;

    struct Case
    {
        const char* name;
        MelodySetup setup;
        const ItemTables* items;
        bool melody; // a melody must come; otherwise the message must
    };
    const auto with = [](MelodySetup m, auto change) {
        change(m);
        return m;
    };
    const ItemTables& builtIn = BuiltInItemTables();
    const Case cases[] = {
        {"no key enabled reads as C", with(Melody(0), [](MelodySetup& m) { m.Keys.fill(0); }),
         &builtIn, true},
        {"high below low", Melody(0, 5, 2, 3, 72, 60), &builtIn, false},
        {"high equal to low", Melody(kMelodyChromatic, 1, 2, 3, 64, 64), &builtIn, true},
        {"no tones", Melody(0, 0), &builtIn, true},
        {"200 tones", Melody(0, 200, 2, 7, 48, 84), &builtIn, true},
        {"leap and ambitus 0", Melody(0, 5, 0, 0), &builtIn, true},
        {"leap and ambitus 255", Melody(kMelodyChromatic, 9, 255, 255, 40, 90), &builtIn, true},
        {"scale 200", Melody(200), &builtIn, true},
        {"range beyond MIDI", Melody(0, 5, 2, 3, 120, 255), &builtIn, true},
        {"range 0..0", Melody(0, 5, 2, 3, 0, 0), &builtIn, false},
        {"progression without chords", Melody(11), &noChords, false},
        {"scale without notes", Melody(0), &emptyScale, false},
        {"twelve chords", Melody(14, 11, 2, 4, 48, 84), &longProgression, true},
        {"chord type outside the table", Melody(11, 11, 2, 4, 48, 84), &oddChordTypes, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StdRandom random(11);
        Generator g(random);
        Made made;
        made.count = 4;
        made.notes.fill(TNoteRec{});
        const Status<MelodyError> status = g.generator.GenerateMelody(
            c.setup, *c.items, made.notes, made.count, made.sheet, made.root);
        EXPECT_EQ(status.Ok(), c.melody);
        if (!status.Ok()) {
            EXPECT_EQ(made.count, 4);
            EXPECT_EQ(g.prompts.Count(QStringLiteral("message")), 1);
            continue;
        }
        EXPECT_GE(made.count, kMelodyMinTones);
        EXPECT_LE(made.count, kMelodyMaxTones);
        EXPECT_EQ(g.prompts.asked.size(), 0U);
        const int high = std::min<int>(c.setup.HighestNote, 127);
        for (int k = 0; k < made.count; ++k) {
            const int pitch = made.notes[static_cast<std::size_t>(k)].Pitch.Note;
            EXPECT_GE(pitch, c.setup.LowestNote);
            EXPECT_LE(pitch, high);
        }
        EXPECT_LE(made.root, 127);
    }
    // A list with no room for a note gets none.
    StdRandom random(12);
    Generator g(random);
    Made made;
    EXPECT_FALSE(g.generator
                     .GenerateMelody(Melody(0), BuiltInItemTables(), std::span<TNoteRec>(),
                                     made.count, made.sheet, made.root)
                     .Ok());
    EXPECT_EQ(made.count, 0);
}

} // namespace
} // namespace pv
