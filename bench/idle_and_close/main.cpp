// The program at rest and at its end, as a user meets them: the processor time it takes while
// the start menu and then an exercise window stand still, and how long it takes to close once
// the user has answered the question whether to store the results. The whole program runs in
// this process over the installation the build lays out and a new data folder, with the
// system's sound as the program itself uses it; the questions it asks are answered here.
// Runs under Xvfb when there is no display.
#include "common/BenchGoal.h"
#include "exercises/identification/AkkordModel.h"
#include "exercises/ui/TAkkord.h"
#include "shell/main/PellivarkMainModel.h"
#include "shell/main/ui/ExerciseWindowSet.h"
#include "shell/startmenu/ui/TMenuDialog.h"
#include "shell/ui/PellivarkProgram.h"
#include "shell/ui/TPellivarkMain.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUnderXvfb = "PELLIVARK_BENCH_UNDER_XVFB";
constexpr int kRestSeconds = 10;
constexpr int kSettleMs = 1500;
constexpr int kAnswers = 6;
// At rest a program wakes for nothing: what remains is the event loop's own bookkeeping.
constexpr double kIdleGoalPercent = 0.1;
// A label that changes once a minute may wake the program once a minute, nothing more.
constexpr double kIdleTimersPerS = 0.05;
constexpr double kCloseGoalS = 0.5;

/// Processor time of the whole process (every thread), in seconds.
double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// The timers that fire in the program, whoever owns them: each one wakes the process.
class TimerCensus final : public QObject
{
public:
    /// The timer that ends the waits of this benchmark, not counted.
    QTimer* own = nullptr;
    int fired = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer && watched != own)
            ++fired;
        return false;
    }
};

TimerCensus* g_census = nullptr;

/// Lets the event loop run (and sleep) for ms.
void RunFor(int ms)
{
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (g_census != nullptr)
        g_census->own = &end;
    end.start(ms);
    loop.exec();
}

bool RunUntil(const std::function<bool()>& done, int guardMs)
{
    const QDeadlineTimer guard(guardMs);
    while (!done()) {
        if (guard.hasExpired())
            return false;
        RunFor(20);
    }
    return true;
}

struct Rest
{
    double cpuPercent = 0.0; ///< of one core
    double timersPerS = 0.0; ///< timer events the program handled
};

/// The program standing still for kRestSeconds.
Rest AtRest()
{
    TimerCensus census;
    g_census = &census;
    qApp->installEventFilter(&census);
    const double before = ProcessCpuSeconds();
    const auto start = Clock::now();
    RunFor(kRestSeconds * 1000);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    Rest rest{(ProcessCpuSeconds() - before) / wall * 100.0, census.fired / wall};
    qApp->removeEventFilter(&census);
    g_census = nullptr;
    return rest;
}

/// A student at the keyboard: a name at the first start, "Yes" to storing the results, OK to
/// every message (each one printed, as the student would read it).
class Student final : public pv::IPrompts
{
public:
    std::optional<Clock::time_point> storeAnswered;

