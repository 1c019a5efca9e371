// Plays a standard MIDI file on the built-in synthesizer with FluidSynth's own file player,
// which the synthesizer drives sample by sample while it renders.
#pragma once

#include "music/devices/FluidSynthOutput.h"
#include "music/sequencer/MidiFilePlayer.h"

#include <functional>

#include <QObject>
#include <QTimer>

struct _fluid_player_t;

namespace pv {

class FluidMidiFilePlayer final : public QObject, public IMidiFilePlayer
{
    Q_OBJECT

public:
    /// Gives the synthesizer to play on (null when there is none); asked at every Open.
    using SynthSource = std::function<FluidSynthOutput*()>;

    /// The player must be destroyed before the synthesizer it last opened on.
    explicit FluidMidiFilePlayer(SynthSource synth, QObject* parent = nullptr);
    ~FluidMidiFilePlayer() override;

    bool Open(const QString& fileName) override;
    bool Play() override;
    /// Also silences what the file left sounding and resets the channels it changed.
    void Close() override;
    void SetFinishedHandler(std::function<void()> handler) override;

    bool IsOpen() const { return m_player != nullptr; }
    /// Emits Finished once when the music has played to its end (FluidSynth counts the last
    /// notes' fading, up to two seconds, in); the timer calls it while playing.
    void CheckFinished();

signals:
    /// The music has played to its end (on the player's thread).
    void Finished();

private:
    SynthSource m_synthSource;
    FluidSynthOutput* m_synth = nullptr;
    _fluid_player_t* m_player = nullptr;
    QTimer m_poll;
    bool m_endReported = false; ///< the end of this playing has been reported
    std::function<void()> m_finished;
};

} // namespace pv
