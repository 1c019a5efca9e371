// The Answer Input menu: how the identification exercises are answered (on the staff, by name,
// on the guitar, on the piano), and in the setup view on which instrument the setup pages show
// the note range; beside them the microphone and MIDI input toggles and the rhythm kinds'
// metronome option.
#pragma once

#include "music/base/ExerciseKind.h"
#include "music/files/SettingsRecord.h"
#include "shell/commands/CommandRegistry.h"
#include "shell/state/MainWindowState.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace pv {

/// The four answer entries, in the order the menu shows them.
enum class AnswerEntry : int
{
    Notesheet1,
    Answerbyname1,
    Guitar1,
    Screenpiano1,
};
inline constexpr std::array<AnswerEntry, 4> kAnswerEntries = {
    AnswerEntry::Notesheet1, AnswerEntry::Answerbyname1, AnswerEntry::Guitar1,
    AnswerEntry::Screenpiano1};

/// The command id of an entry (its object name).
QString AnswerEntryId(AnswerEntry entry);
/// The answer-input bit an entry stands for (1 name, 2 piano, 4 guitar, 8 staff).
std::uint8_t AnswerEntryBit(AnswerEntry entry);

/// What the menu offers as it opens.
struct AnswerMenuEnabling
{
    bool NameShown = true;
    bool Name = false;
    bool PianoAndGuitar = false;
    bool Staff = false;
    /// The microphone and MIDI-in entries.
    bool MicAndMidi = false;

    bool operator==(const AnswerMenuEnabling&) const = default;
};

/// The menu's enabling for the view and kind in use; lock is the current exercise window's
/// answer-input lock (0: the user chooses).
AnswerMenuEnabling AnswerMenuEnablingFor(MainView view, std::optional<ExerciseKind> kind,
                                         std::uint8_t lock);

/// The setup pages' note-range instrument as stored (2 piano, 4 guitar, anything else the
/// staff, 8).
std::uint8_t SetupInstrumentOf(std::uint8_t stored);

struct AnswerInputServices
{
    TSettingsRec& Settings;
    const MainWindowState& State;
    /// The answer-input lock of kind's exercise window (0: none).
    std::function<std::uint8_t(ExerciseKind kind)> Lock;
    /// Kind's identification window shows the answer panels of bits.
    std::function<void(ExerciseKind kind, std::uint8_t bits)> ShowAnswerInput;
    /// Kind's setup page follows the note-range instrument just chosen (its grid rows, layout
    /// and range picker).
    std::function<void(ExerciseKind kind)> RefreshSetupPage;
    /// The by-name entry shown or hidden.
    std::function<void(bool shown)> ShowNameEntry;
    /// Toggles the microphone button and runs it.
    std::function<void()> ToggleMicrophone;
    /// MIDI input starts for kind (its exercise window takes the notes).
    std::function<void(ExerciseKind kind)> StartMidiInput;
    /// MIDI input goes nowhere (the device stays open).
    std::function<void()> StopMidiInput;
    /// Whether the microphone button is down: the microphone entry's tick follows it.
    std::function<bool()> MicrophoneDown;
};

class AnswerInputCommands
{
public:
    explicit AnswerInputCommands(AnswerInputServices services);

    /// The menu's entries follow the view (fromSwitch: every view switch reads what the
    /// settings hold), or the settings follow the entries' ticks (after a click).
    void ApplyAnswerInput(bool fromSwitch);
    /// A click on one of the four answer entries: its tick turns over, then the ticks apply.
    void Answerbyname1Click(AnswerEntry sender);
    /// `MIDIin1Click`'s input part, after the settings' byte turned over: input starts for the
    /// current kind in the exercise view, else goes nowhere.
    void MidiInSwitched();

    bool Ticked(AnswerEntry entry) const { return m_ticks[Index(entry)]; }
    /// The staff, guitar and piano entries exclude each other (the setup view).
    bool RadioItems() const { return m_radio; }
    /// The menu's enabling now.
    AnswerMenuEnabling Enabling() const;
    bool Enabled(AnswerEntry entry) const;

    /// The four answer entries, the microphone entry and the rhythm-with-metronome toggle.
    std::vector<CommandRow> Rows();
    bool Register(CommandRegistry& registry);

private:
    static std::size_t Index(AnswerEntry entry) { return static_cast<std::size_t>(entry); }
    std::uint8_t BitsOfTicks() const;
    void TickInstrument(std::uint8_t instrument);

    AnswerInputServices m_s;
    std::array<bool, 4> m_ticks{};
    bool m_radio = false;
};

} // namespace pv
