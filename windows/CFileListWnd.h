// The popup that lists the items of one box, one row each with the item's cached icon and
// its name. A box opens it below itself; the list follows the mouse and the keys, opens,
// copies, reorders, drags out and deletes items, and tells its box through WM_FILEWNDMSG.
//
// Closing: the list never destroys itself. It asks its box by posting FILEWND_CLOSE with
// lParam = the list object (once per list); the box checks that lParam is its current
// list, destroys the list window and deletes the object (a close that arrives while one of
// the list's handlers runs a loop, a drag or a shell call, waits until that handler has
// returned). When the box destroys the window itself (after FILEWND_OPEN), the list's
// WM_DESTROY posts that same one FILEWND_CLOSE.
//
// The class spans four sources: CFileListWnd.cpp (opening, layout, closing),
// CFileListWndDraw.cpp, CFileListWndInput.cpp and CFileListWndCommands.cpp; the rules that
// need no window are in FileListLayout.
#pragma once

#include <windows.h>
#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN
#include <gdiplus.h>
#include <shellapi.h>

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <vector>

#include "core/ProcessFlags.h"
#include "core/WindowMessages.h"  // WM_REDRAWMSG and the FILEWND_ codes
#include "framework/CString.h"
#include "model/CTarneloInfo.h"
#include "text_effects/CEffectText.h"
#include "windows/CVornWndBase.h"
#include "windows/FileListLayout.h"

namespace Model {
class CConfigInfo;
class CTarneloStyleInfo;
}  // namespace Model

class CFileListWnd : public CVornWndBase
{
public:
    // One row of the list (see FileListLayout).
    using _FILE_INFO = FileListLayout::_FILE_INFO;
    using RowList = FileListLayout::RowList;

    // Timers of the list.
    static constexpr UINT_PTR IDT_AUTO_CLOSE = 1;      // 1000 ms: closes after 3 ticks outside
    static constexpr UINT_PTR IDT_TYPEAHEAD_CLEAR = 2; // 1000 ms after the last typed key
    static constexpr UINT_PTR IDT_REORDER_SCROLL = 13; // while a held row waits at an edge
    static constexpr UINT kReorderScrollMs = 100;
    static constexpr UINT kAutoCloseMs = 1000;
    static constexpr int kAutoCloseTicks = 3;
    static constexpr UINT kTypeAheadMs = 1000;
    // Where a press of the left button stands: none, held on a row (m_ptPress holds the
    // client point of the first move), or moving that row through the list.
    enum DragState
    {
        DRAG_NONE = 0,
        DRAG_PRESSED = 1,
        DRAG_REORDERING = 2,
    };
    // The window's colour argument and the text colour of an item whose file is missing.
    static constexpr Gdiplus::ARGB kWindowColor = 0xFEC0C0C0;
    static constexpr Gdiplus::ARGB kMissingTextColor = 0xFE808080;

    CFileListWnd();
    ~CFileListWnd() override;

    // Lays the list out below the box and creates the window (which takes the mouse
    // capture); pGraphics only measures the names (null: a private surface is used).
    // bMoveCursor puts the cursor on the first row. FALSE when the window was not made (or
    // exists already).
    BOOL Open(Model::CTarneloInfo* pInfo, Gdiplus::Graphics* pGraphics, CWnd* pOwner, UINT nNotifyMsg,
              Model::CTarneloStyleInfo* pStyle, Model::CConfigInfo* pConfig, BOOL bMoveCursor);

    void OnCustomDraw(Gdiplus::Graphics* pGraphics) override;
    void DrawItem(Gdiplus::Graphics* pGraphics, _FILE_INFO* pRow);
    // Draws an icon at (x, y) at its own size. A 32-bpp icon with an alpha channel keeps its
    // alpha; any other icon is drawn by the system's icon drawing through its mask. FALSE
    // when nothing could be drawn (logged).
    static BOOL DrawIcon(Gdiplus::Graphics* pGraphics, int nType, HICON hIcon, int x, int y);

    // Appends one row per item.
    void BuildFileInfoList(const std::list<Model::CTarneloInfo::_ITEM>& items, int nWidth, int nRowHeight);
    // Destroys the window when it exists and frees the rows.
    void ClearFileList();

