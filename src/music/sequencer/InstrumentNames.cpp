// The General MIDI program names, shortened so that every entry of the lists fits 20 characters.
#include "music/sequencer/InstrumentNames.h"

namespace pv {
namespace {

// The General MIDI level 1 programs in their order; long names are shortened the usual way
// ("E.Piano 1" for Electric Piano 1) so that the number and the name fit the lists' entries.
constexpr std::array<const char*, kProgramCount> kProgramNames = {
    // Pianos
    "Piano 1",
    "Piano 2",
    "Piano 3",
    "Honky-tonk",
    "E.Piano 1",
    "E.Piano 2",
    "Harpsichord",
    "Clavinet",
    // Chromatic percussion
    "Celesta",
    "Glockenspiel",
    "Music Box",
    "Vibraphone",
    "Marimba",
    "Xylophone",
    "Tubular Bells",
    "Dulcimer",
    // Organs
    "Drawbar Organ",
    "Perc. Organ",
    "Rock Organ",
    "Church Organ",
    "Reed Organ",
    "Accordion",
    "Harmonica",
    "Tango Accordion",
    // Guitars
    "Nylon Guitar",
    "Steel Guitar",
    "Jazz Guitar",
    "Clean Guitar",
    "Muted Guitar",
    "Overdrive Gtr",
    "Distortion Gtr",
    "Gtr Harmonics",
    // Basses
    "Acoustic Bass",
    "Fingered Bass",
    "Picked Bass",
    "Fretless Bass",
    "Slap Bass 1",
    "Slap Bass 2",
    "Synth Bass 1",
    "Synth Bass 2",
    // Strings
    "Violin",
    "Viola",
    "Cello",
    "Contrabass",
    "Tremolo Strings",
    "Pizzicato Str.",
    "Harp",
    "Timpani",
    // Ensembles
    "Strings",
    "Slow Strings",
    "Synth Strings 1",
    "Synth Strings 2",
    "Choir Aahs",
    "Voice Oohs",
    "Synth Voice",
    "Orchestra Hit",
    // Brass
    "Trumpet",
    "Trombone",
    "Tuba",
    "Muted Trumpet",
    "French Horn",
    "Brass Section",
    "Synth Brass 1",
    "Synth Brass 2",
    // Reeds
    "Soprano Sax",
    "Alto Sax",
    "Tenor Sax",
    "Baritone Sax",
    "Oboe",
    "English Horn",
    "Bassoon",
    "Clarinet",
    // Pipes
    "Piccolo",
    "Flute",
    "Recorder",
    "Pan Flute",
    "Blown Bottle",
    "Shakuhachi",
    "Whistle",
    "Ocarina",
    // Synth leads
    "Square Lead",
    "Saw Lead",
    "Calliope Lead",
    "Chiff Lead",
    "Charang Lead",
    "Voice Lead",
    "Fifths Lead",
    "Bass + Lead",
    // Synth pads
    "New Age Pad",
    "Warm Pad",
    "Polysynth Pad",
    "Choir Pad",
    "Bowed Pad",
    "Metallic Pad",
    "Halo Pad",
    "Sweep Pad",
    // Synth effects
    "Rain",
    "Soundtrack",
    "Crystal",
    "Atmosphere",
    "Brightness",
    "Goblins",
    "Echoes",
    "Sci-fi",
    // Ethnic
    "Sitar",
    "Banjo",
    "Shamisen",
    "Koto",
    "Kalimba",
    "Bagpipe",
    "Fiddle",
    "Shanai",
    // Percussive
    "Tinkle Bell",
    "Agogo",
    "Steel Drums",
    "Woodblock",
    "Taiko Drum",
    "Melodic Tom",
    "Synth Drum",
    "Reverse Cymbal",
    // Sound effects
    "Gtr Fret Noise",
    "Breath Noise",
    "Seashore",
    "Bird Tweet",
    "Telephone",
    "Helicopter",
    "Applause",
    "Gun Shot",
};

} // namespace

const std::array<QString, kProgramCount>& InstrumentNames()
{
    static const std::array<QString, kProgramCount> entries = [] {
        std::array<QString, kProgramCount> made;
        for (int n = 0; n < kProgramCount; ++n) {
            made[static_cast<std::size_t>(n)] =
                QString::number(n) + QStringLiteral(" - ") +
                QString::fromLatin1(kProgramNames[static_cast<std::size_t>(n)]);
        }
        return made;
    }();
    return entries;
}

QString InstrumentName(int program)
{
    if (program < 0 || program >= kProgramCount) {
        return {};
    }
    const QString& entry = InstrumentNames()[static_cast<std::size_t>(program)];
    return entry.mid(entry.indexOf(QStringLiteral("- ")) + 2);
}

} // namespace pv
