// Applying and storing the program settings against recording windows and devices.
#include "SettingsFixture.h"

#include <functional>

#include <gtest/gtest.h>

namespace pv::test {
namespace {

using Applier = SettingsFixture;

QString Text(std::int64_t n)
{
    return QString::number(n);
}

std::uint8_t Code(ToolDock dock)
{
    return static_cast<std::uint8_t>(dock);
}

/// One stored field: a live value to keep, another to lose it to, where each side shows it.
struct StoredField
{
    std::string name;
    std::function<void(Applier&)> setLive;
    std::function<void(Applier&)> resetLive;
    std::function<QString(Applier&)> live;
    std::function<QString(const TSettingsRec&)> stored;
};

/// Every field the store takes from the live state, each with a value of its own that is not
/// its default.
std::vector<StoredField> StoredFields()
{
    std::vector<StoredField> fields;
    using Bounds = std::int32_t WindowBounds::*;
    const std::array<std::pair<const char*, Bounds>, 4> bounds{
        {{"MainLeft", &WindowBounds::Left},
         {"MainTop", &WindowBounds::Top},
         {"MainWidth", &WindowBounds::Width},
         {"MainHeight", &WindowBounds::Height}}};
    using RecBounds = std::int32_t TSettingsRec::*;
    const std::array<RecBounds, 4> recBounds{&TSettingsRec::MainLeft, &TSettingsRec::MainTop,
                                             &TSettingsRec::MainWidth, &TSettingsRec::MainHeight};
    for (std::size_t k = 0; k < bounds.size(); ++k) {
        const Bounds field = bounds[k].second;
        const RecBounds recField = recBounds[k];
        const auto value = static_cast<std::int32_t>(101 + 11 * k);
        fields.push_back({bounds[k].first, [=](Applier& f) { f.ui.bounds.*field = value; },
                          [=](Applier& f) { f.ui.bounds.*field = -1; },
                          [=](Applier& f) { return Text(f.ui.bounds.*field); },
                          [=](const TSettingsRec& r) { return Text(r.*recField); }});
    }
    fields.push_back({"MainState", [](Applier& f) { f.ui.state = WindowShowState::Minimized; },
                      [](Applier& f) { f.ui.state = WindowShowState::Normal; },
                      [](Applier& f) { return Text(static_cast<int>(f.ui.state)); },
                      [](const TSettingsRec& r) { return Text(r.MainState); }});

    using ToolField = std::int32_t ToolWindowPlacement::*;
    const std::array<std::pair<const char*, ToolField>, 6> toolFields{{
        {"Left", &ToolWindowPlacement::Left},
        {"Top", &ToolWindowPlacement::Top},
        {"Width", &ToolWindowPlacement::Width},
        {"Height", &ToolWindowPlacement::Height},
        {"DockRow", &ToolWindowPlacement::DockRow},
        {"DockPos", &ToolWindowPlacement::DockPos},
    }};
    // Not one of them where the defaults have it: (1, 1, 1, 3, 3, 3).
    const std::array<ToolDock, kToolWindowCount> docks{ToolDock::Bottom,   ToolDock::Floating,
                                                       ToolDock::Bottom,   ToolDock::Top,
                                                       ToolDock::Floating, ToolDock::Top};
    for (std::size_t i = 0; i < kToolWindowCount; ++i) {
        for (std::size_t k = 0; k < toolFields.size(); ++k) {
            const auto [label, field] = toolFields[k];
            const auto value = static_cast<std::int32_t>(1000 + 100 * i + 7 * k);
            fields.push_back(
                {"ToolWindows[" + std::to_string(i) + "]." + label,
                 [=](Applier& f) { f.ui.tools[i].*field = value; },
                 [=](Applier& f) { f.ui.tools[i].*field = -5; },
                 [=](Applier& f) { return Text(f.ui.tools[i].*field); },
                 [=](const TSettingsRec& r) { return Text(r.ToolWindows[i].*field); }});
        }
        const ToolDock dock = docks[i];
        const ToolDock other = dock == ToolDock::Top ? ToolDock::Bottom : ToolDock::Top;
        fields.push_back({"ToolWindows[" + std::to_string(i) + "].Dock",
                          [=](Applier& f) { f.ui.tools[i].Dock = Code(dock); },
                          [=](Applier& f) { f.ui.tools[i].Dock = Code(other); },
                          [=](Applier& f) { return Text(f.ui.tools[i].Dock); },
                          [=](const TSettingsRec& r) { return Text(r.ToolWindows[i].Dock); }});
    }

    const TSettingsRec defaults = DefaultSettings();
    for (std::size_t j = 0; j < kResultColumnCount; ++j) {
        const bool shown = defaults.ResultColumns[j].Shown == 0;
        const auto width = static_cast<std::int32_t>(33 + 5 * j);
        fields.push_back({"ResultColumns[" + std::to_string(j) + "].Shown",
                          [=](Applier& f) { f.ui.columns[j].Shown = shown; },
                          [=](Applier& f) { f.ui.columns[j].Shown = !shown; },
                          [=](Applier& f) { return Text(f.ui.columns[j].Shown ? 1 : 0); },
                          [=](const TSettingsRec& r) { return Text(r.ResultColumns[j].Shown); }});
        fields.push_back({"ResultColumns[" + std::to_string(j) + "].Width",
                          [=](Applier& f) { f.ui.columns[j].Width = width; },
                          [=](Applier& f) { f.ui.columns[j].Width = 0; },
                          [=](Applier& f) { return Text(f.ui.columns[j].Width); },
                          [=](const TSettingsRec& r) { return Text(r.ResultColumns[j].Width); }});
    }

    fields.push_back({"ResultPeriodIndex", [](Applier& f) { f.ui.tickedPeriod = 4; },
                      [](Applier& f) { f.ui.tickedPeriod = 0; },
                      [](Applier& f) { return Text(f.ui.tickedPeriod.value_or(-1)); },
                      [](const TSettingsRec& r) { return Text(r.ResultPeriodIndex); }});
    fields.push_back({"Language",
                      [](Applier& f) { SetItemAreaLanguage(f.items, QStringLiteral("Dansk")); },
                      [](Applier& f) { SetItemAreaLanguage(f.items, QStringLiteral("Svenska")); },
                      [](Applier& f) { return ItemAreaLanguage(f.items); },
                      [](const TSettingsRec& r) { return r.Language; }});
    fields.push_back({"MidiOutVolume", [](Applier& f) { f.midiOut.SetVolume(77); },
                      [](Applier& f) { f.midiOut.SetVolume(3); },
                      [](Applier& f) {
                          std::uint8_t v = 0;
                          return f.midiOut.GetVolume(v) ? Text(v) : QStringLiteral("unknown");
                      },
                      [](const TSettingsRec& r) { return Text(r.MidiOutVolume); }});
    fields.push_back({"WaveOutVolume", [](Applier& f) { SetWaveOutVolume(f.waveOut, 55); },
                      [](Applier& f) { SetWaveOutVolume(f.waveOut, 200); },
                      [](Applier& f) {
                          std::uint8_t v = 0;
                          return GetWaveOutVolume(f.waveOut, v) ? Text(v)
                                                                : QStringLiteral("unknown");
                      },
                      [](const TSettingsRec& r) { return Text(r.WaveOutVolume); }});
    return fields;
}

TEST_F(Applier, EveryStoredFieldComesBackAfterStoreAndApply)
{
    ProgramSettingsApplier applier = MakeApplier();
    ASSERT_TRUE(applier.ApplyProgramSettings().Ok()); // the MIDI output is open from here on
    const std::vector<StoredField> fields = StoredFields();
    for (const StoredField& field : fields)
        field.setLive(*this);
    std::vector<QString> expected;
    for (const StoredField& field : fields)
        expected.push_back(field.live(*this));

    ASSERT_TRUE(applier.StoreProgramSettings(false).Ok());
    const std::optional<TSettingsRec> stored = StoredRecord();
    ASSERT_TRUE(stored);
    for (const StoredField& field : fields)
        field.resetLive(*this);
    app.ProgramSettings = DefaultSettings();
    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());

