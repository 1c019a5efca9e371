// A MIDI output that plays through the real sequencer engine on a virtual clock, for the
// setup pages' and editors' tests.
#pragma once

#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"

#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace pv::test {

struct PlayRig
{
    PlayRig() { EXPECT_TRUE(midiOut.ChangeDevice(1)); }

    /// Runs the queued playback to its end.
    void Drive() { DriveTo(sequencer, clock, 60'000'000); }

    /// The notes switched on (time in ms, note) since the start.
    std::vector<std::pair<std::uint64_t, int>> NoteOns()
    {
        Drive();
        std::vector<std::pair<std::uint64_t, int>> ons;
        for (const SentMessage& m : devices.sink.sent)
            if ((m.packed & 0xF0) == 0x90 && ((m.packed >> 16) & 0xFF) > 0)
                ons.emplace_back(m.ms, static_cast<int>((m.packed >> 8) & 0xFF));
        return ons;
    }
    /// The notes switched on or off at once (no playback), as (on, note) in order.
    std::vector<std::pair<bool, int>> Immediate() const
    {
        std::vector<std::pair<bool, int>> out;
        for (const SentMessage& m : devices.sink.sent) {
            const std::uint32_t status = m.packed & 0xF0;
            const int note = static_cast<int>((m.packed >> 8) & 0xFF);
            const bool on = status == 0x90 && ((m.packed >> 16) & 0xFF) > 0;
            if (on || status == 0x80 || status == 0x90)
                out.emplace_back(on, note);
        }
        return out;
    }

    FakeClock clock;
    FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
};

} // namespace pv::test
