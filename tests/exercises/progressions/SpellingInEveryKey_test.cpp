// Scales and chords of every key from seven flats to seven sharps, spelled as a musician writes
// them: the expected names are written out from the rules of harmony, not computed.
#include "exercises/progressions/ProgressionNaming.h"
#include "exercises/progressions/ProgressionVoicing.h"
#include "music/notation/Spelling.h"
#include "support/ScriptedRandom.h"

#include <sstream>
#include <string>
#include <vector>

#include <QStringList>

#include <gtest/gtest.h>

namespace pv {
namespace {

// Chord items by zero-based index.
constexpr std::uint8_t kMaj = 0;
constexpr std::uint8_t kMin = 1;
constexpr std::uint8_t kDim = 2;
constexpr std::uint8_t kDom7 = 6;
constexpr std::uint8_t kMin7 = 7;
constexpr std::uint8_t kMaj7 = 8;
constexpr std::uint8_t kDim7 = 10;
constexpr std::uint8_t kHalfDim7 = 12;

struct Key
{
    int signature;
    bool minor;
    const char* scale; ///< the seven degrees from the tonic
};

// Major keys, then their relative minors, in natural minor.
const Key kKeys[] = {
    {-7, false, "Cb Db Eb Fb Gb Ab Bb"}, {-6, false, "Gb Ab Bb Cb Db Eb F"},
    {-5, false, "Db Eb F Gb Ab Bb C"},   {-4, false, "Ab Bb C Db Eb F G"},
    {-3, false, "Eb F G Ab Bb C D"},     {-2, false, "Bb C D Eb F G A"},
    {-1, false, "F G A Bb C D E"},       {0, false, "C D E F G A B"},
    {1, false, "G A B C D E F#"},        {2, false, "D E F# G A B C#"},
    {3, false, "A B C# D E F# G#"},      {4, false, "E F# G# A B C# D#"},
    {5, false, "B C# D# E F# G# A#"},    {6, false, "F# G# A# B C# D# E#"},
    {7, false, "C# D# E# F# G# A# B#"},  {-7, true, "Ab Bb Cb Db Eb Fb Gb"},
    {-6, true, "Eb F Gb Ab Bb Cb Db"},   {-5, true, "Bb C Db Eb F Gb Ab"},
    {-4, true, "F G Ab Bb C Db Eb"},     {-3, true, "C D Eb F G Ab Bb"},
    {-2, true, "G A Bb C D Eb F"},       {-1, true, "D E F G A Bb C"},
    {0, true, "A B C D E F G"},          {1, true, "E F# G A B C D"},
    {2, true, "B C# D E F# G A"},        {3, true, "F# G# A B C# D E"},
    {4, true, "C# D# E F# G# A B"},      {5, true, "G# A# B C# D# E F#"},
    {6, true, "D# E# F# G# A# B C#"},    {7, true, "A# B# C# D# E# F# G#"},
};

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string Join(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

std::string Names(const VoicedProgression& v)
{
    QStringList names;
    for (const TNoteRec& n : v.Notes)
        names << NoteName(n.Pitch);
    return names.join(QLatin1Char(' ')).toStdString();
}

// Semitones of the degrees above the tonic.
constexpr int kMajorSteps[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kMinorSteps[7] = {0, 2, 3, 5, 7, 8, 10};

class SpellingInEveryKey : public ::testing::Test
{
protected:
    static int Tonic(const Key& key) { return 60 + TonicPitchClass(key.signature, key.minor); }

    /// The chord of item type whose root lies semitones above the key's tonic, the root
    /// spelled as a degree of the key and the chord voiced as a progression voices it.
    std::string Chord(const Key& key, int semitones, std::uint8_t type)
    {
        const int tonic = Tonic(key);
        const TPitch root =
            SpellDegree(tonic + semitones, tonic, TonicLetter(key.signature, key.minor));
        TNoteRec rec;
        rec.Pitch = root;
        rec.AccidentalInput = type;
        test::ScriptedRandom random({0});
        return Names(VoiceProgression(std::span(&rec, 1), 1, 0, 0, items, random));
    }

    const ItemTable& items = BuiltInItemTables().ChordIdentification;
};

TEST_F(SpellingInEveryKey, ScaleAndDiatonicTriadsAndSeventhsOnEveryDegree)
{
    // The diatonic chords stack the key's own degrees in thirds: every chord tone is a note of
    // the scale written above.
    constexpr std::uint8_t kMajorTriads[7] = {kMaj, kMin, kMin, kMaj, kMaj, kMin, kDim};
    constexpr std::uint8_t kMajorSevenths[7] = {kMaj7, kMin7, kMin7,    kMaj7,
                                                kDom7, kMin7, kHalfDim7};
    constexpr std::uint8_t kMinorTriads[7] = {kMin, kDim, kMaj, kMin, kMin, kMaj, kMaj};
    constexpr std::uint8_t kMinorSevenths[7] = {kMin7, kHalfDim7, kMaj7, kMin7,
                                                kMin7, kMaj7,     kDom7};
    for (const Key& key : kKeys) {
        SCOPED_TRACE(std::string(key.scale) + (key.minor ? " (minor)" : " (major)"));
        const std::vector<std::string> scale = Words(key.scale);
        ASSERT_EQ(scale.size(), 7u);
        const int* steps = key.minor ? kMinorSteps : kMajorSteps;
        const int tonic = Tonic(key);
        std::vector<std::string> spelled;
        for (int d = 0; d < 7; ++d) {
            spelled.push_back(
                NoteName(SpellInKey(tonic + steps[d], key.signature, key.minor)).toStdString());
        }
        EXPECT_EQ(Join(spelled), key.scale);
        for (int d = 0; d < 7; ++d) {
            SCOPED_TRACE("degree " + std::to_string(d + 1));
            const auto third = [&](int n) { return scale[static_cast<std::size_t>((d + n) % 7)]; };
            EXPECT_EQ(Chord(key, steps[d], (key.minor ? kMinorTriads : kMajorTriads)[d]),
                      Join({third(0), third(2), third(4)}));
            EXPECT_EQ(Chord(key, steps[d], (key.minor ? kMinorSevenths : kMajorSevenths)[d]),
                      Join({third(0), third(2), third(4), third(6)}));
        }
    }
}

TEST_F(SpellingInEveryKey, LeadingToneDiminishedSeventhOfEveryMinorKey)
{
    struct Case
    {
        int signature;
        const char* chord;
    };
    const Case cases[] = {
        {-7, "G Bb Db Fb"}, {-6, "D F Ab Cb"},  {-5, "A C Eb Gb"},   {-4, "E G Bb Db"},
        {-3, "B D F Ab"},   {-2, "F# A C Eb"},  {-1, "C# E G Bb"},   {0, "G# B D F"},
        {1, "D# F# A C"},   {2, "A# C# E G"},   {3, "E# G# B D"},    {4, "B# D# F# A"},
        {5, "F## A# C# E"}, {6, "C## E# G# B"}, {7, "G## B# D# F#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signature);
        EXPECT_EQ(Chord(Key{c.signature, true, ""}, 11, kDim7), c.chord);
    }
}

TEST_F(SpellingInEveryKey, FlatSecondThirdSixthAndSeventhOfEveryMajorKey)
{
    struct Case
    {
        int signature;
        const char* flatTwo;
        const char* flatThree;
        const char* flatSix;
        const char* flatSeven;
    };
    const Case cases[] = {
        {-7, "Dbb Fb Abb", "Ebb Gb Bbb", "Abb Cb Ebb", "Bbb Db Fb"},
        {-6, "Abb Cb Ebb", "Bbb Db Fb", "Ebb Gb Bbb", "Fb Ab Cb"},
        {-5, "Ebb Gb Bbb", "Fb Ab Cb", "Bbb Db Fb", "Cb Eb Gb"},
        {-4, "Bbb Db Fb", "Cb Eb Gb", "Fb Ab Cb", "Gb Bb Db"},
        {-3, "Fb Ab Cb", "Gb Bb Db", "Cb Eb Gb", "Db F Ab"},
        {-2, "Cb Eb Gb", "Db F Ab", "Gb Bb Db", "Ab C Eb"},
        {-1, "Gb Bb Db", "Ab C Eb", "Db F Ab", "Eb G Bb"},
        {0, "Db F Ab", "Eb G Bb", "Ab C Eb", "Bb D F"},
        {1, "Ab C Eb", "Bb D F", "Eb G Bb", "F A C"},
        {2, "Eb G Bb", "F A C", "Bb D F", "C E G"},
        {3, "Bb D F", "C E G", "F A C", "G B D"},
        {4, "F A C", "G B D", "C E G", "D F# A"},
        {5, "C E G", "D F# A", "G B D", "A C# E"},
        {6, "G B D", "A C# E", "D F# A", "E G# B"},
        {7, "D F# A", "E G# B", "A C# E", "B D# F#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signature);
        const Key key{c.signature, false, ""};
        EXPECT_EQ(Chord(key, 1, kMaj), c.flatTwo);
        EXPECT_EQ(Chord(key, 3, kMaj), c.flatThree);
        EXPECT_EQ(Chord(key, 8, kMaj), c.flatSix);
        EXPECT_EQ(Chord(key, 10, kMaj), c.flatSeven);
    }
}

TEST_F(SpellingInEveryKey, BuiltInProgressionsFromRootsSpelledInTheKey)
{
    struct Case
    {
        const char* name;
        int item;
        int questionRoot;
        int keySignature;
        const char* expected;
    };
    const Case cases[] = {
        {"G7 - C in C", 3, 60, 0, "G B D F C E G"},
        {"Ab - C in C", 31, 60, 0, "Ab C Eb C E G"},
        {"B dim7 - Cm in C minor", 6, 60, -3, "B D F Ab C Eb G"},
        {"Db7(b5) - Cmaj7 in C", 27, 60, 0, "Db F Abb Cb C E G B"},
        {"Cm - Ab - Bb - Cm in C minor", 34, 60, -3, "C Eb G Ab C Eb Bb D F C Eb G"},
        {"the same in D minor", 34, 62, -1, "D F A Bb D F C E G D F A"},
        {"C - Am - F - G - C in G", 33, 67, 1, "G B D E G B C E G D F# A G B D"},
        {"Dm7 - G7 - Cm7 in E flat minor", 12, 63, -6, "F Ab C Eb Bb D F Ab Eb Gb Bb Db"},
        {"Ab - C in E major", 31, 64, 4, "C E G E G# B"},
        {"Eb - Cm in G sharp minor", 30, 68, 5, "B D# F# G# B D#"},
        {"B dim7 - Cm in D sharp minor", 6, 63, 6, "C## E# G# B D# F# A#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto chords = BuiltInItemTables().ProgressionChords(c.item);
        const bool minor = ProgressionIsMinor(chords);
        std::vector<TNoteRec> recs;
        for (ProgressionChord chord : chords) {
            chord.Root = static_cast<std::uint8_t>(chord.Root + c.questionRoot - 60);
            TNoteRec rec = ProgressionChordRec(chord);
            rec.Pitch =
                SpellDegree(rec.Pitch.Note, c.questionRoot, TonicLetter(c.keySignature, minor));
            recs.push_back(rec);
        }
        test::ScriptedRandom random({0});
        const auto v = VoiceProgression(recs, static_cast<int>(recs.size()), 0, 0, items, random);
        EXPECT_EQ(Names(v), std::string(c.expected));
    }
}

TEST_F(SpellingInEveryKey, ChordBeyondDoubleAccidentalsMovesToItsEnharmonicRoot)
{
    // The tritone substitute in G flat major lies on A double flat; its flattened fifth would
    // need three flats, so the chord is written from G.
    EXPECT_EQ(Chord(Key{-6, false, ""}, 1, 11), "G B Db F");
    // The diminished seventh of C flat would need B triple flat: it is written on B.
    EXPECT_EQ(Chord(Key{-7, false, ""}, 0, kDim7), "B D F Ab");
    // Where double accidentals suffice they stay: G flat's diminished seventh.
    EXPECT_EQ(Chord(Key{-6, false, ""}, 0, kDim7), "Gb Bbb Dbb Fbb");
}

} // namespace
} // namespace pv
