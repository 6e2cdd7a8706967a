#include "windows/BoxGeometry.h"

#include "model/CTarneloStyleInfo.h"

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

int GetMinimumBoxWidth(const Model::CTarneloStyleInfo& style)
{
    if (style.m_nIconDisplay == 2)
        return kBoxMinimumTitleWidth;
    const int cell = style.m_nIconCellWidth > 0 ? style.m_nIconCellWidth : 0;
    return cell + kBoxMinimumTitleWidth;
}

int ClampBoxWidth(int width, const Model::CTarneloStyleInfo& style)
{
    const int minimum = GetMinimumBoxWidth(style);
    return width < minimum ? minimum : width;
}

int GetBoxResizeWidth(const RECT& window, int screenX, int minimumWidth)
{
    // 64-bit arithmetic: a cursor far off any screen must not wrap the width around.
    const long long width = static_cast<long long>(screenX) + 1 - window.left;
    if (width < minimumWidth)
        return minimumWidth;
    return width > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(width);
}
