// The Reports command: the reports dialog made on first use (the main window's caption says so
// meanwhile) and shown modally every time.
#pragma once

#include "shell/reports/ui/TReports.h"

#include <QPointer>

namespace pv {

class ReportsCommand
{
public:
    /// window is the main window whose caption tells of the first making; it owns the dialog.
    ReportsCommand(ReportsContext context, QWidget& window);

    void Reports1Click();
    /// The dialog once made; null before.
    TReports* Dialog() const { return m_dialog.data(); }

private:
    ReportsContext m_context;
    QWidget& m_window;
    QPointer<TReports> m_dialog;
};

} // namespace pv
