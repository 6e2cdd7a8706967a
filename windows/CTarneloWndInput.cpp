// The box window's input: hover, move and widen by mouse, the click and the double
// click, its timers, keyboard selection, activation, keys, the hot key and dropped files.
#include "windows/CTarneloWnd.h"

#include <shlwapi.h>

#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "framework/AfxMessageBox.h"
#include "framework/ScopedHandles.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "model/StyleBounds.h"
#include "resources/resource.h"
#include "windows/BoxGeometry.h"
#include "windows/CFileListWnd.h"

namespace {

DWORD RealTick()
{
    return ::GetTickCount();
}

CTarneloWnd::TickFn s_tick = &RealTick;

// The most characters of a file name that a message about it shows.
constexpr UINT kToldNameChars = 80;

// The first two characters of a box name, as log lines carry them.
CString ShortName(const Model::CTarneloInfo* info)
{
    return info ? info->m_strName.Left(2) : CString();
}

}  // namespace

void CTarneloWnd::SetTickHook(TickFn fn)
{
    s_tick = fn ? fn : &RealTick;
}

DWORD CTarneloWnd::Tick()
{
    return s_tick();
}

POINT CTarneloWnd::CursorPos()
{
    POINT pt = {};
    ::GetCursorPos(&pt);
    return pt;
}

// ---- Selection ---------------------------------------------------------------------------------

void CTarneloWnd::Select()
{
    POINT pt = CursorPos();
    // The cursor keeps its x only over the body of the box: in the size strip (or on the right
    // edge, which lies outside the window) the box would not become hovered, and the
    // selection would be lost.
    const RECT body = GetBoxMoveStrip(m_rect);
    const int x = (pt.x >= body.left && pt.x < body.right) ? pt.x : m_rect.left + 10;
    const int y = m_rect.top + 10;
    ::SetCursorPos(x, y);
    LogValue3(kLogInfo, FormatString(L"<boxwnd> select:%s", m_pInfo ? m_pInfo->m_strName.GetString() : L""), x, y,
              static_cast<long>(reinterpret_cast<LONG_PTR>(m_hWnd)));
    POINT client = { x, y };
    ::ScreenToClient(m_hWnd, &client);
    HandleMouseMove(0, client);
    ::PostMessageW(m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
}

void CTarneloWnd::Deselect()
{
    m_bHover = FALSE;
    ::ReleaseCapture();
    PostRedraw();
}

void CTarneloWnd::SetHighlight(BOOL bHighlight)
{
    m_bHighlight = bHighlight;
    SetStyle(m_pStyle);
    PostRedraw();
}

// ---- Mouse -------------------------------------------------------------------------------------

void CTarneloWnd::OnMouseMove(UINT flags, POINT point)
{
    HandleMouseMove(flags, point);
    Default();
}

void CTarneloWnd::HandleMouseMove(UINT flags, POINT point)
{
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    if (IsBusy()) {
        ::ReleaseCapture();
        return;
    }

    if (flags & MK_LBUTTON) {
        // Only a press this box received starts or goes on with a move or a resize: the flag
        // alone may come from a press on another window (a dialog that a double click
        // closed) or from another program.
        if (!m_bPressed || (m_pConfig && m_pConfig->m_bLock))
            return;
        // An interaction under way goes on wherever the cursor is, until the button is
        // released: a resize never turns into a move when the cursor outruns the edge.
        if (m_bSizing) {
            ResizeTo(screen);
        } else if (m_bMoving) {
            DragTo(screen);
        } else if (IsInBoxMoveStrip(m_rect, screen)) {
            m_bMoving = TRUE;
            m_ptPress = point;
            m_dwPressTick = Tick();
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
            Log(kLogInfo, L"<boxwnd> start moving");
            DragTo(screen);
        } else if (IsInBoxSizeStrip(m_rect, screen)) {
            m_bSizing = TRUE;
            Log(kLogInfo, L"<boxwnd> start sizing");
            ::SetCapture(m_hWnd);
            ResizeTo(screen);
        }
        return;
    }
    // While a press lasts the box holds the mouse, so its release comes here: a move that says
    // the button is up meanwhile was queued before the press or sent by another program, and
    // ends nothing.
    if (m_bPressed)
        return;

    if (IsInBoxMoveStrip(m_rect, screen)) {
        if (!m_bHover)
            PostRedraw();
        m_bHover = TRUE;
        if (!g_bFileListOpen) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            ::SetCapture(m_hWnd);
        }
    } else if (IsInBoxSizeStrip(m_rect, screen)) {
        if (!g_bFileListOpen) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            ::SetCapture(m_hWnd);
        }
    } else {
        if (m_bHover)
            PostRedraw();
        m_bHover = FALSE;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        ::ReleaseCapture();
    }
}

