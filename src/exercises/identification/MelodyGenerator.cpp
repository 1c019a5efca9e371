// How a melody is invented: rhythm first, then chords over the bars, key and root, candidate
// pitches per chord, and the pitches themselves from the last note backwards.
#include "exercises/identification/MelodyGenerator.h"

#include "exercises/items/ItemTables.h"
#include "exercises/setup/ExerciseSetup.h"
#include "music/base/Prompts.h"
#include "music/base/Random.h"
#include "music/notation/NotationTables.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <bitset>
#include <cstdlib>
#include <optional>
#include <vector>

namespace pv {
namespace {

// Melodies are made in 4/4.
constexpr int kBar = kWholeTicks;
constexpr int kQuarter = kQuarterTicks;
constexpr int kRhythmDraws = 201;
constexpr int kLastNoteDraws = 401;
constexpr int kNoteDraws = 400;
constexpr int kMidiHighest = 127;
constexpr int kWhole = 1;
constexpr int kHalf = 2;
constexpr int kQuarterCode = 3;
constexpr int kIonianItem = 1;
constexpr int kAeolianItem = 6;

// Chord items with a minor third: a progression ending on one of them lies in a minor key.
constexpr std::array<int, 7> kMinorChordTypes = {1, 2, 7, 9, 10, 12, 16};

bool IsMinorChordType(int type)
{
    return std::find(kMinorChordTypes.begin(), kMinorChordTypes.end(), type) !=
           kMinorChordTypes.end();
}

int Ticks(const TNoteRec& note)
{
    return DurationTicksOf(note.Duration);
}

// One pitch a note may take for one chord.
struct Candidate
{
    int Pitch = 0;
    std::int8_t Shift = 0;
    std::uint8_t Mark = kMelodyOtherTone;
    std::uint8_t String = 0;
};

// Candidates indexed j = -ambitus .. ambitus + 4 around the root's place in the scale.
class CandidateList
{
public:
    CandidateList(int ambitus) : m_ambitus(ambitus)
    {
        m_entries.resize(static_cast<std::size_t>(2 * ambitus + 5));
    }
    bool Holds(int j) const { return j >= -m_ambitus && j <= m_ambitus + 4; }
    Candidate& operator[](int j) { return m_entries[static_cast<std::size_t>(j + m_ambitus)]; }
    const Candidate& operator[](int j) const
    {
        return m_entries[static_cast<std::size_t>(j + m_ambitus)];
    }

private:
    int m_ambitus;
    std::vector<Candidate> m_entries;
};

// Step 1: note values drawn in 4/4 so that none crosses a bar line, then the last bar closed.
// Returns the number of bars.
int DrawRhythm(std::span<TNoteRec> notes, int n, IRandom& random)
{
    int position = 0;
    int bars = 0;
    for (int k = 0; k < n; ++k) {
        TNoteRec& note = notes[static_cast<std::size_t>(k)];
        int d = kQuarterCode;
        for (int draw = 0; draw < kRhythmDraws; ++draw) {
            d = random.Random(6) + 1;
            d = d == 4 ? kHalf : d >= 5 ? kQuarterCode : d;
            const int length = DurationTicksOf(d);
            // No whole note among the last three, nor two in a row.
            const bool wholeRefused =
                d == kWhole &&
                (k + 1 >= n - 2 ||
                 (k > 0 && notes[static_cast<std::size_t>(k - 1)].Duration == kWhole));
            const bool crossesBar = (position + length - 1) / kBar != position / kBar;
            if (!wholeRefused && !crossesBar) {
                break;
            }
        }
        note.VelocityLevel = BeatLevels[static_cast<std::size_t>((position % kBar) / kQuarter)];
        position += DurationTicksOf(d);
        note.Duration = static_cast<std::uint8_t>(d);
        note.BarLine = position % kBar == 0 ? 1 : 0;
        bars += note.BarLine;
    }
    TNoteRec& last = notes[static_cast<std::size_t>(n - 1)];
    TNoteRec* before = n > 1 ? &notes[static_cast<std::size_t>(n - 2)] : nullptr;
    last.VelocityLevel = 2;
    const int rest = position % kBar;
    if (rest == 0) {
        if (last.Duration == kQuarterCode && before != nullptr) {
            if (before->Duration == kQuarterCode) {
                // Two quarters closing the bar end as a half, and the last note as a whole
                // note in a bar of its own.
                before->Duration = kHalf;
                before->BarLine = 1;
                last.Duration = kWhole;
                ++bars;
            } else {
                before->Duration = kQuarterCode;
                last.Duration = kHalf;
            }
        }
        return bars;
    }
    ++bars;
    switch (rest / kQuarter) {
    case 1:
        last.Duration = kWhole;
        break;
    case 2:
        if (last.Duration == kHalf || before == nullptr) {
            last.Duration = kWhole;
        } else {
            before->Duration = kHalf;
            last.Duration = kHalf;
        }
        break;
    default:
        if (last.Duration == kHalf && before != nullptr) {
            before->Duration = kHalf;
        } else {
            last.Duration = kHalf;
        }
        break;
    }
    return bars;
}

// Step 4: the chord each note belongs to, counted back from the last chord at the end.
std::vector<int> AssignChords(std::span<const TNoteRec> notes, int n, int chordCount, int bars,
                              IRandom& random)
{
    std::vector<int> chordOf(static_cast<std::size_t>(n), chordCount);
    int chord = chordCount;
    int barsLeft = bars;
    int ticks = 0;
    for (int k = n - 1; k >= 0; --k) {
        chordOf[static_cast<std::size_t>(k)] = chord;
        ticks += Ticks(notes[static_cast<std::size_t>(k)]);
        if (ticks % kBar == 0) {
            --barsLeft;
        }
        if (k > 0 && notes[static_cast<std::size_t>(k - 1)].BarLine != 0) {
            const bool change = chord >= barsLeft ||
                                random.Random(barsLeft / chord + 3 * (k != n - 1 ? 1 : 0) + 1) == 1;
            if (change) {
                chord = std::max(1, chord - 1);
            }
        }
    }
    return chordOf;
}

// The pitch classes of a progression chord, in the key in which the candidates lie (its C is
// the key's tonic).
std::bitset<12> ChordTones(const ProgressionChord& chord, const ItemTables& items, int tonic)
{
    std::bitset<12> tones;
    for (const ItemNote& note : items.ChordIdentification.Notes(chord.ChordType + 1)) {
        tones.set(static_cast<std::size_t>(PositiveMod(chord.Root + note.Note - 120 + tonic, 12)));
    }
    return tones;
}

CandidateList BuildCandidates(const std::vector<ItemNote>& scale, int ambitus, int root,
                              const std::bitset<12>& chordTones)
{
    const int n = static_cast<int>(scale.size());
    CandidateList list(ambitus);
    const auto fill = [&](int j, int index, int pitch) {
        const ItemNote& note = scale[static_cast<std::size_t>(index)];
        Candidate& entry = list[j];
        entry.Pitch = pitch;
        entry.Shift = note.Shift;
        entry.String = note.String;
        entry.Mark = chordTones.test(static_cast<std::size_t>(PositiveMod(pitch, 12)))
                         ? kMelodyChordTone
                         : kMelodyOtherTone;
    };
    for (int j = 0; j <= ambitus + 4; ++j) {
        fill(j, j % n, scale[static_cast<std::size_t>(j % n)].Note + root - 60 + 12 * (j / n));
    }
    for (int j = -1; j >= -ambitus; --j) {
        // Below the scale's first note the list goes on down the scale by octaves; the last
        // note repeats the first an octave up, so one octave holds n - 1 steps.
        int index = n + j - 1;
        int octaves = 0;
        const int steps = std::max(n - 1, 1);
        while (index < 0) {
            index += steps;
            ++octaves;
        }
        fill(j, index, scale[static_cast<std::size_t>(index)].Note + root - 72 - 12 * octaves);
    }
    return list;
}

} // namespace

bool MelodyScaleIsMinor(int scale)
{
    return scale == 5 || scale == 7 || scale == 8 || scale == 15 || scale == 16;
}

MelodyGenerator::MelodyGenerator(IRandom& random, IPrompts* prompts, const UIStringTable& strings)
    : m_random(random), m_prompts(prompts), m_strings(strings)
{
}

Status<MelodyError> MelodyGenerator::GenerateMelody(const MelodySetup& setup,
                                                    const ItemTables& items,
                                                    std::span<TNoteRec> notes, std::uint16_t& count,
                                                    MelodySheet& sheet, std::uint8_t& root)
{
    // The backward walk can run into a dead end that another draw avoids (a repeated tonic
    // whose only neighbours are non-chord leaps): the user hears of a failure only when the
    // setup keeps failing.
    Status<MelodyError> made = Fail(MelodyError::NoPitchInRange);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        made = Attempt(setup, items, notes, count, sheet, root);
        if (made.Ok() || made.Code() != MelodyError::NoPitchInRange) {
            break;
        }
    }
    if (!made.Ok() && m_prompts != nullptr) {
        m_prompts->ShowMessage(m_strings.StrMelodyRangeMessage);
    }
    return made;
}

