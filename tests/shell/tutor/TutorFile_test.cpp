// The tutor file: records at their offsets, files written and read back, and damaged files.
#include "TutorFixtures.h"
#include "exercises/setup/OldSetupConverter.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Append;
using test::AppendText;
using test::HeaderBytes;
using test::StepBytes;

std::vector<std::uint8_t> CurrentBody()
{
    return std::vector<std::uint8_t>(kTutorItemBodySize, 0);
}

// Every field a step carries; the record's kept bytes differ between a step built in memory and
// one read from its file.
void ExpectSameStep(const TutorStep& got, const TutorStep& expected)
{
    SCOPED_TRACE(expected.Record.Title.toStdString());
    EXPECT_EQ(got.Record.Title, expected.Record.Title);
    EXPECT_EQ(got.Record.Description, expected.Record.Description);
    EXPECT_EQ(got.Record.PassMark, expected.Record.PassMark);
    EXPECT_EQ(got.Record.FallBackMark, expected.Record.FallBackMark);
    EXPECT_EQ(got.Record.QuestionCount, expected.Record.QuestionCount);
    EXPECT_EQ(got.Record.SetupBytes, expected.Record.SetupBytes);
    EXPECT_EQ(got.ExtraText, expected.ExtraText);
}

TEST(TutorFile, HeaderAndStepFieldsLieAtTheirOffsets)
{
    test::ByteBuilder head(kTutorHeaderSize);
    head.Str(0, "Title").Str(52, "About it").Str(308, "Author").U16(388, kTutorFormatMark);
    for (int i = 1; i <= 11; ++i)
        head.U16(346 + 2 * static_cast<std::size_t>(i), static_cast<std::uint16_t>(i * 3));
    head.U8(51, 0x77).U8(370, 0x55).U8(447, 0x66); // pad and reserved bytes
    const auto headBytes = head.Bytes();
    const TutorHeader header = DecodeTutorHeader(
        std::span<const std::uint8_t, kTutorHeaderSize>(headBytes.data(), kTutorHeaderSize));
    EXPECT_EQ(header.Title, QStringLiteral("Title"));
    EXPECT_EQ(header.Description, QStringLiteral("About it"));
    EXPECT_EQ(header.Author, QStringLiteral("Author"));
    EXPECT_TRUE(header.IsCurrentFormat());
    for (ExerciseKind kind : kExerciseKinds)
        EXPECT_EQ(header.StepCount(kind), 3);
    const auto again = EncodeTutorHeader(header);
    EXPECT_TRUE(std::equal(again.begin(), again.end(), headBytes.begin()));

    test::ByteBuilder step(kTutorStepSize);
    step.Str(0, "Step").Str(52, "Words").U8(308, 80).U8(309, 40).U16(310, 0xFFFE);
    step.U8(316, 1).U8(445, 9).U16(446, 1234).U8(51, 0x11).U8(313, 0x22);
    const auto stepBytes = step.Bytes();
    const TutorStepRecord rec = DecodeTutorStepRecord(
        std::span<const std::uint8_t, kTutorStepSize>(stepBytes.data(), kTutorStepSize));
    EXPECT_EQ(rec.Title, QStringLiteral("Step"));
    EXPECT_EQ(rec.Description, QStringLiteral("Words"));
    EXPECT_EQ(rec.PassMark, 80);
    EXPECT_EQ(rec.FallBackMark, 40);
    EXPECT_EQ(rec.QuestionCount, -2);
    EXPECT_EQ(rec.SetupBytes[0], 1);
    EXPECT_EQ(rec.SetupBytes[129], 9);
    EXPECT_EQ(rec.ExtraTextLength, 1234);
    const auto recAgain = EncodeTutorStepRecord(rec);
    EXPECT_TRUE(std::equal(recAgain.begin(), recAgain.end(), stepBytes.begin()));
}

