// The ten exercise kinds, as their numbers are stored in setups, results, user items and view
// tags, and the one table of what differs between them: every caller reads it instead of
// switching on the kind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace pv {

/// An exercise. The numbers are stored in files and must never change.
enum class ExerciseKind : std::uint8_t
{
    ChordIdentification = 1,
    IntervalIdentification = 2,
    IntervalComparison = 3,
    RhythmImitation = 4,
    RhythmReading = 5,
    RhythmErrorDetection = 6,
    ChordInversions = 7,
    Scales = 8,
    MelodyDictation = 9,
    ChordProgressions = 10,
};

/// Every kind, in the order of their numbers.
inline constexpr std::array<ExerciseKind, 10> kExerciseKinds = {
    ExerciseKind::ChordIdentification, ExerciseKind::IntervalIdentification,
    ExerciseKind::IntervalComparison,  ExerciseKind::RhythmImitation,
    ExerciseKind::RhythmReading,       ExerciseKind::RhythmErrorDetection,
    ExerciseKind::ChordInversions,     ExerciseKind::Scales,
    ExerciseKind::MelodyDictation,     ExerciseKind::ChordProgressions};

/// The number a kind is stored as (1..10).
constexpr int KindNumber(ExerciseKind kind)
{
    return static_cast<int>(kind);
}

/// The kind a stored number names; nothing for 0 ("no exercise") and for any other number, so
/// a damaged byte never selects a block, a table or a window.
constexpr std::optional<ExerciseKind> KindFromNumber(int number)
{
    if (number < 1 || number > static_cast<int>(kExerciseKinds.size()))
        return std::nullopt;
    return kExerciseKinds[static_cast<std::size_t>(number - 1)];
}

/// False for a value outside 1..10, which only a cast of a damaged byte can make.
constexpr bool IsKnownKind(ExerciseKind kind)
{
    return KindFromNumber(KindNumber(kind)).has_value();
}

/// The shapes of the setup record's per-kind blocks.
enum class SetupBlockType : std::uint8_t
{
    None = 0,    ///< only a value outside 1..10 has none
    Options = 1, ///< the 82-byte option block of the item-based kinds
    Rhythm = 2,  ///< the 44-byte rhythm setup
    Melody = 3,  ///< the 29-byte melody setup
};

/// The five item tables, numbered as the user item file orders them (the stored note counts and
/// the order in which its records are written).
enum class ItemTableId : std::uint8_t
{
    ChordIdentification = 0,
    IntervalIdentification = 1,
    ChordInversions = 2,
    Scales = 3,
    Progressions = 4,
};
inline constexpr std::size_t kItemTableIdCount = 5;

/// What one kind is, for every part of the program that treats kinds differently.
struct ExerciseKindFacts
{
    ExerciseKind Kind{};
    /// The shape of the kind's block in the setup record and its place among the blocks of that
    /// shape, in record order (options: 1, 7, 2, 3, 8, 10; rhythm: 4, 5, 6; melody: 9).
    SetupBlockType SetupBlock = SetupBlockType::None;
    std::uint8_t SetupBlockIndex = 0;
    /// The item table the kind owns: its item editor edits it and its user items live in it.
    std::optional<ItemTableId> ItemTable = std::nullopt;
    /// The item table the kind asks its items from when it owns none; none for the kinds that
    /// own one (they ask their own) and for the kinds without items.
    std::optional<ItemTableId> ItemsFrom = std::nullopt;
    /// How many items of its option block's 60 flags the kind asks; 0 for kinds without items.
    int ItemsUsed = 0;
    /// The first slot (1..60) of ItemTable that belongs to the user, the slots below hold the
    /// built-in items; 0 without a table.
    int FirstUserSlot = 0;
    /// The last user slot written back to the user item file (the exercise asks no more).
    int LastSavedUserSlot = 0;
    /// The user item file's name field is read back into the slot.
    bool UserItemNameRead = false;
    /// The user item file's name field is written from the slot (else it carries no meaning).
    bool UserItemNameWritten = false;
    /// The kind runs in the identification window, which also receives its playback's
    /// notifications.
    bool IdentificationWindow = false;
    /// The help context the identification window takes when it is set up anew; 0 leaves the
    /// window's help context as it is.
    int HelpContext = 0;
    /// Chord notes are spread over neighbouring guitar strings (not for scales and melodies,
    /// whose notes follow one another).
    bool SpreadsChordsOnGuitar = false;
    /// The microphone listens for taps (onsets) rather than pitches.
    bool MicrophoneHearsTaps = false;
    /// The most bars a rhythm of the kind may have (its options page allows 1..this); 0 for
    /// kinds without rhythms.
    int MaxRhythmBars = 0;
    /// The exercise takes what the microphone hears as answers: sung notes, or taps where the
    /// microphone hears taps.
    bool MicrophoneAnswers = false;
};

