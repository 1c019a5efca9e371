// The 816-byte settings record of Setting.dat and the built-in default settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QLocale>
#include <QString>

namespace pv {

inline constexpr std::size_t kSettingsRecSize = 816;

/// The docks a tool window can sit in; the number is the record's dock code.
enum class ToolDock : std::uint8_t
{
    Floating = 0,
    Top = 1,    ///< `Topdock`
    Bottom = 3, ///< `Bottomdock`
};

/// The dock a record's dock code asks for: none for a code that names no dock (the bar stays
/// where it is).
constexpr std::optional<ToolDock> DockOfCode(std::uint8_t code)
{
    switch (code) {
    case static_cast<std::uint8_t>(ToolDock::Floating):
        return ToolDock::Floating;
    case static_cast<std::uint8_t>(ToolDock::Top):
        return ToolDock::Top;
    case static_cast<std::uint8_t>(ToolDock::Bottom):
        return ToolDock::Bottom;
    default:
        return std::nullopt;
    }
}

/// Place and dock of one tool window of the main window (28 bytes): the one placement the
/// settings record, the program's tool windows and the docking library all speak.
struct ToolWindowPlacement
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t DockRow = 0;
    std::int32_t DockPos = 0;
    std::uint8_t Dock = 0; ///< a ToolDock code; a damaged record may hold any other
    std::uint8_t Visible = 0;
    bool operator==(const ToolWindowPlacement&) const = default;
};

/// A switch and a value (8 bytes).
struct OptionPair
{
    std::uint8_t Switch = 0;
    std::int32_t Value = 0;
    bool operator==(const OptionPair&) const = default;
};

/// One column of the results view (8 bytes).
struct ColumnEntry
{
    std::uint8_t Shown = 0;
    std::int32_t Width = 0; ///< pixels
    bool operator==(const ColumnEntry&) const = default;
};

/// A sound for the MIDI output (8 bytes).
struct SoundRec
{
    std::uint16_t Channel = 0;  ///< 0..15
    std::uint16_t Program = 0;  ///< 0..127
    std::uint16_t Velocity = 0; ///< 0..127
    std::uint16_t Note = 0;     ///< 0..127
    bool operator==(const SoundRec&) const = default;
};

struct TSettingsRec
{
    std::uint16_t UserId = 0; ///< 1 = the template record
    std::int32_t MainLeft = 0;
    std::int32_t MainTop = 0;
    std::int32_t MainWidth = 0;
    std::int32_t MainHeight = 0;
    std::uint8_t MainState = 0; ///< 0 normal, 1 minimized, 2 maximized
    std::array<ToolWindowPlacement, 6> ToolWindows{};
    std::array<OptionPair, 10> OptionPairs{}; ///< carried, not interpreted
    std::array<ColumnEntry, 8> ResultColumns{};
    std::uint16_t ResultPeriodIndex = 0; ///< checked entry of the summation period menu
    QString FontName;                    ///< string[81]
    std::int32_t FontSize = 0;
    std::uint8_t FontStyle = 0; ///< bits 0..3: bold, italic, underline, strikeout
    QString Language;           ///< string[19]: base name of the language file
    /// One pair per exercise kind 0..14. Kind 0's first byte: the first-run wizard was
    /// completed; kinds 1..10 first byte: the answer inputs (1 name, 2 piano, 4 guitar, 8 staff);
    /// kind 1's second byte: the note-entry instrument.
    std::array<std::array<std::uint8_t, 2>, 15> KindPairs{};
    std::uint8_t NoteIdentification = 0;
    bool ShowKeyName = false;
    QString MidiInDevice;  ///< string[47]; empty = the first device
    QString MidiOutDevice; ///< string[47]; empty = the first device
    std::uint16_t MidiOutVolume = 0;
    SoundRec PianoVoice;
    SoundRec GuitarVoice;
    SoundRec ClapSound;
    SoundRec BeatSound;
    SoundRec FirstBeatSound;
    bool MidiInputOn = false;
    bool SustainAsEnter = false;
    bool MidiRemoteControl = false;
    bool GuitarNotTransposed = false;
    std::array<std::uint8_t, 5> RemoteNotes{};
    std::uint32_t BackgroundColor = 0; ///< 0x00BBGGRR
    std::uint8_t RhythmSpacing = 0;
    bool CountIn = false;
    bool MetronomeOn = false;
    std::uint8_t DefaultTempo = 0;
    std::uint16_t WaveOutVolume = 0;
    bool SoundEffectsOn = false;
    QString RightSound; ///< string[19]
    QString WrongSound; ///< string[19]
    std::uint8_t RhythmSensitivity = 0;
    std::uint8_t ToneSensitivity = 0;
    bool HighPrecision = false;
    std::int32_t OutputDelay = 0; ///< milliseconds 0..400, read as its low 16 bits
    bool AutoNewQuestion = false;
    std::uint8_t AutoNewQuestionDelay = 0; ///< seconds
    bool AutoNewOnlyAfterRight = false;
    std::uint8_t RepeatThreshold = 0; ///< percent
    std::uint32_t TipsMask = 0;       ///< bit n - 1 set = tip n is still offered
    bool PlayIntro = false;
    bool RhythmsWithMetronome = false;
    bool TutorActive = false;
    /// The record as stored; padding and the unused areas are written back from here.
    std::array<std::uint8_t, kSettingsRecSize> Raw{};

    bool operator==(const TSettingsRec&) const = default;
};

/// The background colour of a display with 256 colours or fewer.
inline constexpr std::uint32_t kLowColourBackground = 0x02AFD3AF;

/// The built-in settings.
TSettingsRec DefaultSettings();
/// Nothing unless bytes holds exactly one record.
std::optional<TSettingsRec> DecodeSettingsRec(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, kSettingsRecSize> EncodeSettingsRec(const TSettingsRec& rec);

/// The base name of the language file for a Windows language id.
QString LanguageName(std::uint16_t languageId);
/// The Windows language id of a locale's language, for the languages `LanguageName` knows
/// (any region of them: an Austrian German gets the German file); 1033 (US English) for
/// every other language.
std::uint16_t LanguageIdOfLocale(const QLocale& locale);

/// The device name to keep in the settings for a selected device: a placeholder entry (no
/// device present) stores nothing, so a device that appears later is found again.
QString DeviceNameToStore(const QString& name, bool placeholder);

} // namespace pv
