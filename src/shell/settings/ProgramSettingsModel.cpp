// The program settings dialog's values and rules.
#include "shell/settings/ProgramSettingsModel.h"

#include "music/base/Prompts.h"
#include "music/files/Folders.h"
#include "music/sequencer/InstrumentNames.h"
#include "music/sequencer/PercussionNames.h"
#include "music/strings/UIStrings.h"
#include "shell/language/LanguageLoader.h"

#include <algorithm>
#include <utility>

#include <QFileInfo>

namespace pv {

namespace {

constexpr int kTestNoteTicks = 500;
constexpr int kDelayClickTicks = 500;
constexpr int kPianoTestNote = 60;
constexpr int kGuitarTestNote = 48;
constexpr int kMaxDelay = 400;
constexpr int kMaxSpacing = 3;
constexpr int kMaxAutoNewDelay = 9;
constexpr int kMaxSensitivity = 8;
constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 72;
constexpr int kDeviceNameCapacity = 47;
constexpr int kSoundNameCapacity = 19;
constexpr int kUserKindWhoKeepsDefaults = 3;
constexpr std::uint16_t kFlashCode = 1;
constexpr std::uint16_t kClickDoneCode = 2;

const QString kEnglish = QStringLiteral("English");

int Clamp(int value, int low, int high)
{
    return std::clamp(value, low, high);
}

int ChannelOf(std::uint16_t stored)
{
    return Clamp(stored, 0, 15) + 1;
}

int Data7(int value)
{
    return Clamp(value, 0, 127);
}

std::uint8_t Byte(int value)
{
    return static_cast<std::uint8_t>(Clamp(value, 0, 255));
}

std::uint16_t Word(int value)
{
    return static_cast<std::uint16_t>(Clamp(value, 0, 0xFFFF));
}

/// The status byte of a message on the dialog's channel n (counted from 1).
std::uint32_t Status(std::uint32_t kind, int channel)
{
    return kind + static_cast<std::uint32_t>(Clamp(channel, 1, 16) - 1);
}

std::uint32_t Packed(std::uint32_t status, int data1, int data2)
{
    return status + static_cast<std::uint32_t>(Data7(data1)) * 256U +
           static_cast<std::uint32_t>(Data7(data2)) * 65536U;
}

int IndexIgnoringCase(const QStringList& list, const QString& text)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].compare(text, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

QString ControlNoteName(int note)
{
    static const std::array<const char*, 12> kNames = {"C",  "Db", "D",  "Eb", "E",  "F",
                                                       "Gb", "G",  "Ab", "A",  "Bb", "B"};
    const int n = Data7(note);
    return QString::fromLatin1(kNames[static_cast<std::size_t>(n % 12)]) +
           QString::number(n / 12 - 2);
}

ProgramSettingsModel::ProgramSettingsModel(ProgramSettingsModelContext context)
    : m_context(std::move(context))
{
}

const std::array<QString, 128>& ProgramSettingsModel::ProgramEntries()
{
    return InstrumentNames();
}

QStringList ProgramSettingsModel::DrumProgramEntries() const
{
    QStringList entries;
    for (const QString& entry : InstrumentNames())
        entries.push_back(entry);
    entries.push_back(DrumName);
    return entries;
}

const std::array<QString, 128>& ProgramSettingsModel::NoteEntries()
{
    return PercussionNames();
}

void ProgramSettingsModel::LoadFromSettings(const TSettingsRec& settings,
                                            const QString& languageInForce)
{
    // Every value is brought into its control's range: a damaged record fills a dialog that
    // stores only values the program can use.
    TestEnabled = false;
    TipsReset = false;
    Learn = LearnTarget::None;

    PianoChannel = ChannelOf(settings.PianoVoice.Channel);
    PianoProgram = Data7(settings.PianoVoice.Program);
    PianoVelocity = Data7(settings.PianoVoice.Velocity);
    GuitarChannel = ChannelOf(settings.GuitarVoice.Channel);
    GuitarProgram = Data7(settings.GuitarVoice.Program);
    GuitarVelocity = Data7(settings.GuitarVoice.Velocity);
    GuitarNotTransposed = settings.GuitarNotTransposed;

    ClapChannel = ChannelOf(settings.ClapSound.Channel);
    ClapVelocity = Data7(settings.ClapSound.Velocity);
    ClapProgram = Data7(settings.ClapSound.Program);
    ClapProgramEntry = ClapProgram;
    ClapNote = Data7(settings.ClapSound.Note);
    BeatChannel = ChannelOf(settings.BeatSound.Channel);
    BeatVelocity = Data7(settings.BeatSound.Velocity);
    BeatProgram = Data7(settings.BeatSound.Program);
    BeatProgramEntry = BeatProgram;
    BeatNote = Data7(settings.BeatSound.Note);
    FirstBeatNote = Data7(settings.FirstBeatSound.Note);
    FirstBeatVelocity = Data7(settings.FirstBeatSound.Velocity);

    ISettingsDialogServices& services = m_context.Services;
    InputDevices = services.MidiInDevices();
    OutputDevices = services.MidiOutDevices();
    InputPlaceholderIndex = -1;
    for (std::size_t i = 0; i < InputDevices.size(); ++i) {
        if (InputDevices[i].Placeholder) {
            InputPlaceholderIndex = static_cast<int>(i);
            break;
        }
    }
    m_loadedInput = settings.MidiInDevice;
    m_loadedOutput = settings.MidiOutDevice;
    InputIndex = IndexOfDevice(InputDevices, settings.MidiInDevice);
    if (InputIndex < 0)
        InputIndex = InputPlaceholderIndex;
    OutputIndex = IndexOfDevice(OutputDevices, settings.MidiOutDevice);
    // No name stored: the first entry is the one an empty name opens.
    if (settings.MidiOutDevice.isEmpty() && !OutputDevices.empty())
        OutputIndex = 0;
    m_loadedInputIndex = InputIndex;
    m_loadedOutputIndex = OutputIndex;
    m_openInputIndex = InputIndex;
    m_openOutputIndex = OutputIndex;
    m_inputChosen = false;
    m_outputChosen = false;

    ApplyDrumRule();

    OutputDelay = Clamp(static_cast<int>(settings.OutputDelay & 0xFFFF), 0, kMaxDelay);
    m_liveDelaySet = false;
    DelayTestRunning = false;
    FlashColour = kFlashWhite;

    Languages = ListLanguageNames(m_context.LanguageFolder);
    LanguageIndex = IndexIgnoringCase(Languages, languageInForce);
    if (LanguageIndex < 0)
        LanguageIndex = IndexIgnoringCase(Languages, kEnglish);

    Font = FontSpec{settings.FontName, Clamp(settings.FontSize, kMinFontSize, kMaxFontSize),
                    static_cast<std::uint8_t>(settings.FontStyle & 0x0F)};
    if (Font.Name.trimmed().isEmpty())
        Font.Name = DefaultSettings().FontName;
    Colour = settings.BackgroundColor;
    RhythmSpacing = Clamp(settings.RhythmSpacing, 0, kMaxSpacing);

    AutoNewQuestion = settings.AutoNewQuestion;
    AutoNewQuestionDelay = Clamp(settings.AutoNewQuestionDelay, 0, kMaxAutoNewDelay);
    OnlyAfterRight = settings.AutoNewOnlyAfterRight;
    RepeatThreshold = Clamp(settings.RepeatThreshold, 0, 100);

    ToneSensitivity = Clamp(settings.ToneSensitivity, 0, kMaxSensitivity);
    RhythmSensitivity = Clamp(settings.RhythmSensitivity, 0, kMaxSensitivity);
    HighPrecision = settings.HighPrecision;
    SoundEffects = settings.SoundEffectsOn;

    // The names as the folder spells them; a longer one than the settings hold would not be
    // found again once stored.
    WaveNames.clear();
    m_waveFiles.clear();
    for (const QString& file :
         GlobCaseInsensitive(m_context.MediaFolder, QStringLiteral("*.wav"))) {
        const QString base = QFileInfo(file).completeBaseName();
        if (base.isEmpty() || base.size() > kSoundNameCapacity ||
            WaveNames.contains(base, Qt::CaseInsensitive))
            continue;
        WaveNames.push_back(base);
        m_waveFiles.push_back(file);
    }
    RightSoundIndex = IndexIgnoringCase(WaveNames, settings.RightSound);
    WrongSoundIndex = IndexIgnoringCase(WaveNames, settings.WrongSound);

    m_loadedMidiVolume = services.MidiVolume();
    MidiVolumeKnown = m_loadedMidiVolume.has_value();
    MidiVolume = m_loadedMidiVolume.value_or(Byte(settings.MidiOutVolume & 0xFF));
    m_loadedWaveVolume = services.WaveVolume();
    WaveVolumeKnown = m_loadedWaveVolume.has_value();
    WaveVolume = m_loadedWaveVolume.value_or(Byte(settings.WaveOutVolume & 0xFF));
    m_midiVolumeSet = false;
    m_waveVolumeSet = false;

    PlayIntro = settings.PlayIntro;
    PedalAsEnter = settings.SustainAsEnter;
    MidiRemote = settings.MidiRemoteControl;
    for (std::size_t i = 0; i < ControlNotes.size(); ++i)
        ControlNotes[i] = Data7(settings.RemoteNotes[i]);
}

int ProgramSettingsModel::IndexOfDevice(const std::vector<SettingsDevice>& devices,
                                        const QString& name) const
{
    if (name.isEmpty())
        return -1;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].Name == name)
            return static_cast<int>(i);
    }
    return -1;
}

