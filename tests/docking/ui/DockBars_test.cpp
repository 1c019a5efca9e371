// The bars' own visibility apart from their windows', their placement through a restart and
// from a damaged settings file, and the client size a bar keeps wherever it is.
#include "DockFixture.h"
#include "docking/core/WorkArea.h"

#include <limits>

#include <gtest/gtest.h>

namespace pv::docking::test {
namespace {

class DockBars : public DockFixture
{
};

/// Whether the bar shows on a screen: its window visible and inside some screen's work area.
bool OnAScreen(const QWidget& bar)
{
    const QRect onScreen(bar.mapToGlobal(QPoint(0, 0)), bar.size());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(onScreen))
            return true;
    }
    return false;
}

TEST_F(DockBars, HidingAndShowingBarsLeavesTheUsersLayoutAsItWas)
{
    // The user's layout: the tutor alone in the top row, the main bar and the display below.
    site->BeginUpdate();
    Bar(Tutor).SetDockRow(0);
    Bar(Main).SetDockRow(1);
    Bar(Display).SetDockRow(1);
    site->EndUpdate();
    QCoreApplication::processEvents();
    ASSERT_EQ(Bar(Tutor).DockRow(), 0);
    ASSERT_EQ(Bar(Main).DockRow(), 1);
    const auto before = Placements();
    const int topHeight = Top().height();

    // A view without its tool windows, then back: only the main bar stays.
    for (BarName n : {Display, Tutor, Score, Buttons, Tempo})
        Bar(n).SetBarVisible(false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Bar(Tutor).isVisible());
    EXPECT_EQ(Bar(Main).DockRow(), 1);
    // The hidden rows take no room: the main bar shows at the top, the bottom dock is empty.
    EXPECT_EQ(Bar(Main).y(), 1);
    EXPECT_EQ(Top().height(), 1 + 32);
    EXPECT_EQ(Bottom().height(), 0);
    for (BarName n : {Display, Tutor, Score, Buttons, Tempo})
        Bar(n).SetBarVisible(true);
    QCoreApplication::processEvents();

    EXPECT_EQ(Placements(), before);
    EXPECT_EQ(Top().height(), topHeight);
    for (const TToolWindow* bar : bars)
        EXPECT_TRUE(bar->isVisible()) << bar->objectName().toStdString();
}

TEST_F(DockBars, FloatingBarHidesWithItsFormAndTheProgramButStaysAShownBar)
{
    TToolWindow& score = Bar(Score);
    int visibleChanges = 0;
    QObject::connect(&score, &TCustomToolWindow::OnVisibleChanged, [&] { ++visibleChanges; });
    score.SetFloatingPosition(QPoint(300, 250));
    ASSERT_TRUE(score.SetParent(window.get()));
    ASSERT_TRUE(score.isVisible());

    ApplicationActivity activity;
    activity.Set(Qt::ApplicationInactive);
    EXPECT_FALSE(score.isVisible());
    EXPECT_TRUE(score.BarVisible());
    activity.Set(Qt::ApplicationActive);
    EXPECT_TRUE(score.isVisible());

    // One that stays while the program is inactive tells by its caption instead.
    score.SetHideWhenInactive(false);
    activity.Set(Qt::ApplicationInactive);
    EXPECT_TRUE(score.isVisible());
    EXPECT_TRUE(score.InactiveCaption());
    SavePicture(score.grab().toImage(), QStringLiteral("docking-floating-bar-inactive.png"));
    activity.Set(Qt::ApplicationActive);
    EXPECT_FALSE(score.InactiveCaption());

    window->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(score.isVisible());
    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(score.isVisible());
    window->hide();
    EXPECT_FALSE(score.isVisible());
    window->show();
    EXPECT_TRUE(score.isVisible());

    // None of that was the bar's own visibility.
    EXPECT_EQ(visibleChanges, 0);
    EXPECT_TRUE(score.BarVisible());
    score.SetBarVisible(false);
    EXPECT_EQ(visibleChanges, 1);
    EXPECT_FALSE(score.isVisible());
    activity.Set(Qt::ApplicationInactive);
    activity.Set(Qt::ApplicationActive);
    EXPECT_FALSE(score.isVisible());
}

