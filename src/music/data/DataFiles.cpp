// The services the data-file routines share: opening for writing, reporting a file that cannot
// be read once instead of taking it as absent, and reporting a failed change.
#include "music/data/DataFiles.h"

namespace pv {

Failure<DataError> Reentered()
{
    return Fail(DataError::Reentered);
}

Result<SharedFile, DataError> OpenDataFile(DataFiles& data, const QString& path,
                                           const QString& message, const SizeLimit& limit)
{
    return OpenShared(path, message, data.prompts, data.wait, data.strings, &data.Reports, limit);
}

Result<LockedDataFile, DataError> OpenAndReadDataFile(DataFiles& data, const QString& path,
                                                      const QString& message,
                                                      const SizeLimit& limit)
{
    auto opened = OpenDataFile(data, path, message, limit);
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
        data.Reports.Forget(path);
        return true;
    }
    if (data.Reports.FirstReport(path, reader.Error().Code()))
        data.prompts.ShowError(FileErrorText(message, path, reader.Error().Err()),
                               data.strings.StrMessageTitle);
    return false;
}

void ReportDataFailure(DataFiles& data, const Failure<DataError>& failure, const QString& message,
                       const QString& path)
{
    // The opening asked or said these itself: saying them again would be a second box for
    // the one failure.
    if (ShownByOpening(failure.code))
        return;
    data.prompts.ShowError(FileErrorText(message, path, failure), data.strings.StrMessageTitle);
}

} // namespace pv
