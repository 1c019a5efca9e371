// Writes the start menu's intro: a short, calm piece in C major for piano, strings and bass,
// about twenty seconds long, as a standard MIDI file of format 1 (one tempo track and one track
// per instrument) by a small writer of our own.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kDivision = 480;         // ticks per quarter note
constexpr int kEighth = kDivision / 2; // the score below counts in eighths
constexpr int kTempoUs = 600000;       // a quarter lasts 0.6 s: 100 beats a minute
constexpr int kTailTicks = kDivision;  // room for the last notes to fade before the end
constexpr int kBarTicks = 4 * kDivision;

struct Event
{
    int tick = 0;
    int order = 0; // at one tick: note-offs before note-ons, so repeated notes sound again
    std::vector<std::uint8_t> bytes;
};

class Track
{
public:
    void Meta(int tick, std::uint8_t type, const std::string& data)
    {
        std::vector<std::uint8_t> bytes{0xFF, type};
        AppendLength(bytes, static_cast<std::uint32_t>(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        m_events.push_back({tick, 0, bytes});
    }
    void Program(int channel, int program)
    {
        m_events.push_back(
            {0,
             1,
             {static_cast<std::uint8_t>(0xC0 | channel), static_cast<std::uint8_t>(program)}});
    }
    void Note(int channel, int tick, int length, int note, int velocity)
    {
        const auto ch = static_cast<std::uint8_t>(channel);
        const auto key = static_cast<std::uint8_t>(note);
        m_events.push_back(
            {tick,
             2,
             {static_cast<std::uint8_t>(0x90 | ch), key, static_cast<std::uint8_t>(velocity)}});
        m_events.push_back({tick + length, 0, {static_cast<std::uint8_t>(0x80 | ch), key, 0}});
    }
    int LastTick() const
    {
        int last = 0;
        for (const Event& e : m_events)
            last = std::max(last, e.tick);
        return last;
    }
    /// The track chunk, ending at endTick.
    std::vector<std::uint8_t> Chunk(int endTick) const
    {
        std::vector<Event> events = m_events;
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
            return a.tick < b.tick || (a.tick == b.tick && a.order < b.order);
        });
        std::vector<std::uint8_t> body;
        int now = 0;
        for (const Event& e : events) {
            AppendLength(body, static_cast<std::uint32_t>(e.tick - now));
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
            now = e.tick;
        }
        AppendLength(body, static_cast<std::uint32_t>(std::max(0, endTick - now)));
        body.insert(body.end(), {0xFF, 0x2F, 0x00});
        std::vector<std::uint8_t> chunk{'M', 'T', 'r', 'k'};
        AppendBig(chunk, static_cast<std::uint32_t>(body.size()), 4);
        chunk.insert(chunk.end(), body.begin(), body.end());
        return chunk;
    }