    for (std::size_t k = 0; k < fields.size(); ++k) {
        SCOPED_TRACE(fields[k].name);
        EXPECT_NE(fields[k].stored(DefaultSettings()), fields[k].stored(*stored))
            << "the value kept must not be the default";
        EXPECT_EQ(fields[k].stored(*stored),
                  expected[k] == QStringLiteral("none") ? QStringLiteral("0") : expected[k]);
        EXPECT_EQ(fields[k].live(*this), expected[k]);
    }
}

TEST_F(Applier, FieldsThatOnlyApplyReachTheirWindowsAndDevices)
{
    TSettingsRec settings = DefaultSettings();
    settings.FontName = QStringLiteral("Liberation Serif");
    settings.FontSize = 13;
    settings.FontStyle = 0b0101;
    settings.BackgroundColor = 0x00123456;
    settings.AutoNewQuestion = true;
    settings.ShowKeyName = false;
    settings.AutoNewQuestionDelay = 7;
    settings.TipsMask = 0x00A5;
    settings.OutputDelay = 0x10000 + 250; // only the low 16 bits count
    settings.WaveOutVolume = 0x1234;      // only the low byte counts
    settings.MidiOutDevice = QStringLiteral("Port A");
    settings.MidiOutVolume = 0x0150;
    settings.MidiInputOn = true;
    settings.MidiInDevice = QStringLiteral("Keyboard");
    settings.RemoteNotes = {36, 38, 40, 41, 200};
    SaveAsUser(settings);
    controlNotes.set(99);

    ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());