void CTarneloWnd::DragTo(POINT screenPoint)
{
    ::SetCapture(m_hWnd);
    MoveUnderCursor(screenPoint);
}

void CTarneloWnd::MoveUnderCursor(POINT screenPoint)
{
    // The box stops at the screen's edges, where the start would put it back.
    const POINT at = { m_rect.left, m_rect.top };
    const BoxStep wanted = { static_cast<LONGLONG>(screenPoint.x) - m_ptPress.x - at.x,
                             static_cast<LONGLONG>(screenPoint.y) - m_ptPress.y - at.y };
    const POINT to = StepBoxCorner(at, CutBoxStep({ at }, wanted, GetVirtualScreenRect()));
    if (!m_pConfig || !m_pConfig->m_bEntirelyMoveMode || !m_pOwner || !m_pOwner->GetSafeHwnd()) {
        MoveTo(to.x, to.y);
        return;
    }
    // With every box moving together the manager cuts the step for the whole group, this box
    // included. The window moves once, where the group's step leaves it: a box shown at its
    // own place and then put back would flicker at the edge. Afterwards the step counts as
    // taken, so the same event again moves nothing.
    m_ptPrevPos = at;
    ::OffsetRect(&m_rect, to.x - at.x, to.y - at.y);
    ::SendMessageW(m_pOwner->GetSafeHwnd(), m_nBoxMsg, BOXEVENT_ENTIRELY_MOVE, 0);
    MoveTo(m_rect.left, m_rect.top);
}

void CTarneloWnd::ResizeTo(POINT screenPoint)
{
    const int minimum = m_pStyle ? Model::GetMinimumBoxWidth(*m_pStyle) : Model::kMinimumTitleWidth;
    const int width = GetBoxResizeWidth(m_rect, screenPoint.x, minimum);
    m_rect.right = m_rect.left + width;
    m_rcContent.Width = width;
    ::MoveWindow(m_hWnd, m_rect.left, m_rect.top, width, m_rect.bottom - m_rect.top, TRUE);
    PostRedraw();
}

void CTarneloWnd::OnLButtonDown(UINT, POINT point)
{
    TakePress(point);
    Default();
}

void CTarneloWnd::TakePress(POINT point)
{
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    // The box holds the mouse while hovered: a press off the box is not one on it. One on it
    // takes the mouse, so that its release, wherever it comes, ends it here.
    m_bPressed = IsPointInBoxRect(m_rect, screen);
    if (m_bPressed)
        ::SetCapture(m_hWnd);
}

LRESULT CTarneloWnd::OnCaptureChangedMsg(WPARAM, LPARAM lParam)
{
    // Another window took the mouse (a menu, a dialog, the system's cancel mode), so the
    // release will not come here. The box taking it again itself, as each step of a drag
    // does, ends nothing. The handle is only compared.
    if (reinterpret_cast<HWND>(lParam) != m_hWnd)
        EndPress();
    return Default();
}

