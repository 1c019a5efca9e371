// The rhythm error detection window: the written rhythm to click on, the changed rhythm shown
// after the check, the instruction and verdict line with its picture, around RytmeKorrModel.
#pragma once

#include "exercises/rhythmexercise/RytmeKorrModel.h"
#include "exercises/ui/TRhythmWindow.h"

#include <functional>

class QFrame;
class QLabel;

namespace pv {

class TRytmeKorr final : public TRhythmWindow
{
    Q_OBJECT

public:
    TRytmeKorr(ExerciseSession& session, IExerciseHost* host, const UIStringTable& strings,
               IPrompts& prompts, IRandom* random = nullptr, QWidget* parent = nullptr);
    ~TRytmeKorr() override;

    RytmeKorrModel& Model() { return m_model; }
    const RytmeKorrModel& Model() const { return m_model; }

    /// The base's texts, its labels and its three form texts.
    std::vector<FormText> FormTexts() override;

    QFrame* Bevel4 = nullptr;
    RhythmNotationView* ScrollBox1 = nullptr; ///< the written rhythm; clicks mark its notes
    RhythmNotationView* ScrollBox2 = nullptr; ///< the changed rhythm, after the check
    QLabel* Image13 = nullptr;                ///< the picture left of a right verdict
    QLabel* Label5 = nullptr;                 ///< the hint to click the changed notes
    QLabel* Label6 = nullptr;                 ///< caption of the written rhythm
    QLabel* Label7 = nullptr;                 ///< caption of the changed rhythm

protected:
    void ShowModel() override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Layout();
    void PaintWritten(QPainter& painter, QSize size);
    void PaintChanged(QPainter& painter, QSize size);

    RytmeKorrModel m_model;
};

} // namespace pv
