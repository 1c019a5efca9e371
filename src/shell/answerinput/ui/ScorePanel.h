// The score tool window's client area: the score text, the total label and the gauge, placed
// by the score layout whenever the area's size or the exercise changes.
#pragma once

#include "shell/answerinput/ToolWindowLayouts.h"

#include <functional>

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace pv {

class ScorePanel final : public QWidget
{
    Q_OBJECT

public:
    /// Takes the three controls over as its children; kind tells the exercise in use.
    ScorePanel(QLabel& label15, QLabel& label4, QProgressBar& gauge15,
               std::function<std::optional<ExerciseKind>()> kind, QWidget* parent = nullptr);

    /// Places the controls for the size the panel has now.
    void Relayout();
    /// The layout last applied.
    const ScoreLayout& Layout() const { return m_layout; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLabel> m_label15;
    QPointer<QLabel> m_label4;
    QPointer<QProgressBar> m_gauge15;
    std::function<std::optional<ExerciseKind>()> m_kind;
    ScoreLayout m_layout;
};

} // namespace pv
