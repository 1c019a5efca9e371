// A main-window stand-in for exercise windows: it records what a window tells its host, and
// lends the two exercise timers when asked to.
#pragma once

#include "exercises/base/ExerciseHost.h"

#include <vector>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace pv::test {

class FakeExerciseHost final : public IExerciseHost
{
public:
    /// lendTimers: the host owns the light and blink timers, as the main window does; without
    /// it the window keeps its own.
    explicit FakeExerciseHost(bool lendTimers = false) : m_lendTimers(lendTimers) {}

    void FormKeyDown(int key, Qt::KeyboardModifiers, bool) override
    {
        keysHandedBack.push_back(key);
    }
    void FormKeyUp(int, Qt::KeyboardModifiers, bool) override {}
    bool TutorActive() const override { return tutor; }
    void ShowTutorProgress() override {}
    bool TutorTakesAnswer() override { return false; }
    bool ShowTip(int n) override
    {
        tips.push_back(n);
        return false;
    }
    void SetAutoNewQuestTimerEnabled(bool on) override { autoTimer.push_back(on); }
    void StopMidiInput() override {}
    void WaveInStop() override {}
    void ClockRepaintCurrentKind() override {}
    void ShowScoreDisplay(int g, const QString& l) override
    {
        gauge = g;
        label = l;
    }
    int ProgramFontSize() const override { return 9; }
    AnswerSoundChoice AnswerSounds() const override { return {}; }
    QTimer* ExerciseTimer(ExerciseHostTimer timer) override
    {
        if (!m_lendTimers) {
            return nullptr;
        }
        return timer == ExerciseHostTimer::LightDisplaytime ? &light : &blink;
    }

    /// The automatic question's timer as last switched (off when never).
    bool AutoTimerOn() const { return !autoTimer.empty() && autoTimer.back(); }

    bool tutor = false;
    int gauge = -1;
    QString label;
    std::vector<int> tips;
    std::vector<bool> autoTimer;
    std::vector<int> keysHandedBack;
    QTimer light;
    QTimer blink;

private:
    bool m_lendTimers = false;
};

/// A mouse event of type at a point of widget, sent straight to it.
inline void Mouse(QWidget& widget, QEvent::Type type, QPoint at,
                  Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF local(at);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, local, widget.mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace pv::test