void ProgramSettingsModel::ApplyDrumRule()
{
    ClapOnDrumChannel = ClapChannel == kDrumChannel;
    ClapProgramEntry = ClapOnDrumChannel ? kDrumEntry : ClapProgram;
    BeatOnDrumChannel = BeatChannel == kDrumChannel;
    BeatProgramEntry = BeatOnDrumChannel ? kDrumEntry : BeatProgram;
}

void ProgramSettingsModel::Notify()
{
    if (Changed)
        Changed();
}

void ProgramSettingsModel::SetPianoChannel(int channel)
{
    PianoChannel = Clamp(channel, 1, 16);
    PlayTestIfEnabled(TestSound::Piano);
}

void ProgramSettingsModel::SetPianoProgram(int program)
{
    PianoProgram = Data7(program);
    PlayTestIfEnabled(TestSound::Piano);
}

void ProgramSettingsModel::SetPianoVelocity(int velocity)
{
    PianoVelocity = Data7(velocity);
    PlayTestIfEnabled(TestSound::Piano);
}

void ProgramSettingsModel::SetGuitarChannel(int channel)
{
    GuitarChannel = Clamp(channel, 1, 16);
    PlayTestIfEnabled(TestSound::Guitar);
}

void ProgramSettingsModel::SetGuitarProgram(int program)
{
    GuitarProgram = Data7(program);
    PlayTestIfEnabled(TestSound::Guitar);
}

