// Bars: docking, floating, visibility, painting, dragging and resizing.
#include "docking/ui/TCustomToolWindow.h"

#include "docking/core/BarVisibility.h"
#include "docking/core/CaptionText.h"
#include "docking/core/DockLog.h"
#include "docking/core/WorkArea.h"
#include "docking/ui/DragOutline.h"
#include "docking/ui/FloatingBarTracker.h"
#include "docking/ui/TDock.h"
#include "docking/ui/WindowHelpers.h"

#include <algorithm>
#include <functional>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace pv::docking {

namespace {

// Windows' raised edges: the top and left lines stop one short of the far corners, which
// belong to the bottom and right lines.
void DrawEdge(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

void FrameRect(QPainter& painter, const QRect& r, const QColor& colour)
{
    DrawEdge(painter, r, colour, colour);
}

Qt::CursorShape SizingCursor(HitCode code)
{
    switch (code) {
    case HitCode::Left:
    case HitCode::Right:
        return Qt::SizeHorCursor;
    case HitCode::Top:
    case HitCode::Bottom:
        return Qt::SizeVerCursor;
    case HitCode::TopLeft:
    case HitCode::BottomRight:
        return Qt::SizeFDiagCursor;
    case HitCode::TopRight:
    case HitCode::BottomLeft:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

TCustomToolWindow::TCustomToolWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("TCustomToolWindow"));
    // A floating bar never takes the activation from its form: the form keeps its keys.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // The sizing cursors over a floating frame.
    setMouseTracking(true);
}

TCustomToolWindow::~TCustomToolWindow()
{
    m_destroying = true;
    EndDrag();
    if (m_dockedTo)
        m_dockedTo->BarDestroyed(*this);
    if (QCoreApplication::instance() != nullptr)
        FloatingBarTracker::Instance().Remove(*this);
}

// Placement --------------------------------------------------------------------------------

void TCustomToolWindow::SetDockRow(std::int32_t row)
{
    m_dockRow = row;
    if (m_dockedTo)
        m_dockedTo->LayoutBars();
}

void TCustomToolWindow::SetDockPos(std::int32_t pos)
{
    m_dockPos = pos;
    if (m_dockedTo)
        m_dockedTo->LayoutBars();
}

bool TCustomToolWindow::SetDockedTo(TDock* dock)
{
    if (dock != nullptr)
        return SetParent(dock);
    QWidget* form = GetToolWindowParentForm(*this);
    if (form == nullptr) {
        qCWarning(lcDocking).noquote()
            << QStringLiteral("Control '%1' has no parent window").arg(objectName());
        return false;
    }
    return SetParent(form);
}

bool TCustomToolWindow::SetParent(QWidget* parent)
{
    TDock* newDock = qobject_cast<TDock*>(parent);
    if (parent != nullptr && newDock == nullptr &&
        (!parent->isWindow() || qobject_cast<TCustomToolWindow*>(parent) != nullptr)) {
        qCWarning(lcDocking)
            << "A tool window can only be placed on a TDock or directly on the form";
        return false;
    }
    QWidget* newForm = newDock != nullptr ? nullptr : parent;
    TDock* oldDock = m_dockedTo;
    const bool same =
        newDock != nullptr ? newDock == oldDock : oldDock == nullptr && parentWidget() == newForm;
    if (same) {
        UpdateFloatingList();
        return true;
    }

    const bool announce = parent != nullptr && !m_destroying;
    if (announce) {
        emit OnDockChanging();
        emit OnDockChangingEx(newDock);
        emit OnRecreating();
    }
    ++m_hidingCount;
    ++m_disableOnMoveCount;
    UpdateVisibility();
    if (oldDock != nullptr)
        oldDock->BeginUpdate();
    if (newDock != nullptr)
        newDock->BeginUpdate();
    ++m_dockSizingCount;
    if (announce)
        emit OnDockChangingHidden(newDock);

    BeginArrange();
    if (oldDock != nullptr)
        oldDock->InsertRemoveBar(false, *this);
    m_dockedTo = newDock;
    if (newDock != nullptr) {
        QWidget::setParent(newDock, Qt::Widget);
    } else {
        m_parentForm = newForm;
        Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
        if (m_floatingMode == TToolWindowFloatingMode::fmOnTopOfAllForms)
            flags |= Qt::WindowStaysOnTopHint;
        QWidget::setParent(newForm, flags);
    }
    if (newDock != nullptr)
        newDock->InsertRemoveBar(true, *this);
    UpdateFloatingList();
    // The frame changed with the parent: the bar takes the size its client needs there.
    m_arrangePending = true;
    EndArrange();

    --m_dockSizingCount;
    if (newDock != nullptr)
        newDock->EndUpdate();
    if (oldDock != nullptr)
        oldDock->EndUpdate();
    --m_disableOnMoveCount;
    --m_hidingCount;
    UpdateVisibility();
    AlignControls();
    update();
    if (parent != nullptr && m_disableOnMoveCount < 1)
        emit OnMove();
    if (announce) {
        emit OnRecreated();
        emit OnDockChanged();
    }
    return true;
}

void TCustomToolWindow::UpdateFloatingList()
{
    if (QCoreApplication::instance() == nullptr)
        return;
    if (Floating()) {
        FloatingBarTracker::Instance().Add(*this);
        ++m_dockSizingCount;
        SetBounds(m_floatingPosition.x(), m_floatingPosition.y(), width(), height());
        --m_dockSizingCount;
    } else {
        FloatingBarTracker::Instance().Remove(*this);
    }
}

// Properties -------------------------------------------------------------------------------

void TCustomToolWindow::SetFullSize(bool fullSize)
{
    if (fullSize == m_fullSize)
        return;
    m_fullSize = fullSize;
    ApplyDockedPosition();
    if (m_dockedTo)
        m_dockedTo->LayoutBars();
}

void TCustomToolWindow::SetBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    update();
}

void TCustomToolWindow::SetCloseButton(bool closeButton)
{
    if (closeButton == m_closeButton)
        return;
    m_closeButton = closeButton;
    update();
}

void TCustomToolWindow::SetDragHandleStyle(TDragHandleStyle style)
{
    if (style == m_dragHandleStyle)
        return;
    m_dragHandleStyle = style;
    if (m_dockedTo) {
        ApplyDockedPosition();
        m_dockedTo->LayoutBars();
    }
    update();
}

void TCustomToolWindow::SetFloatingMode(TToolWindowFloatingMode mode)
{
    if (mode == m_floatingMode)
        return;
    m_floatingMode = mode;
    if (Floating()) {
        // Staying on top of every window is a window flag: the window is made again with it.
        const bool shown = !isHidden();
        setWindowFlag(Qt::WindowStaysOnTopHint, mode == TToolWindowFloatingMode::fmOnTopOfAllForms);
        if (shown)
            QWidget::setVisible(true);
    }
    UpdateVisibility();
}

void TCustomToolWindow::SetHideWhenInactive(bool hide)
{
    if (hide == m_hideWhenInactive)
        return;
    m_hideWhenInactive = hide;
    UpdateVisibility();
}

void TCustomToolWindow::SetResizable(bool resizable)
{
    if (resizable == m_resizable)
        return;
    m_resizable = resizable;
    if (Floating())
        ApplyDockedPosition();
    update();
}

void TCustomToolWindow::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    setWindowTitle(caption);
    update();
}

