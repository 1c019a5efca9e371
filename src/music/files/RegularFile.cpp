// The one way the program opens a file by its name.
#include "music/files/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include <QFile>

namespace pv {

namespace {

QString KindOfNonRegular(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder, not a regular file");
    if (S_ISFIFO(mode))
        return QStringLiteral("a pipe, not a regular file");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket, not a regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device, not a regular file");
    return QStringLiteral("not a regular file");
}

Failure<FileRefusal> NotRegular(mode_t mode)
{
    return Fail(FileRefusal::NotRegularFile, KindOfNonRegular(mode));
}

Failure<FileRefusal> LinkRefused()
{
    return Fail(FileRefusal::SymbolicLink,
                QStringLiteral("a symbolic link, not a regular file (links are not followed)"));
}

// What the name holds when the open failed: the system's errno alone cannot tell a dangling
// link from a missing file, nor a pipe without a reader from a device without its driver.
Failure<FileRefusal> OpenFailure(const QByteArray& native, LinkRule links, int error)
{
    struct stat named
    {
    };
    const int found = links == LinkRule::Refuse ? lstat(native.constData(), &named)
                                                : stat(native.constData(), &named);
    if (found == 0) {
        if (S_ISLNK(named.st_mode))
            return LinkRefused();
        if (!S_ISREG(named.st_mode))
            return NotRegular(named.st_mode);
    }
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return Fail(FileRefusal::PermissionDenied, SystemErrorText(error));
    case ENOENT:
    case ENOTDIR:
        return Fail(FileRefusal::Missing, SystemErrorText(error));
    case EISDIR:
        return Fail(FileRefusal::NotRegularFile, KindOfNonRegular(S_IFDIR));
    default:
        return Fail(FileRefusal::Failed, SystemErrorText(error));
    }
}

} // namespace

QString SystemErrorText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

FileHandle::~FileHandle()
{
    if (m_fd >= 0)
        close(m_fd);
}

FileHandle::FileHandle(FileHandle&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

int FileHandle::Release()
{
    return std::exchange(m_fd, -1);
}

Result<FileHandle, FileRefusal> OpenRegularFile(const QByteArray& nativePath, int flags,
                                                LinkRule links, std::int64_t maxSize,
                                                unsigned createMode)
{
    if (nativePath.isEmpty())
        return Fail(FileRefusal::Missing, SystemErrorText(ENOENT));
    // Looked at before the open, so a device is not even opened; the check after the open is
    // the one that counts (the name may change in between).
    struct stat named
    {
    };
    const int found = links == LinkRule::Refuse ? lstat(nativePath.constData(), &named)
                                                : stat(nativePath.constData(), &named);
    if (found == 0 && S_ISLNK(named.st_mode))
        return LinkRefused();
    if (found == 0 && !S_ISREG(named.st_mode))
        return NotRegular(named.st_mode);
    int openFlags = flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    // O_NOFOLLOW refuses a link in place of the file even when it dangles, where O_CREAT
    // alone would make the file it points to, wherever that is.
    if (links == LinkRule::Refuse)
        openFlags |= O_NOFOLLOW;
    FileHandle file(open(nativePath.constData(), openFlags, static_cast<mode_t>(createMode)));
    if (!file.IsOpen())
        return OpenFailure(nativePath, links, errno);
    struct stat opened
    {
    };
    if (fstat(file.Get(), &opened) != 0)
        return Fail(FileRefusal::Failed, SystemErrorText(errno));
    if (!S_ISREG(opened.st_mode))
        return NotRegular(opened.st_mode);
    if (maxSize >= 0 && opened.st_size > maxSize)
        return Fail(FileRefusal::TooLarge,
                    QStringLiteral("%1 bytes, more than such a file can hold (%2 bytes)")
                        .arg(static_cast<qint64>(opened.st_size))
                        .arg(maxSize));
    const int status = fcntl(file.Get(), F_GETFL);
    if (status < 0 || fcntl(file.Get(), F_SETFL, status & ~O_NONBLOCK) != 0)
        return Fail(FileRefusal::Failed, SystemErrorText(errno));
    return file;
}

Result<std::vector<std::uint8_t>, FileRefusal>
ReadRegularFile(const QString& path, std::size_t limit, LinkRule links, bool headOnly)
{
    const auto maxSize =
        headOnly ? kAnySize
                 : static_cast<std::int64_t>(std::min(limit, static_cast<std::size_t>(INT64_MAX)));
    auto opened = OpenRegularFile(QFile::encodeName(path), O_RDONLY, links, maxSize);
    if (!opened)
        return opened.Err();
    const int fd = opened.Value().Get();
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0)
        return Fail(FileRefusal::Failed, SystemErrorText(errno));
    const auto size = static_cast<std::uint64_t>(std::max<off_t>(0, st.st_size));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(size, limit)));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Fail(FileRefusal::Failed, SystemErrorText(errno));
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

bool IsReadableRegularFile(const QString& path, LinkRule links)
{
    return OpenRegularFile(QFile::encodeName(path), O_RDONLY, links).Ok();
}

} // namespace pv
