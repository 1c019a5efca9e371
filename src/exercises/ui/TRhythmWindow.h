// The base of the three rhythm exercise windows: the instruction line that taps when clicked,
// the hidden tap button, the notation in its scroll area, the notation's scroll timer and the
// tip button, around a rhythm exercise model that holds every rule. The base window runs the
// model's protocol; each window adds its own widgets and mirroring.
#pragma once

#include "exercises/rhythmexercise/RhythmExerciseModel.h"
#include "exercises/ui/TExerciseBaseClass.h"
#include "music/base/Random.h"

#include <functional>
#include <utility>
#include <vector>

#include <QScrollArea>

class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

namespace pv {

class IClock;
class IPrompts;
class TMidiOut;
struct ExerciseSetup;
struct UIStringTable;

/// A rhythm drawing in a scroll area without a horizontal scroll bar: the paint box is as wide
/// as the area and as high as the drawing needs.
class RhythmNotationView : public QScrollArea
{
    Q_OBJECT

public:
    explicit RhythmNotationView(QWidget* parent = nullptr);

    /// The paint box inside the scroll area.
    QWidget* PaintBox() const { return m_paintBox; }
    /// Paints the drawing on the paint box, which is size big.
    void SetPainter(std::function<void(QPainter&, QSize)> painter)
    {
        m_painter = std::move(painter);
    }
    /// A mouse press on the paint box at a point of the drawing.
    void SetClicked(std::function<void(QPoint)> clicked) { m_clicked = std::move(clicked); }
    /// The drawing's height; the paint box keeps the viewport's width.
    void SetDrawingHeight(int height);
    int ScrollY() const;
    void SetScrollY(int y);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class RhythmPaintBox;
    QWidget* m_paintBox = nullptr;
    int m_drawingHeight = 0;
    std::function<void(QPainter&, QSize)> m_painter;
    std::function<void(QPoint)> m_clicked;
};

class TRhythmWindow : public TExerciseBaseClass
{
    Q_OBJECT

public:
    /// session is the kind's, strings are the interface texts, prompts show the exercise's
    /// messages and random (null: the window's own, randomized) draws the rhythms; all must
    /// outlive the window.
    TRhythmWindow(ExerciseSession& session, IExerciseHost* host, const UIStringTable& strings,
                  IPrompts& prompts, IRandom* random = nullptr, QWidget* parent = nullptr);
    ~TRhythmWindow() override;

    RhythmExerciseModel& RhythmModel() { return *m_rhythm; }
    const RhythmExerciseModel& RhythmModel() const { return *m_rhythm; }

    /// Where the window plays (null: no sound) and the clock its taps are stamped on. Both
    /// must outlive the window.
    void SetPlayback(TMidiOut* midiOut, const IClock& clock);
    /// Takes the program settings and this kind's rhythm block of the setup; reset also clears
    /// the counters.
    void ApplyRhythmSetup(const ExerciseSetup& setup, const RhythmExerciseSettings& settings,
                          bool reset);
    /// The program settings changed (sounds, pass mark, automatic question, spacing).
    void SetRhythmSettings(const RhythmExerciseSettings& settings);
    /// A tap key went down or up (the main window's Space).
    void TapKey(bool down);
    /// A clap the microphone heard at ms of the shared millisecond clock.
    void MicTap(std::uint32_t ms);
    /// The main window's tempo control.
    void SetTempo(int tempo);

    /// Sets the click and clap sounds' programs on their channels (not on the percussion
    /// channel).
    void EnterExercise() override;

    /// A text of the language file the window shows, by its field name, and where it goes.
    using FormText = std::pair<QString, std::function<void(const QString&)>>;
    /// The window's texts from the language file: the tap button's caption ("Klap") and what
    /// each window adds.
    virtual std::vector<FormText> FormTexts();
    /// Where the window announces its language texts: a key ("<form>.<name>") and the setter
    /// that puts a text there.
    using TextSink =
        std::function<void(const QString& key, std::function<void(const QString&)> setter)>;
    /// Announces FormTexts under the window's object name; a text that arrives after the window
    /// is gone is dropped.
    void RegisterTexts(const TextSink& sink);

    // The parts every rhythm window has, by the names the rest of the exercise knows them by.
    QLabel* Label4 = nullptr;             ///< the instruction line; a press on it taps
    QPushButton* Klap = nullptr;          ///< the tap button (hidden)
    QTimer* Timer1 = nullptr;             ///< 55 ms: scrolls the notation
    QToolButton* SpeedButton10 = nullptr; ///< the tip button

protected:
    /// Called by the derived window's constructor with its model, which must outlive the window.
    void SetRhythmModel(RhythmExerciseModel& model);
    void Mirror(const ExerciseEffects& effects) override;
    /// Brings the widgets up to the model's state; derived windows extend it.
    virtual void ShowModel();

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

    IRandom& Random() { return *m_random; }
    IPrompts& Prompts() { return m_prompts; }

    const UIStringTable& m_strings;
    TMidiOut* m_midiOut = nullptr;

private:
    StdRandom m_ownRandom;
    IRandom* m_random;
    IPrompts& m_prompts;
    RhythmExerciseModel* m_rhythm = nullptr;
};

} // namespace pv
