// The tutor run in the whole program over a temporary program and data folder: a tutor started
// with its button, a step answered through the exercise window, the end-of-step dialog and the
// step information answered as a user would, a user record that names a step the tutor does
// not have, a tutor without steps, the tutor turned on and off inside an exercise, and the
// user's statistics naming the tutor.
#include "ProgramTestSupport.h"
#include "TestInstallation.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/TAkkord.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/tutor/TutorDescription.h"
#include "shell/tutor/TutorFile.h"
#include "shell/tutor/ui/TChooseTutor.h"
#include "shell/tutor/ui/TutorDialogs.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/DataFolderCopy.h"
#include "support/NoWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/TestOutput.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace pv {
namespace {

using test::RunUntil;
using test::ScriptedPrompts;
using test::TempDir;

constexpr ExerciseKind kChords = ExerciseKind::ChordIdentification;
constexpr int kStepQuestions = 5;

/// Chord identification in two steps: two chords, then three.
constexpr const char* kTutorText = R"(title = Chord ladder
author = Teacher
description = Two chord steps

[step chords]
title = Major and minor
description = Tell a major chord from a minor one.
pass = 80
fallback = 40
questions = 5
items = 1, 2

[step chords]
title = Add the diminished
description = Three chords now.
pass = 80
fallback = 40
questions = 5
items = 1, 2, 3
)";

using test::SavePicture;

/// The shared installation with the course, and the same course with every step taken out.
class Installation : public test::Installation
{
public:
    Installation()
    {
        const std::optional<TutorFileData> tutor =
            AddTutor(QStringLiteral("Chords.tut"), kTutorText);
        EXPECT_TRUE(tutor);
        if (tutor) {
            TutorFileData blank = *tutor;
            blank.Header.Title = QStringLiteral("Blank course");
            for (auto& steps : blank.Steps)
                steps.clear();
            EXPECT_TRUE(WriteTutorFile(program.File(QStringLiteral("Blank.tut")), blank).Ok());
        }
    }
};

/// What the scripted user saw in the tutor's dialogs.
struct DialogSeen
{
    QString form;
    QString title;                 ///< step information: the step's title (Label2)
    QString advice;                ///< end of step: Label2
    QString score;                 ///< end of step: Label4
    std::array<bool, 3> enabled{}; ///< end of step: BitBtn1..3
    QString markedButton;          ///< end of step: the button inside the visible mark
    QString focused;               ///< end of step: the button with the keyboard focus
    bool guarded = false;          ///< the program's modal guard was up while it was open
};

/// Answers the tutor's dialogs: OK to the step information, the given button to the end of a
/// step, the chooser by its script (Cancel without one). Saves a picture of the first of each.
class ScriptedUser
{
public:
    int Run(QDialog& dialog)
    {
        dialog.resize(dialog.sizeHint());
        dialog.show();
        QCoreApplication::processEvents();
        DialogSeen seen;
        seen.form = dialog.objectName();
        seen.guarded = guardUp && guardUp();
        if (auto* chooser = qobject_cast<TChooseTutor*>(&dialog)) {
            seen_.push_back(seen);
            if (chooserScript)
                chooserScript(*chooser);
            else
                chooser->BitBtn2->click();
            return dialog.result();
        }
        QString press = QStringLiteral("BitBtn1");
        if (auto* end = qobject_cast<TEndTutorStep*>(&dialog)) {
            if (onEndOfStep)
                onEndOfStep();
            seen.advice = dialog.findChild<QLabel*>(QStringLiteral("Label2"))->text();
            seen.score = dialog.findChild<QLabel*>(QStringLiteral("Label4"))->text();
            for (int i = 0; i < 3; ++i)
                seen.enabled[static_cast<std::size_t>(i)] =
                    dialog.findChild<QPushButton*>(QStringLiteral("BitBtn%1").arg(i + 1))
                        ->isEnabled();
            if (QFrame* mark = end->ProposedMark())
                seen.markedButton = mark->findChild<QPushButton*>()->objectName();
            if (QWidget* focus = dialog.focusWidget())
                seen.focused = focus->objectName();
            if (!endPictureSaved)
                SavePicture(dialog, QStringLiteral("tutor-end-of-step.png"));
            endPictureSaved = true;
            press = endButton;
        } else {
            seen.title = dialog.findChild<QLabel*>(QStringLiteral("Label2"))->text();
            if (!infoPictureSaved)
                SavePicture(dialog, QStringLiteral("tutor-step-information.png"));
            infoPictureSaved = true;
        }
        seen_.push_back(seen);
        dialog.findChild<QPushButton*>(press)->click();
        return dialog.result();
    }

