// The identification window builds its answer buttons, panels and score from the setup.
#include "exercises/base/ExerciseHost.h"
#include "exercises/identification/AkkordLayout.h"
#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/TAkkord.h"
#include "exercises/ui/TControlButton.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"
#include "support/ExerciseHostFake.h"
#include "support/ScriptedRandom.h"
#include "support/TestOutput.h"

#include <vector>

#include <QCoreApplication>
#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

std::vector<QString> VisibleCaptions(const TAkkord& window)
{
    std::vector<QString> captions;
    for (const TAkkord::AnswerButtonPair& pair : window.AnswerButtons()) {
        if (!pair.Panel->isHidden() && !pair.Button->isHidden()) {
            captions.push_back(pair.Button->text());
        }
    }
    return captions;
}

TEST(TAkkord, BuildsTheDefaultSetupsButtonsInEveryMode)
{
    const UIStringTable strings{};
    struct Case
    {
        IdentificationMode mode;
        int buttons;
        bool playStyleBar;
    };
    const Case cases[] = {
        {IdentificationMode::ChordIdentification, 2, true},
        {IdentificationMode::ChordInversions, 6, true},
        {IdentificationMode::IntervalIdentification, 4, true},
        {IdentificationMode::Scales, 2, false},
        {IdentificationMode::MelodyDictation, 0, false},
        {IdentificationMode::ChordProgressions, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        ExerciseSession session;
        TAkkord window(c.mode, session, nullptr, strings);
        window.resize(900, 640);
        window.SetAnswerInput(9);
        window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
        window.show();

        const AkkordModel& model = window.Model();
        ASSERT_EQ(model.ButtonCount, c.buttons);
        EXPECT_EQ(window.AnswerButtonsMade(), c.buttons);
        std::vector<QString> expected;
        for (int b = 1; b <= model.ButtonCount; ++b) {
            expected.push_back(model.ButtonCaption(b));
        }
        EXPECT_EQ(VisibleCaptions(window), expected);

        // The buttons stand where the grid puts them, and each item finds its own panel.
        const auto grid = LayoutAnswerGrid(window.Panel51->width(), 8, model.ButtonCount,
                                           c.mode == IdentificationMode::ChordProgressions, false);
        ASSERT_TRUE(grid.has_value());
        for (int b = 1; b <= model.ButtonCount; ++b) {
            const TAkkord::AnswerButtonPair& pair =
                window.AnswerButtons()[static_cast<std::size_t>(b - 1)];
            const LayoutRect& cell = grid->Cells[static_cast<std::size_t>(b - 1)];
            EXPECT_EQ(pair.Panel->geometry(), QRect(cell.X, cell.Y, cell.Width, cell.Height));
            EXPECT_EQ(window.PanelOfItem(model.ItemOfButton(b)), pair.Panel);
        }
        EXPECT_EQ(window.PanelOfItem(0), nullptr);
        EXPECT_EQ(window.Panel3->isVisible(), c.playStyleBar);
        EXPECT_TRUE(window.ControlButtons->Model().ButtonEnabled[0]);
        EXPECT_FALSE(window.ControlButtons->Model().ButtonEnabled[1]);
        EXPECT_EQ(window.Panel2->isVisible(), false); // names and staff: no alteration bar
        EXPECT_EQ(!window.AlterationButtons.empty(),
                  c.mode == IdentificationMode::ChordProgressions);
    }
}

TEST(TAkkord, AFewerItemSetupHidesButtonsWithoutFreeingThem)
{
    const UIStringTable strings{};
    ExerciseSession session;
    TAkkord window(IdentificationMode::ChordIdentification, session, nullptr, strings);
    window.resize(900, 640);
    ExerciseSetup setup = DefaultExerciseSetup();
    for (int i = 0; i < 9; ++i) {
        setup.ChordIdentification.ItemFlags[static_cast<std::size_t>(i)] = 1;
    }
    window.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    ASSERT_EQ(window.AnswerButtonsMade(), 9);
    QPushButton* ninth = window.AnswerButtons()[8].Button;

    setup.ChordIdentification.ItemFlags.fill(0);
    setup.ChordIdentification.ItemFlags[4] = 1;
    window.Setup(setup, BuiltInItemTables(), AkkordSettings{}, false);
    EXPECT_EQ(window.AnswerButtonsMade(), 9);
    EXPECT_EQ(window.AnswerButtons()[8].Button, ninth);
    EXPECT_EQ(VisibleCaptions(window), std::vector<QString>{QStringLiteral("sus2")});
    EXPECT_EQ(window.PanelOfItem(9), nullptr);
    EXPECT_EQ(window.PanelOfItem(5), window.AnswerButtons()[0].Panel);

    setup.ChordIdentification.ItemFlags.fill(0);
    window.Setup(setup, BuiltInItemTables(), AkkordSettings{}, false);
    EXPECT_TRUE(VisibleCaptions(window).empty());
    EXPECT_FALSE(window.SpeedButton9->isVisible());
}

TEST(TAkkord, AnswerButtonsReportTheirNumberAndMouseButton)
{
    const UIStringTable strings{};
    ExerciseSession session;
    TAkkord window(IdentificationMode::IntervalIdentification, session, nullptr, strings);
    window.resize(900, 640);
    window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    window.show();
    std::vector<std::pair<int, Qt::MouseButton>> mouse;
    std::vector<std::pair<int, int>> keys;
    QObject::connect(&window, &TAkkord::AnswerButtonMouseDown,
                     [&](int b, Qt::MouseButton m) { mouse.emplace_back(b, m); });
    QObject::connect(&window, &TAkkord::AnswerButtonKeyDown,
                     [&](int b, int k) { keys.emplace_back(b, k); });
    QPushButton* third = window.AnswerButtons()[2].Button;
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, third->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(third, &press);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QCoreApplication::sendEvent(third, &key);
    ASSERT_EQ(mouse.size(), 1u);
    EXPECT_EQ(mouse[0].first, 3);
    EXPECT_EQ(mouse[0].second, Qt::RightButton);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], (std::pair<int, int>{3, Qt::Key_Space}));
}

