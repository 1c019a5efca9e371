// The tutor description: named fields, setups from setup files, refusals and printing back.
#include "TutorFixtures.h"
#include "exercises/setup/SetupFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(TutorDescription, PrintedTutorWritesTheSameFile)
{
    const auto bytes = test::Encoded(test::LadderTutor());
    auto read = ParseTutorFile(bytes);
    ASSERT_TRUE(read.Ok());
    const QString printed = PrintTutorDescription(read.Value());
    auto again = ParseTutorDescription(printed, QString());
    ASSERT_TRUE(again.Ok()) << again.Detail().toStdString();
    EXPECT_EQ(test::Encoded(again.Value()), bytes);
}

TEST(TutorDescription, StepSetupComesFromASetupFileWithFieldsOnTop)
{
    test::TempDir dir;
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.Scales.ItemFlags.fill(0);
    setup.Scales.ItemFlags[9] = 1;
    setup.Scales.LowestNote = 48;
    setup.RhythmReading.Tempo = 123;
    ASSERT_TRUE(WriteSetupFile(dir.File(QStringLiteral("mine.qib")), setup).Ok());
    const QString text = QStringLiteral("title = T\n"
                                        "[step scales]\n"
                                        "setup = mine.qib\n"
                                        "highest-note = 84\n"
                                        "[step rhythm-reading]\n"
                                        "setup = mine.qib\n");
    auto parsed = ParseTutorDescription(text, dir.Path());
    ASSERT_TRUE(parsed.Ok()) << parsed.Detail().toStdString();
    ExerciseSetup applied = DefaultExerciseSetup();
    ApplyStepSetup(parsed.Value().StepsOf(ExerciseKind::Scales).at(0).Record, ExerciseKind::Scales,
                   applied);
    ApplyStepSetup(parsed.Value().StepsOf(ExerciseKind::RhythmReading).at(0).Record,
                   ExerciseKind::RhythmReading, applied);
    ExerciseSetup expected = setup;
    expected.Scales.HighestNote = 84;
    EXPECT_EQ(applied.Scales, expected.Scales);
    EXPECT_EQ(applied.RhythmReading, expected.RhythmReading);
    // The other kinds' blocks of the setup file are not the steps' business.
    EXPECT_EQ(applied.ChordIdentification, DefaultExerciseSetup().ChordIdentification);
}

TEST(TutorDescription, MistakesAreRefusedWithTheirLine)
{
    struct Case
    {
        const char* name;
        const char* text;
        TutorDescriptionError error;
        const char* where;
    };
    const Case cases[] = {
        {"no equals sign", "title = T\nauthor\n", TutorDescriptionError::Syntax, "line 2"},
        {"unknown kind", "[step dances]\n", TutorDescriptionError::Syntax, "line 1"},
        {"unclosed section", "[step chords\n", TutorDescriptionError::Syntax, "line 1"},
        {"tutor field unknown", "level = 3\n", TutorDescriptionError::UnknownField, "line 1"},
        {"field of another kind", "[step chords]\ntempo = 90\n",
         TutorDescriptionError::UnknownField, "line 2"},
        {"mark above 100", "[step scales]\npass = 101\n", TutorDescriptionError::BadValue,
         "line 2"},
        {"item beyond 60", "[step chords]\nitems = 1, 61\n", TutorDescriptionError::BadValue,
         "line 2"},
        {"key beyond +5", "[step melody]\nkeys = 6\n", TutorDescriptionError::BadValue, "line 2"},
        {"unknown play style", "[step chords]\nplay = sideways\n", TutorDescriptionError::BadValue,
         "line 2"},
        {"root movement off its list", "[step progressions]\nroot-movement = 1\n",
         TutorDescriptionError::BadValue, "line 3"},
        {"missing setup file", "[step chords]\nsetup = none.qib\n",
         TutorDescriptionError::SetupFile, "line 2"},
        {"title of 51 characters",
         "[step chords]\ntitle = 123456789012345678901234567890123456789012345678901\n",
         TutorDescriptionError::TextTooLong, "kind 1 step 1"},
        {"author of 40 characters", "author = 1234567890123456789012345678901234567890\n",
         TutorDescriptionError::TextTooLong, "author"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto parsed = ParseTutorDescription(QString::fromUtf8(c.text), QString());
        ASSERT_FALSE(parsed.Ok());
        EXPECT_EQ(parsed.Code(), c.error);
        EXPECT_TRUE(parsed.Detail().contains(QString::fromUtf8(c.where)))
            << parsed.Detail().toStdString();
    }
    // Texts that just fit are taken, with their escapes.
    auto fits = ParseTutorDescription(
        QStringLiteral("title = 12345678901234567890123456789012345678901234567890\n"
                       "[step chords]\ntext = a\\nb \\\\ c\n"),
        QString());
    ASSERT_TRUE(fits.Ok());
    EXPECT_EQ(fits.Value().StepsOf(ExerciseKind::ChordIdentification)[0].ExtraText,
              QStringLiteral("a\nb \\ c"));
}

} // namespace
} // namespace pv