// Visibility -------------------------------------------------------------------------------

void TCustomToolWindow::SetBarVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    // The bar keeps its row and position in the dock either way; the dock gives or takes back
    // its room.
    if (m_dockedTo)
        m_dockedTo->LayoutBars();
    UpdateVisibility();
    emit OnVisibleChanged();
}

bool TCustomToolWindow::ShouldBeVisible() const
{
    if (parentWidget() == nullptr)
        return false;
    const QWidget* form = Floating() ? parentWidget()->window() : nullptr;
    BarVisibilityState state;
    state.Visible = m_visible;
    state.HidingCount = m_hidingCount;
    state.Floating = Floating();
    state.FloatingMode = m_floatingMode;
    state.HideWhenInactive = m_hideWhenInactive;
    state.HasParentForm = form != nullptr;
    state.ParentFormVisible = form != nullptr && form->isVisible();
    state.ParentFormMinimized = form != nullptr && form->isMinimized();
    state.ApplicationActive = ApplicationIsActive();
    return docking::ShouldBeVisible(state);
}

void TCustomToolWindow::SetInactiveCaption(bool inactive)
{
    if (inactive == m_inactiveCaption)
        return;
    m_inactiveCaption = inactive;
    update();
}

void TCustomToolWindow::UpdateVisibility()
{
    BarVisibilityState caption;
    caption.Floating = Floating();
    caption.HideWhenInactive = m_hideWhenInactive;
    caption.ApplicationActive = ApplicationIsActive();
    SetInactiveCaption(docking::InactiveCaption(caption));

    const bool show = ShouldBeVisible();
    if (isHidden() != show)
        return;
    const bool wasActive = !show && Floating() && isActiveWindow();
    QWidget::setVisible(show);
    // A hidden window cannot keep the activation: the form it belongs to takes it.
    if (wasActive) {
        if (QWidget* form = GetToolWindowParentForm(*this))
            form->activateWindow();
    }
}

