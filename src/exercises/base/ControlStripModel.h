// The state of the five control buttons of an exercise window: press, release, hot and focus
// marks, the hit test and the keys F5..F9 and Enter, without a screen.
#pragma once

#include <array>
#include <functional>

#include <QString>

namespace pv {

class ControlStripModel
{
public:
    static constexpr int kButtonCount = 5;

    int FocusIndex = -1; ///< button with the keyboard-focus mark, -1 = none
    std::array<QString, kButtonCount> Captions;
    std::array<bool, kButtonCount> ButtonEnabled{}; ///< written directly by the exercises
    int PressedIndex = -1;                          ///< button held down, -1 = none
    int HotIndex = -1;                              ///< enabled button under the mouse, -1 = none

    /// Button i exists and works.
    bool IsEnabled(int i) const;

    /// Holds button i down when it exists and is enabled; returns whether anything changed.
    /// The action runs on release, not here.
    bool Press(int i);
    /// Lets go of the held button: returns the button whose action is to run (pressed and still
    /// enabled), else -1. The held button is cleared in every case.
    int Release();
    /// The mouse is over button i (-1: none); returns whether the strip must be repainted.
    bool MouseMove(int i);
    /// The mouse left the strip.
    void MouseLeave() { HotIndex = -1; }
    /// Moves a focus mark that is missing or on a disabled button to the next enabled button after
    /// it; unchanged when there is none.
    void FixFocusIndex();

    /// The button under (x, y): cellWidth is the face width + 3; isBackground tells whether the
    /// strip's pixel at a point has the colour of its pixel at (0, 0). -1 for none.
    static int HitTest(int x, int y, int cellWidth,
                       const std::function<bool(int, int)>& isBackground);

    /// The button a key presses: F5..F9 give 0..4, anything else -1 (Qt::Key values).
    static int ButtonForKey(int key);
    /// Return and the keypad's Enter.
    static bool IsEnterKey(int key);

    /// A key went down; stripHasFocus tells whether the strip holds the keyboard focus. Returns
    /// whether the key belongs to the strip (consumed). A held key's repeats press nothing.
    bool KeyDown(int key, bool autoRepeat, bool stripHasFocus);
    /// A key went up; returns whether the key belongs to the strip. When it does and it is no
    /// repeat, *action receives the button whose action is to run (or -1).
    bool KeyUp(int key, bool autoRepeat, bool stripHasFocus, int* action);
};

} // namespace pv
