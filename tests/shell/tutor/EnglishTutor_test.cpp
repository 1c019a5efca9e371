// The English tutor shipped with the program: a ladder for every kind that only asks items the
// program has.
#include "TutorFixtures.h"
#include "exercises/items/ItemTables.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(EnglishTutor, EveryKindClimbsThroughStepsOfTheProgramsOwnItems)
{
    QFile file(QStringLiteral(PV_ENGLISH_TUTOR));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto parsed =
        ParseTutorDescription(QString::fromUtf8(file.readAll()), QFileInfo(file).absolutePath());
    ASSERT_TRUE(parsed.Ok()) << parsed.Detail().toStdString();
    const auto bytes = test::Encoded(parsed.Value());
    auto read = ParseTutorFile(bytes);
    ASSERT_TRUE(read.Ok());
    const TutorFileData& tutor = read.Value();
    EXPECT_FALSE(tutor.CustomItems);
    EXPECT_FALSE(tutor.Header.Title.isEmpty());
    EXPECT_FALSE(tutor.Header.Description.isEmpty());

    const ItemTables& items = BuiltInItemTables();
    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        const auto& steps = tutor.StepsOf(kind);
        EXPECT_GE(steps.size(), 4u);
        for (const TutorStep& step : steps) {
            SCOPED_TRACE(step.Record.Title.toStdString());
            EXPECT_FALSE(step.Record.Title.isEmpty());
            EXPECT_FALSE(step.Record.Description.isEmpty());
            EXPECT_GT(step.Record.QuestionCount, 0);
            EXPECT_LE(step.Record.PassMark, 100);
            EXPECT_LT(step.Record.FallBackMark, step.Record.PassMark);
            ExerciseSetup setup = DefaultExerciseSetup();
            ApplyStepSetup(step.Record, kind, setup);
            // Every item a step asks exists, and a step asks at least two to choose from.
            if (const OptionBlock* block = OptionBlockOfKind(setup, kind)) {
                int asked = 0;
                for (int item = 1; item <= 60; ++item) {
                    if (block->ItemFlags[static_cast<std::size_t>(item - 1)] == 0)
                        continue;
                    ++asked;
                    const ItemTable* table = TableOfKind(items, kind);
                    if (kind == ExerciseKind::IntervalComparison)
                        table = &items.IntervalIdentification;
                    const int count =
                        table != nullptr ? table->NoteCount(item) : items.ProgressionCount(item);
                    EXPECT_GT(count, 0) << "item " << item;
                }
                EXPECT_GE(asked, 2);
            }
            if (const RhythmSetup* rhythm = RhythmSetupOfKind(setup, kind)) {
                EXPECT_NE(
                    std::count(rhythm->TimeSignatures.begin(), rhythm->TimeSignatures.end(), 1), 0);
                EXPECT_NE(std::count(rhythm->NoteValues.begin(), rhythm->NoteValues.end(), 1), 0);
                EXPECT_GE(rhythm->Bars, 1);
                EXPECT_LE(rhythm->Bars, KindFacts(kind).MaxRhythmBars);
            }
            if (kind == ExerciseKind::MelodyDictation) {
                EXPECT_NE(std::count(setup.Melody.Keys.begin(), setup.Melody.Keys.end(), 1), 0);
                EXPECT_LT(setup.Melody.LowestNote, setup.Melody.HighestNote);
            }
        }
    }
}

TEST(EnglishTutor, ItsTextsReadAsSentences)
{
    QFile file(QStringLiteral(PV_ENGLISH_TUTOR));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto parsed =
        ParseTutorDescription(QString::fromUtf8(file.readAll()), QFileInfo(file).absolutePath());
    ASSERT_TRUE(parsed.Ok()) << parsed.Detail().toStdString();
    const TutorFileData& tutor = parsed.Value();
    // A sentence mark is followed by a blank or the end; quotes are straight and paired.
    const QRegularExpression runOn(QStringLiteral("[.!?;:,][A-Za-z]"));
    const auto check = [&](const QString& text) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(runOn.match(text).hasMatch());
        EXPECT_EQ(text.count(QLatin1Char('"')) % 2, 0);
        for (const QChar curly : {QChar(0x201C), QChar(0x201D), QChar(0x2018), QChar(0x2019)})
            EXPECT_FALSE(text.contains(curly));
        EXPECT_FALSE(text.contains(QStringLiteral("  ")));
        EXPECT_EQ(text, text.trimmed());
    };
    check(tutor.Header.Title);
    check(tutor.Header.Description);
    for (ExerciseKind kind : kExerciseKinds) {
        for (const TutorStep& step : tutor.StepsOf(kind)) {
            check(step.Record.Title);
            check(step.Record.Description);
            for (const QString& line : step.ExtraText.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                check(line);
        }
    }
}

} // namespace
} // namespace pv
