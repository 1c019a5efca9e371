// Setting.dat routines and the choice of the default language.
#include "music/data/SettingsFile.h"

#include "music/files/Folders.h"

#include <QFileInfo>

namespace pv {

namespace {

bool IdIs(std::span<const std::uint8_t> record, std::uint16_t id)
{
    return record.size() >= 2 && static_cast<std::uint16_t>(record[0] | (record[1] << 8)) == id;
}

struct FoundSettings
{
    std::optional<TSettingsRec> record;
    Status<DataError> read; ///< why the file could not be read to the end
};

FoundSettings FindSettings(DataFiles& data, std::uint16_t userId)
{
    const QString path = data.SettingsFilePath();
    RecordReader reader(path, kSettingsRecSize);
    std::array<std::uint8_t, kSettingsRecSize> bytes{};
    FoundSettings found;
    while (!found.record && reader.Next(bytes)) {
        if (IdIs(bytes, userId))
            found.record = DecodeSettingsRec(bytes);
    }
    CheckRead(data, path, data.strings.StrSettingsFile, reader);
    found.read = reader.Error();
    return found;
}

QString DefaultLanguage(const SettingsEnvironment& environment)
{
    const QString& folder = environment.LanguageFolder;
    const QString system = LanguageName(environment.SystemLanguageId);
    if (!FindFileCaseInsensitive(folder, system + QStringLiteral(".lan")).isEmpty())
        return system;
    const QString english = QStringLiteral("English");
    if (!FindFileCaseInsensitive(folder, english + QStringLiteral(".lan")).isEmpty())
        return english;
    const QStringList found = GlobCaseInsensitive(folder, QStringLiteral("*.lan"));
    if (!found.isEmpty())
        return found.front().section(QLatin1Char('.'), 0, 0);
    return english;
}

} // namespace

Status<DataError> LoadSettings(DataFiles& data, TSettingsRec& settings, std::uint16_t userId,
                               bool appendNew, const SettingsEnvironment& environment)
{
    const QString path = data.SettingsFilePath();
    const QFileInfo info(path);
    const bool existed = info.exists() || info.isSymLink();
    const FoundSettings own = FindSettings(data, userId);
    if (own.record) {
        settings = *own.record;
        return {};
    }
    const FoundSettings model = FindSettings(data, 1);
    if (model.record) {
        settings = *model.record;
        return {};
    }
    settings = DefaultSettings();
    settings.Language = DefaultLanguage(environment);
    if (environment.LowColourDisplay)
        settings.BackgroundColor = kLowColourBackground;
    // A file that could not be read (already reported) is not taken as empty.
    if (!model.read)
        return model.read;
    // A file without the user's record and without record 1 is left alone: the settings are
    // written under the user's own id when the program closes.
    if (existed || !appendNew)
        return {};
    const WriterScope scope(data);
    if (!scope.Entered())
        return Reentered();
    auto opened = OpenDataFile(data, path, data.strings.StrSettingsFile);
    if (!opened)
        return opened.Err();
    const std::uint16_t id = settings.UserId;
    const auto bytes = EncodeSettingsRec(settings);
    return UpdateOrAppendRecord(
        opened.Value(), [&](std::span<const std::uint8_t> r) { return IdIs(r, id); }, bytes);
}

Status<DataError> SaveSettings(DataFiles& data, TSettingsRec& settings, std::uint16_t userId)
{
    const WriterScope scope(data);
    if (!scope.Entered())
        return Reentered();
    auto opened = OpenDataFile(data, data.SettingsFilePath(), data.strings.StrSettingsFile);
    if (!opened)
        return opened.Err();
    settings.UserId = userId;
    const auto bytes = EncodeSettingsRec(settings);
    return UpdateOrAppendRecord(
        opened.Value(), [&](std::span<const std::uint8_t> r) { return IdIs(r, userId); }, bytes);
}

} // namespace pv
