// The start-up measurement hook.
#include "shell/ui/StartupProbe.h"

#include <ctime>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QList>

namespace pv {

std::optional<double> MillisecondsSinceProcessStart()
{
    // Field 22 of /proc/self/stat is the start in clock ticks since boot; the command name
    // (field 2) may hold blanks and parentheses, so the fields are counted after its last ')'.
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    constexpr qsizetype kStartTimeAfterName = 22 - 3;
    if (fields.size() <= kStartTimeAfterName)
        return std::nullopt;
    bool ok = false;
    const qulonglong startTicks = fields[kStartTimeAfterName].toULongLong(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return std::nullopt;
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
    const double startMs =
        static_cast<double>(startTicks) * 1000.0 / static_cast<double>(ticksPerSecond);
    return nowMs - startMs;
}

void NoteFirstPaint()
{
    const QByteArray fileName = qgetenv(kStartupProbeVariable);
    if (fileName.isEmpty())
        return;
    const std::optional<double> ms = MillisecondsSinceProcessStart();
    if (!ms)
        return;
    QFile file(QString::fromLocal8Bit(fileName));
    if (!file.open(QIODevice::Append | QIODevice::Text))
        return;
    file.write("first-paint " + QByteArray::number(*ms, 'f', 1) + "\n");
}

} // namespace pv
