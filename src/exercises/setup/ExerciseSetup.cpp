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

template <std::size_t N>
void ReadArray(const ByteReader& r, std::size_t offset, std::array<std::uint8_t, N>& out)
{
    const auto bytes = r.Bytes(offset, N);
    std::copy(bytes.begin(), bytes.end(), out.begin());
}

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

void EncodeOptionBlock(const OptionBlock& b, std::span<std::uint8_t> out)
{
    if (!Fits(out.size(), kOptionBlockSize))
        return;
    ByteWriter w(out.first(kOptionBlockSize));
    w.Bytes(0, b.ItemFlags);
    w.Bytes(60, b.PlayStyles);
    w.U8(63, b.ShowKeySignature);
    w.U8(64, b.AnswerInC);
    w.U8(65, b.Unused65);
    w.U8(66, b.AnswerInput);
    w.U8(67, b.PlayToneOnClick);
    w.U8(68, b.ShowFirstTone);
    w.U8(69, b.AutoAnswer);
    w.U8(70, b.TonicReference);
    w.U8(71, b.RootMovement);
    w.U8(72, b.ExtraOption);
    w.Bytes(73, b.Unused73);
    w.U8(80, b.HighestNote);
    w.U8(81, b.LowestNote);
}

OptionBlock DecodeOptionBlock(std::span<const std::uint8_t> bytes)
{
    OptionBlock b;
    if (!Fits(bytes.size(), kOptionBlockSize))
        return b;
    const ByteReader r(bytes.first(kOptionBlockSize));
    ReadArray(r, 0, b.ItemFlags);
    ReadArray(r, 60, b.PlayStyles);
    b.ShowKeySignature = r.U8(63);
    b.AnswerInC = r.U8(64);
    b.Unused65 = r.U8(65);
    b.AnswerInput = r.U8(66);
    b.PlayToneOnClick = r.U8(67);
    b.ShowFirstTone = r.U8(68);
    b.AutoAnswer = r.U8(69);
    b.TonicReference = r.U8(70);
    // Values outside the list would index the key table out of range in the exercises.
    b.RootMovement = SanitizedRootMovement(r.U8(71));
    b.ExtraOption = r.U8(72);
    ReadArray(r, 73, b.Unused73);
    b.HighestNote = r.U8(80);
    b.LowestNote = r.U8(81);
    return b;
}

void EncodeRhythmSetup(const RhythmSetup& b, std::span<std::uint8_t> out)
{
    if (!Fits(out.size(), kRhythmSetupSize))
        return;
    ByteWriter w(out.first(kRhythmSetupSize));
    w.Bytes(0, b.TimeSignatures);
    w.Bytes(14, b.Unused14);
    w.Bytes(20, b.NoteValues);
    w.U8(26, b.Tempo);
    w.U8(27, b.Bars);
    w.U8(28, b.Rests);
    w.U8(29, b.Corrections);
    w.I16(30, b.RhythmEvaluation);
    w.U8(32, b.Ties);
    w.U8(33, b.AllTriplets);
    w.U8(34, b.Dotted);
    w.U8(35, b.Unused35);
    w.U8(36, b.ShowSecondTime);
    w.U8(37, b.Unused37);
    w.U8(38, b.TripletMask);
    w.Bytes(39, b.Unused39);
}

RhythmSetup DecodeRhythmSetup(std::span<const std::uint8_t> bytes)
{
    RhythmSetup b;
    if (!Fits(bytes.size(), kRhythmSetupSize))
        return b;
    const ByteReader r(bytes.first(kRhythmSetupSize));
    ReadArray(r, 0, b.TimeSignatures);
    ReadArray(r, 14, b.Unused14);
    ReadArray(r, 20, b.NoteValues);
    b.Tempo = r.U8(26);
    b.Bars = r.U8(27);
    b.Rests = r.U8(28);
    b.Corrections = r.U8(29);
    b.RhythmEvaluation = r.I16(30);
    b.Ties = r.U8(32);
    b.AllTriplets = r.U8(33);
    b.Dotted = r.U8(34);
    b.Unused35 = r.U8(35);
    b.ShowSecondTime = r.U8(36);
    b.Unused37 = r.U8(37);
    b.TripletMask = r.U8(38);
    ReadArray(r, 39, b.Unused39);
    return b;
}

