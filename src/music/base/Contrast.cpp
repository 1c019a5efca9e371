#include "music/base/Contrast.h"

#include <algorithm>
#include <cmath>

namespace pv {

namespace {

/// A channel of 0..255 as linear light (the sRGB curve undone).
double Linear(std::uint32_t channel)
{
    const double c = static_cast<double>(channel & 0xFFu) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(std::uint32_t rgb)
{
    return 0.2126 * Linear(rgb >> 16) + 0.7152 * Linear(rgb >> 8) + 0.0722 * Linear(rgb);
}

} // namespace

double ContrastRatio(std::uint32_t a, std::uint32_t b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::uint32_t ReadableInkOn(std::uint32_t background)
{
    constexpr std::uint32_t kBlack = 0x000000;
    constexpr std::uint32_t kWhite = 0xFFFFFF;
    return ContrastRatio(kBlack, background) >= ContrastRatio(kWhite, background) ? kBlack : kWhite;
}

} // namespace pv
