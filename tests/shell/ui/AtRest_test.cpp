// The whole program standing still: once nothing moves on the screen, no timer of any object
// fires, at the start menu and in every exercise window; the start menu's welcome text scrolls
// only while it is in sight and up to its stop line.
#include "ProgramTestSupport.h"
#include "exercises/setup/SetupFile.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QTimerEvent>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::RunUntil;

/// The timers that fire while the program is watched, whoever owns them (Qt's own, ours, and
/// those of objects outside the widget tree), and which of them are still running afterwards:
/// a timer that fires once after a change of view is part of that change; one that goes on
/// firing keeps waking the program.
class TimerCensus final : public QObject
{
public:
    TimerCensus() { QCoreApplication::instance()->installEventFilter(this); }
    ~TimerCensus() override { QCoreApplication::instance()->removeEventFilter(this); }
    TimerCensus(const TimerCensus&) = delete;
    TimerCensus& operator=(const TimerCensus&) = delete;

    /// Lets the program run and sleep for ms; the timer that ends the wait is not counted.
    void Watch(int ms)
    {
        QEventLoop loop;
        QTimer end;
        end.setSingleShot(true);
        QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
        m_own = &end;
        end.start(ms);
        loop.exec();
        m_own = nullptr;
    }

    /// The timers that fired and are still registered, each with its receiver and interval.
    std::string StillRunning() const
    {
        std::string text;
        for (const Fired& fired : m_fired) {
            if (fired.receiver.isNull())
                continue; // a single-shot helper that has deleted itself
            const QList<QAbstractEventDispatcher::TimerInfo> timers =
                QAbstractEventDispatcher::instance()->registeredTimers(fired.receiver);
            for (const QAbstractEventDispatcher::TimerInfo& timer : timers) {
                if (timer.timerId == fired.timerId && !QtFontCacheTimer(*fired.receiver, timer))
                    text += "\n  every " + std::to_string(timer.interval) +
                            " ms: " + Describe(fired.receiver) + " (fired " +
                            std::to_string(fired.count) + " times)";
            }
        }
        return text;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Timer || watched == m_own)
            return false;
        const int id = static_cast<QTimerEvent*>(event)->timerId();
        for (Fired& fired : m_fired) {
            if (fired.receiver == watched && fired.timerId == id) {
                ++fired.count;
                return false;
            }
        }
        m_fired.push_back({watched, id, 1});
        return false;
    }

private:
    struct Fired
    {
        QPointer<QObject> receiver;
        int timerId = 0;
        int count = 0;
    };

    /// Qt's font cache ages its entries on a 10 s timer of a bare object of its own once
    /// any text has been measured; it belongs to Qt, not to the program, and stops itself.
    static bool QtFontCacheTimer(const QObject& receiver,
                                 const QAbstractEventDispatcher::TimerInfo& timer)
    {
        return timer.interval == 10000 && receiver.parent() == nullptr &&
               receiver.objectName().isEmpty() &&
               receiver.metaObject() == &QObject::staticMetaObject;
    }

    static std::string Describe(const QObject* object)
    {
        std::string text = std::string(object->metaObject()->className()) + " '" +
                           object->objectName().toStdString() + "'";
        if (const QObject* parent = object->parent())
            text += " in " + std::string(parent->metaObject()->className()) + " '" +
                    parent->objectName().toStdString() + "'";
        return text;
    }

    const QTimer* m_own = nullptr;
    std::vector<Fired> m_fired;
};

/// An installation with the intro music, and a user who has been here before.
class RestingProgram : public ::testing::Test
{
protected:
    RestingProgram()
    {
        EXPECT_TRUE(QDir().mkpath(program.File(QStringLiteral("Language"))));
        EXPECT_TRUE(QDir().mkpath(program.File(QStringLiteral("Media"))));
        EXPECT_TRUE(QFile::copy(QStringLiteral(PELLIVARK_ENGLISH_LAN),
                                program.File(QStringLiteral("Language/English.LAN"))));
        EXPECT_TRUE(QFile::copy(QStringLiteral(PELLIVARK_INTRO_MID),
                                program.File(QStringLiteral("Media/intro.mid"))));
        EXPECT_TRUE(WriteSetupFile(program.File(QStringLiteral("Default_level.qib")),
                                   DefaultExerciseSetup()));
        prompts.texts = {QStringLiteral("Ann Example")};
        run = std::make_unique<PellivarkProgram>(ProgramOptions{
            Folders{program.Path(), data.Path() + QStringLiteral("Data/")}, QString(), &prompts,
            false, test::FakeDevicesWithoutSoundFont(), [this] { splashHidden = true; }});
        run->SetChooseTutor([] { return kNoTutorChosen; });
        run->MainWindow().resize(1100, 760);
        run->MainWindow().show();
        started = RunUntil([this] { return !run->Model().FirstShowPending && splashHidden; });
    }

