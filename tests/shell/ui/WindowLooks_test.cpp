// What a student sees in the whole program at 1600 x 1000: the welcome line, the tempo's note
// sign, the identification windows' staves and labels, the rhythm windows' first line and a
// tutor step's texts, each with a picture in the test-output folder.
#include "ProgramTestSupport.h"
#include "TestInstallation.h"
#include "exercises/identification/AkkordStaff.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/ui/AkkordStaffBox.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TRhythmWindow.h"
#include "music/staff/Sheet.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/tutor/ChooseTutorModel.h"
#include "shell/tutor/ui/TutorDialogs.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdlib>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::RunUntil;
using test::SavePicture;
using test::ScriptedPrompts;
using test::TempDir;

/// The shared installation laid out as the build ships it, the English tutor included.
class Installation : public test::Installation
{
public:
    Installation()
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(PELLIVARK_ENGLISH_TUT),
                                program.File(QStringLiteral("English.tut"))));
    }
};

/// The texts of the dialogs the program showed, each closed with its first button.
struct DialogsSeen
{
    int Run(QDialog& dialog)
    {
        dialog.resize(dialog.sizeHint());
        dialog.show();
        QCoreApplication::processEvents();
        for (QLabel* label : dialog.findChildren<QLabel*>())
            texts.push_back(label->text());
        SavePicture(dialog, dialog.objectName() + QStringLiteral(".png"));
        forms.push_back(dialog.objectName());
        dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        return dialog.result();
    }

    QStringList forms;
    QStringList texts;
};

class ProgramRun
{
public:
    ProgramRun(const Installation& installation, ScriptedPrompts& prompts, DialogsSeen& dialogs)
        : program(Options(installation, prompts, dialogs))
    {
        program.SetChooseTutor([] { return kNoTutorChosen; });
        program.MainWindow().resize(1600, 1000);
        program.MainWindow().show();
        started = RunUntil([this] { return !program.Model().FirstShowPending && splashHidden; });
    }

    ProgramOptions Options(const Installation& installation, ScriptedPrompts& prompts,
                           DialogsSeen& dialogs)
    {
        ProgramOptions options{installation.ProgramFolders(),
                               {},
                               &prompts,
                               false,
                               test::FakeDevicesWithoutSoundFont(),
                               [this] { splashHidden = true; }};
        options.RunDialog = [&dialogs](QDialog& dialog) { return dialogs.Run(dialog); };
        return options;
    }

    TPellivarkMain& Window() { return program.MainWindow(); }

    /// Opens a kind from the start menu, as the user's click does.
    TExerciseBaseClass* Open(ExerciseKind kind)
    {
        program.StartMenu().KindButton(kind)->click();
        QCoreApplication::processEvents();
        return program.Exercises().Window(kind);
    }

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

TEST(WindowLooks, TheWelcomeLineGreetsByNameAndTheTempoShowsItsNoteSign)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    DialogsSeen dialogs;
    ProgramRun run(installation, prompts, dialogs);
    ASSERT_TRUE(run.started);

    const std::optional<QString> welcome = run.program.StartMenuService().WelcomeLine();
    ASSERT_TRUE(welcome.has_value());
    EXPECT_EQ(*welcome, QStringLiteral("Welcome, Ann Example"));
    // The bold lines after it are headings of their own: none is the first line of a paragraph
    // whose next line continues it in normal type.
    const QStringList& lines = run.program.StartMenu().Model().Descriptions;
    ASSERT_GE(lines.size(), 4);
    for (int i = 1; i < 3; ++i)
        EXPECT_TRUE(lines[i].endsWith(QLatin1Char(',')) || lines[i].endsWith(QLatin1Char('.')) ||
                    lines[i].back().isDigit())
            << lines[i].toStdString();
    SavePicture(run.Window(), QStringLiteral("looks-start-menu.png"));

    // "♩ = 90": the note sign is a picture with ink in it, the label beside it the tempo.
    auto* sign = run.Window().findChild<QLabel*>(QStringLiteral("TempoNoteSign"));
    ASSERT_NE(sign, nullptr);
    const QImage picture = sign->pixmap().toImage();
    ASSERT_FALSE(picture.isNull());
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            inked += qAlpha(picture.pixel(x, y)) > 128 ? 1 : 0;
    EXPECT_GT(inked, 20) << "the sign is drawn";
    EXPECT_TRUE(run.Window().Label(MainControl::Label8)->text().startsWith(QStringLiteral("= ")));
    // The tempo's tool bar is shown with an exercise.
    ASSERT_NE(run.Open(ExerciseKind::ChordIdentification), nullptr);
    EXPECT_TRUE(sign->isVisibleTo(&run.Window()));
    SavePicture(run.Window(), QStringLiteral("looks-tempo.png"));
}