    EXPECT_EQ(ui.mainFont, (FontSpec{QStringLiteral("Liberation Serif"), 13, 0b0101}));
    EXPECT_EQ(ui.spreadFont, ui.mainFont);
    EXPECT_EQ(ui.colour, 0x00123456U);
    EXPECT_EQ(ui.ticks[SettingsMenuItem::Autonewquest1], true);
    EXPECT_EQ(ui.ticks[SettingsMenuItem::Showkeyname1], false);
    EXPECT_EQ(ui.ticks[SettingsMenuItem::MIDIin1], true);
    EXPECT_EQ(ui.timerInterval, 7100);
    EXPECT_EQ(ui.tipsMask, 0x00A5U);
    EXPECT_EQ(sequencer.delays, std::vector<std::uint16_t>{250});
    EXPECT_EQ(waveOut.packed, 0x34003400U);
    ASSERT_FALSE(devices.openedNames.empty());
    EXPECT_EQ(devices.openedNames.back(), QStringLiteral("Port A"));
    EXPECT_EQ(devices.volume, 0x50005000U);
    EXPECT_EQ(midiIn.selected, std::vector<QString>{QStringLiteral("Keyboard")});
    ControlNoteSet expectedNotes;
    for (const int note : {36, 38, 40, 41, 200})
        expectedNotes.set(static_cast<std::size_t>(note));
    EXPECT_EQ(controlNotes, expectedNotes) << "the set is replaced, not added to";
    EXPECT_EQ(std::count(log.begin(), log.end(), "MetroClick"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "SpeedButton12Click"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "ShowConfigWizard"), 1);
}

