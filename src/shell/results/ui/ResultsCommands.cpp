// The results view and the delete-results command.
#include "shell/results/ui/ResultsCommands.h"

#include "shell/results/ui/TDeleteDialog.h"

namespace pv {

ResultsCommands::ResultsCommands(ResultsContext context) : m_c(std::move(context))
{
    m_view = new TUserResult(ResultsViewSources{m_c.Data, m_c.App, m_c.RunningResults, m_c.Items,
                                                m_c.Strings, m_c.TutorTitle});
}

void ResultsCommands::Deleteresults1Click(QWidget* parent)
{
    if (m_deleteDialogOpen)
        return;
    m_deleteDialogOpen = true;
    bool deleted = false;
    {
        TDeleteDialog dialog(m_c.App, m_c.Data, m_c.Strings, m_c.ShowHelp, parent);
        if (m_c.RunDialog)
            m_c.RunDialog(dialog);
        else
            dialog.exec();
        deleted = dialog.Deleted();
    }
    m_deleteDialogOpen = false;
    if (!deleted || !m_view)
        return;
    // The view and its period figures show what is left.
    if (const std::shared_ptr<TUserInfo>& shown = m_c.App.ResultUser(); shown && !shown->Computed)
        m_c.App.ComputeUserStatistics(m_c.Data, *shown, m_c.TutorTitle);
    m_view->Fill(0, -1.0);
}

void ResultsCommands::PeriodChosen(const PeriodChoice& choice)
{
    if (!choice.Changed || !m_view)
        return;
    m_view->SetPeriodLabel(choice.PeriodLabel);
    if (choice.DurationLabel) {
        // The statistics were summed again: every figure of the strip follows.
        m_view->Fill(0, -1.0);
        m_view->SetExerciseTimeLabel(*choice.DurationLabel);
    }
}

} // namespace pv
