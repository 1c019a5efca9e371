// The progression exercise's sheet as the voicing's speller.
#pragma once

#include "exercises/progressions/ProgressionVoicing.h"
#include "music/staff/Sheet.h"

namespace pv {

class SheetScaleSpeller final : public IScaleSpeller
{
public:
    explicit SheetScaleSpeller(const TSheet& sheet) : m_sheet(sheet) {}
    int KeyOffset() const override { return m_sheet.KeyOffset(); }
    int KeySignature() const override { return m_sheet.KeySignature(); }
    int SpellInScale(TPitch pitch, int offset, int k) const override
    {
        return m_sheet.SpellInScale(pitch, offset, k);
    }

private:
    const TSheet& m_sheet;
};

} // namespace pv
