// The General MIDI names table: every program named once, in the standard's order, each entry
// short enough for the lists.
#include "music/sequencer/InstrumentNames.h"

#include <set>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(InstrumentNames, EveryProgramHasItsNumberAndOneShortNameOfItsOwn)
{
    const auto& entries = InstrumentNames();
    std::set<QString> names;
    for (int n = 0; n < kProgramCount; ++n) {
        SCOPED_TRACE(n);
        const QString& entry = entries[static_cast<std::size_t>(n)];
        EXPECT_TRUE(entry.startsWith(QString::number(n) + QStringLiteral(" - ")))
            << entry.toStdString();
        EXPECT_LE(entry.size(), 20) << entry.toStdString();
        const QString name = InstrumentName(n);
        EXPECT_FALSE(name.trimmed().isEmpty());
        EXPECT_EQ(QString::number(n) + QStringLiteral(" - ") + name, entry);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kProgramCount)) << "a name used twice";
    EXPECT_TRUE(InstrumentName(-1).isEmpty());
    EXPECT_TRUE(InstrumentName(kProgramCount).isEmpty());
}

TEST(InstrumentNames, EachFamilyOfEightStartsWhereTheStandardPutsIt)
{
    // The first program of each General MIDI family: a name out of place shifts one of these.
    const std::pair<int, const char*> firsts[] = {
        {0, "0 - Piano 1"},         {8, "8 - Celesta"},
        {16, "16 - Drawbar Organ"}, {24, "24 - Nylon Guitar"},
        {32, "32 - Acoustic Bass"}, {40, "40 - Violin"},
        {48, "48 - Strings"},       {56, "56 - Trumpet"},
        {64, "64 - Soprano Sax"},   {72, "72 - Piccolo"},
        {80, "80 - Square Lead"},   {88, "88 - New Age Pad"},
        {96, "96 - Rain"},          {104, "104 - Sitar"},
        {112, "112 - Tinkle Bell"}, {120, "120 - Gtr Fret Noise"},
        {127, "127 - Gun Shot"},
    };
    for (const auto& [program, entry] : firsts) {
        SCOPED_TRACE(program);
        EXPECT_EQ(InstrumentNames()[static_cast<std::size_t>(program)], QString::fromLatin1(entry));
    }
}

} // namespace
} // namespace pv