    void ShowError(const QString& text, const QString&) override { Print("error", text); }
    void ShowMessage(const QString& text) override { Print("message", text); }
    void ShowInfo(const QString& text, const QString&) override { Print("info", text); }
    pv::PromptButton AskOkRetry(const QString& text, const QString&) override
    {
        Print("question", text);
        return pv::PromptButton::Ok;
    }
    pv::PromptButton AskYesNo(const QString& text, const QString&) override
    {
        Print("question", text);
        return pv::PromptButton::No;
    }
    pv::PromptButton AskYesNoCancel(const QString&, const QString&) override
    {
        storeAnswered = Clock::now();
        return pv::PromptButton::Yes;
    }
    std::optional<QString> AskOpenFile(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> AskSaveFile(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> AskText(const QString&, const QString&, const QString&) override
    {
        return QStringLiteral("Bench Student");
    }
    std::optional<QString> AskFolder(const pv::FolderQuestion&) override { return std::nullopt; }

private:
    static void Print(const char* kind, const QString& text)
    {
        std::printf("the program showed a %s: %s\n", kind,
                    text.simplified().toLocal8Bit().constData());
    }
};

/// Scores an answer at once, as a right click on the answer button does.
void Answer(QPushButton* button)
{
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

bool HasDisplay()
{
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

struct Figures
{
    std::optional<Rest> startMenu;
    std::optional<Rest> exercise;
    std::optional<double> closeS;
    std::string why = "the program did not start";
};

Figures Measure()
{
    Figures figures;
    QTemporaryDir data;
    Student student;
    bool splashHidden = false;
    pv::ProgramOptions options;
    options.ProgramFolders =
        pv::Folders{QStringLiteral(PV_PROGRAM_FOLDER), data.path() + QStringLiteral("/Data/")};
    options.Prompts = &student;
    options.HideSplash = [&splashHidden] { splashHidden = true; };
    auto program = std::make_unique<pv::PellivarkProgram>(std::move(options));
    if (program->Failed())
        return figures;
    program->SetChooseTutor([] { return pv::kNoTutorChosen; });
    program->MainWindow().resize(1200, 800);
    program->MainWindow().show();
    if (!RunUntil([&] { return !program->Model().FirstShowPending && splashHidden; }, 60000))
        return figures;

    // The welcome text scrolls to its stop line (about three quarters of a minute at its own
    // pace); its steps are run here at once, since only the menu at rest is measured.
    pv::TMenuDialog& menu = program->StartMenu();
    for (int step = 0; step < 100000 && menu.ScrollTimerRunning(); ++step)
        menu.Timer1Timer();
    RunFor(kSettleMs);
    figures.startMenu = AtRest();
    std::printf("start menu at rest: %.3f %% of one core, %.1f timer events/s over %d s\n",
                figures.startMenu->cpuPercent, figures.startMenu->timersPerS, kRestSeconds);

    figures.why = "the chord identification window could not be entered";
    QAbstractButton* chords = program->MainWindow().Button(pv::MainControl::Speed1);
    pv::TAkkord* exercise =
        program->Exercises().Identification(pv::ExerciseKind::ChordIdentification);
    if (chords == nullptr || exercise == nullptr)
        return figures;
    chords->click();
    RunFor(kSettleMs);
    figures.exercise = AtRest();
    std::printf("chord identification at rest: %.3f %% of one core, %.1f timer events/s over "
                "%d s\n",
                figures.exercise->cpuPercent, figures.exercise->timersPerS, kRestSeconds);

    // Some answers, so that closing asks whether to store them; the last question still plays.
    figures.why = "no question could be answered";
    for (int i = 0; i < kAnswers; ++i) {
        exercise->NewQuestion();
        const pv::AkkordModel& model = exercise->Model();
        const int button = model.ButtonOfItem(model.QuestionItem);
        if (button < 1 || button > static_cast<int>(exercise->AnswerButtons().size()))
            return figures;
        Answer(exercise->AnswerButtons()[static_cast<std::size_t>(button - 1)].Button);
        RunFor(200);
    }
    exercise->NewQuestion();
    RunFor(300);

    figures.why = "closing did not ask whether to store the results";
    program->MainWindow().close();
    QCoreApplication::processEvents();
    program.reset();
    const auto closed = Clock::now();
    if (!student.storeAnswered)
        return figures;
    figures.closeS = std::chrono::duration<double>(closed - *student.storeAnswered).count();
    std::printf("closing after the results question: %.3f s (program destroyed)\n",
                *figures.closeS);
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    using pv::bench::Bound;
    // The program needs a display: without one, run again under a virtual X server.
    if (!HasDisplay() && std::getenv(kUnderXvfb) == nullptr) {
        setenv(kUnderXvfb, "1", 1);
        std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                                   const_cast<char*>("-s"),
                                   const_cast<char*>("-screen 0 1600x1000x24")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        std::fflush(stdout);
        execvp("xvfb-run", args.data());
        std::printf("xvfb-run could not be started: no display to start the program on\n");
    }
    Figures figures;
    if (HasDisplay()) {
        QApplication app(argc, argv);
        figures = Measure();
    } else {
        figures.why = "no display and no xvfb-run";
    }

    const auto report = [&](const char* name, const std::optional<double>& figure, const char* unit,
                            double target) {
        if (figure)
            pv::bench::Goal(name, *figure, unit, Bound::AtMost, target);
        else
            pv::bench::NotMeasured(name, unit, Bound::AtMost, target, figures.why);
    };
    const auto cpu = [](const std::optional<Rest>& rest) {
        return rest ? std::optional<double>(rest->cpuPercent) : std::nullopt;
    };
    const auto timers = [](const std::optional<Rest>& rest) {
        return rest ? std::optional<double>(rest->timersPerS) : std::nullopt;
    };
    report("idle/start_menu_cpu", cpu(figures.startMenu), "%", kIdleGoalPercent);
    report("idle/start_menu_timer_events", timers(figures.startMenu), "/s", kIdleTimersPerS);
    report("idle/exercise_window_cpu", cpu(figures.exercise), "%", kIdleGoalPercent);
    report("idle/exercise_window_timer_events", timers(figures.exercise), "/s", kIdleTimersPerS);
    report("close/after_results_question", figures.closeS, "s", kCloseGoalS);
    return 0;
}
