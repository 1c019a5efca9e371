// A main window, MIDI devices and a sequencer that remember what the settings did to them,
// over a data folder of real files with a language folder beside it.
#pragma once

#include "music/files/DataFixture.h"
#include "music/input/WaveOutVolume.h"
#include "music/sequencer/MidiOut.h"
#include "shell/settings/ProgramSettingsApplier.h"
#include "support/FakeClock.h"
#include "support/SequencerFakes.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>

namespace pv::test {

/// What the settings did, in the order they did it.
using CallLog = std::vector<std::string>;

class FakeSettingsUi final : public IProgramSettingsUi
{
public:
    explicit FakeSettingsUi(CallLog& log) : m_log(log)
    {
        for (ToolWindowPlacement& tool : tools)
            tool.Dock = static_cast<std::uint8_t>(ToolDock::Top);
    }

    void BeginDockUpdate() override
    {
        m_log.push_back("BeginDockUpdate");
        ++dockDepth;
    }
    void EndDockUpdate() override
    {
        m_log.push_back("EndDockUpdate");
        --dockDepth;
    }
    void PlaceToolWindow(int index, const ToolWindowPlacement& place) override
    {
        m_log.push_back("PlaceToolWindow");
        placedInsideDockUpdate = placedInsideDockUpdate && dockDepth == 1;
        ToolWindowPlacement& tool = tools.at(static_cast<std::size_t>(index));
        const std::uint8_t kept = tool.Dock;
        tool = place;
        // A window knows nothing of the settings' visible flag.
        tool.Visible = 0;
        if (!DockOfCode(place.Dock))
            tool.Dock = kept;
    }
    ToolWindowPlacement ToolWindowPlaceOf(int index) const override
    {
        return tools.at(static_cast<std::size_t>(index));
    }
    void SetResultColumn(int index, const ResultColumn& column) override
    {
        m_log.push_back("SetResultColumn");
        columns.at(static_cast<std::size_t>(index)) = column;
    }
    ResultColumn ResultColumnOf(int index) const override
    {
        return columns.at(static_cast<std::size_t>(index));
    }
    void SetMainWindowFont(const FontSpec& font) override
    {
        m_log.push_back("SetMainWindowFont");
        mainFont = font;
    }
    void ApplyFontToForms(const FontSpec& font) override
    {
        m_log.push_back("ApplyFontToForms");
        spreadFont = font;
    }
    void ApplyColorToForms(std::uint32_t value) override
    {
        m_log.push_back("ApplyColorToForms");
        colour = value;
    }
    void MetroClick() override { m_log.push_back("MetroClick"); }
    void SpeedButton12Click() override { m_log.push_back("SpeedButton12Click"); }
    void SetMenuTick(SettingsMenuItem item, bool ticked) override
    {
        m_log.push_back("SetMenuTick");
        ticks[item] = ticked;
    }
    void SetAutoNewQuestTimerInterval(int milliseconds) override
    {
        m_log.push_back("SetAutoNewQuestTimerInterval");
        timerInterval = milliseconds;
    }
    void ApplyShownControls(std::uint32_t mask) override
    {
        m_log.push_back("ApplyShownControls");
        tipsMask = mask;
    }
    void SetHelpFile(const QString& path) override
    {
        m_log.push_back("SetHelpFile");
        helpFile = path;
    }
    void SetMainWindowBounds(const WindowBounds& value) override
    {
        m_log.push_back("SetMainWindowBounds");
        bounds = value;
    }
    WindowBounds MainWindowBounds() const override { return bounds; }
    void SetMainWindowState(WindowShowState value) override
    {
        m_log.push_back("SetMainWindowState");
        state = value;
    }
    WindowShowState MainWindowState() const override { return state; }
    int StatisticsPeriodCount() const override { return periodCount; }
    std::optional<int> TickedStatisticsPeriod() const override { return tickedPeriod; }
    void ChooseStatisticsPeriod(int index) override
    {
        m_log.push_back("ChooseStatisticsPeriod");
        chosenPeriods.push_back(index);
        tickedPeriod = index;
    }