    // ---- Rows -------------------------------------------------------------------------------
    // The row shown at a client point, or null (rows lie m_nTopRow rows up, scrolled).
    _FILE_INFO* HitTest(int x, int y) const;
    // Makes a row current (null clears), scrolls it into view, puts the cursor on it and
    // redraws.
    void SelectItem(_FILE_INFO* pRow);
    void SelectPrevItem();
    void SelectNextItem();
    // PageUp (step -1) and PageDown (+1): selects the row as many rows up or down as are shown.
    void SelectPageItem(int step);
    // Tells the box to open the current row (nothing without one).
    void OpenSelectedItem();
    // One reorder step and the commit of the row order into the box record.
    void MoveItem(_FILE_INFO* pCurrent, _FILE_INFO* pTarget);
    void CommitItemOrder();

    // Type-ahead.
    void TypeAheadKey(UINT nKey);
    _FILE_INFO* FindItem(const CString& text);

    // Icon keys of the box's items came after the list opened: the next drawing shows them.
    void OnIconsChanged();

    // Asks the box to close the list (once; later requests do nothing).
    void RequestClose(const wchar_t* reason);
    BOOL IsCloseRequested() const { return m_bCloseRequested; }

    const RowList& GetRows() const { return m_rows; }
    // The whole rows the window shows, and the first of them.
    int GetVisibleRows() const;
    int GetTopRow() const { return m_nTopRow; }
    // Shows the rows from top on (kept within the list); FALSE when nothing moved.
    BOOL ScrollTo(int top);

    // ---- Seams for tests ----------------------------------------------------------------
    using TrackMenuFn = UINT (*)(HMENU menu, HWND owner, POINT at);
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    // The clock that tells a late echo of the keys' cursor placement from the user's move.
    using TickFn = DWORD(WINAPI*)();
    // Null restores the real behaviour.
    static void SetTrackMenuHook(TrackMenuFn fn);
    static void SetShellExecuteHook(ShellExecuteFn fn);
    static void SetShellExecuteExHook(ShellExecuteExFn fn);
    static void SetTickHook(TickFn fn);

    // The list's state. The record, settings and style belong to the box and the manager;
    // the rows are copies taken when the list opens.
    Model::CTarneloInfo* m_pInfo = nullptr;
    Model::CConfigInfo* m_pConfig = nullptr;
    Model::CTarneloStyleInfo* m_pStyle = nullptr;
    CEffectText m_text;
    UINT m_nNotifyMsg = 0;
    int m_nOutsideTicks = 0;
    BOOL m_bMenuOpen = FALSE;
    BOOL m_bRenameOpen = FALSE;
    DragState m_nDragState = DRAG_NONE;
    BOOL m_bDraggingOut = FALSE;
    _FILE_INFO* m_pCurrent = nullptr;
    int m_nMoveCount = 0;
    int m_nWidth = 0;
    int m_nRowHeight = 26;
    int m_nIconColumnWidth = 30;
    RowList m_rows;
    CString m_strTypeAhead;
    POINT m_ptPress = {0, 0};

protected:
    int OnCreate(LPCREATESTRUCTW lpCreateStruct);
    void OnDestroy();
    // The timers: closing after the cursor stayed away, and forgetting the typed text.
    void OnAutoCloseTimer();
    void OnTypeAheadTimer();
    void OnReorderScrollTimer();
    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    void OnRButtonUp(UINT nFlags, POINT point);
    void OnDropFiles(HDROP hDropInfo);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnRedrawMsg(WPARAM wParam, LPARAM lParam);

    void OnMenuOpen();
    void OnMenuCopy();
    void OnMenuOpenFolder();
    void OnMenuDelete();
    void OnMenuProperties();
    void OnMenuRename();

    DECLARE_MESSAGE_MAP()

private:
    // An icon ready to draw: its pixels read once, wrapped in a bitmap that uses them, and
    // the number of the full drawing that last drew it.
    struct PreparedIcon
    {
        std::vector<uint32_t> pixels;
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        unsigned drawing = 0;
    };
    // Icons prepared beyond what one drawing shows are let go of.
    static constexpr size_t kMaxPreparedIcons = 256;
    // Reads an icon's pixels (or, on the old system, takes the icon as it is); FALSE when
    // nothing could be drawn (logged).
    static BOOL PrepareIcon(int nType, HICON hIcon, PreparedIcon& prepared);
    // The prepared icon of a row's key, read from the icon cache the first time the list
    // draws it; null when there is none, or the item's key is still to be registered. The
    // list holds no icon handle: only the pixels of the icons it draws.
    const PreparedIcon* RowIcon(_FILE_INFO& row);
    // Lets go of the prepared icons that the last full drawing did not draw.
    void ReleaseUndrawnIcons();