void ProgramSettingsModel::SetGuitarVelocity(int velocity)
{
    GuitarVelocity = Data7(velocity);
    PlayTestIfEnabled(TestSound::Guitar);
}

void ProgramSettingsModel::SetGuitarNotTransposed(bool on)
{
    GuitarNotTransposed = on;
    PlayTestIfEnabled(TestSound::Guitar);
}

void ProgramSettingsModel::SetClapChannel(int channel)
{
    ClapChannel = Clamp(channel, 1, 16);
    ApplyDrumRule();
    PlayTestIfEnabled(TestSound::Clap);
}

void ProgramSettingsModel::ChooseClapProgram(int entry)
{
    if (entry < 0 || entry > kDrumEntry)
        return;
    if (entry == kDrumEntry) {
        SetClapChannel(kDrumChannel);
        return;
    }
    ClapProgram = entry;
    ClapProgramEntry = entry;
    PlayTestIfEnabled(TestSound::Clap);
}

void ProgramSettingsModel::SetClapNote(int note)
{
    ClapNote = Data7(note);
    PlayTestIfEnabled(TestSound::Clap);
}

void ProgramSettingsModel::SetClapVelocity(int velocity)
{
    ClapVelocity = Data7(velocity);
    PlayTestIfEnabled(TestSound::Clap);
}

void ProgramSettingsModel::SetBeatChannel(int channel)
{
    BeatChannel = Clamp(channel, 1, 16);
    ApplyDrumRule();
    PlayTestIfEnabled(TestSound::Beat);
}

void ProgramSettingsModel::ChooseBeatProgram(int entry)
{
    if (entry < 0 || entry > kDrumEntry)
        return;
    if (entry == kDrumEntry) {
        SetBeatChannel(kDrumChannel);
        return;
    }
    BeatProgram = entry;
    BeatProgramEntry = entry;
    PlayTestIfEnabled(TestSound::Beat);
}

void ProgramSettingsModel::SetBeatNote(int note)
{
    BeatNote = Data7(note);
    PlayTestIfEnabled(TestSound::Beat);
}

