// A strip along one edge of a form that holds bars in rows, sizes itself to them and lays them
// out from their rows and positions (the rules are `LayoutBars` of the headless layout).
#pragma once

#include "docking/core/DockLayout.h"
#include "docking/core/DockTypes.h"

#include <vector>

#include <QPixmap>
#include <QWidget>

namespace pv::docking {

class TCustomToolWindow;

class TDock : public QWidget
{
    Q_OBJECT
public:
    explicit TDock(TDockPosition position, QWidget* parent = nullptr);
    ~TDock() override;

    TDockPosition Position() const { return m_position; }
    /// Refused, with a message in the log, while the dock holds bars.
    bool SetPosition(TDockPosition position);
    bool Vertical() const { return IsVertical(m_position); }
    DockType Type() const { return GetDockTypeOf(m_position); }

    /// Bars docked here show a drag handle and can be dragged.
    bool AllowDrag() const { return m_allowDrag; }
    void SetAllowDrag(bool allow);
    TDockBoundLines BoundLines() const { return m_boundLines; }
    void SetBoundLines(TDockBoundLines lines);
    /// An empty dock keeps a thickness of 1 pixel instead of 0.
    bool FixAlign() const { return m_fixAlign; }
    void SetFixAlign(bool fixAlign);
    /// All bars in row 0, from the next layout on.
    bool LimitToOneRow() const { return m_limitToOneRow; }
    void SetLimitToOneRow(bool limit) { m_limitToOneRow = limit; }

    /// A picture tiled under the dock and, with `BackgroundOnToolbars`, under its bars; the
    /// tiles line up with the form's client origin, across docks and bars.
    const QPixmap& Background() const { return m_background; }
    void SetBackground(const QPixmap& background);
    bool BackgroundOnToolbars() const { return m_backgroundOnToolbars; }
    void SetBackgroundOnToolbars(bool on);
    /// The colour of the picture's bottom-left pixel shows the dock's colour instead.
    bool BackgroundTransparent() const { return m_backgroundTransparent; }
    void SetBackgroundTransparent(bool transparent);
    bool HasBackground() const { return !m_background.isNull(); }
    /// Tiles the background over rect of onto (a widget inside the form), clipped to rect.
    void DrawBackground(QPainter& painter, const QWidget& onto, const QRect& rect) const;

    /// Layouts asked for between these wait for the last `EndUpdate`, which lays out once.
    void BeginUpdate();
    void EndUpdate();
    void LayoutBars();

    /// The bars docked here, shown or hidden, in layout order.
    const std::vector<TCustomToolWindow*>& DockList() const { return m_dockList; }
    int GetHighestRow() const;
    int GetNumberOfBarsOnRow(int row, const TCustomToolWindow* notThisBar) const;
    void InsertRowBefore(int row);
    /// The client size across a row as the layout would give it; for a row without shown bars
    /// the bar's own size across (when one is given), else 0.
    int GetRowSize(int row, const TCustomToolWindow* bar) const;
    /// Where a drop at pos (across the dock, client coordinates) goes, by the last layout.
    RowForDrop GetRowForDrop(int pos) const;
    /// Gives the rows room for bar dropped as rect (client coordinates) and says the row and
    /// position it takes; the bar itself is left as it is.
    DockDrop PlaceDrop(const TCustomToolWindow& bar, const QRect& rect);
    /// The area inside the bound lines, where the bars lie.
    QRect DockClientRect() const;
    /// The dock's rectangle on the screen.
    QRect ScreenRect() const;

signals:
    void OnInsertRemoveBar(bool inserting, pv::docking::TCustomToolWindow* bar);
    /// Asked while a bar is dragged over the dock; clearing *accept refuses it.
    void OnRequestDock(pv::docking::TCustomToolWindow* bar, bool* accept);
    void OnResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TCustomToolWindow;
    void InsertRemoveBar(bool inserting, TCustomToolWindow& bar);
    void BarDestroyed(TCustomToolWindow& bar);
    std::vector<DockBar> Records() const;
    void ResizeDock(int thickness);
    void InvalidateBackgrounds();
    const QPixmap& BackgroundTiles() const;
    bool InsideBarOrDock() const;

    TDockPosition m_position;
    bool m_allowDrag = true;
    TDockBoundLines m_boundLines;
    QPixmap m_background;
    mutable QPixmap m_backgroundCache;
    bool m_backgroundTransparent = false;
    bool m_backgroundOnToolbars = true;
    bool m_fixAlign = false;
    bool m_limitToOneRow = false;
    int m_disableArrangeCount = 0;
    bool m_arrangeNeeded = false;
    std::vector<TCustomToolWindow*> m_dockList;
    std::vector<int> m_rowSizes;
    std::vector<int> m_rowThickness;
};

} // namespace pv::docking
