// Our own Format: every argument typed, every index checked.
#include "music/strings/Format.h"

#include <vector>

namespace pv {

namespace {

// Widths beyond this are a hostile text, not a layout: keep the output bounded.
constexpr int kMaxWidth = 1024;

bool ReadNumber(const QString& fmt, qsizetype& i, int& value)
{
    const qsizetype start = i;
    value = 0;
    while (i < fmt.size() && fmt.at(i).isDigit()) {
        if (value < kMaxWidth * 10)
            value = value * 10 + fmt.at(i).digitValue();
        ++i;
    }
    value = std::min(value, kMaxWidth);
    return i > start;
}

std::optional<std::int64_t> AsNumber(const FormatArg& arg)
{
    if (const auto* n = std::get_if<std::int64_t>(&arg))
        return *n;
    bool ok = false;
    const qlonglong v = std::get<QString>(arg).trimmed().toLongLong(&ok);
    if (ok)
        return static_cast<std::int64_t>(v);
    return std::nullopt;
}

QString Render(QChar type, const FormatArg* arg, int precision)
{
    if (arg == nullptr)
        return {};
    const char t = type.toLower().toLatin1();
    if (t == 's') {
        QString text = std::holds_alternative<QString>(*arg)
                           ? std::get<QString>(*arg)
                           : QString::number(std::get<std::int64_t>(*arg));
        if (precision >= 0 && text.size() > precision)
            text.truncate(precision);
        return text;
    }
    const std::optional<std::int64_t> n = AsNumber(*arg);
    if (!n)
        return {};
    QString digits;
    bool negative = false;
    if (t == 'd') {
        negative = *n < 0;
        const auto magnitude =
            negative ? static_cast<std::uint64_t>(-(*n + 1)) + 1 : static_cast<std::uint64_t>(*n);
        digits = QString::number(magnitude);
    } else if (t == 'u') {
        // Unsigned of a 32-bit value: the numbers the texts show are 32-bit integers.
        digits = QString::number(static_cast<std::uint32_t>(*n));
    } else {
        digits = QString::number(static_cast<std::uint64_t>(*n), 16).toUpper();
        if (*n < 0 && *n >= INT32_MIN)
            digits = QString::number(static_cast<std::uint32_t>(*n), 16).toUpper();
    }
    if (precision > digits.size())
        digits = QString(precision - digits.size(), QLatin1Char('0')) + digits;
    return negative ? QLatin1Char('-') + digits : digits;
}

} // namespace

QString Format(const QString& fmt, std::initializer_list<FormatArg> args)
{
    const std::vector<FormatArg> list(args);
    QString out;
    out.reserve(fmt.size());
    std::size_t nextArg = 0;
    qsizetype i = 0;
    while (i < fmt.size()) {
        const QChar c = fmt.at(i);
        if (c != QLatin1Char('%')) {
            out.append(c);
            ++i;
            continue;
        }
        const qsizetype start = i;
        ++i;
        if (i < fmt.size() && fmt.at(i) == QLatin1Char('%')) {
            out.append(QLatin1Char('%'));
            ++i;
            continue;
        }
        // %[index:][-][width][.precision]type
        int number = 0;
        std::optional<int> index;
        qsizetype save = i;
        if (ReadNumber(fmt, i, number) && i < fmt.size() && fmt.at(i) == QLatin1Char(':')) {
            index = number;
            ++i;
        } else {
            i = save;
        }
        bool left = false;
        if (i < fmt.size() && fmt.at(i) == QLatin1Char('-')) {
            left = true;
            ++i;
        }
        int width = 0;
        ReadNumber(fmt, i, width);
        int precision = -1;
        if (i < fmt.size() && fmt.at(i) == QLatin1Char('.')) {
            ++i;
            ReadNumber(fmt, i, precision);
        }
        if (i >= fmt.size()) {
            out.append(fmt.mid(start));
            break;
        }
        const QChar type = fmt.at(i);
        const char t = type.toLower().toLatin1();
        if (t != 's' && t != 'd' && t != 'u' && t != 'x') {
            out.append(fmt.mid(start, i - start + 1));
            ++i;
            continue;
        }
        ++i;
        std::size_t argIndex = index ? static_cast<std::size_t>(*index) : nextArg;
        nextArg = argIndex + 1;
        const FormatArg* arg = argIndex < list.size() ? &list[argIndex] : nullptr;
        QString text = Render(type, arg, precision);
        if (text.size() < width) {
            const QString pad(width - text.size(), QLatin1Char(' '));
            text = left ? text + pad : pad + text;
        }
        out.append(text);
    }
    return out;
}

} // namespace pv
