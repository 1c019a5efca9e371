// The interval comparison window: the control strip, the two big answer buttons A and B on
// panels that light while their interval plays and show the result, and the result text. Its
// rules live in its IntervalSamModel; the window mirrors them into its widgets.
#pragma once

#include "exercises/comparison/IntervalSamModel.h"
#include "exercises/ui/TExerciseBaseClass.h"

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace pv {

struct ExerciseSetup;
struct ItemTables;
struct UIStringTable;
class TMidiOut;

class TIntervalSam : public TExerciseBaseClass
{
    Q_OBJECT

public:
    /// session is the interval comparison's and strings are the interface texts; both must
    /// outlive the window.
    TIntervalSam(ExerciseSession& session, IExerciseHost* host, const UIStringTable& strings,
                 QWidget* parent = nullptr);
    ~TIntervalSam() override;

    IntervalSamModel& Model() { return m_model; }
    const IntervalSamModel& Model() const { return m_model; }

    /// Takes the setup's interval comparison block; reset also clears the counters.
    void SetupIntervalCompare(const ExerciseSetup& setup, const ItemTables& items,
                              const ComparisonSettings& settings, bool reset);
    /// The MIDI output the window plays through; without one it plays nothing. midiOut must
    /// outlive the window.
    void SetMidiOut(TMidiOut& midiOut);
    /// The result panel's blink timer (200 ms).
    QTimer* BlinkTimer() const { return m_blinkTimer; }

    // The window's parts, by the names the rest of the exercise knows them by.
    QFrame* Panel4 = nullptr;       ///< the centred frame of everything below the strip
    QFrame* Panel1 = nullptr;       ///< behind A: lights while A plays, then A's result
    QFrame* Panel2 = nullptr;       ///< the same for B
    QPushButton* Button1 = nullptr; ///< "A"
    QPushButton* Button2 = nullptr; ///< "B"
    QLabel* Label1 = nullptr;       ///< question and result text
    QLabel* Image13 = nullptr;      ///< the "right" picture

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Answer(CompareChoice choice);
    void Timer1Timer() override;
    void Mirror(const ExerciseEffects& effects) override;
    /// Brings the widgets up to the model's state.
    void ShowModel();
    void FormResize();
    void PlaceResultLine();

    IntervalSamModel m_model;
    QTimer* m_blinkTimer = nullptr;
};

} // namespace pv
