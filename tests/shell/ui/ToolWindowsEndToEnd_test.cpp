// The main window's tool windows as the user meets them in the whole program: bars dragged
// between the docks, floated, resized and docked again with the mouse, closed from their
// caption, found where they were left at the next start, and usable whatever Setting.dat says.
#include "ShellProgramRun.h"
#include "docking/core/DragGeometry.h"
#include "docking/ui/DockSite.h"
#include "docking/ui/TToolWindow.h"
#include "support/DataFolderCopy.h"
#include "support/DesktopMouse.h"
#include "support/TestOutput.h"

#include <algorithm>
#include <array>
#include <limits>

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
QT_END_NAMESPACE

namespace pv {
namespace {

using docking::DockSite;
using docking::TDock;
using docking::TToolWindow;
using test::Installation;
using test::ProgramRun;
using test::ScriptedPrompts;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr int kMainBar = 0;
constexpr int kScore = 3;
constexpr int kTempo = 4;
constexpr int kExtra = 5;

TToolWindow& Bar(TPellivarkMain& window, int n)
{
    auto* bar = window.findChild<TToolWindow*>(QStringLiteral("ToolWindow%1").arg(n));
    EXPECT_NE(bar, nullptr) << "tool window " << n;
    return *bar;
}

DockSite& Site(TPellivarkMain& window)
{
    return *window.findChild<DockSite*>();
}

/// A point on a docked bar's drag handle, at its left in a horizontal dock.
QPoint Handle(const TToolWindow& bar)
{
    return QPoint(5, bar.height() / 2);
}

/// A point on a floating bar's caption, clear of the close button.
QPoint Caption(const TToolWindow& bar)
{
    const QRect caption = docking::FloatingCaptionRect(bar.size(), bar.Resizable());
    return QPoint(caption.left() + 10, caption.center().y());
}

/// Just below the last row of a dock, where a drop makes a new row.
QPoint BelowLastRow(const TDock& dock, int x)
{
    return dock.mapToGlobal(QPoint(x, dock.height() + 2));
}

/// The exercise view of chord identification, where tool windows 3-5 show.
void EnterExerciseView(TPellivarkMain& window)
{
    window.Button(MainControl::Speed1)->click();
    window.Button(MainControl::SpeedButton1)->click();
    QCoreApplication::processEvents();
}

/// One bar as the eye sees it: where, how large, in which dock and row, shown or not.
struct BarState
{
    QRect Geometry;
    const QObject* Dock = nullptr;
    std::int32_t Row = 0;
    std::int32_t Pos = 0;
    bool Shown = false;
    bool operator==(const BarState&) const = default;
};

void PrintTo(const BarState& s, std::ostream* os)
{
    *os << "{";
    PrintTo(s.Geometry, os);
    *os << " dock " << (s.Dock ? s.Dock->objectName().toStdString() : "none") << " row " << s.Row
        << " pos " << s.Pos << (s.Shown ? " shown}" : " hidden}");
}

std::array<BarState, IToolWindows::kCount> Layout(TPellivarkMain& window)
{
    std::array<BarState, IToolWindows::kCount> states{};
    for (int n = 0; n < IToolWindows::kCount; ++n) {
        const TToolWindow& bar = Bar(window, n);
        states[static_cast<std::size_t>(n)] = {bar.geometry(), bar.DockedTo(), bar.DockRow(),
                                               bar.DockPos(), bar.isVisible()};
    }
    return states;
}

std::int32_t I32At(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b)
        v = (v << 8) | static_cast<std::uint8_t>(bytes[at + b]);
    return static_cast<std::int32_t>(v);
}

/// The six placement entries of a user's record, read from the file's bytes at their offsets.
std::array<ToolWindowPlacement, 6> StoredEntries(const QString& path, std::uint16_t userId)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    std::array<ToolWindowPlacement, 6> entries{};
    for (qsizetype record = 0; record + qsizetype(kSettingsRecSize) <= bytes.size();
         record += qsizetype(kSettingsRecSize)) {
        const auto id =
            static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[record]) |
                                       static_cast<std::uint8_t>(bytes[record + 1]) << 8);
        if (id != userId)
            continue;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const qsizetype at = record + 24 + 28 * qsizetype(i);
            entries[i] = {I32At(bytes, at),
                          I32At(bytes, at + 4),
                          I32At(bytes, at + 8),
                          I32At(bytes, at + 12),
                          I32At(bytes, at + 16),
                          I32At(bytes, at + 20),
                          static_cast<std::uint8_t>(bytes[at + 24]),
                          static_cast<std::uint8_t>(bytes[at + 25])};
        }
        return entries;
    }
    ADD_FAILURE() << "no settings record of user " << userId;
    return entries;
}

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

