// A bar: a movable tool window that is either docked in a `TDock` or floats as a small
// captioned tool window above its form. It keeps its own (logical) visibility apart from its
// window's, so a floating bar hidden while the program is inactive is still a shown bar.
#pragma once

#include "docking/core/DockMetrics.h"
#include "docking/core/DockTypes.h"
#include "docking/core/DragGeometry.h"
#include "docking/ui/TDock.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <QPointer>
#include <QWidget>

namespace pv::docking {

class DragOutline;

class TCustomToolWindow : public QWidget
{
    Q_OBJECT
public:
    ~TCustomToolWindow() override;

    // Placement --------------------------------------------------------------------------
    std::int32_t DockRow() const { return m_dockRow; }
    /// Lays out the dock the bar is in (later, while the dock's updates are suspended).
    void SetDockRow(std::int32_t row);
    std::int32_t DockPos() const { return m_dockPos; }
    void SetDockPos(std::int32_t pos);
    /// The dock holding the bar, null while it floats.
    TDock* DockedTo() const { return m_dockedTo; }
    /// Moves the bar into dock, or floats it over its form for null.
    bool SetDockedTo(TDock* dock);
    bool Docked() const { return m_dockedTo != nullptr; }
    /// The one way a bar changes between docks and floating: parent is a `TDock`, a form (a
    /// window: the bar then floats above it) or null. Anything else is refused (with a message
    /// in the log) and false comes back.
    bool SetParent(QWidget* parent);
    /// The left-top corner the bar had when it last floated, on the screen.
    QPoint FloatingPosition() const { return m_floatingPosition; }
    void SetFloatingPosition(QPoint position) { m_floatingPosition = position; }

    // Properties -------------------------------------------------------------------------
    /// Alone in a dock row, at the dock's whole length.
    bool FullSize() const { return m_fullSize; }
    void SetFullSize(bool fullSize);
    /// A click on a floating bar activates its form.
    bool ActivateParent() const { return m_activateParent; }
    void SetActivateParent(bool activate) { m_activateParent = activate; }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    /// The floating caption shows a close button.
    bool CloseButton() const { return m_closeButton; }
    void SetCloseButton(bool closeButton);
    /// The dock a double click on the floating caption docks the bar to.
    TDock* DefaultDock() const { return m_defaultDock; }
    void SetDefaultDock(TDock* dock) { m_defaultDock = dock; }
    DockPositionSet DockableTo() const { return m_dockableTo; }
    void SetDockableTo(DockPositionSet positions) { m_dockableTo = positions; }
    TToolWindowDockMode DockMode() const { return m_dockMode; }
    void SetDockMode(TToolWindowDockMode mode) { m_dockMode = mode; }
    TDragHandleStyle DragHandleStyle() const { return m_dragHandleStyle; }
    void SetDragHandleStyle(TDragHandleStyle style);
    TToolWindowFloatingMode FloatingMode() const { return m_floatingMode; }
    void SetFloatingMode(TToolWindowFloatingMode mode);
    /// A floating bar hides while the program is inactive; without it its caption shows so.
    bool HideWhenInactive() const { return m_hideWhenInactive; }
    void SetHideWhenInactive(bool hide);
    /// A floating bar has a sizing frame.
    bool Resizable() const { return m_resizable; }
    void SetResizable(bool resizable);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    // Visibility -------------------------------------------------------------------------
    /// The bar's own visibility: what the user and the program chose. Its window may still be
    /// hidden (a floating bar while its form is minimised or the program inactive).
    bool BarVisible() const { return m_visible; }
    /// Shows or hides the bar; a docked bar leaves or rejoins its dock's layout, keeping its
    /// row and position. `OnVisibleChanged` follows a change.
    void SetBarVisible(bool visible);
    /// Whether the bar's window shows now.
    bool ShouldBeVisible() const;
    /// Shows or hides the window as `ShouldBeVisible` says, and the caption's active look.
    void UpdateVisibility();
    bool InactiveCaption() const { return m_inactiveCaption; }

    // Geometry ---------------------------------------------------------------------------
    /// A floating bar off every screen is moved just inside the nearest work area; with
    /// onlyWhenOff false it is moved wholly inside. A docked bar stays.
    void KeepOnWorkArea(bool onlyWhenOff);
    void ApplyDockedPosition();
    /// Sizes the bar for where it is: its client arrangement for the dock type, raised to the
    /// row's size across (and the dock's length when `FullSize`) with updateSize.
    void ArrangeForDock(DockType dockType, TDock* dock, bool updateSize);
    void BeginArrange();
    void EndArrange();
    /// The client size across the bar's row, or the bar's own for a floating bar.
    int GetDockedRowSize() const;
    /// Bounds in the dock for a docked bar, on the screen for a floating one. A size change
    /// from outside the layout becomes the remembered client size (`StoreClientSize`).
    void SetBounds(int left, int top, int width, int height);
    void SetBounds(const QRect& bounds);
    /// The frame around the client area where the bar is now.
    QMargins NonClientMargins() const;
    QRect ClientRect() const;
    int ClientWidth() const { return ClientRect().width(); }
    int ClientHeight() const { return ClientRect().height(); }

