// The program settings dialog without its window: the values of its five pages filled from the
// settings record, the rules between them (the drum channel, the test sounds, learning from a
// MIDI keyboard, the delay test), the devices, volumes and delay it changes at once and sets
// back when it is not confirmed, and what its OK stores.
#pragma once

#include "music/files/SettingsRecord.h"
#include "shell/results/ExerciseForms.h"
#include "shell/settings/ProgramSettingsUi.h"
#include "shell/settings/SettingsDialogServices.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

namespace pv {

class IPrompts;
struct UIStringTable;

/// The control a MIDI message sets (`LearnTarget`): the tag of the instrument control that last
/// had the focus.
enum class LearnTarget : std::uint8_t
{
    None = 0,
    PianoProgram = 3,
    ClapProgram = 4,
    BeatProgram = 5,
    ClapNote = 6,
    BeatNote = 7,
    FirstBeatNote = 8,
    GuitarProgram = 9,
    ControlNote1 = 11,
    ControlNote2 = 12,
    ControlNote3 = 13,
    ControlNote4 = 14,
    ControlNote5 = 15,
};

/// The sounds of the instruments page's test buttons.
enum class TestSound : std::uint8_t
{
    Piano,
    Guitar,
    Clap,
    Beat,
    FirstBeat,
};

inline constexpr int kControlNoteCount = 5;
/// The program entry after the 128 programs that stands for the percussion channel.
inline constexpr int kDrumEntry = 128;
/// The channel (as the dialog counts them, from 1) whose notes are percussion sounds.
inline constexpr int kDrumChannel = 10;
/// The delay test's square: white and black.
inline constexpr std::uint32_t kFlashWhite = 0xFFFFFF;
inline constexpr std::uint32_t kFlashBlack = 0;

/// The name a control-note edit shows: the pitch class and the octave, note 60 reading "C3".
QString ControlNoteName(int note);

/// What the dialog needs of the program besides its services; every reference must outlive
/// the model.
struct ProgramSettingsModelContext
{
    ISettingsDialogServices& Services;
    IPrompts& Prompts;
    const UIStringTable& Strings;
    QString LanguageFolder; ///< with its closing "/"
    QString MediaFolder;    ///< with its closing "/"
    /// Writes the settings record now: under the defaults' id when asDefaults.
    std::function<void(bool asDefaults)> StoreProgramSettings;
};

class ProgramSettingsModel
{
public:
    explicit ProgramSettingsModel(ProgramSettingsModelContext context);

    /// Fills every value from the settings, each brought into its control's range, and the
    /// lists from the devices and folders as they are now; languageInForce is the language the
    /// texts are in.
    void LoadFromSettings(const TSettingsRec& settings, const QString& languageInForce);

    // Instruments. Channels count from 1; each change plays its sound's test when tests are on.
    void SetPianoChannel(int channel);
    void SetPianoProgram(int program);
    void SetPianoVelocity(int velocity);
    void SetGuitarChannel(int channel);
    void SetGuitarProgram(int program);
    void SetGuitarVelocity(int velocity);
    void SetGuitarNotTransposed(bool on);
    /// Channel 10 puts the program list on the drum entry and disables it; another channel
    /// brings back the program chosen last.
    void SetClapChannel(int channel);
    /// An entry of the clap program list: the drum entry moves the clap to channel 10.
    void ChooseClapProgram(int entry);
    void SetClapNote(int note);
    void SetClapVelocity(int velocity);
    void SetBeatChannel(int channel);
    void ChooseBeatProgram(int entry);
    void SetBeatNote(int note);
    void SetBeatVelocity(int velocity);
    void SetFirstBeatNote(int note);
    void SetFirstBeatVelocity(int velocity);
    /// An instrument control got the focus: changes play their tests from now on, and MIDI
    /// input goes to target (None for a control that learns nothing).
    void FocusInstrumentControl(LearnTarget target);
    /// A test button: turns the tests on and plays the sound.
    void PlayTestSound(TestSound sound);

    // Devices, each opened at once; one that cannot be opened leaves the one in force.
    void ChooseMidiIn(int index);
    void ChooseMidiOut(int index);
    void SetMidiVolume(int volume);
    /// Handed to the sequencer at once, so the user can move the sound against the flash.
    void SetOutputDelay(int ms);
    /// The delay test's button: starts the repeating click, or stops it.
    void ToggleDelayTest();

    // Environment.
    void ChooseLanguage(int index);
    void SetFont(const FontSpec& font);
    void SetColour(std::uint32_t colour);
    void SetRhythmSpacing(int spacing);
    void SetAutoNewQuestion(bool on);
    void SetAutoNewQuestionDelay(int seconds);
    void SetOnlyAfterRight(bool on);
    void SetRepeatThreshold(int percent);
    /// "Show all tips again": the settings command offers every tip again on OK.
    void ResetAllTips();

    // Effects and microphone.
    void SetToneSensitivity(int sensitivity);
    void SetRhythmSensitivity(int sensitivity);
    void SetHighPrecision(bool on);
    void SetSoundEffects(bool on);
    void ChooseRightSound(int index);
    void ChooseWrongSound(int index);
    /// Plays the chosen sound file; nothing without a choice.
    void PlayRightSound();
    void PlayWrongSound();
    void SetWaveVolume(int volume);
    void SetPlayIntro(bool on);

