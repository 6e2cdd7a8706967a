#include "windows/BoxGeometry.h"

#include <algorithm>
#include <limits>
#include <climits>

BOOL IsPointInBoxRect(const RECT& rect, POINT point)
{
    return (point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom) ? TRUE
                                                                                                         : FALSE;
}

RECT GetBoxMoveStrip(const RECT& window)
{
    return RECT{ window.left, window.top, window.right - kBoxSizeStripWidth, window.bottom };
}

RECT GetBoxSizeStrip(const RECT& window)
{
    return RECT{ window.right - kBoxSizeStripWidth, window.top, window.right, window.bottom };
}

BOOL IsInBoxMoveStrip(const RECT& window, POINT point)
{
    return IsPointInBoxRect(GetBoxMoveStrip(window), point);
}

BOOL IsInBoxSizeStrip(const RECT& window, POINT point)
{
    return IsPointInBoxRect(GetBoxSizeStrip(window), point);
}

BOOL IsBoxMoveLongEnough(DWORD pressTick, DWORD nowTick)
{
    return static_cast<DWORD>(nowTick - pressTick) > kBoxMoveMinimumMs ? TRUE : FALSE;
}

int GetBoxResizeWidth(const RECT& window, int screenX, int minimumWidth)
{
    // 64-bit arithmetic: a cursor far off any screen must not wrap the width around.
    const long long width = static_cast<long long>(screenX) + 1 - window.left;
    if (width < minimumWidth)
        return minimumWidth;
    return width > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(width);
}

namespace {

// The start of a span of the given length moved the least to lie within [low, high); a span
// longer than that starts at low. 64-bit: positions from a file may be anything.
LONG FitSpan(LONG start, LONGLONG length, LONG low, LONG high)
{
    if (static_cast<LONGLONG>(start) + length > high)
        start = static_cast<LONG>(high - length < low ? low : high - length);
    return start < low ? low : start;
}

}  // namespace

POINT FitBoxIntoArea(const RECT& box, const RECT& area)
{
    const LONGLONG width = static_cast<LONGLONG>(box.right) - box.left;
    const LONGLONG height = static_cast<LONGLONG>(box.bottom) - box.top;
    return POINT{ FitSpan(box.left, width, area.left, area.right), FitSpan(box.top, height, area.top, area.bottom) };
}

POINT PlaceResizedBox(POINT placed, SIZE placedSize, SIZE newSize, const RECT& area)
{
    const auto inside = [&](SIZE size) {
        return placed.x >= area.left && placed.y >= area.top &&
               static_cast<LONGLONG>(placed.x) + size.cx <= area.right &&
               static_cast<LONGLONG>(placed.y) + size.cy <= area.bottom;
    };
    if (!inside(placedSize) || inside(newSize))
        return placed;
    const auto end = [](LONG start, LONG length) {
        return static_cast<LONG>(std::min<LONGLONG>(LONG_MAX, static_cast<LONGLONG>(start) + length));
    };
    const RECT resized = { placed.x, placed.y, end(placed.x, newSize.cx), end(placed.y, newSize.cy) };
    return FitBoxIntoArea(resized, area);
}

namespace {

BOOL CoversAnyBox(const RECT& place, const std::vector<RECT>& boxes)
{
    RECT overlap = {};
    return std::any_of(boxes.begin(), boxes.end(),
                       [&](const RECT& box) { return ::IntersectRect(&overlap, &place, &box) != FALSE; })
               ? TRUE
               : FALSE;
}

// The first place from (x, y) down the column, in steps of the box's height + gap, that lies
// wholly on the work area and covers no box.
BOOL FindFreeInColumn(LONGLONG x, LONGLONG y, SIZE size, const std::vector<RECT>& boxes, const RECT& workArea,
                      POINT* place)
{
    if (x < workArea.left || x + size.cx > workArea.right || size.cy <= 0)
        return FALSE;
    for (y = std::max<LONGLONG>(y, workArea.top); y + size.cy <= workArea.bottom; y += size.cy + kNewBoxGap) {
        const RECT candidate = { static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + size.cx),
                                 static_cast<LONG>(y + size.cy) };
        if (!CoversAnyBox(candidate, boxes)) {
            *place = POINT{ candidate.left, candidate.top };
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

POINT PlaceNewBox(const RECT& issuer, SIZE size, const std::vector<RECT>& boxes, const RECT& workArea,
                  const RECT& virtualScreen)
{
    const LONGLONG below = static_cast<LONGLONG>(issuer.bottom) + kNewBoxGap;
    const LONGLONG right = static_cast<LONGLONG>(issuer.right) + kNewBoxGap;
    const LONGLONG left = static_cast<LONGLONG>(issuer.left) - size.cx - kNewBoxGap;
    POINT place = {};
    if (FindFreeInColumn(issuer.left, below, size, boxes, workArea, &place) ||
        FindFreeInColumn(right, issuer.top, size, boxes, workArea, &place) ||
        FindFreeInColumn(left, issuer.top, size, boxes, workArea, &place))
        return place;
    // Nothing from the issuer down (a box near the work area's bottom): the rest of the work
    // area, its own column and its neighbours' from the top first, then the columns further
    // out, nearest first. A new box over another hides both titles.
    if (FindFreeInColumn(issuer.left, workArea.top, size, boxes, workArea, &place))
        return place;
    const LONGLONG step = static_cast<LONGLONG>(size.cx) + kNewBoxGap;
    const LONGLONG lastX = static_cast<LONGLONG>(workArea.right) - size.cx;  // the rightmost column
    if (step > 0 && lastX >= workArea.left) {
        // An issuer off the area starts at the first column that can lie on it.
        const LONGLONG never = std::numeric_limits<LONGLONG>::max();
        const LONGLONG rightIn = right > lastX ? never : std::max<LONGLONG>(0, workArea.left - right);
        const LONGLONG leftIn = left < workArea.left ? never : std::max<LONGLONG>(0, left - lastX);
        LONGLONG out = std::min(rightIn, leftIn);
        for (out = out == never ? 0 : out - out % step; right + out <= lastX || left - out >= workArea.left; out += step) {
            if (FindFreeInColumn(right + out, workArea.top, size, boxes, workArea, &place) ||
                FindFreeInColumn(left - out, workArea.top, size, boxes, workArea, &place))
                return place;
        }
    }
    // Nowhere free: the old rule, by the edges of the virtual screen.
    if (below + size.cy <= virtualScreen.bottom)
        return POINT{ issuer.left, static_cast<LONG>(below) };
    if (right + size.cx <= virtualScreen.right)
        return POINT{ static_cast<LONG>(right), issuer.top };
    return POINT{ static_cast<LONG>(left), issuer.top };
}
