// The pages of a report as a display list: texts in boxes and lines, in points (1/72 inch)
// from the top left of the printable area, so the preview, the printer and a PDF file draw the
// same pages.
#pragma once

#include "shell/reports/ReportModel.h"

#include <vector>

#include <QString>

namespace pv {

enum class ReportFont
{
    Title,   ///< the report's title
    Heading, ///< a user's name, the scope
    Bold,    ///< a kind's title, the column titles, the totals
    Normal,  ///< the rows
    Small,   ///< the page footer
};

enum class ReportAlign
{
    Left,
    Right,
    Center,
};

/// A text drawn inside its box (cut with dots when it does not fit).
struct ReportTextItem
{
    double X = 0;
    double Y = 0;
    double Width = 0;
    double Height = 0;
    QString Text;
    ReportFont Font = ReportFont::Normal;
    ReportAlign Align = ReportAlign::Left;
};

struct ReportLineItem
{
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
};

struct ReportPage
{
    std::vector<ReportTextItem> Texts;
    std::vector<ReportLineItem> Lines;
};

/// The printable area in points.
struct ReportPageSize
{
    double Width = 523; ///< A4 less margins
    double Height = 770;
};

/// The line height of a font in points; the painter draws each font to fit it.
double ReportLineHeight(ReportFont font);
/// The font size in points the painter gives a font.
int ReportFontSize(ReportFont font);

/// Lays report out on pages of size. Every page ends with a footer made of pageFormat (as the
/// preview's status: page number and page count) and footnote at the left. Rows that do not
/// fit go to the next page under the user's name and the column titles again.
std::vector<ReportPage> LayOutReport(const Report& report, ReportPageSize size,
                                     const QString& pageFormat, const QString& footnote);

} // namespace pv
