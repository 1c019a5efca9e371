// The tutor chooser over a real program folder and user file: the default tutor, the rows of
// the kinds a tutor teaches, and the choice stored in the user's record.
#include "TutorFixtures.h"
#include "music/data/UserFile.h"
#include "music/files/DataFixture.h"
#include "shell/tutor/ChooseTutorModel.h"

#include <QDir>

#include <gtest/gtest.h>

namespace pv {
namespace {

ExerciseKind Kind(int number)
{
    return *KindFromNumber(number);
}

TEST(DefaultTutor, FollowsTheLanguageThenItsNeighbourThenTheFirstTutor)
{
    struct Case
    {
        const char* name;
        std::vector<QString> files;
        QString language;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"own language", {"Dansk.tut", "English.tut"}, "English", QStringLiteral("English.tut")},
        {"own language in another case", {"A.tut", "english.TUT"}, "English", "english.TUT"},
        {"Norwegian has its own", {"Dansk.tut", "Norsk.tut"}, "Norsk", "Norsk.tut"},
        {"Norwegian reads Danish", {"Aaa.tut", "Dansk.tut", "Svenska.tut"}, "Norsk", "Dansk.tut"},
        {"Finnish reads Swedish", {"Aaa.tut", "Dansk.tut", "Svenska.tut"}, "SUOMI", "Svenska.tut"},
        {"Norwegian without Danish", {"Bbb.tut", "Svenska.tut"}, "Norsk", "Bbb.tut"},
        {"another language", {"Zulu.tut", "Beta.tut"}, "Deutsch", "Beta.tut"},
        {"no language set", {"Zulu.tut", "Beta.tut"}, "", "Beta.tut"},
        {"no tutor at all", {"Notes.txt", "English.lan"}, "English", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        for (const QString& file : c.files)
            ASSERT_TRUE(dir.Write(file, {1, 2, 3}));
        EXPECT_EQ(DefaultTutorName(dir.Path(), c.language), c.expected);
    }

    // A folder is no tutor, whatever its name.
    test::TempDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.File(QStringLiteral("English.tut"))));
    EXPECT_EQ(DefaultTutorName(dir.Path(), QStringLiteral("English")), std::nullopt);
    ASSERT_TRUE(dir.Write(QStringLiteral("Other.tut"), {1}));
    EXPECT_EQ(DefaultTutorName(dir.Path(), QStringLiteral("English")), QStringLiteral("Other.tut"));
}

