// View tags, the view switch's order of leaving and entering, the tutor switched on from the
// switch, the fixed rights and the view submenus.
#include "MainFixture.h"

namespace pv::test {
namespace {

using MV = MainView;

TEST(ViewTags, DecodeToKindAndViewKeepingWhatTheTagLeavesOpen)
{
    // Decoded against kind 3 in the Results view.
    struct Case
    {
        int tag;
        std::optional<int> kind; // nullopt: no exercise
        MV view;
    };
    const Case cases[] = {
        {1, 1, MV::Results},
        {10, 10, MV::Results},
        {257, 1, MV::Exercise},
        {266, 10, MV::Exercise},
        {513, 1, MV::ExerciseSetup},
        {522, 10, MV::ExerciseSetup},
        {769, 1, MV::Results},
        {778, 10, MV::Results},
        {1025, 1, MV::UserOverview},
        {1034, 10, MV::UserOverview},
        {511, std::nullopt, MV::Exercise},
        {256, 3, MV::Exercise},
        {512, 3, MV::ExerciseSetup},
        {768, 3, MV::Results},
        {1024, 3, MV::UserOverview},
        {4352, 3, MV::Exercise},
        {8704, 3, MV::ExerciseSetup},
        {0, 3, MV::Results},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        const auto target = DecodeViewTag(c.tag, Kind(3), MV::Results);
        ASSERT_TRUE(target.has_value());
        EXPECT_EQ(target->Kind, c.kind ? std::optional(Kind(*c.kind)) : std::nullopt);
        EXPECT_EQ(target->View, c.view);
    }
    EXPECT_EQ(kOverviewTag, 511);
    EXPECT_EQ(kTutorTag, 4352);
    EXPECT_EQ(kTutorSetupTag, 8704);
    EXPECT_EQ(ViewTag(MV::Results, ExerciseKind::Scales), 776);
}

TEST(ViewTags, AStrayTagSwitchesNowhere)
{
    for (int tag : {11, 254, 256 + 11, 5 * 256 + 1, 15 * 256, -1}) {
        SCOPED_TRACE(tag);
        EXPECT_FALSE(DecodeViewTag(tag, Kind(1), MV::Exercise).has_value());
    }
}

class ViewSwitch : public MainFixture
{
};

TEST_F(ViewSwitch, LeavingTheStartMenuStopsTheIntroAndEntersTheExercise)
{
    const QStringList calls = Click(1);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("menu.StopIntro"), QStringLiteral("ui.Exercise 1"),
                                  QStringLiteral("win.Enter 1")}));
    EXPECT_EQ(model.CurrentKind(), Kind(1));
    EXPECT_EQ(model.CurrentView(), MV::Exercise);
    EXPECT_EQ(ui.text[MainControl::Label3], QStringLiteral("Chord identification"));
    EXPECT_EQ(ui.text[MainControl::Label1], QStringLiteral("Exercise"));
    EXPECT_TRUE(ui.checked[MainControl::AkkordID1]);
    EXPECT_FALSE(ui.checked[MainControl::Overview1]);
    EXPECT_TRUE(ui.down[MainControl::Speed1]);
    EXPECT_TRUE(ui.down[MainControl::SpeedButton1]);
    // The views of an exercise open by the rights.
    EXPECT_TRUE(ui.enabled[MainControl::RunKonfig]);
    EXPECT_TRUE(ui.enabled[MainControl::SpeedButton5]);
    EXPECT_FALSE(ui.enabled[MainControl::SpeedButton11]);
    EXPECT_TRUE(ui.enabled[MainControl::Restartexercise]);
    for (int n : {3, 4, 5})
        EXPECT_TRUE(ui.toolWindows[n]) << n;
    EXPECT_FALSE(ui.toolWindows[2]);
    EXPECT_NE(sessions.Of(Kind(1)).ClockStart, 0.0);
}

TEST_F(ViewSwitch, TheSameKindAndViewAgainDoesNothing)
{
    Click(1);
    const double clockStart = sessions.Of(Kind(1)).ClockStart;
    clock.now += kMinute;
    EXPECT_TRUE(Click(1).isEmpty());
    EXPECT_TRUE(Click(257).isEmpty());
    EXPECT_TRUE(Click(kExerciseViewTag).isEmpty());
    // The clock span runs on undivided.
    EXPECT_EQ(sessions.Of(Kind(1)).ClockStart, clockStart);
}

