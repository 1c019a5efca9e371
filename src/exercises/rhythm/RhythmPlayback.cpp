// How a rhythm sounds on the sequencer, how taps are stamped and how a performance is judged.
#include "exercises/rhythm/TRytme.h"
#include "music/base/Clock.h"
#include "music/sequencer/MidiMessage.h"
#include "music/sequencer/MidiOut.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace pv {
namespace {

constexpr auto kMusic = SequencerQueue::Music;
/// A played-back clap never shorter than a thirty-second, so the last one is heard even when
/// its tap came after the end of the rhythm.
constexpr std::int64_t kShortestClapTicks = 84;

struct EvaluationWindow
{
    std::int64_t toleranceMs;
    std::int64_t deadZoneMs;
};

EvaluationWindow WindowOf(std::int32_t evaluation)
{
    std::int64_t tolerance = 330;
    if (evaluation == 0)
        tolerance = 1000;
    else if (evaluation == 2)
        tolerance = 100;
    return {tolerance, tolerance / 8};
}

/// A tempo of 0 (a setup that skipped its checks) plays as 90 instead of dividing by zero.
std::int64_t TempoOrDefault(std::uint8_t tempo)
{
    return tempo == 0 ? 90 : tempo;
}

std::int64_t TicksToMs(std::int64_t ticks, std::uint8_t tempo)
{
    return ticks * 90 / TempoOrDefault(tempo);
}

std::int64_t MsToTicks(std::int64_t ms, std::uint8_t tempo)
{
    return ms * TempoOrDefault(tempo) / 90;
}

std::uint32_t ClampTicks(std::int64_t ticks, std::int64_t least = 0)
{
    constexpr auto kMost = static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max());
    return static_cast<std::uint32_t>(std::clamp(ticks, least, kMost));
}

} // namespace

void TRytme::AttachPlayback(TMidiOut* midiOut, const IClock& clock)
{
    m_midiOut = midiOut;
    m_clock = &clock;
}

void TRytme::QueueMetronomeBar(bool generate, std::uint8_t codeAfterBar,
                               std::uint8_t codeBeforeLast, bool delayMusic, bool audible)
{
    if (m_midiOut != nullptr) {
        const int n = CurrentRow().Numerator;
        const auto length = static_cast<std::uint16_t>(std::clamp(UnitTicks, 0, 65535));
        for (int beat = 1; beat <= n; ++beat) {
            const bool first = beat == 1;
            std::uint16_t codeAfter = 0;
            if (beat == n)
                codeAfter = codeAfterBar;
            else if (beat == n - 1)
                codeAfter = codeBeforeLast;
            const auto codeBefore = static_cast<std::uint16_t>(n * 256 + beat);
            m_midiOut->QueueClick(length, first ? 0 : 2, !audible,
                                  first ? PlaybackSettings.FirstBeatSound
                                        : PlaybackSettings.BeatSound,
                                  codeAfter, codeBefore);
        }
        if (delayMusic)
            m_midiOut->QueueWait(kMusic, ClampTicks(BarTicks));
        m_midiOut->StartQueue();
    }
    // The next rhythm is made while this bar sounds, so it is ready at the bar line.
    if (generate)
        Generate();
}

void TRytme::QueueWaitBars(std::uint8_t base, int count)
{
    if (count < 0)
        count = Bars;
    for (int k = 0; k < count; ++k)
        QueueMetronomeBar(false, static_cast<std::uint8_t>(base + 6), 0, true, true);
    if (m_midiOut != nullptr)
        m_midiOut->QueueNotify(static_cast<std::uint16_t>(base + 8));
}

void TRytme::PlayRhythm(std::uint8_t base, int list, bool countIn)
{
    if (m_midiOut == nullptr)
        return;
    if (countIn)
        QueueMetronomeBar(false, static_cast<std::uint8_t>(base + 1), 0, true, true);
    for (int bar = 0; bar < Bars; ++bar) {
        QueueMetronomeBar(false, static_cast<std::uint8_t>(base + 2), 0, false,
                          PlaybackSettings.WithMetronome);
    }

    const std::vector<RhythmNote>& notes = List(list);
    const std::size_t count = notes.size();
    const SoundRecord& clap = PlaybackSettings.ClapSound;
    const std::int64_t barTicks = std::max(BarTicks, 1);
    const std::int64_t unitTicks = std::max(UnitTicks, 1);
    std::int64_t position = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::int64_t ticks = notes[i].Ticks;
        int accent = 2;
        if (position % barTicks == 0)
            accent = 0;
        else if (position % unitTicks == 0 || (i + 1 < count && notes[i + 1].TripletMiddle != 0))
            accent = 1;
        // A tied chain sounds as one clap; a tie on the last entry leads nowhere.
        while (notes[i].Tied != 0 && i + 1 < count) {
            ++i;
            ticks += notes[i].Ticks;
        }
        position += ticks;
        if (notes[i].Rest != 0) {
            m_midiOut->QueueWait(kMusic, ClampTicks(ticks));
        } else {
            const int velocity = std::max(0, static_cast<int>(clap.velocity) - 10 * accent);
            m_midiOut->QueueMessage(kMusic, NoteOnMessage(clap.channel, clap.note, velocity));
            m_midiOut->QueueWait(kMusic, ClampTicks(ticks));
            m_midiOut->QueueMessage(kMusic, NoteOffMessage(clap.channel, clap.note));
        }
    }
    m_midiOut->StartQueue();
}

