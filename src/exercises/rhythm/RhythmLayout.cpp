// Layout of a rhythm on a wrapping one-line staff: positions, line breaks, bar lines, beams,
// ties, dots, triplet brackets, rests, the bar underline and the result marks.
#include "exercises/rhythm/RhythmLayout.h"

#include "exercises/rhythm/TRytme.h"

#include <algorithm>

namespace pv {

namespace {

int ClampedValue(const RhythmNote& note)
{
    return std::clamp(static_cast<int>(note.Value), 1, 6);
}

/// Beams a note of this value carries: 1 for an eighth, 2 for a sixteenth, 3 for a
/// thirty-second; 0 for a quarter or longer.
int BeamCount(const RhythmNote& note)
{
    return std::max(0, ClampedValue(note) - 3);
}

bool Beamable(const RhythmNote& note)
{
    return note.Rest == 0 && note.BeamGroup != 0 && BeamCount(note) > 0;
}

int LineTop(int line)
{
    return line * kRhythmLineHeight;
}

int StemX(const RhythmNote& note)
{
    return note.X + kRhythmHeadWidth - 1;
}

QPoint HeadCentre(const RhythmNote& note)
{
    return {note.X + kRhythmHeadWidth / 2, LineTop(note.Line) + kRhythmStaffY};
}

// Ties run below the heads, since every stem points up.
constexpr int kTieY = kRhythmStaffY + 4;

RhythmGlyph RestGlyph(const RhythmNote& note)
{
    return static_cast<RhythmGlyph>(static_cast<int>(RhythmGlyph::WholeRest) + ClampedValue(note) -
                                    1);
}

/// Widths of the bar that follows entry i (0-based): as the line break judges it (beamed notes
/// at their narrower width, every dotted entry 3 wider) and as it will be drawn.
struct BarWidths
{
    int Judged = 0;
    int Drawn = 0;
    bool Last = false; ///< the rhythm's last bar, closed by the final bar line
};

BarWidths NextBarWidths(const std::vector<RhythmNote>& notes, std::size_t i, int spacing)
{
    BarWidths widths;
    for (std::size_t j = i + 1; j < notes.size(); ++j) {
        const RhythmNote& note = notes[j];
        const RhythmNoteWidths w = NoteWidths(spacing, note.Ticks);
        widths.Judged += note.BeamGroup != 0 ? w.S2 : w.S;
        widths.Drawn += w.S;
        if (note.Kind == 1) {
            widths.Judged += 3;
            if (spacing >= 2)
                widths.Drawn += 3;
        }
        if (note.BarEnd != 0) {
            widths.Last = j + 1 == notes.size();
            break;
        }
    }
    return widths;
}

/// Whether entry i (0-based) is the third note of a triplet group; the figure stands over the
/// group's middle note, which the generator marks.
bool EndsTriplet(const std::vector<RhythmNote>& notes, std::size_t i)
{
    return i >= 2 && notes[i].Kind == 2 && notes[i - 1].Kind == 2 && notes[i - 1].TripletMiddle &&
           notes[i - 2].Kind == 2;
}

/// Notes joined by one beam: consecutive beamable notes of one beam group on one line, with
/// unbeamed rests between them (a beam runs over a rest within its group) but never across a bar
/// line.
std::vector<std::vector<std::size_t>> BeamRuns(const std::vector<RhythmNote>& notes)
{
    std::vector<std::vector<std::size_t>> runs;
    std::size_t i = 0;
    while (i < notes.size()) {
        if (!Beamable(notes[i])) {
            ++i;
            continue;
        }
        std::vector<std::size_t> run{i};
        for (std::size_t j = i + 1; j < notes.size(); ++j) {
            const RhythmNote& next = notes[j];
            if (notes[j - 1].BarEnd != 0 || next.Line != notes[i].Line)
                break;
            if (next.Rest != 0 && next.BeamGroup == 0)
                continue;
            if (!Beamable(next) || next.BeamGroup != notes[i].BeamGroup)
                break;
            run.push_back(j);
        }
        i = run.back() + 1;
        runs.push_back(std::move(run));
    }
    return runs;
}

void AddStemsFlagsAndBeams(RhythmDisplayList& out, const std::vector<RhythmNote>& notes)
{
    std::vector<bool> beamed(notes.size(), false);
    for (const auto& run : BeamRuns(notes)) {
        if (run.size() < 2)
            continue;
        for (std::size_t i : run)
            beamed[i] = true;
        const int y = LineTop(notes[run.front()].Line);
        out.Lines.push_back(
            {RhythmLineKind::Beam, QLine(StemX(notes[run.front()]), y + kRhythmNoteTop,
                                         StemX(notes[run.back()]), y + kRhythmNoteTop)});
        // Second and third beams join neighbours that both carry them, over rests short enough
        // to carry them too; a note left alone at a level gets a partial beam, pointing into its
        // beat: right when it starts a beat or a part of one (BeamLevel 1), else left.
        for (int level = 2; level <= 3; ++level) {
            const int beamY = y + kRhythmNoteTop + (level - 1) * kRhythmBeamGap;
            std::vector<bool> joined(run.size(), false);
            for (std::size_t m = 0; m + 1 < run.size();) {
                // The longest stretch from member m whose neighbours all carry the beam.
                std::size_t last = m;
                while (last + 1 < run.size()) {
                    const std::size_t a = run[last];
                    const std::size_t b = run[last + 1];
                    bool carries = BeamCount(notes[a]) >= level && BeamCount(notes[b]) >= level;
                    for (std::size_t r = a + 1; r < b && carries; ++r)
                        carries = BeamCount(notes[r]) >= level;
                    if (!carries)
                        break;
                    ++last;
                }
                if (last == m) {
                    ++m;
                    continue;
                }
                for (std::size_t k = m; k <= last; ++k)
                    joined[k] = true;
                out.Lines.push_back({RhythmLineKind::Beam, QLine(StemX(notes[run[m]]), beamY,
                                                                 StemX(notes[run[last]]), beamY)});
                m = last;
            }
            for (std::size_t m = 0; m < run.size(); ++m) {
                const RhythmNote& note = notes[run[m]];
                if (joined[m] || BeamCount(note) < level)
                    continue;
                const bool right = m == 0 || (m + 1 < run.size() && note.BeamLevel == 1);
                const int sx = StemX(note);
                out.Lines.push_back({RhythmLineKind::Beam,
                                     right ? QLine(sx, beamY, sx + kRhythmHookLength, beamY)
                                           : QLine(sx - kRhythmHookLength, beamY, sx, beamY)});
            }
        }
    }

    for (std::size_t i = 0; i < notes.size(); ++i) {
        const RhythmNote& note = notes[i];
        if (note.Rest != 0 || ClampedValue(note) == 1)
            continue;
        const int y = LineTop(note.Line);
        const int sx = StemX(note);
        out.Lines.push_back(
            {RhythmLineKind::Stem, QLine(sx, y + kRhythmStaffY - 1, sx, y + kRhythmNoteTop)});
        if (beamed[i] || BeamCount(note) == 0)
            continue;
        const auto flag =
            static_cast<RhythmGlyph>(static_cast<int>(RhythmGlyph::Flag8) + BeamCount(note) - 1);
        const QPoint top(sx, y + kRhythmNoteTop);
        out.Glyphs.push_back({flag, top, top, static_cast<int>(i) + 1});
    }
}

/// x of the middle of the time signature's figures.
constexpr int kTimeSignatureX = 26;

/// The two figures of time-signature row 1..14 centred on x.
void AddTimeSignature(RhythmDisplayList& out, int row, int x)
{
    const TimeSignatureRow& sig =
        kTimeSignatureTable[static_cast<std::size_t>(std::clamp(row, 1, kTimeSignatureRows) - 1)];
    out.Texts.push_back({QString::number(sig.Numerator), QPoint(x, 31), 19});
    out.Texts.push_back({QString::number(sig.Denominator), QPoint(x, 51), 19});
}

/// The head or rest of entry i (0-based) at its X and Line, its dot, the tie from the entry
/// before and, on the third note of a triplet group, the group's bracket and figure.
void AddNoteGlyphs(RhythmDisplayList& out, const std::vector<RhythmNote>& notes, std::size_t i)
{
    const RhythmNote& note = notes[i];
    const int x = note.X;
    const int line = note.Line;
    const int y = LineTop(line);
    const int number = static_cast<int>(i) + 1;
    const bool dotted = note.Kind == 1;
    if (note.Rest != 0) {
        // A rest stands on the staff line, under a beam as well: the beams lie above the
        // stems' tops, clear of it, and a rest off the line reads as a different one.
        const int top = y + kRhythmRestTop;
        out.Glyphs.push_back(
            {RestGlyph(note), QPoint(x + 1, top), QPoint(x + 1, y + kRhythmStaffY), number});
        if (dotted)
            out.Glyphs.push_back(
                {RhythmGlyph::Dot, QPoint(x + 12, y + 36), QPoint(x + 13, y + 37), number});
    } else {
        const int value = ClampedValue(note);
        const RhythmGlyph head = value == 1   ? RhythmGlyph::WholeNote
                                 : value == 2 ? RhythmGlyph::HalfHead
                                              : RhythmGlyph::BlackHead;
        out.Glyphs.push_back({head, QPoint(x, y + kRhythmNoteTop), HeadCentre(note), number});
        if (dotted) {
            const int dotX = x + (value == 1 ? 16 : 14);
            out.Glyphs.push_back(
                {RhythmGlyph::Dot, QPoint(dotX - 1, y + 37), QPoint(dotX, y + 38), number});
        }
        if (i > 0 && notes[i - 1].Tied != 0 && notes[i - 1].Rest == 0) {
            const RhythmNote& previous = notes[i - 1];
            const bool sameLine = previous.Line == line;
            const int fromX = sameLine ? previous.X + kRhythmHeadWidth - 2 : kRhythmStaffLeft;
            out.Arcs.push_back({QPoint(fromX, y + kTieY), QPoint(x + 2, y + kTieY), !sameLine});
        }
    }

    if (EndsTriplet(notes, i)) {
        const RhythmNote& first = notes[i - 2];
        const RhythmNote& middle = notes[i - 1];
        const int left = (first.Line == line ? first.X : kRhythmFirstX) + 7;
        const int right = x + 9;
        out.Lines.push_back({RhythmLineKind::Bracket, QLine(left, y + 15, left, y + 10)});
        out.Lines.push_back({RhythmLineKind::Bracket, QLine(left, y + 10, right, y + 10)});
        out.Lines.push_back({RhythmLineKind::Bracket, QLine(right, y + 10, right, y + 15)});
        const int figureX = (middle.Line == line ? middle.X : x) + 6;
        out.Glyphs.push_back({RhythmGlyph::TripletFigure, QPoint(figureX, y + 2),
                              QPoint(figureX + 4, y + 6), static_cast<int>(i)});
    }
}

} // namespace

RhythmNoteWidths NoteWidths(int spacing, std::uint32_t ticks)
{
    const int t = static_cast<int>(std::min<std::uint32_t>(ticks, 1u << 20));
    switch (std::clamp(spacing, 0, 3)) {
    case 0:
        return {t / 8, t / 8};
    case 1:
        return {t / 21 + 13, t / 21 + 9};
    case 2:
        return {t / 45 + 15, t / 45 + 11};
    default:
        return {17, 13};
    }
}

RhythmDisplayList TRytme::Draw(int list, int width, int spacing)
{
    const std::size_t li = ListIndex(list);
    std::vector<RhythmNote>& notes = m_notes[li];
    BarsDrawn[li] = 0;

    RhythmDisplayList out;
    out.ClearArea = true;
    if (notes.empty()) {
        out.Area = QRect(0, 0, std::max(0, width), 0);
        return out;
    }

    AddTimeSignature(out, CurrentTimeSig, kTimeSignatureX);

    int x = kRhythmFirstX;
    int line = 0;
    int y = 0;
    int bar = 1;
    const std::size_t count = notes.size();
    for (std::size_t i = 0; i < count; ++i) {
        RhythmNote& note = notes[i];
        note.X = x;
        note.Line = line;
        const RhythmNoteWidths w = NoteWidths(spacing, note.Ticks);
        const bool dotted = note.Kind == 1;
        AddNoteGlyphs(out, notes, i);

        if (dotted && spacing >= 2)
            x += 3;
        if (note.BarEnd == 0) {
            x += w.S;
            continue;
        }
        x += w.S + 4;
        out.Lines.push_back(
            {RhythmLineKind::BarLine, QLine(x, y + kRhythmBarTop, x, y + kRhythmBarBottom)});
        // The positions kept are those of the bars a rhythm may have; more bars are drawn but
        // not recorded.
        if (bar < static_cast<int>(BarX[li].size())) {
            BarX[li][static_cast<std::size_t>(bar)] = x + 1;
            BarLine[li][static_cast<std::size_t>(bar)] = line;
            BarsDrawn[li] = bar;
        }
        ++bar;
        if (i + 1 == count)
            continue;
        // Judged alone, beamed notes at their narrower width would let a bar of them run past
        // the box and lose its end; a bar whose bar line would fall outside starts a new line.
        const BarWidths next = NextBarWidths(notes, i, spacing);
        const int nextBarLine = x + 9 + next.Drawn + 4 +
                                (next.Last ? kRhythmFinalBarGap + kRhythmFinalBarWidth - 1 : 0);
        if (width - x < next.Judged + 13 || nextBarLine > width - 1) {
            out.Lines.push_back({RhythmLineKind::Staff,
                                 QLine(kRhythmStaffLeft, y + kRhythmStaffY, x, y + kRhythmStaffY)});
            if (note.Tied != 0 && note.Rest == 0)
                out.Arcs.push_back({QPoint(note.X + kRhythmHeadWidth - 2, y + kTieY),
                                    QPoint(x - 2, y + kTieY), true});
            ++line;
            y = LineTop(line);
            x = kRhythmFirstX;
        } else {
            x += 9;
        }
    }

    // The rhythm closes with a thin and a thick line at the staff's end. The thin one is the
    // last bar's own line; a list that stops inside a bar (a damaged one) gets it after its
    // last note.
    if (notes.back().BarEnd == 0) {
        x -= 6;
        out.Lines.push_back(
            {RhythmLineKind::BarLine, QLine(x, y + kRhythmBarTop, x, y + kRhythmBarBottom)});
    }
    const int thick = x + kRhythmFinalBarGap;
    const int staffEnd = thick + kRhythmFinalBarWidth - 1;
    out.Lines.push_back({RhythmLineKind::Staff,
                         QLine(kRhythmStaffLeft, y + kRhythmStaffY, staffEnd, y + kRhythmStaffY)});
    out.Lines.push_back({RhythmLineKind::FinalBarLine,
                         QLine(thick, y + kRhythmBarTop, thick, y + kRhythmBarBottom)});
    AddStemsFlagsAndBeams(out, notes);
    out.Height = y + 65;
    out.Area = QRect(0, 0, std::max(0, width), *out.Height);
    return out;
}

namespace {

/// Notes laid out side by side without a staff, for a picture of their own; its area starts at
/// top and leaves a little room around the notes.
RhythmDisplayList FigurePicture(std::vector<RhythmNote> notes, int advance, int top)
{
    RhythmDisplayList out;
    int x = 3;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        notes[i].X = x;
        AddNoteGlyphs(out, notes, i);
        x += advance;
    }
    AddStemsFlagsAndBeams(out, notes);
    const int width = x - advance + kRhythmHeadWidth + 12;
    out.Area = QRect(0, top, width, kRhythmStaffY + 8 - top);
    return out;
}

} // namespace