QImage SaveDesktop(const QString& name)
{
    const QImage image = test::DesktopPicture();
    EXPECT_TRUE(image.save(test::TestOutputDir() + name));
    return image;
}

bool OutlineShows()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("DragOutline") && w->isVisible())
            return true;
    }
    return false;
}

TEST(ToolWindowsEndToEnd, TheUsersLayoutIsStoredAsItStandsAndComesBackAtTheNextStart)
{
    Installation installation;
    std::array<BarState, IToolWindows::kCount> left{};
    std::uint16_t userId = 0;
    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann")};
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        TPellivarkMain& window = run.Window();
        userId = run.program.App().Users.CurrentUser->Record.UserId;
        EnterExerciseView(window);
        // The extra bar is off in a new record; the user turns it on.
        window.findChild<QAction*>(QStringLiteral("Extra1"))->trigger();
        TDock& top = *Site(window).Topdock();
        TDock& bottom = *Site(window).Bottomdock();
        TToolWindow& mainBar = Bar(window, kMainBar);
        TToolWindow& score = Bar(window, kScore);
        TToolWindow& tempo = Bar(window, kTempo);
        TToolWindow& extra = Bar(window, kExtra);
        for (int n : {kMainBar, kScore, kTempo, kExtra}) {
            SCOPED_TRACE(n);
            EXPECT_TRUE(Bar(window, n).isVisible());
        }
        EXPECT_EQ(mainBar.DockedTo(), &top);
        EXPECT_EQ(score.DockedTo(), &bottom);
        test::Mouse mouse;

        // The score bar from the bottom dock to a second row of the top dock; nothing moves
        // while the outline follows the mouse.
        const QPoint intoTop = BelowLastRow(top, 300);
        mouse.Press(score, Handle(score));
        mouse.MoveTo(intoTop);
        EXPECT_TRUE(OutlineShows());
        EXPECT_EQ(score.DockedTo(), &bottom);
        SaveDesktop(QStringLiteral("endtoend-toolwindow-outline-during-drag.png"));
        mouse.Release(intoTop);
        EXPECT_FALSE(OutlineShows());
        ASSERT_EQ(score.DockedTo(), &top);
        EXPECT_GT(score.DockRow(), mainBar.DockRow());
        EXPECT_EQ(score.y(), mainBar.geometry().bottom() + 1) << "the row under the main bar";
        EXPECT_EQ(mainBar.geometry().top(), 1) << "the main bar keeps the first row";

        // The extra bar below the tempo bar: both docks have two rows.
        mouse.Drag(extra, Handle(extra), BelowLastRow(bottom, 150));
        ASSERT_EQ(extra.DockedTo(), &bottom);
        EXPECT_GT(extra.DockRow(), tempo.DockRow());
        EXPECT_EQ(extra.y(), tempo.geometry().bottom() + 1);
        EXPECT_EQ(bottom.geometry().bottom(), Site(window).height() - 1);
        auto* work = window.findChild<QMdiArea*>();
        EXPECT_EQ(work->geometry().top(), top.geometry().bottom() + 1);
        EXPECT_EQ(work->geometry().bottom(), bottom.geometry().top() - 1);

        // The score bar out over the work area: a captioned tool window above the main window.
        const QPoint overWork = work->mapToGlobal(QPoint(80, work->height() / 2));
        mouse.Drag(score, Handle(score), overWork);
        ASSERT_EQ(score.DockedTo(), nullptr);
        EXPECT_TRUE(score.isWindow());
        EXPECT_TRUE(score.isVisible());
        EXPECT_EQ(score.parentWidget(), &window);
        EXPECT_EQ(mainBar.geometry().topLeft(), QPoint(0, 1)) << "the main bar stays";
        // Resized from its bottom-right frame corner.
        const QRect before = score.geometry();
        const QPoint corner(score.width() - 2, score.height() - 2);
        mouse.Press(score, corner);
        mouse.MoveTo(score.mapToGlobal(corner) + QPoint(30, 10));
        mouse.MoveTo(score.mapToGlobal(corner) + QPoint(60, 20));
        mouse.Release(score.mapToGlobal(corner) + QPoint(60, 20));
        EXPECT_EQ(score.geometry(), before.adjusted(0, 0, 60, 20));
        EXPECT_EQ(score.Caption(), QStringLiteral("Score")) << "the language file's caption";
        EXPECT_TRUE(window.screen()->availableGeometry().contains(score.geometry()));
        SaveDesktop(QStringLiteral("endtoend-toolwindow-floating.png"));

        // A double click on its caption docks it back at the start of the bottom dock.
        mouse.DoubleClick(score, Caption(score));
        ASSERT_EQ(score.DockedTo(), &bottom);
        EXPECT_EQ(score.DockRow(), 0);
        EXPECT_EQ(score.x(), 0);

        // Into the top dock's second row again, and the tempo bar out to float.
        mouse.Drag(score, Handle(score), BelowLastRow(top, 200));
        ASSERT_EQ(score.DockedTo(), &top);
        EXPECT_EQ(score.y(), mainBar.geometry().bottom() + 1);
        SaveDesktop(QStringLiteral("endtoend-toolwindow-two-docks-two-rows.png"));
        mouse.Drag(tempo, Handle(tempo), overWork + QPoint(250, -150));
        ASSERT_EQ(tempo.DockedTo(), nullptr);
        const std::array<BarState, IToolWindows::kCount> arranged = Layout(window);

        // The results view hides tool windows 1-5 and the exercise view shows them again, each
        // where the user left it.
        window.Button(MainControl::SpeedButton5)->click();
        QCoreApplication::processEvents();
        for (int n : {kScore, kTempo, kExtra}) {
            SCOPED_TRACE(n);
            EXPECT_FALSE(Bar(window, n).isVisible());
        }
        window.Button(MainControl::SpeedButton1)->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(Layout(window), arranged);

        // While the program is inactive the floating bar is out of the way, and still shown to
        // the user's settings.
        {
            test::ApplicationActivity activity;
            activity.Set(Qt::ApplicationInactive);
            EXPECT_FALSE(tempo.isVisible());
        }
        EXPECT_TRUE(tempo.isVisible());
        EXPECT_EQ(Layout(window), arranged);
        for (int n = 0; n < IToolWindows::kCount; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(
                run.program.App().ProgramSettings.ToolWindows[static_cast<std::size_t>(n)].Visible,
                1);
        }
        left = Layout(window);
        ASSERT_TRUE(run.Close());
    }

    // Each entry holds the bar's bounds (in its dock, or on the screen when floating), row,
    // position, dock code and the user's visible byte.
    const auto entries =
        StoredEntries(installation.DataFile(QStringLiteral("Setting.dat")), userId);
    const std::uint8_t codes[] = {1, 1, 1, 1, 0, 3};
    for (int n = 0; n < IToolWindows::kCount; ++n) {
        SCOPED_TRACE(n);
        const auto i = static_cast<std::size_t>(n);
        const BarState& bar = left[i];
        const ToolWindowPlacement expected{bar.Geometry.left(),
                                           bar.Geometry.top(),
                                           bar.Geometry.width(),
                                           bar.Geometry.height(),
                                           bar.Row,
                                           bar.Pos,
                                           codes[i],
                                           1};
        EXPECT_EQ(entries[i], expected)
            << entries[i].Left << "," << entries[i].Top << " " << entries[i].Width << "x"
            << entries[i].Height << " row " << entries[i].DockRow << " pos " << entries[i].DockPos
            << " dock " << int(entries[i].Dock) << " visible " << int(entries[i].Visible);
    }

    // The next start puts every bar back.
    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    EnterExerciseView(run.Window());
    const auto again = Layout(run.Window());
    const int screenWidth = run.Window().screen()->availableGeometry().width();
    const char* docks[] = {"Topdock", "Topdock", "Topdock", "Topdock", nullptr, "Bottomdock"};
    for (int n = 0; n < IToolWindows::kCount; ++n) {
        SCOPED_TRACE(n);
        const auto i = static_cast<std::size_t>(n);
        // A bar wider than the screen (the main bar on a small one) comes back at the width
        // its controls take, as any size beyond the screen would.
        if (left[i].Geometry.width() <= screenWidth) {
            EXPECT_EQ(again[i].Geometry, left[i].Geometry);
        } else {
            EXPECT_EQ(again[i].Geometry.topLeft(), left[i].Geometry.topLeft());
            EXPECT_GE(again[i].Geometry.width(), Bar(run.Window(), n).Client()->sizeHint().width());
        }
        EXPECT_EQ(again[i].Row, left[i].Row);
        EXPECT_EQ(again[i].Pos, left[i].Pos);
        EXPECT_EQ(again[i].Shown, left[i].Shown);
        EXPECT_EQ(again[i].Dock ? again[i].Dock->objectName().toStdString() : std::string(),
                  docks[i] ? std::string(docks[i]) : std::string());
    }
    ASSERT_TRUE(run.Close());
}

