// The file list's rules that need no window: how an item's name is shown, how big the list
// is and where it goes, which row a point hits, how the keys move the selection, when a
// press becomes a reorder, how typed text finds a row, and the rows themselves: their layout,
// hit-testing, reordering and the commit of their order into the box's record.
#pragma once

#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>

#include <functional>
#include <list>
#include <memory>
#include <vector>

#include "framework/CString.h"
#include "model/CTarneloInfo.h"

namespace FileListLayout {

// Rows and columns of the two menu sizes.
inline constexpr int kSmallRowHeight = 26;
inline constexpr int kLargeRowHeight = 42;
inline constexpr int kSmallIconColumnWidth = 30;
inline constexpr int kLargeIconColumnWidth = 48;
// The name area is never narrower than this.
inline constexpr int kMinimumNameWidth = 80;
// The name starts this far right of the icon column (and the list is this much wider).
inline constexpr int kNameGap = 4;
// Where a row's icon sits in the row.
inline constexpr int kIconX = 6;
inline constexpr int kIconTop = 5;
// The list's left edge from the box's: past a full-size icon, or close otherwise.
inline constexpr int kOffsetFullIcon = 50;
inline constexpr int kOffsetOther = 24;
// Gap kept to the right and bottom edges of the area the list is kept in.
inline constexpr int kScreenMargin = 5;
// A press turns into a reorder after moving more than this many pixels up or down.
inline constexpr int kReorderThreshold = 6;
// How far into the list (or a row) the cursor is put.
inline constexpr int kCursorInset = 5;
inline constexpr int kSelectCursorOffset = 10;
// The mark of a list that scrolls: its width, its gap to the list's right edge, and the
// shortest it gets however many rows the list holds.
inline constexpr int kScrollMarkWidth = 3;
inline constexpr int kScrollMarkInset = 1;
inline constexpr int kScrollMarkMinLength = 12;

// The shown name: without its extension for shortcuts and internet shortcuts, and for files
// unless extensions are shown; folders (and unknown types) keep their full name.
CString GetDisplayName(UINT type, const CString& name, BOOL showExtension);

// Row height and icon column width of the small or large menu.
int GetRowHeight(BOOL smallMenu);
int GetIconColumnWidth(BOOL smallMenu);

// The list's size: icon column + name width (at least the minimum) + the gap, and one row
// per item. A count so large that the height would overflow is cut to what fits.
SIZE GetListSize(int iconColumnWidth, int widestName, int rowHeight, size_t itemCount);

// The area the list is kept in: the work area of the monitor that holds most of the box (the
// taskbar stays on top of what lies beyond it, and another monitor may show nothing below
// this one's bottom); the virtual screen only when no monitor holds the box.
RECT GetListArea(const RECT& box);

// The list's height cut to the whole rows that fit the area's height less a margin above and
// below (at least one row); the rows beyond are scrolled into view. A surface as tall as all
// rows is not drawn safely under Wine either (its GDI+ overflows the stack far down a very
// tall bitmap).
int FitListHeight(int listHeight, int rowHeight, const RECT& area);
// The list's width cut to the area's width less a margin on either side (never below one
// pixel); a name too wide for it is shown cut with an ellipsis.
int FitListWidth(int listWidth, const RECT& area);

// The name cut so that it and an ellipsis measure at most maxWidth, whole characters only
// (a surrogate pair is never split); the name itself when it fits.
CString FitNameWithEllipsis(const CString& name, int maxWidth, const std::function<int(const CString&)>& measure);

// Scrolling a list that shows visible whole rows of count: the first row shown kept within
// 0..count - visible, and the first row shown once index has been scrolled (just) into view.
int ClampTopRow(int top, int visible, int count);
int TopRowShowing(int top, int index, int visible, int count);
// The rows a wheel turn scrolls (positive: towards the end), by linesPerNotch rows for each
// whole notch (WHEEL_PAGESCROLL: by the visible rows); pendingDelta keeps what is left of a
// part notch for the next turn, and starts again when the direction changes.
int WheelRows(int& pendingDelta, int delta, UINT linesPerNotch, int visible);

// The list's top-left corner: right of the box's x by the icon offset, below the box, then
// moved left or up to end a margin inside the area's right or bottom edge. The left and top
// edges are not adjusted.
POINT GetListPosition(POINT boxPos, int iconDisplay, int boxHeight, SIZE listSize, const RECT& area);
// The list's window: its whole size cut to the area (whole rows, the width), placed below the
// box and kept inside the area as above.
RECT PlaceList(POINT boxPos, int iconDisplay, int boxHeight, SIZE listSize, int rowHeight, const RECT& area);

// Where the cursor goes when the list opens: the cursor's x when it lies within the list's
// left..right (both inclusive), else the list's left + 5; the list's top + 5.
POINT GetOpenCursorPos(POINT cursor, const RECT& listRect);

// The row PageUp (step -1) or PageDown (+1) makes current: the rows shown further up or
// down from index, kept within the list. Without a current row (index -1) the page starts
// just outside the rows shown, so PageDown takes the last row shown and PageUp the first.
// -1 only without rows.
int PageIndex(int index, int step, int top, int visible, int count);

// Where the mark of a list that scrolls lies along the list's height: as long as the rows
// shown are of all rows (never shorter than the minimum), as far down as they lie. Length 0
// when every row is shown.
struct ScrollMark
{
    int top = 0;
    int length = 0;
};
ScrollMark GetScrollMark(int topRow, int visible, int count, int height);

// Whether a point lies in a rectangle given as x, y, width, height (left and top inside,
// right and bottom outside).
BOOL IsPointInRow(int x, int y, int width, int height, POINT point);

// The index of the row before (step -1) or after (+1) index, wrapping at both ends; -1
// when there are no rows or index is not a row.
int WrapIndex(int index, int step, int count);

// Whether a press at press, moved to now, starts a reorder: only the vertical distance
// counts, and it must exceed the threshold.
BOOL IsReorderDrag(POINT press, POINT now);

// One key of the type-ahead: Backspace takes the last character off (when there is one),
// key codes 48 to 90 append their character. FALSE for any other key (text unchanged).
BOOL ApplyTypeAheadKey(CString& text, UINT key);

// The row the typed text finds: the first name that begins with the longest beginning of
// the text that any name begins with (ignoring case); the first name when not even one
// character matches; -1 only without names. matchedLength receives that beginning's length.
int FindTypeAheadMatch(const std::vector<CString>& names, const CString& text, int* matchedLength = nullptr);

// What log lines show of an item's name: its first two characters.
CString GetLogName(const CString& name);

// One row: the six fields of the box's item, copied, and the row rectangle in client
// coordinates (x 0, y = index x row height, the list's width, the row height).
struct _FILE_INFO
{
    UINT nType = 0;
    CString strName;
    CString strPath;
    CString strResolvedPath;
    BOOL bExists = FALSE;
    CString strIconKey;
    Gdiplus::Rect rcItem;
    // The name as drawn when it had to be cut to the list's width; empty: drawn whole.
    CString strShownName;
};
using RowList = std::list<std::unique_ptr<_FILE_INFO>>;

// The row at a point of the whole list (not scrolled), or null.
_FILE_INFO* HitTest(const RowList& rows, int x, int y);
// The 0-based index of a row, -1 when it is not in the list.
int IndexOf(const RowList& rows, const _FILE_INFO* pRow);
// Lays every row out again: one below the other, from the top, each width x row height.
void LayoutRows(RowList& rows, int nWidth, int nRowHeight);
// One reorder step on any row list, by row identity: pCurrent goes after pTarget when it
// lies above it, else before it; then every row is laid out again. FALSE (nothing
// changes) when either row is not in the list or both are the same.
BOOL MoveRow(RowList& rows, _FILE_INFO* pCurrent, _FILE_INFO* pTarget, int nWidth, int nRowHeight);
// Puts the record's items in the rows' order; items no row shows follow in their own
// order, and nothing is added.
void CommitRows(const RowList& rows, std::list<Model::CTarneloInfo::_ITEM>& items);

}  // namespace FileListLayout
