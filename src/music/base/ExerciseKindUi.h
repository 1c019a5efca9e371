// How the windows present each exercise kind: the names of its window and controls, its
// built-in name, the family of window it runs in and what its controls show. One table beside
// the kind facts; every window reads it instead of keeping a list of its own.
#pragma once

#include "music/base/ExerciseKind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include <QString>

namespace pv {

/// The window a kind runs in.
enum class KindFamily : std::uint8_t
{
    Identification = 0, ///< the identification window (items, melodies, progressions)
    Comparison = 1,     ///< the interval comparison window
    Rhythm = 2,         ///< a rhythm window
};

/// Where the tempo slider's position goes for a kind besides the sequencer.
enum class KindTempo : std::uint8_t
{
    DefaultTempo = 0,  ///< the settings' default tempo
    RhythmEngines = 1, ///< the rhythm kinds keep their tempo in their own engines, all three
};

struct ExerciseKindUi
{
    ExerciseKind Kind{};
    /// The exercise window's object name (its language texts are announced under it).
    std::string_view FormName = {};
    /// The name the windows carry before any language text arrives.
    std::string_view Name = {};
    /// The kind's exercise button on the main tool bar: its object name and short caption.
    std::string_view ButtonName = {};
    std::string_view ButtonText = {};
    /// The kind's entry of the Exercises menu (the parent of its view submenu).
    std::string_view MenuItemName = {};
    KindFamily Family = KindFamily::Identification;
    KindTempo Tempo = KindTempo::DefaultTempo;
    /// The kind shows the metronome controls from the start (melody dictation follows its
    /// setup on every entry).
    bool MetronomeAtStart = false;
    /// The MIDI menu's note identification submenu applies to the kind.
    bool NoteIdentificationMenu = false;
    /// The results view shows its item buttons for the kind.
    bool ResultItemButtons = false;
};

inline constexpr std::array<ExerciseKindUi, 10> kExerciseKindUi = {{
    {.Kind = ExerciseKind::ChordIdentification,
     .FormName = "ChordIdForm",
     .Name = "Chord identification",
     .ButtonName = "Speed1",
     .ButtonText = "Chords",
     .MenuItemName = "AkkordID1",
     .NoteIdentificationMenu = true,
     .ResultItemButtons = true},
    {.Kind = ExerciseKind::IntervalIdentification,
     .FormName = "IntervalIdForm",
     .Name = "Interval identification",
     .ButtonName = "Speed2",
     .ButtonText = "Intervals",
     .MenuItemName = "IntervalID1",
     .NoteIdentificationMenu = true,
     .ResultItemButtons = true},
    {.Kind = ExerciseKind::IntervalComparison,
     .FormName = "IntervalCompareForm",
     .Name = "Interval comparison",
     .ButtonName = "Speed3",
     .ButtonText = "Compare",
     .MenuItemName = "Intervalsammenligning1",
     .Family = KindFamily::Comparison},
    {.Kind = ExerciseKind::RhythmImitation,
     .FormName = "RhythmImitationForm",
     .Name = "Rhythm imitation",
     .ButtonName = "Speed4",
     .ButtonText = "Imitate",
     .MenuItemName = "Rytmeimitation1",
     .Family = KindFamily::Rhythm,
     .Tempo = KindTempo::RhythmEngines,
     .MetronomeAtStart = true},
    {.Kind = ExerciseKind::RhythmReading,
     .FormName = "RhythmReadingForm",
     .Name = "Rhythm reading",
     .ButtonName = "Speed5",
     .ButtonText = "Read",
     .MenuItemName = "Rytmelsning1",
     .Family = KindFamily::Rhythm,
     .Tempo = KindTempo::RhythmEngines,
     .MetronomeAtStart = true},
    {.Kind = ExerciseKind::RhythmErrorDetection,
     .FormName = "RhythmCorrectionForm",
     .Name = "Rhythm error detection",
     .ButtonName = "Speed6",
     .ButtonText = "Errors",
     .MenuItemName = "Rytmekorrektion1",
     .Family = KindFamily::Rhythm,
     .Tempo = KindTempo::RhythmEngines,
     .MetronomeAtStart = true},
    {.Kind = ExerciseKind::ChordInversions,
     .FormName = "ChordInversionsForm",
     .Name = "Chord inversions",
     .ButtonName = "SpeedButton6",
     .ButtonText = "Inversions",
     .MenuItemName = "Chordinversions1",
     .NoteIdentificationMenu = true,
     .ResultItemButtons = true},
    {.Kind = ExerciseKind::Scales,
     .FormName = "ScalesForm",
     .Name = "Scales",
     .ButtonName = "SpeedButton7",
     .ButtonText = "Scales",
     .MenuItemName = "Scales1",
     .NoteIdentificationMenu = true,
     .ResultItemButtons = true},
    {.Kind = ExerciseKind::MelodyDictation,
     .FormName = "MelodyForm",
     .Name = "Melody dictation",
     .ButtonName = "SpeedButton8",
     .ButtonText = "Melody",
     .MenuItemName = "Melody1",
     .MetronomeAtStart = true,
     .NoteIdentificationMenu = true},
    {.Kind = ExerciseKind::ChordProgressions,
     .FormName = "ChordProgressionForm",
     .Name = "Chord progressions",
     .ButtonName = "Speed12",
     .ButtonText = "Progressions",
     .MenuItemName = "AkkordProgress1",
     .ResultItemButtons = true},
}};

/// A name of the table as text (the names are plain ASCII).
inline QString UiName(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

/// The row of a kind; a value outside 1..10 gets a row that names nothing.
constexpr ExerciseKindUi KindUi(ExerciseKind kind)
{
    if (const auto known = KindFromNumber(KindNumber(kind)))
        return kExerciseKindUi[static_cast<std::size_t>(KindNumber(*known) - 1)];
    return ExerciseKindUi{.Kind = kind};
}

/// The row of an optional kind; none (the start menu) gets the row that names nothing.
constexpr ExerciseKindUi KindUi(std::optional<ExerciseKind> kind)
{
    return kind ? KindUi(*kind) : ExerciseKindUi{};
}

} // namespace pv
