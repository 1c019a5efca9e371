// The tutor run over real tutor files, counters, result bookkeeping and user file: progress
// texts, the end of a step and the move it makes, the step information, and user records that
// name steps the tutor does not have.
#include "shell/commands/ControlsFixture.h"
#include "shell/results/ResultsFixture.h"
#include "shell/tutor/TutorDescription.h"
#include "shell/tutor/TutorFile.h"
#include "shell/tutor/TutorRun.h"

#include <deque>

namespace pv::test {
namespace {

/// Intervals in three steps of ten questions, rhythm imitation in one of four.
constexpr const char* kTutorText = R"(title = Ear basics
author = Teacher
description = Three interval steps and a rhythm step

[step intervals]
title = Seconds
description = Hear the step.
pass = 80
fallback = 40
questions = 10
items = 1, 2
text = Sing it first.

[step intervals]
title = Thirds
pass = 80
fallback = 40
questions = 10
items = 3, 4

[step intervals]
title = Fourths and fifths
pass = 80
fallback = 40
questions = 10
items = 5, 7

[step rhythm-imitation]
title = Quarters
pass = 60
fallback = 20
questions = 4
time-signatures = 3
note-values = 3
tempo = 120
bars = 2
)";

constexpr ExerciseKind kIntervals = ExerciseKind::IntervalIdentification;
constexpr ExerciseKind kRhythm = ExerciseKind::RhythmImitation;

class ScriptedTutorDialogs final : public ITutorDialogs
{
public:
    int ShowEndTutorStep(const TutorStepEndView& view) override
    {
        ends.push_back(view);
        if (endAnswers.empty())
            return kNoStepChoice;
        const int answer = endAnswers.front();
        endAnswers.pop_front();
        return answer;
    }
    int
    ShowTutorStepInfo(const TutorStepInfoView& view,
                      const std::function<std::optional<TutorStepInfoView>()>& changeStep) override
    {
        infos.push_back(view);
        if (onInfo)
            onInfo();
        if (pressChangeStep) {
            const std::optional<TutorStepInfoView> next = changeStep();
            if (!next)
                return kNoStepChoice;
            infos.push_back(*next);
        }
        return infoAnswer;
    }

    std::deque<int> endAnswers;
    std::vector<TutorStepEndView> ends;
    std::vector<TutorStepInfoView> infos;
    int infoAnswer = 1;
    bool pressChangeStep = false;
    std::function<void()> onInfo;
};

class TutorRunTest : public ResultsFixture
{
protected:
    TutorRunTest()
    {
        texts.StrTutorProgress = QStringLiteral("Question %d of %d");
        texts.StrTutorProgressFormat1 = QStringLiteral("Step %d of %d");
        texts.StrTutorProgressFormat2 = QStringLiteral("%s of the tutor \"%s\"");
        texts.StrStepInfoFormat = QStringLiteral("Step %d of the tutor %s\"");
        texts.StrStepEndText1 = QStringLiteral("last passed");
        texts.StrStepEndText2 = QStringLiteral("go on");
        texts.StrStepEndText3 = QStringLiteral("go back");
        texts.StrStepEndText4 = QStringLiteral("once more");
        texts.StrStepEndVerdict1 = QStringLiteral("perfect %s in %d");
        texts.StrStepEndVerdict2 = QStringLiteral("finished %s in %d");
        texts.StrStepEndVerdict3 = QStringLiteral("score %s in %d");
        texts.StrUserFile = QStringLiteral("User file");
        ui.text[MainControl::Label3] = QStringLiteral("Interval identification");

        auto parsed = ParseTutorDescription(QString::fromUtf8(kTutorText), QString());
        EXPECT_TRUE(parsed.Ok());
        tutorFile = dir.Path() + QStringLiteral("Basics.tut");
        EXPECT_TRUE(WriteTutorFile(tutorFile, parsed.Value()).Ok());

        TUserRec& user = app.Users.CurrentUser->Record;
        user.LoginName = QStringLiteral("ann");
        user.TutorFileName = tutorFile;
        SetStep(kIntervals, 1);
        SetStep(kRhythm, 1);
        EXPECT_TRUE(WriteUser(data, user).Ok());

        run.SetHooks({
            [this] { log.Add(QStringLiteral("push setup")); },
            [this](ExerciseKind k) { log.Add(QStringLiteral("stop playing"), k); },
            [this] {
                log.Add(QStringLiteral("end tutor"));
                state.TutorActive = false;
            },
            [] { return true; },
            {},
            [this] { log.Add(QStringLiteral("enable kinds")); },
        });
        state.CurrentKind = kIntervals;
        state.CurrentView = MainView::Exercise;
    }

