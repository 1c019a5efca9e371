// Applying and storing the program settings, step by step in the order the windows and devices
// depend on each other.
#include "shell/settings/ProgramSettingsApplier.h"

#include "exercises/items/UserItemTables.h"
#include "music/files/Folders.h"
#include "music/files/Win1252.h"
#include "music/input/WaveOutVolume.h"
#include "music/sequencer/MidiOut.h"
#include "music/sequencer/Sequencer.h"

#include <algorithm>
#include <utility>

namespace pv {

namespace {

constexpr std::size_t kRightKeepOwnSettings = 3;
constexpr std::size_t kRightKeepUserItems = 2;
constexpr std::uint8_t kAllLanguageTexts = 0xFF;

const QString kEnglish = QStringLiteral("English");

std::uint8_t LowByte(std::uint16_t value)
{
    return static_cast<std::uint8_t>(value & 0xFFU);
}

WindowShowState ShowStateOfByte(std::uint8_t byte)
{
    // A damaged byte must not hand the window a state it has no meaning for.
    switch (byte) {
    case 1:
        return WindowShowState::Minimized;
    case 2:
        return WindowShowState::Maximized;
    default:
        return WindowShowState::Normal;
    }
}

/// Closes the docks' update bracket however the placing in between ends.
class DockUpdateScope
{
public:
    explicit DockUpdateScope(IProgramSettingsUi& ui) : m_ui(ui) { m_ui.BeginDockUpdate(); }
    ~DockUpdateScope() { m_ui.EndDockUpdate(); }
    DockUpdateScope(const DockUpdateScope&) = delete;
    DockUpdateScope& operator=(const DockUpdateScope&) = delete;

private:
    IProgramSettingsUi& m_ui;
};

} // namespace

QString ItemAreaLanguage(const ItemTables& items)
{
    const std::size_t length =
        std::min<std::size_t>(items.Unused[0], static_cast<std::size_t>(kItemAreaLanguageCapacity));
    return FromWin1252(std::span<const std::uint8_t>(items.Unused).subspan(1, length));
}

void SetItemAreaLanguage(ItemTables& items, const QString& name)
{
    std::vector<std::uint8_t> bytes = ToWin1252(name);
    bytes.resize(std::min<std::size_t>(bytes.size(), kItemAreaLanguageCapacity));
    items.Unused.fill(0);
    items.Unused[0] = static_cast<std::uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), items.Unused.begin() + 1);
}

ProgramSettingsApplier::ProgramSettingsApplier(ProgramSettingsContext context)
    : m_context(std::move(context))
{
}

std::uint16_t ProgramSettingsApplier::CurrentUserId() const
{
    const std::shared_ptr<TUserInfo>& user = m_context.App.Users.CurrentUser;
    return user ? user->Record.UserId : std::uint16_t{0};
}

QString LanguageFilePath(const QString& folder, const QString& name)
{
    const QString fileName = name + QStringLiteral(".LAN");
    const QString found = FindFileCaseInsensitive(folder, fileName);
    return found.isEmpty() ? folder + fileName : found;
}

QString HelpFilePath(const QString& folder, const QString& name)
{
    const QString own = FindFileCaseInsensitive(folder, name + QStringLiteral(".HLP"));
    if (!own.isEmpty())
        return own;
    const QString english = FindFileCaseInsensitive(folder, kEnglish + QStringLiteral(".HLP"));
    if (!english.isEmpty())
        return english;
    return folder + name + QStringLiteral(".HLP");
}

QString ProgramSettingsApplier::LanguageFilePath(const QString& name) const
{
    return pv::LanguageFilePath(m_context.Environment.LanguageFolder, name);
}

QString ProgramSettingsApplier::HelpFilePath(const QString& name) const
{
    return pv::HelpFilePath(m_context.Environment.LanguageFolder, name);
}

