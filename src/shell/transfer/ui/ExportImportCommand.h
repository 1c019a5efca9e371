// The export and import command: the dialog made once at start-up, the runs of this session
// offered for storing through the result bookkeeping, and the dialog shown modally.
#pragma once

#include "shell/results/ResultBookkeeping.h"
#include "shell/transfer/ui/TExportImport.h"

#include <QPointer>

namespace pv {

/// The session's exercise runs as export offers to store them.
class BookkeepingRuns final : public IRunsToStore
{
public:
    BookkeepingRuns(ResultBookkeeping& results, ExerciseClock& clock, const MainWindowState& state)
        : m_results(results), m_clock(clock), m_state(state)
    {
    }
    bool TutorActive() const override { return m_state.TutorActive; }
    std::uint16_t KindsWithResults(int minimum) const override
    {
        return m_results.KindsWithResults(0xFFFF, minimum);
    }
    Status<DataError> StoreResults(std::uint16_t kinds) override
    {
        return m_results.StoreResults(kinds, m_state.TutorActive, false);
    }
    void ResetAllClocks() override { m_clock.ResetExerciseClock(std::nullopt); }

private:
    ResultBookkeeping& m_results;
    ExerciseClock& m_clock;
    const MainWindowState& m_state;
};

/// What the command needs; each must outlive it.
struct ExportImportContext
{
    DataFiles& Data;
    AppState& App;
    IPrompts& Prompts;
    const UIStringTable& Strings;
    ResultBookkeeping& Results;
    ExerciseClock& Clock;
    const MainWindowState& State;
    std::function<QString()> SetupFolder;
    std::function<QString(const QString&)> ResolveStoredPath;
    std::function<std::optional<QString>(const QString&)> StoredPathFor;
    /// Runs the dialog modally; empty: exec().
    std::function<int(QDialog&)> RunDialog;
};

class ExportImportCommand
{
public:
    ExportImportCommand(ExportImportContext context, QWidget* parent);

    /// Fills the user list, shows the dialog, then afterwards runs (the view entered again).
    void ImportExportClick(const std::function<void()>& afterwards);
    TExportImport* Dialog() const { return m_dialog.data(); }

private:
    ExportImportContext m_c;
    BookkeepingRuns m_runs;
    SystemTransferFiles m_files;
    QPointer<TExportImport> m_dialog;
};

} // namespace pv
