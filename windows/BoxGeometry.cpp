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

BoxStep CutBoxStep(const std::vector<POINT>& corners, BoxStep step, const RECT& screen)
{
    // Each box allows the steps that keep its corner in [low, high], widened to 0 for a box
    // already out; every such span holds 0, so clamping into one after another gives the
    // step of the group.
    const auto cut = [&](LONGLONG wanted, LONG POINT::*axis, LONGLONG low, LONGLONG high) {
        for (const POINT& corner : corners) {
            const LONGLONG at = corner.*axis;
            wanted = std::clamp(wanted, std::min<LONGLONG>(0, low - at), std::max<LONGLONG>(0, high - at));
        }
        return wanted;
    };
    return BoxStep{ cut(step.x, &POINT::x, screen.left, static_cast<LONGLONG>(screen.right) - kBoxCornerMargin),
                    cut(step.y, &POINT::y, screen.top, static_cast<LONGLONG>(screen.bottom) - kBoxCornerMargin) };
}

POINT StepBoxCorner(POINT corner, BoxStep step)
{
    return POINT{ static_cast<LONG>(corner.x + step.x), static_cast<LONG>(corner.y + step.y) };
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

// Floor and ceiling of a / b, for b > 0.
LONGLONG FloorDiv(LONGLONG a, LONGLONG b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

LONGLONG CeilDiv(LONGLONG a, LONGLONG b)
{
    return -FloorDiv(-a, b);
}

// A run of grid indices, first to last; empty when first > last.
struct GridRun
{
    LONGLONG first;
    LONGLONG last;
};

// The indices i of the grid origin + i * step whose position lies within [low, high].
GridRun GridRunWithin(LONGLONG origin, LONGLONG step, LONGLONG low, LONGLONG high)
{
    return GridRun{ CeilDiv(low - origin, step), FloorDiv(high - origin, step) };
}

// In the column at x, of the rows within rows (row j at top + j * step), the free one nearest
// row 0, the lower on a tie. The rows each box covers are gathered first, so that the cost
// grows with the boxes and not with the rows times the boxes.
BOOL FindNearestFreeRow(LONGLONG x, LONGLONG top, SIZE size, LONGLONG step, GridRun rows,
                        const std::vector<RECT>& boxes, LONGLONG* row)
{
    std::vector<GridRun> covered;
    for (const RECT& box : boxes) {
        if (box.left >= box.right || box.top >= box.bottom || box.right <= x || box.left >= x + size.cx)
            continue;
        // A row meets the box when it starts above the box's bottom and ends below its top.
        const GridRun run = { std::max(rows.first, FloorDiv(box.top - top - size.cy, step) + 1),
                              std::min(rows.last, CeilDiv(box.bottom - top, step) - 1) };
        if (run.first <= run.last)
            covered.push_back(run);
    }
    std::sort(covered.begin(), covered.end(), [](const GridRun& a, const GridRun& b) { return a.first < b.first; });
    // Overlapping and touching runs joined, up to the one that holds the row nearest 0.
    const LONGLONG nearest = std::clamp<LONGLONG>(0, rows.first, rows.last);
    const auto holdsNearest = [&](const GridRun& run) { return run.first <= nearest && nearest <= run.last; };
    GridRun joined = { 1, 0 };
    for (const GridRun& run : covered) {
        if (joined.first <= joined.last && run.first <= joined.last + 1) {
            joined.last = std::max(joined.last, run.last);
            continue;
        }
        if (holdsNearest(joined))
            break;
        joined = run;
    }
    if (!holdsNearest(joined)) {
        *row = nearest;
        return TRUE;
    }
    const BOOL above = joined.first - 1 >= rows.first ? TRUE : FALSE;
    const BOOL below = joined.last + 1 <= rows.last ? TRUE : FALSE;
    if (!above && !below)
        return FALSE;
    // With both free rows on the grid, row 0 lies between them.
    *row = below && (!above || joined.last + 1 <= 1 - joined.first) ? joined.last + 1 : joined.first - 1;
    return TRUE;
}

// The free place of the work area nearest the issuer's top-left corner, on the grid of
// columns size.cx + gap and rows size.cy + gap apart through that corner (so the places just
// above, below and beside it are among them). Columns are taken outward from the issuer's,
// and none further than the best place found so far is looked at.
BOOL FindNearestFree(const RECT& issuer, SIZE size, std::vector<RECT> boxes, const RECT& workArea, POINT* place)
{
    if (size.cx <= 0 || size.cy <= 0)
        return FALSE;
    boxes.push_back(issuer);  // never the issuer's own place
    const LONGLONG stepX = static_cast<LONGLONG>(size.cx) + kNewBoxGap;
    const LONGLONG stepY = static_cast<LONGLONG>(size.cy) + kNewBoxGap;
    const GridRun columns =
        GridRunWithin(issuer.left, stepX, workArea.left, static_cast<LONGLONG>(workArea.right) - size.cx);
    const GridRun rows = GridRunWithin(issuer.top, stepY, workArea.top, static_cast<LONGLONG>(workArea.bottom) - size.cy);
    if (rows.first > rows.last)
        return FALSE;
    // Squares of distances far off the screen overflow 64 bits; doubles only round them.
    double best = std::numeric_limits<double>::infinity();
    LONGLONG right = std::max<LONGLONG>(columns.first, 0);
    LONGLONG left = std::min<LONGLONG>(columns.last, -1);
    while (right <= columns.last || left >= columns.first) {
        const bool takeRight = left < columns.first || (right <= columns.last && right <= -left);
        const LONGLONG column = takeRight ? right++ : left--;
        const double dx = static_cast<double>(column) * static_cast<double>(stepX);
        if (dx * dx >= best)
            break;
        const LONGLONG x = issuer.left + column * stepX;
        LONGLONG row = 0;
        if (!FindNearestFreeRow(x, issuer.top, size, stepY, rows, boxes, &row))
            continue;
        const double dy = static_cast<double>(row) * static_cast<double>(stepY);
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            *place = POINT{ static_cast<LONG>(x), static_cast<LONG>(issuer.top + row * stepY) };
        }
    }
    return best < std::numeric_limits<double>::infinity() ? TRUE : FALSE;
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
    // Nothing from the issuer down (a box near the work area's bottom): the free place nearest
    // to it anywhere on the work area. A new box over another hides both titles.
    if (FindNearestFree(issuer, size, boxes, workArea, &place))
        return place;
    // Nowhere free: the old rule, by the edges of the virtual screen.
    if (below + size.cy <= virtualScreen.bottom)
        return POINT{ issuer.left, static_cast<LONG>(below) };
    if (right + size.cx <= virtualScreen.right)
        return POINT{ static_cast<LONG>(right), issuer.top };
    return POINT{ static_cast<LONG>(left), issuer.top };
}
