// The main window's key tables: every row, its conditions, and the keys that are not its own.
#include "shell/main/MainKeyTable.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace pv {
namespace {

using Type = MainKeyActionType;

enum class Dir
{
    Down,
    Up
};

/// A state of the main window.
struct State
{
    std::optional<ExerciseKind> kind;
    MainView view = MainView::Exercise;
    bool tutor = false;
    KeyFocus focus = KeyFocus::Elsewhere;
    int stripFocus = -1;
    std::set<MainControl> disabled;

    MainKeyContext Context() const
    {
        MainKeyContext c;
        c.CurrentKind = kind;
        c.CurrentView = view;
        c.TutorActive = tutor;
        c.Focus = focus;
        c.StripFocusIndex = stripFocus;
        c.IsEnabled = [d = disabled](MainControl control) { return d.count(control) == 0; };
        return c;
    }
};

State Make(std::optional<ExerciseKind> kind, MainView view = MainView::Exercise,
           std::set<MainControl> disabled = {}, KeyFocus focus = KeyFocus::Elsewhere,
           int stripFocus = -1, bool tutor = false)
{
    State s;
    s.kind = kind;
    s.view = view;
    s.tutor = tutor;
    s.focus = focus;
    s.stripFocus = stripFocus;
    s.disabled = std::move(disabled);
    return s;
}

const State kStartMenu = Make(std::nullopt);
const State kChords = Make(ExerciseKind::ChordIdentification);
const State kChordsResults = Make(ExerciseKind::ChordIdentification, MainView::Results);
const State kImitation = Make(ExerciseKind::RhythmImitation);
const State kReading = Make(ExerciseKind::RhythmReading);
/// The tutor as it runs: the setup view, the start menu and the kinds without steps are off.
const State kTutor =
    Make(ExerciseKind::ChordIdentification, MainView::Exercise,
         {MainControl::RunKonfig, MainControl::Overview1, MainControl::SpeedButton11,
          MainControl::Intervalsammenligning1, MainControl::Melody1},
         KeyFocus::Elsewhere, -1, true);
const State kStripFocused =
    Make(ExerciseKind::ChordIdentification, MainView::Exercise, {}, KeyFocus::ControlStrip, 2);
const State kStripWithoutMark =
    Make(ExerciseKind::ChordIdentification, MainView::Exercise, {}, KeyFocus::ControlStrip, -1);
const State kTypingInSetup =
    Make(ExerciseKind::ChordIdentification, MainView::ExerciseSetup, {}, KeyFocus::TextEntry);
/// The user overview's button is off for every user.
const State kChordsNoUserOverview =
    Make(ExerciseKind::ChordIdentification, MainView::Exercise, {MainControl::SpeedButton11});

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;

struct Case
{
    const char* name;
    State state;
    Dir dir;
    int key;
    Qt::KeyboardModifiers modifiers;
    std::optional<int> digit;
    bool autoRepeat;
    MainKeyAction expected;
};

TEST(MainKeyTable, EveryRowActsOnlyInItsStateAndTheFirstMatchWins)
{
    // Shift+1 arrives as "!" on this keyboard: the digit is the key that was struck.
    // clang-format off
    const Case cases[] = {
        // Space taps in the two rhythm windows that listen for taps, once per press.
        {"Space taps in rhythm imitation",
         kImitation, Dir::Down, Qt::Key_Space, kNone, {}, false, {Type::TapDown, 4}},
        {"Space taps in rhythm reading",
         kReading, Dir::Down, Qt::Key_Space, kNone, {}, false, {Type::TapDown, 5}},
        {"a held Space taps once",
         kImitation, Dir::Down, Qt::Key_Space, kNone, {}, true, {Type::Nothing, 0}},
        {"Space in chord identification is taken and does nothing",
         kChords, Dir::Down, Qt::Key_Space, kNone, {}, false, {Type::Nothing, 0}},
        {"Space on the start menu is the focused control's",
         kStartMenu, Dir::Down, Qt::Key_Space, kNone, {}, false, {Type::Pass, 0}},
        {"Space up ends the tap",
         kReading, Dir::Up, Qt::Key_Space, kNone, {}, false, {Type::TapUp, 5}},
        {"a held Space's repeats end no tap",
         kReading, Dir::Up, Qt::Key_Space, kNone, {}, true, {Type::Nothing, 0}},
        {"Space in a text field is typed",
         kTypingInSetup, Dir::Down, Qt::Key_Space, kNone, {}, false, {Type::Pass, 0}},
        // Ctrl+digits: the Exercises menu's entries in its order; Ctrl+0 is the tenth.
        {"Ctrl+1 opens interval comparison",
         kStartMenu, Dir::Down, Qt::Key_1, kCtrl, 1, false, {Type::ViewTag, 3}},
        {"Ctrl+3 opens chord identification",
         kChordsResults, Dir::Down, Qt::Key_3, kCtrl, 3, false, {Type::ViewTag, 1}},
        {"Ctrl+5 opens chord progressions",
         kChords, Dir::Down, Qt::Key_5, kCtrl, 5, false, {Type::ViewTag, 10}},
        {"Ctrl+8 opens rhythm imitation",
         kChords, Dir::Down, Qt::Key_8, kCtrl, 8, false, {Type::ViewTag, 4}},
        {"Ctrl+0 opens melody dictation",
         kChords, Dir::Down, Qt::Key_0, kCtrl, 0, false, {Type::ViewTag, 9}},
        {"Ctrl+1 while its menu entry is off does nothing",
         kTutor, Dir::Down, Qt::Key_1, kCtrl, 1, false, {Type::Nothing, 0}},
        {"Ctrl+0 while its menu entry is off does nothing",
         kTutor, Dir::Down, Qt::Key_0, kCtrl, 0, false, {Type::Nothing, 0}},
        {"Ctrl+3 in the tutor opens a kind with steps",
         kTutor, Dir::Down, Qt::Key_3, kCtrl, 3, false, {Type::ViewTag, 1}},
        {"Ctrl wins over Shift",
         kChords, Dir::Down, Qt::Key_At, kCtrl | kShift, 2, false, {Type::ViewTag, 2}},
        {"Ctrl with a digit in a text field still switches",
         kTypingInSetup, Dir::Down, Qt::Key_7, kCtrl, 7, false, {Type::ViewTag, 5}},
        {"Ctrl with a keypad digit is no digit key",
         kChords, Dir::Down, Qt::Key_1, kCtrl | Qt::KeypadModifier, {}, false, {Type::Pass, 0}},
        // Shift+1..4: the views of the current exercise.
        {"Shift+1 is the exercise view",
         kChordsResults, Dir::Down, Qt::Key_Exclam, kShift, 1, false, {Type::ViewTag, 256}},
        {"Shift+2 is the setup view",
         kChords, Dir::Down, Qt::Key_At, kShift, 2, false, {Type::ViewTag, 512}},
        {"Shift+3 is the results view",
         kChords, Dir::Down, Qt::Key_NumberSign, kShift, 3, false, {Type::ViewTag, 768}},
        {"Shift+4 is the user overview even with its button off",
         kChordsNoUserOverview, Dir::Down, Qt::Key_Dollar, kShift, 4, false, {Type::ViewTag, 1024}},
        {"Shift+2 while the setup view is off does nothing",
         kTutor, Dir::Down, Qt::Key_At, kShift, 2, false, {Type::Nothing, 0}},
        {"Shift+2 on the start menu is no view",
         kStartMenu, Dir::Down, Qt::Key_At, kShift, 2, false, {Type::Pass, 0}},
        {"Shift+5 is no view",
         kChords, Dir::Down, Qt::Key_Percent, kShift, 5, false, {Type::Pass, 0}},
        {"Shift+1 in a text field is typed",
         kTypingInSetup, Dir::Down, Qt::Key_Exclam, kShift, 1, false, {Type::Pass, 0}},
        {"a held Shift+3 switches once",
         kChords, Dir::Down, Qt::Key_NumberSign, kShift, 3, true, {Type::Nothing, 0}},
        // Esc ends the tutor, else goes to the start menu.
        {"Esc in the tutor ends it",
         kTutor, Dir::Down, Qt::Key_Escape, kNone, {}, false, {Type::EndTutor, 0x1100}},
        {"Esc goes to the start menu",
         kChordsResults, Dir::Down, Qt::Key_Escape, kNone, {}, false, {Type::ViewTag, 511}},
        {"Esc on the start menu stays there",
         kStartMenu, Dir::Down, Qt::Key_Escape, kNone, {}, false, {Type::ViewTag, 511}},
        {"a held Esc ends the tutor and goes no further",
         kTutor, Dir::Down, Qt::Key_Escape, kNone, {}, true, {Type::Nothing, 0}},
        // F5..F9 press the control buttons of the shown exercise; up lets go.
        {"F5 presses button 0",
         kChords, Dir::Down, Qt::Key_F5, kNone, {}, false, {Type::PressButton, 0}},
        {"F9 presses button 4",
         kReading, Dir::Down, Qt::Key_F9, kNone, {}, false, {Type::PressButton, 4}},
        {"Ctrl+F7 presses button 2",
         kChords, Dir::Down, Qt::Key_F7, kCtrl, {}, false, {Type::PressButton, 2}},
        {"a held F6 presses once",
         kChords, Dir::Down, Qt::Key_F6, kNone, {}, true, {Type::Nothing, 0}},
        {"F5 on the start menu is no button",
         kStartMenu, Dir::Down, Qt::Key_F5, kNone, {}, false, {Type::Pass, 0}},
        {"F8 in the results view is no button",
         kChordsResults, Dir::Down, Qt::Key_F8, kNone, {}, false, {Type::Pass, 0}},
        {"Shift+F5 is the menu's",
         kChords, Dir::Down, Qt::Key_F5, kShift, {}, false, {Type::Pass, 0}},
        {"F6 up lets go", kChords, Dir::Up, Qt::Key_F6, kNone, {}, false, {Type::ReleaseButton, 0}},
        {"F6 up with Shift still lets go",
         kChords, Dir::Up, Qt::Key_F6, kShift, {}, false, {Type::ReleaseButton, 0}},
        {"a held F6's repeats let nothing go",
         kChords, Dir::Up, Qt::Key_F6, kNone, {}, true, {Type::Nothing, 0}},
        {"F9 up on the start menu",
         kStartMenu, Dir::Up, Qt::Key_F9, kNone, {}, false, {Type::Pass, 0}},
        {"F5 up in the setup view",
         kTypingInSetup, Dir::Up, Qt::Key_F5, kNone, {}, false, {Type::Pass, 0}},
        // Enter presses the strip's marked button while the strip has the focus.
        {"Enter on the strip presses its marked button",
         kStripFocused, Dir::Down, Qt::Key_Return, kNone, {}, false, {Type::PressButton, 2}},
        {"keypad Enter too",
         kStripFocused, Dir::Down, Qt::Key_Enter, Qt::KeypadModifier, {}, false,
         {Type::PressButton, 2}},
        {"Enter on a strip without a mark",
         kStripWithoutMark, Dir::Down, Qt::Key_Return, kNone, {}, false, {Type::Pass, 0}},
        {"Enter elsewhere is the focused control's",
         kChords, Dir::Down, Qt::Key_Return, kNone, {}, false, {Type::Pass, 0}},
        {"Enter up on the strip lets go",
         kStripFocused, Dir::Up, Qt::Key_Return, kNone, {}, false, {Type::ReleaseButton, 0}},
        {"Enter up elsewhere", kChords, Dir::Up, Qt::Key_Return, kNone, {}, false, {Type::Pass, 0}},
        // Keys of no row.
        {"an accidental letter", kChords, Dir::Down, Qt::Key_Z, kNone, {}, false, {Type::Pass, 0}},
        {"a plain digit", kChords, Dir::Down, Qt::Key_2, kNone, 2, false, {Type::Pass, 0}},
        {"Alt with a digit",
         kChords, Dir::Down, Qt::Key_2, Qt::AltModifier | kCtrl, 2, false, {Type::Pass, 0}},
        {"Ctrl+Z up", kChords, Dir::Up, Qt::Key_Z, kCtrl, {}, false, {Type::Pass, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MainKeyEvent key{c.key, c.modifiers, c.autoRepeat, c.digit};
        const MainKeyContext context = c.state.Context();
        const MainKeyAction action = c.dir == Dir::Down ? MainKeyTable::KeyDown(key, context)
                                                        : MainKeyTable::KeyUp(key, context);
        EXPECT_EQ(static_cast<int>(action.Type), static_cast<int>(c.expected.Type));
        EXPECT_EQ(action.Value, c.expected.Value);
    }
}

TEST(MainKeyTable, TheDigitKeyIsThePhysicalKeyWhateverTheLayoutMakesOfIt)
{
    struct DigitCase
    {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::uint32_t scanCode;
        bool evdev;
        std::optional<int> digit;
    };
    const DigitCase cases[] = {
        {"Shift+1 on a US keyboard", Qt::Key_Exclam, kShift, 10, true, 1},
        {"Shift+2 on a German keyboard", Qt::Key_QuoteDbl, kShift, 11, true, 2},
        {"the 1 key of a French keyboard", Qt::Key_Ampersand, kCtrl, 10, true, 1},
        {"Shift+9", Qt::Key_ParenLeft, kShift, 18, true, 9},
        {"the 0 key", Qt::Key_ParenRight, kShift, 19, true, 0},
        {"the minus key beside 0", Qt::Key_Minus, kNone, 20, true, std::nullopt},
        {"the key left of 1", Qt::Key_1, kNone, 49, true, std::nullopt},
        {"the keypad's 1", Qt::Key_1, Qt::KeypadModifier, 87, true, std::nullopt},
        {"no scan code: the key's digit", Qt::Key_4, kShift, 0, true, 4},
        {"a platform of other codes: the key's digit", Qt::Key_7, kCtrl, 10, false, 7},
        {"no scan code and no digit", Qt::Key_Exclam, kShift, 0, true, std::nullopt},
    };
    for (const DigitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MainKeyTable::DigitKey(c.key, c.modifiers, c.scanCode, c.evdev), c.digit);
    }
}

} // namespace
} // namespace pv
