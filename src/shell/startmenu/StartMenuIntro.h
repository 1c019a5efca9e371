// The start menu's intro music: played on the built-in synthesizer's file player while the MIDI
// output stays closed, so the intro and an exercise never sound on one device at once.
#pragma once

#include "music/files/SettingsRecord.h"
#include "music/sequencer/MidiFilePlayer.h"
#include "music/sequencer/MidiOut.h"

#include <QString>

namespace pv {

class StartMenuIntro
{
public:
    /// The intro's file name in the media folder.
    static constexpr const char* kIntroFileName = "intro.mid";

    /// Every argument must outlive the intro; settings are read when the intro starts and
    /// stops. The player's end reaches StopIntro.
    StartMenuIntro(TMidiOut& midiOut, IMidiFilePlayer& player, TSettingsRec& settings,
                   QString mediaFolder);
    ~StartMenuIntro();
    StartMenuIntro(const StartMenuIntro&) = delete;
    StartMenuIntro& operator=(const StartMenuIntro&) = delete;

    /// Plays the intro when the settings' intro option is on and the media folder holds the
    /// file; the MIDI output is closed first. Returns whether the intro is open.
    bool Start();
    /// Ends the intro, when one is open, and opens the MIDI output again by the settings' name
    /// with the settings' volume.
    void StopIntro();
    /// An intro was opened and not yet stopped (also when it failed to start playing: the
    /// next stop still reopens the output).
    bool IntroOpen() const { return m_introOpen; }

private:
    void ReopenOutput();

    TMidiOut& m_midiOut;
    IMidiFilePlayer& m_player;
    TSettingsRec& m_settings;
    QString m_mediaFolder;
    bool m_introOpen = false;
};

} // namespace pv
