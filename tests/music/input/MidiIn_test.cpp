// The MIDI input: the device list and its placeholder, opening by name, the byte stream cut
// into messages, and what reaches the receiver (when, for whom, and what never does).
#include "music/input/MidiIn.h"
#include "music/input/MidiInEvent.h"
#include "music/sequencer/MidiMessage.h"
#include "music/strings/UIStrings.h"
#include "support/FakeClock.h"
#include "support/MidiInFakes.h"
#include "support/ScriptedPrompts.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <thread>
#include <vector>

#include <QObject>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::FakeMidiInDevices;

constexpr std::uint32_t Msg(std::uint32_t status, std::uint32_t d1, std::uint32_t d2 = 0)
{
    return status | (d1 << 8) | (d2 << 16);
}

struct Received
{
    std::uint32_t message;
    std::uint32_t timeMs;
    std::uint8_t target;
    bool operator==(const Received&) const = default;
};

void PrintTo(const Received& r, std::ostream* os)
{
    *os << std::hex << r.message << std::dec << " at " << r.timeMs << " ms for " << int{r.target};
}

class Receiver final : public QObject
{
public:
    std::vector<Received> got;
    std::vector<std::uint32_t> Messages() const
    {
        std::vector<std::uint32_t> messages;
        for (const Received& r : got)
            messages.push_back(r.message);
        return messages;
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != MidiInEvent::EventType())
            return QObject::event(e);
        const auto* in = static_cast<const MidiInEvent*>(e);
        got.push_back({in->Message(), in->TimeMs(), in->Target()});
        return true;
    }
};

std::vector<MidiInPortInfo> Ports(std::initializer_list<const char*> names)
{
    std::vector<MidiInPortInfo> ports;
    std::uint32_t id = 0;
    for (const char* name : names)
        ports.push_back({id++, QString::fromLatin1(name)});
    return ports;
}

class MidiInTest : public ::testing::Test
{
protected:
    MidiInTest()
    {
        strings.StrNoDevice = QStringLiteral("no device");
        strings.StrMidiInOpenError = QStringLiteral("Cannot open the input %s%s");
        devices.ports = Ports({"Keyboard", "Pads"});
    }

    /// Made on first use, so that a case can set up the devices it lists first.
    TMidiIn& In()
    {
        if (!midiIn) {
            midiIn = std::make_unique<TMidiIn>(devices, clock, prompts, strings);
            midiIn->SetReceiver(&receiver);
        }
        return *midiIn;
    }

    /// The keyboard open and input started for exercise kind 1.
    void Listening()
    {
        QString name = QStringLiteral("Keyboard");
        In().StartMidiInput(1, name);
        ASSERT_TRUE(In().IsOpen());
        ASSERT_TRUE(In().IsStarted());
    }

    test::FakeClock clock;
    FakeMidiInDevices devices;
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    Receiver receiver;
    std::unique_ptr<TMidiIn> midiIn;
};