void ProgramSettingsModel::SetBeatVelocity(int velocity)
{
    BeatVelocity = Data7(velocity);
    PlayTestIfEnabled(TestSound::Beat);
}

void ProgramSettingsModel::SetFirstBeatNote(int note)
{
    FirstBeatNote = Data7(note);
    PlayTestIfEnabled(TestSound::FirstBeat);
}

void ProgramSettingsModel::SetFirstBeatVelocity(int velocity)
{
    FirstBeatVelocity = Data7(velocity);
    PlayTestIfEnabled(TestSound::FirstBeat);
}

void ProgramSettingsModel::FocusInstrumentControl(LearnTarget target)
{
    TestEnabled = true;
    Learn = target;
}

void ProgramSettingsModel::PlayTestSound(TestSound sound)
{
    TestEnabled = true;
    PlayTest(sound);
}

void ProgramSettingsModel::PlayTestIfEnabled(TestSound sound)
{
    if (TestEnabled)
        PlayTest(sound);
}

void ProgramSettingsModel::PlayTest(TestSound sound)
{
    int channel = 1;
    int note = 0;
    int velocity = 0;
    // The programs only: the entry that stands for the percussion channel is no program, and a
    // program sent there would change the drum kit.
    std::optional<int> program;
    switch (sound) {
    case TestSound::Piano:
        channel = PianoChannel;
        program = PianoProgram;
        note = kPianoTestNote;
        velocity = PianoVelocity;
        break;
    case TestSound::Guitar:
        channel = GuitarChannel;
        program = GuitarProgram;
        note = GuitarNotTransposed ? kPianoTestNote : kGuitarTestNote;
        velocity = GuitarVelocity;
        break;
    case TestSound::Clap:
        channel = ClapChannel;
        if (!ClapOnDrumChannel)
            program = ClapProgram;
        note = ClapNote;
        velocity = ClapVelocity;
        break;
    case TestSound::Beat:
    case TestSound::FirstBeat:
        channel = BeatChannel;
        if (!BeatOnDrumChannel)
            program = BeatProgram;
        note = sound == TestSound::Beat ? BeatNote : FirstBeatNote;
        velocity = sound == TestSound::Beat ? BeatVelocity : FirstBeatVelocity;
        break;
    }
    ISettingsDialogServices& services = m_context.Services;
    services.StopQueue();
    if (program)
        services.QueueProgramChange(static_cast<std::uint8_t>(Data7(*program)),
                                    static_cast<std::uint8_t>(channel - 1));
    services.QueueMessage(Packed(Status(0x90, channel), note, velocity));
    services.QueueWait(kTestNoteTicks);
    services.QueueMessage(Packed(Status(0x80, channel), note, 0));
    services.StartQueue();
}

void ProgramSettingsModel::ChooseMidiIn(int index)
{
    if (index < 0 || index >= static_cast<int>(InputDevices.size()))
        return;
    m_inputChosen = true;
    if (index == m_openInputIndex) {
        InputIndex = index;
        return;
    }
    ISettingsDialogServices& services = m_context.Services;
    if (services.SelectMidiIn(InputDevices[static_cast<std::size_t>(index)].Name)) {
        m_openInputIndex = index;
    } else if (m_openInputIndex >= 0) {
        // Opening closed the device in force: it is opened again, so a device that failed
        // leaves the input as it was.
        services.SelectMidiIn(InputDevices[static_cast<std::size_t>(m_openInputIndex)].Name);
    }
    InputIndex = m_openInputIndex;
}

void ProgramSettingsModel::ChooseMidiOut(int index)
{
    if (index < 0 || index >= static_cast<int>(OutputDevices.size()))
        return;
    m_outputChosen = true;
    if (index == m_openOutputIndex) {
        OutputIndex = index;
        return;
    }
    ISettingsDialogServices& services = m_context.Services;
    if (services.SelectMidiOut(OutputDevices[static_cast<std::size_t>(index)].Name)) {
        m_openOutputIndex = index;
    } else if (m_openOutputIndex >= 0) {
        services.SelectMidiOut(OutputDevices[static_cast<std::size_t>(m_openOutputIndex)].Name);
    }
    OutputIndex = m_openOutputIndex;
}

void ProgramSettingsModel::SetMidiVolume(int volume)
{
    MidiVolume = Clamp(volume, 0, 255);
    m_midiVolumeSet = true;
    m_context.Services.SetMidiVolume(Byte(MidiVolume));
}

