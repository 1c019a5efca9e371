// The tips: six short texts, each offered until the user hides it, the offer kept as the mask
// of the settings record (bit n - 1 for tip n).
#pragma once

#include <cstdint>
#include <functional>

#include <QString>

namespace pv {

struct UIStringTable;

inline constexpr int kTipCount = 6;
/// "Show all tips again" offers tips 1 to 8.
inline constexpr std::uint32_t kAllTipsOffered = 255;

/// Whether tip n (1..6) is still offered; a number of no tip is not.
bool TipOffered(std::uint32_t mask, int tip);
/// The mask without tip n; the mask as it was for a tip already hidden or a number of none.
std::uint32_t WithoutTip(std::uint32_t mask, int tip);

/// Shows a tip's text modally (a window made for it alone); true when the user ticked "hide
/// this tip" before closing it, by its button or its close box alike.
using TipWindowRunner = std::function<bool(const QString& text)>;

class TipService
{
public:
    /// mask is the settings' tips mask and strings hold the tip texts; both must outlive the
    /// service.
    TipService(std::uint32_t& mask, const UIStringTable& strings, TipWindowRunner showTip);

    /// `ShowTip`: shows tip n and says whether it stays offered (its button stays). A hidden
    /// tip leaves the mask and its button goes, even when the mask had hidden it already.
    bool ShowTip(int n);

private:
    std::uint32_t& m_mask;
    const UIStringTable& m_strings;
    TipWindowRunner m_showTip;
};

} // namespace pv
