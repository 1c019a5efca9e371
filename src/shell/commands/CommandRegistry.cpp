// Registering the commands and keeping their rules.
#include "shell/commands/CommandRegistry.h"

#include "music/base/Log.h"

#include <set>

namespace pv {

CommandRegistry::Entry* CommandRegistry::EntryOf(const QString& id)
{
    for (Entry& entry : m_entries) {
        if (entry.Row.Id == id)
            return &entry;
    }
    return nullptr;
}

const CommandRegistry::Entry* CommandRegistry::EntryOf(const QString& id) const
{
    for (const Entry& entry : m_entries) {
        if (entry.Row.Id == id)
            return &entry;
    }
    return nullptr;
}

bool CommandRegistry::Register(const QString& feature, std::vector<CommandRow> rows)
{
    // Checked whole before anything is taken, so a refused feature leaves no half of itself.
    std::set<QString> ids;
    for (const CommandRow& row : rows) {
        const Entry* taken = EntryOf(row.Id);
        const bool ok = !row.Id.isEmpty() && row.Run && ids.insert(row.Id).second &&
                        (taken == nullptr || (taken->Row.Pending && !row.Pending));
        if (!ok) {
            qCWarning(lcPellivark).noquote()
                << "the commands of" << feature << "are refused: command" << row.Id
                << (taken != nullptr ? QStringLiteral("is registered by ") + taken->Feature
                                     : QStringLiteral("has no id, no handler or comes twice"));
            return false;
        }
    }
    for (CommandRow& row : rows) {
        if (Entry* pending = EntryOf(row.Id)) {
            *pending = Entry{feature, std::move(row)};
            continue;
        }
        m_entries.push_back(Entry{feature, std::move(row)});
    }
    return true;
}

const CommandRow* CommandRegistry::Find(const QString& id) const
{
    const Entry* entry = EntryOf(id);
    return entry != nullptr ? &entry->Row : nullptr;
}

QString CommandRegistry::FeatureOf(const QString& id) const
{
    const Entry* entry = EntryOf(id);
    return entry != nullptr ? entry->Feature : QString();
}

std::vector<QString> CommandRegistry::Ids() const
{
    std::vector<QString> ids;
    ids.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        ids.push_back(entry.Row.Id);
    return ids;
}

bool CommandRegistry::IsEnabled(const QString& id) const
{
    const CommandRow* row = Find(id);
    return row == nullptr || !row->Enabled || row->Enabled();
}

bool CommandRegistry::Run(const QString& id)
{
    const CommandRow* row = Find(id);
    if (row == nullptr || !IsEnabled(id))
        return false;
    // A copy: the handler may register or replace commands while it runs.
    const std::function<void()> run = row->Run;
    run();
    Refresh();
    return true;
}

void CommandRegistry::Refresh()
{
    if (m_view == nullptr)
        return;
    for (const Entry& entry : m_entries) {
        if (entry.Row.Enabled)
            m_view->ShowCommandEnabled(entry.Row.Id, entry.Row.Enabled());
        if (entry.Row.Checked)
            m_view->ShowCommandChecked(entry.Row.Id, entry.Row.Checked());
        if (entry.Row.Visible)
            m_view->ShowCommandVisible(entry.Row.Id, entry.Row.Visible());
    }
}

} // namespace pv
