// The box window's geometry rules, free of any window so that they can be checked alone:
// where a press moves the box and where it widens it, when a drag counts as a move, how a
// box follows the cursor when widened, and where a box goes to lie inside the screen. How
// wide a box may be is the style's rule (model/StyleBounds).
#pragma once

#include <windows.h>

#include <vector>

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
// Input keeps the top-left corner of every box where the start keeps it: x from the virtual
// screen's left to its right - 32, y from its top to its bottom - 32 (as
// CTarneloInfo::AdjustPosition tests a stored place), so that a piece of every box stays
// on the screen to be grabbed.
inline constexpr int kBoxCornerMargin = 32;
// A step of boxes' top-left corners, 64-bit: a point from another process may be anything.
struct BoxStep
{
    LONGLONG x;
    LONGLONG y;
};
// The step that boxes at these corners take together when step is asked for: on each axis it
// stops where the first of them reaches the edge of the range above, so that the boxes stop
// together and keep their arrangement. A box already out of the range is never taken further
// out, and the group can still move back in.
BoxStep CutBoxStep(const std::vector<POINT>& corners, BoxStep step, const RECT& screen);
// A corner moved by a step cut for it (it then fits a LONG whatever the step was asked for).
POINT StepBoxCorner(POINT corner, BoxStep step);
// Where a box the user put at placed goes when the style changes its size from placedSize to
// newSize: a box that lay wholly inside the area and that the new size pushes over an edge comes
// back the least way; any other box stays where it was put (a box parked across an edge, over
// the taskbar or reaching onto another monitor, is left there).
POINT PlaceResizedBox(POINT placed, SIZE placedSize, SIZE newSize, const RECT& area);

// The space between a new box and the box it was made from, and between the places tried.
inline constexpr int kNewBoxGap = 10;
// Where a box of the given size made from the issuing box goes, on the work area of the
// issuer's monitor: below it at (left, bottom + gap); when that covers one of the boxes,
// further down in steps of the new box's height + gap; when the column has no free place
// down to the work area's bottom, the same steps from the issuer's top in the column to its
// right, then in the column to its left. When these find nothing, the free place of the work
// area nearest the issuer (by the distance between the top-left corners), among the places
// of the grid through the issuer's corner in steps of the new box's width + gap and height +
// gap, such as the place just above the issuer; of two as near, the one in the nearer column,
// the right one, the lower one. With no free place anywhere, the place of the old rule
// (below when that stays on the virtual screen, else to the right, else to the left).
POINT PlaceNewBox(const RECT& issuer, SIZE size, const std::vector<RECT>& boxes, const RECT& workArea,
                  const RECT& virtualScreen);