void TRytme::QueueClap(std::uint32_t length)
{
    if (m_midiOut == nullptr)
        return;
    const SoundRecord& clap = PlaybackSettings.ClapSound;
    m_midiOut->QueueMessage(kMusic, NoteOnMessage(clap.channel, clap.note, clap.velocity));
    m_midiOut->QueueWait(kMusic, length);
    m_midiOut->QueueMessage(kMusic, NoteOffMessage(clap.channel, clap.note));
}

void TRytme::PlayTaps(std::uint8_t base)
{
    const int taps = std::min(TapCount, static_cast<int>(TapTimes.size()) - 1);
    if (m_midiOut == nullptr || taps <= 0)
        return;
    const auto tap = [this](int k) { return TapTimes[static_cast<std::size_t>(k)]; };
    // An early first tap (before the first beat) starts its clap with the rhythm at the
    // latest: a negative wait would become an endless one.
    m_midiOut->QueueWait(kMusic, ClampTicks(MsToTicks(tap(1), TempoInEffect) + BarTicks));
    QueueMetronomeBar(false, static_cast<std::uint8_t>(base + 1), 0, false, true);
    for (int bar = 0; bar < Bars; ++bar) {
        QueueMetronomeBar(false, static_cast<std::uint8_t>(base + 2), 0, false,
                          PlaybackSettings.WithMetronome);
    }
    for (int k = 1; k < taps; ++k)
        QueueClap(ClampTicks(MsToTicks(tap(k + 1) - tap(k), TempoInEffect)));
    // The last clap lasts to the end of the rhythm; after the end it is a short one, so the
    // playback always ends.
    const std::int64_t rest =
        static_cast<std::int64_t>(Bars) * BarTicks - MsToTicks(tap(taps), TempoInEffect);
    QueueClap(ClampTicks(rest, kShortestClapTicks));
    m_midiOut->StartQueue();
}

void TRytme::RecordTap(bool start, std::uint32_t time)
{
    if (m_clock == nullptr)
        return;
    const IClock& clock = *m_clock;
    // Tap times are kept on the clock's 64-bit millisecond timeline, so they never wrap and an
    // early tap lies before the start instead of some fifty days after it. Rounded to the
    // nearest millisecond: cutting off would place every tap up to a millisecond early.
    const auto now = static_cast<std::int64_t>((clock.NowUs() + 500U) / 1000U);
    if (start) {
        TapTimes.resize(std::max<std::size_t>(TapTimes.size(), 1));
        TapTimes[0] = now;
        TempoInEffect = Tempo;
        return;
    }
    TapCount = std::clamp(TapCount, 0, static_cast<int>(TapTimes.size()) - 1);
    HasTaps = 1;
    if (TapCount >= kMaxTaps)
        return;
    std::int64_t stamp = now;
    if (time != 0) {
        // A time of the 32-bit millisecond clock (the microphone's onsets) lies just before
        // now: its distance from now's low 32 bits, read as signed, places it on our timeline.
        const auto back =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - time); // modulo 2^32
        stamp = now - back;
    }
    ++TapCount;
    TapTimes.resize(static_cast<std::size_t>(TapCount) + 1);
    TapTimes[static_cast<std::size_t>(TapCount)] = stamp;
}

