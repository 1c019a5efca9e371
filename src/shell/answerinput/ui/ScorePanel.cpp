// The score tool window's client area.
#include "shell/answerinput/ui/ScorePanel.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>

namespace pv {

namespace {

/// The area's size in the tool window as the window is first laid out.
constexpr QSize kDesignSize(440, 28);
constexpr int kScoreTextLeft = 4;

} // namespace

ScorePanel::ScorePanel(QLabel& label15, QLabel& label4, QProgressBar& gauge15,
                       std::function<std::optional<ExerciseKind>()> kind, QWidget* parent)
    : QWidget(parent), m_label15(&label15), m_label4(&label4), m_gauge15(&gauge15),
      m_kind(std::move(kind))
{
    setObjectName(QStringLiteral("ToolWindow3Client"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    for (QWidget* control : {static_cast<QWidget*>(&label15), static_cast<QWidget*>(&label4),
                             static_cast<QWidget*>(&gauge15)}) {
        control->setParent(this);
        control->setMinimumSize(0, 0);
        control->show();
    }
    // The total label comes and goes with the kind: the others move over when it does.
    label4.installEventFilter(this);
}

QSize ScorePanel::sizeHint() const
{
    return kDesignSize;
}

QSize ScorePanel::minimumSizeHint() const
{
    ScoreLayoutInput least;
    least.Height = kDesignSize.height();
    least.Label15Left = kScoreTextLeft;
    return {ToolWindow3Layout(least).ClientWidth, 0};
}

void ScorePanel::Relayout()
{
    if (!m_label15 || !m_label4 || !m_gauge15)
        return;
    ScoreLayoutInput in;
    in.Width = width();
    in.Height = height();
    in.Label15Left = kScoreTextLeft;
    in.Label15Top = 2;
    in.Label4Visible = !m_label4->isHidden();
    in.Label4Width = m_label4->sizeHint().width();
    in.Kind = m_kind ? m_kind() : std::nullopt;
    m_layout = ToolWindow3Layout(in);
    if (m_layout.ClientWidth > width())
        setMinimumWidth(m_layout.ClientWidth);
    m_label15->setGeometry(m_layout.Label15);
    m_label4->setGeometry(m_layout.Label4);
    m_gauge15->setGeometry(m_layout.Gauge15);
}

void ScorePanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

bool ScorePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label4 &&
        (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        Relayout();
    return QWidget::eventFilter(watched, event);
}

} // namespace pv
