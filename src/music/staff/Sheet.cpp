// Grand-staff geometry: where heads, signs, ledger and bar lines go, and pitches from points.
#include "music/staff/Sheet.h"

#include "music/base/Log.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Spelling.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

namespace pv {

namespace {

// Letters a key signature alters, in the order the signs are added (pitch classes).
constexpr std::array<int, 6> kSharpOrder = {5, 0, 7, 2, 9, 4}; // F C G D A E
constexpr std::array<int, 6> kFlatOrder = {11, 4, 9, 2, 7, 0}; // B E A D G C

constexpr int kMinSpacing = 25;
constexpr int kMaxSpacing = 46;
constexpr int kSidewaysOffset = 14;
constexpr int kColumnWidth = 9;
constexpr int kLedgerHalfWidth = 10;
constexpr std::uint32_t kKeyNameGrey = 0x808080;

int FloorDiv(int value, int divisor)
{
    const int q = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? q - 1 : q;
}

const std::array<TKeySpelling, 12>& SpellingTable(int k)
{
    return k > 0 ? SharpKeySpelling : FlatKeySpelling;
}

int StepOf(int written, int k)
{
    return SpellingTable(k)[static_cast<std::size_t>(PositiveMod(written, 12))].Step;
}

std::int8_t ClampToI8(int value)
{
    return static_cast<std::int8_t>(
        std::clamp(value, static_cast<int>(INT8_MIN), static_cast<int>(INT8_MAX)));
}

enum class Sign
{
    None,
    Flat,
    DoubleFlat,
    Sharp,
    DoubleSharp,
    Natural,
    NaturalFlat,
    NaturalSharp,
};

Sign SignOf(int alteration)
{
    switch (alteration) {
    case -2:
        return Sign::DoubleFlat;
    case -1:
        return Sign::Flat;
    case 1:
        return Sign::Sharp;
    case 2:
        return Sign::DoubleSharp;
    default:
        return Sign::None;
    }
}

// The natural pitches (octave included) at which a sign of each kind was shown in this bar.
// A pitch is in at most one of the three: the last sign shown there counts.
class BarSigns
{
public:
    bool Sharp(int pitch) const { return Has(m_sharps, pitch); }
    bool Flat(int pitch) const { return Has(m_flats, pitch); }
    bool Natural(int pitch) const { return Has(m_naturals, pitch); }

    void Show(Sign sign, int pitch)
    {
        switch (sign) {
        case Sign::Flat:
        case Sign::NaturalFlat:
            Put(m_flats, pitch);
            break;
        case Sign::Sharp:
        case Sign::NaturalSharp:
            Put(m_sharps, pitch);
            break;
        case Sign::Natural:
            Put(m_naturals, pitch);
            break;
        default:
            // Double signs leave the bar's memory alone: a later single sign at that pitch is
            // then written out again, which is what a reader needs after a double sign.
            break;
        }
    }

    void Clear()
    {
        m_sharps.clear();
        m_flats.clear();
        m_naturals.clear();
    }

private:
    static bool Has(const std::vector<int>& set, int pitch)
    {
        return std::find(set.begin(), set.end(), pitch) != set.end();
    }
    void Put(std::vector<int>& set, int pitch)
    {
        for (auto* other : {&m_sharps, &m_flats, &m_naturals})
            other->erase(std::remove(other->begin(), other->end(), pitch), other->end());
        set.push_back(pitch);
    }

