// A MIDI input device list that tests set up, and a keyboard that plays into the open input.
#pragma once

#include "music/input/MidiInDevices.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace pv::test {

class FakeMidiInDevices final : public IMidiInDevices
{
public:
    /// Nothing: the listing fails.
    std::optional<std::vector<MidiInPortInfo>> ports = std::vector<MidiInPortInfo>{};
    /// Names that refuse to open, with the system's reason (an empty reason: none given).
    std::map<QString, Failure<MidiInError>> refusals;
    std::vector<QString> opened;
    int closes = 0;

    Result<std::vector<MidiInPortInfo>, MidiInError> ListInputs() override
    {
        if (!ports)
            return Fail(MidiInError::ListFailed, QStringLiteral("sequencer gone"));
        return *ports;
    }
    Status<MidiInError> OpenInput(const QString& name, IMidiInBytes& sink) override
    {
        CloseInput();
        opened.push_back(name);
        if (const auto refused = refusals.find(name); refused != refusals.end())
            return refused->second;
        m_sink = &sink;
        m_openName = name;
        return {};
    }
    void CloseInput() override
    {
        if (m_sink != nullptr)
            ++closes;
        m_sink = nullptr;
        m_openName.clear();
    }

    /// What a keyboard plugged into the open input sends, as one burst.
    void Play(const std::vector<std::uint8_t>& bytes)
    {
        if (m_sink != nullptr)
            m_sink->Receive(bytes);
    }
    QString OpenName() const { return m_openName; }

private:
    IMidiInBytes* m_sink = nullptr;
    QString m_openName;
};

} // namespace pv::test
