// The item editor without its dialog: one chord, interval, scale or chord inversion entered in
// C on a staff, a piano or a guitar, with the mouse or from a MIDI keyboard, or (inversions)
// derived from a chord and an inversion.
#pragma once

#include "exercises/items/ItemTables.h"
#include "music/base/ExerciseKind.h"
#include "music/notation/NoteRec.h"
#include "music/sequencer/SequencerTypes.h"
#include "music/staff/KeyState.h"
#include "music/staff/Sheet.h"
#include "music/staff/StaffDisplayList.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QRect>
#include <QString>

namespace pv {

class TMidiOut;

/// The editor's notes lie between F3 and C6.
inline constexpr int kEditLowestNote = 53;
inline constexpr int kEditHighestNote = 84;
inline constexpr int kEditMaxNotes = 12;
inline constexpr int kEditPictureHeight = 172;
inline constexpr int kEditGuitarHeight = 167;

/// The instrument the notes are entered on (the settings' note-entry instrument).
enum class EditView : std::uint8_t
{
    Piano = 2,
    Guitar = 4,
    Staff = 8,
};
/// 2 piano, 4 guitar, anything else the staff.
EditView EditViewOfCode(int code);

// ---- Piano and guitar geometry -------------------------------------------------------------

inline constexpr int kEditPianoLeft = 28;
inline constexpr int kEditPianoWhite = 22;
inline constexpr int kEditPianoBlackHeight = 99;
inline constexpr int kEditPianoWhiteKeys = 19; ///< F3 .. C6
inline constexpr int kEditPianoWidth = kEditPianoLeft + kEditPianoWhiteKeys * kEditPianoWhite + 8;

struct EditPianoKey
{
    int Note = 0;
    bool Black = false;
    QRect Rect;
};
/// The keys of the editor's keyboard, white first.
std::vector<EditPianoKey> EditPianoKeys();
/// The key under a point; nothing beside the keyboard.
std::optional<int> EditPianoNoteAt(int x, int y);

inline constexpr int kEditNutX = 65;
inline constexpr int kEditPlayableFrets = 16;
inline constexpr int kEditFretLines = 24;

/// The drawn fretboard of a picture size.
struct EditNeck
{
    int Width = 0;
    int GuitarHeight = 156;                      ///< the strings' height, a multiple of 12
    std::array<int, kEditFretLines + 1> FretX{}; ///< [0] the nut
};
EditNeck LayoutEditNeck(int width, int height);
/// The middle row of string 1..6.
int EditStringY(const EditNeck& neck, int string);
/// The x a note on a fret is drawn at (the open string left of the nut).
int EditFretCentreX(const EditNeck& neck, int fret);

/// Where a note lies on the neck: on its own string when it can be fretted there, else on the
/// highest string that reaches it; nothing below the lowest open string.
struct GuitarPlace
{
    int String = 0;
    int Fret = 0;
};
std::optional<GuitarPlace> GuitarPlaceOf(int note, std::uint8_t stringByte, int maxFret);

struct EditGuitarHit
{
    int String = 1;
    int Fret = 0;
    int Note = 0; ///< written, as the guitar's staff shows it
};
/// The string and fret under a point; nothing past the playable frets.
std::optional<EditGuitarHit> EditGuitarAt(const EditNeck& neck, int x, int y);

// ---- The editor ---------------------------------------------------------------------------

/// What the dialog must do after an event.
struct EditEffect
{
    bool Repaint = false;
    bool HideCursor = false;
    bool ShowCursor = false;
    bool ToolChanged = false;
};

class ChordEditModel
{
public:
    /// keys: the accidental keys held while a staff note is dragged; midiOut (may be null)
    /// sounds the notes. Both must outlive the model.
    ChordEditModel(const IKeyState& keys, NoteSpacing& spacing, TMidiOut* midiOut);

