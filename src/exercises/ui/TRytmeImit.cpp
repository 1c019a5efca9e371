// The rhythm imitation window.
#include "exercises/ui/TRytmeImit.h"

#include "exercises/base/ExerciseHost.h"
#include "exercises/ui/TControlButton.h"
#include "music/base/Contrast.h"
#include "music/strings/Format.h"

#include <algorithm>

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace pv {

namespace {

constexpr int kStripHeight = 40;
constexpr int kBevelMargin = 3;
constexpr int kTextLeft = 5;
constexpr int kSignatureWidth = 15;

// The strip's cells: count-in, the bars, the user's turn; bright when current, dark otherwise.
// Their texts take the ink that reads best on each.
const QColor kCountInCurrent(0xFF, 0x00, 0x00);
const QColor kCountIn(0x80, 0x00, 0x00);
const QColor kBarCurrent(0xFF, 0xFF, 0x00);
const QColor kBar(0x80, 0x80, 0x00);
const QColor kTurnCurrent(0x00, 0xFF, 0x00);
const QColor kTurn(0x00, 0x80, 0x00);

} // namespace

/// The progress strip's paint box.
class ImitStripBox final : public QWidget
{
public:
    ImitStripBox(QWidget* parent, const TRytmeImit& window) : QWidget(parent), m_window(window) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_window.PaintStrip(painter, size());
    }

private:
    const TRytmeImit& m_window;
};

TRytmeImit::TRytmeImit(ExerciseSession& session, IExerciseHost* host, const UIStringTable& strings,
                       IPrompts& prompts, IRandom* random, QWidget* parent)
    : TRhythmWindow(session, host, strings, prompts, random, parent),
      m_model(Session(), ControlButtons->Model(), strings, Random(), Prompts())
{
    ControlStripModel& strip = ControlButtons->Model();
    strip.Captions = {QStringLiteral("New question"), QStringLiteral("Listen again"),
                      QStringLiteral("Play back"), QStringLiteral("Show notation"),
                      QStringLiteral("Stop")};
    strip.ButtonEnabled = {true, false, false, false, false};
    strip.FocusIndex = 0;
    Klap->setText(QStringLiteral("Tap"));

    Bevel6 = new QFrame(this);
    Bevel6->setObjectName(QStringLiteral("Bevel6"));
    Bevel6->setFrameShape(QFrame::Panel);
    Bevel6->setFrameShadow(QFrame::Sunken);
    PaintBox1 = new ImitStripBox(this, *this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));

    Bevel7 = new QFrame(this);
    Bevel7->setObjectName(QStringLiteral("Bevel7"));
    Bevel7->setFrameShape(QFrame::Panel);
    Bevel7->setFrameShadow(QFrame::Sunken);
    ScrollBox1 = new RhythmNotationView(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->SetPainter([this](QPainter& painter, QSize size) { PaintNotation(painter, size); });
    Bevel7->hide();
    ScrollBox1->hide();

    SetRhythmModel(m_model);
    resize(640, 420);
    ShowModel();
}

TRytmeImit::~TRytmeImit() = default;

std::vector<TRhythmWindow::FormText> TRytmeImit::FormTexts()
{
    std::vector<FormText> texts = TRhythmWindow::FormTexts();
    const auto text = [&](const char* name, QString RytmeImitTexts::*field) {
        texts.emplace_back(QLatin1String(name), [this, field](const QString& value) {
            m_model.Texts.*field = value;
            ShowModel();
        });
    };
    text("RepeatText", &RytmeImitTexts::Playing);
    text("MetronomeText", &RytmeImitTexts::Metronome);
    text("TurnText", &RytmeImitTexts::Turn);
    text("CountInCell", &RytmeImitTexts::CountInCell);
    text("BarCellFormat", &RytmeImitTexts::BarCellFormat);
    text("TurnCell", &RytmeImitTexts::TurnCell);
    return texts;
}

QStringList TRytmeImit::StripCellTexts() const
{
    QStringList texts{m_model.Texts.CountInCell};
    for (int bar = 1; bar <= m_model.Rytme().Bars; ++bar)
        texts.push_back(Format(m_model.Texts.BarCellFormat, {std::int64_t{bar}}));
    texts.push_back(m_model.Texts.TurnCell);
    return texts;
}

