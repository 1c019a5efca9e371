// The main window's key tables, first match wins.
#include "shell/main/MainKeyTable.h"

#include "shell/main/ViewTags.h"

namespace pv {

namespace {

constexpr MainKeyAction kPass{MainKeyActionType::Pass, 0};
constexpr MainKeyAction kNothing{MainKeyActionType::Nothing, 0};

/// X11 and Wayland report the Linux input code + 8: the digit row 1..9, 0 is 10..19.
constexpr std::uint32_t kFirstDigitScanCode = 10;
constexpr std::uint32_t kLastDigitScanCode = 19;

bool Enabled(const MainKeyContext& context, MainControl control)
{
    return !context.IsEnabled || context.IsEnabled(control);
}

bool InExerciseView(const MainKeyContext& context)
{
    return context.CurrentView == MainView::Exercise && context.CurrentKind.has_value();
}

bool IsTapKind(std::optional<ExerciseKind> kind)
{
    return kind == ExerciseKind::RhythmImitation || kind == ExerciseKind::RhythmReading;
}

/// F5..F9 give the control buttons 0..4, every other key -1.
int ControlButtonOf(int key)
{
    return key >= Qt::Key_F5 && key <= Qt::Key_F9 ? key - Qt::Key_F5 : -1;
}

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool Holds(Qt::KeyboardModifiers modifiers, Qt::KeyboardModifier modifier)
{
    return modifiers.testFlag(modifier);
}

/// A view switch, or nothing when the button or menu item the key imitates is disabled: a key
/// never does what a click could not.
MainKeyAction ChooseIfEnabled(const MainKeyContext& context, MainControl control, int tag)
{
    if (!Enabled(context, control))
        return kNothing;
    return {MainKeyActionType::ViewTag, tag};
}

} // namespace

MainKeyAction MainKeyTable::KeyDown(const MainKeyEvent& key, const MainKeyContext& context)
{
    const Qt::KeyboardModifiers mods = key.Modifiers;
    const bool alt = Holds(mods, Qt::AltModifier);
    const bool typing = context.Focus == KeyFocus::TextEntry;
    // Every row acts once per physical press: a held Space taps once, a held F5 presses its
    // button once, and a held Esc does not end the tutor and then leave for the start menu.
    const auto once = [&key](MainKeyAction action) { return key.AutoRepeat ? kNothing : action; };

    // Space taps in the rhythm windows.
    if (key.Key == Qt::Key_Space && InExerciseView(context) && !typing) {
        if (IsTapKind(context.CurrentKind))
            return once({MainKeyActionType::TapDown, KindNumber(*context.CurrentKind)});
        return kNothing;
    }

    // Ctrl+1..9, 0: the Exercises menu's entries, the view kept.
    if (key.Digit && Holds(mods, Qt::ControlModifier) && !alt) {
        const int position = *key.Digit == 0 ? 9 : *key.Digit - 1;
        const ExerciseKind kind = kExercisesMenuOrder[static_cast<std::size_t>(position)];
        return once(ChooseIfEnabled(context,
                                    kExerciseMenuItems[static_cast<std::size_t>(KindNumber(kind))],
                                    KindNumber(kind)));
    }

    // Shift+1..4: the four views of the current exercise.
    if (key.Digit && *key.Digit >= 1 && *key.Digit <= 4 && Holds(mods, Qt::ShiftModifier) && !alt &&
        !typing && context.CurrentKind) {
        switch (*key.Digit) {
        case 1:
            return once(ChooseIfEnabled(context, MainControl::SpeedButton1, kExerciseViewTag));
        case 2:
            return once(ChooseIfEnabled(context, MainControl::RunKonfig, kSetupViewTag));
        case 3:
            return once(ChooseIfEnabled(context, MainControl::SpeedButton5, kResultsViewTag));
        default:
            // The user overview only shows; it is reached even while its button is off.
            return once({MainKeyActionType::ViewTag, kUserOverviewTag});
        }
    }

    if (key.Key == Qt::Key_Escape) {
        if (context.TutorActive)
            return once({MainKeyActionType::EndTutor, kTutorTag});
        return once({MainKeyActionType::ViewTag, kOverviewTag});
    }

    // F5..F9: the control buttons. With Shift they are the menu's.
    if (const int button = ControlButtonOf(key.Key);
        button >= 0 && !Holds(mods, Qt::ShiftModifier) && InExerciseView(context))
        return once({MainKeyActionType::PressButton, button});

    // Enter presses the strip's focused button while the strip has the keyboard focus.
    if (IsEnter(key.Key) && InExerciseView(context) && context.Focus == KeyFocus::ControlStrip &&
        context.StripFocusIndex >= 0)
        return once({MainKeyActionType::PressButton, context.StripFocusIndex});

    return kPass;
}

MainKeyAction MainKeyTable::KeyUp(const MainKeyEvent& key, const MainKeyContext& context)
{
    if (!InExerciseView(context))
        return kPass;
    // The release of a held key's repeats lets nothing go: the button stays down until the key
    // itself comes up.
    const auto once = [&key](MainKeyAction action) { return key.AutoRepeat ? kNothing : action; };
    if (ControlButtonOf(key.Key) >= 0)
        return once({MainKeyActionType::ReleaseButton, 0});
    if (IsEnter(key.Key) && context.Focus == KeyFocus::ControlStrip)
        return once({MainKeyActionType::ReleaseButton, 0});
    if (key.Key == Qt::Key_Space && context.Focus != KeyFocus::TextEntry) {
        if (IsTapKind(context.CurrentKind))
            return once({MainKeyActionType::TapUp, KindNumber(*context.CurrentKind)});
        return kNothing;
    }
    return kPass;
}

std::optional<int> MainKeyTable::DigitKey(int key, Qt::KeyboardModifiers modifiers,
                                          std::uint32_t scanCode, bool evdevScanCodes)
{
    if (modifiers.testFlag(Qt::KeypadModifier))
        return std::nullopt;
    if (evdevScanCodes && scanCode != 0) {
        if (scanCode < kFirstDigitScanCode || scanCode > kLastDigitScanCode)
            return std::nullopt;
        const int place = static_cast<int>(scanCode - kFirstDigitScanCode); // 0 for "1"
        return (place + 1) % 10;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key - Qt::Key_0;
    return std::nullopt;
}

} // namespace pv