void ProgramSettingsModel::SetOutputDelay(int ms)
{
    OutputDelay = Clamp(ms, 0, kMaxDelay);
    m_liveDelaySet = true;
    m_context.Services.SetOutputDelay(Word(OutputDelay));
}

SoundRecord ProgramSettingsModel::ClapRecord() const
{
    return SoundRecord{
        static_cast<std::uint16_t>(ClapChannel - 1), static_cast<std::uint16_t>(ClapProgram),
        static_cast<std::uint16_t>(ClapVelocity), static_cast<std::uint16_t>(ClapNote)};
}

void ProgramSettingsModel::QueueDelayClick()
{
    ISettingsDialogServices& services = m_context.Services;
    // The sequencer alone: switching every note off here would cut the click just begun.
    services.StopSequencer();
    services.QueueNotify(kFlashCode);
    services.QueueClick(kDelayClickTicks, ClapRecord(), kClickDoneCode);
    services.StartQueue();
}

void ProgramSettingsModel::ToggleDelayTest()
{
    if (DelayTestRunning) {
        // The click under way ends with its notification, which then queues nothing.
        DelayTestRunning = false;
        return;
    }
    DelayTestRunning = true;
    QueueDelayClick();
}

void ProgramSettingsModel::SequencerNotify(std::uint16_t code)
{
    if (code == kFlashCode) {
        FlashColour = FlashColour == kFlashWhite ? kFlashBlack : kFlashWhite;
        Notify();
    } else if (code == kClickDoneCode && DelayTestRunning) {
        QueueDelayClick();
    }
}

void ProgramSettingsModel::ChooseLanguage(int index)
{
    if (index >= 0 && index < Languages.size())
        LanguageIndex = index;
}

void ProgramSettingsModel::SetFont(const FontSpec& font)
{
    if (font.Name.trimmed().isEmpty())
        return;
    Font = FontSpec{font.Name, Clamp(font.Size, kMinFontSize, kMaxFontSize),
                    static_cast<std::uint8_t>(font.Style & 0x0F)};
}

void ProgramSettingsModel::SetColour(std::uint32_t colour)
{
    Colour = colour;
}

void ProgramSettingsModel::SetRhythmSpacing(int spacing)
{
    RhythmSpacing = Clamp(spacing, 0, kMaxSpacing);
}

void ProgramSettingsModel::SetAutoNewQuestion(bool on)
{
    AutoNewQuestion = on;
}

void ProgramSettingsModel::SetAutoNewQuestionDelay(int seconds)
{
    AutoNewQuestionDelay = Clamp(seconds, 0, kMaxAutoNewDelay);
}

void ProgramSettingsModel::SetOnlyAfterRight(bool on)
{
    OnlyAfterRight = on;
}

void ProgramSettingsModel::SetRepeatThreshold(int percent)
{
    RepeatThreshold = Clamp(percent, 0, 100);
}

void ProgramSettingsModel::ResetAllTips()
{
    TipsReset = true;
}

void ProgramSettingsModel::SetToneSensitivity(int sensitivity)
{
    ToneSensitivity = Clamp(sensitivity, 0, kMaxSensitivity);
}

void ProgramSettingsModel::SetRhythmSensitivity(int sensitivity)
{
    RhythmSensitivity = Clamp(sensitivity, 0, kMaxSensitivity);
}

void ProgramSettingsModel::SetHighPrecision(bool on)
{
    HighPrecision = on;
}

void ProgramSettingsModel::SetSoundEffects(bool on)
{
    SoundEffects = on;
}

void ProgramSettingsModel::ChooseRightSound(int index)
{
    if (index >= 0 && index < WaveNames.size())
        RightSoundIndex = index;
}

void ProgramSettingsModel::ChooseWrongSound(int index)
{
    if (index >= 0 && index < WaveNames.size())
        WrongSoundIndex = index;
}

void ProgramSettingsModel::PlayRightSound()
{
    if (RightSoundIndex >= 0 && RightSoundIndex < m_waveFiles.size())
        m_context.Services.PlayWave(m_context.MediaFolder + m_waveFiles[RightSoundIndex]);
}

void ProgramSettingsModel::PlayWrongSound()
{
    if (WrongSoundIndex >= 0 && WrongSoundIndex < m_waveFiles.size())
        m_context.Services.PlayWave(m_context.MediaFolder + m_waveFiles[WrongSoundIndex]);
}