std::uint8_t TRytme::Evaluate(std::uint8_t passMark, QString& text)
{
    std::vector<RhythmNote>& notes = m_notes[0];
    const std::size_t n = notes.size();
    // A rest or a tied continuation is never expected to be tapped.
    std::vector<bool> toPlay(n, false);
    std::int64_t playable = 0;
    for (std::size_t i = 0; i < n; ++i) {
        toPlay[i] = notes[i].Rest == 0 && (i == 0 || notes[i - 1].Tied == 0);
        playable += toPlay[i] ? 1 : 0;
    }
    TapCount = std::clamp(TapCount, 0, static_cast<int>(TapTimes.size()) - 1);
    // Nothing to play (an empty rhythm after a failed generation, or only rests): nothing to
    // judge, and no division by the number of notes.
    if (playable == 0) {
        for (RhythmNote& note : notes)
            note.Result = RhythmResult::NotPlayed;
        return 0;
    }
    if (TapCount == 0) {
        for (std::size_t i = 0; i < n; ++i)
            notes[i].Result = toPlay[i] ? RhythmResult::Missed : RhythmResult::NotPlayed;
        return 0;
    }

    const EvaluationWindow window = WindowOf(Evaluation);
    // Onsets are rounded down note by note, as the sequencer would reach them.
    std::vector<std::int64_t> onset(n, 0);
    for (std::size_t i = 1; i < n; ++i)
        onset[i] = onset[i - 1] + TicksToMs(notes[i - 1].Ticks, TempoInEffect);

    // With a silent first bar the recording started one bar late.
    if (FirstBarRest != 0)
        TapTimes[0] -= TicksToMs(BarTicks, TempoInEffect);
    const auto firstTap = TapTimes.begin() + 1;
    const auto endTap = TapTimes.begin() + 1 + TapCount;
    for (auto it = firstTap; it != endTap; ++it)
        *it -= TapTimes[0];
    // Taps of two sources (a key and the microphone's later-posted onset) may arrive out of
    // order; matching walks them in time order.
    std::stable_sort(firstTap, endTap);

    const auto tapCount = static_cast<std::size_t>(TapCount);
    const auto tapAt = [this, tapCount](std::size_t k) {
        // After the last tap: a tap that never comes.
        return k <= tapCount ? TapTimes[k] : std::numeric_limits<std::int64_t>::max() / 4;
    };
    const auto nextToPlay = [&](std::size_t from) {
        while (from < n && !toPlay[from])
            ++from;
        return from; // n: none left
    };
    const auto distance = [](std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; };

    std::vector<std::optional<std::int64_t>> deviation(n);
    std::size_t cur = nextToPlay(0);
    std::size_t nxt = cur < n ? nextToPlay(cur + 1) : n;
    std::int64_t surplus = 0;
    for (std::size_t k = 1; k <= tapCount; ++k) {
        const std::int64_t tap = tapAt(k);
        // Notes passed without a tap near them stay missed.
        while (nxt < n && distance(onset[cur], tap) > distance(onset[nxt], tap)) {
            cur = nxt;
            nxt = nextToPlay(nxt + 1);
        }
        // Once the last note is matched, cur lies past the end and every further tap is
        // surplus; it never takes the last note's place again.
        if (cur < n && distance(onset[cur], tap) < distance(onset[cur], tapAt(k + 1))) {
            deviation[cur] = onset[cur] - tap;
            cur = nxt;
            nxt = cur < n ? nextToPlay(cur + 1) : n;
        } else {
            ++surplus;
        }
    }

    std::int64_t sum = 0;
    std::int64_t missed = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::int64_t penalty = 0;
        std::int32_t result = RhythmResult::OnTime;
        if (!toPlay[i]) {
            result = RhythmResult::NotPlayed;
        } else if (!deviation[i]) {
            result = RhythmResult::Missed;
            penalty = window.toleranceMs;
        } else {
            const std::int64_t dev = *deviation[i];
            const std::int64_t off = distance(dev, 0);
            if (off >= window.deadZoneMs) {
                result = dev > 0 ? RhythmResult::Early : RhythmResult::Late;
                penalty = off - window.deadZoneMs;
                if (penalty > window.toleranceMs) {
                    result = RhythmResult::Missed;
                    penalty = window.toleranceMs;
                }
            }
        }
        missed += result == RhythmResult::Missed ? 1 : 0;
        notes[i].Result = result;
        sum += penalty * 10000 / window.toleranceMs;
    }
    // Each surplus tap costs half a missed note.
    const std::int64_t loss = std::min<std::int64_t>((surplus * 5000 + sum) / playable, 10000);
    const auto score = static_cast<std::uint8_t>((10000 - loss) / 100);

    if (score == 100) {
        text = m_strings.StrRhythmVerdict1;
    } else if (score >= std::max<int>(passMark, 95)) {
        text = m_strings.StrRhythmVerdict2;
    } else {
        const std::int64_t missedShare = missed * 100 / playable;
        if (missedShare == 100)
            text = m_strings.StrRhythmVerdict4;
        else if (missedShare < 10)
            text = m_strings.StrRhythmVerdict3;
        else
            text = Format(m_strings.StrRhythmVerdictFormat, {playable - missed, playable});
    }
    return score;
}

} // namespace pv
