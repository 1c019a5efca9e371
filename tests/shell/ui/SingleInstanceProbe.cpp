// One start of the single-instance guard and nothing else, for the tests that start many copies
// at the same moment: it waits for a line on its input, so the test can let all copies go at
// once, then decides. The first copy serves until a later start raises it.
//
// Usage: single_instance_probe <guard folder> [serve ms]
// Exit status: 10 first and raised by a later start, 11 first and never raised, 20 raised the
// running copy, 30 unguarded, 2 bad arguments, 3 no start line.
#include "shell/ui/SingleInstance.h"

#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int serveMs = argc > 2 ? std::atoi(argv[2]) : 20000;
    char line[16];
    if (std::fgets(line, sizeof(line), stdin) == nullptr)
        return 3;

    pv::SingleInstance guard(folder);
    bool raised = false;
    const pv::SingleInstance::Start start = guard.Begin([&raised] {
        raised = true;
        QCoreApplication::quit();
    });
    std::printf("%s\n", pv::StartName(start));
    std::fflush(stdout);
    if (start == pv::SingleInstance::Start::Raised)
        return 20;
    if (start == pv::SingleInstance::Start::Unguarded)
        return 30;
    QTimer::singleShot(serveMs, &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    return raised ? 10 : 11;
}