    void SetStep(ExerciseKind kind, int step)
    {
        app.Users.CurrentUser->Record.TutorSteps[Slot(kind)] = step;
    }
    int StoredStep(ExerciseKind kind)
    {
        TUserRec rec;
        rec.UserId = kUser;
        EXPECT_TRUE(ReadUserById(data, rec));
        return rec.TutorSteps[Slot(kind)];
    }
    /// Starts the tutor as the view switch does.
    void Start()
    {
        ASSERT_TRUE(run.StartTutor(tutorFile));
        state.TutorActive = true;
        exerciseClock.StartExerciseClock(kIntervals);
    }
    /// One scored answer in the current kind's window, then the tutor's turn.
    bool AnswerAndAsk(bool right)
    {
        Answer(*state.CurrentKind, 0, right);
        sessions.Of(*state.CurrentKind).Answered = true;
        return run.TutorAfterAnswer();
    }
    QString Label(MainControl c) { return ui.Text(c); }

    Journal log;
    RecordingControls ui;
    ItemTables items = BuiltInItemTables();
    TTutorDefine define{items, data.folders};
    ScriptedTutorDialogs dialogs;
    TutorRun run{{define, data, app, state, setup, sessions, exerciseClock, tutorBook, ui, dialogs,
                  prompts, texts}};
    ResultBookkeeping tutorBook{app, exerciseClock, data, run, prompts, texts, {}};
    QString tutorFile;
};

TEST_F(TutorRunTest, StartsOnlyWhenEveryKindWithStepsHasAStepTheTutorHolds)
{
    struct Case
    {
        const char* name;
        int intervals;
        int rhythm;
        int chords;
        bool started;
    };
    const Case cases[] = {
        {"first steps", 1, 1, 0, true},
        {"last interval step", 3, 1, 0, true},
        {"interval step beyond the tutor", 4, 1, 0, false},
        {"rhythm step beyond the tutor", 1, 2, 0, false},
        {"no interval step yet", 0, 1, 0, false},
        {"a negative step", -3, 1, 0, false},
        {"a step for a kind without steps is ignored", 1, 1, 7, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetStep(kIntervals, c.intervals);
        SetStep(kRhythm, c.rhythm);
        SetStep(ExerciseKind::ChordIdentification, c.chords);
        EXPECT_EQ(run.StartTutor(tutorFile), c.started);
    }
    SetStep(kIntervals, 1);
    SetStep(ExerciseKind::ChordIdentification, 0);
    for (const QString& name : {QString(), QStringLiteral("\\"), dir.Path() + "missing.tut"}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(run.StartTutor(name));
    }
}

TEST_F(TutorRunTest, ProgressCountsTheQuestionBeingAskedAndNamesStepAndTutor)
{
    Start();
    SetStep(kIntervals, 2);
    run.ShowTutorProgress();
    EXPECT_EQ(Label(MainControl::Label6), QStringLiteral("Question 1 of 10"));
    EXPECT_EQ(Label(MainControl::Label2),
              QStringLiteral("Step 2 of 3: \"Thirds\" of the tutor \"Ear basics\""));

    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(AnswerAndAsk(true));
    run.ShowTutorProgress();
    EXPECT_EQ(Label(MainControl::Label6), QStringLiteral("Question 3 of 10"))
        << "scored, the next question not yet put";
    sessions.Of(kIntervals).Answered = false;
    run.ShowTutorProgress();
    EXPECT_EQ(Label(MainControl::Label6), QStringLiteral("Question 4 of 10"));
}

TEST_F(TutorRunTest, NoStepNoTutorOrNoKindEmptiesTheProgress)
{
    Start();
    const std::function<void()> breakIt[] = {
        [this] { SetStep(kIntervals, 4); },
        [this] { SetStep(kIntervals, 0); },
        [this] { app.Users.CurrentUser->Record.TutorFileName = QStringLiteral("\\"); },
        [this] { state.CurrentKind = ExerciseKind::ChordIdentification; },
        [this] { state.CurrentKind.reset(); },
    };
    int n = 0;
    for (const auto& brk : breakIt) {
        SCOPED_TRACE(n++);
        SetStep(kIntervals, 1);
        app.Users.CurrentUser->Record.TutorFileName = tutorFile;
        state.CurrentKind = kIntervals;
        run.ShowTutorProgress();
        ASSERT_FALSE(Label(MainControl::Label6).isEmpty());
        brk();
        run.ShowTutorProgress();
        EXPECT_TRUE(Label(MainControl::Label6).isEmpty());
        EXPECT_TRUE(Label(MainControl::Label2).isEmpty());
    }
}

TEST_F(TutorRunTest, StepScoreIsRoundedPercentOrTheRhythmMean)
{
    struct Case
    {
        ExerciseKind kind;
        std::uint32_t correct;
        std::uint32_t count;
        int score;
    };
    const Case cases[] = {
        {kIntervals, 7, 9, 78}, // 77.8 rounds up
        {kIntervals, 1, 8, 13}, // 12.5 rounds half up
        {kIntervals, 10, 10, 100},
        {kIntervals, 0, 10, 0},
        {kRhythm, 700, 9, 77}, // the mean of summed percentages is cut, not rounded
        {ExerciseKind::RhythmErrorDetection, 450, 5, 90},
        {ExerciseKind::RhythmReading, 0xFFFFFFFFu, 1, 255}, // a damaged sum stays a byte
        {kIntervals, 3, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << KindNumber(c.kind) << ": " << c.correct << "/" << c.count);
        EXPECT_EQ(StepScore(c.kind, c.correct, c.count), c.score);
    }
}

TEST_F(TutorRunTest, StepEndsAtItsLastQuestionStoresUnderTheTutorAndMovesOn)
{
    Start();
    dialogs.endAnswers = {kNextStep};
    for (int i = 1; i < 10; ++i) {
        ASSERT_FALSE(AnswerAndAsk(i != 3)) << "question " << i;
    }
    EXPECT_TRUE(dialogs.ends.empty());
    EXPECT_TRUE(StoredRecords().empty());

    ASSERT_TRUE(AnswerAndAsk(true));
    ASSERT_EQ(dialogs.ends.size(), 1u);
    const TutorStepEndView& end = dialogs.ends.front();
    EXPECT_EQ(end.Decision.Proposal, StepProposal::Next);
    EXPECT_TRUE(end.Decision.NextEnabled);
    EXPECT_FALSE(end.Decision.PreviousEnabled);
    EXPECT_EQ(end.Advice, QStringLiteral("go on"));
    EXPECT_EQ(end.ScoreText, QStringLiteral("score 90% in 1"));
    EXPECT_TRUE(log.Has(QStringLiteral("stop playing 2")));

    const std::vector<TResultRec> stored = StoredRecords();
    ASSERT_EQ(stored.size(), 1u) << "stored once, under the step that was run";
    EXPECT_EQ(stored[0].TutorTitle, QStringLiteral("Ear basics"));
    EXPECT_EQ(stored[0].SetupName, QStringLiteral("Seconds"));
    EXPECT_EQ(stored[0].TutorStep, 1);
    EXPECT_EQ(stored[0].Count, 10);
    EXPECT_EQ(stored[0].Score, 9);

    EXPECT_EQ(app.Users.CurrentUser->Record.TutorSteps[Slot(kIntervals)], 2);
    EXPECT_EQ(StoredStep(kIntervals), 2) << "the move is in the user file";
    ASSERT_EQ(dialogs.infos.size(), 1u);
    EXPECT_EQ(dialogs.infos[0].Title, QStringLiteral("Thirds"));

    // The next step's setup is in force and its counting starts over.
    TutorStepRecord inForce;
    TakeStepSetup(inForce, kIntervals, setup.CurrentSetup);
    const TTutorObject* second = define.Step(kIntervals, 2);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(std::equal(inForce.SetupBytes.begin(), inForce.SetupBytes.begin() + 82,
                           second->Record.SetupBytes.begin()));
    EXPECT_TRUE(log.Has(QStringLiteral("push setup")));
    EXPECT_EQ(sessions.Of(kIntervals).QuestionCount, 0u);
    EXPECT_EQ(Label(MainControl::Label6), QStringLiteral("Question 1 of 10"))
        << "the last question was answered, the next one is the step's first";

    // The stored answers are gone: the next step's end stores only its own.
    dialogs.endAnswers = {kStayStep};
    for (int i = 0; i < 10; ++i)
        (void)AnswerAndAsk(false);
    ASSERT_EQ(StoredRecords().size(), 2u);
    EXPECT_EQ(StoredRecords()[1].Count, 10);
    EXPECT_EQ(StoredRecords()[1].SetupName, QStringLiteral("Thirds"));
    EXPECT_EQ(dialogs.ends.back().Decision.Proposal, StepProposal::Previous);
    EXPECT_EQ(StoredStep(kIntervals), 2) << "stay keeps the step";
}

TEST_F(TutorRunTest, EveryMoveStaysInsideTheTutor)
{
    struct Case
    {
        const char* name;
        int from;
        int answer;
        int to;
    };
    const Case cases[] = {
        {"next", 1, kNextStep, 2},
        {"stay", 2, kStayStep, 2},
        {"previous", 2, kPreviousStep, 1},
        {"next from the last", 3, kNextStep, 3},
        {"back from the first", 1, kPreviousStep, 1},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetStep(kIntervals, c.from);
        dialogs.endAnswers = {c.answer};
        EXPECT_EQ(run.Evaluate(85), c.answer);
        EXPECT_EQ(StoredStep(kIntervals), c.to);
    }
}

TEST_F(TutorRunTest, LastStepPassedShowsTheScoreReachedAndNoNextStep)
{
    Start();
    SetStep(kIntervals, 3);
    dialogs.endAnswers = {kStayStep};
    EXPECT_EQ(run.Evaluate(85), kStayStep);
    const TutorStepEndView& end = dialogs.ends.back();
    EXPECT_EQ(end.Decision.Proposal, StepProposal::None);
    EXPECT_FALSE(end.Decision.NextEnabled);
    EXPECT_EQ(end.Advice, QStringLiteral("last passed"));
    EXPECT_EQ(end.ScoreText, QStringLiteral("finished 85% in 3"));
}

TEST_F(TutorRunTest, ClosingTheEndDialogEndsTheTutorAndKeepsTheStep)
{
    Start();
    for (int i = 0; i < 9; ++i)
        (void)AnswerAndAsk(true);
    const ExerciseSetup before = setup.CurrentSetup;
    ASSERT_TRUE(AnswerAndAsk(true));
    EXPECT_TRUE(log.Has(QStringLiteral("end tutor")));
    EXPECT_TRUE(dialogs.infos.empty());
    EXPECT_EQ(StoredStep(kIntervals), 1);
    EXPECT_EQ(sessions.Of(kIntervals).QuestionCount, 0u);
    EXPECT_EQ(StoredRecords().size(), 1u) << "the finished step is stored all the same";
    EXPECT_TRUE(setup.CurrentSetup == before);
}

TEST_F(TutorRunTest, ShortStepIsNeverStoredButStillEnds)
{
    state.CurrentKind = kRhythm;
    Start();
    dialogs.endAnswers = {kStayStep};
    for (int i = 0; i < 3; ++i) {
        sessions.Of(kRhythm).CorrectCount += 60;
        ++sessions.Of(kRhythm).QuestionCount;
        EXPECT_FALSE(run.TutorAfterAnswer());
    }
    sessions.Of(kRhythm).CorrectCount += 80;
    ++sessions.Of(kRhythm).QuestionCount;
    EXPECT_TRUE(run.TutorAfterAnswer());
    EXPECT_TRUE(StoredRecords().empty()) << "four answers are fewer than any stored run";
    ASSERT_EQ(dialogs.ends.size(), 1u);
    EXPECT_EQ(dialogs.ends[0].ScoreText, QStringLiteral("finished 65% in 1")) << "(3*60+80)/4";
    EXPECT_EQ(dialogs.ends[0].Decision.Proposal, StepProposal::None) << "the only rhythm step";
}

TEST_F(TutorRunTest, AStepTheTutorDoesNotHaveNeverReachesPastTheList)
{
    Start();
    SetStep(kIntervals, 9);
    const ExerciseSetup before = setup.CurrentSetup;
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(AnswerAndAsk(true));
    EXPECT_FALSE(run.ShowStepInfo());
    run.ApplyTutorSteps(kIntervals);
    run.Panel2Click();
    EXPECT_EQ(run.Evaluate(90), kNoStepChoice);
    EXPECT_TRUE(dialogs.ends.empty());
    EXPECT_TRUE(dialogs.infos.empty());
    EXPECT_TRUE(setup.CurrentSetup == before);
    EXPECT_EQ(run.StepTitle(kIntervals, 9), std::nullopt);
}

TEST_F(TutorRunTest, StepInformationTellsStepTitleAndTexts)
{
    Start();
    EXPECT_TRUE(run.ShowStepInfo());
    ASSERT_EQ(dialogs.infos.size(), 1u);
    const TutorStepInfoView& info = dialogs.infos[0];
    EXPECT_EQ(info.Caption, QStringLiteral("Interval identification"));
    EXPECT_EQ(info.StepLine, QStringLiteral("Step 1 of the tutor \"Ear basics\""));
    EXPECT_EQ(info.Title, QStringLiteral("Seconds"));
    EXPECT_EQ(info.Description, QStringLiteral("Hear the step.\nSing it first."));
    EXPECT_TRUE(info.ChangeStepShown);

    dialogs.infoAnswer = kNoStepChoice;
    EXPECT_FALSE(run.ShowStepInfo());
}

TEST_F(TutorRunTest, ChangingStepWithoutAChosenTutorEndsTheTutor)
{
    Start();
    dialogs.pressChangeStep = true;
    EXPECT_FALSE(run.ShowStepInfo());
    EXPECT_TRUE(log.Has(QStringLiteral("end tutor")));
    EXPECT_EQ(dialogs.infos.size(), 1u);
}

TEST_F(TutorRunTest, ChangingToAnotherStepRefreshesTheDialogAndAppliesIt)
{
    Start();
    TutorRunHooks hooks{
        [this] { log.Add(QStringLiteral("push setup")); },
        {},
        [this] { log.Add(QStringLiteral("end tutor")); },
        [] { return true; },
        [this] {
            SetStep(kIntervals, 3);
            return kTutorChosen;
        },
        [this] { log.Add(QStringLiteral("enable kinds")); },
    };
    run.SetHooks(hooks);
    dialogs.pressChangeStep = true;
    run.Panel2Click();
    ASSERT_EQ(dialogs.infos.size(), 2u);
    EXPECT_EQ(dialogs.infos[1].Title, QStringLiteral("Fourths and fifths"));
    EXPECT_FALSE(log.Has(QStringLiteral("end tutor")));
    EXPECT_FALSE(log.Has(QStringLiteral("enable kinds"))) << "the same tutor";
    TutorStepRecord inForce;
    TakeStepSetup(inForce, kIntervals, setup.CurrentSetup);
    EXPECT_TRUE(std::equal(inForce.SetupBytes.begin(), inForce.SetupBytes.begin() + 82,
                           define.Step(kIntervals, 3)->Record.SetupBytes.begin()));
    EXPECT_EQ(ui.Text(MainControl::Label2).left(11), QStringLiteral("Step 3 of 3"));

    // Outside the exercise view the labels do nothing.
    state.CurrentView = MainView::Results;
    run.Panel2Click();
    EXPECT_EQ(dialogs.infos.size(), 2u);
}

TEST_F(TutorRunTest, ApplyingAllStepsSetsEveryKindWithAStepAndKeepsTheOthers)
{
    Start();
    const ExerciseSetup before = setup.CurrentSetup;
    run.ApplyTutorSteps();
    for (ExerciseKind k : {kIntervals, kRhythm}) {
        TutorStepRecord inForce;
        TakeStepSetup(inForce, k, setup.CurrentSetup);
        const std::size_t size = k == kRhythm ? 44 : 82;
        EXPECT_TRUE(std::equal(inForce.SetupBytes.begin(),
                               inForce.SetupBytes.begin() + static_cast<std::ptrdiff_t>(size),
                               define.Step(k, 1)->Record.SetupBytes.begin()))
            << KindNumber(k);
    }
    TutorStepRecord chordsNow;
    TutorStepRecord chordsBefore;
    TakeStepSetup(chordsNow, ExerciseKind::ChordIdentification, setup.CurrentSetup);
    TakeStepSetup(chordsBefore, ExerciseKind::ChordIdentification, before);
    EXPECT_EQ(chordsNow.SetupBytes, chordsBefore.SetupBytes);
}

} // namespace
} // namespace pv::test
