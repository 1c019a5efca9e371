// The tutor chooser and the tutor list as windows over a real program folder and user file,
// with the shipped English texts and tutor; pictures of both go to the test output.
#include "music/data/UserFile.h"
#include "music/files/DataFixture.h"
#include "shell/help/HelpContexts.h"
#include "shell/language/LanguageLoader.h"
#include "shell/language/LanguageTargets.h"
#include "shell/tutor/TutorFixtures.h"
#include "shell/tutor/ui/TChooseTutor.h"
#include "shell/tutor/ui/TTutorlist.h"
#include "support/FileSizeLimit.h"
#include "support/TestOutput.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

namespace pv {
namespace {

ExerciseKind Kind(int number)
{
    return *KindFromNumber(number);
}

class ChooseTutorWindowTest : public test::DataFixture
{
protected:
    ChooseTutorWindowTest()
        : texts(strings), items(BuiltInItemTables()), tutor(items, data.folders),
          chooser(app, data, tutor, texts)
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(PELLIVARK_ENGLISH_TUT),
                                dir.File(QStringLiteral("English.tut"))));
        TutorFileData ladder = test::LadderTutor();
        ladder.Header.Description = QStringLiteral("Nine kinds, two chord steps.");
        EXPECT_TRUE(dir.Write(QStringLiteral("Ladder.tut"), test::Encoded(ladder)));
        // The shipped English texts reach the windows as a language load gives them.
        chooser.RegisterTextTargets(
            [this](const QString& key, std::function<void(const QString&)> setter) {
                targets.Register(key, std::move(setter));
            });
        LanguageContext context{texts, items, targets, prompts, nullptr, {}, {}};
        ApplyBuiltInTexts(context);

        app.ProgramSettings.Language = QStringLiteral("English");
        app.Users.CurrentUser = std::make_shared<TUserInfo>();
        app.Users.CurrentUser->Record = DefaultUser();
        app.Users.CurrentUser->Record.UserId = 5;
        app.Users.CurrentUser->Record.FullName =
            QStringLiteral("Ada") + kFullNameSeparator + QStringLiteral("Lovelace");
        EXPECT_TRUE(WriteUser(data, app.Users.CurrentUser->Record));
        app.SetResultUserToCurrent();
    }

    std::vector<int> VisibleRows() const
    {
        std::vector<int> kinds;
        for (ExerciseKind kind : kExerciseKinds) {
            if (!chooser.RowPanel(kind)->isHidden())
                kinds.push_back(KindNumber(kind));
        }
        return kinds;
    }

    TUserRec Stored()
    {
        TUserRec rec;
        rec.UserId = 5;
        EXPECT_TRUE(ReadUserById(data, rec));
        return rec;
    }

    UIStringTable texts;
    AppState app;
    ItemTables items;
    TTutorDefine tutor;
    LanguageTargets targets;
    TChooseTutor chooser;
};

TEST_F(ChooseTutorWindowTest, ShowsTheDefaultTutorAndStoresTheStepsChosenOnItsTrackBars)
{
    chooser.show();
    ASSERT_TRUE(tutor.Loaded());
    EXPECT_EQ(chooser.windowTitle(), QStringLiteral("Choose a tutor for Ada Lovelace"));
    EXPECT_EQ(chooser.BitBtn3->text(), QStringLiteral("Choose tutor..."));
    EXPECT_EQ(chooser.BitBtn4->text(), QStringLiteral("No tutor"));
    EXPECT_EQ(chooser.Label8->text(), QLatin1Char('"') + tutor.Header().Title + QLatin1Char('"'));

    // A row for every kind the shipped tutor teaches, each up to the kind's last step.
    std::vector<int> taught;
    for (ExerciseKind kind : kExerciseKinds) {
        if (tutor.StepCount(kind) > 0)
            taught.push_back(KindNumber(kind));
        EXPECT_EQ(chooser.TrackBar(kind)->maximum(), std::max(1, tutor.StepCount(kind)));
        EXPECT_EQ(chooser.TrackBar(kind)->value(), 1);
    }
    EXPECT_EQ(VisibleRows(), taught);
    EXPECT_EQ(chooser.Rows->height(), static_cast<int>(taught.size()) * kTutorRowHeight);
    EXPECT_EQ(chooser.height(), TChooseTutor::kTopPanelHeight + chooser.Rows->height() +
                                    TChooseTutor::kButtonPanelHeight + 10);
    EXPECT_FALSE(chooser.ScrollBar2->isVisible());
    EXPECT_NE(chooser.RowPanel(Kind(1))->findChild<QLabel*>()->text(), QStringLiteral("Kind 1"));

    ASSERT_GE(tutor.StepCount(Kind(1)), 2);
    chooser.TrackBar(Kind(1))->setValue(2);
    EXPECT_EQ(chooser.ValueLabel(Kind(1))->text(), QStringLiteral("2"));
    chooser.TrackBar(Kind(9))->setValue(tutor.StepCount(Kind(9)));
    EXPECT_TRUE(
        chooser.grab().toImage().save(test::TestOutputDir() + QStringLiteral("tutor_chooser.png")));

    chooser.BitBtn1->click();
    EXPECT_EQ(chooser.result(), kTutorChosen);
    EXPECT_FALSE(chooser.isVisible());
    const TUserRec stored = Stored();
    EXPECT_EQ(stored.TutorFileName, QStringLiteral("English.tut"));
    EXPECT_EQ(stored.TutorSteps[0], 2);
    EXPECT_EQ(stored.TutorSteps[8], tutor.StepCount(Kind(9)));
    EXPECT_EQ(app.Users.CurrentUser->Record, stored);
}

