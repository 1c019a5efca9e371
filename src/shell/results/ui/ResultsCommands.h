// The results view as the main window keeps it, and the delete-results command: its dialog
// made when asked for (never twice at once), shown modally and released, then the view shows
// what is left.
#pragma once

#include "shell/results/ResultBookkeeping.h"
#include "shell/results/ui/TUserResult.h"

#include <functional>

#include <QPointer>

class QDialog;

namespace pv {

/// What the results view and its commands need; each must outlive them.
struct ResultsContext
{
    DataFiles& Data;
    AppState& App;
    const UIStringTable& Strings;
    const std::array<TResultInfo, 10>& RunningResults;
    const ItemTables& Items;
    TutorTitleOf TutorTitle;
    /// Opens a help topic.
    std::function<void(int context)> ShowHelp;
    /// Runs a dialog modally; empty: exec().
    std::function<int(QDialog&)> RunDialog;
};

class ResultsCommands
{
public:
    /// Makes the results view (the main window's work area adopts it).
    explicit ResultsCommands(ResultsContext context);

    TUserResult* View() const { return m_view.data(); }

    /// Delete results: the dialog over parent, modal, released after use.
    void Deleteresults1Click(QWidget* parent);
    /// A statistics period was chosen: the header strip shows it.
    void PeriodChosen(const PeriodChoice& choice);

private:
    ResultsContext m_c;
    QPointer<TUserResult> m_view;
    bool m_deleteDialogOpen = false;
};

} // namespace pv
