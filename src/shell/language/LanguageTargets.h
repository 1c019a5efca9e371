// The text targets that windows register when they are made, by the key of the language table.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QString>
#include <QStringList>

namespace pv {

/// Keys read "<Form>.<Component>" (caption of a control, menu item or label), "<Form>" (the
/// window's caption), "<Form>.<Component>#hint" (tool tip), "<Form>.<Component>#title" (file
/// dialog title), "<Form>.<Component>[k]" (list entry k) and "<Form>.<Field>" (a form's text
/// field such as "ChordIdForm.Captions[0]" or "ChordIdForm.ExerciseDescription").
class LanguageTargets
{
public:
    using Setter = std::function<void(const QString&)>;
    using ListSetter = std::function<void(int index, const QString&)>;

    /// Adds a setter for the key; a key may have several (each gets the text).
    void Register(const QString& key, Setter setter);
    /// Registers "<listKey>[k]" for k = 0..count-1, each calling setter with k.
    void RegisterList(const QString& listKey, int count, const ListSetter& setter);
    /// Forgets every key of a window ("<form>" and "<form>.…"), for windows that come and go.
    void RemoveForm(const QString& form);
    /// Gives the text to every setter of the key; false when nobody registered it.
    bool Apply(const QString& key, const QString& text) const;
    bool IsRegistered(const QString& key) const;
    QStringList Keys() const;

private:
    std::map<QString, std::vector<Setter>> m_setters;
};

} // namespace pv
