#include "music/files/ClassRecord.h"
#include "music/files/ResultRecord.h"
#include "music/files/SettingsRecord.h"
#include "music/files/UserChordRecord.h"
#include "music/files/UserRecord.h"
#include "support/ByteBuilder.h"

#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::ByteBuilder;

template <std::size_t N> std::vector<std::uint8_t> Vec(const std::array<std::uint8_t, N>& a)
{
    return {a.begin(), a.end()};
}

TEST(UserRecord, DefaultUserMatchesTheStoredLayout)
{
    ByteBuilder b(620);
    b.U16(0, 1).I32(4, 1).Fill(226, 4, 1);
    for (std::size_t k = 0; k < 10; ++k)
        b.I32(232 + 4 * k, 1);
    EXPECT_EQ(Vec(EncodeUserRec(DefaultUser())), b.Bytes());
}

TEST(UserRecord, FieldsLandAtTheirOffsets)
{
    TUserRec rec = DefaultUser();
    rec.UserId = 0x1234;
    rec.UserKind = 3;
    rec.LoginName = QStringLiteral("ANNA");
    rec.FullName = QStringLiteral("Anna\u00A7Smith");
    rec.SetupFolder = QStringLiteral("/s");
    rec.TutorSteps[9] = -1;
    rec.TutorValues[0] = 7;
    rec.TutorFileName = QStringLiteral("\\");
    rec.LastSetupFile = QStringLiteral("x.qib");
    rec.ClassId = 42;
    ByteBuilder b(620);
    b.U16(0, 0x1234).I32(4, 3).Str(8, "ANNA").Str(44, "Anna\xA7Smith").Str(76, "/s");
    b.Fill(226, 4, 1);
    for (std::size_t k = 0; k < 9; ++k)
        b.I32(232 + 4 * k, 1);
    b.I32(268, -1).I32(272, 7).Str(312, "\\").Str(464, "x.qib").U16(616, 42);
    EXPECT_EQ(Vec(EncodeUserRec(rec)), b.Bytes());
    // And read back from those offsets (the kept image aside).
    auto back = DecodeUserRec(b.Bytes());
    ASSERT_TRUE(back.has_value());
    back->Raw = rec.Raw;
    EXPECT_EQ(*back, rec);
}

TEST(SettingsRecord, DefaultSettingsMatchTheStoredLayout)
{
    ByteBuilder b(816);
    b.U16(0, 1).I32(12, 640).I32(16, 480).U8(20, 2);
    const std::int32_t tools[6][6] = {{0, 0, 588, 55, 0, 0},     {615, 0, 85, 55, 0, 588},
                                      {0, 60, 673, 24, 1, 0},    {0, 0, 410, 36, 0, 0},
                                      {410, 0, 195, 36, 0, 410}, {605, 0, 101, 32, 0, 605}};
    const std::uint8_t docks[6][2] = {{1, 1}, {1, 1}, {1, 1}, {3, 1}, {3, 1}, {3, 0}};
    for (std::size_t i = 0; i < 6; ++i) {
        for (std::size_t f = 0; f < 6; ++f)
            b.I32(24 + 28 * i + 4 * f, tools[i][f]);
        b.U8(24 + 28 * i + 24, docks[i][0]).U8(24 + 28 * i + 25, docks[i][1]);
    }
    const std::int32_t options[10][2] = {{1, 12}, {1, 140}, {1, 80},  {1, 120}, {1, 120},
                                         {1, 80}, {1, 80},  {1, 120}, {0, 120}, {0, 120}};
    for (std::size_t i = 0; i < 10; ++i)
        b.U8(304 + 8 * i, static_cast<std::uint8_t>(options[i][0])).I32(308 + 8 * i, options[i][1]);
    const std::int32_t columns[8][2] = {{1, 80},  {1, 80},  {1, 80}, {0, 80},
                                        {1, 120}, {1, 120}, {0, 10}, {1, 100}};
    for (std::size_t i = 0; i < 8; ++i)
        b.U8(384 + 8 * i, static_cast<std::uint8_t>(columns[i][0])).I32(388 + 8 * i, columns[i][1]);
    b.U16(448, 2).Str(450, "Arial").I32(532, 9).Str(537, "English");
    for (std::size_t k = 1; k < 15; ++k)
        b.U8(557 + 2 * k, 9).U8(558 + 2 * k, 2);
    b.U8(587, 1).U8(588, 1).U16(686, 240);
    const std::uint16_t sounds[5][4] = {
        {0, 0, 110, 60}, {1, 24, 110, 60}, {9, 0, 110, 39}, {9, 0, 110, 37}, {9, 0, 125, 56}};
    for (std::size_t i = 0; i < 5; ++i)
        for (std::size_t f = 0; f < 4; ++f)
            b.U16(688 + 8 * i + 2 * f, sounds[i][f]);
    b.U8(729, 1).U8(732, 36).U8(733, 38).U8(734, 40).U8(735, 41).U8(736, 43);
    b.U32(740, 0x00A0D0E8).U8(745, 1).U8(746, 1).U8(747, 90).U16(748, 110).U8(750, 1);
    b.Str(752, "Correct").Str(772, "Wrong").U8(792, 2).U8(793, 3);
    b.U8(801, 4).U8(803, 90).U32(804, 0x0000FFFF).U8(808, 1).U8(810, 1);
    EXPECT_EQ(Vec(EncodeSettingsRec(DefaultSettings())), b.Bytes());
}