TEST_F(Applier, StepsRunInTheirOrderAndTheDocksUpdateOnlyInsideTheirBracket)
{
    TSettingsRec settings = DefaultSettings();
    settings.MidiInputOn = true;
    SaveAsUser(settings);

    ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());

    const CallLog expected{
        "BeginDockUpdate",       "PlaceToolWindow",    "PlaceToolWindow",
        "PlaceToolWindow",       "PlaceToolWindow",    "PlaceToolWindow",
        "PlaceToolWindow",       "EndDockUpdate",      "SetResultColumn",
        "SetResultColumn",       "SetResultColumn",    "SetResultColumn",
        "SetResultColumn",       "SetResultColumn",    "SetResultColumn",
        "SetResultColumn",       "SetMainWindowFont",  "ApplyFontToForms",
        "ApplyColorToForms",     "MetroClick",         "SpeedButton12Click",
        "SetMenuTick",           "SetMenuTick",        "SetAutoNewQuestTimerInterval",
        "ApplyShownControls",    "SetOutputDelay",     "SetWaveOutVolume",
        "ShowConfigWizard",      "LoadLanguageFile",   "SetHelpFile",
        "MidiIn.AddPlaceholder", "SetMenuTick",        "MidiIn.SelectByName",
        "SetMainWindowBounds",   "SetMainWindowState", "ChooseStatisticsPeriod"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(ui.placedInsideDockUpdate);
    EXPECT_EQ(ui.dockDepth, 0);
}

TEST_F(Applier, DockCodeOutsideTheThreeLeavesTheBarWhereItIs)
{
    TSettingsRec settings = DefaultSettings();
    settings.ToolWindows[1].Dock = 2;
    settings.ToolWindows[1].Left = 321;
    settings.ToolWindows[2].Dock = 0;
    settings.ToolWindows[4].Dock = 255;
    SaveAsUser(settings);
    ui.tools[1].Dock = Code(ToolDock::Bottom);
    ui.tools[4].Dock = Code(ToolDock::Floating);

    ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());

    EXPECT_EQ(ui.tools[1].Dock, Code(ToolDock::Bottom));
    EXPECT_EQ(ui.tools[1].Left, 321) << "the bounds are applied all the same";
    EXPECT_EQ(ui.tools[2].Dock, Code(ToolDock::Floating));
    EXPECT_EQ(ui.tools[4].Dock, Code(ToolDock::Floating));
    EXPECT_EQ(ui.tools[0].Dock, Code(ToolDock::Top));
    EXPECT_EQ(ui.tools[3].Dock, Code(ToolDock::Bottom));
}

TEST_F(Applier, ClosingMaximisedStoresTheStateAndKeepsTheLastNormalBounds)
{
    TSettingsRec settings = DefaultSettings();
    settings.MainLeft = 40;
    settings.MainTop = 50;
    settings.MainWidth = 800;
    settings.MainHeight = 600;
    settings.MainState = 0;
    SaveAsUser(settings);
    ProgramSettingsApplier applier = MakeApplier();
    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
    ui.state = WindowShowState::Maximized;
    ui.bounds = WindowBounds{0, 0, 1920, 1080};

    ASSERT_TRUE(applier.StoreProgramSettings(false).Ok());

    const std::optional<TSettingsRec> stored = StoredRecord();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->MainState, 2);
    EXPECT_EQ(
        (WindowBounds{stored->MainLeft, stored->MainTop, stored->MainWidth, stored->MainHeight}),
        (WindowBounds{40, 50, 800, 600}));
}

TEST_F(Applier, MissingLanguageFileBecomesEnglishInTheSettingsAndTheItemHeader)
{
    TSettingsRec settings = DefaultSettings();
    settings.Language = QStringLiteral("Klingon");
    SaveAsUser(settings);

    ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());

    EXPECT_EQ(app.ProgramSettings.Language, QStringLiteral("English"));
    EXPECT_EQ(ItemAreaLanguage(items), QStringLiteral("English"));
    ASSERT_EQ(languageLoads.size(), 1U);
    EXPECT_EQ(languageLoads[0].first, LanguageFolder() + QStringLiteral("English.LAN"));
    EXPECT_EQ(languageLoads[0].second, 0xFF);
}

