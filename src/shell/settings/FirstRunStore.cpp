// The first-run value: group "4.0", key "Firsttime", text "TRUE" or "FALSE".
#include "shell/settings/FirstRunStore.h"

#include <QSettings>

namespace pv {

namespace {

const QString kKey = QStringLiteral("4.0/Firsttime");

} // namespace

FirstRunStore::FirstRunStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Orvanta"),
                                             QStringLiteral("Pellivark")))
{
}

FirstRunStore::FirstRunStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

FirstRunStore::~FirstRunStore() = default;

bool FirstRunStore::DecideFirstRun()
{
    // A store that cannot be read or written counts as never opened: the run is the first
    // and nothing is written into what may be someone else's damaged file.
    if (m_settings->status() != QSettings::NoError || !m_settings->isWritable())
        return true;
    bool firstRun = true;
    const QVariant value = m_settings->value(kKey);
    // Exactly "TRUE": a lower-case "true" is some other text and means an earlier run.
    if (value.isValid())
        firstRun = value.toString() == QStringLiteral("TRUE");
    if (firstRun) {
        m_settings->setValue(kKey, QStringLiteral("FALSE"));
        m_settings->sync();
    }
    return firstRun;
}

} // namespace pv
