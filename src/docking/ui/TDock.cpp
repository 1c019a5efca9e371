// The dock widget around the headless layout.
#include "docking/ui/TDock.h"

#include "docking/core/DockLog.h"
#include "docking/ui/TCustomToolWindow.h"

#include <algorithm>

#include <QBitmap>
#include <QEvent>
#include <QPainter>

namespace pv::docking {

namespace {

int PositiveModulo(int value, int modulus)
{
    const int m = value % modulus;
    return m < 0 ? m + modulus : m;
}

} // namespace

TDock::TDock(TDockPosition position, QWidget* parent) : QWidget(parent), m_position(position)
{
    setObjectName(QStringLiteral("TDock"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (InsideBarOrDock())
        qCWarning(lcDocking) << "A TDock control cannot be placed inside a tool window or "
                                "another TDock";
    ResizeDock(0);
}

TDock::~TDock()
{
    // The bars are our children and go after this body: they must not reach back into a dock
    // that is already half gone.
    for (TCustomToolWindow* bar : m_dockList)
        bar->m_dockedTo = nullptr;
    m_dockList.clear();
}

bool TDock::InsideBarOrDock() const
{
    for (const QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (qobject_cast<const TDock*>(w) != nullptr ||
            qobject_cast<const TCustomToolWindow*>(w) != nullptr)
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

bool TDock::SetPosition(TDockPosition position)
{
    if (!m_dockList.empty()) {
        qCWarning(lcDocking) << "Cannot change Position of a TDock if it already contains controls";
        return false;
    }
    m_position = position;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    LayoutBars();
    return true;
}

void TDock::SetAllowDrag(bool allow)
{
    if (allow == m_allowDrag)
        return;
    m_allowDrag = allow;
    // The handle comes or goes: every bar's frame, and so its size, changes.
    BeginUpdate();
    for (TCustomToolWindow* bar : m_dockList) {
        bar->ApplyDockedPosition();
        bar->update();
    }
    m_arrangeNeeded = true;
    EndUpdate();
}

void TDock::SetBoundLines(TDockBoundLines lines)
{
    if (lines == m_boundLines)
        return;
    m_boundLines = lines;
    LayoutBars();
    update();
}

void TDock::SetFixAlign(bool fixAlign)
{
    if (fixAlign == m_fixAlign)
        return;
    m_fixAlign = fixAlign;
    LayoutBars();
}

void TDock::SetBackground(const QPixmap& background)
{
    m_background = background;
    m_backgroundCache = QPixmap();
    InvalidateBackgrounds();
}

void TDock::SetBackgroundOnToolbars(bool on)
{
    if (on == m_backgroundOnToolbars)
        return;
    m_backgroundOnToolbars = on;
    InvalidateBackgrounds();
}

void TDock::SetBackgroundTransparent(bool transparent)
{
    if (transparent == m_backgroundTransparent)
        return;
    m_backgroundTransparent = transparent;
    m_backgroundCache = QPixmap();
    if (HasBackground())
        InvalidateBackgrounds();
}

const QPixmap& TDock::BackgroundTiles() const
{
    if (!m_backgroundTransparent)
        return m_background;
    if (m_backgroundCache.isNull()) {
        const QColor key = m_background.toImage().pixelColor(0, m_background.height() - 1);
        QPixmap see = m_background;
        see.setMask(m_background.createMaskFromColor(key, Qt::MaskInColor));
        m_backgroundCache = QPixmap(m_background.size());
        m_backgroundCache.fill(palette().color(QPalette::Window));
        QPainter painter(&m_backgroundCache);
        painter.drawPixmap(0, 0, see);
    }
    return m_backgroundCache;
}

void TDock::DrawBackground(QPainter& painter, const QWidget& onto, const QRect& rect) const
{
    if (!HasBackground() || rect.isEmpty())
        return;
    const QPixmap& tiles = BackgroundTiles();
    // Tiles start at the form's client origin, so docks and bars continue each other's.
    const QPoint origin = onto.mapTo(onto.window(), QPoint(0, 0));
    const QPoint offset(PositiveModulo(origin.x() + rect.x(), tiles.width()),
                        PositiveModulo(origin.y() + rect.y(), tiles.height()));
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawTiledPixmap(rect, tiles, offset);
    painter.restore();
}

void TDock::InvalidateBackgrounds()
{
    update();
    for (TCustomToolWindow* bar : m_dockList)
        bar->update();
}

void TDock::BeginUpdate()
{
    ++m_disableArrangeCount;
}

void TDock::EndUpdate()
{
    if (m_disableArrangeCount > 0)
        --m_disableArrangeCount;
    if (m_disableArrangeCount == 0 && m_arrangeNeeded)
        LayoutBars();
}

QRect TDock::DockClientRect() const
{
    return rect().adjusted(m_boundLines.blLeft ? 1 : 0, m_boundLines.blTop ? 1 : 0,
                           m_boundLines.blRight ? -1 : 0, m_boundLines.blBottom ? -1 : 0);
}

QRect TDock::ScreenRect() const
{
    return QRect(mapToGlobal(QPoint(0, 0)), size());
}

std::vector<DockBar> TDock::Records() const
{
    std::vector<DockBar> records;
    records.reserve(m_dockList.size());
    for (std::size_t i = 0; i < m_dockList.size(); ++i) {
        const TCustomToolWindow& bar = *m_dockList[i];
        DockBar record;
        record.Id = static_cast<int>(i);
        record.DockRow = bar.m_dockRow;
        record.DockPos = bar.m_dockPos;
        record.FullSize = bar.FullSize();
        record.Visible = bar.BarVisible();
        record.Length = Vertical() ? bar.height() : bar.width();
        record.CrossSize = bar.GetBarCrossSize(Type());
        records.push_back(record);
    }
    return records;
}

void TDock::LayoutBars()
{
    // A dock that does not show yet has no real length: pulling its rows back to it would
    // move every bar for good. The layout waits for the show.
    if (m_disableArrangeCount > 0 || !isVisible()) {
        m_arrangeNeeded = true;
        return;
    }
    ++m_disableArrangeCount;
    std::vector<DockBar> records = Records();
    const QRect client = DockClientRect();
    const DockLayoutOptions options{Vertical(), Vertical() ? client.height() : client.width(),
                                    m_limitToOneRow, m_fixAlign};
    const DockLayout layout = docking::LayoutBars(records, options);
    std::vector<TCustomToolWindow*> ordered;
    ordered.reserve(records.size());
    for (const DockBar& record : records)
        ordered.push_back(m_dockList[static_cast<std::size_t>(record.Id)]);
    m_dockList = std::move(ordered);
    m_rowSizes = layout.RowSizes;
    m_rowThickness = layout.RowThickness;
    for (std::size_t i = 0; i < records.size(); ++i) {
        TCustomToolWindow& bar = *m_dockList[i];
        bar.m_dockRow = records[i].DockRow;
        bar.m_dockPos = records[i].DockPos;
        if (!records[i].Bounds.isNull())
            bar.SetDockedBounds(records[i].Bounds.translated(client.topLeft()));
    }
    ResizeDock(layout.Thickness);
    --m_disableArrangeCount;
    m_arrangeNeeded = false;
}

void TDock::ResizeDock(int thickness)
{
    // The form's layout keeps a bottom or right dock at its edge as it changes size.
    if (Vertical())
        setFixedWidth(thickness + (m_boundLines.blLeft ? 1 : 0) + (m_boundLines.blRight ? 1 : 0));
    else
        setFixedHeight(thickness + (m_boundLines.blTop ? 1 : 0) + (m_boundLines.blBottom ? 1 : 0));
}

int TDock::GetHighestRow() const
{
    return docking::GetHighestRow(Records());
}

int TDock::GetNumberOfBarsOnRow(int row, const TCustomToolWindow* notThisBar) const
{
    int count = 0;
    for (const TCustomToolWindow* bar : m_dockList) {
        if (bar != notThisBar && bar->m_dockRow == row)
            ++count;
    }
    return count;
}

void TDock::InsertRowBefore(int row)
{
    for (TCustomToolWindow* bar : m_dockList) {
        if (bar->m_dockRow >= row)
            ++bar->m_dockRow;
    }
}

int TDock::GetRowSize(int row, const TCustomToolWindow* bar) const
{
    const int size = RowSizeOf(Records(), row);
    if (size > 0)
        return size;
    return bar != nullptr ? bar->GetBarCrossSize(Type()) : 0;
}

RowForDrop TDock::GetRowForDrop(int pos) const
{
    return docking::GetRowForDrop(m_rowThickness, pos);
}

DockDrop TDock::PlaceDrop(const TCustomToolWindow& bar, const QRect& rect)
{
    std::vector<DockBar> records = Records();
    std::optional<int> self;
    for (std::size_t i = 0; i < m_dockList.size(); ++i) {
        if (m_dockList[i] == &bar)
            self = static_cast<int>(i);
    }
    const DockDrop drop =
        docking::PlaceDrop(records, m_rowThickness, self, bar.FullSize(), rect, Vertical());
    for (std::size_t i = 0; i < records.size(); ++i)
        m_dockList[static_cast<std::size_t>(records[i].Id)]->m_dockRow = records[i].DockRow;
    return drop;
}

void TDock::InsertRemoveBar(bool inserting, TCustomToolWindow& bar)
{
    const auto found = std::find(m_dockList.begin(), m_dockList.end(), &bar);
    const bool wasIn = found != m_dockList.end();
    if (wasIn)
        m_dockList.erase(found);
    if (inserting)
        m_dockList.push_back(&bar);
    if (wasIn == inserting)
        return;
    LayoutBars();
    emit OnInsertRemoveBar(inserting, &bar);
}

void TDock::BarDestroyed(TCustomToolWindow& bar)
{
    const auto found = std::find(m_dockList.begin(), m_dockList.end(), &bar);
    if (found == m_dockList.end())
        return;
    m_dockList.erase(found);
    LayoutBars();
}

void TDock::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutBars();
    emit OnResize();
}

void TDock::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (HasBackground())
        InvalidateBackgrounds();
}

void TDock::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_arrangeNeeded)
        LayoutBars();
}

void TDock::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        m_backgroundCache = QPixmap();
        InvalidateBackgrounds();
    } else if (event->type() == QEvent::ParentChange && InsideBarOrDock()) {
        qCWarning(lcDocking) << "A TDock control cannot be placed inside a tool window or "
                                "another TDock";
    }
}

void TDock::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    DrawBackground(painter, *this, DockClientRect());
    if (m_dockList.empty())
        return;
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    const QRect r = rect();
    if (m_boundLines.blTop)
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), shadow);
    if (m_boundLines.blLeft)
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), shadow);
    if (m_boundLines.blBottom)
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), highlight);
    if (m_boundLines.blRight)
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), highlight);
}

} // namespace pv::docking