TEST(ChooseTutorLayout, RowsScrollOnlyWhenTheDialogIsNotShorterThanTheScreen)
{
    struct Case
    {
        const char* name;
        int rows;
        int screen;
        ChooseTutorGeometry expected;
    };
    // Panels of 50 and 40: a dialog of 100 plus its rows.
    const Case cases[] = {
        {"fits", 68, 800, {168, false, 0, 0, 19, 316}},
        {"fits with one pixel to spare", 68, 169, {168, false, 0, 0, 19, 0}},
        {"as tall as the screen", 68, 168, {166, true, 2, 55, 9, 1}},
        {"ten rows on a small screen", 340, 300, {298, true, 142, 187, 9, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChooseTutorGeometry g = ChooseTutorLayout(50, c.rows, 40, c.screen);
        EXPECT_EQ(g.ClientHeight, c.expected.ClientHeight);
        EXPECT_EQ(g.ScrollBarVisible, c.expected.ScrollBarVisible);
        EXPECT_EQ(g.ScrollMaximum, c.expected.ScrollMaximum);
        EXPECT_EQ(g.ScrollBarHeight, c.expected.ScrollBarHeight);
        EXPECT_EQ(g.RowsLeft, c.expected.RowsLeft);
        EXPECT_EQ(g.Top, c.expected.Top);
        // A scrolled dialog shows its rows' last pixel at the end of the scroll.
        if (g.ScrollBarVisible) {
            EXPECT_EQ(g.ClientHeight + g.ScrollMaximum, 50 + c.rows + 40 + 10);
        }
    }
}

/// A tutor with three chord steps and two steps of the fourth kind.
TutorFileData TwoKindTutor()
{
    TutorFileData data = test::LadderTutor();
    for (auto& steps : data.Steps)
        steps.clear();
    TutorStep step;
    step.Record.Title = QStringLiteral("Chords");
    step.Record.PassMark = 80;
    data.Steps[0] = {step, step, step};
    step.Record.Title = QStringLiteral("Rhythm");
    data.Steps[3] = {step, step};
    data.Header.Title = QStringLiteral("Two kinds");
    data.Header.Author = QStringLiteral("A. Teacher");
    return data;
}

class ChooseTutorTest : public test::DataFixture
{
protected:
    ChooseTutorTest() : items(BuiltInItemTables()), tutor(items, data.folders)
    {
        texts.StrTutorChooserFormat = QStringLiteral("Tutor of %s");
        EXPECT_TRUE(dir.Write(QStringLiteral("Ladder.tut"), test::Encoded(test::LadderTutor())));
        EXPECT_TRUE(dir.Write(QStringLiteral("Two.tut"), test::Encoded(TwoKindTutor())));
        TUserRec other = DefaultUser();
        other.UserId = 3;
        other.TutorFileName = QStringLiteral("Other.tut");
        EXPECT_TRUE(WriteUser(data, other));
        app.Users.CurrentUser = std::make_shared<TUserInfo>();
        app.Users.CurrentUser->Record = DefaultUser();
        app.Users.CurrentUser->Record.UserId = 7;
        app.Users.CurrentUser->Record.FullName =
            QStringLiteral("Ada") + kFullNameSeparator + QStringLiteral("Lovelace");
        app.ProgramSettings.Language = QStringLiteral("English");
    }

    /// A tutor without steps in the program folder (not there from the start: it would be the
    /// first tutor the folder lists).
    void WriteBlankTutor()
    {
        ASSERT_TRUE(dir.Write(QStringLiteral("Blank.tut"),
                              test::Encoded(test::TutorWithoutSteps(QStringLiteral("Blank")))));
    }

    /// The current user, with this tutor and these steps, stored and made the result user.
    void UserWith(const QString& tutorName, std::array<std::int32_t, 10> steps = {})
    {
        app.Users.CurrentUser->Record.TutorFileName = tutorName;
        app.Users.CurrentUser->Record.TutorSteps = steps;
        app.Users.CurrentUser->Record.TutorValues.fill(99);
        ASSERT_TRUE(WriteUser(data, app.Users.CurrentUser->Record));
        app.SetResultUserToCurrent();
    }

    TUserRec Stored(std::uint16_t id)
    {
        TUserRec rec;
        rec.UserId = id;
        EXPECT_TRUE(ReadUserById(data, rec));
        return rec;
    }

    std::vector<int> VisibleRows(const ChooseTutorModel& model) const
    {
        std::vector<int> kinds;
        for (ExerciseKind kind : kExerciseKinds) {
            if (model.Row(kind).Visible)
                kinds.push_back(KindNumber(kind));
        }
        return kinds;
    }

    UIStringTable texts = strings;
    AppState app;
    ItemTables items;
    TTutorDefine tutor;
};

TEST_F(ChooseTutorTest, AUserWithoutATutorGetsTheDefaultWithEveryStepAtOne)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("English.tut"), test::Encoded(TwoKindTutor())));
    UserWith(QString(), {4, 4, 4, 4, 4, 4, 4, 4, 4, 4});
    ChooseTutorModel model(app, data, tutor, texts);
    model.Show();

    EXPECT_EQ(model.Caption(), QStringLiteral("Tutor of Ada Lovelace"));
    EXPECT_EQ(model.ChosenPath(), QStringLiteral("English.tut"));
    EXPECT_TRUE(model.TutorChanged());
    EXPECT_EQ(tutor.Header().Title, QStringLiteral("Two kinds"));
    EXPECT_EQ(model.TitleText(), QStringLiteral("\"Two kinds\""));
    EXPECT_EQ(model.AuthorText(), QStringLiteral("\"A. Teacher\""));
    EXPECT_EQ(model.Row(Kind(1)).Position, 1);
    EXPECT_EQ(model.Row(Kind(4)).Position, 1);

    // OK names the default tutor in the record: it is chosen.
    const auto result = model.Ok();
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.Value(), kTutorChosen);
    EXPECT_EQ(Stored(7).TutorFileName, QStringLiteral("English.tut"));
}

