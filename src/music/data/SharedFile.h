// Opening the data files: readers share without locking, writers hold an exclusive lock and
// wait and ask while another running copy of the program holds it.
#pragma once

#include "music/base/Clock.h"
#include "music/base/Prompts.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include <QString>

namespace pv {

/// The pause between two tries of a busy file (`Wait200ms`); tests inject their own.
class IBusyWait
{
public:
    virtual ~IBusyWait() = default;
    virtual void Wait200ms() = 0;
};

/// Waits 200 ms by the given clock, handling pending events all the while.
class EventPumpWait final : public IBusyWait
{
public:
    explicit EventPumpWait(const IClock& clock = SteadyClock::Instance()) : m_clock(clock) {}
    void Wait200ms() override;

private:
    const IClock& m_clock;
};

/// A data file open for reading and writing while this process holds its exclusive lock.
/// Advisory locks bind only cooperating programs (every copy of this one).
class SharedFile
{
public:
    SharedFile() = default;
    ~SharedFile();
    SharedFile(SharedFile&& other) noexcept;
    SharedFile& operator=(SharedFile&& other) noexcept;
    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;

    /// Opens and locks without waiting; a closed file when busy or not openable.
    static SharedFile TryOpen(const QString& path);

    bool IsOpen() const { return m_fd >= 0; }
    const QString& Path() const { return m_path; }
    /// The length in bytes, -1 when it cannot be told.
    std::int64_t Size() const;
    /// Exactly bytes.size() bytes at offset; false on a short read.
    bool ReadAt(std::int64_t offset, std::span<std::uint8_t> bytes) const;
    /// Writes every byte at offset; false unless all were written.
    bool WriteAt(std::int64_t offset, std::span<const std::uint8_t> bytes);
    /// Replaces the whole content: a new file in the same folder is written, synced and
    /// renamed over this one, so a reader or a crash sees the old or the new content, never
    /// a mixture. The lock moves to the new file. False (and the old content kept) on failure.
    bool ReplaceContents(std::span<const std::uint8_t> bytes);
    void Close();

private:
    int m_fd = -1;
    QString m_path;
};

/// The name of the new file a whole-file rewrite of path goes through.
QString ReplacementFileName(const QString& path);

/// Opens path for writing, creating it when missing. While it cannot be had: ten further
/// tries with `Wait200ms` between, then the OK/Retry error box with message, a line break
/// and `StrFileBusy`; Retry makes ten more tries, OK gives up and gives a closed file.
SharedFile OpenShared(const QString& path, const QString& message, IPrompts& prompts,
                      IBusyWait& wait);

/// Reads a data file record by record, without locking. A file that does not open reads as
/// empty; a partial record at the end counts as the end.
class RecordReader
{
public:
    RecordReader(const QString& path, std::size_t recordSize);
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    /// Fills record (of recordSize bytes) with the next whole record; false at the end.
    bool Next(std::span<std::uint8_t> record);

private:
    int m_fd = -1;
    std::size_t m_recordSize;
};

/// Where a record search ended in a locked file: the matching record's index, else the
/// number of whole records (the aligned end, where an append belongs).
struct RecordSearch
{
    std::int64_t index = 0;
    bool matched = false;
    /// False when a whole record could not be read: index is then no place to write.
    bool complete = true;
};

/// Scans the whole records of file from record fromIndex on for the first that matches.
RecordSearch FindRecord(const SharedFile& file, std::size_t recordSize,
                        const std::function<bool(std::span<const std::uint8_t>)>& matches,
                        std::int64_t fromIndex = 0);

/// Writes one record at record index (the aligned offset, so a partial tail is overwritten).
bool WriteRecordAt(SharedFile& file, std::int64_t index, std::span<const std::uint8_t> record);

/// Writes record over the first whole record that matches, else after the last whole one.
/// False, with nothing written, when the search could not read every record it passed.
bool UpdateOrAppendRecord(SharedFile& file,
                          const std::function<bool(std::span<const std::uint8_t>)>& matches,
                          std::span<const std::uint8_t> record);

} // namespace pv
