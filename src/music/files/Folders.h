// Where the program and its writable data live, and case-insensitive lookups of shipped files.
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

namespace pv {

/// The two folders of the program, both ending in '/' and never case-changed.
struct Folders
{
    QString ProgramFolder; ///< the folder of the executable: languages, media, tutors
    QString DataFolder;    ///< User.dat, Setting.dat, Class.dat, Chord.dat and Result/
};

/// The environment variable that overrides the data folder (used by tests and portable runs).
inline constexpr const char* kDataFolderVariable = "PELLIVARK_DATA";

/// Chooses the folders for a program in programFolder: the data folder is `PELLIVARK_DATA`
/// when set, else programFolder + "Data/" when that can be written, else the user's
/// application data location + "/Data/". Nothing is created here.
Folders ChooseFolders(const QString& programFolder);

/// The folder an installed program's shipped files lie in, for its binary in binaryFolder:
/// `<prefix>/share/pellivark/` for `<prefix>/bin` (the way the build installs them), with '/'.
QString InstalledProgramFolder(const QString& binaryFolder);

/// Chooses the folders of a program whose binary lies in binaryFolder. A binary with its
/// shipped files beside it (a Language folder there: the build folder or a portable copy) is
/// the program folder, as ChooseFolders says. Else, when InstalledProgramFolder exists, the
/// program is installed: that folder is the program folder, and the data folder is
/// `PELLIVARK_DATA` when set, else the user's application data location + "/Data/", never
/// the installation, not even one this user could write. Else as ChooseFolders(binaryFolder).
Folders ChooseFoldersOfBinary(const QString& binaryFolder);
/// The folders of the running executable (QCoreApplication::applicationDirPath).
Folders ChooseFoldersOfApplication();

/// The folder of the result files: DataFolder + "Result/".
QString ResultFolder(const Folders& folders);

/// Creates the data folder and its Result folder when missing; the folder that could not
/// be created when one fails.
std::optional<QString> CreateDataFolders(const Folders& folders);

/// A stored file name made usable: a name with a folder part ('\\' or '/') is kept (with
/// Windows separators turned into '/'); a bare name is taken from the program folder.
QString MakeAbsolutePath(const Folders& folders, const QString& name);

/// Whether path names something the program brought along: anything in the program folder
/// that is not in the data folder (which may lie inside it). The program never writes such a
/// file. Links are followed to where they lead; a name that does not exist yet is judged by
/// the folder it would be made in.
bool IsShippedFile(const Folders& folders, const QString& path);

/// The path of the file in folder whose name equals name ignoring case, the exact spelling
/// preferred; empty when there is none.
QString FindFileCaseInsensitive(const QString& folder, const QString& name);

/// The names of the files in folder matching a wildcard pattern ("*.lan") ignoring case,
/// sorted ignoring case (ties in exact byte order) so "the first match" is deterministic.
QStringList GlobCaseInsensitive(const QString& folder, const QString& pattern);

} // namespace pv
