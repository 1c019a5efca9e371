// The beaming pass: which eighths and shorter notes share a beam, how their inner beams break,
// and no tie leads into a rest.
#include "exercises/rhythm/TRytme.h"

namespace pv {

namespace {

/// Group numbers only need to differ between neighbouring groups, and 0 means "not beamed": a
/// long rhythm with more groups than a byte holds wraps round past 0.
std::uint8_t GroupNumber(int g)
{
    return static_cast<std::uint8_t>(1 + (g - 1) % 255);
}

bool Beamable(const RhythmNote& note)
{
    return note.Value >= 4 && note.Rest == 0;
}

} // namespace

void TRytme::ComputeBeams(int list)
{
    std::vector<RhythmNote>& notes = m_notes[ListIndex(list)];
    const std::size_t count = notes.size();
    const std::int64_t bar = BarTicks;
    const std::int64_t group = BeamGroupTicks();
    const std::int64_t unit = UnitTicks;
    // Position within the bar. It is kept inside the bar everywhere: in 7/8 (and 5/8) the group
    // length does not divide the bar, so a position running on past a bar line would put the
    // groups of every later bar in the wrong place.
    std::int64_t p = 0;
    int g = 0;
    auto advance = [&](std::int64_t ticks) {
        p += ticks;
        if (p >= bar)
            p %= bar;
    };

    std::size_t i = 0;
    while (i < count) {
        while (i < count && !Beamable(notes[i])) {
            advance(notes[i].Ticks);
            notes[i].BeamGroup = 0;
            ++i;
        }
        ++g;
        int n = 0;
        while (i < count && notes[i].Value >= 4) {
            RhythmNote& note = notes[i];
            if (note.Rest != 0) {
                p += note.Ticks;
                note.BeamGroup = 0;
            } else {
                note.BeamGroup = GroupNumber(g);
                ++n;
                const std::int64_t e = p + note.Ticks;
                if (p % unit == 0)
                    note.BeamLevel = 1;
                else if (e % unit == 0)
                    note.BeamLevel = 0;
                else if (p % (unit / 2) == 0)
                    note.BeamLevel = 1;
                else if (e % (unit / 2) == 0)
                    note.BeamLevel = 0;
                else if (p % (unit / 4) == 0)
                    note.BeamLevel = 1;
                else if (e % (unit / 4) == 0)
                    note.BeamLevel = 0;
                p = e;
            }
            if (p % group == 0 || p % bar == 0) {
                ++g;
                // A lone note keeps its flag.
                if (n == 1) {
                    if (note.Rest == 0)
                        note.BeamGroup = 0;
                    else if (i >= 1)
                        notes[i - 1].BeamGroup = 0;
                }
                n = 0;
            }
            if (p % bar == 0)
                p = 0;
            ++i;
        }
        // i is one past the run here (and at least 1, since the run held a note when n = 1).
        if (n == 1) {
            notes[i - 1].BeamGroup = 0;
            if (notes[i - 1].Rest != 0 && i >= 2)
                notes[i - 2].BeamGroup = 0;
        }
    }

    // Around a long note or a rest the inner beams restart. An entry past the end is absent: it
    // counts as not beamed and is never written.
    for (std::size_t j = 0; j < count; ++j) {
        RhythmNote& note = notes[j];
        const bool hasNext = j + 1 < count;
        if (note.Rest == 0) {
            if (note.Value < 4 && j >= 1) {
                if (hasNext)
                    notes[j + 1].BeamLevel = 1;
                notes[j - 1].BeamLevel = 0;
            }
            continue;
        }
        if (j == 0) {
            if (hasNext)
                notes[1].BeamLevel = 1;
            continue;
        }
        notes[j - 1].Tied = 0;
        const std::uint8_t nextGroup = hasNext ? notes[j + 1].BeamGroup : 0;
        if (notes[j - 1].BeamGroup != nextGroup) {
            if (hasNext)
                notes[j + 1].BeamLevel = 1;
            notes[j - 1].BeamLevel = 0;
        }
    }
}

} // namespace pv
