// Conversion of old exercise setups into the current layout.
#include "exercises/setup/OldSetupConverter.h"

#include <algorithm>
#include <array>
#include <span>

namespace pv {

namespace {

// Copies old into a buffer of exactly the expected size so a short block reads as zeros.
template <std::size_t N> std::array<std::uint8_t, N> Padded(std::span<const std::uint8_t> old)
{
    std::array<std::uint8_t, N> bytes{};
    std::copy_n(old.begin(), std::min(N, old.size()), bytes.begin());
    return bytes;
}

// The old answer-input byte kept a mode number (1 by name, 2 piano, 3 guitar) where the current
// one keeps a bit per input; the lock bit stays.
std::uint8_t ConvertAnswerInput(std::uint8_t old)
{
    std::uint8_t bits = old & 0x80;
    switch (old & 0x7F) {
    case 1:
        bits |= 0x01;
        break;
    case 2:
        bits |= 0x02;
        break;
    case 3:
        bits |= 0x04;
        break;
    default:
        break;
    }
    return bits;
}

} // namespace

bool ConvertOldOptionBlock(std::span<const std::uint8_t> oldBlock, OptionBlock& converted,
                           ExerciseKind kind)
{
    const auto old = Padded<kOldOptionBlockSize>(oldBlock);
    std::array<std::uint8_t, kOptionBlockSize> bytes{};
    auto flag = [&](int oldItem, int newItem) {
        bytes[static_cast<std::size_t>(newItem - 1)] = old[static_cast<std::size_t>(oldItem - 1)];
    };
    // Where the old layout's built-in items went, and where its user items began (old items
    // from there to 28 follow one another from the kind's first user slot).
    struct OldRule
    {
        ExerciseKind kind;
        std::span<const int> builtIn; ///< new item of old item 1, 2, ...
        int firstOldUser;             ///< 0: the old block has no user items
    };
    static constexpr int kChordItems[14] = {1, 2, 3, 4, 6, 7, 16, 9, 15, 8, 13, 11, 17, 10};
    static constexpr int kInversionItems[14] = {1, 2, 3, 4, 5, 6, 14, 15, 16, 17, 18, 19, 20, 21};
    static constexpr std::array<int, 28> kSameItems = [] {
        std::array<int, 28> items{};
        for (std::size_t i = 0; i < items.size(); ++i)
            items[i] = static_cast<int>(i) + 1;
        return items;
    }();
    static constexpr std::span<const int> kIntervalItems(kSameItems);
    static constexpr std::span<const int> kScaleItems = kIntervalItems.first(11);
    static constexpr OldRule kRules[] = {
        {ExerciseKind::ChordIdentification, kChordItems, 15},
        {ExerciseKind::ChordInversions, kInversionItems, 15},
        {ExerciseKind::IntervalIdentification, kIntervalItems, 0},
        {ExerciseKind::IntervalComparison, kIntervalItems, 0},
        {ExerciseKind::Scales, kScaleItems, 12},
    };
    int firstOldUser = 0;
    int firstNewUser = 0;
    for (const OldRule& rule : kRules) {
        if (rule.kind != kind)
            continue;
        for (std::size_t j = 0; j < rule.builtIn.size(); ++j)
            flag(static_cast<int>(j) + 1, rule.builtIn[j]);
        firstOldUser = rule.firstOldUser;
        firstNewUser = KindFacts(kind).FirstUserSlot;
    }
    bool userItems = false;
    if (firstOldUser > 0) {
        for (int item = firstOldUser; item <= 28; ++item) {
            if (old[static_cast<std::size_t>(item - 1)] == 0)
                continue;
            flag(item, firstNewUser + item - firstOldUser);
            userItems = true;
        }
    }
    // Behind the 28 item flags the old block holds the current block's bytes 60..81.
    static_assert(kOldOptionBlockSize - 28 == kOptionBlockSize - 60);
    std::copy(old.begin() + 28, old.end(), bytes.begin() + 60);
    converted = DecodeOptionBlock(bytes);
    converted.AnswerInput = ConvertAnswerInput(converted.AnswerInput);
    converted.TonicReference = 16;
    return userItems;
}

void ConvertOldRhythmBlock(std::span<const std::uint8_t> oldBlock, RhythmSetup& converted)
{
    const auto old = Padded<kOldRhythmBlockSize>(oldBlock);
    std::array<std::uint8_t, kRhythmSetupSize> bytes{};
    // The old block had six time signatures and no unused bytes 14..19; from the tempo on it
    // holds the current block's bytes 26..43.
    static_assert(kOldRhythmBlockSize - 12 == kRhythmSetupSize - 26);
    std::copy_n(old.begin(), 6, bytes.begin());
    std::copy_n(old.begin() + 6, 6, bytes.begin() + 20);
    std::copy(old.begin() + 12, old.end(), bytes.begin() + 26);
    converted = DecodeRhythmSetup(bytes);
}

void ConvertOldMelodyBlock(std::span<const std::uint8_t> oldBlock, MelodySetup& converted)
{
    // The old block has the current layout (and one byte more); two fields changed meaning.
    static_assert(kOldMelodyBlockSize >= kMelodySetupSize);
    const auto old = Padded<kOldMelodyBlockSize>(oldBlock);
    converted = DecodeMelodySetup(old);
    // Old tonic bytes had no reference kind: they become base tones.
    converted.TonicReference = static_cast<std::uint8_t>(converted.TonicReference + 16);
    converted.AnswerInput = ConvertAnswerInput(converted.AnswerInput);
}

ExerciseSetup ConvertOldLevel(std::span<const std::uint8_t> oldSetup)
{
    const auto old = Padded<kOldSetupSize>(oldSetup);
    const std::span<const std::uint8_t> all(old);
    ExerciseSetup s = DefaultExerciseSetup();
    ConvertOldOptionBlock(all.subspan(kOldChordOptionsOffset, kOldOptionBlockSize),
                          s.ChordIdentification, ExerciseKind::ChordIdentification);
    ConvertOldOptionBlock(all.subspan(kOldInversionOptionsOffset, kOldOptionBlockSize),
                          s.ChordInversions, ExerciseKind::ChordInversions);
    ConvertOldOptionBlock(all.subspan(kOldIntervalOptionsOffset, kOldOptionBlockSize),
                          s.IntervalIdentification, ExerciseKind::IntervalIdentification);
    ConvertOldOptionBlock(all.subspan(kOldComparisonOptionsOffset, kOldOptionBlockSize),
                          s.IntervalComparison, ExerciseKind::IntervalComparison);
    ConvertOldOptionBlock(all.subspan(kOldScaleOptionsOffset, kOldOptionBlockSize), s.Scales,
                          ExerciseKind::Scales);
    ConvertOldRhythmBlock(all.subspan(kOldRhythmOffset, kOldRhythmBlockSize), s.RhythmImitation);
    ConvertOldRhythmBlock(all.subspan(kOldRhythmOffset + kOldRhythmBlockSize, kOldRhythmBlockSize),
                          s.RhythmReading);
    ConvertOldRhythmBlock(
        all.subspan(kOldRhythmOffset + 2 * kOldRhythmBlockSize, kOldRhythmBlockSize),
        s.RhythmErrorDetection);
    ConvertOldMelodyBlock(all.subspan(kOldMelodyOffset, kOldMelodyBlockSize), s.Melody);
    return s;
}

} // namespace pv