void ProgramSettingsModel::SetWaveVolume(int volume)
{
    WaveVolume = Clamp(volume, 0, 255);
    m_waveVolumeSet = true;
    m_context.Services.SetWaveVolume(Byte(WaveVolume));
}

void ProgramSettingsModel::SetPlayIntro(bool on)
{
    PlayIntro = on;
}

void ProgramSettingsModel::SetPedalAsEnter(bool on)
{
    PedalAsEnter = on;
}

void ProgramSettingsModel::SetMidiRemote(bool on)
{
    MidiRemote = on;
}

void ProgramSettingsModel::SetControlNote(int index, int note)
{
    if (index < 0 || index >= kControlNoteCount)
        return;
    ControlNotes[static_cast<std::size_t>(index)] = Data7(note);
}

void ProgramSettingsModel::StepControlNote(int index, int step)
{
    if (index < 0 || index >= kControlNoteCount)
        return;
    SetControlNote(index, ControlNotes[static_cast<std::size_t>(index)] + step);
}

void ProgramSettingsModel::MidiInput(std::uint32_t message)
{
    const std::uint32_t status = message & 0xF0U;
    const int data1 = static_cast<int>((message >> 8) & 0x7FU);
    const int data2 = static_cast<int>((message >> 16) & 0x7FU);
    if (status == 0xC0U) {
        switch (Learn) {
        case LearnTarget::PianoProgram:
            SetPianoProgram(data1);
            break;
        case LearnTarget::GuitarProgram:
            SetGuitarProgram(data1);
            break;
        // On the percussion channel the list shows no program to learn.
        case LearnTarget::ClapProgram:
            if (ClapOnDrumChannel)
                return;
            ChooseClapProgram(data1);
            break;
        case LearnTarget::BeatProgram:
            if (BeatOnDrumChannel)
                return;
            ChooseBeatProgram(data1);
            break;
        default:
            return;
        }
    } else if (status == 0x90U && data2 != 0) {
        switch (Learn) {
        case LearnTarget::ClapNote:
            SetClapNote(data1);
            break;
        case LearnTarget::BeatNote:
            SetBeatNote(data1);
            break;
        case LearnTarget::FirstBeatNote:
            SetFirstBeatNote(data1);
            break;
        case LearnTarget::ControlNote1:
        case LearnTarget::ControlNote2:
        case LearnTarget::ControlNote3:
        case LearnTarget::ControlNote4:
        case LearnTarget::ControlNote5:
            SetControlNote(static_cast<int>(Learn) - static_cast<int>(LearnTarget::ControlNote1),
                           data1);
            break;
        default:
            return;
        }
    } else {
        return;
    }
    Notify();
}

QString ProgramSettingsModel::LanguageText() const
{
    return LanguageIndex >= 0 && LanguageIndex < Languages.size() ? Languages[LanguageIndex]
                                                                  : QString();
}

QString ProgramSettingsModel::RightSoundText() const
{
    return RightSoundIndex >= 0 && RightSoundIndex < WaveNames.size() ? WaveNames[RightSoundIndex]
                                                                      : QString();
}

QString ProgramSettingsModel::WrongSoundText() const
{
    return WrongSoundIndex >= 0 && WrongSoundIndex < WaveNames.size() ? WaveNames[WrongSoundIndex]
                                                                      : QString();
}

