// The rhythm options page's model: load and store of each rhythm kind's bytes, the rules that
// keep a choice fillable, restore, damaged blocks, and the generator over what the page allows.
#include "exercises/rhythm/RhythmChecks.h"
#include "exercises/rhythm/TRytme.h"
#include "exercises/setuppages/RytmeOpsModel.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr ExerciseKind kImitation = ExerciseKind::RhythmImitation;
constexpr ExerciseKind kReading = ExerciseKind::RhythmReading;
constexpr ExerciseKind kErrors = ExerciseKind::RhythmErrorDetection;

const char* const kButtonNames[kRytmeOpsNoteButtons] = {"1",  "2",  "4",  "8",  "16",
                                                        "32", "2t", "4t", "8t", "16t"};
const char* const kSignatureNames[kRytmeOpsTimeSignatures] = {"2/2",  "2/4", "3/4", "4/4", "3/8",
                                                              "6/8",  "3/2", "4/2", "7/8", "9/8",
                                                              "12/8", "5/4", "4/8", "5/8"};

std::size_t At(int i)
{
    return static_cast<std::size_t>(i);
}

/// The note buttons that are down (or disabled), named as a musician writes them.
std::string Down(const RytmeOpsModel& m)
{
    std::string text;
    for (int i = 0; i < kRytmeOpsNoteButtons; ++i)
        if (m.NoteButtons[At(i)].Down)
            text += (text.empty() ? "" : " ") + std::string(kButtonNames[i]);
    return text;
}

std::string Disabled(const RytmeOpsModel& m)
{
    std::string text;
    for (int i = 0; i < kRytmeOpsNoteButtons; ++i)
        if (!m.NoteButtons[At(i)].Enabled)
            text += (text.empty() ? "" : " ") + std::string(kButtonNames[i]);
    return text;
}

std::string Signatures(const RytmeOpsModel& m)
{
    std::string text;
    for (int i = 0; i < kRytmeOpsTimeSignatures; ++i)
        if (m.TimeSignatures[At(i)])
            text += (text.empty() ? "" : " ") + std::string(kSignatureNames[i]);
    return text;
}

int SignatureIndex(const std::string& name)
{
    for (int i = 0; i < kRytmeOpsTimeSignatures; ++i)
        if (name == kSignatureNames[i])
            return i;
    ADD_FAILURE() << "no time signature " << name;
    return 0;
}

int ButtonIndex(const std::string& name)
{
    for (int i = 0; i < kRytmeOpsNoteButtons; ++i)
        if (name == kButtonNames[i])
            return i;
    ADD_FAILURE() << "no note button " << name;
    return 0;
}

/// A rhythm block with the named time signatures and note buttons down.
RhythmSetup Block(const std::vector<std::string>& signatures,
                  const std::vector<std::string>& buttons, bool dotted = false)
{
    RhythmSetup b;
    for (const std::string& s : signatures)
        b.TimeSignatures[At(SignatureIndex(s))] = 1;
    for (const std::string& name : buttons) {
        const int i = ButtonIndex(name);
        if (i < kRytmeOpsValues)
            b.NoteValues[At(i)] = 1;
        else
            b.TripletMask = static_cast<std::uint8_t>(b.TripletMask | (1 << (i - 5)));
    }
    b.Dotted = dotted ? 1 : 0;
    b.Bars = 2;
    b.Tempo = 90;
    b.Corrections = 1;
    b.RhythmEvaluation = 1;
    return b;
}

ExerciseSetup WithBlock(ExerciseKind kind, const RhythmSetup& block)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    *RhythmSetupOfKind(setup, kind) = block;
    return setup;
}

std::size_t BlockOffset(ExerciseKind kind)
{
    switch (kind) {
    case kImitation:
        return 426;
    case kReading:
        return 470;
    default:
        return 514;
    }
}

