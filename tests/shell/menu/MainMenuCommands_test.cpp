// The main menu's commands through the registry, as the window's menus run them.
#include "shell/menu/MainMenuCommands.h"

#include <map>

#include <gtest/gtest.h>

namespace pv {
namespace {

struct RecordingView final : ICommandView
{
    void ShowCommandEnabled(const QString& id, bool on) override { enabled[id] = on; }
    void ShowCommandChecked(const QString& id, bool on) override { checked[id] = on; }
    void ShowCommandVisible(const QString& id, bool on) override { visible[id] = on; }
    std::map<QString, bool> enabled, checked, visible;
};

struct MenuRig
{
    MenuRig()
        : commands(MainMenuContext{
              settings, state, [this](int n, bool on) { allowed.emplace_back(n, on); },
              [this] { ++rhythmApplied; }, [this] { ++resets; }, [this] { ++notesOff; }})
    {
        EXPECT_TRUE(commands.Register(registry));
        registry.SetView(&view);
    }

    TSettingsRec settings;
    MainWindowState state;
    std::vector<std::pair<int, bool>> allowed;
    int rhythmApplied = 0;
    int resets = 0;
    int notesOff = 0;
    MainMenuCommands commands;
    CommandRegistry registry;
    RecordingView view;
};

const QString kStandard = QStringLiteral("Standard1");
const QString kScore = QStringLiteral("Result1");
const QString kTempo = QStringLiteral("Speed7");
const QString kExtra = QStringLiteral("Extra1");
const QString kRhythmMetronome = QStringLiteral("Rhythmwithmetronome1");

TEST(MainMenuCommands, TheToolAndRhythmEntriesFollowTheViewAndKind)
{
    const struct
    {
        const char* what;
        std::optional<ExerciseKind> kind;
        MainView view;
        bool barsOfTheExercise;
        bool rhythmMetronome;
    } cases[] = {
        {"start menu", std::nullopt, MainView::Exercise, false, false},
        {"chords", ExerciseKind::ChordIdentification, MainView::Exercise, true, false},
        {"chords' setup", ExerciseKind::ChordIdentification, MainView::ExerciseSetup, false, false},
        {"rhythm imitation", ExerciseKind::RhythmImitation, MainView::Exercise, true, true},
        {"rhythm reading", ExerciseKind::RhythmReading, MainView::Exercise, true, true},
        {"error detection", ExerciseKind::RhythmErrorDetection, MainView::Exercise, true, true},
        {"error detection's results", ExerciseKind::RhythmErrorDetection, MainView::Results, false,
         false},
        {"melody", ExerciseKind::MelodyDictation, MainView::Exercise, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MenuRig rig;
        rig.state.CurrentKind = c.kind;
        rig.state.CurrentView = c.view;
        rig.registry.Refresh();
        EXPECT_TRUE(rig.view.enabled[kStandard]) << "the main bar's entry always works";
        for (const QString& id : {kScore, kTempo, kExtra})
            EXPECT_EQ(rig.view.enabled[id], c.barsOfTheExercise) << id.toStdString();
        EXPECT_EQ(rig.view.visible[kRhythmMetronome], c.rhythmMetronome);
        EXPECT_EQ(rig.registry.Run(kScore), c.barsOfTheExercise) << "a disabled entry never runs";
    }
}

TEST(MainMenuCommands, AToolEntryFlipsItsWindowsSettingsByteAndTheWindowFollows)
{
    MenuRig rig;
    rig.state.CurrentKind = ExerciseKind::ChordIdentification;
    for (auto& placement : rig.settings.ToolWindows)
        placement.Visible = 1;
    rig.settings.ToolWindows[4].Visible = 0;
    rig.registry.Refresh();
    EXPECT_EQ(rig.view.checked, (std::map<QString, bool>{{kStandard, true},
                                                         {kScore, true},
                                                         {kTempo, false},
                                                         {kExtra, true},
                                                         {kRhythmMetronome, false}}));

    const struct
    {
        const QString& id;
        int window;
    } entries[] = {{kStandard, 0}, {kScore, 3}, {kTempo, 4}, {kExtra, 5}};
    for (const auto& e : entries) {
        SCOPED_TRACE(e.id.toStdString());
        const auto n = static_cast<std::size_t>(e.window);
        const std::uint8_t before = rig.settings.ToolWindows[n].Visible;
        const TSettingsRec untouched = rig.settings;
        rig.allowed.clear();
        ASSERT_TRUE(rig.registry.Run(e.id));
        EXPECT_EQ(rig.settings.ToolWindows[n].Visible, before != 0 ? 0 : 1);
        EXPECT_EQ(rig.view.checked[e.id], before == 0);
        EXPECT_EQ(rig.allowed, (std::vector<std::pair<int, bool>>{{e.window, before == 0}}));
        // Nothing else of the record moves: the other windows' bytes, their places.
        TSettingsRec expected = untouched;
        expected.ToolWindows[n].Visible = rig.settings.ToolWindows[n].Visible;
        EXPECT_EQ(rig.settings, expected);
        ASSERT_TRUE(rig.registry.Run(e.id));
        EXPECT_EQ(rig.settings.ToolWindows[n].Visible, before);
    }
}

TEST(MainMenuCommands, TheRhythmMetronomeFlipsItsByteAndTheMidiEntriesReachTheOutput)
{
    MenuRig rig;
    rig.state.CurrentKind = ExerciseKind::RhythmReading;
    rig.registry.Refresh();
    ASSERT_TRUE(rig.registry.Run(kRhythmMetronome));
    EXPECT_TRUE(rig.settings.RhythmsWithMetronome);
    EXPECT_TRUE(rig.view.checked[kRhythmMetronome]);
    EXPECT_EQ(rig.rhythmApplied, 1) << "the rhythm window plays with it at once";
    ASSERT_TRUE(rig.registry.Run(kRhythmMetronome));
    EXPECT_FALSE(rig.settings.RhythmsWithMetronome);

    const TSettingsRec before = rig.settings;
    EXPECT_TRUE(rig.registry.Run(QStringLiteral("ResetMIDIcontrollers1")));
    EXPECT_TRUE(rig.registry.Run(QStringLiteral("MIDIallnotesoff1")));
    EXPECT_EQ(rig.resets, 1);
    EXPECT_EQ(rig.notesOff, 1);
    for (const char* id : {"Classmaintenance1", "Refresh1", "Tutoreditor2"})
        EXPECT_TRUE(rig.registry.Run(QString::fromLatin1(id))) << id;
    EXPECT_EQ(rig.settings, before) << "none of these touches the settings";
}

TEST(MainMenuCommands, KeyNamesNeedAKeySignatureOnTheStaff)
{
    ExerciseSetup setup;
    for (ExerciseKind kind : kExerciseKinds) {
        if (OptionBlock* options = OptionBlockOfKind(setup, kind))
            options->ShowKeySignature = 1;
    }
    const struct
    {
        ExerciseKind kind;
        bool withKey;
    } byOptions[] = {
        {ExerciseKind::ChordIdentification, true}, {ExerciseKind::IntervalIdentification, true},
        {ExerciseKind::IntervalComparison, true},  {ExerciseKind::ChordInversions, true},
        {ExerciseKind::ChordProgressions, true},   {ExerciseKind::Scales, false},
        {ExerciseKind::RhythmReading, false},
    };
    for (const auto& c : byOptions) {
        SCOPED_TRACE(KindNumber(c.kind));
        EXPECT_EQ(KeyNameEnabled(c.kind, setup), c.withKey);
        ExerciseSetup without = setup;
        if (OptionBlock* options = OptionBlockOfKind(without, c.kind))
            options->ShowKeySignature = 0;
        EXPECT_FALSE(KeyNameEnabled(c.kind, without)) << "no key signature, no key names";
    }

    // Melody dictation goes by its scale, whatever its own key signature byte says.
    setup.Melody.ShowKeySignature = 0;
    for (int scale = 0; scale <= 16; ++scale) {
        SCOPED_TRACE(scale);
        setup.Melody.Scale = static_cast<std::uint8_t>(scale);
        const bool expected = scale == 5 || scale == 7 || scale == 8 || scale >= 11;
        EXPECT_EQ(KeyNameEnabled(ExerciseKind::MelodyDictation, setup), expected);
    }
}

TEST(MainMenuCommands, TheClockHintNamesTheDurationAndTheRunningTimeWithSeconds)
{
    const double span = (3600.0 + 2 * 60 + 3) / 86400.0;
    EXPECT_EQ(ExerciseTimeHint(QStringLiteral("Duration"), span, u':'),
              QStringLiteral("Duration: 1:02:03"));
    EXPECT_EQ(ExerciseTimeHint(QStringLiteral("Dauer"), 0.0, u'.'),
              QStringLiteral("Dauer: 0.00.00"));
}

} // namespace
} // namespace pv
