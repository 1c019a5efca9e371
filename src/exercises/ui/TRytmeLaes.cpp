// The rhythm reading window.
#include "exercises/ui/TRytmeLaes.h"

#include "exercises/base/ExerciseHost.h"
#include "exercises/ui/TControlButton.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolButton>

namespace pv {

namespace {

constexpr int kMargin = 7;
constexpr int kLabelTop = 58;
constexpr int kLabelHeight = 30;
constexpr int kTipSize = 24;
constexpr int kBevelTop = kLabelTop + kLabelHeight + 4;

} // namespace

TRytmeLaes::TRytmeLaes(ExerciseSession& session, IExerciseHost* host, const UIStringTable& strings,
                       IPrompts& prompts, IRandom* random, QWidget* parent)
    : TRhythmWindow(session, host, strings, prompts, random, parent),
      m_model(Session(), ControlButtons->Model(), strings, Random(), prompts)
{
    Bevel4 = new QFrame(this);
    Bevel4->setObjectName(QStringLiteral("Bevel4"));
    Bevel4->setFrameShape(QFrame::Panel);
    Bevel4->setFrameShadow(QFrame::Sunken);

    ScrollBox1 = new RhythmNotationView(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->PaintBox()->setObjectName(QStringLiteral("PaintBox1"));
    // A fixed scroll bar keeps the drawing's width, so a long rhythm never wraps differently
    // once it needs scrolling.
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBox1->SetPainter([this](QPainter& painter, QSize size) { PaintNotation(painter, size); });

    // The model follows the view wherever it goes (by hand, or held at its end), so a mirror
    // never snaps a notation the user scrolled back.
    connect(ScrollBox1->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { m_model.ScrollY = value; });

    SetRhythmModel(m_model);
    ShowModel();
}

TRytmeLaes::~TRytmeLaes() = default;

std::vector<TRhythmWindow::FormText> TRytmeLaes::FormTexts()
{
    std::vector<FormText> texts = TRhythmWindow::FormTexts();
    texts.emplace_back(QStringLiteral("TurnText"), [this](const QString& text) {
        m_model.TurnText = text;
        ShowModel();
    });
    return texts;
}

void TRytmeLaes::ShowModel()
{
    TRhythmWindow::ShowModel();
    // Every mirror lays the rhythm out afresh at the box's width: the bar lines it finds are
    // what the scrolling follows.
    QWidget* box = ScrollBox1->PaintBox();
    m_drawing = m_model.Rytme().Draw(0, box->width(), m_model.Settings().NotationSpacing);
    if (m_drawing.Height)
        ScrollBox1->SetDrawingHeight(*m_drawing.Height);
    m_model.ScrollLimit = ScrollBox1->verticalScrollBar()->maximum();
    if (ScrollBox1->ScrollY() != m_model.ScrollY)
        ScrollBox1->SetScrollY(m_model.ScrollY);
    box->update();
}

void TRytmeLaes::PaintNotation(QPainter& painter, QSize size)
{
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    m_painter.Paint(painter, m_drawing);
    const int bar = m_model.MarkedBar[0];
    if (bar > 0)
        m_painter.Paint(painter, m_model.Rytme().MarkBar(bar, 0, size.width()));
    if (Session().Answered)
        m_painter.Paint(painter, m_model.Rytme().DrawResultMarks());
}

void TRytmeLaes::resizeEvent(QResizeEvent* event)
{
    TRhythmWindow::resizeEvent(event);
    const int w = width();
    const int h = height();
    Label4->setGeometry(kMargin, kLabelTop, std::max(0, w - 14 - kTipSize), kLabelHeight);
    const int bevelHeight = std::max(0, h - 10 - kBevelTop);
    Bevel4->setGeometry(kMargin, kBevelTop, std::max(0, w - 14), bevelHeight);
    ScrollBox1->setGeometry(kMargin + 3, kBevelTop + 4, std::max(0, w - 21),
                            std::max(0, bevelHeight - 8));
    // Beside the instruction line: the control strip may fill the window's width.
    SpeedButton10->setGeometry(w - 6 - kTipSize, kLabelTop + 3, kTipSize, kTipSize);
    ShowModel();
}

} // namespace pv