TEST(RytmeOpsStore, EachKindWritesTheBytesItOwnsAndKeepsEveryOther)
{
    // Every byte of the record is random; the page's own bytes hold a fillable choice written
    // with values other than 1, which the page stores as 1.
    struct Case
    {
        ExerciseKind kind;
        std::vector<std::size_t> owned; ///< block bytes the page writes besides the common ones
    };
    const Case cases[] = {
        {kImitation, {30, 31, 32, 36}},
        {kReading, {30, 31, 32}},
        {kErrors, {29, 32}},
    };
    std::mt19937 rng(7);
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(KindNumber(c.kind)));
        for (int round = 0; round < 20; ++round) {
            std::vector<std::uint8_t> bytes(kExerciseSetupSize);
            for (std::uint8_t& b : bytes)
                b = static_cast<std::uint8_t>(rng());
            const std::size_t o = BlockOffset(c.kind);
            // 3/4 and 4/4; half, quarter and eighth notes; eighth-note triplets (bit 3).
            for (std::size_t i = 0; i < 14; ++i)
                bytes[o + i] = i == 2 || i == 3 ? 7 : 0;
            for (std::size_t i = 0; i < 6; ++i)
                bytes[o + 20 + i] = i >= 1 && i <= 3 ? 9 : 0;
            bytes[o + 26] = 132; // tempo
            bytes[o + 27] = 3;   // bars
            bytes[o + 28] = 5;   // rests
            bytes[o + 29] = 4;   // corrections
            bytes[o + 30] = 2;   // severe
            bytes[o + 31] = 0;
            bytes[o + 32] = 6; // ties
            bytes[o + 33] = 0; // not all triplets
            bytes[o + 34] = 0; // no dotted notes
            bytes[o + 36] = 3; // show a second time
            bytes[o + 38] = 8; // eighth-note triplets
            const ExerciseSetup original = *DecodeExerciseSetup(bytes);

            RytmeOpsModel page;
            page.LoadSetup(original, c.kind);
            ExerciseSetup stored = original;
            page.StoreSetup(stored, c.kind);

            std::vector<std::uint8_t> expected = EncodeExerciseSetup(original);
            for (std::size_t i = 0; i < 14; ++i)
                expected[o + i] = i == 2 || i == 3 ? 1 : 0;
            for (std::size_t i = 0; i < 6; ++i)
                expected[o + 20 + i] = i >= 1 && i <= 3 ? 1 : 0;
            expected[o + 26] = 132;
            expected[o + 27] = 3;
            expected[o + 28] = 1;
            expected[o + 33] = 0;
            expected[o + 34] = 0;
            expected[o + 38] = 8;
            for (std::size_t b : c.owned) {
                switch (b) {
                case 29:
                    expected[o + 29] = 4;
                    break;
                case 30:
                    expected[o + 30] = 2;
                    break;
                case 31:
                    expected[o + 31] = 0;
                    break;
                case 32:
                    expected[o + 32] = c.kind == kErrors ? 0 : 1;
                    break;
                case 36:
                    expected[o + 36] = 1;
                    break;
                }
            }
            const std::vector<std::uint8_t> actual = EncodeExerciseSetup(stored);
            for (std::size_t i = 0; i < kExerciseSetupSize; ++i)
                ASSERT_EQ(actual[i], expected[i])
                    << "record byte " << i << " (block byte "
                    << static_cast<long>(i) - static_cast<long>(o) << ")";
        }
    }
}

TEST(RytmeOpsStore, OtherKindsChangeNothing)
{
    RytmeOpsModel page;
    page.LoadSetup(WithBlock(kReading, Block({"6/8"}, {"8"})), kReading);
    for (ExerciseKind kind : {ExerciseKind::ChordIdentification, ExerciseKind::MelodyDictation}) {
        ExerciseSetup setup = DefaultExerciseSetup();
        page.StoreSetup(setup, kind);
        EXPECT_EQ(setup, DefaultExerciseSetup());
        page.LoadSetup(DefaultExerciseSetup(), kind);
        EXPECT_EQ(Signatures(page), "6/8") << "a load of another kind changes nothing";
    }
}

TEST(RytmeOpsLoad, ControlsShownAndTheirRangesFollowTheKind)
{
    struct Case
    {
        ExerciseKind kind;
        int barsMax;
        bool tiesEnabled;
        bool secondTime;
        bool corrections;
        bool evaluation;
    };
    const Case cases[] = {
        {kImitation, 6, true, true, false, true},
        {kReading, 12, true, false, false, true},
        {kErrors, 6, false, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(KindNumber(c.kind)));
        RhythmSetup b = Block({"4/4"}, {"4", "8"});
        b.Ties = 1;
        b.Bars = 12;
        b.Tempo = 120;
        b.AllTriplets = 1;
        RytmeOpsModel page;
        page.LoadSetup(WithBlock(c.kind, b), c.kind);
        EXPECT_EQ(page.BarsMax, c.barsMax);
        EXPECT_EQ(page.Bars, c.barsMax);
        EXPECT_EQ(page.TiesEnabled, c.tiesEnabled);
        EXPECT_EQ(page.Ties, c.tiesEnabled) << "error detection shows no ties";
        EXPECT_EQ(page.ShowSecondTimeVisible, c.secondTime);
        EXPECT_EQ(page.CorrectionsVisible, c.corrections);
        EXPECT_EQ(page.EvaluationVisible, c.evaluation);
        EXPECT_EQ(Down(page), "4 8 2t 4t 8t 16t") << "the all-triplets byte puts all four down";
        EXPECT_EQ(page.TempoText(), QStringLiteral("= 120"));
        ExerciseSetup stored = WithBlock(c.kind, b);
        page.StoreSetup(stored, c.kind);
        EXPECT_EQ(RhythmSetupOfKind(stored, c.kind)->AllTriplets, 0);
        EXPECT_EQ(RhythmSetupOfKind(stored, c.kind)->TripletMask, 0b11110);
    }
}

