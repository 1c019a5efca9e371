// The tool windows as Qt tool bars.
#include "shell/ui/ToolWindows.h"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QToolBar>

namespace pv {

namespace {

constexpr std::array<Qt::ToolBarArea, 4> kAreas = {Qt::TopToolBarArea, Qt::BottomToolBarArea,
                                                   Qt::LeftToolBarArea, Qt::RightToolBarArea};

int DockOf(Qt::ToolBarArea area)
{
    for (std::size_t i = 0; i < kAreas.size(); ++i) {
        if (kAreas[i] == area)
            return static_cast<int>(i);
    }
    return 0;
}

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
        // The view decides when a tool window shows; a context menu that hides one behind the
        // view's back would leave the settings and the screen disagreeing.
        bar->toggleViewAction()->setVisible(false);
        bar->setContextMenuPolicy(Qt::PreventContextMenu);
        auto* client = new QWidget(bar);
        client->setObjectName(QStringLiteral("ToolWindow%1Client").arg(n));
        auto* layout = new QHBoxLayout(client);
        layout->setContentsMargins(2, 0, 2, 0);
        layout->setSpacing(4);
        bar->addWidget(client);
        m_bars[static_cast<std::size_t>(n)] = bar;
        m_clients[static_cast<std::size_t>(n)] = client;
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

QWidget* ToolBarToolWindows::Client(int n) const
{
    return ValidIndex(n) ? m_clients[static_cast<std::size_t>(n)] : nullptr;
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
    placement.Visible = bar->isVisibleTo(&m_window);
    placement.Floating = bar->isFloating();
    placement.Dock = DockOf(m_window.toolBarArea(bar));
    placement.Bounds = bar->isFloating() ? bar->geometry() : QRect(QPoint(), bar->size());
    return placement;
}

void ToolBarToolWindows::RestorePlacement(int n, const ToolWindowPlacement& placement)
{
    QToolBar* bar = Bar(n);
    if (bar == nullptr)
        return;
    const int dock = placement.Dock >= 0 && placement.Dock < static_cast<int>(kAreas.size())
                         ? placement.Dock
                         : 0;
    const Qt::ToolBarArea area = kAreas[static_cast<std::size_t>(dock)];
    // Qt floats a tool bar only by the user's drag: a floating one comes back docked where it
    // was last docked, which keeps it reachable.
    if (m_window.toolBarArea(bar) != area)
        m_window.addToolBar(area, bar);
}

} // namespace pv