TEST(TutorFile, WrittenTutorReadsBackWithEveryStepMarkSetupAndText)
{
    const TutorFileData written = test::LadderTutor();
    const auto bytes = test::Encoded(written);
    auto read = ParseTutorFile(bytes);
    ASSERT_TRUE(read.Ok());
    const TutorFileData& data = read.Value();
    EXPECT_FALSE(data.Truncated);
    EXPECT_EQ(data.Header.Title, QStringLiteral("Ladder"));
    EXPECT_EQ(data.Header.Author, QStringLiteral("Teacher"));
    EXPECT_EQ(data.ItemBody, written.ItemBody);

    // The table as stored: kinds 1..10 have 2, 1, 1, 1, 0, 1, 1, 1, 1, 1 steps.
    const std::array<int, 11> table = {1, 3, 4, 5, 6, 6, 7, 8, 9, 10, 11};
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(static_cast<int>(bytes[348 + 2 * i]), table[i]) << "entry " << i + 1;

    for (ExerciseKind kind : kExerciseKinds) {
        SCOPED_TRACE(KindNumber(kind));
        const auto& expected = written.StepsOf(kind);
        const auto& got = data.StepsOf(kind);
        ASSERT_EQ(got.size(), expected.size());
        EXPECT_EQ(data.Header.StepCount(kind), static_cast<int>(expected.size()));
        for (std::size_t s = 0; s < got.size(); ++s)
            ExpectSameStep(got[s], expected[s]);
    }
    const auto& chords = data.StepsOf(ExerciseKind::ChordIdentification);
    EXPECT_EQ(chords[0].ExtraText, QStringLiteral("Listen to the third.\nThen sing it."));
    EXPECT_EQ(chords[1].ExtraText, QString());
    ExerciseSetup setup = DefaultExerciseSetup();
    ApplyStepSetup(chords[1].Record, ExerciseKind::ChordIdentification, setup);
    EXPECT_EQ(setup.ChordIdentification.HighestNote, 79);
    EXPECT_EQ(setup.ChordIdentification.ItemFlags[2], 1);
    EXPECT_EQ(setup.ChordIdentification.ItemFlags[0], 0);
    EXPECT_EQ(setup.ChordIdentification.PlayStyles, (std::array<std::uint8_t, 3>{0, 1, 1}));
    ApplyStepSetup(data.StepsOf(ExerciseKind::RhythmErrorDetection)[0].Record,
                   ExerciseKind::RhythmErrorDetection, setup);
    EXPECT_EQ(setup.RhythmErrorDetection.Corrections, 3);
    EXPECT_EQ(setup.RhythmErrorDetection.RhythmEvaluation, 2);
    EXPECT_EQ(setup.RhythmImitation, DefaultExerciseSetup().RhythmImitation);
    ApplyStepSetup(data.StepsOf(ExerciseKind::MelodyDictation)[0].Record,
                   ExerciseKind::MelodyDictation, setup);
    EXPECT_EQ(setup.Melody.ToneCount, 3);
    EXPECT_EQ(setup.Melody.Keys[5] + setup.Melody.Keys[6] + setup.Melody.Keys[7], 3);
    // Item 35 of the progressions is built in, interval 25 too: no items of the tutor's own.
    EXPECT_FALSE(data.CustomItems);
    EXPECT_EQ(test::Encoded(data), bytes);
}