void ProgramSettingsModel::StoreOnOk(TSettingsRec& settings, int userKind,
                                     std::optional<ExerciseKind> currentKind)
{
    const auto word = [](int value) { return static_cast<std::uint16_t>(value); };
    settings.PianoVoice.Channel = word(PianoChannel - 1);
    settings.PianoVoice.Program = word(PianoProgram);
    settings.PianoVoice.Velocity = word(PianoVelocity);
    settings.PianoVoice.Note = word(Data7(settings.PianoVoice.Note));
    settings.GuitarVoice.Channel = word(GuitarChannel - 1);
    settings.GuitarVoice.Program = word(GuitarProgram);
    settings.GuitarVoice.Velocity = word(GuitarVelocity);
    settings.GuitarVoice.Note = word(Data7(settings.GuitarVoice.Note));
    settings.GuitarNotTransposed = GuitarNotTransposed;
    settings.ClapSound = {word(ClapChannel - 1), word(ClapProgram), word(ClapVelocity),
                          word(ClapNote)};
    settings.BeatSound = {word(BeatChannel - 1), word(BeatProgram), word(BeatVelocity),
                          word(BeatNote)};
    settings.FirstBeatSound = {word(BeatChannel - 1), word(BeatProgram), word(FirstBeatVelocity),
                               word(FirstBeatNote)};

    // Only a device the user chose and that opened is stored: a stored device missing from
    // the lists today keeps its name, so it is found again when it comes back.
    bool deviceChanged = false;
    if (m_inputChosen && InputIndex >= 0 && InputIndex != m_loadedInputIndex) {
        const SettingsDevice& device = InputDevices[static_cast<std::size_t>(InputIndex)];
        // "No device" is a choice of its own for the input: the placeholder is listed beside
        // the real devices at every start, so its name finds it again and the input stays
        // closed. An empty name would open the first keyboard at the next start instead.
        const QString name = device.Name.left(kDeviceNameCapacity);
        if (name != settings.MidiInDevice) {
            settings.MidiInDevice = name;
            deviceChanged = true;
        }
    }
    if (m_outputChosen && OutputIndex >= 0 && OutputIndex != m_loadedOutputIndex) {
        const SettingsDevice& device = OutputDevices[static_cast<std::size_t>(OutputIndex)];
        const QString name =
            DeviceNameToStore(device.Name, device.Placeholder).left(kDeviceNameCapacity);
        if (name != settings.MidiOutDevice) {
            settings.MidiOutDevice = name;
            deviceChanged = true;
        }
    }
    if (deviceChanged && userKind == kUserKindWhoKeepsDefaults &&
        m_context.Prompts.AskYesNo(m_context.Strings.StrSettingsQuery,
                                   m_context.Strings.StrSaveResultsCaption) == PromptButton::Yes &&
        m_context.StoreProgramSettings)
        m_context.StoreProgramSettings(true);

    // The programs of what is being played go out now; the percussion channel gets none.
    ISettingsDialogServices& services = m_context.Services;
    const bool rhythmSounds = !currentKind || KindFacts(*currentKind).MaxRhythmBars > 0;
    if (rhythmSounds) {
        if (!BeatOnDrumChannel)
            services.ProgramChange(static_cast<std::uint8_t>(BeatProgram),
                                   static_cast<std::uint8_t>(BeatChannel - 1));
        if (!ClapOnDrumChannel)
            services.ProgramChange(static_cast<std::uint8_t>(ClapProgram),
                                   static_cast<std::uint8_t>(ClapChannel - 1));
    } else {
        services.ProgramChange(static_cast<std::uint8_t>(PianoProgram),
                               static_cast<std::uint8_t>(PianoChannel - 1));
        services.ProgramChange(static_cast<std::uint8_t>(GuitarProgram),
                               static_cast<std::uint8_t>(GuitarChannel - 1));
    }
}

void ProgramSettingsModel::RestoreLiveChanges(const TSettingsRec& settings)
{
    ISettingsDialogServices& services = m_context.Services;
    // The entry shown at opening: the stored device, or "no device" for a stored device that
    // is gone, whose name finds nothing and would leave the device opened meanwhile open.
    if (m_openInputIndex != m_loadedInputIndex && m_loadedInputIndex >= 0)
        services.SelectMidiIn(InputDevices[static_cast<std::size_t>(m_loadedInputIndex)].Name);
    const bool outputRestored = m_openOutputIndex != m_loadedOutputIndex;
    if (outputRestored) {
        if (!settings.MidiOutDevice.isEmpty())
            services.SelectMidiOut(settings.MidiOutDevice);
        else if (!OutputDevices.empty())
            services.SelectMidiOut(OutputDevices.front().Name);
    }
    if ((m_midiVolumeSet || outputRestored) && m_loadedMidiVolume)
        services.SetMidiVolume(*m_loadedMidiVolume);
    if (m_waveVolumeSet && m_loadedWaveVolume)
        services.SetWaveVolume(*m_loadedWaveVolume);
    if (m_liveDelaySet)
        services.SetOutputDelay(static_cast<std::uint16_t>(settings.OutputDelay & 0xFFFF));
    m_openInputIndex = m_loadedInputIndex;
    m_openOutputIndex = m_loadedOutputIndex;
}

void ProgramSettingsModel::Hide()
{
    DelayTestRunning = false;
}

} // namespace pv
