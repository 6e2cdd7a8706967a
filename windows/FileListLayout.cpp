#include "windows/FileListLayout.h"

#include <climits>
#include <cwchar>

#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "model/CTarneloInfo.h"

namespace FileListLayout {

CString GetDisplayName(UINT type, const CString& name, BOOL showExtension)
{
    const bool dropExtension = type == Model::ITEM_TYPE_SHORTCUT || type == Model::ITEM_TYPE_INTERNET_SHORTCUT ||
                               (type == Model::ITEM_TYPE_FILE && !showExtension);
    return dropExtension ? ExtractFileTitle(name) : name;
}

int GetRowHeight(BOOL smallMenu)
{
    return smallMenu ? kSmallRowHeight : kLargeRowHeight;
}

int GetIconColumnWidth(BOOL smallMenu)
{
    return smallMenu ? kSmallIconColumnWidth : kLargeIconColumnWidth;
}

SIZE GetListSize(int iconColumnWidth, int widestName, int rowHeight, size_t itemCount)
{
    const int nameWidth = widestName > kMinimumNameWidth ? widestName : kMinimumNameWidth;
    SIZE size;
    size.cx = iconColumnWidth + nameWidth + kNameGap;
    const size_t maxRows = rowHeight > 0 ? static_cast<size_t>(INT_MAX / rowHeight) : 0;
    const size_t rows = itemCount < maxRows ? itemCount : maxRows;
    size.cy = rowHeight > 0 ? rowHeight * static_cast<int>(rows) : 0;
    return size;
}

RECT GetListArea(const RECT& box)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    const HMONITOR holder = ::MonitorFromRect(&box, MONITOR_DEFAULTTONULL);
    if (holder && ::GetMonitorInfoW(holder, &monitor))
        return monitor.rcWork;
    return GetVirtualScreenRect();
}

int FitListHeight(int listHeight, int rowHeight, const RECT& area)
{
    const int areaHeight = area.bottom - area.top - 2 * kScreenMargin;
    if (rowHeight <= 0 || listHeight <= areaHeight)
        return listHeight;
    const int rows = areaHeight / rowHeight;
    return rows > 0 ? rows * rowHeight : rowHeight;
}

int FitListWidth(int listWidth, const RECT& area)
{
    const int areaWidth = area.right - area.left - 2 * kScreenMargin;
    const int widest = areaWidth > 1 ? areaWidth : 1;
    return listWidth < widest ? listWidth : widest;
}

CString FitNameWithEllipsis(const CString& name, int maxWidth, const std::function<int(const CString&)>& measure)
{
    if (measure(name) <= maxWidth)
        return name;
    static const wchar_t kEllipsis[] = L"\u2026";
    // The longest beginning that fits with the ellipsis: widths grow with the length.
    int fits = 0;
    int tooLong = name.GetLength();
    while (tooLong - fits > 1) {
        const int mid = fits + (tooLong - fits) / 2;
        if (measure(name.Left(mid) + kEllipsis) <= maxWidth)
            fits = mid;
        else
            tooLong = mid;
    }
    if (fits > 0 && IS_HIGH_SURROGATE(name[fits - 1]))
        --fits;
    return name.Left(fits) + kEllipsis;
}

int ClampTopRow(int top, int visible, int count)
{
    const int last = count > visible ? count - visible : 0;
    return top < 0 ? 0 : (top > last ? last : top);
}

int TopRowShowing(int top, int index, int visible, int count)
{
    if (index >= 0 && index < top)
        top = index;
    else if (visible > 0 && index >= top + visible)
        top = index - visible + 1;
    return ClampTopRow(top, visible, count);
}

int WheelRows(int& pendingDelta, int delta, UINT linesPerNotch, int visible)
{
    if ((pendingDelta < 0) != (delta < 0))
        pendingDelta = 0;
    pendingDelta += delta;
    const int notches = pendingDelta / WHEEL_DELTA;
    pendingDelta -= notches * WHEEL_DELTA;
    int rowsPerNotch = static_cast<int>(linesPerNotch > 100 ? 100 : linesPerNotch);
    if (linesPerNotch == WHEEL_PAGESCROLL)
        rowsPerNotch = visible > 1 ? visible : 1;
    // The wheel turned away from the user (a positive delta) scrolls back towards the start.
    return -notches * rowsPerNotch;
}

POINT GetListPosition(POINT boxPos, int iconDisplay, int boxHeight, SIZE listSize, const RECT& area)
{
    POINT pos;
    pos.x = boxPos.x + (iconDisplay == 0 ? kOffsetFullIcon : kOffsetOther);
    pos.y = boxPos.y + boxHeight;
    // Wide arithmetic: a list taller than the screen must not overflow the comparison.
    if (static_cast<long long>(pos.x) + listSize.cx > area.right)
        pos.x = area.right - listSize.cx - kScreenMargin;
    if (static_cast<long long>(pos.y) + listSize.cy > area.bottom)
        pos.y = area.bottom - listSize.cy - kScreenMargin;
    return pos;
}

RECT PlaceList(POINT boxPos, int iconDisplay, int boxHeight, SIZE listSize, int rowHeight, const RECT& area)
{
    const SIZE size = {FitListWidth(listSize.cx, area), FitListHeight(listSize.cy, rowHeight, area)};
    const POINT pos = GetListPosition(boxPos, iconDisplay, boxHeight, size, area);
    return RECT{pos.x, pos.y, pos.x + size.cx, pos.y + size.cy};
}

