// How the identification exercise takes notes sung into the microphone.
#include "exercises/identification/AkkordMicInput.h"

#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/AkkordPlayback.h"
#include "exercises/identification/InstrumentGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace pv {

namespace {
// Readings this close to an earlier one count as the same sung note: a singer's vibrato and
// the way into a note stay well inside it.
constexpr int kAgreeingSemitones = 5;
constexpr int kAgreeingReadings = 3;
} // namespace

int MicPitchFilter::Accept(int pitch)
{
    const auto reading = static_cast<std::uint8_t>(std::clamp(pitch, 0, 127));
    int agreeing = 0;
    for (const std::uint8_t entry : MicHistory) {
        if (entry == 0 ||
            std::abs(static_cast<int>(reading) - static_cast<int>(entry)) < kAgreeingSemitones)
            ++agreeing;
    }
    MicHistory[MicHistoryIndex] = reading;
    MicHistoryIndex = static_cast<std::uint8_t>((MicHistoryIndex + 1) % MicHistory.size());
    return agreeing >= kAgreeingReadings ? reading : MicPitch;
}

bool AkkordMicInput::HoldsSungNote() const
{
    return m_model.HeldSource == kHeldByMicrophone && m_model.HeldNote.Pitch.Note != 0;
}

void AkkordMicInput::EndSungNote(AkkordPlayback& playback)
{
    // The voice has left the note: it is entered as a released piano key is. Releasing it
    // unentered would lose every note a singer ends with a breath.
    m_model.ExternalHold = false;
    playback.ReleaseNote(false, false);
}

void AkkordMicInput::MicPitchInput(int pitch, AkkordPlayback& playback)
{
    AkkordModel& m = m_model;
    const int accepted = m_filter.Accept(pitch);
    // Progressions are answered chord by chord, never by single notes.
    if (m.Mode == IdentificationMode::ChordProgressions)
        return;
    if (accepted < kMicLowestPitch) {
        m_filter.MicPitch = 0;
        if (HoldsSungNote()) {
            EndSungNote(playback);
            // An answer the entered note completed keeps its text.
            if (m.ResultLabel == m_listening)
                m.ResultLabel.clear();
        }
        return;
    }
    m_filter.MicPitch = static_cast<std::uint8_t>(accepted);
    if (m.HeldNote.Pitch.Note != 0 && m.HeldNote.Pitch.Note + m.DisplayOffset == accepted)
        return;
    if (HoldsSungNote()) {
        EndSungNote(playback);
    } else if (m.HeldNote.Pitch.Note != 0) {
        // A note held by the mouse or the program gives way; it must not go on sounding.
        playback.ReleaseNote(false, true);
    }
    const InstrumentEntry entry = EntryForPitch(m, accepted, 0, kHeldByMicrophone, false, false);
    if (entry.Action != InstrumentEntry::Kind::Hold)
        return;
    // While the voice holds the note the mouse neither presses, moves nor releases notes.
    m.ExternalHold = true;
    playback.PressNote(entry.Pitch, kHeldByMicrophone);
    if (!m.Session().Answered)
        m.ResultLabel = m_listening;
}

void AkkordMicInput::ReleaseNote(AkkordPlayback& playback)
{
    m_filter.MicPitch = 0;
    if (!HoldsSungNote())
        return;
    EndSungNote(playback);
    if (m_model.ResultLabel == m_listening)
        m_model.ResultLabel.clear();
}

} // namespace pv
