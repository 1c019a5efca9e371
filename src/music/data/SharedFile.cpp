// Exclusive advisory locks for writers, unlocked readers, and whole-file replacement.
#include "music/data/SharedFile.h"

#include "music/files/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

namespace pv {

namespace {

constexpr int kTriesPerRound = 10;
// A rewrite by another copy replaces the file under our feet; this many reopenings of the new
// file are ample, as each one follows a completed replacement.
constexpr int kReopenLimit = 50;

QByteArray NativePath(const QString& path)
{
    return QFile::encodeName(path);
}

Failure<DataError> FromRefusal(const Failure<FileRefusal>& refusal)
{
    switch (refusal.code) {
    case FileRefusal::PermissionDenied:
        return Fail(DataError::PermissionDenied, refusal.detail);
    case FileRefusal::Missing:
        // Opening with O_CREAT: what is missing is a folder of the path.
        return Fail(DataError::MissingFolder, refusal.detail);
    case FileRefusal::NotRegularFile:
        return Fail(DataError::NotRegularFile, refusal.detail);
    case FileRefusal::SymbolicLink:
        return Fail(DataError::SymbolicLink, refusal.detail);
    case FileRefusal::TooLarge:
        return Fail(DataError::TooLarge, refusal.detail);
    case FileRefusal::Failed:
        break;
    }
    return Fail(DataError::OpenFailed, refusal.detail);
}

// A data file is a regular file reached without following a link, opened the program's one
// safe way, and no larger than its limit.
Result<int, DataError> OpenRegular(const QByteArray& native, int flags, const SizeLimit& limit)
{
    auto opened = OpenRegularFile(native, flags, LinkRule::Refuse);
    if (!opened)
        return FromRefusal(opened.Err());
    struct stat st
    {
    };
    if (fstat(opened.Value().Get(), &st) != 0)
        return Fail(DataError::ReadFailed, SystemReason(errno));
    if (limit.MaxBytes >= 0 && st.st_size > limit.MaxBytes) {
        QString why = QStringLiteral("%1 bytes, more than a data file can hold (%2 bytes)")
                          .arg(static_cast<qint64>(st.st_size))
                          .arg(limit.MaxBytes);
        if (!limit.Advice.isEmpty())
            why += QStringLiteral(". ") + limit.Advice;
        return Fail(DataError::TooLarge, why);
    }
    return opened.Value().Release();
}

bool SameFile(int fd, const QByteArray& path)
{
    struct stat open_
    {
    };
    struct stat named
    {
    };
    // lstat: a link put in the file's place since it was opened is not the file.
    if (fstat(fd, &open_) != 0 || lstat(path.constData(), &named) != 0)
        return false;
    return open_.st_dev == named.st_dev && open_.st_ino == named.st_ino;
}

// Moves size bytes at offset through transfer(done, position), which reads or writes what is
// left: short transfers and interrupted calls go on; an error or the end of the file stops.
template <class Transfer> bool TransferAll(std::int64_t offset, std::size_t size, Transfer transfer)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            transfer(done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// On failure errno holds the reason (0 when the file ended).
bool WriteAll(int fd, std::int64_t offset, std::span<const std::uint8_t> bytes)
{
    errno = 0;
    return TransferAll(offset, bytes.size(), [&](std::size_t done, off_t at) {
        return pwrite(fd, bytes.data() + done, bytes.size() - done, at);
    });
}

bool ReadAll(int fd, std::int64_t offset, std::span<std::uint8_t> bytes)
{
    return TransferAll(offset, bytes.size(), [&](std::size_t done, off_t at) {
        return pread(fd, bytes.data() + done, bytes.size() - done, at);
    });
}

void SyncFolderOf(const QByteArray& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    const int dirFd = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
}

// Under the file's lock no other rewrite of it is under way (a rewrite makes and renames its
// new file while it holds the lock), so any new file of its name is the leftover of a rewrite
// that was killed, as is a file of the fixed name older rewrites used. Removing one never
// follows a link.
void RemoveLeftovers(const QString& path)
{
    const QFileInfo info(path);
    const QDir folder = info.dir();
    const QStringList leftovers =
        folder.entryList({info.fileName() + QStringLiteral(".tmp??????")},
                         QDir::Files | QDir::System | QDir::Hidden | QDir::CaseSensitive);
    for (const QString& name : leftovers)
        unlink(NativePath(folder.filePath(name)).constData());
    unlink(NativePath(ReplacementFileName(path)).constData());
}

Failure<DataError> WriteFailure(int errorNumber)
{
    return Fail(DataError::WriteFailed,
                errorNumber != 0 ? SystemReason(errorNumber) : QStringLiteral("nothing written"));
}

} // namespace

QString SystemReason(int errorNumber)
{
    return SystemErrorText(errorNumber);
}

QString DataErrorText(const Failure<DataError>& failure)
{
    if (!failure.detail.isEmpty())
        return failure.detail;
    switch (failure.code) {
    case DataError::Busy:
        return QStringLiteral("in use by another running copy");
    case DataError::Reentered:
        return QStringLiteral("another change of the data files is waiting");
    case DataError::NoUser:
        return QStringLiteral("no user");
    default:
        return QStringLiteral("error %1").arg(static_cast<int>(failure.code));
    }
}

bool ShownByOpening(DataError code)
{
    switch (code) {
    case DataError::Busy:
    case DataError::PermissionDenied:
    case DataError::MissingFolder:
    case DataError::NotRegularFile:
    case DataError::SymbolicLink:
    case DataError::TooLarge:
    case DataError::OpenFailed:
        return true;
    default:
        return false;
    }
}

QString FileErrorText(const QString& message, const QString& path,
                      const Failure<DataError>& failure)
{
    QString text = message;
    if (!text.isEmpty())
        text += QLatin1Char('\n');
    return text + QDir::toNativeSeparators(path) + QLatin1Char('\n') + DataErrorText(failure);
}

void EventPumpWait::Wait200ms()
{
    const std::uint64_t start = m_clock.NowUs();
    while (m_clock.NowUs() - start < 200'000U) {
        if (QCoreApplication::instance() != nullptr)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        else
            usleep(5000);
    }
}

SharedFile::~SharedFile()
{
    Close();
}

SharedFile::SharedFile(SharedFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path))
{
}

SharedFile& SharedFile::operator=(SharedFile&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

void SharedFile::Close()
{
    if (m_fd >= 0)
        close(m_fd); // releases the lock
    m_fd = -1;
}

Result<SharedFile, DataError> SharedFile::TryOpen(const QString& path, const SizeLimit& limit)
{
    const QByteArray native = NativePath(path);
    for (int reopen = 0; reopen < kReopenLimit; ++reopen) {
        const auto opened = OpenRegular(native, O_RDWR | O_CREAT, limit);
        if (!opened)
            return opened.Err();
        const int fd = opened.Value();
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            close(fd);
            if (error == EWOULDBLOCK || error == EINTR)
                return Fail(DataError::Busy);
            return Fail(DataError::OpenFailed, SystemReason(error));
        }
        // Another copy may have replaced the file while we opened it: a lock on the old,
        // unlinked file would let two writers in at once, so take the file the name holds now.
        if (SameFile(fd, native)) {
            SharedFile file;
            file.m_fd = fd;
            file.m_path = path;
            return file;
        }
        close(fd);
    }
    // Replaced again and again: as good as held by another copy.
    return Fail(DataError::Busy);
}

std::int64_t SharedFile::Size() const
{
    struct stat st
    {
    };
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

bool SharedFile::ReadAt(std::int64_t offset, std::span<std::uint8_t> bytes) const
{
    return m_fd >= 0 && offset >= 0 && ReadAll(m_fd, offset, bytes);
}

Status<DataError> SharedFile::WriteAt(std::int64_t offset, std::span<const std::uint8_t> bytes)
{
    if (m_fd < 0 || offset < 0)
        return Fail(DataError::WriteFailed, QStringLiteral("the file is not open"));
    if (!WriteAll(m_fd, offset, bytes))
        return WriteFailure(errno);
    return {};
}

QString ReplacementFileName(const QString& path)
{
    return path + QStringLiteral(".tmp");
}

Status<DataError> SharedFile::ReplaceContents(std::span<const std::uint8_t> bytes)
{
    return ReplaceStreaming([bytes](const ReplacementWriter& write) { return write(bytes); });
}

Status<DataError> SharedFile::ReplaceStreaming(
    const std::function<Status<DataError>(const ReplacementWriter&)>& produce)
{
    if (m_fd < 0)
        return Fail(DataError::WriteFailed, QStringLiteral("the file is not open"));
    const QByteArray native = NativePath(m_path);
    RemoveLeftovers(m_path);
    // A fresh name made exclusively (O_CREAT | O_EXCL): an existing file or a planted link of
    // that name makes it pick another, so nothing outside the folder is ever written through.
    QByteArray temp = native + QByteArrayLiteral(".tmpXXXXXX");
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return WriteFailure(errno);
    const auto discard = [&](Status<DataError> failure) {
        close(fd);
        unlink(temp.constData());
        return failure;
    };
    struct stat st
    {
    };
    if (fstat(m_fd, &st) == 0)
        fchmod(fd, st.st_mode & 07777);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return discard(WriteFailure(errno));
    std::int64_t written = 0;
    const ReplacementWriter write = [&](std::span<const std::uint8_t> bytes) -> Status<DataError> {
        if (!WriteAll(fd, written, bytes))
            return WriteFailure(errno);
        written += static_cast<std::int64_t>(bytes.size());
        return {};
    };
    if (Status<DataError> made = produce(write); !made)
        return discard(std::move(made));
    if (fsync(fd) != 0 || rename(temp.constData(), native.constData()) != 0)
        return discard(WriteFailure(errno));
    SyncFolderOf(native);
    close(m_fd);
    m_fd = fd;
    return {};
}

bool FileReports::FirstReport(const QString& path, DataError reason)
{
    return m_reported.insert({path, static_cast<int>(reason)}).second;
}

void FileReports::Forget(const QString& path)
{
    std::erase_if(m_reported, [&](const auto& entry) { return entry.first == path; });
}

Result<SharedFile, DataError> OpenShared(const QString& path, const QString& message,
                                         IPrompts& prompts, IBusyWait& wait,
                                         const UIStringTable& strings, FileReports* reports,
                                         const SizeLimit& limit)
{
    auto file = SharedFile::TryOpen(path, limit);
    if (!file && file.Code() == DataError::MissingFolder) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!QFileInfo(folder).isDir() && QDir().mkpath(folder))
            file = SharedFile::TryOpen(path, limit);
    }
    for (;;) {
        // Only another running copy is worth waiting for; any other reason stays.
        for (int i = 0; i < kTriesPerRound && !file && file.Code() == DataError::Busy; ++i) {
            wait.Wait200ms();
            file = SharedFile::TryOpen(path, limit);
        }
        if (file) {
            if (reports != nullptr)
                reports->Forget(path);
            return file;
        }
        if (file.Code() != DataError::Busy) {
            if (reports == nullptr || reports->FirstReport(path, file.Code()))
                prompts.ShowError(FileErrorText(message, path, file.Err()),
                                  strings.StrMessageTitle);
            return file.Err();
        }
        // Busy is a question, not a report: the user may want to try again each time.
        const QString text = message + QLatin1Char('\n') + strings.StrFileBusy;
        if (prompts.AskOkRetry(text, strings.StrMessageTitle) != PromptButton::Retry)
            return file.Err();
        file = SharedFile::TryOpen(path, limit);
    }
}

