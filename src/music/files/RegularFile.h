// Opening the files the program reads and writes (data files, language, setup, tutor, sound
// and intro files) one safe way: regular files only, never blocking on a pipe or a device.
#pragma once

#include "music/base/Result.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QString>

namespace pv {

/// Why a file could not be had as a regular file; the failure's detail gives it in words.
enum class FileRefusal : int
{
    Missing = 1,          ///< no such file, or a folder of its path is missing
    PermissionDenied = 2, ///< the file's or a folder's permissions refuse it
    NotRegularFile = 3,   ///< a folder, a pipe, a device or a socket bears the name
    SymbolicLink = 4,     ///< the name is a symbolic link where links are not followed
    TooLarge = 5,         ///< larger than the caller will ever read
    Failed = 6,           ///< any other reason the system gave
};

/// Whether a symbolic link in place of the file itself is followed. Links in the folders of
/// the path are always followed.
enum class LinkRule : int
{
    Follow = 0, ///< shipped and chosen files: a link to a regular file is that file
    Refuse = 1, ///< data files: a link (live or dangling) is refused, never followed
};

/// An open file descriptor, closed with its owner.
class FileHandle
{
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    /// Hands the descriptor over; this handle then owns none.
    int Release();

private:
    int m_fd = -1;
};

/// No size limit for OpenRegularFile.
inline constexpr std::int64_t kAnySize = -1;

/// Opens nativePath with the open(2) flags given (O_RDONLY, O_RDWR | O_CREAT, ...): first
/// without blocking, so a pipe or a device named like the file never waits for a partner;
/// then only a regular file of at most maxSize bytes is kept, and it is made blocking again.
/// A file it creates gets createMode (less the umask). The descriptor is closed on exec.
Result<FileHandle, FileRefusal> OpenRegularFile(const QByteArray& nativePath, int flags,
                                                LinkRule links, std::int64_t maxSize = kAnySize,
                                                unsigned createMode = 0666);

/// Reads a regular file whole, refusing one larger than limit; with headOnly a larger file
/// gives its first limit bytes instead. A file that shrinks while it is read is taken as far
/// as it went.
Result<std::vector<std::uint8_t>, FileRefusal>
ReadRegularFile(const QString& path, std::size_t limit, LinkRule links, bool headOnly = false);

/// True when path can be opened for reading as a regular file (the check before handing a
/// path to a library that opens it itself, blocking).
bool IsReadableRegularFile(const QString& path, LinkRule links);

/// The words for a system error number.
QString SystemErrorText(int errorNumber);

} // namespace pv
