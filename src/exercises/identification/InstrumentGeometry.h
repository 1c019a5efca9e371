// Pixel arithmetic of the identification window's piano and guitar: where each key, fret and
// string lies, which note a point names, where the answer dots go and how the piano's voice
// adjusters step; no widgets.
#pragma once

#include "exercises/identification/AkkordLayout.h"
#include "exercises/identification/AkkordModel.h"
#include "music/notation/NoteRec.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pv {

// ---- Notes shown as dots -------------------------------------------------------------------

/// Colour of an answer dot: yellow before the answer, green when right (and for the question's
/// notes shown after a wrong answer), red for the notes of a wrong answer.
enum class DotColour : std::uint8_t
{
    Pending = 0,
    Right = 1,
    Wrong = 2,
};

/// One note the instruments show as a dot.
struct ShownNote
{
    TNoteRec Note;
    DotColour Colour = DotColour::Pending;
    int Number = 0; ///< its number in its list (1..9) where the mode numbers dots, else 0
};

/// The notes the piano and guitar show: the entered notes, and after a wrong answer the
/// question's notes as well (numbered from 1 again).
std::vector<ShownNote> ShownNotesOf(const AkkordModel& model);

/// The pitch folded into the octave from root up (root .. root + 11).
int FoldAboveRoot(int pitch, int root);

// ---- Piano ---------------------------------------------------------------------------------

inline constexpr int kPianoOctaveWidth = 154;
inline constexpr int kPianoKeyboardTop = 17; ///< above it: the held note's name, the adjusters
/// The box height the key coordinates below are given for; other heights stretch the keyboard.
inline constexpr int kPianoNominalHeight = 172;
inline constexpr int kPianoUpperPartBottom = 115; ///< below it only white keys
inline constexpr int kPianoWhiteKeyWidth = 22;
inline constexpr int kPianoLowestPitch = 41; ///< the keyboard starts on F
inline constexpr int kPianoDefaultTopPitch = 95;
inline constexpr int kPianoDotWidth = 13;
inline constexpr int kPianoDotHeight = 12;
inline constexpr int kPianoDotRaise = 11; ///< per earlier dot of the same pitch

/// The piano's highest key for its octave count.
constexpr int PianoTopPitch(int octaves)
{
    return 12 * octaves + 40;
}

/// Where a pitch's key lies (keyboard without a display offset).
struct PianoKey
{
    int KeyClass = 0; ///< 0 F .. 11 E
    int OctaveX = 0;  ///< left of the key's octave
    int X = 0;        ///< left of the key's dot
    int DotY = 0;     ///< top of the dot row: 92 on black keys, 153 on white
    bool Black = false;
};

/// The key of a pitch shown with displayOffset; nothing below the keyboard's first key.
std::optional<PianoKey> PianoKeyOf(int pitch, int displayOffset);

/// The held key's red highlight: a white key's lower and narrowed upper part, or one black
/// rectangle.
std::vector<LayoutRect> PianoKeyHighlight(const PianoKey& key);

/// Left of the middle-C mark for a display offset.
int MiddleCMarkX(int displayOffset);
inline constexpr int kMiddleCMarkY = 149;

/// The pitch (without display offset) under a point of the keyboard in nominal coordinates;
/// nothing above topPitch. X below 0 counts as 0.
std::optional<int> PianoPitchAt(int x, int y, int topPitch);

/// One key's outline for painting, consistent with PianoPitchAt.
struct PianoKeyShape
{
    int Pitch = 0;
    bool Black = false;
    LayoutRect Rect; ///< white keys run the keyboard's height, black keys lie over them
};
std::vector<PianoKeyShape> PianoKeyboardShapes(int octaves);

/// Nominal keyboard y of a box y and back, for boxes of other heights.
int PianoNominalY(int boxY, int boxHeight);
int PianoBoxY(int nominalY, int boxHeight);

/// A dot of the piano.
struct PianoDot
{
    LayoutRect Ellipse;
    DotColour Colour = DotColour::Pending;
    int Number = 0;
};
/// The dots of the shown notes; a pitch shown again is raised 11 pixels per earlier dot.
std::vector<PianoDot> PianoDots(const std::vector<ShownNote>& notes, int displayOffset);

/// Where a roman degree name is written on its key (mode of progressions).
struct PianoDegreeLabel
{
    int Semitones = 0; ///< above the question root
    PianoKey Key;
    int Y = 0; ///< 23 on black keys, 115 on white
};
/// The seven degrees of the question's key written on the keyboard.
std::vector<PianoDegreeLabel> PianoDegreeLabels(int questionRoot, bool minor, int displayOffset);

// ---- Piano adjusters -----------------------------------------------------------------------

/// An adjuster half: which value a press steps and in which direction.
enum class AdjusterHalf : std::uint8_t
{
    None = 0,
    ProgramDown = 1,
    ProgramUp = 2,
    VelocityDown = 3,
    VelocityUp = 4,
};

struct PianoAdjusterBox
{
    LayoutRect Box;
    LayoutRect Text; ///< neither half
};
inline constexpr int kAdjusterWidth = 90;
inline constexpr int kAdjusterArrowWidth = 12;
/// Box 0 the piano program, box 1 the velocity, placed for the octave count.
std::array<PianoAdjusterBox, 2> PianoAdjusters(int octaves);
/// The half under a point; None over the text fields and elsewhere.
AdjusterHalf AdjusterHalfAt(const std::array<PianoAdjusterBox, 2>& boxes, int x, int y);
/// The box (0, 1) a half belongs to.
int AdjusterBoxOf(AdjusterHalf half);

/// The piano voice the adjusters change.
struct PianoVoice
{
    int Program = 0;
    int Velocity = 100;
};

