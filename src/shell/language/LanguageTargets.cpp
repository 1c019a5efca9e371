// The registry of text targets.
#include "shell/language/LanguageTargets.h"

#include <utility>

namespace pv {

void LanguageTargets::Register(const QString& key, Setter setter)
{
    if (setter)
        m_setters[key].push_back(std::move(setter));
}

void LanguageTargets::RegisterList(const QString& listKey, int count, const ListSetter& setter)
{
    if (!setter)
        return;
    for (int k = 0; k < count; ++k) {
        Register(listKey + QLatin1Char('[') + QString::number(k) + QLatin1Char(']'),
                 [setter, k](const QString& text) { setter(k, text); });
    }
}

void LanguageTargets::RemoveForm(const QString& form)
{
    const QString prefix = form + QLatin1Char('.');
    for (auto it = m_setters.begin(); it != m_setters.end();) {
        if (it->first == form || it->first.startsWith(prefix))
            it = m_setters.erase(it);
        else
            ++it;
    }
}

bool LanguageTargets::Apply(const QString& key, const QString& text) const
{
    const auto found = m_setters.find(key);
    if (found == m_setters.end())
        return false;
    // A setter may register or remove targets (a window made on a text change): the copy
    // keeps this loop off a vector that could move.
    const std::vector<Setter> setters = found->second;
    for (const Setter& setter : setters)
        setter(text);
    return true;
}

bool LanguageTargets::IsRegistered(const QString& key) const
{
    return m_setters.find(key) != m_setters.end();
}

QStringList LanguageTargets::Keys() const
{
    QStringList keys;
    for (const auto& entry : m_setters)
        keys.push_back(entry.first);
    return keys;
}

} // namespace pv
