// The small comparison and time-text helpers.
#include "shell/settings/ShellHelpers.h"

#include <gtest/gtest.h>

namespace pv::test {
namespace {

static_assert(Max(3, -7) == 3 && Max(-7, 3) == 3 && Max(5, 5) == 5);
static_assert(Min(3, -7) == -7 && Min(-7, 3) == -7 && Min(5, 5) == 5);
static_assert(Max(INT32_MIN, INT32_MAX) == INT32_MAX && Min(INT32_MIN, INT32_MAX) == INT32_MIN);

TEST(ZeroPad2, PadsOnlyTextsShorterThanTwoCharacters)
{
    const std::pair<std::int64_t, const char*> cases[] = {{0, "00"},  {7, "07"},    {10, "10"},
                                                          {59, "59"}, {123, "123"}, {-5, "-5"}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(ZeroPad2(n), QString::fromLatin1(text)) << n;
}

TEST(FormatElapsedTime, HoursPlainMinutesAndSecondsTwoDigitsMillisecondsDropped)
{
    constexpr double kSecond = 1.0 / 86400.0;
    struct Case
    {
        double span;
        const char* shortForm;
        const char* withSeconds;
    };
    const Case cases[] = {
        {3600 * kSecond + 5 * 60 * kSecond + 9 * kSecond, "1:05", "1:05:09"},
        {9.999 * kSecond, "0:00", "0:00:09"},
        {59 * 60 * kSecond + 59.5 * kSecond, "0:59", "0:59:59"},
        {123 * 3600 * kSecond, "123:00", "123:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.withSeconds);
        EXPECT_EQ(FormatElapsedTime(false, c.span, u':'), QString::fromLatin1(c.shortForm));
        EXPECT_EQ(FormatElapsedTime(true, c.span, u':'), QString::fromLatin1(c.withSeconds));
    }
}

} // namespace
} // namespace pv::test
