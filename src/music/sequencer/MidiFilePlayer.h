// A player of standard MIDI files, for music the program plays as a whole (the intro).
#pragma once

#include <functional>

#include <QString>

namespace pv {

class IMidiFilePlayer
{
public:
    virtual ~IMidiFilePlayer() = default;
    /// Prepares the file for playing; false when it cannot be read as a MIDI file or there is
    /// nothing to play it on.
    virtual bool Open(const QString& fileName) = 0;
    /// Plays the opened file from its start; false when it does not start.
    virtual bool Play() = 0;
    /// Stops the music and lets go of the file; nothing happens when none is open.
    virtual void Close() = 0;
    /// Called on the thread that made the player once the music has played to its end.
    virtual void SetFinishedHandler(std::function<void()> handler) = 0;
};

} // namespace pv
