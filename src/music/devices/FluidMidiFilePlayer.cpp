// Plays a standard MIDI file on the built-in synthesizer.
#include "music/devices/FluidMidiFilePlayer.h"

#include "music/base/Log.h"
#include "music/devices/FluidSynthLibrary.h"
#include "music/files/RegularFile.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace pv {

namespace {

// FluidSynth reports the end only through its status, which it changes while rendering: the
// GUI thread looks at it this often (the intro's end is no matter of milliseconds).
constexpr int kPollMs = 200;
// Far beyond any intro; a larger file is no music to wait for.
constexpr std::size_t kMaxMidiFileSize = 16 * 1024 * 1024;

/// FluidSynth's functions; loaded by the time there is a synthesizer to play on.
const FluidSynthApi& Fluid()
{
    return *LoadFluidSynth();
}

} // namespace

FluidMidiFilePlayer::FluidMidiFilePlayer(SynthSource synth, QObject* parent)
    : QObject(parent), m_synthSource(std::move(synth))
{
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &FluidMidiFilePlayer::CheckFinished);
    connect(this, &FluidMidiFilePlayer::Finished, this, [this] {
        if (m_finished)
            m_finished();
    });
}

FluidMidiFilePlayer::~FluidMidiFilePlayer()
{
    Close();
}

bool FluidMidiFilePlayer::Open(const QString& fileName)
{
    Close();
    FluidSynthOutput* synth = m_synthSource ? m_synthSource() : nullptr;
    if (synth == nullptr || LoadFluidSynth() == nullptr)
        return false;
    // Read here the program's one safe way and handed over in memory: FluidSynth opens a
    // named file blocking, and a pipe named like the intro would hold the start menu for ever.
    const auto read = ReadRegularFile(fileName, kMaxMidiFileSize, LinkRule::Follow);
    if (!read) {
        qCWarning(lcPellivark, "The MIDI file %s cannot be read: %s", qUtf8Printable(fileName),
                  qUtf8Printable(read.Detail()));
        return false;
    }
    const std::vector<std::uint8_t>& bytes = read.Value();
    if (bytes.size() < 4 || !std::equal(bytes.begin(), bytes.begin() + 4, "MThd")) {
        qCWarning(lcPellivark, "Not a MIDI file: %s", qUtf8Printable(fileName));
        return false;
    }
    bool added = false;
    synth->WhileNotRendering([&](fluid_synth_t* fluid) {
        m_player = Fluid().new_fluid_player(fluid);
        if (m_player == nullptr)
            return;
        // FluidSynth copies the bytes.
        added = Fluid().fluid_player_add_mem(m_player, bytes.data(), bytes.size()) == FLUID_OK;
        if (!added) {
            Fluid().delete_fluid_player(m_player);
            m_player = nullptr;
        }
    });
    if (!added)
        return false;
    m_synth = synth;
    return true;
}

bool FluidMidiFilePlayer::Play()
{
    if (m_player == nullptr)
        return false;
    bool played = false;
    m_synth->WhileNotRendering(
        [&](fluid_synth_t*) { played = Fluid().fluid_player_play(m_player) == FLUID_OK; });
    if (played) {
        m_endReported = false;
        m_poll.start();
    }
    return played;
}

void FluidMidiFilePlayer::Close()
{
    m_poll.stop();
    if (m_player == nullptr)
        return;
    m_synth->WhileNotRendering([&](fluid_synth_t* fluid) {
        Fluid().fluid_player_stop(m_player);
        Fluid().delete_fluid_player(m_player);
        // The file's programs and controllers must not colour the notes played next.
        Fluid().fluid_synth_system_reset(fluid);
    });
    m_player = nullptr;
    m_synth = nullptr;
}

void FluidMidiFilePlayer::SetFinishedHandler(std::function<void()> handler)
{
    m_finished = std::move(handler);
}

void FluidMidiFilePlayer::CheckFinished()
{
    if (m_player == nullptr || m_endReported ||
        Fluid().fluid_player_get_status(m_player) != FLUID_PLAYER_DONE)
        return;
    m_poll.stop();
    m_endReported = true;
    emit Finished();
}

} // namespace pv
