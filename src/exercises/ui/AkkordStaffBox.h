// The identification window's staff box: paints what AkkordStaff lays out and hands the mouse
// to its staff input.
#pragma once

#include "exercises/identification/AkkordStaff.h"
#include "music/ui/StaffPainter.h"

#include <QWidget>

namespace pv {

class TSheet;
struct UIStringTable;

class TAkkordStaffBox : public QWidget
{
    Q_OBJECT

public:
    /// model, sheet and strings must outlive the box.
    TAkkordStaffBox(AkkordModel& model, TSheet& sheet, const UIStringTable& strings,
                    QWidget* parent = nullptr);

    AkkordStaffInput& Input() { return m_input; }
    /// Shows the cursor of the model's entry tool (after a tool button was pressed).
    void ShowToolCursor();
    /// Applies what an input event asks of the box and tells the window.
    void Apply(const AkkordStaffInput::Effect& effect);
    /// The picture as the last paint laid it out.
    const AkkordStaffPicture& Picture() const { return m_picture; }
    /// Lays the picture out for the model's state now (a paint does the same).
    const AkkordStaffPicture& Layout();

    /// The label font's measure.
    static QSize MeasureLabel(const QString& text);

signals:
    /// Notes were held, moved, entered or removed: the other views show it.
    void Changed();
    /// The tool switched by a right click.
    void ToolChanged();
    /// Progressions: a click with the delete tool removes the column's chord.
    void ChordEntry(const pv::InstrumentEntry& entry);
    /// Progressions: the column's chord-quality button goes down.
    void AlterationChosen(int button);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetStaffCursor(StaffCursor cursor);

    AkkordModel& m_model;
    TSheet& m_sheet;
    const UIStringTable& m_strings;
    AkkordStaffInput m_input;
    AkkordStaffPicture m_picture;
    StaffPainter m_painter;
    StaffCursor m_shownCursor = StaffCursor::Arrow;
    bool m_cursorHidden = false;
};

} // namespace pv