    std::vector<DialogSeen> seen_;
    /// Whether the program's modal guard is up now (unset: never asked).
    std::function<bool()> guardUp;
    QString endButton = QStringLiteral("BitBtn1");
    /// What the user does in the tutor chooser; it must close the dialog.
    std::function<void(TChooseTutor&)> chooserScript;
    /// Looks around as the end-of-step dialog comes up.
    std::function<void()> onEndOfStep;
    bool endPictureSaved = false;
    bool infoPictureSaved = false;
};

class ProgramRun
{
public:
    ProgramRun(const Installation& installation, ScriptedPrompts& prompts, ScriptedUser& user)
        : program(MakeOptions(installation, prompts, user))
    {
        program.MainWindow().resize(1100, 760);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }

    ProgramOptions MakeOptions(const Installation& installation, ScriptedPrompts& prompts,
                               ScriptedUser& user)
    {
        ProgramOptions options{installation.ProgramFolders(),
                               {},
                               &prompts,
                               false,
                               test::FakeDevicesWithoutSoundFont(),
                               [this] { splashHidden = true; }};
        options.RunDialog = [&user](QDialog& dialog) { return user.Run(dialog); };
        return options;
    }

    TPellivarkMain& Window() { return program.MainWindow(); }
    TAkkord* Chords() { return program.Exercises().Identification(kChords); }
    TUserRec& User() { return program.App().Users.CurrentUser->Record; }
    QString Label(MainControl c) { return Window().Label(c)->text(); }

    bool splashHidden = false;
    PellivarkProgram program;
    bool started = false;
};