    // What a concrete bar supplies --------------------------------------------------------
    /// The client size across a dock row of that type.
    virtual int GetBarCrossSize(DockType dockType) const = 0;
    /// The smallest client size a floating resize may reach.
    virtual QSize GetMinClientSize() const = 0;
    /// Arranges the client for that dock type and gives back the client size it needs.
    virtual QSize ArrangeClientArea(bool canMove, DockType dockType, TDock* newDock) = 0;
    /// Remembers the client size that belongs to a new window size.
    virtual void StoreClientSize(int width, int height);

signals:
    /// The user closed the bar with its close button (it is hidden now).
    void OnClose();
    void OnDockChanging();
    void OnDockChangingEx(pv::docking::TDock* dockingTo);
    void OnDockChangingHidden(pv::docking::TDock* dockingTo);
    void OnDockChanged();
    void OnRecreating();
    void OnRecreated();
    void OnMove();
    void OnResize();
    /// The bar's own visibility changed (never its window's alone).
    void OnVisibleChanged();

protected:
    TCustomToolWindow();

    /// Places the client controls inside `ClientRect` after the frame or the size changed.
    virtual void AlignControls() {}
    /// Whether a child under the mouse lets a press through to start a drag.
    virtual bool IsTransparentChild(const QWidget* child) const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    /// A close asked of a floating bar (Alt+F4 on it) is passed on to its form.
    void closeEvent(QCloseEvent* event) override;

private:
    friend class TDock;

    enum class DragMode : std::uint8_t
    {
        None,
        Moving,
        Sizing,
        Closing,
    };
    struct DragTarget
    {
        QPointer<TDock> Dock; ///< null for floating
        QSize Size;           ///< the outer size the bar would have there
    };

    bool Floating() const { return !m_dockedTo && parentWidget() != nullptr; }
    bool PressOnChildControl(QPoint local) const;
    void SetDockedBounds(const QRect& bounds);
    void SetInactiveCaption(bool inactive);
    void UpdateFloatingList();

    void BeginMoving(QPoint local, QPoint global);
    void MoveOutline(QPoint global);
    void EndMoving(bool accept);
    void Drop();
    void BeginSizing(HitCode hitCode, QPoint global);
    void SizeOutline(QPoint global);
    void EndSizing(bool accept);
    void BeginClosing();
    void EndClosing(bool accept);
    void EndDrag();
    std::vector<TDock*> FindCandidateDocks() const;
    const DragTarget& TargetOf(const TDock* dock) const;

    void DrawDockedNCArea(QPainter& painter);
    void DrawFloatingNCArea(QPainter& painter);

    // Placement and properties
    std::int32_t m_dockRow = 0;
    std::int32_t m_dockPos = -1;
    QPointer<TDock> m_dockedTo;
    QPointer<QWidget> m_parentForm;
    QPoint m_floatingPosition;
    bool m_fullSize = false;
    bool m_activateParent = true;
    TBorderStyle m_borderStyle = TBorderStyle::bsSingle;
    bool m_closeButton = true;
    QPointer<TDock> m_defaultDock;
    DockPositionSet m_dockableTo = DockPositionSet::All();
    TToolWindowDockMode m_dockMode = TToolWindowDockMode::dmCanFloat;
    TDragHandleStyle m_dragHandleStyle = TDragHandleStyle::dhDouble;
    TToolWindowFloatingMode m_floatingMode = TToolWindowFloatingMode::fmOnTopOfParentForm;
    bool m_hideWhenInactive = true;
    bool m_resizable = true;
    QString m_caption;

    // State
    bool m_visible = true;
    bool m_inactiveCaption = false;
    bool m_destroying = false;
    int m_dockSizingCount = 0;
    int m_disableArrangeCount = 0;
    int m_disableOnMoveCount = 0;
    int m_hidingCount = 0;
    bool m_arrangePending = false;
    bool m_closeButtonDown = false;

    // The drag, resize or close-button press under way
    DragMode m_drag = DragMode::None;
    std::vector<DragTarget> m_targets; ///< first the floating size, then one per candidate dock
    QPoint m_dPoint;
    QPoint m_nPoint;
    bool m_ctrlDown = false;
    bool m_noFloat = false;
    QPointer<TDock> m_targetDock;
    QRect m_moveRect;
    QPoint m_lastPos;
    HitCode m_sizingCode = HitCode::Nowhere;
    QSize m_minSize;
    QRect m_origRect;
    QPoint m_origPos;
    std::unique_ptr<DragOutline> m_outline;
    bool m_cursorOverridden = false;
};

} // namespace pv::docking
