// The picture beside a right answer's verdict.
#include "exercises/ui/RightPicture.h"

#include <QPainter>
#include <QPainterPath>

namespace pv {

QPixmap RightPicture(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 150, 0));
    painter.drawEllipse(1, 1, size - 2, size - 2);
    // The tick is drawn on a 32-pixel design and scaled to the badge.
    const double scale = size / 32.0;
    QPainterPath tick;
    tick.moveTo(8 * scale, 17 * scale);
    tick.lineTo(14 * scale, 23 * scale);
    tick.lineTo(24 * scale, 10 * scale);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
    return picture;
}

} // namespace pv
