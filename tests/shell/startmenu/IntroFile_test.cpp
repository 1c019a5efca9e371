// The intro the build writes: a well-formed standard MIDI file of format 1 that a player reads
// to its end, between fifteen and twenty-five seconds long, every note let go.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QFile>

#include <gtest/gtest.h>

namespace pv {
namespace {

struct TimedEvent
{
    std::uint64_t tick = 0;
    std::uint8_t status = 0; // 0xFF for meta events
    std::uint8_t data1 = 0;  // meta: the type
    std::uint8_t data2 = 0;
    std::vector<std::uint8_t> meta;
};

struct MidiFile
{
    int format = -1;
    int division = 0;
    std::vector<std::vector<TimedEvent>> tracks;
};

/// A small reader of our own: every length is checked against what is there.
class Reader
{
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}

    std::optional<MidiFile> Read()
    {
        MidiFile file;
        if (!Tag("MThd") || Big(4) != 6)
            return std::nullopt;
        file.format = static_cast<int>(Big(2));
        const std::uint32_t count = Big(2);
        file.division = static_cast<int>(Big(2));
        for (std::uint32_t t = 0; t < count; ++t) {
            if (!Tag("MTrk"))
                return std::nullopt;
            const std::size_t length = Big(4);
            if (m_failed || m_at + length > m_bytes.size())
                return std::nullopt;
            const std::size_t end = m_at + length;
            auto track = Track(end);
            if (!track)
                return std::nullopt;
            file.tracks.push_back(std::move(*track));
        }
        if (m_failed || m_at != m_bytes.size())
            return std::nullopt;
        return file;
    }

private:
    bool Tag(const char* tag)
    {
        for (int i = 0; i < 4; ++i)
            if (Byte() != static_cast<std::uint8_t>(tag[i]))
                return false;
        return !m_failed;
    }
    std::uint8_t Byte()
    {
        if (m_at >= m_bytes.size()) {
            m_failed = true;
            return 0;
        }
        return m_bytes[m_at++];
    }
    std::uint32_t Big(int count)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value = (value << 8) | Byte();
        return value;
    }
    std::uint32_t Variable()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t b = Byte();
            value = (value << 7) | (b & 0x7FU);
            if ((b & 0x80U) == 0)
                return value;
        }
        m_failed = true;
        return 0;
    }

    // The events of one chunk; the end-of-track event must be its last bytes.
    std::optional<std::vector<TimedEvent>> Track(std::size_t end)
    {
        std::vector<TimedEvent> events;
        std::uint64_t tick = 0;
        std::uint8_t running = 0;
        while (m_at < end && !m_failed) {
            tick += Variable();
            TimedEvent e;
            e.tick = tick;
            std::uint8_t first = Byte();
            if (first == 0xFF) {
                e.status = 0xFF;
                e.data1 = Byte();
                const std::uint32_t length = Variable();
                for (std::uint32_t i = 0; i < length; ++i)
                    e.meta.push_back(Byte());
                events.push_back(e);
                if (e.data1 == 0x2F)
                    return m_at == end && !m_failed ? std::optional(events) : std::nullopt;
                continue;
            }
            if (first == 0xF0 || first == 0xF7) {
                const std::uint32_t length = Variable();
                m_at += length;
                continue;
            }
            if ((first & 0x80U) != 0) {
                running = first;
                first = Byte();
            } else if (running == 0) {
                return std::nullopt;
            }
            e.status = running;
            e.data1 = first;
            const int kind = running & 0xF0;
            if (kind != 0xC0 && kind != 0xD0)
                e.data2 = Byte();
            events.push_back(e);
        }
        return std::nullopt; // no end-of-track event
    }

    const std::vector<std::uint8_t>& m_bytes;
    std::size_t m_at = 0;
    bool m_failed = false;
};

std::vector<std::uint8_t> IntroBytes()
{
    QFile file(QStringLiteral(PV_INTRO_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

TEST(IntroFile, IsAWellFormedFormatOneFileOfOurOwnWriting)
{
    const std::vector<std::uint8_t> bytes = IntroBytes();
    ASSERT_FALSE(bytes.empty()) << "the build writes " << PV_INTRO_FILE;
    const std::optional<MidiFile> file = Reader(bytes).Read();
    ASSERT_TRUE(file.has_value()) << "every chunk reads to its end-of-track event";
    EXPECT_EQ(file->format, 1);
    EXPECT_GT(file->division, 0) << "ticks per quarter, not SMPTE time";
    ASSERT_GE(file->tracks.size(), 2U) << "a tempo track and the music";

    // The length in seconds through the tempo map of the first track.
    std::map<std::uint64_t, std::uint32_t> tempos{{0, 500000}};
    for (const TimedEvent& e : file->tracks.front())
        if (e.status == 0xFF && e.data1 == 0x51 && e.meta.size() == 3)
            tempos[e.tick] =
                (std::uint32_t{e.meta[0]} << 16) | (std::uint32_t{e.meta[1]} << 8) | e.meta[2];
    std::uint64_t endTick = 0;
    for (const auto& track : file->tracks)
        endTick = std::max(endTick, track.back().tick);
    double seconds = 0.0;
    for (auto it = tempos.begin(); it != tempos.end(); ++it) {
        const auto next = std::next(it);
        const std::uint64_t until = next == tempos.end() ? endTick : std::min(next->first, endTick);
        if (until > it->first)
            seconds += static_cast<double>(until - it->first) * it->second / 1e6 / file->division;
    }
    EXPECT_GE(seconds, 15.0);
    EXPECT_LE(seconds, 25.0);

    // Every note is let go on its channel, and something sounds on more than one channel.
    std::map<std::pair<int, int>, int> sounding;
    std::map<int, int> notesPerChannel;
    for (const auto& track : file->tracks) {
        for (const TimedEvent& e : track) {
            const int kind = e.status & 0xF0;
            const int channel = e.status & 0x0F;
            if (e.status == 0xFF)
                continue;
            if (kind == 0x90 && e.data2 > 0) {
                ++sounding[std::make_pair(channel, int{e.data1})];
                ++notesPerChannel[channel];
            } else if (kind == 0x80 || (kind == 0x90 && e.data2 == 0)) {
                int& count = sounding[std::make_pair(channel, int{e.data1})];
                ASSERT_GT(count, 0) << "a note let go that never sounded";
                --count;
            }
        }
    }
    for (const auto& [note, count] : sounding)
        EXPECT_EQ(count, 0) << "channel " << note.first << " note " << note.second << " hangs";
    EXPECT_GE(notesPerChannel.size(), 3U);
    EXPECT_EQ(notesPerChannel.count(9), 0U) << "no drums: channel 10 plays percussion";
}

} // namespace
} // namespace pv