TEST(TAkkord, AnswerInputShowsItsPanelsAndTheProgressionAlterationBar)
{
    const UIStringTable strings{};
    ExerciseSession session;
    TAkkord window(IdentificationMode::ChordProgressions, session, nullptr, strings);
    window.resize(900, 700);
    window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    window.show();
    window.SetAnswerInput(2 | 8);
    EXPECT_FALSE(window.Panel51->isVisible());
    EXPECT_TRUE(window.Panel52->isVisible());
    EXPECT_TRUE(window.Panel55->isVisible());
    EXPECT_TRUE(window.Panel2->isVisible());
    EXPECT_EQ(window.AlterationButtons.size(), 19u);
    EXPECT_TRUE(window.AlterationButtons[0]->isVisible());
    EXPECT_TRUE(window.AlterationButtons[1]->isVisible());
    EXPECT_FALSE(window.AlterationButtons[6]->isVisible());
    // The panels fill the window from the control strip down, without overlapping.
    EXPECT_LE(window.Panel2->geometry().bottom(), window.Panel52->geometry().top());
    EXPECT_LE(window.Panel55->geometry().bottom(), window.Panel2->geometry().top());
    EXPECT_EQ(window.Panel52->geometry().bottom(), window.height() - 1);
}

TEST(TAkkord, ProgressionBarStaysClearOfTheResultLineWithoutTheStaff)
{
    const UIStringTable strings{};
    ExerciseSession session;
    TAkkord window(IdentificationMode::ChordProgressions, session, nullptr, strings);
    window.resize(900, 640);
    ExerciseSetup setup = DefaultExerciseSetup();
    for (int item : {1, 2, 3, 5, 8, 13}) {
        setup.ChordProgressions.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
    }
    window.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
    for (std::uint8_t bits : {std::uint8_t{1 | 2}, std::uint8_t{1 | 4}, std::uint8_t{1 | 2 | 4}}) {
        SCOPED_TRACE(int{bits});
        window.SetAnswerInput(bits);
        window.show();
        ASSERT_TRUE(window.Panel2->isVisible());
        const QRect resultLine(window.Label2->mapTo(&window, QPoint(0, 0)), window.Label2->size());
        EXPECT_FALSE(window.Panel2->geometry().intersects(resultLine));
        EXPECT_FALSE(window.Panel2->geometry().intersects(window.Panel51->geometry()));
        EXPECT_GE(window.Panel2->geometry().top(), window.Panel60->geometry().bottom() + 1);
        for (QWidget* panel : {window.Panel51, window.Panel52, window.Panel53}) {
            if (panel->isVisible()) {
                EXPECT_FALSE(panel->geometry().intersects(resultLine));
            }
        }
    }
    window.SetAnswerInput(1 | 2);
    // A result in the line, so the picture shows whether anything covers it.
    window.Label2->setText(QStringLiteral("Wrong: the answer was I - IV - V7 - I"));
    window.ControlButtons->Model().Captions = {QStringLiteral("New"), QStringLiteral("Repeat"),
                                               QStringLiteral("Play"), QStringLiteral("Check"),
                                               QStringLiteral("Stop")};
    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(test::TestOutputDir() +
                           QStringLiteral("akkord_progressions_buttons_piano.png")));
}