void EncodeMelodySetup(const MelodySetup& b, std::span<std::uint8_t> out)
{
    if (!Fits(out.size(), kMelodySetupSize))
        return;
    ByteWriter w(out.first(kMelodySetupSize));
    w.U8(0, b.ToneCount);
    w.U8(1, b.LargestLeap);
    w.U8(2, b.Ambitus);
    w.U8(3, b.Scale);
    w.Bytes(4, b.Keys);
    w.U8(16, b.Unused16);
    w.U8(17, b.ShowKeySignature);
    w.U8(18, b.TonicReference);
    w.U8(19, b.PlayToneOnClick);
    w.U8(20, b.AnswerInput);
    w.U8(21, b.AutoAnswer);
    w.U8(22, b.ShowFirstTone);
    w.U8(23, b.Unused23);
    w.U8(24, b.Rhythms);
    w.Bytes(25, b.Unused25);
    w.U8(27, b.HighestNote);
    w.U8(28, b.LowestNote);
}

MelodySetup DecodeMelodySetup(std::span<const std::uint8_t> bytes)
{
    MelodySetup b;
    if (!Fits(bytes.size(), kMelodySetupSize))
        return b;
    const ByteReader r(bytes.first(kMelodySetupSize));
    b.ToneCount = r.U8(0);
    b.LargestLeap = r.U8(1);
    b.Ambitus = r.U8(2);
    b.Scale = r.U8(3);
    ReadArray(r, 4, b.Keys);
    b.Unused16 = r.U8(16);
    b.ShowKeySignature = r.U8(17);
    b.TonicReference = r.U8(18);
    b.PlayToneOnClick = r.U8(19);
    b.AnswerInput = r.U8(20);
    b.AutoAnswer = r.U8(21);
    b.ShowFirstTone = r.U8(22);
    b.Unused23 = r.U8(23);
    b.Rhythms = r.U8(24);
    ReadArray(r, 25, b.Unused25);
    b.HighestNote = r.U8(27);
    b.LowestNote = r.U8(28);
    return b;
}

std::vector<std::uint8_t> EncodeExerciseSetup(const ExerciseSetup& s)
{
    std::vector<std::uint8_t> bytes(kExerciseSetupSize, 0);
    const std::span<std::uint8_t> all(bytes);
    std::copy(s.Header.begin(), s.Header.end(), bytes.begin());
    EncodeOptionBlock(s.ChordIdentification, all.subspan(kChordOptionsOffset));
    EncodeOptionBlock(s.ChordInversions, all.subspan(kInversionOptionsOffset));
    EncodeOptionBlock(s.IntervalIdentification, all.subspan(kIntervalOptionsOffset));
    EncodeOptionBlock(s.IntervalComparison, all.subspan(kComparisonOptionsOffset));
    EncodeOptionBlock(s.Scales, all.subspan(kScaleOptionsOffset));
    EncodeRhythmSetup(s.RhythmImitation, all.subspan(kRhythmImitationOffset));
    EncodeRhythmSetup(s.RhythmReading, all.subspan(kRhythmReadingOffset));
    EncodeRhythmSetup(s.RhythmErrorDetection, all.subspan(kRhythmErrorOffset));
    EncodeMelodySetup(s.Melody, all.subspan(kMelodySetupOffset));
    EncodeOptionBlock(s.ChordProgressions, all.subspan(kProgressionOptionsOffset));
    bytes[kSetupPadOffset] = s.Pad;
    return bytes;
}

std::optional<ExerciseSetup> DecodeExerciseSetup(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kExerciseSetupSize)
        return std::nullopt;
    const auto all = bytes.first(kExerciseSetupSize);
    ExerciseSetup s;
    std::copy(all.begin(), all.begin() + kSetupHeaderSize, s.Header.begin());
    s.ChordIdentification = DecodeOptionBlock(all.subspan(kChordOptionsOffset));
    s.ChordInversions = DecodeOptionBlock(all.subspan(kInversionOptionsOffset));
    s.IntervalIdentification = DecodeOptionBlock(all.subspan(kIntervalOptionsOffset));
    s.IntervalComparison = DecodeOptionBlock(all.subspan(kComparisonOptionsOffset));
    s.Scales = DecodeOptionBlock(all.subspan(kScaleOptionsOffset));
    s.RhythmImitation = DecodeRhythmSetup(all.subspan(kRhythmImitationOffset));
    s.RhythmReading = DecodeRhythmSetup(all.subspan(kRhythmReadingOffset));
    s.RhythmErrorDetection = DecodeRhythmSetup(all.subspan(kRhythmErrorOffset));
    s.Melody = DecodeMelodySetup(all.subspan(kMelodySetupOffset));
    s.ChordProgressions = DecodeOptionBlock(all.subspan(kProgressionOptionsOffset));
    s.Pad = all[kSetupPadOffset];
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