    static void AppendBig(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
    {
        for (int i = bytes - 1; i >= 0; --i)
            out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
    }

private:
    // A variable-length quantity: seven bits a byte, most significant first.
    static void AppendLength(std::vector<std::uint8_t>& out, std::uint32_t value)
    {
        std::uint8_t groups[5];
        int count = 0;
        do {
            groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
            value >>= 7;
        } while (value != 0);
        while (count > 1)
            out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
        out.push_back(groups[0]);
    }

    std::vector<Event> m_events;
};

// "C4" is middle C (60); '#' raises and 'b' lowers by a semitone.
int NoteNumber(const std::string& name)
{
    static const int kSteps[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int note = kSteps[name[0] - 'A'];
    std::size_t at = 1;
    if (at < name.size() && name[at] == '#') {
        ++note;
        ++at;
    } else if (at < name.size() && name[at] == 'b') {
        --note;
        ++at;
    }
    return note + 12 * (std::stoi(name.substr(at)) + 1);
}

// A voice written as "C4+E4:2 r:1 G4:1 ...": notes (joined by '+' for a chord) or 'r' for a
// rest, each with its length in eighths.
void AddVoice(Track& track, int channel, int velocity, const std::string& score)
{
    std::istringstream words(score);
    std::string word;
    int tick = 0;
    while (words >> word) {
        const std::size_t colon = word.find(':');
        const int length = std::stoi(word.substr(colon + 1)) * kEighth;
        const std::string notes = word.substr(0, colon);
        if (notes != "r") {
            std::istringstream chord(notes);
            std::string name;
            while (std::getline(chord, name, '+'))
                track.Note(channel, tick, length - 12, NoteNumber(name), velocity);
        }
        tick += length;
    }
}

std::vector<std::uint8_t> Intro()
{
    // C | Am | F | G | C | F | G7 | C, the last chord held half a bar longer.
    const std::string melody = "G4:2 C5:2 E5:2 D5:1 C5:1 "
                               "A4:3 B4:1 C5:2 E5:2 "
                               "F5:3 E5:1 D5:2 C5:2 "
                               "D5:6 G4:2 "
                               "E5:2 G5:3 F5:1 E5:2 "
                               "A5:3 G5:1 F5:2 D5:2 "
                               "G5:2 F5:2 D5:2 B4:2 "
                               "C5:12";
    const std::string arpeggio = "C4:1 G4:1 E4:1 G4:1 C4:1 G4:1 E4:1 G4:1 "
                                 "A3:1 E4:1 C4:1 E4:1 A3:1 E4:1 C4:1 E4:1 "
                                 "F3:1 C4:1 A3:1 C4:1 F3:1 C4:1 A3:1 C4:1 "
                                 "G3:1 D4:1 B3:1 D4:1 G3:1 D4:1 B3:1 D4:1 "
                                 "C4:1 G4:1 E4:1 G4:1 C4:1 G4:1 E4:1 G4:1 "
                                 "F3:1 C4:1 A3:1 C4:1 F3:1 C4:1 A3:1 C4:1 "
                                 "G3:1 D4:1 B3:1 F4:1 G3:1 D4:1 B3:1 F4:1 "
                                 "C4:1 E4:1 G4:1 C5:9";
    const std::string strings = "C4+E4+G4:8 C4+E4+A4:8 C4+F4+A4:8 B3+D4+G4:8 "
                                "C4+E4+G4:8 C4+F4+A4:8 B3+D4+F4+G4:8 C4+E4+G4:12";
    const std::string bass = "C3:4 G2:4 A2:4 E2:4 F2:4 C3:4 G2:4 D3:4 "
                             "C3:4 E3:4 F2:4 A2:4 G2:4 B2:4 C2:12";

    Track tempo;
    tempo.Meta(0, 0x03, "Pellivark intro");
    tempo.Meta(0, 0x58, std::string{4, 2, 24, 8}); // 4/4
    tempo.Meta(0, 0x51,
               std::string{static_cast<char>((kTempoUs >> 16) & 0xFF),
                           static_cast<char>((kTempoUs >> 8) & 0xFF),
                           static_cast<char>(kTempoUs & 0xFF)});

    std::vector<Track> tracks(5);
    tracks[0] = tempo;
    struct Part
    {
        const char* name;
        int channel;
        int program;
        int velocity;
        const std::string& score;
    };
    const Part parts[4] = {{"Melody", 0, 0, 96, melody},
                           {"Broken chords", 1, 0, 50, arpeggio},
                           {"Strings", 2, 48, 40, strings},
                           {"Bass", 3, 32, 80, bass}};
    int end = 0;
    for (int i = 0; i < 4; ++i) {
        Track& track = tracks[static_cast<std::size_t>(i + 1)];
        track.Meta(0, 0x03, parts[i].name);
        track.Program(parts[i].channel, parts[i].program);
        AddVoice(track, parts[i].channel, parts[i].velocity, parts[i].score);
        end = std::max(end, track.LastTick());
    }
    // Every track ends at the same tick, a little after the last note has let go.
    end = (end + kTailTicks + kBarTicks / 8) / (kBarTicks / 8) * (kBarTicks / 8);

    std::vector<std::uint8_t> file{'M', 'T', 'h', 'd'};
    Track::AppendBig(file, 6, 4);
    Track::AppendBig(file, 1, 2); // format 1
    Track::AppendBig(file, static_cast<std::uint32_t>(tracks.size()), 2);
    Track::AppendBig(file, kDivision, 2);
    for (const Track& track : tracks) {
        const std::vector<std::uint8_t> chunk = track.Chunk(end);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_intro <intro.mid>\n");
        return 2;
    }
    const std::vector<std::uint8_t> file = Intro();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    const std::string bytes(file.begin(), file.end());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_intro: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
