// make_tutor write <description> <file.tut>: writes the tutor a description gives.
// make_tutor print <file.tut>: prints a tutor file as a description (which writes it back).
#include "shell/tutor/TutorDescription.h"
#include "shell/tutor/TutorFile.h"

#include <cstdio>

#include <QFile>
#include <QFileInfo>
#include <QString>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: make_tutor write <description> <file.tut>\n"
                         "       make_tutor print <file.tut>\n");
    return 2;
}

void Complain(const char* file, const QString& why)
{
    std::fprintf(stderr, "make_tutor: %s: %s\n", file, why.toLocal8Bit().constData());
}

int Write(const char* descriptionFile, const char* tutorFile)
{
    QFile in(QString::fromLocal8Bit(descriptionFile));
    if (!in.open(QIODevice::ReadOnly)) {
        Complain(descriptionFile, in.errorString());
        return 1;
    }
    const QString text = QString::fromUtf8(in.readAll());
    const auto parsed = pv::ParseTutorDescription(text, QFileInfo(in.fileName()).absolutePath());
    if (!parsed) {
        Complain(descriptionFile, parsed.Detail());
        return 1;
    }
    if (const auto written = pv::WriteTutorFile(QString::fromLocal8Bit(tutorFile), parsed.Value());
        !written) {
        Complain(tutorFile, written.Detail());
        return 1;
    }
    return 0;
}

int Print(const char* tutorFile)
{
    const auto bytes = pv::ReadTutorBytes(QString::fromLocal8Bit(tutorFile));
    if (!bytes) {
        Complain(tutorFile,
                 bytes.Detail().isEmpty() ? QStringLiteral("cannot be read") : bytes.Detail());
        return 1;
    }
    const auto parsed = pv::ParseTutorFile(bytes.Value());
    if (!parsed) {
        Complain(tutorFile, parsed.Detail());
        return 1;
    }
    if (parsed.Value().Truncated)
        Complain(tutorFile, QStringLiteral("the file ends inside a step; the whole steps follow"));
    const QByteArray out = pv::PrintTutorDescription(parsed.Value()).toUtf8();
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