// Geometry ---------------------------------------------------------------------------------

void TCustomToolWindow::KeepOnWorkArea(bool onlyWhenOff)
{
    if (!Floating())
        return;
    const QRect bounds = geometry();
    const QRect kept =
        docking::KeepOnWorkArea(bounds, GetMonitorWorkAreaFromRect(bounds), onlyWhenOff);
    if (kept != bounds)
        SetBounds(kept);
}

void TCustomToolWindow::ApplyDockedPosition()
{
    ArrangeForDock(m_dockedTo ? m_dockedTo->Type() : DockType::Floating, m_dockedTo, true);
}

void TCustomToolWindow::ArrangeForDock(DockType dockType, TDock* dock, bool updateSize)
{
    if (m_disableArrangeCount > 0 || m_destroying || parentWidget() == nullptr) {
        m_arrangePending = true;
        return;
    }
    m_arrangePending = false;
    ++m_disableArrangeCount;
    QSize client = ArrangeClientArea(true, dockType, dock);
    if (updateSize) {
        const QMargins nc = NonClientMargins();
        const int ncWidth = nc.left() + nc.right();
        const int ncHeight = nc.top() + nc.bottom();
        if (m_dockedTo) {
            const int rowSize = GetDockedRowSize();
            const QRect dockClient = m_dockedTo->DockClientRect();
            if (!m_dockedTo->Vertical()) {
                client.setHeight(std::max(client.height(), rowSize));
                if (m_fullSize)
                    client.setWidth(dockClient.width() - ncWidth);
            } else {
                client.setWidth(std::max(client.width(), rowSize));
                if (m_fullSize)
                    client.setHeight(dockClient.height() - ncHeight);
            }
        }
        client = client.expandedTo(QSize(1, 1));
        if (client != ClientRect().size()) {
            ++m_dockSizingCount;
            SetBounds(x(), y(), ncWidth + client.width(), ncHeight + client.height());
            --m_dockSizingCount;
        }
    }
    --m_disableArrangeCount;
}

void TCustomToolWindow::BeginArrange()
{
    ++m_disableArrangeCount;
}

void TCustomToolWindow::EndArrange()
{
    if (m_disableArrangeCount > 0)
        --m_disableArrangeCount;
    if (m_disableArrangeCount == 0 && m_arrangePending)
        ApplyDockedPosition();
}

int TCustomToolWindow::GetDockedRowSize() const
{
    if (!m_dockedTo)
        return GetBarCrossSize(DockType::Floating);
    return m_dockedTo->GetRowSize(m_dockRow, this);
}