TEST(RytmeOpsRules, EachRuleSetsTheButtonsAndTheBytes)
{
    enum class Act
    {
        Load,
        ClickSignature,
        ClickNote,
        DottedOff,
    };
    struct Case
    {
        const char* name;
        RhythmSetup block;
        Act act;
        std::string target; ///< the button clicked
        std::string signatures;
        std::string down;
        std::string disabled;
    };
    const Case cases[] = {
        {"no time signature down gives 4/4", Block({}, {"4"}), Act::Load, "", "4/4", "4", ""},
        {"switching off the last time signature gives 4/4 again", Block({"3/4"}, {"4"}),
         Act::ClickSignature, "3/4", "4/4", "4", ""},
        // The quarter (8 thirty-seconds) fits a bar of 12: its dotted form fills 3/8.
        {"only 3/8 disables the values and groups longer than its bar",
         Block({"2/4"}, {"1", "2", "4", "8", "2t", "4t"}), Act::ClickSignature, "3/8", "2/4 3/8",
         "4 8", "1 2 2t 4t"},
        {"a value disabled by the shortest bar does not toggle", Block({"3/8"}, {"8"}),
         Act::ClickNote, "2", "3/8", "8", "1 2 2t 4t"},
        {"only half notes in 3/4 get the eighth", Block({"3/4"}, {"2"}), Act::Load, "", "3/4",
         "2 8", "1 2t"},
        {"half notes in 3/4 fill it dotted", Block({"3/4"}, {"2"}, true), Act::Load, "", "3/4", "2",
         "1 2t"},
        {"without dots again the eighth comes back", Block({"3/4"}, {"2"}, true), Act::DottedOff,
         "", "3/4", "2 8", "1 2t"},
        // A bar of three half notes holds no whole note; nor does a bar of 12/8 a half-note
        // triplet group, though both bars are a multiple of a half note long.
        {"whole notes in 3/2 get the eighth", Block({"3/2"}, {"1"}), Act::Load, "", "3/2", "1 8",
         ""},
        {"half-note triplets in 12/8 get the eighth", Block({"12/8"}, {"2t"}), Act::Load, "",
         "12/8", "8 2t", ""},
        {"no note value gives the eighth", Block({"4/4"}, {}), Act::Load, "", "4/4", "8", ""},
        {"switching the eighth off alone gives the quarter", Block({"4/4"}, {"8"}), Act::ClickNote,
         "8", "4/4", "4", ""},
        {"quarters fill 4/4 as they are", Block({"4/4"}, {"4"}), Act::Load, "", "4/4", "4", ""},
        {"halves and quarters fill 2/2 and 4/4", Block({"2/2", "4/4"}, {"2", "4"}), Act::Load, "",
         "2/2 4/4", "2 4", ""},
        // A compound beat is a dotted quarter: a quarter would straddle the second beat, and
        // no triplets are written.
        {"quarters in 6/8 get the eighth", Block({"6/8"}, {"4"}), Act::Load, "", "6/8", "4 8",
         "1 2t"},
        {"quarter-note triplets in 12/8 get the eighth", Block({"12/8"}, {"4t"}), Act::Load, "",
         "12/8", "8 4t", ""},
        {"dotted quarters and eighths in 6/8 stay", Block({"6/8"}, {"4", "8"}, true), Act::Load, "",
         "6/8", "4 8", "1 2t"},
        {"7/8 with halves and quarters gets the eighth", Block({"7/8"}, {"2", "4"}, true),
         Act::Load, "", "7/8", "2 4 8", "1 2t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RytmeOpsModel page;
        page.LoadSetup(WithBlock(kReading, c.block), kReading);
        switch (c.act) {
        case Act::Load:
            break;
        case Act::ClickSignature:
            page.ClickTimeSignature(SignatureIndex(c.target));
            break;
        case Act::ClickNote:
            page.ClickNoteButton(ButtonIndex(c.target));
            break;
        case Act::DottedOff:
            page.SetDotted(false);
            break;
        }
        EXPECT_EQ(Signatures(page), c.signatures);
        EXPECT_EQ(Down(page), c.down);
        EXPECT_EQ(Disabled(page), c.disabled);
        // The bytes follow the buttons.
        ExerciseSetup stored = DefaultExerciseSetup();
        page.StoreSetup(stored, kReading);
        const RhythmSetup& b = stored.RhythmReading;
        std::string storedDown;
        for (int i = 0; i < kRytmeOpsNoteButtons; ++i) {
            const bool on = i < kRytmeOpsValues ? b.NoteValues[At(i)] == 1
                                                : (b.TripletMask & (1 << (i - 5))) != 0;
            if (on)
                storedDown += (storedDown.empty() ? "" : " ") + std::string(kButtonNames[i]);
        }
        EXPECT_EQ(storedDown, c.down);
        for (int i = 0; i < kRytmeOpsTimeSignatures; ++i)
            EXPECT_EQ(b.TimeSignatures[At(i)], page.TimeSignatures[At(i)] ? 1 : 0);
    }
}

TEST(RytmeOpsRestore, PutsBackTheSavedBlockOfTheKindOnly)
{
    ExerciseSetup saved = DefaultExerciseSetup();
    saved.RhythmReading = Block({"6/8", "9/8"}, {"4", "8"}, true);
    saved.RhythmReading.Bars = 9;
    ExerciseSetup current = saved;
    current.RhythmReading = Block({"4/4"}, {"2"});
    current.RhythmImitation = Block({"2/4"}, {"8"});
    const ExerciseSetup before = current;

    RytmeOpsModel page;
    page.LoadSetup(current, kReading);
    page.ClickTimeSignature(SignatureIndex("3/4"));
    page.SpeedButton25Click(saved, current, kReading);

    EXPECT_EQ(current.RhythmReading, saved.RhythmReading);
    EXPECT_EQ(current.RhythmImitation, before.RhythmImitation);
    EXPECT_EQ(current.RhythmErrorDetection, before.RhythmErrorDetection);
    EXPECT_EQ(current.Melody, before.Melody);
    EXPECT_EQ(Signatures(page), "6/8 9/8");
    EXPECT_EQ(Down(page), "4 8");
    EXPECT_EQ(page.Bars, 9);
}

TEST(RytmeOpsLoad, DamagedBlocksShowAValidPageAndAreStoredValid)
{
    struct Case
    {
        const char* name;
        ExerciseKind kind;
        RhythmSetup block;
        int bars;
        int tempo;
        int corrections;
        int evaluation;
        std::string signatures;
        std::string down;
    };
    const auto with = [](RhythmSetup b, int bars, int tempo, int corrections, int evaluation) {
        b.Bars = static_cast<std::uint8_t>(bars);
        b.Tempo = static_cast<std::uint8_t>(tempo);
        b.Corrections = static_cast<std::uint8_t>(corrections);
        b.RhythmEvaluation = static_cast<std::int16_t>(evaluation);
        return b;
    };
    const Case cases[] = {
        {"no bars, no tempo", kImitation, with(Block({"4/4"}, {"4"}), 0, 0, 1, 1), 1, 90, 1, 1,
         "4/4", "4"},
        {"too many bars for imitation", kImitation, with(Block({"4/4"}, {"4"}), 200, 255, 1, 1), 6,
         240, 1, 1, "4/4", "4"},
        {"too many bars for reading", kReading, with(Block({"4/4"}, {"4"}), 200, 10, 1, 7), 12, 40,
         1, 1, "4/4", "4"},
        {"corrections out of range", kErrors, with(Block({"4/4"}, {"4"}), 3, 90, 0, -3), 3, 90, 1,
         -3, "4/4", "4"},
        {"too many corrections", kErrors, with(Block({"4/4"}, {"4"}), 3, 90, 9, 1), 3, 90, 5, 1,
         "4/4", "4"},
        {"neither a value nor a time signature", kReading, with(Block({}, {}), 2, 90, 1, -1), 2, 90,
         1, 1, "4/4", "8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RytmeOpsModel page;
        const ExerciseSetup damaged = WithBlock(c.kind, c.block);
        page.LoadSetup(damaged, c.kind);
        EXPECT_EQ(page.Bars, c.bars);
        EXPECT_EQ(page.Tempo, c.tempo);
        EXPECT_EQ(page.Corrections, c.corrections);
        EXPECT_EQ(Signatures(page), c.signatures);
        EXPECT_EQ(Down(page), c.down);
        ExerciseSetup stored = damaged;
        page.StoreSetup(stored, c.kind);
        const RhythmSetup& b = *RhythmSetupOfKind(stored, c.kind);
        EXPECT_EQ(b.Bars, c.bars);
        EXPECT_EQ(b.Tempo, c.tempo);
        EXPECT_EQ(b.RhythmEvaluation, c.evaluation) << "error detection keeps the evaluation bytes";
        if (c.kind == kErrors) {
            EXPECT_EQ(b.Corrections, c.corrections);
        }
    }
}

TEST(RytmeOpsRules, EveryChoiceThePageLeavesFillsEveryBar)
{
    // Each time signature alone and in pairs, with every set of note buttons, with and without
    // dotted notes: the bars the page leaves chosen are all fillable by the generator.
    std::vector<std::vector<int>> signatureSets;
    for (int a = 0; a < kRytmeOpsTimeSignatures; ++a) {
        signatureSets.push_back({a});
        signatureSets.push_back({a, (a + 5) % kRytmeOpsTimeSignatures});
    }
    int eighthsAdded = 0;
    for (const std::vector<int>& signatures : signatureSets) {
        for (int mask = 0; mask < (1 << kRytmeOpsNoteButtons); ++mask) {
            for (bool dotted : {false, true}) {
                RhythmSetup b;
                for (int s : signatures)
                    b.TimeSignatures[At(s)] = 1;
                for (int i = 0; i < kRytmeOpsValues; ++i)
                    b.NoteValues[At(i)] = (mask >> i) & 1 ? 1 : 0;
                b.TripletMask = static_cast<std::uint8_t>(((mask >> kRytmeOpsValues) & 0xF) << 1);
                b.Dotted = dotted ? 1 : 0;
                b.Bars = 1;
                RytmeOpsModel page;
                page.LoadSetup(WithBlock(kReading, b), kReading);
                ExerciseSetup stored = DefaultExerciseSetup();
                page.StoreSetup(stored, kReading);
                eighthsAdded += b.NoteValues[3] == 0 && stored.RhythmReading.NoteValues[3] != 0;
                for (int row = 1; row <= kRytmeOpsTimeSignatures; ++row) {
                    if (stored.RhythmReading.TimeSignatures[At(row - 1)] == 0)
                        continue;
                    ASSERT_TRUE(RhythmBarsAlwaysFill(stored.RhythmReading, row))
                        << kSignatureNames[row - 1] << " buttons " << Down(page)
                        << (dotted ? " dotted" : "");
                }
            }
        }
    }
    EXPECT_GT(eighthsAdded, 0);
}

TEST(RytmeOpsRules, TheGeneratorMakesARhythmFromEveryChoiceThePageAllows)
{
    // Random page choices (time signatures, note buttons, dots, rests, ties, bars), each made
    // valid by the page and generated from with several seeds: never the rhythm-setup message,
    // always whole bars.
    std::mt19937 rng(2024);
    const ExerciseKind kinds[] = {kImitation, kReading, kErrors};
    for (int sample = 0; sample < 1500; ++sample) {
        const ExerciseKind kind = kinds[sample % 3];
        RhythmSetup b;
        for (std::uint8_t& flag : b.TimeSignatures)
            flag = rng() % 5 == 0 ? 1 : 0;
        for (std::uint8_t& flag : b.NoteValues)
            flag = rng() % 3 == 0 ? 1 : 0;
        const bool triplets = rng() % 2 == 0;
        b.TripletMask = triplets ? static_cast<std::uint8_t>((rng() % 16) << 1) : 0;
        b.Dotted = rng() % 2;
        b.Rests = rng() % 2;
        b.Ties = rng() % 2;
        b.Bars = static_cast<std::uint8_t>(1 + rng() % 12);
        b.Tempo = 90;
        RytmeOpsModel page;
        page.LoadSetup(WithBlock(kind, b), kind);
        ExerciseSetup stored = DefaultExerciseSetup();
        page.StoreSetup(stored, kind);
        const RhythmSetup& chosen = *RhythmSetupOfKind(stored, kind);
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            test::SeededRandom random(seed + static_cast<std::uint32_t>(sample) * 7);
            test::ScriptedPrompts prompts;
            UIStringTable strings;
            TRytme rytme(random, prompts, strings);
            rytme.Setup(chosen, kind);
            rytme.Generate();
            SCOPED_TRACE("sample " + std::to_string(sample) + " seed " + std::to_string(seed) +
                         " buttons " + Down(page) + " in " + Signatures(page));
            ASSERT_EQ(prompts.Count(QStringLiteral("message")), 0);
            test::ExpectSoundRhythm(rytme);
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

} // namespace
} // namespace pv
