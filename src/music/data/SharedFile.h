// Opening the data files: readers share without locking, writers hold an exclusive lock and
// wait and ask while another running copy of the program holds it.
#pragma once

#include "music/base/Clock.h"
#include "music/base/Prompts.h"
#include "music/data/DataError.h"
#include "music/strings/UIStrings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <utility>
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

    /// Opens and locks without waiting, creating a missing file. Only a regular file that is
    /// not a symbolic link and fits limit is opened (a pipe named like a data file must not
    /// block, a link must not lead a write elsewhere); Busy when another copy holds the lock,
    /// else the reason the file cannot be had.
    static Result<SharedFile, DataError> TryOpen(const QString& path, const SizeLimit& limit = {});

    bool IsOpen() const { return m_fd >= 0; }
    const QString& Path() const { return m_path; }
    /// The length in bytes, -1 when it cannot be told.
    std::int64_t Size() const;
    /// Exactly bytes.size() bytes at offset; false on a short read.
    bool ReadAt(std::int64_t offset, std::span<std::uint8_t> bytes) const;
    /// Writes every byte at offset; WriteFailed with the reason unless all were written.
    Status<DataError> WriteAt(std::int64_t offset, std::span<const std::uint8_t> bytes);
    /// Replaces the whole content: a new file in the same folder is written, synced and
    /// renamed over this one, so a reader or a crash sees the old or the new content, never
    /// a mixture. The new file gets a fresh unique name made exclusively, so a file or link
    /// planted beside the data file is never written through. The lock moves to the new
    /// file. On failure the old content is kept.
    Status<DataError> ReplaceContents(std::span<const std::uint8_t> bytes);
    /// Appends bytes to the new file of a replacement under way.
    using ReplacementWriter = std::function<Status<DataError>(std::span<const std::uint8_t>)>;
    /// ReplaceContents for content made piece by piece: produce hands every piece to the
    /// writer it gets; the new file replaces this one only when produce and every write
    /// succeeded, else it is removed and produce's or the write's failure comes back.
    Status<DataError>
    ReplaceStreaming(const std::function<Status<DataError>(const ReplacementWriter&)>& produce);
    void Close();

private:
    int m_fd = -1;
    QString m_path;
};

/// The name whole-file rewrites once went through (the data file's name + ".tmp"); a file
/// or link of that name is a leftover, removed (never followed) by the next rewrite.
QString ReplacementFileName(const QString& path);

/// The data files reported as unusable, each with its reason, so that one bad file gives one
/// message however often the program reads or writes it; a file that opens again is
/// forgotten, and a new failure of it is reported anew.
class FileReports
{
public:
    /// True the first time path fails for this reason since it last opened.
    bool FirstReport(const QString& path, DataError reason);
    /// path opened: its next failure is news.
    void Forget(const QString& path);

private:
    std::set<std::pair<QString, int>> m_reported;
};

/// Opens path for writing, creating it when missing (and its folder when that is missing).
/// While another copy holds it: ten further tries with `Wait200ms` between, then the
/// OK/Retry error box with message, a line break and `StrFileBusy`; Retry makes ten more
/// tries, OK gives up with Busy. Any other reason (permissions, a folder that cannot be
/// made, not a regular file, a symbolic link, too large) is shown in an error box naming the
/// file and the reason, once per file and reason when reports are kept, and comes back at once.
Result<SharedFile, DataError> OpenShared(const QString& path, const QString& message,
                                         IPrompts& prompts, IBusyWait& wait,
                                         const UIStringTable& strings,
                                         FileReports* reports = nullptr,
                                         const SizeLimit& limit = {});

/// The text of the error box for a file that cannot be had for a reason other than Busy:
/// the caller's message, the file and the reason, one a line.
QString FileErrorText(const QString& message, const QString& path,
                      const Failure<DataError>& failure);

/// Reads a data file record by record, without locking. A missing file reads as empty; a
/// partial record at the end counts as the end. A file that exists but cannot be read (its
/// permissions, not a regular file, a symbolic link, too large, a failed read) ends the
/// reading too, and Error() tells why.
class RecordReader
{
public:
    RecordReader(const QString& path, std::size_t recordSize, const SizeLimit& limit = {});
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    /// True when the file does not exist (which is no error).
    bool Missing() const { return m_missing; }
    /// Fills record (of recordSize bytes) with the next whole record; false at the end.
    bool Next(std::span<std::uint8_t> record);
    /// Ok, or why the file could not be read (to the end).
    const Status<DataError>& Error() const { return m_error; }

private:
    int m_fd = -1;
    bool m_missing = false;
    std::size_t m_recordSize;
    Status<DataError> m_error;
    /// Read ahead in large blocks: a file of many records is not one system call a record.
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
};

/// The length of an open file, or ReadFailed when the system cannot tell it.
Result<std::int64_t, DataError> KnownSize(const SharedFile& file);
/// Every byte of an open file; Damaged when they cannot all be read (a record that cannot be
/// read could be anyone's, so nothing should then be written from what was read).
Result<std::vector<std::uint8_t>, DataError> ReadWhole(const SharedFile& file);

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
Status<DataError> WriteRecordAt(SharedFile& file, std::int64_t index,
                                std::span<const std::uint8_t> record);

/// Writes record over the first whole record that matches, else after the last whole one.
/// Damaged, with nothing written, when the search could not read every record it passed.
Status<DataError>
UpdateOrAppendRecord(SharedFile& file,
                     const std::function<bool(std::span<const std::uint8_t>)>& matches,
                     std::span<const std::uint8_t> record);

} // namespace pv
