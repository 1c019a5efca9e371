// Every built-in chord, scale and progression as the identification exercise writes it in a
// sample of keys; the expected names are written out from the rules of harmony.
#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/AkkordTestWindow.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedRandom.h"

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Mode = IdentificationMode;

using Window = test::AkkordTestWindow;

std::string Names(const std::vector<TNoteRec>& notes)
{
    QStringList names;
    for (const TNoteRec& n : notes)
        names << NoteName(n.Pitch);
    return names.join(QLatin1Char(' ')).toStdString();
}

/// A window whose first question asks item 1 (or the given item) on a fixed pitch class.
void AskOn(Window& w, int pitchClass, int item = 1)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    OptionBlock& block = *OptionBlockOfKind(setup, ModeInfo(w.model.Mode).Kind);
    block.ItemFlags.fill(0);
    block.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
    block.PlayStyles = {1, 0, 0};
    block.ExtraOption = 0;
    block.RootMovement = static_cast<std::uint8_t>(11 + pitchClass);
    w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_TRUE(w.model.NewQuestion());
}

struct ItemCase
{
    int item;
    const char* notes;
};

void ExpectAnswers(const Window& w, std::initializer_list<ItemCase> cases)
{
    for (const ItemCase& c : cases) {
        SCOPED_TRACE("item " + std::to_string(c.item));
        EXPECT_EQ(Names(w.model.AnswerItemNotes(c.item)), c.notes);
    }
}

TEST(AkkordSpelling, BuiltInChordsOnGFlatAndOnB)
{
    {
        SCOPED_TRACE("G flat major");
        Window w(Mode::ChordIdentification);
        AskOn(w, 6);
        ASSERT_EQ(w.model.Sheet.KeySignature, -6);
        ExpectAnswers(w, {{1, "Gb Bb Db"},
                          {2, "Gb Bbb Db"},
                          {3, "Gb Bbb Dbb"},
                          {4, "Gb Bb D"},
                          {5, "Gb Ab Db"},
                          {6, "Gb Cb Db"},
                          {7, "Gb Bb Db Fb"},
                          {8, "Gb Bbb Db Fb"},
                          {9, "Gb Bb Db F"},
                          {10, "Gb Bbb Db F"},
                          {11, "Gb Bbb Dbb Fbb"},
                          {12, "Gb Bb Dbb Fb"},
                          {13, "Gb Bbb Dbb Fb"},
                          {14, "Gb Bb D Fb"},
                          {15, "Gb Cb Db Fb"},
                          {16, "Gb Bb Db Eb"},
                          {17, "Gb Bbb Db Eb"},
                          {18, "Gb Bb Db Eb F"},
                          {19, "Gb Bb Db F Ab"},
                          {20, "Gb Bb Db Eb F Ab"},
                          {21, "Gb Bbb Db Eb Ab"},
                          {22, "Gb Bbb Db F Ab"},
                          {23, "Gb Bbb Db Eb F Ab"},
                          {24, "Gb Bb Db Fb Abb"},
                          {25, "Gb Bb Db Fb Ab"},
                          {26, "Gb Bb Db Fb A"},
                          {27, "Gb Bbb Db Fb Ab"},
                          // The Neapolitan sixth of its own key, D flat major.
                          {28, "Gb Bbb Ebb"},
                          // The augmented sixths of B flat major, on its flat sixth.
                          {29, "Gb Bb E"},
                          {30, "Gb Bb Db E"},
                          {31, "Gb Bb C E"}});
    }
    {
        SCOPED_TRACE("B major");
        Window w(Mode::ChordIdentification);
        AskOn(w, 11);
        ASSERT_EQ(w.model.Sheet.KeySignature, 5);
        ExpectAnswers(w, {{1, "B D# F#"},
                          {2, "B D F#"},
                          {3, "B D F"},
                          {4, "B D# F##"},
                          {5, "B C# F#"},
                          {6, "B E F#"},
                          {7, "B D# F# A"},
                          {8, "B D F# A"},
                          {9, "B D# F# A#"},
                          {10, "B D F# A#"},
                          {11, "B D F Ab"},
                          {12, "B D# F A"},
                          {13, "B D F A"},
                          {14, "B D# F## A"},
                          {15, "B E F# A"},
                          {16, "B D# F# G#"},
                          {17, "B D F# G#"},
                          {18, "B D# F# G# A#"},
                          {19, "B D# F# A# C#"},
                          {20, "B D# F# G# A# C#"},
                          {21, "B D F# G# C#"},
                          {22, "B D F# A# C#"},
                          {23, "B D F# G# A# C#"},
                          {24, "B D# F# A C"},
                          {25, "B D# F# A C#"},
                          {26, "B D# F# A C##"},
                          {27, "B D F# A C#"},
                          // The Neapolitan sixth of F sharp major.
                          {28, "B D G"},
                          // The augmented sixths of E flat major: its flat sixth is C flat.
                          {29, "Cb Eb A"},
                          {30, "Cb Eb Gb A"},
                          {31, "Cb Eb F A"}});
    }
}

