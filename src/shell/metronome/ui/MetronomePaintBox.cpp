#include "shell/metronome/ui/MetronomePaintBox.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace pv {

namespace {

QColor ColourOf(std::uint32_t rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

// A pyramid-shaped metronome with its rod leaning to one side, or upright at rest.
void DrawPendulum(QPainter& painter, int picture, QPoint topLeft, int height)
{
    const int h = std::max(height, 12);
    const QPointF base(topLeft.x() + kPendulumWidth / 2.0, topLeft.y() + h - 1.0);
    QPainterPath body;
    body.moveTo(topLeft.x() + 9.0, base.y());
    body.lineTo(topLeft.x() + kPendulumWidth - 9.0, base.y());
    body.lineTo(base.x() + 5.0, topLeft.y() + 2.0);
    body.lineTo(base.x() - 5.0, topLeft.y() + 2.0);
    body.closeSubpath();
    painter.setPen(QPen(QColor(90, 50, 20), 1.0));
    painter.setBrush(QColor(160, 100, 50));
    painter.drawPath(body);

    const double lean = picture == kPendulumLeft ? -1.0 : picture == kPendulumRight ? 1.0 : 0.0;
    const QPointF pivot(base.x(), base.y() - 3.0);
    const QPointF tip(pivot.x() + lean * (kPendulumWidth / 2.0 - 3.0), topLeft.y() + 1.0);
    painter.setPen(QPen(Qt::black, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(pivot, tip);
    const QPointF weight = pivot + (tip - pivot) * 0.55;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRect(QRectF(weight.x() - 3.0, weight.y() - 2.0, 6.0, 4.0));
}

} // namespace

void DrawMetronome(QPainter& painter, QSize size, const QColor& face, int beat, int beatsPerBar,
                   int swing)
{
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size), face);
    const MetronomePicture picture =
        MetronomePictureOf(size.width(), size.height(), beat, beatsPerBar, swing);
    int pendulumBottom = size.height();
    for (const MetronomeBox& box : picture.Boxes)
        pendulumBottom = std::min(pendulumBottom, box.Top - 1);
    painter.setRenderHint(QPainter::Antialiasing, true);
    DrawPendulum(painter, picture.Pendulum, QPoint(picture.PendulumX, picture.PendulumY),
                 pendulumBottom - picture.PendulumY);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const MetronomeBox& box : picture.Boxes)
        painter.fillRect(QRect(box.Left, box.Top, box.Right - box.Left, box.Bottom - box.Top),
                         ColourOf(box.Colour));
    painter.restore();
}

MetronomePaintBox::MetronomePaintBox(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PaintBox2"));
    setMinimumSize(150, 56);
}

void MetronomePaintBox::PaintMetronome(int beat, int beatsPerBar)
{
    // The swing is decided once per beat, not per repaint, so an exposed window does not
    // swing the pendulum.
    const MetronomePicture picture =
        MetronomePictureOf(width(), height(), beat, beatsPerBar, m_nextSwing);
    m_beat = beat;
    m_beatsPerBar = beatsPerBar;
    m_shownSwing = m_nextSwing;
    m_nextSwing = picture.NextSwing;
    if (isVisible())
        update();
}

void MetronomePaintBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawMetronome(painter, size(), palette().color(QPalette::Button), m_beat, m_beatsPerBar,
                  m_shownSwing);
}

} // namespace pv
