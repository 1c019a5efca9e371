// The settings dialog's model over the program's real MIDI output and input, sequencer and wave
// volume, with fake devices under them, a virtual clock, and a program folder of language and
// wave files.
#pragma once

#include "exercises/base/AnswerSound.h"
#include "music/base/Clock.h"
#include "music/input/MidiIn.h"
#include "music/input/WaveOutVolume.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "shell/settings/ProgramSettingsModel.h"
#include "shell/settings/SettingsDialogServices.h"
#include "support/FakeClock.h"
#include "support/MidiInFakes.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pv::test {

/// Remembers the wave files it was asked to play.
class RecordingWaves final : public IAnswerSound
{
public:
    void Play(const QString& wavFile) override { played.push_back(wavFile); }
    std::vector<QString> played;
};

/// The dialog's sequencer notifications, handed to its model as the window hands them.
class DialogReceiver final : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == SequencerNotifyEvent::Type()) {
            codes.push_back(static_cast<SequencerNotifyEvent*>(e)->Code());
            if (model != nullptr)
                model->SequencerNotify(static_cast<SequencerNotifyEvent*>(e)->Code());
            return true;
        }
        return QObject::event(e);
    }
    ProgramSettingsModel* model = nullptr;
    std::vector<std::uint16_t> codes;
};

/// Routes codes 1 and 2 to the dialog while it listens, as the program does.
class DialogTargets final : public INotifyTargets
{
public:
    explicit DialogTargets(QObject& dialog) : m_dialog(dialog) {}
    bool SettingsDialogListening() const override { return listening; }
    int CurrentExerciseKind() const override { return 0; }
    QObject* Receiver(NotifyReceiver receiver, int) const override
    {
        return receiver == NotifyReceiver::SettingsDialog ? &m_dialog : nullptr;
    }
    bool listening = true;

private:
    QObject& m_dialog;
};

class SettingsDialogRig
{
public:
    SettingsDialogRig()
    {
        EXPECT_TRUE(QDir().mkpath(LanguageFolder()));
        EXPECT_TRUE(QDir().mkpath(MediaFolder()));
        for (const char* name : {"English.LAN", "Dansk.LAN", "Norsk.lan"})
            Put(LanguageFolder() + QString::fromLatin1(name));
        for (const char* name : {"Correct.wav", "Wrong.wav", "Bell.WAV"})
            Put(MediaFolder() + QString::fromLatin1(name));
        strings.StrNoDevice = QStringLiteral("no device");
        strings.StrSettingsQuery = QStringLiteral("Store these devices for everybody?");
        strings.StrSaveResultsCaption = QStringLiteral("Store");
        strings.StrMidiOutOpenError = QStringLiteral("Cannot open %s%s");
        strings.StrMidiInOpenError = QStringLiteral("Cannot open input %s%s");
        inputs.ports = std::vector<MidiInPortInfo>{{1, QStringLiteral("Keyboard")},
                                                   {2, QStringLiteral("Pads")}};
        midiIn.ListDevices();
        midiIn.AddPlaceholder();
        midiOut.SetNotifyTargets(&targets);
        receiver.model = &model;
        settings = DefaultSettings();
        settings.MidiOutDevice = QStringLiteral("Synth");
        settings.MidiInDevice = QStringLiteral("Keyboard");
        QString out = settings.MidiOutDevice;
        EXPECT_TRUE(midiOut.SelectByName(out));
        QString in = settings.MidiInDevice;
        EXPECT_TRUE(midiIn.SelectByName(in));
        prompts.asked.clear();
    }

    QString LanguageFolder() const { return folder.Path() + QStringLiteral("Language/"); }
    QString MediaFolder() const { return folder.Path() + QStringLiteral("Media/"); }
    static void Put(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    }

    void Load(const QString& languageInForce = QStringLiteral("English"))
    {
        model.LoadFromSettings(settings, languageInForce);
    }

    /// Plays what is queued from now on, notifications delivered as they come.
    std::vector<SentMessage> Play(std::uint64_t ms = 5000)
    {
        const std::size_t before = devices.sink.sent.size();
        DriveTo(sequencer, clock, clock.NowUs() + ms * 1000U);
        return {devices.sink.sent.begin() + static_cast<std::ptrdiff_t>(before),
                devices.sink.sent.end()};
    }
    /// The messages sent from the clock's time of the call on, with times from then.
    std::vector<SentMessage> PlayFromNow(std::uint64_t ms = 5000)
    {
        const std::uint64_t start = clock.NowUs() / 1000U;
        std::vector<SentMessage> sent = Play(ms);
        for (SentMessage& message : sent)
            message.ms -= start;
        return sent;
    }

    int storedAsDefaults = 0;
    TempDir folder;
    FakeClock clock;
    FakeDevices devices{clock};
    FakeMidiInDevices inputs;
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    TMidiIn midiIn{inputs, clock, prompts, strings};
    WaveOutVolume waveOut;
    RecordingWaves waves;
    ProgramSettingsServices services{midiOut, midiIn, waveOut, sequencer, &waves};
    DialogReceiver receiver;
    DialogTargets targets{receiver};
    TSettingsRec settings;
    ProgramSettingsModel model{ProgramSettingsModelContext{
        services, prompts, strings, LanguageFolder(), MediaFolder(),
        [this](bool asDefaults) { storedAsDefaults += asDefaults ? 1 : 0; }}};
};

} // namespace pv::test
