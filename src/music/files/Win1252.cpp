// Our own Windows-1252 table: Qt 6 has no such codec without ICU.
#include "music/files/Win1252.h"

#include <array>

namespace pv {

namespace {

// 0x80..0x9F, where the code page differs from Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int EncodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

} // namespace

char16_t Win1252ToUnicode(std::uint8_t byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kHighControls[static_cast<std::size_t>(byte - 0x80)];
    return byte;
}

QString FromWin1252(std::span<const std::uint8_t> bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::uint8_t b : bytes)
        text.append(QChar(Win1252ToUnicode(b)));
    return text;
}

std::vector<std::uint8_t> ToWin1252(const QString& text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        // A surrogate pair is one character the code page cannot hold: one '?'.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            ++i;
            bytes.push_back('?');
            continue;
        }
        const int code = EncodeChar(c);
        bytes.push_back(code < 0 ? std::uint8_t{'?'} : static_cast<std::uint8_t>(code));
    }
    return bytes;
}

} // namespace pv
