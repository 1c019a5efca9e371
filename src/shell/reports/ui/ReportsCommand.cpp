// The Reports command.
#include "shell/reports/ui/ReportsCommand.h"

#include <QCoreApplication>

namespace pv {

ReportsCommand::ReportsCommand(ReportsContext context, QWidget& window)
    : m_context(std::move(context)), m_window(window)
{
}

void ReportsCommand::Reports1Click()
{
    if (!m_dialog) {
        const QString caption = m_window.windowTitle();
        m_window.setWindowTitle(m_context.Strings.StrPreparingReports);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_dialog = new TReports(m_context, &m_window);
        m_window.setWindowTitle(caption);
    }
    m_dialog->FormShow();
    if (m_context.RunDialog)
        m_context.RunDialog(*m_dialog);
    else
        m_dialog->exec();
}

} // namespace pv
