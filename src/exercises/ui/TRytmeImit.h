// The rhythm imitation window: the instruction line, the progress strip of count-in, bars and
// the user's turn, and the notation with the result of every note, around RytmeImitModel.
#pragma once

#include "exercises/rhythmexercise/RytmeImitModel.h"
#include "exercises/ui/RhythmPainter.h"
#include "exercises/ui/TRhythmWindow.h"

#include <functional>

class QFrame;

namespace pv {

class TRytmeImit : public TRhythmWindow
{
    Q_OBJECT

public:
    TRytmeImit(ExerciseSession& session, IExerciseHost* host, const UIStringTable& strings,
               IPrompts& prompts, IRandom* random = nullptr, QWidget* parent = nullptr);
    ~TRytmeImit() override;

    RytmeImitModel& Model() { return m_model; }
    const RytmeImitModel& Model() const { return m_model; }

    /// The base's texts, the instruction texts and the strip's cell names.
    std::vector<FormText> FormTexts() override;

    /// The names of the cells of the progress strip as painted: count-in, the bars, the turn.
    QStringList StripCellTexts() const;

    QFrame* Bevel6 = nullptr;
    QWidget* PaintBox1 = nullptr; ///< the progress strip
    QFrame* Bevel7 = nullptr;
    RhythmNotationView* ScrollBox1 = nullptr; ///< holds the notation (its paint box)

protected:
    void ShowModel() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class ImitStripBox;
    void PaintStrip(QPainter& painter, QSize size) const;
    void PaintNotation(QPainter& painter, QSize size);
    void LayOutNotation();

    RytmeImitModel m_model;
    RhythmPainter m_painter;
    int m_mirroredScrollY = 0; ///< the exercise's scroll position last brought to the view
};

} // namespace pv
