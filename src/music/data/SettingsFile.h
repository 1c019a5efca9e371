// Setting.dat: the program settings of each user, with record 1 as the template.
#pragma once

#include "music/data/DataFiles.h"
#include "music/files/SettingsRecord.h"

#include <QLocale>

namespace pv {

/// What the default settings depend on besides the files.
struct SettingsEnvironment
{
    QString LanguageFolder; ///< where the language files lie
    /// The system's language as a Windows id: by default that of the locale the program runs
    /// in (the system's, unless the program set another).
    std::uint16_t SystemLanguageId = LanguageIdOfLocale(QLocale());
    bool LowColourDisplay = false; ///< 256 colours or fewer
};

/// Fills settings (`ProgramSettings`): the user's record, else record 1, else the defaults with
/// a language found on disk. Only when Setting.dat did not exist and appendNew is set are the
/// defaults written as a new file; the failure of that write comes back. A file that exists but
/// cannot be read is reported once and its failure comes back, with the defaults in place and
/// nothing written.
Status<DataError> LoadSettings(DataFiles& data, TSettingsRec& settings, std::uint16_t userId,
                               bool appendNew, const SettingsEnvironment& environment);
/// Writes settings as the user's record (over the old one, else appended), their id made the
/// user's. Fails when the file stayed busy, cannot be had or the record was not wholly written.
Status<DataError> SaveSettings(DataFiles& data, TSettingsRec& settings, std::uint16_t userId);

} // namespace pv