TEST(TAkkord, StyleAndToolClicksReachTheModelAndASetupShowsItsTool)
{
    const UIStringTable strings{};
    ExerciseSession session;
    TAkkord window(IdentificationMode::ChordIdentification, session, nullptr, strings);
    window.resize(900, 640);
    window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    window.show();
    window.PlayStyleButtons[2]->click();
    EXPECT_EQ(window.Model().CurrentPlayStyle, kPlayHeldDown);
    window.PlayStyleButtons[0]->click();
    EXPECT_EQ(window.Model().CurrentPlayStyle, kPlaySimultaneous);

    EXPECT_TRUE(window.SpeedButton3->isChecked());
    window.SpeedButton6->click();
    EXPECT_EQ(window.Model().EntryTool, kEntryToolDelete);
    window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, false);
    EXPECT_EQ(window.Model().EntryTool, kEntryToolAdd);
    EXPECT_TRUE(window.SpeedButton3->isChecked());
}

TEST(TAkkord, ScoreAndResetGoToTheHost)
{
    UIStringTable strings;
    strings.StrIdentFormat1 = QStringLiteral("%d / %d");
    test::FakeExerciseHost host;
    ExerciseSession session;
    TAkkord window(IdentificationMode::Scales, session, &host, strings);
    window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    EXPECT_EQ(host.gauge, 100);
    EXPECT_EQ(host.label, QStringLiteral("0 / 0"));
    window.Session().QuestionCount = 4;
    window.Session().CorrectCount = 3;
    window.ShowScore();
    EXPECT_EQ(host.gauge, 75);
    EXPECT_EQ(host.label, QStringLiteral("3 / 4"));
    window.ResetResults();
    EXPECT_EQ(host.label, QStringLiteral("0 / 0"));
}

TEST(TAkkord, RendersTheChordWindowWithItsAnswerButtons)
{
    const UIStringTable strings{};
    ExerciseSession session;
    TAkkord window(IdentificationMode::ChordIdentification, session, nullptr, strings);
    window.resize(900, 520);
    ExerciseSetup setup = DefaultExerciseSetup();
    for (int item : {1, 2, 3, 4, 7, 8, 9, 11, 13}) {
        setup.ChordIdentification.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
    }
    window.Setup(setup, BuiltInItemTables(), AkkordSettings{false, true}, true);
    window.SetAnswerInput(1 | 8);
    for (int b = 0; b < 5; ++b) {
        window.ControlButtons->Model().Captions[static_cast<std::size_t>(b)] =
            QStringList{QStringLiteral("New"), QStringLiteral("Repeat"), QStringLiteral("Play"),
                        QStringLiteral("Check"), QStringLiteral("Stop")}[b];
    }
    window.show();
    ASSERT_EQ(window.Model().ButtonCount, 9);
    EXPECT_TRUE(window.SpeedButton9->isVisible());
    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    const QString file = test::TestOutputDir() + QStringLiteral("akkord_chords.png");
    EXPECT_TRUE(image.save(file));
}

TEST(TAkkord, TheKeyUnderTheStaffIsNamedWithTheChordItemsNames)
{
    // A language file renames the major and minor chords; the key name follows them.
    ItemTables items = BuiltInItemTables();
    items.ChordIdentification.Names[0] = QStringLiteral("Dur");
    items.ChordIdentification.Names[1] = QStringLiteral("Moll");
    const UIStringTable strings{};
    for (IdentificationMode mode :
         {IdentificationMode::ChordIdentification, IdentificationMode::MelodyDictation}) {
        SCOPED_TRACE(static_cast<int>(mode));
        ExerciseSession session;
        TAkkord window(mode, session, nullptr, strings);
        window.Setup(DefaultExerciseSetup(), items, AkkordSettings{}, true);
        TSheet& sheet = window.Sheet();
        sheet.SetMode(0);
        EXPECT_TRUE(sheet.KeyName().endsWith(QStringLiteral("-dur")))
            << sheet.KeyName().toStdString();
        sheet.SetMode(1);
        EXPECT_TRUE(sheet.KeyName().endsWith(QStringLiteral("-moll")))
            << sheet.KeyName().toStdString();
    }
}

