#include "windows/CAlignManager.h"

#include "core/ShellHelpers.h"

namespace Utility {

void CAlignManager::BuildGrid(POINT origin, SIZE cell, int gapX, int gapY)
{
    BuildGrid(origin, cell, gapX, gapY, GetVirtualScreenRect());
}

void CAlignManager::BuildGrid(POINT origin, SIZE cell, int gapX, int gapY, const RECT& screen)
{
    m_columns.clear();
    // Worked out in 64 bits: a gap typed by the user may be far out of range.
    const long long stepX = static_cast<long long>(cell.cx) + gapX;
    const long long stepY = static_cast<long long>(cell.cy) + gapY;
    // A step that does not advance would never reach the screen's edge.
    if (stepX <= 0 || stepY <= 0 || stepX > INT32_MAX || stepY > INT32_MAX)
        return;

    for (long long x = origin.x; x < screen.right; x += stepX) {
        Column column;
        for (long long y = origin.y; y < screen.bottom; y += stepY) {
            column.push_back(_SLOT{ static_cast<INT32>(x), static_cast<INT32>(y), static_cast<INT32>(stepX),
                                    static_cast<INT32>(stepY), 0 });
        }
        m_columns.push_back(std::move(column));
    }
}

BOOL CAlignManager::SlotContains(const _SLOT& slot, POINT pt)
{
    const long long px = pt.x;
    const long long py = pt.y;
    return slot.x <= px && px < static_cast<long long>(slot.x) + slot.width && slot.y <= py &&
           py < static_cast<long long>(slot.y) + slot.height;
}

BOOL CAlignManager::FindSlot(POINT pt, POINT* out)
{
    for (Column& column : m_columns) {
        for (auto it = column.begin(); it != column.end(); ++it) {
            if (!SlotContains(*it, pt))
                continue;
            // The slot holding the corner, or the first free one below it in its column.
            for (; it != column.end(); ++it) {
                if (!it->taken) {
                    it->taken = 1;
                    if (out)
                        *out = POINT{ it->x, it->y };
                    return TRUE;
                }
            }
            return FALSE;
        }
    }
    return FALSE;
}

}  // namespace Utility
