// Setup files on disk and the decision between their formats.
#include "exercises/setup/SetupFile.h"

#include "exercises/setup/OldSetupConverter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pv {

namespace {

// Copies count bytes of the file at pos into buffer at to; false when the file ends first.
bool ReadPiece(std::span<const std::uint8_t> head, std::size_t& pos, std::span<std::uint8_t> buffer,
               std::size_t to, std::size_t count)
{
    if (head.size() < pos || head.size() - pos < count)
        return false;
    std::copy_n(head.begin() + static_cast<std::ptrdiff_t>(pos), count,
                buffer.begin() + static_cast<std::ptrdiff_t>(to));
    pos += count;
    return true;
}

bool ReadPaddedOldSetup(std::span<const std::uint8_t> head, std::span<std::uint8_t> old)
{
    std::size_t pos = 0;
    bool ok = ReadPiece(head, pos, old, 0, kSetupHeaderSize);
    ok = ok && ReadPiece(head, pos, old, kOldChordOptionsOffset, 5 * kOldOptionBlockSize);
    for (std::size_t k = 0; k < 3 && ok; ++k) {
        ok = ReadPiece(head, pos, old, kOldRhythmOffset + k * kOldRhythmBlockSize,
                       kOldRhythmBlockSize);
        ++pos; // the pad byte after each rhythm block is dropped
    }
    // The melody block is read short by one byte; the buffer's zero stands in for it.
    return ok && ReadPiece(head, pos, old, kOldMelodyOffset, kOldMelodyBlockSize - 1);
}

} // namespace

SetupFileRead DecodeSetupFile(std::span<const std::uint8_t> head, std::uint64_t fileSize)
{
    head = head.first(std::min<std::size_t>(head.size(), kExerciseSetupSize));
    // Both buffers start zeroed with the one-character header "x", so a buffer that no read
    // fills fails the header test.
    std::array<std::uint8_t, kExerciseSetupSize> old{};
    std::array<std::uint8_t, kExerciseSetupSize> current{};
    old[0] = current[0] = 1;
    old[1] = current[1] = 'x';

    bool readOk = false;
    if (fileSize == kOldPaddedSetupSize) {
        readOk = ReadPaddedOldSetup(head, old);
    } else if (fileSize == kOldSetupSize) {
        std::size_t pos = 0;
        readOk = ReadPiece(head, pos, old, 0, kOldSetupSize);
    } else {
        std::size_t pos = 0;
        readOk = ReadPiece(head, pos, current, 0, kExerciseSetupSize);
    }

    SetupFileRead result;
    // A file shorter than its format is refused: installing the default under the file's name
    // would invite the next save to overwrite the user's file with it.
    if (!readOk)
        return result;
    if (HasSetupMark(old, kOldSetupMark)) {
        result.Status = SetupFileStatus::Converted;
        result.Setup = ConvertOldLevel(std::span<const std::uint8_t>(old).first(kOldSetupSize));
    } else if (HasSetupMark(current, kCurrentSetupMark)) {
        result.Status = SetupFileStatus::Loaded;
        result.Setup = *DecodeExerciseSetup(current);
    }
    return result;
}

SetupFileRead ReadSetupFile(const QString& fileName)
{
    return ReadSetupFileAt(QFile::encodeName(fileName));
}

SetupFileRead ReadSetupFileAt(const QByteArray& nativePath)
{
    // Opened the program's one safe way: a FIFO named like a setup file would otherwise hold
    // the open until some other program writes to it, which may be never.
    auto opened = OpenRegularFile(nativePath, O_RDONLY, LinkRule::Follow);
    if (!opened)
        return {SetupFileStatus::CannotOpen, {}, opened.Code(), opened.Detail()};
    const int fd = opened.Value().Get();
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0)
        return {SetupFileStatus::CannotOpen,
                {},
                FileRefusal::Failed,
                QString::fromLocal8Bit(std::strerror(errno))};
    std::vector<std::uint8_t> head(kExerciseSetupSize);
    std::size_t got = 0;
    while (got < head.size()) {
        const ssize_t n = ::read(fd, head.data() + got, head.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    return DecodeSetupFile(head, static_cast<std::uint64_t>(std::max<off_t>(0, info.st_size)));
}

Status<SetupFileError> WriteSetupFile(const QString& fileName, const ExerciseSetup& setup)
{
    const auto bytes = EncodeExerciseSetup(setup);
    QByteArray data(static_cast<qsizetype>(bytes.size()), '\0');
    std::transform(bytes.begin(), bytes.end(), data.begin(),
                   [](std::uint8_t b) { return static_cast<char>(b); });
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(SetupFileError::CannotCreate, file.errorString());
    // The record fits the device's buffer, so write() always "succeeds"; a full disk shows
    // only when the buffer goes to the file. commit() flushes too but loses that failure and
    // renames an empty file over the old one, so the flush is made and checked here.
    if (file.write(data) != data.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return Fail(SetupFileError::WriteFailed, why);
    }
    // Some file systems find the disk full only when the data go to the device, and commit()
    // ignores a failed sync.
    if (::fsync(file.handle()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return Fail(SetupFileError::WriteFailed, why);
    }
    if (!file.commit())
        return Fail(SetupFileError::WriteFailed, file.errorString());
    return {};
}

} // namespace pv