// Every field with a value of its own, so a field read or written at a neighbour's offset
// shows; the defaults leave many fields 0 and a round trip cannot tell offsets apart.
TEST(SettingsRecord, EveryFieldIsReadAndWrittenAtItsOwnOffset)
{
    ByteBuilder b(816);
    b.U16(0, 0x0102).I32(4, -5).I32(8, 7).I32(12, 800).I32(16, 600).U8(20, 1);
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t at = 24 + 28 * i;
        const auto n = static_cast<std::int32_t>(i);
        b.I32(at, 100 + n).I32(at + 4, 200 + n).I32(at + 8, 300 + n).I32(at + 12, 400 + n);
        b.I32(at + 16, n).I32(at + 20, 500 + n);
        b.U8(at + 24, static_cast<std::uint8_t>(10 + i))
            .U8(at + 25, static_cast<std::uint8_t>(20 + i));
    }
    for (std::size_t i = 0; i < 10; ++i)
        b.U8(304 + 8 * i, static_cast<std::uint8_t>(30 + i))
            .I32(308 + 8 * i, 1000 + static_cast<std::int32_t>(i));
    for (std::size_t i = 0; i < 8; ++i)
        b.U8(384 + 8 * i, static_cast<std::uint8_t>(40 + i))
            .I32(388 + 8 * i, 2000 + static_cast<std::int32_t>(i));
    b.U16(448, 7).Str(450, "Courier New").I32(532, 12).U8(536, 0x05).Str(537, "Dansk");
    for (std::size_t k = 0; k < 15; ++k)
        b.U8(557 + 2 * k, static_cast<std::uint8_t>(50 + k))
            .U8(558 + 2 * k, static_cast<std::uint8_t>(80 + k));
    b.U8(587, 2).U8(588, 0).Str(590, "In dev").Str(638, "Out dev").U16(686, 200);
    for (std::size_t i = 0; i < 5; ++i)
        for (std::size_t f = 0; f < 4; ++f)
            b.U16(688 + 8 * i + 2 * f, static_cast<std::uint16_t>(10 * i + f + 1));
    b.U8(728, 1).U8(729, 0).U8(730, 1).U8(731, 0);
    for (std::size_t i = 0; i < 5; ++i)
        b.U8(732 + i, static_cast<std::uint8_t>(60 + i));
    b.U32(740, 0x00112233).U8(744, 3).U8(745, 0).U8(746, 1).U8(747, 120).U16(748, 99);
    b.U8(750, 1).Str(752, "Yes").Str(772, "No").U8(792, 5).U8(793, 6).U8(795, 1);
    b.I32(796, 250).U8(800, 1).U8(801, 9).U8(802, 0).U8(803, 75).U32(804, 0x12345678);
    b.U8(808, 0).U8(809, 1).U8(810, 0);

    const auto rec = DecodeSettingsRec(b.Bytes());
    ASSERT_TRUE(rec.has_value());
    const TSettingsRec& s = *rec;
    EXPECT_EQ(s.UserId, 0x0102);
    EXPECT_EQ(s.MainLeft, -5);
    EXPECT_EQ(s.MainTop, 7);
    EXPECT_EQ(s.MainWidth, 800);
    EXPECT_EQ(s.MainHeight, 600);
    EXPECT_EQ(s.MainState, 1);
    EXPECT_EQ(s.ToolWindows[5], (ToolWindowPlacement{105, 205, 305, 405, 5, 505, 15, 25}));
    EXPECT_EQ(s.ToolWindows[0], (ToolWindowPlacement{100, 200, 300, 400, 0, 500, 10, 20}));
    EXPECT_EQ(s.OptionPairs[9], (OptionPair{39, 1009}));
    EXPECT_EQ(s.ResultColumns[7], (ColumnEntry{47, 2007}));
    EXPECT_EQ(s.ResultPeriodIndex, 7);
    EXPECT_EQ(s.FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(s.FontSize, 12);
    EXPECT_EQ(s.FontStyle, 0x05);
    EXPECT_EQ(s.Language, QStringLiteral("Dansk"));
    EXPECT_EQ(s.KindPairs[0], (std::array<std::uint8_t, 2>{50, 80}));
    EXPECT_EQ(s.KindPairs[1], (std::array<std::uint8_t, 2>{51, 81})); // 559, 560
    EXPECT_EQ(s.KindPairs[14], (std::array<std::uint8_t, 2>{64, 94}));
    EXPECT_EQ(s.NoteIdentification, 2);
    EXPECT_FALSE(s.ShowKeyName);
    EXPECT_EQ(s.MidiInDevice, QStringLiteral("In dev"));
    EXPECT_EQ(s.MidiOutDevice, QStringLiteral("Out dev"));
    EXPECT_EQ(s.MidiOutVolume, 200);
    EXPECT_EQ(s.PianoVoice, (SoundRec{1, 2, 3, 4}));
    EXPECT_EQ(s.GuitarVoice, (SoundRec{11, 12, 13, 14}));
    EXPECT_EQ(s.ClapSound, (SoundRec{21, 22, 23, 24}));
    EXPECT_EQ(s.BeatSound, (SoundRec{31, 32, 33, 34}));
    EXPECT_EQ(s.FirstBeatSound, (SoundRec{41, 42, 43, 44}));
    EXPECT_TRUE(s.MidiInputOn);
    EXPECT_FALSE(s.SustainAsEnter);
    EXPECT_TRUE(s.MidiRemoteControl);
    EXPECT_FALSE(s.GuitarNotTransposed);
    EXPECT_EQ(s.RemoteNotes, (std::array<std::uint8_t, 5>{60, 61, 62, 63, 64}));
    EXPECT_EQ(s.BackgroundColor, 0x00112233U);
    EXPECT_EQ(s.RhythmSpacing, 3);
    EXPECT_FALSE(s.CountIn);
    EXPECT_TRUE(s.MetronomeOn);
    EXPECT_EQ(s.DefaultTempo, 120);
    EXPECT_EQ(s.WaveOutVolume, 99);
    EXPECT_TRUE(s.SoundEffectsOn);
    EXPECT_EQ(s.RightSound, QStringLiteral("Yes"));
    EXPECT_EQ(s.WrongSound, QStringLiteral("No"));
    EXPECT_EQ(s.RhythmSensitivity, 5);
    EXPECT_EQ(s.ToneSensitivity, 6);
    EXPECT_TRUE(s.HighPrecision);
    EXPECT_EQ(s.OutputDelay, 250);
    EXPECT_TRUE(s.AutoNewQuestion);
    EXPECT_EQ(s.AutoNewQuestionDelay, 9);
    EXPECT_FALSE(s.AutoNewOnlyAfterRight);
    EXPECT_EQ(s.RepeatThreshold, 75);
    EXPECT_EQ(s.TipsMask, 0x12345678U);
    EXPECT_FALSE(s.PlayIntro);
    EXPECT_TRUE(s.RhythmsWithMetronome);
    EXPECT_FALSE(s.TutorActive);

    // The same fields written into an empty image land at the same offsets.
    TSettingsRec fresh = s;
    fresh.Raw = {};
    EXPECT_EQ(Vec(EncodeSettingsRec(fresh)), b.Bytes());
}

