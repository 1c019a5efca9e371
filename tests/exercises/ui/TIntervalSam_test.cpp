// The interval comparison window as a user meets it: questions put and answered with the
// function keys, the letters and the big buttons, with the counters, texts and colours shown.
#include "exercises/base/ExerciseHost.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TIntervalSam.h"
#include "music/sequencer/SequencerNotifyEvent.h"
#include "music/strings/UIStrings.h"
#include "support/ExerciseHostFake.h"
#include "support/ScriptedRandom.h"
#include "support/TestOutput.h"

#include <vector>

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace pv {
namespace {

UIStringTable Strings()
{
    UIStringTable strings;
    strings.StrComparisonText = QStringLiteral("Which interval is larger, A or B?");
    strings.StrScore = QStringLiteral("Right");
    strings.StrComparisonText2 = QStringLiteral("Wrong. The larger interval is marked in green.");
    strings.StrIdentFormat1 = QStringLiteral("Score: %d of %d");
    return strings;
}

void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &release);
}

void Notify(QObject* window, std::uint16_t code)
{
    SequencerNotifyEvent event(code, 0);
    QCoreApplication::sendEvent(window, &event);
}

QColor Colour(const QFrame* panel)
{
    return panel->palette().color(QPalette::Window);
}

const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

struct Window
{
    // Questions alternate: B larger ("3-" then "5"), A larger ("5" then "3-"); each takes five
    // draws (root A, root B, play style, item A, item B).
    Window() : random({0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0})
    {
        window.Model().SetRandom(random);
        ExerciseSetup setup = DefaultExerciseSetup();
        OptionBlock& block = setup.IntervalComparison;
        block.ItemFlags.fill(0);
        block.ItemFlags[3] = 1; // "3-"
        block.ItemFlags[7] = 1; // "5"
        block.PlayStyles = {1, 0, 0};
        block.ShowKeySignature = 0;
        window.SetupIntervalCompare(setup, BuiltInItemTables(), {}, true);
        window.resize(700, 420);
        window.show();
        face = window.palette().color(QPalette::Button);
    }

    /// F5, then the sequencer reports the ends of A, of B and of the playback.
    void AskAndPlay()
    {
        Key(&window, Qt::Key_F5);
        ASSERT_FALSE(window.Session().Answered);
        EXPECT_EQ(Colour(window.Panel1), kYellow) << "A plays";
        EXPECT_EQ(window.Label1->text(), strings.StrComparisonText);
        EXPECT_EQ(window.Button1->text(), QStringLiteral("&A"));
        EXPECT_EQ(window.Button2->font().pointSize(), kAnswerLetterPointSize);
        Notify(&window, 41);
        EXPECT_EQ(Colour(window.Panel1), face);
        EXPECT_EQ(Colour(window.Panel2), kYellow) << "B plays";
        Notify(&window, 42);
        Notify(&window, 45);
        EXPECT_EQ(Colour(window.Panel2), face);
    }

    void ExpectResult(bool right, CompareChoice larger, std::uint32_t asked, std::uint32_t correct)
    {
        const bool largerIsA = larger == CompareChoice::A;
        EXPECT_EQ(window.Session().QuestionCount, asked);
        EXPECT_EQ(window.Session().CorrectCount, correct);
        EXPECT_EQ(host.label, QStringLiteral("Score: %1 of %2").arg(correct).arg(asked));
        EXPECT_EQ(window.Label1->text(), right ? strings.StrScore : strings.StrComparisonText2);
        EXPECT_EQ(window.Image13->isVisible(), right);
        EXPECT_EQ(Colour(largerIsA ? window.Panel1 : window.Panel2), kGreen);
        EXPECT_EQ(Colour(largerIsA ? window.Panel2 : window.Panel1), right ? face : kRed);
        // The buttons name what was played.
        EXPECT_EQ(window.Button1->text(), largerIsA ? QStringLiteral("5") : QStringLiteral("3-"));
        EXPECT_EQ(window.Button2->text(), largerIsA ? QStringLiteral("3-") : QStringLiteral("5"));
        EXPECT_EQ(window.Button1->font().pointSize(), kAnswerNamePointSize);
        EXPECT_TRUE(window.BlinkTimer()->isActive());
    }