TEST_F(ViewSwitch, AnotherKindLeavesTheOldWindowBeforeEnteringTheNew)
{
    Click(1);
    const QStringList calls = Click(2);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("win.Leave 1"), QStringLiteral("ui.Exercise 2"),
                                  QStringLiteral("win.Enter 2")}));
    EXPECT_FALSE(ui.checked[MainControl::AkkordID1]);
    EXPECT_TRUE(ui.checked[MainControl::IntervalID1]);
    EXPECT_EQ(sessions.Of(Kind(1)).ClockStart, 0.0);
    EXPECT_NE(sessions.Of(Kind(2)).ClockStart, 0.0);
}

TEST_F(ViewSwitch, KindsWithoutTheirWindowYetShowThatTheyAreNotAvailable)
{
    Click(1);
    for (int n : {3, 4, 5, 6, 9}) {
        SCOPED_TRACE(n);
        const QStringList calls = Click(n);
        EXPECT_TRUE(calls.contains(QStringLiteral("ui.NotAvailable %1").arg(n)));
        EXPECT_FALSE(calls.contains(QStringLiteral("win.Enter %1").arg(n)));
        EXPECT_EQ(model.CurrentKind(), Kind(n));
    }
    // Leaving one of them asks nothing of a window that does not exist.
    const QStringList calls = Click(1);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("ui.Exercise 1"), QStringLiteral("win.Enter 1")}));
}

TEST_F(ViewSwitch, TagOverviewGoesToTheStartMenuWithTheClockTimerAndNoToolWindows)
{
    Click(2);
    const QStringList calls = Click(kOverviewTag);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("win.Leave 2"), QStringLiteral("ui.StartMenu")}));
    EXPECT_EQ(model.CurrentKind(), std::nullopt);
    EXPECT_EQ(model.CurrentView(), MV::Exercise);
    EXPECT_TRUE(ui.enabled[MainControl::Timer1]);
    for (int n : {3, 4, 5})
        EXPECT_FALSE(ui.toolWindows[n]) << n;
    for (MainControl c : {MainControl::RunKonfig, MainControl::SpeedButton5,
                          MainControl::SpeedButton11, MainControl::Restartexercise})
        EXPECT_FALSE(ui.enabled[c]);
    EXPECT_TRUE(ui.text[MainControl::Label1].isEmpty());
    EXPECT_TRUE(ui.checked[MainControl::Overview1]);
}

TEST_F(ViewSwitch, EnteringTheResultsViewStoresToMemoryWithoutAsking)
{
    Click(1);
    Answer(Kind(1), 3, true);
    Answer(Kind(1), 4, false);
    // A stale running result of a kind without answers.
    book.ExerciseResults[Slot(Kind(2))].Record.Count = 9;

    const QStringList calls = Click(kResultsViewTag);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(book.ExerciseResults[Slot(Kind(1))].Record.Count, 2);
    EXPECT_EQ(book.ExerciseResults[Slot(Kind(2))].Record.Count, 0);
    EXPECT_TRUE(StoredRecords().empty());
    // The answers stay to be stored for good later.
    EXPECT_EQ(sessions.Of(Kind(1)).QuestionCount, 2U);
    EXPECT_LT(calls.indexOf(QStringLiteral("win.Leave 1")),
              calls.indexOf(QStringLiteral("ui.FillResults 1")));
    EXPECT_EQ(calls.last(), QStringLiteral("ui.Results"));
    EXPECT_EQ(ui.filledFrom, -1.0);
    EXPECT_TRUE(ui.resultsItemButtons);
    EXPECT_TRUE(ui.visible[MainControl::Deleteresults1]);
    EXPECT_FALSE(ui.enabled[MainControl::Refresh1]);
    EXPECT_FALSE(ui.visible[MainControl::Label7]);
    for (int n = 1; n <= 5; ++n)
        EXPECT_FALSE(ui.toolWindows[n]) << n;

    // Back in the exercise the entries of the results view go.
    Click(kExerciseViewTag);
    EXPECT_FALSE(ui.visible[MainControl::Deleteresults1]);
    EXPECT_TRUE(ui.visible[MainControl::Label7]);
}

