// The menu commands that flip a field of the program settings and show it as a tick: MIDI
// input, MIDI remote control, the automatic new question, the key names; with them the note
// identification mode, the tool windows' visible flags and the piano voice the adjusters step.
#pragma once

#include "music/files/SettingsRecord.h"
#include "shell/commands/CommandRegistry.h"

#include <functional>

namespace pv {

class SettingsMenuCommands
{
public:
    /// settings must outlive this; applyToExercise gives the current exercise window (if any)
    /// the settings it plays and shows with.
    SettingsMenuCommands(TSettingsRec& settings, std::function<void()> applyToExercise);

    /// `MIDIin1Click`: remembered for the MIDI input (the device stays as it is).
    void MIDIin1Click();
    /// `MIDIremote1Click`.
    void MIDIremote1Click();
    /// `Autonewquest1Click`: the exercise takes the new value at once.
    void Autonewquest1Click();
    /// `Showkeyname1Click`: the exercise's staff takes the new value at once.
    void Showkeyname1Click();
    /// `Identification1Click`: mode 0 exact octave, 1 any octave, 2 relative; other values
    /// are no mode and change nothing.
    void ChooseNoteIdentification(int mode);
    int NoteIdentificationMode() const { return m_settings.NoteIdentification; }
    /// The user switched tool window n's visible flag (n 0..5; others change nothing).
    void SetToolWindowFlag(int n, bool on);
    /// The piano adjusters' voice is the program's: program and velocity kept within 0..127.
    void KeepPianoVoice(int program, int velocity);

    /// The MIDI input entry's enabling rule and what follows its toggle (the input started or
    /// stopped); unset: always enabled, nothing follows.
    void SetMidiInHooks(std::function<bool()> enabled, std::function<void()> switched)
    {
        m_midiInEnabled = std::move(enabled);
        m_midiInSwitched = std::move(switched);
    }
    /// When the key names can be switched (the current exercise's setup decides); unset:
    /// always.
    void SetKeyNameRule(std::function<bool()> rule) { m_keyNameRule = std::move(rule); }
    /// Where a switched key name goes at once (the current exercise's staff).
    void SetKeyNameShown(std::function<void(bool on)> shown) { m_keyNameShown = std::move(shown); }

    /// The four toggles, their ticks read from the settings.
    std::vector<CommandRow> Rows();
    bool Register(CommandRegistry& registry);

private:
    TSettingsRec& m_settings;
    std::function<void()> m_applyToExercise;
    std::function<bool()> m_midiInEnabled;
    std::function<void()> m_midiInSwitched;
    std::function<bool()> m_keyNameRule;
    std::function<void(bool on)> m_keyNameShown;
};

} // namespace pv