TEST(TutorFile, StepTableEntriesDecideEachKindsSteps)
{
    struct Case
    {
        const char* name;
        std::vector<int> table;
        std::array<int, 10> counts;
    };
    const Case cases[] = {
        {"equal entries give no steps",
         {1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2},
         {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"a descending pair gives none",
         {5, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4},
         {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"negative entries count as numbers",
         {-3, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0},
         {2, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bytes = HeaderBytes("T", c.table).Bytes();
        Append(bytes, CurrentBody());
        for (int s = 0; s < 3; ++s)
            Append(bytes, StepBytes("S", 50, 0));
        auto read = ParseTutorFile(bytes);
        ASSERT_TRUE(read.Ok());
        for (std::size_t k = 0; k < 10; ++k)
            EXPECT_EQ(read.Value().Steps[k].size(), static_cast<std::size_t>(c.counts[k]))
                << "kind " << k + 1;
    }
}

TEST(TutorFile, ExtraTextLengthPlacesTheNextStep)
{
    auto bytes = HeaderBytes("T", {1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}).Bytes();
    Append(bytes, CurrentBody());
    Append(bytes, StepBytes("First", 60, 5));
    AppendText(bytes, "Hello");
    Append(bytes, StepBytes("Second", 70, 0));
    auto read = ParseTutorFile(bytes);
    ASSERT_TRUE(read.Ok());
    const auto& steps = read.Value().StepsOf(ExerciseKind::ChordIdentification);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].ExtraText, QStringLiteral("Hello"));
    EXPECT_EQ(steps[1].Record.Title, QStringLiteral("Second"));
    EXPECT_EQ(steps[1].Record.PassMark, 70);
    EXPECT_EQ(steps[1].ExtraText, QString());
}

TEST(TutorFile, DamagedFilesLoadWhatIsWholeOrAreRefused)
{
    const TutorFileData ladder = test::LadderTutor();
    const auto whole = test::Encoded(ladder);
    const std::size_t stepsStart = kTutorHeaderSize + kTutorItemBodySize;
    auto cut = [](const std::vector<std::uint8_t>& bytes, std::size_t size) {
        return std::vector<std::uint8_t>(bytes.begin(),
                                         bytes.begin() + static_cast<std::ptrdiff_t>(size));
    };
    // Short of the header or the item body: no tutor. Short of the records the table names:
    // damaged. Both refused, and read inside their bytes (the sanitizers watch).
    struct Case
    {
        std::size_t size;
        TutorError error;
    };
    const Case refused[] = {
        {0, TutorError::NotATutor},
        {kTutorHeaderSize - 1, TutorError::NotATutor},
        {kTutorHeaderSize, TutorError::NotATutor},
        {stepsStart - 1, TutorError::NotATutor},
        {stepsStart, TutorError::Damaged},
        {stepsStart + 9 * kTutorStepSize, TutorError::Damaged},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.size);
        auto read = ParseTutorFile(cut(whole, c.size));
        ASSERT_FALSE(read.Ok());
        EXPECT_EQ(read.Code(), c.error);
    }

    // The last record cut short: it is dropped, every step before it is whole.
    auto lastCut = ParseTutorFile(cut(whole, whole.size() - 1));
    ASSERT_TRUE(lastCut.Ok());
    EXPECT_TRUE(lastCut.Value().Truncated);
    EXPECT_TRUE(lastCut.Value().StepsOf(ExerciseKind::ChordProgressions).empty());
    for (ExerciseKind kind : kExerciseKinds) {
        if (kind == ExerciseKind::ChordProgressions)
            continue;
        const auto& got = lastCut.Value().StepsOf(kind);
        ASSERT_EQ(got.size(), ladder.StepsOf(kind).size());
        for (std::size_t s = 0; s < got.size(); ++s)
            ExpectSameStep(got[s], ladder.StepsOf(kind)[s]);
    }

    // The last text cut short: its step stays with the text as far as it goes.
    auto scalesLast = ladder;
    scalesLast.StepsOf(ExerciseKind::MelodyDictation).clear();
    scalesLast.StepsOf(ExerciseKind::ChordProgressions).clear();
    const auto scalesBytes = test::Encoded(scalesLast);
    auto textCut = ParseTutorFile(cut(scalesBytes, scalesBytes.size() - 3));
    ASSERT_TRUE(textCut.Ok());
    EXPECT_TRUE(textCut.Value().Truncated);
    ASSERT_EQ(textCut.Value().StepsOf(ExerciseKind::Scales).size(), 1u);
    EXPECT_EQ(textCut.Value().StepsOf(ExerciseKind::Scales)[0].ExtraText,
              QStringLiteral("Sing the scale ba"));

    // A long text that eats the records after it: the records it ate are dropped.
    auto bytes = HeaderBytes("T", {1, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}).Bytes();
    Append(bytes, CurrentBody());
    Append(bytes, StepBytes("First", 60, 60000));
    AppendText(bytes, std::string(kTutorStepSize * 2 + 10, 'x'));
    auto eaten = ParseTutorFile(bytes);
    ASSERT_TRUE(eaten.Ok());
    EXPECT_TRUE(eaten.Value().Truncated);
    const auto& steps = eaten.Value().StepsOf(ExerciseKind::ChordIdentification);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].ExtraText.size(), static_cast<qsizetype>(kTutorStepSize * 2 + 10));
}