TEST(ToolWindowsEndToEnd, OnlyTheCloseButtonClearsTheVisibleByte)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    EnterExerciseView(window);
    const auto& settings = run.program.App().ProgramSettings.ToolWindows;
    TToolWindow& tempo = Bar(window, kTempo);
    auto* tempoItem = window.findChild<QAction*>(QStringLiteral("Speed7"));
    ASSERT_NE(tempoItem, nullptr);
    test::Mouse mouse;
    auto* work = window.findChild<QMdiArea*>();
    mouse.Drag(tempo, Handle(tempo), work->mapToGlobal(work->rect().center()));
    ASSERT_TRUE(tempo.isWindow());
    EXPECT_TRUE(tempo.CloseButton());
    EXPECT_FALSE(Bar(window, kMainBar).CloseButton()) << "the main bar always shows";

    // A view switch hides it and shows it again: the settings keep it wanted.
    window.Button(MainControl::SpeedButton5)->click();
    EXPECT_FALSE(tempo.isVisible());
    EXPECT_EQ(settings[kTempo].Visible, 1);
    window.Button(MainControl::SpeedButton1)->click();
    EXPECT_TRUE(tempo.isVisible());

    // The close button: hidden, unticked in the View menu, and off in the settings.
    const QPoint close = docking::CloseButtonRect(tempo.size(), tempo.Resizable()).center();
    mouse.Press(tempo, close);
    mouse.Release(tempo.mapToGlobal(close));
    EXPECT_FALSE(tempo.isVisible());
    EXPECT_FALSE(tempoItem->isChecked());
    EXPECT_EQ(settings[kTempo].Visible, 0);
    // It stays away through view switches ...
    window.Button(MainControl::SpeedButton5)->click();
    window.Button(MainControl::SpeedButton1)->click();
    EXPECT_FALSE(tempo.isVisible());
    // ... until the user asks for it, where it was.
    const QPoint where = tempo.pos();
    tempoItem->trigger();
    EXPECT_TRUE(tempo.isVisible());
    EXPECT_EQ(tempo.pos(), where);
    EXPECT_EQ(settings[kTempo].Visible, 1);
    ASSERT_TRUE(run.Close());
}