TEST_F(ChooseTutorTest, ATutorOfTwoKindsShowsTwoRowsWithTheUsersStepsInRange)
{
    UserWith(QStringLiteral("Two.tut"), {2, 5, 5, 9, 5, 5, 5, 5, 5, 5});
    ChooseTutorModel model(app, data, tutor, texts);
    model.Show();

    EXPECT_FALSE(model.TutorChanged());
    EXPECT_EQ(model.ChosenPath(), QStringLiteral("Two.tut"));
    EXPECT_EQ(VisibleRows(model), (std::vector<int>{1, 4}));
    EXPECT_EQ(model.RowsHeight(), 68);
    EXPECT_EQ(model.Row(Kind(1)).Top, 0);
    EXPECT_EQ(model.Row(Kind(4)).Top, 34);
    EXPECT_EQ(model.Row(Kind(1)).Maximum, 3);
    EXPECT_EQ(model.Row(Kind(4)).Maximum, 2);
    EXPECT_EQ(model.Row(Kind(1)).Position, 2);
    // A step stored for a longer tutor is brought within this one's.
    EXPECT_EQ(model.Row(Kind(4)).Position, 2);

    // The rows follow the tutor in force: the ladder teaches nine kinds.
    ASSERT_TRUE(model.ChooseFile(QStringLiteral("Ladder.tut")));
    EXPECT_EQ(VisibleRows(model), (std::vector<int>{1, 2, 3, 4, 6, 7, 8, 9, 10}));
    EXPECT_EQ(model.RowsHeight(), 9 * 34);
    EXPECT_EQ(model.Row(Kind(10)).Top, 8 * 34);
    EXPECT_TRUE(model.TutorChanged());
}

TEST_F(ChooseTutorTest, OkStoresTheTrackBarStepsAndRefreshesTheCurrentUser)
{
    UserWith(QStringLiteral("Two.tut"), {1, 0, 0, 1, 0, 0, 0, 0, 0, 0});
    ChooseTutorModel model(app, data, tutor, texts);
    model.Show();
    model.SetPosition(Kind(1), 3);
    model.SetPosition(Kind(4), 7); // beyond the kind's two steps
    model.SetPosition(Kind(2), 2); // a kind without steps keeps step 1

    const auto result = model.Ok();
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.Value(), kTutorChosen);
    const TUserRec stored = Stored(7);
    EXPECT_EQ(stored.TutorSteps, (std::array<std::int32_t, 10>{3, 1, 1, 2, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(stored.TutorValues, (std::array<std::int32_t, 10>{}));
    EXPECT_EQ(stored.TutorFileName, QStringLiteral("Two.tut"));
    EXPECT_EQ(stored.FullName, app.Users.CurrentUser->Record.FullName);
    EXPECT_EQ(app.Users.CurrentUser->Record, stored);
    // The other user's record is untouched.
    EXPECT_EQ(Stored(3).TutorFileName, QStringLiteral("Other.tut"));
}

TEST_F(ChooseTutorTest, NoTutorThenOkStoresABackslashAndAnswersTwo)
{
    UserWith(QStringLiteral("Ladder.tut"), {2, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    ChooseTutorModel model(app, data, tutor, texts);
    model.Show();
    ASSERT_TRUE(tutor.Loaded());

    model.ChooseNoTutor();
    EXPECT_FALSE(tutor.Loaded());
    EXPECT_TRUE(VisibleRows(model).empty());
    EXPECT_EQ(model.RowsHeight(), 0);
    EXPECT_EQ(model.TitleText(), QString());

    const auto result = model.Ok();
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.Value(), kNoTutorChosen);
    const TUserRec stored = Stored(7);
    EXPECT_EQ(stored.TutorFileName, kNoTutorName);
    EXPECT_EQ(stored.TutorSteps, (std::array<std::int32_t, 10>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));

    // Shown again, "no tutor" stays chosen: no default is looked for.
    ChooseTutorModel again(app, data, tutor, texts);
    again.Show();
    EXPECT_FALSE(tutor.Loaded());
    EXPECT_EQ(again.ChosenPath(), kNoTutorName);
    EXPECT_EQ(again.Ok().Value(), kNoTutorChosen);
}

TEST_F(ChooseTutorTest, ATutorThatCannotBeReadLeavesNoTutorAndKeepsTheRecord)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("Short.tut"), {0, 'x'}));
    ASSERT_TRUE(QDir().mkpath(dir.File(QStringLiteral("Folder.tut"))));
    for (const char* name : {"Missing.tut", "Short.tut", "Folder.tut"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(tutor.LoadFromFile(QStringLiteral("Ladder.tut")));
        UserWith(QString::fromLatin1(name), {2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
        ChooseTutorModel model(app, data, tutor, texts);
        model.Show();
        EXPECT_FALSE(tutor.Loaded());
        EXPECT_TRUE(VisibleRows(model).empty());
        EXPECT_EQ(model.ChosenPath(), QString());

        const auto result = model.Ok();
        ASSERT_TRUE(result.Ok());
        EXPECT_EQ(result.Value(), kNoTutorChosen);
        EXPECT_EQ(Stored(7).TutorFileName, QString::fromLatin1(name));
    }
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
}

TEST_F(ChooseTutorTest, ADefaultTutorThatCannotBeReadIsReportedAndNotChosen)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("English.tut"), {0, 'x'}));
    UserWith(QString());
    ChooseTutorModel model(app, data, tutor, texts);
    model.Show();
    EXPECT_FALSE(tutor.Loaded());
    EXPECT_EQ(model.ChosenPath(), QString());
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_TRUE(prompts.asked.back().text.contains(QStringLiteral("English.tut")));
    EXPECT_EQ(model.Ok().Value(), kNoTutorChosen);
    EXPECT_EQ(Stored(7).TutorFileName, QString());
}