void Key(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

/// Puts a question and answers it right with the right mouse button, which scores at once.
void AnswerRight(TAkkord& exercise)
{
    Key(&exercise, Qt::Key_F5);
    const AkkordModel& model = exercise.Model();
    ASSERT_NE(model.QuestionItem, 0) << "a question is open";
    const int button = model.ButtonOfItem(model.QuestionItem);
    QPushButton* target = exercise.AnswerButtons()[static_cast<std::size_t>(button - 1)].Button;
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

TEST(TutorRunEndToEnd, AStepAnsweredRightMovesToTheNextStepWithItsSetupAndStoresUnderTheTutor)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ScriptedUser user;
    ProgramRun run(installation, prompts, user);
    ASSERT_TRUE(run.started);
    user.guardUp = [&run] { return run.program.Modal().Raised(); };
    run.User().TutorFileName = QStringLiteral("Chords.tut");
    run.User().TutorSteps[0] = 1;

    // The tutor button starts the tutor from the start menu: the first kind with steps opens
    // and its step is told.
    run.Window().Button(MainControl::SpeedButton10)->click();
    ASSERT_TRUE(run.program.State().TutorActive);
    ASSERT_EQ(run.program.State().CurrentKind, kChords);
    ASSERT_EQ(user.seen_.size(), 1u);
    EXPECT_EQ(user.seen_[0].form, QStringLiteral("TutorStepInfoForm"));
    EXPECT_EQ(user.seen_[0].title, QStringLiteral("Major and minor"));
    TAkkord* exercise = run.Chords();
    ASSERT_NE(exercise, nullptr);
    EXPECT_EQ(exercise->Model().ButtonCount, 2) << "the first step's setup";
    EXPECT_EQ(run.Label(MainControl::Label6), QStringLiteral("Question 1 of 5"));
    EXPECT_EQ(run.Label(MainControl::Label2),
              QStringLiteral("Step 1 of 2: \"Major and minor\" of the tutor \"Chord ladder\""));
    SavePicture(run.Window(), QStringLiteral("tutor-running.png"));

    for (int q = 0; q < kStepQuestions; ++q) {
        SCOPED_TRACE(q);
        AnswerRight(*exercise);
        if (q == 2) {
            EXPECT_EQ(run.Label(MainControl::Label6), QStringLiteral("Question 3 of 5"));
        }
    }
    // The step ends once the answer has been carried out.
    ASSERT_TRUE(RunUntil([&] { return user.seen_.size() == 3; }));

    // The end of the step proposed the next one; then the next step was told.
    ASSERT_EQ(user.seen_.size(), 3u);
    const DialogSeen& end = user.seen_[1];
    EXPECT_EQ(end.form, QStringLiteral("EndTutorStepForm"));
    EXPECT_EQ(end.markedButton, QStringLiteral("BitBtn1"));
    EXPECT_EQ(end.focused, QStringLiteral("BitBtn1")) << "the proposed move is one key away";
    EXPECT_EQ(end.enabled, (std::array<bool, 3>{true, true, false}));
    EXPECT_EQ(end.advice, run.program.Strings().StrStepEndText2);
    EXPECT_TRUE(end.score.contains(QStringLiteral("100%"))) << end.score.toStdString();
    EXPECT_EQ(user.seen_[2].title, QStringLiteral("Add the diminished"));
    // While each dialog was open no input or timer reached the exercise behind it.
    for (const DialogSeen& seen : user.seen_)
        EXPECT_TRUE(seen.guarded) << seen.form.toStdString();
    EXPECT_FALSE(run.program.Modal().Raised());

    // The next step's setup is in force and counts from the start.
    EXPECT_EQ(run.User().TutorSteps[0], 2);
    EXPECT_EQ(exercise->Model().ButtonCount, 3);
    EXPECT_EQ(run.program.Sessions().Of(kChords).QuestionCount, 0u);
    EXPECT_EQ(run.Label(MainControl::Label6), QStringLiteral("Question 1 of 5"));
    EXPECT_TRUE(run.Label(MainControl::Label2).startsWith(QStringLiteral("Step 2 of 2")));
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);

    // The step move and the result are on disk.
    test::DataFolderCopy files(installation.ProgramFolders());
    const std::optional<TUserRec> stored = files.User(run.User().UserId);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->TutorSteps[0], 2);
    const std::vector<TResultRec> results = files.Results(run.User().UserId);
    ASSERT_EQ(results.size(), 1u);
    const TResultRec& rec = results.front();
    EXPECT_EQ(rec.Kind, KindNumber(kChords));
    EXPECT_EQ(rec.Count, kStepQuestions);
    EXPECT_EQ(rec.TutorTitle, QStringLiteral("Chord ladder"));
    EXPECT_EQ(rec.SetupName, QStringLiteral("Major and minor"));
    EXPECT_EQ(rec.TutorStep, 1);

    // Clicking the progress shows the step information again.
    QLabel* progress = run.Window().Label(MainControl::Label6);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(progress, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(progress, &release);
    ASSERT_EQ(user.seen_.size(), 4u);
    EXPECT_EQ(user.seen_[3].title, QStringLiteral("Add the diminished"));

    // The tutor ends with its button: the user's own setup is back.
    run.Window().Button(MainControl::SpeedButton10)->click();
    EXPECT_FALSE(run.program.State().TutorActive);
    EXPECT_TRUE(run.Label(MainControl::Label6).isEmpty());
    EXPECT_EQ(exercise->Model().ButtonCount, 2) << "the default setup asks two chords";
}

