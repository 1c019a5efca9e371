// Setups, a repeatable random source and the rules every generated rhythm keeps, shared by the
// generator, beaming and correction tests.
#pragma once

#include "exercises/rhythm/TRytme.h"
#include "music/base/Random.h"
#include "music/notation/NotationTables.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/ScriptedRandom.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pv::test {

enum : std::uint8_t
{
    kWhole = 1,
    kHalf = 2,
    kQuarter = 3,
    kEighth = 4,
    kSixteenth = 5,
    kThirtySecond = 6,
};

struct SetupOptions
{
    std::vector<int> rows;
    std::vector<int> values;
    std::vector<int> triplets = {};
    bool rests = false;
    bool ties = false;
    bool dotted = false;
    int bars = 2;
};

inline RhythmSetup MakeSetup(const SetupOptions& o)
{
    RhythmSetup s;
    for (int r : o.rows)
        s.TimeSignatures[static_cast<std::size_t>(r - 1)] = 1;
    for (int v : o.values)
        s.NoteValues[static_cast<std::size_t>(v - 1)] = 1;
    for (int v : o.triplets)
        s.TripletMask = static_cast<std::uint8_t>(s.TripletMask | (1 << (v - 1)));
    s.Rests = o.rests ? 1 : 0;
    s.Ties = o.ties ? 1 : 0;
    s.Dotted = o.dotted ? 1 : 0;
    s.Bars = static_cast<std::uint8_t>(o.bars);
    s.Tempo = 90;
    s.Corrections = 3;
    s.RhythmEvaluation = 1;
    return s;
}

inline std::int64_t DurationOf(int value)
{
    return DurationTicks[static_cast<std::size_t>(value)];
}

inline std::int64_t RhythmLength(const std::vector<RhythmNote>& notes)
{
    std::int64_t total = 0;
    for (const RhythmNote& n : notes)
        total += n.Ticks;
    return total;
}

/// The entries as a reader would name them, for failure messages: "8" an eighth, "r8" its rest,
/// "4." dotted, "8t" a triplet eighth, "~" tied, "[3" beam group 3, "|" a bar line.
inline std::string Describe(const std::vector<RhythmNote>& notes)
{
    std::string text;
    for (const RhythmNote& n : notes) {
        if (n.Rest != 0)
            text += 'r';
        text += std::to_string(1 << (n.Value - 1));
        text += n.Kind == 1 ? "." : n.Kind == 2 ? "t" : "";
        if (n.Tied != 0)
            text += '~';
        if (n.BeamGroup != 0)
            text += "[" + std::to_string(n.BeamGroup);
        text += n.BarEnd != 0 ? " | " : " ";
    }
    return text;
}

/// Entries from the names Describe writes ("4", "r8", "8.", "8t", "4~"; "|" is ignored): bar and
/// beat ends follow from the engine's current time signature, every third triplet note ends a
/// group and the middle one carries the figure.
inline std::vector<RhythmNote> Parse(const TRytme& engine, const std::string& spec)
{
    std::vector<RhythmNote> notes;
    std::int64_t p = 0;
    int tripletMembers = 0;
    std::size_t at = 0;
    while (at < spec.size()) {
        const std::size_t end = std::min(spec.find(' ', at), spec.size());
        std::string token = spec.substr(at, end - at);
        at = end + 1;
        if (token.empty() || token == "|")
            continue;
        RhythmNote n;
        std::size_t k = 0;
        if (token[k] == 'r') {
            n.Rest = 1;
            ++k;
        }
        int denominator = 0;
        while (k < token.size() && token[k] >= '0' && token[k] <= '9')
            denominator = denominator * 10 + (token[k++] - '0');
        while ((1 << n.Value) <= denominator)
            ++n.Value;
        std::int64_t ticks = DurationOf(n.Value);
        if (k < token.size() && token[k] == '.') {
            n.Kind = 1;
            ticks = ticks * 3 / 2;
            ++k;
        } else if (k < token.size() && token[k] == 't') {
            n.Kind = 2;
            ticks = ticks * 2 / 3;
            ++k;
        }
        if (k < token.size() && token[k] == '~')
            n.Tied = 1;
        n.Ticks = static_cast<std::uint32_t>(ticks);
        p += ticks;
        n.BarEnd = p % engine.BarTicks == 0 ? 1 : 0;
        if (n.Kind == 2) {
            ++tripletMembers;
            n.TripletMiddle = tripletMembers % 3 == 2 ? 1 : 0;
            n.BeatEnd = tripletMembers % 3 == 0 ? 1 : 0;
        } else {
            n.BeatEnd = engine.IsOnBeat(p) ? 1 : 0;
        }
        notes.push_back(n);
    }
    return notes;
}