    std::vector<int> m_sharps;
    std::vector<int> m_flats;
    std::vector<int> m_naturals;
};

// What the drawing remembers of a note it has placed, for the rules that look back.
struct Placed
{
    bool Valid = false;
    int Y = 0;
    bool Sideways = false;
    int Column = kNoAccidentalColumn;
    int ColumnWidth = 1;
};

// The note back places before i, when it is in the same bar and stands on the staff.
const Placed* PlacedBack(std::span<const Placed> placed, int i, int barStart, int back)
{
    const int j = i - back;
    return j >= barStart && placed[static_cast<std::size_t>(j)].Valid
               ? &placed[static_cast<std::size_t>(j)]
               : nullptr;
}

// In a chord a head stands sideways when it lies within a step of the previous head, or when
// it is the fourth above the root of a cluster of three or more with the fifth right after it;
// never next to a head that already stands sideways.
bool StandsSideways(std::span<const TNoteRec> notes, int i, int barStart, const Placed* previous,
                    int y, int lineSpacing)
{
    if (!previous || previous->Sideways)
        return false;
    const auto ui = static_cast<std::size_t>(i);
    const int count = static_cast<int>(notes.size());
    int barEnd = i;
    while (barEnd + 1 < count && notes[static_cast<std::size_t>(barEnd)].BarLine == 0)
        ++barEnd;
    const int chordRoot = notes[static_cast<std::size_t>(barStart)].Pitch.Note;
    const int note = notes[ui].Pitch.Note;
    const bool cluster = note - chordRoot == 5 && barEnd - barStart + 1 >= 3 && i < barEnd &&
                         notes[ui + 1].Pitch.Note - note == 2;
    return std::abs(y - previous->Y) < lineSpacing || cluster;
}

// The sign a note needs: decided against the key (altered: the key signature alters the note's
// letter) and what this bar has shown already at the written pitch.
Sign ChooseAccidental(int alteration, int written, bool altered, int keySignature, bool repeated,
                      const BarSigns& signs)
{
    if (alteration < -2 || alteration > 2)
        return Sign::None;
    if ((!altered || signs.Natural(written)) && !signs.Sharp(written) && !signs.Flat(written))
        return alteration != 0 && !repeated ? SignOf(alteration) : Sign::None;
    if (alteration == -1) {
        // After a sharp at this pitch the flat needs its natural first, also at a letter the
        // flat key alters.
        if (signs.Sharp(written))
            return Sign::NaturalFlat;
        const bool keyHasIt = keySignature < 0 && altered && !signs.Natural(written);
        return keyHasIt || signs.Flat(written) ? Sign::None : Sign::Flat;
    }
    if (alteration == 0)
        return Sign::Natural;
    if (alteration == 1) {
        if (signs.Flat(written))
            return Sign::NaturalSharp;
        const bool keyHasIt = keySignature > 0 && altered && !signs.Natural(written);
        return keyHasIt || signs.Sharp(written) ? Sign::None : Sign::Sharp;
    }
    return SignOf(alteration);
}

// Columns a sign takes left of its head.
int AccidentalWidth(Sign sign)
{
    return sign == Sign::DoubleFlat || sign == Sign::NaturalFlat || sign == Sign::NaturalSharp ? 2
                                                                                               : 1;
}

// The column (0 next to the head) of a chord note's sign: within three spaces of the previous
// note's sign it moves left past that sign (past the note before when the previous has none);
// a sign already two columns out lets the next start again next to its head.
int AccidentalColumn(const Placed* previous, const Placed* beforeThat, int y, int lineSpacing)
{
    if (!previous)
        return 0;
    if (std::abs(previous->Y - y) < 3 * lineSpacing && previous->Column < 2)
        return previous->Column + previous->ColumnWidth;
    if (previous->Column == kNoAccidentalColumn && beforeThat &&
        std::abs(beforeThat->Y - y) < 3 * lineSpacing && beforeThat->Column < 2)
        return beforeThat->Column + beforeThat->ColumnWidth;
    return 0;
}

// The glyphs of a sign in the column whose right edge is sx, for a head at height y.
void AddAccidental(StaffDisplayList& list, Sign sign, int sx, int y)
{
    auto add = [&](StaffGlyph glyph, int ax, int ay, int rightEdge) {
        list.Glyphs.push_back({glyph, QPoint(ax, ay), QPoint(rightEdge, y), {}});
    };
    switch (sign) {
    case Sign::Flat:
        add(StaffGlyph::Flat, sx - 8, y - 17, sx - 1);
        break;
    case Sign::DoubleFlat:
        add(StaffGlyph::DoubleFlat, sx - 15, y - 17, sx - 1);
        break;
    case Sign::Sharp:
        add(StaffGlyph::Sharp, sx - 9, y - 13, sx - 1);
        break;
    case Sign::DoubleSharp:
        add(StaffGlyph::DoubleSharp, sx - 10, y - 5, sx - 1);
        break;
    case Sign::Natural:
        add(StaffGlyph::Natural, sx - 8, y - 14, sx - 1);
        break;
    case Sign::NaturalFlat:
        add(StaffGlyph::Natural, sx - 16, y - 14, sx - 9);
        add(StaffGlyph::Flat, sx - 8, y - 17, sx - 1);
        break;
    case Sign::NaturalSharp:
        add(StaffGlyph::Natural, sx - 17, y - 14, sx - 10);
        add(StaffGlyph::Sharp, sx - 9, y - 13, sx - 1);
        break;
    case Sign::None:
        break;
    }
}

} // namespace

struct TSheet::HeadPlace
{
    int ColumnX = 0;
    int CentreX = 0;
    int Y = 0;
    bool Bass = false;
    bool Sideways = false;
};

TSheet::TSheet(const IKeyState& keys, NoteSpacing& spacing) : m_keys(keys), m_spacing(&spacing)
{
    SetLineSpacing(10);
}

void TSheet::SetControlSize(int width, int height)
{
    m_width = std::max(0, width);
    m_height = std::max(0, height);
}

void TSheet::SetKeySignature(int k)
{
    m_keySignature = std::clamp(k, -6, 6);
}

void TSheet::SetKeyRoot(int root)
{
    m_keyRoot = PositiveMod(root, 12);
}

int TSheet::NotesLeft() const
{
    return m_showKeySignature ? 51 + 8 * std::abs(m_keySignature) + 10 : 61;
}

void TSheet::SetKeyNameWords(const QString& major, const QString& minor)
{
    m_majorWord = major;
    m_minorWord = minor;
}

int TSheet::Transposition() const
{
    return ((m_keyRoot + 41) % 12) - 5;
}

int TSheet::HeadWidth() const
{
    // The heads are 1.19 staff spaces wide, rounded to whole pixels.
    return (119 * m_lineSpacing + 50) / 100;
}

void TSheet::SetLineSpacing(int spacing)
{
    // The head heights halve the spacing; only the even spacings 8 and 10 are in use.
    const int L = std::max(2, spacing);
    m_lineSpacing = L;
    m_staffGap = 4 * L + 3;
    m_flatHeights = {2 * L - 20, L / 2 - 20, 5 * L / 2 - 20, L - 20, 3 * L - 20, 3 * L / 2 - 20};
    m_sharpHeights = {-14, 3 * L / 2 - 14, -14 - L / 2, L - 14, 5 * L / 2 - 14, L / 2 - 14};
}

void TSheet::ArrangeStaves(int high, bool wide)
{
    const int need = std::max(wide ? 180 : 162, ((high - 84) * 30) / 8 + 162);
    SetLineSpacing(need < m_height ? 10 : 8);
    const int L = m_lineSpacing;
    const int G = m_staffGap;
    const int H = m_height;
    if (H >= 10 * L + G) {
        m_top = wide ? (2 * (std::max(high, 84) - 84) / 7) * L + (H - (8 * L + G)) / 3
                     : 2 * (H - (8 * L + G)) / 3;
    } else {
        m_top = m_clefMode >= 0 ? H / 2 - 2 * L : 2 * H / 3 - (6 * L + G);
    }
}

std::pair<int, int> TSheet::ContentRows(std::span<const TNoteRec> notes) const
{
    const int L = m_lineSpacing;
    // The treble clef reaches about two spaces above the top line; the brace ends one pixel
    // under the bass staff.
    int top = m_top - 2 * L;
    int bottom = StaffBottom() + 1;
    for (const TNoteRec& note : notes) {
        if (note.Pitch.Note == 0)
            continue;
        const int written = note.Pitch.Note - Transposition() + note.Pitch.Shift;
        const int y = HeadY(written, OnBassStaff(note));
        // A head and its ledger line take half a space either way; stems point towards the
        // staff, so a note outside the staves reaches no farther than its head.
        top = std::min(top, y - L);
        bottom = std::max(bottom, y + L);
    }
    return {top, bottom};
}

void TSheet::FitStaves(std::span<const TNoteRec> notes, int roomBelow)
{
    const auto [top, bottom] = ContentRows(notes);
    const int height = bottom - top + std::max(0, roomBelow);
    if (height > m_height)
        return;
    // Every row of the content moves with the top line, so one shift centres them all.
    m_top += (m_height - height) / 2 - top;
}

bool TSheet::KeyAlters(int letterClass) const
{
    const int k = m_keySignature;
    if (k > 0)
        return std::find(kSharpOrder.begin(), kSharpOrder.begin() + k, letterClass) !=
               kSharpOrder.begin() + k;
    if (k < 0)
        return std::find(kFlatOrder.begin(), kFlatOrder.begin() - k, letterClass) !=
               kFlatOrder.begin() - k;
    return false;
}

bool TSheet::OnBassStaff(const TNoteRec& note) const
{
    if (m_clefMode < 0)
        return true;
    if (m_clefMode > 0)
        return note.Staff == 1;
    const int written = note.Pitch.Note - Transposition() + note.Pitch.Shift;
    return written < 60 || note.Staff == 1;
}

int TSheet::HeadY(int written, bool bass) const
{
    const int L = m_lineSpacing;
    const int octave = FloorDiv(written, 12);
    const int step = StepOf(written, m_keySignature);
    // All halves are summed before the one division, so the result is exact for even L.
    const int doubled = (10 - 7 * (octave - 6)) * L + 2 * m_top - 7 * L - L * step;
    return FloorDiv(doubled, 2) + (bass ? m_staffGap - 2 * L : 0);
}

StaffDisplayList TSheet::NewList(QRect area) const
{
    StaffDisplayList list;
    list.Area = area;
    list.LineSpacing = m_lineSpacing;
    list.HeadWidth = HeadWidth();
    return list;
}

void TSheet::AddStaves(StaffDisplayList& list, int left, int right) const
{
    const int L = m_lineSpacing;
    const int bassTop = m_top + 4 * L + m_staffGap;
    for (int i = 0; i < 5; ++i) {
        list.Lines.push_back(
            {StaffLineKind::Staff, QLine(left, m_top + i * L, right, m_top + i * L)});
        list.Lines.push_back(
            {StaffLineKind::Staff, QLine(left, bassTop + i * L, right, bassTop + i * L)});
    }
}

void TSheet::AddClefsAndKey(StaffDisplayList& list) const
{
    const int T = m_top;
    const int L = m_lineSpacing;
    const int G = m_staffGap;
    list.Lines.push_back({StaffLineKind::Joiner, QLine(15, T, 15, T + 8 * L + G)});

    StaffGlyphItem brace;
    brace.Glyph = StaffGlyph::Brace;
    brace.Box = QRect(QPoint(2, T), QPoint(14, T + 8 * L + G + 1));
    brace.Anchor = brace.Box.topLeft();
    brace.At = brace.Anchor;
    list.Glyphs.push_back(brace);

    list.Glyphs.push_back(
        {StaffGlyph::TrebleClef, QPoint(18, T + 3 * L - 44), QPoint(18, T + 3 * L), {}});
    list.Glyphs.push_back(
        {StaffGlyph::BassClef, QPoint(18, T + 5 * L + G - 9), QPoint(18, T + 5 * L + G), {}});

    if (m_showKeySignature) {
        const int k = m_keySignature;
        const int count = std::abs(k);
        for (int i = 0; i < count; ++i) {
            const int x = 51 + 8 * i;
            const auto idx = static_cast<std::size_t>(i);
            // The sheet's own pictures of a flat and a sharp sit 18 and 13 pixels above the
            // line or space they alter, and are 8 pixels wide.
            const int y = k < 0 ? T + m_flatHeights[idx] + 2 : T + m_sharpHeights[idx] + 1;
            const int ref = k < 0 ? y + 18 : y + 13;
            const StaffGlyph glyph = k < 0 ? StaffGlyph::Flat : StaffGlyph::Sharp;
            for (int staffShift : {0, 5 * L + G})
                list.Glyphs.push_back(
                    {glyph, QPoint(x, y + staffShift), QPoint(x + 7, ref + staffShift), {}});
        }
        if (m_showKeyName) {
            StaffText name;
            name.Text = KeyName();
            name.At = QPoint(38, T + 4 * L + G / 2);
            name.PointSize = 7;
            name.Rgb = kKeyNameGrey;
            list.Texts.push_back(name);
        }
    }
}

void TSheet::AddLedgerLines(StaffDisplayList& list, TPitch written, bool bass, int headX) const
{
    const TStaffPosition where = StaffPosition(written, bass);
    const int T = m_top;
    const int L = m_lineSpacing;
    const int G = m_staffGap;
    for (int j = 1; j <= where.Count; ++j) {
        int y = 0;
        switch (where.Where) {
        case TStaffPosition::AboveTreble:
            y = T - j * L;
            break;
        case TStaffPosition::BelowTreble:
            y = T + 4 * L + j * L;
            break;
        case TStaffPosition::AboveBass:
            y = T + 4 * L + G - j * L;
            break;
        case TStaffPosition::BelowBass:
            y = T + 8 * L + G + j * L;
            break;
        case TStaffPosition::None:
            return;
        }
        list.Lines.push_back({StaffLineKind::Ledger,
                              QLine(headX - kLedgerHalfWidth, y, headX + kLedgerHalfWidth, y)});
    }
}

void TSheet::AddStems(StaffDisplayList& list, std::span<const HeadPlace> heads) const
{
    // Heads of one column on one staff share a stem. It goes up when a head stands sideways
    // (those heads lie right of an up stem) and otherwise away from the head farthest from the
    // staff's middle line, down when the farthest lies on or above it.
    const int L = m_lineSpacing;
    const int reach = (L * 3 + 1) / 2 + L * 2; // three and a half spaces
    const int edge = (HeadWidth() - 1) / 2;
    std::size_t first = 0;
    while (first < heads.size()) {
        std::size_t last = first;
        while (last + 1 < heads.size() && heads[last + 1].ColumnX == heads[first].ColumnX &&
               heads[last + 1].Bass == heads[first].Bass)
            ++last;
        int minY = std::numeric_limits<int>::max();
        int maxY = std::numeric_limits<int>::min();
        bool sideways = false;
        int centreX = heads[first].CentreX;
        for (std::size_t i = first; i <= last; ++i) {
            minY = std::min(minY, heads[i].Y);
            maxY = std::max(maxY, heads[i].Y);
            sideways = sideways || heads[i].Sideways;
            if (!heads[i].Sideways)
                centreX = heads[i].CentreX;
        }
        const int middle = heads[first].Bass ? m_top + 6 * L + m_staffGap : m_top + 2 * L;
        const bool down = !sideways && (middle - minY) >= (maxY - middle);
        if (down)
            list.Lines.push_back(
                {StaffLineKind::Stem, QLine(centreX - edge, minY, centreX - edge, maxY + reach)});
        else
            list.Lines.push_back(
                {StaffLineKind::Stem, QLine(centreX + edge, maxY, centreX + edge, minY - reach)});
        first = last + 1;
    }
}

int TSheet::ArrangeNoteSpacing(std::span<const TNoteRec> notes, int room)
{
    const auto bars = static_cast<int>(std::count_if(
        notes.begin(), notes.end(), [](const TNoteRec& note) { return note.BarLine != 0; }));
    const int count = static_cast<int>(notes.size());
    // Chords keep the shared spacing unless there are bars to spread over the room.
    if (!m_fixedSpacing)
        m_spacing->Value = std::clamp(room / (count + 1 + bars), kMinSpacing, kMaxSpacing);
    else if (bars > 0)
        m_spacing->Value = std::clamp(room / (3 * bars), kMinSpacing, kMaxSpacing);
    return m_spacing->Value;
}

void TSheet::AddHead(StaffDisplayList& list, TNoteRec& note, int x, int y, bool bass, bool sideways,
                     std::vector<HeadPlace>& stemmed) const
{
    const int L = m_lineSpacing;
    const int side = sideways ? kSidewaysOffset : 0;
    const int sounding = note.Pitch.Note - Transposition();
    const int headX = x + 8 + side - (L < 9 ? 1 : 0);
    AddLedgerLines(list, TPitch{ClampToI8(sounding), note.Pitch.Shift}, bass, headX);
    StaffGlyphItem head;
    if (note.Duration <= 1) {
        head.Glyph = L < 9 ? StaffGlyph::WholeNoteSmall : StaffGlyph::WholeNote;
        head.Anchor = QPoint(x + side, y - 4);
    } else {
        head.Glyph = note.Duration == 2 ? StaffGlyph::HalfNote : StaffGlyph::QuarterNote;
        head.Anchor = QPoint(x + side, y - 32);
        stemmed.push_back({x, headX, y, bass, sideways});
    }
    head.At = QPoint(headX, y);
    list.Glyphs.push_back(head);
    note.X = headX;
    note.Y = y;
    note.Sideways = sideways ? 1 : 0;
}

void TSheet::AddBarLine(StaffDisplayList& list, int x, int barLine) const
{
    const int bottom = StaffBottom() + 1;
    list.Lines.push_back({StaffLineKind::BarLine, QLine(x, m_top, x, bottom)});
    if (barLine > 1)
        list.Lines.push_back({StaffLineKind::BarLine, QLine(x - 3, m_top, x - 3, bottom)});
}

StaffDisplayList TSheet::Draw(std::span<TNoteRec> notes, int count)
{
    StaffDisplayList list = NewList(QRect(0, 0, m_width, m_height));
    if (m_height <= 0) {
        list.ClearArea = false;
        return list;
    }
    count = std::clamp(count, 0, static_cast<int>(notes.size()));
    notes = notes.first(static_cast<std::size_t>(count));
    const int L = m_lineSpacing;
    const int W = m_width - 18;
    const int x0 = NotesLeft();
    const int trans = Transposition();

    AddStaves(list, 16, W);
    AddClefsAndKey(list);
    const int S = ArrangeNoteSpacing(notes, W - x0);

    std::vector<Placed> placed(notes.size());
    std::vector<HeadPlace> stemmed;
    BarSigns signs;
    int x = x0 + S;
    int barStart = 0;
    for (int i = 0; i < count; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        TNoteRec& note = notes[ui];
        if (note.Pitch.Note == 0) {
            note.X = x;
        } else {
            if (m_insertPosition == i + 1)
                x += S;
            // Shorter notes are not written on this staff: the list ends before them.
            if (note.Duration > 3)
                break;
            const int sounding = note.Pitch.Note - trans;
            const int written = sounding + note.Pitch.Shift;
            const bool bass = OnBassStaff(note);
            const int y = HeadY(written, bass);
            const Placed* previous = PlacedBack(placed, i, barStart, 1);
            const bool sideways =
                m_fixedSpacing && StandsSideways(notes, i, barStart, previous, y, L);
            AddHead(list, note, x, y, bass, sideways, stemmed);

            const bool repeated = i > barStart && notes[ui - 1].Pitch == note.Pitch;
            const bool altered = m_showKeySignature && KeyAlters(PositiveMod(written, 12));
            const Sign sign = ChooseAccidental(sounding - written, written, altered, m_keySignature,
                                               repeated, signs);
            if (!m_fixedSpacing)
                signs.Show(sign, written);
            int column = kNoAccidentalColumn;
            if (sign != Sign::None) {
                column = m_fixedSpacing
                             ? AccidentalColumn(previous, PlacedBack(placed, i, barStart, 2), y, L)
                             : 0;
                AddAccidental(list, sign, x - kColumnWidth * column, y);
            }
            note.AccidentalColumn = static_cast<std::uint8_t>(column);
            placed[ui] = {true, y, sideways, column, AccidentalWidth(sign)};
        }

        if (!m_fixedSpacing)
            x += S;
        if (note.BarLine != 0) {
            x += m_fixedSpacing ? 2 * S : 3;
            barStart = i + 1;
            if (W - x < 50) {
                x = W;
                if (i + 1 < count) {
                    // No room for another bar: the notes that follow lie off the staff.
                    for (TNoteRec& offStaff : notes.subspan(ui + 1))
                        offStaff.X = 2 * W;
                    break;
                }
            }
            AddBarLine(list, x, note.BarLine);
            x += S - 3;
            signs.Clear();
        }
    }
    AddStems(list, stemmed);
    if (m_insertPosition == 0)
        m_redrawX = x + 50;
    return list;
}

StaffDisplayList TSheet::DrawNote(TPitch pitch, [[maybe_unused]] int level, bool erase, int x)
{
    const int half = m_wideNotes ? 30 : 20;
    StaffDisplayList list = NewList(QRect(x - half, 0, 2 * half, m_height));
    if (m_height <= 0) {
        list.ClearArea = false;
        return list;
    }
    const int left = std::max(16, x - half);
    const int right = std::min(m_width - 18, x + half);
    if (left < right)
        AddStaves(list, left, right);
    if (erase)
        return list;

    const int L = m_lineSpacing;
    const int sounding = pitch.Note - Transposition();
    const int written = sounding + pitch.Shift;
    // The note being dragged stays on the staff it was read from.
    const bool bass = m_lastClef < 0 ||
                      (m_lastClef == 0 && (m_clefMode < 0 || (m_clefMode == 0 && written < 60)));
    const int y = HeadY(written, bass);
    const int headX = x + 8 - (L < 9 ? 1 : 0);
    AddLedgerLines(list, TPitch{ClampToI8(sounding), pitch.Shift}, bass, headX);
    list.Glyphs.push_back({L < 9 ? StaffGlyph::WholeNoteSmall : StaffGlyph::WholeNote,
                           QPoint(x, y - 4),
                           QPoint(headX, y),
                           {}});
    switch (sounding - written) {
    case -2:
        list.Glyphs.push_back(
            {StaffGlyph::DoubleFlat, QPoint(x - 15, y - 17), QPoint(x - 1, y), {}});
        break;
    case -1:
        list.Glyphs.push_back({StaffGlyph::Flat, QPoint(x - 8, y - 17), QPoint(x - 1, y), {}});
        break;
    case 1:
        list.Glyphs.push_back({StaffGlyph::Sharp, QPoint(x - 9, y - 13), QPoint(x - 1, y), {}});
        break;
    case 2:
        list.Glyphs.push_back(
            {StaffGlyph::DoubleSharp, QPoint(x - 10, y - 5), QPoint(x - 1, y), {}});
        break;
    default:
        break;
    }
    return list;
}

TStaffPosition TSheet::StaffPosition(TPitch pitch, bool bass) const
{
    const int p = pitch.Note + pitch.Shift;
    const int step = StepOf(p, m_keySignature);
    TStaffPosition result;
    // Floor division: a truncated quotient of a negative number would give very low notes too
    // few ledger lines.
    if (bass) {
        if (p > 59)
            result = {(FloorDiv(p - 60, 12) * 7 + step + 2) / 2, TStaffPosition::AboveBass};
        else if (p < 42)
            result = {(11 - step - 7 * FloorDiv(p - 24, 12)) / 2, TStaffPosition::BelowBass};
    } else {
        if (p > 79)
            result = {(FloorDiv(p - 72, 12) * 7 + step - 3) / 2, TStaffPosition::AboveTreble};
        else if (p < 61)
            result = {(16 - step - 7 * FloorDiv(p - 36, 12)) / 2, TStaffPosition::BelowTreble};
    }
    if (result.Count <= 0)
        result = {};
    return result;
}

int TSheet::PitchFromY(int y, int& accidental)
{
    const int T = m_top;
    const int L = m_lineSpacing;
    const int G = m_staffGap;
    y = std::max(y, 5);
    const bool forced = m_lastClef < -1 || m_lastClef > 1;
    const bool treble = forced ? m_lastClef > 1 : 2 * y < 2 * (T + 4 * L) + G;
    auto noteOfStep = [](int t) {
        return 12 * (t / 7) + 12 + MajorScaleSteps[static_cast<std::size_t>(t % 7)];
    };
    int note = 0;
    if (!treble) {
        // A drag captured below the control reaches far below the staff: the step is held at 0
        // rather than indexing before the scale table.
        const int t = std::max(0, (2 * (T + 4 * L + G + 13 * L - (y - 2))) / L);
        note = noteOfStep(t);
        note = std::min(note, std::min(72, m_highestNote));
        note = std::max(note, m_lowestNote);
        if (!forced)
            m_lastClef = -1;
    } else {
        const int t = std::max(0, (2 * (T + 19 * L - (y - 3))) / L);
        note = noteOfStep(t);
        note = std::max(note, std::max(48, m_lowestNote));
        note = std::min(note, m_highestNote);
        if (!forced)
            m_lastClef = 1;
    }

    int keyShift = 0;
    int chosen = m_accidental;
    if (m_showKeySignature && KeyAlters(PositiveMod(note, 12))) {
        if (m_keySignature > 0) {
            note += 1;
            keyShift = -1;
            if (chosen == 2)
                chosen = 1;
        } else {
            note -= 1;
            keyShift = 1;
            if (chosen == -2)
                chosen = -1;
        }
    }
    note += chosen;
    accidental = keyShift - chosen;
    return note;
}

TPitch TSheet::NoteAtPoint(int x, int y, bool insert, int count, std::span<const TNoteRec> notes)
{
    m_accidental = 0;
    m_anchorX = x;
    if (insert && !m_fixedSpacing) {
        count = std::clamp(count, 0, static_cast<int>(notes.size()));
        int index = 0;
        while (index < count && notes[static_cast<std::size_t>(index)].X < x)
            ++index;
        m_insertPosition = index + 1;
        if (index < count)
            m_redrawX = notes[static_cast<std::size_t>(index)].X - 10;
        if (m_repaint)
            m_repaint();
    }
    y = std::min(y, m_height);
    int shift = 0;
    const int note = PitchFromY(y, shift) + Transposition();
    return TPitch{ClampToI8(note), ClampToI8(shift)};
}

bool TSheet::MoveNote(int x, int y, [[maybe_unused]] int level, TNoteRec& note)
{
    // The note's own accidental choice and the held keys, double flat first; each pair sets the
    // accidental and puts the anchor where a drag would have chosen it.
    static constexpr std::array<int, 5> kAnchorOffsets = {60, 34, 0, -34, -60};
    std::optional<int> chosen;
    for (int k = 0; k < 5; ++k) {
        if (note.AccidentalInput == 3 + k || m_keys.IsHeld(static_cast<AccidentalKey>(k))) {
            chosen = k - 2;
            m_anchorX = x + kAnchorOffsets[static_cast<std::size_t>(k)];
            break;
        }
    }
    const int previous = m_accidental;
    if (chosen) {
        m_accidental = *chosen;
    } else {
        const int d = x - m_anchorX;
        if (d > 80)
            m_anchorX = x - 80;
        else if (d < -80)
            m_anchorX = x + 80;
        else if (d > 45)
            m_accidental = 2;
        else if (d > 20)
            m_accidental = 1;
        else if (d >= -20)
            m_accidental = 0;
        else if (d >= -45)
            m_accidental = -1;
        else
            m_accidental = -2;
    }

    int shift = 0;
    const int pitch = PitchFromY(y, shift) + Transposition();
    const TPitch moved{ClampToI8(pitch), ClampToI8(shift)};
    bool changed = false;
    if (moved != note.Pitch) {
        if (m_noteOff) {
            const bool guitarLower = m_guitarView && !m_guitarSoundsAsWritten;
            m_noteOff(note.Pitch.Note - (guitarLower ? 12 : 0));
        }
        note.Pitch = moved;
        changed = true;
    }
    if (chosen && *chosen != previous && m_repaint)
        m_repaint();
    return changed;
}

bool TSheet::PointInStaves(int x, int y) const
{
    return x < NotesLeft() && m_top < y && y < m_top + 8 * m_lineSpacing + m_staffGap;
}

int TSheet::KeySpelling(int note) const
{
    // The key root moves what is written against what sounds; the key is read in that frame.
    return SpellInKey(note - m_keyRoot, m_keySignature, m_mode == 1).Shift;
}

int TSheet::SpellInScale(TPitch pitch, int offset, int k) const
{
    k = std::clamp(k, kMinKeySignature, kMaxKeySignature);
    const auto& table = k < 1 ? FlatKeySpelling : SharpKeySpelling;
    const int d = pitch.Note - m_keyRoot;
    const int w = d + pitch.Shift;
    // The scale's root lies offset semitones above the major tonic; its letter comes from the
    // tonic's letter and the degree, never from its pitch class alone: in six flats the fourth
    // degree is C flat, in six sharps the seventh is E sharp, neither of which a pitch-class
    // table can write.
    const int rootLetter = MajorTonicLetter(k) + DegreeLetters(offset);
    const int c = PositiveMod(w - (KeyTonicTable(k) + offset), 12);
    const int letter = rootLetter + table[static_cast<std::size_t>(c)].Step;
    const int r = ShiftToLetter(d, letter);
    // A shift beyond a double accidental has no sign and would be named "???": such a note is
    // written as the key writes it.
    if (r < -2 || r > 2)
        return SpellInKey(d, k, false).Shift;
    return r;
}

StaffDisplayList TSheet::DrawStepSizes(std::span<const TNoteRec> notes, int first, int second) const
{
    StaffDisplayList list = NewList(QRect(0, 0, m_width, m_height));
    list.ClearArea = false;
    const int size = static_cast<int>(notes.size());
    first = std::clamp(first, 0, size);
    second = std::clamp(second, 0, size - first);
    const int gapY = m_top + 4 * m_lineSpacing + m_staffGap / 2;
    // Below the bass staff means below its lowest head too: a scale that reaches under the
    // staff would otherwise have its last steps written over its own ledger lines.
    int lowest = StaffBottom();
    for (int j = 0; j < first + second; ++j) {
        const TNoteRec& note = notes[static_cast<std::size_t>(j)];
        if (note.Pitch.Note != 0)
            lowest = std::max(lowest, note.Y + m_lineSpacing / 2);
    }
    const int belowY = lowest + 2 * m_lineSpacing;
    auto run = [&](int begin, int length) {
        for (int j = begin; j + 1 < begin + length; ++j) {
            const TNoteRec& a = notes[static_cast<std::size_t>(j)];
            const TNoteRec& b = notes[static_cast<std::size_t>(j + 1)];
            QString text;
            switch (std::abs(b.Pitch.Note - a.Pitch.Note)) {
            case 1:
                text = QStringLiteral("\u00BD");
                break;
            case 2:
                text = QStringLiteral("1");
                break;
            case 3:
                text = QStringLiteral("1\u00BD");
                break;
            default:
                continue;
            }
            StaffText label;
            label.Text = text;
            label.Centred = true;
            label.PointSize = 8;
            label.At = QPoint((a.X + b.X) / 2, !OnBassStaff(a) && !OnBassStaff(b) ? gapY : belowY);
            list.Texts.push_back(label);
        }
    };
    run(0, first);
    run(first, second);
    return list;
}

QString TSheet::KeyName() const
{
    const bool minor = m_mode == 1;
    const int tonic = TonicPitchClass(m_keySignature, minor);
    const TPitch spelled = SpellOnLetter(60 + tonic, TonicLetter(m_keySignature, minor));
    const QString word = minor ? m_minorWord : m_majorWord;
    return NoteName(spelled) + QStringLiteral("-") + word.toLower();
}

} // namespace pv
