// The start menu and the splash window as a user sees them: pictures of the welcome text, a
// hovered kind, the kind pictures and the splash go to the test-output folder; the buttons carry
// their kinds, and the pointer over them reaches the model.
#include "music/files/SettingsRecord.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "shell/startmenu/ProgramVersion.h"
#include "shell/startmenu/StartMenuIntro.h"
#include "shell/startmenu/ui/KindPicture.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/startmenu/ui/TVelkommen.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TempDir.h"
#include "support/TestOutput.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

const char* const kKindNames[10] = {
    "Chord identification", "Interval identification", "Interval comparison", "Rhythm imitation",
    "Rhythm reading",       "Rhythm error detection",  "Chord inversions",    "Scales",
    "Melody dictation",     "Chord progressions"};

QString Caption(ExerciseKind kind)
{
    return QString::fromLatin1(kKindNames[KindNumber(kind) - 1]);
}

QString Description(ExerciseKind kind)
{
    if (kind == ExerciseKind::ChordIdentification)
        return QStringLiteral("A chord is played. Name its type: major, minor, diminished, "
                              "augmented or one of the seventh chords. Choose which chords "
                              "you want to hear in the exercise setup, and start with a few "
                              "that sound clearly different.");
    return Caption(kind) + QStringLiteral(": a short description of what the exercise asks.");
}

/// The loader's way of filling the welcome text.
void FillWelcome(StartMenuModel& model)
{
    model.ClearDescriptions();
    model.AddLine(QStringLiteral("Welcome to Pellivark Pro 4.0"));
    model.AddLine(QStringLiteral("Ear training for musicians"));
    model.AddLine(QString());
    model.AddDescription(QStringLiteral(
        "Pellivark trains your ear with ten kinds of exercises: chords, intervals, rhythms, "
        "scales, melodies and chord progressions."));
    model.AddLine(QString());
    model.AddDescription(QStringLiteral(
        "Rest the pointer on a button to read about its exercise, and click it to begin."));
    model.MarkScrollStop();
    model.AddDescription(QStringLiteral("Good luck, and enjoy the music!"));
}

void MoveOver(QWidget* widget)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

class TMenuDialogTest : public ::testing::Test
{
protected:
    TMenuDialog::Context Context(QStringList arguments = {QStringLiteral("pellivark")})
    {
        TMenuDialog::Context context;
        context.KindClicked = [this](int tag) { clicked.push_back(tag); };
        context.KindCaption = Caption;
        context.KindDescription = Description;
        context.Arguments = std::move(arguments);
        return context;
    }

    std::vector<int> clicked;
};

TEST_F(TMenuDialogTest, EachKindHasItsNamedButtonAndAClickSendsItsKind)
{
    TMenuDialog menu(Context());
    const char* names[10] = {"SpeedButton10", "SpeedButton9", "SpeedButton5",  "SpeedButton8",
                             "SpeedButton11", "SpeedButton7", "SpeedButton14", "SpeedButton12",
                             "SpeedButton6",  "SpeedButton13"};
    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        QToolButton* button = menu.KindButton(kind);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->objectName(), QString::fromLatin1(names[KindNumber(kind) - 1]));
        button->click();
        ASSERT_FALSE(clicked.empty());
        EXPECT_EQ(clicked.back(), KindNumber(kind));
    }
    EXPECT_EQ(menu.KindButton(static_cast<ExerciseKind>(11)), nullptr);
}

TEST_F(TMenuDialogTest, ThePointerOnAButtonShowsItsKindAndOnThePanelTheWelcomeAgain)
{
    TMenuDialog menu(Context());
    FillWelcome(menu.Model());
    menu.resize(menu.Panel1()->size());
    menu.show();
    menu.Start();
    EXPECT_TRUE(menu.ScrollTimerRunning());
    for (int i = 0; i < 40; ++i)
        menu.Timer1Timer();
    const int scrollY = menu.Model().ScrollY;

    MoveOver(menu.KindButton(ExerciseKind::ChordIdentification));
    EXPECT_EQ(menu.Model().HoverKind, 1);
    EXPECT_FALSE(menu.ScrollTimerRunning());
    EXPECT_GT(menu.Model().HoverLines.size(), 2) << "the description is wrapped";
    for (const QString& line : menu.Model().HoverLines)
        EXPECT_LE(menu.fontMetrics().horizontalAdvance(line), menu.PaintBox1()->width());
    const QImage hover = menu.grab().toImage();
    EXPECT_TRUE(hover.save(test::TestOutputDir() + QStringLiteral("start_menu_hover.png")));

    MoveOver(menu.PaintBox1());
    EXPECT_EQ(menu.Model().HoverKind, 1) << "reading the description keeps it";
    MoveOver(menu.Panel1());
    EXPECT_EQ(menu.Model().HoverKind, 0);
    EXPECT_TRUE(menu.ScrollTimerRunning());
    EXPECT_EQ(menu.Model().ScrollY, scrollY);
}

TEST_F(TMenuDialogTest, TheWelcomeTextScrollsAndStopsWithItsLastTextAtTheTop)
{
    TMenuDialog menu(Context());
    FillWelcome(menu.Model());
    menu.resize(menu.Panel1()->size());
    menu.show();
    menu.Start();
    // Half way up: a picture of the text on its way.
    for (int i = 0; i < menu.PaintBox1()->height() / 2 - 20; ++i)
        menu.Timer1Timer();
    EXPECT_TRUE(menu.grab().toImage().save(test::TestOutputDir() +
                                           QStringLiteral("start_menu_welcome.png")));
    int ticks = 0;
    while (menu.ScrollTimerRunning() && ticks++ < 100000)
        menu.Timer1Timer();
    EXPECT_FALSE(menu.ScrollTimerRunning());
    EXPECT_EQ(menu.Model().Descriptions.at(menu.Model().FirstLine),
              QStringLiteral("Good luck, and enjoy the music!"));
    EXPECT_TRUE(menu.grab().toImage().save(test::TestOutputDir() +
                                           QStringLiteral("start_menu_scrolled.png")));
}

