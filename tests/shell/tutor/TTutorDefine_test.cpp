// The loaded tutor over real files: steps, failures that keep the previous tutor, and the
// item tables a tutor installs and gives back.
#include "TutorFixtures.h"
#include "exercises/items/OldItemConverter.h"
#include "exercises/setup/OldSetupConverter.h"
#include "shell/tutor/TTutorDefine.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace pv {
namespace {

std::vector<std::uint8_t> BodyOf(const ItemTables& tables)
{
    const auto all = EncodeItemTables(tables);
    return {all.begin() + static_cast<std::ptrdiff_t>(kItemTablesSize - kTutorItemBodySize),
            all.end()};
}

class TutorDefineTest : public testing::Test
{
protected:
    TutorDefineTest()
    {
        m_folders.ProgramFolder = m_dir.Path();
        m_folders.DataFolder = m_dir.Path() + QStringLiteral("Data/");
        // The program's tables: the built-in items named in the program's language, and one
        // item of the user's own.
        m_items = BuiltInItemTables();
        m_items.Unused[3] = 0x5A;
        m_items.ChordIdentification.Names[0] = QStringLiteral("Dur");
        m_items.ChordIdentification.Counts[27] = 2;
        m_items.ChordIdentification.Names[27] = QStringLiteral("User chord");
        m_items.ChordInversions.Names[25] = QStringLiteral("Program inversion 26");
        m_items.IntervalIdentification.Names[24] = QStringLiteral("Program interval 25");
        m_items.IntervalIdentification.Names[25] = QStringLiteral("User interval 26");
    }

    /// A tutor whose chord step asks item 28, an item of the tutor's own, and whose tables name
    /// every item in the tutor author's words.
    TutorFileData CustomTutor(const QString& title, const QString& ownChord) const
    {
        ItemTables tables = BuiltInItemTables();
        for (ItemTable* table : {&tables.ChordIdentification, &tables.ChordInversions,
                                 &tables.IntervalIdentification, &tables.Scales})
            for (QString& name : table->Names)
                name = QStringLiteral("Tutor words");
        tables.ChordIdentification.Counts[27] = 3;
        tables.ChordIdentification.Items[27].Notes[0].Note = 60;
        tables.ChordIdentification.Names[27] = ownChord;
        tables.IntervalIdentification.Names[25] = QStringLiteral("Tutor interval 26");
        TutorFileData data = test::LadderTutor();
        data.Header.Title = title;
        data.ItemBody = BodyOf(tables);
        data.StepsOf(ExerciseKind::ChordIdentification)[0].Record.SetupBytes[27] = 1;
        return data;
    }

    QString Write(const QString& name, const TutorFileData& data) const
    {
        EXPECT_TRUE(m_dir.Write(name, test::Encoded(data)));
        return m_dir.File(name);
    }