void TCustomToolWindow::SetBounds(int left, int top, int width, int height)
{
    // The largest tracking size of a bar: a stored size can hold anything.
    width = std::clamp(width, 1, kMaxBarExtent);
    height = std::clamp(height, 1, kMaxBarExtent);
    if (m_dockSizingCount == 0 && (width != this->width() || height != this->height()))
        StoreClientSize(width, height);
    QWidget::setGeometry(left, top, width, height);
    if (m_dockSizingCount > 0)
        return;
    if (Floating())
        m_floatingPosition = QPoint(left, top);
    else if (m_dockedTo)
        m_dockedTo->LayoutBars();
}

void TCustomToolWindow::SetBounds(const QRect& bounds)
{
    SetBounds(bounds.left(), bounds.top(), bounds.width(), bounds.height());
}

void TCustomToolWindow::SetDockedBounds(const QRect& bounds)
{
    ++m_dockSizingCount;
    QWidget::setGeometry(bounds);
    --m_dockSizingCount;
}

QMargins TCustomToolWindow::NonClientMargins() const
{
    if (m_dockedTo) {
        return GetDockedNCArea(m_dockedTo->Vertical(),
                               EffectiveHandleStyle(m_dockedTo->AllowDrag(), m_dragHandleStyle))
            .Margins();
    }
    if (parentWidget() != nullptr)
        return GetFloatingNCArea(m_resizable).Margins();
    return QMargins();
}

QRect TCustomToolWindow::ClientRect() const
{
    const QMargins nc = NonClientMargins();
    return QRect(nc.left(), nc.top(), std::max(0, width() - nc.left() - nc.right()),
                 std::max(0, height() - nc.top() - nc.bottom()));
}

void TCustomToolWindow::StoreClientSize(int, int) {}

bool TCustomToolWindow::IsTransparentChild(const QWidget*) const
{
    return false;
}

// Events -----------------------------------------------------------------------------------

void TCustomToolWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    AlignControls();
    emit OnResize();
}

void TCustomToolWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (m_dockedTo && m_dockedTo->HasBackground())
        update();
    if (m_disableOnMoveCount < 1)
        emit OnMove();
}

void TCustomToolWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        update();
}

void TCustomToolWindow::closeEvent(QCloseEvent* event)
{
    // The bar is part of its form: closing it from the window manager closes the form, and the
    // bar stays what it was (the close button is the bar's own way to hide).
    event->ignore();
    if (m_destroying)
        return;
    if (QWidget* form = GetToolWindowParentForm(*this); form != nullptr && form != this)
        QMetaObject::invokeMethod(form, &QWidget::close, Qt::QueuedConnection);
}

bool TCustomToolWindow::PressOnChildControl(QPoint local) const
{
    if (!ClientRect().contains(local))
        return false;
    const QWidget* child = childAt(local);
    return child != nullptr && !IsTransparentChild(child);
}

void TCustomToolWindow::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (m_drag != DragMode::None) {
        // A second press of the left button ends the drag without a drop; other buttons do
        // nothing while it lasts.
        if (event->button() == Qt::LeftButton) {
            if (m_drag == DragMode::Moving)
                EndMoving(false);
            else if (m_drag == DragMode::Sizing)
                EndSizing(false);
            else
                EndClosing(false);
        }
        return;
    }
    if (event->button() != Qt::LeftButton || parentWidget() == nullptr) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint local = event->position().toPoint();
    const QPoint global = event->globalPosition().toPoint();
    if (Floating()) {
        raise();
        if (m_activateParent && m_floatingMode != TToolWindowFloatingMode::fmOnTopOfAllForms) {
            QWidget* form = GetToolWindowParentForm(*this);
            if (form != nullptr && !form->isActiveWindow())
                form->activateWindow();
        }
        const HitCode hit =
            FloatingHitTest(local, size(), m_resizable, m_closeButton, /*eightCorner=*/true);
        if (IsSizingCode(hit)) {
            BeginSizing(hit, global);
            return;
        }
        if (hit == HitCode::Close) {
            BeginClosing();
            return;
        }
        if (hit == HitCode::Nowhere)
            return;
    }
    if (PressOnChildControl(local))
        return;
    if (m_dockedTo && !m_dockedTo->AllowDrag())
        return;
    BeginMoving(local, global);
}

void TCustomToolWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    switch (m_drag) {
    case DragMode::Moving: {
        const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
        m_ctrlDown = ctrl;
        MoveOutline(global);
        break;
    }
    case DragMode::Sizing:
        SizeOutline(global);
        break;
    case DragMode::Closing: {
        const bool inside =
            CloseButtonRect(size(), m_resizable).contains(event->position().toPoint());
        if (inside != m_closeButtonDown) {
            m_closeButtonDown = inside;
            update();
        }
        break;
    }
    case DragMode::None:
        if (Floating() && m_resizable) {
            const HitCode hit = FloatingHitTest(event->position().toPoint(), size(), true,
                                                m_closeButton, /*eightCorner=*/true);
            if (IsSizingCode(hit))
                setCursor(SizingCursor(hit));
            else
                unsetCursor();
        }
        QWidget::mouseMoveEvent(event);
        break;
    }
}

void TCustomToolWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_drag == DragMode::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (m_drag == DragMode::Moving)
        EndMoving(true);
    else if (m_drag == DragMode::Sizing)
        EndSizing(true);
    else
        EndClosing(m_closeButtonDown);
}

void TCustomToolWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (m_drag != DragMode::None) {
        mousePressEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton || parentWidget() == nullptr)
        return;
    const QPoint local = event->position().toPoint();
    if (Floating() && FloatingHitTest(local, size(), m_resizable, m_closeButton,
                                      /*eightCorner=*/true) != HitCode::Client)
        return;
    if (PressOnChildControl(local))
        return;
    if (m_dockedTo) {
        if (!m_dockedTo->AllowDrag() || m_dockMode != TToolWindowDockMode::dmCanFloat)
            return;
        // It floats where it stood.
        m_floatingPosition = mapToGlobal(QPoint(0, 0));
        SetParent(GetToolWindowParentForm(*this));
    } else if (m_defaultDock) {
        // Before any bar at position 0, so it lands at the start of row 0.
        m_dockRow = 0;
        m_dockPos = -8;
        SetParent(m_defaultDock);
    }
}

void TCustomToolWindow::keyPressEvent(QKeyEvent* event)
{
    if (m_drag == DragMode::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->key() == Qt::Key_Escape) {
        if (m_drag == DragMode::Moving)
            EndMoving(false);
        else if (m_drag == DragMode::Sizing)
            EndSizing(false);
    } else if (event->key() == Qt::Key_Control && m_drag == DragMode::Moving && !m_ctrlDown) {
        m_ctrlDown = true;
        MoveOutline(m_lastPos);
    }
}

void TCustomToolWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (m_drag == DragMode::None) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->key() == Qt::Key_Control && m_drag == DragMode::Moving && m_ctrlDown) {
        m_ctrlDown = false;
        MoveOutline(m_lastPos);
    }
}

// Dragging ---------------------------------------------------------------------------------

std::vector<TDock*> TCustomToolWindow::FindCandidateDocks() const
{
    std::vector<TDock*> docks;
    if (m_dockMode == TToolWindowDockMode::dmCannotFloatOrChangeDocks) {
        if (m_dockedTo)
            docks.push_back(m_dockedTo);
        return docks;
    }
    QWidget* form = GetToolWindowParentForm(*this);
    if (form == nullptr)
        return docks;
    // The form's docks in the order top, bottom, left, right at each level, then those
    // further inside: the first that takes the bar wins.
    const std::function<void(QWidget*)> walk = [&](QWidget* w) {
        if (!w->isVisible())
            return;
        if (auto* dock = qobject_cast<TDock*>(w)) {
            if (dock->AllowDrag() && m_dockableTo.Contains(dock->Position()))
                docks.push_back(dock);
        }
        std::vector<QWidget*> children;
        for (QObject* object : w->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() &&
                qobject_cast<TCustomToolWindow*>(child) == nullptr)
                children.push_back(child);
        }
        for (TDockPosition position : {TDockPosition::dpTop, TDockPosition::dpBottom,
                                       TDockPosition::dpLeft, TDockPosition::dpRight}) {
            for (QWidget* child : children) {
                auto* dock = qobject_cast<TDock*>(child);
                if (dock != nullptr && dock->Position() == position)
                    walk(child);
            }
        }
        for (QWidget* child : children) {
            if (qobject_cast<TDock*>(child) == nullptr)
                walk(child);
        }
    };
    walk(form);
    return docks;
}

