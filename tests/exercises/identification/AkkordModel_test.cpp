// The identification window's setup in its six modes: answer buttons, options, range, score.
#include "exercises/identification/AkkordModel.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/strings/UIStrings.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Mode = IdentificationMode;

struct Window
{
    explicit Window(Mode mode) : model(mode, base, strip, strings) {}
    ExerciseSession base;
    ControlStripModel strip;
    UIStringTable strings;
    AkkordModel model;
};

std::vector<int> ButtonItemsOf(const AkkordModel& model)
{
    std::vector<int> items;
    for (int b = 1; b <= model.ButtonCount; ++b) {
        items.push_back(model.ItemOfButton(b));
    }
    return items;
}

std::vector<QString> CaptionsOf(const AkkordModel& model)
{
    std::vector<QString> captions;
    for (int b = 1; b <= model.ButtonCount; ++b) {
        captions.push_back(model.ButtonCaption(b));
    }
    return captions;
}

std::vector<int> PlayStylesOf(const AkkordModel& model)
{
    return {model.PlayStyles.begin(), model.PlayStyles.begin() + model.PlayStyleCount};
}

OptionBlock& BlockOf(ExerciseSetup& setup, Mode mode)
{
    return *OptionBlockOfKind(setup, ModeInfo(mode).Kind);
}

