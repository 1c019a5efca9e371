// The report preview: the pages of the prepared report in Qt's print preview, with buttons to
// zoom, to go from page to page and to print, a status line and a progress bar.
#pragma once

#include "shell/reports/ReportLayout.h"

#include <functional>

#include <QDialog>

class QAction;
class QLabel;
class QMenuBar;
class QPrinter;
class QPrintPreviewWidget;
class QProgressBar;
class QStatusBar;
class QToolButton;

namespace pv {

class TPreviewer final : public QDialog
{
    Q_OBJECT

public:
    /// The pages come from layOut for the printer the preview shows on; print runs the
    /// report's printing from page 1 to the page count. printer and strings must outlive it.
    TPreviewer(QPrinter& printer, const UIStringTable& strings,
               std::function<std::vector<ReportPage>(QPrinter&)> layOut,
               std::function<void(int pageCount)> print, QWidget* parent = nullptr);

    /// Starts on a new report: no pages until they are drawn, then page 1.
    void FormShow();
    int PageCount() const { return m_pageCount; }
    int CurrentPage() const;
    /// The status line: "page n of m" and which buttons can move.
    void RefreshStatus();

    QPrintPreviewWidget* RepPreview1 = nullptr;
    QToolButton* PrintButton = nullptr;
    QToolButton* PageWidthButton = nullptr;
    QToolButton* FullSizeButton = nullptr;
    QToolButton* WholePageButton = nullptr;
    QToolButton* FirstButton = nullptr;
    QToolButton* PreviousButton = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* LastButton = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

private:
    void PaintRequested(QPrinter* printer);
    void Progress(int percent);

    const UIStringTable& m_strings;
    std::function<std::vector<ReportPage>(QPrinter&)> m_layOut;
    std::function<void(int)> m_print;
    QLabel* m_status = nullptr;
    int m_pageCount = 0;
};

} // namespace pv