TEST_F(ViewSwitch, TheSetupViewShowsTheKindsPageAndKeepsAChangeUntilSaved)
{
    Click(1);
    windows.onStorePage = [&](ExerciseKind) {
        setup.CurrentSetup.ChordIdentification.ItemFlags[0] ^= 1;
    };
    const QStringList calls = Click(kSetupViewTag);
    EXPECT_TRUE(calls.contains(QStringLiteral("win.LoadPage 1")));
    EXPECT_TRUE(calls.contains(QStringLiteral("ui.SetupPage1 1")));
    EXPECT_TRUE(ui.down[MainControl::RunKonfig]);

    Click(kExerciseViewTag);
    EXPECT_TRUE(model.SetupModified());
    // A second visit that changes nothing does not forget the first visit's change.
    windows.onStorePage = nullptr;
    Click(kSetupViewTag);
    Click(kExerciseViewTag);
    EXPECT_TRUE(model.SetupModified());

    Click(kSetupViewTag + 4);
    EXPECT_TRUE(log.Has(QStringLiteral("ui.SetupPage2 4")));
    Click(kSetupViewTag + 9);
    EXPECT_TRUE(log.Has(QStringLiteral("ui.SetupPage3 9")));
}

TEST_F(ViewSwitch, TheMelodySetupsOptionByteDecidesTheMetronomeOfKindNine)
{
    Click(1);
    EXPECT_FALSE(ui.enabled[MainControl::Metro]);
    setup.CurrentSetup.Melody.Rhythms = 1;
    Click(9);
    EXPECT_TRUE(ui.enabled[MainControl::Metro]);
    EXPECT_TRUE(ui.visible[MainControl::ShowMetronome1]);
    EXPECT_TRUE(model.InMetronomeKinds(Kind(9)));
    Click(1);
    setup.CurrentSetup.Melody.Rhythms = 0;
    Click(9);
    EXPECT_FALSE(ui.enabled[MainControl::Metro]);
    EXPECT_FALSE(ui.visible[MainControl::Playmetronome1]);
    EXPECT_FALSE(model.InMetronomeKinds(Kind(9)));
    // The rhythm kinds keep theirs.
    Click(4);
    EXPECT_TRUE(ui.enabled[MainControl::SpeedButton12]);
}

TEST_F(ViewSwitch, TheTempoSliderFollowsTheRhythmSetupElseTheDefaultTempo)
{
    app.ProgramSettings.DefaultTempo = 90;
    setup.CurrentSetup.RhythmReading.Tempo = 132;
    Click(5);
    EXPECT_EQ(ui.tempo, 132);
    Click(1);
    EXPECT_EQ(ui.tempo, 90);
}

TEST_F(ViewSwitch, MidiInputStartsForTheEnteredKindWhenItsOptionIsOn)
{
    Click(1);
    EXPECT_FALSE(log.Has(QStringLiteral("midi.Start 1")));
    app.ProgramSettings.MidiInputOn = true;
    EXPECT_TRUE(Click(2).contains(QStringLiteral("midi.Start 2")));
}

TEST_F(ViewSwitch, TheTutorButtonInTheResultsViewStartsTheTutorInTheExercise)
{
    app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("Basics.tut");
    scriptedTutor.starts = true;
    scriptedTutor.steps = {{Kind(1), 3}, {Kind(2), 2}};
    Click(2);
    Click(kResultsViewTag);
    Answer(Kind(2), 1, true);

    const QStringList calls = ClickTutor();
    EXPECT_EQ(model.CurrentView(), MV::Exercise);
    EXPECT_EQ(model.CurrentKind(), Kind(2));
    EXPECT_TRUE(model.TutorActive());
    EXPECT_TRUE(app.ProgramSettings.TutorActive);
    // Entered, then the tutor, then the step's information, once.
    const qsizetype entered = calls.indexOf(QStringLiteral("ui.Exercise 2"));
    const qsizetype started = calls.indexOf(QStringLiteral("tutor.Start Basics.tut"));
    ASSERT_GE(entered, 0);
    EXPECT_GT(started, entered);
    EXPECT_EQ(calls.count(QStringLiteral("tutor.StepInfo")), 1);
    EXPECT_GT(calls.indexOf(QStringLiteral("tutor.StepInfo")), started);
    EXPECT_TRUE(calls.contains(QStringLiteral("tutor.ApplySteps")));
    EXPECT_EQ(calls.last(), QStringLiteral("ui.Focus 2"));
    // One answer is not offered for storing; the exercise run starts over.
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(sessions.Of(Kind(2)).StartDate, clock.now);
    // The tutor locks what it owns.
    EXPECT_TRUE(ui.checked[MainControl::Activatetutor1]);
    EXPECT_TRUE(ui.toolWindows[2]);
    EXPECT_EQ(windows.captions, QStringLiteral("Tutor"));
    for (MainControl c :
         {MainControl::RunKonfig, MainControl::SpeedButton2, MainControl::Gemopstning1,
          MainControl::Restartexercise, MainControl::Overview1, MainControl::SpeedButton11})
        EXPECT_FALSE(ui.enabled[c]);
    EXPECT_TRUE(ui.enabled[MainControl::Speed1]);
    EXPECT_FALSE(ui.enabled[MainControl::Speed3]);
    EXPECT_TRUE(calls.contains(QStringLiteral("win.Reset 1")));
    EXPECT_TRUE(calls.contains(QStringLiteral("win.Reset 2")));
}

