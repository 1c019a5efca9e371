// The melody options page's load, store and rules.
#include "exercises/setuppages/MelodyOpsModel.h"

#include "exercises/identification/MelodyGenerator.h"
#include "exercises/items/ItemTables.h"
#include "exercises/progressions/ProgressionNaming.h"
#include "music/staff/Sheet.h"

#include <algorithm>

namespace pv {

namespace {

constexpr int kMelodyKind = 9;
/// The leap and ambitus a block without a valid one gets: a fourth, as the store's fallback.
constexpr int kDefaultStepIndex = 2;
/// Notes the range pictures can show: the piano's and the staff's first, the staff's last.
constexpr int kLowestRangeNote = 41;
constexpr int kHighestRangeNote = 108;
constexpr std::uint8_t kTonicBit = 1;
constexpr std::uint8_t kBaseTonesFlag = 16;
constexpr std::uint8_t kCadenceFlag = 32;
constexpr std::uint8_t kLockBit = 0x80;

std::size_t At(int i)
{
    return static_cast<std::size_t>(i);
}

bool IsMelody(ExerciseKind kind)
{
    return KindNumber(kind) == kMelodyKind;
}

/// A leap or ambitus byte 1..7 as its list index; anything else as the fallback.
int StepIndex(std::uint8_t byte)
{
    return byte >= 1 && byte <= kMelodyOpsSteps ? byte - 1 : kDefaultStepIndex;
}

std::uint8_t StepByte(int index)
{
    return static_cast<std::uint8_t>(index >= 0 && index < kMelodyOpsSteps ? index + 1
                                                                           : kDefaultStepIndex + 1);
}

bool HasKey(int scale)
{
    return scale != kMelodyWholeTone && scale != kMelodyChromatic;
}

} // namespace

QStringList MelodyOpsScaleNames(const ItemTables& items)
{
    QStringList names;
    for (int item = 1; item <= kMelodyChromatic + 1; ++item)
        names << items.Scales.Name(item);
    for (int item : MelodyProgressionItems) {
        const std::vector<ProgressionChord> chords = items.ProgressionChords(item);
        names << ProgressionName(chords, static_cast<int>(chords.size()));
    }
    return names;
}

bool MelodyOpsScaleIsMode(int scale)
{
    return (scale >= 1 && scale <= 4) || scale == 6;
}

MelodyOpsRangeGeometry MelodyOpsRangeGeometryFor(int instrument)
{
    const RangeView view = RangeViewOfCode(instrument);
    // The box fits the picture shown: the staff is tall, the piano and the fretboard wide.
    if (view == RangeView::Staff)
        return {QRect(13, 69, 180, 155), QRect(14, 22, 160, 129), view};
    return {QRect(13, 69, 324, 65), QRect(8, 24, 308, 35), view};
}

StaffDisplayList MelodyOpsKeyPicture(int keySignature)
{
    // The staff's own placing of the signs, taken from a drawn grand staff: its treble staff
    // and the signs on it, moved to the picture's left edge.
    NoKeysHeld keys;
    NoteSpacing spacing;
    TSheet sheet(keys, spacing);
    sheet.SetControlSize(160, 200);
    sheet.SetLineSpacing(8);
    sheet.SetShowKeySignature(true);
    sheet.SetKeySignature(std::clamp(keySignature, -6, 5));
    std::vector<TNoteRec> none;
    const StaffDisplayList drawn = sheet.Draw(none, 0);
    const int top = sheet.Top();
    const int bottom = top + 4 * sheet.LineSpacing();
    constexpr int kSignsLeft = 51; // where the sheet writes its first sign
    const QPoint shift(4 - kSignsLeft, 16 - top);

    StaffDisplayList picture;
    picture.Area = QRect(QPoint(0, 0), kMelodyOpsKeyPictureSize);
    picture.LineSpacing = drawn.LineSpacing;
    picture.HeadWidth = drawn.HeadWidth;
    for (int i = 0; i < 5; ++i) {
        const int y = top + i * sheet.LineSpacing() + shift.y();
        picture.Lines.push_back(
            {StaffLineKind::Staff, QLine(1, y, kMelodyOpsKeyPictureSize.width() - 2, y)});
    }
    for (const StaffGlyphItem& glyph : drawn.Glyphs) {
        const bool sign = glyph.Glyph == StaffGlyph::Flat || glyph.Glyph == StaffGlyph::Sharp;
        if (!sign || glyph.At.y() > bottom + sheet.LineSpacing())
            continue;
        StaffGlyphItem moved = glyph;
        moved.Anchor += shift;
        moved.At += shift;
        picture.Glyphs.push_back(moved);
    }
    return picture;
}

void MelodyOpsModel::LoadSetup(const ExerciseSetup& setup, ExerciseKind kind,
                               const ItemTables& items)
{
    ScaleList = MelodyOpsScaleNames(items);
    if (IsMelody(kind)) {
        const MelodySetup& m = setup.Melody;
        ToneCount = std::clamp<int>(m.ToneCount, kMelodyOpsMinTones, kMelodyOpsMaxTones);
        Leap = StepIndex(m.LargestLeap);
        Ambitus = StepIndex(m.Ambitus);
        Scale = m.Scale < kMelodyOpsScales ? m.Scale : 0;
        for (int k = 0; k < kMelodyOpsKeys; ++k)
            Keys[At(k)] = m.Keys[At(k)] != 0;
        ShowKeySignature = m.ShowKeySignature != 0;
        PlayTonic = PlaysTonicReference(m.TonicReference);
        Cadence = TonicReferenceIsCadence(m.TonicReference);
        PlayToneOnClick = m.PlayToneOnClick != 0;
        Lock = (m.AnswerInput & kLockBit) != 0;
        for (int i = 0; i < 3; ++i)
            LockInputs[At(i)] = (m.AnswerInput & (1u << (i + 1))) != 0;
        CheckBox5Click();
        AutoAnswer = m.AutoAnswer != 0;
        // A melody of one note shown first would give its answer away.
        ShowFirstTone = m.ShowFirstTone != 0 && ToneCount > 1;
        Rhythms = m.Rhythms != 0;
        m_range.SetMarkerGap(kMelodyOpsMarkerGap);
        // A damaged block may hold any range: the page shows one its pictures can show, the
        // low marker the gap below the high one.
        int low = std::clamp<int>(m.LowestNote, kLowestRangeNote,
                                  kHighestRangeNote - kMelodyOpsMarkerGap);
        int high = std::clamp<int>(m.HighestNote, kLowestRangeNote, kHighestRangeNote);
        if (high < low + kMelodyOpsMarkerGap)
            high = low + kMelodyOpsMarkerGap;
        m_range.SetRange(low, high);
        // Every melody is drawn in an enabled key.
        SpeedButton12Click();
    }
    CheckBox2Click();
    RadioGroup1Click(setup);
}

void MelodyOpsModel::StoreSetup(ExerciseSetup& setup, ExerciseKind kind) const
{
    if (!IsMelody(kind))
        return;
    MelodySetup& m = setup.Melody;
    m.ToneCount = static_cast<std::uint8_t>(ToneCount);
    m.LargestLeap = StepByte(Leap);
    m.Ambitus = StepByte(Ambitus);
    m.Scale = static_cast<std::uint8_t>(Scale);
    for (int k = 0; k < kMelodyOpsKeys; ++k)
        m.Keys[At(k)] = Keys[At(k)] ? 1 : 0;
    m.ShowKeySignature = ShowKeySignature ? 1 : 0;
    m.TonicReference = static_cast<std::uint8_t>((PlayTonic ? kTonicBit : 0) +
                                                 (Cadence ? kCadenceFlag : kBaseTonesFlag));
    m.PlayToneOnClick = PlayToneOnClick ? 1 : 0;
    // The lock is never offered on this page: what is stored is no lock.
    m.AnswerInput = 0;
    m.AutoAnswer = AutoAnswer ? 1 : 0;
    m.ShowFirstTone = ShowFirstTone ? 1 : 0;
    m.Rhythms = Rhythms ? 1 : 0;
    m.LowestNote = static_cast<std::uint8_t>(std::clamp(m_range.LowNote(), 0, 127));
    m.HighestNote = static_cast<std::uint8_t>(std::clamp(m_range.HighNote(), 0, 127));
}

void MelodyOpsModel::RadioGroup1Click(const ExerciseSetup& current)
{
    if (HasKey(Scale)) {
        KeysVisible = true;
        ShowKeySignatureEnabled = true;
        PlayTonicEnabled = !MelodyOpsScaleIsMode(Scale);
        ShowKeySignature = current.Melody.ShowKeySignature != 0;
        PlayTonic =
            PlaysTonicReference(current.Melody.TonicReference) && !MelodyOpsScaleIsMode(Scale);
    } else {
        KeysVisible = false;
        ShowKeySignature = false;
        ShowKeySignatureEnabled = false;
        PlayTonic = false;
        PlayTonicEnabled = false;
    }
    CheckBox2Click();
}

void MelodyOpsModel::ChooseScale(int scale, const ExerciseSetup& current)
{
    if (scale < 0 || scale >= kMelodyOpsScales)
        return;
    Scale = scale;
    RadioGroup1Click(current);
}

void MelodyOpsModel::ClickKey(int index)
{
    if (index < 0 || index >= kMelodyOpsKeys)
        return;
    Keys[At(index)] = !Keys[At(index)];
    SpeedButton12Click();
}

void MelodyOpsModel::SpeedButton12Click()
{
    if (std::none_of(Keys.begin(), Keys.end(), [](bool on) { return on; }))
        Keys[At(kMelodyOpsCKey)] = true;
}

void MelodyOpsModel::SetPlayTonic(bool on)
{
    PlayTonic = on && PlayTonicEnabled;
    CheckBox2Click();
}

void MelodyOpsModel::CheckBox2Click()
{
    ReferenceKindsEnabled = PlayTonic;
}

void MelodyOpsModel::CheckBox5Click()
{
    LockInputsEnabled = Lock;
}

void MelodyOpsModel::SetShowFirstTone(bool on)
{
    ShowFirstTone = on;
    if (ShowFirstTone && ToneCount == 1)
        ToneCount = 3;
}

void MelodyOpsModel::SetToneCount(int count)
{
    ToneCount = std::clamp(count, kMelodyOpsMinTones, kMelodyOpsMaxTones);
    ShowFirstTone = ShowFirstTone && ToneCount > 1;
}

void MelodyOpsModel::SpeedButton13Click(const ExerciseSetup& saved, ExerciseSetup& current,
                                        std::optional<ExerciseKind> kind, const ItemTables& items)
{
    if (!kind || !IsMelody(*kind))
        return;
    current.Melody = saved.Melody;
    LoadSetup(current, *kind, items);
}

} // namespace pv
