// The services the data-file routines share: opening for writing, and reporting a file that
// cannot be read once instead of taking it as absent.
#include "music/data/DataFiles.h"

namespace pv {

Failure<DataError> Reentered()
{
    return Fail(DataError::Reentered);
}

Result<SharedFile, DataError> OpenDataFile(DataFiles& data, const QString& path,
                                           const QString& message)
{
    return OpenShared(path, message, data.prompts, data.wait, data.strings);
}

Result<LockedDataFile, DataError> OpenAndReadDataFile(DataFiles& data, const QString& path,
                                                      const QString& message)
{
    auto opened = OpenDataFile(data, path, message);
    if (!opened)
        return opened.Err();
    auto content = ReadWhole(opened.Value());
    if (!content)
        return content.Err();
    return LockedDataFile{std::move(opened.Value()), std::move(content.Value())};
}

bool CheckRead(DataFiles& data, const QString& path, const QString& message,
               const RecordReader& reader)
{
    if (reader.Error()) {
        data.ReportedUnreadable.erase(path);
        return true;
    }
    if (data.ReportedUnreadable.insert(path).second)
        data.prompts.ShowError(FileErrorText(message, path, reader.Error().Err()),
                               data.strings.StrMessageTitle);
    return false;
}

} // namespace pv
