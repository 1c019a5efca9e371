// The tool windows as bars in the docks around the work area.
#include "shell/ui/ToolWindows.h"

#include "docking/ui/DockSite.h"
#include "docking/ui/TDock.h"
#include "docking/ui/TToolWindow.h"

#include <algorithm>
#include <memory>

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>

namespace pv {

namespace {

bool ValidIndex(int n)
{
    return n >= 0 && n < IToolWindows::kCount;
}

/// Runs a call whenever the watched object gets events of one type: a bar's controls asking
/// for a new layout (a control shown, hidden or given a longer text, a new font), a dock
/// changing its width.
class EventWatch final : public QObject
{
public:
    EventWatch(QObject* parent, QEvent::Type type, std::function<void()> onEvent)
        : QObject(parent), m_type(type), m_onEvent(std::move(onEvent))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == m_type)
            m_onEvent();
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_onEvent;
};

QHBoxLayout* ControlsOf(QWidget* client)
{
    return static_cast<QHBoxLayout*>(client->layout());
}

} // namespace

DockToolWindows::DockToolWindows(QWidget& window, QWidget* workArea)
    : m_site(new docking::DockSite(workArea, &window))
{
    // Where the bars stand and how large they are before any settings are read: the same
    // placement a new settings record holds, so a first start and a restored one agree.
    const TSettingsRec defaults = DefaultSettings();
    m_site->BeginUpdate();
    for (int n = 0; n < kCount; ++n) {
        const auto i = static_cast<std::size_t>(n);
        const bool top = n <= 2;
        docking::TDock* dock = top ? m_site->Topdock() : m_site->Bottomdock();
        auto* bar = new docking::TToolWindow;
        bar->setObjectName(QStringLiteral("ToolWindow%1").arg(n));
        bar->SetDefaultDock(dock);
        // Only the bars the View menu can bring back may be closed by the user: the main tool
        // bar always shows, and the display and tutor bars follow the exercise alone.
        bar->SetCloseButton(n >= 3);
        auto* client = new QWidget;
        auto* controls = new QHBoxLayout(client);
        controls->setContentsMargins(2, 1, 2, 1);
        controls->setSpacing(2);
        // Controls stay at the bar's start when a row stretches it.
        controls->addStretch(1);
        bar->SetClient(client);
        // A right click on a bar or its controls offers the window's pop-up of tool windows,
        // as on the main window's own frame.
        bar->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(bar, &QWidget::customContextMenuRequested, bar,
                         [&window, bar](const QPoint& at) {
                             auto* main = qobject_cast<QMainWindow*>(&window);
                             if (main == nullptr)
                                 return;
                             const std::unique_ptr<QMenu> popup(main->createPopupMenu());
                             if (popup != nullptr)
                                 popup->exec(bar->mapToGlobal(at));
                         });
        client->installEventFilter(
            new EventWatch(bar, QEvent::LayoutRequest, [this, n] { FitToControls(n); }));
        const ToolWindowPlacement& place = defaults.ToolWindows[i];
        bar->SetDockRow(place.DockRow);
        bar->SetDockPos(place.DockPos);
        bar->SetParent(dock);
        bar->SetBounds(place.Left, place.Top, place.Width, place.Height);
        QObject::connect(bar, &docking::TCustomToolWindow::OnClose, bar, [this, n] {
            if (m_onUserClose)
                m_onUserClose(n);
        });
        m_bars[i] = bar;
        m_clients[i] = client;
    }
    m_site->EndUpdate();
    // A window made narrower or wider gives the docked bars another room to fit in.
    for (docking::TDock* dock : {m_site->Topdock(), m_site->Bottomdock()})
        dock->installEventFilter(new EventWatch(dock, QEvent::Resize, [this] {
            for (int n = 0; n < kCount; ++n)
                FitToControls(n);
        }));
}

docking::TToolWindow* DockToolWindows::Bar(int n) const
{
    return ValidIndex(n) ? m_bars[static_cast<std::size_t>(n)] : nullptr;
}