    // Remote control.
    void SetPedalAsEnter(bool on);
    void SetMidiRemote(bool on);
    void SetControlNote(int index, int note);
    /// Up or Right in a control-note edit raise its note by 1, Down or Left lower it.
    void StepControlNote(int index, int step);

    /// A MIDI short message (status, data 1 << 8, data 2 << 16) while the dialog listens.
    void MidiInput(std::uint32_t message);
    /// A sequencer notification for the dialog (codes 1 and 2).
    void SequencerNotify(std::uint16_t code);

    /// OK: stores the instruments and the devices into settings, asks a user of kind 3 whether
    /// changed devices become everybody's, and sends the programs the exercise in use plays.
    void StoreOnOk(TSettingsRec& settings, int userKind, std::optional<ExerciseKind> currentKind);
    /// Closing other than with OK: the devices, volumes and output delay the dialog changed go
    /// back to the ones in force when it was filled.
    void RestoreLiveChanges(const TSettingsRec& settings);
    /// The dialog is hidden: the delay test stops.
    void Hide();

    /// Told after a change that did not come from the window (MIDI input, notifications).
    std::function<void()> Changed;

    // The lists.
    /// The 128 program entries.
    static const std::array<QString, 128>& ProgramEntries();
    /// The clap and metronome program lists: the programs, then DrumName.
    QStringList DrumProgramEntries() const;
    /// The 128 percussion note entries.
    static const std::array<QString, 128>& NoteEntries();

    // The values the window shows.
    int PianoChannel = 1;
    int PianoProgram = 0;
    int PianoVelocity = 0;
    int GuitarChannel = 1;
    int GuitarProgram = 0;
    int GuitarVelocity = 0;
    bool GuitarNotTransposed = false;
    int ClapChannel = 1;
    int ClapProgramEntry = 0; ///< what the clap program list shows (the drum entry on channel 10)
    int ClapNote = 0;
    int ClapVelocity = 0;
    int BeatChannel = 1;
    int BeatProgramEntry = 0;
    int BeatNote = 0;
    int BeatVelocity = 0;
    int FirstBeatNote = 0;
    int FirstBeatVelocity = 0;
    bool TestEnabled = false;
    LearnTarget Learn = LearnTarget::None;
    bool ClapOnDrumChannel = false;
    bool BeatOnDrumChannel = false;
    int ClapProgram = 0; ///< the last program chosen for the clap on another channel than 10
    int BeatProgram = 0;
    QString DrumName = QStringLiteral("Drum");

    std::vector<SettingsDevice> InputDevices;
    std::vector<SettingsDevice> OutputDevices;
    int InputIndex = -1;  ///< -1: nothing chosen
    int OutputIndex = -1; ///< -1: nothing chosen
    int InputPlaceholderIndex = -1;
    int MidiVolume = 0;
    bool MidiVolumeKnown = false;
    int OutputDelay = 0;
    bool DelayTestRunning = false; ///< `BitBtn6.Tag` 2
    std::uint32_t FlashColour = kFlashWhite;

    QStringList Languages;
    int LanguageIndex = -1;
    FontSpec Font;
    std::uint32_t Colour = 0;
    int RhythmSpacing = 0;
    bool AutoNewQuestion = false;
    int AutoNewQuestionDelay = 0;
    bool OnlyAfterRight = false;
    int RepeatThreshold = 0;
    bool TipsReset = false; ///< `ResetTips`

    int ToneSensitivity = 0;
    int RhythmSensitivity = 0;
    bool HighPrecision = false;
    bool SoundEffects = false;
    QStringList WaveNames; ///< base names of the wave files, as the folder spells them
    int RightSoundIndex = -1;
    int WrongSoundIndex = -1;
    int WaveVolume = 0;
    bool WaveVolumeKnown = false;
    bool PlayIntro = false;

    bool PedalAsEnter = false;
    bool MidiRemote = false;
    std::array<int, kControlNoteCount> ControlNotes{};

    /// The language, sounds and devices as chosen; empty when nothing is.
    QString LanguageText() const;
    QString RightSoundText() const;
    QString WrongSoundText() const;

private:
    void PlayTest(TestSound sound);
    void PlayTestIfEnabled(TestSound sound);
    void ApplyDrumRule();
    void QueueDelayClick();
    SoundRecord ClapRecord() const;
    int IndexOfDevice(const std::vector<SettingsDevice>& devices, const QString& name) const;
    void Notify();

    ProgramSettingsModelContext m_context;
    /// What was in force when the dialog was filled, to set back on Cancel.
    QString m_loadedInput;
    QString m_loadedOutput;
    int m_loadedInputIndex = -1;
    int m_loadedOutputIndex = -1;
    std::optional<std::uint8_t> m_loadedMidiVolume;
    std::optional<std::uint8_t> m_loadedWaveVolume;
    /// The devices open now: the ones in force, or the ones chosen and opened since.
    int m_openInputIndex = -1;
    int m_openOutputIndex = -1;
    bool m_inputChosen = false;
    bool m_outputChosen = false;
    bool m_liveDelaySet = false;
    bool m_midiVolumeSet = false;
    bool m_waveVolumeSet = false;
    QStringList m_waveFiles; ///< the file names of WaveNames
};

} // namespace pv
