// The parts the three rhythm windows share.
#include "exercises/ui/TRhythmWindow.h"

#include "exercises/base/ExerciseHost.h"
#include "exercises/ui/TControlButton.h"
#include "music/sequencer/MidiOut.h"
#include "music/sequencer/SequencerNotifyEvent.h"
#include "music/strings/UIStrings.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace pv {

namespace {

constexpr int kPercussionChannel = 9;
constexpr int kScrollInterval = 55;
constexpr int kTipTag = 6;

/// The instruction line taps like the tap key while the mouse is down on it.
class TapLabel final : public QLabel
{
public:
    TapLabel(QWidget* parent, std::function<void(bool)> tap) : QLabel(parent), m_tap(std::move(tap))
    {
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_tap(true);
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        m_tap(false);
        event->accept();
    }

private:
    std::function<void(bool)> m_tap;
};

/// The tap button taps on every press of its own, without the held-key rule.
class TapButton final : public QPushButton
{
public:
    TapButton(QWidget* parent, std::function<void(bool)> tap)
        : QPushButton(parent), m_tap(std::move(tap))
    {
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_tap(true);
        QPushButton::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        m_tap(false);
        QPushButton::mouseReleaseEvent(event);
    }

private:
    std::function<void(bool)> m_tap;
};

} // namespace

/// The paint box of a notation view.
class RhythmPaintBox final : public QWidget
{
public:
    explicit RhythmPaintBox(RhythmNotationView& view) : QWidget(nullptr), m_view(view)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (m_view.m_painter)
            m_view.m_painter(painter, size());
        else
            painter.fillRect(rect(), Qt::white);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (m_view.m_clicked)
            m_view.m_clicked(event->position().toPoint());
        event->accept();
    }

private:
    RhythmNotationView& m_view;
};

RhythmNotationView::RhythmNotationView(QWidget* parent) : QScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Base);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);
    m_paintBox = new RhythmPaintBox(*this);
    m_paintBox->setObjectName(QStringLiteral("PaintBox"));
    setWidget(m_paintBox);
}

void RhythmNotationView::SetDrawingHeight(int height)
{
    m_drawingHeight = std::max(0, height);
    m_paintBox->resize(viewport()->width(), std::max(m_drawingHeight, viewport()->height()));
    m_paintBox->update();
}

int RhythmNotationView::ScrollY() const
{
    return verticalScrollBar()->value();
}

void RhythmNotationView::SetScrollY(int y)
{
    verticalScrollBar()->setValue(y);
}

void RhythmNotationView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    SetDrawingHeight(m_drawingHeight);
}

TRhythmWindow::TRhythmWindow(ExerciseSession& session, IExerciseHost* host,
                             const UIStringTable& strings, IPrompts& prompts, IRandom* random,
                             QWidget* parent)
    : TExerciseBaseClass(session, host, parent), m_strings(strings),
      m_random(random != nullptr ? random : &m_ownRandom), m_prompts(prompts)
{
    if (random == nullptr)
        m_ownRandom.Randomize();
    setAutoFillBackground(true);
    ControlButtons->setGeometry(4, 4, ControlStripModel::kButtonCount * TControlButton::kCellWidth,
                                48);

    Label4 = new TapLabel(this, [this](bool down) { TapKey(down); });
    Label4->setObjectName(QStringLiteral("Label4"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(20);
    Label4->setFont(font);

    Klap = new TapButton(this, [this](bool down) {
        if (m_rhythm != nullptr)
            m_rhythm->TapButton(down);
        Settle();
    });
    Klap->setObjectName(QStringLiteral("Klap"));
    Klap->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(kScrollInterval);
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (m_rhythm == nullptr)
            return;
        m_rhythm->ScrollTimerTick();
        ShowModel();
    });

    SpeedButton10 = new QToolButton(this);
    SpeedButton10->setObjectName(QStringLiteral("SpeedButton10"));
    SpeedButton10->setText(QStringLiteral("?"));
    SpeedButton10->setProperty("Tag", kTipTag);
    SpeedButton10->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton10, &QToolButton::clicked, this, [this] {
        if (Host() != nullptr)
            SpeedButton10->setVisible(Host()->ShowTip(kTipTag));
    });
}

