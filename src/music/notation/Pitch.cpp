// Note letters, accidental texts and note names.
#include "music/notation/Pitch.h"

namespace pv {

namespace {

std::array<QChar, 12> DefaultNoteLetters()
{
    const char letters[] = "C D EF G ABB";
    std::array<QChar, 12> result{};
    for (std::size_t i = 0; i < result.size(); ++i)
        result[i] = QChar::fromLatin1(letters[i]);
    return result;
}

std::array<QChar, 12>& MutableNoteLetters()
{
    static std::array<QChar, 12> letters = DefaultNoteLetters();
    return letters;
}

} // namespace

std::uint16_t PitchToWord(TPitch pitch)
{
    const auto low = static_cast<std::uint8_t>(pitch.Note);
    const auto high = static_cast<std::uint8_t>(pitch.Shift);
    return static_cast<std::uint16_t>(low | (high << 8));
}

TPitch PitchFromWord(std::uint16_t word)
{
    return TPitch{static_cast<std::int8_t>(word & 0xFF), static_cast<std::int8_t>(word >> 8)};
}

const std::array<QChar, 12>& NoteLetters()
{
    return MutableNoteLetters();
}

void SetNoteLetterB(QChar letter)
{
    MutableNoteLetters()[11] = letter;
}

const std::array<QString, 5>& AccidentalNames()
{
    static const std::array<QString, 5> names = {QStringLiteral("bb"), QStringLiteral("b"),
                                                 QString(), QStringLiteral("#"),
                                                 QStringLiteral("##")};
    return names;
}

QString NoteName(TPitch pitch)
{
    const int shift = pitch.Shift;
    if (shift < -2 || shift > 2)
        return QStringLiteral("???");
    // Very low i8 notes would make the plain remainder negative; the fold keeps every
    // ordinary note's letter and never indexes outside the table.
    std::size_t index = static_cast<std::size_t>(PositiveMod(pitch.Note + 12 + shift, 12));
    // B written with flats keeps the fixed letter: only the natural/sharp B follows the language.
    if (index == 11 && shift >= 1)
        index = 10;
    return QString(NoteLetters()[index]) + AccidentalNames()[static_cast<std::size_t>(2 - shift)];
}

} // namespace pv
