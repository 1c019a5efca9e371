// The visual metronome: a swinging pendulum over one box per beat of the bar.
#pragma once

#include "shell/metronome/MetronomeControls.h"

#include <QWidget>

class QPainter;

namespace pv {

/// Draws picture into a box of size with the button-face colour behind it.
void DrawMetronome(QPainter& painter, QSize size, const QColor& face, int beat, int beatsPerBar,
                   int swing);

class MetronomePaintBox final : public QWidget
{
public:
    explicit MetronomePaintBox(QWidget* parent = nullptr);

    /// Shows beat (0: none lit) of beatsPerBar (0: no boxes); a lit beat swings the pendulum.
    void PaintMetronome(int beat, int beatsPerBar);
    /// The pendulum at rest and no boxes.
    void PaintBox2Paint() { PaintMetronome(0, 0); }

    int Beat() const { return m_beat; }
    int BeatsPerBar() const { return m_beatsPerBar; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_beat = 0;
    int m_beatsPerBar = 0;
    int m_shownSwing = kPendulumLeft; ///< the picture of the beat shown now
    int m_nextSwing = kPendulumLeft;  ///< the paint box's tag: the next lit beat's picture
};

} // namespace pv