/// The table, one row per kind in the order of their numbers.
inline constexpr std::array<ExerciseKindFacts, 10> kExerciseKindFacts = {{
    {.Kind = ExerciseKind::ChordIdentification,
     .SetupBlock = SetupBlockType::Options,
     .SetupBlockIndex = 0,
     .ItemTable = ItemTableId::ChordIdentification,
     .ItemsUsed = 60,
     .FirstUserSlot = 28,
     .LastSavedUserSlot = 60,
     .UserItemNameRead = true,
     .UserItemNameWritten = true,
     .IdentificationWindow = true,
     .HelpContext = 10,
     .SpreadsChordsOnGuitar = true,
     .MicrophoneAnswers = true},
    {.Kind = ExerciseKind::IntervalIdentification,
     .SetupBlock = SetupBlockType::Options,
     .SetupBlockIndex = 2,
     .ItemTable = ItemTableId::IntervalIdentification,
     .ItemsUsed = 30,
     .FirstUserSlot = 26,
     .LastSavedUserSlot = 30,
     .UserItemNameRead = true,
     .UserItemNameWritten = true,
     .IdentificationWindow = true,
     .HelpContext = 20,
     .SpreadsChordsOnGuitar = true,
     .MicrophoneAnswers = true},
    // Interval comparison asks the interval items but owns no table: the items it may ask are
    // edited under interval identification.
    {.Kind = ExerciseKind::IntervalComparison,
     .SetupBlock = SetupBlockType::Options,
     .SetupBlockIndex = 3,
     .ItemsFrom = ItemTableId::IntervalIdentification,
     .ItemsUsed = 30,
     .SpreadsChordsOnGuitar = true},
    {.Kind = ExerciseKind::RhythmImitation,
     .SetupBlock = SetupBlockType::Rhythm,
     .SetupBlockIndex = 0,
     .SpreadsChordsOnGuitar = true,
     .MicrophoneHearsTaps = true,
     .MaxRhythmBars = 6,
     .MicrophoneAnswers = true},
    {.Kind = ExerciseKind::RhythmReading,
     .SetupBlock = SetupBlockType::Rhythm,
     .SetupBlockIndex = 1,
     .SpreadsChordsOnGuitar = true,
     .MicrophoneHearsTaps = true,
     .MaxRhythmBars = 12,
     .MicrophoneAnswers = true},
    {.Kind = ExerciseKind::RhythmErrorDetection,
     .SetupBlock = SetupBlockType::Rhythm,
     .SetupBlockIndex = 2,
     .SpreadsChordsOnGuitar = true,
     .MicrophoneHearsTaps = true,
     .MaxRhythmBars = 6},
    // The inversion names are built from the chord table: a stored name is never read back.
    {.Kind = ExerciseKind::ChordInversions,
     .SetupBlock = SetupBlockType::Options,
     .SetupBlockIndex = 1,
     .ItemTable = ItemTableId::ChordInversions,
     .ItemsUsed = 60,
     .FirstUserSlot = 27,
     .LastSavedUserSlot = 60,
     .UserItemNameRead = false,
     .UserItemNameWritten = true,
     .IdentificationWindow = true,
     .HelpContext = 0,
     .SpreadsChordsOnGuitar = true,
     .MicrophoneAnswers = true},
    {.Kind = ExerciseKind::Scales,
     .SetupBlock = SetupBlockType::Options,
     .SetupBlockIndex = 4,
     .ItemTable = ItemTableId::Scales,
     .ItemsUsed = 60,
     .FirstUserSlot = 32,
     .LastSavedUserSlot = 60,
     .UserItemNameRead = true,
     .UserItemNameWritten = true,
     .IdentificationWindow = true,
     .HelpContext = 10,
     .SpreadsChordsOnGuitar = false,
     .MicrophoneAnswers = true},
    {.Kind = ExerciseKind::MelodyDictation,
     .SetupBlock = SetupBlockType::Melody,
     .SetupBlockIndex = 0,
     .IdentificationWindow = true,
     .HelpContext = 10,
     .SpreadsChordsOnGuitar = false,
     .MicrophoneAnswers = true},
    // A progression's name is made from its chords.
    {.Kind = ExerciseKind::ChordProgressions,
     .SetupBlock = SetupBlockType::Options,
     .SetupBlockIndex = 5,
     .ItemTable = ItemTableId::Progressions,
     .ItemsUsed = 60,
     .FirstUserSlot = 36,
     .LastSavedUserSlot = 60,
     .UserItemNameRead = false,
     .UserItemNameWritten = false,
     .IdentificationWindow = true,
     .HelpContext = 0,
     .SpreadsChordsOnGuitar = true},
}};

