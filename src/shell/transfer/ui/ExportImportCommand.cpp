// The export and import command.
#include "shell/transfer/ui/ExportImportCommand.h"

namespace pv {

ExportImportCommand::ExportImportCommand(ExportImportContext context, QWidget* parent)
    : m_c(std::move(context)), m_runs(m_c.Results, m_c.Clock, m_c.State)
{
    m_dialog = new TExportImport(TransferServices{m_c.Data, m_c.App, m_c.Prompts, m_c.Strings,
                                                  m_runs, m_files, m_c.SetupFolder,
                                                  m_c.ResolveStoredPath, m_c.StoredPathFor},
                                 parent);
}

void ExportImportCommand::ImportExportClick(const std::function<void()>& afterwards)
{
    if (!m_dialog)
        return;
    m_dialog->FillUsers();
    if (m_c.RunDialog)
        m_c.RunDialog(*m_dialog);
    else
        m_dialog->exec();
    if (afterwards)
        afterwards();
}

} // namespace pv
