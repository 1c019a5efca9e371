// The main window's keys: which key, in which state of the window, does what. The window's
// event routing asks this table and carries out the answer.
#pragma once

#include "music/base/ExerciseKind.h"
#include "shell/commands/MainControls.h"
#include "shell/results/ExerciseForms.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include <Qt>

namespace pv {

/// Where the keyboard focus is, as far as the keys care.
enum class KeyFocus : int
{
    Elsewhere = 0,
    ControlStrip = 1, ///< the current exercise's control strip
    TextEntry = 2,    ///< a field the user types into: printable keys are its own
};

/// The window's state the keys look at.
struct MainKeyContext
{
    std::optional<ExerciseKind> CurrentKind; ///< none: the start menu
    MainView CurrentView = MainView::Exercise;
    bool TutorActive = false;
    KeyFocus Focus = KeyFocus::Elsewhere;
    int StripFocusIndex = -1; ///< the strip's focused button, -1 = none
    /// Whether a button or menu item a key imitates works now; empty: every one does.
    std::function<bool(MainControl)> IsEnabled;
};

/// One key going down or up.
struct MainKeyEvent
{
    int Key = 0; ///< a Qt::Key value
    Qt::KeyboardModifiers Modifiers;
    bool AutoRepeat = false;
    /// The digit key (0..9 of the row above the letters) that was struck, whatever the layout
    /// made of it: Shift+1 is "!" on one keyboard and "1" on another. None: not a digit key.
    std::optional<int> Digit;
};

enum class MainKeyActionType : int
{
    Pass = 0,          ///< not the window's key: it goes on to the focused control
    Nothing = 1,       ///< the window's key, with nothing to do now
    ViewTag = 2,       ///< a view or exercise chosen: Value is its view tag
    EndTutor = 3,      ///< the tutor button released and chosen: the tutor ends
    PressButton = 4,   ///< the current exercise's control button Value (0..4) held down
    ReleaseButton = 5, ///< the held control button let go (its action runs)
    TapDown = 6,       ///< a rhythm tap starts in the window of kind Value
    TapUp = 7,         ///< the rhythm tap ends in the window of kind Value
};

struct MainKeyAction
{
    MainKeyActionType Type = MainKeyActionType::Pass;
    int Value = 0;
    /// The window takes the key (the focused control does not see it).
    bool Taken() const { return Type != MainKeyActionType::Pass; }
    bool operator==(const MainKeyAction&) const = default;
};

class MainKeyTable
{
public:
    /// The kinds of the Exercises menu's entries, top to bottom: Ctrl+1 opens the first,
    /// Ctrl+0 the tenth.
    static constexpr std::array<ExerciseKind, 10> kExercisesMenuOrder = {
        ExerciseKind::IntervalComparison,   ExerciseKind::IntervalIdentification,
        ExerciseKind::ChordIdentification,  ExerciseKind::ChordInversions,
        ExerciseKind::ChordProgressions,    ExerciseKind::Scales,
        ExerciseKind::RhythmReading,        ExerciseKind::RhythmImitation,
        ExerciseKind::RhythmErrorDetection, ExerciseKind::MelodyDictation};

    /// A key went down; the first row of the table that matches decides.
    static MainKeyAction KeyDown(const MainKeyEvent& key, const MainKeyContext& context);
    /// A key went up.
    static MainKeyAction KeyUp(const MainKeyEvent& key, const MainKeyContext& context);

    /// The digit key behind a key event: by the physical key when its scan code is known
    /// (evdevScanCodes: the platform reports Linux input codes + 8, as X11 and Wayland do),
    /// else by the key's own digit. The keypad's digits are not digit keys.
    static std::optional<int> DigitKey(int key, Qt::KeyboardModifiers modifiers,
                                       std::uint32_t scanCode, bool evdevScanCodes);
};

} // namespace pv
