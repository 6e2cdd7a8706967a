// The manager window's placement of the boxes: where each box goes when the shared style
// changes its size, and the step that moves every box with the one being dragged.
#include "windows/CTarneloWndManager.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "core/ShellHelpers.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "model/StyleBounds.h"
#include "windows/BoxGeometry.h"
#include "windows/CTarneloWnd.h"

void CTarneloWndManager::ResizeAllBoxes(BOOL bSave)
{
    int width = 0;
    int height = 0;
    m_pStyle->MeasureBox(width, height, m_hWnd);
    const SIZE size = { width, height };
    BOOL moved = FALSE;
    for (const auto& box : m_boxList) {
        box->ResizeBox(width, height);
        if (!box->m_pInfo)
            continue;
        // Judged from where the user put the box, with the size it had then: a preview that
        // moved the window has not moved the record.
        const POINT placed = box->m_pInfo->m_pos;
        const auto end = [](LONG start, LONG length) {
            return static_cast<LONG>(std::min<LONGLONG>(LONG_MAX, static_cast<LONGLONG>(start) + length));
        };
        const RECT before = { placed.x, placed.y, end(placed.x, m_placedBoxSize.cx), end(placed.y, m_placedBoxSize.cy) };
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        POINT target = placed;
        if (::GetMonitorInfoW(::MonitorFromRect(&before, MONITOR_DEFAULTTONEAREST), &monitor))
            target = PlaceResizedBox(placed, m_placedBoxSize, size, monitor.rcWork);
        POINT now = {};
        box->GetPos(now);
        if (bSave && (target.x != placed.x || target.y != placed.y)) {
            box->MoveBoxTo(target.x, target.y);
            moved = TRUE;
        } else if (now.x != target.x || now.y != target.y) {
            box->MoveTo(target.x, target.y);
        }
    }
    if (bSave)
        m_placedBoxSize = size;
    if (moved && m_pInfoManager)
        SaveBoxFile();
    RefreshAllBoxes();
}

SIZE CTarneloWndManager::BoxesWorkAreaSize() const
{
    SIZE largest = {};
    for (const auto& box : m_boxList) {
        RECT rect = {};
        box->GetRect(rect);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        if (!::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
            continue;
        largest.cx = std::max(largest.cx, monitor.rcWork.right - monitor.rcWork.left);
        largest.cy = std::max(largest.cy, monitor.rcWork.bottom - monitor.rcWork.top);
    }
    return largest.cx > 0 && largest.cy > 0 ? largest : Model::GetWorkAreaSize();
}

void CTarneloWndManager::MoveOtherBoxes()
{
    CTarneloWnd* dragged = nullptr;
    for (const auto& box : m_boxList) {
        if (box->m_bMoving) {
            dragged = box.get();
            break;
        }
    }
    if (!dragged)
        return;
    // The dragged box has asked for its step alone. The group's step stops where its first box
    // reaches the screen's edge, so that every box stays where the start keeps it and the
    // arrangement holds: the dragged box goes to its place before the step plus the group's.
    const POINT from = dragged->m_ptPrevPos;
    RECT rect = {};
    dragged->GetRect(rect);
    std::vector<POINT> corners;
    for (const auto& box : m_boxList) {
        RECT other = {};
        box->GetRect(other);
        corners.push_back(box.get() == dragged ? from : POINT{ other.left, other.top });
    }
    const BoxStep step = CutBoxStep(corners, BoxStep{ static_cast<LONGLONG>(rect.left) - from.x,
                                                      static_cast<LONGLONG>(rect.top) - from.y },
                                    GetVirtualScreenRect());
    // Only the dragged box's rectangle: it moves its window there itself once this returns.
    const POINT to = StepBoxCorner(from, step);
    ::OffsetRect(&dragged->m_rect, to.x - rect.left, to.y - rect.top);
    auto corner = corners.begin();
    for (const auto& box : m_boxList) {
        const POINT moved = StepBoxCorner(*corner++, step);
        if (box.get() != dragged)
            box->MoveBoxTo(moved.x, moved.y);
    }
}
