// Exercise windows made of the real counters and identification models, a hand-driven date
// clock and a recording main window, over a temporary data folder.
#pragma once

#include "exercises/base/ControlStripModel.h"
#include "exercises/identification/AkkordModel.h"
#include "music/data/ResultFiles.h"
#include "music/files/DataFixture.h"
#include "music/files/DaysSince1899.h"
#include "shell/results/ResultBookkeeping.h"
#include "shell/state/AppState.h"

#include <cstddef>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace pv::test {

inline constexpr double kMinute = 1.0 / (24.0 * 60.0);

/// The kind stored as n (1..10), for tables of kinds.
inline ExerciseKind Kind(int n)
{
    return KindFromNumber(n).value();
}
/// A kind value outside the ten, as only a cast of a damaged byte makes one.
inline ExerciseKind DamagedKind(int n)
{
    return static_cast<ExerciseKind>(n);
}
/// The place of kind's window in the arrays of the ten windows.
inline std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

class HandDateClock final : public IDateClock
{
public:
    double Now() const override { return now; }
    double now = 0.0;
};

class RecordingClockView final : public IExerciseClockView
{
public:
    void SetTimer1Enabled(bool on) override { timerOn = on; }
    void ShowExerciseTime(const QString& text) override { shown = text; }
    void RepaintControlStrip(ExerciseKind kind) override { repainted.push_back(kind); }
    bool timerOn = false;
    QString shown = QStringLiteral("(never shown)");
    std::vector<ExerciseKind> repainted;
};

/// The ten windows: counters for every kind, an identification model (with its item
/// statistics) for the kinds it runs.
class TestForms final : public IExerciseForms
{
public:
    explicit TestForms(const UIStringTable& strings)
    {
        for (ExerciseKind k : kExerciseKinds) {
            if (const auto mode = ModeOfKind(k))
                akkord[Slot(k)] =
                    std::make_unique<AkkordModel>(*mode, base[Slot(k)], strip[Slot(k)], strings);
        }
    }
    ExerciseBaseModel* Counters(ExerciseKind kind) override
    {
        return IsKnownKind(kind) ? &base[Slot(kind)] : nullptr;
    }
    ItemCounts ItemStatistics(ExerciseKind kind, int item) const override
    {
        const AkkordModel* model = IsKnownKind(kind) ? akkord[Slot(kind)].get() : nullptr;
        if (model == nullptr || item < 1 || item > 60)
            return {};
        const AkkordItem& it = model->ExerciseItem[static_cast<std::size_t>(item)];
        return {it.Right, it.Asked};
    }
    void ResetResults(ExerciseKind kind) override
    {
        if (!IsKnownKind(kind))
            return;
        ++resets[kind];
        if (akkord[Slot(kind)])
            akkord[Slot(kind)]->ResetResults();
        else
            base[Slot(kind)].ClearCounters();
    }
    AkkordModel& Akkord(ExerciseKind kind) { return *akkord[Slot(kind)]; }

    std::array<ExerciseBaseModel, 10> base{};
    std::array<ControlStripModel, 10> strip{};
    std::array<std::unique_ptr<AkkordModel>, 10> akkord{};
    std::map<ExerciseKind, int> resets;
};

class FakeTutor final : public IResultTutor
{
public:
    QString TutorTitle() const override { return title; }
    std::optional<QString> StepTitle(ExerciseKind kind, int step) const override
    {
        const auto it = steps.find({kind, step});
        if (it == steps.end())
            return std::nullopt;
        return it->second;
    }
    QString title;
    std::map<std::pair<ExerciseKind, int>, QString> steps;
};

class ResultsFixture : public DataFixture
{
protected:
    static constexpr std::uint16_t kUser = 7;

    ResultsFixture()
    {
        texts.StrSaveResultsQuery = QStringLiteral("Store the results?");
        texts.StrSaveResultsCaption = QStringLiteral("Results");
        texts.StrStatisticsText = QStringLiteral("Statistics");
        texts.StrResultFile = QStringLiteral("Result file");
        texts.StrMessageTitle = QStringLiteral("Error");
        app.Users.CurrentUser = std::make_shared<TUserInfo>();
        app.Users.CurrentUser->Record.UserId = kUser;
        app.SetResultUserToCurrent();
        // Statistics sum the last days by the real calendar: the runs happen today.
        clock.now = NowInDaysSince1899() - 0.1;
        setup.SetupFileName = QStringLiteral("/home/ann/setups/Intervals.easy.qib");
    }

    /// One answer in kind's window: right or wrong, for item (0: no item), taking seconds.
    void Answer(ExerciseKind kind, int item, bool right, int seconds = 20)
    {
        ExerciseBaseModel& b = forms.base[Slot(kind)];
        b.MarkQuestionStart(clock.now);
        clock.now += seconds / 86400.0;
        b.AddAnswerTime(clock.now);
        ++b.QuestionCount;
        if (right)
            ++b.CorrectCount;
        if (item > 0) {
            AkkordItem& it = forms.Akkord(kind).ExerciseItem[static_cast<std::size_t>(item)];
            ++it.Asked;
            if (right)
                ++it.Right;
        }
    }

    /// The records of the user's result file.
    std::vector<TResultRec> StoredRecords()
    {
        std::vector<TResultRec> out;
        const auto bytes = Bytes(ResultFileName(data, kUser));
        for (std::size_t at = 0; at + kResultRecSize <= bytes.size(); at += kResultRecSize)
            out.push_back(*DecodeResultRec(std::span(bytes).subspan(at, kResultRecSize)));
        return out;
    }

    /// The result user's results as held now (the list the results view shows).
    ResultEntries& Held()
    {
        if (ResultEntries* list = app.HeldResults())
            return *list;
        ADD_FAILURE() << "no results of the result user are held";
        m_none.clear();
        return m_none;
    }

    /// What the close, reset and export paths store.
    Status<DataError> StoreOffered()
    {
        return book.StoreResults(book.KindsWithResults(0xFFFF, 5), state.TutorActive, false);
    }

    UIStringTable texts;
    AppState app;
    MainWindowState& state = app.MainWindow;
    HandDateClock clock;
    RecordingClockView view;
    TestForms forms{texts};
    SetupState& setup = app.Setup;
    FakeTutor tutor;
    ExerciseClock exerciseClock{state, forms, clock, view};
    ResultBookkeeping book{app, exerciseClock, forms, data, tutor, prompts, texts, {}};

private:
    ResultEntries m_none;
};

} // namespace pv::test
