// The Help menu's help entries: the topics, the contents (F1) and the help on the window in
// use (Ctrl+F1).
#pragma once

#include <functional>
#include <optional>

class QAction;
class QMenu;

namespace pv {

struct HelpMenuEntries
{
    QAction* Contents = nullptr;    ///< `Indhold1`
    QAction* ContextHelp = nullptr; ///< `Contexthelp1`
};

/// Adds the entries to menu. show opens the help at a context (none: the contents);
/// contextHelp opens the page of the window in use.
HelpMenuEntries AddHelpEntries(QMenu& menu, std::function<void(std::optional<int>)> show,
                               std::function<void()> contextHelp);

} // namespace pv
