// Changed copies of a rhythm for error detection: a few notes tied, split or swapped.
#include "exercises/rhythm/TRytme.h"
#include "music/base/Random.h"

#include <algorithm>

namespace pv {

namespace {

constexpr int kNoteDraws = 101;
// A change kind is drawn until one that is possible comes up; a random source that keeps
// giving an impossible one must not hang the question, so after this many the first possible
// kind is taken.
constexpr int kChangeDraws = 100;

struct Possible
{
    bool Tie = false;
    bool Split = false;
    bool Swap = false;
    bool Any() const { return Tie || Split || Swap; }
    bool Of(int change) const { return change == 0 ? Tie : change == 1 ? Split : Swap; }
};

/// Which changes note i (1..N) of the list allows.
Possible PossibleChanges(const std::vector<RhythmNote>& notes, int i)
{
    const int n = static_cast<int>(notes.size());
    const RhythmNote& note = notes[static_cast<std::size_t>(i - 1)];
    const bool previousTied = i > 1 && notes[static_cast<std::size_t>(i - 2)].Tied != 0;
    Possible possible;
    possible.Split =
        note.Value < 6 && note.Kind == 0 && note.Rest == 0 && note.Tied == 0 && !previousTied;
    // Tie and swap need a following note; a rhythm cut short has no bar end on its last one.
    if (i < n) {
        const RhythmNote& next = notes[static_cast<std::size_t>(i)];
        const bool noneTied = !previousTied && note.Tied == 0 && next.Tied == 0;
        const bool noRest = note.Rest == 0 && next.Rest == 0;
        possible.Tie = noneTied && noRest;
        possible.Swap = noneTied && noRest && note.BarEnd == 0 && note.Value != next.Value &&
                        note.Kind != 2 && next.Kind != 2;
    }
    return possible;
}

} // namespace

bool TRytme::MakeCorrections()
{
    Corrections.clear();
    const std::vector<RhythmNote>& source = m_notes[0];
    std::vector<RhythmNote>& copy = m_notes[1];
    const int n = static_cast<int>(source.size());
    const std::size_t wanted = std::clamp<std::size_t>(CorrectionsWanted, 1, kRhythmMaxCorrections);

    while (Corrections.size() < wanted) {
        int i = 0;
        Possible possible;
        for (int draw = 0; draw < kNoteDraws && n > 0; ++draw) {
            const int candidate = m_random.Random(n) + 1;
            possible = PossibleChanges(source, candidate);
            if (possible.Any()) {
                i = candidate;
                break;
            }
        }
        // Changes already made stand: only a rhythm with no changeable note at all fails.
        if (i == 0)
            break;
        // Changes never touch or neighbour one another, so each stays recognisable.
        const bool neighbours =
            std::any_of(Corrections.begin(), Corrections.end(), [i](const RhythmCorrection& c) {
                return i >= c.NoteIndex - 1 && i <= c.NoteIndex + 1;
            });
        if (neighbours)
            break;

        int change = -1;
        for (int draw = 0; draw < kChangeDraws && change < 0; ++draw) {
            const int r = m_random.Random(3);
            if (possible.Of(r))
                change = r;
        }
        if (change < 0)
            change = possible.Tie ? 0 : possible.Split ? 1 : 2;

        RhythmCorrection correction;
        correction.NoteIndex = static_cast<std::uint16_t>(i);
        correction.Change = static_cast<RhythmChange>(change);
        correction.NoteX = static_cast<std::uint16_t>(
            std::clamp<std::int32_t>(source[static_cast<std::size_t>(i - 1)].X, 0, 65535));
        const auto at = std::find_if(Corrections.begin(), Corrections.end(),
                                     [i](const RhythmCorrection& c) { return c.NoteIndex > i; });
        Corrections.insert(at, correction);
    }

    copy.clear();
    if (Corrections.empty())
        return false;

    auto c = Corrections.begin();
    for (int s = 1; s <= n;) {
        const RhythmNote& note = source[static_cast<std::size_t>(s - 1)];
        if (c == Corrections.end() || c->NoteIndex != s) {
            copy.push_back(note);
            ++s;
            continue;
        }
        switch (c->Change) {
        case RhythmChange::Tie: {
            RhythmNote first = note;
            first.Tied = 1;
            first.Rest = 0;
            RhythmNote second = source[static_cast<std::size_t>(s)];
            second.Rest = 0;
            copy.push_back(first);
            copy.push_back(second);
            s += 2;
            break;
        }
        case RhythmChange::Split: {
            // Two notes of the next shorter value; only the second keeps the bar and beat end.
            RhythmNote half = note;
            half.Ticks /= 2;
            half.Rest = 0;
            half.Value = static_cast<std::uint8_t>(half.Value + 1);
            RhythmNote first = half;
            first.BarEnd = 0;
            first.BeatEnd = 0;
            copy.push_back(first);
            copy.push_back(half);
            s += 1;
            break;
        }
        case RhythmChange::Swap: {
            // The bar line stays where it was: the note now second takes the bar end.
            RhythmNote first = source[static_cast<std::size_t>(s)];
            RhythmNote second = note;
            second.BarEnd = first.BarEnd;
            first.BarEnd = 0;
            copy.push_back(first);
            copy.push_back(second);
            s += 2;
            break;
        }
        }
        ++c;
    }
    ComputeBeams(1);
    return true;
}

} // namespace pv
