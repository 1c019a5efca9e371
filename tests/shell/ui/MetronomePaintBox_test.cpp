// The visual metronome's picture on every beat of a bar, and the main window's metronome
// controls, tempo slider and sequencer notifications reaching it.
#include "music/sequencer/SequencerNotifyEvent.h"
#include "music/strings/UIStrings.h"
#include "shell/metronome/MetronomeControls.h"
#include "shell/metronome/ui/MetronomePaintBox.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ScriptedPrompts.h"
#include "support/TestOutput.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSlider>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr int kWidth = 150;
constexpr int kHeight = 56;

QImage Render(int beat, int beatsPerBar, int swing)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawMetronome(painter, image.size(), QColor(240, 240, 240), beat, beatsPerBar, swing);
    return image;
}

QRgb CentreOf(const QImage& image, const MetronomeBox& box)
{
    return image.pixel((box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2);
}

TEST(VisualMetronome, EachBeatOfAFourBeatBarLightsItsBox)
{
    // The bar as a musician sees it: one picture per beat, then the rest picture.
    QImage strip(kWidth * 5 + 16, kHeight, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter stripPainter(&strip);
    int swing = kPendulumLeft;
    for (int beat = 1; beat <= 5; ++beat) {
        const int shown = beat == 5 ? 0 : beat;
        SCOPED_TRACE(shown);
        const MetronomePicture picture = MetronomePictureOf(kWidth, kHeight, shown, 4, swing);
        const QImage image = Render(shown, 4, swing);
        swing = picture.NextSwing;
        stripPainter.drawImage((beat - 1) * (kWidth + 4), 0, image);

        ASSERT_EQ(picture.Boxes.size(), 4u);
        for (int i = 1; i <= 4; ++i) {
            QRgb expected = qRgb(192, 192, 192);
            if (i == shown)
                expected = shown == 1 ? qRgb(0, 255, 0) : qRgb(0, 128, 0);
            EXPECT_EQ(CentreOf(image, picture.Boxes[static_cast<std::size_t>(i - 1)]), expected)
                << "box " << i;
        }
        // The pendulum is drawn above the boxes, not hidden behind them.
        int dark = 0;
        for (int y = 0; y < picture.Boxes.front().Top; ++y)
            for (int x = picture.PendulumX; x < picture.PendulumX + kPendulumWidth; ++x)
                dark += qGray(image.pixel(x, y)) < 64 ? 1 : 0;
        EXPECT_GT(dark, 10);
    }
    stripPainter.end();
    const QString path =
        QDir(test::TestOutputDir()).filePath(QStringLiteral("visual_metronome.png"));
    EXPECT_TRUE(strip.save(path)) << path.toStdString();
}

TEST(VisualMetronome, PendulumPicturesDiffer)
{
    EXPECT_NE(Render(1, 0, kPendulumLeft), Render(1, 0, kPendulumRight));
    EXPECT_NE(Render(1, 0, kPendulumLeft), Render(0, 0, kPendulumLeft));
}

/// Takes the metronome's switch and nothing else.
class MetronomeSwitch final : public ISequencer
{
public:
    void QueueMidi(SequencerQueue, std::uint32_t) override {}
    void QueueWait(SequencerQueue, std::uint32_t) override {}
    void QueueNotify(SequencerQueue, QObject*, std::uint16_t) override {}
    void Stop() override {}
    void SetOutput(IMidiSink*) override {}
    void Start() override {}
    bool SetTempo(std::uint32_t) override { return true; }
    void SetMetronome(bool on) override { metronome = on; }
    void SetOutputDelay(std::uint16_t) override {}
    bool metronome = false;
};

class MetronomeWindowTest : public ::testing::Test
{
protected:
    MetronomeWindowTest() : window(prompts, strings)
    {
        MainWindowHandlers handlers;
        handlers.MetroClick = [this] { metronome.MetroClick(false); };
        handlers.SpeedButton12Click = [this] { metronome.SpeedButton12Click(false); };
        handlers.TrackBar1Change = [this](int position) { tempo.push_back(position); };
        window.SetHandlers(std::move(handlers));
        EXPECT_TRUE(metronome.Register(commands));
        window.BuildCommands(commands);
        window.resize(2400, 700);
        window.show();
    }

    void Notify(int beat, int beatsPerBar)
    {
        SequencerNotifyEvent event(static_cast<std::uint16_t>(beatsPerBar * 256 + beat), 0);
        QCoreApplication::sendEvent(&window, &event);
    }

    test::ScriptedPrompts prompts;
    UIStringTable strings;
    CommandRegistry commands;
    TPellivarkMain window;
    TSettingsRec settings;
    MetronomeSwitch sequencer;
    MainWindowState state;
    MetronomeControls metronome{MetronomeContext{
        window, settings, sequencer, state, [](ExerciseKind) { return true; }, {}}};
    std::vector<int> tempo;
};

TEST_F(MetronomeWindowTest, ButtonsAndSliderReachTheirHandlersWithOrWithoutASender)
{
    // Pressed by the user (with a sender) each button switches its setting, and its menu
    // entry, the same command, ticks with it.
    window.Button(MainControl::Metro)->click();
    window.Button(MainControl::SpeedButton12)->click();
    EXPECT_TRUE(settings.MetronomeOn);
    EXPECT_TRUE(settings.CountIn);
    EXPECT_TRUE(sequencer.metronome);
    EXPECT_TRUE(window.IsDown(MainControl::Metro));
    EXPECT_TRUE(window.Action(MainControl::Playmetronome1)->isChecked());
    EXPECT_TRUE(window.Action(MainControl::ShowMetronome1)->isChecked());
    // Without a sender the controls only follow the settings.
    window.MetroClick();
    window.SpeedButton12Click();
    EXPECT_TRUE(settings.MetronomeOn);
    EXPECT_TRUE(settings.CountIn);
    // The menu entry works the button.
    window.Action(MainControl::Playmetronome1)->trigger();
    EXPECT_FALSE(settings.MetronomeOn);
    EXPECT_FALSE(window.Button(MainControl::Metro)->isChecked());

    auto* slider = window.findChild<QSlider*>(QStringLiteral("TrackBar1"));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minimum(), 20);
    EXPECT_EQ(slider->maximum(), 250);
    slider->setValue(300); // held at the end of the range
    EXPECT_EQ(tempo, (std::vector<int>{250}));
}

TEST_F(MetronomeWindowTest, NotificationsShowOnlyWhileTheMetronomeWindowShows)
{
    MetronomePaintBox& box = window.MetronomeBox();
    window.SetToolWindowAllowed(1, true);
    window.SetToolWindowVisible(1, false);
    Notify(2, 3);
    EXPECT_EQ(box.Beat(), 0);
    EXPECT_EQ(box.BeatsPerBar(), 0);

    window.SetToolWindowVisible(1, true);
    Notify(2, 3);
    EXPECT_EQ(box.Beat(), 2);
    EXPECT_EQ(box.BeatsPerBar(), 3);

    // The clearing timer keeps the bar of the last notification and lights nothing.
    window.MetronomeTimerTimer();
    EXPECT_EQ(box.Beat(), 0);
    EXPECT_EQ(box.BeatsPerBar(), 3);

    window.PaintBox2Paint();
    EXPECT_EQ(box.BeatsPerBar(), 0);
}

} // namespace
} // namespace pv