/// A wrong answer entered on the staff: the question's notes moved, or the given low run.
void AnswerWrongOnTheStaff(TAkkord& window, const std::vector<int>& run)
{
    AkkordModel& model = window.Model();
    model.ClearEnteredNotes();
    if (run.empty()) {
        for (std::size_t k = 0; k < model.QuestionNoteCount; ++k)
            model.EnterNote({static_cast<std::int8_t>(model.QuestionNotes[k].Pitch.Note + 1), 0},
                            false);
    } else {
        for (int pitch : run)
            model.EnterNote({static_cast<std::int8_t>(pitch), 0}, false);
    }
    Key(&window, Qt::Key_F8);
    QCoreApplication::processEvents();
}

TEST(WindowLooks, IdentificationStavesAreCentredAndTheirLabelsCoverNothing)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    DialogsSeen dialogs;
    ProgramRun run(installation, prompts, dialogs);
    ASSERT_TRUE(run.started);

    struct Case
    {
        const char* name;
        ExerciseKind kind;
        std::vector<int> run; ///< entered notes; empty: the question's, a semitone higher
    };
    const Case cases[] = {
        {"chords", ExerciseKind::ChordIdentification, {}},
        {"inversions", ExerciseKind::ChordInversions, {}},
        {"scales reaching under the bass staff", ExerciseKind::Scales, {45, 43, 41, 40, 38, 36}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* window = dynamic_cast<TAkkord*>(run.Open(c.kind));
        ASSERT_NE(window, nullptr);
        TAkkordStaffBox& box = window->StaffBox();
        const TSheet& sheet = window->Sheet();

        // Before any question the empty staves stand in the middle of their box.
        const auto middleOfStaves = [&] {
            return sheet.Top() + (8 * sheet.LineSpacing() + sheet.StaffGap()) / 2;
        };
        ASSERT_GT(box.height(), 400) << "a large box at 1600 x 1000";
        EXPECT_LE(std::abs(middleOfStaves() - box.height() / 2), box.height() / 10);

        Key(window, Qt::Key_F5);
        ASSERT_NE(window->Model().QuestionItem, 0);
        AnswerWrongOnTheStaff(*window, c.run);
        ASSERT_TRUE(window->Model().Session().Answered);
        ASSERT_FALSE(window->Model().LastAnswerRight);
        const AkkordStaffPicture& picture = box.Layout();
        SavePicture(
            run.Window(),
            QStringLiteral("looks-%1.png").arg(QString::fromLatin1(c.name).section(' ', 0, 0)));
        EXPECT_LE(std::abs(middleOfStaves() - box.height() / 2), box.height() / 10);

        const int L = sheet.LineSpacing();
        const int bottom = sheet.Top() + 8 * L + sheet.StaffGap();
        const QRect inside(0, 0, box.width(), box.height());
        ASSERT_EQ(picture.Labels.size(), 2U);
        const AkkordModel& model = window->Model();
        const int shown = model.DisplayedNoteCount;
        for (std::size_t i = 0; i < picture.Labels.size(); ++i) {
            const QRect& frame = picture.Labels[i].Frame;
            EXPECT_TRUE(inside.contains(frame)) << i;
            // Under the staves (their key signatures too) and under every head.
            EXPECT_GT(frame.top(), bottom) << i;
            for (int k = 0; k < shown; ++k)
                EXPECT_GT(frame.top(), model.EnteredNotes[static_cast<std::size_t>(k)].Y + L / 2);
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(frame.intersects(picture.Labels[j].Frame));
        }
        // Step sizes: none on the bass staff or on a head, none under a label.
        const int bassTop = sheet.Top() + 4 * L + sheet.StaffGap();
        for (const StaffText& step : picture.StepSizes.Texts) {
            SCOPED_TRACE(step.Text.toStdString());
            EXPECT_FALSE(step.At.y() >= bassTop - L / 2 && step.At.y() <= bottom + L / 2);
            for (int k = 0; k < shown; ++k) {
                const TNoteRec& note = model.EnteredNotes[static_cast<std::size_t>(k)];
                EXPECT_FALSE(std::abs(step.At.x() - note.X) < 8 &&
                             std::abs(step.At.y() - note.Y) < L);
            }
            for (const StaffLabel& label : picture.Labels)
                EXPECT_FALSE(label.Frame.contains(step.At));
        }
        if (c.kind == ExerciseKind::Scales) {
            EXPECT_FALSE(picture.StepSizes.Texts.empty());
        }
    }
}

