// The tutor's dialogs show what the run decided: the proposed move marked and focused, the
// closed moves disabled, each move closing with its own result, and the step information
// refreshed or closed by "Change step...".
#include "shell/tutor/ui/TutorDialogs.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(TutorDialogs, EndOfStepMarksAndFocusesTheProposalAndClosesWithTheMove)
{
    struct Case
    {
        StepProposal proposal;
        const char* marked; ///< nullptr: no mark
        int pressed;
    };
    const Case cases[] = {
        {StepProposal::Next, "BitBtn1", kNextStep},
        {StepProposal::Stay, "BitBtn2", kStayStep},
        {StepProposal::Previous, "BitBtn3", kPreviousStep},
        {StepProposal::None, nullptr, kStayStep},
    };
    const TutorDialogTexts texts;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.proposal));
        TutorStepEndView view;
        view.Decision = {true, true, true, c.proposal, kAdviceStay, kScorePlain};
        view.Advice = QStringLiteral("advice");
        view.ScoreText = QStringLiteral("score");
        TEndTutorStep dialog(view, texts);
        dialog.show();
        QCoreApplication::processEvents();
        QFrame* mark = dialog.ProposedMark();
        if (c.marked == nullptr) {
            EXPECT_EQ(mark, nullptr);
        } else {
            ASSERT_NE(mark, nullptr);
            EXPECT_EQ(mark->findChild<QPushButton*>()->objectName(), QLatin1String(c.marked));
            ASSERT_NE(dialog.focusWidget(), nullptr);
            EXPECT_EQ(dialog.focusWidget()->objectName(), QLatin1String(c.marked));
        }
        dialog.MoveButton(c.pressed)->click();
        EXPECT_EQ(dialog.result(), c.pressed);
    }
}

TEST(TutorDialogs, EndOfStepDisablesClosedMovesAndClosingIsNoChoice)
{
    const TutorDialogTexts texts;
    TutorStepEndView view;
    view.Decision = {false, true, false, StepProposal::Stay, kAdviceStay, kScorePlain};
    TEndTutorStep dialog(view, texts);
    EXPECT_FALSE(dialog.MoveButton(kNextStep)->isEnabled());
    EXPECT_TRUE(dialog.MoveButton(kStayStep)->isEnabled());
    EXPECT_FALSE(dialog.MoveButton(kPreviousStep)->isEnabled());
    dialog.show();
    dialog.reject();
    EXPECT_EQ(dialog.result(), kNoStepChoice);
}

TEST(TutorDialogs, ChangeStepRefreshesTheInformationOrClosesIt)
{
    const TutorDialogTexts texts;
    TutorStepInfoView first{QStringLiteral("Chords"), QStringLiteral("Step 1"),
                            QStringLiteral("First"), QStringLiteral("About the first"), true};
    TutorStepInfoView second = first;
    second.Title = QStringLiteral("Second");
    std::optional<TutorStepInfoView> answer = second;
    TTutorStepInfo dialog(
        first, [&answer] { return answer; }, texts);
    dialog.show();
    auto* label2 = dialog.findChild<QLabel*>(QStringLiteral("Label2"));
    auto* change = dialog.findChild<QPushButton*>(QStringLiteral("BitBtn2"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Chords"));
    EXPECT_EQ(label2->text(), QStringLiteral("First"));
    EXPECT_TRUE(change->isVisible());

    change->click();
    EXPECT_EQ(label2->text(), QStringLiteral("Second"));
    EXPECT_TRUE(dialog.isVisible()) << "a new step is told, not closed";

    answer.reset();
    change->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), kNoStepChoice);

    first.ChangeStepShown = false;
    TTutorStepInfo plain(first, {}, texts);
    plain.show();
    EXPECT_FALSE(plain.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->isVisible());
    plain.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    EXPECT_EQ(plain.result(), 1);
}

} // namespace
} // namespace pv
