// The box window's geometry rules, free of any window so that they can be checked alone:
// where a press moves the box and where it widens it, when a drag counts as a move, how a
// box follows the cursor when widened, and where a box goes to lie inside the screen. How
// wide a box may be is the style's rule (model/StyleBounds).
#pragma once

#include <windows.h>

// The right-most pixels of a box that widen it when dragged.
inline constexpr int kBoxSizeStripWidth = 10;
// A drag that ends within this many milliseconds of its start is a click, not a move.
inline constexpr DWORD kBoxMoveMinimumMs = 100;

// A point lies in a rectangle when left <= x < right and top <= y < bottom.
BOOL IsPointInBoxRect(const RECT& rect, POINT point);
// The body of the box (all but the size strip) and the size strip, in the window
// rectangle's coordinates.
RECT GetBoxMoveStrip(const RECT& window);
RECT GetBoxSizeStrip(const RECT& window);
BOOL IsInBoxMoveStrip(const RECT& window, POINT point);
BOOL IsInBoxSizeStrip(const RECT& window, POINT point);

// TRUE when a drag begun at pressTick and ended at nowTick lasted more than 100 ms; the
// difference is unsigned, so a tick count that wrapped in between still measures right.
BOOL IsBoxMoveLongEnough(DWORD pressTick, DWORD nowTick);

// The width of a box being widened: its right edge follows the cursor (screen x + 1),
// but the box never becomes narrower than minimumWidth.
int GetBoxResizeWidth(const RECT& window, int screenX, int minimumWidth);
// Where the top-left corner of a box goes so that the box lies inside the area: the least
// move that brings it in; a box larger than the area keeps its left or top edge on the
// area's.
POINT FitBoxIntoArea(const RECT& box, const RECT& area);
// Where a box the user put at placed goes when the style changes its size from placedSize to
// newSize: a box that lay wholly inside the area and that the new size pushes over an edge comes
// back the least way; any other box stays where it was put (a box parked across an edge, over
// the taskbar or reaching onto another monitor, is left there).
POINT PlaceResizedBox(POINT placed, SIZE placedSize, SIZE newSize, const RECT& area);
