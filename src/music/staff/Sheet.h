// The grand staff: layout of a note list on treble and bass staff, and pitches from points.
#pragma once

#include "music/notation/NoteRec.h"
#include "music/notation/Pitch.h"
#include "music/staff/KeyState.h"
#include "music/staff/StaffDisplayList.h"

#include <array>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include <QString>

namespace pv {

/// The note spacing S (pixels from one note to the next) that the program's sheets share: a
/// sheet that keeps its spacing (chords without bar lines) inherits the last sheet's value. The
/// program keeps one and gives it to every sheet.
struct NoteSpacing
{
    int Value = 46;
};

/// Where the ledger lines of a note lie and how many there are.
struct TStaffPosition
{
    enum Kind : int
    {
        None = 0,
        AboveTreble = 1,
        BelowTreble = 2,
        AboveBass = 3,
        BelowBass = 4,
    };
    int Count = 0;
    Kind Where = None;

    friend bool operator==(const TStaffPosition&, const TStaffPosition&) = default;
};

/// A grand staff (treble and bass staff with brace, clefs, key signature and key name) laid out
/// for a control of a given size. Drawing produces a display list that a painter turns into
/// pixels and stores each note's head position in its record for the hit tests.
class TSheet
{
public:
    /// The keys and the spacing are the caller's and must outlive the sheet.
    TSheet(const IKeyState& keys, NoteSpacing& spacing);
    /// The spacing the sheet shares from now on; it must outlive the sheet.
    void SetNoteSpacing(NoteSpacing& spacing) { m_spacing = &spacing; }
    /// The note spacing S in force.
    int NoteSpacingValue() const { return m_spacing->Value; }

    // The control the sheet draws on.
    void SetControlSize(int width, int height);
    int ControlWidth() const { return m_width; }
    int ControlHeight() const { return m_height; }

    bool ShowKeySignature() const { return m_showKeySignature; }
    void SetShowKeySignature(bool on) { m_showKeySignature = on; }
    /// Chords: every note of a bar shares one column, and the insert gap is not used.
    bool FixedSpacing() const { return m_fixedSpacing; }
    void SetFixedSpacing(bool on) { m_fixedSpacing = on; }
    bool ShowKeyName() const { return m_showKeyName; }
    void SetShowKeyName(bool on) { m_showKeyName = on; }
    /// A wider strip when one note is redrawn alone.
    bool WideNotes() const { return m_wideNotes; }
    void SetWideNotes(bool on) { m_wideNotes = on; }
    /// K = -6..+6, sharps positive; a value outside is clamped.
    int KeySignature() const { return m_keySignature; }
    void SetKeySignature(int k);
    /// Below 0 all notes on the bass staff; 0 written notes below 60 or notes marked for the bass
    /// staff; above 0 only the marked notes.
    int ClefMode() const { return m_clefMode; }
    void SetClefMode(int mode) { m_clefMode = mode; }
    /// Staff of the last pitch read: -1 bass, 1 treble; -2 and 2 force bass or treble.
    int LastClef() const { return m_lastClef; }
    void SetLastClef(int clef) { m_lastClef = clef; }
    /// Pitch class 0..11 of the key; notes are shown moved by Transposition() downward.
    int KeyRoot() const { return m_keyRoot; }
    void SetKeyRoot(int root);
    /// 0 major, 1 minor.
    int Mode() const { return m_mode; }
    void SetMode(int mode) { m_mode = mode; }
    int RedrawX() const { return m_redrawX; }
    void SetRedrawX(int x) { m_redrawX = x; }
    int AnchorX() const { return m_anchorX; }
    void SetAnchorX(int x) { m_anchorX = x; }
    /// x where the notes area begins, right of the key signature.
    int NotesLeft() const;
    /// 1-based index before which an entered note goes; 0 none.
    int InsertPosition() const { return m_insertPosition; }
    void SetInsertPosition(int position) { m_insertPosition = position; }
    /// The accidental chosen for reading pitches, -2..+2 semitones added.
    int Accidental() const { return m_accidental; }
    void SetAccidental(int accidental) { m_accidental = accidental; }
    /// Semitones from the key's tonic to the question's root.
    int KeyOffset() const { return m_keyOffset; }
    void SetKeyOffset(int offset) { m_keyOffset = offset; }
    /// The notes are shown for the guitar, an octave above sounding.
    bool GuitarView() const { return m_guitarView; }
    void SetGuitarView(bool on) { m_guitarView = on; }
    /// Guitar notes sound as written (the settings option); else a guitar note sounds 12 lower.
    void SetGuitarSoundsAsWritten(bool on) { m_guitarSoundsAsWritten = on; }
    int Top() const { return m_top; }
    void SetTop(int top) { m_top = top; }
    int LineSpacing() const { return m_lineSpacing; }
    int StaffGap() const { return m_staffGap; }
    int LowestNote() const { return m_lowestNote; }
    void SetLowestNote(int note) { m_lowestNote = note; }
    int HighestNote() const { return m_highestNote; }
    void SetHighestNote(int note) { m_highestNote = note; }

    /// The words of the key name for major and minor (the names of the first two chord items).
    void SetKeyNameWords(const QString& major, const QString& minor);
    /// Called with the MIDI note to silence when a dragged note changes pitch.
    void SetNoteOffHandler(std::function<void(int)> noteOff) { m_noteOff = std::move(noteOff); }
    /// Called when the control should be painted again.
    void SetRepaintHandler(std::function<void()> repaint) { m_repaint = std::move(repaint); }

