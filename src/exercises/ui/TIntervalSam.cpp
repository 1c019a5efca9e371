// The interval comparison window: widgets that mirror the comparison model.
#include "exercises/ui/TIntervalSam.h"

#include "exercises/base/ExerciseHost.h"
#include "exercises/ui/RightPicture.h"
#include "exercises/ui/TControlButton.h"
#include "music/sequencer/SequencerNotifyEvent.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

namespace pv {
namespace {

// The frame below the strip: two answer panels side by side over the result line.
constexpr int kFrameTop = 64;
constexpr int kFrameWidth = 600;
constexpr int kFrameHeight = 300;
constexpr int kPanelMargin = 16;
constexpr int kPanelWidth = (kFrameWidth - 3 * kPanelMargin) / 2;
constexpr int kPanelHeight = 200;
constexpr int kButtonInset = 10;
constexpr int kResultTop = kPanelMargin + kPanelHeight + 20;
constexpr int kResultHeight = 40;
constexpr int kPictureSize = 32;
constexpr int kPictureGap = 8;

QColor ColourOf(ComparePanelColour colour, const QColor& face)
{
    switch (colour) {
    case ComparePanelColour::Yellow:
        return {255, 255, 0};
    case ComparePanelColour::Green:
        return {0, 255, 0};
    case ComparePanelColour::Red:
        return {255, 0, 0};
    case ComparePanelColour::Face:
        break;
    }
    return face;
}

void SetPanelColour(QFrame* panel, const QColor& colour)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
}

QFrame* MakeAnswerPanel(QWidget* parent, int x)
{
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    panel->setGeometry(x, kPanelMargin, kPanelWidth, kPanelHeight);
    return panel;
}

QPushButton* MakeAnswerButton(QFrame* panel, const QString& name)
{
    auto* button = new QPushButton(panel);
    button->setObjectName(name);
    button->setGeometry(kButtonInset, kButtonInset, kPanelWidth - 2 * kButtonInset,
                        kPanelHeight - 2 * kButtonInset);
    // The strip keeps the keyboard focus, so Enter and the function keys stay where they were.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TIntervalSam::TIntervalSam(ExerciseSession& session, IExerciseHost* host,
                           const UIStringTable& strings, QWidget* parent)
    : TExerciseBaseClass(session, host, parent),
      m_model(Session(), ControlButtons->Model(), strings)
{
    setAutoFillBackground(true);
    ControlButtons->setGeometry(4, 4, ControlStripModel::kButtonCount * TControlButton::kCellWidth,
                                48);
    ControlStripModel& strip = ControlButtons->Model();
    strip.Captions[2] = QStringLiteral("A");
    strip.Captions[3] = QStringLiteral("B");
    strip.ButtonEnabled[2] = true;
    strip.ButtonEnabled[3] = true;

    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->resize(kFrameWidth, kFrameHeight);
    Panel1 = MakeAnswerPanel(Panel4, kPanelMargin);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel2 = MakeAnswerPanel(Panel4, 2 * kPanelMargin + kPanelWidth);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Button1 = MakeAnswerButton(Panel1, QStringLiteral("Button1"));
    Button2 = MakeAnswerButton(Panel2, QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, [this] { Answer(CompareChoice::A); });
    connect(Button2, &QPushButton::clicked, this, [this] { Answer(CompareChoice::B); });

    Label1 = new QLabel(Panel4);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont font = Label1->font();
    font.setPointSize(14);
    Label1->setFont(font);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(0, kResultTop, kFrameWidth, kResultHeight);
    Image13 = new QLabel(Panel4);
    Image13->setObjectName(QStringLiteral("Image13"));
    Image13->setPixmap(RightPicture(kPictureSize));
    Image13->resize(kPictureSize, kPictureSize);
    Image13->hide();

    m_blinkTimer = new QTimer(this);
    m_blinkTimer->setInterval(200);
    connect(m_blinkTimer, &QTimer::timeout, this, [this] { Timer1Timer(); });

    SetExerciseModel(m_model);
    ShowModel();
    FormResize();
}

TIntervalSam::~TIntervalSam() = default;

void TIntervalSam::SetupIntervalCompare(const ExerciseSetup& setup, const ItemTables& items,
                                        const ComparisonSettings& settings, bool reset)
{
    m_model.SetupIntervalCompare(setup, items, settings, reset);
    if (reset)
        ShowScore();
    ShowModel();
}

void TIntervalSam::SetMidiOut(TMidiOut& midiOut)
{
    m_model.SetMidiOut(&midiOut);
}

void TIntervalSam::Answer(CompareChoice choice)
{
    m_model.Answer(choice);
    Settle();
}

void TIntervalSam::Timer1Timer()
{
    m_model.BlinkTick();
    ShowModel();
}

bool TIntervalSam::event(QEvent* event)
{
    if (event->type() == SequencerNotifyEvent::Type()) {
        m_model.SequencerNotify(static_cast<SequencerNotifyEvent*>(event)->Code());
        Settle();
        return true;
    }
    return TExerciseBaseClass::event(event);
}

void TIntervalSam::keyPressEvent(QKeyEvent* event)
{
    // The letters of the answer buttons answer without Alt as well: nothing in this window
    // takes typed text.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool letter = event->key() == Qt::Key_A || event->key() == Qt::Key_B;
    if (letter && (modifiers == Qt::NoModifier || modifiers == Qt::AltModifier)) {
        if (!event->isAutoRepeat())
            Answer(event->key() == Qt::Key_A ? CompareChoice::A : CompareChoice::B);
        event->accept();
        return;
    }
    TExerciseBaseClass::keyPressEvent(event);
}

void TIntervalSam::resizeEvent(QResizeEvent* event)
{
    TExerciseBaseClass::resizeEvent(event);
    FormResize();
}

void TIntervalSam::showEvent(QShowEvent* event)
{
    TExerciseBaseClass::showEvent(event);
    ControlButtons->SetFocusIndex(0);
}

void TIntervalSam::FormResize()
{
    Panel4->move(std::max(0, (width() - kFrameWidth) / 2), kFrameTop);
}

void TIntervalSam::PlaceResultLine()
{
    // The picture stands just left of the centred text.
    const int textWidth = Label1->fontMetrics().horizontalAdvance(Label1->text());
    const int left = std::max(0, (kFrameWidth - textWidth) / 2 - kPictureGap - kPictureSize);
    Image13->move(left, kResultTop + (kResultHeight - kPictureSize) / 2);
    Image13->setVisible(m_model.RightPictureShown);
}

void TIntervalSam::Mirror(const ExerciseEffects&)
{
    ShowModel();
}

void TIntervalSam::ShowModel()
{
    Label1->setText(m_model.QuestionText);
    PlaceResultLine();
    const QColor face = palette().color(QPalette::Button);
    SetPanelColour(Panel1, ColourOf(m_model.PanelA, face));
    SetPanelColour(Panel2, ColourOf(m_model.PanelB, face));
    for (const auto& [button, choice] :
         {std::pair{Button1, CompareChoice::A}, std::pair{Button2, CompareChoice::B}}) {
        button->setText(m_model.AnswerCaption(choice));
        QFont font = button->font();
        font.setPointSize(m_model.AnswerPointSize());
        button->setFont(font);
    }
    if (m_model.BlinkRunning && !m_blinkTimer->isActive())
        m_blinkTimer->start();
    else if (!m_model.BlinkRunning)
        m_blinkTimer->stop();
    ControlButtons->update();
}

} // namespace pv