// The answer that ends a step is carried out first: the exercise returns, and only then does the
// tutor store the step's result, ask at the end of the step and reset the step's session.
TEST(TutorRunEndToEnd, TheStepEndsAfterItsLastAnswerHasReturnedWithThatStepsResultAndReset)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ScriptedUser user;
    ProgramRun run(installation, prompts, user);
    ASSERT_TRUE(run.started);
    run.User().TutorFileName = QStringLiteral("Chords.tut");
    run.User().TutorSteps[0] = 1;
    run.Window().Button(MainControl::SpeedButton10)->click();
    ASSERT_TRUE(run.program.State().TutorActive);
    TAkkord* exercise = run.Chords();
    ASSERT_NE(exercise, nullptr);
    const ExerciseSession& session = run.program.Sessions().Of(kChords);
    const QString resultFile = ResultFileName(run.program.Data(), run.User().UserId);

    bool answerReturned = false;
    bool returnedWhenAsked = false;
    std::uint32_t questionsWhenAsked = 99;
    qint64 storedWhenAsked = -1;
    user.onEndOfStep = [&] {
        returnedWhenAsked = answerReturned;
        questionsWhenAsked = session.QuestionCount;
        storedWhenAsked = QFileInfo(resultFile).size();
    };
    for (int q = 0; q < kStepQuestions - 1; ++q)
        AnswerRight(*exercise);
    ASSERT_EQ(session.QuestionCount, static_cast<std::uint32_t>(kStepQuestions - 1));
    AnswerRight(*exercise);
    answerReturned = true;

    // Back from the answer: the step's run is whole, nothing is stored and nothing was asked.
    EXPECT_EQ(user.seen_.size(), 1u) << "only the step information of the start";
    EXPECT_EQ(session.QuestionCount, static_cast<std::uint32_t>(kStepQuestions));
    EXPECT_EQ(session.CorrectCount, static_cast<std::uint32_t>(kStepQuestions));
    EXPECT_TRUE(exercise->Session().Answered);
    EXPECT_FALSE(QFileInfo::exists(resultFile));
    EXPECT_FALSE(run.Window().AutoNewQuestTimer()->isActive())
        << "no question comes by itself before the tutor's turn";

    ASSERT_TRUE(RunUntil([&] { return user.seen_.size() == 3; }));
    EXPECT_TRUE(returnedWhenAsked) << "the dialog came up inside the answer";
    EXPECT_EQ(questionsWhenAsked, 0u) << "the stored run starts again from nothing";
    EXPECT_EQ(storedWhenAsked, static_cast<qint64>(kResultRecSize)) << "stored before asking";
    EXPECT_TRUE(user.seen_[1].score.contains(QStringLiteral("100%")));

    test::DataFolderCopy files(installation.ProgramFolders());
    const std::vector<TResultRec> results = files.Results(run.User().UserId);
    ASSERT_EQ(results.size(), 1u);
    const TResultRec& rec = results.front();
    EXPECT_EQ(rec.Count, kStepQuestions);
    EXPECT_EQ(rec.Score, kStepQuestions);
    EXPECT_EQ(rec.TutorStep, 1);
    EXPECT_EQ(rec.SetupName, QStringLiteral("Major and minor"));
    EXPECT_EQ(session.QuestionCount, 0u);
    EXPECT_EQ(session.CorrectCount, 0u);
    EXPECT_EQ(run.User().TutorSteps[0], 2);
    EXPECT_EQ(exercise->Model().ButtonCount, 3) << "the next step's setup";
    EXPECT_EQ(run.Label(MainControl::Label6), QStringLiteral("Question 1 of 5"));
}

