#include "music/strings/UIStrings.h"

#include <set>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(UIStrings, IdsAreUniqueAndEachFillsItsEntry)
{
    const auto ids = UIStringIds();
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size());
    UIStringTable table;
    for (int id : ids)
        EXPECT_TRUE(SetUIStringById(table, id, QStringLiteral("t"))) << id;
    EXPECT_FALSE(SetUIStringById(table, 6100, QStringLiteral("t")));
    EXPECT_FALSE(SetUIStringById(table, 4, QStringLiteral("t")));
}

TEST(UIStrings, LanguageIdsReachTheirNamedEntriesWithTheirSuffixes)
{
    UIStringTable table;
    SetUIStringById(table, 5032, QStringLiteral("The file is in use."));
    SetUIStringById(table, 102, QStringLiteral("no device"));
    SetUIStringById(table, 5313, QStringLiteral("tip 2"));
    SetUIStringById(table, 1515, QStringLiteral("fifth inversion"));
    SetUIStringById(table, 6006, QStringLiteral("Name"));
    SetUIStringById(table, 6050, QStringLiteral("Preparing reports"));
    EXPECT_EQ(table.StrFileBusy, QStringLiteral("The file is in use."));
    EXPECT_EQ(table.StrNoDevice, QStringLiteral("no device"));
    EXPECT_EQ(table.StrTips[2], QStringLiteral("tip 2"));
    EXPECT_EQ(table.StrInversionNames[5], QStringLiteral("fifth inversion"));
    EXPECT_EQ(table.StrReportLabel1, QStringLiteral("Name:"));
    EXPECT_EQ(table.StrPreparingReports, QStringLiteral("Preparing reports..."));
}

TEST(UIStrings, DefaultsAreTheTwoFixedTextsAndALaterLanguageKeepsWhatItLacks)
{
    UIStringTable table;
    EXPECT_TRUE(table.StrFileBusy.isEmpty());
    SetUIStringDefaults(table);
    EXPECT_EQ(table.StrFileNotFound, QStringLiteral("File does not exist:"));
    EXPECT_EQ(table.StrMessageTitle, QStringLiteral("Error"));
    EXPECT_TRUE(table.StrOK.isEmpty());

    SetUIStringById(table, 90, QStringLiteral("OK"));
    SetUIStringById(table, 93, QStringLiteral("Cancel"));
    // A second language that names only id 93.
    SetUIStringById(table, 93, QStringLiteral("Annuller"));
    EXPECT_EQ(table.StrOK, QStringLiteral("OK"));
    EXPECT_EQ(table.StrCancel, QStringLiteral("Annuller"));
}

} // namespace
} // namespace pv
