// The melody options page without its window: tone count, scale, largest leap, ambitus, the
// enabled keys, the option boxes and the note range of the `MelodySetup`, its load and store,
// and the rules between the controls (modes, the key guard, the first tone).
#pragma once

#include "exercises/setup/ExerciseSetup.h"
#include "music/base/ExerciseKind.h"
#include "music/staff/RangePicker.h"
#include "music/staff/StaffDisplayList.h"

#include <array>
#include <optional>

#include <QRect>
#include <QSize>
#include <QStringList>

namespace pv {

struct ItemTables;

inline constexpr int kMelodyOpsKeys = 12;
/// The key buttons in the block's order of key signatures -6..+5, by their numbers
/// (SpeedButton6 is six flats, SpeedButton7 no key signature, SpeedButton5 five sharps).
inline constexpr std::array<int, kMelodyOpsKeys> kMelodyOpsKeyButtons = {6, 12, 11, 10, 9, 8,
                                                                         7, 1,  2,  3,  4, 5};
inline constexpr std::array<const char*, kMelodyOpsKeys> kMelodyOpsKeyCaptions = {
    "Gb/eb", "Db/bb", "Ab/f", "Eb/c", "Bb/g", "F/d", "C/a", "G/e", "D/b", "A/f#", "E/c#", "B/g#"};
/// The key that is always there to fall back on: C major / A minor.
inline constexpr int kMelodyOpsCKey = 6;
inline constexpr int kMelodyOpsScales = 17;
/// Entries of the leap and ambitus lists: second .. octave.
inline constexpr int kMelodyOpsSteps = 7;
/// The low marker stays this many semitones below the high one.
inline constexpr int kMelodyOpsMarkerGap = 5;
/// Tone counts the page offers, in steps of 2.
inline constexpr int kMelodyOpsMinTones = 1;
inline constexpr int kMelodyOpsMaxTones = 11;

/// The scale list: the names of scale items 1..11, then the melody progressions named by their
/// chords, 17 entries for the scale values 0..16.
QStringList MelodyOpsScaleNames(const ItemTables& items);
/// Whether the scale value is a mode (Dorian, Phrygian, Lydian, Mixolydian, Locrian): no tonic
/// reference is played for it.
bool MelodyOpsScaleIsMode(int scale);

/// Where the range picker lies on the page for the note-entry instrument (the settings' byte:
/// 2 piano, 4 guitar, anything else the staff), and the picture it shows.
struct MelodyOpsRangeGeometry
{
    QRect GroupBox2;
    QRect PaintBox1;
    RangeView View = RangeView::Staff;
    friend bool operator==(const MelodyOpsRangeGeometry&, const MelodyOpsRangeGeometry&) = default;
};
MelodyOpsRangeGeometry MelodyOpsRangeGeometryFor(int instrument);

/// The picture of a key button: the treble staff with the key signature -6..+5 as the staff
/// draws it, without clef, in an area kMelodyOpsKeyPictureSize from (0, 0).
inline constexpr QSize kMelodyOpsKeyPictureSize{56, 50};
StaffDisplayList MelodyOpsKeyPicture(int keySignature);

class MelodyOpsModel
{
public:
    /// range must outlive the model: its markers are the page's range.
    explicit MelodyOpsModel(RangePicker& range) : m_range(range) {}

    /// Rebuilds the scale list; for kind 9 fills the page from `MelodySetup`. Values a damaged
    /// file or tutor gave (a tone count, leap, ambitus or scale out of range, no key, a range
    /// the pictures cannot show) show as valid choices.
    void LoadSetup(const ExerciseSetup& setup, ExerciseKind kind, const ItemTables& items);
    /// Writes the page into `MelodySetup` for kind 9; bytes 16, 23, 25 and 26 of the block keep
    /// their values. Any other kind changes nothing.
    void StoreSetup(ExerciseSetup& setup, ExerciseKind kind) const;

    /// A scale was chosen: whole-tone and chromatic melodies have no key (the key buttons go and
    /// the key boxes are off); modes play no tonic reference. The key boxes are read again from
    /// current's block.
    void RadioGroup1Click(const ExerciseSetup& current);
    void ChooseScale(int scale, const ExerciseSetup& current);
    /// The key button index (0..11, key signature index - 6) pressed; at least one key stays
    /// down.
    void ClickKey(int index);
    void SpeedButton12Click();
    /// "Play keynote/tonic" changed: its two kinds of reference follow.
    void SetPlayTonic(bool on);
    void CheckBox2Click();
    void CheckBox5Click();
    /// "Show first tone" changed: a melody of one note shown first would give the answer, so
    /// ticking it with one note makes three.
    void SetShowFirstTone(bool on);
    /// The tone count changed: the first tone is shown only while there is more than one.
    void SetToneCount(int count);
    /// "Restore to previous settings" while kind is shown: the melody block as saved is put
    /// back and shown again.
    void SpeedButton13Click(const ExerciseSetup& saved, ExerciseSetup& current,
                            std::optional<ExerciseKind> kind, const ItemTables& items);

    QStringList ScaleList;
    int ToneCount = 5;
    int Leap = 1;    ///< index: 0 second .. 6 octave
    int Ambitus = 2; ///< index, as the leap
    int Scale = 0;
    std::array<bool, kMelodyOpsKeys> Keys{};
    bool KeysVisible = true;
    bool ShowKeySignature = false; ///< CheckBox1
    bool ShowKeySignatureEnabled = true;
    bool PlayTonic = false; ///< CheckBox2
    bool PlayTonicEnabled = true;
    bool Cadence = false; ///< RadioButton5; RadioButton1 (base tones) is its opposite
    bool ReferenceKindsEnabled = false;
    bool PlayToneOnClick = false; ///< CheckBox3
    bool AutoAnswer = false;      ///< CheckBox4
    bool ShowFirstTone = false;   ///< CheckBox6
    bool Rhythms = false;         ///< CheckBox8
    /// The answer-input lock (hidden): CheckBox5 and its piano, guitar and notesheet boxes.
    bool Lock = false;
    std::array<bool, 3> LockInputs{};
    bool LockInputsEnabled = false;

    RangePicker& Range() { return m_range; }
    const RangePicker& Range() const { return m_range; }

private:
    RangePicker& m_range;
};

} // namespace pv
