#include "dialogs/DialogLayout.h"

#include <vector>

namespace DialogLayout {

namespace {

std::vector<HWND> Controls(HWND dialog)
{
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    return controls;
}

}  // namespace

RECT ChildRect(HWND dialog, HWND control)
{
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveControlsBelow(HWND dialog, int y, int dy)
{
    if (!dialog || dy == 0)
        return;
    for (HWND control : Controls(dialog)) {
        const RECT rect = ChildRect(dialog, control);
        if (rect.top < y)
            continue;
        // Moved only: the height of a combo box's window is that of its open list.
        ::SetWindowPos(control, nullptr, rect.left, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT window = {};
    ::GetWindowRect(dialog, &window);
    ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreControl(HWND dialog, HWND control, const RECT& area)
{
    if (!dialog || !control)
        return;
    const RECT rect = ChildRect(dialog, control);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    ::SetWindowPos(control, nullptr, (area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2, 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GrowControl(HWND dialog, HWND control, int dy)
{
    if (!dialog || !control || dy == 0)
        return;
    const RECT grown = ChildRect(dialog, control);
    std::vector<HWND> growing;
    for (HWND other : Controls(dialog)) {
        const RECT rect = ChildRect(dialog, other);
        if (other == control || (rect.left <= grown.left && rect.top <= grown.top && rect.right >= grown.right &&
                                 rect.bottom >= grown.bottom))
            growing.push_back(other);
    }
    MoveControlsBelow(dialog, grown.bottom, dy);
    for (HWND other : growing) {
        const RECT rect = ChildRect(dialog, other);
        ::SetWindowPos(other, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + dy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace DialogLayout
