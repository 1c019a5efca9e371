// Rhythms written as short texts for tests: "(8 8) (16 16 16 16) r4 4~ | 2 2 |".
//
// A token is an optional 'r' (rest), the value's denominator 1..32, then any of '.' (dotted),
// 't' (triplet note), '~' (tied to the next entry), '>' or '<' (BeamLevel 1 or 0: a partial beam
// pointing right or left). '(' before a token opens a beam group and ')' after one closes it;
// notes inside get the group's number, rests inside keep 0 as the beaming pass leaves them. '|'
// ends a bar. The second of every three consecutive triplet notes carries the figure.
#pragma once

#include "exercises/rhythm/TRytme.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pv::test {

inline std::vector<RhythmNote> RhythmFromText(std::string_view text)
{
    std::vector<RhythmNote> notes;
    int group = 0;
    int openGroup = 0;
    int tripletRun = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        std::size_t end = text.find(' ', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view token = text.substr(pos, end - pos);
        pos = end;
        if (token.empty())
            continue;
        if (token == "|") {
            if (notes.empty())
                throw std::invalid_argument("bar line before any note");
            notes.back().BarEnd = 1;
            continue;
        }
        if (token.front() == '(') {
            openGroup = ++group;
            token.remove_prefix(1);
        }
        bool closes = false;
        if (!token.empty() && token.back() == ')') {
            closes = true;
            token.remove_suffix(1);
        }
        RhythmNote note;
        if (!token.empty() && token.front() == 'r') {
            note.Rest = 1;
            token.remove_prefix(1);
        }
        int denominator = 0;
        while (!token.empty() && token.front() >= '0' && token.front() <= '9') {
            denominator = denominator * 10 + (token.front() - '0');
            token.remove_prefix(1);
        }
        int value = 0;
        for (int v = 1, d = 1; v <= 6; ++v, d *= 2)
            if (d == denominator)
                value = v;
        if (value == 0)
            throw std::invalid_argument("bad note value in " + std::string(text));
        note.Value = static_cast<std::uint8_t>(value);
        std::uint32_t ticks = 2688u >> (value - 1);
        for (char c : token) {
            switch (c) {
            case '.':
                note.Kind = 1;
                ticks = ticks * 3 / 2;
                break;
            case 't':
                note.Kind = 2;
                ticks = ticks * 2 / 3;
                break;
            case '~':
                note.Tied = 1;
                break;
            case '>':
                note.BeamLevel = 1;
                break;
            case '<':
                note.BeamLevel = 0;
                break;
            default:
                throw std::invalid_argument("bad mark in " + std::string(text));
            }
        }
        note.Ticks = ticks;
        tripletRun = note.Kind == 2 ? tripletRun + 1 : 0;
        note.TripletMiddle = tripletRun % 3 == 2 ? 1 : 0;
        note.BeamGroup = note.Rest != 0 ? 0 : static_cast<std::uint8_t>(openGroup);
        if (closes)
            openGroup = 0;
        note.Result = RhythmResult::NotPlayed;
        notes.push_back(note);
    }
    return notes;
}

/// Puts a rhythm into a list of the engine under a time-signature row 1..14.
inline void LoadRhythm(TRytme& rytme, int list, int row, std::string_view text)
{
    rytme.SelectTimeSignature(row);
    rytme.List(list) = RhythmFromText(text);
    int bars = 0;
    for (const RhythmNote& note : rytme.List(list))
        bars += note.BarEnd;
    rytme.Bars = static_cast<std::uint8_t>(std::max(1, bars));
}

/// Whether every bar of the list lasts exactly barTicks.
inline bool BarsSumTo(const std::vector<RhythmNote>& notes, std::uint32_t barTicks)
{
    std::uint32_t sum = 0;
    for (const RhythmNote& note : notes) {
        sum += note.Ticks;
        if (note.BarEnd != 0) {
            if (sum != barTicks)
                return false;
            sum = 0;
        }
    }
    return sum == 0;
}

} // namespace pv::test