RhythmDisplayList RhythmValuePicture(int value)
{
    RhythmNote note;
    note.Value = static_cast<std::uint8_t>(std::clamp(value, 1, 6));
    return FigurePicture({note}, 0, kRhythmNoteTop - 5);
}

RhythmDisplayList RhythmTripletPicture(int value)
{
    // Three notes of the value under one bracket; eighths and shorter share their beams.
    RhythmNote note;
    note.Value = static_cast<std::uint8_t>(std::clamp(value, 2, 5));
    note.Kind = 2;
    note.BeamGroup = note.Value >= 4 ? 1 : 0;
    std::vector<RhythmNote> notes(3, note);
    notes[0].BeamLevel = 1;
    notes[1].TripletMiddle = 1;
    return FigurePicture(std::move(notes), 15, 0);
}

RhythmDisplayList TimeSignaturePicture(int row)
{
    RhythmDisplayList out;
    AddTimeSignature(out, row, 14);
    out.Area = QRect(0, 18, 28, 46);
    return out;
}

RhythmDisplayList TRytme::MarkBar(int bar, int list, int width) const
{
    const std::size_t li = ListIndex(list);
    const auto& barX = BarX[li];
    const auto& barLine = BarLine[li];
    const int drawn = std::clamp(BarsDrawn[li], 0, static_cast<int>(barX.size()) - 1);
    const auto at = [](int b) { return static_cast<std::size_t>(b); };

    RhythmDisplayList out;
    const int lastLine = drawn > 0 ? barLine[at(drawn)] : 0;
    out.Area = QRect(0, 0, std::max(0, width), LineTop(lastLine + 1));

    if (bar < 1 || bar > Bars || bar > drawn) {
        for (int line = 0; line <= lastLine; ++line) {
            const int y = LineTop(line) + kRhythmUnderlineY;
            out.Lines.push_back({RhythmLineKind::Erase, QLine(40, y, width, y)});
        }
        return out;
    }

    // A bar's underline starts after the bar line before it, or at the staff's start when the
    // bar opens a line.
    const auto opensLine = [&](int b) { return b == 1 || barLine[at(b - 1)] != barLine[at(b)]; };
    if (bar > 1) {
        const int previous = bar - 1;
        const int y = LineTop(barLine[at(previous)]) + kRhythmUnderlineY;
        const int from = opensLine(previous) ? 42 : barX[at(previous - 1)];
        out.Lines.push_back({RhythmLineKind::Erase, QLine(from, y, barX[at(previous)] - 2, y)});
    }
    const int y = LineTop(barLine[at(bar)]) + kRhythmUnderlineY;
    const int from = opensLine(bar) ? 42 : barX[at(bar - 1)] + 2;
    out.Lines.push_back({RhythmLineKind::Underline, QLine(from, y, barX[at(bar)] - 2, y)});
    return out;
}

RhythmDisplayList TRytme::DrawResultMarks() const
{
    RhythmDisplayList out;
    const std::vector<RhythmNote>& notes = m_notes[0];
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const RhythmNote& note = notes[i];
        if (note.Result < RhythmResult::Late || note.Result > RhythmResult::Missed)
            continue;
        const auto glyph =
            static_cast<RhythmGlyph>(static_cast<int>(RhythmGlyph::ResultLate) + note.Result + 1);
        const QPoint anchor(note.X - 1, LineTop(note.Line) + kRhythmResultTop);
        const int half = kRhythmResultSize / 2;
        out.Glyphs.push_back({glyph, anchor, anchor + QPoint(half, half), static_cast<int>(i) + 1});
        out.Area |= QRect(anchor, QSize(kRhythmResultSize, kRhythmResultSize));
    }
    return out;
}

} // namespace pv