TEST_F(MidiInTest, TheByteStreamIsCutIntoChannelMessagesWhateverTheBytes)
{
    struct StreamCase
    {
        const char* name;
        Bytes bytes;
        std::vector<std::uint32_t> expected;
    };
    const StreamCase cases[] = {
        {"note on and note off",
         {0x90, 60, 100, 0x80, 60, 64},
         {Msg(0x90, 60, 100), Msg(0x80, 60, 64)}},
        {"running status, the last a note on of velocity 0",
         {0x91, 60, 100, 64, 90, 60, 0},
         {Msg(0x91, 60, 100), Msg(0x91, 64, 90), Msg(0x91, 60, 0)}},
        {"one data byte messages under running status",
         {0xC2, 5, 6, 0xD0, 70},
         {Msg(0xC2, 5, 0), Msg(0xC2, 6, 0), Msg(0xD0, 70, 0)}},
        {"data bytes before any status are dropped", {60, 100, 0x90, 62, 80}, {Msg(0x90, 62, 80)}},
        {"real-time bytes inside a message do not break it nor the running status",
         {0x90, 0xF8, 60, 0xFE, 100, 0xFA, 62, 0xFF, 90},
         {Msg(0x90, 60, 100), Msg(0x90, 62, 90)}},
        {"system exclusive is passed over and ends the running status",
         {0x90, 60, 100, 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 60, 0, 0x80, 60, 0},
         {Msg(0x90, 60, 100), Msg(0x80, 60, 0)}},
        {"system common data bytes belong to no channel",
         {0xB0, 64, 127, 0xF2, 0x10, 0x20, 0xF1, 0x30, 64, 0},
         {Msg(0xB0, 64, 127)}},
        {"a status byte cuts an unfinished message", {0x90, 60, 0xE0, 0, 64}, {Msg(0xE0, 0, 64)}},
    };
    for (const bool bytewise : {false, true}) {
        for (const StreamCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (bytewise ? ", byte by byte" : ""));
            TMidiIn& in = In();
            QString name = QStringLiteral("Keyboard");
            // A new device each time: nothing begun in one case spills into the next.
            ASSERT_TRUE(in.ChangeDevice(2));
            in.StartMidiInput(1, name);
            receiver.got.clear();
            if (bytewise) {
                for (const std::uint8_t byte : c.bytes)
                    devices.Play({byte});
            } else {
                devices.Play(c.bytes);
            }
            in.DeliverPosted();
            EXPECT_EQ(receiver.Messages(), c.expected);
        }
    }
    // The velocity-0 note on is delivered as it came, and reads as a note off.
    EXPECT_TRUE(IsNoteOffMessage(Msg(0x91, 60, 0)));
}

TEST_F(MidiInTest, BytesOfEveryValueGiveOnlyWellFormedMessages)
{
    Listening();
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes noise(20000);
    for (std::uint8_t& b : noise)
        b = static_cast<std::uint8_t>(byte(random));
    devices.Play(noise);
    // A well-formed note after the noise still comes through whole.
    devices.Play({0xF7, 0x93, 72, 33});
    In().DeliverPosted();
    ASSERT_FALSE(receiver.got.empty());
    for (const Received& r : receiver.got) {
        const std::uint8_t status = MessageStatus(r.message);
        ASSERT_GE(status, 0x80) << std::hex << r.message;
        ASSERT_LT(status, 0xF0) << std::hex << r.message;
        ASSERT_LT(MessageData1(r.message), 0x80) << std::hex << r.message;
        ASSERT_LT(MessageData2(r.message), 0x80) << std::hex << r.message;
        ASSERT_EQ(r.message >> 24, 0U) << std::hex << r.message;
        if ((status & 0xE0) == 0xC0) { // program change, channel pressure: one data byte
            ASSERT_EQ(MessageData2(r.message), 0) << std::hex << r.message;
        }
    }
    EXPECT_EQ(receiver.got.back().message, Msg(0x93, 72, 33));
}

