// A temporary folder of real files for a test, removed afterwards.
#pragma once

#include <cstdint>
#include <vector>

#include <QString>
#include <QTemporaryDir>

namespace pv::test {

class TempDir
{
public:
    TempDir();
    bool IsValid() const { return m_dir.isValid(); }
    /// The folder with a trailing '/'.
    QString Path() const;
    QString File(const QString& name) const { return Path() + name; }
    bool Write(const QString& name, const std::vector<std::uint8_t>& bytes) const;
    std::vector<std::uint8_t> Read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

} // namespace pv::test
