// Painting and mouse of the note-range picker.
#include "music/ui/TRangeBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace pv {

namespace {

const QColor kMarkerRed(220, 0, 0);
const QColor kMarkerYellow(255, 230, 0);
const QColor kNeck(116, 78, 20);
const QColor kFretGold(221, 181, 85);

Qt::CursorShape ShapeOf(RangeCursor cursor)
{
    switch (cursor) {
    case RangeCursor::SizeHorizontal:
        return Qt::SizeHorCursor;
    case RangeCursor::SizeVertical:
        return Qt::SizeVerCursor;
    case RangeCursor::SizeAll:
        return Qt::SizeAllCursor;
    case RangeCursor::Default:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

TRangeBox::TRangeBox(RangePicker& picker, QWidget* parent) : QWidget(parent), m_picker(picker)
{
    setObjectName(QStringLiteral("PaintBox1"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetView(RangeView::Staff);
}

void TRangeBox::SetView(RangeView view)
{
    m_view = view;
    setFixedSize(sizeHint());
    update();
}

QSize TRangeBox::sizeHint() const
{
    switch (m_view) {
    case RangeView::Piano:
        return {kRangePianoWidth, kRangePianoHeight};
    case RangeView::Guitar:
        return {kRangeGuitarWidth, kRangeGuitarHeight};
    case RangeView::Staff:
        break;
    }
    return {kRangeStaffWidth, kRangeStaffHeight};
}

void TRangeBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    // The picture shows only what it can: the corrections change the markers themselves.
    if (m_picker.CorrectForView(m_view))
        emit RangeChanged();
    switch (m_view) {
    case RangeView::Piano:
        PaintPiano(p);
        break;
    case RangeView::Guitar:
        PaintGuitar(p);
        break;
    case RangeView::Staff:
        PaintStaff(p);
        break;
    }
}

void TRangeBox::PaintPiano(QPainter& p)
{
    const RangePianoPicture picture = PianoRangePicture(m_picker.LowNote(), m_picker.HighNote());
    for (const RangePianoPicture::Key& key : picture.Keys) {
        if (key.Black) {
            p.setPen(QPen(QColor(70, 70, 70), 1));
            p.setBrush(QColor(20, 20, 20));
            p.drawRect(key.Rect.adjusted(1, 0, -1, -1));
        } else {
            p.setPen(QPen(QColor(110, 110, 110), 1));
            p.setBrush(QColor(252, 250, 244));
            p.drawRect(key.Rect.adjusted(0, 0, -1, -1));
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kMarkerRed);
    for (const QRect& dot : picture.Dots)
        p.drawEllipse(dot);
}

void TRangeBox::PaintGuitar(QPainter& p)
{
    const RangeGuitarPicture picture = GuitarRangePicture(m_picker.LowNote(), m_picker.HighNote());
    p.fillRect(QRect(0, 0, kRangeGuitarWidth, kRangeGuitarHeight), kNeck);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(picture.FretX.front(), 0, picture.FretX.front(), kRangeGuitarHeight);
    p.setPen(QPen(kFretGold, 1));
    for (std::size_t f = 1; f < picture.FretX.size(); ++f)
        p.drawLine(picture.FretX[f], 0, picture.FretX[f], kRangeGuitarHeight);
    for (std::size_t s = 0; s < picture.StringY.size(); ++s) {
        p.setPen(QPen(QColor(200, 200, 200), s < 3 ? 1 : 2));
        p.drawLine(0, picture.StringY[s], kRangeGuitarWidth, picture.StringY[s]);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kMarkerYellow);
    for (const GuitarRangeDot& dot : picture.Dots)
        p.drawEllipse(QRect(dot.At, QSize(kRangeGuitarDotSize + 1, kRangeGuitarDotSize + 1)));
}

void TRangeBox::PaintStaff(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    m_painter.Paint(p, m_picker.DrawRangeOnStaff(width()));
}

void TRangeBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    m_picker.RangeMouseDown(event->button() == Qt::LeftButton, at.x(), at.y(), m_view);
}

void TRangeBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const RangePicker::MoveEffect effect = m_picker.RangeMouseMove(at.x(), at.y(), m_view);
    if (effect.Cursor)
        setCursor(ShapeOf(*effect.Cursor));
    if (effect.Repaint) {
        update();
        emit RangeChanged();
    }
}

void TRangeBox::mouseReleaseEvent(QMouseEvent* event)
{
    m_picker.RangeMouseUp(event->button() == Qt::LeftButton);
}

} // namespace pv
