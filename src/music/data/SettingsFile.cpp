// Setting.dat routines and the choice of the default language.
#include "music/data/SettingsFile.h"

#include "music/files/Folders.h"
#include "music/strings/UIStrings.h"

#include <QFileInfo>

namespace pv {

namespace {

bool IdIs(std::span<const std::uint8_t> record, std::uint16_t id)
{
    return record.size() >= 2 && static_cast<std::uint16_t>(record[0] | (record[1] << 8)) == id;
}

std::optional<TSettingsRec> FindSettings(const QString& path, std::uint16_t userId)
{
    RecordReader reader(path, kSettingsRecSize);
    std::array<std::uint8_t, kSettingsRecSize> bytes{};
    while (reader.Next(bytes)) {
        if (IdIs(bytes, userId))
            return DecodeSettingsRec(bytes);
    }
    return std::nullopt;
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

bool LoadSettings(DataFiles& data, std::uint16_t userId, bool appendNew,
                  const SettingsEnvironment& environment)
{
    const QString path = data.SettingsFilePath();
    const bool existed = QFileInfo(path).isFile();
    if (auto own = FindSettings(path, userId)) {
        data.ProgramSettings = *own;
        return true;
    }
    if (auto model = FindSettings(path, 1)) {
        data.ProgramSettings = *model;
        return true;
    }
    data.ProgramSettings = DefaultSettings();
    data.ProgramSettings.Language = DefaultLanguage(environment);
    if (environment.LowColourDisplay)
        data.ProgramSettings.BackgroundColor = kLowColourBackground;
    // A file without the user's record and without record 1 is left alone: the settings are
    // written under the user's own id when the program closes.
    if (existed || !appendNew)
        return true;
    SharedFile file = OpenShared(path, UIStrings.StrSettingsFile, data.prompts, data.wait);
    if (!file.IsOpen())
        return false;
    const std::uint16_t id = data.ProgramSettings.UserId;
    const auto bytes = EncodeSettingsRec(data.ProgramSettings);
    return UpdateOrAppendRecord(
        file, [&](std::span<const std::uint8_t> r) { return IdIs(r, id); }, bytes);
}

bool SaveSettings(DataFiles& data, std::uint16_t userId)
{
    SharedFile file =
        OpenShared(data.SettingsFilePath(), UIStrings.StrSettingsFile, data.prompts, data.wait);
    if (!file.IsOpen())
        return false;
    data.ProgramSettings.UserId = userId;
    const auto bytes = EncodeSettingsRec(data.ProgramSettings);
    return UpdateOrAppendRecord(
        file, [&](std::span<const std::uint8_t> r) { return IdIs(r, userId); }, bytes);
}

} // namespace pv