TEST(WindowLooks, ProgressionLabelsAndTheirMarkStandUnderTheCentredStaves)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    DialogsSeen dialogs;
    ProgramRun run(installation, prompts, dialogs);
    ASSERT_TRUE(run.started);
    auto* window = dynamic_cast<TAkkord*>(run.Open(ExerciseKind::ChordProgressions));
    ASSERT_NE(window, nullptr);
    Key(window, Qt::Key_F5);
    ASSERT_NE(window->Model().QuestionItem, 0);
    // The first tone gives the first chord away: its column is labelled and marked.
    window->Model().EnterFirstTone();
    const AkkordStaffPicture& picture = window->StaffBox().Layout();
    SavePicture(run.Window(), QStringLiteral("looks-progressions.png"));
    ASSERT_FALSE(picture.Compact);
    ASSERT_FALSE(picture.Labels.empty());
    ASSERT_TRUE(picture.SelectionMark.has_value());
    const TSheet& sheet = window->Sheet();
    const int L = sheet.LineSpacing();
    const int bottom = sheet.Top() + 8 * L + sheet.StaffGap();
    const int height = window->StaffBox().height();
    EXPECT_LE(std::abs((sheet.Top() + bottom) / 2 - height / 2), height / 10);
    int labelsBottom = bottom;
    for (const StaffLabel& label : picture.Labels) {
        EXPECT_GT(label.Frame.top(), bottom);
        labelsBottom = std::max(labelsBottom, label.Frame.bottom());
    }
    // The mark points up at its column's labels from just under them.
    EXPECT_GT(picture.SelectionMark->top(), labelsBottom);
    EXPECT_LT(picture.SelectionMark->top(), labelsBottom + 2 * L);
}

TEST(WindowLooks, TheRhythmWindowsFirstLineNamesTheButtonThatStarts)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    DialogsSeen dialogs;
    ProgramRun run(installation, prompts, dialogs);
    ASSERT_TRUE(run.started);
    for (ExerciseKind kind : {ExerciseKind::RhythmImitation, ExerciseKind::RhythmReading}) {
        SCOPED_TRACE(KindNumber(kind));
        auto* window = dynamic_cast<TRhythmWindow*>(run.Open(kind));
        ASSERT_NE(window, nullptr);
        const QString line = window->Label4->text();
        const ControlStripModel& strip = window->ControlButtons->Model();
        int named = 0;
        for (int b = 0; b < static_cast<int>(strip.Captions.size()); ++b) {
            QString caption = strip.Captions[static_cast<std::size_t>(b)];
            caption.remove(QLatin1Char('&'));
            if (caption.isEmpty() || !line.contains(caption))
                continue;
            ++named;
            EXPECT_TRUE(strip.IsEnabled(b)) << line.toStdString() << " names a disabled button";
        }
        EXPECT_EQ(named, 1) << line.toStdString();
        SavePicture(run.Window(), QStringLiteral("looks-rhythm-%1.png").arg(KindNumber(kind)));
    }
}

TEST(WindowLooks, ATutorStepTellsItsDescriptionAndItsExtraTextAsSentences)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann Example")};
    DialogsSeen dialogs;
    ProgramRun run(installation, prompts, dialogs);
    ASSERT_TRUE(run.started);
    TUserRec& user = run.program.App().Users.CurrentUser->Record;
    user.TutorFileName = QStringLiteral("English.tut");
    user.TutorSteps.fill(1);

    run.Window().Button(MainControl::SpeedButton10)->click();
    ASSERT_TRUE(run.program.State().TutorActive);
    ASSERT_TRUE(dialogs.forms.contains(QStringLiteral("TutorStepInfoForm")));
    // The first chord step: its description, then its extra text on a line of its own.
    const auto text =
        std::find_if(dialogs.texts.begin(), dialogs.texts.end(), [](const QString& t) {
            return t.startsWith(QStringLiteral("Tell the bright major triad"));
        });
    ASSERT_NE(text, dialogs.texts.end());
    const QRegularExpression runOn(QStringLiteral("[.!?;:,][A-Za-z]"));
    EXPECT_FALSE(runOn.match(*text).hasMatch()) << text->toStdString();
    EXPECT_TRUE(text->contains(QStringLiteral("triad.\nThe two chords")));
    // The step line names the step and the tutor in paired straight quotes.
    const QString step = run.Window().Label(MainControl::Label2)->text();
    EXPECT_EQ(step.count(QLatin1Char('"')), 4) << step.toStdString();
    SavePicture(run.Window(), QStringLiteral("looks-tutor.png"));
}

} // namespace
} // namespace pv
