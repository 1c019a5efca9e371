// Control strip state changes, the hit test and the key binding.
#include "exercises/base/ControlStripModel.h"

#include <cstddef>

#include <Qt>

namespace pv {

bool ControlStripModel::IsEnabled(int i) const
{
    return i >= 0 && i < kButtonCount && ButtonEnabled[static_cast<std::size_t>(i)];
}

bool ControlStripModel::Press(int i)
{
    if (!IsEnabled(i))
        return false;
    PressedIndex = i;
    return true;
}

int ControlStripModel::Release()
{
    // The enabled flag is looked at again: an exercise may have disabled the button while it was
    // held, and then the release must not act.
    const int action = IsEnabled(PressedIndex) ? PressedIndex : -1;
    PressedIndex = -1;
    return action;
}

bool ControlStripModel::MouseMove(int i)
{
    if (i >= 0 && i < kButtonCount && !IsEnabled(i)) {
        HotIndex = -1;
        return true;
    }
    if (i == HotIndex)
        return false;
    HotIndex = (i >= 0 && i < kButtonCount) ? i : -1;
    return true;
}

void ControlStripModel::FixFocusIndex()
{
    if (FocusIndex >= 0 && IsEnabled(FocusIndex))
        return;
    for (int i = FocusIndex + 1; i < kButtonCount; ++i) {
        if (IsEnabled(i)) {
            FocusIndex = i;
            return;
        }
    }
}

int ControlStripModel::HitTest(int x, int y, int cellWidth,
                               const std::function<bool(int, int)>& isBackground)
{
    if (x < 0 || y < 0 || cellWidth <= 0)
        return -1;
    const int b = x / cellWidth;
    const int r = x % cellWidth;
    if (b >= kButtonCount)
        return -1;
    // The background between and around the faces is no button, except the caption area, so a
    // click on the gaps inside a caption's letters still counts.
    const bool inCaption = r >= 30 && r <= cellWidth - 30 && y >= 13 && y <= 35;
    if (isBackground(x, y) && !inCaption)
        return -1;
    return b;
}

int ControlStripModel::ButtonForKey(int key)
{
    if (key >= Qt::Key_F5 && key <= Qt::Key_F9)
        return key - Qt::Key_F5;
    return -1;
}

bool ControlStripModel::IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool ControlStripModel::KeyDown(int key, bool autoRepeat, bool stripHasFocus)
{
    int button = ButtonForKey(key);
    if (button < 0 && IsEnterKey(key)) {
        if (!stripHasFocus || FocusIndex < 0)
            return false;
        button = FocusIndex;
    }
    if (button < 0)
        return false;
    // A held key repeats; the button is pressed once per physical press.
    if (!autoRepeat)
        Press(button);
    return true;
}

bool ControlStripModel::KeyUp(int key, bool autoRepeat, bool stripHasFocus, int* action)
{
    if (action != nullptr)
        *action = -1;
    const bool ours = ButtonForKey(key) >= 0 || (IsEnterKey(key) && stripHasFocus);
    if (!ours)
        return false;
    if (!autoRepeat) {
        const int a = Release();
        if (action != nullptr)
            *action = a;
    }
    return true;
}

} // namespace pv