/// The facts of a kind. A value outside 1..10 (only a cast of a damaged byte makes one) gets a
/// row that has nothing: no block, no table, no window.
constexpr ExerciseKindFacts KindFacts(ExerciseKind kind)
{
    if (const auto known = KindFromNumber(KindNumber(kind)))
        return kExerciseKindFacts[static_cast<std::size_t>(KindNumber(*known) - 1)];
    return ExerciseKindFacts{.Kind = kind};
}

/// The facts of a stored kind number; a number of no kind gets the row that has nothing.
constexpr ExerciseKindFacts KindFactsOfNumber(int number)
{
    const std::optional<ExerciseKind> kind = KindFromNumber(number);
    return kind ? KindFacts(*kind) : ExerciseKindFacts{};
}

/// The kind that owns an item table.
constexpr ExerciseKind KindOfItemTable(ItemTableId table)
{
    for (const ExerciseKindFacts& facts : kExerciseKindFacts)
        if (facts.ItemTable == table)
            return facts.Kind;
    return ExerciseKind::ChordIdentification;
}

/// The item table whose items a kind asks: its own, else the one it asks them from; none for
/// the kinds without items.
constexpr std::optional<ItemTableId> AskedItemTable(ExerciseKind kind)
{
    const ExerciseKindFacts facts = KindFacts(kind);
    return facts.ItemTable ? facts.ItemTable : facts.ItemsFrom;
}

/// The first item (1..60) a kind asks that is no built-in one: the first user slot of the
/// table it asks; 0 for the kinds without items.
constexpr int FirstUserSlotAsked(ExerciseKind kind)
{
    const std::optional<ItemTableId> table = AskedItemTable(kind);
    return table ? KindFacts(KindOfItemTable(*table)).FirstUserSlot : 0;
}

/// The kinds that own an item table, in the order of ItemTableId.
inline constexpr std::array<ExerciseKind, kItemTableIdCount> kItemTableKinds = {
    KindOfItemTable(ItemTableId::ChordIdentification),
    KindOfItemTable(ItemTableId::IntervalIdentification),
    KindOfItemTable(ItemTableId::ChordInversions), KindOfItemTable(ItemTableId::Scales),
    KindOfItemTable(ItemTableId::Progressions)};

} // namespace pv
