// Exclusive advisory locks for writers, unlocked readers, and whole-file replacement.
#include "music/data/SharedFile.h"

#include "music/strings/UIStrings.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
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

bool SameFile(int fd, const QByteArray& path)
{
    struct stat open_
    {
    };
    struct stat named
    {
    };
    if (fstat(fd, &open_) != 0 || stat(path.constData(), &named) != 0)
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

bool WriteAll(int fd, std::int64_t offset, std::span<const std::uint8_t> bytes)
{
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

} // namespace

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

SharedFile SharedFile::TryOpen(const QString& path)
{
    const QByteArray native = NativePath(path);
    for (int reopen = 0; reopen < kReopenLimit; ++reopen) {
        const int fd = open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            return {};
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            return {};
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
    return {};
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

bool SharedFile::WriteAt(std::int64_t offset, std::span<const std::uint8_t> bytes)
{
    return m_fd >= 0 && offset >= 0 && WriteAll(m_fd, offset, bytes);
}

QString ReplacementFileName(const QString& path)
{
    return path + QStringLiteral(".tmp");
}

bool SharedFile::ReplaceContents(std::span<const std::uint8_t> bytes)
{
    if (m_fd < 0)
        return false;
    const QByteArray native = NativePath(m_path);
    const QByteArray temp = NativePath(ReplacementFileName(m_path));
    // Truncated on open: a file left by an interrupted earlier rewrite must not lend its tail.
    const int fd = open(temp.constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    if (fstat(m_fd, &st) == 0)
        fchmod(fd, st.st_mode & 07777);
    const bool written = flock(fd, LOCK_EX | LOCK_NB) == 0 && WriteAll(fd, 0, bytes) &&
                         fsync(fd) == 0 && rename(temp.constData(), native.constData()) == 0;
    if (!written) {
        close(fd);
        unlink(temp.constData());
        return false;
    }
    SyncFolderOf(native);
    close(m_fd);
    m_fd = fd;
    return true;
}

SharedFile OpenShared(const QString& path, const QString& message, IPrompts& prompts,
                      IBusyWait& wait)
{
    SharedFile file = SharedFile::TryOpen(path);
    for (;;) {
        for (int i = 0; i < kTriesPerRound && !file.IsOpen(); ++i) {
            wait.Wait200ms();
            file = SharedFile::TryOpen(path);
        }
        if (file.IsOpen())
            return file;
        const QString text = message + QLatin1Char('\n') + UIStrings.StrFileBusy;
        if (prompts.AskOkRetry(text, UIStrings.StrMessageTitle) != PromptButton::Retry)
            return {};
        file = SharedFile::TryOpen(path);
    }
}

RecordReader::RecordReader(const QString& path, std::size_t recordSize) : m_recordSize(recordSize)
{
    m_fd = open(NativePath(path).constData(), O_RDONLY | O_CLOEXEC);
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
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t n = read(m_fd, record.data() + done, record.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
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

bool WriteRecordAt(SharedFile& file, std::int64_t index, std::span<const std::uint8_t> record)
{
    return file.WriteAt(index * static_cast<std::int64_t>(record.size()), record);
}

bool UpdateOrAppendRecord(SharedFile& file,
                          const std::function<bool(std::span<const std::uint8_t>)>& matches,
                          std::span<const std::uint8_t> record)
{
    if (file.Size() < 0)
        return false;
    const RecordSearch found = FindRecord(file, record.size(), matches);
    if (!found.complete)
        return false;
    return WriteRecordAt(file, found.index, record);
}

} // namespace pv