TEST_F(ViewSwitch, ATutorWithStepsOnlyForRhythmKindsMovesFromKindOneToKindFour)
{
    app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("Rhythm.tut");
    scriptedTutor.starts = true;
    scriptedTutor.steps = {{Kind(4), 2}, {Kind(5), 1}};
    Click(1);

    const QStringList calls = ClickTutor();
    EXPECT_EQ(model.CurrentKind(), Kind(4));
    EXPECT_TRUE(model.TutorActive());
    EXPECT_LT(calls.indexOf(QStringLiteral("win.Leave 1")),
              calls.indexOf(QStringLiteral("ui.NotAvailable 4")));
    for (ExerciseKind k : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(k));
        const bool hasSteps = KindNumber(k) == 4 || KindNumber(k) == 5;
        EXPECT_EQ(ui.IsEnabled(kExerciseButtons[KindNumber(k)]), hasSteps);
        EXPECT_EQ(ui.IsEnabled(kExerciseMenuItems[KindNumber(k)]), hasSteps);
    }
    // The nested switch showed the step's information; the outer one does not again.
    EXPECT_EQ(calls.count(QStringLiteral("tutor.StepInfo")), 1);
    EXPECT_TRUE(ui.checked[MainControl::Activatetutor1]);
}

TEST_F(ViewSwitch, ATutorThatNeitherStartsNorIsChosenLeavesTheExerciseWithoutTutor)
{
    scriptedTutor.starts = false;
    scriptedTutor.chosen = false;
    Click(1);
    setup.CurrentSetup.ChordIdentification.ItemFlags[5] = 1;
    setup.SavedSetup = setup.CurrentSetup;

    const QStringList calls = ClickTutor();
    // No tutor file: nothing to start, the chooser is offered.
    EXPECT_FALSE(calls.contains(QStringLiteral("tutor.Start ")));
    EXPECT_TRUE(calls.contains(QStringLiteral("tutor.Choose")));
    EXPECT_FALSE(calls.contains(QStringLiteral("tutor.StepInfo")));
    EXPECT_FALSE(model.TutorActive());
    EXPECT_FALSE(app.ProgramSettings.TutorActive);
    EXPECT_FALSE(ui.IsDown(MainControl::SpeedButton10));
    EXPECT_EQ(model.CurrentKind(), Kind(1));
    EXPECT_EQ(model.CurrentView(), MV::Exercise);
    EXPECT_EQ(setup.CurrentSetup, setup.SavedSetup);
    EXPECT_TRUE(ui.enabled[MainControl::RunKonfig]);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ViewSwitch, TurningTheTutorOffBringsTheUsersOwnSetupBack)
{
    app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("Basics.tut");
    scriptedTutor.starts = true;
    scriptedTutor.steps = {{Kind(1), 3}};
    Click(1);
    const ExerciseSetup own = setup.CurrentSetup;
    ClickTutor();
    ASSERT_TRUE(model.TutorActive());
    setup.CurrentSetup.ChordIdentification.ItemFlags[7] ^= 1; // the tutor's step setup

    ui.down[MainControl::SpeedButton10] = false;
    const QStringList calls = Click(kExerciseViewTag);
    EXPECT_TRUE(calls.contains(QStringLiteral("tutor.Clear")));
    EXPECT_FALSE(model.TutorActive());
    EXPECT_EQ(setup.CurrentSetup, own);
    EXPECT_FALSE(ui.checked[MainControl::Activatetutor1]);
    EXPECT_FALSE(ui.toolWindows[2]);
    for (ExerciseKind k : kExerciseKinds)
        EXPECT_TRUE(ui.IsEnabled(kExerciseButtons[KindNumber(k)])) << KindNumber(k);
    EXPECT_TRUE(ui.enabled[MainControl::RunKonfig]);
}