TEST_F(ChooseTutorWindowTest, AUserFileThatCannotTakeTheChoiceIsSaidOnceAndTheDialogStays)
{
    const struct
    {
        const char* name;
        bool folderInItsPlace; ///< else the disk is full
    } cases[] = {
        {"a folder where User.dat belongs: its opening says so", true},
        {"a full disk: the write fails after the opening", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.asked.clear();
        const TUserRec before = app.Users.CurrentUser->Record;
        if (c.folderInItsPlace) {
            ASSERT_TRUE(QFile::remove(data.UserFilePath()));
            ASSERT_TRUE(QDir().mkpath(data.UserFilePath()));
        }
        chooser.show();
        chooser.TrackBar(Kind(1))->setValue(2);
        {
            test::FileSizeLimit full(c.folderInItsPlace ? RLIM_INFINITY : 1);
            ASSERT_TRUE(full.Set());
            chooser.BitBtn1->click();
        }
        ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
        const QString& said = prompts.asked.back().text;
        EXPECT_TRUE(said.contains(QDir::toNativeSeparators(data.UserFilePath())))
            << said.toStdString();
        EXPECT_TRUE(chooser.isVisible()) << "the choice can be tried again";
        EXPECT_EQ(app.Users.CurrentUser->Record, before);
        chooser.hide();
        if (c.folderInItsPlace) {
            ASSERT_TRUE(QDir(data.UserFilePath()).removeRecursively());
            ASSERT_TRUE(WriteUser(data, before));
        }
    }
}

TEST_F(ChooseTutorWindowTest, ChoosingATutorFromTheListAndThenNoneStoresABackslash)
{
    // The entry point runs the dialog modally for the current user; the tutor list opens
    // modally on top of it.
    int listShown = 0;
    QTimer::singleShot(0, &chooser, [&] {
        ASSERT_TRUE(chooser.isVisible());
        QTimer::singleShot(0, &chooser.TutorList(), [&] {
            TTutorlist& list = chooser.TutorList();
            ++listShown;
            ASSERT_TRUE(list.isVisible());
            ASSERT_EQ(list.ListBox1->count(), 2);
            EXPECT_FALSE(list.BitBtn1->isEnabled());
            list.ListBox1->setCurrentRow(1);
            EXPECT_EQ(list.ListBox1->item(1)->text(), QStringLiteral("Ladder"));
            list.BitBtn1->click();
        });
        chooser.BitBtn3->click();
        EXPECT_EQ(tutor.Header().Title, QStringLiteral("Ladder"));
        EXPECT_EQ(VisibleRows(), (std::vector<int>{1, 2, 3, 4, 6, 7, 8, 9, 10}));
        EXPECT_EQ(chooser.TrackBar(Kind(1))->maximum(), 2);
        chooser.BitBtn1->click();
    });
    app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("English.tut");
    ASSERT_EQ(chooser.ChooseTutorForCurrentUser(), kTutorChosen);
    EXPECT_EQ(listShown, 1);
    EXPECT_EQ(Stored().TutorFileName, QStringLiteral("Ladder.tut"));

    QTimer::singleShot(0, &chooser, [&] {
        EXPECT_EQ(tutor.Header().Title, QStringLiteral("Ladder"));
        chooser.BitBtn4->click();
        EXPECT_FALSE(tutor.Loaded());
        EXPECT_TRUE(VisibleRows().empty());
        EXPECT_EQ(chooser.Label8->text(), QString());
        chooser.BitBtn1->click();
    });
    ASSERT_EQ(chooser.ChooseTutorForCurrentUser(), kNoTutorChosen);
    EXPECT_EQ(Stored().TutorFileName, kNoTutorName);
    EXPECT_EQ(Stored().TutorSteps, (std::array<std::int32_t, 10>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST_F(ChooseTutorWindowTest, TheTutorListShowsDetailsAndAnotherFolder)
{
    test::TempDir other;
    TutorFileData far = test::LadderTutor();
    far.Header.Title = QStringLiteral("Far away");
    far.Header.Author = QStringLiteral("Someone Else");
    ASSERT_TRUE(other.Write(QStringLiteral("Far.tut"), test::Encoded(far)));

    TTutorlist& list = chooser.TutorList();
    list.show();
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Choose tutor"));
    EXPECT_EQ(list.BitBtn4->text(), QStringLiteral("Other..."));
    EXPECT_EQ(list.Label2->text(), QDir::toNativeSeparators(dir.Path()));
    ASSERT_EQ(list.ListBox1->count(), 2);
    EXPECT_FALSE(list.Details->isVisible());
    EXPECT_EQ(list.width(), TTutorlist::kNarrowWidth);

    list.ListBox1->setCurrentRow(1);
    EXPECT_EQ(list.Memo1->toPlainText(), QStringLiteral("Nine kinds, two chord steps."));
    EXPECT_EQ(list.Edit1->text(), QStringLiteral("Teacher"));
    list.SpeedButton2->click();
    EXPECT_TRUE(list.Details->isVisible());
    EXPECT_EQ(list.width(), TTutorlist::kWideWidth);
    EXPECT_TRUE(
        list.grab().toImage().save(test::TestOutputDir() + QStringLiteral("tutor_list.png")));

    // Another folder, picked through the folder chooser that starts at the folder shown.
    prompts.texts = {other.Path().chopped(1)};
    list.BitBtn4->click();
    EXPECT_EQ(prompts.asked.back().kind, QStringLiteral("folder"));
    EXPECT_EQ(prompts.asked.back().text, dir.Path().chopped(1));
    EXPECT_EQ(list.Label2->text(), QDir::toNativeSeparators(other.Path().chopped(1)));
    ASSERT_EQ(list.ListBox1->count(), 1);
    EXPECT_EQ(list.ListBox1->item(0)->text(), QStringLiteral("Far away"));
    EXPECT_EQ(list.Edit1->text(), QString());
    emit list.ListBox1->itemDoubleClicked(list.ListBox1->item(0));
    EXPECT_EQ(list.SelectedPath(), std::nullopt); // double click on nothing selected
    list.ListBox1->setCurrentRow(0);
    emit list.ListBox1->itemDoubleClicked(list.ListBox1->item(0));
    EXPECT_EQ(list.result(), QDialog::Accepted);
    EXPECT_EQ(list.SelectedPath(), other.File(QStringLiteral("Far.tut")));
}

TEST_F(ChooseTutorWindowTest, TheTutorListsHelpOpensTheTutorsTopic)
{
    std::vector<int> asked;
    chooser.SetHelp([&asked](int context) { asked.push_back(context); });
    TTutorlist& list = chooser.TutorList();
    list.show();
    EXPECT_EQ(list.BitBtn3->text(), QStringLiteral("Help"));
    EXPECT_TRUE(list.BitBtn3->isVisible());
    list.BitBtn3->click();
    EXPECT_EQ(asked, std::vector<int>{kTutorHelp});
    // F1 in either window opens the same topic.
    EXPECT_EQ(list.property("helpContext").toInt(), kTutorHelp);
    EXPECT_EQ(chooser.property("helpContext").toInt(), kTutorHelp);
}

} // namespace
} // namespace pv
