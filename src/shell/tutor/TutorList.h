// The entries of the tutor list: the header of every tutor file in a folder.
#pragma once

#include "music/files/Folders.h"
#include "music/files/UserRecord.h"
#include "shell/tutor/TutorFile.h"

#include <vector>

#include <QString>

namespace pv {

/// One entry of the tutor list.
struct TAddInf
{
    TutorHeader Header;
    QString Path; ///< a bare file name for tutors of the program folder
};

/// The header of the tutor file at path; a file too short for a header gives what it holds.
Result<TutorHeader, TutorError> ReadHeader(const QString& path);

/// The title of the tutor the user's record names, as its header holds it (a bare name lies
/// in the program folder); empty when the record names none or the header cannot be read.
QString UsersTutorTitle(const Folders& folders, const TUserRec& rec);

/// Every "*.tut" file of folder (matched ignoring case, in name order), with its header; an
/// entry whose title is empty or unreadable is listed under its file name (50 characters at
/// most). Tutors of the program folder carry bare names, resolved there when loaded.
std::vector<TAddInf> ScanFolder(const QString& folder, const Folders& folders);

/// The path of entry index of entries; nothing when no entry is selected (index out of range).
std::optional<QString> SelectedPath(const std::vector<TAddInf>& entries, int index);

} // namespace pv