TEST_F(ViewSwitch, TheTutorTurnedOnOrOffInsideAnExerciseLeavesAndEntersItAnew)
{
    app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("Basics.tut");
    scriptedTutor.starts = true;
    scriptedTutor.steps = {{Kind(1), 3}};
    Click(1);

    // On: entered under the tutor, before the step's setup comes into force.
    const QStringList on = ClickTutor();
    ASSERT_TRUE(model.TutorActive());
    const qsizetype leftOn = on.indexOf(QStringLiteral("win.Leave 1"));
    const qsizetype enteredOn = on.indexOf(QStringLiteral("win.Enter 1"));
    ASSERT_GE(leftOn, 0);
    EXPECT_GT(enteredOn, leftOn);
    EXPECT_LT(enteredOn, on.indexOf(QStringLiteral("tutor.Start Basics.tut")));
    EXPECT_LT(enteredOn, on.indexOf(QStringLiteral("tutor.ApplySteps")));
    EXPECT_EQ(on.count(QStringLiteral("win.Enter 1")), 1);

    // Off: entered once the user's own setup is back.
    ui.down[MainControl::SpeedButton10] = false;
    const QStringList off = Click(kExerciseViewTag);
    ASSERT_FALSE(model.TutorActive());
    const qsizetype cleared = off.indexOf(QStringLiteral("tutor.Clear"));
    ASSERT_GE(cleared, 0);
    EXPECT_LT(off.indexOf(QStringLiteral("win.Leave 1")), cleared);
    EXPECT_GT(off.indexOf(QStringLiteral("win.Enter 1")), cleared);
    EXPECT_EQ(off.count(QStringLiteral("win.Enter 1")), 1);
    EXPECT_EQ(model.CurrentKind(), Kind(1));
}

TEST_F(ViewSwitch, TheSettingsTutorOptionStartsTheTutorAtTheFirstSwitch)
{
    app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("Basics.tut");
    scriptedTutor.starts = true;
    scriptedTutor.steps = {{Kind(1), 1}};
    app.ProgramSettings.TutorActive = true; // the program closed with the tutor on
    const QStringList calls = Click(1);
    EXPECT_TRUE(calls.contains(QStringLiteral("tutor.Start Basics.tut")));
    EXPECT_TRUE(model.TutorActive());
    EXPECT_TRUE(ui.IsDown(MainControl::SpeedButton10));
    // Staying with it, the next switch does not start it again.
    EXPECT_FALSE(Click(kResultsViewTag).contains(QStringLiteral("tutor.Start Basics.tut")));
    EXPECT_TRUE(model.TutorActive());
}

TEST_F(ViewSwitch, ATutorOnAsksToStoreOnlyWhenSomeKindHasFiveAnswers)
{
    app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("Basics.tut");
    scriptedTutor.starts = true;
    scriptedTutor.steps = {{Kind(1), 3}};
    Click(1);
    for (int i = 0; i < 5; ++i)
        Answer(Kind(1), 1, true);
    prompts.buttons = {PromptButton::Yes};
    ClickTutor();
    ASSERT_EQ(prompts.Count(QStringLiteral("yesno")), 1);
    const auto stored = StoredRecords();
    ASSERT_EQ(stored.size(), 1U);
    EXPECT_EQ(stored[0].Count, 5);
    EXPECT_TRUE(stored[0].TutorTitle.isEmpty());
}

class UserRightsTest : public MainFixture
{
};

