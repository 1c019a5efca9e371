// The rhythm options page's load, store and rules.
#include "exercises/setuppages/RytmeOpsModel.h"

#include "exercises/rhythm/TRytme.h"

#include <algorithm>

namespace pv {

namespace {

std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

bool IsTriplet(int button)
{
    return button >= kRytmeOpsValues;
}

} // namespace

void RytmeOpsModel::LoadSetup(const ExerciseSetup& setup, ExerciseKind kind)
{
    const RhythmSetup* block = RhythmSetupOfKind(setup, kind);
    if (block == nullptr)
        return;
    m_kind = kind;
    const RhythmSetup& b = *block;
    for (int i = 0; i < kRytmeOpsTimeSignatures; ++i)
        TimeSignatures[At(i)] = b.TimeSignatures[At(i)] != 0;
    for (int v = 0; v < kRytmeOpsValues; ++v)
        NoteButtons[At(v)] = {b.NoteValues[At(v)] != 0, true};
    for (int t = 0; t < kRytmeOpsTriplets; ++t)
        NoteButtons[At(kRytmeOpsValues + t)] = {
            b.AllTriplets != 0 || (b.TripletMask & (1u << (t + 1))) != 0, true};

    BarsMax = std::max(1, KindFacts(kind).MaxRhythmBars);
    Bars = std::clamp<int>(b.Bars, 1, BarsMax);
    const bool errorDetection = kind == ExerciseKind::RhythmErrorDetection;
    TiesEnabled = !errorDetection;
    Ties = !errorDetection && b.Ties != 0;
    Dotted = b.Dotted != 0;
    Rests = b.Rests != 0;
    // A tempo of 0 cannot be played: it shows as the usual tempo, not as the slowest.
    Tempo = b.Tempo == 0 ? kRhythmDefaultTempo
                         : std::clamp<int>(b.Tempo, kRytmeOpsMinTempo, kRytmeOpsMaxTempo);
    ShowSecondTime = b.ShowSecondTime != 0;
    ShowSecondTimeVisible = kind == ExerciseKind::RhythmImitation;
    CorrectionsVisible = errorDetection;
    Corrections = std::clamp<int>(b.Corrections, 1, kRytmeOpsMaxCorrections);
    EvaluationVisible = !errorDetection;
    // An unknown strength is judged as the normal one, so the page shows that.
    Evaluation = b.RhythmEvaluation >= 0 && b.RhythmEvaluation <= 2 ? b.RhythmEvaluation : 1;
    SpeedButton13Click();
}

RhythmSetup RytmeOpsModel::PageBlock(const RhythmSetup& base, ExerciseKind kind) const
{
    RhythmSetup b = base;
    for (int i = 0; i < kRytmeOpsTimeSignatures; ++i)
        b.TimeSignatures[At(i)] = TimeSignatures[At(i)] ? 1 : 0;
    for (int v = 0; v < kRytmeOpsValues; ++v)
        b.NoteValues[At(v)] = NoteButtons[At(v)].Down ? 1 : 0;
    b.TripletMask = 0;
    for (int t = 0; t < kRytmeOpsTriplets; ++t)
        if (NoteButtons[At(kRytmeOpsValues + t)].Down)
            b.TripletMask = static_cast<std::uint8_t>(b.TripletMask | (1u << (t + 1)));
    b.Bars = static_cast<std::uint8_t>(Bars);
    b.AllTriplets = 0;
    b.Dotted = Dotted ? 1 : 0;
    b.Tempo = static_cast<std::uint8_t>(Tempo & 0xFF);
    b.Rests = Rests ? 1 : 0;
    if (kind == ExerciseKind::RhythmErrorDetection) {
        // Error detection never ties: a tie is one of the errors it makes.
        b.Corrections = static_cast<std::uint8_t>(Corrections);
        b.Ties = 0;
    } else {
        b.Ties = Ties ? 1 : 0;
        b.RhythmEvaluation = static_cast<std::int16_t>(Evaluation);
        if (kind == ExerciseKind::RhythmImitation)
            b.ShowSecondTime = ShowSecondTime ? 1 : 0;
    }
    return b;
}

void RytmeOpsModel::StoreSetup(ExerciseSetup& setup, ExerciseKind kind) const
{
    if (RhythmSetup* block = RhythmSetupOfKind(setup, kind))
        *block = PageBlock(*block, kind);
}

void RytmeOpsModel::SpeedButton13Click()
{
    int m = 0;
    for (int i = 0; i < kRytmeOpsTimeSignatures; ++i)
        if (TimeSignatures[At(i)] && (m == 0 || kRytmeOpsBarTags[At(i)] < m))
            m = kRytmeOpsBarTags[At(i)];
    if (m == 0) {
        TimeSignatures[At(kRytmeOpsFourFour)] = true;
        m = kRytmeOpsBarTags[At(kRytmeOpsFourFour)];
    }
    // No value or triplet group longer than the shortest chosen bar can be chosen.
    for (int i = 0; i < kRytmeOpsNoteButtons; ++i) {
        RytmeOpsToggle& button = NoteButtons[At(i)];
        button.Enabled = kRytmeOpsNoteTags[At(i)] <= m;
        if (!button.Enabled)
            button.Down = false;
    }
    SpeedButton1Click(std::nullopt);
}

void RytmeOpsModel::SpeedButton1Click(std::optional<int> sender)
{
    int s = 0;
    bool triplet = false;
    for (int i = 0; i < kRytmeOpsNoteButtons; ++i) {
        if (NoteButtons[At(i)].Down && (s == 0 || kRytmeOpsNoteTags[At(i)] < s)) {
            s = kRytmeOpsNoteTags[At(i)];
            triplet = IsTriplet(i);
        }
    }
    if (s == 0) {
        const int fallback = sender == kRytmeOpsEighth ? kRytmeOpsQuarter : kRytmeOpsEighth;
        NoteButtons[At(fallback)].Down = true;
        s = kRytmeOpsNoteTags[At(fallback)];
        triplet = false;
    }
    // A bar the chosen values cannot fill gets eighth notes. Every bar is tested, those whose
    // length is a multiple of a half note too: 3/2 holds no whole note, nor 12/8 a half-note
    // triplet.
    for (int i = 0; i < kRytmeOpsTimeSignatures; ++i) {
        if (!TimeSignatures[At(i)])
            continue;
        const int t = kRytmeOpsBarTags[At(i)];
        const bool dottedFill = Dotted && t % (s * 3 / 2) == 0 && !triplet;
        if (t % s != 0 && !dottedFill)
            NoteButtons[At(kRytmeOpsEighth)].Down = true;
    }
    KeepBarsFillable();
}

void RytmeOpsModel::KeepBarsFillable()
{
    // The rule above counts lengths only; the generator also keeps notes inside their beats
    // and beam groups, writes no triplets in compound time and never strands a bar half full.
    // What it cannot always fill gets eighth notes as well, which fill any bar.
    const RhythmSetup block = PageBlock(RhythmSetup{}, m_kind);
    for (int i = 0; i < kRytmeOpsTimeSignatures; ++i) {
        if (TimeSignatures[At(i)] && !RhythmBarsAlwaysFill(block, i + 1)) {
            NoteButtons[At(kRytmeOpsEighth)].Down = true;
            return;
        }
    }
}

void RytmeOpsModel::ClickTimeSignature(int index)
{
    if (index < 0 || index >= kRytmeOpsTimeSignatures)
        return;
    TimeSignatures[At(index)] = !TimeSignatures[At(index)];
    SpeedButton13Click();
}

void RytmeOpsModel::ClickNoteButton(int index)
{
    if (index < 0 || index >= kRytmeOpsNoteButtons || !NoteButtons[At(index)].Enabled)
        return;
    NoteButtons[At(index)].Down = !NoteButtons[At(index)].Down;
    SpeedButton1Click(index);
}

void RytmeOpsModel::SetDotted(bool on)
{
    Dotted = on;
    SpeedButton1Click(std::nullopt);
}

void RytmeOpsModel::SpeedButton25Click(const ExerciseSetup& saved, ExerciseSetup& current,
                                       ExerciseKind kind)
{
    const RhythmSetup* from = RhythmSetupOfKind(saved, kind);
    RhythmSetup* to = RhythmSetupOfKind(current, kind);
    if (from == nullptr || to == nullptr)
        return;
    *to = *from;
    LoadSetup(current, kind);
}

QString RytmeOpsModel::TempoText() const
{
    return QStringLiteral("= ") + QString::number(Tempo);
}

} // namespace pv