TEST(TutorRunEndToEnd, AStepBeyondTheTutorOffersTheChooserAndLeavesTheTutorOff)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ScriptedUser user;
    ProgramRun run(installation, prompts, user);
    ASSERT_TRUE(run.started);
    int offered = 0;
    run.program.SetChooseTutor([&offered] {
        ++offered;
        return kNoStepChoice;
    });
    run.User().TutorFileName = QStringLiteral("Chords.tut");
    run.User().TutorSteps[0] = 7;

    run.Window().Button(MainControl::SpeedButton10)->click();
    EXPECT_EQ(offered, 1);
    EXPECT_FALSE(run.program.State().TutorActive);
    EXPECT_FALSE(run.Window().IsDown(MainControl::SpeedButton10));
    EXPECT_TRUE(user.seen_.empty()) << "no step to tell about";
    EXPECT_TRUE(run.Label(MainControl::Label6).isEmpty());

    // The exercise runs without the tutor.
    run.Window().Button(MainControl::Speed1)->click();
    ASSERT_NE(run.Chords(), nullptr);
    for (int q = 0; q < kStepQuestions + 1; ++q)
        AnswerRight(*run.Chords());
    EXPECT_TRUE(user.seen_.empty());
    EXPECT_EQ(run.program.Sessions().Of(kChords).QuestionCount,
              static_cast<std::uint32_t>(kStepQuestions + 1));
}

/// The forms of the dialogs seen, in order.
QStringList FormsSeen(const ScriptedUser& user)
{
    QStringList forms;
    for (const DialogSeen& seen : user.seen_)
        forms.push_back(seen.form);
    return forms;
}

TEST(TutorRunEndToEnd, ATutorWithoutStepsIsRefusedAndTheChooserOffersAnother)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ScriptedUser user;
    ProgramRun run(installation, prompts, user);
    ASSERT_TRUE(run.started);
    run.User().TutorFileName = QStringLiteral("Blank.tut");

    // The user is told why, and the chooser is offered; cancelled, the tutor stays off and
    // every exercise stays open.
    run.Window().Button(MainControl::SpeedButton10)->click();
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
    const QString told = prompts.asked.back().text;
    EXPECT_TRUE(told.contains(QStringLiteral("\"Blank course\" has no steps")))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("Blank.tut"))) << told.toStdString();
    EXPECT_EQ(FormsSeen(user), QStringList{QStringLiteral("ChooseTutorForm")});
    EXPECT_FALSE(run.program.State().TutorActive);
    EXPECT_FALSE(run.Window().IsDown(MainControl::SpeedButton10));
    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        EXPECT_TRUE(
            run.Window().IsEnabled(kExerciseButtons[static_cast<std::size_t>(KindNumber(kind))]));
    }
    EXPECT_TRUE(run.Label(MainControl::Label6).isEmpty());

    // Again, and in the chooser the same tutor is refused; another one is taken.
    QString titleAfterRefusal;
    user.chooserScript = [&](TChooseTutor& chooser) {
        QString pick = installation.program.File(QStringLiteral("Blank.tut"));
        chooser.SetTutorFilePicker([&pick] { return std::optional<QString>(pick); });
        chooser.BitBtn3->click();
        titleAfterRefusal = chooser.Label8->text();
        pick = installation.program.File(QStringLiteral("Chords.tut"));
        chooser.BitBtn3->click();
        SavePicture(chooser, QStringLiteral("tutor-chooser-after-refusal.png"));
        chooser.BitBtn1->click();
    };
    run.Window().Button(MainControl::SpeedButton10)->click();
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 3) << "told at the start and in the chooser";
    EXPECT_TRUE(titleAfterRefusal.isEmpty()) << titleAfterRefusal.toStdString();
    ASSERT_TRUE(run.program.State().TutorActive);
    EXPECT_EQ(run.program.State().CurrentKind, kChords);
    EXPECT_EQ(run.User().TutorFileName, QStringLiteral("Chords.tut"));
    EXPECT_EQ(FormsSeen(user).mid(1), (QStringList{QStringLiteral("ChooseTutorForm"),
                                                   QStringLiteral("TutorStepInfoForm")}));
    EXPECT_EQ(run.Label(MainControl::Label6), QStringLiteral("Question 1 of 5"));
    EXPECT_TRUE(run.Window().IsEnabled(MainControl::Speed1));
    EXPECT_FALSE(run.Window().IsEnabled(MainControl::Speed2));
}