TEST(ResultRecord, FieldsLandAtTheirOffsets)
{
    TResultRec rec;
    rec.UserId = 7;
    rec.Kind = 3;
    rec.DateTime = 36526.5;
    rec.Duration = 0.25;
    rec.AnswerTimeSum = 12.5;
    rec.TutorTitle = QStringLiteral("Basics");
    rec.SetupName = QStringLiteral("Step \u00E9");
    rec.TutorStep = 4;
    rec.Score = 18;
    rec.Count = 20;
    rec.Items[0] = {3, 4};
    rec.Items[59] = {0xBEEF, 0xCAFE};
    ByteBuilder b(380);
    b.U16(0, 7).U16(2, 3).F64(4, 36526.5).F64(12, 0.25).F64(20, 12.5);
    b.Str(28, "Basics").Str(80, "Step \xE9").U16(132, 4).U16(134, 18).U16(136, 20);
    b.U16(138, 3).U16(140, 4).U16(374, 0xBEEF).U16(376, 0xCAFE);
    EXPECT_EQ(Vec(EncodeResultRec(rec)), b.Bytes());
    auto back = DecodeResultRec(b.Bytes());
    ASSERT_TRUE(back.has_value());
    back->Raw = rec.Raw;
    EXPECT_EQ(*back, rec);
}

