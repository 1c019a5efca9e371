// Pictures of the exercise kinds.
#include "shell/startmenu/ui/KindPicture.h"

#include "music/ui/MusicFont.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pv {

namespace {

constexpr char32_t kTrebleClef = 0x1D11E;
constexpr char32_t kWholeNote = 0x1D15D;
constexpr char32_t kBlackHead = 0x1D158;

enum class Family
{
    Harmony,
    Intervals,
    Rhythm,
    Melody,
};

Family FamilyOf(ExerciseKind kind)
{
    switch (kind) {
    case ExerciseKind::IntervalIdentification:
    case ExerciseKind::IntervalComparison:
        return Family::Intervals;
    case ExerciseKind::RhythmImitation:
    case ExerciseKind::RhythmReading:
    case ExerciseKind::RhythmErrorDetection:
        return Family::Rhythm;
    case ExerciseKind::Scales:
    case ExerciseKind::MelodyDictation:
        return Family::Melody;
    default:
        return Family::Harmony;
    }
}

QColor FamilyColour(Family family)
{
    switch (family) {
    case Family::Intervals:
        return QColor(0x1F, 0x8A, 0x70);
    case Family::Rhythm:
        return QColor(0xD3, 0x6B, 0x12);
    case Family::Melody:
        return QColor(0x7B, 0x4B, 0xB0);
    case Family::Harmony:
        break;
    }
    return QColor(0x24, 0x5E, 0xB8);
}

QFont MusicFont(double pixelSize)
{
    return MusicSymbolFont(static_cast<int>(std::lround(pixelSize)));
}

/// Draws on a treble staff whose lines are `space` apart: positions count half spaces up from
/// the bottom line (E4 = 0, G4 = 2, C5 = 5, F5 = 8).
class Staff
{
public:
    Staff(QPainter& painter, double left, double right, double bottomY, double space, QColor ink)
        : m_p(painter), m_left(left), m_right(right), m_bottom(bottomY), m_space(space), m_ink(ink)
    {
    }

    double Y(int position) const { return m_bottom - position * m_space / 2.0; }
    double Space() const { return m_space; }
    double Left() const { return m_left; }
    double Right() const { return m_right; }

    void Lines(int count = 5) const
    {
        m_p.setPen(QPen(m_ink.lighter(180), std::max(1.0, m_space / 7.0)));
        const int first = count == 1 ? 2 : 0;
        for (int i = 0; i < count; ++i)
            m_p.drawLine(QPointF(m_left, Y(2 * (first + i))), QPointF(m_right, Y(2 * (first + i))));
    }

    /// The glyph with its ink centred on (x, y), scaled to the staff (one em is four spaces).
    QRectF Glyph(char32_t code, double x, double y, double scale = 1.0) const
    {
        QPainterPath path;
        path.addText(0, 0, MusicFont(4.0 * m_space * scale), QString::fromUcs4(&code, 1));
        const QRectF ink = path.boundingRect();
        const QPointF shift(x - ink.center().x(), y - ink.center().y());
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(m_ink);
        m_p.drawPath(path.translated(shift));
        return ink.translated(shift);
    }

    void Clef(double x) const
    {
        // The clef's curl sits round the G line; its ink reaches a space and a half below the
        // staff and a space and a half above.
        QPainterPath path;
        const QFont font = MusicFont(4.0 * m_space);
        path.addText(0, 0, font, QString::fromUcs4(&kTrebleClef, 1));
        const QRectF ink = path.boundingRect();
        const double scale = (7.0 * m_space) / ink.height();
        QTransform t;
        t.translate(x, (Y(8) + Y(0)) / 2.0);
        t.scale(scale, scale);
        t.translate(-ink.left(), -ink.center().y());
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(m_ink);
        m_p.drawPath(t.map(path));
    }

    /// A notehead (whole or black) with ledger lines as needed; returns its ink.
    QRectF Head(double x, int position, bool whole) const
    {
        const double width = m_space * (whole ? 1.9 : 1.45);
        m_p.setPen(QPen(m_ink, std::max(1.0, m_space / 7.0)));
        for (int ledger = -2; ledger >= position; ledger -= 2)
            m_p.drawLine(QPointF(x - width * 0.8, Y(ledger)), QPointF(x + width * 0.8, Y(ledger)));
        for (int ledger = 10; ledger <= position; ledger += 2)
            m_p.drawLine(QPointF(x - width * 0.8, Y(ledger)), QPointF(x + width * 0.8, Y(ledger)));
        return Glyph(whole ? kWholeNote : kBlackHead, x, Y(position), whole ? 1.0 : 1.0);
    }

