// Floating bars following their forms and the program's activity.
#include "docking/ui/FloatingBarTracker.h"

#include "docking/ui/TCustomToolWindow.h"
#include "docking/ui/WindowHelpers.h"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>

namespace pv::docking {

FloatingBarTracker& FloatingBarTracker::Instance()
{
    // Parented to the application so it goes with it; made on first use, when there is one.
    static QPointer<FloatingBarTracker> tracker;
    if (tracker.isNull())
        tracker = new FloatingBarTracker;
    return *tracker;
}

FloatingBarTracker::FloatingBarTracker() : QObject(QCoreApplication::instance())
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        m_applicationActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
        connect(app, &QGuiApplication::applicationStateChanged, this,
                &FloatingBarTracker::ApplicationStateChanged);
    }
}

std::vector<TCustomToolWindow*> FloatingBarTracker::FloatingToolWindows() const
{
    std::vector<TCustomToolWindow*> bars;
    for (const QPointer<TCustomToolWindow>& bar : m_bars) {
        if (!bar.isNull())
            bars.push_back(bar.data());
    }
    return bars;
}

void FloatingBarTracker::Add(TCustomToolWindow& bar)
{
    std::erase_if(m_bars, [](const QPointer<TCustomToolWindow>& b) { return b.isNull(); });
    if (std::find(m_bars.begin(), m_bars.end(), &bar) == m_bars.end())
        m_bars.emplace_back(&bar);
    // Installing again only moves the filter to the front: each form is watched once.
    if (QWidget* form = GetToolWindowParentForm(bar))
        form->installEventFilter(this);
}

void FloatingBarTracker::Remove(TCustomToolWindow& bar)
{
    std::erase_if(m_bars, [&bar](const QPointer<TCustomToolWindow>& b) {
        return b.isNull() || b.data() == &bar;
    });
}

void FloatingBarTracker::ApplicationStateChanged(Qt::ApplicationState state)
{
    m_applicationActive = state == Qt::ApplicationActive;
    for (TCustomToolWindow* bar : FloatingToolWindows())
        bar->UpdateVisibility();
}

bool FloatingBarTracker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::Move:
        UpdateBarsOf(watched);
        break;
    default:
        break;
    }
    return false;
}

void FloatingBarTracker::UpdateBarsOf(const QObject* form)
{
    for (TCustomToolWindow* bar : FloatingToolWindows()) {
        if (GetToolWindowParentForm(*bar) == form)
            bar->UpdateVisibility();
    }
}

} // namespace pv::docking
