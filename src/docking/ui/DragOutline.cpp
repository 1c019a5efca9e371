// The drag outline.
#include "docking/ui/DragOutline.h"

#include <QPainter>
#include <QRegion>

namespace pv::docking {

DragOutline::DragOutline()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("DragOutline"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DragOutline::ShowAt(const QRect& r, int thickness)
{
    if (r.isEmpty()) {
        hide();
        return;
    }
    m_thickness = std::max(1, thickness);
    setGeometry(r);
    // Only the ring is the window: what lies inside stays visible without a compositor.
    const QRect local(QPoint(0, 0), r.size());
    const QRegion ring = QRegion(local).subtracted(
        QRegion(local.adjusted(m_thickness, m_thickness, -m_thickness, -m_thickness)));
    setMask(ring);
    show();
    raise();
    update();
}

void DragOutline::paintEvent(QPaintEvent*)
{
    // The halftone keeps the ring visible over light and dark windows alike.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
}

} // namespace pv::docking