    /// A stemmed note, the stem up below the middle line (or when asked); returns the x and y
    /// of the stem's end.
    QPointF Note(double x, int position, double stemSpaces = 3.3, bool forceUp = false) const
    {
        const QRectF head = Head(x, position, false);
        const bool up = forceUp || position < 4;
        const double stemX = up ? head.right() - m_space * 0.06 : head.left() + m_space * 0.06;
        const double fromY =
            up ? head.center().y() - m_space * 0.15 : head.center().y() + m_space * 0.15;
        const double toY = up ? fromY - stemSpaces * m_space : fromY + stemSpaces * m_space;
        m_p.setPen(QPen(m_ink, std::max(1.0, m_space / 6.0)));
        m_p.drawLine(QPointF(stemX, fromY), QPointF(stemX, toY));
        return {stemX, toY};
    }

    /// A beam joining two stem ends.
    void Beam(QPointF from, QPointF to, bool up) const
    {
        const double thick = m_space * 0.5 * (up ? 1.0 : -1.0);
        QPainterPath beam;
        beam.moveTo(from);
        beam.lineTo(to);
        beam.lineTo(to + QPointF(0, thick));
        beam.lineTo(from + QPointF(0, thick));
        beam.closeSubpath();
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(m_ink);
        m_p.drawPath(beam);
    }

private:
    QPainter& m_p;
    double m_left;
    double m_right;
    double m_bottom;
    double m_space;
    QColor m_ink;
};

void Text(QPainter& p, const QRectF& box, const QString& text, double pixelSize, QColor colour,
          bool bold = true)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

// A rhythm on one line: quarter notes ('q') and pairs of beamed eighths ('e'), spread evenly.
std::vector<QRectF> Rhythm(const Staff& staff, double from, double to, const char* pattern)
{
    int count = 0;
    for (const char* c = pattern; *c != '\0'; ++c)
        count += *c == 'e' ? 2 : 1;
    const double step = (to - from) / count;
    std::vector<QRectF> heads;
    double x = from + step / 2.0;
    for (const char* c = pattern; *c != '\0'; ++c) {
        if (*c == 'e') {
            const QPointF a = staff.Note(x, 4, 3.0, true);
            heads.push_back(
                QRectF(x - staff.Space(), staff.Y(5), 2 * staff.Space(), staff.Space()));
            const QPointF b = staff.Note(x + step, 4, 3.0, true);
            heads.push_back(
                QRectF(x + step - staff.Space(), staff.Y(5), 2 * staff.Space(), staff.Space()));
            staff.Beam(a, b, true);
            x += 2 * step;
        } else {
            staff.Note(x, 4, 3.0, true);
            heads.push_back(
                QRectF(x - staff.Space(), staff.Y(5), 2 * staff.Space(), staff.Space()));
            x += step;
        }
    }
    return heads;
}

void DrawContent(QPainter& p, ExerciseKind kind, double w, double h, QColor accent)
{
    const QColor ink(0x20, 0x20, 0x28);
    const bool large = w >= 40.0;
    const double space = h * 0.1;
    const double margin = w * 0.1;
    // The staff sits a little above the middle, leaving room below for a caption line.
    const double bottom = h * 0.5 + 2.2 * space;
    Staff staff(p, margin, w - margin, bottom, space, ink);
    // A rhythm's one line lies lower: its stems rise above it.
    Staff line(p, margin, w - margin, bottom + 1.6 * space, space, ink);
    switch (kind) {
    case ExerciseKind::ChordIdentification: {
        staff.Lines();
        double x = w * 0.58;
        if (large) {
            staff.Clef(margin + space * 0.2);
            x = w * 0.64;
        }
        for (int pos : {1, 3, 5, 7})
            staff.Head(x, pos, true);
        break;
    }
    case ExerciseKind::IntervalIdentification: {
        staff.Lines();
        const QRectF low = staff.Head(w * 0.3, 1, false);
        const QRectF high = staff.Head(w * 0.7, 7, false);
        // An arrow from the lower note up to the higher one: the step between them.
        const QPointF from = low.center() + QPointF(space * 1.3, -space * 0.5);
        const QPointF to = high.center() + QPointF(-space * 1.3, space * 0.5);
        const double pen = std::max(1.2, space * 0.3);
        p.setPen(QPen(accent, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawLine(from, to);
        const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
        const QPointF across(-along.y(), along.x());
        const double barb = space * 1.1;
        p.drawLine(to, to - along * barb + across * barb * 0.6);
        p.drawLine(to, to - along * barb - across * barb * 0.6);
        break;
    }
    case ExerciseKind::IntervalComparison: {
        staff.Lines();
        for (int pos : {2, 4})
            staff.Head(w * 0.27, pos, true);
        for (int pos : {1, 7})
            staff.Head(w * 0.73, pos, true);
        Text(p, QRectF(w * 0.38, staff.Y(9), w * 0.24, staff.Y(-1) - staff.Y(9)),
             QStringLiteral("?"), space * 4.2, accent);
        break;
    }
    case ExerciseKind::RhythmImitation: {
        line.Lines(1);
        Rhythm(line, margin, w - margin, "qeq");
        // An arrow bending back over the rhythm: play it back.
        QPainterPath arrow;
        const double y = line.Y(4) - 3.6 * space;
        arrow.moveTo(w * 0.78, y + space * 0.6);
        arrow.quadTo(w * 0.5, y - space * 2.0, w * 0.22, y + space * 0.6);
        p.setPen(QPen(accent, std::max(1.2, space * 0.35), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arrow);
        const QPointF tip(w * 0.22, y + space * 0.6);
        QPainterPath head;
        head.moveTo(tip + QPointF(-space * 0.5, -space * 1.1));
        head.lineTo(tip + QPointF(space * 0.4, space * 0.2));
        head.lineTo(tip + QPointF(space * 1.1, -space * 0.9));
        p.drawPath(head);
        break;
    }
    case ExerciseKind::RhythmReading: {
        line.Lines(1);
        const double signWidth = space * 2.6;
        Text(p, QRectF(margin - space * 0.4, line.Y(8) - space, signWidth, space * 3.2),
             QStringLiteral("4"), space * 3.0, ink);
        Text(p, QRectF(margin - space * 0.4, line.Y(4) - space * 0.2, signWidth, space * 3.2),
             QStringLiteral("4"), space * 3.0, ink);
        Rhythm(line, margin + signWidth, w - margin, "qe");
        break;
    }
    case ExerciseKind::RhythmErrorDetection: {
        line.Lines(1);
        const std::vector<QRectF> heads = Rhythm(line, margin, w - margin, "qqe");
        const QRectF wrong = heads[1];
        p.setPen(QPen(QColor(0xD0, 0x20, 0x20), std::max(1.2, space * 0.35)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(wrong.center() + QPointF(0, -space * 1.2), space * 1.6, space * 3.0);
        break;
    }
    case ExerciseKind::ChordInversions: {
        staff.Lines();
        const int chords[3][3] = {{0, 2, 4}, {2, 4, 7}, {4, 7, 9}};
        for (int i = 0; i < 3; ++i)
            for (int pos : chords[i])
                staff.Head(w * (0.25 + 0.25 * i), pos, true);
        break;
    }
    case ExerciseKind::Scales: {
        staff.Lines();
        for (int i = 0; i < 6; ++i)
            staff.Head(margin + space * 1.1 + i * (w - 2 * margin - space * 2.2) / 5.0, i, false);
        break;
    }
    case ExerciseKind::MelodyDictation: {
        staff.Lines();
        const double step = (w - 2 * margin) / 4.0;
        staff.Note(margin + step * 0.5, 3);
        const QPointF a = staff.Note(margin + step * 1.5, 6, 3.0);
        const QPointF b = staff.Note(margin + step * 2.2, 5, 3.0 - 0.5);
        staff.Beam(a, b, false);
        staff.Note(margin + step * 3.4, 2);
        break;
    }
    case ExerciseKind::ChordProgressions: {
        staff.Lines();
        // I IV V in G major: the chords move and their numerals say where.
        const int chords[3][3] = {{2, 4, 6}, {2, 5, 7}, {1, 3, 6}};
        const char* numerals[3] = {"I", "IV", "V"};
        for (int i = 0; i < 3; ++i) {
            const double x = margin + (w - 2 * margin) * (1.0 / 6.0 + i / 3.0);
            for (int pos : chords[i])
                staff.Head(x, pos, true);
            if (large)
                Text(p, QRectF(x - space * 2, staff.Y(-1), space * 4, space * 2.4),
                     QString::fromLatin1(numerals[i]), space * 1.8, accent);
        }
        break;
    }
    }
}

} // namespace

QPixmap KindPicture(ExerciseKind kind, QSize size)
{
    const QSize wanted = size.isValid() && !size.isEmpty() ? size : QSize(64, 64);
    QImage image(wanted, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const double w = wanted.width();
    const double h = wanted.height();
    const QColor accent = FamilyColour(FamilyOf(kind));
    // The tile: the family's colour as a frame round a pale wash of it.
    const double border = std::max(1.0, w / 32.0);
    const QRectF tile(border / 2, border / 2, w - border, h - border);
    QLinearGradient wash(0, 0, 0, h);
    wash.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    wash.setColorAt(1.0, accent.lighter(185));
    p.setPen(QPen(accent, border));
    p.setBrush(wash);
    p.drawRoundedRect(tile, w * 0.16, h * 0.16);
    DrawContent(p, kind, w, h, accent);
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace pv
