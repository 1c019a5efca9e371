// The program's side of the microphone.
#include "music/input/MicInput.h"

#include "music/base/ExerciseKind.h"
#include "music/input/MicLibrary.h"

#include <algorithm>
#include <cmath>

namespace pv {

namespace {
// A damaged settings record may hold any byte; beyond 8 the values stop meaning anything
// (and 196608 << t would overflow any integer the library could take).
constexpr std::uint8_t kMaxSensitivity = 8;
} // namespace

int RhythmConfigValue(std::uint8_t rhythmSensitivity)
{
    const int r = std::min(rhythmSensitivity, kMaxSensitivity);
    return (r + 1) * (r + 1) + 2;
}

double ToneConfigValue(std::uint8_t toneSensitivity)
{
    const int t = std::min(toneSensitivity, kMaxSensitivity);
    return std::ldexp(196608.0, t);
}

bool MicInput::Open(QObject* receiver)
{
    m_open = m_library.Open(receiver) > 0;
    return m_open;
}

void MicInput::Close()
{
    WaveInStop();
    if (m_open)
        m_library.Close();
    m_open = false;
}

void MicInput::WaveInSetup(std::uint8_t rhythmSensitivity, std::uint8_t toneSensitivity,
                           std::uint8_t highPrecision)
{
    m_library.Configure(RhythmConfigValue(rhythmSensitivity), highPrecision,
                        ToneConfigValue(toneSensitivity));
}

void MicInput::WaveInStart(std::uint8_t kind)
{
    // Listening with mode 0 could never be stopped: WaveInStop ignores mode 0.
    if (kind == 0)
        return;
    m_waveInMode = kind;
    if (KindFactsOfNumber(kind).MicrophoneHearsTaps)
        m_library.StartOnset();
    else
        m_library.StartPitch();
}

void MicInput::WaveInStop()
{
    if (m_waveInMode == 0)
        return;
    m_waveInMode = 0;
    // What the engine has already found reaches the receiver now, while the mode says nobody
    // listens (its handlers drop it); the stop then drops the rest of the run.
    m_library.DeliverPending();
    m_library.Stop();
}

} // namespace pv