    UIStringTable strings = Strings();
    test::FakeExerciseHost host;
    test::ScriptedRandom random;
    ExerciseSession session;
    TIntervalSam window{session, &host, strings};
    QColor face;
};

TEST(TIntervalSam, TheStripCarriesTheLettersAndOnlyNewQuestionWorksAfterTheSetup)
{
    Window w;
    const ControlStripModel& strip = w.window.ControlButtons->Model();
    EXPECT_EQ(strip.Captions[2], QStringLiteral("A"));
    EXPECT_EQ(strip.Captions[3], QStringLiteral("B"));
    const std::array<bool, 5> enabled = {true, false, false, false, false};
    for (std::size_t b = 0; b < 5; ++b)
        EXPECT_EQ(strip.ButtonEnabled[b], enabled[b]) << b;
    EXPECT_EQ(strip.FocusIndex, 0);
    // The frame stays centred.
    for (int width : {700, 900}) {
        w.window.resize(width, 420);
        EXPECT_EQ(w.window.Panel4->x(), (width - w.window.Panel4->width()) / 2);
    }
    // Entering before any question arms the automatic question although the settings do not.
    w.window.EnterExercise();
    EXPECT_EQ(w.host.autoTimer.back(), true);
    EXPECT_EQ(w.host.label, QStringLiteral("Score: 0 of 0"));
}

TEST(TIntervalSam, UserAnswersAAndBByKeysAndButtons)
{
    Window w;
    TIntervalSam& window = w.window;

    // 1: B is larger, answered with F8.
    w.AskAndPlay();
    const ControlStripModel& strip = window.ControlButtons->Model();
    EXPECT_TRUE(strip.ButtonEnabled[2]);
    EXPECT_TRUE(strip.ButtonEnabled[3]);
    EXPECT_EQ(strip.FocusIndex, 1);
    Key(&window, Qt::Key_F8);
    w.ExpectResult(true, CompareChoice::B, 1, 1);
    EXPECT_TRUE(window.grab().save(test::TestOutputDir() + QStringLiteral("comparison-right.png")));

    // 2: A is larger, answered with the letter B.
    w.AskAndPlay();
    EXPECT_FALSE(w.window.BlinkTimer()->isActive()) << "a new question stops the blink";
    Key(&window, Qt::Key_B);
    w.ExpectResult(false, CompareChoice::A, 2, 1);
    EXPECT_TRUE(window.grab().save(test::TestOutputDir() + QStringLiteral("comparison-wrong.png")));
    // Clicking a button now plays its interval again and scores nothing.
    window.Button1->click();
    EXPECT_EQ(window.Session().QuestionCount, 2U);

    // 3: B is larger, answered by clicking B while B still plays.
    Key(&window, Qt::Key_F5);
    Notify(&window, 41);
    window.Button2->click();
    Notify(&window, 42);
    Notify(&window, 45);
    w.ExpectResult(true, CompareChoice::B, 3, 2);

    // 4: A is larger, answered with Alt and the letter A.
    w.AskAndPlay();
    Key(&window, Qt::Key_A, Qt::AltModifier);
    w.ExpectResult(true, CompareChoice::A, 4, 3);
    EXPECT_EQ(w.host.gauge, 75);

    // Other keys go back to the main window.
    Key(&window, Qt::Key_C);
    EXPECT_EQ(w.host.keysHandedBack, std::vector<int>{Qt::Key_C});

    // The results reset clears the counts and the text.
    window.ResetResults();
    EXPECT_EQ(w.host.label, QStringLiteral("Score: 0 of 0"));
    EXPECT_TRUE(window.Label1->text().isEmpty());
    EXPECT_FALSE(window.Image13->isVisible());
}

} // namespace
} // namespace pv
