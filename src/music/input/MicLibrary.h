// What the program asks of the microphone engine: open, configure, listen for pitches or onsets.
#pragma once

#include <cstdint>

class QObject;

namespace pv {

class IMicLibrary
{
public:
    virtual ~IMicLibrary() = default;
    /// Prepares the capture; above 0 = ready, and from then on WaveInPitchEvent and
    /// WaveInOnsetEvent reach the receiver on its thread (a receiver destroyed meanwhile gets
    /// nothing). Called again while open, it changes the receiver.
    virtual int Open(QObject* receiver) = 0;
    /// Stops listening and releases the capture and the analysis thread.
    virtual void Close() = 0;
    virtual void StartPitch() = 0;
    virtual void StartOnset() = 0;
    /// Stops listening; no event of the stopped run reaches the receiver afterwards.
    virtual void Stop() = 0;
    /// Hands the receiver, now, the events of the current run already on their way to it.
    virtual void DeliverPending() = 0;
    /// The MIDI note that the WaveInPitchEvent with this WParam announced (low byte).
    virtual std::uint32_t FetchNote(std::uint8_t wparam) = 0;
    /// The receiver's answer to a pitch event, or to an onset event with WParam below 999.
    virtual void Acknowledge(std::uint32_t wparam) = 0;
    /// rhythmValue = (r + 1)^2 + 2, toneValue = 196608 * 2^t for the sensitivities r, t = 0..8.
    virtual void Configure(int rhythmValue, std::uint8_t highPrecision, double toneValue) = 0;
};

} // namespace pv