TEST_F(MidiInTest, MessagesCarryTheSharedClockTimeAndTheTargetOfTheirArrival)
{
    clock.SetMs(1'000);
    Listening();
    devices.Play({0x90, 60, 100});
    clock.AdvanceMs(250);
    devices.Play({0x80, 60, 0});
    In().DeliverPosted();
    QString name;
    In().StartMidiInput(kMidiInItemEditor, name);
    clock.SetMs(0x1'0000'0005ULL); // the 32-bit millisecond clock wraps
    devices.Play({0x90, 64, 1});
    In().DeliverPosted();
    const std::vector<Received> expected = {
        {Msg(0x90, 60, 100), 1'000, 1},
        {Msg(0x80, 60, 0), 1'250, 1},
        {Msg(0x90, 64, 1), 5, kMidiInItemEditor},
    };
    EXPECT_EQ(receiver.got, expected);
}

TEST_F(MidiInTest, StoppedOrRetargetedInputDropsWhatWasStillOnItsWay)
{
    Listening();
    devices.Play({0x90, 60, 100});
    In().StopMidiInput();
    devices.Play({0x90, 62, 100});
    In().DeliverPosted();
    EXPECT_TRUE(receiver.got.empty()) << "neither the message in flight nor the later one";
    EXPECT_TRUE(In().IsOpen()) << "stopping keeps the device open and running";
    EXPECT_TRUE(In().IsStarted());

    // Starting again does not reopen the device that is still open.
    QString name = QStringLiteral("Keyboard");
    In().StartMidiInput(4, name);
    EXPECT_EQ(devices.opened.size(), 1U);
    devices.Play({0x90, 64, 100});
    In().StartMidiInput(7, name); // another window takes over before delivery
    devices.Play({0x90, 65, 100});
    In().StartMidiInput(7, name); // the same target again loses nothing
    In().DeliverPosted();
    const std::vector<Received> expected = {{Msg(0x90, 65, 100), 0, 7}};
    EXPECT_EQ(receiver.got, expected);
}

TEST_F(MidiInTest, NothingArrivesBeforeStartOrAfterTheReceiverIsGone)
{
    ASSERT_TRUE(In().ChangeDevice(1));
    EXPECT_FALSE(In().IsStarted());
    devices.Play({0x90, 60, 100});
    In().DeliverPosted();
    EXPECT_TRUE(receiver.got.empty()) << "opened but not started";

    QString name;
    In().StartMidiInput(2, name);
    auto gone = std::make_unique<Receiver>();
    In().SetReceiver(gone.get());
    devices.Play({0x90, 60, 100});
    gone.reset();
    In().DeliverPosted();
    devices.Play({0x90, 61, 100});
    In().DeliverPosted();
    EXPECT_TRUE(receiver.got.empty());
}

TEST_F(MidiInTest, MessagesFromTheDeviceThreadArriveInOrderOnThisThread)
{
    Listening();
    constexpr int kNotes = 500;
    std::thread device([this] {
        for (int i = 0; i < kNotes; ++i)
            devices.Play({0x90, static_cast<std::uint8_t>(i % 128), 100,
                          static_cast<std::uint8_t>(i % 128), 0});
    });
    device.join();
    In().DeliverPosted();
    ASSERT_EQ(receiver.got.size(), 2U * kNotes);
    for (int i = 0; i < kNotes; ++i) {
        ASSERT_EQ(receiver.got[2U * i].message, Msg(0x90, i % 128, 100)) << i;
        ASSERT_EQ(receiver.got[2U * i + 1].message, Msg(0x90, i % 128, 0)) << i;
    }
}

TEST_F(MidiInTest, AFailedListingLeavesOnlyThePlaceholderAndItsNameIsNeverStored)
{
    devices.ports.reset();
    TMidiIn& in = In();
    EXPECT_EQ(prompts.Count(QStringLiteral("message")), 1);
    EXPECT_EQ(prompts.asked.at(0).text, QStringLiteral("Error listing MIDI-in devices"));
    EXPECT_EQ(in.DeviceCount(), 0);

    in.AddPlaceholder();
    in.AddPlaceholder(); // the settings are applied again
    ASSERT_EQ(in.DeviceCount(), 1);
    EXPECT_TRUE(in.Devices()[0].placeholder);
    EXPECT_EQ(in.Devices()[0].name, QStringLiteral("(no device)"));

    QString name;
    EXPECT_TRUE(in.SelectByName(name)) << "choosing no device succeeds";
    EXPECT_FALSE(in.IsOpen());
    EXPECT_TRUE(name.isEmpty()) << "a later run with a keyboard must still find it by name";
    in.StartMidiInput(1, name);
    EXPECT_FALSE(in.IsStarted());
    EXPECT_TRUE(devices.opened.empty());
}

TEST_F(MidiInTest, TheListHoldsNineteenDevicesAndThePlaceholderAfterThem)
{
    devices.ports = std::vector<MidiInPortInfo>{};
    for (std::uint32_t i = 0; i < 25; ++i)
        devices.ports->push_back({i, QStringLiteral("Port %1").arg(i)});
    TMidiIn& in = In();
    ASSERT_EQ(in.DeviceCount(), TMidiIn::kMaxDevices);
    in.AddPlaceholder();
    ASSERT_EQ(in.DeviceCount(), TMidiIn::kMaxDevices + 1);
    EXPECT_TRUE(in.Devices().back().placeholder);

    ASSERT_TRUE(in.ChangeDevice(19));
    EXPECT_EQ(devices.OpenName(), QStringLiteral("Port 18"));
    EXPECT_TRUE(in.ChangeDevice(20)) << "the placeholder";
    EXPECT_FALSE(in.IsOpen());
    EXPECT_EQ(devices.closes, 1) << "choosing the placeholder closes the device";
    for (const std::uint16_t outside : {std::uint16_t{0}, std::uint16_t{21}})
        EXPECT_FALSE(in.ChangeDevice(outside)) << outside;
}

TEST_F(MidiInTest, DevicesAreOpenedByTheirNameOnly)
{
    devices.ports = Ports({"Keyboard", "Pads",
                           "A keyboard with a name longer than the settings "
                           "record can hold"});
    TMidiIn& in = In();
    // The ports move after the listing: opening goes by the name, never the earlier place.
    devices.ports = Ports({"Pads", "Keyboard"});
    QString name = QStringLiteral("Pads");
    ASSERT_TRUE(in.SelectByName(name));
    EXPECT_EQ(devices.OpenName(), QStringLiteral("Pads"));
    EXPECT_EQ(in.DeviceId(), 1U);

    QString unknown = QStringLiteral("Drums");
    EXPECT_FALSE(in.SelectByName(unknown));
    EXPECT_EQ(devices.OpenName(), QStringLiteral("Pads")) << "an unknown name changes nothing";
    QString otherCase = QStringLiteral("keyboard");
    EXPECT_FALSE(in.SelectByName(otherCase)) << "names compare exactly";

    QString empty;
    ASSERT_TRUE(in.SelectByName(empty));
    EXPECT_EQ(devices.OpenName(), QStringLiteral("Keyboard"));
    EXPECT_EQ(empty, QStringLiteral("Keyboard")) << "the first device's name is written back";

    // A name written back is cut to what the settings record holds.
    devices.ports = Ports({"A keyboard with a name longer than the settings record can hold"});
    in.ListDevices();
    QString cut;
    ASSERT_TRUE(in.SelectByName(cut));
    EXPECT_EQ(cut.size(), TMidiIn::kDeviceNameCapacity);
    EXPECT_TRUE(in.Devices()[0].name.startsWith(cut));
}

TEST_F(MidiInTest, ARefusedDeviceIsReportedAndLeavesTheInputClosed)
{
    devices.refusals.emplace(QStringLiteral("Pads"),
                             Failure<MidiInError>{MidiInError::OpenFailed, QStringLiteral("busy")});
    TMidiIn& in = In();
    ASSERT_TRUE(in.ChangeDevice(1));
    EXPECT_FALSE(in.ChangeDevice(2));
    EXPECT_FALSE(in.IsOpen());
    EXPECT_EQ(devices.closes, 1) << "the old device was closed first";
    ASSERT_EQ(prompts.asked.size(), 1U);
    EXPECT_EQ(prompts.asked[0].text,
              QStringLiteral("Cannot open the input \"Pads\".\r\n\r\r\nbusy"));

    devices.refusals.clear();
    devices.refusals.emplace(QStringLiteral("Pads"),
                             Failure<MidiInError>{MidiInError::Unexpected, QStringLiteral("?")});
    EXPECT_FALSE(in.ChangeDevice(2));
    EXPECT_EQ(prompts.asked.back().text,
              QStringLiteral("ChangeDevice exception: Error opening MIDI in"));
    QString name = QStringLiteral("Pads");
    in.StartMidiInput(3, name);
    EXPECT_FALSE(in.IsStarted());
}

TEST_F(MidiInTest, TheDeviceIsClosedWhenTheInputGoes)
{
    Listening();
    midiIn.reset();
    EXPECT_EQ(devices.closes, 1);
    devices.Play({0x90, 60, 100}); // nothing listens any more
}

} // namespace
} // namespace pv
