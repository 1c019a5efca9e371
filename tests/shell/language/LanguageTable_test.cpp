// The id table and our English texts: every id of both lists once, with sound targets and
// texts that fit the program.
#include "exercises/items/ItemTables.h"
#include "music/files/Win1252.h"
#include "music/strings/UIStrings.h"
#include "shell/language/BuiltInLanguageTexts.h"
#include "shell/language/LanguageIdTable.h"

#include <algorithm>
#include <map>
#include <set>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

// The two id lists as the language-file format names them, written out here on their own so
// the table cannot agree with itself by accident.
const std::vector<int> kFullIds = {
    5,    10,   15,   16,   17,   18,   19,   20,   22,   23,   25,   26,   30,   31,   32,   34,
    40,   42,   44,   45,   46,   47,   48,   49,   51,   53,   55,   56,   58,   60,   61,   62,
    63,   70,   71,   80,   81,   82,   83,   84,   85,   86,   87,   90,   92,   93,   95,   96,
    97,   98,   100,  102,  110,  132,  137,  200,  205,  207,  210,  211,  212,  213,  220,  230,
    233,  235,  236,  237,  240,  245,  250,  255,  257,  260,  265,  267,  268,  270,  275,  301,
    310,  311,  312,  313,  314,  320,  322,  328,  330,  331,  332,  333,  334,  335,  336,  337,
    338,  339,  340,  341,  342,  345,  350,  355,  360,  361,  362,  363,  364,  365,  370,  375,
    380,  382,  384,  386,  394,  396,  397,  398,  400,  411,  500,  510,  600,  615,  760,  800,
    805,  807,  808,  809,  810,  811,  812,  813,  814,  815,  816,  820,  821,  822,  823,  825,
    827,  830,  831,  832,  835,  905,  910,  915,  920,  925,  930,  932,  935,  936,  940,  942,
    950,  952,  954,  956,  965,  1000, 1008, 1010, 1200, 1210, 1212, 1215, 1220, 1225, 1230, 1235,
    1240, 1245, 1340, 1400, 1411, 1502, 1510, 1511, 1512, 1513, 1514, 1515, 1600, 1611, 1800, 1805,
    1810, 1811, 1815, 1816, 1902, 1905, 1910, 1915, 1920, 1925, 1930, 1935, 1936, 1937, 1945, 2000,
    2011, 2013, 2100, 3000, 3002, 3004, 3006, 3007, 3008, 3010, 3012, 3014, 3016, 3018, 3020, 3022,
    3024, 3026, 3028, 3030, 3032, 3034, 3036, 3038, 3040, 3042, 3044, 3046, 3048, 3050, 3052, 3054,
    3056, 3058, 3100, 3102, 3104, 3106, 3108, 3110, 3112, 3114, 3116, 3118, 3120, 3122, 3124, 3126,
    3128, 3130, 3132, 3134, 3136, 3138, 3140, 3142, 3144, 3146, 3148, 3300, 3302, 3304, 3306, 3308,
    3310, 3312, 3314, 3316, 3318, 3320, 3322, 3324, 3326, 3328, 3329, 3330, 3332, 3334, 3336, 3338,
    3340, 3342, 3344, 3346, 3348, 3350, 3352, 3354, 3356, 3358, 4000, 4002, 4004, 4006, 4008, 4012,
    4014, 4016, 4018, 4020, 4022, 4024, 4026, 4086, 4108, 4112, 4300, 4302, 4304, 4306, 4307, 4309,
    4310, 4312, 4314, 4316, 4318, 4320, 4322, 4324, 4326, 4328, 4330, 4340, 4350, 4352, 4354, 4356,
    4370, 4372, 4374, 4500, 4502, 4504, 4505, 4506, 4508, 4510, 4512, 4513, 4514, 4516, 4518, 4522,
    4524, 4900, 4902, 4903, 4904, 5005, 5006, 5007, 5008, 5010, 5015, 5019, 5020, 5021, 5022, 5023,
    5025, 5027, 5030, 5031, 5032, 5033, 5035, 5038, 5042, 5100, 5102, 5105, 5110, 5112, 5113, 5115,
    5125, 5126, 5127, 5128, 5129, 5131, 5132, 5150, 5151, 5153, 5156, 5157, 5159, 5160, 5161, 5162,
    5164, 5200, 5210, 5211, 5212, 5213, 5214, 5215, 5216, 5217, 5218, 5219, 5220, 5221, 5222, 5223,
    5224, 5225, 5226, 5227, 5228, 5229, 5230, 5300, 5309, 5311, 5312, 5313, 5314, 5315, 5316, 6000,
    6001, 6002, 6003, 6004, 6006, 6008, 6010, 6012, 6014, 6016, 6020, 6022, 6024, 6026, 6028, 6030,
    6032, 6034, 6050};