void CTarneloWnd::EndPress()
{
    m_bPressed = FALSE;
    if (!m_bMoving && !m_bSizing)
        return;
    // The press ended without a release: the box stays as it is shown, and that is kept.
    Log(kLogInfo, L"<boxwnd> press ended without a release");
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    if (m_bMoving) {
        m_bMoving = FALSE;
        KeepShownPlace();
    } else {
        m_bSizing = FALSE;
        PostBoxEvent(BOXEVENT_UPDATE_HORIZONTAL_SIZE, m_rect.right - m_rect.left);
    }
}

void CTarneloWnd::KeepShownPlace()
{
    if (m_pInfo && (m_pInfo->m_pos.x != m_rect.left || m_pInfo->m_pos.y != m_rect.top)) {
        m_pInfo->m_pos.x = m_rect.left;
        m_pInfo->m_pos.y = m_rect.top;
        PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
    }
}

void CTarneloWnd::OnLButtonUp(UINT, POINT point)
{
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    LogValue3(kLogInfo, L"<boxwnd> L-up", m_bMoving, m_bSizing, m_bHover);
    // The press is over; the capture released below ends nothing more.
    m_bPressed = FALSE;

    if (m_bMoving) {
        const BOOL moved = IsBoxMoveLongEnough(m_dwPressTick, Tick());
        // The release may lie past the last move: the other boxes come along to it too. The
        // manager moves them only while this box is still the one moving, so this comes first.
        if (moved)
            MoveUnderCursor(screen);
        m_bMoving = FALSE;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        ::ReleaseCapture();
        if (moved) {
            Log(kLogInfo, L"<boxwnd> box moved");
            if (m_pInfo) {
                m_pInfo->m_pos.x = m_rect.left;
                m_pInfo->m_pos.y = m_rect.top;
            }
            PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
        } else {
            Log(kLogInfo, L"<boxwnd> a little moved.");
            // The window stays where the short drag left it, so the record follows it;
            // otherwise the next start would put the box back. With every box moving
            // together, the others' records were stored by their moves and need saving too.
            KeepShownPlace();
            OnClick(screen);
        }
    } else if (m_bSizing) {
        Log(kLogInfo, L"<boxwnd> horizontal size changed");
        ResizeTo(screen);
        m_bSizing = FALSE;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        ::ReleaseCapture();
        PostBoxEvent(BOXEVENT_UPDATE_HORIZONTAL_SIZE, m_rect.right - m_rect.left);
    } else {
        OnClick(screen);
    }
    Default();
}

void CTarneloWnd::OnClick(POINT screenPoint)
{
    if (!m_bHover || !IsPointInBoxRect(m_rect, screenPoint))
        return;
    Log(kLogInfo, L"<boxwnd> click");
    if (m_pFileList || g_bBoxDialogOpen)
        return;
    SetTimer(kTimerDelayedClick, kDelayedClickMs);
}

void CTarneloWnd::OnLButtonDblClk(UINT, POINT point)
{
    // The second press of a double click is a press on the box as well.
    TakePress(point);
    KillTimer(kTimerDelayedClick);
    m_bHover = FALSE;
    SetTimer(kTimerCommandPending, kCommandPendingMs);
    m_bCommandPending = TRUE;
    PostBoxEvent(BOXEVENT_EDIT_BOX, RequestId());
    Default();
}

// ---- Timers ------------------------------------------------------------------------------------

// Each timer has its own entry in the message map; a tick of any other id goes to the
// default processing.

void CTarneloWnd::OnHoverCheckTimer()
{
    if (m_bHover && !IsBusy() && !IsPointInBoxRect(m_rect, CursorPos())) {
        m_bHover = FALSE;
        PostRedraw();
    }
}

void CTarneloWnd::OnButtonCheckTimer()
{
    if (!IsBusy() && ((::GetAsyncKeyState(VK_LBUTTON) & 0x8000) || (::GetAsyncKeyState(VK_RBUTTON) & 0x8000))) {
        if (IsPointInBoxRect(m_rect, CursorPos())) {
            if (!m_bHover)
                PostRedraw();
            m_bHover = TRUE;
        } else if (m_bHover) {
            m_bHover = FALSE;
            PostRedraw();
        }
    }
}