const TCustomToolWindow::DragTarget& TCustomToolWindow::TargetOf(const TDock* dock) const
{
    for (const DragTarget& target : m_targets) {
        if (target.Dock == dock)
            return target;
    }
    return m_targets.front();
}

void TCustomToolWindow::BeginMoving(QPoint local, QPoint global)
{
    m_dPoint = local;
    m_nPoint = QPoint(width() - 1, height() - 1);
    m_ctrlDown = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    m_noFloat = m_dockMode != TToolWindowDockMode::dmCanFloat;
    const DockType current = m_dockedTo ? m_dockedTo->Type() : DockType::Floating;
    m_targets.clear();
    m_targets.push_back(DragTarget{
        nullptr, AddFloatingNCAreaToSize(ArrangeClientArea(false, current, nullptr), m_resizable)});
    for (TDock* dock : FindCandidateDocks()) {
        const QSize client =
            dock == m_dockedTo ? ClientRect().size() : ArrangeClientArea(false, current, dock);
        m_targets.push_back(DragTarget{
            dock,
            AddDockedNCAreaToSize(client, dock->Vertical(),
                                  EffectiveHandleStyle(dock->AllowDrag(), m_dragHandleStyle))});
    }
    m_drag = DragMode::Moving;
    m_moveRect = QRect();
    m_targetDock = nullptr;
    m_outline = std::make_unique<DragOutline>();
    grabMouse();
    grabKeyboard();
    MoveOutline(global);
}

void TCustomToolWindow::MoveOutline(QPoint global)
{
    m_lastPos = global;
    m_targetDock = nullptr;
    const DragTarget* target = &m_targets.front();
    // Holding Ctrl never docks.
    if (!m_ctrlDown) {
        for (std::size_t i = 1; i < m_targets.size(); ++i) {
            TDock* dock = m_targets[i].Dock;
            if (dock == nullptr || !CanDockAt(dock->ScreenRect(), dock->Vertical(), global,
                                              m_dPoint, m_nPoint, m_targets[i].Size))
                continue;
            bool accept = true;
            emit dock->OnRequestDock(this, &accept);
            if (accept) {
                m_targetDock = dock;
                target = &m_targets[i];
                break;
            }
        }
    }
    QPoint cursor = global;
    QRect workArea;
    if (!m_targetDock) {
        workArea = GetMonitorWorkAreaFromPoint(global);
        cursor = ClampPointIntoRect(global, workArea);
    }
    QRect rect = DragOutlineRect(cursor, target->Size, m_dPoint, m_nPoint);
    if (!m_targetDock) {
        rect = KeepFloatingOutlineReachable(rect, workArea, GetFloatingFrameSize(m_resizable),
                                            GetSmallCaptionHeight());
    }
    const bool refused = m_noFloat && !m_targetDock;
    if (refused && !m_cursorOverridden) {
        QGuiApplication::setOverrideCursor(Qt::ForbiddenCursor);
        m_cursorOverridden = true;
    } else if (!refused && m_cursorOverridden) {
        QGuiApplication::restoreOverrideCursor();
        m_cursorOverridden = false;
    }
    m_moveRect = refused ? QRect() : rect;
    if (m_outline)
        m_outline->ShowAt(m_moveRect, m_targetDock ? 1 : GetFloatingFrameSize(m_resizable).x());
}

