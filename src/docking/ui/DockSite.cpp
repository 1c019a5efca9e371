// The docks around the work area and the bars' stored placement.
#include "docking/ui/DockSite.h"

#include "docking/core/WorkArea.h"
#include "docking/ui/TCustomToolWindow.h"
#include "docking/ui/WindowHelpers.h"

#include <algorithm>

#include <QVBoxLayout>

namespace pv::docking {

DockSite::DockSite(QWidget* workArea, QWidget* parent)
    : QWidget(parent), m_topdock(new TDock(TDockPosition::dpTop, this)),
      m_bottomdock(new TDock(TDockPosition::dpBottom, this)), m_layout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("DockSite"));
    m_topdock->setObjectName(QStringLiteral("Topdock"));
    m_bottomdock->setObjectName(QStringLiteral("Bottomdock"));
    m_topdock->SetBoundLines(TDockBoundLines{true, false, false, false});
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_topdock);
    m_layout->addWidget(m_bottomdock);
    SetWorkArea(workArea);
}

void DockSite::SetWorkArea(QWidget* workArea)
{
    if (m_workArea == workArea)
        return;
    if (m_workArea) {
        m_layout->removeWidget(m_workArea);
        m_workArea->deleteLater();
    }
    m_workArea = workArea;
    if (workArea != nullptr)
        m_layout->insertWidget(1, workArea, 1);
}

void DockSite::BeginUpdate()
{
    m_topdock->BeginUpdate();
    m_bottomdock->BeginUpdate();
}

void DockSite::EndUpdate()
{
    m_bottomdock->EndUpdate();
    m_topdock->EndUpdate();
}

void DockSite::StorePlacement(const TCustomToolWindow& bar, ToolWindowPlacement& entry) const
{
    const QRect bounds = bar.geometry();
    entry.Left = bounds.left();
    entry.Top = bounds.top();
    entry.Width = bounds.width();
    entry.Height = bounds.height();
    entry.DockRow = bar.DockRow();
    entry.DockPos = bar.DockPos();
    if (bar.DockedTo() == m_topdock)
        entry.Dock = kTopdockCode;
    else if (bar.DockedTo() == m_bottomdock)
        entry.Dock = kBottomdockCode;
    else
        entry.Dock = kFloatingCode;
}

void DockSite::RestorePlacement(TCustomToolWindow& bar, const ToolWindowPlacement& entry)
{
    const ToolWindowPlacement place = ClampStoredPlacement(entry);
    BeginUpdate();
    bar.SetDockRow(place.DockRow);
    bar.SetDockPos(place.DockPos);
    switch (entry.Dock) {
    case kFloatingCode:
        bar.SetParent(window());
        break;
    case kTopdockCode:
        bar.SetParent(m_topdock);
        break;
    case kBottomdockCode:
        bar.SetParent(m_bottomdock);
        break;
    default:
        break;
    }
    // No smaller than the bar's smallest client in its frame. A size larger than the screen it
    // is to be on (for a docked bar: the form's screen) is no size a user gave it: the bar
    // keeps the size it was made with.
    const QMargins nc = bar.NonClientMargins();
    const QSize least = bar.GetMinClientSize().expandedTo(QSize(1, 1)) +
                        QSize(nc.left() + nc.right(), nc.top() + nc.bottom());
    const QRect stored(place.Left, place.Top, place.Width, place.Height);
    const QRect screen = bar.DockedTo() != nullptr
                             ? GetMonitorWorkAreaFromRect(window()->geometry())
                             : GetMonitorWorkAreaFromRect(stored);
    const auto fit = [](int wanted, int smallest, int largest, int current) {
        const int size = wanted > largest ? current : wanted;
        return std::max(smallest, std::min(size, largest));
    };
    const int width = fit(place.Width, least.width(), screen.width(), bar.width());
    const int height = fit(place.Height, least.height(), screen.height(), bar.height());
    bar.SetBounds(place.Left, place.Top, width, height);
    bar.ApplyDockedPosition();
    bar.KeepOnWorkArea(true);
    EndUpdate();
}

} // namespace pv::docking