void CTarneloWnd::OnDelayedClickTimer()
{
    KillTimer(kTimerDelayedClick);
    if (g_bFileListOpen)
        return;
    Log(kLogInfo, L"<boxwnd> delayed click");
    if (m_pInfo && !m_pInfo->m_items.empty()) {
        OpenFileList(TRUE);
    } else if (!g_bNoFileNoticeShown) {
        // One notice at a time, lowered however the message box ends.
        const ScopedFlag shown(g_bNoFileNoticeShown);
        ShowWarningMessage(IDS_NO_FILE_REGISTERED);
    }
}

void CTarneloWnd::OnCommandPendingTimer()
{
    KillTimer(kTimerCommandPending);
    m_bCommandPending = FALSE;
}

void CTarneloWnd::OnListCloseTimer()
{
    if (!m_pFileList || !m_pFileList->IsHandlingMessage()) {
        KillTimer(kTimerListClose);
        DestroyFileListWindow();
        DeleteFileList();
    }
}

// ---- Activation, keys and hot key --------------------------------------------------------------

void CTarneloWnd::OnActivate(UINT state, HWND other, BOOL minimized)
{
    LogValue3(kLogInfo, L"<boxwnd> OnActivate (st,first,act)", static_cast<long>(state), g_bFirstActivation,
              m_bKeyboardMode);
    if (state == WA_ACTIVE) {
        if (g_bFirstActivation) {
            g_bFirstActivation = FALSE;
        } else if (m_bTaskSwitcher && !IsPointInBoxRect(m_rect, CursorPos())) {
            // Alt+Tab brought the box forward: the next key selects.
            LogValue2(kLogInfo, FormatString(L"<boxwnd> activate(alt+tab):%s", ShortName(m_pInfo).GetString()),
                      m_rect.left, m_rect.top);
            m_bKeyboardMode = TRUE;
        }
    } else if (state == WA_INACTIVE) {
        m_bKeyboardMode = FALSE;
    }
    CVornWndBase::OnActivate(state, other, minimized);
}

void CTarneloWnd::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    LogValue2(kLogInfo, L"<boxwnd> key (char,act)", static_cast<long>(key), m_bKeyboardMode);
    if (m_bKeyboardMode) {
        LogValue2(kLogInfo, FormatString(L"<boxwnd> activate:%s", ShortName(m_pInfo).GetString()), m_rect.left,
                  m_rect.top);
        if (!IsPointInBoxRect(m_rect, CursorPos())) {
            Select();
            key = VK_UP;
        }
        m_bKeyboardMode = FALSE;
    }
    PostBoxEvent(BOXEVENT_KEY, static_cast<LPARAM>(key));
    CVornWndBase::OnKeyDown(key, repeat, flags);
}

void CTarneloWnd::OnHotKey(UINT id, UINT modifiers, UINT key)
{
    LogValue3(kLogInfo, L"<boxwnd> OnHotKey (id,k1,k2)", static_cast<long>(id), static_cast<long>(modifiers),
              static_cast<long>(key));
    if (m_pInfo && modifiers == m_pInfo->m_nHotKeyModifiers) {
        m_pInfo->m_nHotKeyKey = key;
        if (key != 0) {
            Select();
            PostBoxEvent(BOXEVENT_HOT_KEY_SELECTION, 0);
            ::SetForegroundWindow(m_hWnd);
            return;
        }
    }
    LogValue2(kLogInfo, L"<boxwnd> ignored.", m_pInfo ? static_cast<long>(m_pInfo->m_nHotKeyModifiers) : 0,
              m_pInfo ? static_cast<long>(m_pInfo->m_nHotKeyKey) : 0);
    ::SetForegroundWindow(m_hWnd);
}

// ---- Dropped files -----------------------------------------------------------------------------

