// The file list's input: hover and selection, the keys, type-ahead, the press that turns
// into a reorder, the click that opens a row, and the drag of a row out of the list.
#include "windows/CFileListWnd.h"

#include <iterator>
#include <memory>
#include <vector>

#include "core/Logger.h"
#include "core/ShellHelpers.h"
#include "framework/ScopedHandles.h"
#include "windows/CDragFile.h"
#include "windows/CDropSource.h"
#include "windows/FileListLayout.h"

using namespace FileListLayout;

namespace {

CFileListWnd::TickFn s_tick = &::GetTickCount;

}  // namespace

void CFileListWnd::SetTickHook(TickFn fn)
{
    s_tick = fn ? fn : &::GetTickCount;
}

// ---- Selection ---------------------------------------------------------------------------------

void CFileListWnd::SelectItem(_FILE_INFO* pRow)
{
    if (pRow && m_hWnd) {
        // The row comes into view first, so that the cursor lands on the list, on the row.
        ScrollTo(TopRowShowing(m_nTopRow, IndexOf(m_rows, pRow), GetVisibleRows(), static_cast<int>(m_rows.size())));
        POINT point = {pRow->rcItem.X + kSelectCursorOffset, RowTop(*pRow) + kSelectCursorOffset};
        ::ClientToScreen(m_hWnd, &point);
        m_bKeysPlacedCursor = ::GetCursorPos(&m_ptBeforeKeys);
        ::SetCursorPos(point.x, point.y);
        m_dwKeysPlacedTick = s_tick();
    }
    m_pCurrent = pRow;
    PostCurrentRowRedraw();
}

void CFileListWnd::SelectIndex(int index)
{
    if (index >= 0 && index < static_cast<int>(m_rows.size()))
        SelectItem(std::next(m_rows.begin(), index)->get());
}

void CFileListWnd::SelectPrevItem()
{
    SelectIndex(WrapIndex(IndexOf(m_rows, m_pCurrent), -1, static_cast<int>(m_rows.size())));
}

void CFileListWnd::SelectNextItem()
{
    SelectIndex(WrapIndex(IndexOf(m_rows, m_pCurrent), 1, static_cast<int>(m_rows.size())));
}

void CFileListWnd::SelectPageItem(int step)
{
    SelectIndex(PageIndex(IndexOf(m_rows, m_pCurrent), step, m_nTopRow, GetVisibleRows(),
                          static_cast<int>(m_rows.size())));
}

// ---- Scrolling ----------------------------------------------------------------------------------