    /// Runs the welcome text's scroll steps up to its stop line, as its timer would.
    void ScrollToTheStopLine()
    {
        TMenuDialog& menu = run->StartMenu();
        for (int step = 0; step < 100000 && menu.ScrollTimerRunning(); ++step)
            menu.Timer1Timer();
    }

    test::TempDir program;
    test::TempDir data;
    test::ScriptedPrompts prompts;
    bool splashHidden = false;
    std::unique_ptr<PellivarkProgram> run;
    bool started = false;
};

// Long enough for the timers the program used to leave running (the clock's second, the
// intro's end check, the menu's scroll) to fire at least once each.
constexpr int kWatchMs = 1300;

TEST_F(RestingProgram, TheStartMenuScrollsToItsStopLineThenNoTimerFires)
{
    ASSERT_TRUE(started);
    TMenuDialog& menu = run->StartMenu();
    EXPECT_TRUE(menu.ScrollTimerRunning()) << "the welcome text moves up at first";
    ScrollToTheStopLine();
    EXPECT_FALSE(menu.ScrollTimerRunning());
    const StartMenuModel& text = menu.Model();
    EXPECT_EQ(text.FirstLine, text.ScrollStopLine);
    EXPECT_EQ(text.ScrollY, 0);
    EXPECT_FALSE(run->MainWindow().IsEnabled(MainControl::Timer1) &&
                 run->Clock().NextTickMs().has_value())
        << "the clock shows nothing at the start menu";

    TimerCensus census;
    census.Watch(kWatchMs);
    EXPECT_EQ(census.StillRunning(), "") << "timers running at rest";
    test::SavePicture(run->MainWindow(), QStringLiteral("at-rest-start-menu.png"));
}

TEST_F(RestingProgram, TheWelcomeTextScrollsOnlyWhileTheStartMenuIsInSight)
{
    ASSERT_TRUE(started);
    TMenuDialog& menu = run->StartMenu();
    ASSERT_TRUE(menu.ScrollTimerRunning());
    for (int step = 0; step < 30; ++step)
        menu.Timer1Timer();
    const int firstLine = menu.Model().FirstLine;
    const int scrollY = menu.Model().ScrollY;

    run->MainWindow().Button(MainControl::Speed1)->click();
    ASSERT_EQ(run->State().CurrentKind, ExerciseKind::ChordIdentification);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_FALSE(menu.ScrollTimerRunning()) << "hidden behind the exercise";

    run->MainWindow().Button(MainControl::Overview)->click();
    ASSERT_EQ(run->State().CurrentKind, std::nullopt);
    EXPECT_TRUE(menu.ScrollTimerRunning()) << "in sight again before its stop line";
    EXPECT_EQ(menu.Model().FirstLine, firstLine) << "it goes on where it was";
    EXPECT_EQ(menu.Model().ScrollY, scrollY);
}

TEST_F(RestingProgram, NoTimerFiresInAnExerciseWindowStandingStill)
{
    ASSERT_TRUE(started);
    ScrollToTheStopLine();
    int entered = 0;
    for (ExerciseKind kind : kExerciseKinds) {
        if (run->Exercises().Window(kind) == nullptr)
            continue;
        SCOPED_TRACE(KindNumber(kind));
        QAbstractButton* button =
            run->MainWindow().Button(kExerciseButtons[static_cast<std::size_t>(KindNumber(kind))]);
        ASSERT_NE(button, nullptr);
        button->click();
        ASSERT_EQ(run->State().CurrentKind, kind);
        ++entered;
        EXPECT_TRUE(run->MainWindow().IsEnabled(MainControl::Timer1)) << "the exercise clock is on";
        const std::optional<int> due = run->Clock().NextTickMs();
        ASSERT_TRUE(due.has_value());
        EXPECT_GT(*due, 50'000) << "the shown minutes change next a minute after the entry";

        TimerCensus census;
        census.Watch(kWatchMs);
        EXPECT_EQ(census.StillRunning(), "") << "timers running at rest";
        EXPECT_FALSE(run->StartMenu().ScrollTimerRunning());
    }
    EXPECT_GE(entered, 5) << "the exercise windows the program has";
}

} // namespace
} // namespace pv
