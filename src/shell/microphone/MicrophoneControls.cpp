// The microphone button and the microphone's messages.
#include "shell/microphone/MicrophoneControls.h"

#include "music/input/MicInput.h"
#include "music/input/MicLibrary.h"
#include "music/input/WaveInEvents.h"

namespace pv {

namespace {

std::optional<ExerciseKind> AnsweringKind(std::uint32_t waveInMode, bool taps)
{
    if (waveInMode > 255)
        return std::nullopt;
    const std::optional<ExerciseKind> kind = KindFromNumber(static_cast<int>(waveInMode));
    if (!kind)
        return std::nullopt;
    const ExerciseKindFacts& facts = KindFacts(*kind);
    if (!facts.MicrophoneAnswers || facts.MicrophoneHearsTaps != taps)
        return std::nullopt;
    return kind;
}

} // namespace

std::optional<ExerciseKind> WaveInPitchTarget(std::uint32_t waveInMode)
{
    return AnsweringKind(waveInMode, false);
}

WaveInOnsetAction DecideWaveInOnset(std::uint32_t wparam, std::uint32_t waveInMode)
{
    if (wparam < WaveInOnsetEvent::kOnset) {
        return {waveInMode != 0 ? WaveInOnsetActionKind::Acknowledge : WaveInOnsetActionKind::Drop,
                std::nullopt};
    }
    if (const std::optional<ExerciseKind> kind = AnsweringKind(waveInMode, true))
        return {WaveInOnsetActionKind::RecordTap, kind};
    return {};
}

MicrophoneControls::MicrophoneControls(MicrophoneContext context) : m_c(std::move(context)) {}

void MicrophoneControls::SpeedButton3Click()
{
    if (!m_c.Ui.IsDown(MainControl::SpeedButton3)) {
        WaveInStop();
        return;
    }
    if (!m_c.MicrophoneOpen)
        m_c.MicrophoneOpen = m_c.Input.Open(m_c.Receiver);
    if (!m_c.MicrophoneOpen) {
        m_c.Ui.SetDown(MainControl::SpeedButton3, false);
        return;
    }
    // A press while listening starts anew: the settings may have changed meanwhile.
    m_c.Input.WaveInSetup(m_c.Settings.RhythmSensitivity, m_c.Settings.ToneSensitivity,
                          m_c.Settings.HighPrecision ? 1 : 0);
    if (m_c.State.CurrentKind)
        m_c.Input.WaveInStart(static_cast<std::uint8_t>(KindNumber(*m_c.State.CurrentKind)));
}

void MicrophoneControls::WaveInPitch(std::uint8_t wparam)
{
    const std::uint32_t mode = m_c.Input.WaveInMode();
    if (mode != 0)
        m_c.Library.Acknowledge(wparam);
    // The note is fetched in every mode, so the engine's slot is taken even when dropped.
    const auto note = static_cast<int>(m_c.Library.FetchNote(wparam) & 0xFFU);
    const std::optional<ExerciseKind> kind = WaveInPitchTarget(mode);
    if (kind && m_c.MicPitchInput)
        m_c.MicPitchInput(*kind, note);
}

void MicrophoneControls::WaveInOnset(std::uint32_t wparam, std::uint32_t lparam)
{
    const WaveInOnsetAction action = DecideWaveInOnset(wparam, m_c.Input.WaveInMode());
    switch (action.Action) {
    case WaveInOnsetActionKind::Acknowledge:
        m_c.Library.Acknowledge(wparam);
        break;
    case WaveInOnsetActionKind::RecordTap:
        if (m_c.RecordTap)
            m_c.RecordTap(*action.Kind, lparam);
        break;
    case WaveInOnsetActionKind::Drop:
        break;
    }
}

void MicrophoneControls::ExerciseEntered(ExerciseKind kind)
{
    if (!m_c.MicrophoneOpen || !m_c.Ui.IsDown(MainControl::SpeedButton3) ||
        !KindFacts(kind).MicrophoneAnswers)
        return;
    m_c.Input.WaveInStart(static_cast<std::uint8_t>(KindNumber(kind)));
}

void MicrophoneControls::WaveInStop()
{
    // The note being sung has ended with the listening: it is entered before the stop, which
    // then drops every reading still on its way.
    if (const std::optional<ExerciseKind> kind = WaveInPitchTarget(m_c.Input.WaveInMode());
        kind && m_c.ReleaseNote)
        m_c.ReleaseNote(*kind);
    m_c.Input.WaveInStop();
}

void MicrophoneControls::Close()
{
    m_c.Input.Close();
}

std::vector<CommandRow> MicrophoneControls::Rows()
{
    CommandRow button;
    button.Id = QStringLiteral("SpeedButton3");
    button.Text = QStringLiteral("Microphone");
    button.Checkable = true;
    button.Button = button.Id;
    button.Hint = QStringLiteral("Microphone input");
    button.Run = [this] { SpeedButton3Click(); };
    return {button};
}

bool MicrophoneControls::Register(CommandRegistry& registry)
{
    return registry.Register(QStringLiteral("microphone"), Rows());
}

} // namespace pv
