// The services the data-file routines share: the folders, the prompts and busy wait of a file
// another copy holds, the message texts, and what was reported already. What the files hold in
// memory is the application state's (see DataRecords.h), passed to each routine apart.
#pragma once

#include "music/base/Prompts.h"
#include "music/data/SharedFile.h"
#include "music/files/Folders.h"
#include "music/strings/UIStrings.h"

#include <cstdint>
#include <vector>

#include <QString>

namespace pv {

struct DataFiles
{
    DataFiles(Folders folders_, IPrompts& prompts_, IBusyWait& wait_, const UIStringTable& strings_)
        : folders(std::move(folders_)), prompts(prompts_), wait(wait_), strings(strings_)
    {
    }

    Folders folders;
    IPrompts& prompts;
    IBusyWait& wait;
    const UIStringTable& strings; ///< the texts of the messages shown

    /// Set while a writer runs: its busy wait handles events, and one of them must not start
    /// a second writer on the state the first one is using.
    bool WriterRunning = false;
    /// The files already reported as unusable, so each is reported once per reason until it
    /// reads or opens again, however often the session tries it.
    FileReports Reports;

    QString UserFilePath() const { return folders.DataFolder + QStringLiteral("User.dat"); }
    QString SettingsFilePath() const { return folders.DataFolder + QStringLiteral("Setting.dat"); }
    QString ClassFilePath() const { return folders.DataFolder + QStringLiteral("Class.dat"); }
    QString ChordFilePath() const { return folders.DataFolder + QStringLiteral("Chord.dat"); }
};

/// Marks a writer running for its lifetime; Entered() is false when another was running
/// already (a call from an event handled during that one's wait), which must then not run.
class WriterScope
{
public:
    explicit WriterScope(DataFiles& data) : m_data(data), m_entered(!data.WriterRunning)
    {
        m_data.WriterRunning = true;
    }
    ~WriterScope()
    {
        if (m_entered)
            m_data.WriterRunning = false;
    }
    WriterScope(const WriterScope&) = delete;
    WriterScope& operator=(const WriterScope&) = delete;
    bool Entered() const { return m_entered; }

private:
    DataFiles& m_data;
    bool m_entered;
};

/// The refusal of a writer called while another one runs.
Failure<DataError> Reentered();

/// `OpenShared` with the data state's prompts, wait, texts and reports.
Result<SharedFile, DataError> OpenDataFile(DataFiles& data, const QString& path,
                                           const QString& message, const SizeLimit& limit = {});

/// A data file open for writing, with all it held when the lock was taken.
struct LockedDataFile
{
    SharedFile File;
    std::vector<std::uint8_t> Content;
};

/// `OpenDataFile`, then the whole file read under the lock, for a change that rewrites the
/// file from what it holds now (another copy may have written since this one last read it).
/// Damaged when it cannot all be read: what is not seen must not be written over.
Result<LockedDataFile, DataError> OpenAndReadDataFile(DataFiles& data, const QString& path,
                                                      const QString& message,
                                                      const SizeLimit& limit = {});

/// After reading path: a file that exists but could not be read is shown once per reason
/// (message, file and reason in an error box) until it reads again. True when the reading
/// was whole.
bool CheckRead(DataFiles& data, const QString& path, const QString& message,
               const RecordReader& reader);

/// Shows why the data file at path could not be used (message, the file and the reason in an
/// error box), unless opening it showed that already: the one way every caller reports a
/// failed change of a data file.
void ReportDataFailure(DataFiles& data, const Failure<DataError>& failure, const QString& message,
                       const QString& path);
/// The same for what a routine returned; a success shows nothing.
template <class T>
void ReportDataFailure(DataFiles& data, const Result<T, DataError>& result, const QString& message,
                       const QString& path)
{
    if (!result)
        ReportDataFailure(data, result.Err(), message, path);
}

} // namespace pv