TEST_F(Applier, LanguageAndHelpFilesAreFoundWhateverTheCaseOfTheirNames)
{
    PutLanguageFile(QStringLiteral("norsk.lan"));
    PutLanguageFile(QStringLiteral("NORSK.hlp"));
    TSettingsRec settings = DefaultSettings();
    settings.Language = QStringLiteral("Norsk");
    SaveAsUser(settings);

    ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());

    EXPECT_EQ(app.ProgramSettings.Language, QStringLiteral("Norsk"));
    EXPECT_EQ(ItemAreaLanguage(items), QStringLiteral("Norsk"));
    ASSERT_EQ(languageLoads.size(), 1U);
    EXPECT_EQ(languageLoads[0].first, LanguageFolder() + QStringLiteral("norsk.lan"));
    EXPECT_EQ(ui.helpFile, LanguageFolder() + QStringLiteral("NORSK.hlp"));
}

TEST_F(Applier, HelpFileFallsBackToEnglishOnlyWhenThatExists)
{
    const ProgramSettingsApplier applier = MakeApplier();
    EXPECT_EQ(applier.HelpFilePath(QStringLiteral("Dansk")),
              LanguageFolder() + QStringLiteral("Dansk.HLP"))
        << "without any help file the language's own name stays";
    PutLanguageFile(QStringLiteral("English.HLP"));
    EXPECT_EQ(applier.HelpFilePath(QStringLiteral("Dansk")),
              LanguageFolder() + QStringLiteral("English.HLP"));
    PutLanguageFile(QStringLiteral("Dansk.HLP"));
    EXPECT_EQ(applier.HelpFilePath(QStringLiteral("Dansk")),
              LanguageFolder() + QStringLiteral("Dansk.HLP"));
}

TEST_F(Applier, LanguageNameLongerThanTheItemHeaderIsKeptWhole)
{
    const QString longName = QStringLiteral("Plattdeutsch-Nord"); // 17 characters
    PutLanguageFile(longName + QStringLiteral(".LAN"));
    TSettingsRec settings = DefaultSettings();
    settings.Language = longName;
    SaveAsUser(settings);
    ProgramSettingsApplier applier = MakeApplier();

    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
    EXPECT_EQ(ItemAreaLanguage(items), longName.left(15));
    ASSERT_TRUE(applier.StoreProgramSettings(false).Ok());
    EXPECT_EQ(StoredRecord()->Language, longName);

    app.ProgramSettings = DefaultSettings();
    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
    EXPECT_EQ(app.ProgramSettings.Language, longName) << "the next start finds its file";
    EXPECT_EQ(languageLoads.back().first, LanguageFolder() + longName + QStringLiteral(".LAN"));

    // Item tables of another language (a tutor's) change the header: that language is stored.
    SetItemAreaLanguage(items, QStringLiteral("Dansk"));
    ASSERT_TRUE(applier.StoreProgramSettings(false).Ok());
    EXPECT_EQ(StoredRecord()->Language, QStringLiteral("Dansk"));
}

TEST_F(Applier, StatisticsPeriodBeyondTheEntriesIsIgnored)
{
    struct Case
    {
        std::uint16_t index;
        std::vector<int> chosen;
    };
    const Case cases[] = {{0, {0}}, {5, {5}}, {6, {}}, {7, {}}, {65535, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        TSettingsRec settings = DefaultSettings();
        settings.ResultPeriodIndex = c.index;
        SaveAsUser(settings);
        ui.chosenPeriods.clear();
        ASSERT_EQ(ui.periodCount, 6);

        ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());

        EXPECT_EQ(ui.chosenPeriods, c.chosen);
    }
}