TEST(TutorRunEndToEnd, TurningTheTutorOnOrOffInsideAnExerciseEntersItUnderTheSetupInForce)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ScriptedUser user;
    ProgramRun run(installation, prompts, user);
    ASSERT_TRUE(run.started);
    run.User().TutorFileName = QStringLiteral("Chords.tut");
    run.User().TutorSteps[0] = 2; // the step of three chords
    // The user left the tutor off when the program last closed.
    run.program.App().ProgramSettings.TutorActive = false;
    const QTimer* automatic = run.Window().AutoNewQuestTimer();

    // Without the tutor the exercise's first question comes by itself.
    run.Window().Button(MainControl::Speed1)->click();
    TAkkord* exercise = run.Chords();
    ASSERT_NE(exercise, nullptr);
    ASSERT_EQ(exercise->Model().ButtonCount, 2) << "the user's own setup";
    ASSERT_TRUE(automatic->isActive());

    // Turned on here, the step's setup is in force and its questions wait for the user.
    run.Window().Button(MainControl::SpeedButton10)->click();
    ASSERT_TRUE(run.program.State().TutorActive);
    EXPECT_EQ(run.program.State().CurrentKind, kChords);
    EXPECT_EQ(FormsSeen(user), QStringList{QStringLiteral("TutorStepInfoForm")});
    EXPECT_EQ(exercise->Model().ButtonCount, 3);
    EXPECT_EQ(exercise->Model().QuestionNoteCount, 0) << "no question of the user's setup open";
    EXPECT_FALSE(automatic->isActive()) << "no question comes by itself under the tutor";
    EXPECT_EQ(run.Label(MainControl::Label6), QStringLiteral("Question 1 of 5"));

    AnswerRight(*exercise);
    AnswerRight(*exercise);
    EXPECT_EQ(run.program.Sessions().Of(kChords).QuestionCount, 2u);
    EXPECT_FALSE(automatic->isActive());

    // Turned off here, the user's own setup is back and its first question comes by itself.
    run.Window().Button(MainControl::SpeedButton10)->click();
    ASSERT_FALSE(run.program.State().TutorActive);
    EXPECT_EQ(run.program.State().CurrentKind, kChords);
    EXPECT_EQ(exercise->Model().ButtonCount, 2);
    EXPECT_EQ(exercise->Model().QuestionNoteCount, 0) << "the step's last question is closed";
    EXPECT_TRUE(automatic->isActive());
    EXPECT_TRUE(run.Label(MainControl::Label6).isEmpty());
    EXPECT_EQ(FormsSeen(user).size(), 1);
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
}

/// One long step that asks a chord the user's own setup does not.
constexpr const char* kLongStepTutorText = R"(title = Long step
author = Teacher
description = One step of twelve questions

[step chords]
title = Major, minor and augmented
description = Three chords.
pass = 80
fallback = 40
questions = 12
items = 1, 2, 4
)";