TEST(ToolWindowsEndToEnd, AFloatingBarIsCaptionedWithWhatItHoldsAsItsViewMenuEntryIs)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    EnterExerciseView(window);
    window.findChild<QAction*>(QStringLiteral("Extra1"))->trigger();
    struct Case
    {
        int bar;
        const char* entry;
        QString caption;
    };
    const Case cases[] = {
        {kScore, "Result1", QStringLiteral("Score")},
        {kTempo, "Speed7", QStringLiteral("Tempo")},
        {kExtra, "Extra1", QStringLiteral("Extra")},
    };
    test::Mouse mouse;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        TToolWindow& bar = Bar(window, c.bar);
        ASSERT_TRUE(bar.isVisible());
        mouse.DoubleClick(bar, Handle(bar));
        ASSERT_TRUE(bar.isWindow()) << "a double click on the handle floats it";
        EXPECT_EQ(bar.Caption(), c.caption);
        EXPECT_EQ(bar.windowTitle(), c.caption);
        auto* entry = window.findChild<QAction*>(QString::fromLatin1(c.entry));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->text().remove(QLatin1Char('&')), c.caption);
        // The entry of that name is the one that takes this bar away.
        entry->trigger();
        EXPECT_FALSE(bar.isVisible());
        entry->trigger();
        EXPECT_TRUE(bar.isVisible());
    }
    SaveDesktop(QStringLiteral("endtoend-toolwindow-floating-captions.png"));
    ASSERT_TRUE(run.Close());
}

