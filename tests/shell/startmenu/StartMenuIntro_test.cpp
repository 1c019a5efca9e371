// The intro music: it plays only when the option is on and the file is there, with the MIDI
// output closed meanwhile, and every way it ends opens the output again by the stored name.
#include "music/files/SettingsRecord.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/UIStrings.h"
#include "shell/startmenu/StartMenuIntro.h"
#include "support/ScriptedPrompts.h"
#include "support/SequencerFakes.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace pv {
namespace {

class FakePlayer final : public IMidiFilePlayer
{
public:
    bool Open(const QString& fileName) override
    {
        opened.push_back(fileName);
        open = openSucceeds;
        return openSucceeds;
    }
    bool Play() override
    {
        ++plays;
        return playSucceeds;
    }
    void Close() override
    {
        if (open)
            ++closes;
        open = false;
    }
    void SetFinishedHandler(std::function<void()> handler) override
    {
        finished = std::move(handler);
    }

    bool openSucceeds = true;
    bool playSucceeds = true;
    bool open = false;
    std::vector<QString> opened;
    int plays = 0;
    int closes = 0;
    std::function<void()> finished;
};

class StartMenuIntroTest : public ::testing::Test
{
protected:
    StartMenuIntroTest()
    {
        settings.PlayIntro = true;
        settings.MidiOutDevice = QStringLiteral("Port A");
        settings.MidiOutVolume = 0x00C8; // 200
        QString name = settings.MidiOutDevice;
        EXPECT_TRUE(midiOut.SelectByName(name));
        devices.openedNames.clear();
        devices.volume.reset();
    }

    void WriteIntro(const QString& name = QStringLiteral("intro.mid"))
    {
        ASSERT_TRUE(media.Write(name, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}));
    }

    /// The output is open again on the stored device with the stored volume.
    void ExpectOutputReopened()
    {
        EXPECT_TRUE(midiOut.IsOpen());
        ASSERT_FALSE(devices.openedNames.empty());
        EXPECT_EQ(devices.openedNames.back(), QStringLiteral("Port A"));
        EXPECT_EQ(devices.volume, std::optional<std::uint32_t>(200U * 0x01000100U));
    }

    test::FakeClock clock;
    test::FakeDevices devices{clock};
    Sequencer sequencer{clock, Sequencer::Drive::Manual};
    test::ScriptedPrompts prompts;
    UIStringTable strings;
    TMidiOut midiOut{devices, sequencer, prompts, strings};
    FakePlayer player;
    TSettingsRec settings = DefaultSettings();
    test::TempDir media;
};

TEST_F(StartMenuIntroTest, PlaysWithTheOutputClosedAndStopReopensItByTheStoredName)
{
    WriteIntro();
    StartMenuIntro intro(midiOut, player, settings, media.Path());
    const int closesBefore = devices.closes;
    EXPECT_TRUE(intro.Start());
    EXPECT_FALSE(midiOut.IsOpen());
    EXPECT_GT(devices.closes, closesBefore);
    ASSERT_EQ(player.opened.size(), 1U);
    EXPECT_EQ(player.opened.front(), media.File(QStringLiteral("intro.mid")));
    EXPECT_EQ(player.plays, 1);
    EXPECT_TRUE(devices.openedNames.empty()) << "nothing opened while the intro plays";

    intro.StopIntro();
    EXPECT_EQ(player.closes, 1);
    EXPECT_FALSE(intro.IntroOpen());
    ExpectOutputReopened();

    // A second stop (the next view switch) changes nothing.
    devices.openedNames.clear();
    intro.StopIntro();
    EXPECT_TRUE(devices.openedNames.empty());
    EXPECT_EQ(player.closes, 1);
}

TEST_F(StartMenuIntroTest, TheIntroPlayingToItsEndStopsIt)
{
    WriteIntro(QStringLiteral("INTRO.MID"));
    StartMenuIntro intro(midiOut, player, settings, media.Path());
    ASSERT_TRUE(intro.Start()) << "the file is found whatever the case of its name";
    ASSERT_TRUE(player.finished);
    player.finished();
    EXPECT_FALSE(intro.IntroOpen());
    ExpectOutputReopened();
}

TEST_F(StartMenuIntroTest, NoIntroWhenTheOptionIsOffOrTheFileIsMissing)
{
    struct Case
    {
        const char* name;
        bool option;
        bool file;
        bool folderIsFile;
    };
    const Case cases[] = {
        {"option off", false, true, false},
        {"no file", true, false, false},
        {"a folder by the intro's name", true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir folder;
        if (c.file) {
            ASSERT_TRUE(folder.Write(QStringLiteral("intro.mid"), {'M', 'T', 'h', 'd'}));
        }
        if (c.folderIsFile) {
            ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("intro.mid")));
        }
        settings.PlayIntro = c.option;
        FakePlayer idle;
        StartMenuIntro intro(midiOut, idle, settings, folder.Path());
        const int closes = devices.closes;
        EXPECT_FALSE(intro.Start());
        EXPECT_TRUE(idle.opened.empty());
        EXPECT_TRUE(midiOut.IsOpen()) << "the output stays open";
        EXPECT_EQ(devices.closes, closes);
        intro.StopIntro();
        EXPECT_TRUE(devices.openedNames.empty()) << "stopping no intro touches no device";
    }
}

TEST_F(StartMenuIntroTest, AFileThatDoesNotOpenGivesTheOutputBackAtOnce)
{
    WriteIntro();
    player.openSucceeds = false;
    StartMenuIntro intro(midiOut, player, settings, media.Path());
    EXPECT_FALSE(intro.Start());
    EXPECT_FALSE(intro.IntroOpen());
    EXPECT_EQ(player.plays, 0);
    ExpectOutputReopened();
}

TEST_F(StartMenuIntroTest, AnIntroThatDoesNotPlayIsClosedAndTheNextStopReopensTheOutput)
{
    WriteIntro();
    player.playSucceeds = false;
    StartMenuIntro intro(midiOut, player, settings, media.Path());
    EXPECT_TRUE(intro.Start());
    EXPECT_EQ(player.closes, 1) << "closed at once";
    EXPECT_TRUE(intro.IntroOpen());
    EXPECT_FALSE(midiOut.IsOpen());
    intro.StopIntro();
    ExpectOutputReopened();
}

TEST_F(StartMenuIntroTest, AnEmptyStoredNameOpensTheFirstDeviceAndStoresItsName)
{
    WriteIntro();
    settings.MidiOutDevice.clear();
    StartMenuIntro intro(midiOut, player, settings, media.Path());
    ASSERT_TRUE(intro.Start());
    intro.StopIntro();
    EXPECT_TRUE(midiOut.IsOpen());
    EXPECT_EQ(settings.MidiOutDevice, QStringLiteral("Synth"));
}

} // namespace
} // namespace pv
