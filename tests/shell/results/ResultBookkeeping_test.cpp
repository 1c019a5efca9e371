#include "ResultsFixture.h"
#include "music/files/ByteIO.h"
#include "shell/results/ElapsedTime.h"

#include <cmath>

#include <QDir>

namespace pv {
namespace {

using test::DamagedKind;
using test::Kind;
using test::kMinute;
using test::Slot;

class ResultBookkeepingTest : public test::ResultsFixture
{
protected:
    ExerciseSession& Base(ExerciseKind kind) { return sessions.Of(kind); }

    /// The user exercises kind in the exercise view from now on.
    void Enter(ExerciseKind kind)
    {
        if (state.CurrentKind)
            exerciseClock.StopExerciseClock(state.CurrentKind);
        state.CurrentKind = kind;
        state.CurrentView = MainView::Exercise;
        exerciseClock.StartExerciseClock(kind);
    }
    /// Answers in two kinds: chords 7 of 9 right, intervals 4 of 6, as in the tests below.
    void ExerciseTwoKinds()
    {
        Enter(ExerciseKind::ChordIdentification);
        for (int i = 0; i < 9; ++i)
            Answer(ExerciseKind::ChordIdentification, 1 + i % 3, i != 2 && i != 5, 30);
        Enter(ExerciseKind::IntervalIdentification);
        for (int i = 0; i < 6; ++i)
            Answer(ExerciseKind::IntervalIdentification, 28 + i % 3, i < 4, 10);
    }
};

TEST(ResultKindMasks, KindsAndMasksConvertBothWaysIgnoringWhatIsNoKind)
{
    EXPECT_EQ(KindsOfMask(0b10'0000'0101), (std::vector<ExerciseKind>{Kind(1), Kind(3), Kind(10)}));
    EXPECT_EQ(KindsOfMask(0xFC00), std::vector<ExerciseKind>{}) << "bits beyond kind 10";
    EXPECT_EQ(KindsOfMask(0xFFFF).size(), 10U);
    EXPECT_EQ(MaskOfKinds({Kind(10), Kind(1), Kind(3), DamagedKind(0), DamagedKind(11), Kind(3)}),
              0b10'0000'0101);
}

TEST_F(ResultBookkeepingTest, StoresOneRecordPerKindWithCountsTimesAndSetupName)
{
    app.ResultList(data); // the results view has shown this user's (no) results
    const double chordsBegin = clock.now;
    ExerciseTwoKinds();
    const double intervalsBegin = chordsBegin + 9 * 30 / 86400.0;

    ASSERT_EQ(book.KindsWithResults(0xFFFF, 5), 0b11);
    ASSERT_TRUE(StoreOffered());

    const auto bytes = Bytes(ResultFileName(data, kUser));
    ASSERT_EQ(bytes.size(), 2 * kResultRecSize);
    const struct
    {
        std::uint16_t kind;
        double begin;
        double duration;
        std::uint16_t score, count;
    } expected[] = {
        {1, chordsBegin, 270 / 86400.0, 7, 9},
        {2, intervalsBegin, 60 / 86400.0, 4, 6},
    };
    for (std::size_t r = 0; r < 2; ++r) {
        const auto& e = expected[r];
        SCOPED_TRACE(e.kind);
        const ByteReader rec{std::span(bytes).subspan(r * kResultRecSize, kResultRecSize)};
        EXPECT_EQ(rec.U16(0), kUser);
        EXPECT_EQ(rec.U16(2), e.kind);
        EXPECT_NEAR(rec.F64(4), e.begin, 1e-9);
        EXPECT_NEAR(rec.F64(12), e.duration, 1e-9);
        EXPECT_NEAR(rec.F64(20), e.duration, 1e-9) << "every answer took the whole span";
        EXPECT_EQ(rec.LengthPrefixedString(28, 50), QString());
        EXPECT_EQ(rec.LengthPrefixedString(80, 50), QStringLiteral("Intervals"));
        EXPECT_EQ(rec.U16(132), 0);
        EXPECT_EQ(rec.U16(134), e.score);
        EXPECT_EQ(rec.U16(136), e.count);
    }
    const auto records = StoredRecords();
    // Chords: items 1..3 asked 3 times each; the wrong answers were the 3rd and 6th (item 3).
    EXPECT_EQ(records[0].Items[0], (ItemScore{3, 3}));
    EXPECT_EQ(records[0].Items[2], (ItemScore{1, 3}));
    EXPECT_EQ(records[1].Items[27], (ItemScore{2, 2}));
    EXPECT_EQ(records[1].Items[29], (ItemScore{1, 2}));

    // The shown list and the statistics follow the file.
    ASSERT_EQ(Held().size(), 2U);
    EXPECT_EQ(Held().at(1).Key, ResultKey(2, intervalsBegin));
    EXPECT_EQ(Held().at(1).Object->Record, records[1]);
    EXPECT_EQ(app.ResultUser()->Statistics[0].SumQuestions, 9U);
    EXPECT_EQ(app.ResultUser()->Statistics[1].SumRight, 4U);
}

TEST_F(ResultBookkeepingTest, StoredAnswersAreNeverStoredTwice)
{
    ExerciseTwoKinds();
    ASSERT_TRUE(StoreOffered()); // close: yes, store; then the setup question is cancelled
    const double storedAt = clock.now;
    EXPECT_EQ(sessions.resets[ExerciseKind::ChordIdentification], 1);
    EXPECT_EQ(sessions.resets[ExerciseKind::IntervalIdentification], 1);
    EXPECT_EQ(Base(ExerciseKind::ChordIdentification).QuestionCount, 0U);
    EXPECT_EQ(sessions.Of(ExerciseKind::ChordIdentification).Items[1].Asked, 0);

    clock.now += 5 * kMinute;
    EXPECT_EQ(book.KindsWithResults(0xFFFF, 5), 0) << "closing again offers nothing";
    EXPECT_EQ(book.KindsWithResults(0xFFFF, 1), 0) << "the view switch copies nothing";
    ASSERT_TRUE(StoreOffered());
    EXPECT_EQ(StoredRecords().size(), 2U);

    // In the exercise view a new run began as the stored one ended; new answers count there.
    for (int i = 0; i < 5; ++i)
        Answer(ExerciseKind::IntervalIdentification, 1, true);
    ASSERT_TRUE(StoreOffered());
    const auto records = StoredRecords();
    ASSERT_EQ(records.size(), 3U);
    EXPECT_EQ(records[2].Count, 5);
    EXPECT_EQ(records[2].DateTime, storedAt);
}

TEST_F(ResultBookkeepingTest, ScoreAndCountsFollowTheKindAndSaturate)
{
    const struct
    {
        const char* name;
        ExerciseKind kind;
        std::uint32_t correct, questions;
        std::uint16_t score, count;
    } cases[] = {
        {"right answers", ExerciseKind::ChordIdentification, 7, 9, 7, 9},
        {"mean percent of rhythm reading", ExerciseKind::RhythmReading, 250, 3, 83, 3},
        {"mean percent of rhythm imitation", ExerciseKind::RhythmImitation, 100, 1, 100, 1},
        {"mean percent of error detection", ExerciseKind::RhythmErrorDetection, 199, 2, 99, 2},
        {"mean percent without questions", ExerciseKind::RhythmReading, 80, 0, 0, 0},
        {"comparison counts right answers", ExerciseKind::IntervalComparison, 12, 20, 12, 20},
        {"65,536 answers are not stored as none", ExerciseKind::ChordIdentification, 65536, 65536,
         65535, 65535},
        {"beyond 16 bits", ExerciseKind::Scales, 70000, 4'000'000'000U, 65535, 65535},
        {"huge rhythm sum", ExerciseKind::RhythmReading, 4'000'000'000U, 2, 65535, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExerciseSession counters;
        counters.CorrectCount = c.correct;
        counters.QuestionCount = c.questions;
        const TResultRec rec = BuildResultRec(kUser, c.kind, counters, {});
        EXPECT_EQ(rec.Score, c.score);
        EXPECT_EQ(rec.Count, c.count);
    }
    // Item counts saturate the same way.
    ExerciseSession items;
    items.Items[4].Asked = 65535;
    items.Items[4].Right = 65535;
    const TResultRec rec = BuildResultRec(kUser, ExerciseKind::ChordIdentification, items, {});
    EXPECT_EQ(rec.Items[3], (ItemScore{65535, 65535}));
    EXPECT_EQ(SaturatedCount(65536), 65535);
    EXPECT_EQ(SaturatedCount(65534), 65534);
}

TEST_F(ResultBookkeepingTest, ItemPairsAreThoseTheKindAsks)
{
    const struct
    {
        ExerciseKind kind;
        int pairs;
    } cases[] = {{Kind(1), 60}, {Kind(2), 30}, {Kind(3), 0},  {Kind(4), 0}, {Kind(5), 0},
                 {Kind(6), 0},  {Kind(7), 60}, {Kind(8), 60}, {Kind(9), 0}, {Kind(10), 60}};
    for (const auto& c : cases) {
        SCOPED_TRACE(KindNumber(c.kind));
        // Every kind's session holds counts: only those the kind asks are stored.
        ExerciseSession& session = sessions.Of(c.kind);
        for (int item = 1; item <= 60; ++item) {
            session.Items[static_cast<std::size_t>(item)].Asked =
                static_cast<std::uint16_t>(item + 100);
            session.Items[static_cast<std::size_t>(item)].Right = static_cast<std::uint16_t>(item);
        }
        const TResultRec rec = BuildResultRec(kUser, c.kind, session, {});
        for (int item = 1; item <= 60; ++item) {
            const ItemScore want = item <= c.pairs
                                       ? ItemScore{static_cast<std::uint16_t>(item),
                                                   static_cast<std::uint16_t>(item + 100)}
                                       : ItemScore{};
            EXPECT_EQ(rec.Items[static_cast<std::size_t>(item - 1)], want) << item;
        }
    }
}

TEST_F(ResultBookkeepingTest, NameFieldIsTheSetupNameUpToItsFirstDot)
{
    const struct
    {
        const char* file;
        const char* name;
    } cases[] = {
        {"", ""},
        {"/home/ann/setups/noext", ""},
        {"/home/ann/set.ups/Level1.qib", "Level1"},
        {"C:\\Setups\\Chords.old.qib", "Chords"},
        {".hidden.qib", ""},
        {"/s/abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz0123456789.qib",
         "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        setup.SetupFileName = QString::fromLatin1(c.file);
        const TResultRec rec =
            BuildResultRec(kUser, ExerciseKind::ChordIdentification, ExerciseSession{},
                           book.LabelsOf(ExerciseKind::ChordIdentification, false));
        EXPECT_EQ(rec.SetupName, QString::fromLatin1(c.name));
        EXPECT_EQ(rec.TutorTitle, QString());
        EXPECT_EQ(rec.TutorStep, 0);
    }
}

TEST_F(ResultBookkeepingTest, TutorRecordsNameTheTutorAndTheUsersStep)
{
    tutor.title = QStringLiteral("Ear basics");
    tutor.steps[{ExerciseKind::Scales, 3}] = QStringLiteral("Major and minor scales");
    app.Users.CurrentUser->Record.TutorSteps[7] = 3;
    ResultLabels labels = book.LabelsOf(ExerciseKind::Scales, true);
    EXPECT_EQ(labels.TutorTitle, QStringLiteral("Ear basics"));
    EXPECT_EQ(labels.SetupName, QStringLiteral("Major and minor scales"));
    EXPECT_EQ(labels.TutorStep, 3);
    // A step the tutor lacks (a user file written for a longer tutor) names nothing.
    const struct
    {
        std::int32_t step;
        std::uint16_t stored;
    } beyond[] = {{9, 9}, {0, 0}, {-4, 0}, {100000, 65535}};
    for (const auto& b : beyond) {
        SCOPED_TRACE(b.step);
        app.Users.CurrentUser->Record.TutorSteps[7] = b.step;
        labels = book.LabelsOf(ExerciseKind::Scales, true);
        EXPECT_EQ(labels.SetupName, QString());
        EXPECT_EQ(labels.TutorStep, b.stored);
    }
}

TEST_F(ResultBookkeepingTest, ViewSwitchCopiesRunningResultsIntoMemoryOnly)
{
    Enter(ExerciseKind::Scales);
    for (int i = 0; i < 4; ++i)
        Answer(ExerciseKind::Scales, 2, i != 0);
    const double begin = Base(ExerciseKind::Scales).StartDate;
    EXPECT_EQ(book.KindsWithResults(0xFFFF, 5), 0) << "4 answers are not offered for storing";
    const std::uint16_t running = book.KindsWithResults(0xFFFF, 1);
    ASSERT_EQ(running, 1U << (KindNumber(ExerciseKind::Scales) - 1));
    ASSERT_TRUE(book.StoreResults(running, state.TutorActive, true));

    const TResultRec& copy = book.ExerciseResults[Slot(ExerciseKind::Scales)].Record;
    EXPECT_EQ(copy.Count, 4);
    EXPECT_EQ(copy.Score, 3);
    EXPECT_EQ(copy.Items[1], (ItemScore{3, 4}));
    EXPECT_DOUBLE_EQ(copy.DateTime, begin - std::floor(begin));
    EXPECT_FALSE(QFileInfo::exists(ResultFileName(data, kUser))) << "nothing goes to disk";
    EXPECT_EQ(Base(ExerciseKind::Scales).QuestionCount, 4U) << "the run goes on";
    EXPECT_TRUE(sessions.resets.empty());
}

// No window takes part here at all: a kind is stored from its session alone, and the reset
// after the store and the user's reset both reach that session.
TEST_F(ResultBookkeepingTest, AKindWithoutAWindowIsStoredFromItsSessionAndResetThere)
{
    constexpr ExerciseKind kKind = ExerciseKind::ChordInversions;
    sessions.Of(kKind).SetResetListener({}); // nobody mirrors this session
    Enter(kKind);
    for (int i = 0; i < 6; ++i)
        Answer(kKind, 1 + i % 2, i != 3);
    ASSERT_TRUE(book.StoreResult(kKind, false, false));
    const auto records = StoredRecords();
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].Kind, KindNumber(kKind));
    EXPECT_EQ(records[0].Count, 6);
    EXPECT_EQ(records[0].Score, 5);
    EXPECT_EQ(records[0].Items[0], (ItemScore{3, 3}));
    EXPECT_EQ(records[0].Items[1], (ItemScore{2, 3}));
    const ExerciseSession& session = sessions.Of(kKind);
    EXPECT_EQ(session.QuestionCount, 0U);
    EXPECT_EQ(session.ItemStatistics(1), ItemCounts{});
    EXPECT_EQ(session.ItemStatistics(2), ItemCounts{});

    // Reset current results on the kind: no question, as too few answers are there to offer.
    for (int i = 0; i < 3; ++i)
        Answer(kKind, 4, true);
    ASSERT_TRUE(book.RestartexerciseClick());
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(session.QuestionCount, 0U);
    EXPECT_EQ(session.ItemStatistics(4), ItemCounts{});
    EXPECT_EQ(StoredRecords().size(), 1U);
}

TEST_F(ResultBookkeepingTest, RunWhoseClockNeverStartedStoresNothing)
{
    state.CurrentView = MainView::ExerciseSetup;
    for (int i = 0; i < 6; ++i)
        Answer(ExerciseKind::ChordProgressions, 1, true);
    ASSERT_TRUE(StoreOffered());
    ASSERT_TRUE(book.StoreResults(0xFFFF, false, true));
    EXPECT_TRUE(StoredRecords().empty());
    EXPECT_EQ(book.ExerciseResults[Slot(ExerciseKind::ChordProgressions)].Record.Count, 0);
    EXPECT_EQ(Base(ExerciseKind::ChordProgressions).QuestionCount, 6U);
}

TEST_F(ResultBookkeepingTest, RestartAsksThenStoresOrDropsTheAnswers)
{
    const struct
    {
        const char* name;
        bool tutor;
        int answers;
        std::optional<PromptButton> answer; // nothing: no question may be asked
        std::size_t stored;
        bool reset;
    } cases[] = {
        {"yes stores, then resets", false, 6, PromptButton::Yes, 1, true},
        {"no resets without storing", false, 6, PromptButton::No, 0, true},
        {"cancel keeps everything", false, 6, PromptButton::Cancel, 0, false},
        {"too few answers to offer", false, 4, std::nullopt, 0, true},
        {"the tutor asks and stores nothing", true, 6, std::nullopt, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(ResultFileName(data, kUser));
        prompts.asked.clear();
        sessions.resets.clear();
        state.TutorActive = c.tutor;
        Enter(ExerciseKind::IntervalComparison);
        const double begin = clock.now;
        for (int i = 0; i < c.answers; ++i)
            Answer(ExerciseKind::IntervalComparison, 0, true);
        if (c.answer)
            prompts.buttons.push_back(*c.answer);
        ASSERT_TRUE(book.RestartexerciseClick());
        if (c.answer) {
            ASSERT_EQ(prompts.asked.size(), 1U);
            EXPECT_EQ(prompts.asked[0].kind, QStringLiteral("yesnocancel"));
            EXPECT_EQ(prompts.asked[0].text, texts.StrSaveResultsQuery);
            EXPECT_EQ(prompts.asked[0].caption, texts.StrSaveResultsCaption);
        } else {
            EXPECT_TRUE(prompts.asked.empty());
        }
        EXPECT_EQ(StoredRecords().size(), c.stored);
        EXPECT_EQ(Base(ExerciseKind::IntervalComparison).QuestionCount,
                  c.reset ? 0U : static_cast<unsigned>(c.answers));
        EXPECT_EQ(Base(ExerciseKind::IntervalComparison).StartDate, c.reset ? clock.now : begin);
        Base(ExerciseKind::IntervalComparison).ClearCounters();
        Base(ExerciseKind::IntervalComparison).ClearClock();
    }
}

TEST_F(ResultBookkeepingTest, FailedStoreKeepsTheAnswersAndSaysWhy)
{
    app.ResultList(data);
    // A folder where the result file belongs: the opening refuses it and says so.
    ASSERT_TRUE(QDir().mkpath(ResultFileName(data, kUser)));
    ExerciseTwoKinds();
    prompts.buttons.push_back(PromptButton::Yes);
    const Status<DataError> restarted = book.RestartexerciseClick();
    ASSERT_FALSE(restarted);
    EXPECT_EQ(restarted.Code(), DataError::NotRegularFile);
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_EQ(Base(ExerciseKind::IntervalIdentification).QuestionCount, 6U);
    EXPECT_TRUE(sessions.resets.empty());
    EXPECT_TRUE(Held().empty());
    EXPECT_NE(Base(ExerciseKind::IntervalIdentification).ClockStart, 0.0) << "its clock runs on";

    // Without a user there is no file to name: said, and nothing is lost either.
    QDir(ResultFileName(data, kUser)).removeRecursively();
    app.Users.CurrentUser->Record.UserId = 0;
    const Status<DataError> stored = StoreOffered();
    ASSERT_FALSE(stored);
    EXPECT_EQ(stored.Code(), DataError::NoUser);
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 2);
    EXPECT_EQ(Base(ExerciseKind::ChordIdentification).QuestionCount, 9U);
}

TEST_F(ResultBookkeepingTest, StoredResultDeletedFromTheListGoesFromTheFileToo)
{
    app.ResultList(data);
    ExerciseTwoKinds();
    ASSERT_TRUE(StoreOffered());
    ASSERT_EQ(Held().size(), 2U);
    Held().erase(Held().begin());
    ASSERT_TRUE(app.RewriteResults(data));
    const auto records = StoredRecords();
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].Kind, KindNumber(ExerciseKind::IntervalIdentification));
}

TEST_F(ResultBookkeepingTest, ResultsOfAnotherShownUserAreNotTouched)
{
    auto other = std::make_shared<TUserInfo>();
    other->Record.UserId = 9;
    app.SetResultUser(other);
    app.ResultList(data);
    ExerciseTwoKinds();
    ASSERT_TRUE(StoreOffered());
    EXPECT_EQ(StoredRecords().size(), 2U);
    EXPECT_TRUE(Held().empty());
    EXPECT_FALSE(other->Computed);
}

TEST_F(ResultBookkeepingTest, ChoosingThePeriodInForceChangesNothing)
{
    app.Users.StatisticsPeriod = 7;
    state.CurrentView = MainView::Results;
    const PeriodChoice same = book.N1week1Click(7, QStringLiteral("1 week"), Kind(1));
    EXPECT_FALSE(same.Changed);
    EXPECT_FALSE(app.ResultUser()->Computed);

    // Ten days ago and two days ago: a three-day period sums only the recent one.
    TResultRec old;
    old.UserId = kUser;
    old.Kind = 1;
    old.Count = 5;
    old.DateTime = TodayInDaysSince1899() - 10;
    old.Duration = 1.0 / 24.0;
    TResultRec recent = old;
    recent.DateTime = TodayInDaysSince1899() - 2;
    recent.Duration = (3600 + 60 * 5 + 9) / 86400.0;
    ASSERT_TRUE(AppendResult(data, old));
    ASSERT_TRUE(AppendResult(data, recent));
    const PeriodChoice three = book.N1week1Click(3, QStringLiteral("3 days"), Kind(1));
    EXPECT_TRUE(three.Changed);
    EXPECT_EQ(three.PeriodLabel, QStringLiteral("Statistics - 3 days :"));
    EXPECT_EQ(app.Users.StatisticsPeriod, 3);
    EXPECT_TRUE(app.ResultUser()->Computed);
    EXPECT_EQ(app.ResultUser()->Statistics[0].SumQuestions, 5U);
    ASSERT_TRUE(three.DurationLabel);
    EXPECT_EQ(*three.DurationLabel, FormatElapsedTime(true, recent.Duration));

    // Outside the results view the period changes, the statistics wait for the view.
    state.CurrentView = MainView::Exercise;
    app.ResultUser()->Computed = false;
    const PeriodChoice month = book.N1week1Click(30, QStringLiteral("1 month"), Kind(1));
    EXPECT_TRUE(month.Changed);
    EXPECT_EQ(app.Users.StatisticsPeriod, 30);
    EXPECT_FALSE(month.DurationLabel);
    EXPECT_FALSE(app.ResultUser()->Computed);
    EXPECT_FALSE(book.N1week1Click(300, QStringLiteral("?"), Kind(1)).Changed);
}

} // namespace
} // namespace pv