    /// Semitones by which the notes are shown lower than they sound, from the key root.
    int Transposition() const;
    /// Pixels a note head is wide at the current line spacing.
    int HeadWidth() const;

    /// Line spacing L (10 or 8); the staff gap and the key-signature heights follow it.
    void SetLineSpacing(int spacing);
    /// Chooses the line spacing and the top for the highest note of the content.
    void ArrangeStaves(int high, bool wide);
    /// Moves the staves (line spacing kept) so that they, the given notes as Draw would place
    /// them and roomBelow pixels under both lie centred in the control. When they do not fit,
    /// the top is left where it is.
    void FitStaves(std::span<const TNoteRec> notes, int roomBelow);
    /// The rows the staves and the notes take, relative to the control: the highest and the
    /// lowest y any of them reaches (clefs and ledger lines included).
    std::pair<int, int> ContentRows(std::span<const TNoteRec> notes) const;

    /// Lays out the first count notes (count is held within the list) and stores each note's
    /// head position, sideways flag and accidental column in its record.
    StaffDisplayList Draw(std::span<TNoteRec> notes, int count);
    /// One note alone in a strip around x; with erase the strip shows the bare staves.
    StaffDisplayList DrawNote(TPitch pitch, int level, bool erase, int x);
    /// Ledger lines of a written pitch on the treble (bass false) or bass staff.
    TStaffPosition StaffPosition(TPitch pitch, bool bass) const;
    /// The pitch under a point. With insert (and fixed spacing off) also the insert position.
    TPitch NoteAtPoint(int x, int y, bool insert, int count, std::span<const TNoteRec> notes);
    /// Re-pitches a dragged note from the pointer and the held keys; true when the pitch changed.
    bool MoveNote(int x, int y, int level, TNoteRec& note);
    /// True in the clef and key-signature area of the staves.
    bool PointInStaves(int x, int y) const;
    /// The written note for a height; accidental receives its spelling shift.
    int PitchFromY(int y, int& accidental);
    /// Spelling shift of a MIDI note in the sheet's key, relative to the key root: the key's
    /// letters for its own degrees (`SpellInKey`), else black keys sharp in sharp keys and flat
    /// otherwise.
    int KeySpelling(int note) const;
    /// Spelling shift of a pitch in the scale of key signature k whose root lies offset
    /// semitones above the major tonic, relative to the key root: the root on the key's letter
    /// for that degree, the pitch as many letters above it as its own spelling says.
    int SpellInScale(TPitch pitch, int offset, int k) const;
    /// The step sizes ("½", "1", "1½") between neighbours of two runs: notes 1..first and the
    /// second notes after them.
    StaffDisplayList DrawStepSizes(std::span<const TNoteRec> notes, int first, int second) const;

    /// The key's name ("Eb-minor"), as written under the treble staff.
    QString KeyName() const;

private:
    struct HeadPlace;

    StaffDisplayList NewList(QRect area) const;
    void AddStaves(StaffDisplayList& list, int left, int right) const;
    void AddClefsAndKey(StaffDisplayList& list) const;
    void AddLedgerLines(StaffDisplayList& list, TPitch written, bool bass, int headX) const;
    void AddStems(StaffDisplayList& list, std::span<const HeadPlace> heads) const;
    /// Sets the shared note spacing for notes over room pixels and returns it.
    int ArrangeNoteSpacing(std::span<const TNoteRec> notes, int room);
    /// The head, its ledger lines and its place in the note's record; stemmed heads are kept.
    void AddHead(StaffDisplayList& list, TNoteRec& note, int x, int y, bool bass, bool sideways,
                 std::vector<HeadPlace>& stemmed) const;
    /// A bar line at x, doubled when barLine is above 1.
    void AddBarLine(StaffDisplayList& list, int x, int barLine) const;
    bool OnBassStaff(const TNoteRec& note) const;
    int HeadY(int written, bool bass) const;
    int StaffBottom() const { return m_top + 8 * m_lineSpacing + m_staffGap; }
    bool KeyAlters(int letterClass) const;

    const IKeyState& m_keys;
    NoteSpacing* m_spacing;
    int m_width = 0;
    int m_height = 0;
    bool m_showKeySignature = false;
    bool m_fixedSpacing = false;
    bool m_showKeyName = false;
    bool m_wideNotes = false;
    int m_keySignature = 0;
    int m_clefMode = 0;
    int m_lastClef = 0;
    int m_keyRoot = 0;
    int m_mode = 0;
    int m_redrawX = 0;
    int m_anchorX = 0;
    int m_insertPosition = 0;
    int m_accidental = 0;
    int m_keyOffset = 0;
    bool m_guitarView = false;
    bool m_guitarSoundsAsWritten = false;
    int m_top = 45;
    int m_lineSpacing = 10;
    int m_staffGap = 43;
    int m_lowestNote = 36;
    int m_highestNote = 108;
    std::array<int, 6> m_flatHeights{};
    std::array<int, 6> m_sharpHeights{};
    QString m_majorWord = QStringLiteral("Major");
    QString m_minorWord = QStringLiteral("Minor");
    std::function<void(int)> m_noteOff;
    std::function<void()> m_repaint;
};

} // namespace pv
