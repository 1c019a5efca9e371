// The start menu's intro music.
#include "shell/startmenu/StartMenuIntro.h"

#include "music/files/Folders.h"

#include <cstdint>
#include <utility>

#include <QFileInfo>

namespace pv {

StartMenuIntro::StartMenuIntro(TMidiOut& midiOut, IMidiFilePlayer& player, TSettingsRec& settings,
                               QString mediaFolder)
    : m_midiOut(midiOut), m_player(player), m_settings(settings),
      m_mediaFolder(std::move(mediaFolder))
{
    m_player.SetFinishedHandler([this] { StopIntro(); });
}

StartMenuIntro::~StartMenuIntro()
{
    m_player.SetFinishedHandler({});
    m_player.Close();
}

bool StartMenuIntro::Start()
{
    if (!m_settings.PlayIntro || m_introOpen)
        return false;
    const QString file =
        FindFileCaseInsensitive(m_mediaFolder, QString::fromLatin1(kIntroFileName));
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return false;
    // An entry number beyond the device table closes the output and opens nothing.
    m_midiOut.ChangeDevice(static_cast<std::uint16_t>(TMidiOut::kMaxDevices + 1));
    if (!m_player.Open(file)) {
        // Nothing would ever stop an intro that did not open: the output must come back now or
        // every exercise stays silent.
        ReopenOutput();
        return false;
    }
    m_introOpen = true;
    if (!m_player.Play())
        m_player.Close();
    return true;
}

void StartMenuIntro::StopIntro()
{
    if (!m_introOpen)
        return;
    m_player.Close();
    m_introOpen = false;
    ReopenOutput();
}

void StartMenuIntro::ReopenOutput()
{
    QString name = m_settings.MidiOutDevice;
    m_midiOut.SelectByName(name);
    m_settings.MidiOutDevice = name;
    // The volume is stored in the low byte.
    m_midiOut.SetVolume(static_cast<int>(m_settings.MidiOutVolume & 0xFFU));
}

} // namespace pv
