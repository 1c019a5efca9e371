// The report's pages on a printer.
#include "shell/reports/ui/ReportPainter.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace pv {

namespace {

QFont FontFor(ReportFont font, QPaintDevice* device)
{
    QFont f(QStringLiteral("Sans Serif"), -1);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(ReportFontSize(font));
    f.setBold(font == ReportFont::Title || font == ReportFont::Heading || font == ReportFont::Bold);
    return QFont(f, device);
}

void DrawPage(QPainter& painter, const ReportPage& page, double scale)
{
    QPen pen(Qt::black);
    pen.setWidthF(0.5 * scale);
    painter.setPen(pen);
    for (const ReportLineItem& line : page.Lines)
        painter.drawLine(QPointF(line.X1 * scale, line.Y1 * scale),
                         QPointF(line.X2 * scale, line.Y2 * scale));
    for (const ReportTextItem& item : page.Texts) {
        const QFont font = FontFor(item.Font, painter.device());
        painter.setFont(font);
        const QRectF box(item.X * scale, item.Y * scale, item.Width * scale, item.Height * scale);
        const QFontMetricsF metrics(font, painter.device());
        const QString text = metrics.elidedText(item.Text, Qt::ElideRight, box.width());
        Qt::Alignment align = Qt::AlignVCenter;
        switch (item.Align) {
        case ReportAlign::Left:
            align |= Qt::AlignLeft;
            break;
        case ReportAlign::Right:
            align |= Qt::AlignRight;
            break;
        case ReportAlign::Center:
            align |= Qt::AlignHCenter;
            break;
        }
        painter.drawText(box, align | Qt::TextSingleLine, text);
    }
}

} // namespace

std::vector<ReportPage> LayOutForPrinter(const QPrinter& printer, const Report& report,
                                         const QString& pageFormat, const QString& footnote)
{
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
    return LayOutReport(report, ReportPageSize{area.width(), area.height()}, pageFormat, footnote);
}

bool PrintReportPages(QPrinter& printer, const std::vector<ReportPage>& pages,
                      const std::function<void(int percent)>& progress)
{
    const int count = static_cast<int>(pages.size());
    int first = 1;
    int last = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // Points to the printer's pixels, from the top left of the printable area.
    const double scale = printer.resolution() / 72.0;
    const int total = std::max(1, (last - first + 1) * copies);
    int done = 0;
    bool firstPage = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (int p = first; p <= last; ++p) {
            if (!firstPage)
                printer.newPage();
            firstPage = false;
            DrawPage(painter, pages[static_cast<std::size_t>(p - 1)], scale);
            ++done;
            if (progress)
                progress(done * 100 / total);
        }
    }
    painter.end();
    if (progress)
        progress(100);
    return true;
}

} // namespace pv
