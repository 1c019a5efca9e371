// Paints a rhythm drawing's display list with Qt.
#include "exercises/ui/RhythmPainter.h"

#include "music/ui/MusicFont.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace pv {

namespace {

const QString kFigureFamily = QStringLiteral("DejaVu Serif");

char32_t CodePoint(RhythmGlyph glyph)
{
    switch (glyph) {
    case RhythmGlyph::WholeNote:
        return 0x1D15D;
    case RhythmGlyph::HalfHead:
        return 0x1D157;
    case RhythmGlyph::BlackHead:
        return 0x1D158;
    case RhythmGlyph::WholeRest:
        return 0x1D13B;
    case RhythmGlyph::HalfRest:
        return 0x1D13C;
    case RhythmGlyph::QuarterRest:
        return 0x1D13D;
    case RhythmGlyph::EighthRest:
        return 0x1D13E;
    case RhythmGlyph::SixteenthRest:
        return 0x1D13F;
    case RhythmGlyph::ThirtySecondRest:
        return 0x1D140;
    case RhythmGlyph::Flag8:
        return 0x1D16E;
    case RhythmGlyph::Flag16:
        return 0x1D16F;
    case RhythmGlyph::Flag32:
        return 0x1D170;
    default:
        return 0;
    }
}

QPainterPath GlyphPath(RhythmGlyph glyph, int pixelSize)
{
    const char32_t cp = CodePoint(glyph);
    QPainterPath path;
    path.addText(0, 0, MusicSymbolFont(pixelSize), QString::fromUcs4(&cp, 1));
    return path;
}

// The font size at which a filled head is as wide as the layout's heads, so that stems drawn at
// the heads' edges meet them.
int MusicPixelSize()
{
    static const int size = [] {
        const double width = GlyphPath(RhythmGlyph::BlackHead, 100).boundingRect().width();
        if (width <= 0.0)
            return 34;
        return std::clamp(static_cast<int>(std::lround(100.0 * kRhythmHeadWidth / width)), 8, 200);
    }();
    return size;
}

struct PlacedPath
{
    QPainterPath Path;
    QRectF Ink;
};

const PlacedPath& CachedGlyph(RhythmGlyph glyph)
{
    static std::mutex mutex;
    static std::map<int, PlacedPath> cache;
    const std::lock_guard lock(mutex);
    const int key = static_cast<int>(glyph);
    if (const auto it = cache.find(key); it != cache.end())
        return it->second;
    QPainterPath path = GlyphPath(glyph, MusicPixelSize());
    const QRectF ink = path.boundingRect();
    return cache.emplace(key, PlacedPath{std::move(path), ink}).first->second;
}

/// Where the ink of a rest goes relative to the staff line it is placed against: the whole rest
/// hangs from the line, the half rest sits on it, the others are centred on it.
double RestTop(RhythmGlyph glyph, const QRectF& ink, double staffY)
{
    switch (glyph) {
    case RhythmGlyph::WholeRest:
        return staffY;
    case RhythmGlyph::HalfRest:
        return staffY - ink.height();
    default:
        return staffY - ink.height() / 2;
    }
}

QColor ResultColour(RhythmGlyph glyph)
{
    switch (glyph) {
    case RhythmGlyph::ResultOnTime:
        return QColor(0x00, 0x90, 0x00);
    case RhythmGlyph::ResultEarly:
        return QColor(0x10, 0x50, 0xd0);
    case RhythmGlyph::ResultLate:
        return QColor(0xe0, 0x70, 0x00);
    default:
        return QColor(0xd0, 0x10, 0x10);
    }
}

} // namespace

void RhythmPainter::Paint(QPainter& painter, const RhythmDisplayList& list) const
{
    painter.save();
    if (list.ClearArea && list.Area.isValid())
        painter.fillRect(list.Area, m_background);

    // Lines one pixel wide on whole pixels, beams and underlines as filled bands: all crisp.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const RhythmLine& line : list.Lines) {
        const QLine& l = line.Line;
        switch (line.Kind) {
        case RhythmLineKind::Beam:
            painter.fillRect(
                QRect(QPoint(std::min(l.x1(), l.x2()), l.y1()),
                      QPoint(std::max(l.x1(), l.x2()), l.y1() + kRhythmBeamHeight - 1)),
                m_ink);
            break;
        case RhythmLineKind::FinalBarLine:
            painter.fillRect(
                QRect(QPoint(l.x1(), std::min(l.y1(), l.y2())),
                      QPoint(l.x1() + kRhythmFinalBarWidth - 1, std::max(l.y1(), l.y2()))),
                m_ink);
            break;
        case RhythmLineKind::Underline:
        case RhythmLineKind::Erase: {
            const QColor colour = line.Kind == RhythmLineKind::Erase
                                      ? m_background
                                      : QColor::fromRgb(static_cast<QRgb>(kRhythmUnderlineRgb));
            if (l.x2() >= l.x1())
                painter.fillRect(QRect(QPoint(l.x1(), l.y1() - 1), QPoint(l.x2(), l.y1() + 1)),
                                 colour);
            break;
        }
        default:
            painter.setPen(QPen(m_ink, 0));
            painter.drawLine(l);
            break;
        }
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const RhythmArc& arc : list.Arcs) {
        // A crescent below the heads, thickest in its middle.
        const QPointF from(arc.From.x(), arc.From.y() + 0.5);
        const QPointF to(arc.To.x() + 1.0, arc.To.y() + 0.5);
        const double length = std::max(1.0, to.x() - from.x());
        const double depth = std::clamp(2.0 + length / 10.0, 3.0, 7.0);
        const double thickness = 1.4;
        QPainterPath path(from);
        path.cubicTo(from + QPointF(length / 4, depth), to + QPointF(-length / 4, depth), to);
        path.cubicTo(to + QPointF(-length / 4, depth - thickness),
                     from + QPointF(length / 4, depth - thickness), from);
        painter.setPen(QPen(m_ink, 0.6));
        painter.setBrush(m_ink);
        painter.drawPath(path);
    }

    for (const RhythmGlyphItem& item : list.Glyphs)
        PaintGlyph(painter, item);

    for (const RhythmText& text : list.Texts) {
        QFont font(kFigureFamily);
        font.setBold(true);
        font.setPixelSize(std::max(1, text.PixelSize));
        const QFontMetricsF metrics(font);
        const QRectF ink = metrics.tightBoundingRect(text.Text);
        painter.setFont(font);
        painter.setPen(m_ink);
        painter.drawText(
            QPointF(text.At.x() + 0.5 - ink.center().x(), text.At.y() + 0.5 - ink.center().y()),
            text.Text);
    }
    painter.restore();
}

