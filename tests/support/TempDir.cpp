// Temporary folders for file tests.
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pv::test {

TempDir::TempDir() : m_dir(QDir::tempPath() + QStringLiteral("/pellivark-test-XXXXXX")) {}

QString TempDir::Path() const
{
    return m_dir.path() + QLatin1Char('/');
}

bool TempDir::Write(const QString& name, const std::vector<std::uint8_t>& bytes) const
{
    const QString path = File(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    return f.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

std::vector<std::uint8_t> TempDir::Read(const QString& name) const
{
    QFile f(File(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    return {data.begin(), data.end()};
}

} // namespace pv::test
