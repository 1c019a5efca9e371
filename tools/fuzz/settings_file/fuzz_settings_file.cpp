// Feeds arbitrary bytes to the settings loader as Setting.dat, then saves and reloads.
#include "../FuzzDataFolder.h"
#include "music/data/SettingsFile.h"

using namespace pv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> input(bytes, size);
    fuzz::RequireStableRecords(input, kSettingsRecSize, DecodeSettingsRec, EncodeSettingsRec);
    DataFiles data = fuzz::FreshHolding(input, &DataFiles::SettingsFilePath);

    const SettingsEnvironment environment{data.folders.ProgramFolder + QStringLiteral("Language"),
                                          1031, false};
    TSettingsRec settings = DefaultSettings();
    fuzz::Require(LoadSettings(data, settings, 3, true, environment));
    const TSettingsRec loaded = settings;
    fuzz::Require(SaveSettings(data, settings, 3));
    if (size % kSettingsRecSize == 0)
        fuzz::Require(fuzz::FuzzDataFolder::SizeOf(data.SettingsFilePath()) %
                          static_cast<qint64>(kSettingsRecSize) ==
                      0);
    fuzz::Require(LoadSettings(data, settings, 3, false, environment));
    fuzz::Require(settings.UserId == 3);
    fuzz::Require(EncodeSettingsRec(settings) == [&] {
        TSettingsRec saved = loaded;
        saved.UserId = 3;
        return EncodeSettingsRec(saved);
    }());
    return 0;
}
