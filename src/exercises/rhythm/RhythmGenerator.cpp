// Loading a rhythm setup into the engine and drawing random rhythms from it.
#include "exercises/rhythm/TRytme.h"
#include "music/base/Prompts.h"
#include "music/base/Random.h"
#include "music/notation/NotationTables.h"
#include "music/strings/UIStrings.h"

#include <algorithm>

namespace pv {

namespace {

constexpr int kMaxValue = 6; // thirty-second note
constexpr int kCandidatesPerEntry = 1001;
constexpr int kTripletAlignmentTries = 100; // after this many, a triplet may start off its group
constexpr std::int64_t kSixteenthTicks = 168;

constexpr std::uint8_t kPlain = 0;
constexpr std::uint8_t kDotted = 1;
constexpr std::uint8_t kTriplet = 2;

std::int64_t Ticks(int value)
{
    return DurationTicksOf(value);
}

/// The denominator a value is written with: 1 for a whole note .. 32 for a thirty-second.
int DenominatorOf(int value)
{
    return 1 << (value - 1);
}

bool Flag(std::uint8_t byte)
{
    return byte != 0;
}

std::int64_t Mod(std::int64_t a, std::int64_t b)
{
    const std::int64_t r = a % b;
    return r < 0 ? r + b : r;
}

} // namespace

void TRytme::SelectTimeSignature(int row)
{
    if (row < 1 || row > kTimeSignatureRows)
        return;
    CurrentTimeSig = static_cast<std::uint8_t>(row);
    const TimeSignatureRow& sig = CurrentRow();
    UnitTicks = kWholeTicks / sig.Denominator;
    BarTicks = sig.Numerator * UnitTicks;
    GroupTicks = static_cast<std::uint16_t>(sig.FirstUnits * UnitTicks);
}

void TRytme::Setup(const RhythmSetup& block)
{
    NoteChoice.clear();
    ShortestTicks = 65535;
    for (int v = 1; v <= kMaxValue; ++v) {
        if (!Flag(block.NoteValues[static_cast<std::size_t>(v - 1)]))
            continue;
        NoteChoice.push_back({static_cast<std::uint8_t>(v), 0});
        ShortestTicks = std::min<std::int32_t>(ShortestTicks, DurationTicksOf(v));
    }
    StraightCount = static_cast<int>(NoteChoice.size());

    TimeSigChoice.clear();
    for (int r = 1; r <= kTimeSignatureRows; ++r)
        if (Flag(block.TimeSignatures[static_cast<std::size_t>(r - 1)]))
            TimeSigChoice.push_back(static_cast<std::uint8_t>(r));
    // Without any time signature (only a damaged file has none) the one in use stays, so the
    // derived lengths stay valid; Generate then does nothing.
    if (!TimeSigChoice.empty())
        SelectTimeSignature(TimeSigChoice.front());

    for (int v = 2; v <= 5; ++v) {
        if ((block.TripletMask & (1u << (v - 1))) == 0)
            continue;
        NoteChoice.push_back({static_cast<std::uint8_t>(v), 1});
        ShortestTicks = std::min<std::int32_t>(ShortestTicks, 2 * DurationTicksOf(v));
    }

    Dotted = block.Dotted;
    Ties = block.Ties;
    Rests = block.Rests;
    m_notes[0].clear();
    m_notes[1].clear();
    Corrections.clear();
    TapCount = 0;
    TapTimes.assign(1, 0);
    HasTaps = 0;

    // A setup from a damaged file or tutor must not make endless rhythms, overrun the bar-line
    // tables or divide by a zero tempo.
    Tempo = block.Tempo == 0 ? static_cast<std::uint8_t>(kRhythmDefaultTempo)
                             : static_cast<std::uint8_t>(
                                   std::clamp<int>(block.Tempo, kRhythmMinTempo, kRhythmMaxTempo));
    Bars = static_cast<std::uint8_t>(std::clamp<int>(block.Bars, 1, kRhythmMaxBars));
    CorrectionsWanted =
        static_cast<std::uint8_t>(std::clamp<int>(block.Corrections, 1, kRhythmMaxCorrections));
    // An unknown strength is judged as the normal one.
    Evaluation =
        block.RhythmEvaluation >= 0 && block.RhythmEvaluation <= 2 ? block.RhythmEvaluation : 1;
}

void TRytme::Setup(const RhythmSetup& block, ExerciseKind kind)
{
    Setup(block);
    const int maxBars = KindFacts(kind).MaxRhythmBars;
    if (maxBars > 0 && Bars > maxBars)
        Bars = static_cast<std::uint8_t>(maxBars);
}

bool TRytme::IsOnBeat(std::int64_t position) const
{
    const TimeSignatureRow& sig = CurrentRow();
    const std::int64_t r = Mod(position, BarTicks);
    if (sig.Groups == 2 && r > GroupTicks) {
        const std::int64_t beat = sig.SecondUnits * UnitTicks / sig.SecondBeats;
        return (r - GroupTicks) % beat == 0;
    }
    const std::int64_t beat = sig.FirstUnits * UnitTicks / sig.FirstBeats;
    return r % beat == 0;
}

bool TRytme::CompoundTime() const
{
    const TimeSignatureRow& sig = CurrentRow();
    return sig.Denominator == 8 && sig.Numerator % 3 == 0;
}

std::int64_t TRytme::BeamGroupTicks() const
{
    return CurrentRow().Denominator == 4 ? UnitTicks : GroupTicks;
}

namespace {

/// What the generator's tests of a candidate read of the time signature in use.
struct CandidateRules
{
    std::int64_t Bar = 0;
    std::int64_t Unit = 0;
    std::int64_t Group = 0;
    std::int64_t BeamGroup = 0;
    std::int64_t Shortest = 0;
    int SigDenominator = 0;
    int Row = 0;
    int StraightCount = 0;
    /// Note choices drawn from: in compound time only the plain values.
    int Choices = 0;
    bool Compound = false;
    bool Dotted = false;
};

/// A note the generator considers at a place: its value, length and kind.
struct Candidate
{
    int Value = 0;
    std::int64_t Length = 0;
    std::uint8_t Kind = kPlain;
};

/// The dotted form of the plain choice k (1-based) of length d at p: allowed when a shorter
/// plain value is chosen too, or when dotted notes of it fill the rest of the bar.
bool DottedAllowed(const CandidateRules& rules, int k, std::int64_t d, std::int64_t p)
{
    const std::int64_t dd = d * 3 / 2;
    const std::int64_t bar = rules.Bar;
    return k < rules.StraightCount ||
           (bar / dd < 4 && bar % dd == 0 && (bar - Mod(p, bar)) % dd == 0);
}

/// The tests every candidate passes before it is placed at p. alignedTriplet: a triplet group
/// starts or ends on its beat group (or may start anywhere after many tries).
bool CandidateFits(const CandidateRules& rules, const Candidate& c, std::int64_t p, bool first,
                   bool alignedTriplet)
{
    const std::int64_t bar = rules.Bar;
    const std::int64_t d = c.Length;
    const int v = c.Value;
    // An eighth never starts off the sixteenth grid.
    const bool onGrid = !(v == 4 && !first && p % kSixteenthTicks != 0);
    // The note fits a beat, or starts or ends on one without crossing the bar line. A
    // compound beat is held to this as well as each of its three units.
    const auto fits = [&](std::int64_t beat) {
        if (Mod(p, beat) + d <= beat)
            return true;
        return (Mod(p, beat) == 0 || Mod(p + d, beat) == 0) && (p + d - 1) / bar == p / bar &&
               DenominatorOf(v) <= rules.SigDenominator;
    };
    const bool fitsBeat = fits(rules.Unit) && (!rules.Compound || fits(3 * rules.Unit));
    // A note that may be beamed stays inside its beam group, so every beam closes where its
    // group ends (in 7/8 between the four and the three).
    const std::int64_t inBar = Mod(p, bar);
    const bool inBeamGroup = v < 4 || inBar / rules.BeamGroup == (inBar + d - 1) / rules.BeamGroup;
    // What is left of the bar can still be filled.
    const std::int64_t rem = bar - Mod(p + d, bar);
    const bool fillable = rem == bar || rem % rules.Shortest == 0 ||
                          (rules.Dotted && rem % (rules.Shortest * 3 / 2) == 0);
    return (c.Kind != kTriplet || alignedTriplet) && onGrid && fitsBeat && inBeamGroup && fillable;
}

/// Whether a triplet group of length d at p starts or ends on its beat group.
bool TripletAligned(const CandidateRules& rules, std::int64_t p, std::int64_t d)
{
    return Mod(p, rules.Bar) % rules.Group == 0 || Mod(p + d, rules.Bar) % rules.Group == 0 ||
           rules.Row == 1;
}

CandidateRules RulesOf(const TRytme& rytme)
{
    CandidateRules rules;
    rules.Bar = rytme.BarTicks;
    rules.Unit = rytme.UnitTicks;
    rules.Group = rytme.GroupTicks;
    rules.BeamGroup = rytme.BeamGroupTicks();
    rules.SigDenominator = rytme.CurrentRow().Denominator;
    rules.Row = rytme.CurrentTimeSig;
    rules.StraightCount = rytme.StraightCount;
    // A compound beat divides in three already: triplets are left out, and the bar is filled
    // with what the plain values can fill.
    rules.Compound = rytme.CompoundTime();
    rules.Choices =
        rules.Compound ? rytme.StraightCount : static_cast<int>(rytme.NoteChoice.size());
    rules.Shortest =
        rules.Compound && rytme.StraightCount > 0
            ? Ticks(rytme.NoteChoice[static_cast<std::size_t>(rytme.StraightCount - 1)].Value)
            : rytme.ShortestTicks;
    rules.Dotted = rytme.Dotted != 0;
    return rules;
}

} // namespace

bool TRytme::BarsAlwaysFill() const
{
    const CandidateRules rules = RulesOf(*this);
    if (rules.Choices == 0 || rules.Shortest <= 0)
        return false;
    // Every place of a bar the generator can reach, whatever it draws (a triplet group may
    // come anywhere once its aligned places were tried long enough), must let some note fit:
    // the places of every bar are alike.
    std::vector<bool> seen(static_cast<std::size_t>(rules.Bar), false);
    std::vector<std::int64_t> pending{0};
    seen[0] = true;
    while (!pending.empty()) {
        const std::int64_t p = pending.back();
        pending.pop_back();
        bool any = false;
        for (int k = 1; k <= rules.Choices; ++k) {
            const RhythmNoteChoice choice = NoteChoice[static_cast<std::size_t>(k - 1)];
            const std::int64_t d = Ticks(choice.Value);
            std::vector<Candidate> forms;
            if (choice.Triplet != 0) {
                forms.push_back({choice.Value, 2 * d, kTriplet});
            } else {
                forms.push_back({choice.Value, d, kPlain});
                if (rules.Dotted && choice.Value <= 4 && DottedAllowed(rules, k, d, p))
                    forms.push_back({choice.Value, d * 3 / 2, kDotted});
            }
            for (const Candidate& c : forms) {
                if (!CandidateFits(rules, c, p, p == 0, true))
                    continue;
                any = true;
                const std::int64_t next = p + c.Length;
                if (next < rules.Bar && !seen[static_cast<std::size_t>(next)]) {
                    seen[static_cast<std::size_t>(next)] = true;
                    pending.push_back(next);
                }
            }
        }
        if (!any)
            return false;
    }
    return true;
}

bool RhythmBarsAlwaysFill(const RhythmSetup& block, int row)
{
    StdRandom random;
    SilentPrompts prompts;
    const UIStringTable strings;
    TRytme rytme(random, prompts, strings);
    rytme.Setup(block);
    if (row < 1 || row > kTimeSignatureRows)
        return false;
    rytme.SelectTimeSignature(row);
    return rytme.BarsAlwaysFill();
}

void TRytme::Generate()
{
    if (NoteChoice.empty() || TimeSigChoice.empty())
        return;
    m_random.Randomize();

    std::vector<RhythmNote>& notes = m_notes[0];
    notes.clear();
    std::int64_t p = 0;

    SelectTimeSignature(TimeSigChoice[static_cast<std::size_t>(
        m_random.Random(static_cast<int>(TimeSigChoice.size())))]);
    const CandidateRules rules = RulesOf(*this);
    const std::int64_t bar = rules.Bar;
    const std::int64_t group = rules.Group;
    const std::int64_t total = Bars * bar;

    while (p < total) {
        // Draw candidates until one fits here; a position nothing fits in ends the rhythm.
        bool found = false;
        int v = 0;
        std::int64_t d = 0;
        std::uint8_t kind = kPlain;
        for (int tries = 0; tries < kCandidatesPerEntry && !found && rules.Choices > 0; ++tries) {
            const int k = m_random.Random(rules.Choices) + 1;
            const RhythmNoteChoice choice = NoteChoice[static_cast<std::size_t>(k - 1)];
            v = choice.Value;
            d = Ticks(v);
            bool alignedTriplet = true;
            if (choice.Triplet != 0) {
                d = 2 * d;
                kind = kTriplet;
                alignedTriplet = TripletAligned(rules, p, d) || tries > kTripletAlignmentTries;
            } else {
                kind = kPlain;
                const int r = m_random.Random(3);
                if (r == 1 && Dotted != 0 && v <= 4 && DottedAllowed(rules, k, d, p)) {
                    kind = kDotted;
                    d = d * 3 / 2;
                }
            }
            found = CandidateFits(rules, {v, d, kind}, p, notes.empty(), alignedTriplet);
        }
        if (!found) {
            // A rhythm that stops inside a bar can be neither written, played nor judged, so
            // a setup that runs into a place nothing fills gives no rhythm at all.
            m_prompts.ShowMessage(m_strings.StrRhythmSetupMessage);
            notes.clear();
            break;
        }

        p += d;
        const bool hasPrevious = !notes.empty();
        const bool previousRest = hasPrevious && notes.back().Rest != 0;
        const bool previousTied = hasPrevious && notes.back().Tied != 0;
        RhythmNote note;
        note.Value = static_cast<std::uint8_t>(v);
        note.Kind = kind;
        note.Rest = Rests != 0 && m_random.Random(8) == 0 && !previousRest ? 1 : 0;
        note.Tied = Ties != 0 && Mod(p, bar) % group == 0 && note.Rest == 0 && !previousTied &&
                            v >= 2 && m_random.Random(3) == 0
                        ? 1
                        : 0;
        note.BarEnd = Mod(p, bar) == 0 ? 1 : 0;

        if (kind == kTriplet) {
            if (hasPrevious)
                notes.back().BeatEnd = 1;
            // A triplet group is never a rest nor tied; its figure stands over the middle note.
            RhythmNote member;
            member.Value = static_cast<std::uint8_t>(v);
            member.Kind = kTriplet;
            member.Ticks = static_cast<std::uint32_t>(d / 3);
            notes.push_back(member);
            member.TripletMiddle = 1;
            notes.push_back(member);
            member.TripletMiddle = 0;
            member.BarEnd = note.BarEnd;
            member.BeatEnd = 1;
            notes.push_back(member);
        } else {
            note.Ticks = static_cast<std::uint32_t>(d);
            note.BeatEnd = IsOnBeat(p) ? 1 : 0;
            notes.push_back(note);
        }

        // Two tied notes of a quarter or longer that begin or end a bar are written as one
        // longer note by a reader, so they are not tied. After a triplet group the test looks
        // at its last note, whose neighbour inside the group is never tied.
        const std::size_t n = notes.size();
        if (n > 1 && notes[n - 2].Tied != 0) {
            const bool barEdge = notes[n - 1].BarEnd != 0 || n == 2 || notes[n - 3].BarEnd != 0;
            if (barEdge && notes[n - 2].Value <= 3 && notes[n - 1].Value <= 3)
                notes[n - 2].Tied = 0;
        }
    }

    if (!notes.empty()) {
        notes.back().Tied = 0;
        if (notes.size() == 1)
            notes.front().Rest = 0;
    }
    ComputeBeams(0);
    FirstBarRest = !notes.empty() && notes.front().Rest != 0 &&
                           notes.front().Ticks == static_cast<std::uint32_t>(BarTicks)
                       ? 1
                       : 0;
}

} // namespace pv
