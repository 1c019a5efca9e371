// make_help write <source> <file.HLP>: writes the help file a source gives.
// make_help print <file.HLP>: prints a help file as a source (which writes it back).
#include "shell/help/HelpFile.h"
#include "shell/help/HelpSource.h"

#include <cstdio>

#include <QFile>
#include <QString>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: make_help write <source> <file.HLP>\n"
                         "       make_help print <file.HLP>\n");
    return 2;
}

void Complain(const char* file, const QString& why)
{
    std::fprintf(stderr, "make_help: %s: %s\n", file, why.toLocal8Bit().constData());
}

int Write(const char* sourceFile, const char* helpFile)
{
    QFile in(QString::fromLocal8Bit(sourceFile));
    if (!in.open(QIODevice::ReadOnly)) {
        Complain(sourceFile, in.errorString());
        return 1;
    }
    const auto parsed = pv::ParseHelpSource(QString::fromUtf8(in.readAll()));
    if (!parsed) {
        Complain(sourceFile, parsed.Detail());
        return 1;
    }
    if (const auto written = pv::WriteHelpFile(QString::fromLocal8Bit(helpFile), parsed.Value());
        !written) {
        Complain(helpFile, written.Detail().isEmpty() ? QStringLiteral("cannot be written")
                                                      : written.Detail());
        return 1;
    }
    return 0;
}

int Print(const char* helpFile)
{
    const auto book = pv::ReadHelpFile(QString::fromLocal8Bit(helpFile));
    if (!book) {
        Complain(helpFile, book.Detail().isEmpty() ? QStringLiteral("is no readable help file")
                                                   : book.Detail());
        return 1;
    }
    const QByteArray out = pv::PrintHelpSource(book.Value()).toUtf8();
    std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == QLatin1String("write"))
        return Write(argv[2], argv[3]);
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == QLatin1String("print"))
        return Print(argv[2]);
    return Usage();
}
