// The splash window's version texts.
#include "shell/startmenu/ProgramVersion.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(ProgramVersion, TitleJoinsTheReleaseToTheMinorNumberWithoutASeparator)
{
    struct Case
    {
        ProgramVersion version;
        const char* title;
        const char* build;
    };
    const Case cases[] = {
        {{4, 0, 0, 125}, "Pellivark Pro 4.0", "(build 125)"},
        {{4, 1, 3, 7}, "Pellivark Pro 4.13", "(build 7)"},
        {{4, 0, 2, 0}, "Pellivark Pro 4.02", "(build 0)"},
        {{10, 12, 0, 65535}, "Pellivark Pro 10.12", "(build 65535)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(SplashTitle(c.version), QString::fromLatin1(c.title));
        EXPECT_EQ(BuildText(c.version), QString::fromLatin1(c.build));
    }
}

TEST(ProgramVersion, TheBuildsVersionMakesATitle)
{
    const ProgramVersion version = ReadVersionInfo();
    EXPECT_GE(version.Major, 4);
    EXPECT_TRUE(SplashTitle(version).startsWith(QStringLiteral("Pellivark Pro 4.")));
}

} // namespace
} // namespace pv
