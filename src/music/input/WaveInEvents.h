// The two events the microphone posts to its receiver: a pitch is ready, an onset was heard.
#pragma once

#include <cstdint>

#include <QEvent>

namespace pv {

/// A sung note is ready; the receiver fetches it with IMicLibrary::FetchNote(WParam()).
class WaveInPitchEvent final : public QEvent
{
public:
    explicit WaveInPitchEvent(std::uint8_t wparam) : QEvent(EventType()), m_wparam(wparam) {}
    /// Registered once, as QEvent::User + 1281 when that number is free.
    static QEvent::Type EventType();
    std::uint8_t WParam() const { return m_wparam; }

private:
    std::uint8_t m_wparam;
};

/// WParam 999 or more: an onset at LParam milliseconds of pv::MonotonicMs(); below 999: a
/// message the receiver hands back to IMicLibrary::Acknowledge.
class WaveInOnsetEvent final : public QEvent
{
public:
    static constexpr std::uint32_t kOnset = 999;

    WaveInOnsetEvent(std::uint32_t wparam, std::uint32_t lparam)
        : QEvent(EventType()), m_wparam(wparam), m_lparam(lparam)
    {
    }
    /// Registered once, as QEvent::User + 1282 when that number is free.
    static QEvent::Type EventType();
    std::uint32_t WParam() const { return m_wparam; }
    std::uint32_t LParam() const { return m_lparam; }
    bool IsOnset() const { return m_wparam >= kOnset; }

private:
    std::uint32_t m_wparam;
    std::uint32_t m_lparam;
};

} // namespace pv
