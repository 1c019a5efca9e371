// The item editor's rules.
#include "exercises/setuppages/ChordEditModel.h"

#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/sequencer/MidiOut.h"

#include <algorithm>
#include <cstdlib>

namespace pv {

namespace {

constexpr std::array<int, 7> kWhiteSemitones = {0, 2, 4, 6, 7, 9, 11}; // from F
constexpr int kDeleteReachX = 8;
constexpr int kDeleteReachY = 6;
constexpr int kStaffLowest = 41;
/// Chords whose inversions sound like another root position: the augmented triad and the
/// diminished seventh.
constexpr std::array<int, 2> kUnlistedChords = {4, 11};

std::int8_t I8(int value)
{
    return static_cast<std::int8_t>(std::clamp(value, -128, 127));
}

bool InRange(int note)
{
    return note >= kEditLowestNote && note <= kEditHighestNote;
}

TNoteRec NewRecord(TPitch pitch)
{
    TNoteRec rec;
    rec.Pitch = pitch;
    rec.Duration = 0;
    rec.VelocityLevel = 0;
    rec.BarLine = 0;
    rec.Staff = 0;
    return rec;
}

} // namespace

EditView EditViewOfCode(int code)
{
    switch (code) {
    case 2:
        return EditView::Piano;
    case 4:
        return EditView::Guitar;
    default:
        return EditView::Staff;
    }
}

// ---- Geometry -----------------------------------------------------------------------------

std::vector<EditPianoKey> EditPianoKeys()
{
    std::vector<EditPianoKey> keys;
    for (int w = 0; w < kEditPianoWhiteKeys; ++w) {
        const int note =
            kEditLowestNote + 12 * (w / 7) + kWhiteSemitones[static_cast<std::size_t>(w % 7)];
        keys.push_back(
            {note, false,
             QRect(kEditPianoLeft + w * kEditPianoWhite, 0, kEditPianoWhite, kEditPictureHeight)});
    }
    for (int w = 0; w + 1 < kEditPianoWhiteKeys; ++w) {
        // No black key between B and C nor between E and F.
        if (w % 7 == 3 || w % 7 == 6)
            continue;
        const int note =
            kEditLowestNote + 12 * (w / 7) + kWhiteSemitones[static_cast<std::size_t>(w % 7)] + 1;
        keys.push_back(
            {note, true,
             QRect(kEditPianoLeft + (w + 1) * kEditPianoWhite - 7, 0, 14, kEditPianoBlackHeight)});
    }
    return keys;
}

std::optional<int> EditPianoNoteAt(int x, int y)
{
    const std::vector<EditPianoKey> keys = EditPianoKeys();
    // Black keys lie over the white ones: they are looked at first.
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        if (it->Rect.contains(x, std::max(0, y)))
            return it->Note;
    return std::nullopt;
}

EditNeck LayoutEditNeck(int width, int height)
{
    EditNeck neck;
    neck.Width = std::max(kEditNutX + 1, width);
    neck.GuitarHeight = std::max(12, height / 12 * 12);
    // Each fret takes the same share of the room left to the picture's end, as on a real neck.
    long long x = kEditNutX;
    neck.FretX[0] = kEditNutX;
    for (std::size_t f = 1; f <= kEditFretLines; ++f) {
        x += (neck.Width - x) * 975 / 16384;
        neck.FretX[f] = static_cast<int>(x);
    }
    return neck;
}

int EditStringY(const EditNeck& neck, int string)
{
    const int row = neck.GuitarHeight / 6;
    return row * (std::clamp(string, 1, 6) - 1) + row / 2;
}

int EditFretCentreX(const EditNeck& neck, int fret)
{
    if (fret <= 0)
        return kEditNutX - 14;
    const std::size_t f = static_cast<std::size_t>(std::min(fret, kEditFretLines));
    return (neck.FretX[f - 1] + neck.FretX[f]) / 2;
}

std::optional<GuitarPlace> GuitarPlaceOf(int note, std::uint8_t stringByte, int maxFret)
{
    // Items are written in C with the strings of another root: a note its string cannot reach
    // in C is shown where it can be played.
    const int own = GuitarStringNumber(stringByte);
    if (own != 0) {
        const int fret = note - GuitarStrings[static_cast<std::size_t>(own)];
        if (fret >= 0 && fret <= maxFret)
            return GuitarPlace{own, fret};
    }
    TNoteRec rec;
    rec.Pitch.Note = static_cast<std::int8_t>(std::clamp(note, 0, 127));
    SetGuitarString(rec, 0);
    const int string = GuitarStringNumber(rec.GuitarString);
    if (string == 0)
        return std::nullopt;
    const int fret = note - GuitarStrings[static_cast<std::size_t>(string)];
    if (fret < 0 || fret > maxFret)
        return std::nullopt;
    return GuitarPlace{string, fret};
}

std::optional<EditGuitarHit> EditGuitarAt(const EditNeck& neck, int x, int y)
{
    EditGuitarHit hit;
    hit.String = std::clamp(std::max(0, y) / (neck.GuitarHeight / 6) + 1, 1, 6);
    if (x >= kEditNutX) {
        hit.Fret = -1;
        for (int f = 1; f <= kEditPlayableFrets; ++f) {
            if (x < neck.FretX[static_cast<std::size_t>(f)]) {
                hit.Fret = f;
                break;
            }
        }
        if (hit.Fret < 0)
            return std::nullopt;
    }
    hit.Note = GuitarStrings[static_cast<std::size_t>(hit.String)] + hit.Fret;
    return hit;
}

// ---- The editor ---------------------------------------------------------------------------

ChordEditModel::ChordEditModel(const IKeyState& keys, NoteSpacing& spacing, TMidiOut* midiOut)
    : m_midiOut(midiOut), m_sheet(keys, spacing)
{
    m_sheet.SetNoteOffHandler([this](int) { SilenceHeld(); });
}

void ChordEditModel::Open(const Options& options, const std::vector<ItemNote>& notes,
                          const QString& name, const ItemTable& chordItems,
                          const std::array<QString, 6>& inversionNames)
{
    m_options = options;
    m_chordItems = &chordItems;
    m_inversionNames = inversionNames;
    m_held = TNoteRec{};
    m_heldSounded = -1;
    m_heldKeys.clear();
    m_addTool = true;
    Name = name.left(static_cast<int>(kItemNameCapacity));

    // The staff: every note on the treble staff, read there; chords in one column.
    m_sheet.SetClefMode(2);
    m_sheet.SetLastClef(2);
    m_sheet.SetTop(3 * m_sheet.LineSpacing() + 2);
    m_sheet.SetFixedSpacing(options.Kind != ExerciseKind::Scales);
    m_sheet.SetInsertPosition(0);

    // A damaged item shows what the editor can hold: notes in its range, each once, twelve at
    // most.
    m_notes.clear();
    for (const ItemNote& note : notes) {
        if (m_notes.size() >= static_cast<std::size_t>(kEditMaxNotes))
            break;
        if (!InRange(note.Note))
            continue;
        if (std::any_of(m_notes.begin(), m_notes.end(),
                        [&](const TNoteRec& n) { return n.Pitch.Note == note.Note; }))
            continue;
        TNoteRec rec = NewRecord(TPitch{I8(note.Note), note.Shift});
        rec.AccidentalInput = note.Code;
        rec.GuitarString = note.String;
        m_notes.push_back(rec);
    }

    m_chordList.clear();
    if (options.InversionMode) {
        for (int item = 1; item <= static_cast<int>(kItemCount); ++item) {
            if (chordItems.NoteCount(item) < 3 ||
                std::find(kUnlistedChords.begin(), kUnlistedChords.end(), item) !=
                    kUnlistedChords.end())
                continue;
            m_chordList.push_back(item);
        }
        // The item's codes name its chord (zero-based) and inversion.
        m_chordEntry = 0;
        m_inversion = 0;
        if (notes.size() >= 2) {
            const int entry = EntryOfChord(notes[0].Code + 1);
            if (entry >= 0) {
                m_chordEntry = entry;
                m_inversion = notes[1].Code;
            }
        }
        Rebuild();
    }
}

std::vector<ItemNote> ChordEditModel::ItemNotes() const
{
    std::vector<ItemNote> out;
    for (const TNoteRec& rec : m_notes)
        out.push_back({static_cast<std::uint8_t>(rec.Pitch.Note), rec.Pitch.Shift,
                       rec.AccidentalInput, rec.GuitarString});
    return out;
}

void ChordEditModel::AssignStrings()
{
    for (TNoteRec& rec : m_notes)
        SetGuitarString(rec, 0);
    AssignGuitarStrings(m_notes, static_cast<int>(m_notes.size()), 0, m_options.Kind);
}

bool ChordEditModel::AddOrRemoveNote(TPitch pitch, bool remove, int position, int guitarString)
{
    if (!remove) {
        const bool present = std::any_of(m_notes.begin(), m_notes.end(), [&](const TNoteRec& n) {
            return n.Pitch.Note == pitch.Note;
        });
        if (present || NoteCount() >= kEditMaxNotes || !InRange(pitch.Note))
            return false;
        TNoteRec rec = NewRecord(pitch);
        if (guitarString >= 1 && guitarString <= kGuitarStringCount)
            rec.GuitarString = static_cast<std::uint8_t>(guitarString);
        if (position < 1) {
            const auto at = std::find_if(m_notes.begin(), m_notes.end(), [&](const TNoteRec& n) {
                return n.Pitch.Note > pitch.Note;
            });
            m_notes.insert(at, rec);
        } else {
            const std::size_t at = std::min(static_cast<std::size_t>(position - 1), m_notes.size());
            m_notes.insert(m_notes.begin() + static_cast<std::ptrdiff_t>(at), rec);
            m_sheet.SetInsertPosition(0);
        }
        AssignStrings();
        return true;
    }

    std::size_t at = m_notes.size();
    if (position >= 1) {
        at = static_cast<std::size_t>(position - 1);
    } else {
        for (std::size_t i = m_notes.size(); i-- > 0;) {
            if (m_notes[i].Pitch.Note == pitch.Note) {
                at = i;
                break;
            }
        }
    }
    if (at >= m_notes.size())
        return false;
    m_notes.erase(m_notes.begin() + static_cast<std::ptrdiff_t>(at));
    // With a string free again the chord moves back up the neck, from its top note down, as
    // long as no note would cross the one above it.
    if (NoteCount() <= kGuitarStringCount) {
        for (std::size_t i = m_notes.size(); i-- > 0;) {
            TNoteRec& rec = m_notes[i];
            const int string = GuitarStringNumber(rec.GuitarString);
            if (string <= 1)
                continue;
            const int fret = rec.Pitch.Note - GuitarStrings[static_cast<std::size_t>(string - 1)];
            if (fret < 0 || fret > kGuitarMaxFret)
                continue;
            if (i + 1 < m_notes.size() &&
                GuitarStringNumber(m_notes[i + 1].GuitarString) >= string - 1)
                continue;
            rec.GuitarString = static_cast<std::uint8_t>(rec.GuitarString - 1);
        }
    }
    return true;
}

int ChordEditModel::Sounded(int written) const
{
    // The guitar is written an octave above its sound.
    const bool lower = Guitar() && m_midiOut != nullptr && !m_midiOut->Voices().guitarNotTransposed;
    return written - (lower ? 12 : 0);
}

void ChordEditModel::SoundHeld(TPitch pitch)
{
    SilenceHeld();
    m_held.Pitch = pitch;
    if (m_midiOut == nullptr)
        return;
    SoundRecord sound = Guitar() ? m_midiOut->Voices().guitar : m_midiOut->Voices().piano;
    m_heldSounded = std::clamp(Sounded(pitch.Note), 0, 127);
    sound.note = static_cast<std::uint16_t>(m_heldSounded);
    m_midiOut->NoteOn(sound);
}

void ChordEditModel::SilenceHeld()
{
    if (m_heldSounded >= 0 && m_midiOut != nullptr)
        m_midiOut->NoteOff(static_cast<std::uint8_t>(m_heldSounded));
    m_heldSounded = -1;
}

EditEffect ChordEditModel::MidiInMessage(std::uint32_t message)
{
    const std::uint32_t status = message & 0xF0;
    const int note = static_cast<int>((message >> 8) & 0x7F);
    const int velocity = static_cast<int>((message >> 16) & 0x7F);
    EditEffect effect;
    const auto held = std::find_if(m_heldKeys.begin(), m_heldKeys.end(),
                                   [note](const auto& key) { return key.first == note; });
    if (status == 0x90 && velocity > 0) {
        // Keys outside the editor's range are neither sounded nor entered.
        if (!InRange(note) || held != m_heldKeys.end())
            return effect;
        if (m_midiOut != nullptr) {
            if (m_heldKeys.empty() && m_sheet.FixedSpacing())
                m_midiOut->StopQueue();
            SoundRecord sound = Guitar() ? m_midiOut->Voices().guitar : m_midiOut->Voices().piano;
            const int sounded = std::clamp(Sounded(note), 0, 127);
            sound.note = static_cast<std::uint16_t>(sounded);
            m_midiOut->NoteOn(sound);
            m_heldKeys.emplace_back(note, sounded);
        } else {
            m_heldKeys.emplace_back(note, -1);
        }
        const TPitch pitch{I8(note), I8(m_sheet.KeySpelling(note))};
        effect.Repaint = AddOrRemoveNote(pitch, false, 0);
        return effect;
    }
    if (status == 0x80 || (status == 0x90 && velocity == 0)) {
        if (held == m_heldKeys.end())
            return effect;
        if (m_midiOut != nullptr && held->second >= 0)
            m_midiOut->NoteOff(static_cast<std::uint8_t>(held->second));
        m_heldKeys.erase(held);
    }
    return effect;
}

// ---- Staff --------------------------------------------------------------------------------

void ChordEditModel::SetStaffSize(int width, int height)
{
    m_sheet.SetControlSize(width, height);
}

StaffDisplayList ChordEditModel::DrawStaff()
{
    // The notes themselves first: their heads are where the delete tool finds them.
    StaffDisplayList list = m_sheet.Draw(m_notes, NoteCount());
    if (m_held.Pitch.Note == 0 || !m_staffHold)
        return list;
    std::vector<TNoteRec> shown = m_notes;
    TNoteRec held = NewRecord(m_held.Pitch);
    const int position = m_sheet.InsertPosition();
    if (position >= 1) {
        const std::size_t at = std::min(static_cast<std::size_t>(position - 1), shown.size());
        shown.insert(shown.begin() + static_cast<std::ptrdiff_t>(at), held);
    } else {
        const auto at = std::find_if(shown.begin(), shown.end(), [&](const TNoteRec& n) {
            return n.Pitch.Note > held.Pitch.Note;
        });
        shown.insert(at, held);
    }
    // Drawn on a copy: the insert gap would move the entered notes' heads.
    TSheet preview = m_sheet;
    preview.SetInsertPosition(0);
    return preview.Draw(shown, static_cast<int>(shown.size()));
}

EditEffect ChordEditModel::StaffMouseDown(bool leftButton, int x, int y)
{
    EditEffect effect;
    if (!leftButton) {
        if (m_held.Pitch.Note == 0) {
            m_addTool = !m_addTool;
            effect.ToolChanged = true;
        }
        return effect;
    }
    if (InversionMode())
        return effect;
    if (!m_addTool) {
        for (std::size_t i = 0; i < m_notes.size(); ++i) {
            const TNoteRec& n = m_notes[i];
            if (std::abs(n.X - x) <= kDeleteReachX && std::abs(n.Y - y) <= kDeleteReachY) {
                effect.Repaint = AddOrRemoveNote(n.Pitch, true, static_cast<int>(i) + 1);
                break;
            }
        }
        return effect;
    }
    TPitch pitch = m_sheet.NoteAtPoint(x, y, true, NoteCount(), m_notes);
    if (pitch.Note < kStaffLowest)
        pitch.Note = kStaffLowest;
    m_held = NewRecord(pitch);
    m_staffHold = true;
    SoundHeld(pitch);
    effect.HideCursor = true;
    effect.Repaint = true;
    return effect;
}

EditEffect ChordEditModel::StaffMouseMove(bool leftHeld, int x, int y)
{
    EditEffect effect;
    if (!leftHeld || !m_staffHold || m_held.Pitch.Note == 0)
        return effect;
    // A drag captured below the box reads the box's lowest line.
    y = std::clamp(y, 0, m_sheet.ControlHeight());
    TNoteRec moved = m_held;
    if (m_sheet.MoveNote(x, y, 0, moved)) {
        if (moved.Pitch.Note < kStaffLowest)
            moved.Pitch.Note = kStaffLowest;
        m_held = moved;
        SoundHeld(moved.Pitch);
        effect.Repaint = true;
    }
    return effect;
}

EditEffect ChordEditModel::StaffMouseUp(bool leftButton)
{
    EditEffect effect;
    if (!leftButton || !m_staffHold || m_held.Pitch.Note == 0)
        return effect;
    AddOrRemoveNote(m_held.Pitch, false, m_sheet.InsertPosition());
    m_sheet.SetInsertPosition(0);
    SilenceHeld();
    m_held = TNoteRec{};
    m_staffHold = false;
    effect.ShowCursor = true;
    effect.Repaint = true;
    return effect;
}

// ---- Piano and guitar ---------------------------------------------------------------------

EditEffect ChordEditModel::HoldInstrumentNote(int note, int string, bool drag)
{
    EditEffect effect;
    if (InversionMode())
        return effect;
    if (drag && (m_held.Pitch.Note == 0 || m_staffHold))
        return effect;
    if (drag && m_held.Pitch.Note == note && m_held.GuitarString == string)
        return effect;
    m_held = NewRecord(TPitch{I8(note), I8(m_sheet.KeySpelling(note))});
    m_held.GuitarString = static_cast<std::uint8_t>(string);
    m_staffHold = false;
    SoundHeld(m_held.Pitch);
    effect.Repaint = true;
    return effect;
}

EditEffect ChordEditModel::PianoMouseDown(int x, int y)
{
    if (const std::optional<int> note = EditPianoNoteAt(x, y))
        return HoldInstrumentNote(*note, 0, false);
    return {};
}

EditEffect ChordEditModel::PianoMouseMove(int x, int y)
{
    if (const std::optional<int> note = EditPianoNoteAt(x, y))
        return HoldInstrumentNote(*note, 0, true);
    return {};
}

EditEffect ChordEditModel::GuitarMouseDown(const EditNeck& neck, int x, int y)
{
    if (const std::optional<EditGuitarHit> hit = EditGuitarAt(neck, x, y))
        return HoldInstrumentNote(hit->Note, hit->String, false);
    return {};
}

EditEffect ChordEditModel::GuitarMouseMove(const EditNeck& neck, int x, int y)
{
    if (const std::optional<EditGuitarHit> hit = EditGuitarAt(neck, x, y))
        return HoldInstrumentNote(hit->Note, hit->String, true);
    return {};
}

EditEffect ChordEditModel::InstrumentMouseUp(bool rightButton)
{
    EditEffect effect;
    if (m_held.Pitch.Note == 0 || m_staffHold)
        return effect;
    if (rightButton)
        AddOrRemoveNote(m_held.Pitch, true, 0);
    else
        AddOrRemoveNote(m_held.Pitch, false, 0, m_held.GuitarString);
    SilenceHeld();
    m_held = TNoteRec{};
    effect.Repaint = true;
    return effect;
}

void ChordEditModel::Play()
{
    if (m_midiOut == nullptr)
        return;
    m_midiOut->StopQueue();
    m_midiOut->PlayNotes(m_notes, static_cast<std::uint8_t>(NoteCount()), m_options.PlayMode,
                         Guitar());
    m_midiOut->StartQueue();
}

// ---- Inversion mode -----------------------------------------------------------------------

int ChordEditModel::EntryOfChord(int item) const
{
    const auto it = std::find(m_chordList.begin(), m_chordList.end(), item);
    return it != m_chordList.end() ? static_cast<int>(it - m_chordList.begin()) : -1;
}

std::vector<QString> ChordEditModel::InversionNames() const
{
    if (m_chordItems == nullptr || m_chordList.empty())
        return {};
    const int count = m_chordItems->NoteCount(m_chordList[static_cast<std::size_t>(m_chordEntry)]);
    const int shown = std::min(6, count);
    return {m_inversionNames.begin(), m_inversionNames.begin() + shown};
}

void ChordEditModel::ChooseChord(int entry)
{
    if (entry < 0 || entry >= static_cast<int>(m_chordList.size()))
        return;
    m_chordEntry = entry;
    Rebuild();
}

void ChordEditModel::ChooseInversion(int inversion)
{
    m_inversion = inversion;
    Rebuild();
}

void ChordEditModel::Rebuild()
{
    m_notes.clear();
    if (m_chordItems == nullptr || m_chordList.empty()) {
        m_chordEntry = 0;
        m_inversion = 0;
        return;
    }
    m_chordEntry = std::clamp(m_chordEntry, 0, static_cast<int>(m_chordList.size()) - 1);
    const int item = m_chordList[static_cast<std::size_t>(m_chordEntry)];
    const std::vector<ItemNote> chord = m_chordItems->Notes(item);
    const int count = static_cast<int>(chord.size());
    if (m_inversion < 0 || m_inversion >= std::min(count, 6))
        m_inversion = 0;
    // The chord's notes from the inversion's on, then those below it an octave higher.
    for (int k = 0; k < count; ++k) {
        const int from = (m_inversion + k) % count;
        const ItemNote& source = chord[static_cast<std::size_t>(from)];
        const int note = source.Note + (from < m_inversion ? 12 : 0);
        m_notes.push_back(NewRecord(TPitch{I8(note), source.Shift}));
    }
    // The inversions table names its chord (zero-based) and inversion in the first two codes.
    m_notes[0].AccidentalInput = static_cast<std::uint8_t>(item - 1);
    if (m_notes.size() > 1)
        m_notes[1].AccidentalInput = static_cast<std::uint8_t>(m_inversion);
    AssignStrings();
    Name = m_chordItems->Name(item) + QStringLiteral(" (") +
           m_inversionNames[static_cast<std::size_t>(m_inversion)] + QStringLiteral(")");
}

} // namespace pv
