// The main window's commands, registered once by each feature that brings some, and the rules
// that keep their enabled state and ticks: the window builds its actions from here and runs
// every command through here.
#pragma once

#include "shell/commands/CommandRow.h"

#include <vector>

namespace pv {

/// Where the rules' answers go (the main window's actions).
class ICommandView
{
public:
    virtual ~ICommandView() = default;
    virtual void ShowCommandEnabled(const QString& id, bool on) = 0;
    virtual void ShowCommandChecked(const QString& id, bool on) = 0;
    /// Only rows with a visibility rule come here, so a view that never hides one need not
    /// listen.
    virtual void ShowCommandVisible(const QString& /*id*/, bool /*on*/) {}
};

class CommandRegistry
{
public:
    CommandRegistry() = default;
    CommandRegistry(const CommandRegistry&) = delete;
    CommandRegistry& operator=(const CommandRegistry&) = delete;

    /// One feature's commands. A row takes the place of a pending row of the same id; a row
    /// whose id another feature registered already, a row without id or handler, or an id twice
    /// among rows refuses the whole registration (false, nothing registered): two commands
    /// answering to one name would leave one of them unreachable.
    bool Register(const QString& feature, std::vector<CommandRow> rows);

    /// The row of id; null when no feature registered it.
    const CommandRow* Find(const QString& id) const;
    /// The feature that registered id; empty when none did.
    QString FeatureOf(const QString& id) const;
    /// Every id in the order the rows were registered (a replaced pending row keeps its place).
    std::vector<QString> Ids() const;

    /// The command's enabling rule now (true without a rule).
    bool IsEnabled(const QString& id) const;
    /// Runs the command when it exists and its rule enables it, then refreshes; false when it
    /// did not run.
    bool Run(const QString& id);

    /// Sets where the rules' answers go; null: nowhere.
    void SetView(ICommandView* view) { m_view = view; }
    /// Tells the view what every rule says now.
    void Refresh();

private:
    struct Entry
    {
        QString Feature;
        CommandRow Row;
    };
    Entry* EntryOf(const QString& id);
    const Entry* EntryOf(const QString& id) const;

    std::vector<Entry> m_entries;
    ICommandView* m_view = nullptr;
};

} // namespace pv
