// The tool windows as Qt tool bars.
#include "shell/ui/ToolWindows.h"

#include <QMainWindow>
#include <QToolBar>

namespace pv {

namespace {

// The settings record's dock numbers: 0 floating, 1 the top dock, 3 the bottom dock.
constexpr std::uint8_t kFloating = 0;
constexpr std::uint8_t kTopDock = 1;
constexpr std::uint8_t kBottomDock = 3;

bool ValidIndex(int n)
{
    return n >= 0 && n < IToolWindows::kCount;
}

} // namespace

ToolBarToolWindows::ToolBarToolWindows(QMainWindow& window) : m_window(window)
{
    for (int n = 0; n < kCount; ++n) {
        auto* bar = new QToolBar(&window);
        bar->setObjectName(QStringLiteral("ToolWindow%1").arg(n));
        // The view decides when a tool window shows; the window's own pop-up (which the main
        // window makes of the settings' entries) is the one way the user hides one.
        bar->toggleViewAction()->setVisible(false);
        m_bars[static_cast<std::size_t>(n)] = bar;
    }
    for (int n : {0, 2, 1})
        window.addToolBar(Qt::TopToolBarArea, m_bars[static_cast<std::size_t>(n)]);
    for (int n : {3, 5, 4})
        window.addToolBar(Qt::BottomToolBarArea, m_bars[static_cast<std::size_t>(n)]);
}

QToolBar* ToolBarToolWindows::Bar(int n) const
{
    return ValidIndex(n) ? m_bars[static_cast<std::size_t>(n)] : nullptr;
}

QAction* ToolBarToolWindows::AddControl(int n, QWidget* control)
{
    // Controls sit in the bar itself, so a bar wider than the window folds its end into an
    // extension menu instead of widening the window beyond the screen.
    QToolBar* bar = Bar(n);
    return bar != nullptr ? bar->addWidget(control) : nullptr;
}

void ToolBarToolWindows::AddSeparator(int n)
{
    if (QToolBar* bar = Bar(n))
        bar->addSeparator();
}

void ToolBarToolWindows::SetToolWindowVisible(int n, bool visible)
{
    QToolBar* bar = Bar(n);
    if (bar != nullptr && bar->isVisibleTo(&m_window) != visible)
        bar->setVisible(visible);
}

bool ToolBarToolWindows::ToolWindowVisible(int n) const
{
    QToolBar* bar = Bar(n);
    return bar != nullptr && bar->isVisibleTo(&m_window);
}

ToolWindowPlacement ToolBarToolWindows::Placement(int n) const
{
    ToolWindowPlacement placement;
    QToolBar* bar = Bar(n);
    if (bar == nullptr)
        return placement;
    const QRect bounds = bar->geometry();
    placement.Left = bounds.left();
    placement.Top = bounds.top();
    placement.Width = bounds.width();
    placement.Height = bounds.height();
    if (bar->isFloating())
        placement.Dock = kFloating;
    else
        placement.Dock =
            m_window.toolBarArea(bar) == Qt::BottomToolBarArea ? kBottomDock : kTopDock;
    return placement;
}

void ToolBarToolWindows::RestorePlacement(int n, const ToolWindowPlacement& placement)
{
    QToolBar* bar = Bar(n);
    if (bar == nullptr)
        return;
    // Qt floats a tool bar only by the user's drag: a floating one (and any dock number a
    // damaged record holds) comes back in the top dock, where it stays reachable.
    const Qt::ToolBarArea area =
        placement.Dock == kBottomDock ? Qt::BottomToolBarArea : Qt::TopToolBarArea;
    if (m_window.toolBarArea(bar) != area)
        m_window.addToolBar(area, bar);
}

} // namespace pv