TEST_F(UserRightsTest, TheFixedRightsShowWhatTheyGrant)
{
    const std::array<bool, 10> expected = {true,  true, true,  true, true,
                                           false, true, false, true, false};
    EXPECT_EQ(model.UserRights, expected);
    EXPECT_TRUE(model.UserRightsApplied);
    struct Seen
    {
        MainControl control;
        bool visible;
    };
    const Seen seen[] = {
        {MainControl::N2, false},
        {MainControl::Reports1, true},
        {MainControl::Classmaintenance1, false},
        {MainControl::SpeedButton10, true},
        {MainControl::Activatetutor1, true},
        {MainControl::Tutoreditor2, false},
        {MainControl::SpeedButton9, false},
        {MainControl::ImportExport, true},
        {MainControl::SpeedButton11, false},
        {MainControl::N13, false},
        {MainControl::Refresh1, false},
        {MainControl::Midi1, true},
        {MainControl::Userinfo1, true},
    };
    for (const Seen& s : seen)
        EXPECT_EQ(ui.visible.at(s.control), s.visible) << static_cast<int>(s.control);
    EXPECT_TRUE(ui.enabled[MainControl::Gemopstning1]);
    EXPECT_TRUE(ui.enabled[MainControl::ImportExport]);
    EXPECT_FALSE(ui.enabled[MainControl::Classmaintenance1]);
    EXPECT_FALSE(ui.resultsChooser);
    EXPECT_EQ(ui.resultsPanelLeft, 0);
    EXPECT_FALSE(ui.exportChooser);
    EXPECT_EQ(ui.width[MainControl::Bevel1], 89);
    EXPECT_EQ(ui.width[MainControl::Label1], 139);
}

TEST_F(UserRightsTest, TheSetupFolderIsTheUsersOnlyWhenItExists)
{
    // The user's own setups live with the data; the program folder holds the shipped ones.
    const QString dataFolder = data.folders.DataFolder;
    ASSERT_TRUE(QDir(dataFolder).mkpath(QStringLiteral("setups")));
    ASSERT_TRUE(QDir(dir.Path()).mkpath(QStringLiteral("shipped")));
    struct Case
    {
        QString userFolder;
        QString expected;
    };
    const Case cases[] = {
        {QString(), dataFolder},
        {dataFolder + QStringLiteral("setups"), dataFolder + QStringLiteral("setups/")},
        {dir.Path() + QStringLiteral("gone"), dataFolder},
        {QStringLiteral("setups"), dataFolder + QStringLiteral("setups/")},
        {dir.Path() + QStringLiteral("shipped"), dataFolder},
        {dir.Path(), dataFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.userFolder.toStdString());
        app.Users.CurrentUser->Record.SetupFolder = c.userFolder;
        model.ApplyUserRights();
        EXPECT_EQ(model.SetupFolder(), c.expected);
        EXPECT_EQ(ui.chooserFolder, c.expected);
    }
}

TEST_F(UserRightsTest, TheViewSubmenuFollowsRightsTutorAndTheViewShown)
{
    Click(ViewTag(MV::Results, ExerciseKind::IntervalIdentification));
    model.AkkordProgress1Click(Kind(2));
    using Entry = std::tuple<ExerciseKind, MainView>;
    const ExerciseKind k2 = Kind(2);
    EXPECT_EQ(ui.entryText[Entry(k2, MV::UserOverview)], QStringLiteral("User overview"));
    EXPECT_TRUE(ui.entryEnabled[Entry(k2, MV::ExerciseSetup)]);
    EXPECT_FALSE(ui.entryEnabled[Entry(k2, MV::UserOverview)]);
    EXPECT_FALSE(ui.entryVisible[Entry(k2, MV::UserOverview)]);
    EXPECT_TRUE(ui.entryChecked[Entry(k2, MV::Results)]);
    EXPECT_FALSE(ui.entryChecked[Entry(k2, MV::Exercise)]);

    // Another exercise's submenu ticks nothing.
    model.AkkordProgress1Click(Kind(1));
    for (MainView v : {MV::Exercise, MV::ExerciseSetup, MV::Results})
        EXPECT_FALSE(ui.entryChecked[Entry(Kind(1), v)]);

    // In the tutor the setup view is closed.
    app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("Basics.tut");
    scriptedTutor.starts = true;
    scriptedTutor.steps = {{k2, 1}};
    ClickTutor();
    model.AkkordProgress1Click(k2);
    EXPECT_FALSE(ui.entryEnabled[Entry(k2, MV::ExerciseSetup)]);
    EXPECT_TRUE(ui.entryEnabled[Entry(k2, MV::Results)]);
    EXPECT_TRUE(ui.entryChecked[Entry(k2, MV::Exercise)]);
    EXPECT_FALSE(ui.entryChecked[Entry(k2, MV::Results)]);
}

} // namespace
} // namespace pv::test