/// Bar lines stand exactly at every bar's end, no entry crosses one, and the rhythm is whole
/// bars long.
inline void ExpectWholeBars(const TRytme& engine, const std::vector<RhythmNote>& notes, int bars)
{
    const std::int64_t bar = engine.BarTicks;
    std::int64_t p = 0;
    int barEnds = 0;
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const RhythmNote& n = notes[k];
        SCOPED_TRACE("entry " + std::to_string(k + 1));
        EXPECT_LE(p % bar + n.Ticks, bar) << "crosses a bar line";
        p += n.Ticks;
        EXPECT_EQ(n.BarEnd != 0, p % bar == 0);
        barEnds += n.BarEnd != 0 ? 1 : 0;
    }
    EXPECT_EQ(p, bars * bar);
    EXPECT_EQ(barEnds, bars);
}

/// Every rule a rhythm made by Generate keeps.
inline void ExpectSoundRhythm(const TRytme& engine)
{
    const std::vector<RhythmNote>& notes = engine.List(0);
    ASSERT_FALSE(notes.empty());
    ExpectWholeBars(engine, notes, engine.Bars);

    const std::int64_t bar = engine.BarTicks;
    const std::int64_t unit = engine.UnitTicks;
    const std::int64_t group = engine.GroupTicks;
    const int sigDenominator = engine.CurrentRow().Denominator;
    std::int64_t p = 0;
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const RhythmNote& n = notes[k];
        const RhythmNote* previous = k > 0 ? &notes[k - 1] : nullptr;
        const RhythmNote* next = k + 1 < notes.size() ? &notes[k + 1] : nullptr;
        SCOPED_TRACE("entry " + std::to_string(k + 1) + " at " + std::to_string(p));
        ASSERT_GE(n.Value, 1);
        ASSERT_LE(n.Value, 6);
        const std::int64_t plain = DurationOf(n.Value);

        bool allowed = false;
        for (const RhythmNoteChoice& c : engine.NoteChoice)
            allowed = allowed || (c.Value == n.Value && (c.Triplet != 0) == (n.Kind == 2));
        EXPECT_TRUE(allowed) << "value " << int(n.Value) << " kind " << int(n.Kind);

        switch (n.Kind) {
        case 0:
            EXPECT_EQ(n.Ticks, plain);
            break;
        case 1:
            EXPECT_NE(engine.Dotted, 0);
            EXPECT_LE(n.Value, kEighth);
            EXPECT_EQ(n.Ticks, plain * 3 / 2);
            break;
        case 2:
            EXPECT_EQ(n.Ticks, plain * 2 / 3);
            break;
        default:
            ADD_FAILURE() << "kind " << int(n.Kind);
        }

        if (n.Kind == 2) {
            // Three notes of one value, the figure over the middle one; the group fits the bar
            // and starts or ends on a beat unit when it is longer than what is left of one.
            ASSERT_LE(k + 3, notes.size());
            const RhythmNote& second = notes[k + 1];
            const RhythmNote& third = notes[k + 2];
            EXPECT_EQ(second.Kind, 2);
            EXPECT_EQ(third.Kind, 2);
            EXPECT_EQ(second.Value, n.Value);
            EXPECT_EQ(third.Value, n.Value);
            EXPECT_EQ(n.TripletMiddle, 0);
            EXPECT_EQ(second.TripletMiddle, 1);
            EXPECT_EQ(third.TripletMiddle, 0);
            for (const RhythmNote* member : {&n, &second, &third}) {
                EXPECT_EQ(member->Rest, 0);
                EXPECT_EQ(member->Tied, 0);
            }
            EXPECT_EQ(n.BarEnd, 0);
            EXPECT_EQ(second.BarEnd, 0);
            EXPECT_EQ(third.BeatEnd, 1);
            const std::int64_t d = 2 * plain;
            if (p % unit + d > unit) {
                EXPECT_TRUE(p % unit == 0 || (p + d) % unit == 0);
                EXPECT_LE(1 << (n.Value - 1), sigDenominator);
            }
            if (previous != nullptr) {
                EXPECT_EQ(previous->BeatEnd, 1);
            }
            p += n.Ticks + second.Ticks + third.Ticks;
            k += 2;
            continue;
        }

        EXPECT_EQ(n.TripletMiddle, 0);
        if (next == nullptr || next->Kind != 2) {
            EXPECT_EQ(n.BeatEnd != 0, engine.IsOnBeat(p + n.Ticks));
        }
        if (p % unit + n.Ticks > unit) {
            EXPECT_TRUE(p % unit == 0 || (p + n.Ticks) % unit == 0);
            EXPECT_LE(1 << (n.Value - 1), sigDenominator);
        }
        if (n.Value == kEighth && k > 0) {
            EXPECT_EQ(p % 168, 0) << "an eighth off the sixteenth grid";
        }
        if (n.Rest != 0 && previous != nullptr) {
            EXPECT_EQ(previous->Rest, 0) << "two rests in a row";
        }
        if (n.Tied != 0) {
            EXPECT_NE(engine.Ties, 0);
            EXPECT_EQ(n.Rest, 0);
            EXPECT_GE(n.Value, kHalf);
            EXPECT_EQ((p + n.Ticks) % bar % group, 0) << "tie inside a beat group";
            ASSERT_NE(next, nullptr) << "the last note is tied";
            EXPECT_EQ(next->Rest, 0) << "tie into a rest";
            if (previous != nullptr) {
                EXPECT_EQ(previous->Tied, 0) << "a chain of ties";
            }
            // A tie into a triplet group is judged at the group's last note, whose neighbour
            // is never tied.
            const bool barEdge =
                next->BarEnd != 0 || k == 0 || (k >= 1 && notes[k - 1].BarEnd != 0);
            if (next->Kind != 2) {
                EXPECT_FALSE(barEdge && n.Value <= kQuarter && next->Value <= kQuarter)
                    << "two long tied notes at a bar's edge";
            }
        }
        p += n.Ticks;
    }
    EXPECT_EQ(notes.back().Tied, 0);
    if (notes.size() == 1) {
        EXPECT_EQ(notes.front().Rest, 0);
    }
    EXPECT_EQ(engine.FirstBarRest != 0,
              notes.front().Rest != 0 && notes.front().Ticks == static_cast<std::uint32_t>(bar));
}