void TRytmeImit::ShowModel()
{
    TRhythmWindow::ShowModel();
    PaintBox1->setVisible(m_model.StripShown);
    PaintBox1->update();
    const bool notationShown = m_model.NotationShown;
    if (notationShown != ScrollBox1->isVisible()) {
        Bevel7->setVisible(notationShown);
        ScrollBox1->setVisible(notationShown);
    }
    if (notationShown) {
        LayOutNotation();
        // Only a move of the exercise's own scrolls the view: where the user scrolled to stays.
        if (m_model.ScrollY != m_mirroredScrollY)
            ScrollBox1->SetScrollY(m_model.ScrollY);
        ScrollBox1->PaintBox()->update();
    }
    m_mirroredScrollY = m_model.ScrollY;
}

void TRytmeImit::LayOutNotation()
{
    const int width = ScrollBox1->viewport()->width();
    const RhythmDisplayList drawing =
        m_model.Rytme().Draw(0, width, m_model.Settings().NotationSpacing);
    if (drawing.Height)
        ScrollBox1->SetDrawingHeight(*drawing.Height);
}

void TRytmeImit::PaintNotation(QPainter& painter, QSize size)
{
    RytmeImitModel& model = m_model;
    const RhythmDisplayList drawing =
        model.Rytme().Draw(0, size.width(), model.Settings().NotationSpacing);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    m_painter.Paint(painter, drawing);
    if (model.Answered())
        m_painter.Paint(painter, model.Rytme().DrawResultMarks());
    m_painter.Paint(painter, model.Rytme().MarkBar(model.MarkedBar[0], 0, size.width()));
}

void TRytmeImit::PaintStrip(QPainter& painter, QSize size) const
{
    const QStringList texts = StripCellTexts();
    const int cells = static_cast<int>(texts.size());
    const int cellWidth = std::max(1, size.width() / cells);
    const int textHeight = painter.fontMetrics().height();
    const int textY = (size.height() - textHeight) / 2 + painter.fontMetrics().ascent();
    for (int cell = 1; cell <= cells; ++cell) {
        const bool current = cell == m_model.Phase;
        QColor colour = current ? kBarCurrent : kBar;
        if (cell == 1)
            colour = current ? kCountInCurrent : kCountIn;
        else if (cell == cells)
            colour = current ? kTurnCurrent : kTurn;
        const int x = (cell - 1) * cellWidth;
        painter.setBrush(colour);
        if (current) {
            painter.setPen(QPen(Qt::black, 1));
            painter.drawRect(x, 0, cellWidth - 1, size.height() - 2);
        } else {
            painter.setPen(Qt::NoPen);
            painter.drawRect(x, 0, cellWidth, size.height());
        }
        int textX = x + kTextLeft;
        // Black reads on the bright current cell, but all but vanishes on the dark ones.
        painter.setPen(QColor::fromRgb(static_cast<QRgb>(ReadableInkOn(colour.rgb() & 0xFFFFFFu))));
        if (cell == 1) {
            // The time signature, stacked, before the count-in's name.
            const TimeSignatureRow& row = m_model.Rytme().CurrentRow();
            QFont small = painter.font();
            const QFont normal = small;
            small.setBold(true);
            small.setPixelSize(std::max(8, size.height() / 2 - 4));
            painter.setFont(small);
            const QRect top(x + 2, 3, kSignatureWidth, size.height() / 2 - 3);
            const QRect bottom(x + 2, size.height() / 2, kSignatureWidth, size.height() / 2 - 3);
            painter.drawText(top, Qt::AlignCenter, QString::number(row.Numerator));
            painter.drawText(bottom, Qt::AlignCenter, QString::number(row.Denominator));
            painter.setFont(normal);
            textX += kSignatureWidth + kTextLeft;
        }
        painter.drawText(textX, textY, texts[cell - 1]);
    }
}

void TRytmeImit::resizeEvent(QResizeEvent* event)
{
    TRhythmWindow::resizeEvent(event);
    const int w = width();
    const int h = height();
    Label4->setGeometry(7, 56, std::max(0, w - 14), 30);
    Bevel6->setGeometry(7, 90, std::max(0, w - 14), kStripHeight + 2 * kBevelMargin);
    PaintBox1->setGeometry(7 + kBevelMargin, 90 + kBevelMargin, std::max(0, w - 20), kStripHeight);
    const int notationTop = 90 + kStripHeight + 2 * kBevelMargin + 6;
    const int bevelHeight = std::max(0, h - notationTop - 5);
    Bevel7->setGeometry(7, notationTop, std::max(0, w - 14), bevelHeight);
    ScrollBox1->setGeometry(10, notationTop + 4, std::max(0, w - 21), std::max(0, bevelHeight - 8));
    Klap->setGeometry(7, notationTop, 75, 25);
    // Beside the instruction line: the control strip may fill the top row.
    SpeedButton10->setGeometry(w - 6 - 24, 58, 24, 24);
    if (ScrollBox1->isVisible())
        LayOutNotation();
}

} // namespace pv
