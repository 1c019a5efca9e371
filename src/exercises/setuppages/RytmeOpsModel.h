// The rhythm options page of the three rhythm kinds without its window: the note values,
// triplets, time signatures, bars, tempo, corrections and evaluation of one `RhythmSetup`, its
// load and store per kind, and the rules that keep every choice able to make a rhythm.
#pragma once

#include "exercises/setup/ExerciseSetup.h"
#include "music/base/ExerciseKind.h"

#include <array>
#include <optional>

#include <QString>

namespace pv {

/// The note buttons: the six values whole .. thirty-second, then the triplets of the half,
/// quarter, eighth and sixteenth note.
inline constexpr int kRytmeOpsValues = 6;
inline constexpr int kRytmeOpsTriplets = 4;
inline constexpr int kRytmeOpsNoteButtons = kRytmeOpsValues + kRytmeOpsTriplets;
inline constexpr int kRytmeOpsTimeSignatures = 14;
/// Each note button's length in thirty-seconds (`Tag`): a value's own, a triplet group's whole.
inline constexpr std::array<int, kRytmeOpsNoteButtons> kRytmeOpsNoteTags = {32, 16, 8,  4, 2,
                                                                            1,  32, 16, 8, 4};
/// Each time signature's bar in thirty-seconds, in the order of the time-signature table.
inline constexpr std::array<int, kRytmeOpsTimeSignatures> kRytmeOpsBarTags = {
    32, 16, 24, 32, 12, 24, 48, 64, 28, 36, 48, 40, 16, 20};
/// Button indexes the rules name.
inline constexpr int kRytmeOpsQuarter = 2;
inline constexpr int kRytmeOpsEighth = 3;
inline constexpr int kRytmeOpsFourFour = 3;
/// The tempo control's range.
inline constexpr int kRytmeOpsMinTempo = 40;
inline constexpr int kRytmeOpsMaxTempo = 240;
inline constexpr int kRytmeOpsMaxCorrections = 5;

/// A toggle button of the page.
struct RytmeOpsToggle
{
    bool Down = false;
    bool Enabled = true;
    friend bool operator==(const RytmeOpsToggle&, const RytmeOpsToggle&) = default;
};

class RytmeOpsModel
{
public:
    /// Fills the page from the block of kind 4, 5 or 6; any other kind changes nothing. Values
    /// a damaged file or tutor gave (no note value or time signature, bars or tempo out of
    /// range, an unknown evaluation) show as the nearest valid choice.
    void LoadSetup(const ExerciseSetup& setup, ExerciseKind kind);
    /// Writes the page into the block of kind 4, 5 or 6; the bytes the page does not own keep
    /// their values. Any other kind changes nothing.
    void StoreSetup(ExerciseSetup& setup, ExerciseKind kind) const;

    /// The time signatures changed: with none down 4/4 goes down; values and triplet groups
    /// longer than the shortest chosen bar are put up and disabled; then the note rule.
    void SpeedButton13Click();
    /// The note values changed (sender: the button pressed, if any): with none down the eighth
    /// goes down (the quarter when the eighth was switched off); a chosen bar that the values
    /// cannot fill gets eighth notes.
    void SpeedButton1Click(std::optional<int> sender);

    /// The user presses time signature index (0..13) or note button index (0..9); a disabled
    /// button does nothing.
    void ClickTimeSignature(int index);
    void ClickNoteButton(int index);
    /// The dotted notes box: the values must still fill every bar without dots.
    void SetDotted(bool on);

    /// "Restore to previous settings": the kind's block as it was saved is put back into the
    /// current setup and shown again.
    void SpeedButton25Click(const ExerciseSetup& saved, ExerciseSetup& current, ExerciseKind kind);

    /// The text beside the tempo's note picture: "= " and the tempo.
    QString TempoText() const;
    /// The page as a rhythm setup (the block's other bytes as in base).
    RhythmSetup PageBlock(const RhythmSetup& base, ExerciseKind kind) const;

    std::array<RytmeOpsToggle, kRytmeOpsNoteButtons> NoteButtons{};
    std::array<bool, kRytmeOpsTimeSignatures> TimeSignatures{};
    int Bars = 1;
    int BarsMax = 6;
    int Tempo = 90;
    bool Ties = false;
    bool TiesEnabled = true;
    bool Dotted = false;
    bool Rests = false;
    bool ShowSecondTime = false;
    bool ShowSecondTimeVisible = false;
    int Corrections = 1;
    bool CorrectionsVisible = false;
    /// 0 kind, 1 normal, 2 severe.
    int Evaluation = 1;
    bool EvaluationVisible = true;

private:
    /// The eighth goes down for every chosen bar the chosen values cannot fill.
    void KeepBarsFillable();

    /// The kind last loaded, for the rules that read its block.
    ExerciseKind m_kind = ExerciseKind::RhythmImitation;
};

} // namespace pv
