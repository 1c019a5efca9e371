// A small main window with a top and a bottom dock around a work area and six bars in two rows
// each, and a mouse that presses, drags and releases through the windows as a user's would.
#pragma once

#include "docking/ui/DockSite.h"
#include "docking/ui/TToolWindow.h"
#include "support/DesktopMouse.h"
#include "support/TestOutput.h"

#include <array>
#include <functional>
#include <memory>
#include <ostream>

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
inline void PrintTo(const QPoint& p, std::ostream* os)
{
    *os << "QPoint(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os)
{
    *os << "QSize(" << s.width() << ", " << s.height() << ")";
}
QT_END_NAMESPACE

namespace pv::docking::test {

/// The bars of the fixture, as the main window's six are placed.
enum BarName : std::size_t
{
    Main,
    Display,
    Tutor,
    Score,
    Buttons,
    Tempo,
    kBarCount
};

using pv::test::ApplicationActivity;
using pv::test::Mouse;

struct BarSpec
{
    const char* name;
    const char* caption;
    QSize client;
    bool top;
    std::int32_t row;
    std::int32_t pos;
};

inline constexpr BarSpec kBars[kBarCount] = {
    {"Main", "Views and exercises", {260, 28}, true, 0, 0},
    {"Display", "Metronome", {120, 28}, true, 0, 280},
    {"Tutor", "Tutor progress", {200, 20}, true, 1, 0},
    {"Score", "Score", {180, 20}, false, 0, 0},
    {"Buttons", "Metronome and microphone", {100, 24}, false, 0, 200},
    {"Tempo", "Tempo", {220, 20}, false, 1, 0},
};

/// A client with a few controls, so the pictures look like the program's bars.
inline QWidget* MakeClient(const BarSpec& spec)
{
    auto* client = new QWidget;
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(2, 0, 2, 0);
    auto* label = new QLabel(QString::fromLatin1(spec.name));
    label->setObjectName(QStringLiteral("Label"));
    layout->addWidget(label);
    auto* button = new QToolButton;
    button->setText(QStringLiteral("Go"));
    layout->addWidget(button);
    layout->addStretch(1);
    return client;
}

class DockFixture : public ::testing::Test
{
protected:
    void SetUp() override { Build(); }

    /// The window and its bars as the program makes them; restore runs before the first show.
    void Build(const std::function<void()>& beforeShow = {})
    {
        window = std::make_unique<QMainWindow>();
        work = new QLabel(QStringLiteral("work area"));
        work->setAlignment(Qt::AlignCenter);
        site = new DockSite(work);
        window->setCentralWidget(site);
        site->BeginUpdate();
        for (std::size_t i = 0; i < kBarCount; ++i) {
            const BarSpec& spec = kBars[i];
            TDock* dock = spec.top ? site->Topdock() : site->Bottomdock();
            auto* bar = new TToolWindow;
            bar->setObjectName(QString::fromLatin1(spec.name));
            bar->SetCaption(QString::fromLatin1(spec.caption));
            bar->SetMinClientHeight(20);
            bar->SetClient(MakeClient(spec));
            bar->SetDefaultDock(dock);
            bar->SetDockRow(spec.row);
            bar->SetDockPos(spec.pos);
            bar->SetParent(dock);
            bar->SetClientAreaSize(spec.client.width(), spec.client.height());
            bars[i] = bar;
        }
        site->EndUpdate();
        if (beforeShow)
            beforeShow();
        window->setGeometry(100, 100, 600, 400);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        QCoreApplication::processEvents();
    }

    TToolWindow& Bar(BarName name) { return *bars[name]; }
    TDock& Top() { return *site->Topdock(); }
    TDock& Bottom() { return *site->Bottomdock(); }

    /// A point on a docked bar's drag handle (at its left in a horizontal dock).
    static QPoint Handle(const TCustomToolWindow& bar) { return QPoint(5, bar.height() / 2); }
    /// A point on a floating bar's caption, clear of the close button.
    static QPoint Caption(const TCustomToolWindow& bar)
    {
        const QRect caption = FloatingCaptionRect(bar.size(), bar.Resizable());
        return QPoint(caption.left() + 10, caption.center().y());
    }

    std::array<ToolWindowPlacement, kBarCount> Placements() const
    {
        std::array<ToolWindowPlacement, kBarCount> entries{};
        for (std::size_t i = 0; i < kBarCount; ++i)
            site->StorePlacement(*bars[i], entries[i]);
        return entries;
    }

    /// Where the rows of a dock lie across it, from its bars' geometry.
    static int RowTop(const TDock& dock, std::int32_t row)
    {
        for (const TCustomToolWindow* bar : dock.DockList()) {
            if (bar->DockRow() == row && bar->BarVisible())
                return bar->y();
        }
        return -1;
    }

    static QImage Desktop() { return pv::test::DesktopPicture(); }

    static void SavePicture(const QImage& image, const QString& name)
    {
        EXPECT_TRUE(image.save(pv::test::TestOutputDir() + name));
    }

    std::unique_ptr<QMainWindow> window;
    QLabel* work = nullptr;
    DockSite* site = nullptr;
    std::array<TToolWindow*, kBarCount> bars{};
    Mouse mouse;
};

} // namespace pv::docking::test
