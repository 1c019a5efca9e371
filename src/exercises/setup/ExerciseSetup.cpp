// Codecs of the exercise setup record and its blocks, the default setup and the comparison.
#include "exercises/setup/ExerciseSetup.h"

#include "music/base/Log.h"
#include "music/files/ByteIO.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace pv {

namespace {

bool Fits(std::size_t size, std::size_t needed)
{
    return PV_SOFT_CHECK(size >= needed);
}

// The blocks of each shape in record order: the kind table gives a kind's place among them.
constexpr std::array<OptionBlock ExerciseSetup::*, 6> kOptionBlocks = {
    &ExerciseSetup::ChordIdentification,
    &ExerciseSetup::ChordInversions,
    &ExerciseSetup::IntervalIdentification,
    &ExerciseSetup::IntervalComparison,
    &ExerciseSetup::Scales,
    &ExerciseSetup::ChordProgressions};
constexpr std::array<RhythmSetup ExerciseSetup::*, 3> kRhythmBlocks = {
    &ExerciseSetup::RhythmImitation, &ExerciseSetup::RhythmReading,
    &ExerciseSetup::RhythmErrorDetection};

constexpr bool PlacesFit(SetupBlockType type, std::size_t count)
{
    for (const ExerciseKindFacts& facts : kExerciseKindFacts)
        if (facts.SetupBlock == type && facts.SetupBlockIndex >= count)
            return false;
    return true;
}
static_assert(PlacesFit(SetupBlockType::Options, kOptionBlocks.size()));
static_assert(PlacesFit(SetupBlockType::Rhythm, kRhythmBlocks.size()));

} // namespace

OptionBlock* OptionBlockOfKind(ExerciseSetup& setup, ExerciseKind kind)
{
    return const_cast<OptionBlock*>(OptionBlockOfKind(std::as_const(setup), kind));
}

const OptionBlock* OptionBlockOfKind(const ExerciseSetup& setup, ExerciseKind kind)
{
    const ExerciseKindFacts facts = KindFacts(kind);
    if (facts.SetupBlock != SetupBlockType::Options)
        return nullptr;
    return &(setup.*kOptionBlocks[facts.SetupBlockIndex]);
}

RhythmSetup* RhythmSetupOfKind(ExerciseSetup& setup, ExerciseKind kind)
{
    return const_cast<RhythmSetup*>(RhythmSetupOfKind(std::as_const(setup), kind));
}

const RhythmSetup* RhythmSetupOfKind(const ExerciseSetup& setup, ExerciseKind kind)
{
    const ExerciseKindFacts facts = KindFacts(kind);
    if (facts.SetupBlock != SetupBlockType::Rhythm)
        return nullptr;
    return &(setup.*kRhythmBlocks[facts.SetupBlockIndex]);
}