LRESULT CFileListWnd::OnMouseWheel(WPARAM wParam, LPARAM)
{
    if (m_bCloseRequested || m_nModalDepth > 0 || m_bDraggingOut)
        return 0;
    UINT lines = 3;
    if (!::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    const int rows = WheelRows(m_nWheelDelta, GET_WHEEL_DELTA_WPARAM(wParam), lines, GetVisibleRows());
    if (rows != 0 && ScrollTo(m_nTopRow + rows))
        FollowCursor();
    return 0;
}

void CFileListWnd::FollowCursor()
{
    POINT cursor = {0, 0};
    if (!::GetCursorPos(&cursor) || !IsInside(cursor))
        return;
    ::ScreenToClient(m_hWnd, &cursor);
    _FILE_INFO* hit = HitTest(cursor.x, cursor.y);
    if (!hit || hit == m_pCurrent)
        return;
    if (m_nDragState == DRAG_REORDERING && m_pCurrent) {
        ++m_nMoveCount;
        MoveItem(m_pCurrent, hit);
        PostRedraw();
    } else if (m_nDragState == DRAG_NONE) {
        m_pCurrent = hit;
        PostCurrentRowRedraw();
    }
}

int CFileListWnd::ReorderScrollStep() const
{
    POINT cursor = {0, 0};
    if (m_nDragState != DRAG_REORDERING || m_nRowHeight <= 0 || !::GetCursorPos(&cursor) || !IsInside(cursor))
        return 0;
    const int row = (cursor.y - m_rect.top) / m_nRowHeight;
    const int visible = GetVisibleRows();
    if (row <= 0 && m_nTopRow > 0)
        return -1;
    if (row >= visible - 1 && m_nTopRow + visible < static_cast<int>(m_rows.size()))
        return 1;
    return 0;
}

void CFileListWnd::OnReorderScrollTimer()
{
    const int step = m_bCloseRequested || m_nModalDepth > 0 ? 0 : ReorderScrollStep();
    if (step == 0 || !ScrollTo(m_nTopRow + step)) {
        KillTimer(IDT_REORDER_SCROLL);
        return;
    }
    FollowCursor();
}

// ---- Type-ahead --------------------------------------------------------------------------------

void CFileListWnd::TypeAheadKey(UINT nKey)
{
    SetTimer(IDT_TYPEAHEAD_CLEAR, kTypeAheadMs);
    if (!ApplyTypeAheadKey(m_strTypeAhead, nKey))
        return;
    // The typed text spells an item's name: only its beginning goes to the log.
    ::Log(kLogInfo, CString(L"<filewnd> SelectItem:") + GetLogName(m_strTypeAhead) + L"\n");
    _FILE_INFO* row = FindItem(m_strTypeAhead);
    if (row)
        SelectItem(row);
}

void CFileListWnd::OnTypeAheadTimer()
{
    KillTimer(IDT_TYPEAHEAD_CLEAR);
    m_strTypeAhead.Empty();
}

CFileListWnd::_FILE_INFO* CFileListWnd::FindItem(const CString& text)
{
    std::vector<CString> names;
    names.reserve(m_rows.size());
    for (const auto& row : m_rows)
        names.push_back(row->strName);
    int matched = 0;
    const int index = FindTypeAheadMatch(names, text, &matched);
    if (index < 0)
        return nullptr;
    _FILE_INFO* row = std::next(m_rows.begin(), index)->get();
    ::Log(kLogInfo, CString(L"<filewnd> Found item:") + GetLogName(row->strName.Left(matched)) + L" find:" +
                       GetLogName(text.Left(matched)) + L"\n");
    return row;
}

// ---- Mouse -------------------------------------------------------------------------------------

void CFileListWnd::OnMouseMove(UINT nFlags, POINT point)
{
    if (m_bCloseRequested || m_nModalDepth > 0) {
        Default();
        return;
    }
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    const BOOL inside = IsInside(screen);

    if (!(nFlags & MK_LBUTTON)) {
        if (inside && !m_bDraggingOut) {
            ::SetForegroundWindow(m_hWnd);
            ::SetCapture(m_hWnd);
            // The late echo of the cursor's place before the keys moved it must not take the
            // current row from the row the keys chose; every other move takes its row.
            _FILE_INFO* hit = HitTest(point.x, point.y);
            if (hit && hit != m_pCurrent && !IsLateEchoOfKeys(screen)) {
                m_pCurrent = hit;
                PostCurrentRowRedraw();
            }
        }
    } else {
        if (m_nDragState == DRAG_REORDERING) {
            if (inside) {
                _FILE_INFO* hit = HitTest(point.x, point.y);
                if (hit && m_pCurrent && hit != m_pCurrent) {
                    ++m_nMoveCount;
                    MoveItem(m_pCurrent, hit);
                    PostRedraw();
                }
                // Held on the first or last row shown, the row goes on into the rows beyond.
                if (ReorderScrollStep() != 0)
                    SetTimer(IDT_REORDER_SCROLL, kReorderScrollMs);
            }
        } else if (!m_bDraggingOut) {
            if (!m_pCurrent) {
                m_nDragState = DRAG_NONE;
            } else if (m_nDragState == DRAG_NONE) {
                m_ptPress = point;
                m_nDragState = DRAG_PRESSED;
            } else if (m_nDragState == DRAG_PRESSED && IsReorderDrag(m_ptPress, point)) {
                m_nDragState = DRAG_REORDERING;
                m_nMoveCount = 0;
                ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
                ::Log(kLogAction, L"<filewnd> Item move start.");
            }
        }
        if (!m_bDraggingOut && m_pCurrent && !inside && m_nMoveCount == 0) {
            DragOut();
            return;
        }
    }
    Default();
}

BOOL CFileListWnd::IsLateEchoOfKeys(POINT screenPoint) const
{
    return m_bKeysPlacedCursor && s_tick() - m_dwKeysPlacedTick < kLateEchoMs &&
           screenPoint.x == m_ptBeforeKeys.x && screenPoint.y == m_ptBeforeKeys.y;
}

CString CFileListWnd::GetDragPath(const _FILE_INFO& row)
{
    switch (row.nType) {
    case Model::ITEM_TYPE_FOLDER:
    case Model::ITEM_TYPE_SHORTCUT:
    case Model::ITEM_TYPE_INTERNET_SHORTCUT:
        return row.strPath;
    case Model::ITEM_TYPE_FILE: {
        CString target;
        if (ResolveShortcut(target, row.strPath))
            return target;
        return CString();
    }
    default:
        return CString();
    }
}

void CFileListWnd::DragOut()
{
    ::ReleaseCapture();
    {
        const ScopedFlag draggingOut(m_bDraggingOut);
        m_nDragState = DRAG_NONE;
        LogValue(kLogAction, L"<filewnd> Drag out", static_cast<long>(m_pCurrent->nType));

        const CString path = GetDragPath(*m_pCurrent);
        if (!path.IsEmpty()) {
            const ScopedComPtr<Utility::CDragFile> data(new Utility::CDragFile(path));
            auto source = std::make_unique<Utility::CDropSource>();
            data->DelayRenderData(CF_HDROP);
            const DROPEFFECT effect = data->DoDragDrop(DROPEFFECT_COPY, &m_rect, source.get());
            if (effect == DROPEFFECT_COPY)
                ::Log(kLogAction, L"<filewnd> DD Copied");
            else if (effect == DROPEFFECT_NONE)
                ::Log(kLogAction, L"<filewnd> DD None");
            else
                ::Log(kLogAction, L"<filewnd> DD Other");
        } else {
            ::Log(kLogError, CString(L"<filewnd> nothing to drag:") + GetLogName(m_pCurrent->strName));
        }
    }

    Default();
    RequestClose(L"<filewnd> send destroy1");
}

void CFileListWnd::OnLButtonUp(UINT nFlags, POINT point)
{
    ::Log(kLogAction, L"<filewnd> L-up");
    ::ReleaseCapture();
    if (m_bCloseRequested || m_nModalDepth > 0) {
        m_nDragState = DRAG_NONE;
        Default();
        return;
    }
    if (m_nDragState == DRAG_REORDERING && m_nMoveCount >= 1) {
        ::Log(kLogAction, L"<filewnd> item moved.");
        m_nDragState = DRAG_NONE;
        m_nMoveCount = 0;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        CommitItemOrder();
        PostToOwner(FILEWND_UPDATE, 0);
    } else {
        m_nDragState = DRAG_NONE;
        m_nMoveCount = 0;
        if (!m_bDraggingOut) {
            POINT screen = point;
            ::ClientToScreen(m_hWnd, &screen);
            if (IsInside(screen) && m_pCurrent)
                OpenSelectedItem();
            if (m_hWnd && ::IsWindow(m_hWnd))
                RequestClose(L"<filewnd> send destroy2");
        }
    }
    Default();
}

void CFileListWnd::OnDropFiles(HDROP hDropInfo)
{
    CWnd::OnDropFiles(hDropInfo);
}

// ---- Keys --------------------------------------------------------------------------------------

void CFileListWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_bCloseRequested || m_nModalDepth > 0) {
        Default();
        return;
    }
    switch (nChar) {
    case VK_HOME:
        SelectItem(m_rows.empty() ? nullptr : m_rows.front().get());
        break;
    case VK_END:
        SelectItem(m_rows.empty() ? nullptr : m_rows.back().get());
        break;
    case VK_PRIOR:
        SelectPageItem(-1);
        break;
    case VK_NEXT:
        SelectPageItem(1);
        break;
    case VK_UP:
        SelectPrevItem();
        break;
    case VK_DOWN:
        SelectNextItem();
        break;
    case VK_RETURN:
    case VK_RIGHT:
        if (m_pCurrent)
            OpenSelectedItem();
        m_strTypeAhead.Empty();
        break;
    case VK_ESCAPE:
    case VK_LEFT:
        if (m_bMenuOpen || m_bRenameOpen)
            break;
        // Just above the list's corner, which is on the box when the list hangs below it.
        ::SetCursorPos(m_rect.left, m_rect.top - kCursorInset);
        RequestClose(L"<filewnd> send destroy3");
        break;
    case VK_DELETE:
        OnMenuDelete();
        break;
    default:
        TypeAheadKey(nChar);
        break;
    }
}
