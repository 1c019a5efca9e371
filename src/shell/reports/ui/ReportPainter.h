// Drawing a report's pages on a printer: the printer of the preview, a real printer or a PDF
// file, all from the same page layout.
#pragma once

#include "shell/reports/ReportLayout.h"

#include <functional>

class QPrinter;

namespace pv {

/// The report laid out on the printer's printable area (in points).
std::vector<ReportPage> LayOutForPrinter(const QPrinter& printer, const Report& report,
                                         const QString& pageFormat, const QString& footnote);

/// Draws pages on printer: the page range the printer holds (all when none is set), as many
/// copies as it asks when it cannot make them itself. progress hears the percentage done.
/// False when the printer could not be opened.
bool PrintReportPages(QPrinter& printer, const std::vector<ReportPage>& pages,
                      const std::function<void(int percent)>& progress = {});

} // namespace pv