// A step the user leaves before its end holds answers given under the tutor's setup: they are
// kept as the step's run when there are enough to store, and never counted in the user's own.
TEST(TutorRunEndToEnd, AStepLeftUnfinishedKeepsItsAnswersOutOfTheUsersOwnRun)
{
    Installation installation;
    ASSERT_TRUE(installation.AddTutor(QStringLiteral("Long.tut"), kLongStepTutorText));
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    ScriptedUser user;
    ProgramRun run(installation, prompts, user);
    ASSERT_TRUE(run.started);
    run.User().TutorFileName = QStringLiteral("Long.tut");
    run.User().TutorSteps[0] = 1;
    run.program.App().ProgramSettings.TutorActive = false;
    run.Window().Button(MainControl::Speed1)->click();
    TAkkord* exercise = run.Chords();
    ASSERT_NE(exercise, nullptr);
    const ExerciseSession& session = run.program.Sessions().Of(kChords);
    const int userId = run.User().UserId;

    struct Case
    {
        int answers;
        std::size_t storedAfter; ///< records in the result file once the tutor is off
    };
    // Too few answers to store are dropped, as at a step's end; enough are the step's run.
    for (const Case c : {Case{3, 0}, Case{6, 1}}) {
        SCOPED_TRACE(c.answers);
        run.Window().Button(MainControl::SpeedButton10)->click();
        ASSERT_TRUE(run.program.State().TutorActive);
        ASSERT_EQ(exercise->Model().ButtonCount, 3) << "the step's setup";
        for (int q = 0; q < c.answers; ++q)
            AnswerRight(*exercise);
        ASSERT_EQ(session.QuestionCount, static_cast<std::uint32_t>(c.answers));

        run.Window().Button(MainControl::SpeedButton10)->click();
        ASSERT_FALSE(run.program.State().TutorActive);
        EXPECT_EQ(exercise->Model().ButtonCount, 2) << "the user's own setup";
        EXPECT_EQ(session.QuestionCount, 0u) << "the user's own run starts empty";
        EXPECT_EQ(session.CorrectCount, 0u);
        for (int item = 1; item <= 60; ++item)
            EXPECT_EQ(session.ItemStatistics(item).Asked, 0) << item;
        test::DataFolderCopy files(installation.ProgramFolders());
        const std::vector<TResultRec> results = files.Results(userId);
        ASSERT_EQ(results.size(), c.storedAfter);
        if (!results.empty()) {
            const TResultRec& rec = results.back();
            EXPECT_EQ(rec.Count, c.answers);
            EXPECT_EQ(rec.TutorTitle, QStringLiteral("Long step"));
            EXPECT_EQ(rec.SetupName, QStringLiteral("Major, minor and augmented"));
            EXPECT_EQ(rec.TutorStep, 1);
        }
    }

    // The user's own answers count from nothing, under the user's own items only.
    AnswerRight(*exercise);
    EXPECT_EQ(session.QuestionCount, 1u);
    EXPECT_EQ(session.ItemStatistics(4).Asked, 0) << "the augmented chord is the tutor's";
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
}

TEST(TutorRunEndToEnd, TheUsersStatisticsNameTheTutorTheRecordNames)
{
    struct Case
    {
        QString stored;
        QString title;
    };
    const Case cases[] = {
        {QStringLiteral("Chords.tut"), QStringLiteral("Chord ladder")},
        {QStringLiteral("Gone.tut"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        Installation installation;
        {
            // A user of an earlier start, working with the tutor.
            test::DataFolderCopy files(installation.ProgramFolders());
            TUserRec rec = DefaultUser();
            rec.FullName = QStringLiteral("Ann Example");
            rec.TutorFileName = c.stored;
            rec.LastSetupFile = QStringLiteral("Default_level.qib");
            ASSERT_TRUE(files.WriteUserRecord(rec));
        }
        ScriptedPrompts prompts;
        ScriptedUser user;
        ProgramRun run(installation, prompts, user);
        ASSERT_TRUE(run.started);
        ASSERT_EQ(prompts.Count(QStringLiteral("text")), 0) << "the user is known";

        // Computed at the start for the welcome, and again for the results view.
        ASSERT_TRUE(run.program.App().Users.CurrentUser->Computed);
        EXPECT_EQ(run.program.App().Users.CurrentUser->TutorTitle, c.title);
        run.program.App().ProgramSettings.TutorActive = false;
        run.Window().Button(MainControl::Speed1)->click();
        run.Window().Button(MainControl::SpeedButton5)->click();
        ASSERT_EQ(run.program.State().CurrentView, MainView::Results);
        ASSERT_NE(run.program.App().ResultUser(), nullptr);
        EXPECT_EQ(run.program.App().ResultUser()->TutorTitle, c.title);
    }
}

} // namespace
} // namespace pv