POINT GetOpenCursorPos(POINT cursor, const RECT& listRect)
{
    POINT pos;
    pos.x = (cursor.x >= listRect.left && cursor.x <= listRect.right) ? cursor.x : listRect.left + kCursorInset;
    pos.y = listRect.top + kCursorInset;
    return pos;
}

int PageIndex(int index, int step, int top, int visible, int count)
{
    if (count <= 0)
        return -1;
    const int page = visible > 1 ? visible : 1;
    if (index < 0 || index >= count)
        index = step < 0 ? top + page : top - 1;
    const long long next = static_cast<long long>(index) + (step < 0 ? -page : page);
    return next < 0 ? 0 : (next >= count ? count - 1 : static_cast<int>(next));
}

ScrollMark GetScrollMark(int topRow, int visible, int count, int height)
{
    ScrollMark mark;
    if (visible <= 0 || count <= visible || height <= 0)
        return mark;
    const long long proportional = static_cast<long long>(height) * visible / count;
    const int shortest = kScrollMarkMinLength < height ? kScrollMarkMinLength : height;
    mark.length = proportional > shortest ? static_cast<int>(proportional) : shortest;
    // The first and last scroll positions put the mark at the list's top and bottom.
    const int range = count - visible;
    const int top = ClampTopRow(topRow, visible, count);
    mark.top = static_cast<int>(static_cast<long long>(height - mark.length) * top / range);
    return mark;
}

BOOL IsPointInRow(int x, int y, int width, int height, POINT point)
{
    return (point.x >= x && point.x < x + width && point.y >= y && point.y < y + height) ? TRUE : FALSE;
}

int WrapIndex(int index, int step, int count)
{
    if (count <= 0 || index < 0 || index >= count)
        return -1;
    const int next = (index + (step < 0 ? -1 : 1)) % count;
    return next < 0 ? next + count : next;
}

BOOL IsReorderDrag(POINT press, POINT now)
{
    const long long dy = static_cast<long long>(now.y) - press.y;
    return (dy > kReorderThreshold || dy < -kReorderThreshold) ? TRUE : FALSE;
}

BOOL ApplyTypeAheadKey(CString& text, UINT key)
{
    if (key == VK_BACK) {
        if (!text.IsEmpty())
            text = text.Left(text.GetLength() - 1);
        return TRUE;
    }
    if (key >= 48 && key <= 90) {
        text += static_cast<wchar_t>(key);
        return TRUE;
    }
    return FALSE;
}

int FindTypeAheadMatch(const std::vector<CString>& names, const CString& text, int* matchedLength)
{
    for (int n = text.GetLength(); n >= 0; --n) {
        const CString typed = text.Left(n);
        for (size_t i = 0; i < names.size(); ++i) {
            const CString start = names[i].Left(n);
            if (_wcsicmp(start.GetString(), typed.GetString()) == 0) {
                if (matchedLength)
                    *matchedLength = n;
                return static_cast<int>(i);
            }
        }
    }
    if (matchedLength)
        *matchedLength = 0;
    return -1;
}

CString GetLogName(const CString& name)
{
    return name.Left(2);
}

_FILE_INFO* HitTest(const RowList& rows, int x, int y)
{
    for (const auto& row : rows) {
        const Gdiplus::Rect& rc = row->rcItem;
        if (IsPointInRow(rc.X, rc.Y, rc.Width, rc.Height, POINT{x, y}))
            return row.get();
    }
    return nullptr;
}

int IndexOf(const RowList& rows, const _FILE_INFO* pRow)
{
    int index = 0;
    for (const auto& row : rows) {
        if (row.get() == pRow)
            return index;
        ++index;
    }
    return -1;
}

void LayoutRows(RowList& rows, int nWidth, int nRowHeight)
{
    int index = 0;
    for (auto& row : rows) {
        row->rcItem = Gdiplus::Rect(0, index * nRowHeight, nWidth, nRowHeight);
        ++index;
    }
}

BOOL MoveRow(RowList& rows, _FILE_INFO* pCurrent, _FILE_INFO* pTarget, int nWidth, int nRowHeight)
{
    if (!pCurrent || !pTarget || pCurrent == pTarget)
        return FALSE;
    auto current = rows.end();
    auto target = rows.end();
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        if (it->get() == pCurrent)
            current = it;
        else if (it->get() == pTarget)
            target = it;
    }
    if (current == rows.end() || target == rows.end())
        return FALSE;
    // The node itself moves: nothing is copied, so no row can be doubled or lost.
    if (pCurrent->rcItem.Y < pTarget->rcItem.Y)
        rows.splice(std::next(target), rows, current);
    else
        rows.splice(target, rows, current);
    LayoutRows(rows, nWidth, nRowHeight);
    return TRUE;
}

void CommitRows(const RowList& rows, std::list<Model::CTarneloInfo::_ITEM>& items)
{
    // The record's own items are put in the rows' order (each row takes the first item of
    // its name and file not taken yet). Items no row shows, such as files dropped on the
    // box while the list was open, keep their order after them; an item that left the
    // record meanwhile is not brought back. So the commit only ever reorders the record.
    std::list<Model::CTarneloInfo::_ITEM> ordered;
    for (const auto& row : rows) {
        for (auto it = items.begin(); it != items.end(); ++it) {
            if (it->strName == row->strName && it->strPath == row->strPath) {
                ordered.splice(ordered.end(), items, it);
                break;
            }
        }
    }
    ordered.splice(ordered.end(), items);
    items.swap(ordered);
}

}  // namespace FileListLayout
