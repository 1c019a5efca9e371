// The program's side of the microphone: what it listens for, configuration from the settings.
#pragma once

#include <cstdint>

class QObject;

namespace pv {

class IMicLibrary;

/// The configuration value of a rhythm input sensitivity: (r + 1)^2 + 2 (r is held to 0..8).
int RhythmConfigValue(std::uint8_t rhythmSensitivity);
/// The configuration value of a tone input sensitivity: 196608 * 2^t (t is held to 0..8).
double ToneConfigValue(std::uint8_t toneSensitivity);

class MicInput
{
public:
    explicit MicInput(IMicLibrary& library) : m_library(library) {}

    /// 0 when the microphone is not listening, else the exercise kind it was started for.
    std::uint32_t WaveInMode() const { return m_waveInMode; }

    /// Opens the library for the receiver of its events; true when it is ready.
    bool Open(QObject* receiver);
    void Close();
    bool IsOpen() const { return m_open; }

    void WaveInSetup(std::uint8_t rhythmSensitivity, std::uint8_t toneSensitivity,
                     std::uint8_t highPrecision);
    /// Kinds 4..6 listen for onsets, every other kind for pitches; kind 0 starts nothing.
    void WaveInStart(std::uint8_t kind);
    /// When listening: mode 0, the events the library has already sent on their way handed to
    /// the receiver (its handlers then drop them), then the library stops. Does nothing while
    /// the microphone is off.
    void WaveInStop();

private:
    IMicLibrary& m_library;
    std::uint32_t m_waveInMode = 0;
    bool m_open = false;
};

} // namespace pv