Status<DataError> ProgramSettingsApplier::ApplyProgramSettings()
{
    DataFiles& data = m_context.Data;
    AppState& app = m_context.App;
    IProgramSettingsUi& ui = m_context.Ui;

    m_context.ExerciseItems = BuiltInItemTables();
    LoadUserItems(data, app.LoadedItems, m_context.ExerciseItems);

    const std::uint16_t userId =
        m_context.UserRight(kRightKeepOwnSettings) && CurrentUserId() != 0 ? CurrentUserId() : 1;
    // An unreadable file was reported by the load, which put the defaults in its place: they
    // are applied all the same, so the windows and devices are not left half set up.
    Status<DataError> loaded =
        LoadSettings(data, app.ProgramSettings, userId, false, m_context.Environment);
    const TSettingsRec& settings = app.ProgramSettings;

    ApplyToolWindows(settings);

    for (int j = 0; j < kResultColumnCount; ++j) {
        const ColumnEntry& entry = settings.ResultColumns[static_cast<std::size_t>(j)];
        ui.SetResultColumn(j, ResultColumn{entry.Shown != 0, entry.Width});
    }

    const FontSpec font{settings.FontName, settings.FontSize, settings.FontStyle};
    ui.SetMainWindowFont(font);
    if (!font.Name.isEmpty())
        ui.ApplyFontToForms(font);
    ui.ApplyColorToForms(settings.BackgroundColor);

    ui.MetroClick();
    ui.SpeedButton12Click();

    ui.SetMenuTick(SettingsMenuItem::Autonewquest1, settings.AutoNewQuestion);
    ui.SetMenuTick(SettingsMenuItem::Showkeyname1, settings.ShowKeyName);
    ui.SetAutoNewQuestTimerInterval(AutoNewQuestInterval(settings.AutoNewQuestionDelay));
    ui.ApplyShownControls(settings.TipsMask);

    m_context.Sequencer.SetOutputDelay(static_cast<std::uint16_t>(settings.OutputDelay & 0xFFFF));
    SetWaveOutVolume(m_context.WaveOut, LowByte(settings.WaveOutVolume));

    m_context.ConfigWizard.ShowConfigWizard();

    ApplyLanguage();
    // The language names items over the merged ones: that is no edit of the user's.
    KeepUserItemsAsMerged(app.LoadedItems, m_context.ExerciseItems);
    ApplyMidiDevices();

    ui.SetMainWindowBounds(
        WindowBounds{settings.MainLeft, settings.MainTop, settings.MainWidth, settings.MainHeight});
    ui.SetMainWindowState(ShowStateOfByte(settings.MainState));

    const int period = settings.ResultPeriodIndex;
    if (period < ui.StatisticsPeriodCount())
        ui.ChooseStatisticsPeriod(period);
    return loaded;
}

void ProgramSettingsApplier::ApplyToolWindows(const TSettingsRec& settings)
{
    DockUpdateScope scope(m_context.Ui);
    for (int i = 0; i < kToolWindowCount; ++i) {
        m_context.Ui.PlaceToolWindow(i, settings.ToolWindows[static_cast<std::size_t>(i)]);
    }
}

void ProgramSettingsApplier::ApplyLanguage()
{
    TSettingsRec& settings = m_context.App.ProgramSettings;
    // The header holds at most 15 characters and the settings field 19: the full name stays in
    // the settings, the header only tells whether something else changed the language since.
    SetItemAreaLanguage(m_context.ExerciseItems, settings.Language);
    if (FindFileCaseInsensitive(m_context.Environment.LanguageFolder,
                                settings.Language + QStringLiteral(".LAN"))
            .isEmpty()) {
        settings.Language = kEnglish;
        SetItemAreaLanguage(m_context.ExerciseItems, kEnglish);
    }
    m_context.LoadLanguageFile(LanguageFilePath(settings.Language), kAllLanguageTexts);
    m_context.Ui.SetHelpFile(HelpFilePath(settings.Language));
}

