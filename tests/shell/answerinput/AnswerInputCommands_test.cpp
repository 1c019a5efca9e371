// The Answer Input menu: what it offers in each view and kind, the bits and the instrument the
// entries write, and what the exercise windows and setup pages are told.
#include "shell/answerinput/AnswerInputCommands.h"

#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

ExerciseKind Kind(int n)
{
    return *KindFromNumber(n);
}

/// The menu over a settings record and a state, noting what the windows were told.
struct MenuRig
{
    MenuRig()
        : menu(AnswerInputServices{
              settings,
              state,
              [this](ExerciseKind) { return lock; },
              [this](ExerciseKind kind, std::uint8_t bits) { shown[KindNumber(kind)] = bits; },
              [this](ExerciseKind kind) { refreshed.push_back(KindNumber(kind)); },
              [this](bool on) { nameShown = on; },
              [this] { ++microphoneToggles; },
              [this](ExerciseKind kind) { midi.push_back(KindNumber(kind)); },
              [this] { midi.push_back(0); },
              [] { return false; },
          })
    {
        settings = DefaultSettings();
        EXPECT_TRUE(menu.Register(registry));
    }

    void SwitchTo(MainView view, int kind)
    {
        state.CurrentView = view;
        state.CurrentKind = Kind(kind);
        menu.ApplyAnswerInput(true);
        registry.Refresh();
    }
    bool Click(AnswerEntry entry) { return registry.Run(AnswerEntryId(entry)); }
    std::uint8_t Bits(int kind) const
    {
        return settings.KindPairs[static_cast<std::size_t>(kind)][0];
    }

    TSettingsRec settings;
    MainWindowState state;
    std::uint8_t lock = 0;
    std::map<int, std::uint8_t> shown;
    std::vector<int> refreshed;
    bool nameShown = true;
    int microphoneToggles = 0;
    std::vector<int> midi; ///< kinds started, 0 for a stop
    CommandRegistry registry;
    AnswerInputCommands menu;
};

