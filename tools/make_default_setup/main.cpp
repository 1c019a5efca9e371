// Writes the built-in exercise setup to the file named on the command line.
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/setup/SetupFile.h"

#include <cstdio>

#include <QString>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_default_setup <file>\n");
        return 2;
    }
    const QString fileName = QString::fromLocal8Bit(argv[1]);
    if (const auto written = pv::WriteSetupFile(fileName, pv::DefaultExerciseSetup()); !written) {
        std::fprintf(stderr, "make_default_setup: %s: %s\n", argv[1],
                     written.Detail().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