TEST(AkkordModel, DefaultSetupGivesEachModeItsButtonsStylesAndStaff)
{
    struct Case
    {
        Mode mode;
        std::vector<int> items;
        std::vector<QString> captions;
        std::vector<int> playStyles;
        int currentStyle;
        int helpContext;
        int tipTag;
        bool chord;
        bool keySignature;
        bool playToneOnClick;
    };
    const auto s = [](const char* text) { return QString::fromUtf8(text); };
    const Case cases[] = {
        {Mode::ChordIdentification,
         {1, 2},
         {s("Major"), s("Minor")},
         {5, 6},
         0,
         10,
         3,
         true,
         true,
         true},
        {Mode::ChordInversions,
         {1, 2, 3, 4, 5, 6},
         {s("Major (root)"), s("Major 1.inv"), s("Major 2.inv"), s("Minor (root)"),
          s("Minor 1.inv"), s("Minor 2.inv")},
         {5, 6},
         0,
         0,
         3,
         true,
         true,
         true},
        {Mode::IntervalIdentification,
         {1, 5, 8, 13},
         {s("1"), s("3"), s("5"), s("8")},
         {5, 6},
         0,
         20,
         2,
         true,
         true,
         true},
        {Mode::Scales,
         {1, 6},
         {s("Ionian (major)"), s("Aeolian (minor)")},
         {1, 2},
         1,
         10,
         4,
         false,
         false,
         true},
        {Mode::MelodyDictation, {}, {}, {1}, 1, 10, 0, false, true, false},
        {Mode::ChordProgressions,
         {1, 2},
         {s("V - I"), s("V - I mi")},
         {5, 6},
         0,
         0,
         5,
         true,
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        Window w(c.mode);
        w.base.QuestionCount = 7;
        w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        const AkkordModel& m = w.model;
        EXPECT_EQ(ButtonItemsOf(m), c.items);
        EXPECT_EQ(CaptionsOf(m), c.captions);
        EXPECT_EQ(PlayStylesOf(m), c.playStyles);
        EXPECT_EQ(m.CurrentPlayStyle, c.currentStyle);
        EXPECT_EQ(m.HelpContext, c.helpContext);
        EXPECT_EQ(m.TipTag, c.tipTag);
        EXPECT_EQ(m.Sheet.Chord, c.chord);
        EXPECT_EQ(m.Sheet.ShowKeySignature, c.keySignature);
        EXPECT_EQ(m.PlayToneOnClick, c.playToneOnClick);
        // Every mode starts with no open question and only "new question" working.
        EXPECT_TRUE(w.base.Answered);
        EXPECT_EQ(w.base.QuestionCount, 0u);
        EXPECT_TRUE(w.strip.ButtonEnabled[0]);
        EXPECT_FALSE(w.strip.ButtonEnabled[1]);
        EXPECT_EQ(m.Sheet.Syllables, c.mode == Mode::MelodyDictation);
        EXPECT_EQ(m.PlayStyleBarAllowed, c.mode != Mode::Scales && c.mode != Mode::MelodyDictation);
        if (c.mode != Mode::MelodyDictation) {
            EXPECT_EQ(m.LowNote, 53);
            EXPECT_EQ(m.RootSpan, 19);
            EXPECT_EQ(m.QuestionRoot, 60);
            EXPECT_FALSE(w.strip.ButtonEnabled[3]);
            EXPECT_EQ(w.strip.FocusIndex, 0);
        }
    }
}

// Slots of the built-in chord table: 1..31 hold notes, 32..60 are empty user slots.
TEST(AkkordModel, OnlyFlaggedItemsWithOneToTwelveNotesBecomeButtons)
{
    struct Case
    {
        const char* name;
        Mode mode;
        std::vector<int> flagged;
        std::vector<int> expected;
    };
    std::vector<int> all(60);
    for (int i = 0; i < 60; ++i) {
        all[static_cast<std::size_t>(i)] = i + 1;
    }
    std::vector<int> chordsWithNotes(31);
    for (int i = 0; i < 31; ++i) {
        chordsWithNotes[static_cast<std::size_t>(i)] = i + 1;
    }
    std::vector<int> intervalsWithNotes(25);
    for (int i = 0; i < 25; ++i) {
        intervalsWithNotes[static_cast<std::size_t>(i)] = i + 1;
    }
    intervalsWithNotes.push_back(26); // a user interval, below
    std::vector<int> progressionsWithChords(35);
    for (int i = 0; i < 35; ++i) {
        progressionsWithChords[static_cast<std::size_t>(i)] = i + 1;
    }
    const Case cases[] = {
        {"all chords", Mode::ChordIdentification, all, chordsWithNotes},
        {"a few, out of order in the flags", Mode::ChordIdentification, {9, 3, 27}, {3, 9, 27}},
        {"none", Mode::ChordIdentification, {}, {}},
        {"empty user slot", Mode::ChordIdentification, {1, 40}, {1}},
        {"count above twelve", Mode::ChordIdentification, {2, 50}, {2}},
        {"intervals stop at thirty", Mode::IntervalIdentification, all, intervalsWithNotes},
        {"progressions with chords", Mode::ChordProgressions, all, progressionsWithChords},
        {"progression count above twelve", Mode::ChordProgressions, {1, 50}, {1}},
    };
    ItemTables tables = BuiltInItemTables();
    // Item 50 of the chord table and progression 50 carry a damaged count of 13; user interval
    // 26 is a real one and slot 31 (unused by the exercise) holds notes too.
    tables.ChordIdentification.Counts[49] = 13;
    tables.ProgressionCounts[49] = 13;
    tables.IntervalIdentification.Counts[25] = 2;
    tables.IntervalIdentification.Counts[30] = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = BlockOf(setup, c.mode);
        block.ItemFlags.fill(0);
        for (int item : c.flagged) {
            block.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
        }
        Window w(c.mode);
        w.model.Setup(setup, tables, AkkordSettings{}, true);
        EXPECT_EQ(ButtonItemsOf(w.model), c.expected);
        for (const AkkordItem& item : w.model.ExerciseItem) {
            EXPECT_LE(item.NoteCount, 12);
        }
    }
}

TEST(AkkordModel, ItemToButtonMapFollowsTheCurrentSetupOnly)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.ChordIdentification.ItemFlags.fill(0);
    for (int item : {3, 7, 9}) {
        setup.ChordIdentification.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
    }
    Window w(Mode::ChordIdentification);
    w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    EXPECT_EQ(w.model.ButtonOfItem(3), 1);
    EXPECT_EQ(w.model.ButtonOfItem(7), 2);
    EXPECT_EQ(w.model.ButtonOfItem(9), 3);
    for (int item : {0, 1, 8, 61, -1, 255}) {
        SCOPED_TRACE(item);
        EXPECT_EQ(w.model.ButtonOfItem(item), 0);
    }
    EXPECT_EQ(w.model.ItemOfButton(4), 0);
    EXPECT_EQ(w.model.ItemOfButton(0), 0);
    EXPECT_EQ(w.model.ButtonCaption(4), QString());

    // A later setup drops item 3; the button that showed it now belongs to item 7.
    setup.ChordIdentification.ItemFlags[2] = 0;
    w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, false);
    EXPECT_EQ(w.model.ButtonOfItem(3), 0);
    EXPECT_EQ(w.model.ButtonOfItem(7), 1);
    EXPECT_EQ(w.model.ButtonOfItem(9), 2);
    EXPECT_EQ(w.model.ButtonCount, 2);
}