TEST(AkkordSpelling, IntervalsKeepTheSizeTheirNameGivesOnEveryPositionOfTheKey)
{
    struct Case
    {
        const char* name;
        int pitchClass;
        int item;
        bool inKey;
        int position; ///< index among the item's positions in the key
        const char* notes;
    };
    const Case cases[] = {
        {"minor second on the third of G flat", 6, 2, true, 0, "Bb Cb"},
        {"minor second on the seventh of G flat", 6, 2, true, 1, "F Gb"},
        {"diminished fifth on the fourth of G flat", 6, 7, true, 0, "Cb Gbb"},
        {"diminished fifth on the seventh of G flat", 6, 7, true, 1, "F Cb"},
        {"minor third on the second of G flat", 6, 4, true, 0, "Ab Cb"},
        {"minor third on the sixth of G flat", 6, 4, true, 2, "Eb Gb"},
        {"minor second on the third of B", 11, 2, true, 0, "D# E"},
        {"diminished fifth on the fourth of B", 11, 7, true, 0, "E Bb"},
        {"diminished fifth on the seventh of B", 11, 7, true, 1, "A# E"},
        {"minor third on the third of B", 11, 4, true, 1, "D# F#"},
        {"diminished fifth down from G flat", 6, 7, false, 0, "C Gb"},
        {"minor second down from G flat", 6, 2, false, 0, "F Gb"},
        {"diminished fifth down from B", 11, 7, false, 0, "E# B"},
        {"major sixth down from B", 11, 10, false, 0, "D B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = *OptionBlockOfKind(setup, ModeInfo(Mode::IntervalIdentification).Kind);
        block.ItemFlags.fill(0);
        block.ItemFlags[static_cast<std::size_t>(c.item - 1)] = 1;
        block.PlayStyles =
            c.inKey ? std::array<std::uint8_t, 3>{1, 0, 0} : std::array<std::uint8_t, 3>{0, 0, 1};
        block.ExtraOption = c.inKey ? 1 : 0;
        block.RootMovement = static_cast<std::uint8_t>(11 + c.pitchClass);
        // Root, style, item, then the position in the key.
        Window w(Mode::IntervalIdentification, {0, 0, 0, c.position});
        w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
        ASSERT_TRUE(w.model.NewQuestion());
        std::vector<TNoteRec> question(w.model.QuestionNotes.begin(),
                                       w.model.QuestionNotes.begin() + 2);
        EXPECT_EQ(Names(question), c.notes);
        // The answer item of the question is written exactly as the question.
        EXPECT_EQ(Names(w.model.AnswerItemNotes(c.item)), c.notes);
    }
}

TEST(AkkordSpelling, EveryItemOnEveryRootIsAnsweredAsItsQuestionIsWritten)
{
    // The question and the answer item build the notes apart; a right answer must never be
    // told that its spelling differs, and no note may be left without a sign.
    const ItemTables& tables = BuiltInItemTables();
    for (Mode mode : {Mode::ChordIdentification, Mode::ChordInversions,
                      Mode::IntervalIdentification, Mode::Scales}) {
        const ItemTable& table = *TableOfKind(tables, ModeInfo(mode).Kind);
        for (int item = 1; item <= static_cast<int>(kItemCount); ++item) {
            if (table.NoteCount(item) == 0)
                continue;
            for (int pitchClass = 0; pitchClass < 12; ++pitchClass) {
                SCOPED_TRACE("mode " + std::to_string(static_cast<int>(mode)) + " item " +
                             std::to_string(item) + " on " + std::to_string(pitchClass));
                Window w(mode);
                AskOn(w, pitchClass, item);
                const std::vector<TNoteRec> question(w.model.QuestionNotes.begin(),
                                                     w.model.QuestionNotes.begin() +
                                                         w.model.QuestionNoteCount);
                const std::string names = Names(question);
                EXPECT_EQ(names.find("???"), std::string::npos) << names;
                EXPECT_EQ(Names(w.model.AnswerItemNotes(item)), names);
            }
        }
    }
}

TEST(AkkordSpelling, BuiltInScalesOnEAndSomeOnDFlat)
{
    {
        SCOPED_TRACE("on E");
        Window w(Mode::Scales);
        AskOn(w, 4);
        ASSERT_EQ(w.model.Sheet.KeySignature, 4);
        ExpectAnswers(w, {{1, "E F# G# A B C# D# E"},
                          {2, "E F# G A B C# D E"},
                          {3, "E F G A B C D E"},
                          {4, "E F# G# A# B C# D# E"},
                          {5, "E F# G# A B C# D E"},
                          {6, "E F# G A B C D E"},
                          {7, "E F G A Bb C D E"},
                          {8, "E F# G A B C D# E"},
                          {9, "E F# G A B C# D# E"},
                          {10, "E F# G# A# C D E"},
                          {11, "E F F# G G# A A# B C C# D D#"},
                          {12, "E F# G# B C# E"},
                          {13, "E G A B D E"},
                          {14, "E G A A# B D E"},
                          {15, "E F# G# A B C C# D# E"},
                          {16, "E F# G# A B C# D D# E"},
                          {17, "E F# G A B C# D D# E"},
                          {18, "E F G A Bb C# D E"},
                          {19, "E F# G# A B# C# D# E"},
                          {20, "E F# G A# B C# D E"},
                          {21, "E F G# A B C D E"},
                          {22, "E F## G# A# B C# D# E"},
                          {23, "E F G Ab Bb C Db E"},
                          {24, "E F G A B C# D E"},
                          {25, "E F# G# A# B# C# D# E"},
                          {26, "E F# G# A# B C# D E"},
                          {27, "E F# G# A B C D E"},
                          {28, "E F# G A Bb C D E"},
                          {29, "E F G Ab Bb C D E"},
                          {30, "E F# G A A# C C# D# E"},
                          {31, "E F G G# Bb B C# D E"}});
    }
    {
        SCOPED_TRACE("on D flat");
        Window w(Mode::Scales);
        AskOn(w, 1);
        ASSERT_EQ(w.model.Sheet.KeySignature, -5);
        // A scale that reads minor on this pitch is written in C sharp minor, as a question
        // on it would be, where it needs no double flats.
        ExpectAnswers(w, {{1, "Db Eb F Gb Ab Bb C Db"},
                          {6, "C# D# E F# G# A B C#"},
                          {8, "C# D# E F# G# A B# C#"},
                          {9, "C# D# E F# G# A# B# C#"},
                          {10, "Db Eb F G A B Db"},
                          {11, "Db D Eb E F Gb G Ab A Bb B C"},
                          {14, "C# E F# G G# B C#"},
                          {15, "Db Eb F Gb Ab A Bb C Db"},
                          {30, "C# D# E F# G A A# C C#"},
                          {31, "C# D E F G G# A# B C#"}});
    }
}

TEST(AkkordSpelling, BebopScalesOnEveryRootKeepTheirDegreesAndRespellOnlyAnAddedDouble)
{
    // Items 15, 16 and 17: the major bebop (a flat sixth added), the dominant bebop from G and
    // the dorian bebop from D (a major seventh added). Asked on each root they are written in
    // the root's key; as answers to the major scale on that root they start on its tonic in the
    // key of their own C.
    struct Case
    {
        int pitchClass;
        const char* questions[3];
        const char* answers[3];
    };
    const Case cases[] = {
        {0,
         {"C D E F G Ab A B C", "G A B C D E F F# G", "D E F G A B C C# D"},
         {"C D E F G Ab A B C", "C D E F G A Bb B C", "C D Eb F G A Bb B C"}},
        {1,
         {"Db Eb F Gb Ab A Bb C Db", "Ab Bb C Db Eb F Gb G Ab", "Eb F Gb Ab Bb C Db D Eb"},
         {"Db Eb F Gb Ab A Bb C Db", "Db Eb F Gb Ab Bb Cb C Db", "Db Eb Fb Gb Ab Bb Cb C Db"}},
        {2,
         {"D E F# G A Bb B C# D", "A B C# D E F# G G# A", "E F# G A B C# D D# E"},
         {"D E F# G A Bb B C# D", "D E F# G A B C C# D", "D E F G A B C C# D"}},
        {3,
         {"Eb F G Ab Bb Cb C D Eb", "Bb C D Eb F G Ab A Bb", "F G Ab Bb C D Eb E F"},
         {"Eb F G Ab Bb Cb C D Eb", "Eb F G Ab Bb C Db D Eb", "Eb F Gb Ab Bb C Db D Eb"}},
        {4,
         {"E F# G# A B C C# D# E", "B C# D# E F# G# A A# B", "F# G# A B C# D# E E# F#"},
         {"E F# G# A B C C# D# E", "E F# G# A B C# D D# E", "E F# G A B C# D D# E"}},
        {5,
         {"F G A Bb C Db D E F", "C D E F G A Bb B C", "G A Bb C D E F F# G"},
         {"F G A Bb C Db D E F", "F G A Bb C D Eb E F", "F G Ab Bb C D Eb E F"}},
        {6,
         {"Gb Ab Bb Cb Db D Eb F Gb", "Db Eb F Gb Ab Bb Cb C Db", "Ab Bb Cb Db Eb F Gb G Ab"},
         {"Gb Ab Bb Cb Db D Eb F Gb", "Gb Ab Bb Cb Db Eb Fb F Gb", "F# G# A B C# D# E E# F#"}},
        {7,
         {"G A B C D Eb E F# G", "D E F# G A B C C# D", "A B C D E F# G G# A"},
         {"G A B C D Eb E F# G", "G A B C D E F F# G", "G A Bb C D E F F# G"}},
        {8,
         {"Ab Bb C Db Eb Fb F G Ab", "Eb F G Ab Bb C Db D Eb", "Bb C Db Eb F G Ab A Bb"},
         {"Ab Bb C Db Eb Fb F G Ab", "Ab Bb C Db Eb F Gb G Ab", "Ab Bb Cb Db Eb F Gb G Ab"}},
        {9,
         {"A B C# D E F F# G# A", "E F# G# A B C# D D# E", "B C# D E F# G# A A# B"},
         {"A B C# D E F F# G# A", "A B C# D E F# G G# A", "A B C D E F# G G# A"}},
        {10,
         {"Bb C D Eb F Gb G A Bb", "F G A Bb C D Eb E F", "C D Eb F G A Bb B C"},
         {"Bb C D Eb F Gb G A Bb", "Bb C D Eb F G Ab A Bb", "Bb C Db Eb F G Ab A Bb"}},
        {11,
         {"B C# D# E F# G G# A# B", "F# G# A# B C# D# E E# F#", "C# D# E F# G# A# B B# C#"},
         {"B C# D# E F# G G# A# B", "B C# D# E F# G# A A# B", "B C# D E F# G# A A# B"}},
    };
    for (const Case& c : cases) {
        for (int k = 0; k < 3; ++k) {
            const int item = 15 + k;
            SCOPED_TRACE("item " + std::to_string(item) + " on " + std::to_string(c.pitchClass));
            Window asked(Mode::Scales);
            AskOn(asked, c.pitchClass, item);
            const std::vector<TNoteRec> question(asked.model.QuestionNotes.begin(),
                                                 asked.model.QuestionNotes.begin() +
                                                     asked.model.QuestionNoteCount);
            EXPECT_EQ(Names(question), c.questions[k]);
            Window major(Mode::Scales);
            AskOn(major, c.pitchClass, 1);
            EXPECT_EQ(Names(major.model.AnswerItemNotes(item)), c.answers[k]);
        }
    }
}

TEST(AkkordSpelling, SevenLetterScalesKeepTheirLettersOnEveryRootAndInEveryKey)
{
    // Every scale item whose steps lie on the seven letters, asked on every root (the same
    // root each time) and in every key (the same key each time), and answered as any scale
    // item: each note keeps the letter distance from the first note that the item writes. Only
    // the note a bebop scale adds may leave its letter, and only to spare a double accidental.
    const ItemTable& table = BuiltInItemTables().Scales;
    std::map<int, int> addedIndex = {{15, 5}, {16, 7}, {17, 7}};
    std::vector<int> sevenLetter;
    for (int item = 1; item <= static_cast<int>(kItemCount); ++item) {
        const int count = table.NoteCount(item);
        std::set<int> pitchClasses;
        std::set<int> letters;
        for (int k = 0; k < count; ++k) {
            const ItemNote& note =
                table.Items[static_cast<std::size_t>(item - 1)].Notes[static_cast<std::size_t>(k)];
            pitchClasses.insert(note.Note % 12);
            letters.insert(*WrittenLetter(
                TPitch{static_cast<std::int8_t>(note.Note), static_cast<std::int8_t>(note.Shift)}));
        }
        if ((pitchClasses.size() == 7 && letters.size() == 7) || addedIndex.count(item) != 0)
            sevenLetter.push_back(item);
    }
    ASSERT_EQ(sevenLetter.size(), 24u);

    auto expectLetters = [&](const AkkordItem& item, int number,
                             const std::vector<TNoteRec>& written) {
        ASSERT_EQ(written.size(), item.NoteCount);
        const int firstLetter = *WrittenLetter(written[0].Pitch);
        const int itemFirst = *WrittenLetter(TPitch{item.Pitch[0], item.Shift[0]});
        for (std::size_t k = 0; k < written.size(); ++k) {
            const TPitch p = written[k].Pitch;
            ASSERT_TRUE(WrittenLetter(p).has_value()) << Names(written);
            ASSERT_LE(std::abs(p.Shift), 2) << Names(written);
            const int letter = PositiveMod(*WrittenLetter(p) - firstLetter, 7);
            const int itemLetter =
                PositiveMod(*WrittenLetter(TPitch{item.Pitch[k], item.Shift[k]}) - itemFirst, 7);
            const auto added = addedIndex.find(number);
            if (added != addedIndex.end() && static_cast<int>(k) == added->second &&
                letter != itemLetter) {
                EXPECT_LE(std::abs(p.Shift), 1) << Names(written);
                EXPECT_EQ(std::abs(ShiftToLetter(p.Note, firstLetter + itemLetter)), 2)
                    << "the added note left a letter it could take: " << Names(written);
                continue;
            }
            EXPECT_EQ(letter, itemLetter) << "note " << k << " of " << Names(written);
        }
    };

    std::vector<int> rules;
    for (int pitchClass = 0; pitchClass < 12; ++pitchClass)
        rules.push_back(11 + pitchClass);
    for (int keySignature = -6; keySignature <= 5; ++keySignature)
        rules.push_back(31 + keySignature);
    for (int rule : rules) {
        for (int asked : sevenLetter) {
            SCOPED_TRACE("rule " + std::to_string(rule) + " item " + std::to_string(asked));
            ExerciseSetup setup = DefaultExerciseSetup();
            OptionBlock& block = setup.Scales;
            block.ItemFlags.fill(0);
            block.ItemFlags[static_cast<std::size_t>(asked - 1)] = 1;
            block.PlayStyles = {1, 0, 0};
            block.RootMovement = static_cast<std::uint8_t>(rule);
            Window w(Mode::Scales);
            w.model.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
            ASSERT_TRUE(w.model.NewQuestion());
            const std::vector<TNoteRec> question(w.model.QuestionNotes.begin(),
                                                 w.model.QuestionNotes.begin() +
                                                     w.model.QuestionNoteCount);
            expectLetters(w.model.ExerciseItem[static_cast<std::size_t>(asked)], asked, question);
            for (int answer : sevenLetter) {
                SCOPED_TRACE("answer " + std::to_string(answer));
                expectLetters(w.model.ExerciseItem[static_cast<std::size_t>(answer)], answer,
                              w.model.AnswerItemNotes(answer));
            }
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

TEST(AkkordSpelling, BuiltInProgressionsInGFlatMajorAndFSharpMinor)
{
    // Root position; a major progression is asked in G flat major, a minor one in F sharp
    // minor (the key vote reads the last chord).
    const ItemCase cases[] = {
        {1, "Db F Ab | Gb Bb Db"},
        {2, "C# E# G# | F# A C#"},
        {3, "Db F Ab Cb | Gb Bb Db"},
        {4, "C# E# G# B | F# A C#"},
        {5, "F Ab Cb Ebb | Gb Bb Db"},
        {6, "E# G# B D | F# A C#"},
        {7, "C# E G# | F# A C#"},
        {8, "Cb Eb Gb | Db F Ab | Gb Bb Db"},
        {9, "Cb Ebb Gb | Db F Ab | Gb Bb Db"},
        {10, "Ab Cb Eb | Db F Ab | Gb Bb Db"},
        {11, "Ab Cb Eb Gb | Db F Ab Cb | Gb Bb Db F"},
        {12, "G# B D# F# | C# E# G# B | F# A C# E"},
        {13, "Ab Cb Ebb Gb | Db F Ab Cb Ebb | Gb Bb Db F"},
        {14, "G# B D F# | C# E# G# B D | F# A C# E"},
        // The tritone substitute lies on A double flat, which its flattened fifth cannot
        // stack on: it is written on G.
        {15, "Ab Cb Ebb Gb | G B Db F | Gb Bb Db F"},
        {16, "G# B D F# | G B Db F | F# A C# E"},
        {17, "Cb Eb Gb | Gb Bb Db"},
        {18, "Cb Ebb Gb | Gb Bb Db"},
        {19, "B D# F# | F# A C#"},
        {20, "B D F# | F# A C#"},
        {21, "Gb Bb Db | Cb Eb Gb | Gb Bb Db"},
        {22, "Db F Ab | Cb Eb Gb | Gb Bb Db"},
        {23, "Bb Db F | Cb Eb Gb | Gb Bb Db"},
        {24, "Ab Cb Eb | Gb Bb Db"},
        {25, "Bb Db F | Gb Bb Db"},
        {26, "Eb Gb Bb | Gb Bb Db"},
        {27, "G B Db F | Gb Bb Db F"},
        {28, "G B Db F | F# A C#"},
        {29, "Bbb Db Fb | Gb Bb Db"},
        {30, "A C# E | F# A C#"},
        {31, "Ebb Gb Bbb | Gb Bb Db"},
        {32, "D F# A | F# A C#"},
        {33, "Gb Bb Db | Eb Gb Bb | Cb Eb Gb | Db F Ab | Gb Bb Db"},
        {34, "F# A C# | D F# A | E G# B | F# A C#"},
        {35, "F# A C# | D F# A | B D F# | C# E# G# | F# A C#"},
    };
    for (const ItemCase& c : cases) {
        SCOPED_TRACE("progression " + std::to_string(c.item));
        Window w(Mode::ChordProgressions);
        AskOn(w, 6, c.item);
        QStringList names;
        for (const TNoteRec& n : w.model.ProgressionNotes.Notes) {
            names << NoteName(n.Pitch);
            if (n.BarLine == 1)
                names << QStringLiteral("|");
        }
        EXPECT_EQ(names.join(QLatin1Char(' ')).toStdString(), c.notes);
        // The roots the answer is scored by are the roots of that spelling.
        const std::vector<TNoteRec> roots = w.model.AnswerItemNotes(c.item);
        for (std::size_t k = 0; k < roots.size(); ++k) {
            const int start = w.model.ProgressionNotes.Counts[k];
            EXPECT_EQ(roots[k].Pitch.Note % 12,
                      w.model.ProgressionNotes.Notes[static_cast<std::size_t>(start)].Pitch.Note %
                          12);
        }
    }
}

} // namespace
} // namespace pv
