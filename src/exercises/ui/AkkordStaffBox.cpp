#include "exercises/ui/AkkordStaffBox.h"

#include "music/staff/Sheet.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace pv {

namespace {

QFont LabelFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(10);
    return font;
}

QColor Ink(std::uint32_t rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

Qt::CursorShape ShapeOf(StaffCursor cursor)
{
    switch (cursor) {
    case StaffCursor::Add:
        return Qt::CrossCursor;
    case StaffCursor::AddHalf:
        return Qt::UpArrowCursor;
    case StaffCursor::AddWhole:
        return Qt::SizeVerCursor;
    case StaffCursor::Delete:
        return Qt::ForbiddenCursor;
    case StaffCursor::Tonic:
        return Qt::PointingHandCursor;
    case StaffCursor::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

void PaintLabel(QPainter& p, const StaffLabel& label)
{
    const QColor ink = Ink(label.Rgb);
    p.setPen(QPen(ink, 2));
    p.setBrush(Qt::white);
    p.drawRect(label.Frame);
    const QFontMetrics metrics(p.font());
    p.drawText(label.FirstAt.x(), label.FirstAt.y() + metrics.ascent(), label.First);
    if (!label.Second.isEmpty()) {
        p.drawText(label.SecondAt.x(), label.SecondAt.y() + metrics.ascent(), label.Second);
    }
}

} // namespace

TAkkordStaffBox::TAkkordStaffBox(AkkordModel& model, TSheet& sheet, const UIStringTable& strings,
                                 QWidget* parent)
    : QWidget(parent), m_model(model), m_sheet(sheet), m_strings(strings), m_input(model, sheet)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    ShowToolCursor();
}

QSize TAkkordStaffBox::MeasureLabel(const QString& text)
{
    const QFontMetrics metrics(LabelFont());
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void TAkkordStaffBox::SetStaffCursor(StaffCursor cursor)
{
    m_shownCursor = cursor;
    if (!m_cursorHidden) {
        setCursor(ShapeOf(cursor));
    }
}

void TAkkordStaffBox::ShowToolCursor()
{
    SetStaffCursor(m_input.ToolCursor());
}

void TAkkordStaffBox::Apply(const AkkordStaffInput::Effect& effect)
{
    if (effect.HideCursor) {
        m_cursorHidden = true;
        setCursor(Qt::BlankCursor);
    }
    if (effect.ShowCursor) {
        m_cursorHidden = false;
        setCursor(ShapeOf(m_shownCursor));
    }
    if (effect.Cursor) {
        SetStaffCursor(*effect.Cursor);
    }
    if (effect.ToolChanged) {
        emit ToolChanged();
    }
    if (effect.AlterationButton) {
        emit AlterationChosen(*effect.AlterationButton);
    }
    if (effect.Chord) {
        emit ChordEntry(*effect.Chord);
    }
    if (effect.Repaint) {
        update();
        emit Changed();
    }
}

const AkkordStaffPicture& TAkkordStaffBox::Layout()
{
    m_sheet.SetControlSize(width(), height());
    m_picture = DrawAkkordStaff(m_model, m_sheet, m_strings, &MeasureLabel);
    m_input.SetColumns(m_picture.Columns);
    return m_picture;
}

void TAkkordStaffBox::resizeEvent(QResizeEvent* event)
{
    m_sheet.SetControlSize(width(), height());
    QWidget::resizeEvent(event);
}

void TAkkordStaffBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const AkkordStaffPicture& picture = Layout();
    if (picture.Compact) {
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        for (const QLine& line : picture.GridLines) {
            p.drawLine(line);
        }
    } else {
        m_painter.Paint(p, picture.Staff);
    }
    if (!picture.StepSizes.Empty()) {
        m_painter.Paint(p, picture.StepSizes);
    }
    if (!picture.Preview.Empty()) {
        StaffPainter preview;
        preview.SetInk(QColor(0, 0, 160));
        preview.Paint(p, picture.Preview);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(LabelFont());
    for (const StaffLabel& label : picture.Labels) {
        PaintLabel(p, label);
    }
    if (picture.SelectionMark) {
        const QRect& r = *picture.SelectionMark;
        const QPoint tip = picture.MarkPointsUp ? QPoint(r.center().x(), r.top())
                                                : QPoint(r.center().x(), r.bottom());
        const int base = picture.MarkPointsUp ? r.bottom() : r.top();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPolygon(
            QPolygon({tip, QPoint(r.center().x() - 7, base), QPoint(r.center().x() + 7, base)}));
    }
}

void TAkkordStaffBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    // The hit tests read the heads and columns where the model's state puts them now.
    Layout();
    Apply(m_input.MouseDown(event->button(), at.x(), at.y()));
}

void TAkkordStaffBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Apply(m_input.MouseMove(event->buttons().testFlag(Qt::LeftButton), at.x(), at.y()));
}

void TAkkordStaffBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Apply(m_input.MouseUp(event->button(), at.x(), at.y()));
}

} // namespace pv
