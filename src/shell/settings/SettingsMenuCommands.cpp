// The settings' toggles as commands.
#include "shell/settings/SettingsMenuCommands.h"

#include <algorithm>

namespace pv {

namespace {

constexpr int kNoteIdentificationModes = 3;

} // namespace

SettingsMenuCommands::SettingsMenuCommands(TSettingsRec& settings,
                                           std::function<void()> applyToExercise)
    : m_settings(settings), m_applyToExercise(std::move(applyToExercise))
{
}

void SettingsMenuCommands::MIDIin1Click()
{
    m_settings.MidiInputOn = !m_settings.MidiInputOn;
    if (m_midiInSwitched)
        m_midiInSwitched();
}

void SettingsMenuCommands::MIDIremote1Click()
{
    m_settings.MidiRemoteControl = !m_settings.MidiRemoteControl;
}

void SettingsMenuCommands::Autonewquest1Click()
{
    m_settings.AutoNewQuestion = !m_settings.AutoNewQuestion;
    if (m_applyToExercise)
        m_applyToExercise();
}

void SettingsMenuCommands::Showkeyname1Click()
{
    m_settings.ShowKeyName = !m_settings.ShowKeyName;
    if (m_applyToExercise)
        m_applyToExercise();
    // The kinds' setups take the key names only as an exercise starts; the staff shown now
    // takes the switch itself.
    if (m_keyNameShown)
        m_keyNameShown(m_settings.ShowKeyName);
}

void SettingsMenuCommands::ChooseNoteIdentification(int mode)
{
    if (mode < 0 || mode >= kNoteIdentificationModes)
        return;
    m_settings.NoteIdentification = static_cast<std::uint8_t>(mode);
    if (m_applyToExercise)
        m_applyToExercise();
}

void SettingsMenuCommands::SetToolWindowFlag(int n, bool on)
{
    if (n < 0 || n >= static_cast<int>(m_settings.ToolWindows.size()))
        return;
    m_settings.ToolWindows[static_cast<std::size_t>(n)].Visible = on ? 1 : 0;
}

void SettingsMenuCommands::KeepPianoVoice(int program, int velocity)
{
    SoundRec& piano = m_settings.PianoVoice;
    piano.Program = static_cast<decltype(piano.Program)>(std::clamp(program, 0, 127));
    piano.Velocity = static_cast<decltype(piano.Velocity)>(std::clamp(velocity, 0, 127));
}

std::vector<CommandRow> SettingsMenuCommands::Rows()
{
    struct Toggle
    {
        const char* id;
        const char* text;
        void (SettingsMenuCommands::*click)();
        bool TSettingsRec::*field;
    };
    const Toggle toggles[] = {
        {"MIDIin1", "MIDI &keyboard", &SettingsMenuCommands::MIDIin1Click,
         &TSettingsRec::MidiInputOn},
        {"MIDIremote1", "&Remote control by MIDI", &SettingsMenuCommands::MIDIremote1Click,
         &TSettingsRec::MidiRemoteControl},
        {"Autonewquest1", "&New question automatically", &SettingsMenuCommands::Autonewquest1Click,
         &TSettingsRec::AutoNewQuestion},
        {"Showkeyname1", "Show &key names", &SettingsMenuCommands::Showkeyname1Click,
         &TSettingsRec::ShowKeyName},
    };
    std::vector<CommandRow> rows;
    for (const Toggle& t : toggles) {
        CommandRow row;
        row.Id = QString::fromLatin1(t.id);
        row.TextId = QStringLiteral("MainForm.") + row.Id;
        row.Text = QString::fromLatin1(t.text);
        row.Checkable = true;
        row.Run = [this, click = t.click] { (this->*click)(); };
        row.Checked = [this, field = t.field] { return m_settings.*field; };
        if (t.click == &SettingsMenuCommands::Showkeyname1Click)
            row.Enabled = [this] { return !m_keyNameRule || m_keyNameRule(); };
        rows.push_back(std::move(row));
    }
    // The MIDI keyboard is an answer input as the others: it has their key row's last key.
    rows.front().Key = (Qt::SHIFT | Qt::Key_F12).toCombined();
    rows.front().Enabled = [this] { return !m_midiInEnabled || m_midiInEnabled(); };
    return rows;
}

bool SettingsMenuCommands::Register(CommandRegistry& registry)
{
    return registry.Register(QStringLiteral("settings"), Rows());
}

} // namespace pv