    // Selects the row at index; nothing when index is no row.
    void SelectIndex(int index);
    // Posts a redraw of the whole list (back buffer, drawing, shadow, layered update).
    void PostRedraw();
    // Posts a redraw for a change of the current row alone: only the rows it changes are
    // drawn again, on the back buffer that is kept, before the one layered update.
    void PostCurrentRowRedraw();
    // Draws the rows of the last full drawing whose current-row look changed, the same
    // pixels a full drawing gives; FALSE when only a full redraw can show the change.
    BOOL RedrawChangedRows();
    // The parts of the list's drawing around the rows, from top for height pixels (under a
    // clip to that band when it is not the whole list): background and icon column, border.
    void DrawBackground(Gdiplus::Graphics* pGraphics, int top, int height);
    void DrawBorder(Gdiplus::Graphics* pGraphics, int top, int height);
    // The part from top for height pixels of the mark that shows where the rows shown lie in
    // a list that scrolls (nothing when every row is shown).
    void DrawScrollMark(Gdiplus::Graphics* pGraphics, int top, int height);
    void PostToOwner(WPARAM wParam, LPARAM lParam);
    // After a dialog or message of its own the list takes the keyboard and the mouse back,
    // so that Escape, the arrows and the cursor reach it again (unless it is closing).
    void TakeInputBack();
    BOOL IsInside(POINT screenPoint) const;
    // Drags the current row out of the list as a file, then closes the list.
    void DragOut();
    // The path a drag-out of the row offers; empty when there is none.
    static CString GetDragPath(const _FILE_INFO& row);
    // The name's display form for this list's settings (cut to the list when it had to be).
    CString DisplayName(const _FILE_INFO& row) const;
    // The top of a row in the window (its place in the list less the scrolled rows).
    int RowTop(const _FILE_INFO& row) const { return row.rcItem.Y - m_nTopRow * m_nRowHeight; }
    // A move at screenPoint right after the keys put the cursor on a row, from where the
    // cursor was before: not the user's move (see kLateEchoMs).
    BOOL IsLateEchoOfKeys(POINT screenPoint) const;
    // After the rows moved under a cursor that stayed: the row under it becomes current, or,
    // while a row is held for reordering, the held row moves to it.
    void FollowCursor();
    // While a row is held for reordering with the cursor on the first (or last) row shown and
    // more rows beyond it: -1 (or 1), the way the list scrolls by itself; else 0.
    int ReorderScrollStep() const;

    BOOL m_bCloseRequested = FALSE;  // FILEWND_CLOSE has been posted
    // What the back buffer shows: whether a full redraw is due, the row drawn as current,
    // and the graphics modes every row starts from.
    BOOL m_bFullRedrawDue = TRUE;
    const _FILE_INFO* m_pDrawnCurrent = nullptr;
    Gdiplus::SmoothingMode m_rowSmoothing = Gdiplus::SmoothingModeDefault;
    Gdiplus::InterpolationMode m_rowInterpolation = Gdiplus::InterpolationModeDefault;
    std::map<CString, PreparedIcon> m_icons;
    unsigned m_nDrawing = 0;
    // Scrolling: the first row shown, and what is left of a part wheel notch.
    int m_nTopRow = 0;
    int m_nWheelDelta = 0;
    // Nested loops (menu, message boxes, the shell) running inside a handler of this list:
    // meanwhile input and the timer close nothing, so the box never deletes the list under
    // a handler that is still running.
    int m_nModalDepth = 0;
    // The last time the keys put the cursor on a row: when, and where the cursor was before.
    // A mouse move queued before the placement, or echoed late by the window system, carries
    // that earlier position and is handled after it. Only within this time after the
    // placement, and only from exactly that position, is a move taken for such a late one and
    // ignored: any other move is the user's, even in a fast sweep.
    static constexpr DWORD kLateEchoMs = 400;
    BOOL m_bKeysPlacedCursor = FALSE;
    DWORD m_dwKeysPlacedTick = 0;
    POINT m_ptBeforeKeys = {0, 0};
};
