// Reading and writing setup files (".qib"): the current 670-byte record and the two sizes of
// the previous data version.
#pragma once

#include "exercises/setup/ExerciseSetup.h"
#include "music/base/Result.h"
#include "music/files/RegularFile.h"

#include <cstdint>
#include <optional>
#include <span>

#include <QByteArray>
#include <QString>

namespace pv {

/// Why a setup file could not be written or read, or a setup command did not complete; the
/// failure's detail holds the system's words where there are any.
enum class SetupFileError : int
{
    CannotCreate = 1, ///< the new file could not be made
    WriteFailed = 2,  ///< writing or completing it failed (a full disk, for one)
    CannotOpen = 3,   ///< the file to read could not be opened
    NotASetup = 4,    ///< the file read is damaged or no setup file
    Cancelled = 5,    ///< the user stopped the command; no file was touched
};

enum class SetupFileStatus : int
{
    Loaded = 0,     ///< a current record
    Converted = 1,  ///< an old record, converted
    CannotOpen = 2, ///< the file could not be opened
    Invalid = 3,    ///< wrong header, or shorter than its format: nothing to install
};

struct SetupFileRead
{
    SetupFileStatus Status = SetupFileStatus::Invalid;
    ExerciseSetup Setup; ///< the setup to install when Loaded or Converted
    /// Why it could not be opened (CannotOpen): missing, its permissions, no regular file...
    FileRefusal Refusal = FileRefusal::Missing;
    QString Reason; ///< the same in words
};

/// Decides a setup file from its size and its first bytes (at most 670 are looked at): 388
/// bytes are an old setup with a pad byte after each rhythm block, 386 an old setup, any other
/// size a current record whose surplus is ignored. A file too short for its format is Invalid,
/// never the default setup.
SetupFileRead DecodeSetupFile(std::span<const std::uint8_t> head, std::uint64_t fileSize);

/// Reads a setup file from disk. Only a regular file (or a link to one) is read, and it is
/// opened without waiting: a FIFO or a device named like a setup file cannot be opened, and
/// the refusal says why.
SetupFileRead ReadSetupFile(const QString& fileName);
/// The same for the path as the system spells it (any bytes, not only valid UTF-8).
SetupFileRead ReadSetupFileAt(const QByteArray& nativePath);

/// Writes the 670 bytes to a new file that replaces the old one only when complete; on failure
/// the old file is untouched and the error says why.
Status<SetupFileError> WriteSetupFile(const QString& fileName, const ExerciseSetup& setup);

} // namespace pv
