#include "exercises/identification/InstrumentGeometry.h"

#include "music/notation/Guitar.h"
#include "music/notation/NotationTables.h"
#include "music/notation/Pitch.h"
#include "music/notation/Spelling.h"

#include <algorithm>

namespace pv {

namespace {

constexpr int FloorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

constexpr std::array<int, 12> kKeyX = {4, 12, 26, 37, 48, 62, 70, 92, 101, 114, 127, 136};
constexpr std::array<bool, 12> kBlackKey = {false, true,  false, true,  false, true,
                                            false, false, true,  false, true,  false};
/// The white keys' upper parts within an octave (F G A B C D E), inclusive.
struct Span
{
    int Low;
    int High;
};
constexpr std::array<Span, 7> kWhiteUpper = {
    {{2, 10}, {28, 35}, {53, 60}, {78, 86}, {90, 99}, {117, 125}, {143, 152}}};
constexpr std::array<int, 7> kWhiteSemitones = {0, 2, 4, 6, 7, 9, 11};
constexpr std::array<int, 7> kBlackSemitones = {1, 3, 5, 5, 8, 10, 12};
constexpr int kKeyboardBottom = kPianoNominalHeight;

constexpr std::array<int, 7> kMajorDegrees = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinorDegrees = {0, 2, 3, 5, 7, 8, 10};

bool IsHeld(const AkkordModel& model)
{
    return model.HeldNote.Pitch.Note != 0;
}

TPitch Spelled(const AkkordModel& model, int pitch)
{
    return SpellInKey(pitch, model.Sheet.KeySignature, model.Sheet.Minor);
}

bool NumbersDots(IdentificationMode mode)
{
    return mode == IdentificationMode::MelodyDictation ||
           mode == IdentificationMode::ChordProgressions;
}

} // namespace

std::vector<ShownNote> ShownNotesOf(const AkkordModel& model)
{
    std::vector<ShownNote> shown;
    const int capacity = static_cast<int>(model.EnteredNotes.size());
    const int entered = std::clamp<int>(model.EnteredCount, 0, capacity);
    const bool answered = model.Session().Answered;
    const bool wrong = answered && !model.LastAnswerRight;
    const int total = wrong ? std::clamp(model.DisplayedNoteCount, entered, capacity) : entered;
    const bool numbered = NumbersDots(model.Mode);
    for (int k = 0; k < total; ++k) {
        ShownNote note;
        note.Note = model.EnteredNotes[static_cast<std::size_t>(k)];
        const bool question = k >= entered;
        if (!answered) {
            note.Colour = DotColour::Pending;
        } else if (question || model.LastAnswerRight) {
            note.Colour = DotColour::Right;
        } else {
            note.Colour = DotColour::Wrong;
        }
        const int number = question ? k - entered + 1 : k + 1;
        note.Number = numbered && number < 10 ? number : 0;
        shown.push_back(note);
    }
    return shown;
}

int FoldAboveRoot(int pitch, int root)
{
    return root + PositiveMod(pitch - root, 12);
}

// ---- Piano ---------------------------------------------------------------------------------

std::optional<PianoKey> PianoKeyOf(int pitch, int displayOffset)
{
    const int d = pitch - kPianoLowestPitch - displayOffset;
    if (d < 0) {
        return std::nullopt;
    }
    PianoKey key;
    key.KeyClass = d % 12;
    key.OctaveX = (d / 12) * kPianoOctaveWidth;
    key.Black = kBlackKey[static_cast<std::size_t>(key.KeyClass)];
    key.X = key.OctaveX + kKeyX[static_cast<std::size_t>(key.KeyClass)] + (key.Black ? 1 : 0);
    key.DotY = key.Black ? 92 : 153;
    return key;
}

std::vector<LayoutRect> PianoKeyHighlight(const PianoKey& key)
{
    if (key.Black) {
        return {{key.X + 3, 25, 10, 108 - 25}};
    }
    const auto place = static_cast<std::size_t>(
        std::find(kWhiteSemitones.begin(), kWhiteSemitones.end(), key.KeyClass) -
        kWhiteSemitones.begin());
    const Span upper = kWhiteUpper[std::min<std::size_t>(place, 6)];
    const int left = key.OctaveX + upper.Low + 1;
    const int right = key.OctaveX + upper.High - 1;
    return {{key.X - 1, kPianoUpperPartBottom, 17, 169 - kPianoUpperPartBottom},
            {left, 23, right - left + 1, kPianoUpperPartBottom - 23}};
}

int MiddleCMarkX(int displayOffset)
{
    return 401 - FloorDiv(displayOffset + 12, 12) * kPianoOctaveWidth;
}

std::optional<int> PianoPitchAt(int x, int y, int topPitch)
{
    x = std::max(0, x);
    const auto whiteKey = [](int at) {
        const int n = (at + 1) / kPianoWhiteKeyWidth;
        return kWhiteSemitones[static_cast<std::size_t>(n % 7)] + 12 * (n / 7);
    };
    int semitones = 0;
    if (y > kPianoUpperPartBottom) {
        semitones = whiteKey(x);
    } else {
        const int pos = x % kPianoOctaveWidth;
        const bool onWhite = std::any_of(kWhiteUpper.begin(), kWhiteUpper.end(),
                                         [pos](Span s) { return pos >= s.Low && pos <= s.High; });
        const int n = FloorDiv(x - 10, kPianoWhiteKeyWidth);
        const int place = PositiveMod(n, 7);
        // Between B and C and between E and F there is no black key: the narrow seams there
        // belong to the white keys beside them.
        if (onWhite || place == 3 || place == 6) {
            semitones = whiteKey(x);
        } else {
            semitones = kBlackSemitones[static_cast<std::size_t>(place)] + 12 * FloorDiv(n, 7);
        }
    }
    const int pitch = kPianoLowestPitch + semitones;
    if (pitch > topPitch) {
        return std::nullopt;
    }
    return pitch;
}

std::vector<PianoKeyShape> PianoKeyboardShapes(int octaves)
{
    std::vector<PianoKeyShape> shapes;
    for (int o = 0; o < octaves; ++o) {
        const int ox = o * kPianoOctaveWidth;
        for (std::size_t w = 0; w < 7; ++w) {
            shapes.push_back({kPianoLowestPitch + 12 * o + kWhiteSemitones[w],
                              false,
                              {ox + static_cast<int>(w) * kPianoWhiteKeyWidth, kPianoKeyboardTop,
                               kPianoWhiteKeyWidth, kKeyboardBottom - kPianoKeyboardTop}});
        }
    }
    for (int o = 0; o < octaves; ++o) {
        const int ox = o * kPianoOctaveWidth;
        for (std::size_t w = 0; w + 1 < 7; ++w) {
            if (w == 3) {
                continue; // B-C
            }
            const int left = kWhiteUpper[w].High + 1;
            const int right = kWhiteUpper[w + 1].Low - 1;
            shapes.push_back({kPianoLowestPitch + 12 * o + kWhiteSemitones[w] + 1,
                              true,
                              {ox + left, kPianoKeyboardTop, right - left + 1,
                               kPianoUpperPartBottom - kPianoKeyboardTop + 1}});
        }
    }
    return shapes;
}

int PianoNominalY(int boxY, int boxHeight)
{
    if (boxY < kPianoKeyboardTop || boxHeight <= kPianoKeyboardTop) {
        return boxY;
    }
    return kPianoKeyboardTop + (boxY - kPianoKeyboardTop) * (kKeyboardBottom - kPianoKeyboardTop) /
                                   (boxHeight - kPianoKeyboardTop);
}

int PianoBoxY(int nominalY, int boxHeight)
{
    if (nominalY < kPianoKeyboardTop || boxHeight <= kPianoKeyboardTop) {
        return nominalY;
    }
    return kPianoKeyboardTop + (nominalY - kPianoKeyboardTop) * (boxHeight - kPianoKeyboardTop) /
                                   (kKeyboardBottom - kPianoKeyboardTop);
}

std::vector<PianoDot> PianoDots(const std::vector<ShownNote>& notes, int displayOffset)
{
    std::vector<PianoDot> dots;
    for (std::size_t k = 0; k < notes.size(); ++k) {
        const int pitch = notes[k].Note.Pitch.Note;
        if (pitch == 0) {
            continue;
        }
        const auto key = PianoKeyOf(pitch, displayOffset);
        if (!key) {
            continue;
        }
        const auto earlier =
            std::count_if(notes.begin(), notes.begin() + static_cast<long>(k),
                          [pitch](const ShownNote& n) { return n.Note.Pitch.Note == pitch; });
        const int y = key->DotY - kPianoDotRaise * static_cast<int>(earlier);
        dots.push_back(
            {{key->X, y, kPianoDotWidth, kPianoDotHeight}, notes[k].Colour, notes[k].Number});
    }
    return dots;
}

std::vector<PianoDegreeLabel> PianoDegreeLabels(int questionRoot, bool minor, int displayOffset)
{
    std::vector<PianoDegreeLabel> labels;
    for (const int s : minor ? kMinorDegrees : kMajorDegrees) {
        if (const auto key = PianoKeyOf(questionRoot + s, displayOffset)) {
            labels.push_back({s, *key, key->Black ? 23 : kPianoUpperPartBottom});
        }
    }
    return labels;
}

// ---- Piano adjusters -----------------------------------------------------------------------

std::array<PianoAdjusterBox, 2> PianoAdjusters(int octaves)
{
    std::array<PianoAdjusterBox, 2> boxes;
    const std::array<int, 2> lefts = {kPianoOctaveWidth * octaves - 200,
                                      kPianoOctaveWidth * octaves - 100};
    for (std::size_t b = 0; b < 2; ++b) {
        boxes[b].Box = {lefts[b], 2, kAdjusterWidth, 13};
        boxes[b].Text = {lefts[b] + kAdjusterArrowWidth, 2,
                         kAdjusterWidth - 2 * kAdjusterArrowWidth, 13};
    }
    return boxes;
}

AdjusterHalf AdjusterHalfAt(const std::array<PianoAdjusterBox, 2>& boxes, int x, int y)
{
    for (std::size_t b = 0; b < 2; ++b) {
        const LayoutRect& box = boxes[b].Box;
        if (x < box.X || x >= box.Right() || y < box.Y || y >= box.Bottom()) {
            continue;
        }
        const int first = b == 0 ? 1 : 3;
        if (x < boxes[b].Text.X) {
            return static_cast<AdjusterHalf>(first);
        }
        if (x >= boxes[b].Text.Right()) {
            return static_cast<AdjusterHalf>(first + 1);
        }
        return AdjusterHalf::None;
    }
    return AdjusterHalf::None;
}

int AdjusterBoxOf(AdjusterHalf half)
{
    return half == AdjusterHalf::VelocityDown || half == AdjusterHalf::VelocityUp ? 1 : 0;
}

AdjusterEffect PianoAdjusterState::Step(AdjusterHalf half, PianoVoice& voice)
{
    AdjusterEffect effect;
    const PianoVoice before = voice;
    switch (half) {
    case AdjusterHalf::ProgramDown:
        voice.Program = std::max(0, voice.Program - 1);
        break;
    case AdjusterHalf::ProgramUp:
        voice.Program = std::min(127, voice.Program + 1);
        break;
    case AdjusterHalf::VelocityDown:
        voice.Velocity = std::max(0, voice.Velocity - 1);
        break;
    case AdjusterHalf::VelocityUp:
        voice.Velocity = std::min(127, voice.Velocity + 1);
        break;
    case AdjusterHalf::None:
        break;
    }
    effect.ProgramChanged = voice.Program != before.Program;
    effect.VoiceChanged = effect.ProgramChanged || voice.Velocity != before.Velocity;
    effect.Repaint = true;
    return effect;
}

AdjusterEffect PianoAdjusterState::Press(AdjusterHalf half, PianoVoice& voice)
{
    if (half == AdjusterHalf::None) {
        return {};
    }
    m_pressed = half;
    m_lit[static_cast<std::size_t>(AdjusterBoxOf(half))] = true;
    m_ticks = 0;
    m_hover = false;
    m_timer = true;
    return Step(half, voice);
}

AdjusterEffect PianoAdjusterState::Release()
{
    if (m_pressed == AdjusterHalf::None) {
        return {};
    }
    m_pressed = AdjusterHalf::None;
    m_ticks = 0;
    m_hover = true;
    m_timer = true;
    return {};
}

AdjusterEffect PianoAdjusterState::Hover(AdjusterHalf half)
{
    if (half == AdjusterHalf::None || half == m_pressed) {
        return {};
    }
    const auto box = static_cast<std::size_t>(AdjusterBoxOf(half));
    const bool wasLit = m_lit[box];
    m_lit[box] = true;
    m_hover = true;
    m_ticks = 0;
    m_timer = true;
    AdjusterEffect effect;
    effect.Repaint = !wasLit;
    return effect;
}

AdjusterEffect PianoAdjusterState::Tick(PianoVoice& voice)
{
    if (!m_timer) {
        return {};
    }
    ++m_ticks;
    if (m_pressed != AdjusterHalf::None && !m_hover) {
        return m_ticks > 2 ? Step(m_pressed, voice) : AdjusterEffect{};
    }
    if (m_ticks >= kHoverTicks) {
        m_timer = false;
        m_lit = {false, false};
        m_hover = false;
        AdjusterEffect effect;
        effect.Repaint = true;
        return effect;
    }
    return {};
}

// ---- Guitar --------------------------------------------------------------------------------

GuitarNeck LayoutGuitarNeck(int boxWidth, int neckLength)
{
    GuitarNeck neck;
    neck.BoxWidth = std::max(0, boxWidth);
    neck.NeckLength = std::max(12, neckLength);
    neck.FretMode = boxWidth < 610 ? 1 : boxWidth >= 820 ? 3 : 2;
    neck.FretCount = 8 + 4 * neck.FretMode;
    neck.TopPitch = 4 * neck.FretMode + 84;
    const long long span = std::max(0, boxWidth - kGuitarNutWidth);
    // The far end is where the frets would meet; each fret takes the same share of what is
    // left, as on a real neck.
    long long end = 0;
    switch (neck.FretMode) {
    case 1:
        end = span * 490 / 256;
        break;
    case 2:
        end = span * 1635 / 1024;
        break;
    default:
        end = span * 1454 / 1024;
        break;
    }
    long long previous = 0;
    neck.FretX[0] = kGuitarNutWidth;
    for (std::size_t f = 1; f <= kGuitarFretLines; ++f) {
        previous += (end - previous) * 975 / 16384;
        neck.FretX[f] = static_cast<int>(previous) + kGuitarNutWidth;
    }
    return neck;
}

int GuitarStringY(const GuitarNeck& neck, int string)
{
    return neck.NeckLength / 12 * (2 * string - 1);
}

std::optional<GuitarHit> GuitarHitAt(const GuitarNeck& neck, int x, int y)
{
    y = std::clamp(y, 1, std::max(1, neck.NeckLength - 1));
    x = std::clamp(x, 1, std::max(1, neck.BoxWidth));
    GuitarHit hit;
    hit.String = std::min(6, y / std::max(1, neck.NeckLength / 6) + 1);
    if (x < kGuitarNutWidth) {
        hit.Fret = 0;
    } else {
        hit.Fret = kGuitarFretLines;
        for (int f = 1; f < kGuitarFretLines; ++f) {
            if (neck.FretX[static_cast<std::size_t>(f)] >= x) {
                hit.Fret = f;
                break;
            }
        }
    }
    if (hit.Fret > neck.FretCount) {
        return std::nullopt;
    }
    hit.Pitch = GuitarStrings[static_cast<std::size_t>(hit.String)] + hit.Fret;
    if (hit.Pitch < kGuitarLowestPitch || hit.Pitch > neck.TopPitch) {
        return std::nullopt;
    }
    return hit;
}

int GuitarFretCentreX(const GuitarNeck& neck, int fret)
{
    if (fret <= 0) {
        return kGuitarNutWidth - 12;
    }
    const auto f = static_cast<std::size_t>(std::min(fret, kGuitarFretLines));
    return (neck.FretX[f - 1] + neck.FretX[f]) / 2;
}

std::vector<LayoutRect> GuitarInlays(const GuitarNeck& neck)
{
    std::vector<LayoutRect> inlays;
    const int n = neck.NeckLength;
    for (const int fret : {3, 5, 7, 9, 15, 17, 19}) {
        if (fret <= neck.FretCount) {
            inlays.push_back({GuitarFretCentreX(neck, fret) - 5, n / 2 - 5, 10, 10});
        }
    }
    const int x12 = GuitarFretCentreX(neck, 12) - 5;
    inlays.push_back({x12, (2 * n - 30) / 6, 10, 10});
    inlays.push_back({x12, (4 * n - 30) / 6, 10, 10});
    return inlays;
}

std::vector<GuitarDot> GuitarDots(const GuitarNeck& neck, const std::vector<ShownNote>& notes,
                                  int displayOffset, std::optional<int> foldRoot)
{
    std::vector<GuitarDot> dots;
    for (const ShownNote& shown : notes) {
        TNoteRec note = shown.Note;
        if (note.Pitch.Note == 0) {
            continue;
        }
        if (foldRoot) {
            note.Pitch.Note = static_cast<std::int8_t>(FoldAboveRoot(note.Pitch.Note, *foldRoot));
        }
        SetGuitarString(note, displayOffset);
        const int string = GuitarStringNumber(note.GuitarString);
        if (string == 0) {
            continue;
        }
        const int fret =
            note.Pitch.Note - displayOffset - GuitarStrings[static_cast<std::size_t>(string)];
        if (fret < 0 || fret > neck.FretCount) {
            continue;
        }
        GuitarDot dot;
        dot.String = string;
        dot.Fret = fret;
        dot.Ellipse = {GuitarFretCentreX(neck, fret) - kGuitarDotWidth / 2,
                       GuitarStringY(neck, string) - kGuitarDotHeight / 2, kGuitarDotWidth,
                       kGuitarDotHeight};
        dot.Colour = shown.Colour;
        dot.Number = shown.Number;
        dot.Note = note;
        dots.push_back(dot);
    }
    return dots;
}

std::vector<GuitarDegreeLabel> GuitarDegreeLabels(const GuitarNeck& neck, int questionRoot,
                                                  bool minor, int displayOffset)
{
    std::vector<GuitarDegreeLabel> labels;
    for (const int s : minor ? kMinorDegrees : kMajorDegrees) {
        ShownNote shown;
        shown.Note.Pitch.Note = static_cast<std::int8_t>(questionRoot + s);
        const auto dots = GuitarDots(neck, {shown}, displayOffset, std::nullopt);
        if (!dots.empty()) {
            labels.push_back({s, dots.front().String, dots.front().Fret});
        }
    }
    return labels;
}

// ---- Entry by mouse ------------------------------------------------------------------------

InstrumentEntry EntryForPitch(const AkkordModel& model, int pitch, int guitarString,
                              std::uint8_t source, bool drag, bool rightButton)
{
    InstrumentEntry entry;
    entry.Source = source;
    entry.GuitarString = guitarString;
    if (pitch < 0 || pitch > 127) {
        return entry;
    }
    if (model.Mode == IdentificationMode::ChordProgressions) {
        // Chords are set by a click; dragging has nothing held to move.
        if (drag) {
            return entry;
        }
        const int root = FoldAboveRoot(pitch, model.QuestionRoot);
        entry.Pitch = Spelled(model, root);
        entry.Action =
            rightButton ? InstrumentEntry::Kind::RemoveChord : InstrumentEntry::Kind::SetChord;
        return entry;
    }
    entry.Pitch = Spelled(model, pitch);
    entry.LowerStaff = pitch < 60;
    if (drag) {
        // The held note is kept without the display offset.
        TPitch held = model.HeldNote.Pitch;
        held.Note = static_cast<std::int8_t>(std::clamp(held.Note + model.DisplayOffset, 0, 127));
        if (!IsHeld(model) || held.Note == pitch) {
            return entry;
        }
        entry.Silenced = held;
    }
    entry.Action = InstrumentEntry::Kind::Hold;
    return entry;
}

InstrumentEntry EntryForRelease(const AkkordModel& model, bool rightButton)
{
    InstrumentEntry entry;
    if (model.Mode == IdentificationMode::ChordProgressions || !IsHeld(model)) {
        return entry;
    }
    entry.Pitch = model.HeldNote.Pitch;
    entry.Pitch.Note =
        static_cast<std::int8_t>(std::clamp(entry.Pitch.Note + model.DisplayOffset, 0, 127));
    entry.Action =
        rightButton ? InstrumentEntry::Kind::ReleaseRemoving : InstrumentEntry::Kind::Release;
    return entry;
}

} // namespace pv
