// The language loader on small fixture files: parsing rules, targets and their special
// treatments, guards, flags, the derived names and bad input.
#include "exercises/items/ItemTables.h"
#include "music/files/Win1252.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"
#include "shell/language/LanguageIdTable.h"
#include "shell/language/LanguageLoader.h"
#include "shell/language/LanguageTargets.h"
#include "shell/language/StartMenuText.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <map>
#include <random>

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pv {
namespace {

class RecordingStartMenu final : public IStartMenuText
{
public:
    QStringList lines;
    std::vector<int> scrollStops;
    int clears = 0;

    void ClearDescriptions() override
    {
        ++clears;
        lines.clear();
    }
    void AddLine(const QString& text) override { lines.push_back(text); }
    void AddDescription(const QString& text) override
    {
        // A stand-in for the wrapping: one line per sentence is enough to count lines.
        for (const QString& part : text.split(QStringLiteral(". "), Qt::SkipEmptyParts))
            lines.push_back(part);
    }
    void MarkScrollStop() override { scrollStops.push_back(static_cast<int>(lines.size())); }
};

std::vector<std::uint8_t> Bytes(const QByteArray& text)
{
    return {text.begin(), text.end()};
}

class LanguageLoaderTest : public ::testing::Test
{
protected:
    LanguageLoaderTest()
    {
        SetUIStringDefaults(strings);
        ResetNotationTexts();
    }
    ~LanguageLoaderTest() override { ResetNotationTexts(); }

    /// Every registry key of both tables records the last text it got.
    void RegisterEverything()
    {
        for (const auto table : {FullLanguageTable(), DialogLanguageTable()}) {
            for (const LanguageTarget& t : table) {
                const QString key = QString::fromLatin1(t.Key);
                if (!targets.IsRegistered(key))
                    targets.Register(key, [this, key](const QString& text) { seen[key] = text; });
            }
        }
    }

    /// Writes the lines (Windows-1252, CR LF) and loads them.
    bool Load(const QByteArray& content, std::uint8_t flags = kLanguageAllTables)
    {
        dir.Write(QStringLiteral("Test.LAN"), Bytes(content));
        return LoadLanguageFile(dir.File(QStringLiteral("Test.LAN")), flags, context);
    }

    QString Seen(const char* key) const
    {
        const auto found = seen.find(QString::fromLatin1(key));
        return found == seen.end() ? QStringLiteral("<unset>") : found->second;
    }

    test::TempDir dir;
    UIStringTable strings;
    ItemTables items = BuiltInItemTables();
    LanguageTargets targets;
    test::ScriptedPrompts prompts;
    RecordingStartMenu menu;
    bool dialogOpen = false;
    bool wizardPending = false;
    LanguageContext context{strings,
                            items,
                            targets,
                            prompts,
                            &menu,
                            [this] { return dialogOpen; },
                            [this] { return wizardPending; }};
    std::map<QString, QString> seen;
};

TEST(LanguageLine, FollowsTheParsingRules)
{
    struct Case
    {
        const char* line;
        std::optional<int> id;
        const char* text;
    };
    const Case cases[] = {
        {"", std::nullopt, ""},
        {";5=comment", std::nullopt, ""},
        {"no equals sign", std::nullopt, ""},
        {"5=File", 5, "File"},
        {"   5=blanks before the id", 5, "blanks before the id"},
        {"5 =blank before the equals sign", std::nullopt, ""},
        {"5= blank after", 5, " blank after"},
        {"+5=sign", 5, "sign"},
        {"-5=negative", -5, "negative"},
        {"5=a=b", 5, "a=b"},
        {"5=", 5, ""},
        {"=no id", std::nullopt, ""},
        {"5x=letters", std::nullopt, ""},
        {"0x10=hex", std::nullopt, ""},
        {"\t5=tab", std::nullopt, ""},
        {"99999999999=too large", std::nullopt, ""},
        {" ;5=not a comment: the id fails", std::nullopt, ""},
        {"5=text with trailing blanks  ", 5, "text with trailing blanks  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto parsed = ParseLanguageLine(QString::fromLatin1(c.line));
        ASSERT_EQ(parsed.has_value(), c.id.has_value());
        if (parsed) {
            EXPECT_EQ(parsed->Id, *c.id);
            EXPECT_EQ(parsed->Text, QString::fromLatin1(c.text));
        }
    }
}

TEST_F(LanguageLoaderTest, AppliesLinesInFileOrderWithEitherLineEnd)
{
    RegisterEverything();
    const QByteArray file = "; a comment line\r\n"
                            "\r\n"
                            "broken line\r\n"
                            "5=&First\r\n"
                            "5=&File\n"       // a later line wins; LF alone ends a line too
                            "17 =skipped\r\n" // a blank before "=" fails the id
                            "  19=Who are you\r\n"
                            "7=not in the table\r\n"
                            "6100=beyond the table\r\n"
                            "42=Exercise\r\n"
                            "5005=Fehler"; // no line end at the end of the file
    ASSERT_TRUE(Load(file));
    EXPECT_EQ(Seen("MainForm.Filer1"), QStringLiteral("&File"));
    EXPECT_EQ(strings.StrFile, QStringLiteral("&File"));
    EXPECT_EQ(Seen("TutorDefineForm.File1"), QStringLiteral("&File"));
    EXPECT_EQ(Seen("MainForm.SpeedButton2#hint"), QStringLiteral("<unset>"));
    EXPECT_EQ(Seen("MainForm.Userinfo1"), QStringLiteral("Who are you..."));
    EXPECT_EQ(strings.StrViewExercise, QStringLiteral("Exercise"));
    EXPECT_EQ(Seen("MainForm.SpeedButton1#hint"), QStringLiteral("Exercise"));
    EXPECT_EQ(strings.StrMessageTitle, QStringLiteral("Fehler"));
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(LanguageLoaderTest, ReadsTheCodePageAndAByteOrderMarkedFile)
{
    RegisterEverything();
    ASSERT_TRUE(Load("5=Fi\xE6r \x80\r\n"));
    EXPECT_EQ(strings.StrFile, QString::fromUtf8("Fiær €"));
    ASSERT_TRUE(Load("\xEF\xBB\xBF"
                     "5=Fi\xC3\xA6r\r\n"));
    EXPECT_EQ(strings.StrFile, QString::fromUtf8("Fiær"));
}

TEST_F(LanguageLoaderTest, GivesEachSpecialIdItsTreatment)
{
    dialogOpen = true;
    RegisterEverything();
    const QString forty = QStringLiteral("A").repeated(40);
    struct Case
    {
        int id;
        QString text;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {10, QStringLiteral("Open"), "MainForm.Hentstandardopstning1", QStringLiteral("Open...")},
        {10, QStringLiteral("Open"), "LevelsForm.OpenDialog1#title", QStringLiteral("Open")},
        {15, QStringLiteral("Save"), "MainForm.SaveDialog1#title", QStringLiteral("Save")},
        {15, QStringLiteral("Save"), "MainForm.Gemopstning1", QStringLiteral("Save...")},
        {80, QStringLiteral("Help"), "MainForm.Hjlp1", QStringLiteral("&Help")},
        {80, QStringLiteral("Help"), "LevelsForm.BitBtn4", QStringLiteral("Help")},
        {80, QStringLiteral("Help"), "MainForm.SpeedButton4#hint", QStringLiteral("Help")},
        {100, QStringLiteral("Settings"), "MainForm.Programsettings1",
         QStringLiteral("Settings...")},
        {100, QStringLiteral("Settings"), "ProgramSettingsForm", QStringLiteral("Settings")},
        {240, QStringLiteral("Total"), "MainForm.Label4", QStringLiteral("Total:")},
        {1902, QStringLiteral("Notes"), "MelodyOpsForm.Label1", QStringLiteral("Notes:")},
        {4374, QStringLiteral("Tutor"), "ChooseTutorForm.BitBtn3", QStringLiteral("Tutor...")},
        {4374, QStringLiteral("Tutor"), "TutorlistForm", QStringLiteral("Tutor")},
        {5102, QStringLiteral("own files"), "LevelsForm.Label1", QStringLiteral("* = own files")},
        {5110, QStringLiteral("Other"), "TutorlistForm.BitBtn4", QStringLiteral("Other...")},
        {332, QStringLiteral("Diatonic"), "ChordOpsForm.ComboBox1[2]",
         QStringLiteral("-- DIATONIC ") + QString(24, QLatin1Char('-'))},
        {333, forty, "ChordOpsForm.ComboBox1[10]",
         QStringLiteral("-- ") + forty + QLatin1Char(' ')},
        {334, QStringLiteral("b").repeated(32), "ChordOpsForm.ComboBox1[24]",
         QStringLiteral("-- ") + QStringLiteral("B").repeated(32) + QLatin1Char(' ')},
        {205, QStringLiteral("New"), "MelodyForm.Captions[0]", QStringLiteral("New")},
        {205, QStringLiteral("New"), "ProgramSettingsForm.Label29", QStringLiteral("New")},
        {1235, QStringLiteral("x").repeated(90), "RhythmCorrectionForm.VerdictFormat",
         QStringLiteral("x").repeated(70)},
        {211, QStringLiteral("y").repeated(90), "ChordIdForm.QuestionTitle",
         QStringLiteral("y").repeated(60)},
        {5300, QStringLiteral(" h "), "MelodyOpsForm.SpeedButton2", QStringLiteral("D/h")},
        {5300, QStringLiteral(" h "), "MelodyOpsForm.SpeedButton5", QStringLiteral("H/g#")},
        {5300, QStringLiteral(" h "), "ChordOpsForm.ComboBox1[22]", QStringLiteral("H")},
        {5300, QStringLiteral(" h "), "ChordOpsForm.ComboBox1[33]", QStringLiteral("D/h (2#)")},
        {5300, QStringLiteral(" h "), "ChordOpsForm.ComboBox1[36]", QStringLiteral("H/g# (5#)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        seen.clear();
        ApplyLanguageText(c.id, c.text, kLanguageAllTables, context);
        EXPECT_EQ(Seen(c.key), c.expected);
    }
    EXPECT_EQ(NoteLetters()[11], QLatin1Char('H'));
    EXPECT_EQ(NoteLetters()[10], QLatin1Char('B')) << "B flat keeps its letter";

    // A letter of blanks changes nothing.
    seen.clear();
    ApplyLanguageText(5300, QStringLiteral("   "), kLanguageAllTables, context);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(NoteLetters()[11], QLatin1Char('H'));

    // String variables take their own suffix; the chord symbol entry 1 comes from 322.
    ApplyLanguageText(6050, QStringLiteral("Preparing"), kLanguageAllTables, context);
    ApplyLanguageText(6006, QStringLiteral("Class"), kLanguageAllTables, context);
    ApplyLanguageText(322, QStringLiteral("m"), kLanguageAllTables, context);
    ApplyLanguageText(3004, QStringLiteral("d").repeated(80), kLanguageAllTables, context);
    EXPECT_EQ(strings.StrPreparingReports, QStringLiteral("Preparing..."));
    EXPECT_EQ(strings.StrReportLabel1, QStringLiteral("Class:"));
    EXPECT_EQ(ChordSymbol(1), QStringLiteral("m"));
    EXPECT_EQ(items.ChordIdentification.Names[2], QStringLiteral("d").repeated(50));
}

TEST_F(LanguageLoaderTest, SetsGuardedWindowsOnlyWhileTheyExist)
{
    RegisterEverything();
    ASSERT_TRUE(Load("90=Fine\r\n5125=Welcome\r\n72=Piano\r\n"));
    EXPECT_EQ(strings.StrOK, QStringLiteral("Fine"));
    EXPECT_EQ(Seen("LevelsForm.BitBtn1"), QStringLiteral("Fine"));
    EXPECT_EQ(Seen("ProgramSettingsForm.BitBtn1"), QStringLiteral("<unset>"));
    EXPECT_EQ(Seen("ConfigWizardForm.TabSheet1"), QStringLiteral("<unset>"));
    EXPECT_EQ(Seen("ProgramSettingsForm.GroupBox6"), QStringLiteral("<unset>"));

    dialogOpen = true;
    wizardPending = true;
    ASSERT_TRUE(Load("90=Fine\r\n5125=Welcome\r\n72=Piano\r\n"));
    EXPECT_EQ(Seen("ProgramSettingsForm.BitBtn1"), QStringLiteral("Fine"));
    EXPECT_EQ(Seen("ConfigWizardForm.TabSheet1"), QStringLiteral("Welcome"));
    EXPECT_EQ(Seen("ProgramSettingsForm.GroupBox6"), QStringLiteral("Piano"));
}

TEST_F(LanguageLoaderTest, FlagsTwoSetOnlyTheOpenDialogButStillRebuildTheDerivedNames)
{
    RegisterEverything();
    strings.StrInversionNames[0] = QStringLiteral("Root");
    items.ChordInversions.Names[0] = QStringLiteral("stale");
    const QByteArray file = "72=Piano\r\n90=Fine\r\n1510=Grundstellung\r\n3000=Dur\r\n";

    ASSERT_TRUE(Load(file, kLanguageDialogTable));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(strings.StrOK, QString());
    EXPECT_EQ(strings.StrInversionNames[0], QStringLiteral("Root"));
    EXPECT_EQ(menu.clears, 0) << "without bit 0 the start menu keeps its text";
    EXPECT_EQ(items.ChordInversions.Names[0], QStringLiteral("Major (root)"));

    dialogOpen = true;
    ASSERT_TRUE(Load(file, kLanguageDialogTable));
    EXPECT_EQ(Seen("ProgramSettingsForm.GroupBox6"), QStringLiteral("Piano"));
    EXPECT_EQ(Seen("ProgramSettingsForm.BitBtn1"), QStringLiteral("<unset>"))
        << "the dialog's OK button belongs to the full table";
    EXPECT_EQ(strings.StrOK, QString());
}

TEST_F(LanguageLoaderTest, BuildsTheStartMenuTextAppendingAndMarkingTheScrollStop)
{
    menu.lines = {QStringLiteral("old welcome")};
    const QByteArray file = "5210=Welcome to\r\n"
                            "5211=ear training with\r\n"
                            "5212=First. Second\r\n"
                            "5217=Marked\r\n"
                            "5212=Third\r\n"
                            "5217=Marked again\r\n"
                            "5221=Chords, described\r\n";
    ASSERT_TRUE(Load(file));
    EXPECT_EQ(menu.clears, 1);
    EXPECT_EQ(menu.lines, (QStringList{QStringLiteral("Welcome to"),
                                       QStringLiteral("ear training with Pellivark Pro 4.0"),
                                       QStringLiteral("First"), QStringLiteral("Second"),
                                       QStringLiteral("Marked"), QStringLiteral("Third"),
                                       QStringLiteral("Marked again")}));
    // Stored twice; the start menu keeps the later value.
    EXPECT_EQ(menu.scrollStops, (std::vector<int>{4, 6}));
}

TEST_F(LanguageLoaderTest, MissingFileShowsTheMessageOnceAndChangesNothing)
{
    RegisterEverything();
    menu.lines = {QStringLiteral("old welcome")};
    items.ChordInversions.Names[0] = QStringLiteral("stale");
    const QString name = dir.File(QStringLiteral("Nowhere.LAN"));

    EXPECT_FALSE(LoadLanguageFile(name, kLanguageAllTables, context));
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].kind, QStringLiteral("error"));
    EXPECT_EQ(prompts.asked[0].text, QStringLiteral("File does not exist:\n\r\r") + name);
    EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Error"));
    EXPECT_TRUE(menu.lines.isEmpty()) << "bit 0 empties the description first";
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(items.ChordInversions.Names[0], QStringLiteral("stale"));

    // A folder of that name is no language file either; a very long name is cut.
    const QString longName = dir.Path() + QStringLiteral("x").repeated(300);
    EXPECT_FALSE(LoadLanguageFile(dir.Path(), 0, context));
    EXPECT_FALSE(LoadLanguageFile(longName, 0, context));
    ASSERT_EQ(prompts.asked.size(), 3u);
    EXPECT_EQ(prompts.asked[2].text,
              QStringLiteral("File does not exist:\n\r\r") + longName.left(151));
    EXPECT_EQ(menu.clears, 1);
}

TEST_F(LanguageLoaderTest, FindsTheFileWhoseNameDiffersOnlyInCase)
{
    dir.Write(QStringLiteral("English.LAN"), Bytes("5=&File\r\n"));
    EXPECT_TRUE(LoadLanguageFile(dir.File(QStringLiteral("english.lan")), 1, context));
    EXPECT_EQ(strings.StrFile, QStringLiteral("&File"));
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(LanguageLoaderTest, NamesInversionsAfterTheirChordAndGuardsDamagedTables)
{
    strings.StrInversionNames[0] = QStringLiteral("Root");
    strings.StrInversionNames[3] = QStringLiteral("Third");
    ItemTable& inv = items.ChordInversions;
    auto setItem = [&inv](std::size_t slot, int count, int chord, int inversion) {
        inv.Counts[slot] = static_cast<std::uint8_t>(count);
        inv.Items[slot].Notes[0].Code = static_cast<std::uint8_t>(chord);
        inv.Items[slot].Notes[1].Code = static_cast<std::uint8_t>(inversion);
        inv.Names[slot] = QStringLiteral("kept");
    };
    setItem(40, 3, 8, 3);   // maj7, third inversion
    setItem(41, 3, 200, 0); // a chord beyond the table: skipped
    setItem(42, 3, 1, 9);   // an inversion without a word: the chord's name alone
    setItem(43, 0, 1, 0);   // an empty slot
    setItem(44, 3, 255, 0); // marked as no chord
    setItem(45, 3, 29, 0);  // a chord with a long name
    items.ChordIdentification.Names[29] = QStringLiteral("c").repeated(50);

    RebuildDerivedTexts(items, strings);
    EXPECT_EQ(inv.Names[0], QStringLiteral("Major (root)"));
    EXPECT_EQ(inv.Names[40], QStringLiteral("maj7 (third)"));
    EXPECT_EQ(inv.Names[41], QStringLiteral("kept"));
    EXPECT_EQ(inv.Names[42], QStringLiteral("Minor"));
    EXPECT_EQ(inv.Names[43], QStringLiteral("kept"));
    EXPECT_EQ(inv.Names[44], QStringLiteral("kept"));
    EXPECT_EQ(inv.Names[45], QStringLiteral("c").repeated(50));

    // Chord symbols 2..18 come from the chord names (17 from item 23, 18 from item 25).
    EXPECT_EQ(ChordSymbol(2), items.ChordIdentification.Names[2]);
    EXPECT_EQ(ChordSymbol(16), items.ChordIdentification.Names[16]);
    EXPECT_EQ(ChordSymbol(17), items.ChordIdentification.Names[23]);
    EXPECT_EQ(ChordSymbol(18), items.ChordIdentification.Names[25]);
    EXPECT_EQ(ChordSymbol(0), QString());
}

TEST_F(LanguageLoaderTest, SurvivesDamagedFilesAndHostileFormats)
{
    RegisterEverything();
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 20; ++round) {
        QByteArray noise;
        for (int i = 0; i < 4000; ++i) {
            const int b = byte(random);
            // Plenty of line ends, "=" and digits so lines reach the targets.
            noise.append(b < 20 ? '\n' : b < 40 ? '=' : b < 80 ? char('0' + b % 10) : char(b));
        }
        EXPECT_TRUE(Load(noise));
    }
    // A line far longer than any text is skipped; the lines after it still count.
    EXPECT_TRUE(Load(QByteArray(100000, 'x') + "\r\n" + QByteArray(3, '\0') + "=\r\n" +
                     "5=" + QByteArray(200000, 'y') + "\r\n5=After\r\n"));
    EXPECT_EQ(strings.StrFile, QStringLiteral("After"));

    ASSERT_TRUE(Load("220=%s%s%s%n%p%999999999d%*d%-%.%1:%9:s%\r\n"
                     "1810=%d%d%d%d%d%d%d%d%s%x%u\r\n"));
    const QString score = Format(strings.StrIdentFormat1, {std::int64_t{3}, std::int64_t{5}});
    const QString melody = Format(strings.StrIdentText6, {std::int64_t{1}});
    EXPECT_TRUE(score.startsWith(QStringLiteral("35")));
    EXPECT_TRUE(melody.startsWith(QStringLiteral("1")));
}

TEST_F(LanguageLoaderTest, BuiltInTextsAndTheShippedFileFillEveryTarget)
{
    RegisterEverything();
    dialogOpen = true;
    wizardPending = true;
    ApplyBuiltInTexts(context);
    const auto builtIn = seen;
    const UIStringTable builtInStrings = strings;
    const ItemTables builtInItems = items;
    const QStringList builtInMenu = menu.lines;

    for (const auto table : {FullLanguageTable(), DialogLanguageTable()}) {
        for (const LanguageTarget& t : table) {
            const QString key = QString::fromLatin1(t.Key);
            if (targets.IsRegistered(key)) {
                EXPECT_FALSE(Seen(t.Key).trimmed().isEmpty()) << t.Id << " " << t.Key;
            }
        }
    }
    for (const QString& text :
         {strings.StrFile, strings.StrOK, strings.StrFileNotFound, strings.StrMessageTitle,
          strings.StrInversionNames[5], strings.StrTips[0], strings.StrTips[5],
          strings.StrReportLabel2, strings.StrPreparingReports}) {
        EXPECT_FALSE(text.isEmpty());
    }
    EXPECT_EQ(items.ChordInversions.Names[0], QStringLiteral("Major (root position)"));
    EXPECT_EQ(items.ChordInversions.Names[10], QStringLiteral("maj7 (1st inversion)"));
    EXPECT_EQ(ChordSymbol(1), QStringLiteral("m"));
    EXPECT_EQ(menu.clears, 1);
    EXPECT_EQ(menu.scrollStops.size(), 1u);
    EXPECT_GE(menu.lines.size(), 11);

    // The shipped file says the same.
    seen.clear();
    strings = UIStringTable{};
    items = BuiltInItemTables();
    menu.lines.clear();
    ASSERT_TRUE(
        LoadLanguageFile(QStringLiteral(PV_ENGLISH_LANGUAGE_FILE), kLanguageAllTables, context));
    EXPECT_EQ(seen, builtIn);
    EXPECT_EQ(items, builtInItems);
    EXPECT_EQ(strings.StrTips[5], builtInStrings.StrTips[5]);
    EXPECT_EQ(strings.StrPreparingReports, builtInStrings.StrPreparingReports);
    EXPECT_EQ(menu.lines, builtInMenu);
}

TEST_F(LanguageLoaderTest, TheShippedChordNamesWriteMinorChordsAsTeachersDo)
{
    ASSERT_TRUE(
        LoadLanguageFile(QStringLiteral(PV_ENGLISH_LANGUAGE_FILE), kLanguageAllTables, context));
    // A minor chord's symbol is "m" before its number or its bracketed seventh: "m7",
    // "m(maj7)"; never "mi7" or the comma form "mi,maj7".
    const QRegularExpression minorSymbol(QStringLiteral("^m[0-9(]"));
    for (std::size_t i = 0; i < 27; ++i) {
        const QString& name = items.ChordIdentification.Names[i];
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(name.contains(QLatin1Char(','))) << i;
        EXPECT_FALSE(name.startsWith(QStringLiteral("mi"))) << i;
    }
    EXPECT_EQ(items.ChordIdentification.Names[9], QStringLiteral("m(maj7)"));
    EXPECT_EQ(items.ChordIdentification.Names[21], QStringLiteral("m(maj9)"));
    for (std::size_t i : {7U, 9U, 12U, 16U, 21U})
        EXPECT_TRUE(minorSymbol.match(items.ChordIdentification.Names[i]).hasMatch()) << i;
    // Progressions name their chords with the same symbols.
    EXPECT_EQ(ChordSymbol(1), QStringLiteral("m"));
    EXPECT_EQ(ChordSymbol(9), QStringLiteral("m(maj7)"));
}

TEST_F(LanguageLoaderTest, ListsTheTargetsNoWindowRegistered)
{
    targets.Register(QStringLiteral("MainForm.Filer1"), [](const QString&) {});
    targets.RegisterList(QStringLiteral("ChordOpsForm.ComboBox1"), 40, [](int, const QString&) {});
    QStringList closed = UnregisteredTargetKeys(targets, false, false);
    EXPECT_FALSE(closed.contains(QStringLiteral("MainForm.Filer1")));
    EXPECT_FALSE(closed.contains(QStringLiteral("ChordOpsForm.ComboBox1[36]")));
    EXPECT_TRUE(closed.contains(QStringLiteral("MainForm.Hjlp1")));
    EXPECT_TRUE(closed.contains(QStringLiteral("ChordIdForm.Captions[0]")));
    EXPECT_FALSE(closed.contains(QStringLiteral("ProgramSettingsForm.BitBtn1")));
    EXPECT_FALSE(closed.contains(QStringLiteral("ConfigWizardForm.Button1")));
    EXPECT_EQ(closed.removeDuplicates(), 0);
    const QStringList open = UnregisteredTargetKeys(targets, true, true);
    EXPECT_TRUE(open.contains(QStringLiteral("ProgramSettingsForm.BitBtn1")));
    EXPECT_TRUE(open.contains(QStringLiteral("ProgramSettingsForm.GroupBox6")));
    EXPECT_TRUE(open.contains(QStringLiteral("ConfigWizardForm.Button1")));

    // A window that goes away takes its keys with it.
    targets.Register(QStringLiteral("ProgramSettingsForm.BitBtn1"), [](const QString&) {});
    targets.Register(QStringLiteral("ProgramSettingsForm"), [](const QString&) {});
    targets.RemoveForm(QStringLiteral("ProgramSettingsForm"));
    EXPECT_FALSE(targets.IsRegistered(QStringLiteral("ProgramSettingsForm.BitBtn1")));
    EXPECT_FALSE(targets.IsRegistered(QStringLiteral("ProgramSettingsForm")));
    EXPECT_TRUE(targets.IsRegistered(QStringLiteral("MainForm.Filer1")));
}

TEST_F(LanguageLoaderTest, ListsOnlyLanguagesWhoseNamesTheSettingsCanHold)
{
    for (const char* name : {"English.LAN", "deutsch.lan", "Sixteen_letters_.LAN",
                             "Fifteen_letters.LAN", "notes.txt", "Dansk.LAN.bak"})
        dir.Write(QString::fromLatin1(name), Bytes("5=x\r\n"));
    EXPECT_EQ(ListLanguageNames(dir.Path()),
              (QStringList{QStringLiteral("deutsch"), QStringLiteral("English"),
                           QStringLiteral("Fifteen_letters")}));
}

} // namespace
} // namespace pv
