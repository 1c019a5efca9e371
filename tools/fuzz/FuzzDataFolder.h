// A data folder that lives for the whole fuzzing run, with prompts that always give up and a
// wait that never sleeps, for the fuzzers of the data-file readers.
#pragma once

#include "music/data/DataFiles.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <span>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace pv::fuzz {

class NoWait final : public IBusyWait
{
public:
    void Wait200ms() override {}
};

/// The one data folder of the run (in memory when /dev/shm exists).
class FuzzDataFolder
{
public:
    static FuzzDataFolder& Instance()
    {
        static FuzzDataFolder folder;
        return folder;
    }

    /// Fresh state over the folder, every file removed.
    DataFiles Fresh()
    {
        for (const QString& name : QDir(m_data).entryList(QDir::Files))
            QFile::remove(m_data + name);
        const QString results = m_data + QStringLiteral("Result/");
        for (const QString& name : QDir(results).entryList(QDir::Files))
            QFile::remove(results + name);
        return DataFiles(Folders{m_root.path() + QLatin1Char('/'), m_data}, m_prompts, m_wait,
                         m_strings);
    }

    static void Put(const QString& path, std::span<const std::uint8_t> bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size())));
    }

    static qint64 SizeOf(const QString& path) { return QFileInfo(path).size(); }

private:
    FuzzDataFolder()
        : m_root(QDir(QStringLiteral("/dev/shm")).exists()
                     ? QStringLiteral("/dev/shm/pellivark-fuzz-XXXXXX")
                     : QDir::tempPath() + QStringLiteral("/pellivark-fuzz-XXXXXX"))
    {
        m_data = m_root.path() + QStringLiteral("/Data/");
        if (!m_root.isValid() || !QDir().mkpath(m_data + QStringLiteral("Result")))
            std::abort();
    }

    QTemporaryDir m_root;
    QString m_data;
    SilentPrompts m_prompts;
    NoWait m_wait;
    UIStringTable m_strings;
};

/// Stops the run when a check (a bool or a status) fails.
template <class Check> void Require(const Check& ok)
{
    if (!static_cast<bool>(ok))
        std::abort();
}

/// Each whole record of input, encoded again after decoding, reads back to the same bytes.
template <class Decode, class Encode>
void RequireStableRecords(std::span<const std::uint8_t> input, std::size_t recordSize,
                          Decode decode, Encode encode)
{
    for (std::size_t at = 0; at + recordSize <= input.size(); at += recordSize) {
        const auto first = decode(input.subspan(at, recordSize));
        Require(first.has_value());
        const auto once = encode(*first);
        const auto second = decode(once);
        Require(second.has_value());
        Require(encode(*second) == once);
    }
}

/// Fresh state over the run's folder whose file pathOf(state) holds input.
template <class PathOf> DataFiles FreshHolding(std::span<const std::uint8_t> input, PathOf pathOf)
{
    DataFiles data = FuzzDataFolder::Instance().Fresh();
    FuzzDataFolder::Put(std::invoke(pathOf, data), input);
    return data;
}

} // namespace pv::fuzz