TEST_F(ChooseTutorTest, AChosenFileIsNamedShortInTheProgramFolderAndRefusedWhenTooLong)
{
    test::TempDir elsewhere;
    ASSERT_TRUE(elsewhere.Write(QStringLiteral("Far.tut"), test::Encoded(TwoKindTutor())));
    const QString longFolder = elsewhere.Path() + QString(150, QLatin1Char('d')) + u'/';
    ASSERT_TRUE(QDir().mkpath(longFolder));
    ASSERT_TRUE(QFile::copy(elsewhere.File(QStringLiteral("Far.tut")),
                            longFolder + QStringLiteral("Far.tut")));
    WriteBlankTutor();
    UserWith(QStringLiteral("Ladder.tut"));
    ChooseTutorModel model(app, data, tutor, texts);
    model.Show();

    struct Case
    {
        const char* name;
        QString path;
        QString stored;
    };
    const Case chosen[] = {
        {"program folder, whole path", dir.File(QStringLiteral("Two.tut")), "Two.tut"},
        {"another folder", elsewhere.File(QStringLiteral("Far.tut")),
         elsewhere.File(QStringLiteral("Far.tut"))},
        {"bare name", QStringLiteral("Ladder.tut"), QStringLiteral("Ladder.tut")},
    };
    for (const Case& c : chosen) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(model.ChooseFile(c.path));
        EXPECT_EQ(model.ChosenPath(), c.stored);
        EXPECT_TRUE(tutor.Loaded());
    }

    // Refused choices keep the tutor in force and the choice.
    const QString before = tutor.FileName();
    struct Refusal
    {
        const char* name;
        QString path;
        ChooseTutorError code;
    };
    const Refusal refused[] = {
        {"too long to store", longFolder + QStringLiteral("Far.tut"),
         ChooseTutorError::NameTooLong},
        {"missing", dir.File(QStringLiteral("Missing.tut")), ChooseTutorError::Unreadable},
        {"not a tutor", dir.File(QStringLiteral("Data/User.dat")), ChooseTutorError::Unreadable},
        {"no steps", dir.File(QStringLiteral("Blank.tut")), ChooseTutorError::NoSteps},
    };
    for (const Refusal& r : refused) {
        SCOPED_TRACE(r.name);
        const int errors = prompts.Count(QStringLiteral("error"));
        const auto result = model.ChooseFile(r.path);
        ASSERT_FALSE(result.Ok());
        EXPECT_EQ(result.Code(), r.code);
        EXPECT_EQ(prompts.Count(QStringLiteral("error")), errors + 1);
        EXPECT_EQ(tutor.FileName(), before);
        EXPECT_EQ(model.ChosenPath(), QStringLiteral("Ladder.tut"));
    }
    ASSERT_TRUE(model.Ok().Ok());
    EXPECT_EQ(Stored(7).TutorFileName, QStringLiteral("Ladder.tut"));
}