bool HasSetupMark(std::span<const std::uint8_t> header, const char* mark)
{
    const std::size_t length = std::strlen(mark);
    if (header.size() < length + 1 || header[0] != length)
        return false;
    return std::equal(mark, mark + length, header.begin() + 1,
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

void StampSetupHeader(ExerciseSetup& setup)
{
    const std::size_t length = std::strlen(kCurrentSetupMark);
    setup.Header[0] = static_cast<std::uint8_t>(length);
    for (std::size_t i = 0; i < length; ++i)
        setup.Header[1 + i] = static_cast<std::uint8_t>(kCurrentSetupMark[i]);
}

bool IsValidRootMovement(std::uint8_t value)
{
    return value == 0 || (value >= 3 && value <= 8) || (value >= 11 && value <= 22) ||
           (value >= 25 && value <= 36);
}

std::uint8_t SanitizedRootMovement(std::uint8_t value)
{
    return IsValidRootMovement(value) ? value : 0;
}

std::uint8_t AnswerInputLockOf(std::uint8_t answerInput)
{
    return answerInput >= 128 ? static_cast<std::uint8_t>(answerInput & 127) : 0;
}

bool PlaysTonicReference(std::uint8_t tonicReference)
{
    return (tonicReference & 0x0F) != 0;
}

bool TonicReferenceIsCadence(std::uint8_t tonicReference)
{
    return (tonicReference >> 4) == 2;
}

namespace {

// Each block's layout is written once and read and written through it.

template <class IO, class Block> void OptionBlockFields(IO& io, Block& b)
{
    io.Bytes(0, b.ItemFlags);
    io.Bytes(60, b.PlayStyles);
    io.U8(63, b.ShowKeySignature);
    io.U8(64, b.AnswerInC);
    io.U8(65, b.Unused65);
    io.U8(66, b.AnswerInput);
    io.U8(67, b.PlayToneOnClick);
    io.U8(68, b.ShowFirstTone);
    io.U8(69, b.AutoAnswer);
    io.U8(70, b.TonicReference);
    io.U8(71, b.RootMovement);
    // Values outside the list would index the key table out of range in the exercises.
    if constexpr (IO::kReading)
        b.RootMovement = SanitizedRootMovement(b.RootMovement);
    io.U8(72, b.ExtraOption);
    io.Bytes(73, b.Unused73);
    io.U8(80, b.HighestNote);
    io.U8(81, b.LowestNote);
}

template <class IO, class Block> void RhythmSetupFields(IO& io, Block& b)
{
    io.Bytes(0, b.TimeSignatures);
    io.Bytes(14, b.Unused14);
    io.Bytes(20, b.NoteValues);
    io.U8(26, b.Tempo);
    io.U8(27, b.Bars);
    io.U8(28, b.Rests);
    io.U8(29, b.Corrections);
    io.I16(30, b.RhythmEvaluation);
    io.U8(32, b.Ties);
    io.U8(33, b.AllTriplets);
    io.U8(34, b.Dotted);
    io.U8(35, b.Unused35);
    io.U8(36, b.ShowSecondTime);
    io.U8(37, b.Unused37);
    io.U8(38, b.TripletMask);
    io.Bytes(39, b.Unused39);
}

template <class IO, class Block> void MelodySetupFields(IO& io, Block& b)
{
    io.U8(0, b.ToneCount);
    io.U8(1, b.LargestLeap);
    io.U8(2, b.Ambitus);
    io.U8(3, b.Scale);
    io.Bytes(4, b.Keys);
    io.U8(16, b.Unused16);
    io.U8(17, b.ShowKeySignature);
    io.U8(18, b.TonicReference);
    io.U8(19, b.PlayToneOnClick);
    io.U8(20, b.AnswerInput);
    io.U8(21, b.AutoAnswer);
    io.U8(22, b.ShowFirstTone);
    io.U8(23, b.Unused23);
    io.U8(24, b.Rhythms);
    io.Bytes(25, b.Unused25);
    io.U8(27, b.HighestNote);
    io.U8(28, b.LowestNote);
}

const auto kOptionBlockFields = [](auto& io, auto& b) { OptionBlockFields(io, b); };
const auto kRhythmSetupFields = [](auto& io, auto& b) { RhythmSetupFields(io, b); };
const auto kMelodySetupFields = [](auto& io, auto& b) { MelodySetupFields(io, b); };

template <class IO, class Setup> void ExerciseSetupFields(IO& io, Setup& s)
{
    io.Bytes(0, s.Header);
    Nested(io, kChordOptionsOffset, kOptionBlockSize, s.ChordIdentification, kOptionBlockFields);
    Nested(io, kInversionOptionsOffset, kOptionBlockSize, s.ChordInversions, kOptionBlockFields);
    Nested(io, kIntervalOptionsOffset, kOptionBlockSize, s.IntervalIdentification,
           kOptionBlockFields);
    Nested(io, kComparisonOptionsOffset, kOptionBlockSize, s.IntervalComparison,
           kOptionBlockFields);
    Nested(io, kScaleOptionsOffset, kOptionBlockSize, s.Scales, kOptionBlockFields);
    Nested(io, kRhythmImitationOffset, kRhythmSetupSize, s.RhythmImitation, kRhythmSetupFields);
    Nested(io, kRhythmReadingOffset, kRhythmSetupSize, s.RhythmReading, kRhythmSetupFields);
    Nested(io, kRhythmErrorOffset, kRhythmSetupSize, s.RhythmErrorDetection, kRhythmSetupFields);
    Nested(io, kMelodySetupOffset, kMelodySetupSize, s.Melody, kMelodySetupFields);
    Nested(io, kProgressionOptionsOffset, kOptionBlockSize, s.ChordProgressions,
           kOptionBlockFields);
    io.U8(kSetupPadOffset, s.Pad);
}

// A block read from the first size bytes; a default block (and a logged check) when fewer are
// given.
template <class Block, class Fields>
Block DecodeBlock(std::span<const std::uint8_t> bytes, std::size_t size, Fields fields)
{
    Block b;
    if (!Fits(bytes.size(), size))
        return b;
    FieldReader io(bytes.first(size));
    fields(io, b);
    return b;
}

// Every byte of a block is one of its fields, so the image does not depend on what out held.
template <class Block, class Fields>
void EncodeBlock(const Block& b, std::span<std::uint8_t> out, std::size_t size, Fields fields)
{
    if (!Fits(out.size(), size))
        return;
    FieldWriter io(out.first(size));
    fields(io, b);
}

} // namespace

void EncodeOptionBlock(const OptionBlock& b, std::span<std::uint8_t> out)
{
    EncodeBlock(b, out, kOptionBlockSize, kOptionBlockFields);
}

OptionBlock DecodeOptionBlock(std::span<const std::uint8_t> bytes)
{
    return DecodeBlock<OptionBlock>(bytes, kOptionBlockSize, kOptionBlockFields);
}

void EncodeRhythmSetup(const RhythmSetup& b, std::span<std::uint8_t> out)
{
    EncodeBlock(b, out, kRhythmSetupSize, kRhythmSetupFields);
}

RhythmSetup DecodeRhythmSetup(std::span<const std::uint8_t> bytes)
{
    return DecodeBlock<RhythmSetup>(bytes, kRhythmSetupSize, kRhythmSetupFields);
}

void EncodeMelodySetup(const MelodySetup& b, std::span<std::uint8_t> out)
{
    EncodeBlock(b, out, kMelodySetupSize, kMelodySetupFields);
}

MelodySetup DecodeMelodySetup(std::span<const std::uint8_t> bytes)
{
    return DecodeBlock<MelodySetup>(bytes, kMelodySetupSize, kMelodySetupFields);
}

std::vector<std::uint8_t> EncodeExerciseSetup(const ExerciseSetup& s)
{
    std::vector<std::uint8_t> bytes(kExerciseSetupSize, 0);
    FieldWriter io(bytes);
    ExerciseSetupFields(io, s);
    return bytes;
}

std::optional<ExerciseSetup> DecodeExerciseSetup(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kExerciseSetupSize)
        return std::nullopt;
    ExerciseSetup s;
    FieldReader io(bytes.first(kExerciseSetupSize));
    ExerciseSetupFields(io, s);
    return s;
}

namespace {

OptionBlock DefaultOptions(std::initializer_list<int> items, bool keySignature, bool toneOnClick,
                           std::uint8_t tonicReference)
{
    OptionBlock b;
    for (int item : items)
        b.ItemFlags[static_cast<std::size_t>(item - 1)] = 1;
    b.PlayStyles = {0, 1, 1};
    b.ShowKeySignature = keySignature ? 1 : 0;
    b.AnswerInput = 2;
    b.PlayToneOnClick = toneOnClick ? 1 : 0;
    b.TonicReference = tonicReference;
    b.HighestNote = 72;
    b.LowestNote = 53;
    return b;
}

RhythmSetup DefaultRhythm(std::uint8_t corrections, std::uint8_t byte35, bool showSecondTime)
{
    RhythmSetup b;
    b.TimeSignatures[3] = 1; // 4/4
    b.NoteValues[1] = 1;     // half notes
    b.NoteValues[2] = 1;     // quarter notes
    b.Tempo = 90;
    b.Bars = 1;
    b.Corrections = corrections;
    b.RhythmEvaluation = 1;
    b.Unused35 = byte35;
    b.ShowSecondTime = showSecondTime ? 1 : 0;
    return b;
}

ExerciseSetup MakeDefaultExerciseSetup()
{
    ExerciseSetup s;
    StampSetupHeader(s);
    s.ChordIdentification = DefaultOptions({1, 2}, true, true, 16);
    s.ChordInversions = DefaultOptions({1, 2, 3, 4, 5, 6}, true, true, 16);
    s.IntervalIdentification = DefaultOptions({1, 5, 8, 13}, true, true, 16);
    s.IntervalComparison = DefaultOptions({1, 5, 8, 13}, true, true, 16);
    s.Scales = DefaultOptions({1, 6}, false, true, 16);
    s.ChordProgressions = DefaultOptions({1, 2}, false, false, 0);
    s.RhythmImitation = DefaultRhythm(1, 208, true);
    s.RhythmReading = DefaultRhythm(2, 208, false);
    s.RhythmErrorDetection = DefaultRhythm(2, 0, false);
    MelodySetup& m = s.Melody;
    m.ToneCount = 5;
    m.LargestLeap = 2;
    m.Ambitus = 3;
    m.Keys[6] = 1; // C major
    m.ShowKeySignature = 1;
    m.TonicReference = 17;
    m.AnswerInput = 130;
    m.HighestNote = 72;
    m.LowestNote = 60;
    return s;
}

} // namespace

const ExerciseSetup& DefaultExerciseSetup()
{
    static const ExerciseSetup kDefault = MakeDefaultExerciseSetup();
    return kDefault;
}

bool OptionBlockChanged(const OptionBlock& a, const OptionBlock& b)
{
    return !(a == b);
}

bool RhythmSetupChanged(const RhythmSetup& a, const RhythmSetup& b)
{
    // Bytes 14..19 are unused and left out of the comparison.
    RhythmSetup left = a;
    left.Unused14 = b.Unused14;
    return !(left == b);
}

bool MelodySetupChanged(const MelodySetup& a, const MelodySetup& b)
{
    return !(a == b);
}

bool SetupChanged(const ExerciseSetup& a, const ExerciseSetup& b)
{
    return OptionBlockChanged(a.ChordIdentification, b.ChordIdentification) ||
           OptionBlockChanged(a.ChordInversions, b.ChordInversions) ||
           OptionBlockChanged(a.IntervalIdentification, b.IntervalIdentification) ||
           OptionBlockChanged(a.IntervalComparison, b.IntervalComparison) ||
           OptionBlockChanged(a.Scales, b.Scales) ||
           OptionBlockChanged(a.ChordProgressions, b.ChordProgressions) ||
           RhythmSetupChanged(a.RhythmImitation, b.RhythmImitation) ||
           RhythmSetupChanged(a.RhythmReading, b.RhythmReading) ||
           RhythmSetupChanged(a.RhythmErrorDetection, b.RhythmErrorDetection) ||
           MelodySetupChanged(a.Melody, b.Melody);
}

} // namespace pv