void ProgramSettingsApplier::ApplyMidiDevices()
{
    TSettingsRec& settings = m_context.App.ProgramSettings;
    m_context.MidiIn.AddPlaceholder();
    // Device errors are reported by the devices themselves; the settings go on regardless.
    m_context.MidiOut.SelectByName(settings.MidiOutDevice);
    m_context.MidiOut.SetVolume(LowByte(settings.MidiOutVolume));
    if (!settings.MidiInputOn)
        return;
    m_context.Ui.SetMenuTick(SettingsMenuItem::MIDIin1, true);
    m_context.ControlNotes.reset();
    for (const std::uint8_t note : settings.RemoteNotes)
        m_context.ControlNotes.set(note);
    m_context.MidiIn.SelectByName(settings.MidiInDevice);
}

Status<DataError> ProgramSettingsApplier::StoreProgramSettings(bool asDefaults)
{
    DataFiles& data = m_context.Data;
    AppState& app = m_context.App;
    const IProgramSettingsUi& ui = m_context.Ui;
    const std::uint16_t userId = asDefaults ? 1 : CurrentUserId();
    if (userId == 0)
        return Fail(DataError::NoUser);

    Status<DataError> itemsSaved;
    if (m_context.UserItemsChanged() && m_context.UserRight(kRightKeepUserItems))
        itemsSaved = SaveUserItems(data, app.LoadedItems, m_context.ExerciseItems);

    TSettingsRec& settings = app.ProgramSettings;
    const WindowShowState state = ui.MainWindowState();
    settings.MainState = static_cast<std::uint8_t>(state);
    // A maximised window keeps its last normal bounds in the record.
    if (state != WindowShowState::Maximized) {
        const WindowBounds bounds = ui.MainWindowBounds();
        settings.MainLeft = bounds.Left;
        settings.MainTop = bounds.Top;
        settings.MainWidth = bounds.Width;
        settings.MainHeight = bounds.Height;
    }

    // A name longer than the header is kept whole while the header still holds its beginning.
    const QString header = ItemAreaLanguage(m_context.ExerciseItems);
    if (header != settings.Language.left(kItemAreaLanguageCapacity))
        settings.Language = header;

    if (const std::optional<int> ticked = ui.TickedStatisticsPeriod())
        settings.ResultPeriodIndex = static_cast<std::uint16_t>(*ticked);

    StoreToolWindows(settings);

    for (int j = 0; j < kResultColumnCount; ++j) {
        const ResultColumn column = ui.ResultColumnOf(j);
        ColumnEntry& entry = settings.ResultColumns[static_cast<std::size_t>(j)];
        entry.Shown = column.Shown ? 1 : 0;
        entry.Width = column.Width;
    }

    std::uint8_t volume = 0;
    if (m_context.MidiOut.GetVolume(volume))
        settings.MidiOutVolume = volume;
    if (GetWaveOutVolume(m_context.WaveOut, volume))
        settings.WaveOutVolume = volume;

    Status<DataError> settingsSaved = SaveSettings(data, settings, userId);
    ReportDataFailure(data, itemsSaved, data.strings.StrChordFile, data.ChordFilePath());
    ReportDataFailure(data, settingsSaved, data.strings.StrSettingsFile, data.SettingsFilePath());
    if (!itemsSaved)
        return itemsSaved;
    return settingsSaved;
}

void ProgramSettingsApplier::StoreToolWindows(TSettingsRec& settings) const
{
    for (int i = 0; i < kToolWindowCount; ++i) {
        ToolWindowPlacement& entry = settings.ToolWindows[static_cast<std::size_t>(i)];
        // The visible flag is the user's choice, which the window's placement does not know.
        const std::uint8_t visible = entry.Visible;
        entry = m_context.Ui.ToolWindowPlaceOf(i);
        entry.Visible = visible;
        const std::optional<ToolDock> dock = DockOfCode(entry.Dock);
        if (dock != ToolDock::Top && dock != ToolDock::Bottom)
            entry.Dock = static_cast<std::uint8_t>(ToolDock::Floating);
    }
}

} // namespace pv