RecordReader::RecordReader(const QString& path, std::size_t recordSize, const SizeLimit& limit)
    : m_recordSize(recordSize)
{
    const auto opened = OpenRegular(NativePath(path), O_RDONLY, limit);
    if (opened) {
        m_fd = opened.Value();
        return;
    }
    // A missing file, not a missing folder: nothing was stored yet.
    m_missing = opened.Code() == DataError::MissingFolder && !QFileInfo::exists(path) &&
                !QFileInfo(path).isSymLink();
    if (!m_missing)
        m_error = opened.Err();
}

RecordReader::~RecordReader()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool RecordReader::Next(std::span<std::uint8_t> record)
{
    if (m_fd < 0 || record.size() != m_recordSize)
        return false;
    constexpr std::size_t kBlock = 64 * 1024;
    if (m_buffer.size() < kBlock + m_recordSize)
        m_buffer.resize(kBlock + m_recordSize);
    while (m_end - m_begin < record.size()) {
        // What is left of the last block moves to the front; the next block follows it.
        std::copy(m_buffer.begin() + static_cast<std::ptrdiff_t>(m_begin),
                  m_buffer.begin() + static_cast<std::ptrdiff_t>(m_end), m_buffer.begin());
        m_end -= m_begin;
        m_begin = 0;
        const ssize_t n = read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            m_error = Fail(DataError::ReadFailed, SystemReason(errno));
            close(m_fd);
            m_fd = -1;
        }
        if (n <= 0)
            return false;
        m_end += static_cast<std::size_t>(n);
    }
    std::copy_n(m_buffer.begin() + static_cast<std::ptrdiff_t>(m_begin), record.size(),
                record.begin());
    m_begin += record.size();
    return true;
}

