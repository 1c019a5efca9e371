// The tutor run's two dialogs: the end of a step with its three moves, and the step
// information. Both only show what the run decided; they are shown through one runner so a
// test can answer them.
#pragma once

#include "shell/tutor/TutorRun.h"

#include <array>
#include <functional>

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace pv {

/// The dialogs' fixed texts, which the language file replaces.
struct TutorDialogTexts
{
    QString EndCaption = QStringLiteral("End of the step");
    QString EndLeadIn = QStringLiteral("Your result");
    QString NextStep = QStringLiteral("Next step");
    QString SameStep = QStringLiteral("Same step");
    QString PreviousStep = QStringLiteral("Previous step");
    QString InfoCaption = QStringLiteral("Tutor step");
    QString Ok = QStringLiteral("OK");
    QString ChangeStep = QStringLiteral("Choose another step...");
};

/// Shows a dialog modally and gives its result; the program's runs exec().
using DialogRunner = std::function<int(QDialog&)>;

/// The end-of-step dialog. Each move button closes it with its tag; closing it otherwise gives
/// kNoStepChoice.
class TEndTutorStep final : public QDialog
{
    Q_OBJECT

public:
    TEndTutorStep(const TutorStepEndView& view, const TutorDialogTexts& texts,
                  QWidget* parent = nullptr);

    /// The button of a move (kNextStep, kStayStep, kPreviousStep).
    QPushButton* MoveButton(int move) const;
    /// The mark around the proposed move's button; null when none is proposed.
    QFrame* ProposedMark() const;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// BitBtn1 (next), BitBtn2 (stay), BitBtn3 (previous) and their marks Shape1..3.
    std::array<QPushButton*, 3> m_buttons{};
    std::array<QFrame*, 3> m_shapes{};
    int m_proposed = -1;
};

/// The step information. "Change step..." asks the run, which either gives what to show now
/// or ends the tutor (the dialog then closes with kNoStepChoice).
class TTutorStepInfo final : public QDialog
{
    Q_OBJECT

public:
    using ChangeStep = std::function<std::optional<TutorStepInfoView>()>;

    TTutorStepInfo(const TutorStepInfoView& view, ChangeStep changeStep,
                   const TutorDialogTexts& texts, QWidget* parent = nullptr);

    void reject() override;

private:
    void Fill(const TutorStepInfoView& view);
    void BitBtn2Click();

    ChangeStep m_changeStep;
    QString m_caption;
    QLabel* m_label5 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label1 = nullptr;
    QPushButton* m_changeButton = nullptr;
};

/// The run's dialogs as real windows over parent.
class TutorDialogs final : public ITutorDialogs
{
public:
    /// texts must outlive the dialogs; an empty runner shows them with exec().
    TutorDialogs(const TutorDialogTexts& texts, QWidget* parent, DialogRunner runner);

    int ShowEndTutorStep(const TutorStepEndView& view) override;
    int
    ShowTutorStepInfo(const TutorStepInfoView& view,
                      const std::function<std::optional<TutorStepInfoView>()>& changeStep) override;

private:
    int Run(QDialog& dialog);

    const TutorDialogTexts& m_texts;
    QWidget* m_parent;
    DialogRunner m_runner;
};

} // namespace pv
