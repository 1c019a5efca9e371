// How well one colour reads on another: the contrast ratio of their relative luminances, and
// the ink (black or white) that reads best on a background.
#pragma once

#include <cstdint>

namespace pv {

/// The contrast ratio of two colours given as 0xRRGGBB: 1 (the same) to 21 (black on white).
double ContrastRatio(std::uint32_t a, std::uint32_t b);

/// Black (0x000000) or white (0xFFFFFF), whichever has the higher contrast on background.
std::uint32_t ReadableInkOn(std::uint32_t background);

/// The contrast small texts need to be read with ease.
inline constexpr double kReadableContrast = 4.5;

} // namespace pv