/// Beamed notes are eighths or shorter, never rests, and share their beam with a neighbouring
/// note of the same bar and beat group (only a rest may stand between them).
inline void ExpectSoundBeams(const TRytme& engine, int list)
{
    const std::vector<RhythmNote>& notes = engine.List(list);
    const std::int64_t bar = engine.BarTicks;
    const std::int64_t group = engine.GroupTicks;
    std::vector<std::int64_t> start(notes.size());
    std::int64_t p = 0;
    for (std::size_t k = 0; k < notes.size(); ++k) {
        start[k] = p;
        p += notes[k].Ticks;
    }
    // No entry between two notes of one beam ends on a beat group's end or a bar line (a note
    // that straddles a group's end joins the groups on both sides).
    auto sameGroupSpan = [&](std::size_t a, std::size_t b) {
        for (std::size_t m = std::min(a, b); m < std::max(a, b); ++m) {
            if ((start[m] + notes[m].Ticks) % bar % group == 0)
                return false;
        }
        return true;
    };
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const RhythmNote& n = notes[k];
        SCOPED_TRACE("list " + std::to_string(list) + " entry " + std::to_string(k + 1));
        if (n.BeamGroup == 0)
            continue;
        EXPECT_EQ(n.Rest, 0);
        EXPECT_GE(n.Value, kEighth);
        bool partner = false;
        for (std::size_t j : {k - 1, k - 2, k + 1, k + 2}) {
            if (j >= notes.size())
                continue;
            const bool between = j + 2 == k || j == k + 2;
            if (between && notes[(j + k) / 2].Rest == 0)
                continue;
            if (notes[j].Rest == 0 && notes[j].BeamGroup == n.BeamGroup) {
                partner = true;
                EXPECT_TRUE(sameGroupSpan(j, k))
                    << "a beam across a beat group or bar: " << Describe(notes);
            }
        }
        EXPECT_TRUE(partner) << "a beam of one note: " << Describe(notes);
    }
}

} // namespace pv::test