    struct Options
    {
        ExerciseKind Kind = ExerciseKind::ChordIdentification;
        TPlayMode PlayMode = TPlayMode::Harmonic;
        EditView View = EditView::Staff;
        /// The chord-inversion table: notes come from a chord and an inversion.
        bool InversionMode = false;
    };
    /// Opens the editor on an item: at most twelve of its notes that lie in the editor's range,
    /// each once. In inversion mode the chord and inversion come from its codes (a chord the
    /// list does not hold, or none, gives the list's first chord in root position).
    void Open(const Options& options, const std::vector<ItemNote>& notes, const QString& name,
              const ItemTable& chordItems, const std::array<QString, 6>& inversionNames);

    const Options& Setup() const { return m_options; }
    int NoteCount() const { return static_cast<int>(m_notes.size()); }
    const std::vector<TNoteRec>& Notes() const { return m_notes; }
    /// The notes as the item table stores them (first four bytes of each).
    std::vector<ItemNote> ItemNotes() const;
    QString Name;

    /// The note the mouse holds (0: none).
    TPitch HeldNote() const { return m_held.Pitch; }
    int HeldMidiKeys() const { return static_cast<int>(m_heldKeys.size()); }

    /// The add tool is down (else the delete tool).
    bool AddTool() const { return m_addTool; }
    void SetAddTool(bool add) { m_addTool = add; }

    /// Adds a note (nothing when it is there already, twelve are there, or it lies outside
    /// 53..84) or removes one: at position (1-based), or with a position below 1 in pitch
    /// order / the last one of that pitch. True when the notes changed.
    bool AddOrRemoveNote(TPitch pitch, bool remove, int position, int guitarString = 0);

    /// A MIDI short message (status + 256 * data 1 + 65536 * data 2).
    EditEffect MidiInMessage(std::uint32_t message);

    // The staff.
    TSheet& Sheet() { return m_sheet; }
    void SetStaffSize(int width, int height);
    /// The staff with the notes, and the held note where it will go.
    StaffDisplayList DrawStaff();
    EditEffect StaffMouseDown(bool leftButton, int x, int y);
    EditEffect StaffMouseMove(bool leftHeld, int x, int y);
    EditEffect StaffMouseUp(bool leftButton);

    // Piano and guitar.
    EditEffect PianoMouseDown(int x, int y);
    EditEffect PianoMouseMove(int x, int y);
    EditEffect GuitarMouseDown(const EditNeck& neck, int x, int y);
    EditEffect GuitarMouseMove(const EditNeck& neck, int x, int y);
    /// Releasing on piano or guitar: the left button adds the held note, the right one
    /// removes the last note of its pitch.
    EditEffect InstrumentMouseUp(bool rightButton);

    /// Play: the notes in the play mode.
    void Play();

    // Inversion mode.
    bool InversionMode() const { return m_options.InversionMode; }
    /// The chords of the list: chord items with three or more notes but the augmented triad
    /// (4) and the diminished seventh (11), whose inversions sound alike.
    const std::vector<int>& ChordList() const { return m_chordList; }
    /// The list entry of a chord item, -1 when it is not listed.
    int EntryOfChord(int item) const;
    int ChordEntry() const { return m_chordEntry; }
    int Inversion() const { return m_inversion; }
    /// The inversions the chord offers (at most six).
    std::vector<QString> InversionNames() const;
    void ChooseChord(int entry);
    void ChooseInversion(int inversion);

private:
    void Rebuild();
    void AssignStrings();
    void SoundHeld(TPitch pitch);
    void SilenceHeld();
    int Sounded(int written) const;
    bool Guitar() const { return m_options.View == EditView::Guitar; }
    EditEffect HoldInstrumentNote(int note, int string, bool drag);

    TMidiOut* m_midiOut;
    Options m_options;
    std::vector<TNoteRec> m_notes;
    TSheet m_sheet;
    TNoteRec m_held;          ///< the note the mouse holds, with its string on the guitar
    int m_heldSounded = -1;   ///< the MIDI note sounding for it
    bool m_staffHold = false; ///< held on the staff (else on piano or guitar)
    bool m_addTool = true;
    /// Keys held on the MIDI keyboard, with the note each one sounds.
    std::vector<std::pair<int, int>> m_heldKeys;
    const ItemTable* m_chordItems = nullptr;
    std::array<QString, 6> m_inversionNames{};
    std::vector<int> m_chordList;
    int m_chordEntry = 0;
    int m_inversion = 0;
};

} // namespace pv