    test::TempDir m_dir;
    Folders m_folders;
    ItemTables m_items;
    TTutorDefine m_tutor{m_items, m_folders};
};

TEST_F(TutorDefineTest, LoadedTutorHoldsItsStepsAndAnswersNothingOutsideThem)
{
    Write(QStringLiteral("Ladder.tut"), test::LadderTutor());
    // A bare name lies in the program folder.
    ASSERT_TRUE(m_tutor.LoadFromFile(QStringLiteral("Ladder.tut")).Ok());
    EXPECT_TRUE(m_tutor.Loaded());
    EXPECT_EQ(m_tutor.FileName(), m_dir.File(QStringLiteral("Ladder.tut")));
    EXPECT_EQ(m_tutor.Header().Title, QStringLiteral("Ladder"));
    EXPECT_EQ(m_tutor.Caption(), QStringLiteral("Ladder - Teacher"));
    EXPECT_EQ(m_tutor.StepCount(ExerciseKind::ChordIdentification), 2);
    EXPECT_EQ(m_tutor.StepCount(ExerciseKind::RhythmReading), 0);

    const TTutorObject* second = m_tutor.Step(ExerciseKind::ChordIdentification, 2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Record.Title, QStringLiteral("Diminished and augmented"));
    const TTutorObject* first = m_tutor.Step(ExerciseKind::ChordIdentification, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->ExtraText, QStringLiteral("Listen to the third.\nThen sing it."));
    // A step stored for a longer tutor, none, and a kind without steps.
    EXPECT_EQ(m_tutor.Step(ExerciseKind::ChordIdentification, 3), nullptr);
    EXPECT_EQ(m_tutor.Step(ExerciseKind::ChordIdentification, 0), nullptr);
    EXPECT_EQ(m_tutor.Step(ExerciseKind::ChordIdentification, -1), nullptr);
    EXPECT_EQ(m_tutor.Step(ExerciseKind::RhythmReading, 1), nullptr);
    EXPECT_EQ(m_tutor.Step(static_cast<ExerciseKind>(11), 1), nullptr);

    m_tutor.SetSelectedStep(ExerciseKind::ChordIdentification, 1);
    EXPECT_EQ(m_tutor.SelectedStep(ExerciseKind::ChordIdentification), 1);
    m_tutor.SetSelectedStep(ExerciseKind::ChordIdentification, 2);
    EXPECT_EQ(m_tutor.SelectedStep(ExerciseKind::ChordIdentification), -1);

    EXPECT_TRUE(m_tutor.Clear());
    EXPECT_FALSE(m_tutor.Loaded());
    EXPECT_EQ(m_tutor.Caption(), QString());
    EXPECT_EQ(m_tutor.Header().StepIndex, (std::array<std::int16_t, 11>{}));
    for (ExerciseKind kind : kExerciseKinds) {
        EXPECT_EQ(m_tutor.StepCount(kind), 0);
        EXPECT_EQ(m_tutor.SelectedStep(kind), -1);
    }
}

TEST_F(TutorDefineTest, TutorWithoutItsOwnItemsLeavesTheProgramsTablesInForce)
{
    const auto before = EncodeItemTables(m_items);
    TutorFileData data = test::LadderTutor();
    data.ItemBody = std::vector<std::uint8_t>(kTutorItemBodySize, 0xEE);
    ASSERT_TRUE(m_tutor.LoadFromFile(Write(QStringLiteral("Plain.tut"), data)).Ok());
    EXPECT_FALSE(m_tutor.CustomItemsInstalled());
    EXPECT_FALSE(m_tutor.ItemTablesBackedUp());
    EXPECT_EQ(EncodeItemTables(m_items), before);
    m_tutor.Clear();
    EXPECT_EQ(EncodeItemTables(m_items), before);
}

TEST_F(TutorDefineTest, OwnItemsAreInstalledWithProgramNamesAndGivenBackByteForByte)
{
    const auto before = EncodeItemTables(m_items);
    const QString first = Write(QStringLiteral("A.tut"), CustomTutor("A", "Chord of A"));
    const QString second = Write(QStringLiteral("B.tut"), CustomTutor("B", "Chord of B"));

    ASSERT_TRUE(m_tutor.LoadFromFile(first).Ok());
    EXPECT_TRUE(m_tutor.CustomItemsInstalled());
    EXPECT_TRUE(m_tutor.ItemTablesBackedUp());
    EXPECT_EQ(m_items.ChordIdentification.Counts[27], 3);
    EXPECT_EQ(m_items.ChordIdentification.Names[27], QStringLiteral("Chord of A"));
    // The built-in ranges carry the program's names, and only they: the tutor's first own
    // item keeps its name (interval 26, inversion 27).
    EXPECT_EQ(m_items.ChordIdentification.Names[0], QStringLiteral("Dur"));
    EXPECT_EQ(m_items.ChordIdentification.Names[26],
              BuiltInItemTables().ChordIdentification.Names[26]);
    EXPECT_EQ(m_items.ChordInversions.Names[25], QStringLiteral("Program inversion 26"));
    EXPECT_EQ(m_items.ChordInversions.Names[26], QStringLiteral("Tutor words"));
    EXPECT_EQ(m_items.IntervalIdentification.Names[24], QStringLiteral("Program interval 25"));
    EXPECT_EQ(m_items.IntervalIdentification.Names[25], QStringLiteral("Tutor interval 26"));
    EXPECT_EQ(m_items.Scales.Names[30], BuiltInItemTables().Scales.Names[30]);
    EXPECT_EQ(m_items.Scales.Names[31], QStringLiteral("Tutor words"));
    EXPECT_EQ(m_items.Unused[3], 0x5A); // the spare bytes stay the program's

    // A second tutor replaces the first; the backup is still the program's tables.
    ASSERT_TRUE(m_tutor.LoadFromFile(second).Ok());
    EXPECT_EQ(m_items.ChordIdentification.Names[27], QStringLiteral("Chord of B"));
    m_tutor.Clear();
    EXPECT_EQ(EncodeItemTables(m_items), before);
    EXPECT_FALSE(m_tutor.CustomItemsInstalled());

    // Items the user edits after the tutor are not undone by the kept backup.
    m_items.ChordIdentification.Names[28] = QStringLiteral("Edited later");
    const auto edited = EncodeItemTables(m_items);
    m_tutor.RestoreItemTables();
    EXPECT_EQ(EncodeItemTables(m_items), edited);
    ASSERT_TRUE(m_tutor.LoadFromFile(first).Ok());
    EXPECT_EQ(m_items.ChordIdentification.Names[28], QStringLiteral("Tutor words"));
    m_tutor.Clear();
    EXPECT_EQ(EncodeItemTables(m_items), edited);
    m_tutor.DropItemTablesBackup();
    EXPECT_FALSE(m_tutor.ItemTablesBackedUp());
}

TEST_F(TutorDefineTest, OldFormatTutorConvertsItsItemsOntoTheProgramsTables)
{
    const auto before = EncodeItemTables(m_items);
    // An old block whose first old user chord (old item 15) has two notes; its step asks it.
    test::ByteBuilder oldItems(kOldItemBlockSize);
    oldItems.U8(14 * 24, 60).U8(14 * 24 + 2, 64).U8(672 + 14, 2).Str(700 + 14 * 25, "Old chord");
    std::vector<std::uint8_t> oldChordOptions(kOldOptionBlockSize, 0);
    oldChordOptions[14] = 1;
    auto bytes = test::HeaderBytes("Old", {1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 5}, 0).Bytes();
    test::Append(bytes, oldItems.Bytes());
    test::Append(bytes, test::StepBytes("Old step", 50, 0, oldChordOptions));
    ASSERT_TRUE(m_dir.Write(QStringLiteral("Old.tut"), bytes));

    ASSERT_TRUE(m_tutor.LoadFromFile(m_dir.File(QStringLiteral("Old.tut"))).Ok());
    EXPECT_EQ(m_tutor.StepCount(ExerciseKind::ChordIdentification), 1);
    EXPECT_EQ(m_tutor.StepCount(ExerciseKind::ChordProgressions), 0);
    EXPECT_TRUE(m_tutor.CustomItemsInstalled());
    // The converted item lands in the program's first user slot, the rest stays the program's.
    EXPECT_EQ(m_items.ChordIdentification.Names[27], QStringLiteral("Old chord"));
    EXPECT_EQ(m_items.ChordIdentification.Counts[27], 2);
    EXPECT_EQ(m_items.ChordIdentification.Items[27].Notes[1].Note, 64);
    EXPECT_EQ(m_items.ChordIdentification.Names[0], QStringLiteral("Dur"));
    m_tutor.Clear();
    EXPECT_EQ(EncodeItemTables(m_items), before);
}

TEST_F(TutorDefineTest, FailedLoadKeepsThePreviousTutorAndSaysWhy)
{
    const auto before = EncodeItemTables(m_items);
    ASSERT_TRUE(m_tutor.LoadFromFile(Write(QStringLiteral("A.tut"), CustomTutor("A", "Own"))).Ok());
    const auto installed = EncodeItemTables(m_items);
    ASSERT_TRUE(QDir().mkpath(m_dir.File(QStringLiteral("Folder.tut"))));
    auto damaged = test::Encoded(test::LadderTutor());
    damaged.resize(kTutorHeaderSize + kTutorItemBodySize + 10);
    ASSERT_TRUE(m_dir.Write(QStringLiteral("Damaged.tut"), damaged));
    ASSERT_TRUE(m_dir.Write(QStringLiteral("Short.tut"), {1, 2, 3}));

    struct Case
    {
        QString path;
        TutorError error;
    };
    const Case cases[] = {
        {QString(), TutorError::NoFile},
        {QStringLiteral("\\"), TutorError::NoFile},
        {QStringLiteral("Missing.tut"), TutorError::CannotOpen},
        {QStringLiteral("Folder.tut"), TutorError::CannotOpen},
        {QStringLiteral("Damaged.tut"), TutorError::Damaged},
        {QStringLiteral("Short.tut"), TutorError::NotATutor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const auto loaded = m_tutor.LoadFromFile(c.path);
        ASSERT_FALSE(loaded.Ok());
        EXPECT_EQ(loaded.Code(), c.error);
        EXPECT_EQ(m_tutor.Header().Title, QStringLiteral("A"));
        EXPECT_EQ(m_tutor.FileName(), m_dir.File(QStringLiteral("A.tut")));
        EXPECT_EQ(m_tutor.StepCount(ExerciseKind::ChordIdentification), 2);
        EXPECT_EQ(EncodeItemTables(m_items), installed);
    }
    EXPECT_FALSE(m_tutor.LoadFromFile(QStringLiteral("Missing.tut")).Detail().isEmpty());
    m_tutor.Clear();
    EXPECT_EQ(EncodeItemTables(m_items), before);
}

TEST_F(TutorDefineTest, ATutorWithoutStepsIsReadButRefusedWhereStepsAreRequired)
{
    const QString blank = Write(QStringLiteral("Blank.tut"), test::TutorWithoutSteps("Blank"));
    ASSERT_TRUE(m_tutor.LoadFromFile(blank).Ok());
    EXPECT_EQ(m_tutor.Header().Title, QStringLiteral("Blank"));
    EXPECT_FALSE(m_tutor.HasSteps());

    ASSERT_TRUE(m_tutor.LoadFromFile(Write(QStringLiteral("A.tut"), CustomTutor("A", "Own"))).Ok());
    EXPECT_TRUE(m_tutor.HasSteps());
    const auto installed = EncodeItemTables(m_items);
    const auto refused = m_tutor.LoadFromFile(blank, true);
    ASSERT_FALSE(refused.Ok());
    EXPECT_EQ(refused.Code(), TutorError::NoSteps);
    EXPECT_EQ(refused.Detail(), QStringLiteral("Blank")) << "the title, for the message";
    // The tutor in force stays, with its items.
    EXPECT_EQ(m_tutor.Header().Title, QStringLiteral("A"));
    EXPECT_EQ(m_tutor.StepCount(ExerciseKind::ChordIdentification), 2);
    EXPECT_EQ(EncodeItemTables(m_items), installed);
}

TEST_F(TutorDefineTest, HostileItemBodyInstallsOnlyWellFormedTables)
{
    TutorFileData data = CustomTutor("Hostile", "Own");
    // Note counts and name lengths of 255 everywhere in the body.
    std::fill(data.ItemBody.begin(), data.ItemBody.end(), 0xFF);
    ASSERT_TRUE(m_tutor.LoadFromFile(Write(QStringLiteral("H.tut"), data)).Ok());
    for (const ItemTable* table : {&m_items.ChordIdentification, &m_items.ChordInversions,
                                   &m_items.IntervalIdentification, &m_items.Scales}) {
        for (std::size_t i = 0; i < kItemCount; ++i) {
            EXPECT_LE(table->Counts[i], kItemNoteCount);
            EXPECT_LE(table->Names[i].size(), static_cast<qsizetype>(kItemNameCapacity));
        }
    }
    for (std::uint8_t count : m_items.ProgressionCounts)
        EXPECT_LE(count, kItemNoteCount);
}

TEST_F(TutorDefineTest, CaptionShowsTitleAndAuthorWhenThereAreThey)
{
    struct Case
    {
        const char* title;
        const char* author;
        const char* caption;
    };
    const Case cases[] = {
        {"", "Someone", ""},
        {"Course", "", "Course"},
        {"Course", "Someone", "Course - Someone"},
    };
    for (const Case& c : cases) {
        TutorFileData data = test::LadderTutor();
        data.Header.Title = QString::fromUtf8(c.title);
        data.Header.Author = QString::fromUtf8(c.author);
        ASSERT_TRUE(m_tutor.LoadFromFile(Write(QStringLiteral("C.tut"), data)).Ok());
        EXPECT_EQ(m_tutor.Caption(), QString::fromUtf8(c.caption)) << c.title << "/" << c.author;
    }
}

} // namespace
} // namespace pv
