// The MIDI input.
#include "music/input/MidiIn.h"

#include "music/base/DeviceSelection.h"
#include "music/input/MidiInEvent.h"
#include "music/strings/Format.h"

#include <memory>

namespace pv {

namespace {

constexpr int kErrorTextLength = 200;

} // namespace

TMidiIn::TMidiIn(IMidiInDevices& devices, const IClock& clock, IPrompts& prompts,
                 const UIStringTable& strings)
    : m_devices(devices), m_clock(clock), m_prompts(prompts), m_strings(strings)
{
    ListDevices();
}

TMidiIn::~TMidiIn()
{
    CloseDevice();
}

void TMidiIn::SetReceiver(QObject* receiver)
{
    std::lock_guard lock(m_receiverMutex);
    m_receiver = receiver;
}

void TMidiIn::ListDevices()
{
    m_devicesList.clear();
    const Result<std::vector<MidiInPortInfo>, MidiInError> listed = m_devices.ListInputs();
    if (!listed) {
        m_prompts.ShowMessage(QStringLiteral("Error listing MIDI-in devices"));
        return;
    }
    for (const MidiInPortInfo& port : listed.Value()) {
        if (static_cast<int>(m_devicesList.size()) >= kMaxDevices)
            break;
        m_devicesList.push_back({port.id, port.name, false});
    }
}

void TMidiIn::AddPlaceholder()
{
    // Applying the settings again must not grow the list by another "no device" each time.
    for (const MidiInDeviceEntry& entry : m_devicesList) {
        if (entry.placeholder)
            return;
    }
    m_devicesList.push_back(
        {0, QStringLiteral("(") + m_strings.StrNoDevice + QStringLiteral(")"), true});
}

void TMidiIn::CloseDevice()
{
    if (m_open) {
        // Once closed the device calls Receive no more, so the parser is ours again.
        m_devices.CloseInput();
        m_parser.Reset();
    }
    m_open = false;
    m_started = false;
}

bool TMidiIn::ChangeDevice(std::uint16_t index)
{
    CloseDevice();
    if (index < 1 || index > m_devicesList.size())
        return false;
    const MidiInDeviceEntry& entry = m_devicesList[index - 1U];
    if (entry.placeholder)
        return true;
    m_deviceId = entry.deviceId;
    // By name: the position listed earlier may belong to another port by now.
    const Status<MidiInError> opened = m_devices.OpenInput(entry.name, *this);
    if (!opened) {
        if (opened.Code() == MidiInError::Unexpected) {
            m_prompts.ShowMessage(QStringLiteral("ChangeDevice exception: Error opening MIDI in"));
        } else if (!opened.Detail().isEmpty()) {
            const QString device = QStringLiteral("\"") + entry.name + QStringLiteral("\".\r\n");
            const QString reason =
                QStringLiteral("\r\r\n") + opened.Detail().left(kErrorTextLength);
            m_prompts.ShowMessage(Format(m_strings.StrMidiInOpenError, {device, reason}));
        }
        return false;
    }
    m_open = true;
    return true;
}

bool TMidiIn::SelectByName(QString& name)
{
    return SelectDeviceByName(m_devicesList, name, kDeviceNameCapacity,
                              [this](std::uint16_t entry) { return ChangeDevice(entry); });
}

bool TMidiIn::Start()
{
    if (!m_open)
        return false;
    m_started = true;
    return true;
}

void TMidiIn::SetTarget(std::uint8_t target)
{
    if (target == m_target.load())
        return;
    // The target first, the generation after: a device thread that reads the new generation
    // (it reads the generation first) also reads the new target, and one that read the old
    // generation has its message dropped on arrival.
    m_target = target;
    m_handOff.SetGeneration(++m_generation);
}

void TMidiIn::StartMidiInput(std::uint8_t target, QString& deviceName)
{
    if (!m_open)
        SelectByName(deviceName);
    SetTarget(target);
    Start();
}

void TMidiIn::StopMidiInput()
{
    SetTarget(kMidiInNobody);
}

void TMidiIn::DeliverPosted()
{
    m_handOff.DeliverPosted();
}

void TMidiIn::Receive(std::span<const std::uint8_t> bytes)
{
    const std::uint32_t now = m_clock.NowMs();
    for (const std::uint8_t byte : bytes) {
        std::uint32_t message = 0;
        // Bytes are parsed also while nobody listens, so that running status carries on.
        if (!m_parser.Feed(byte, message) || !m_started.load())
            continue;
        const std::uint64_t generation = m_handOff.Generation();
        const std::uint8_t target = m_target.load();
        if (target == kMidiInNobody)
            continue;
        QPointer<QObject> receiver;
        {
            std::lock_guard lock(m_receiverMutex);
            receiver = m_receiver;
        }
        if (!receiver.isNull())
            m_handOff.Post(receiver, std::make_unique<MidiInEvent>(message, now, target),
                           generation);
    }
}

} // namespace pv