TEST(AkkordModel, RefreshKeepsCountsAndScoreWhileResetClearsThem)
{
    Window w(Mode::ChordIdentification);
    w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    w.base.QuestionCount = 4;
    w.base.CorrectCount = 3;
    w.base.Items[2].Asked = 4;
    w.base.Items[2].Right = 3;

    w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, false);
    EXPECT_EQ(w.base.QuestionCount, 4u);
    EXPECT_EQ(w.base.CorrectCount, 3u);
    EXPECT_EQ(w.base.Items[2].Asked, 4);
    EXPECT_EQ(w.base.Items[2].Right, 3);

    w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    EXPECT_EQ(w.base.QuestionCount, 0u);
    EXPECT_EQ(w.base.CorrectCount, 0u);
    EXPECT_EQ(w.base.Items[2].Asked, 0);
    EXPECT_EQ(w.base.Items[2].Right, 0);
}

TEST(AkkordModel, ResultsResetClosesTheQuestionAndClearsEveryCount)
{
    for (Mode mode : kIdentificationModes) {
        SCOPED_TRACE(static_cast<int>(mode));
        Window w(mode);
        w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        const int buttons = w.model.ButtonCount;
        // A question is open: repeat, play and check are on, a note is held.
        w.strip.ButtonEnabled = {false, true, true, true, true};
        w.base.Answered = false;
        w.base.QuestionCount = 9;
        w.base.CorrectCount = 4;
        w.base.AnswerTime = 0.01;
        w.model.HeldNote.Pitch = TPitch{64, 0};
        for (ItemCounts& item : w.base.Items) {
            item.Asked = 3;
            item.Right = 2;
        }

        w.model.ResetResults();
        EXPECT_TRUE(w.strip.ButtonEnabled[0]);
        EXPECT_FALSE(w.strip.ButtonEnabled[1]);
        EXPECT_FALSE(w.strip.ButtonEnabled[3]);
        EXPECT_TRUE(w.base.Answered);
        EXPECT_EQ(w.model.HeldNote.Pitch, TPitch{});
        EXPECT_EQ(w.base.QuestionCount, 0u);
        EXPECT_EQ(w.base.CorrectCount, 0u);
        EXPECT_EQ(w.base.AnswerTime, 0.01) << "the clock is the main window's";
        for (const ItemCounts& item : w.base.Items) {
            EXPECT_EQ(item.Asked, 0);
            EXPECT_EQ(item.Right, 0);
        }
        EXPECT_EQ(w.model.ButtonCount, buttons) << "the setup stays";
        EXPECT_EQ(w.model.Score().Gauge, 100);
    }
}

