// Why a data file could not be read or written, with the system's words for it.
#pragma once

#include "music/base/Result.h"

#include <cstdint>

#include <QString>

namespace pv {

enum class DataError : int
{
    Busy = 1,             ///< another running copy holds the file and the user gave up
    PermissionDenied = 2, ///< the file's or its folder's permissions refuse it
    MissingFolder = 3,    ///< the folder is missing and could not be made
    NotRegularFile = 4,   ///< a folder, a pipe or a device bears the file's name
    TooLarge = 5,         ///< far beyond any size the file can reach in use
    Damaged = 6,          ///< a record could not be read whole
    ReadFailed = 7,       ///< the system failed a read
    WriteFailed = 8,      ///< the system failed a write, a sync or the replacement
    OpenFailed = 9,       ///< any other reason the system gave for not opening it
    NoUser = 10,          ///< no user to name a result file after
    Reentered = 11,       ///< a writer was called while another one waited for its file
    SymbolicLink = 12,    ///< a symbolic link bears the file's name (links are not followed)
};

/// A data file is refused beyond this size. The largest real ones are User.dat and Setting.dat
/// with one record per user (65535 users of 620 and 816 bytes: about 53 MB) and a result file
/// (380 bytes a result: 64 MiB is some 175,000 results of one user).
inline constexpr std::int64_t kMaxDataFileSize = std::int64_t{64} * 1024 * 1024;

/// How large a data file may grow before it is refused, and what the refusal advises.
struct SizeLimit
{
    std::int64_t MaxBytes = kMaxDataFileSize; ///< negative: no limit
    QString Advice; ///< added to the refusal of a larger file: how it can be made smaller
};

/// The system's words for an errno value.
QString SystemReason(int errorNumber);

/// The words for a failure: its detail, else a plain description of its code.
QString DataErrorText(const Failure<DataError>& failure);

/// The failures that opening a data file shows itself (the busy question, or the file and
/// the reason once), so its caller does not report them again.
bool ShownByOpening(DataError code);

} // namespace pv
