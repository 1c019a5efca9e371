#include "DataFixture.h"
#include "music/data/SettingsFile.h"

#include <QDir>
#include <QLocale>

namespace pv {
namespace {

class SettingsFileTest : public test::DataFixture
{
protected:
    SettingsEnvironment Environment(std::uint16_t languageId = 1033)
    {
        return {languageFolder, languageId, false};
    }
    QString languageFolder = dir.Path() + QStringLiteral("Language/");
};

TEST_F(SettingsFileTest, SaveRewritesTheUsersRecordInPlaceElseAppends)
{
    programSettings.FontSize = 11;
    ASSERT_TRUE(SaveSettings(data, programSettings, 1));
    programSettings.FontSize = 12;
    ASSERT_TRUE(SaveSettings(data, programSettings, 7));
    EXPECT_EQ(SizeOf(data.SettingsFilePath()), 2 * 816);

    programSettings.FontSize = 13;
    ASSERT_TRUE(SaveSettings(data, programSettings, 1));
    EXPECT_EQ(SizeOf(data.SettingsFilePath()), 2 * 816);

    ASSERT_TRUE(LoadSettings(data, programSettings, 7, false, Environment()));
    EXPECT_EQ(programSettings.FontSize, 12);
    ASSERT_TRUE(LoadSettings(data, programSettings, 1, false, Environment()));
    EXPECT_EQ(programSettings.FontSize, 13);
}

TEST_F(SettingsFileTest, UserWithoutARecordGetsRecordOneUnwrittenUntilSaved)
{
    programSettings.Language = QStringLiteral("Norsk");
    ASSERT_TRUE(SaveSettings(data, programSettings, 1));
    programSettings = DefaultSettings();
    ASSERT_TRUE(LoadSettings(data, programSettings, 5, true, Environment()));
    EXPECT_EQ(programSettings.Language, QStringLiteral("Norsk"));
    EXPECT_EQ(programSettings.UserId, 1);
    EXPECT_EQ(SizeOf(data.SettingsFilePath()), 816);

    ASSERT_TRUE(SaveSettings(data, programSettings, 5));
    EXPECT_EQ(SizeOf(data.SettingsFilePath()), 2 * 816);
    ASSERT_TRUE(LoadSettings(data, programSettings, 5, false, Environment()));
    EXPECT_EQ(programSettings.UserId, 5);
}

TEST_F(SettingsFileTest, DefaultLanguageIsFoundOnDisk)
{
    const struct
    {
        const char* name;
        std::uint16_t languageId;
        std::vector<const char*> files;
        const char* expected;
    } cases[] = {
        {"system language present", 1031, {"Deutch.LAN", "English.lan"}, "Deutch"},
        {"else English", 1031, {"English.LAN", "Dansk.lan"}, "English"},
        {"else the first file", 1031, {"suomi.lan", "Norsk.Lan"}, "Norsk"},
        {"else English anyway", 1036, {}, "English"},
        {"accented name",
         3084,
         {"Fran\xC3\xA7"
          "ais.lan"},
         "Fran\xC3\xA7"
         "ais"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(languageFolder).removeRecursively();
        QDir().mkpath(languageFolder);
        for (const char* file : c.files)
            ASSERT_TRUE(dir.Write(QStringLiteral("Language/") + QString::fromUtf8(file), {0}));
        ASSERT_TRUE(LoadSettings(data, programSettings, 3, false, Environment(c.languageId)));
        EXPECT_EQ(programSettings.Language, QString::fromUtf8(c.expected));
    }
    EXPECT_FALSE(QFileInfo::exists(data.SettingsFilePath()));
}

TEST_F(SettingsFileTest, FirstStartTakesTheLanguageOfTheLocaleTheProgramRunsIn)
{
    // The environment as the program makes it: only the language folder is given.
    const char* files[] = {"Dansk.lan",
                           "Deutch.LAN",
                           "Espa\xC3\xB1ol.lan",
                           "Suomi.lan",
                           "Fran\xC3\xA7"
                           "ais.lan",
                           "Norsk.lan",
                           "Svenska.lan",
                           "English.LAN",
                           "Italiano.lan"};
    QDir().mkpath(languageFolder);
    for (const char* file : files)
        ASSERT_TRUE(dir.Write(QStringLiteral("Language/") + QString::fromUtf8(file), {0}));
    const struct
    {
        const char* locale;
        const char* expected;
    } cases[] = {
        {"da_DK", "Dansk"},
        {"de_DE", "Deutch"},
        {"de_AT", "Deutch"},
        {"es_ES", "Espa\xC3\xB1ol"},
        {"es_MX", "Espa\xC3\xB1ol"},
        {"fi_FI", "Suomi"},
        {"fr_FR", "Fran\xC3\xA7"
                  "ais"},
        {"fr_CA", "Fran\xC3\xA7"
                  "ais"},
        {"nb_NO", "Norsk"},
        {"nn_NO", "Norsk"},
        {"sv_SE", "Svenska"},
        {"en_GB", "English"},
        // A language the names of the language files do not know.
        {"it_IT", "English"},
    };
    struct RestoreLocale
    {
        QLocale before;
        ~RestoreLocale() { QLocale::setDefault(before); }
    } restore;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        programSettings.Language.clear();
        ASSERT_TRUE(
            LoadSettings(data, programSettings, 1, false, SettingsEnvironment{languageFolder}));
        EXPECT_EQ(programSettings.Language, QString::fromUtf8(c.expected));
    }
}

TEST_F(SettingsFileTest, AppendNewCreatesAMissingFileOnly)
{
    SettingsEnvironment lowColour = Environment();
    lowColour.LowColourDisplay = true;
    ASSERT_TRUE(LoadSettings(data, programSettings, 3, true, lowColour));
    EXPECT_EQ(programSettings.BackgroundColor, kLowColourBackground);
    ASSERT_EQ(SizeOf(data.SettingsFilePath()), 816);
    EXPECT_EQ(DecodeSettingsRec(Bytes(data.SettingsFilePath()))->UserId, 1);

    // A file holding neither the user's record nor record 1 is not written to.
    TSettingsRec other = DefaultSettings();
    other.UserId = 9;
    std::vector<std::uint8_t> bytes;
    Append(bytes, EncodeSettingsRec(other));
    ASSERT_TRUE(Put(data.SettingsFilePath(), bytes));
    ASSERT_TRUE(LoadSettings(data, programSettings, 3, true, Environment()));
    EXPECT_EQ(Bytes(data.SettingsFilePath()), bytes);
}

TEST_F(SettingsFileTest, ShortRecordAtTheEndIsNoRecordAndGetsOverwritten)
{
    std::vector<std::uint8_t> bytes;
    Append(bytes, EncodeSettingsRec(DefaultSettings()));
    bytes.resize(bytes.size() + 300, 7);
    bytes[816] = 4; // looks like user 4, but is not whole
    ASSERT_TRUE(Put(data.SettingsFilePath(), bytes));
    programSettings.FontSize = 30;
    ASSERT_TRUE(LoadSettings(data, programSettings, 4, false, Environment()));
    EXPECT_EQ(programSettings.UserId, 1);
    programSettings.FontSize = 30;
    ASSERT_TRUE(SaveSettings(data, programSettings, 4));
    EXPECT_EQ(SizeOf(data.SettingsFilePath()), 2 * 816);
    ASSERT_TRUE(LoadSettings(data, programSettings, 4, false, Environment()));
    EXPECT_EQ(programSettings.FontSize, 30);
}

} // namespace
} // namespace pv