TEST_F(ChooseTutorTest, ATutorWithoutStepsIsNeverTheChoice)
{
    // As the default it is reported by name and title, and no tutor is chosen.
    ASSERT_TRUE(dir.Write(QStringLiteral("English.tut"),
                          test::Encoded(test::TutorWithoutSteps(QStringLiteral("Empty course")))));
    UserWith(QString());
    ChooseTutorModel fresh(app, data, tutor, texts);
    fresh.Show();
    EXPECT_FALSE(tutor.Loaded());
    EXPECT_EQ(fresh.ChosenPath(), QString());
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
    const QString& told = prompts.asked.back().text;
    EXPECT_TRUE(told.contains(QStringLiteral("no steps"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("\"Empty course\""))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("English.tut"))) << told.toStdString();
    EXPECT_EQ(fresh.Ok().Value(), kNoTutorChosen);

    // Named by the record it is not loaded (whoever wanted to start it said why), and the
    // record keeps its name until another choice is made.
    WriteBlankTutor();
    ASSERT_TRUE(tutor.LoadFromFile(QStringLiteral("Ladder.tut")));
    UserWith(QStringLiteral("Blank.tut"), {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    ChooseTutorModel named(app, data, tutor, texts);
    named.Show();
    EXPECT_FALSE(tutor.Loaded());
    EXPECT_TRUE(VisibleRows(named).empty());
    EXPECT_EQ(named.ChosenPath(), QString());
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_EQ(named.Ok().Value(), kNoTutorChosen);
    EXPECT_EQ(Stored(7).TutorFileName, QStringLiteral("Blank.tut"));
}

TEST_F(ChooseTutorTest, CancellingPutsTheUsersTutorBackInForce)
{
    struct Case
    {
        const char* name;
        QString stored;
        QString title; ///< of the tutor in force afterwards; empty for none
    };
    const Case cases[] = {
        {"the user's tutor", "Two.tut", "Two kinds"},
        {"no tutor", kNoTutorName, ""},
        {"a tutor that cannot be read", "Missing.tut", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UserWith(c.stored, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
        for (const bool noTutor : {false, true}) {
            ChooseTutorModel model(app, data, tutor, texts);
            model.Show();
            if (noTutor)
                model.ChooseNoTutor();
            else
                ASSERT_TRUE(model.ChooseFile(QStringLiteral("Ladder.tut")));
            model.Cancel();
            EXPECT_FALSE(model.TutorChanged());
            EXPECT_EQ(tutor.Header().Title, c.title);
            EXPECT_EQ(tutor.Loaded(), !c.title.isEmpty());
            EXPECT_EQ(model.ChosenPath(),
                      c.title.isEmpty() && c.stored != kNoTutorName ? QString() : c.stored);
            EXPECT_EQ(model.RowsHeight(), c.title.isEmpty() ? 0 : 68);
        }
        EXPECT_EQ(Stored(7).TutorFileName, c.stored);
    }
}

TEST_F(ChooseTutorTest, AFailedWriteChangesNothingInMemory)
{
    UserWith(QStringLiteral("Two.tut"), {1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    ChooseTutorModel model(app, data, tutor, texts);
    model.Show();
    model.ChooseNoTutor();
    // The user file's place is taken by a folder: nothing can be written.
    ASSERT_TRUE(QFile::remove(data.UserFilePath()));
    ASSERT_TRUE(QDir().mkpath(data.UserFilePath()));
    const TUserRec before = app.ResultUser()->Record;
    const auto result = model.Ok();
    ASSERT_FALSE(result.Ok());
    EXPECT_EQ(app.ResultUser()->Record, before);
}

TEST_F(ChooseTutorTest, WithoutAUserNothingIsStored)
{
    app.Users.CurrentUser.reset();
    app.SetResultUserToCurrent();
    ChooseTutorModel model(app, data, tutor, texts);
    model.Show();
    const auto result = model.Ok();
    ASSERT_FALSE(result.Ok());
    EXPECT_EQ(result.Code(), DataError::NoUser);
}

} // namespace
} // namespace pv
