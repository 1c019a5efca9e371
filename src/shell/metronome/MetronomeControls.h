// The metronome's buttons, the tempo slider and the geometry of the visual metronome: what
// they decide, apart from the widgets that show it.
#pragma once

#include "music/base/ExerciseKind.h"
#include "music/files/SettingsRecord.h"
#include "music/sequencer/Sequencer.h"
#include "shell/commands/CommandRegistry.h"
#include "shell/commands/MainControls.h"
#include "shell/results/ExerciseForms.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

/// The beat a sequencer notification reports: bits 0..3 the beat (0: none lit), bits 8..15
/// the beats per bar.
struct SequencerBeat
{
    int Beat = 0;
    int BeatsPerBar = 0;
};
SequencerBeat SequencerBeatOf(std::uint32_t code);

/// Where a new tempo slider position goes besides the sequencer.
enum class TempoTarget : int
{
    None = 0,          ///< no exercise chosen
    RhythmWindows = 1, ///< the rhythm kinds keep their tempo in their own engines
    DefaultTempo = 2,  ///< every other kind: the settings' default tempo
};
TempoTarget TempoTargetOf(std::optional<ExerciseKind> kind);
/// The text beside the slider.
QString TempoLabel(int position);

/// Colours as 0xRRGGBB.
inline constexpr std::uint32_t kMetronomeSilver = 0xC0C0C0;
inline constexpr std::uint32_t kMetronomeLime = 0x00FF00;
inline constexpr std::uint32_t kMetronomeGreen = 0x008000;
/// Width of a pendulum picture.
inline constexpr int kPendulumWidth = 46;
/// The pendulum pictures: swung one way, the other, at rest.
inline constexpr int kPendulumLeft = 0;
inline constexpr int kPendulumRight = 1;
inline constexpr int kPendulumRest = 2;

/// One beat box; Right and Bottom are outside it.
struct MetronomeBox
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    std::uint32_t Colour = kMetronomeSilver;
};

/// What the visual metronome shows for one beat.
struct MetronomePicture
{
    int Pendulum = kPendulumRest; ///< which picture
    int PendulumX = 0;
    int PendulumY = 1;
    /// The swing picture the next lit beat uses.
    int NextSwing = kPendulumLeft;
    std::vector<MetronomeBox> Boxes;
};

/// The picture for a box of width x height on beat (0: none) of beatsPerBar (0: no boxes);
/// swing is the picture a lit beat shows (0 or 1). Boxes too narrow to show are left out.
MetronomePicture MetronomePictureOf(int width, int height, int beat, int beatsPerBar, int swing);

/// The services the metronome controls drive.
struct MetronomeContext
{
    IMainControls& Ui;
    TSettingsRec& Settings;
    ISequencer& Sequencer;
    const MainWindowState& State;
    /// Whether the kind shows the metronome controls.
    std::function<bool(ExerciseKind)> InMetronomeKinds;
    /// The rhythm windows' engines take a new tempo (kinds 4, 5, 6 together).
    std::function<void(int tempo)> SetRhythmTempo;
};

/// The metronome click button, the visual metronome button and the tempo slider. Called with
/// a sender (the user pressed) they change the setting; without one they only bring the
/// controls in line with the settings.
class MetronomeControls
{
public:
    explicit MetronomeControls(MetronomeContext context);

    void MetroClick(bool fromSender);
    void SpeedButton12Click(bool fromSender);
    void TrackBar1Change(int position);

    /// `Metro` with `Playmetronome1` and `SpeedButton12` with `ShowMetronome1`: one toggle
    /// each, the button and the menu entry, pressed by the user (with a sender).
    std::vector<CommandRow> Rows();
    bool Register(CommandRegistry& registry);

private:
    MetronomeContext m_c;
};

} // namespace pv
