// Whether this is the program's first run on this computer account, kept in the user's
// settings store.
#pragma once

#include <memory>

#include <QString>

class QSettings;

namespace pv {

class FirstRunStore
{
public:
    /// The user's own store (an INI file of organisation "Orvanta", application "Pellivark").
    FirstRunStore();
    /// The INI file at path instead, for tests and portable runs.
    explicit FirstRunStore(const QString& iniPath);
    ~FirstRunStore();
    FirstRunStore(const FirstRunStore&) = delete;
    FirstRunStore& operator=(const FirstRunStore&) = delete;

    /// Reads the first-run value and marks later runs as not the first. A run is the first
    /// when the value is missing or exactly "TRUE", or when the store cannot be used; only a
    /// usable store is written, and only when the run is the first.
    bool DecideFirstRun();

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace pv