TEST_F(DockBars, CloseButtonClosesTheBarOnlyWhenReleasedOverIt)
{
    TToolWindow& score = Bar(Score);
    score.SetCloseButton(true);
    score.SetFloatingPosition(QPoint(300, 250));
    ASSERT_TRUE(score.SetParent(window.get()));
    int closes = 0;
    QObject::connect(&score, &TCustomToolWindow::OnClose, [&] { ++closes; });
    const QPoint button = CloseButtonRect(score.size(), true).center();

    mouse.Press(score, button);
    mouse.MoveTo(score.mapToGlobal(button) + QPoint(0, 40));
    mouse.Release(score.mapToGlobal(button) + QPoint(0, 40));
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(score.isVisible());

    mouse.Press(score, button);
    mouse.Release(score.mapToGlobal(button));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(score.BarVisible());
    EXPECT_FALSE(score.isVisible());
}

TEST_F(DockBars, ClosingAFloatingBarsWindowClosesItsFormInstead)
{
    TToolWindow& score = Bar(Score);
    score.SetFloatingPosition(QPoint(300, 250));
    ASSERT_TRUE(score.SetParent(window.get()));
    int closes = 0;
    QObject::connect(&score, &TCustomToolWindow::OnClose, [&] { ++closes; });
    EXPECT_FALSE(score.close());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(score.BarVisible());
}

TEST_F(DockBars, RestartPutsEveryBarBackWhereItWasStored)
{
    // The user moves the score bar into the top dock's second row and floats the tempo bar.
    TToolWindow& score = Bar(Score);
    mouse.Drag(score, Handle(score), Top().mapToGlobal(QPoint(300, RowTop(Top(), 1) + 12)));
    mouse.Drag(Bar(Tempo), Handle(Bar(Tempo)), work->mapToGlobal(QPoint(200, 150)));
    ASSERT_EQ(score.DockedTo(), &Top());
    ASSERT_EQ(Bar(Tempo).DockedTo(), nullptr);
    std::array<ToolWindowPlacement, kBarCount> stored = Placements();
    for (ToolWindowPlacement& entry : stored)
        entry.Visible = 1;
    const QRect tempoOnScreen = Bar(Tempo).geometry();

    // Closed and started again: the bars are made where the program puts them and restored
    // from the entries before the window shows.
    window.reset();
    Build([&] {
        site->BeginUpdate();
        for (std::size_t i = 0; i < kBarCount; ++i)
            site->RestorePlacement(*bars[i], stored[i]);
        site->EndUpdate();
    });
    QCoreApplication::processEvents();
    std::array<ToolWindowPlacement, kBarCount> again = Placements();
    for (std::size_t i = 0; i < kBarCount; ++i) {
        SCOPED_TRACE(kBars[i].name);
        again[i].Visible = 1;
        EXPECT_EQ(again[i], stored[i]);
        EXPECT_TRUE(bars[i]->isVisible());
    }
    EXPECT_EQ(Bar(Score).DockedTo(), &Top());
    EXPECT_EQ(Bar(Tempo).DockedTo(), nullptr);
    EXPECT_EQ(Bar(Tempo).geometry(), tempoOnScreen);
    EXPECT_EQ(Bar(Tempo).ClientAreaHeight(), 20);
}

TEST_F(DockBars, DamagedPlacementsGiveBarsOnAScreenOfAUsableSize)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    // left, top, width, height, row, pos, dock code
    const ToolWindowPlacement damaged[kBarCount] = {
        {0, 0, 0, 0, 0, 0, DockSite::kTopdockCode, 1},
        {-5, -5, -400, -30, kMax, kMax, DockSite::kTopdockCode, 1},
        {-100000, 5000000, 150, 40, 0, 0, DockSite::kFloatingCode, 1},
        {kMax, kMax, kMax, kMax, kMin, kMin, DockSite::kFloatingCode, 1},
        {10, 10, 120, 28, -7, 40, DockSite::kBottomdockCode, 1},
        {10, 10, 90, 20, 1, 0, 2, 1},
    };
    window.reset();
    Build([&] {
        site->BeginUpdate();
        for (std::size_t i = 0; i < kBarCount; ++i)
            site->RestorePlacement(*bars[i], damaged[i]);
        site->EndUpdate();
    });
    QCoreApplication::processEvents();

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (std::size_t i = 0; i < kBarCount; ++i) {
        SCOPED_TRACE(kBars[i].name);
        const TToolWindow& bar = *bars[i];
        EXPECT_TRUE(bar.isVisible());
        EXPECT_TRUE(OnAScreen(bar));
        EXPECT_GE(bar.ClientAreaWidth(), bar.MinClientWidth());
        EXPECT_GE(bar.ClientAreaHeight(), bar.MinClientHeight());
        EXPECT_LE(bar.width(), screen.width());
        EXPECT_LE(bar.height(), screen.height());
        EXPECT_GE(bar.DockRow(), 0);
        EXPECT_LE(bar.DockRow(), kMaxRestoredDockRow);
        if (bar.DockedTo() != nullptr) {
            const QRect inDock = bar.DockedTo()->rect();
            EXPECT_TRUE(inDock.contains(bar.geometry().topLeft()));
        } else {
            EXPECT_TRUE(screen.contains(bar.geometry().topLeft()));
        }
    }
    // The unknown dock code left the tempo bar in its dock.
    EXPECT_EQ(Bar(Tempo).DockedTo(), &Bottom());
    EXPECT_EQ(Bar(Score).DockedTo(), nullptr);
    SavePicture(Desktop(), QStringLiteral("docking-damaged-placements.png"));
}

