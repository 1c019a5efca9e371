// Start-up of the program as a user sees it: from the process's start to the main window's
// first paint (which the program writes into the file that PELLIVARK_STARTUP_PROBE names), and
// the resident memory three seconds after the start, with the sound font loaded. Runs under
// Xvfb when there is no display.
#include "common/BenchGoal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

constexpr int kRuns = 5;
constexpr int kMemoryAfterMs = 3000;
constexpr int kStopGraceMs = 2000;
constexpr double kFirstPaintGoalS = 0.15;
constexpr double kMemoryGoalMb = 90.0;
constexpr const char* kUnderXvfb = "PELLIVARK_BENCH_UNDER_XVFB";
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct Run
{
    std::optional<double> firstPaintMs;
    std::optional<double> residentMb;
    std::string note;
};

/// The last "first-paint <ms>" line of the probe file.
std::optional<double> FirstPaint(const QString& probe)
{
    QFile file(probe);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    std::optional<double> ms;
    while (!file.atEnd()) {
        const QList<QByteArray> words = file.readLine().simplified().split(' ');
        if (words.size() == 2 && words[0] == "first-paint") {
            bool ok = false;
            const double value = words[1].toDouble(&ok);
            if (ok && value >= 0.0)
                ms = value;
        }
    }
    return ms;
}

/// VmRSS of the process in megabytes (2^20 bytes).
std::optional<double> ResidentMb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    // A /proc file has no size: read it whole rather than up to an end it does not report.
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.simplified();
        if (line.startsWith("VmRSS:")) {
            const QList<QByteArray> words = line.split(' ');
            bool ok = false;
            const double kb = words.size() >= 2 ? words[1].toDouble(&ok) : 0.0;
            if (ok)
                return kb / 1024.0;
        }
    }
    return std::nullopt;
}

Run Measure(const QString& program, const QString& dataFolder, int index)
{
    Run run;
    QTemporaryDir probeDir;
    const QString probe = probeDir.filePath(QStringLiteral("probe.txt"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELLIVARK_STARTUP_PROBE"), probe);
    env.insert(QStringLiteral("PELLIVARK_DATA"), dataFolder);
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    if (!process.waitForStarted(5000)) {
        run.note = "the program did not start";
        return run;
    }
    const qint64 pid = process.processId();
    bool exited = false;
    while (clock.elapsed() < kMemoryAfterMs) {
        if (process.waitForFinished(20)) {
            exited = true;
            break;
        }
    }
    if (!exited)
        run.residentMb = ResidentMb(pid);
    run.firstPaintMs = FirstPaint(probe);
    if (exited)
        run.note = "the program ended before three seconds (exit " +
                   std::to_string(process.exitCode()) + ")";
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(kStopGraceMs)) {
            process.kill();
            process.waitForFinished(kStopGraceMs);
        }
    }
    char paint[32] = "-";
    char memory[32] = "-";
    if (run.firstPaintMs)
        std::snprintf(paint, sizeof paint, "%.1f ms", *run.firstPaintMs);
    if (run.residentMb)
        std::snprintf(memory, sizeof memory, "%.1f MB", *run.residentMb);
    std::printf("run %d%s: first paint %s, resident memory %s%s%s\n", index,
                index == 0 ? " (warm-up)" : "", paint, memory, run.note.empty() ? "" : "; ",
                run.note.c_str());
    return run;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

bool HasDisplay()
{
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    using pv::bench::Bound;
    // The program needs a display: without one, run again under a virtual X server.
    if (!HasDisplay() && std::getenv(kUnderXvfb) == nullptr) {
        setenv(kUnderXvfb, "1", 1);
        std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        std::fflush(stdout);
        execvp("xvfb-run", args.data());
        std::printf("xvfb-run could not be started: no display to start the program on\n");
    }
    QCoreApplication app(argc, argv);

    // PELLIVARK_BENCH_PROGRAM measures another build of the program.
    const QString program = qEnvironmentVariableIsSet("PELLIVARK_BENCH_PROGRAM")
                                ? qEnvironmentVariable("PELLIVARK_BENCH_PROGRAM")
                                : QStringLiteral(PV_PROGRAM_FILE);
    std::printf("start-up of %s, %d runs (the first one not counted)\n",
                program.toLocal8Bit().constData(), kRuns);
    std::printf("sound font %s: %s\n", kSoundFont,
                QFileInfo(QString::fromLatin1(kSoundFont)).isFile() ? "present" : "MISSING");

    std::vector<double> paints;
    std::vector<double> memory;
    std::string paintWhy;
    std::string memoryWhy;
    if (!HasDisplay()) {
        paintWhy = memoryWhy = "no display and no xvfb-run";
    } else if (!QFileInfo(program).isExecutable()) {
        paintWhy = memoryWhy = "the program is not built";
    } else {
        // One data folder for all runs: only the first start is the first run of a user.
        QTemporaryDir data;
        paintWhy = "the program wrote no first-paint line to PELLIVARK_STARTUP_PROBE";
        memoryWhy = "the program's memory could not be read";
        for (int i = 0; i <= kRuns; ++i) {
            const Run run = Measure(program, data.path() + QLatin1Char('/'), i);
            if (i == 0)
                continue; // warms the file cache, writes the first user
            if (run.firstPaintMs)
                paints.push_back(*run.firstPaintMs / 1000.0);
            if (run.residentMb)
                memory.push_back(*run.residentMb);
            if (!run.note.empty())
                memoryWhy = run.note;
        }
    }

    if (paints.empty())
        pv::bench::NotMeasured("startup/first_paint", "s", Bound::AtMost, kFirstPaintGoalS,
                               paintWhy);
    else
        pv::bench::Goal("startup/first_paint", Median(paints), "s", Bound::AtMost, kFirstPaintGoalS,
                        "median of " + std::to_string(paints.size()) + " runs");
    if (memory.empty())
        pv::bench::NotMeasured("startup/resident_memory_after_3s", "MB", Bound::AtMost,
                               kMemoryGoalMb, memoryWhy);
    else
        pv::bench::Goal("startup/resident_memory_after_3s", Median(memory), "MB", Bound::AtMost,
                        kMemoryGoalMb, "median of " + std::to_string(memory.size()) + " runs");
    return 0;
}
