// Paints a grand staff's display list with Qt: lines as lines, music symbols from Noto Music.
#include "music/ui/StaffPainter.h"

#include "music/base/Log.h"
#include "music/ui/MusicFont.h"

#include <map>
#include <mutex>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace pv {

namespace {

const QString kTextFamily = QStringLiteral("Arial");

char32_t CodePoint(StaffGlyph glyph)
{
    switch (glyph) {
    case StaffGlyph::TrebleClef:
        return 0x1D11E;
    case StaffGlyph::BassClef:
        return 0x1D122;
    case StaffGlyph::Brace:
        return 0x1D114;
    case StaffGlyph::WholeNote:
    case StaffGlyph::WholeNoteSmall:
        return 0x1D15D;
    case StaffGlyph::HalfNote:
        return 0x1D157; // the open head alone: stems are drawn as lines
    case StaffGlyph::QuarterNote:
        return 0x1D158;
    case StaffGlyph::Flat:
        return 0x266D;
    case StaffGlyph::DoubleFlat:
        return 0x1D12B;
    case StaffGlyph::Sharp:
        return 0x266F;
    case StaffGlyph::DoubleSharp:
        return 0x1D12A;
    case StaffGlyph::Natural:
        return 0x266E;
    }
    return 0x1D158;
}

// The font's text accidentals are larger than engraved ones and its sharp is nearly twice as
// wide; the sheet's columns leave about 0.9 space per sign. Each sign is scaled by a factor and
// then narrowed to at most a width, both in staff spaces.
struct SignFit
{
    double Scale;
    double MaxWidth;
};

SignFit FitOf(StaffGlyph glyph)
{
    switch (glyph) {
    case StaffGlyph::Flat:
        return {1.0, 0.75};
    case StaffGlyph::DoubleFlat:
        return {1.0, 1.4};
    case StaffGlyph::Natural:
        return {1.0, 0.75};
    case StaffGlyph::Sharp:
        return {0.85, 0.85};
    case StaffGlyph::DoubleSharp:
        return {1.0, 0.9};
    default:
        return {1.0, 0.0};
    }
}

QString TextOf(StaffGlyph glyph)
{
    const char32_t cp = CodePoint(glyph);
    return QString::fromUcs4(&cp, 1);
}

// Ink rectangle of a glyph drawn at the origin on the baseline, by glyph and font size.
QRectF InkRect(StaffGlyph glyph, int pixelSize)
{
    static std::mutex mutex;
    static std::map<std::pair<int, int>, QRectF> cache;
    const std::lock_guard lock(mutex);
    const auto key = std::make_pair(static_cast<int>(glyph), pixelSize);
    if (const auto it = cache.find(key); it != cache.end())
        return it->second;
    QPainterPath path;
    path.addText(0, 0, MusicSymbolFont(pixelSize), TextOf(glyph));
    const QRectF rect = path.boundingRect();
    cache.emplace(key, rect);
    return rect;
}

} // namespace

bool StaffPainter::MusicFontAvailable()
{
    return pv::MusicFontAvailable();
}

void StaffPainter::Paint(QPainter& painter, const StaffDisplayList& list) const
{
    painter.save();
    if (list.ClearArea && list.Area.isValid())
        painter.fillRect(list.Area, m_background);
    painter.setClipRect(list.Area);

    // Lines one pixel wide on whole pixels: staff lines stay crisp.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(m_ink, 0));
    for (const auto& line : list.Lines)
        painter.drawLine(line.Line);

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_ink);
    const int L = std::max(2, list.LineSpacing);
    const int em = 4 * L; // the font's staff is one em high
    for (const auto& item : list.Glyphs) {
        const QRectF ink = InkRect(item.Glyph, em);
        if (ink.isEmpty())
            continue;
        QPainterPath path;
        path.addText(0, 0, MusicSymbolFont(em), TextOf(item.Glyph));
        QTransform placement;
        switch (item.Glyph) {
        case StaffGlyph::Brace:
            // Stretched over its box.
            placement.translate(item.Box.left(), item.Box.top());
            placement.scale((item.Box.width()) / ink.width(), (item.Box.height()) / ink.height());
            placement.translate(-ink.left(), -ink.top());
            break;
        case StaffGlyph::TrebleClef:
            // The font's clef stands on the bottom line with its curl round the G line.
            placement.translate(item.At.x() - ink.left(), item.At.y() + L);
            break;
        case StaffGlyph::BassClef:
            // Its dots enclose the F line, three spaces above the bottom line.
            placement.translate(item.At.x() - ink.left(), item.At.y() + 3 * L);
            break;
        case StaffGlyph::WholeNote:
        case StaffGlyph::WholeNoteSmall:
        case StaffGlyph::HalfNote:
        case StaffGlyph::QuarterNote:
            placement.translate(item.At.x() + 0.5 - ink.center().x(),
                                item.At.y() + 0.5 - ink.center().y());
            break;
        default: {
            // Accidentals: right edge at the point. Sharps and naturals are centred on the
            // note's height, flats have their bowl there (the bowl is the lower half space).
            const SignFit fit = FitOf(item.Glyph);
            const double width = ink.width() * fit.Scale;
            const double maxWidth = fit.MaxWidth * L;
            const double sx = fit.Scale * (width > maxWidth ? maxWidth / width : 1.0);
            const bool flat =
                item.Glyph == StaffGlyph::Flat || item.Glyph == StaffGlyph::DoubleFlat;
            const double refY = flat ? ink.bottom() - 0.45 * L : ink.center().y();
            placement.translate(item.At.x() + 1.0, item.At.y() + 0.5);
            placement.scale(sx, fit.Scale);
            placement.translate(-ink.right(), -refY);
            break;
        }
        }
        // Narrowed signs get thin upright strokes; a hairline outline keeps them as dark as
        // the heads.
        const bool sign = FitOf(item.Glyph).MaxWidth > 0.0;
        painter.setPen(sign ? QPen(m_ink, 0.4) : QPen(Qt::NoPen));
        painter.drawPath(placement.map(path));
    }

    for (const auto& text : list.Texts) {
        QFont font(kTextFamily);
        font.setPointSize(std::max(1, text.PointSize));
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(static_cast<QRgb>(text.Rgb)));
        const QFontMetricsF metrics(font);
        const double width = metrics.horizontalAdvance(text.Text);
        const double x = text.Centred ? text.At.x() - width / 2 : text.At.x();
        const double baseline = text.At.y() + (metrics.ascent() - metrics.descent()) / 2;
        painter.drawText(QPointF(x, baseline), text.Text);
    }
    painter.restore();
}

QImage StaffPainter::Render(const StaffDisplayList& list, QSize size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(m_background);
    QPainter painter(&image);
    Paint(painter, list);
    painter.end();
    return image;
}

} // namespace pv
