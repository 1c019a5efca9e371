// The percussion key names of the settings' note lists: the General MIDI map at its keys, every
// other key bare.
#include "music/sequencer/PercussionNames.h"

#include <set>

#include <gtest/gtest.h>

namespace pv {
namespace {

TEST(PercussionNames, TheStandardsKeysCarryTheirSoundsAndTheOthersOnlyTheirNumber)
{
    // Anchors of the map: its ends, the program's default clap, beat and first beat, and keys
    // where a shifted table would show first.
    const std::pair<int, const char*> named[] = {
        {27, "27 - High Q"},         {28, "28 - Slap"},
        {34, "34 - Metronome Bell"}, {35, "35 - Acoustic Bass Drum"},
        {37, "37 - Side Stick"},     {39, "39 - Hand Clap"},
        {42, "42 - Closed Hi-Hat"},  {49, "49 - Crash Cymbal 1"},
        {56, "56 - Cowbell"},        {60, "60 - Hi Bongo"},
        {75, "75 - Claves"},         {81, "81 - Open Triangle"},
        {82, "82 - Shaker"},         {87, "87 - Open Surdo"},
    };
    for (const auto& [key, entry] : named) {
        SCOPED_TRACE(key);
        EXPECT_EQ(PercussionNames()[static_cast<std::size_t>(key)], QString::fromLatin1(entry));
    }
    for (const int bare : {0, 1, 26, 88, 100, 127}) {
        SCOPED_TRACE(bare);
        EXPECT_EQ(PercussionNames()[static_cast<std::size_t>(bare)],
                  QString::number(bare) + QStringLiteral(" -"));
        EXPECT_TRUE(PercussionName(bare).isEmpty());
    }
    EXPECT_TRUE(PercussionName(-1).isEmpty());
    EXPECT_TRUE(PercussionName(kPercussionKeyCount).isEmpty());
}

TEST(PercussionNames, EveryNamedKeyHasANameOfItsOwnInTheFormOfTheList)
{
    std::set<QString> names;
    int namedKeys = 0;
    for (int key = 0; key < kPercussionKeyCount; ++key) {
        SCOPED_TRACE(key);
        const QString name = PercussionName(key);
        const QString expected = QString::number(key) + QStringLiteral(" -") +
                                 (name.isEmpty() ? QString() : QStringLiteral(" ") + name);
        EXPECT_EQ(PercussionNames()[static_cast<std::size_t>(key)], expected);
        if (!name.isEmpty()) {
            ++namedKeys;
            names.insert(name);
        }
    }
    EXPECT_EQ(namedKeys, 87 - 27 + 1) << "keys 27 to 87 are named, no others";
    EXPECT_EQ(names.size(), static_cast<std::size_t>(namedKeys)) << "a name used twice";
}

} // namespace
} // namespace pv