void TCustomToolWindow::EndDrag()
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    if (QWidget::keyboardGrabber() == this)
        releaseKeyboard();
    m_outline.reset();
    if (m_cursorOverridden) {
        QGuiApplication::restoreOverrideCursor();
        m_cursorOverridden = false;
    }
    m_drag = DragMode::None;
}

void TCustomToolWindow::EndMoving(bool accept)
{
    EndDrag();
    if (accept && !m_moveRect.isEmpty())
        Drop();
    m_targets.clear();
}

void TCustomToolWindow::Drop()
{
    const QRect rect = m_moveRect;
    TDock* dock = m_targetDock;
    if (dock != nullptr) {
        const QRect client = dock->DockClientRect();
        const QRect inDock(dock->mapFromGlobal(rect.topLeft()) - client.topLeft(), rect.size());
        // The row and position are settled before one layout, in the dock the bar goes to: a
        // layout in between (of the dock it leaves) would renumber rows it does not own.
        const DockDrop drop = dock->PlaceDrop(*this, inDock);
        m_dockRow = drop.Row;
        m_dockPos = drop.Pos;
        if (dock == m_dockedTo)
            dock->LayoutBars();
        else
            SetParent(dock);
    } else {
        m_floatingPosition = rect.topLeft();
        if (m_dockedTo)
            SetParent(GetToolWindowParentForm(*this));
        else
            SetBounds(rect.left(), rect.top(), width(), height());
    }
    KeepOnWorkArea(true);
}

void TCustomToolWindow::BeginSizing(HitCode hitCode, QPoint global)
{
    m_sizingCode = hitCode;
    const QMargins nc = NonClientMargins();
    m_minSize = GetMinClientSize() + QSize(nc.left() + nc.right(), nc.top() + nc.bottom());
    m_origRect = geometry();
    m_moveRect = m_origRect;
    m_origPos = global;
    m_lastPos = global;
    m_drag = DragMode::Sizing;
    m_outline = std::make_unique<DragOutline>();
    grabMouse();
    grabKeyboard();
    m_outline->ShowAt(m_moveRect, GetFloatingFrameSize(m_resizable).x());
}

void TCustomToolWindow::SizeOutline(QPoint global)
{
    if (global == m_lastPos)
        return;
    m_lastPos = global;
    m_moveRect = SizingRect(m_sizingCode, m_origRect, global - m_origPos, m_minSize);
    if (m_outline)
        m_outline->ShowAt(m_moveRect, GetFloatingFrameSize(m_resizable).x());
}

void TCustomToolWindow::EndSizing(bool accept)
{
    EndDrag();
    if (!accept)
        return;
    BeginArrange();
    SetBounds(m_moveRect);
    EndArrange();
    KeepOnWorkArea(true);
}

void TCustomToolWindow::BeginClosing()
{
    m_drag = DragMode::Closing;
    m_closeButtonDown = true;
    grabMouse();
    update();
}

void TCustomToolWindow::EndClosing(bool accept)
{
    EndDrag();
    m_closeButtonDown = false;
    update();
    if (!accept)
        return;
    SetBarVisible(false);
    emit OnClose();
}

// Painting ---------------------------------------------------------------------------------

void TCustomToolWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_dockedTo)
        DrawDockedNCArea(painter);
    else
        DrawFloatingNCArea(painter);
}