TEST(TutorFile, HostileTablesAndLengthBytesStayInsideTheFile)
{
    // 32,767 steps for one kind on a file of one record.
    auto huge = HeaderBytes("T", {-32768, 32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767,
                                  32767, 32767})
                    .Bytes();
    Append(huge, CurrentBody());
    Append(huge, StepBytes("S", 1, 0));
    auto read = ParseTutorFile(huge);
    ASSERT_FALSE(read.Ok());
    EXPECT_EQ(read.Code(), TutorError::Damaged);

    // Length bytes above their capacities read as the capacity.
    auto bytes = HeaderBytes("T", {1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}).Bytes();
    bytes[0] = 200;
    bytes[308] = 255;
    Append(bytes, CurrentBody());
    auto step = StepBytes("S", 1, 0);
    step[0] = 255;
    step[52] = 255;
    Append(bytes, step);
    auto clamped = ParseTutorFile(bytes);
    ASSERT_TRUE(clamped.Ok());
    EXPECT_EQ(clamped.Value().Header.Title.size(), 50);
    EXPECT_EQ(clamped.Value().Header.Author.size(), 39);
    const auto& rec = clamped.Value().StepsOf(ExerciseKind::ChordIdentification).at(0).Record;
    EXPECT_EQ(rec.Title.size(), 50);
    EXPECT_EQ(rec.Description.size(), 255);
}

TEST(TutorFile, CustomItemsAreThoseFromEachKindsFirstOwnItem)
{
    struct Case
    {
        ExerciseKind kind;
        int firstOwn;
    };
    const Case cases[] = {
        {ExerciseKind::ChordIdentification, 28},
        {ExerciseKind::IntervalIdentification, 26},
        {ExerciseKind::IntervalComparison, 26},
        {ExerciseKind::ChordInversions, 27},
        {ExerciseKind::Scales, 32},
        {ExerciseKind::ChordProgressions, 36},
    };
    for (const Case& c : cases) {
        for (int item : {c.firstOwn - 1, c.firstOwn, 60}) {
            SCOPED_TRACE(testing::Message() << "kind " << KindNumber(c.kind) << " item " << item);
            TutorFileData data;
            data.ItemBody = CurrentBody();
            TutorStep step;
            TakeStepSetup(step.Record, c.kind, DefaultExerciseSetup());
            std::fill_n(step.Record.SetupBytes.begin(), 60, 0);
            step.Record.SetupBytes[static_cast<std::size_t>(item - 1)] = 1;
            data.StepsOf(c.kind).push_back(step);
            auto read = ParseTutorFile(test::Encoded(data));
            ASSERT_TRUE(read.Ok());
            EXPECT_EQ(read.Value().CustomItems, item >= c.firstOwn);
        }
    }
    // The rhythm and melody blocks hold no item flags, whatever their bytes.
    TutorFileData rhythm;
    rhythm.ItemBody = CurrentBody();
    TutorStep step;
    step.Record.SetupBytes.fill(1);
    rhythm.StepsOf(ExerciseKind::RhythmReading).push_back(step);
    rhythm.StepsOf(ExerciseKind::MelodyDictation).push_back(step);
    auto read = ParseTutorFile(test::Encoded(rhythm));
    ASSERT_TRUE(read.Ok());
    EXPECT_FALSE(read.Value().CustomItems);
}

