// The identification window's staff: drawing state, labels, chord columns and mouse entry.
#include "exercises/identification/AkkordStaff.h"

#include "exercises/identification/AkkordLayout.h"
#include "exercises/identification/AkkordPlayback.h"
#include "exercises/progressions/ProgressionNaming.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <span>

namespace pv {

namespace {

/// Where a staff note comes from (the model's HeldSource).
constexpr std::uint8_t kHeldByStaff = 1;
constexpr int kMarkWidth = 32;
constexpr int kMarkHeight = 10;

bool IsHeld(const AkkordModel& model)
{
    return model.HeldNote.Pitch.Note != 0;
}

/// A pitch moved by the display offset, held within MIDI notes (a silent note stays silent).
TPitch Shown(TPitch pitch, int displayOffset)
{
    if (pitch.Note != 0) {
        pitch.Note = static_cast<std::int8_t>(std::clamp(pitch.Note - displayOffset, 1, 127));
    }
    return pitch;
}

TPitch Sounding(TPitch shown, int displayOffset)
{
    shown.Note = static_cast<std::int8_t>(std::clamp(shown.Note + displayOffset, 0, 127));
    return shown;
}

int StaffBottomY(const TSheet& sheet)
{
    return sheet.Top() + 8 * sheet.LineSpacing() + sheet.StaffGap();
}

/// Pixels between the lowest thing drawn and the labels under it.
constexpr int kLabelGap = 8;

/// The height of a label's frame: lines lines of text in it.
int LabelFrameHeight(const TextMeasure& measure, int lines)
{
    const int one = measure(QStringLiteral("Xy")).height();
    return one + 3 + (lines > 1 ? one - 3 : 0);
}

/// The first row under the staves and the drawn notes (their heads and ledger lines).
int RowUnderNotes(const TSheet& sheet, std::span<const TNoteRec> drawn)
{
    int bottom = StaffBottomY(sheet) + 1;
    for (const TNoteRec& note : drawn) {
        if (note.Pitch.Note != 0)
            bottom = std::max(bottom, note.Y + sheet.LineSpacing());
    }
    return bottom;
}

/// Moves a label by dx, dy.
void MoveLabel(StaffLabel& label, int dx, int dy)
{
    label.Frame.translate(dx, dy);
    label.FirstAt += QPoint(dx, dy);
    label.SecondAt += QPoint(dx, dy);
}

/// Places a label so that its frame's top lies at top.
StaffLabel LabelFromTop(const QString& first, const QString& second, std::uint32_t rgb, int firstX,
                        int lastX, int top, const TextMeasure& measure)
{
    StaffLabel label = PlaceStaffLabel(first, second, rgb, firstX, lastX, 0, measure);
    MoveLabel(label, 0, top - label.Frame.top());
    return label;
}

/// The name of the note an item's label starts with, and a blank; empty where the mode's labels
/// name the item alone.
QString LabelRoot(const AkkordModel& model, const AkkordItem& item, const TNoteRec* notes,
                  int count)
{
    if (count < 1) {
        return {};
    }
    switch (model.Mode) {
    case IdentificationMode::ChordIdentification:
    case IdentificationMode::Scales:
    case IdentificationMode::MelodyDictation:
        return NoteName(notes[0].Pitch) + QLatin1Char(' ');
    case IdentificationMode::ChordInversions: {
        const int n = item.NoteCount;
        if (n < 1 || item.Code[0] == 255) {
            return {};
        }
        const int index = PositiveMod(n - item.Code[1], n);
        if (index >= count) {
            return {};
        }
        return NoteName(notes[index].Pitch) + QLatin1Char(' ');
    }
    case IdentificationMode::IntervalIdentification:
    case IdentificationMode::ChordProgressions:
        break;
    }
    return {};
}

const AkkordItem* ItemOf(const AkkordModel& model, int item)
{
    if (item < 1 || item > static_cast<int>(kItemCount)) {
        return nullptr;
    }
    return &model.ExerciseItem[static_cast<std::size_t>(item)];
}

/// The column's chord as its degree above the question's tonic. The chord's own spelling is
/// that of the key, not an alteration of a degree of C, so the degree is read from semitones.
ProgressionChord DegreeOf(const TNoteRec& chord, int tonic)
{
    ProgressionChord named;
    named.Root = static_cast<std::uint8_t>(60 + PositiveMod(chord.Pitch.Note - tonic, 12));
    named.ChordType = chord.AccidentalInput;
    return named;
}

QString ChordNameWithSymbol(const TNoteRec& chord)
{
    QString name = NoteName(chord.Pitch);
    if (chord.AccidentalInput < kItemCount) {
        const QString symbol = ChordSymbol(ChordSymbolOfItem[chord.AccidentalInput]);
        if (!symbol.isEmpty()) {
            name += QLatin1Char(' ') + symbol;
        }
    }
    return name;
}

std::uint32_t ColumnInk(const AkkordModel& model, const ChordColumn& column)
{
    if (!model.Session().Answered) {
        return kLabelOlive;
    }
    return column.Question || !CorrectionShown(model) ? kLabelGreen : kLabelRed;
}

/// The chords one voicing holds: the first count of its chord starts.
int VoicedChordCount(const VoicedProgression& voiced)
{
    return std::max(0, static_cast<int>(voiced.Counts.size()) - 1);
}

void DrawProgression(AkkordModel& model, TSheet& sheet, const TextMeasure& measure,
                     AkkordStaffPicture& picture)
{
    const int entered = std::clamp<int>(model.EnteredCount, 0, kItemNoteCount);
    const bool correction = CorrectionShown(model);
    const int asked = correction ? std::clamp<int>(model.QuestionNoteCount, 0, kItemNoteCount) : 0;
    const int columns = entered + asked;
    const int width = sheet.ControlWidth();
    const int height = sheet.ControlHeight();

    std::vector<ChordColumn> made;
    made.reserve(static_cast<std::size_t>(columns));
    for (int j = 0; j < columns; ++j) {
        ChordColumn column;
        column.Question = j >= entered;
        column.Chord = column.Question ? model.QuestionNotes[static_cast<std::size_t>(j - entered)]
                                       : model.EnteredNotes[static_cast<std::size_t>(j)];
        made.push_back(column);
    }

    int labelY = 0;
    picture.Compact = UsesCompactColumns(sheet.LineSpacing(), sheet.Top(), height);
    if (picture.Compact) {
        // A progression without chords (before the first question) leaves the frame empty.
        const std::optional<int> columnWidth = CompactColumnWidth(width, columns);
        if (!columnWidth) {
            return;
        }
        const int cw = *columnWidth;
        picture.ColumnWidth = cw;
        for (int k = 1; k <= columns; ++k) {
            made[static_cast<std::size_t>(k - 1)].X = k * cw - cw / 2;
            if (k < columns) {
                picture.GridLines.emplace_back(k * cw, 10, k * cw, height - 10);
            }
        }
        if (entered > 0 && asked > 0) {
            picture.GridLines.emplace_back(entered * cw + 2, 10, entered * cw + 2, height - 10);
        }
        labelY = height / 2;
    } else {
        const VoicedProgression answer = model.VoiceEnteredChords();
        std::vector<TNoteRec> notes;
        const auto append = [&](const VoicedProgression& voiced, int chords, bool question) {
            const int available = std::min(chords, VoicedChordCount(voiced));
            for (int j = 0; j < available; ++j) {
                const auto from =
                    static_cast<std::size_t>(voiced.Counts[static_cast<std::size_t>(j)]);
                const auto to =
                    static_cast<std::size_t>(voiced.Counts[static_cast<std::size_t>(j + 1)]);
                ChordColumn& column = made[static_cast<std::size_t>(question ? entered + j : j)];
                column.FirstNote = static_cast<int>(notes.size());
                column.NoteCount = static_cast<int>(std::min(to, voiced.Notes.size()) -
                                                    std::min(from, voiced.Notes.size()));
                for (std::size_t n = from; n < to && n < voiced.Notes.size(); ++n) {
                    TNoteRec note = voiced.Notes[n];
                    note.Pitch = Shown(note.Pitch, model.DisplayOffset);
                    notes.push_back(note);
                }
            }
        };
        append(answer, entered, false);
        append(model.ProgressionNotes, asked, true);
        picture.Staff = sheet.Draw(notes, static_cast<int>(notes.size()));
        for (ChordColumn& column : made) {
            if (column.NoteCount > 0) {
                column.X = notes[static_cast<std::size_t>(column.FirstNote)].X;
            }
        }
        // Under the lowest chord note, so that no label covers a head or a ledger line.
        labelY = RowUnderNotes(sheet, notes) + kLabelGap + LabelFrameHeight(measure, 2) / 2;
    }

    for (const ChordColumn& column : made) {
        if (column.Chord.Pitch.Note == 0) {
            continue;
        }
        picture.Labels.push_back(
            PlaceStaffLabel(ChordSymbolName(DegreeOf(column.Chord, model.QuestionRoot), 60),
                            ChordNameWithSymbol(column.Chord), ColumnInk(model, column), column.X,
                            column.X, labelY, measure));
    }
    if (model.ChordCursor < made.size()) {
        const int x = made[model.ChordCursor].X - kMarkWidth / 2;
        // Two staves leave room under them; the grid's one row keeps its labels in the middle.
        // Under the staves the mark points up at its column's labels, never lower than the
        // box's foot: in a tall box the foot lies far from the centred staves.
        picture.MarkPointsUp = !picture.Compact;
        const int underLabels = labelY + LabelFrameHeight(measure, 2) / 2 + 4;
        picture.SelectionMark =
            picture.Compact ? QRect(x, 2, kMarkWidth, kMarkHeight)
                            : QRect(x, std::min(height - 12, underLabels), kMarkWidth, kMarkHeight);
    }
    picture.Columns = std::move(made);
}

/// Where a held note goes among the drawn notes: the gap at the insert position, the chord's
/// column, or after the last note.
int PreviewX(const TSheet& sheet, const std::vector<TNoteRec>& notes, int entered)
{
    const int spacing = sheet.NoteSpacingValue();
    const int headOffset = 8 - (sheet.LineSpacing() < 9 ? 1 : 0);
    if (sheet.FixedSpacing() || entered == 0) {
        return sheet.NotesLeft() + spacing;
    }
    const int position = sheet.InsertPosition();
    if (position >= 1 && position <= entered) {
        return notes[static_cast<std::size_t>(position - 1)].X - headOffset - spacing;
    }
    return notes[static_cast<std::size_t>(entered - 1)].X - headOffset + spacing;
}

void DrawNotes(AkkordModel& model, TSheet& sheet, const UIStringTable& strings,
               const TextMeasure& measure, AkkordStaffPicture& picture)
{
    const int capacity = static_cast<int>(model.EnteredNotes.size());
    const int entered = std::clamp<int>(model.EnteredCount, 0, capacity);
    const bool correction = CorrectionShown(model);
    const int shown =
        correction ? std::clamp(model.DisplayedNoteCount, entered, capacity) : entered;

    std::vector<TNoteRec> notes(model.EnteredNotes.begin(), model.EnteredNotes.begin() + shown);
    for (TNoteRec& note : notes) {
        note.Pitch = Shown(note.Pitch, model.DisplayOffset);
    }
    picture.Staff = sheet.Draw(notes, shown);
    // The hit tests read the heads where they were drawn.
    for (int k = 0; k < shown; ++k) {
        const TNoteRec& drawn = notes[static_cast<std::size_t>(k)];
        TNoteRec& stored = model.EnteredNotes[static_cast<std::size_t>(k)];
        stored.X = drawn.X;
        stored.Y = drawn.Y;
        stored.Sideways = drawn.Sideways;
        stored.AccidentalColumn = drawn.AccidentalColumn;
    }
    if (IsHeld(model) && model.EntryTool != kEntryToolDelete) {
        picture.Preview = sheet.DrawNote(model.HeldNote.Pitch, model.EntryTool, false,
                                         PreviewX(sheet, notes, entered));
        picture.Preview.ClearArea = false;
        // The strip's own staff lines would be drawn over the staff in the preview's ink.
        std::erase_if(picture.Preview.Lines,
                      [](const StaffLine& line) { return line.Kind == StaffLineKind::Staff; });
    }
    if (entered == 0) {
        return;
    }
    if (model.Mode == IdentificationMode::Scales) {
        picture.StepSizes = sheet.DrawStepSizes(notes, entered, shown - entered);
    }
    if (!correction) {
        return;
    }
    const AnswerLabelTexts texts = AnswerLabelTextsOf(model, strings);
    // The labels go under everything drawn: the staves, the lowest heads with their ledger
    // lines and the step sizes written below the bass staff; there they cover neither the
    // notes nor the bass staff's key signature.
    int top = RowUnderNotes(sheet, notes);
    for (const StaffText& step : picture.StepSizes.Texts) {
        top = std::max(top, step.At.y() + measure(step.Text).height() / 2);
    }
    top += kLabelGap;
    picture.Labels.push_back(LabelFromTop(texts.Entered, {}, kLabelRed, notes.front().X,
                                          notes[static_cast<std::size_t>(entered - 1)].X, top,
                                          measure));
    if (shown > entered) {
        picture.Labels.push_back(LabelFromTop(texts.Question, {}, kLabelGreen,
                                              notes[static_cast<std::size_t>(entered)].X,
                                              notes.back().X, top, measure));
    }
    SpreadStaffLabels(picture.Labels, 2, sheet.ControlWidth() - 3);
}

} // namespace

StaffLabel PlaceStaffLabel(const QString& first, const QString& second, std::uint32_t rgb,
                           int firstX, int lastX, int y, const TextMeasure& measure)
{
    StaffLabel label;
    label.First = first;
    label.Second = second;
    label.Rgb = rgb;
    const QSize one = measure(first);
    const QSize two = second.isEmpty() ? QSize() : measure(second);
    const int w = std::max(one.width(), two.width());
    int h = one.height() + 1;
    if (!second.isEmpty()) {
        h += two.height() - 3;
    }
    const int x = firstX + (lastX - firstX - w) / 2;
    const int top = y - h / 2;
    label.TextWidth = w;
    label.Frame = QRect(QPoint(x - 4, top - 1), QPoint(x + w + 4, top + h + 1));
    label.FirstAt = QPoint(x + (w - one.width()) / 2, top);
    label.SecondAt = QPoint(x + (w - two.width()) / 2, top + two.height() - 3);
    return label;
}

void SpreadStaffLabels(std::vector<StaffLabel>& labels, int left, int right)
{
    constexpr int kSpace = 6;
    std::optional<int> rowRight;
    int rowBottom = 0;
    for (StaffLabel& label : labels) {
        const QRect& frame = label.Frame;
        int dx = frame.right() > right ? right - frame.right() : 0;
        if (frame.left() + dx < left) {
            dx = left - frame.left();
        }
        int dy = 0;
        if (rowRight && frame.left() + dx < *rowRight + kSpace) {
            const int push = *rowRight + kSpace - (frame.left() + dx);
            if (frame.right() + dx + push <= right) {
                dx += push;
            } else {
                // No room beside the one before: a row of its own, under the rows so far.
                dy = rowBottom + kSpace - frame.top();
            }
        }
        MoveLabel(label, dx, dy);
        rowRight = label.Frame.right();
        rowBottom = std::max(rowBottom, label.Frame.bottom());
    }
}

void ArrangeAkkordStaves(const AkkordModel& model, TSheet& sheet, const TextMeasure& measure)
{
    const bool progressions = model.Mode == IdentificationMode::ChordProgressions;
    const int count = std::clamp<int>(model.QuestionNoteCount, 0, kItemNoteCount);
    const bool asked =
        count > 0 && (model.QuestionItem != 0 || model.Mode == IdentificationMode::MelodyDictation);
    sheet.ArrangeStaves(asked ? model.QuestionHighest : 0, progressions);

    // The notes the staff will show for this question, as it shows them.
    std::vector<TNoteRec> notes;
    if (asked && progressions) {
        notes = model.ProgressionNotes.Notes;
    } else if (asked) {
        notes.assign(model.QuestionNotes.begin(), model.QuestionNotes.begin() + count);
    }
    for (TNoteRec& note : notes) {
        note.Pitch = Shown(note.Pitch, model.DisplayOffset);
    }
    const int L = sheet.LineSpacing();
    int below = kLabelGap + LabelFrameHeight(measure, progressions ? 2 : 1);
    if (model.Mode == IdentificationMode::Scales) {
        below += 2 * L; // step sizes written under the bass staff
    }
    if (progressions) {
        below += kMarkHeight + 2; // the selection mark at the box's foot
    }
    sheet.FitStaves(notes, below);
}

bool CorrectionShown(const AkkordModel& model)
{
    return model.Session().Answered && !model.LastAnswerRight && model.QuestionNoteCount > 0 &&
           model.DisplayedNoteCount > model.EnteredCount;
}

AnswerLabelTexts AnswerLabelTextsOf(const AkkordModel& model, const UIStringTable& strings)
{
    AnswerLabelTexts texts;
    const int entered = model.EnteredCount;
    const bool melody = model.Mode == IdentificationMode::MelodyDictation;
    if (const AkkordItem* item = ItemOf(model, model.AnsweredItem)) {
        texts.Entered = LabelRoot(model, *item, model.EnteredNotes.data(), entered) + item->Name;
    } else {
        texts.Entered = melody ? strings.StrIdentText7 : QStringLiteral("?");
    }
    const AkkordItem* question = ItemOf(model, model.QuestionItem);
    if (question != nullptr && !melody) {
        const int count = std::clamp<int>(model.QuestionNoteCount, 0, kItemNoteCount);
        // Intervals and melodies are named without a note; the others after the question's own.
        QString root;
        if (model.Mode != IdentificationMode::MelodyDictation) {
            root = LabelRoot(model, *question, model.QuestionNotes.data(), count);
        }
        texts.Question = root + question->Name;
    } else {
        texts.Question = strings.StrIdentText8;
    }
    return texts;
}

AkkordStaffPicture DrawAkkordStaff(AkkordModel& model, TSheet& sheet, const UIStringTable& strings,
                                   const TextMeasure& measure)
{
    AkkordStaffPicture picture;
    if (sheet.ControlWidth() <= 0 || sheet.ControlHeight() <= 0) {
        return picture;
    }
    if (model.Mode == IdentificationMode::ChordProgressions) {
        DrawProgression(model, sheet, measure, picture);
    } else {
        DrawNotes(model, sheet, strings, measure, picture);
    }
    return picture;
}

std::optional<int> ChordColumnAt(const std::vector<ChordColumn>& columns, int x)
{
    const int n = static_cast<int>(columns.size());
    if (n == 0) {
        return std::nullopt;
    }
    for (int c = 0; c + 1 < n; ++c) {
        const int from = columns[static_cast<std::size_t>(c)].X;
        const int to = columns[static_cast<std::size_t>(c + 1)].X;
        if (x <= from + 3 * (to - from) / 5) {
            return c;
        }
    }
    return n - 1;
}

std::optional<int> EnteredNoteAt(const AkkordModel& model, int x, int y)
{
    const int entered = std::clamp<int>(model.EnteredCount, 0, kItemNoteCount);
    for (int k = 0; k < entered; ++k) {
        const TNoteRec& note = model.EnteredNotes[static_cast<std::size_t>(k)];
        if (std::abs(note.X - x) <= 8 && std::abs(note.Y - y) <= 5) {
            return k;
        }
    }
    return std::nullopt;
}

std::uint8_t NextEntryTool(std::uint8_t tool, bool extraButtons, const std::array<bool, 4>& enabled)
{
    std::uint8_t next = kEntryToolDelete;
    if (!extraButtons) {
        next = tool == kEntryToolDelete ? kEntryToolAdd : kEntryToolDelete;
    } else if (tool == kEntryToolDelete) {
        next = 3;
    } else if (tool > kEntryToolAdd && tool <= 3) {
        next = static_cast<std::uint8_t>(tool - 1);
    }
    return next <= 3 && enabled[next] ? next : kEntryToolDelete;
}

StaffCursor CursorOfTool(std::uint8_t tool, IdentificationMode mode)
{
    switch (tool) {
    case kEntryToolDelete:
        return StaffCursor::Delete;
    case 2:
        return StaffCursor::AddHalf;
    case 3:
        return StaffCursor::AddWhole;
    default:
        break;
    }
    return mode == IdentificationMode::ChordProgressions ? StaffCursor::Arrow : StaffCursor::Add;
}

AkkordStaffInput::AkkordStaffInput(AkkordModel& model, TSheet& sheet)
    : m_model(model), m_sheet(sheet), m_cursor(ToolCursor())
{
}

bool AkkordStaffInput::TonicReplayable() const
{
    return m_model.TonicContext && m_model.QuestionNoteCount > 0;
}

void AkkordStaffInput::Hold(TPitch shown)
{
    const std::uint8_t accidental = m_model.HeldNote.AccidentalInput;
    const bool again = IsHeld(m_model) && m_model.HeldSource == kHeldByStaff;
    if (m_playback != nullptr) {
        m_playback->PressNote(Sounding(shown, m_model.DisplayOffset), kHeldByStaff);
    } else {
        m_model.HeldSource = kHeldByStaff;
        m_model.HeldNote = TNoteRec{};
        m_model.HeldNote.Pitch = shown;
    }
    // A letter key chosen during the drag keeps its accidental for the rest of it.
    if (again) {
        m_model.HeldNote.AccidentalInput = accidental;
    }
}

bool AkkordStaffInput::Repitch(int x, int y)
{
    TNoteRec note = m_model.HeldNote;
    if (!m_sheet.MoveNote(x, y, m_model.EntryTool, note)) {
        return false;
    }
    Hold(note.Pitch);
    return true;
}

void AkkordStaffInput::PlayColumn(const ChordColumn& column)
{
    if (m_playback == nullptr) {
        return;
    }
    const VoicedProgression voiced =
        column.Question ? m_model.ProgressionNotes : m_model.VoiceEnteredChords();
    const auto index =
        static_cast<std::size_t>(std::find_if(m_columns.begin(), m_columns.end(),
                                              [&](const ChordColumn& c) { return &c == &column; }) -
                                 m_columns.begin());
    const std::size_t entered = m_model.EnteredCount;
    const std::size_t j = column.Question ? index - entered : index;
    if (j + 1 >= voiced.Counts.size()) {
        return;
    }
    const auto from = static_cast<std::size_t>(voiced.Counts[j]);
    const auto to = std::min(static_cast<std::size_t>(voiced.Counts[j + 1]), voiced.Notes.size());
    if (from < to) {
        m_playback->PlayNotesNow(std::span(voiced.Notes).subspan(from, to - from));
    }
}

AkkordStaffInput::Effect AkkordStaffInput::MouseDown(Qt::MouseButton button, int x, int y)
{
    Effect effect;
    m_lastPoint = QPoint(x, y);
    // The clef and key area replays the tonic context and does nothing else.
    if (TonicReplayable() && m_sheet.PointInStaves(x, y)) {
        if (m_playback != nullptr) {
            m_playback->PlayQuestion(kPlayTonicOnly);
        }
        effect.Repaint = true;
        return effect;
    }
    if (m_model.ExternalHold) {
        return effect;
    }
    if (button != Qt::LeftButton) {
        if (!IsHeld(m_model)) {
            // A note value the bar has no room for is passed over, as its button is.
            const std::array<bool, 4> enabled = {true, true, m_model.HalfToolEnabled,
                                                 m_model.WholeToolEnabled};
            m_model.EntryTool =
                NextEntryTool(m_model.EntryTool, m_model.ExtraEntryButtons, enabled);
            m_cursor = ToolCursor();
            effect.ToolChanged = true;
            effect.Cursor = m_cursor;
        }
        return effect;
    }
    const bool answered = m_model.Session().Answered;
    const bool adding = m_model.EntryTool != kEntryToolDelete;
    effect.Repaint = true;
    if (m_model.Mode == IdentificationMode::ChordProgressions) {
        m_model.HeldNote = TNoteRec{};
        const std::optional<int> column = ChordColumnAt(m_columns, x);
        if (!column) {
            return effect;
        }
        m_model.ChordCursor = static_cast<std::uint8_t>(*column);
        const ChordColumn& chosen = m_columns[static_cast<std::size_t>(*column)];
        if (adding || answered) {
            effect.AlterationButton = AlterationButtonOfChordType(chosen.Chord.AccidentalInput);
            if (m_model.PlayToneOnClick) {
                PlayColumn(chosen);
            }
        } else {
            InstrumentEntry entry;
            entry.Action = InstrumentEntry::Kind::RemoveChord;
            entry.Pitch = chosen.Chord.Pitch;
            effect.Chord = entry;
        }
        return effect;
    }
    if (adding || answered) {
        TNoteRec pressed;
        pressed.Pitch =
            m_sheet.NoteAtPoint(x, y, !answered, m_model.EnteredCount, m_model.EnteredNotes);
        // An accidental key already held when the note is pressed chooses its accidental at
        // once, as it does while the note is dragged.
        m_sheet.MoveNote(x, std::min(y, m_sheet.ControlHeight()), m_model.EntryTool, pressed);
        m_model.HeldNote.AccidentalInput = 0;
        Hold(pressed.Pitch);
        m_model.HeldNote.AccidentalInput = 0;
        m_mouseHolds = true;
        effect.HideCursor = true;
        return effect;
    }
    if (const std::optional<int> k = EnteredNoteAt(m_model, x, y)) {
        m_model.EnterNote(m_model.EnteredNotes[static_cast<std::size_t>(*k)].Pitch, true, *k + 1);
    }
    return effect;
}

AkkordStaffInput::Effect AkkordStaffInput::MouseMove(bool leftHeld, int x, int y)
{
    Effect effect;
    const bool overTonic = TonicReplayable() && m_sheet.PointInStaves(x, y);
    if (overTonic && m_cursor != StaffCursor::Tonic) {
        m_cursor = StaffCursor::Tonic;
        effect.Cursor = m_cursor;
    } else if (!overTonic && m_cursor == StaffCursor::Tonic) {
        m_cursor = ToolCursor();
        effect.Cursor = m_cursor;
    }
    if (!leftHeld || !m_mouseHolds || !IsHeld(m_model) || m_model.HeldSource != kHeldByStaff ||
        m_model.EntryTool == kEntryToolDelete || m_model.ExternalHold) {
        return effect;
    }
    y = std::min(y, m_sheet.ControlHeight());
    m_lastPoint = QPoint(x, y);
    effect.Repaint = Repitch(x, y);
    return effect;
}

AkkordStaffInput::Effect AkkordStaffInput::ReleaseHeld(bool remove)
{
    Effect effect;
    effect.Repaint = true;
    // Scales and melodies go where the gap was left for them; chords sort themselves in.
    const int position = m_sheet.FixedSpacing() ? 0 : m_sheet.InsertPosition();
    if (m_playback != nullptr) {
        m_playback->ReleaseNote(remove, false, position);
    } else {
        m_model.HeldNote = TNoteRec{};
    }
    m_sheet.SetInsertPosition(0);
    return effect;
}

AkkordStaffInput::Effect AkkordStaffInput::MouseUp(Qt::MouseButton button, int, int)
{
    Effect effect;
    if (button != Qt::LeftButton || !m_mouseHolds) {
        return effect;
    }
    // Whatever took over the hold meanwhile, the cursor comes back and the note the mouse
    // sounded is switched off.
    m_mouseHolds = false;
    effect.ShowCursor = true;
    effect.Repaint = true;
    if (!IsHeld(m_model) || m_model.HeldSource != kHeldByStaff) {
        m_sheet.SetInsertPosition(0);
        return effect;
    }
    if (m_model.ExternalHold) {
        if (m_playback != nullptr) {
            m_playback->ReleaseNote(false, true);
        } else {
            m_model.HeldNote = TNoteRec{};
        }
        m_sheet.SetInsertPosition(0);
        return effect;
    }
    Effect released = ReleaseHeld(false);
    released.ShowCursor = true;
    return released;
}

AkkordStaffInput::Effect AkkordStaffInput::AccidentalKeyDown(AccidentalKey key)
{
    Effect effect;
    if (m_lastAccidentalKey == key || !IsHeld(m_model) || m_model.HeldSource != kHeldByStaff) {
        return effect;
    }
    m_lastAccidentalKey = key;
    m_model.HeldNote.AccidentalInput = static_cast<std::uint8_t>(3 + static_cast<int>(key));
    Repitch(m_lastPoint.x(), m_lastPoint.y());
    effect.Repaint = true;
    return effect;
}

AkkordStaffInput::Effect AkkordStaffInput::Insert()
{
    Effect effect;
    if (m_mouseHolds) {
        m_mouseHolds = false;
        effect.ShowCursor = true;
    }
    if (!IsHeld(m_model)) {
        return effect;
    }
    Effect released = ReleaseHeld(false);
    released.ShowCursor = effect.ShowCursor;
    return released;
}

} // namespace pv
