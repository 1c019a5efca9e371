// Contrast of two colours and the ink that reads on a background.
#include "music/base/Contrast.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(Contrast, RatioRunsFromOneForOneColourToTwentyOneForBlackOnWhite)
{
    struct Case
    {
        const char* name;
        std::uint32_t a;
        std::uint32_t b;
        double ratio;
    };
    const Case cases[] = {
        {"black on white", 0x000000, 0xFFFFFF, 21.0},
        {"either way round", 0xFFFFFF, 0x000000, 21.0},
        {"a colour on itself", 0x808000, 0x808000, 1.0},
        {"middle grey on white", 0x777777, 0xFFFFFF, 4.48},
        {"pure green on white", 0x00FF00, 0xFFFFFF, 1.37},
        {"dark green on black", 0x008000, 0x000000, 4.09},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01);
    }
}

TEST(Contrast, TheInkChosenIsTheBetterOfBlackAndWhite)
{
    // Bright and dark backgrounds of the windows: lit and resting cells, labels, keys.
    for (std::uint32_t background : {0xFF0000u, 0x800000u, 0xFFFF00u, 0x808000u, 0x00FF00u,
                                     0x008000u, 0x000000u, 0xFFFFFFu, 0x373737u, 0xC0C0C0u}) {
        SCOPED_TRACE(background);
        const std::uint32_t ink = ReadableInkOn(background);
        ASSERT_TRUE(ink == 0x000000u || ink == 0xFFFFFFu);
        const std::uint32_t other = ink == 0 ? 0xFFFFFFu : 0x000000u;
        EXPECT_GE(ContrastRatio(ink, background), ContrastRatio(other, background));
        // Every one of these has an ink that reads with ease.
        EXPECT_GE(ContrastRatio(ink, background), kReadableContrast);
    }
}

} // namespace
} // namespace pv
