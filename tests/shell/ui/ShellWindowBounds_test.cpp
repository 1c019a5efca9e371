// The main window's bounds as Setting.dat holds them, through the whole program: placed on a
// screen there is at the start, and stored back as placed.
#include "ShellProgramRun.h"
#include "support/DataFolderCopy.h"

#include <limits>

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Installation;
using test::ProgramRun;
using test::ScriptedPrompts;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

/// Reads user 1's settings record, lets change alter it, and writes it back.
template <typename Change>
void ChangeStoredSettings(const Installation& installation, Change change)
{
    test::DataFolderCopy files(installation.ProgramFolders(),
                               installation.program.File(QStringLiteral("Language/")));
    ASSERT_TRUE(files.LoadUserSettings(1).Ok());
    change(files.settings);
    ASSERT_TRUE(files.SaveUserSettings(1).Ok());
}

TSettingsRec StoredSettings(const Installation& installation)
{
    TSettingsRec rec;
    ChangeStoredSettings(installation, [&rec](TSettingsRec& s) { rec = s; });
    return rec;
}

TEST(ShellWindowBounds, StoredBoundsArePlacedOnTheScreenAndStoredBackSo)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect fits(screen.left() + 40, screen.top() + 30, screen.width() / 2,
                     screen.height() / 2);
    struct Case
    {
        const char* name;
        WindowBounds stored;
        bool keptAsStored;
    };
    const Case cases[] = {
        {"a window that fits", {fits.left(), fits.top(), fits.width(), fits.height()}, true},
        {"the largest size there is", {0, 0, kMax, kMax}, false},
        {"100000 x 100000", {10, 10, 100000, 100000}, false},
        {"far right and down", {2000000000, 2000000000, 700, 500}, false},
        {"far left and up", {-2000000000, -2000000000, 700, 500}, false},
        {"on a screen no longer attached", {screen.right() + 500, screen.top(), 700, 500}, false},
        {"too small to be a window", {0, 0, 20, 10}, false},
    };
    Installation installation;
    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann")};
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        ASSERT_TRUE(run.Close());
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChangeStoredSettings(installation, [&c](TSettingsRec& s) {
            s.MainLeft = c.stored.Left;
            s.MainTop = c.stored.Top;
            s.MainWidth = c.stored.Width;
            s.MainHeight = c.stored.Height;
            s.MainState = 0; // normal: the bounds are the window's
        });
        ScriptedPrompts prompts;
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        const QRect placed = run.Window().geometry();
        EXPECT_TRUE(screen.contains(placed))
            << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
        if (c.keptAsStored) {
            EXPECT_EQ(placed, fits);
        }
        ASSERT_TRUE(run.Close());

        const TSettingsRec stored = StoredSettings(installation);
        EXPECT_EQ(QRect(stored.MainLeft, stored.MainTop, stored.MainWidth, stored.MainHeight),
                  placed);
    }
}

} // namespace
} // namespace pv