/// What the owner must do after an adjuster event.
struct AdjusterEffect
{
    bool ProgramChanged = false; ///< send a program change now
    bool VoiceChanged = false;   ///< store the voice
    bool Repaint = false;
};

/// The adjusters' lights and repeat: a press steps at once and, held, again on every tick after
/// the second; a release or a hover leaves a light that goes out after 15 ticks.
class PianoAdjusterState
{
public:
    AdjusterEffect Press(AdjusterHalf half, PianoVoice& voice);
    AdjusterEffect Release();
    /// The mouse moves over a half (None: over neither).
    AdjusterEffect Hover(AdjusterHalf half);
    AdjusterEffect Tick(PianoVoice& voice);

    AdjusterHalf Pressed() const { return m_pressed; }
    bool Lit(int box) const { return m_lit[static_cast<std::size_t>(box & 1)]; }
    bool TimerRunning() const { return m_timer; }

    static constexpr int kHoverTicks = 15;

private:
    static AdjusterEffect Step(AdjusterHalf half, PianoVoice& voice);

    AdjusterHalf m_pressed = AdjusterHalf::None;
    std::array<bool, 2> m_lit{};
    int m_ticks = 0;
    bool m_hover = false;
    bool m_timer = false;
};

// ---- Guitar --------------------------------------------------------------------------------

inline constexpr int kGuitarNutWidth = 65;
inline constexpr int kGuitarFretLines = 24; ///< fret lines FretX holds past the nut
inline constexpr int kGuitarLowestPitch = 52;

/// The neck for a box: frets, fret mode and the highest written pitch.
struct GuitarNeck
{
    int BoxWidth = 0;
    int NeckLength = 0; ///< the box height
    int FretMode = 1;   ///< 1, 2, 3: 12, 16, 20 frets
    int FretCount = 12;
    int TopPitch = 88;
    std::array<int, kGuitarFretLines + 1> FretX{}; ///< FretX[0] the nut line
};
/// Fret mode 1 below 610 pixels, 3 from 820, else 2; frets shrink as on a real neck.
GuitarNeck LayoutGuitarNeck(int boxWidth, int neckLength);

/// Row of string 1..6 (1 the highest, at the top).
int GuitarStringY(const GuitarNeck& neck, int string);

struct GuitarHit
{
    int String = 0;
    int Fret = 0;
    int Pitch = 0; ///< written pitch, without display offset
};
/// The string, fret and pitch under a point; nothing beyond the neck's frets or outside the
/// guitar's written range.
std::optional<GuitarHit> GuitarHitAt(const GuitarNeck& neck, int x, int y);

/// Centre x of a fret's place (0: the open string in the nut area).
int GuitarFretCentreX(const GuitarNeck& neck, int fret);

/// The gold position marks (10-pixel circles).
std::vector<LayoutRect> GuitarInlays(const GuitarNeck& neck);

struct GuitarDot
{
    int String = 0;
    int Fret = 0;
    LayoutRect Ellipse;
    DotColour Colour = DotColour::Pending;
    int Number = 0;
    TNoteRec Note; ///< with the string it got
};
inline constexpr int kGuitarDotWidth = 14;
inline constexpr int kGuitarDotHeight = 12;
/// The dots of the shown notes; a note without a string gets one first; in the progression
/// mode notes are folded above the question root. Notes off the neck have no dot.
std::vector<GuitarDot> GuitarDots(const GuitarNeck& neck, const std::vector<ShownNote>& notes,
                                  int displayOffset, std::optional<int> foldRoot);

/// Where a degree name of the question's key is written on the neck.
struct GuitarDegreeLabel
{
    int Semitones = 0;
    int String = 0;
    int Fret = 0;
};
std::vector<GuitarDegreeLabel> GuitarDegreeLabels(const GuitarNeck& neck, int questionRoot,
                                                  bool minor, int displayOffset);

// ---- Entry by mouse ------------------------------------------------------------------------

/// What a press or drag on an instrument asks of the window.
struct InstrumentEntry
{
    enum class Kind : std::uint8_t
    {
        None = 0,
        Hold = 1,            ///< hold Pitch (silencing Silenced first when set)
        SetChord = 2,        ///< progressions: set the chord on root Pitch, chord type 15
        RemoveChord = 3,     ///< progressions: remove the chord on root Pitch
        Release = 4,         ///< release the held note
        ReleaseRemoving = 5, ///< release with the right button
    };
    Kind Action = Kind::None;
    TPitch Pitch;
    std::optional<TPitch> Silenced; ///< the drag's old pitch (display offset added)
    int GuitarString = 0;           ///< 0: none (piano)
    bool LowerStaff = false;        ///< the staff to show the note on
    std::uint8_t Source = 0;        ///< 2 piano, 4 guitar
};
inline constexpr std::uint8_t kProgressionEntryChordType = 15;
/// Who holds an entered note (the model's HeldSource).
inline constexpr std::uint8_t kEntrySourcePiano = 2;
inline constexpr std::uint8_t kEntrySourceGuitar = 4;

/// Turns a pitch found under the mouse (display offset already added) into an entry: modes
/// 0-4 hold it (a drag to the held pitch does nothing, to another one moves the hold), the
/// progression mode sets or removes a chord on its root folded above the question root.
InstrumentEntry EntryForPitch(const AkkordModel& model, int pitch, int guitarString,
                              std::uint8_t source, bool drag, bool rightButton);
/// A release: outside the progression mode and with a note held (model.HeldNote holds its
/// pitch without the display offset; the entry's Pitch has it added).
InstrumentEntry EntryForRelease(const AkkordModel& model, bool rightButton);

} // namespace pv