TEST(AkkordModel, AnswerInputDecidesPanelsGuitarViewCheckAndTip)
{
    for (Mode mode : {Mode::ChordIdentification, Mode::ChordProgressions}) {
        const bool progressions = mode == Mode::ChordProgressions;
        Window w(mode);
        // Before the progression setup has made its buttons there is no bar to show.
        w.model.SetAnswerInput(kAnswerOnPiano);
        EXPECT_FALSE(w.model.ShownPanels().AlterationBar);
        w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{false, true},
                      true);
        for (int bits = 1; bits <= 15; ++bits) {
            SCOPED_TRACE(testing::Message()
                         << "mode " << static_cast<int>(mode) << " bits " << bits);
            const bool piano = (bits & kAnswerOnPiano) != 0;
            const bool guitar = (bits & kAnswerOnGuitar) != 0;
            w.strip.ButtonEnabled[3] = true;
            w.model.SetAnswerInput(static_cast<std::uint8_t>(bits));
            EXPECT_EQ(w.model.AnswerInput, bits);
            EXPECT_EQ(w.model.Sheet.GuitarView, guitar && !piano);
            EXPECT_EQ(w.strip.ButtonEnabled[3], bits != kAnswerByName);
            EXPECT_EQ(w.model.AnswerTipAllowed(), bits != kAnswerByName);
            const AnswerPanels shown = w.model.ShownPanels();
            EXPECT_EQ(shown.Buttons, (bits & kAnswerByName) != 0);
            EXPECT_EQ(shown.Piano, piano);
            EXPECT_EQ(shown.Guitar, guitar);
            EXPECT_EQ(shown.Staff, (bits & kAnswerOnStaff) != 0);
            EXPECT_EQ(shown.AlterationBar, progressions && (piano || guitar));
        }
        // Switching the input never switches "check" on: only a question does.
        w.strip.ButtonEnabled[3] = false;
        w.model.SetAnswerInput(kAnswerOnStaff);
        EXPECT_FALSE(w.strip.ButtonEnabled[3]);
    }
    Window untipped(Mode::Scales);
    untipped.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    untipped.model.SetAnswerInput(kAnswerByName | kAnswerOnStaff);
    EXPECT_FALSE(untipped.model.AnswerTipAllowed()) << "the tip is no longer offered";
}

TEST(AkkordModel, PlayStyleButtonsPickTheStyleTheirModeGivesThem)
{
    struct Case
    {
        Mode mode;
        std::array<int, 3> styles;
    };
    const Case cases[] = {
        {Mode::ChordIdentification, {kPlaySimultaneous, kPlayHeldUp, kPlayHeldDown}},
        {Mode::ChordProgressions, {kPlaySimultaneous, kPlayHeldUp, kPlayHeldDown}},
        {Mode::Scales, {kPlaySimultaneous, kPlayUp, kPlayDown}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        Window w(c.mode);
        w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        for (int b = 2; b >= 0; --b) {
            w.model.ChoosePlayStyle(b);
            EXPECT_EQ(w.model.CurrentPlayStyle, c.styles[static_cast<std::size_t>(b)]);
        }
        w.model.ChoosePlayStyle(3);
        w.model.ChoosePlayStyle(-1);
        EXPECT_EQ(w.model.CurrentPlayStyle, kPlaySimultaneous) << "no such button";
    }
}

TEST(AkkordModel, EverySetupPutsThePlainAddToolDown)
{
    for (Mode mode : kIdentificationModes) {
        SCOPED_TRACE(static_cast<int>(mode));
        Window w(mode);
        for (bool reset : {true, false}) {
            w.model.EntryTool = kEntryToolDelete;
            w.model.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, reset);
            EXPECT_EQ(w.model.EntryTool, kEntryToolAdd);
        }
    }
}

