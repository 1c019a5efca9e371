// The metronome buttons with and without a sender, the tempo slider per kind and the geometry
// of the visual metronome.
#include "shell/commands/ControlsFixture.h"
#include "shell/metronome/MetronomeControls.h"

#include <gtest/gtest.h>

namespace pv::test {
namespace {

class TempoSequencer final : public ISequencer
{
public:
    void QueueMidi(SequencerQueue, std::uint32_t) override {}
    void QueueWait(SequencerQueue, std::uint32_t) override {}
    void QueueNotify(SequencerQueue, QObject*, std::uint16_t) override {}
    void Stop() override {}
    void SetOutput(IMidiSink*) override {}
    void Start() override {}
    bool SetTempo(std::uint32_t value) override
    {
        tempo = value;
        return value != 0;
    }
    void SetMetronome(bool on) override { metronome = on; }
    void SetOutputDelay(std::uint16_t) override {}

    std::optional<std::uint32_t> tempo;
    std::optional<bool> metronome;
};

struct MetronomeRig
{
    RecordingControls ui;
    TSettingsRec settings;
    TempoSequencer sequencer;
    MainWindowState state;
    std::optional<int> rhythmTempo;
    MetronomeControls controls{MetronomeContext{ui, settings, sequencer, state,
                                                [](ExerciseKind kind) {
                                                    return kind == ExerciseKind::RhythmImitation ||
                                                           kind == ExerciseKind::RhythmReading ||
                                                           kind ==
                                                               ExerciseKind::ChordIdentification;
                                                },
                                                [this](int tempo) { rhythmTempo = tempo; }}};
};

TEST(MetronomeControls, TempoSliderGoesWhereTheKindKeepsItsTempo)
{
    struct Case
    {
        std::optional<int> kind;
        bool defaultTempoChanges;
        bool rhythmTempoChanges;
    };
    const Case cases[] = {
        {std::nullopt, false, false},
        {1, true, false},
        {2, true, false},
        {3, true, false},
        {4, false, true},
        {5, false, true},
        {6, false, true},
        {7, true, false},
        {8, true, false},
        {9, true, false},
        {10, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind.value_or(0));
        MetronomeRig rig;
        rig.settings.DefaultTempo = 90;
        if (c.kind)
            rig.state.CurrentKind = KindFromNumber(*c.kind);

        rig.controls.TrackBar1Change(132);

        EXPECT_EQ(rig.ui.Text(MainControl::Label8), QStringLiteral("= 132"));
        EXPECT_EQ(rig.sequencer.tempo, std::optional<std::uint32_t>(132));
        EXPECT_EQ(rig.settings.DefaultTempo, c.defaultTempoChanges ? 132 : 90);
        EXPECT_EQ(rig.rhythmTempo, c.rhythmTempoChanges ? std::optional<int>(132) : std::nullopt);
    }
}

TEST(MetronomeControls, ButtonsToggleOnlyWithASenderAndAlwaysFollowTheSettings)
{
    for (const bool sender : {false, true}) {
        for (const bool initially : {false, true}) {
            SCOPED_TRACE(testing::Message() << "sender " << sender << " initially " << initially);
            MetronomeRig rig;
            rig.state.CurrentKind = ExerciseKind::RhythmImitation;
            rig.settings.MetronomeOn = initially;
            rig.settings.CountIn = initially;
            // Controls that disagree with the settings are brought in line either way.
            rig.ui.SetDown(MainControl::Metro, !initially);
            rig.ui.SetDown(MainControl::SpeedButton12, !initially);

            rig.controls.MetroClick(sender);
            rig.controls.SpeedButton12Click(sender);

            const bool expected = sender ? !initially : initially;
            EXPECT_EQ(rig.settings.MetronomeOn, expected);
            EXPECT_EQ(rig.ui.IsDown(MainControl::Metro), expected);
            EXPECT_EQ(rig.ui.checked[MainControl::Playmetronome1], expected);
            EXPECT_EQ(rig.sequencer.metronome, std::optional<bool>(expected));

            EXPECT_EQ(rig.settings.CountIn, expected);
            EXPECT_EQ(rig.ui.IsDown(MainControl::SpeedButton12), expected);
            EXPECT_EQ(rig.ui.checked[MainControl::ShowMetronome1], expected);
            EXPECT_EQ(rig.ui.toolWindows[1], expected);
        }
    }
}

TEST(MetronomeControls, VisualMetronomeWindowNeedsAMetronomeKind)
{
    for (const std::optional<ExerciseKind> kind :
         {std::optional<ExerciseKind>(), std::optional(ExerciseKind::IntervalComparison),
          std::optional(ExerciseKind::RhythmReading)}) {
        MetronomeRig rig;
        rig.state.CurrentKind = kind;
        rig.settings.CountIn = true;
        rig.controls.SpeedButton12Click(false);
        EXPECT_EQ(rig.ui.toolWindows[1], kind == ExerciseKind::RhythmReading);
    }
}

TEST(MetronomeControls, SequencerNotificationCarriesBeatAndBar)
{
    const SequencerBeat beat = SequencerBeatOf(4u * 256u + 3u);
    EXPECT_EQ(beat.Beat, 3);
    EXPECT_EQ(beat.BeatsPerBar, 4);
    // Bits beside the two fields do not leak into them.
    const SequencerBeat masked = SequencerBeatOf(0xFFFF'03F2u);
    EXPECT_EQ(masked.Beat, 2);
    EXPECT_EQ(masked.BeatsPerBar, 3);
}

TEST(MetronomePicture, BoxesLightTheBeatAndSpanTheWidth)
{
    constexpr int kWidth = 150;
    constexpr int kHeight = 60;
    struct Case
    {
        int beat;
        int beatsPerBar;
        std::vector<std::uint32_t> colours;
    };
    const std::uint32_t s = kMetronomeSilver;
    const Case cases[] = {
        {0, 4, {s, s, s, s}},
        {1, 4, {kMetronomeLime, s, s, s}},
        {2, 4, {s, kMetronomeGreen, s, s}},
        {4, 4, {s, s, s, kMetronomeGreen}},
        {3, 3, {s, s, kMetronomeGreen}},
        {1, 1, {kMetronomeLime}},
        {2, 6, {s, kMetronomeGreen, s, s, s, s}},
        {1, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.beat << " of " << c.beatsPerBar);
        const MetronomePicture picture =
            MetronomePictureOf(kWidth, kHeight, c.beat, c.beatsPerBar, kPendulumLeft);
        ASSERT_EQ(picture.Boxes.size(), c.colours.size());
        for (std::size_t i = 0; i < c.colours.size(); ++i) {
            const MetronomeBox& box = picture.Boxes[i];
            EXPECT_EQ(box.Colour, c.colours[i]) << "box " << i + 1;
            EXPECT_EQ(box.Bottom, kHeight);
            // Square boxes inside the picture, a gap between neighbours.
            EXPECT_EQ(box.Bottom - box.Top, box.Right - box.Left);
            EXPECT_GE(box.Left, 1);
            EXPECT_LE(box.Right, kWidth);
            if (i > 0) {
                EXPECT_EQ(box.Left, picture.Boxes[i - 1].Right + 2);
            }
        }
    }
    // Bars too wide for the picture leave out what cannot show instead of drawing backwards.
    for (const MetronomeBox& box : MetronomePictureOf(20, 10, 1, 200, 0).Boxes)
        EXPECT_LT(box.Left, box.Right);
}

TEST(MetronomePicture, PendulumSwingsOnLitBeatsAndRestsOtherwise)
{
    int swing = kPendulumLeft;
    std::vector<int> shown;
    for (const int beat : {1, 2, 0, 3, 4}) {
        const MetronomePicture picture = MetronomePictureOf(100, 40, beat, 4, swing);
        shown.push_back(picture.Pendulum);
        swing = picture.NextSwing;
        EXPECT_EQ(picture.PendulumX, (100 - kPendulumWidth) / 2);
    }
    EXPECT_EQ(shown, (std::vector<int>{kPendulumLeft, kPendulumRight, kPendulumRest, kPendulumLeft,
                                       kPendulumRight}));
}

} // namespace
} // namespace pv::test