TEST(ClassAndItemRecords, FieldsLandAtTheirOffsets)
{
    TClassRec cls;
    cls.Name = QStringLiteral("Choir");
    cls.ClassId = 0x00020005;
    ByteBuilder c(188);
    c.Str(0, "Choir").I32(32, 0x00020005);
    EXPECT_EQ(Vec(EncodeClassRec(cls)), c.Bytes());
    auto clsBack = DecodeClassRec(c.Bytes());
    ASSERT_TRUE(clsBack.has_value());
    clsBack->Raw = cls.Raw;
    EXPECT_EQ(*clsBack, cls);

    TUserChordRec item;
    item.Kind = 8;
    item.NoteCount = 3;
    item.Index = 33;
    item.Notes[0] = 60;
    item.Notes[47] = 5;
    item.Name = QStringLiteral("Mine");
    ByteBuilder u(106);
    u.U8(0, 8).U8(1, 3).I32(2, 33).U8(6, 60).U8(53, 5).Str(54, "Mine");
    EXPECT_EQ(Vec(EncodeUserChordRec(item)), u.Bytes());
    auto itemBack = DecodeUserChordRec(u.Bytes());
    ASSERT_TRUE(itemBack.has_value());
    itemBack->Raw = item.Raw;
    EXPECT_EQ(*itemBack, item);
}

