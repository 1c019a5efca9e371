// The user-interface string table and its language ids.
#include "music/strings/UIStrings.h"

#include <array>

namespace pv {

namespace {

struct Entry
{
    int id;
    QString UIStringTable::*field; // null for an element of StrTips or StrInversionNames
    int index;
    const char* suffix;
};

// clang-format off
constexpr Entry kEntries[] = {
    {5, &UIStringTable::StrFile, -1, ""},
    {22, &UIStringTable::StrReports, -1, ""},
    {42, &UIStringTable::StrViewExercise, -1, ""},
    {44, &UIStringTable::StrViewSetup, -1, ""},
    {46, &UIStringTable::StrViewResults, -1, ""},
    {47, &UIStringTable::StrViewUserOverview, -1, ""},
    {80, &UIStringTable::StrHelp, -1, ""},
    {90, &UIStringTable::StrOK, -1, ""},
    {92, &UIStringTable::StrChange, -1, ""},
    {93, &UIStringTable::StrCancel, -1, ""},
    {95, &UIStringTable::StrClose, -1, ""},
    {96, &UIStringTable::StrPreview, -1, ""},
    {97, &UIStringTable::StrPrint, -1, ""},
    {98, &UIStringTable::StrSaveResultsQuery, -1, ""},
    {102, &UIStringTable::StrNoDevice, -1, ""},
    {110, &UIStringTable::StrRhythm, -1, ""},
    {132, &UIStringTable::StrVolume, -1, ""},
    {137, &UIStringTable::StrPlay, -1, ""},
    {212, &UIStringTable::StrIdentText1, -1, ""},
    {213, &UIStringTable::StrIdentText2, -1, ""},
    {220, &UIStringTable::StrIdentFormat1, -1, ""},
    {230, &UIStringTable::StrScore, -1, ""},
    {233, &UIStringTable::StrComparisonText2, -1, ""},
    {235, &UIStringTable::StrIdentText3, -1, ""},
    {236, &UIStringTable::StrIdentText4, -1, ""},
    {237, &UIStringTable::StrIdentText5, -1, ""},
    {240, &UIStringTable::StrTotal, -1, ""},
    {267, &UIStringTable::StrMicInput, -1, ""},
    {268, &UIStringTable::StrItemSuffix, -1, ""},
    {396, &UIStringTable::StrProgressionCaption1, -1, ""},
    {397, &UIStringTable::StrProgressionCaption2, -1, ""},
    {398, &UIStringTable::StrProgressionCaption3, -1, ""},
    {510, &UIStringTable::StrChordPageText, -1, ""},
    {615, &UIStringTable::StrComparisonText, -1, ""},
    {805, &UIStringTable::StrStop, -1, ""},
    {811, &UIStringTable::StrRhythmVerdict1, -1, ""},
    {812, &UIStringTable::StrRhythmVerdict2, -1, ""},
    {813, &UIStringTable::StrRhythmVerdict3, -1, ""},
    {814, &UIStringTable::StrRhythmVerdictFormat, -1, ""},
    {815, &UIStringTable::StrRhythmText1, -1, ""},
    {816, &UIStringTable::StrRhythmVerdict4, -1, ""},
    {820, &UIStringTable::StrRhythmText2, -1, ""},
    {831, &UIStringTable::StrRhythmText3, -1, ""},
    {832, &UIStringTable::StrRhythmText4, -1, ""},
    {835, &UIStringTable::StrRhythmText5, -1, ""},
    {942, &UIStringTable::StrRhythmSetupMessage, -1, ""},
    {1502, &UIStringTable::StrInversion, -1, ""},
    {1510, nullptr, 0, ""}, // StrInversionNames[0]
    {1511, nullptr, 1, ""}, // StrInversionNames[1]
    {1512, nullptr, 2, ""}, // StrInversionNames[2]
    {1513, nullptr, 3, ""}, // StrInversionNames[3]
    {1514, nullptr, 4, ""}, // StrInversionNames[4]
    {1515, nullptr, 5, ""}, // StrInversionNames[5]
    {1805, &UIStringTable::StrIdentFormat2, -1, ""},
    {1810, &UIStringTable::StrIdentText6, -1, ""},
    {1815, &UIStringTable::StrIdentText7, -1, ""},
    {1816, &UIStringTable::StrIdentText8, -1, ""},
    {1945, &UIStringTable::StrMelodyRangeMessage, -1, ""},
    {4020, &UIStringTable::StrImportUserFormat, -1, ""},
    {4022, &UIStringTable::StrImportMessage1, -1, ""},
    {4024, &UIStringTable::StrImportCopyFailed, -1, ""},
    {4026, &UIStringTable::StrImportMessage2, -1, ""},
    {4108, &UIStringTable::StrReportMessage, -1, ""},
    {4112, &UIStringTable::StrExportFormat, -1, ""},
    {4300, &UIStringTable::StrStepInfoFormat, -1, ""},
    {4304, &UIStringTable::StrTutorProgressFormat1, -1, ""},
    {4306, &UIStringTable::StrTutorProgress, -1, ""},
    {4307, &UIStringTable::StrTutorProgressFormat2, -1, ""},
    {4312, &UIStringTable::StrStepEndText1, -1, ""},
    {4314, &UIStringTable::StrStepEndText2, -1, ""},
    {4316, &UIStringTable::StrStepEndText3, -1, ""},
    {4318, &UIStringTable::StrStepEndText4, -1, ""},
    {4320, &UIStringTable::StrStepEndVerdict1, -1, ""},
    {4322, &UIStringTable::StrStepEndVerdict2, -1, ""},
    {4324, &UIStringTable::StrStepEndVerdict3, -1, ""},
    {4340, &UIStringTable::StrTutorMessage, -1, ""},
    {4370, &UIStringTable::StrTutorChooserFormat, -1, ""},
    {4513, &UIStringTable::StrResultsText, -1, ""},
    {4516, &UIStringTable::StrStatisticsText, -1, ""},
    {4522, &UIStringTable::StrDeleteResultsFormat, -1, ""},
    {4524, &UIStringTable::StrDeleteResultsCaption, -1, ""},
    {5005, &UIStringTable::StrMessageTitle, -1, ""},
    {5006, &UIStringTable::StrDelayTest, -1, ""},
    {5007, &UIStringTable::StrProgramTitle, -1, ""},
    {5008, &UIStringTable::StrSaveResultsCaption, -1, ""},
    {5010, &UIStringTable::StrFileNotFound, -1, ""},
    {5015, &UIStringTable::StrSetupFileInvalid, -1, ""},
    {5019, &UIStringTable::StrSaveSetupQuery, -1, ""},
    {5020, &UIStringTable::StrMidiInOpenError, -1, ""},
    {5021, &UIStringTable::StrMidiOutOpenError, -1, ""},
    {5022, &UIStringTable::StrNoMidiOutDevice, -1, ""},
    {5023, &UIStringTable::StrSettingsQuery, -1, ""},
    {5025, &UIStringTable::StrExportCopyFailed, -1, ""},
    {5027, &UIStringTable::StrResultFile, -1, ""},
    {5030, &UIStringTable::StrUserNamePrompt, -1, ""},
    {5031, &UIStringTable::StrChordFile, -1, ""},
    {5032, &UIStringTable::StrFileBusy, -1, ""},
    {5033, &UIStringTable::StrUserFile, -1, ""},
    {5035, &UIStringTable::StrStatisticsText2, -1, ""},
    {5038, &UIStringTable::StrSettingsFile, -1, ""},
    {5042, &UIStringTable::StrPurgeResultsFormat, -1, ""},
    {5112, &UIStringTable::StrWizardNext, -1, ""},
    {5115, &UIStringTable::StrWizardFinish, -1, ""},
    {5309, &UIStringTable::StrHideTip, -1, ""},
    {5311, nullptr, 0, ""}, // StrTips[0]
    {5312, nullptr, 1, ""}, // StrTips[1]
    {5313, nullptr, 2, ""}, // StrTips[2]
    {5314, nullptr, 3, ""}, // StrTips[3]
    {5315, nullptr, 4, ""}, // StrTips[4]
    {5316, nullptr, 5, ""}, // StrTips[5]
    {6000, &UIStringTable::StrReportText0, -1, ""},
    {6001, &UIStringTable::StrReportText1, -1, ""},
    {6002, &UIStringTable::StrReportText2, -1, ""},
    {6003, &UIStringTable::StrReportText3, -1, ""},
    {6004, &UIStringTable::StrReportText4, -1, ""},
    {6006, &UIStringTable::StrReportLabel1, -1, ":"},
    {6008, &UIStringTable::StrReportLabel2, -1, ":"},
    {6010, &UIStringTable::StrReportText5, -1, ""},
    {6012, &UIStringTable::StrReportText6, -1, ""},
    {6014, &UIStringTable::StrReportText7, -1, ""},
    {6016, &UIStringTable::StrReportText8, -1, ""},
    {6020, &UIStringTable::StrPreviewFormat, -1, ""},
    {6022, &UIStringTable::StrPreviewHint1, -1, ""},
    {6024, &UIStringTable::StrPreviewHint2, -1, ""},
    {6026, &UIStringTable::StrPreviewHint3, -1, ""},
    {6028, &UIStringTable::StrPreviewHint4, -1, ""},
    {6030, &UIStringTable::StrPreviewHint5, -1, ""},
    {6032, &UIStringTable::StrPreviewHint6, -1, ""},
    {6034, &UIStringTable::StrPreviewHint7, -1, ""},
    {6050, &UIStringTable::StrPreparingReports, -1, "..."},
};
// clang-format on

constexpr std::array<int, std::size(kEntries)> MakeIds()
{
    std::array<int, std::size(kEntries)> ids{};
    for (std::size_t i = 0; i < ids.size(); ++i)
        ids[i] = kEntries[i].id;
    return ids;
}

constexpr auto kIds = MakeIds();

} // namespace

void SetUIStringDefaults(UIStringTable& table)
{
    table.StrFileNotFound = QStringLiteral("File does not exist:");
    table.StrMessageTitle = QStringLiteral("Error");
}

bool SetUIStringById(UIStringTable& table, int id, const QString& text)
{
    for (const Entry& e : kEntries) {
        if (e.id != id)
            continue;
        const QString value = text + QLatin1String(e.suffix);
        if (e.field != nullptr)
            table.*(e.field) = value;
        else if (id >= 5311 && id <= 5316)
            table.StrTips[e.index] = value;
        else
            table.StrInversionNames[e.index] = value;
        return true;
    }
    return false;
}

std::span<const int> UIStringIds()
{
    return kIds;
}

} // namespace pv