void TCustomToolWindow::DrawDockedNCArea(QPainter& painter)
{
    const QColor face = palette().color(QPalette::Window);
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const QRect r = rect();
    const bool useBackground = m_dockedTo->HasBackground() && m_dockedTo->BackgroundOnToolbars();
    if (useBackground)
        m_dockedTo->DrawBackground(painter, *this, r);
    else
        painter.fillRect(r, face);
    if (m_borderStyle == TBorderStyle::bsSingle)
        DrawEdge(painter, r, highlight, shadow);
    else if (useBackground)
        FrameRect(painter, r, face);

    if (!m_dockedTo->AllowDrag() || m_dragHandleStyle == TDragHandleStyle::dhNone)
        return;
    const bool twoBars = m_dragHandleStyle == TDragHandleStyle::dhDouble;
    const auto bar = [&](const QRect& handle, QPoint corner) {
        painter.fillRect(handle, face);
        DrawEdge(painter, handle, highlight, shadow);
        painter.fillRect(QRect(corner, QSize(1, 1)), highlight);
    };
    if (m_dockedTo->Vertical()) {
        // Across the top, from x 2 to the client's right edge.
        const int w = ClientWidth() + 2;
        bar(QRect(2, 4, w - 2, 3), QPoint(w - 1, 4));
        if (twoBars)
            bar(QRect(2, 7, w - 2, 3), QPoint(w - 1, 7));
    } else {
        // At the left, from y 2 to the client's bottom edge.
        const int h = ClientHeight() + 2;
        bar(QRect(4, 2, 3, h - 2), QPoint(4, h - 1));
        if (twoBars)
            bar(QRect(7, 2, 3, h - 2), QPoint(7, h - 1));
    }
}

void TCustomToolWindow::DrawFloatingNCArea(QPainter& painter)
{
    const QPalette& colours = palette();
    const QColor face = colours.color(QPalette::Window);
    const QRect r = rect();
    painter.fillRect(r, face);
    DrawEdge(painter, r, colours.color(QPalette::Midlight), colours.color(QPalette::Shadow));
    DrawEdge(painter, r.adjusted(1, 1, -1, -1), colours.color(QPalette::Light),
             colours.color(QPalette::Dark));

    const QRect full = FloatingCaptionRect(size(), m_resizable);
    const QRect button = CloseButtonRect(size(), m_resizable);
    QRect caption = full;
    if (m_closeButton)
        caption.setWidth(std::max(0, caption.width() - button.width()));
    const bool active = !m_inactiveCaption;
    const QColor captionColour = active ? colours.color(QPalette::Active, QPalette::Highlight)
                                        : colours.color(QPalette::Mid);
    const QColor textColour = active ? colours.color(QPalette::Active, QPalette::HighlightedText)
                                     : colours.color(QPalette::Light);
    painter.fillRect(caption, captionColour);

    QFont captionFont = font();
    captionFont.setPixelSize(11);
    captionFont.setWeight(QFont::Normal);
    const QFontMetrics metrics(captionFont);
    const QRect textRect = caption.adjusted(1, 0, -1, 0);
    const QString text = ElideCaption(m_caption, textRect.width(), [&metrics](const QString& s) {
        return metrics.horizontalAdvance(s);
    });
    painter.save();
    painter.setClipRect(textRect);
    painter.setFont(captionFont);
    painter.setPen(textColour);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
    painter.fillRect(QRect(full.left(), full.top() + full.height(), full.width(), 1), face);

    if (!m_closeButton)
        return;
    FrameRect(painter, button, captionColour);
    const QRect inner = button.adjusted(1, 1, -1, -1);
    painter.fillRect(inner, face);
    if (m_closeButtonDown) {
        DrawEdge(painter, inner, colours.color(QPalette::Shadow), colours.color(QPalette::Light));
    } else {
        DrawEdge(painter, inner, colours.color(QPalette::Light), colours.color(QPalette::Shadow));
        DrawEdge(painter, inner.adjusted(1, 1, -1, -1), colours.color(QPalette::Midlight),
                 colours.color(QPalette::Dark));
    }
    // The cross, one pixel further down and right while pressed.
    const int shift = m_closeButtonDown ? 1 : 0;
    const QRect cross = inner.adjusted(3 + shift, 3 + shift, -4 + shift, -4 + shift);
    painter.setPen(QPen(colours.color(QPalette::WindowText), 1));
    for (int dx = 0; dx < 2; ++dx) {
        painter.drawLine(cross.topLeft() + QPoint(dx, 0), cross.bottomRight() + QPoint(dx - 1, 0));
        painter.drawLine(cross.bottomLeft() + QPoint(dx, 0), cross.topRight() + QPoint(dx - 1, 0));
    }
}

} // namespace pv::docking
