// Formatting of exercise durations.
#include "shell/results/ElapsedTime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <QLocale>

namespace pv {

QChar TimeSeparator()
{
    // The first character after the hour letters of the short format ("HH:mm", "H.mm").
    const QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    for (qsizetype i = 0; i + 1 < format.size(); ++i) {
        const QChar c = format[i];
        if ((c == u'h' || c == u'H') && format[i + 1] != c && !format[i + 1].isLetter() &&
            !format[i + 1].isSpace())
            return format[i + 1];
    }
    return u':';
}

QString FormatElapsedTime(bool withSeconds, double span, QChar separator)
{
    // Rounded to the millisecond first: a sum of doubles one hair below a whole second must
    // not show the second before it.
    constexpr double kMsPerDay = 86'400'000.0;
    // Far beyond any real exercise time, so the conversion below cannot overflow.
    constexpr double kMaxDays = 1.0e9;
    const double clamped = std::isfinite(span) && span > 0.0 ? std::min(span, kMaxDays) : 0.0;
    const auto totalMs = static_cast<std::int64_t>(std::llround(clamped * kMsPerDay));
    const std::int64_t totalSeconds = totalMs / 1000;
    const std::int64_t hours = totalSeconds / 3600;
    const std::int64_t minutes = totalSeconds / 60 % 60;
    const std::int64_t seconds = totalSeconds % 60;
    QString text = QString::number(hours) + separator +
                   QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0'));
    if (withSeconds)
        text += separator + QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace pv
