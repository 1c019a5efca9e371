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
    fuzz::Require(LoadSettings(data, 3, true, environment));
    const TSettingsRec loaded = data.ProgramSettings;
    fuzz::Require(SaveSettings(data, 3));
    if (size % kSettingsRecSize == 0)
        fuzz::Require(fuzz::FuzzDataFolder::SizeOf(data.SettingsFilePath()) %
                          static_cast<qint64>(kSettingsRecSize) ==
                      0);
    fuzz::Require(LoadSettings(data, 3, false, environment));
    fuzz::Require(data.ProgramSettings.UserId == 3);
    fuzz::Require(EncodeSettingsRec(data.ProgramSettings) == [&] {
        TSettingsRec saved = loaded;
        saved.UserId = 3;
        return EncodeSettingsRec(saved);
    }());
    return 0;
}