TEST_F(Applier, MidiInputOffOpensNoInputAndLeavesTheControlNotes)
{
    TSettingsRec settings = DefaultSettings();
    settings.MidiInputOn = false;
    settings.MidiInDevice = QStringLiteral("Keyboard");
    SaveAsUser(settings);
    controlNotes.set(60);
    const ControlNoteSet before = controlNotes;

    ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());

    EXPECT_TRUE(midiIn.selected.empty());
    EXPECT_EQ(controlNotes, before);
    EXPECT_FALSE(ui.ticks.contains(SettingsMenuItem::MIDIin1));
    EXPECT_EQ(midiIn.placeholders, 1) << "the device list still gets its placeholder";
}

TEST_F(Applier, VolumeThatCannotBeReadIsNotStored)
{
    TSettingsRec settings = DefaultSettings();
    settings.MidiOutVolume = 123;
    settings.WaveOutVolume = 45;
    SaveAsUser(settings);
    ProgramSettingsApplier applier = MakeApplier();
    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
    devices.volume.reset();
    waveOut.readable = false;

    ASSERT_TRUE(applier.StoreProgramSettings(false).Ok());

    EXPECT_EQ(StoredRecord()->MidiOutVolume, 123);
    EXPECT_EQ(StoredRecord()->WaveOutVolume, 45);
}

TEST_F(Applier, NoMidiOutputOpenStoresNoMidiVolume)
{
    TSettingsRec settings = DefaultSettings();
    settings.MidiOutVolume = 123;
    SaveAsUser(settings);
    devices.openError = Fail(MidiOutError::OpenFailed, QStringLiteral("gone"));
    prompts.defaultButton = PromptButton::Ok;
    ProgramSettingsApplier applier = MakeApplier();
    static_cast<void>(applier.ApplyProgramSettings());
    ASSERT_FALSE(midiOut.IsOpen());

    ASSERT_TRUE(applier.StoreProgramSettings(false).Ok());

    EXPECT_EQ(StoredRecord()->MidiOutVolume, 123);
}

TEST_F(Applier, UserWithoutTheRightToOwnSettingsGetsTheTemplate)
{
    TSettingsRec own = DefaultSettings();
    own.AutoNewQuestionDelay = 9;
    SaveAsUser(own);
    TSettingsRec model = DefaultSettings();
    model.AutoNewQuestionDelay = 2;
    SaveAsUser(model, 1);

    rights[3] = false;
    ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());
    EXPECT_EQ(ui.timerInterval, 2100);

    rights[3] = true;
    ASSERT_TRUE(MakeApplier().ApplyProgramSettings().Ok());
    EXPECT_EQ(ui.timerInterval, 9100);
}

TEST_F(Applier, StoringAsDefaultsWritesTheTemplateRecord)
{
    ProgramSettingsApplier applier = MakeApplier();
    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
    ui.state = WindowShowState::Normal;
    ui.bounds = WindowBounds{7, 8, 900, 700};

    ASSERT_TRUE(applier.StoreProgramSettings(true).Ok());

    ASSERT_TRUE(StoredRecord(1));
    EXPECT_EQ(StoredRecord(1)->MainWidth, 900);
    EXPECT_FALSE(StoredRecord(kUser)) << "the user's own record is not written";
}

TEST_F(Applier, StoringWithoutAUserWritesNothing)
{
    ProgramSettingsApplier applier = MakeApplier();
    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
    app.Users.CurrentUser.reset();

    const Status<DataError> stored = applier.StoreProgramSettings(false);

    ASSERT_FALSE(stored.Ok());
    EXPECT_EQ(stored.Code(), DataError::NoUser);
    EXPECT_FALSE(QFileInfo::exists(data.SettingsFilePath()));
}