QAction* DockToolWindows::AddControl(int n, QWidget* control)
{
    if (!ValidIndex(n) || control == nullptr)
        return nullptr;
    const auto i = static_cast<std::size_t>(n);
    // Every control, the captions and times at the bar's end too, stands in the one row: a
    // label stacked under another makes the bar as tall as the stack.
    QHBoxLayout* controls = ControlsOf(m_clients[i]);
    controls->insertWidget(controls->count() - 1, control);
    // The action owns nothing but the control's visibility, so it goes with the control.
    auto* shown = new QAction(control);
    shown->setVisible(!control->isHidden());
    QObject::connect(shown, &QAction::visibleChanged, control,
                     [control, shown] { control->setVisible(shown->isVisible()); });
    FitToControls(n);
    return shown;
}

void DockToolWindows::AddSeparator(int n)
{
    if (!ValidIndex(n))
        return;
    auto* line = new QFrame;
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    const auto i = static_cast<std::size_t>(n);
    QHBoxLayout* controls = ControlsOf(m_clients[i]);
    controls->insertWidget(controls->count() - 1, line);
}

void DockToolWindows::FitToControls(int n)
{
    const auto i = static_cast<std::size_t>(n);
    docking::TToolWindow* bar = m_bars[i];
    if (bar == nullptr)
        return;
    // No resize by the user and no size from the settings cuts a control off.
    const QSize least = m_clients[i]->minimumSizeHint().expandedTo(QSize(24, 16));
    bar->SetMinClientWidth(least.width());
    bar->SetMinClientHeight(least.height());
    const QSize hint = m_clients[i]->sizeHint().expandedTo(least);
    // A bar docked above or below the work area is as wide as its controls ask and no wider
    // than the window: on a small screen its captions are cut short rather than the bar cut
    // off at the window's edge.
    if (docking::TDock* dock = bar->DockedTo()) {
        const int frame = bar->width() - bar->ClientAreaWidth();
        const int room = dock->DockClientRect().width() - frame;
        const int width =
            std::max(least.width(), room > 0 ? std::min(hint.width(), room) : hint.width());
        const int height = std::max(bar->BarHeight(), hint.height());
        m_fittedHints[i] = hint;
        if (width != bar->BarWidth() || height != bar->BarHeight())
            bar->SetClientAreaSize(width, height);
        return;
    }
    // Only a change in what the controls need resizes the bar: a size the user gave a floating
    // bar, or one restored from the settings, stays while its controls still fit.
    if (hint == m_fittedHints[i])
        return;
    m_fittedHints[i] = hint;
    const int width = std::max(bar->BarWidth(), hint.width());
    const int height = std::max(bar->BarHeight(), hint.height());
    if (width != bar->BarWidth() || height != bar->BarHeight())
        bar->SetClientAreaSize(width, height);
}

void DockToolWindows::SetToolWindowVisible(int n, bool visible)
{
    docking::TToolWindow* bar = Bar(n);
    if (bar != nullptr && bar->BarVisible() != visible)
        bar->SetBarVisible(visible);
}

bool DockToolWindows::ToolWindowVisible(int n) const
{
    const docking::TToolWindow* bar = Bar(n);
    return bar != nullptr && bar->BarVisible();
}

ToolWindowPlacement DockToolWindows::Placement(int n) const
{
    ToolWindowPlacement placement;
    if (const docking::TToolWindow* bar = Bar(n))
        m_site->StorePlacement(*bar, placement);
    return placement;
}

void DockToolWindows::RestorePlacement(int n, const ToolWindowPlacement& placement)
{
    docking::TToolWindow* bar = Bar(n);
    if (bar == nullptr)
        return;
    m_site->RestorePlacement(*bar, placement);
    // A floating bar comes back wholly on a screen: one the settings put off every screen, or
    // half across the edge of a screen no longer there, is hard to catch by its caption.
    if (!bar->Docked())
        bar->KeepOnWorkArea(false);
}

void DockToolWindows::BeginUpdate()
{
    m_site->BeginUpdate();
}

void DockToolWindows::EndUpdate()
{
    m_site->EndUpdate();
}

} // namespace pv
