// The note-range picker's picture: paints the piano, guitar or staff with the two markers and
// hands the mouse to the picker.
#pragma once

#include "music/staff/RangePicker.h"
#include "music/ui/StaffPainter.h"

#include <functional>

#include <QWidget>

namespace pv {

class TRangeBox : public QWidget
{
    Q_OBJECT

public:
    /// picker must outlive the box.
    explicit TRangeBox(RangePicker& picker, QWidget* parent = nullptr);

    /// The picture shown; the box takes the picture's size.
    void SetView(RangeView view);
    RangeView View() const { return m_view; }

    QSize sizeHint() const override;

signals:
    /// A marker was dragged to another note.
    void RangeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintPiano(QPainter& p);
    void PaintGuitar(QPainter& p);
    void PaintStaff(QPainter& p);

    RangePicker& m_picker;
    RangeView m_view = RangeView::Staff;
    StaffPainter m_painter;
};

} // namespace pv
