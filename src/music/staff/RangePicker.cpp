// The range picker's pictures, hit tests and drag rules.
#include "music/staff/RangePicker.h"

#include "music/notation/NotationTables.h"

#include <algorithm>
#include <cstdlib>

namespace pv {

namespace {

// Semitones above F of the white keys by their index in an octave.
constexpr std::array<int, 7> kWhiteSemitones = {0, 2, 4, 6, 7, 9, 11};
// Left of the marker dot by semitones above F, and whether the key is black.
constexpr std::array<int, 12> kDotX = {2, 7, 13, 18, 24, 29, 35, 46, 51, 57, 62, 68};
constexpr std::array<bool, 12> kBlackKey = {false, true,  false, true,  false, true,
                                            false, false, true,  false, true,  false};
// The black keys of an octave, one white key's width each: F#, G#, A# from x 5 and C#, D#
// from x 48 (where the dots of C# and D# sit). Counting them all from 5 would put the left
// part of C# under the A# a key to the left.
struct BlackKey
{
    int Left;
    int Right;
    int Semitones;
};
constexpr std::array<BlackKey, 5> kBlackKeys = {
    {{5, 15, 1}, {16, 26, 3}, {27, 36, 5}, {48, 58, 8}, {59, 69, 10}}};

constexpr int kStaffSplitY = 70;
constexpr int kStaffMinY = 5;
constexpr int kBassLowest = 41;
constexpr int kBassHighest = 59;
constexpr int kTrebleLowest = 60;
constexpr int kTrebleHighest = 108;
constexpr int kNearX = 8;
constexpr int kNearY = 5;
constexpr int kAccidentalBand = 20;
constexpr int kAccidentalReach = 80;
constexpr int kSideBySide = 8;    ///< heads closer than this stand side by side
constexpr int kSignsCrowded = 25; ///< heads closer than this move the upper sign left
constexpr int kSignGap = 9;
constexpr int kLedgerHalf = 10;
constexpr int kMiddleCTreble = 68; ///< the ledger line of middle C below the treble staff
constexpr int kMiddleCBass = 73;   ///< and above the bass staff
constexpr int kAboveTreble = 20;   ///< the first ledger line above the treble staff
constexpr int kBelowBass = 121;    ///< the first ledger line below the bass staff

int NoteFromStep(int t)
{
    return 12 * (t / 7) + 12 + MajorScaleSteps[static_cast<std::size_t>(t % 7)];
}

int DiatonicStepOf(int pitch)
{
    return FlatKeySpelling[static_cast<std::size_t>(PositiveMod(pitch, 12))].Step;
}

int OctaveOf(int pitch)
{
    return pitch >= 0 ? pitch / 12 : -((-pitch + 11) / 12);
}

/// The spelling of a marker set from a bare note: black keys flat, as in C.
std::int8_t PlainShift(int note)
{
    return kBlackKey[static_cast<std::size_t>(PositiveMod(note - 5, 12))] ? 1 : 0;
}

TNoteRec Marker(int note)
{
    TNoteRec rec;
    rec.Pitch.Note = static_cast<std::int8_t>(std::clamp(note, 0, 127));
    rec.Pitch.Shift = PlainShift(note);
    rec.Duration = 1;
    rec.VelocityLevel = 0;
    return rec;
}

StaffGlyph SignOf(int alteration)
{
    switch (alteration) {
    case -2:
        return StaffGlyph::DoubleFlat;
    case -1:
        return StaffGlyph::Flat;
    case 1:
        return StaffGlyph::Sharp;
    default:
        return StaffGlyph::DoubleSharp;
    }
}

void AddLedgers(StaffDisplayList& list, int x, int y, bool bass)
{
    const auto line = [&](int at) {
        list.Lines.push_back(
            {StaffLineKind::Ledger, QLine(x - kLedgerHalf, at, x + kLedgerHalf, at)});
    };
    if (!bass) {
        for (int at = kAboveTreble; at >= y; at -= kRangeStaffLineSpacing)
            line(at);
        for (int at = kMiddleCTreble; at <= y; at += kRangeStaffLineSpacing)
            line(at);
    } else {
        for (int at = kMiddleCBass; at >= y; at -= kRangeStaffLineSpacing)
            line(at);
        for (int at = kBelowBass; at <= y; at += kRangeStaffLineSpacing)
            line(at);
    }
}

} // namespace

RangeView RangeViewOfCode(int viewCode)
{
    switch (viewCode) {
    case 2:
        return RangeView::Piano;
    case 4:
        return RangeView::Guitar;
    default:
        return RangeView::Staff;
    }
}

int PianoRangeNoteAt(int x, int y)
{
    x = std::max(0, x);
    y = std::max(0, y);
    const int octave = x / kRangePianoOctaveWidth;
    const int inOctave = x % kRangePianoOctaveWidth;
    if (y < kRangePianoBlackHeight) {
        for (const BlackKey& key : kBlackKeys) {
            if (inOctave >= key.Left && inOctave <= key.Right)
                return kRangePianoLowest + 12 * octave + key.Semitones;
        }
    }
    const int w = x / kRangePianoWhiteWidth;
    return kRangePianoLowest + 12 * (w / 7) + kWhiteSemitones[static_cast<std::size_t>(w % 7)];
}

int GuitarRangeNoteAt(int x, int y)
{
    x = std::max(0, x);
    // A drag above the picture stays on the highest string, one below it on the lowest.
    const int s = std::clamp(y, 0, 35) / kRangeGuitarStringGap + 1;
    int fret = 0;
    if (x >= kRangeGuitarFrets[0]) {
        // Past the last fret line every position counts as 0, so no fret matches: fret 24.
        fret = 24;
        for (int f = 1; f <= 23; ++f) {
            const int position = f < static_cast<int>(kRangeGuitarFrets.size())
                                     ? kRangeGuitarFrets[static_cast<std::size_t>(f)]
                                     : 0;
            if (x < position) {
                fret = f;
                break;
            }
        }
    }
    return std::clamp(GuitarStrings[static_cast<std::size_t>(s)] + fret, kRangeGuitarLowest,
                      kRangeGuitarHighest);
}

int StaffRangeNoteAt(int, int y)
{
    y = std::max(kStaffMinY, y);
    if (y >= kStaffSplitY) {
        // Far below the picture (a captured drag) the step would turn negative.
        const int t = std::max(0, 2 * (185 - (y - 2))) / 8;
        return std::clamp(NoteFromStep(t), kBassLowest, kBassHighest);
    }
    const int t = std::max(0, 2 * (180 - (y - 3)) / 8);
    return std::clamp(NoteFromStep(t), kTrebleLowest, kTrebleHighest);
}

QPoint PianoRangeDot(int note)
{
    const int i = std::max(0, note - kRangePianoLowest);
    const std::size_t k = static_cast<std::size_t>(i % 12);
    return {kRangePianoOctaveWidth * (i / 12) + kDotX[k], kBlackKey[k] ? 14 : 26};
}

GuitarRangeDot GuitarRangeDotOf(int note)
{
    GuitarRangeDot dot;
    // The highest string whose open note is at or below the note; below every open string the
    // note stands on the lowest one, open.
    for (int s = 1; s <= kGuitarStringCount; ++s) {
        if (GuitarStrings[static_cast<std::size_t>(s)] <= note) {
            dot.String = s;
            dot.Fret = note - GuitarStrings[static_cast<std::size_t>(s)];
            break;
        }
    }
    const int fret = std::clamp(dot.Fret, 0, static_cast<int>(kRangeGuitarFrets.size()) - 1);
    dot.At = {kRangeGuitarFrets[static_cast<std::size_t>(fret)] - 7,
              kRangeGuitarStringGap * dot.String - kRangeGuitarStringGap};
    return dot;
}

int StaffRangeHeadY(int written)
{
    const int octave = OctaveOf(written);
    const int base = ((10 - 7 * (octave - 6)) * kRangeStaffLineSpacing + 56) / 2;
    return base + (written < 60 ? 5 : 0) - 28 - 4 * DiatonicStepOf(written);
}

RangePianoPicture PianoRangePicture(int lowNote, int highNote)
{
    RangePianoPicture picture;
    const int whites = kRangePianoWidth / kRangePianoWhiteWidth;
    for (int w = 0; w < whites; ++w) {
        picture.Keys.push_back(
            {kRangePianoLowest + 12 * (w / 7) + kWhiteSemitones[static_cast<std::size_t>(w % 7)],
             false, QRect(w * kRangePianoWhiteWidth, 0, kRangePianoWhiteWidth, kRangePianoHeight)});
    }
    for (int octave = 0; octave * kRangePianoOctaveWidth < kRangePianoWidth; ++octave) {
        const int left = octave * kRangePianoOctaveWidth;
        for (const BlackKey& key : kBlackKeys) {
            if (left + key.Right >= kRangePianoWidth)
                break;
            picture.Keys.push_back({kRangePianoLowest + 12 * octave + key.Semitones, true,
                                    QRect(QPoint(left + key.Left, 0),
                                          QPoint(left + key.Right, kRangePianoBlackHeight - 1))});
        }
    }
    const QPoint low = PianoRangeDot(lowNote);
    const QPoint high = PianoRangeDot(highNote);
    picture.Dots = {QRect(low, QSize(kRangePianoDotSize, kRangePianoDotSize)),
                    QRect(high, QSize(kRangePianoDotSize, kRangePianoDotSize))};
    return picture;
}

RangeGuitarPicture GuitarRangePicture(int lowNote, int highNote)
{
    RangeGuitarPicture picture;
    for (int s = 1; s <= kGuitarStringCount; ++s)
        picture.StringY[static_cast<std::size_t>(s - 1)] =
            kRangeGuitarStringGap * s - kRangeGuitarStringGap + kRangeGuitarStringGap / 2;
    picture.FretX.assign(kRangeGuitarFrets.begin(), kRangeGuitarFrets.end());
    picture.Dots = {GuitarRangeDotOf(lowNote), GuitarRangeDotOf(highNote)};
    return picture;
}

RangePicker::RangePicker() : RangeLow(Marker(53)), RangeHigh(Marker(72)) {}

bool RangePicker::SetMarkerGap(int gap)
{
    m_gap = std::max(1, gap);
    if (LowNote() + m_gap <= HighNote())
        return false;
    RangeHigh.Pitch = Marker(LowNote() + m_gap).Pitch;
    return true;
}

void RangePicker::SetRange(int low, int high)
{
    // A marker spelled by an earlier drag (D flat) would keep drawing its old letter for the
    // new note: the spelling starts afresh with the note.
    const int oldLowX = RangeLow.X;
    const int oldLowY = RangeLow.Y;
    const int oldHighX = RangeHigh.X;
    const int oldHighY = RangeHigh.Y;
    RangeLow = Marker(low);
    RangeHigh = Marker(high);
    RangeLow.X = oldLowX;
    RangeLow.Y = oldLowY;
    RangeHigh.X = oldHighX;
    RangeHigh.Y = oldHighY;
}

RangeDrag RangePicker::MarkerOfNote(int note) const
{
    const bool low = note == LowNote();
    const bool high = note == HighNote();
    if (low && high)
        return note < 60 ? RangeDrag::High : RangeDrag::Low;
    if (low)
        return RangeDrag::Low;
    if (high)
        return RangeDrag::High;
    return RangeDrag::None;
}

bool RangePicker::MarkerNear(const TNoteRec& marker, int x, int y) const
{
    return std::abs(x - marker.X) <= kNearX && std::abs(y - marker.Y) <= kNearY;
}

RangeDrag RangePicker::StaffMarkerAt(int x, int y) const
{
    // Picked by the head that lies under the point: a marker written with a sign stands on
    // another letter's line than its note, so its note is not the one under the head.
    const bool low = MarkerNear(RangeLow, x, y);
    const bool high = MarkerNear(RangeHigh, x, y);
    if (low && high)
        return StaffRangeNoteAt(x, y) < 60 ? RangeDrag::High : RangeDrag::Low;
    if (low)
        return RangeDrag::Low;
    if (high)
        return RangeDrag::High;
    return RangeDrag::None;
}

bool RangePicker::RangeMouseDown(bool leftButton, int x, int y, RangeView view)
{
    if (!leftButton)
        return false;
    x = std::max(0, x);
    y = std::max(0, y);
    switch (view) {
    case RangeView::Piano:
        m_drag = MarkerOfNote(PianoRangeNoteAt(x, y));
        break;
    case RangeView::Guitar:
        m_drag = MarkerOfNote(GuitarRangeNoteAt(x, y));
        break;
    case RangeView::Staff:
        m_drag = StaffMarkerAt(x, y);
        if (m_drag != RangeDrag::None)
            m_anchorX = x;
        break;
    }
    return m_drag != RangeDrag::None;
}

TPitch RangePicker::StaffDragPitch(int x, int y)
{
    const int d = x - m_anchorX;
    if (d > kAccidentalReach)
        m_anchorX = x - kAccidentalReach;
    else if (d < -kAccidentalReach)
        m_anchorX = x + kAccidentalReach;
    else if (d < -kAccidentalBand)
        m_accidental = -1;
    else if (d > kAccidentalBand)
        m_accidental = 1;
    else
        m_accidental = 0;
    const int natural = StaffRangeNoteAt(x, y);
    return {static_cast<std::int8_t>(natural + m_accidental),
            static_cast<std::int8_t>(-m_accidental)};
}

RangePicker::MoveEffect RangePicker::RangeMouseMove(int x, int y, RangeView view)
{
    // A drag captured by the picture goes on outside it, where the coordinates turn negative.
    x = std::max(0, x);
    y = std::max(0, y);
    MoveEffect effect;
    if (m_drag == RangeDrag::None) {
        bool over = false;
        switch (view) {
        case RangeView::Piano:
            over = MarkerOfNote(PianoRangeNoteAt(x, y)) != RangeDrag::None;
            effect.Cursor = over ? RangeCursor::SizeHorizontal : RangeCursor::Default;
            break;
        case RangeView::Guitar:
            over = MarkerOfNote(GuitarRangeNoteAt(x, y)) != RangeDrag::None;
            effect.Cursor = over ? RangeCursor::SizeAll : RangeCursor::Default;
            break;
        case RangeView::Staff:
            over = StaffMarkerAt(x, y) != RangeDrag::None;
            effect.Cursor = over ? RangeCursor::SizeVertical : RangeCursor::Default;
            break;
        }
        return effect;
    }

    TPitch pitch;
    switch (view) {
    case RangeView::Piano:
        pitch = Marker(PianoRangeNoteAt(x, y)).Pitch;
        break;
    case RangeView::Guitar:
        pitch = Marker(GuitarRangeNoteAt(x, y)).Pitch;
        break;
    case RangeView::Staff:
        pitch = StaffDragPitch(x, y);
        break;
    }
    TNoteRec& dragged = m_drag == RangeDrag::Low ? RangeLow : RangeHigh;
    if (pitch == dragged.Pitch)
        return effect;
    const int low = m_drag == RangeDrag::Low ? pitch.Note : LowNote();
    const int high = m_drag == RangeDrag::High ? pitch.Note : HighNote();
    if (low + m_gap > high)
        return effect;
    dragged.Pitch = pitch;
    effect.Repaint = true;
    return effect;
}

void RangePicker::RangeMouseUp(bool leftButton)
{
    if (leftButton)
        m_drag = RangeDrag::None;
}

bool RangePicker::CorrectForView(RangeView view)
{
    const TNoteRec low = RangeLow;
    const TNoteRec high = RangeHigh;
    if (view == RangeView::Guitar) {
        if (HighNote() > kRangeGuitarHighest)
            RangeHigh.Pitch = Marker(kRangeGuitarHighest).Pitch;
        if (LowNote() >= kRangeGuitarHighest)
            RangeLow.Pitch = Marker(kRangeGuitarHighest - 1).Pitch;
    } else {
        if (LowNote() < kRangePianoLowest)
            RangeLow.Pitch = Marker(kRangePianoLowest).Pitch;
        if (HighNote() < kRangePianoLowest + 1)
            RangeHigh.Pitch = Marker(kRangePianoLowest + 1).Pitch;
    }
    return !(low == RangeLow && high == RangeHigh);
}

StaffDisplayList RangePicker::DrawRangeOnStaff(int width)
{
    StaffDisplayList list;
    list.Area = QRect(0, 0, width, kRangeStaffHeight);
    list.LineSpacing = kRangeStaffLineSpacing;
    list.HeadWidth = 11;
    const int right = width - 4;
    for (const int y : kRangeTrebleLines)
        list.Lines.push_back({StaffLineKind::Staff, QLine(16, y, right, y)});
    for (const int y : kRangeBassLines)
        list.Lines.push_back({StaffLineKind::Staff, QLine(16, y, right, y)});
    list.Lines.push_back(
        {StaffLineKind::Joiner, QLine(15, kRangeTrebleLines.front(), 15, kRangeBassLines.back())});
    list.Glyphs.push_back(
        {StaffGlyph::Brace, QPoint(2, kRangeTrebleLines.front()), QPoint(),
         QRect(QPoint(2, kRangeTrebleLines.front()), QPoint(14, kRangeBassLines.back() + 1))});
    list.Glyphs.push_back({StaffGlyph::TrebleClef, QPoint(18, kRangeTrebleLines[3] - 30),
                           QPoint(18, kRangeTrebleLines[3]), QRect()});
    list.Glyphs.push_back({StaffGlyph::BassClef, QPoint(18, kRangeBassLines[1] - 8),
                           QPoint(18, kRangeBassLines[1]), QRect()});

    const auto written = [](const TNoteRec& marker) {
        return marker.Pitch.Note + marker.Pitch.Shift;
    };
    const int lowY = StaffRangeHeadY(written(RangeLow));
    const int highY = StaffRangeHeadY(written(RangeHigh));
    const bool sideBySide = std::abs(lowY - highY) < kSideBySide;
    RangeLow.X = kRangeStaffHeadX;
    RangeLow.Y = lowY;
    RangeHigh.X = sideBySide ? kRangeStaffHeadAsideX : kRangeStaffHeadX;
    RangeHigh.Y = highY;
    const bool lowSign = RangeLow.Pitch.Shift != 0;
    const bool highSign = RangeHigh.Pitch.Shift != 0;
    const bool crowded = std::abs(lowY - highY) < kSignsCrowded;
    for (TNoteRec* marker : {&RangeLow, &RangeHigh}) {
        const bool bass = written(*marker) < 60;
        AddLedgers(list, marker->X, marker->Y, bass);
        list.Glyphs.push_back({StaffGlyph::WholeNote, QPoint(marker->X - 6, marker->Y - 4),
                               QPoint(marker->X, marker->Y), QRect()});
        if (marker->Pitch.Shift == 0)
            continue;
        int signRight = marker->X - 8;
        if (marker == &RangeHigh && crowded && lowSign && highSign)
            signRight -= kSignGap;
        // A shift of +1 is written a letter above: the sign lowers it, a flat.
        list.Glyphs.push_back({SignOf(-marker->Pitch.Shift), QPoint(signRight - 8, marker->Y - 13),
                               QPoint(signRight, marker->Y), QRect()});
    }
    return list;
}

} // namespace pv
