// The identification window's piano and guitar: they paint the held note and the answer dots
// from the window's model and turn mouse presses into note entries; the arithmetic lives in
// InstrumentGeometry.
#pragma once

#include "exercises/identification/InstrumentGeometry.h"

#include <array>
#include <functional>

#include <QWidget>

class QTimer;

namespace pv {

struct UIStringTable;

/// The on-screen piano with its two voice adjusters.
class TPianoView : public QWidget
{
    Q_OBJECT

public:
    /// model and strings must outlive the view.
    TPianoView(const AkkordModel& model, const UIStringTable& strings, QWidget* parent = nullptr);

    /// Octaves shown (4..6); the view is 154 pixels wide per octave.
    void SetOctaves(int octaves);
    int Octaves() const { return m_octaves; }
    int TopPitch() const { return PianoTopPitch(m_octaves); }

    /// The piano voice the adjusters show and step.
    void SetVoice(PianoVoice voice);
    PianoVoice Voice() const { return m_voice; }
    /// The name of a program (the instrument list's text after "- "); unset: its General
    /// MIDI name.
    std::function<QString(int program)> ProgramName;
    /// The texts the two adjusters show: the piano voice's instrument and its velocity.
    std::array<QString, 2> AdjusterTexts() const;

    const PianoAdjusterState& Adjusters() const { return m_adjusters; }
    /// One tick of the adjusters' light and repeat timer (150 ms).
    void AdjusterTick();
    /// Starts and stops timer instead of the view's own; whoever owns it calls AdjusterTick.
    void UseLightTimer(QTimer* timer);
    /// Both adjuster lights off and their timer stopped.
    void SwitchLightsOff();

signals:
    /// A press, drag or release asks the window for this.
    void Entry(const pv::InstrumentEntry& entry);
    /// An adjuster stepped the voice; a program change must go out when programChanged.
    void VoiceStepped(pv::PianoVoice voice, bool programChanged);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Apply(const AdjusterEffect& effect);
    void PressAt(QPoint point, bool drag, bool rightButton);

    const AkkordModel& m_model;
    const UIStringTable& m_strings;
    int m_octaves = 4;
    PianoVoice m_voice;
    PianoAdjusterState m_adjusters;
    QTimer* m_lightTimer = nullptr;
};

/// The guitar fretboard.
class TGuitarView : public QWidget
{
    Q_OBJECT

public:
    explicit TGuitarView(const AkkordModel& model, QWidget* parent = nullptr);

    /// The neck for the view's size now.
    GuitarNeck Neck() const { return LayoutGuitarNeck(width(), height()); }

signals:
    void Entry(const pv::InstrumentEntry& entry);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PressAt(QPoint point, bool drag, bool rightButton);

    const AkkordModel& m_model;
};

} // namespace pv
