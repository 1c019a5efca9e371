// Puts the loaded program settings into force over the windows and devices, and takes the live
// state back into the settings record when it is stored.
#pragma once

#include "exercises/items/ItemTables.h"
#include "music/data/SettingsFile.h"
#include "shell/settings/ProgramSettingsUi.h"
#include "shell/state/AppState.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>

#include <QString>

namespace pv {

class TMidiOut;
class IWaveOutVolume;
class ISequencer;

/// The notes that press the control buttons when MIDI remote control is on.
using ControlNoteSet = std::bitset<256>;

/// The MIDI input devices as far as the settings choose them.
class IMidiInputSelection
{
public:
    virtual ~IMidiInputSelection() = default;
    /// Gives the device list its entry that stands for "no device".
    virtual void AddPlaceholder() = 0;
    /// Opens the input of that name (empty: the first) and may write the chosen name back.
    virtual bool SelectByName(QString& name) = 0;
};

/// The first-run wizard: decides whether it is made and, when it is, marks it pending.
class IConfigWizardMaker
{
public:
    virtual ~IConfigWizardMaker() = default;
    virtual void ShowConfigWizard() = 0;
};

/// Until there is a wizard: nothing is made, nothing is pending.
class NoConfigWizardMaker final : public IConfigWizardMaker
{
public:
    void ShowConfigWizard() override {}
};

/// The language name the item area carries in its first 16 bytes (at most 15 characters).
QString ItemAreaLanguage(const ItemTables& items);
void SetItemAreaLanguage(ItemTables& items, const QString& name);
inline constexpr int kItemAreaLanguageCapacity = 15;

/// The language file of a name in folder: the file of that name ignoring case, else the name
/// spelled as given (which does not exist).
QString LanguageFilePath(const QString& folder, const QString& name);
/// The help file for a language: its own, else English's when present, else its own name.
QString HelpFilePath(const QString& folder, const QString& name);

/// `AutoNewQuestTimer`'s interval for a delay in seconds.
constexpr int AutoNewQuestInterval(std::uint8_t seconds)
{
    return seconds * 1000 + 100;
}

/// What applying and storing reach. References must outlive the applier.
struct ProgramSettingsContext
{
    DataFiles& Data; ///< Setting.dat and Chord.dat, and the messages of their failures
    AppState& App;   ///< `ProgramSettings`, the current user and the items merged
    ItemTables& ExerciseItems;
    SettingsEnvironment Environment; ///< the language folder among others
    IProgramSettingsUi& Ui;
    TMidiOut& MidiOut;
    IWaveOutVolume& WaveOut;
    ISequencer& Sequencer; ///< takes the output delay
    IMidiInputSelection& MidiIn;
    IConfigWizardMaker& ConfigWizard;
    ControlNoteSet& ControlNotes;
    /// `UserRights[index]` of the logged-in user.
    std::function<bool(std::size_t index)> UserRight;
    /// Whether the user changed items since they were loaded (`UserItemsChanged`).
    std::function<bool()> UserItemsChanged;
    /// Loads a language file with the given flags (all texts: 0xFF).
    std::function<bool(const QString& fileName, std::uint8_t flags)> LoadLanguageFile;
};

class ProgramSettingsApplier
{
public:
    explicit ProgramSettingsApplier(ProgramSettingsContext context);

    /// Loads the user's settings (or the template's when the user may not keep their own) and
    /// puts every value into force, in order: item tables, tool windows, results columns, fonts
    /// and colour, metronome controls, ticks, timer, tips, output delay, wave volume, wizard,
    /// language, help file, MIDI devices, main window, statistics period. A Setting.dat that
    /// cannot be read was reported by the load and leaves the defaults, which are applied like
    /// a record; its failure comes back.
    Status<DataError> ApplyProgramSettings();
    /// Takes the live state into `ProgramSettings` and writes it under id 1 (asDefaults) or the
    /// current user's id. Changed user items are written first when the user may keep them.
    /// Both writes are tried; each failure is reported, and the first comes back.
    Status<DataError> StoreProgramSettings(bool asDefaults);

    /// The language file of a name in the language folder: the file of that name ignoring case,
    /// else the name spelled as given (which does not exist).
    QString LanguageFilePath(const QString& name) const;
    /// The help file for a language: its own, else English's when present, else its own name.
    QString HelpFilePath(const QString& name) const;

private:
    std::uint16_t CurrentUserId() const;
    void ApplyToolWindows(const TSettingsRec& settings);
    void ApplyLanguage();
    void ApplyMidiDevices();
    void StoreToolWindows(TSettingsRec& settings) const;

    ProgramSettingsContext m_context;
};

} // namespace pv
