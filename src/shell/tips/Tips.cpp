// Showing a tip and keeping the mask of the tips offered.
#include "shell/tips/Tips.h"

#include "music/strings/UIStrings.h"

#include <utility>

namespace pv {

bool TipOffered(std::uint32_t mask, int tip)
{
    if (tip < 1 || tip > kTipCount)
        return false;
    return (mask & (1U << static_cast<unsigned>(tip - 1))) != 0;
}

std::uint32_t WithoutTip(std::uint32_t mask, int tip)
{
    if (tip < 1 || tip > kTipCount)
        return mask;
    return mask & ~(1U << static_cast<unsigned>(tip - 1));
}

TipService::TipService(std::uint32_t& mask, const UIStringTable& strings, TipWindowRunner showTip)
    : m_mask(mask), m_strings(strings), m_showTip(std::move(showTip))
{
}

bool TipService::ShowTip(int n)
{
    // A button with a number of no tip has nothing to show; it stays as it is.
    if (n < 1 || n > kTipCount || !m_showTip)
        return true;
    const bool hide = m_showTip(m_strings.StrTips[n - 1]);
    if (!hide)
        return true;
    m_mask = WithoutTip(m_mask, n);
    return false;
}

} // namespace pv