TEST(ToolWindowsEndToEnd, DamagedPlacementEntriesGiveUsableBarsOnTheScreen)
{
    struct Case
    {
        const char* name;
        ToolWindowPlacement entry;
    };
    const Case cases[] = {
        {"sizes zero, docked", {0, 0, 0, 0, 0, 0, 3, 1}},
        {"negative sizes, floating", {100, 100, -500, -500, 0, 0, 0, 1}},
        {"the largest sizes, floating", {0, 0, kMax, kMax, 0, 0, 0, 1}},
        {"far right and down, floating", {2000000000, 2000000000, 200, 40, 0, 0, 0, 1}},
        {"far left and up, floating", {-2000000000, -2000000000, 200, 40, 0, 0, 0, 1}},
        {"unknown dock code, huge row and position", {5, 5, 200, 40, kMax, kMax, 2, 1}},
        {"negative row and position, docked", {0, 0, 200, 40, -kMax, -kMax, 1, 1}},
        {"dock code 255, largest sizes", {0, 0, kMax, kMax, 7, 7, 255, 1}},
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
            for (int n : {kScore, kTempo})
                s.ToolWindows[static_cast<std::size_t>(n)] = c.entry;
        });
        ScriptedPrompts prompts;
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        TPellivarkMain& window = run.Window();
        EnterExerciseView(window);
        const QRect screen = window.screen()->availableGeometry();
        for (int n : {kScore, kTempo}) {
            SCOPED_TRACE(n);
            const TToolWindow& bar = Bar(window, n);
            EXPECT_TRUE(bar.isVisible());
            const QRect onScreen(bar.mapToGlobal(QPoint(0, 0)), bar.size());
            EXPECT_TRUE(screen.contains(onScreen))
                << "screen " << screen.width() << "x" << screen.height() << " window "
                << window.geometry().x() << "," << window.geometry().y() << " " << window.width()
                << "x" << window.height() << " bar " << bar.geometry().x() << ","
                << bar.geometry().y() << " row " << bar.DockRow() << " pos " << bar.DockPos() << " "
                << onScreen.x() << "," << onScreen.y() << " " << onScreen.width() << "x"
                << onScreen.height();
            if (bar.DockedTo() != nullptr) {
                EXPECT_TRUE(bar.DockedTo()->rect().contains(bar.geometry()));
            }
            // Every control of the bar has its room.
            EXPECT_GE(bar.ClientAreaWidth(), bar.Client()->minimumSizeHint().width());
            EXPECT_GE(bar.ClientAreaHeight(), bar.Client()->minimumSizeHint().height());
            EXPECT_GE(bar.DockRow(), 0);
        }
        SaveDesktop(QStringLiteral("endtoend-toolwindow-damaged-%1.png")
                        .arg(QString::fromLatin1(c.name)
                                 .replace(QLatin1Char(' '), QLatin1Char('-'))
                                 .remove(QLatin1Char(','))));
        ASSERT_TRUE(run.Close());
    }
}

TEST(ToolWindowsEndToEnd, TheMainBarKeepsItsControlsInOneRowThatFitsASmallScreen)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    TToolWindow& bar = Bar(window, kMainBar);
    const auto expectOneRowWithin800 = [&bar](const char* where) {
        SCOPED_TRACE(where);
        QCoreApplication::processEvents();
        test::SavePicture(bar, QStringLiteral("main-bar-%1.png").arg(QLatin1String(where)));
        EXPECT_LE(bar.width(), 800) << "the bar fits a screen 800 pixels wide";
        // One row: every shown control shares a band of height with every other one, and
        // none is cut off at the bar's edge.
        int lowestTop = 0;
        int highestBottom = std::numeric_limits<int>::max();
        int shown = 0;
        const QRect inside = bar.rect();
        for (QWidget* control : bar.findChildren<QWidget*>()) {
            if (!control->isVisibleTo(&bar) || control->findChildren<QWidget*>().size() > 0 ||
                control->width() == 0)
                continue;
            const QRect at(control->mapTo(&bar, QPoint(0, 0)), control->size());
            EXPECT_TRUE(inside.contains(at)) << control->objectName().toStdString();
            lowestTop = std::max(lowestTop, at.top());
            highestBottom = std::min(highestBottom, at.bottom());
            ++shown;
        }
        EXPECT_GT(shown, 10);
        EXPECT_LT(lowestTop, highestBottom) << "controls stacked above each other";
    };
    expectOneRowWithin800("start-menu");
    // An exercise fills the captions and the time with their longest texts.
    window.Button(MainControl::Speed6)->click();
    QCoreApplication::processEvents();
    expectOneRowWithin800("exercise");
    window.Button(MainControl::SpeedButton5)->click();
    expectOneRowWithin800("results");
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv
