// Setting.dat: the program settings of each user, with record 1 as the template.
#pragma once

#include "music/data/DataFiles.h"

namespace pv {

/// What the default settings depend on besides the files.
struct SettingsEnvironment
{
    QString LanguageFolder;                ///< where the language files lie
    std::uint16_t SystemLanguageId = 1033; ///< the system's language as a Windows id
    bool LowColourDisplay = false;         ///< 256 colours or fewer
};

/// Fills `ProgramSettings`: the user's record, else record 1, else the defaults with a language
/// found on disk. Only when Setting.dat did not exist and appendNew is set are the defaults
/// written as a new file; false when that write failed.
bool LoadSettings(DataFiles& data, std::uint16_t userId, bool appendNew,
                  const SettingsEnvironment& environment);
/// Writes `ProgramSettings` as the user's record (over the old one, else appended). False when
/// the file stayed busy or the record was not wholly written.
bool SaveSettings(DataFiles& data, std::uint16_t userId);

} // namespace pv
