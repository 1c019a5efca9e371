// The main menu's remaining commands as rows.
#include "shell/menu/MainMenuCommands.h"

#include "shell/results/ElapsedTime.h"

namespace pv {

namespace {

/// Melody scales whose key the staff can name: scale numbers (the setup's scale byte, as the
/// melody window reads it) 5, 7, 8 and 11 onwards.
bool MelodyScaleHasKey(std::uint8_t scale)
{
    return scale == 5 || scale == 7 || scale == 8 || scale >= 11;
}

CommandRow Row(const char* id, const char* text, std::function<void()> run)
{
    CommandRow row;
    row.Id = QString::fromLatin1(id);
    row.TextId = QStringLiteral("MainForm.") + row.Id;
    row.Text = QString::fromLatin1(text);
    row.Run = std::move(run);
    return row;
}

} // namespace

bool KeyNameEnabled(ExerciseKind kind, const ExerciseSetup& setup)
{
    switch (kind) {
    case ExerciseKind::Scales:
        return false;
    case ExerciseKind::MelodyDictation:
        return MelodyScaleHasKey(setup.Melody.Scale);
    default:
        break;
    }
    const OptionBlock* options = OptionBlockOfKind(setup, kind);
    return options != nullptr && options->ShowKeySignature != 0;
}

QString ExerciseTimeHint(const QString& durationCaption, double runningSpan, QChar separator)
{
    return durationCaption + QStringLiteral(": ") + FormatElapsedTime(true, runningSpan, separator);
}

MainMenuCommands::MainMenuCommands(MainMenuContext context) : m_c(std::move(context)) {}

void MainMenuCommands::FlipToolWindow(int n)
{
    if (n < 0 || n >= static_cast<int>(m_c.Settings.ToolWindows.size()))
        return;
    std::uint8_t& visible = m_c.Settings.ToolWindows[static_cast<std::size_t>(n)].Visible;
    visible = visible != 0 ? 0 : 1;
    if (m_c.ToolWindowAllowed)
        m_c.ToolWindowAllowed(n, visible != 0);
}

bool MainMenuCommands::ToolItemEnabled(int n) const
{
    return n == 0 || (m_c.State.CurrentView == MainView::Exercise && m_c.State.CurrentKind);
}

bool MainMenuCommands::ToolItemChecked(int n) const
{
    return n >= 0 && n < static_cast<int>(m_c.Settings.ToolWindows.size()) &&
           m_c.Settings.ToolWindows[static_cast<std::size_t>(n)].Visible != 0;
}

bool MainMenuCommands::RhythmMetronomeVisible() const
{
    if (m_c.State.CurrentView != MainView::Exercise || !m_c.State.CurrentKind)
        return false;
    switch (*m_c.State.CurrentKind) {
    case ExerciseKind::RhythmImitation:
    case ExerciseKind::RhythmReading:
    case ExerciseKind::RhythmErrorDetection:
        return true;
    default:
        return false;
    }
}

void MainMenuCommands::FlipRhythmMetronome()
{
    m_c.Settings.RhythmsWithMetronome = !m_c.Settings.RhythmsWithMetronome;
    if (m_c.ApplyRhythmSettings)
        m_c.ApplyRhythmSettings();
}

std::vector<CommandRow> MainMenuCommands::Rows()
{
    std::vector<CommandRow> rows;
    const char* toolTexts[] = {"&Standard", "&Score", "&Tempo", "E&xtra"};
    for (std::size_t t = 0; t < kToolItems.size(); ++t) {
        const int n = kToolItems[t].second;
        CommandRow row = Row(kToolItems[t].first, toolTexts[t], [this, n] { FlipToolWindow(n); });
        row.Checkable = true;
        row.Checked = [this, n] { return ToolItemChecked(n); };
        row.Enabled = [this, n] { return ToolItemEnabled(n); };
        row.Tag = n;
        rows.push_back(std::move(row));
    }

    CommandRow metronome =
        Row("Rhythmwithmetronome1", "Rhythms with &metronome", [this] { FlipRhythmMetronome(); });
    metronome.Checkable = true;
    metronome.Checked = [this] { return m_c.Settings.RhythmsWithMetronome; };
    metronome.Visible = [this] { return RhythmMetronomeVisible(); };
    rows.push_back(std::move(metronome));

    rows.push_back(Row("ResetMIDIcontrollers1", "Reset MIDI &controllers", [this] {
        if (m_c.ResetControllers)
            m_c.ResetControllers();
    }));
    rows.push_back(Row("MIDIallnotesoff1", "MIDI all notes &off", [this] {
        if (m_c.AllNotesOff)
            m_c.AllNotesOff();
    }));

    // Class maintenance, the tutor editor and refreshing have no task in this program yet;
    // their entries stay so the menus keep their shape (the rights hide or disable them).
    rows.push_back(Row("Classmaintenance1", "Class maintenance...", [] {}));
    rows.push_back(Row("Refresh1", "Refresh", [] {}));
    rows.push_back(Row("Tutoreditor2", "Tutor editor...", [] {}));
    return rows;
}

bool MainMenuCommands::Register(CommandRegistry& registry)
{
    return registry.Register(QStringLiteral("main menu"), Rows());
}

} // namespace pv