Result<std::int64_t, DataError> KnownSize(const SharedFile& file)
{
    const std::int64_t size = file.Size();
    if (size < 0)
        return Fail(DataError::ReadFailed, QStringLiteral("the file's size cannot be told"));
    return size;
}

Result<std::vector<std::uint8_t>, DataError> ReadWhole(const SharedFile& file)
{
    const auto size = KnownSize(file);
    if (!size)
        return size.Err();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.Value()));
    if (!file.ReadAt(0, bytes))
        return Fail(DataError::Damaged, QStringLiteral("the file cannot be read whole"));
    return bytes;
}

RecordSearch FindRecord(const SharedFile& file, std::size_t recordSize,
                        const std::function<bool(std::span<const std::uint8_t>)>& matches,
                        std::int64_t fromIndex)
{
    const auto size = static_cast<std::int64_t>(recordSize);
    // A partial record at the end is no record: the end of the data is the last whole one,
    // so an append lands aligned instead of misplacing every later record.
    const std::int64_t whole = std::max<std::int64_t>(file.Size(), 0) / size;
    std::vector<std::uint8_t> record(recordSize);
    for (std::int64_t i = std::max<std::int64_t>(fromIndex, 0); i < whole; ++i) {
        // An unreadable record may be anyone's: writing there would overwrite it unseen.
        if (!file.ReadAt(i * size, record))
            return {i, false, false};
        if (matches(record))
            return {i, true};
    }
    return {std::max(whole, fromIndex), false};
}

Status<DataError> WriteRecordAt(SharedFile& file, std::int64_t index,
                                std::span<const std::uint8_t> record)
{
    return file.WriteAt(index * static_cast<std::int64_t>(record.size()), record);
}

Status<DataError>
UpdateOrAppendRecord(SharedFile& file,
                     const std::function<bool(std::span<const std::uint8_t>)>& matches,
                     std::span<const std::uint8_t> record)
{
    if (const auto size = KnownSize(file); !size)
        return size.Err();
    const RecordSearch found = FindRecord(file, record.size(), matches);
    if (!found.complete)
        return Fail(DataError::Damaged,
                    QStringLiteral("record %1 cannot be read whole").arg(found.index + 1));
    return WriteRecordAt(file, found.index, record);
}

} // namespace pv