TEST(AkkordModel, OptionBytesSetStylesLockAndReference)
{
    struct Case
    {
        const char* name;
        std::array<std::uint8_t, 3> styles;
        std::uint8_t answerInput;
        std::uint8_t tonic;
        std::vector<int> playStyles;
        int lock;
        bool tonicContext;
        int cadenceMode;
    };
    const Case cases[] = {
        {"no style plays simultaneously", {0, 0, 0}, 2, 0, {0}, 0, false, 1},
        {"all styles, arpeggios held", {1, 1, 1}, 0, 0x11, {0, 5, 6}, 0, true, 1},
        {"lock bit forces the low bits", {1, 0, 0}, 0x85, 0x21, {0}, 5, true, 2},
        {"low bits alone lock nothing", {0, 0, 1}, 0x0F, 0x20, {6}, 0, false, 2},
        {"unknown reference reads as base tones", {0, 1, 0}, 0x88, 0x31, {5}, 8, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSetup setup = DefaultExerciseSetup();
        setup.ChordIdentification.PlayStyles = c.styles;
        setup.ChordIdentification.AnswerInput = c.answerInput;
        setup.ChordIdentification.TonicReference = c.tonic;
        Window w(Mode::ChordIdentification);
        w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
        EXPECT_EQ(PlayStylesOf(w.model), c.playStyles);
        EXPECT_EQ(w.base.AnswerInputLock, c.lock);
        EXPECT_EQ(w.model.TonicContext, c.tonicContext);
        EXPECT_EQ(w.model.CadenceMode, c.cadenceMode);
        EXPECT_EQ(w.model.EffectiveAnswerInput(1), c.lock != 0 ? c.lock : 1);
    }
}

// The roots a question can get, drawn as the question generator draws them.
std::set<int> RootsOf(std::uint8_t rule, const RootRange& range)
{
    std::set<int> roots;
    const std::optional<int> p = FixedRootPitchClass(rule);
    for (int r = range.LowNote; r < range.LowNote + range.RootSpan; ++r) {
        roots.insert(p ? *p + 12 * ((r - *p) / 12) : r);
    }
    return roots;
}

TEST(AkkordModel, RootRangeHoldsExactlyTheRootsTheRuleAllows)
{
    struct Case
    {
        const char* name;
        std::uint8_t rule;
        int highest;
        int lowest;
        RootRange range;
        std::set<int> roots; // checked when not empty
    };
    const Case cases[] = {
        {"random", 0, 72, 53, {53, 19}, {}},
        {"cyclic gets at least an octave", 3, 60, 55, {55, 12}, {}},
        {"cyclic keeps a wider range", 8, 80, 50, {50, 30}, {}},
        {"same tone C", 11, 72, 53, {60, 23}, {60, 72}},
        {"same tone F", 16, 72, 53, {53, 23}, {53, 65}},
        {"same tone B", 22, 72, 53, {59, 23}, {59, 71}},
        {"same key of six flats (G flat)", 25, 72, 53, {54, 23}, {54, 66}},
        {"same key of five sharps (B)", 36, 72, 53, {59, 23}, {59, 71}},
        {"same key C", 31, 84, 48, {48, 47}, {48, 60, 72, 84}},
        {"pitch class absent from the range", 16, 64, 60, {65, 1}, {65}},
        {"inverted range", 0, 50, 60, {60, 1}, {60}},
        {"one-note range", 0, 60, 60, {60, 1}, {60}},
        {"blank list row reads as random", 23, 72, 53, {53, 19}, {}},
        {"past the list reads as random", 200, 72, 53, {53, 19}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RootRange range = ComputeRootRange(c.rule, c.highest, c.lowest);
        EXPECT_EQ(range, c.range);
        if (!c.roots.empty()) {
            EXPECT_EQ(RootsOf(c.rule, range), c.roots);
        }
    }
}

TEST(AkkordModel, SetupSanitisesTheRootMovementItUses)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.Scales.RootMovement = 24;
    Window w(Mode::Scales);
    w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    EXPECT_EQ(w.model.RootMovementRule, 0);
    EXPECT_EQ(w.model.LowNote, 53);
    EXPECT_EQ(w.model.RootSpan, 19);
}

TEST(AkkordModel, ScoreRoundsThePercentAndPicksTheModesFormat)
{
    struct Case
    {
        Mode mode;
        std::uint32_t right;
        std::uint32_t asked;
        int gauge;
        const char* label;
    };
    const Case cases[] = {
        {Mode::ChordIdentification, 0, 0, 100, "Score: 0 / 0"},
        {Mode::Scales, 2, 3, 67, "Score: 2 / 3"},
        {Mode::IntervalIdentification, 1, 3, 33, "Score: 1 / 3"},
        {Mode::ChordProgressions, 1, 8, 13, "Score: 1 / 8"},
        {Mode::MelodyDictation, 9, 10, 90, "Notes: 9 of 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Window w(c.mode);
        w.strings.StrIdentFormat1 = QStringLiteral("Score: %d / %d");
        w.strings.StrIdentFormat2 = QStringLiteral("Notes: %d of %d");
        w.base.CorrectCount = c.right;
        w.base.QuestionCount = c.asked;
        const ScoreDisplay score = w.model.Score();
        EXPECT_EQ(score.Gauge, c.gauge);
        EXPECT_EQ(score.Label, QString::fromUtf8(c.label));
    }
}

TEST(AkkordModel, MelodyTakesItsOwnBlockAndHasNoButtons)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.Melody.AnswerInput = 0x88;
    setup.Melody.Rhythms = 1;
    setup.Melody.Scale = 5;
    setup.Melody.ShowKeySignature = 1;
    setup.Melody.TonicReference = 0x21;
    Window w(Mode::MelodyDictation);
    w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{true}, true);
    EXPECT_EQ(w.model.ButtonCount, 0);
    EXPECT_EQ(w.base.AnswerInputLock, 8);
    EXPECT_TRUE(w.model.ExtraEntryButtons);
    EXPECT_EQ(w.model.CurrentPlayStyle, kPlayDurations);
    EXPECT_EQ(w.model.PlayStyleCount, 1);
    EXPECT_TRUE(w.model.Sheet.ShowKeySignature);
    EXPECT_TRUE(w.model.Sheet.ShowKeyName);
    EXPECT_TRUE(w.model.TonicContext);
    EXPECT_EQ(w.model.CadenceMode, 2);
    EXPECT_EQ(w.model.MaxSamePitch, 5);

    // Scales with a key name of their own (here scale 2) leave the key name out.
    setup.Melody.Scale = 2;
    w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{true}, false);
    EXPECT_FALSE(w.model.Sheet.ShowKeyName);
}

