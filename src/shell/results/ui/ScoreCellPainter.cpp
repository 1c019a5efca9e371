// Score cells.
#include "shell/results/ui/ScoreCellPainter.h"

#include <QFontMetrics>
#include <QPainter>

namespace pv {

void DrawScoreCell(QPainter& painter, int kind, std::uint16_t right, std::uint16_t asked,
                   const QRect& cell, bool withText)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const CellBox box{cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1};
    const ScoreCellPlan plan =
        PlanScoreCell(kind, right, asked, withText, box,
                      [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    painter.save();
    if (plan.ShowText) {
        painter.setPen(Qt::black);
        const int textTop = cell.top() + (cell.height() - metrics.height()) / 2;
        painter.drawText(QPoint(plan.TextLeft, textTop + metrics.ascent()), plan.Text);
    }
    if (plan.ShowBox) {
        const QRect frame(QPoint(plan.Box.Left, plan.Box.Top),
                          QPoint(plan.Box.Right - 1, plan.Box.Bottom - 1));
        painter.setPen(QColor(128, 128, 128));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        if (plan.ShowBar) {
            const QRect inside = frame.adjusted(1, 1, -1, -1);
            const QRect bar(inside.topLeft(), QPoint(plan.BarRight - 2, inside.bottom()));
            if (bar.width() > 0)
                painter.fillRect(bar, QColor(0, 0, 255));
            // The percentage reads white on the bar and blue on the rest.
            painter.setClipRect(bar);
            painter.setPen(Qt::white);
            painter.drawText(inside, Qt::AlignCenter, plan.PercentText);
            painter.setClipRect(QRect(QPoint(bar.right() + 1, inside.top()), inside.bottomRight()));
            painter.setPen(QColor(0, 0, 255));
            painter.drawText(inside, Qt::AlignCenter, plan.PercentText);
        }
    }
    painter.restore();
}

} // namespace pv