void CTarneloWnd::OnDropFiles(HDROP hDrop)
{
    Log(kLogInfo, L"<boxwnd> OnDropFiles");
    // Every path is read (and the drop freed) before the question below runs its loop.
    std::vector<CString> paths;
    if (!ReadDroppedFiles(hDrop, paths) || RefuseFiles()) {
        Default();
        return;
    }
    int registered = 0;
    CString failures;
    for (const CString& path : paths) {
        const BOOL desktopShortcut = IsDesktopShortcut(path);
        if (desktopShortcut && m_pConfig && !m_pConfig->m_bRegisterAndMoveConfirmed) {
            Log(kLogInfo, L"<boxwnd> shortcut item dropped.");
            const int answer = ShowQuestionMessage(IDS_DELETE_DESKTOP_SHORTCUT_QUESTION);
            m_pConfig->m_bRegisterAndMove = answer == IDYES ? TRUE : FALSE;
            m_pConfig->m_bRegisterAndMoveConfirmed = TRUE;
            PostBoxEvent(BOXEVENT_UPDATE_CONFIG, 0);
        }
        const BOOL move = desktopShortcut && m_pConfig && m_pConfig->m_bRegisterAndMove;
        if (RegisterFile(path, move, failures))
            ++registered;
    }
    Default();

    // "Got it." only when something was registered: a drop that registered nothing
    // changed nothing to save. What was not registered is told beside it.
    if (registered == 0) {
        Log(kLogInfo, L"<boxwnd> nothing registered");
    } else {
        ShowNotice(IDS_GOT_IT, CPopupNoticeWnd::FULL_TICKS);
        PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
    }
    TellNotRegistered(failures);
}

BOOL CTarneloWnd::RegisterFile(const CString& path, BOOL bMove, CString& failures)
{
    if (!m_pInfo)
        return FALSE;
    DWORD error = ERROR_SUCCESS;
    if (m_pInfo->AddItem(ExtractFileName(path), path, bMove, &error))
        return TRUE;
    Log(kLogInfo, FormatString(L"<boxwnd> not registered: %s", path.GetString()));
    // A name too long for one line of the message is cut with an ellipsis, so that the reason
    // after it stays in sight.
    wchar_t name[kToldNameChars + 1] = {};
    if (!::PathCompactPathExW(name, ExtractFileName(path), kToldNameChars + 1, 0))
        ::lstrcpynW(name, ExtractFileName(path), kToldNameChars + 1);
    failures += FormatString(L"%s%s: %s", failures.IsEmpty() ? L"" : L"\n", name, GetSystemErrorText(error).GetString());
    return FALSE;
}

void CTarneloWnd::TellNotRegistered(const CString& failures)
{
    if (!failures.IsEmpty())
        AfxMessageBox(FormatString(LoadResString(IDS_FILES_NOT_REGISTERED), failures.GetString()),
                      MB_OK | MB_ICONEXCLAMATION, 0);
}

void CTarneloWnd::ShowNotice(UINT textId, int fullTicks)
{
    if (!m_pGraphics)
        Redraw();
    if (m_pStyle) {
        m_noticeWnd.Show(m_rect.left + m_pStyle->m_nIconCellWidth + 30, m_rect.bottom - 10, this, WM_NOTICEMSG,
                         m_pGraphics.get(), LoadResString(textId), m_pStyle->m_menuTextColor,
                         m_pStyle->m_strMenuFontFace, fullTicks);
    }
}

BOOL CTarneloWnd::RefuseFiles()
{
    if (!m_pInfo || !m_pInfo->m_bBoxFileUnread)
        return FALSE;
    Log(kLogWarn, L"<boxwnd> no file taken: the box file is not read");
    ShowNotice(IDS_BOX_FILE_NOT_READ, CPopupNoticeWnd::REASON_TICKS);
    return TRUE;
}

LRESULT CTarneloWnd::OnNoticeMsg(WPARAM, LPARAM)
{
    if (m_noticeWnd.GetSafeHwnd() && ::IsWindow(m_noticeWnd.GetSafeHwnd()))
        m_noticeWnd.DestroyWindow();
    return 1;
}