    std::array<ToolWindowPlacement, kToolWindowCount> tools{};
    int dockDepth = 0;
    bool placedInsideDockUpdate = true;
    std::array<ResultColumn, kResultColumnCount> columns{};
    FontSpec mainFont;
    std::optional<FontSpec> spreadFont;
    std::optional<std::uint32_t> colour;
    std::map<SettingsMenuItem, bool> ticks;
    int timerInterval = 0;
    std::optional<std::uint32_t> tipsMask;
    QString helpFile;
    WindowBounds bounds;
    WindowShowState state = WindowShowState::Normal;
    int periodCount = 6;
    std::optional<int> tickedPeriod;
    std::vector<int> chosenPeriods;

private:
    CallLog& m_log;
};

class FakeMidiIn final : public IMidiInputSelection
{
public:
    explicit FakeMidiIn(CallLog& log) : m_log(log) {}
    void AddPlaceholder() override
    {
        m_log.push_back("MidiIn.AddPlaceholder");
        ++placeholders;
    }
    bool SelectByName(QString& name) override
    {
        m_log.push_back("MidiIn.SelectByName");
        selected.push_back(name);
        return true;
    }
    int placeholders = 0;
    std::vector<QString> selected;

private:
    CallLog& m_log;
};

class RecordingWizard final : public IConfigWizardMaker
{
public:
    explicit RecordingWizard(CallLog& log) : m_log(log) {}
    void ShowConfigWizard() override { m_log.push_back("ShowConfigWizard"); }

private:
    CallLog& m_log;
};

/// Takes the output delay; everything else is not the settings' business.
class DelaySequencer final : public ISequencer
{
public:
    explicit DelaySequencer(CallLog& log) : m_log(log) {}
    void QueueMidi(SequencerQueue, std::uint32_t) override {}
    void QueueWait(SequencerQueue, std::uint32_t) override {}
    void QueueNotify(SequencerQueue, QObject*, std::uint16_t) override {}
    void Stop() override {}
    void SetOutput(IMidiSink*) override {}
    void Start() override {}
    bool SetTempo(std::uint32_t) override { return true; }
    void SetMetronome(bool) override {}
    void SetOutputDelay(std::uint16_t ms) override
    {
        m_log.push_back("SetOutputDelay");
        delays.push_back(ms);
    }
    std::vector<std::uint16_t> delays;

private:
    CallLog& m_log;
};

/// A wave output that logs its volume changes and may be unable to tell its volume.
class FakeWaveOut final : public IWaveOutVolume
{
public:
    explicit FakeWaveOut(CallLog& log) : m_log(log) {}
    bool SetVolume(std::uint32_t value) override
    {
        m_log.push_back("SetWaveOutVolume");
        packed = value;
        return true;
    }
    std::optional<std::uint32_t> Volume() const override
    {
        return readable ? std::optional<std::uint32_t>(packed) : std::nullopt;
    }
    std::uint32_t packed = 0xFFFFFFFFU;
    bool readable = true;

private:
    CallLog& m_log;
};

inline constexpr std::uint16_t kUser = 5;

class SettingsFixture : public DataFixture
{
public: // the field tables reach the live state from outside the tests
    SettingsFixture()
    {
        QDir().mkpath(LanguageFolder());
        PutLanguageFile(QStringLiteral("English.LAN"));
        PutLanguageFile(QStringLiteral("Dansk.LAN"));
        app.Users.CurrentUser = std::make_shared<TUserInfo>();
        app.Users.CurrentUser->Record.UserId = kUser;
    }

    QString LanguageFolder() const { return dir.Path() + QStringLiteral("Language/"); }
    void PutLanguageFile(const QString& name) const
    {
        QFile file(LanguageFolder() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    void RemoveLanguageFile(const QString& name) const
    {
        ASSERT_TRUE(QFile::remove(LanguageFolder() + name)) << name.toStdString();
    }

    ProgramSettingsApplier MakeApplier()
    {
        return ProgramSettingsApplier(ProgramSettingsContext{
            data, app, items, SettingsEnvironment{LanguageFolder(), 1033, false}, ui, midiOut,
            waveOut, sequencer, midiIn, wizard, controlNotes,
            [this](std::size_t index) { return rights.at(index); },
            [this] { return userItemsChanged; },
            [this](const QString& fileName, std::uint8_t flags) {
                log.push_back("LoadLanguageFile");
                languageLoads.push_back({fileName, flags});
                return true;
            }});
    }

    /// Writes settings as the user's record of Setting.dat, as an earlier run left them.
    void SaveAsUser(const TSettingsRec& settings, std::uint16_t user = kUser)
    {
        app.ProgramSettings = settings;
        ASSERT_TRUE(SaveSettings(data, app.ProgramSettings, user).Ok());
    }

    /// The record of user in Setting.dat, read back from the file.
    std::optional<TSettingsRec> StoredRecord(std::uint16_t user = kUser)
    {
        const std::vector<std::uint8_t> bytes = Bytes(data.SettingsFilePath());
        for (std::size_t at = 0; at + kSettingsRecSize <= bytes.size(); at += kSettingsRecSize) {
            std::optional<TSettingsRec> rec =
                DecodeSettingsRec(std::span(bytes).subspan(at, kSettingsRecSize));
            if (rec && rec->UserId == user)
                return rec;
        }
        return std::nullopt;
    }

    AppState app;
    CallLog log;
    FakeSettingsUi ui{log};
    FakeClock clock;
    FakeDevices devices{clock};
    DelaySequencer sequencer{log};
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    FakeWaveOut waveOut{log};
    FakeMidiIn midiIn{log};
    RecordingWizard wizard{log};
    ControlNoteSet controlNotes;
    ItemTables items;
    std::array<bool, 10> rights{true, true, true, true, true, true, true, true, true, true};
    bool userItemsChanged = false;
    std::vector<std::pair<QString, std::uint8_t>> languageLoads;
};

} // namespace pv::test
