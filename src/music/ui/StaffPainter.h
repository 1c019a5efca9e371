// Paints a grand staff's display list with Qt: lines as lines, music symbols from Noto Music.
#pragma once

#include "music/staff/StaffDisplayList.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

class QPainter;

namespace pv {

/// Draws what a sheet laid out. Glyphs come from the Noto Music font, sized so that four staff
/// spaces make one em (the font's own staff), and are aligned to the display list's points.
class StaffPainter
{
public:
    /// Whether the music font was found; without it the symbols are drawn with a fallback font.
    static bool MusicFontAvailable();

    /// Paints the list; the area it covers is first filled with the background.
    void Paint(QPainter& painter, const StaffDisplayList& list) const;

    /// The list painted on a new image of the given size (white outside the list's area too).
    QImage Render(const StaffDisplayList& list, QSize size) const;

    void SetBackground(const QColor& colour) { m_background = colour; }
    void SetInk(const QColor& colour) { m_ink = colour; }

private:
    QColor m_background = Qt::white;
    QColor m_ink = Qt::black;
};

} // namespace pv