TEST_F(DockBars, DockBackgroundTilesContinueUnderItsBarsFromTheFormsOrigin)
{
    // Four columns of four colours; the first column's bottom pixel is the transparent one.
    QImage tile(4, 4, QImage::Format_RGB32);
    const QRgb colours[4] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200), qRgb(90, 90, 0)};
    for (int x = 0; x < 4; ++x) {
        for (int y = 0; y < 4; ++y)
            tile.setPixel(x, y, colours[x]);
    }
    Top().SetBackground(QPixmap::fromImage(tile));
    QCoreApplication::processEvents();
    const QImage shown = window->grab().toImage();
    const auto expectedAt = [&](QPoint inWindow) {
        const QPoint inForm = window->mapTo(window.get(), inWindow);
        return colours[inForm.x() % 4];
    };
    // In the dock beside the bars, and in the bar's frame ring inside its raised edge.
    const QPoint inDock = Top().mapTo(window.get(), QPoint(Top().width() - 3, 10));
    EXPECT_EQ(shown.pixel(inDock), expectedAt(inDock));
    const QPoint inRing = Bar(Tutor).mapTo(window.get(), QPoint(40, 1));
    EXPECT_EQ(shown.pixel(inRing), expectedAt(inRing));

    // Transparent: the red of the tile's bottom-left pixel shows the dock's colour.
    Top().SetBackgroundTransparent(true);
    QCoreApplication::processEvents();
    const QImage transparent = window->grab().toImage();
    QPoint redColumn = inDock;
    while (expectedAt(redColumn) != colours[0])
        redColumn.rx() -= 1;
    EXPECT_EQ(transparent.pixel(redColumn), Top().palette().color(QPalette::Window).rgb());
    EXPECT_EQ(transparent.pixel(redColumn + QPoint(1, 0)), colours[1]);
}

TEST(ToolWindow, ClientSizeIsKeptDockedAndFloating)
{
    // A new bar: 32 x 32, and no smaller when resized.
    TToolWindow fresh;
    EXPECT_EQ(fresh.size(), QSize(32, 32));
    EXPECT_EQ(fresh.GetMinClientSize(), QSize(32, 32));
    // Without a parent the client size is the window's.
    fresh.SetClientAreaWidth(50);
    EXPECT_EQ(fresh.width(), 50);

    QMainWindow window;
    auto* site = new DockSite(new QLabel);
    window.setCentralWidget(site);
    auto* tall = new TToolWindow(site->Topdock());
    tall->SetClientAreaSize(60, 28);
    auto* bar = new TToolWindow(site->Topdock());
    bar->SetDockPos(100);
    bar->SetClientAreaSize(100, 20);
    window.setGeometry(100, 100, 500, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(tall->ClientAreaHeight(), 28);
    // In a row 28 thick the client is stretched across, not remembered so.
    EXPECT_EQ(QSize(bar->ClientAreaWidth(), bar->ClientAreaHeight()), QSize(100, 28));
    EXPECT_EQ(bar->BarHeight(), 20);
    ASSERT_TRUE(bar->SetDockedTo(nullptr));
    EXPECT_TRUE(bar->isWindow());
    EXPECT_EQ(QSize(bar->ClientAreaWidth(), bar->ClientAreaHeight()), QSize(100, 20));
    EXPECT_EQ(bar->size(), AddFloatingNCAreaToSize(QSize(100, 20), true));
    ASSERT_TRUE(bar->SetDockedTo(site->Bottomdock()));
    EXPECT_EQ(QSize(bar->ClientAreaWidth(), bar->ClientAreaHeight()), QSize(100, 20));

    // Nothing but a dock or a form takes a bar.
    EXPECT_FALSE(bar->SetParent(site));
    EXPECT_EQ(bar->DockedTo(), site->Bottomdock());
}

} // namespace
} // namespace pv::docking::test