Status<MelodyError> MelodyGenerator::Attempt(const MelodySetup& setup, const ItemTables& items,
                                             std::span<TNoteRec> notes, std::uint16_t& count,
                                             MelodySheet& sheet, std::uint8_t& rootOut)
{
    // A damaged setup file or tutor may hold any byte: counts are read inside the ranges the
    // options page offers, so no list is overrun and no draw loop runs away.
    const int capacity = std::min(kMelodyMaxTones, static_cast<int>(notes.size()));
    if (capacity < kMelodyMinTones) {
        return Fail(MelodyError::NoMaterial);
    }
    const int n = std::clamp<int>(setup.ToneCount, kMelodyMinTones, capacity);
    int leap = std::clamp<int>(setup.LargestLeap, 1, 7);
    int ambitus = std::clamp<int>(setup.Ambitus, 1, 7);
    const int scale = setup.Scale <= kMelodyLastScale ? setup.Scale : 0;
    const int high = std::min<int>(setup.HighestNote, kMidiHighest);
    const int low = std::min<int>(setup.LowestNote, kMidiHighest);
    if (high < low) {
        return Fail(MelodyError::EmptyRange);
    }
    const bool progression = scale > kMelodyChromatic;
    const int progressionItem =
        progression ? MelodyProgressionItems[static_cast<std::size_t>(scale - 11)] : 0;
    const std::vector<ProgressionChord> chords =
        progression ? items.ProgressionChords(progressionItem) : std::vector<ProgressionChord>{};
    if (progression && chords.empty()) {
        return Fail(MelodyError::NoMaterial);
    }
    const bool minorProgression = progression && IsMinorChordType(chords.back().ChordType);
    const int scaleItem = progression ? (minorProgression ? kAeolianItem : kIonianItem) : scale + 1;
    const std::vector<ItemNote> scaleNotes = items.Scales.Notes(scaleItem);
    if (scale != kMelodyChromatic && scaleNotes.empty()) {
        return Fail(MelodyError::NoMaterial);
    }

    // Steps 1-3: the rhythm, or whole notes without bar lines.
    int bars = 0;
    if (setup.Rhythms != 0) {
        bars = DrawRhythm(notes, n, m_random);
    } else {
        for (int k = 0; k < n; ++k) {
            TNoteRec& note = notes[static_cast<std::size_t>(k)];
            note.Duration = kWhole;
            note.BarLine = 0;
            note.VelocityLevel = BeatLevels[static_cast<std::size_t>(k % 4)];
        }
        notes[static_cast<std::size_t>(n - 1)].VelocityLevel = 2;
    }
    notes[static_cast<std::size_t>(n - 1)].BarLine = 1;

    // Step 4: chords change only at bar lines and the melody ends on the last chord.
    const int chordCount = progression ? static_cast<int>(chords.size()) : 1;
    const std::vector<int> chordOf = progression
                                         ? AssignChords(notes, n, chordCount, bars, m_random)
                                         : std::vector<int>(static_cast<std::size_t>(n), 1);
    for (int k = 0; k < n; ++k) {
        notes[static_cast<std::size_t>(k)].AccidentalInput =
            static_cast<std::uint8_t>(chordOf[static_cast<std::size_t>(k)]);
    }

    // Steps 5-6: the key and the reference note.
    sheet.Minor = progression ? minorProgression : MelodyScaleIsMinor(scale);
    int root = low;
    if (scale == kMelodyChromatic) {
        root = low + m_random.Random(high - low);
        leap = MajorScaleSteps[static_cast<std::size_t>(leap)];
        ambitus = MajorScaleSteps[static_cast<std::size_t>(ambitus)];
        sheet.KeySignature = 1;
        sheet.KeyOffset = 0;
        sheet.ShowKeySignature = false;
    } else if (scale == kMelodyWholeTone) {
        root = low + m_random.Random(high - low);
        sheet.KeySignature = 0;
        sheet.KeyOffset = 0;
        sheet.ShowKeySignature = false;
    } else {
        std::vector<int> keys;
        for (std::size_t i = 0; i < setup.Keys.size(); ++i) {
            if (setup.Keys[i] != 0) {
                keys.push_back(static_cast<int>(i) - 6);
            }
        }
        // The options page keeps one key at least; without any the plain key stands in.
        const int k =
            keys.empty()
                ? 0
                : keys[static_cast<std::size_t>(m_random.Random(static_cast<int>(keys.size())))];
        sheet.KeySignature = k;
        root = low + m_random.Random(high - low);
        const bool mode = scale == 1 || scale == 2 || scale == 3 || scale == 4 || scale == 6;
        sheet.KeyOffset = mode ? scaleNotes.front().Note - 60 : 0;
        const int t = KeyTonicTable(k);
        root = 12 * (root / 12) + t + (PositiveMod(root - t, 12) > 6 ? 12 : 0);
        // Into the range by whole octaves: one octave's correction leaves a mode's first note
        // above a range of an octave, and then no melody could end in it.
        while (root + sheet.KeyOffset < low) {
            root += 12;
        }
        while (root + sheet.KeyOffset > high && root + sheet.KeyOffset - 12 >= 0) {
            root -= 12;
        }
        sheet.ShowKeySignature = setup.ShowKeySignature != 0;
    }
    rootOut = static_cast<std::uint8_t>(std::clamp(root, 0, kMidiHighest));

    const auto inRange = [&](int pitch) { return pitch >= low && pitch <= high; };
    const auto place = [&](int k, const Candidate& entry) {
        TNoteRec& note = notes[static_cast<std::size_t>(k)];
        note.Pitch.Note = static_cast<std::int8_t>(entry.Pitch);
        note.Pitch.Shift = scale == kMelodyWholeTone || scale == kMelodyChromatic ? 0 : entry.Shift;
        note.AccidentalInput = entry.Mark;
        note.GuitarString = entry.String;
    };

    // Step 7: candidates per chord, marked as chord tones or not.
    std::vector<CandidateList> lists;
    if (scale != kMelodyChromatic) {
        const int tonic = root - (minorProgression ? 3 : 0);
        for (int c = 0; c < chordCount; ++c) {
            const std::bitset<12> tones =
                progression ? ChordTones(chords[static_cast<std::size_t>(c)], items, tonic)
                            : std::bitset<12>().set();
            lists.push_back(BuildCandidates(scaleNotes, ambitus, root, tones));
        }
    }
    const auto listOf = [&](int k) -> const CandidateList& {
        return lists[static_cast<std::size_t>(chordOf[static_cast<std::size_t>(k)] - 1)];
    };

    // Step 8: the last note, on the first, third or fifth step of its chord's list.
    int j = 0;
    if (scale == kMelodyChromatic) {
        place(n - 1, Candidate{root, 0, kMelodyChordTone, 0});
    } else {
        const CandidateList& list = listOf(n - 1);
        std::optional<int> taken;
        std::optional<int> lastInRange;
        int usable = 0;
        for (int draw = 0; draw < kLastNoteDraws && !taken; ++draw) {
            const int candidate = 2 * m_random.Random(3);
            if (!inRange(list[candidate].Pitch)) {
                continue;
            }
            ++usable;
            lastInRange = candidate;
            if (list[candidate].Mark == kMelodyChordTone || usable == 7) {
                taken = candidate;
            }
        }
        // A last note outside the range would break the setup's promise: no melody then.
        if (!taken) {
            taken = lastInRange;
        }
        if (!taken) {
            return Fail(MelodyError::NoPitchInRange);
        }
        j = *taken;
        place(n - 1, list[j]);
    }

    // Step 9: backwards from the last note, each within a leap of the next.
    int lowest = j;
    int highest = j;
    for (int k = n - 2; k >= 0; --k) {
        const int next = notes[static_cast<std::size_t>(k + 1)].Pitch.Note;
        const bool afterNext =
            k + 2 < n && notes[static_cast<std::size_t>(k + 2)].Pitch.Note == next;
        const int chord = chordOf[static_cast<std::size_t>(k)];
        const int threshold = (k == 0 || chord != chordOf[static_cast<std::size_t>(k - 1)]) ? 10
                              : notes[static_cast<std::size_t>(k - 1)].BarLine != 0         ? 5
                                                                                            : 0;
        std::optional<std::pair<int, Candidate>> taken;
        int usable = 0;
        for (int draw = 0; draw < kNoteDraws && !taken; ++draw) {
            const int i = j - leap + m_random.Random(2 * leap + 1);
            if (i - lowest > ambitus || highest - i > ambitus) {
                continue;
            }
            Candidate entry{root + i, 0, kMelodyChordTone, 0};
            if (scale != kMelodyChromatic) {
                const CandidateList& list = listOf(k);
                if (!list.Holds(i)) {
                    continue;
                }
                entry = list[i];
            }
            if (!inRange(entry.Pitch)) {
                continue;
            }
            // A repeated note passes one time in five; three equal notes in a row never.
            if (entry.Pitch == next && (m_random.Random(5) != 0 || afterNext)) {
                continue;
            }
            ++usable;
            if (entry.Mark == kMelodyChordTone || (usable > threshold && std::abs(i - j) <= 1)) {
                taken = std::pair{i, entry};
            }
        }
        if (!taken) {
            return Fail(MelodyError::NoPitchInRange);
        }
        j = taken->first;
        lowest = std::min(lowest, j);
        highest = std::max(highest, j);
        place(k, taken->second);
    }
    count = static_cast<std::uint16_t>(n);
    return {};
}

} // namespace pv
