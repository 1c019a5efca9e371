// The tutor run's dialogs.
#include "shell/tutor/ui/TutorDialogs.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pv {

namespace {

/// The moves in the order of their buttons (BitBtn1..3).
constexpr std::array<int, 3> kMoves = {kNextStep, kStayStep, kPreviousStep};

int SlotOfProposal(StepProposal proposal)
{
    switch (proposal) {
    case StepProposal::Next:
        return 0;
    case StepProposal::Stay:
        return 1;
    case StepProposal::Previous:
        return 2;
    case StepProposal::None:
        break;
    }
    return -1;
}

QLabel* WrappedLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    // Texts come from tutor files and language files: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TEndTutorStep::TEndTutorStep(const TutorStepEndView& view, const TutorDialogTexts& texts,
                             QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("EndTutorStepForm"));
    setWindowTitle(texts.EndCaption);
    auto* layout = new QVBoxLayout(this);
    QLabel* label1 = WrappedLabel(QStringLiteral("Label1"), this);
    label1->setText(texts.EndLeadIn);
    QFont bold = label1->font();
    bold.setBold(true);
    label1->setFont(bold);
    QLabel* label4 = WrappedLabel(QStringLiteral("Label4"), this);
    label4->setText(view.ScoreText);
    QLabel* label2 = WrappedLabel(QStringLiteral("Label2"), this);
    label2->setText(view.Advice);
    label2->setMinimumWidth(320);
    layout->addWidget(label1);
    layout->addWidget(label4);
    layout->addWidget(label2);

    const std::array<QString, 3> captions = {texts.NextStep, texts.SameStep, texts.PreviousStep};
    const std::array<bool, 3> enabled = {view.Decision.NextEnabled, view.Decision.StayEnabled,
                                         view.Decision.PreviousEnabled};
    auto* row = new QHBoxLayout;
    for (std::size_t i = 0; i < kMoves.size(); ++i) {
        auto* shape = new QFrame(this);
        shape->setObjectName(QStringLiteral("Shape%1").arg(i + 1));
        // The mark is a frame around the button, so the proposal shows even without colour.
        shape->setFrameShape(QFrame::Box);
        shape->setLineWidth(2);
        auto* inner = new QVBoxLayout(shape);
        inner->setContentsMargins(3, 3, 3, 3);
        auto* button = new QPushButton(captions[i], shape);
        button->setObjectName(QStringLiteral("BitBtn%1").arg(i + 1));
        button->setProperty("tag", kMoves[i]);
        button->setEnabled(enabled[i]);
        button->setAutoDefault(false);
        inner->addWidget(button);
        const int move = kMoves[i];
        connect(button, &QPushButton::clicked, this, [this, move] { done(move); });
        row->addWidget(shape);
        m_buttons[i] = button;
        m_shapes[i] = shape;
    }
    layout->addLayout(row);

    m_proposed = SlotOfProposal(view.Decision.Proposal);
    for (std::size_t i = 0; i < m_shapes.size(); ++i) {
        const bool marked = static_cast<int>(i) == m_proposed;
        m_shapes[i]->setFrameShadow(QFrame::Plain);
        m_shapes[i]->setStyleSheet(marked ? QStringLiteral("QFrame#%1 { border: 2px solid "
                                                           "palette(highlight); }")
                                                .arg(m_shapes[i]->objectName())
                                          : QStringLiteral("QFrame#%1 { border: 2px solid "
                                                           "transparent; }")
                                                .arg(m_shapes[i]->objectName()));
    }
}

QPushButton* TEndTutorStep::MoveButton(int move) const
{
    for (std::size_t i = 0; i < kMoves.size(); ++i) {
        if (kMoves[i] == move)
            return m_buttons[i];
    }
    return nullptr;
}

QFrame* TEndTutorStep::ProposedMark() const
{
    return m_proposed < 0 ? nullptr : m_shapes[static_cast<std::size_t>(m_proposed)];
}

void TEndTutorStep::reject()
{
    done(kNoStepChoice);
}

void TEndTutorStep::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_proposed >= 0)
        m_buttons[static_cast<std::size_t>(m_proposed)]->setFocus();
}

TTutorStepInfo::TTutorStepInfo(const TutorStepInfoView& view, ChangeStep changeStep,
                               const TutorDialogTexts& texts, QWidget* parent)
    : QDialog(parent), m_changeStep(std::move(changeStep)), m_caption(texts.InfoCaption)
{
    setObjectName(QStringLiteral("TutorStepInfoForm"));
    auto* layout = new QVBoxLayout(this);
    m_label5 = WrappedLabel(QStringLiteral("Label5"), this);
    m_label2 = WrappedLabel(QStringLiteral("Label2"), this);
    QFont bold = m_label2->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    m_label2->setFont(bold);
    m_label1 = WrappedLabel(QStringLiteral("Label1"), this);
    m_label1->setMinimumWidth(360);
    layout->addWidget(m_label5);
    layout->addWidget(m_label2);
    layout->addWidget(m_label1, 1);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto* ok = new QPushButton(texts.Ok, panel);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    m_changeButton = new QPushButton(texts.ChangeStep, panel);
    m_changeButton->setObjectName(QStringLiteral("BitBtn2"));
    m_changeButton->setAutoDefault(false);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(m_changeButton);
    layout->addWidget(panel);
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(m_changeButton, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    Fill(view);
}

void TTutorStepInfo::Fill(const TutorStepInfoView& view)
{
    setWindowTitle(view.Caption.isEmpty() ? m_caption : view.Caption);
    m_label5->setText(view.StepLine);
    m_label2->setText(view.Title);
    m_label1->setText(view.Description);
    m_changeButton->setVisible(view.ChangeStepShown);
    // The description decides the height.
    adjustSize();
}

void TTutorStepInfo::BitBtn2Click()
{
    if (!m_changeStep) {
        done(kNoStepChoice);
        return;
    }
    const std::optional<TutorStepInfoView> next = m_changeStep();
    if (!next) {
        done(kNoStepChoice);
        return;
    }
    Fill(*next);
}

void TTutorStepInfo::reject()
{
    done(kNoStepChoice);
}

TutorDialogs::TutorDialogs(const TutorDialogTexts& texts, QWidget* parent, DialogRunner runner)
    : m_texts(texts), m_parent(parent), m_runner(std::move(runner))
{
}

int TutorDialogs::Run(QDialog& dialog)
{
    return m_runner ? m_runner(dialog) : dialog.exec();
}

int TutorDialogs::ShowEndTutorStep(const TutorStepEndView& view)
{
    TEndTutorStep dialog(view, m_texts, m_parent);
    return Run(dialog);
}

int TutorDialogs::ShowTutorStepInfo(
    const TutorStepInfoView& view,
    const std::function<std::optional<TutorStepInfoView>()>& changeStep)
{
    TTutorStepInfo dialog(view, changeStep, m_texts, m_parent);
    return Run(dialog);
}

} // namespace pv