TEST(TAkkord, EachTipButtonFollowsItsOwnBitOfTheTipsMask)
{
    // The answer area's tip is the one its mode names; the staff's is tip 1.
    const std::pair<IdentificationMode, int> modes[] = {
        {IdentificationMode::IntervalIdentification, 2},
        {IdentificationMode::ChordIdentification, 3},
        {IdentificationMode::Scales, 4},
    };
    for (const auto& [mode, answerTip] : modes) {
        SCOPED_TRACE(answerTip);
        const UIStringTable strings{};
        ExerciseSession session;
        TAkkord window(mode, session, nullptr, strings);
        window.resize(900, 520);
        window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{false, true},
                     true);
        window.SetAnswerInput(1 | 8);
        window.show();
        QCoreApplication::processEvents();
        ASSERT_TRUE(window.SpeedButton9->isVisible());
        ASSERT_TRUE(window.SpeedButton10->isVisible());
        EXPECT_EQ(window.SpeedButton9->property("Tag").toInt(), answerTip);

        const std::uint32_t all = 255;
        window.ApplyTipsMask(all & ~(1U << (answerTip - 1)));
        EXPECT_FALSE(window.SpeedButton9->isVisible());
        EXPECT_TRUE(window.SpeedButton10->isVisible());
        window.ApplyTipsMask(all & ~1U);
        EXPECT_TRUE(window.SpeedButton9->isVisible());
        EXPECT_FALSE(window.SpeedButton10->isVisible());
        // A setup applied later reads the mask it is given.
        AkkordSettings hidden{false, true};
        hidden.TipsMask = 0;
        window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), hidden, false);
        EXPECT_FALSE(window.SpeedButton9->isVisible());
        EXPECT_FALSE(window.SpeedButton10->isVisible());
        window.ApplyTipsMask(all);
        EXPECT_TRUE(window.SpeedButton9->isVisible());
        EXPECT_TRUE(window.SpeedButton10->isVisible());
    }
}

void PressKey(QWidget& window, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &release);
}

void Click(QPushButton* button, Qt::MouseButton mouse)
{
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), mouse, mouse,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), mouse,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

QColor PanelColour(const TAkkord& window, int button)
{
    return window.AnswerButtons()[static_cast<std::size_t>(button - 1)].Panel->palette().color(
        QPalette::Window);
}