TEST(AnswerInputMenu, EnablingFollowsTheViewTheKindAndTheLock)
{
    using V = MainView;
    struct Case
    {
        V view;
        int kind;
        std::uint8_t lock;
        AnswerMenuEnabling expected; ///< name shown, name, piano/guitar, staff, mic/midi
    };
    const Case cases[] = {
        {V::Exercise, 1, 0, {true, true, true, true, true}},
        {V::Exercise, 2, 0, {true, true, true, true, true}},
        {V::Exercise, 3, 0, {true, false, false, false, false}},
        {V::Exercise, 4, 0, {true, false, false, false, true}},
        {V::Exercise, 6, 0, {true, false, false, false, false}},
        {V::Exercise, 8, 0, {true, true, true, true, true}},
        {V::Exercise, 9, 0, {true, false, true, false, true}},
        {V::Exercise, 10, 0, {true, true, true, false, false}},
        // A setup that forces the answer inputs takes the four entries, not microphone or MIDI.
        {V::Exercise, 1, 8, {true, false, false, false, true}},
        {V::Exercise, 9, 8, {true, false, false, false, true}},
        {V::Exercise, 10, 2, {true, false, false, false, false}},
        // A lock means nothing to a kind without answer panels.
        {V::Exercise, 4, 8, {true, false, false, false, true}},
        {V::ExerciseSetup, 1, 0, {false, false, true, true, false}},
        {V::ExerciseSetup, 3, 0, {false, false, true, true, false}},
        {V::ExerciseSetup, 9, 8, {false, false, true, true, false}},
        {V::ExerciseSetup, 5, 0, {false, false, false, false, false}},
        {V::Results, 1, 0, {true, false, false, false, false}},
        {V::UserOverview, 2, 0, {true, false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "view " << static_cast<int>(c.view) << " kind " << c.kind
                                        << " lock " << int{c.lock});
        EXPECT_EQ(AnswerMenuEnablingFor(c.view, Kind(c.kind), c.lock), c.expected);
    }
    EXPECT_EQ(AnswerMenuEnablingFor(MainView::Exercise, std::nullopt, 0),
              (AnswerMenuEnabling{true, false, false, false, false}))
        << "the start menu has nothing to answer";
}

TEST(AnswerInputMenu, LockedEntriesRefuseTheirKeysButTheMicrophoneStillWorks)
{
    MenuRig rig;
    rig.lock = 8;
    rig.SwitchTo(MainView::Exercise, 1);
    const std::uint8_t before = rig.Bits(1);
    for (AnswerEntry entry : kAnswerEntries) {
        SCOPED_TRACE(AnswerEntryId(entry).toStdString());
        EXPECT_FALSE(rig.registry.IsEnabled(AnswerEntryId(entry)));
        EXPECT_FALSE(rig.Click(entry));
    }
    EXPECT_EQ(rig.Bits(1), before);
    EXPECT_TRUE(rig.registry.Run(QStringLiteral("Microphone1")));
    EXPECT_EQ(rig.microphoneToggles, 1);
}

TEST(AnswerInputMenu, ExerciseViewTicksTheStoredBitsAndStoresTheClickedOnes)
{
    struct Case
    {
        int kind;
        std::uint8_t stored;
        std::vector<AnswerEntry> clicks;
        std::array<bool, 4> ticksAtSwitch; ///< staff, name, guitar, piano
        std::uint8_t storedAfter;
    };
    using E = AnswerEntry;
    const Case cases[] = {
        {1, 9, {E::Screenpiano1}, {true, true, false, false}, 11},
        {1, 9, {E::Screenpiano1, E::Notesheet1, E::Answerbyname1}, {true, true, false, false}, 2},
        {2, 4, {E::Notesheet1}, {false, false, true, false}, 12},
        // Melody dictation: the staff always, the names never, whatever is stored.
        {9, 3, {E::Guitar1}, {true, false, false, true}, 14},
        {9, 1, {}, {true, false, false, false}, 1},
        // Chord progressions keep the staff ticked too.
        {10, 1, {E::Screenpiano1}, {true, true, false, false}, 11},
        // A damaged byte without any answer input counts as the fresh record's choice.
        {1, 0xF0, {}, {true, true, false, false}, 0xF0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " stored " << int{c.stored});
        MenuRig rig;
        rig.settings.KindPairs[static_cast<std::size_t>(c.kind)][0] = c.stored;
        rig.SwitchTo(MainView::Exercise, c.kind);
        for (std::size_t e = 0; e < 4; ++e)
            EXPECT_EQ(rig.menu.Ticked(kAnswerEntries[e]), c.ticksAtSwitch[e]) << e;
        EXPECT_FALSE(rig.menu.RadioItems());
        ASSERT_TRUE(rig.shown.contains(c.kind)) << "the window gets the bits at the switch";
        for (AnswerEntry click : c.clicks)
            EXPECT_TRUE(rig.Click(click));
        EXPECT_EQ(rig.Bits(c.kind), c.storedAfter);
        if (!c.clicks.empty()) {
            EXPECT_EQ(rig.shown[c.kind], c.storedAfter) << "the window shows what was stored";
        }
        EXPECT_EQ(rig.Bits(c.kind == 1 ? 2 : 1), 9) << "another kind keeps its bits";
    }
}

TEST(AnswerInputMenu, TheLastAnswerInputCannotBeTakenAway)
{
    MenuRig rig;
    rig.settings.KindPairs[1][0] = 2;
    rig.SwitchTo(MainView::Exercise, 1);
    rig.shown.clear();
    EXPECT_TRUE(rig.Click(AnswerEntry::Screenpiano1));
    EXPECT_TRUE(rig.menu.Ticked(AnswerEntry::Screenpiano1));
    EXPECT_EQ(rig.Bits(1), 2);
    EXPECT_TRUE(rig.shown.empty());
}

TEST(AnswerInputMenu, KindsWithoutAnswerPanelsTellNoWindow)
{
    MenuRig rig;
    rig.SwitchTo(MainView::Exercise, 4);
    EXPECT_TRUE(rig.shown.empty());
    rig.SwitchTo(MainView::Exercise, 3);
    EXPECT_TRUE(rig.shown.empty());
}

TEST(AnswerInputMenu, SetupViewChoosesOneInstrumentForEveryKindsPage)
{
    struct Case
    {
        std::uint8_t stored;
        AnswerEntry click;
        AnswerEntry tickedAtSwitch;
        std::uint8_t storedAfter;
        AnswerEntry tickedAfter;
    };
    using E = AnswerEntry;
    const Case cases[] = {
        {8, E::Guitar1, E::Notesheet1, 4, E::Guitar1},
        {4, E::Screenpiano1, E::Guitar1, 2, E::Screenpiano1},
        {2, E::Notesheet1, E::Screenpiano1, 8, E::Notesheet1},
        // The ticked instrument clicked again leaves none: the staff, as any other sum.
        {2, E::Screenpiano1, E::Screenpiano1, 8, E::Notesheet1},
        // A value no instrument has counts as the staff.
        {77, E::Guitar1, E::Notesheet1, 4, E::Guitar1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << int{c.stored} << " click "
                                        << AnswerEntryId(c.click).toStdString());
        MenuRig rig;
        rig.settings.KindPairs[1][1] = c.stored;
        rig.SwitchTo(MainView::ExerciseSetup, 2);
        EXPECT_TRUE(rig.menu.RadioItems());
        EXPECT_FALSE(rig.nameShown);
        EXPECT_FALSE(rig.menu.Ticked(E::Answerbyname1));
        for (AnswerEntry e : kAnswerEntries)
            EXPECT_EQ(rig.menu.Ticked(e), e == c.tickedAtSwitch);
        EXPECT_EQ(rig.settings.KindPairs[1][1], c.stored) << "a switch only reads";
        EXPECT_EQ(rig.refreshed, std::vector<int>{2});
        EXPECT_TRUE(rig.Click(c.click));
        EXPECT_EQ(rig.settings.KindPairs[1][1], c.storedAfter);
        for (AnswerEntry e : kAnswerEntries)
            EXPECT_EQ(rig.menu.Ticked(e), e == c.tickedAfter);
        EXPECT_EQ(rig.refreshed, (std::vector<int>{2, 2})) << "the page follows the choice";
        EXPECT_EQ(rig.Bits(2), 9) << "the exercise's answer inputs stay as they were";
        EXPECT_FALSE(rig.registry.IsEnabled(QStringLiteral("Answerbyname1")));
    }
}

TEST(AnswerInputMenu, SetupPagesWithoutANoteRangeAreLeftAlone)
{
    MenuRig rig;
    for (int kind : {4, 5, 6}) {
        rig.SwitchTo(MainView::ExerciseSetup, kind);
        EXPECT_FALSE(rig.registry.IsEnabled(QStringLiteral("Guitar1")));
    }
    EXPECT_TRUE(rig.refreshed.empty());
    rig.SwitchTo(MainView::Results, 1);
    EXPECT_TRUE(rig.nameShown);
    EXPECT_TRUE(rig.refreshed.empty());
    EXPECT_TRUE(rig.shown.empty());
}

TEST(AnswerInputMenu, MidiInputStartsOnlyInTheExerciseView)
{
    struct Case
    {
        MainView view;
        bool on;
        int expected; ///< the kind started, 0 for a stop
    };
    const Case cases[] = {
        {MainView::Exercise, true, 2},
        {MainView::Exercise, false, 0},
        {MainView::ExerciseSetup, true, 0},
        {MainView::Results, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "view " << static_cast<int>(c.view) << " on " << c.on);
        MenuRig rig;
        rig.state.CurrentView = c.view;
        rig.state.CurrentKind = Kind(2);
        rig.settings.MidiInputOn = c.on;
        rig.menu.MidiInSwitched();
        EXPECT_EQ(rig.midi, std::vector<int>{c.expected});
    }
}

TEST(AnswerInputMenu, EntriesCarryTheirKeys)
{
    MenuRig rig;
    const std::pair<const char*, int> keys[] = {
        {"Notesheet1", (Qt::SHIFT | Qt::Key_F5).toCombined()},
        {"Answerbyname1", (Qt::SHIFT | Qt::Key_F6).toCombined()},
        {"Guitar1", (Qt::SHIFT | Qt::Key_F7).toCombined()},
        {"Screenpiano1", (Qt::SHIFT | Qt::Key_F8).toCombined()},
        {"Microphone1", (Qt::SHIFT | Qt::Key_F11).toCombined()},
    };
    for (const auto& [id, key] : keys) {
        SCOPED_TRACE(id);
        const CommandRow* row = rig.registry.Find(QString::fromLatin1(id));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->Key, key);
        EXPECT_EQ(row->TextId, QStringLiteral("MainForm.") + row->Id);
    }
}

} // namespace
} // namespace pv
