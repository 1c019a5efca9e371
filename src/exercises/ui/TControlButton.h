// The owner-drawn strip of the five control buttons of an exercise window, bound to F5..F9.
// The strip's state lives in its own ControlStripModel; the widget paints it and feeds it the
// mouse and focus events.
#pragma once

#include "exercises/base/ControlStripModel.h"

#include <QImage>
#include <QWidget>

namespace pv {

class IExerciseHost;

class TControlButton : public QWidget
{
    Q_OBJECT

public:
    /// Size of one button face; a cell is the face and a 3-pixel gap.
    static constexpr int kFaceWidth = 125;
    static constexpr int kFaceHeight = 42;
    static constexpr int kCellWidth = kFaceWidth + 3;

    explicit TControlButton(QWidget* parent = nullptr);

    /// The main window, for the font size and the clock's repaint; may stay unset.
    void SetHost(IExerciseHost* host) { m_host = host; }

    /// The strip's state: captions, enabled buttons, the pressed, hot and focus marks. Whoever
    /// changes it asks for a repaint (update() or repaint()).
    ControlStripModel& Model() { return m_model; }
    const ControlStripModel& Model() const { return m_model; }

    /// Holds button i down when it exists and is enabled, and repaints.
    void Press(int i);
    /// Puts the focus mark on button i and takes the keyboard focus.
    void SetFocusIndex(int i);
    /// The button under a point of the strip, -1 for none.
    int HitTest(int x, int y);

    /// The strip as painted now (what the screen shows).
    QImage Render() const;

signals:
    void StripMouseDown(Qt::MouseButton button, int x, int y);
    void StripMouseUp(Qt::MouseButton button, int x, int y);
    void StripMouseMove(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void PaintInto(QImage& image) const;
    int CaptionFontSize() const;

    ControlStripModel m_model;
    IExerciseHost* m_host = nullptr;
    QImage m_bitmap; ///< the last painted strip, read by the hit test
};

} // namespace pv