// Random images with every length byte within its field come back byte for byte, so the
// unused areas, padding, Boolean bytes other than 0/1 and text tails all survive a round trip.
template <std::size_t N, class Decode, class Encode>
void ExpectRoundTrip(const char* name,
                     std::initializer_list<std::pair<std::size_t, std::size_t>> texts,
                     Decode decode, Encode encode)
{
    SCOPED_TRACE(name);
    std::mt19937 random(1234);
    for (int run = 0; run < 50; ++run) {
        std::vector<std::uint8_t> bytes(N);
        for (auto& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        for (const auto& [offset, capacity] : texts)
            bytes[offset] = static_cast<std::uint8_t>(bytes[offset] % (capacity + 1));
        const auto rec = decode(bytes);
        ASSERT_TRUE(rec.has_value());
        EXPECT_EQ(Vec(encode(*rec)), bytes);
    }
}

TEST(Records, RandomImagesRoundTripUnchanged)
{
    ExpectRoundTrip<620>("user", {{8, 19}, {44, 31}, {76, 149}, {312, 151}, {464, 151}},
                         DecodeUserRec, EncodeUserRec);
    ExpectRoundTrip<816>("settings",
                         {{450, 81}, {537, 19}, {590, 47}, {638, 47}, {752, 19}, {772, 19}},
                         DecodeSettingsRec, EncodeSettingsRec);
    ExpectRoundTrip<380>("result", {{28, 50}, {80, 50}}, DecodeResultRec, EncodeResultRec);
    ExpectRoundTrip<188>("class", {{0, 31}}, DecodeClassRec, EncodeClassRec);
    ExpectRoundTrip<106>("item", {{54, 50}}, DecodeUserChordRec, EncodeUserChordRec);
}

TEST(Records, WrongSizesAndOversizedLengthBytesAreContained)
{
    EXPECT_FALSE(DecodeUserRec(std::vector<std::uint8_t>(619)).has_value());
    EXPECT_FALSE(DecodeSettingsRec(std::vector<std::uint8_t>(817)).has_value());
    EXPECT_FALSE(DecodeResultRec({}).has_value());

    ByteBuilder b(620, 'x');
    b.U8(8, 255); // the login name claims more than its 19 characters
    const auto rec = DecodeUserRec(b.Bytes());
    ASSERT_TRUE(rec.has_value());
    EXPECT_EQ(rec->LoginName, QString(19, QLatin1Char('x')));
    const auto again = EncodeUserRec(*rec);
    EXPECT_EQ(again[8], 19);
    EXPECT_EQ(again[28], 'x'); // the next field is untouched
}

TEST(ResultRecord, KeyFollowsTheTruncationRule)
{
    EXPECT_EQ(ResultKey(3, 36526.5), QStringLiteral("36526500003"));
    EXPECT_EQ(ResultKey(10, 45000.123456789), QStringLiteral("450001234510"));
    EXPECT_EQ(ResultKey(1, std::numeric_limits<double>::quiet_NaN()), QStringLiteral("01"));
}

TEST(UserRecord, NameHelpersSplitAtTheFirstSeparator)
{
    const struct
    {
        const char* name;
        QString full, given, family, sort, shown;
    } cases[] = {
        {"no separator",
         QStringLiteral("Anna"),
         QStringLiteral("Anna"),
         {},
         QStringLiteral("Anna"),
         QStringLiteral("Anna")},
        {"both parts", QStringLiteral("Anna\u00A7Smith"), QStringLiteral("Anna"),
         QStringLiteral("Smith"), QStringLiteral("Smith, Anna"), QStringLiteral("Anna Smith")},
        {"empty family",
         QStringLiteral("Anna\u00A7"),
         QStringLiteral("Anna"),
         {},
         QStringLiteral("Anna"),
         QStringLiteral("Anna")},
        {"two separators", QStringLiteral("A\u00A7B\u00A7C"), QStringLiteral("A"),
         QStringLiteral("B\u00A7C"), QStringLiteral("B\u00A7C, A"), QStringLiteral("A B\u00A7C")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GivenName(c.full), c.given);
        EXPECT_EQ(FamilyName(c.full), c.family);
        EXPECT_EQ(SortName(c.full), c.sort);
        EXPECT_EQ(ShownName(c.full), c.shown);
    }
    EXPECT_EQ(UpperCaseAscii(QStringLiteral("s\u00F8ren-b")), QStringLiteral("S\u00F8REN-B"));
}

TEST(SettingsRecord, LanguageNamesAndPlaceholderDevices)
{
    EXPECT_EQ(LanguageName(1031), QStringLiteral("Deutch"));
    EXPECT_EQ(LanguageName(2058), QStringLiteral("Espa\u00F1ol"));
    EXPECT_EQ(LanguageName(3084), QStringLiteral("Fran\u00E7ais"));
    EXPECT_EQ(LanguageName(2068), QStringLiteral("Norsk"));
    EXPECT_EQ(LanguageName(1033), QStringLiteral("English"));
    EXPECT_EQ(DeviceNameToStore(QStringLiteral("(No device)"), true), QString());
    EXPECT_EQ(DeviceNameToStore(QStringLiteral("Synth"), false), QStringLiteral("Synth"));
}

} // namespace
} // namespace pv
