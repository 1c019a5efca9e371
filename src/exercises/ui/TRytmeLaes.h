// The rhythm reading window: the rhythm in notation, always shown, with the bar being played
// underlined and scrolled into view, and every note's result under it after a performance.
#pragma once

#include "exercises/rhythm/RhythmLayout.h"
#include "exercises/rhythmexercise/RytmeLaesModel.h"
#include "exercises/ui/RhythmPainter.h"
#include "exercises/ui/TRhythmWindow.h"

class QFrame;

namespace pv {

class TRytmeLaes final : public TRhythmWindow
{
    Q_OBJECT

public:
    TRytmeLaes(ExerciseSession& session, IExerciseHost* host, const UIStringTable& strings,
               IPrompts& prompts, IRandom* random = nullptr, QWidget* parent = nullptr);
    ~TRytmeLaes() override;

    RytmeLaesModel& Model() { return m_model; }
    const RytmeLaesModel& Model() const { return m_model; }

    /// Also switches the main window's automatic question on exactly when it is asked for and
    /// Adds the text of the user's turn ("TurnText").
    std::vector<FormText> FormTexts() override;

    QFrame* Bevel4 = nullptr;
    RhythmNotationView* ScrollBox1 = nullptr; ///< holds PaintBox1, the notation

protected:
    void ShowModel() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PaintNotation(QPainter& painter, QSize size);

    RytmeLaesModel m_model;
    RhythmPainter m_painter;
    RhythmDisplayList m_drawing;
};

} // namespace pv