TEST(AkkordModel, ProgressionModeShowsTheQualityButtonsOfTheChordsInUse)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.ChordProgressions.ItemFlags.fill(0);
    setup.ChordProgressions.ItemFlags[2] = 1;  // G7 - C: types 6 and 0
    setup.ChordProgressions.ItemFlags[12] = 1; // D half-dim - G7(b9) - Cmaj7: 12, 23, 8
    setup.ChordProgressions.ItemFlags[40] = 1; // an empty user slot, no chords at all
    Window w(Mode::ChordProgressions);
    w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    EXPECT_TRUE(w.model.AlterationBarShown);
    std::vector<int> visible;
    for (int b = 0; b < kAlterationButtonCount; ++b) {
        if (w.model.AlterationVisible[static_cast<std::size_t>(b)]) {
            visible.push_back(b);
        }
    }
    EXPECT_EQ(visible, (std::vector<int>{0, 6, 8, 12, 17}));
    EXPECT_EQ(w.model.AlterationCaptions[0], QStringLiteral("Major"));
    EXPECT_EQ(w.model.AlterationCaptions[1], QStringLiteral("Minor"));
    EXPECT_EQ(w.model.AlterationCaptions[6], QStringLiteral("7"));
    EXPECT_EQ(w.model.AlterationCaptions[18], QStringLiteral("7(#9)"));
    EXPECT_FALSE(w.model.StaffTipButtonShown);

    for (int type : {0, 16, 23, 25, 17, 22, 59}) {
        SCOPED_TRACE(type);
        const int expected = type <= 16 ? type : type == 23 ? 17 : type == 25 ? 18 : 0;
        EXPECT_EQ(AlterationButtonOfChordType(type), expected);
    }
}

TEST(AkkordModel, AnswerInputBitsPickThePanels)
{
    Window chords(Mode::ChordIdentification);
    Window progressions(Mode::ChordProgressions);
    const AnswerPanels byName = chords.model.PanelsOf(1);
    EXPECT_TRUE(byName.Buttons);
    EXPECT_FALSE(byName.Piano || byName.Guitar || byName.Staff || byName.AlterationBar);
    const AnswerPanels all = chords.model.PanelsOf(15);
    EXPECT_TRUE(all.Buttons && all.Piano && all.Guitar && all.Staff);
    EXPECT_FALSE(all.AlterationBar);
    EXPECT_TRUE(progressions.model.PanelsOf(2).AlterationBar);
    EXPECT_TRUE(progressions.model.PanelsOf(4).AlterationBar);
    EXPECT_FALSE(progressions.model.PanelsOf(9).AlterationBar);
}

TEST(AkkordModel, ModesMapToTheirExerciseKinds)
{
    for (Mode mode : kIdentificationModes) {
        SCOPED_TRACE(static_cast<int>(mode));
        EXPECT_EQ(ModeOfKind(ModeInfo(mode).Kind), mode);
    }
    for (int kind : {0, 3, 4, 5, 6, 11}) {
        EXPECT_FALSE(ModeOfKind(static_cast<ExerciseKind>(kind)).has_value());
    }
    EXPECT_EQ(ModeInfo(Mode::IntervalIdentification).ItemsUsed, 30);
}

} // namespace
} // namespace pv