TRhythmWindow::~TRhythmWindow() = default;

void TRhythmWindow::SetRhythmModel(RhythmExerciseModel& model)
{
    m_rhythm = &model;
    SetExerciseModel(model);
}

void TRhythmWindow::SetPlayback(TMidiOut* midiOut, const IClock& clock)
{
    m_midiOut = midiOut;
    m_rhythm->AttachPlayback(midiOut, clock);
}

void TRhythmWindow::ApplyRhythmSetup(const ExerciseSetup& setup,
                                     const RhythmExerciseSettings& settings, bool reset)
{
    m_rhythm->SetSettings(settings);
    m_rhythm->ApplySetup(setup, reset);
    if (reset)
        ShowScore();
    SpeedButton10->setVisible(settings.TipOffered);
    Settle();
}

void TRhythmWindow::SetRhythmSettings(const RhythmExerciseSettings& settings)
{
    m_rhythm->SetSettings(settings);
    // Only here and with a setup: a tip hidden by its window stays hidden until the settings
    // offer it again.
    SpeedButton10->setVisible(settings.TipOffered);
    Settle();
}

void TRhythmWindow::TapKey(bool down)
{
    m_rhythm->TapKey(down);
    Settle();
}

void TRhythmWindow::MicTap(std::uint32_t ms)
{
    m_rhythm->MicTap(ms);
    Settle();
}

void TRhythmWindow::SetTempo(int tempo)
{
    m_rhythm->SetTempo(tempo);
}

void TRhythmWindow::EnterExercise()
{
    TExerciseBaseClass::EnterExercise();
    if (m_midiOut == nullptr)
        return;
    const RhythmPlaybackSettings& sounds = m_rhythm->Settings().Playback;
    for (const SoundRecord* sound : {&sounds.BeatSound, &sounds.ClapSound}) {
        if (sound->channel != kPercussionChannel) {
            m_midiOut->ProgramChange(static_cast<std::uint8_t>(sound->program),
                                     static_cast<std::uint8_t>(sound->channel));
        }
    }
}

std::vector<TRhythmWindow::FormText> TRhythmWindow::FormTexts()
{
    return {{QStringLiteral("Klap"), [this](const QString& text) { Klap->setText(text); }}};
}

void TRhythmWindow::RegisterTexts(const TextSink& sink)
{
    const QPointer<TRhythmWindow> self(this);
    for (FormText& text : FormTexts()) {
        sink(objectName() + QLatin1Char('.') + text.first,
             [self, setter = std::move(text.second)](const QString& value) {
                 if (self)
                     setter(value);
             });
    }
}

void TRhythmWindow::Mirror(const ExerciseEffects&)
{
    ShowModel();
}

void TRhythmWindow::ShowModel()
{
    if (m_rhythm == nullptr)
        return;
    Label4->setText(m_rhythm->InstructionText);
    if (m_rhythm->ScrollTimerOn != Timer1->isActive()) {
        if (m_rhythm->ScrollTimerOn)
            Timer1->start();
        else
            Timer1->stop();
    }
    ControlButtons->update();
}

bool TRhythmWindow::event(QEvent* event)
{
    if (event->type() == SequencerNotifyEvent::Type() && m_rhythm != nullptr) {
        m_rhythm->SequencerNotify(
            static_cast<int>(static_cast<SequencerNotifyEvent*>(event)->Code()));
        Settle();
        return true;
    }
    return TExerciseBaseClass::event(event);
}

void TRhythmWindow::keyPressEvent(QKeyEvent* event)
{
    // With a main window in front, Space reaches the window through its key table; on its own
    // the window taps itself. A held key's repeats never tap.
    if (Host() == nullptr && event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            TapKey(true);
        event->accept();
        return;
    }
    TExerciseBaseClass::keyPressEvent(event);
}

void TRhythmWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (Host() == nullptr && event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            TapKey(false);
        event->accept();
        return;
    }
    TExerciseBaseClass::keyReleaseEvent(event);
}

} // namespace pv
