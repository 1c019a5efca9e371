// The outline that follows the cursor while a bar is dragged or resized: a halftone ring on
// top of every window, so nothing moves until the button is released.
#pragma once

#include <QWidget>

namespace pv::docking {

class DragOutline final : public QWidget
{
public:
    DragOutline();
    /// Shows the ring of that thickness around r (screen coordinates); an empty r hides it.
    void ShowAt(const QRect& r, int thickness);
    int Thickness() const { return m_thickness; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_thickness = 1;
};

} // namespace pv::docking
