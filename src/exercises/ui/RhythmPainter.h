// Paints a rhythm drawing's display list with Qt: lines and beams as strokes, notes, rests and
// flags from Noto Music, ties as arcs and the result marks as small pictures.
#pragma once

#include "exercises/rhythm/RhythmLayout.h"

#include <initializer_list>

#include <QColor>
#include <QImage>
#include <QSize>

class QPainter;

namespace pv {

class RhythmPainter
{
public:
    /// Paints one list; a full drawing first fills its area with the background.
    void Paint(QPainter& painter, const RhythmDisplayList& list) const;

    /// The lists painted one over the other on a new image of the given size.
    QImage Render(std::initializer_list<const RhythmDisplayList*> layers, QSize size) const;

    void SetBackground(const QColor& colour) { m_background = colour; }

private:
    void PaintGlyph(QPainter& painter, const RhythmGlyphItem& item) const;
    void PaintResultMark(QPainter& painter, const RhythmGlyphItem& item) const;

    QColor m_background = Qt::white;
    QColor m_ink = Qt::black;
};

} // namespace pv