TEST_F(Applier, ChangedUserItemsAreWrittenOnlyWhenTheUserMayKeepThem)
{
    struct Case
    {
        bool changed;
        bool mayKeep;
        bool written;
    };
    const Case cases[] = {{false, true, false}, {true, false, false}, {true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "changed " << c.changed << ", may keep " << c.mayKeep);
        QFile::remove(data.ChordFilePath());
        ProgramSettingsApplier applier = MakeApplier();
        ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
        ItemTable& chords = items.ChordIdentification;
        chords.Counts[59] = 3;
        chords.Items[59].Notes[0].Note = 60;
        chords.Items[59].Notes[1].Note = 63;
        chords.Items[59].Notes[2].Note = 67;
        chords.Names[59] = QStringLiteral("My minor");
        userItemsChanged = c.changed;
        rights[2] = c.mayKeep;

        ASSERT_TRUE(applier.StoreProgramSettings(false).Ok());

        EXPECT_EQ(QFileInfo::exists(data.ChordFilePath()), c.written);
        EXPECT_TRUE(StoredRecord()) << "the settings are stored in every case";
    }
}

TEST_F(Applier, ApplyingPutsTheBuiltInItemsAndTheUserItemsInPlace)
{
    items = ItemTables{};
    ProgramSettingsApplier applier = MakeApplier();
    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
    EXPECT_EQ(items.ChordIdentification, BuiltInItemTables().ChordIdentification);

    items.ChordIdentification.Counts[59] = 2;
    items.ChordIdentification.Items[59].Notes[0].Note = 60;
    items.ChordIdentification.Items[59].Notes[1].Note = 66;
    items.ChordIdentification.Names[59] = QStringLiteral("Tritone pair");
    userItemsChanged = true;
    ASSERT_TRUE(applier.StoreProgramSettings(false).Ok());
    items = ItemTables{};

    ASSERT_TRUE(applier.ApplyProgramSettings().Ok());
    EXPECT_EQ(items.ChordIdentification.Counts[59], 2);
    EXPECT_EQ(items.ChordIdentification.Names[59], QStringLiteral("Tritone pair"));
    EXPECT_EQ(items.ChordIdentification.Counts[0],
              BuiltInItemTables().ChordIdentification.Counts[0]);
}

TEST_F(Applier, UnreadableSettingsFileAppliesTheDefaultsAndSaysSo)
{
    ASSERT_TRUE(QDir().mkpath(data.SettingsFilePath())); // a folder where the file should be

    const Status<DataError> applied = MakeApplier().ApplyProgramSettings();

    EXPECT_FALSE(applied.Ok());
    EXPECT_EQ(ui.bounds, (WindowBounds{0, 0, 640, 480}));
    EXPECT_EQ(ui.state, WindowShowState::Maximized);
    EXPECT_TRUE(devices.open) << "the MIDI output is chosen all the same";
}

TEST(ItemAreaLanguage, HeaderHoldsFifteenCharactersAndReadsNoFurther)
{
    ItemTables items;
    SetItemAreaLanguage(items, QStringLiteral("Español"));
    EXPECT_EQ(items.Unused[0], 7);
    EXPECT_EQ(items.Unused[5], 0xF1) << "Windows-1252";
    EXPECT_EQ(ItemAreaLanguage(items), QStringLiteral("Español"));

    SetItemAreaLanguage(items, QStringLiteral("ABCDEFGHIJKLMNOPQRS"));
    EXPECT_EQ(items.Unused[0], 15);
    EXPECT_EQ(ItemAreaLanguage(items), QStringLiteral("ABCDEFGHIJKLMNO"));

    items.Unused[0] = 200; // damaged: longer than the header
    EXPECT_EQ(ItemAreaLanguage(items), QStringLiteral("ABCDEFGHIJKLMNO"));
}

TEST(DockOfCode, OnlyTheThreeDockCodesNameADock)
{
    EXPECT_EQ(DockOfCode(0), ToolDock::Floating);
    EXPECT_EQ(DockOfCode(1), ToolDock::Top);
    EXPECT_EQ(DockOfCode(3), ToolDock::Bottom);
    for (const int code : {2, 4, 255})
        EXPECT_EQ(DockOfCode(static_cast<std::uint8_t>(code)), std::nullopt) << code;
}

} // namespace
} // namespace pv::test