const std::vector<int> kDialogIds = {
    72,  74,  76,  78,  101, 104, 105, 107, 108, 115, 117, 120, 125, 135, 139, 140, 145,
    146, 150, 151, 152, 153, 154, 160, 161, 163, 164, 165, 168, 169, 170, 171, 174, 175,
    176, 177, 179, 180, 181, 182, 183, 184, 185, 188, 189, 190, 191, 192, 193};

struct TableRow
{
    QString key;
    QString text;
    int line = 0;
};

// The source table, read as plainly as possible: id, tab, key, tab, text.
std::multimap<int, TableRow> ReadEnglishTable()
{
    std::multimap<int, TableRow> rows;
    QFile file(QStringLiteral(PV_ENGLISH_TABLE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << PV_ENGLISH_TABLE;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString& line = lines[n];
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList columns = line.split(QLatin1Char('\t'));
        EXPECT_EQ(columns.size(), 3) << "line " << n + 1;
        if (columns.size() != 3)
            continue;
        rows.emplace(columns[0].toInt(), TableRow{columns[1], columns[2], n + 1});
    }
    return rows;
}

TEST(LanguageIdTable, NamesExactlyTheIdsOfBothListsSortedAndApart)
{
    EXPECT_EQ(kFullIds.size(), 451u);
    EXPECT_EQ(kDialogIds.size(), 49u);
    EXPECT_EQ(IdsOfTable(FullLanguageTable()), kFullIds);
    EXPECT_EQ(IdsOfTable(DialogLanguageTable()), kDialogIds);
    for (const auto table : {FullLanguageTable(), DialogLanguageTable()}) {
        EXPECT_TRUE(std::is_sorted(table.begin(), table.end(),
                                   [](const auto& a, const auto& b) { return a.Id < b.Id; }));
    }
    for (const int id : kDialogIds) {
        EXPECT_TRUE(TargetsOfId(FullLanguageTable(), id).empty()) << id;
        EXPECT_TRUE(id >= kFirstDialogLanguageId && id <= kLastDialogLanguageId) << id;
    }
    EXPECT_TRUE(TargetsOfId(FullLanguageTable(), 6100).empty());
    EXPECT_TRUE(TargetsOfId(FullLanguageTable(), 7).empty());
}

TEST(LanguageIdTable, FillsEveryStringVariableFromItsOwnIdOnce)
{
    std::map<int, int> stringTargets;
    for (const LanguageTarget& t : FullLanguageTable()) {
        if (t.Kind == LanguageTargetKind::StringVariable)
            ++stringTargets[t.Id];
    }
    for (const LanguageTarget& t : DialogLanguageTable())
        EXPECT_NE(t.Kind, LanguageTargetKind::StringVariable) << t.Id;
    std::map<int, int> expected;
    for (const int id : UIStringIds())
        expected[id] = 1;
    EXPECT_EQ(stringTargets, expected);
}

TEST(LanguageIdTable, KeysFollowTheRegistryConvention)
{
    const QRegularExpression convention(QStringLiteral(
        R"(^[A-Z][A-Za-z]*Form(\.[A-Za-z][A-Za-z0-9]*(\[\d+\])?(#hint|#title)?)?$)"));
    for (const auto table : {FullLanguageTable(), DialogLanguageTable()}) {
        for (const LanguageTarget& t : table) {
            const QString key = QString::fromLatin1(t.Key);
            switch (t.Kind) {
            case LanguageTargetKind::Hint:
                EXPECT_TRUE(key.endsWith(QStringLiteral("#hint"))) << t.Id;
                break;
            case LanguageTargetKind::DialogTitle:
                EXPECT_TRUE(key.endsWith(QStringLiteral("#title"))) << t.Id;
                break;
            case LanguageTargetKind::ListEntry:
                EXPECT_TRUE(
                    key.endsWith(QLatin1Char('[') + QString::number(t.Index) + QLatin1Char(']')))
                    << t.Id;
                break;
            default:
                break;
            }
            const bool registry =
                t.Kind == LanguageTargetKind::MenuItem ||
                t.Kind == LanguageTargetKind::ControlCaption ||
                t.Kind == LanguageTargetKind::Hint || t.Kind == LanguageTargetKind::DialogTitle ||
                t.Kind == LanguageTargetKind::ListEntry || t.Kind == LanguageTargetKind::FormText;
            if (registry) {
                EXPECT_TRUE(convention.match(key).hasMatch()) << t.Id << " " << t.Key;
            }
            // A window that exists only at times is named by its guard, and only by it.
            const bool dialogKey = key.startsWith(QStringLiteral("ProgramSettingsForm"));
            const bool wizardKey = key.startsWith(QStringLiteral("ConfigWizardForm"));
            EXPECT_EQ(dialogKey, t.Guard == LanguageTargetGuard::SettingsDialog) << t.Id;
            EXPECT_EQ(wizardKey, t.Guard == LanguageTargetGuard::ConfigWizard) << t.Id;
        }
    }
}

TEST(LanguageIdTable, ReachesTheTargetsEachKindAndItemIdNames)
{
    // Kind names: menu item, tool button hint, tutor chooser row, start menu button.
    struct KindCase
    {
        int id;
        const char* menu;
        const char* startButton;
    };
    const KindCase kinds[] = {
        {200, "MainForm.AkkordID1", "StartMenuForm.SpeedButton10"},
        {600, "MainForm.Intervalsammenligning1", "StartMenuForm.SpeedButton5"},
        {1400, "MainForm.Chordinversions1", "StartMenuForm.SpeedButton14"},
        {2000, "MainForm.AkkordProgress1", "StartMenuForm.SpeedButton13"}};
    for (const KindCase& c : kinds) {
        SCOPED_TRACE(c.id);
        QStringList keys;
        for (const LanguageTarget& t : TargetsOfId(FullLanguageTable(), c.id))
            keys.push_back(QString::fromLatin1(t.Key));
        EXPECT_EQ(keys.size(), 4);
        EXPECT_TRUE(keys.contains(QString::fromLatin1(c.menu)));
        EXPECT_TRUE(keys.contains(QString::fromLatin1(c.startButton)));
    }
    // Control-strip captions: 205 and 805 reach all ten forms, 207 and 265 the six
    // identification forms.
    const auto formTexts = [](int id) {
        int n = 0;
        for (const LanguageTarget& t : TargetsOfId(FullLanguageTable(), id))
            n += t.Kind == LanguageTargetKind::FormText ? 1 : 0;
        return n;
    };
    EXPECT_EQ(formTexts(205), 10);
    EXPECT_EQ(formTexts(805), 10);
    EXPECT_EQ(formTexts(207), 6);
    EXPECT_EQ(formTexts(265), 6);
    EXPECT_EQ(formTexts(210), 7);
    // Item names by the fixed mapping (0-based items).
    struct ItemCase
    {
        int id;
        LanguageItemTable table;
        int item;
    };
    const ItemCase items[] = {{3000, LanguageItemTable::ChordIdentification, 0},
                              {3018, LanguageItemTable::ChordIdentification, 7},
                              {3012, LanguageItemTable::ChordIdentification, 15},
                              {3040, LanguageItemTable::ChordIdentification, 23},
                              {3038, LanguageItemTable::ChordIdentification, 30},
                              {3100, LanguageItemTable::IntervalIdentification, 0},
                              {3148, LanguageItemTable::IntervalIdentification, 24},
                              {3322, LanguageItemTable::Scales, 13},
                              {3324, LanguageItemTable::Scales, 11},
                              {3329, LanguageItemTable::Scales, 15},
                              {3358, LanguageItemTable::Scales, 30}};
    for (const ItemCase& c : items) {
        SCOPED_TRACE(c.id);
        const auto targets = TargetsOfId(FullLanguageTable(), c.id);
        ASSERT_FALSE(targets.empty());
        EXPECT_EQ(targets[0].Kind, LanguageTargetKind::ItemName);
        EXPECT_EQ(targets[0].ItemTable, c.table);
        EXPECT_EQ(targets[0].Index, c.item);
    }
}

TEST(EnglishTable, HoldsEveryIdOnceWithItsFirstTargetAndAText)
{
    const auto rows = ReadEnglishTable();
    std::vector<int> all = kFullIds;
    all.insert(all.end(), kDialogIds.begin(), kDialogIds.end());
    std::sort(all.begin(), all.end());
    std::vector<int> ids;
    for (const auto& [id, row] : rows)
        ids.push_back(id);
    EXPECT_EQ(ids, all);
    for (const auto& [id, row] : rows) {
        SCOPED_TRACE(id);
        auto targets = TargetsOfId(FullLanguageTable(), id);
        if (targets.empty())
            targets = TargetsOfId(DialogLanguageTable(), id);
        ASSERT_FALSE(targets.empty());
        EXPECT_EQ(row.key, QString::fromLatin1(targets[0].Key));
        EXPECT_FALSE(row.text.trimmed().isEmpty());
        EXPECT_EQ(row.text, row.text.trimmed()) << "line " << row.line;
        EXPECT_EQ(FromWin1252(ToWin1252(row.text)), row.text);
        for (const LanguageTarget& t : targets) {
            if (t.MaxLength > 0) {
                EXPECT_LE(row.text.size(), t.MaxLength) << t.Key;
            }
        }
    }
}

TEST(EnglishTable, IsTheTextBuiltIntoTheProgramAndTheShippedFile)
{
    const auto rows = ReadEnglishTable();
    std::map<int, QString> table;
    for (const auto& [id, row] : rows)
        table[id] = row.text;

    std::map<int, QString> builtIn;
    for (const BuiltInLanguageText& t : BuiltInLanguageTexts())
        builtIn[t.Id] = QString::fromUtf8(t.Text);
    EXPECT_EQ(builtIn, table);

    QFile file(QStringLiteral(PV_ENGLISH_LANGUAGE_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << PV_ENGLISH_LANGUAGE_FILE;
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    std::map<int, QString> shipped;
    for (QByteArray line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        ASSERT_TRUE(line.endsWith('\r')) << "every line ends with CR LF";
        line.chop(1);
        ASSERT_FALSE(line.contains('\r'));
        if (line.startsWith(';'))
            continue;
        const auto text = FromWin1252(std::span(
            reinterpret_cast<const std::uint8_t*>(line.constData()), std::size_t(line.size())));
        const auto equals = text.indexOf(QLatin1Char('='));
        ASSERT_GT(equals, 0);
        shipped[text.left(equals).toInt()] = text.mid(equals + 1);
    }
    EXPECT_EQ(shipped, table);
}

// Names an interval by its size so the English names can be held against the built-in notes.
int SemitonesOfIntervalName(const QString& name)
{
    static const std::map<QString, int> kSizes = {
        {QStringLiteral("Unison"), 0},           {QStringLiteral("Minor 2nd"), 1},
        {QStringLiteral("Major 2nd"), 2},        {QStringLiteral("Minor 3rd"), 3},
        {QStringLiteral("Major 3rd"), 4},        {QStringLiteral("Perfect 4th"), 5},
        {QStringLiteral("Augmented 4th"), 6},    {QStringLiteral("Diminished 5th"), 6},
        {QStringLiteral("Perfect 5th"), 7},      {QStringLiteral("Minor 6th"), 8},
        {QStringLiteral("Major 6th"), 9},        {QStringLiteral("Minor 7th"), 10},
        {QStringLiteral("Major 7th"), 11},       {QStringLiteral("Octave"), 12},
        {QStringLiteral("Minor 9th"), 13},       {QStringLiteral("Major 9th"), 14},
        {QStringLiteral("Minor 10th"), 15},      {QStringLiteral("Major 10th"), 16},
        {QStringLiteral("Perfect 11th"), 17},    {QStringLiteral("Augmented 11th"), 18},
        {QStringLiteral("Diminished 12th"), 18}, {QStringLiteral("Perfect 12th"), 19},
        {QStringLiteral("Minor 13th"), 20},      {QStringLiteral("Major 13th"), 21},
        {QStringLiteral("Minor 14th"), 22},      {QStringLiteral("Major 14th"), 23},
        {QStringLiteral("Two octaves"), 24}};
    const auto found = kSizes.find(name);
    return found == kSizes.end() ? -1 : found->second;
}

TEST(EnglishTable, NamesEachBuiltInIntervalByItsSizeAndSpelling)
{
    std::map<int, QString> texts;
    for (const BuiltInLanguageText& t : BuiltInLanguageTexts())
        texts[t.Id] = QString::fromUtf8(t.Text);
    const ItemTable& intervals = BuiltInItemTables().IntervalIdentification;
    for (int n = 0; n < 25; ++n) {
        const QString name = texts[3100 + 2 * n];
        SCOPED_TRACE(name.toStdString());
        const auto notes = intervals.Notes(n + 1);
        ASSERT_EQ(notes.size(), 2u);
        EXPECT_EQ(SemitonesOfIntervalName(name), notes[1].Note - notes[0].Note);
        // The upper note of a tritone is written flat: a diminished, not an augmented, one.
        if (notes[1].Shift == kShiftFlat && (notes[1].Note - notes[0].Note) % 12 == 6) {
            EXPECT_TRUE(name.startsWith(QStringLiteral("Diminished")));
        }
    }
}

} // namespace
} // namespace pv
