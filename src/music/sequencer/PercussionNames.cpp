// The General MIDI percussion map: keys 35 to 81 of level 1 and the keys 27 to 34 and 82 to 87
// that level 2 added around them.
#include "music/sequencer/PercussionNames.h"

namespace pv {
namespace {

constexpr int kFirstNamedKey = 27;

constexpr std::array<const char*, 61> kKeyNames = {
    "High Q",             // 27
    "Slap",               // 28
    "Scratch Push",       // 29
    "Scratch Pull",       // 30
    "Sticks",             // 31
    "Square Click",       // 32
    "Metronome Click",    // 33
    "Metronome Bell",     // 34
    "Acoustic Bass Drum", // 35
    "Bass Drum 1",        // 36
    "Side Stick",         // 37
    "Acoustic Snare",     // 38
    "Hand Clap",          // 39
    "Electric Snare",     // 40
    "Low Floor Tom",      // 41
    "Closed Hi-Hat",      // 42
    "High Floor Tom",     // 43
    "Pedal Hi-Hat",       // 44
    "Low Tom",            // 45
    "Open Hi-Hat",        // 46
    "Low-Mid Tom",        // 47
    "Hi-Mid Tom",         // 48
    "Crash Cymbal 1",     // 49
    "High Tom",           // 50
    "Ride Cymbal 1",      // 51
    "Chinese Cymbal",     // 52
    "Ride Bell",          // 53
    "Tambourine",         // 54
    "Splash Cymbal",      // 55
    "Cowbell",            // 56
    "Crash Cymbal 2",     // 57
    "Vibraslap",          // 58
    "Ride Cymbal 2",      // 59
    "Hi Bongo",           // 60
    "Low Bongo",          // 61
    "Mute Hi Conga",      // 62
    "Open Hi Conga",      // 63
    "Low Conga",          // 64
    "High Timbale",       // 65
    "Low Timbale",        // 66
    "High Agogo",         // 67
    "Low Agogo",          // 68
    "Cabasa",             // 69
    "Maracas",            // 70
    "Short Whistle",      // 71
    "Long Whistle",       // 72
    "Short Guiro",        // 73
    "Long Guiro",         // 74
    "Claves",             // 75
    "Hi Wood Block",      // 76
    "Low Wood Block",     // 77
    "Mute Cuica",         // 78
    "Open Cuica",         // 79
    "Mute Triangle",      // 80
    "Open Triangle",      // 81
    "Shaker",             // 82
    "Jingle Bell",        // 83
    "Belltree",           // 84
    "Castanets",          // 85
    "Mute Surdo",         // 86
    "Open Surdo",         // 87
};

const char* KeyName(int key)
{
    const int index = key - kFirstNamedKey;
    if (index < 0 || index >= static_cast<int>(kKeyNames.size()))
        return nullptr;
    return kKeyNames[static_cast<std::size_t>(index)];
}

} // namespace

const std::array<QString, kPercussionKeyCount>& PercussionNames()
{
    static const std::array<QString, kPercussionKeyCount> entries = [] {
        std::array<QString, kPercussionKeyCount> made;
        for (int n = 0; n < kPercussionKeyCount; ++n) {
            QString entry = QString::number(n) + QStringLiteral(" -");
            if (const char* name = KeyName(n))
                entry += QLatin1Char(' ') + QString::fromLatin1(name);
            made[static_cast<std::size_t>(n)] = entry;
        }
        return made;
    }();
    return entries;
}

QString PercussionName(int key)
{
    const char* name = KeyName(key);
    return name != nullptr ? QString::fromLatin1(name) : QString();
}

} // namespace pv