// A user puts a C major question (F5), right-clicks "Major", puts an A minor question and
// right-clicks "Major" again, then puts a third question and answers it with notes and F8.
TEST(TAkkord, UserAnswersByButtonsAndByNotes)
{
    UIStringTable strings{};
    strings.StrScore = QStringLiteral("Right");
    strings.StrIdentText3 = QStringLiteral("Wrong:");
    strings.StrIdentFormat1 = QStringLiteral("%d of %d right");
    test::FakeExerciseHost host;
    ExerciseSession session;
    TAkkord window(IdentificationMode::ChordIdentification, session, &host, strings);
    // Roots 53 + 7 (C) and 53 + 7 again (minor: A); items Major, Minor, Major.
    test::ScriptedRandom random({7, 0, 0, 7, 0, 1, 0, 0, 0});
    window.Model().SetRandom(random);
    window.resize(900, 640);
    window.Setup(DefaultExerciseSetup(), BuiltInItemTables(), AkkordSettings{}, true);
    window.SetAnswerInput(1 | 8);
    for (int b = 0; b < 5; ++b) {
        window.ControlButtons->Model().Captions[static_cast<std::size_t>(b)] =
            QStringList{QStringLiteral("New"), QStringLiteral("Repeat"), QStringLiteral("Play"),
                        QStringLiteral("Check"), QStringLiteral("Stop")}[b];
    }
    window.show();
    const QColor face = window.palette().color(QPalette::Button);

    PressKey(window, Qt::Key_F5);
    ASSERT_FALSE(window.Session().Answered);
    EXPECT_EQ(window.Model().QuestionRoot, 60);
    Click(window.AnswerButtons()[0].Button, Qt::RightButton);
    EXPECT_EQ(window.Label2->text(), QStringLiteral("Right: C Major"));
    EXPECT_FALSE(window.Image13->isHidden());
    EXPECT_EQ(PanelColour(window, 1), QColor(0, 255, 0));
    EXPECT_EQ(host.label, QStringLiteral("1 of 1 right"));
    EXPECT_EQ(host.gauge, 100);
    // The blink ends in the normal colour.
    for (int tick = 0; tick < 4; ++tick) {
        QMetaObject::invokeMethod(window.BlinkTimer(), "timeout");
    }
    EXPECT_EQ(PanelColour(window, 1), face);
    EXPECT_FALSE(window.BlinkTimer()->isActive());

    PressKey(window, Qt::Key_F5);
    ASSERT_EQ(window.Model().QuestionItem, 2);
    Click(window.AnswerButtons()[0].Button, Qt::RightButton);
    EXPECT_EQ(window.Label2->text(), QStringLiteral("Wrong: A Minor"));
    EXPECT_TRUE(window.Image13->isHidden());
    EXPECT_EQ(PanelColour(window, 1), QColor(255, 0, 0));
    EXPECT_EQ(PanelColour(window, 2), QColor(0, 255, 0));
    EXPECT_TRUE(window.BlinkTimer()->isActive());
    EXPECT_EQ(host.label, QStringLiteral("1 of 2 right"));
    EXPECT_EQ(host.gauge, 50);
    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(test::TestOutputDir() + QStringLiteral("akkord_wrong_answer.png")));

    PressKey(window, Qt::Key_F5);
    EXPECT_EQ(PanelColour(window, 1), face);
    ASSERT_EQ(window.Model().QuestionItem, 1);
    const int root = window.Model().QuestionRoot;
    for (int step : {0, 4, 7}) {
        window.Model().EnterNote(TPitch{static_cast<std::int8_t>(root + step), std::int8_t{0}},
                                 false);
    }
    PressKey(window, Qt::Key_F8);
    EXPECT_TRUE(window.Session().Answered);
    EXPECT_TRUE(window.Label2->text().startsWith(QStringLiteral("Right: ")));
    EXPECT_EQ(window.Session().QuestionCount, 3u);
    EXPECT_EQ(window.Session().CorrectCount, 2u);
    EXPECT_EQ(window.Session().Items[1].Asked, 2);
    EXPECT_EQ(window.Session().Items[1].Right, 2);
    EXPECT_EQ(window.Session().Items[2].Asked, 1);
    EXPECT_EQ(window.Session().Items[2].Right, 0);
    EXPECT_EQ(host.label, QStringLiteral("2 of 3 right"));
}

TEST(TAkkord, BebopScalesClickedAsAnswersAreWrittenOnTheirDegreesLetters)
{
    // A bebop scale asked on a fixed root and then clicked among the answer buttons: the staff
    // and the result line show it on the letters of its key, the added note respelled only
    // where it would take a double accidental.
    struct Case
    {
        const char* picture;
        int pitchClass;
        int item;
        const char* names;
    };
    const Case cases[] = {
        {"scale_major_bebop_on_g_flat.png", 6, 15, "Gb Ab Bb Cb Db D Eb F Gb"},
        {"scale_dominant_bebop_on_f_sharp.png", 11, 16, "F# G# A# B C# D# E E# F#"},
        {"scale_dorian_bebop_on_c_sharp.png", 11, 17, "C# D# E F# G# A# B B# C#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        const UIStringTable strings{};
        test::FakeExerciseHost host;
        ExerciseSession session;
        TAkkord window(IdentificationMode::Scales, session, &host, strings);
        test::ScriptedRandom random({0});
        window.Model().SetRandom(random);
        window.resize(1000, 640);
        ExerciseSetup setup = DefaultExerciseSetup();
        setup.Scales.ItemFlags.fill(0);
        setup.Scales.ItemFlags[static_cast<std::size_t>(c.item - 1)] = 1;
        setup.Scales.ShowKeySignature = 1;
        setup.Scales.RootMovement = static_cast<std::uint8_t>(11 + c.pitchClass);
        window.Setup(setup, BuiltInItemTables(), AkkordSettings{}, true);
        window.show();
        window.NewQuestion();

        QPushButton* button = window.AnswerButtons()[0].Button;
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &press);
        QCoreApplication::processEvents();

        const AkkordModel& m = window.Model();
        QStringList names;
        for (std::size_t k = 0; k < m.EnteredCount; ++k)
            names << NoteName(m.EnteredNotes[k].Pitch);
        EXPECT_EQ(names.join(QLatin1Char(' ')).toStdString(), c.names);
        EXPECT_TRUE(window.Label2->text().simplified().startsWith(QString::fromLatin1(c.names)))
            << window.Label2->text().toStdString();
        EXPECT_TRUE(
            window.grab().toImage().save(test::TestOutputDir() + QString::fromLatin1(c.picture)));
    }
}

} // namespace
} // namespace pv