TEST(TutorFile, OldFormatConvertsSetupsAndGivesProgressionsNoSteps)
{
    // Old option block of chords: old item 1 and old user item 15 asked; old rhythm block.
    std::vector<std::uint8_t> oldChords(kOldOptionBlockSize, 0);
    oldChords[0] = 1;
    oldChords[14] = 1;
    std::vector<std::uint8_t> oldRhythm(kOldRhythmBlockSize, 0);
    oldRhythm[2] = 1;   // time signature row 3
    oldRhythm[12] = 99; // tempo
    auto bytes = HeaderBytes("Old", {1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 9}, 1).Bytes();
    Append(bytes, std::vector<std::uint8_t>(kOldTutorItemBodySize, 0));
    Append(bytes, StepBytes("Chords", 70, 0, oldChords));
    Append(bytes, StepBytes("Rhythm", 71, 0, oldRhythm));
    // Records the table gives kind 10 follow, but an old tutor has none.
    for (int s = 0; s < 6; ++s)
        Append(bytes, StepBytes("Progression", 1, 0));
    auto read = ParseTutorFile(bytes);
    ASSERT_TRUE(read.Ok());
    const TutorFileData& data = read.Value();
    EXPECT_FALSE(data.Header.IsCurrentFormat());
    EXPECT_EQ(data.ItemBody.size(), kOldTutorItemBodySize);
    EXPECT_TRUE(data.StepsOf(ExerciseKind::ChordProgressions).empty());
    EXPECT_TRUE(data.CustomItems);

    ExerciseSetup setup = DefaultExerciseSetup();
    const auto& chord = data.StepsOf(ExerciseKind::ChordIdentification).at(0);
    ApplyStepSetup(chord.Record, ExerciseKind::ChordIdentification, setup);
    OptionBlock expected;
    EXPECT_TRUE(ConvertOldOptionBlock(oldChords, expected, ExerciseKind::ChordIdentification));
    EXPECT_EQ(setup.ChordIdentification, expected);
    EXPECT_EQ(setup.ChordIdentification.ItemFlags[27], 1); // old user item 15 -> item 28

    const auto& rhythm = data.StepsOf(ExerciseKind::RhythmImitation).at(0);
    ApplyStepSetup(rhythm.Record, ExerciseKind::RhythmImitation, setup);
    EXPECT_EQ(setup.RhythmImitation.TimeSignatures[2], 1);
    EXPECT_EQ(setup.RhythmImitation.Tempo, 99);
}

TEST(TutorFile, WriterRefusesWhatDoesNotFit)
{
    TutorFileData data = test::LadderTutor();
    auto tooLongTitle = data;
    tooLongTitle.StepsOf(ExerciseKind::Scales)[0].Record.Title = QString(51, QLatin1Char('a'));
    auto result = EncodeTutorFile(tooLongTitle);
    ASSERT_FALSE(result.Ok());
    EXPECT_EQ(result.Code(), TutorError::TextTooLong);
    EXPECT_TRUE(result.Detail().contains(QStringLiteral("kind 8 step 1")));

    auto fits = data;
    fits.Header.Author = QString(39, QLatin1Char('b'));
    EXPECT_TRUE(EncodeTutorFile(fits).Ok());
    fits.Header.Author += QLatin1Char('b');
    EXPECT_FALSE(EncodeTutorFile(fits).Ok());

    auto longText = data;
    longText.StepsOf(ExerciseKind::Scales)[0].ExtraText = QString(65536, QLatin1Char('c'));
    EXPECT_EQ(EncodeTutorFile(longText).Code(), TutorError::TextTooLong);

    auto shortBody = data;
    shortBody.ItemBody.pop_back();
    EXPECT_FALSE(EncodeTutorFile(shortBody).Ok());
}

} // namespace
} // namespace pv
