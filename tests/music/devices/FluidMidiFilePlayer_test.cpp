// The MIDI file player on the built-in synthesizer, rendered into memory: a file sounds, its
// end is reported once on the player's thread, and closing it silences the synthesizer and
// takes back the programs the file set.
#include "music/devices/FluidMidiFilePlayer.h"
#include "music/devices/FluidSynthOutput.h"
#include "support/TempDir.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include <fluidsynth.h>
#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr double kRate = 22050.0;
constexpr int kDivision = 96; // ticks per quarter; at the default 120 a minute, 192 ticks a second

/// A format 0 file: program 40 on channel 1, then middle C held for noteTicks, the track
/// ending at endTick.
std::vector<std::uint8_t> OneNoteFile(std::uint32_t noteTicks, std::uint32_t endTick)
{
    auto variable = [](std::vector<std::uint8_t>& out, std::uint32_t v) {
        std::vector<std::uint8_t> groups;
        do {
            groups.insert(groups.begin(), static_cast<std::uint8_t>(v & 0x7F));
            v >>= 7;
        } while (v != 0);
        for (std::size_t i = 0; i + 1 < groups.size(); ++i)
            groups[i] |= 0x80;
        out.insert(out.end(), groups.begin(), groups.end());
    };
    std::vector<std::uint8_t> track = {0x00, 0xC0, 40, 0x00, 0x90, 60, 100};
    variable(track, noteTicks);
    track.insert(track.end(), {0x80, 60, 0});
    variable(track, endTick - noteTicks);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});
    std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, kDivision};
    file.insert(file.end(), {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(track.size())});
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

class FluidMidiFilePlayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!FluidSynthOutput::FindSoundFont())
            GTEST_SKIP() << "no General MIDI sound font (package timgm6mb-soundfont)";
        FluidSynthOutput::Options options;
        options.audioDriver = false;
        options.sampleRate = kRate;
        auto made = FluidSynthOutput::Create(options);
        ASSERT_TRUE(made) << made.Detail().toStdString();
        synth = std::move(made.Value());
        player = std::make_unique<FluidMidiFilePlayer>([this] { return synth.get(); });
        QObject::connect(player.get(), &FluidMidiFilePlayer::Finished, [this] { ++finished; });
    }

    void TearDown() override { player.reset(); }

    /// Renders seconds of sound, looking for the end after every buffer as the GUI's timer
    /// would; returns the loudest sample.
    float Render(double seconds)
    {
        const auto frames = static_cast<std::size_t>(seconds * kRate);
        std::vector<float> left(512), right(512);
        float peak = 0.0F;
        for (std::size_t at = 0; at < frames; at += left.size()) {
            EXPECT_TRUE(synth->Render(left, right));
            for (float s : left)
                peak = std::max(peak, std::fabs(s));
            player->CheckFinished();
        }
        return peak;
    }

    QString WriteFile(const std::vector<std::uint8_t>& bytes)
    {
        EXPECT_TRUE(folder.Write(QStringLiteral("music.mid"), bytes));
        return folder.File(QStringLiteral("music.mid"));
    }

    int ProgramOfChannel0()
    {
        int program = -1;
        synth->WhileNotRendering([&](fluid_synth_t* fluid) {
            int sfont = 0;
            int bank = 0;
            fluid_synth_get_program(fluid, 0, &sfont, &bank, &program);
        });
        return program;
    }

    test::TempDir folder;
    std::unique_ptr<FluidSynthOutput> synth;
    std::unique_ptr<FluidMidiFilePlayer> player;
    int finished = 0;
};

TEST_F(FluidMidiFilePlayerTest, AFileSoundsAndItsEndIsReportedOnce)
{
    int handled = 0;
    player->SetFinishedHandler([&] { ++handled; });
    ASSERT_TRUE(player->Open(WriteFile(OneNoteFile(96, 192))));
    ASSERT_TRUE(player->Play());
    EXPECT_GT(Render(0.4), 0.01F) << "the note sounds";
    EXPECT_EQ(finished, 0) << "not before its end";
    // FluidSynth lets the last notes fade for up to two seconds before it calls the file done.
    Render(3.5);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(handled, 1);
    Render(0.5);
    EXPECT_EQ(finished, 1) << "the end is reported once";
}

TEST_F(FluidMidiFilePlayerTest, CloseSilencesAtOnceAndGivesTheChannelsBack)
{
    ASSERT_TRUE(player->Open(WriteFile(OneNoteFile(192 * 20, 192 * 21))));
    ASSERT_TRUE(player->Play());
    EXPECT_GT(Render(0.3), 0.01F);
    EXPECT_EQ(ProgramOfChannel0(), 40);
    player->Close();
    EXPECT_FALSE(player->IsOpen());
    // Only the reverberation fades on; the held note would sound for twenty seconds.
    Render(1.0);
    EXPECT_LT(Render(0.2), 1e-3F) << "nothing rings on";
    EXPECT_EQ(ProgramOfChannel0(), 0) << "the file's program is gone";
    EXPECT_EQ(finished, 0) << "a closed player reports no end";
}

TEST_F(FluidMidiFilePlayerTest, WhatIsNoMidiFileOrHasNoSynthesizerDoesNotOpen)
{
    EXPECT_FALSE(player->Open(WriteFile({'R', 'I', 'F', 'F', 0, 0, 0, 0})));
    EXPECT_FALSE(player->Open(folder.File(QStringLiteral("missing.mid"))));
    EXPECT_FALSE(player->IsOpen());
    EXPECT_FALSE(player->Play()) << "nothing opened, nothing plays";

    FluidMidiFilePlayer orphan([] { return nullptr; });
    EXPECT_FALSE(orphan.Open(WriteFile(OneNoteFile(96, 192))));
    orphan.Close();
}

TEST_F(FluidMidiFilePlayerTest, TheShippedIntroPlaysToItsEndWithinHalfAMinute)
{
    ASSERT_TRUE(player->Open(QStringLiteral(PV_INTRO_FILE))) << "the build writes the intro";
    ASSERT_TRUE(player->Play());
    EXPECT_GT(Render(2.0), 0.01F);
    EXPECT_EQ(finished, 0);
    Render(28.0);
    EXPECT_EQ(finished, 1);
}

} // namespace
} // namespace pv