void RhythmPainter::PaintGlyph(QPainter& painter, const RhythmGlyphItem& item) const
{
    const QPointF at(item.At.x(), item.At.y() + 0.5);
    switch (item.Glyph) {
    case RhythmGlyph::Dot:
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_ink);
        painter.drawEllipse(QPointF(item.At.x() + 0.5, item.At.y() + 0.5), 1.7, 1.7);
        return;
    case RhythmGlyph::TripletFigure: {
        QFont font(kFigureFamily);
        font.setBold(true);
        font.setItalic(true);
        font.setPixelSize(11);
        const QString three = QStringLiteral("3");
        const QRectF ink = QFontMetricsF(font).tightBoundingRect(three);
        // A white ground breaks the bracket under the figure.
        const QRectF ground(item.At.x() + 0.5 - ink.width() / 2 - 2, item.At.y() - ink.height() / 2,
                            ink.width() + 4, ink.height() + 1);
        painter.fillRect(ground, m_background);
        painter.setFont(font);
        painter.setPen(m_ink);
        painter.drawText(
            QPointF(item.At.x() + 0.5 - ink.center().x(), item.At.y() + 0.5 - ink.center().y()),
            three);
        return;
    }
    case RhythmGlyph::ResultLate:
    case RhythmGlyph::ResultOnTime:
    case RhythmGlyph::ResultEarly:
    case RhythmGlyph::ResultMissed:
        PaintResultMark(painter, item);
        return;
    default:
        break;
    }

    const PlacedPath& glyph = CachedGlyph(item.Glyph);
    if (glyph.Ink.isEmpty())
        return;
    QTransform placement;
    switch (item.Glyph) {
    case RhythmGlyph::WholeNote:
    case RhythmGlyph::BlackHead:
        placement.translate(at.x() - glyph.Ink.center().x(), at.y() - glyph.Ink.center().y());
        break;
    case RhythmGlyph::HalfHead: {
        // The font's open head is drawn smaller than its filled one; stems need both as wide.
        const double scale = kRhythmHeadWidth / glyph.Ink.width();
        placement.translate(at.x(), at.y());
        placement.scale(scale, scale);
        placement.translate(-glyph.Ink.center().x(), -glyph.Ink.center().y());
        break;
    }
    case RhythmGlyph::Flag8:
    case RhythmGlyph::Flag16:
    case RhythmGlyph::Flag32:
        // The flag leaves the stem's right side at its top.
        placement.translate(item.At.x() + 0.5 - glyph.Ink.left(), item.At.y() - glyph.Ink.top());
        break;
    default: // rests
        placement.translate(item.At.x() - glyph.Ink.left(),
                            RestTop(item.Glyph, glyph.Ink, at.y()) - glyph.Ink.top());
        break;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_ink);
    painter.drawPath(placement.map(glyph.Path));
}

void RhythmPainter::PaintResultMark(QPainter& painter, const RhythmGlyphItem& item) const
{
    // Small pictures that read at a glance: a tick for on time, arrows pointing to where the
    // tap fell (left early, right late), a cross for a miss.
    const QColor colour = ResultColour(item.Glyph);
    const double r = kRhythmResultSize / 2.0 - 1.0;
    const QPointF c(item.At.x(), item.At.y());
    QPainterPath path;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (item.Glyph) {
    case RhythmGlyph::ResultOnTime:
        path.moveTo(c + QPointF(-r, 0));
        path.lineTo(c + QPointF(-r / 3, r * 0.8));
        path.lineTo(c + QPointF(r, -r * 0.8));
        break;
    case RhythmGlyph::ResultEarly:
    case RhythmGlyph::ResultLate: {
        const double s = item.Glyph == RhythmGlyph::ResultEarly ? 1.0 : -1.0;
        path.moveTo(c + QPointF(s * r, -r * 0.8));
        path.lineTo(c + QPointF(-s * r, 0));
        path.lineTo(c + QPointF(s * r, r * 0.8));
        path.closeSubpath();
        painter.setBrush(colour);
        painter.setPen(QPen(colour, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        break;
    }
    default:
        path.moveTo(c + QPointF(-r * 0.8, -r * 0.8));
        path.lineTo(c + QPointF(r * 0.8, r * 0.8));
        path.moveTo(c + QPointF(r * 0.8, -r * 0.8));
        path.lineTo(c + QPointF(-r * 0.8, r * 0.8));
        break;
    }
    painter.drawPath(path);
}

QImage RhythmPainter::Render(std::initializer_list<const RhythmDisplayList*> layers,
                             QSize size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(m_background);
    QPainter painter(&image);
    for (const RhythmDisplayList* layer : layers)
        if (layer != nullptr)
            Paint(painter, *layer);
    painter.end();
    return image;
}

} // namespace pv
