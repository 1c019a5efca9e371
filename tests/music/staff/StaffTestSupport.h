// Small helpers for the grand-staff tests: scripted keys, note lists and display-list queries.
#pragma once

#include "music/staff/Sheet.h"

#include <algorithm>
#include <set>
#include <vector>

namespace pv::test {

/// Keys the test holds down.
class ScriptedKeys final : public IKeyState
{
public:
    bool IsHeld(AccidentalKey key) const override { return m_held.count(key) != 0; }
    void Hold(AccidentalKey key) { m_held.insert(key); }
    void ReleaseAll() { m_held.clear(); }

private:
    std::set<AccidentalKey> m_held;
};

inline TNoteRec Note(int midi, int shift = 0, int duration = 1, int barLine = 0)
{
    TNoteRec n;
    n.Pitch = TPitch{static_cast<std::int8_t>(midi), static_cast<std::int8_t>(shift)};
    n.Duration = static_cast<std::uint8_t>(duration);
    n.BarLine = static_cast<std::uint8_t>(barLine);
    return n;
}

inline std::vector<StaffGlyphItem> GlyphsOf(const StaffDisplayList& list, StaffGlyph glyph)
{
    std::vector<StaffGlyphItem> out;
    std::copy_if(list.Glyphs.begin(), list.Glyphs.end(), std::back_inserter(out),
                 [&](const StaffGlyphItem& g) { return g.Glyph == glyph; });
    return out;
}

inline std::vector<StaffLine> LinesOf(const StaffDisplayList& list, StaffLineKind kind)
{
    std::vector<StaffLine> out;
    std::copy_if(list.Lines.begin(), list.Lines.end(), std::back_inserter(out),
                 [&](const StaffLine& l) { return l.Kind == kind; });
    return out;
}

inline bool IsAccidental(StaffGlyph g)
{
    return g == StaffGlyph::Flat || g == StaffGlyph::DoubleFlat || g == StaffGlyph::Sharp ||
           g == StaffGlyph::DoubleSharp || g == StaffGlyph::Natural;
}

/// The accidental signs of the notes in drawing order: the key signature's signs (two per
/// letter, one on each staff) come first in the list and are skipped.
inline std::vector<StaffGlyph> NoteSigns(const StaffDisplayList& list, const TSheet& sheet)
{
    std::size_t skip =
        sheet.ShowKeySignature() ? 2 * static_cast<std::size_t>(std::abs(sheet.KeySignature())) : 0;
    std::vector<StaffGlyph> out;
    for (const auto& g : list.Glyphs) {
        if (!IsAccidental(g.Glyph))
            continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        out.push_back(g.Glyph);
    }
    return out;
}

} // namespace pv::test
