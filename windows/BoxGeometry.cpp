#include "windows/BoxGeometry.h"

#include <algorithm>
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
