// The system's MIDI inputs: with or without an ALSA sequencer, listing and opening never crash,
// and the input built on them falls back to the placeholder alone.
#include "music/devices/SystemMidiInDevices.h"
#include "music/input/MidiIn.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pv {
namespace {

class NoBytes final : public IMidiInBytes
{
public:
    void Receive(std::span<const std::uint8_t>) override {}
};

TEST(SystemMidiInDevices, ListingAndOpeningGiveAnswersNeverACrash)
{
    SystemMidiInDevices devices;
    const auto listed = devices.ListInputs();
    ASSERT_TRUE(listed) << listed.Detail().toStdString();
    for (const MidiInPortInfo& port : listed.Value()) {
        EXPECT_FALSE(port.name.contains(QRegularExpression(QStringLiteral("\\d+:\\d+$"))))
            << port.name.toStdString();
        EXPECT_FALSE(port.name.startsWith(QStringLiteral("Pellivark:")))
            << "the program's own ports are not offered";
    }
    NoBytes sink;
    const Status<MidiInError> opened = devices.OpenInput(QStringLiteral("No such port"), sink);
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.Code(), MidiInError::OpenFailed);
    EXPECT_FALSE(opened.Detail().isEmpty());
    devices.CloseInput();
}

TEST(SystemMidiInDevices, TheInputAlwaysOffersNoDevice)
{
    SystemMidiInDevices devices;
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    strings.StrNoDevice = QStringLiteral("no device");
    TMidiIn in(devices, SteadyClock::Instance(), prompts, strings);
    in.AddPlaceholder();
    ASSERT_GE(in.DeviceCount(), 1);
    EXPECT_TRUE(in.Devices().back().placeholder);
    EXPECT_TRUE(prompts.asked.empty()) << "no ALSA sequencer is no devices, not an error";
    EXPECT_TRUE(in.ChangeDevice(static_cast<std::uint16_t>(in.DeviceCount())));
    EXPECT_FALSE(in.IsOpen());
}

} // namespace
} // namespace pv