TEST_F(TMenuDialogTest, WithPlusTheWelcomeTextStaysUnderEveryButton)
{
    TMenuDialog menu(Context({QStringLiteral("pellivark"), QStringLiteral("+")}));
    FillWelcome(menu.Model());
    menu.show();
    menu.Start();
    MoveOver(menu.KindButton(ExerciseKind::Scales));
    EXPECT_EQ(menu.Model().HoverKind, 0);
    EXPECT_TRUE(menu.ScrollTimerRunning());
}

TEST_F(TMenuDialogTest, NothingClosesTheMenuAndALowWindowKeepsTheButtonsInSight)
{
    TMenuDialog menu(Context());
    menu.show();
    QCloseEvent close;
    QApplication::sendEvent(&menu, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_TRUE(menu.isVisible());

    menu.resize(menu.Panel1()->width() + 200, menu.Panel1()->height() + 100);
    EXPECT_EQ(menu.Panel1()->pos(), QPoint(100, 50)) << "centred";
    menu.resize(menu.Panel1()->width() + 200, menu.Panel1()->height() - 100);
    const QToolButton* top = menu.KindButton(ExerciseKind::IntervalComparison);
    EXPECT_EQ(menu.Panel1()->y() + top->y(), 5) << "the top row 5 pixels from the top";
}

TEST_F(TMenuDialogTest, KindPicturesAreDrawnAtEverySize)
{
    // One sheet: every kind at the start menu's size and at tool-button sizes.
    const int sizes[] = {64, 32, 24};
    QImage sheet(10 * 72, 3 * 72, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter painter(&sheet);
    for (int row = 0; row < 3; ++row) {
        for (ExerciseKind kind : kExerciseKinds) {
            const QPixmap picture = KindPicture(kind, QSize(sizes[row], sizes[row]));
            ASSERT_EQ(picture.size(), QSize(sizes[row], sizes[row]));
            const QImage image = picture.toImage();
            // Ink in the middle: the picture is more than its frame.
            int dark = 0;
            for (int y = sizes[row] / 4; y < sizes[row] * 3 / 4; ++y)
                for (int x = sizes[row] / 4; x < sizes[row] * 3 / 4; ++x)
                    dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
            EXPECT_GT(dark, 0) << "kind " << KindNumber(kind) << " at " << sizes[row];
            painter.drawPixmap((KindNumber(kind) - 1) * 72 + 4, row * 72 + 4, picture);
        }
    }
    painter.end();
    EXPECT_TRUE(sheet.save(test::TestOutputDir() + QStringLiteral("kind_pictures.png")));
}

class SilentPlayer final : public IMidiFilePlayer
{
public:
    bool Open(const QString&) override { return open = true; }
    bool Play() override { return true; }
    void Close() override { open = false; }
    void SetFinishedHandler(std::function<void()>) override {}
    bool open = false;
};

TEST_F(TMenuDialogTest, StartPlaysTheIntroAndStopIntroGivesTheOutputBack)
{
    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    TSettingsRec settings = DefaultSettings();
    settings.PlayIntro = true;
    settings.MidiOutDevice = QStringLiteral("Synth");
    QString name = settings.MidiOutDevice;
    ASSERT_TRUE(midiOut.SelectByName(name));
    test::TempDir media;
    ASSERT_TRUE(media.Write(QStringLiteral("intro.mid"), {'M', 'T', 'h', 'd'}));
    SilentPlayer player;
    StartMenuIntro intro(midiOut, player, settings, media.Path());

    TMenuDialog::Context context = Context();
    context.Intro = &intro;
    TMenuDialog menu(std::move(context));
    menu.Start();
    EXPECT_TRUE(player.open);
    EXPECT_FALSE(midiOut.IsOpen());
    menu.StopIntro();
    EXPECT_FALSE(player.open);
    EXPECT_TRUE(midiOut.IsOpen());
}

TEST(TVelkommen, ShowsTheBuildsVersionAndHidesOnAClick)
{
    TVelkommen splash;
    EXPECT_EQ(splash.size(), QSize(TVelkommen::kWidth, TVelkommen::kHeight));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    splash.ShowAtStartUp();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.Label6()->text(), SplashTitle(ReadVersionInfo()));
    EXPECT_FALSE(splash.Label11()->isVisible()) << "the build only for the About command";
    EXPECT_TRUE(splash.grab().toImage().save(test::TestOutputDir() + QStringLiteral("splash.png")));

    splash.ShowVersion({4, 1, 3, 7});
    EXPECT_EQ(splash.Label6()->text(), QStringLiteral("Pellivark Pro 4.13"));
    EXPECT_EQ(splash.Label11()->text(), QStringLiteral("(build 7)"));
    splash.Label11()->setVisible(true);
    EXPECT_TRUE(
        splash.grab().toImage().save(test::TestOutputDir() + QStringLiteral("splash_about.png")));

    QLabel* image = splash.findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(image, nullptr);
    const QPointF at(100, 200);
    QMouseEvent press(QEvent::MouseButtonPress, at, image->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, image->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(image, &press);
    QApplication::sendEvent(image, &release);
    EXPECT_FALSE(splash.isVisible());
}

} // namespace
} // namespace pv
