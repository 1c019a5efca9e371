// The report preview.
#include "shell/reports/ui/TPreviewer.h"

#include "music/strings/Format.h"
#include "shell/reports/ui/ReportPainter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

namespace {

QToolButton* Button(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                    const QString& text, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

} // namespace

TPreviewer::TPreviewer(QPrinter& printer, const UIStringTable& strings,
                       std::function<std::vector<ReportPage>(QPrinter&)> layOut,
                       std::function<void(int pageCount)> print, QWidget* parent)
    : QDialog(parent), m_strings(strings), m_layOut(std::move(layOut)), m_print(std::move(print))
{
    setObjectName(QStringLiteral("PreviewerForm"));
    setWindowTitle(strings.StrPreview);
    setSizeGripEnabled(true);
    resize(820, 900);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* menus = new QMenuBar(this);
    QMenu* file = menus->addMenu(strings.StrFile);
    file->setObjectName(QStringLiteral("File1"));
    QAction* printItem = file->addAction(strings.StrPrint);
    printItem->setObjectName(QStringLiteral("Print1"));
    QAction* closeItem = file->addAction(strings.StrClose);
    closeItem->setObjectName(QStringLiteral("Close1"));
    layout->setMenuBar(menus);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Panel1"));
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(4, 2, 4, 2);
    PrintButton = Button(bar, "SpeedButton1", QStyle::SP_DialogSaveButton, strings.StrPrint,
                         strings.StrPrint);
    PageWidthButton = Button(bar, "SpeedButton2", QStyle::SP_ToolBarHorizontalExtensionButton,
                             QStringLiteral("↔"), strings.StrPreviewHint1);
    FullSizeButton = Button(bar, "SpeedButton3", QStyle::SP_FileDialogContentsView,
                            QStringLiteral("100%"), strings.StrPreviewHint2);
    WholePageButton = Button(bar, "SpeedButton4", QStyle::SP_FileDialogDetailedView,
                             QStringLiteral("▢"), strings.StrPreviewHint3);
    FirstButton = Button(bar, "SpeedButton5", QStyle::SP_MediaSkipBackward, QStringLiteral("|<"),
                         strings.StrPreviewHint4);
    PreviousButton = Button(bar, "SpeedButton6", QStyle::SP_MediaSeekBackward, QStringLiteral("<"),
                            strings.StrPreviewHint5);
    NextButton = Button(bar, "SpeedButton7", QStyle::SP_MediaSeekForward, QStringLiteral(">"),
                        strings.StrPreviewHint6);
    LastButton = Button(bar, "SpeedButton8", QStyle::SP_MediaSkipForward, QStringLiteral(">|"),
                        strings.StrPreviewHint7);
    for (QToolButton* b : {PrintButton, PageWidthButton, FullSizeButton, WholePageButton,
                           FirstButton, PreviousButton, NextButton, LastButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addWidget(bar);

    RepPreview1 = new QPrintPreviewWidget(&printer, this);
    RepPreview1->setObjectName(QStringLiteral("RepPreview1"));
    layout->addWidget(RepPreview1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    m_status = new QLabel(StatusBar1);
    StatusBar1->addWidget(m_status, 1);
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setMaximumWidth(160);
    ProgressBar1->hide();
    StatusBar1->addPermanentWidget(ProgressBar1);
    layout->addWidget(StatusBar1);

    connect(RepPreview1, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* target) { PaintRequested(target); });
    connect(RepPreview1, &QPrintPreviewWidget::previewChanged, this, [this] { RefreshStatus(); });
    connect(PageWidthButton, &QToolButton::clicked, RepPreview1, &QPrintPreviewWidget::fitToWidth);
    connect(WholePageButton, &QToolButton::clicked, RepPreview1, &QPrintPreviewWidget::fitInView);
    connect(FullSizeButton, &QToolButton::clicked, this, [this] {
        RepPreview1->setZoomMode(QPrintPreviewWidget::CustomZoom);
        RepPreview1->setZoomFactor(1.0);
    });
    connect(FirstButton, &QToolButton::clicked, this, [this] {
        RepPreview1->setCurrentPage(1);
        RefreshStatus();
    });
    connect(PreviousButton, &QToolButton::clicked, this, [this] {
        if (CurrentPage() > 1)
            RepPreview1->setCurrentPage(CurrentPage() - 1);
        RefreshStatus();
    });
    connect(NextButton, &QToolButton::clicked, this, [this] {
        if (CurrentPage() < m_pageCount)
            RepPreview1->setCurrentPage(CurrentPage() + 1);
        RefreshStatus();
    });
    connect(LastButton, &QToolButton::clicked, this, [this] {
        RepPreview1->setCurrentPage(m_pageCount);
        RefreshStatus();
    });
    const auto printPages = [this] {
        if (m_print)
            m_print(m_pageCount);
    };
    connect(PrintButton, &QToolButton::clicked, this, printPages);
    connect(printItem, &QAction::triggered, this, printPages);
    connect(closeItem, &QAction::triggered, this, &QDialog::accept);
}

void TPreviewer::FormShow()
{
    m_pageCount = 0;
    RepPreview1->updatePreview();
    RepPreview1->setCurrentPage(1);
    RefreshStatus();
}

int TPreviewer::CurrentPage() const
{
    return RepPreview1->currentPage();
}

void TPreviewer::PaintRequested(QPrinter* printer)
{
    if (printer == nullptr || !m_layOut)
        return;
    const std::vector<ReportPage> pages = m_layOut(*printer);
    m_pageCount = static_cast<int>(pages.size());
    printer->setPrintRange(QPrinter::AllPages);
    PrintReportPages(*printer, pages, [this](int percent) { Progress(percent); });
}

void TPreviewer::Progress(int percent)
{
    ProgressBar1->setValue(percent);
    ProgressBar1->setVisible(percent < 100);
}

void TPreviewer::RefreshStatus()
{
    const int page = CurrentPage();
    m_status->setText(Format(m_strings.StrPreviewFormat, {static_cast<std::int64_t>(page),
                                                          static_cast<std::int64_t>(m_pageCount)}));
    FirstButton->setEnabled(page > 1);
    PreviousButton->setEnabled(page > 1);
    NextButton->setEnabled(page < m_pageCount);
    LastButton->setEnabled(page < m_pageCount);
}

} // namespace pv
