// Snaps boxes to a grid of equal slots. The grid starts at an origin (the top-left-most box
// corner), steps right by the box width plus a gap and down by the box height plus a gap,
// and covers everything up to the right and bottom edges of the virtual screen. Each box
// takes the slot that holds its top-left corner or, when that one is taken, the next free
// slot below it in the same column. One grid serves one alignment and is then discarded.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace Utility {

class CAlignManager
{
public:
    struct _SLOT
    {
        INT32 x;       // left edge, screen coordinates
        INT32 y;       // top edge
        INT32 width;   // cell width plus the horizontal gap
        INT32 height;  // cell height plus the vertical gap
        BYTE taken;    // 1 once a box has been given this slot
    };
    using Column = std::vector<_SLOT>;

    CAlignManager() = default;
    virtual ~CAlignManager() = default;

    // Replaces the grid with one over the virtual screen. A step (cell size plus gap) that is
    // zero or negative gives an empty grid, on which every box keeps its place.
    void BuildGrid(POINT origin, SIZE cell, int gapX, int gapY);
    // The same over a given screen rectangle (its right and bottom edges bound the grid).
    void BuildGrid(POINT origin, SIZE cell, int gapX, int gapY, const RECT& screen);

    // Takes a slot for a box whose top-left corner is pt: TRUE with the slot's top-left
    // corner in *out; FALSE (out unchanged, nothing taken) when pt lies in no slot or its slot
    // and every slot below it are taken.
    BOOL FindSlot(POINT pt, POINT* out);

    // Whether a slot contains a point: x <= px < x + width and y <= py < y + height.
    static BOOL SlotContains(const _SLOT& slot, POINT pt);

    // The columns, left to right, each with its slots top to bottom.
    std::vector<Column> m_columns;
};

}  // namespace Utility
