#include "windows/CTarneloWnd.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "core/Logger.h"
#include "core/PathHelpers.h"
#include "core/ShellHelpers.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CSetOptionDlg.h"
#include "dialogs/CSetStyleDlg.h"
#include "framework/CWaitCursor.h"
#include "framework/CWinApp.h"
#include "model/CConfigInfo.h"
#include "model/CTarneloInfo.h"
#include "model/CTarneloStyleInfo.h"
#include "model/CTextStyle.h"
#include "model/StyleBounds.h"
#include "resources/resource.h"
#include "windows/BoxGeometry.h"
#include "windows/CFileListWnd.h"
#include "windows/CTarneloApp.h"


BOOL g_bMenuOpen = 0;
BOOL g_bFileListOpen = 0;
BOOL g_bNoFileNoticeShown = 0;
BOOL g_bFirstActivation = 1;
BOOL g_bDialogOpen = 0;

namespace {

UINT RealTrackMenu(HMENU menu, HWND owner, POINT at)
{
    return static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
}

BOOL RealPickFile(HWND owner, const CString& folder, CString& path)
{
    // Room for any path the dialog can return; the dialog reports a too-small buffer.
    std::vector<wchar_t> buffer(32768, L'\0');
    // Filter pairs separated by NULs, ended by two.
    static const wchar_t kFilter[] = L"exe Files (*.exe;*.lnk;*.bat)\0*.exe; *.lnk; *.bat\0\0";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = nullptr;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = folder.IsEmpty() ? nullptr : folder.GetString();
    ofn.Flags = OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    (void)owner;
    if (!::GetOpenFileNameW(&ofn))
        return FALSE;
    path = CString(buffer.data());
    return path.IsEmpty() ? FALSE : TRUE;
}

DWORD RealTick()
{
    return ::GetTickCount();
}

CTarneloWnd::TrackMenuFn s_trackMenu = &RealTrackMenu;
CTarneloWnd::PickFileFn s_pickFile = &RealPickFile;
CTarneloWnd::TickFn s_tick = &RealTick;

// The first two characters of a box name, as log lines carry them.
CString ShortName(const Model::CTarneloInfo* info)
{
    return info ? info->m_strName.Left(2) : CString();
}

}  // namespace

void CTarneloWnd::SetTrackMenuHook(TrackMenuFn fn)
{
    s_trackMenu = fn ? fn : &RealTrackMenu;
}

void CTarneloWnd::SetPickFileHook(PickFileFn fn)
{
    s_pickFile = fn ? fn : &RealPickFile;
}

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

BEGIN_MESSAGE_MAP(CTarneloWnd, CVornWndBase)
    ON_WM_CREATE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_RBUTTONUP, OnRButtonUpMsg)
    ON_WM_DROPFILES()
    ON_WM_TIMER()
    ON_WM_ACTIVATE()
    ON_WM_KEYDOWN()
    ON_WM_HOTKEY()
    ON_MESSAGE(WM_DISPLAYCHANGE, OnDisplayChange)
    ON_MESSAGE(WM_REDRAWMSG, OnRedrawMsg)
    ON_MESSAGE(WM_FILEWNDMSG, OnFileWndMsg)
    ON_MESSAGE(WM_NOTICEMSG, OnNoticeMsg)
    ON_COMMAND(ID_BOX_NEW, OnNewBox)
    ON_COMMAND(ID_BOX_EDIT, OnEditBox)
    ON_COMMAND(ID_BOX_DELETE, OnDeleteBox)
    ON_COMMAND(ID_REGISTER_FROM_START_MENU, OnRegisterFromStartMenu)
    ON_COMMAND(ID_REGISTER_FROM_PROGRAM_FILES, OnRegisterFromProgramFiles)
    ON_COMMAND(ID_BOX_FIX_POSITION, OnFixPosition)
    ON_COMMAND(ID_BOX_ENTIRELY_MOVE, OnEntirelyMove)
    ON_COMMAND(ID_BOX_ALIGN, OnAlignBoxes)
    ON_COMMAND(ID_BOX_STYLE, OnStyle)
    ON_COMMAND(ID_BOX_OPTIONS, OnOptions)
    ON_COMMAND(ID_APP_HELP, OnHelp)
    ON_COMMAND(ID_APP_VERSION, OnVersion)
    ON_COMMAND(ID_APP_EXIT_TARNELO, OnExit)
END_MESSAGE_MAP()

CTarneloWnd::CTarneloWnd() = default;

CTarneloWnd::~CTarneloWnd()
{
    // The window goes while every member is still alive, so that its last messages (and
    // the owned notice popup's) reach complete objects; its hot key goes with it.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::UnregisterHotKey(m_hWnd, kHotKeyId);
        DestroyWindow();
    }
    delete m_pIconImage;
    m_pIconImage = nullptr;
    DeleteFileList();
}

// ---- Creation and style ------------------------------------------------------------------------

BOOL CTarneloWnd::Create(Model::CTarneloInfo* pInfo, CWnd* pManager, UINT nBoxMsg, Model::CTarneloStyleInfo* pStyle,
                         Model::CConfigInfo* pConfig, BOOL bShowInTaskSwitcher)
{
    m_pConfig = pConfig;
    m_nBoxMsg = nBoxMsg;
    m_pStyle = pStyle;
    m_pInfo = pInfo;
    if (!pInfo || !pStyle || !pConfig) {
        Log(L"ERR!", L"<boxwnd> Create: no record, style or settings");
        return FALSE;
    }

    const CString title = CString(L"Tarnelo") + pInfo->m_strName;
    SetStyle(pStyle);

    int width = 0;
    int height = 0;
    pStyle->MeasureBox(width, height, pManager ? pManager->GetSafeHwnd() : nullptr);
    Log(L"info", FormatString(L"<boxwnd> create id:%u pos:(%ld,%ld) size:(%d,%d)", pInfo->m_nId, pInfo->m_pos.x,
                              pInfo->m_pos.y, width, height));

    if (!CVornWndBase::Create(title, pInfo->m_pos.x, pInfo->m_pos.y, width, height, pManager, FALSE, 0, 0, FALSE, 1,
                              0xFF000000, bShowInTaskSwitcher))
        return FALSE;

    ::DragAcceptFiles(m_hWnd, TRUE);
    RegisterRecordHotKey();
    PostRedraw();
    SetTimer(kTimerHoverCheck, kHoverCheckMs);
    SetTimer(kTimerButtonCheck, kButtonCheckMs);
    return TRUE;
}

BOOL CTarneloWnd::RegisterRecordHotKey()
{
    if (!m_pInfo || m_pInfo->m_nHotKeyKey == 0)
        return TRUE;
    if (!::RegisterHotKey(m_hWnd, kHotKeyId, m_pInfo->m_nHotKeyModifiers, m_pInfo->m_nHotKeyKey)) {
        // Another program (or box) holds the key (1409): say so, the box works without it.
        LogValue(L"ERR!", FormatString(L"<boxwnd> RegisterHotKey failed (%u,%u) le:", m_pInfo->m_nHotKeyModifiers,
                                       m_pInfo->m_nHotKeyKey),
                 static_cast<long>(::GetLastError()));
        return FALSE;
    }
    LogValue2(L"info", L"<boxwnd> register hot key", static_cast<long>(m_pInfo->m_nHotKeyModifiers),
              static_cast<long>(m_pInfo->m_nHotKeyKey));
    return TRUE;
}

BOOL CTarneloWnd::ReRegisterHotKey()
{
    if (!m_hWnd)
        return FALSE;
    ::UnregisterHotKey(m_hWnd, kHotKeyId);
    return RegisterRecordHotKey();
}

CString CTarneloWnd::GetName() const
{
    return m_pInfo ? m_pInfo->m_strName : CString();
}

void CTarneloWnd::SetStyle(Model::CTarneloStyleInfo* pStyle)
{
    if (!pStyle)
        return;
    try {
        if (pStyle->m_nKind == 0) {
            const Model::CTextStyle& ts = pStyle->m_titleStyle;
            m_titleText.SetTextColor(Gdiplus::Color(ts.m_textColor));
            m_titleText.SetFont(ts.m_strFontFace, ts.m_nFontSize, ts.m_nFontStyle);
            m_titleText.SetOutlineEnabled(ts.m_bOutline != 0);
            m_titleText.SetOutline(Gdiplus::Color(ts.m_outlineColor), ts.m_nOutlineThickness);
            m_titleText.SetShadowEnabled(ts.m_bShadow != 0);
            m_titleText.SetShadow(Gdiplus::Color(ts.m_shadowColor), ts.m_nShadowThickness,
                                  Gdiplus::Point(ts.m_shadowOffset.x, ts.m_shadowOffset.y));
        }
        CString iconPath;
        iconPath.Format(L"%s\\%s", CTarneloApp::GetIconsFolder().GetString(),
                        m_pInfo ? m_pInfo->m_strIcon.GetString() : L"");
        delete m_pIconImage;
        m_pIconImage = nullptr;
        m_pIconImage = new Gdiplus::Image(iconPath.GetString());
    } catch (CException* e) {
        e->Delete();
        Log(L"ERR!", L"<boxwnd> SetStyle exception.");
    } catch (...) {
        Log(L"ERR!", L"<boxwnd> SetStyle exception.");
    }
}

int CTarneloWnd::OnCreate(LPCREATESTRUCTW createStruct)
{
    return CVornWndBase::OnCreate(createStruct) == -1 ? -1 : 0;
}

// ---- Drawing -----------------------------------------------------------------------------------

void CTarneloWnd::OnCustomDraw(Gdiplus::Graphics* pGraphics)
{
    if (!pGraphics || !m_pStyle)
        return;
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;

    if (m_bHighlight && m_pStyle->m_bHotKeySelection) {
        Gdiplus::SolidBrush brush{ Gdiplus::Color(m_pStyle->m_hotKeyColor) };
        const Gdiplus::Status status = pGraphics->FillRectangle(&brush, 0, 0, width, height);
        if (status != Gdiplus::Ok)
            LogValue2(L"info", L"<boxwnd> OnCustomDraw failed1", status, static_cast<long>(::GetLastError()));
    }
    // Drawn over the highlight: the box under the cursor stands out in selection mode too.
    if (m_bHover) {
        Gdiplus::SolidBrush brush{ Gdiplus::Color(m_pStyle->m_selectedColor) };
        const Gdiplus::Status status = pGraphics->FillRectangle(&brush, 0, 0, width, height);
        if (status != Gdiplus::Ok)
            LogValue2(L"info", L"<boxwnd> OnCustomDraw failed2", status, static_cast<long>(::GetLastError()));
    }
    if (m_pStyle->m_nKind != 0)
        return;

    int titleX = 0;
    if (m_pStyle->m_nIconDisplay != 2) {
        DrawIcon(pGraphics);
        titleX = m_pStyle->m_nIconCellWidth;
    }
    const MARGINS& margins = m_pStyle->m_titleMargins;
    const Model::CTextStyle textStyle(m_pStyle->m_titleStyle);
    DrawTitle(pGraphics, titleX, 0, m_pStyle->m_nTitleWidth, height, margins.cxLeftWidth, margins.cxRightWidth,
              margins.cyTopHeight, margins.cyBottomHeight, textStyle, m_pInfo ? m_pInfo->m_strName : CString());
}

void CTarneloWnd::DrawIcon(Gdiplus::Graphics* pGraphics)
{
    int drawWidth = 0;
    int drawHeight = 0;
    if (m_pIconImage) {
        drawWidth = static_cast<int>(m_pIconImage->GetWidth());
        drawHeight = static_cast<int>(m_pIconImage->GetHeight());
        // Half size shrinks only the standard 32-pixel icons; other sizes keep their own.
        if (m_pStyle->m_nIconDisplay == 1 && drawWidth == 32) {
            drawWidth = 16;
            drawHeight /= 2;
        }
    }

    if (m_pStyle->m_bIconBackground) {
        const int cellW = m_pStyle->m_nIconCellWidth;
        const int cellH = m_pStyle->m_nIconCellHeight;
        if (m_pStyle->m_nIconBackShape == 1) {
            Gdiplus::ARGB color = m_pStyle->m_iconBackColor;
            if ((color >> 24) == 0xFF)
                color = (color & 0x00FFFFFFu) | 0xFE000000u;
            Gdiplus::SolidBrush brush{ Gdiplus::Color(color) };
            const Gdiplus::Status status = pGraphics->FillRectangle(&brush, 0, 0, cellW, cellH);
            if (status != Gdiplus::Ok)
                LogValue2(L"info", L"<boxwnd> DrawIcon failed1", status, static_cast<long>(::GetLastError()));
        } else if (m_pStyle->m_nIconBackShape == 2) {
            FillRoundRect(pGraphics, 0, 0, cellW, cellH, Gdiplus::Color(m_pStyle->m_iconBackColor), cellW < 30 ? 2 : 3);
        }
    }

    if (!m_pIconImage)
        return;
    const Gdiplus::Status status =
        pGraphics->DrawImage(m_pIconImage, m_pStyle->m_iconPos.x, m_pStyle->m_iconPos.y, drawWidth, drawHeight);
    if (status != Gdiplus::Ok)
        LogValue2(L"info", L"<boxwnd> DrawIcon failed2", status, static_cast<long>(::GetLastError()));
}

void CTarneloWnd::DrawTitle(Gdiplus::Graphics* pGraphics, int x, int y, int w, int h, int left, int right, int top,
                            int bottom, const Model::CTextStyle& textStyle, const CString& name)
{
    const Gdiplus::Rect layout(x + left, y + top, w - right - left, h - bottom - top);
    m_titleText.SetOutlineEnabled(textStyle.m_bOutline != 0);
    m_titleText.SetShadowEnabled(textStyle.m_bShadow != 0);
    m_titleText.SetShadow(Gdiplus::Color(textStyle.m_shadowColor), textStyle.m_nShadowThickness,
                          Gdiplus::Point(textStyle.m_shadowOffset.x, textStyle.m_shadowOffset.y));
    m_titleText.Draw(pGraphics, layout, textStyle.m_format, name.GetString());
}

void CTarneloWnd::AddRoundRectPath(Gdiplus::GraphicsPath* pPath, int x, int y, int w, int h, int d)
{
    if (!pPath)
        return;
    pPath->Reset();
    int s = w < h ? w : h;
    if (d < s)
        s = d;
    pPath->AddArc(x, y, s, s, 180.0f, 90.0f);
    pPath->AddArc(x + w - s - 1, y, s, s, 270.0f, 90.0f);
    pPath->AddArc(x + w - s - 1, y + h - s - 1, s, s, 0.0f, 90.0f);
    pPath->AddArc(x, y + h - s - 1, s, s, 90.0f, 90.0f);
    pPath->CloseFigure();
}

void CTarneloWnd::DrawRoundRect(Gdiplus::Graphics* pGraphics, Gdiplus::Brush* pBrush, int x, int y, int w, int h,
                                int radius, Gdiplus::Color color)
{
    if (!pGraphics || !pBrush)
        return;
    pGraphics->SetPageUnit(Gdiplus::UnitPixel);
    Gdiplus::Pen pen(color, 1.0f);
    pen.SetAlignment(Gdiplus::PenAlignmentCenter);
    Gdiplus::GraphicsPath path;
    AddRoundRectPath(&path, x, y, w, h, 2 * radius);
    pGraphics->FillPath(pBrush, &path);
    pGraphics->DrawPath(&pen, &path);
}

void CTarneloWnd::FillRoundRect(Gdiplus::Graphics* pGraphics, int x, int y, int w, int h, Gdiplus::Color color,
                                int radius)
{
    Gdiplus::SolidBrush brush(color);
    DrawRoundRect(pGraphics, &brush, x, y, w, h, radius, color);
}

LRESULT CTarneloWnd::OnRedrawMsg(WPARAM, LPARAM)
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        Redraw();
    return 1;
}

// ---- Geometry ----------------------------------------------------------------------------------

void CTarneloWnd::ResizeBox(int width, int height)
{
    m_rect.right = m_rect.left + width;
    m_rect.bottom = m_rect.top + height;
    m_rcContent.Width = width;
    m_rcContent.Height = height;
    if (m_hWnd)
        ::MoveWindow(m_hWnd, m_rect.left, m_rect.top, width, height, TRUE);
}

void CTarneloWnd::MoveBoxTo(int x, int y)
{
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    m_rect = RECT{ x, y, x + width, y + height };
    if (m_pInfo) {
        m_pInfo->m_pos.x = x;
        m_pInfo->m_pos.y = y;
    }
    if (m_hWnd)
        ::MoveWindow(m_hWnd, x, y, width, height, TRUE);
}

LRESULT CTarneloWnd::OnDisplayChange(WPARAM, LPARAM)
{
    if (m_pInfo && m_pInfo->AdjustPosition()) {
        const int width = m_rect.right - m_rect.left;
        const int height = m_rect.bottom - m_rect.top;
        m_rect = RECT{ m_pInfo->m_pos.x, m_pInfo->m_pos.y, m_pInfo->m_pos.x + width, m_pInfo->m_pos.y + height };
        ::SetWindowPos(m_hWnd, nullptr, m_rect.left, m_rect.top, 0, 0,
                       SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
        // A box brought back onto a smaller screen must be movable even when fixed.
        if (m_pConfig)
            m_pConfig->m_bLock = FALSE;
    }
    return 0;
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
    LogValue3(L"info", FormatString(L"<boxwnd> select:%s", m_pInfo ? m_pInfo->m_strName.GetString() : L""), x, y,
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

// ---- Events ------------------------------------------------------------------------------------

void CTarneloWnd::PostBoxEvent(WPARAM code, LPARAM value)
{
    if (m_pOwner && m_pOwner->GetSafeHwnd())
        ::PostMessageW(m_pOwner->GetSafeHwnd(), m_nBoxMsg, code, value);
}

void CTarneloWnd::PostRedraw()
{
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_REDRAWMSG, 0, 0);
}

BOOL CTarneloWnd::IsBusy() const
{
    return (g_bDialogOpen || g_bMenuOpen || g_bFileListOpen || g_bBoxDialogOpen || m_bCommandPending) ? TRUE : FALSE;
}

BOOL CTarneloWnd::IsRunningLoop() const
{
    return IsHandlingMessage() || (m_pFileList && m_pFileList->IsHandlingMessage()) ? TRUE : FALSE;
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
        if (m_pConfig && m_pConfig->m_bLock)
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
            Log(L"info", L"<boxwnd> start moving");
            DragTo(screen);
        } else if (IsInBoxSizeStrip(m_rect, screen)) {
            m_bSizing = TRUE;
            Log(L"info", L"<boxwnd> start sizing");
            ::SetCapture(m_hWnd);
            ResizeTo(screen);
        }
        return;
    }

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
    MoveTo(screenPoint.x - m_ptPress.x, screenPoint.y - m_ptPress.y);
    if (m_pConfig && m_pConfig->m_bEntirelyMoveMode && m_pOwner && m_pOwner->GetSafeHwnd())
        ::SendMessageW(m_pOwner->GetSafeHwnd(), m_nBoxMsg, BOXEVENT_ENTIRELY_MOVE, 0);
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

void CTarneloWnd::OnLButtonUp(UINT, POINT point)
{
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    LogValue3(L"info", L"<boxwnd> L-up", m_bMoving, m_bSizing, m_bHover);

    if (m_bMoving) {
        m_bMoving = FALSE;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        ::ReleaseCapture();
        if (IsBoxMoveLongEnough(m_dwPressTick, Tick())) {
            Log(L"info", L"<boxwnd> box moved");
            MoveTo(screen.x - m_ptPress.x, screen.y - m_ptPress.y);
            if (m_pInfo) {
                m_pInfo->m_pos.x = m_rect.left;
                m_pInfo->m_pos.y = m_rect.top;
            }
            PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
        } else {
            Log(L"info", L"<boxwnd> a little moved.");
            // The window stays where the short drag left it, so the record follows it;
            // otherwise the next start would put the box back. With every box moving
            // together, the others' records were stored by their moves and need saving too.
            if (m_pInfo && (m_pInfo->m_pos.x != m_rect.left || m_pInfo->m_pos.y != m_rect.top)) {
                m_pInfo->m_pos.x = m_rect.left;
                m_pInfo->m_pos.y = m_rect.top;
                PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
            }
            OnClick(screen);
        }
    } else if (m_bSizing) {
        Log(L"info", L"<boxwnd> horizontal size changed");
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
    Log(L"info", L"<boxwnd> click");
    if (m_pFileList || g_bBoxDialogOpen)
        return;
    SetTimer(kTimerDelayedClick, kDelayedClickMs);
}

void CTarneloWnd::OnLButtonDblClk(UINT, POINT)
{
    KillTimer(kTimerDelayedClick);
    m_bHover = FALSE;
    SetTimer(kTimerCommandPending, kCommandPendingMs);
    m_bCommandPending = TRUE;
    PostBoxEvent(BOXEVENT_EDIT_BOX, reinterpret_cast<LPARAM>(this));
    Default();
}

// ---- Timers ------------------------------------------------------------------------------------

void CTarneloWnd::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kTimerHoverCheck:
        if (m_bHover && !IsBusy() && !IsPointInBoxRect(m_rect, CursorPos())) {
            m_bHover = FALSE;
            PostRedraw();
        }
        break;
    case kTimerButtonCheck:
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
        break;
    case kTimerDelayedClick:
        KillTimer(kTimerDelayedClick);
        if (g_bFileListOpen)
            break;
        Log(L"info", L"<boxwnd> delayed click");
        if (m_pInfo && !m_pInfo->m_items.empty()) {
            OpenFileList(TRUE);
        } else if (!g_bNoFileNoticeShown) {
            g_bNoFileNoticeShown = TRUE;
            ShowWarningMessage(IDS_NO_FILE_REGISTERED);
            g_bNoFileNoticeShown = FALSE;
        }
        break;
    case kTimerCommandPending:
        KillTimer(kTimerCommandPending);
        m_bCommandPending = FALSE;
        break;
    case kTimerListClose:
        if (!m_pFileList || !m_pFileList->IsHandlingMessage()) {
            KillTimer(kTimerListClose);
            DestroyFileListWindow();
            DeleteFileList();
        }
        break;
    default:
        break;
    }
    Default();
}

// ---- File list and items -----------------------------------------------------------------------

void CTarneloWnd::OpenFileList(BOOL bMoveCursor)
{
    // One list at a time: this box's own list may still be on its way out.
    if (g_bFileListOpen || g_bBoxDialogOpen || m_pFileList || !m_pInfo || m_pInfo->m_items.empty())
        return;
    m_pFileList = new CFileListWnd();
    if (!m_pFileList->Open(m_pInfo, m_pGraphics, this, WM_FILEWNDMSG, m_pStyle, m_pConfig, bMoveCursor)) {
        // A list that never came up sends no close message: forget it here, or the box
        // would refuse every later click.
        DeleteFileList();
    }
}

LRESULT CTarneloWnd::OnFileWndMsg(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case FILEWND_UPDATE:
        Log(L"info", L"<boxwnd> UPDATE msg from fileWnd");
        PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
        break;
    case FILEWND_OPEN:
        Log(L"info", L"<boxwnd> OPEN msg from fileWnd");
        if (m_pFileList) {
            // The list's WM_DESTROY asks for the object to be deleted (FILEWND_CLOSE).
            DestroyFileListWindow();
            ExecuteItem(static_cast<int>(lParam));
        }
        break;
    case FILEWND_CLOSE:
        Log(L"info", L"<boxwnd> CLOSE msg from fileWnd");
        // Only the list that asked is deleted: a close request still queued from an
        // earlier list must not delete the one open now.
        if (m_pFileList && lParam == reinterpret_cast<LPARAM>(m_pFileList)) {
            if (m_pFileList->IsHandlingMessage()) {
                // A loop run by one of the list's handlers dispatched this: the list goes
                // once that handler has returned.
                Log(L"info", L"<boxwnd> list close waits for an open menu or dialog");
                SetTimer(kTimerListClose, kListCloseMs);
            } else {
                DestroyFileListWindow();
                DeleteFileList();
            }
        } else {
            Log(L"info", L"<boxwnd> close msg of another list ignored");
        }
        break;
    default:
        break;
    }
    return 1;
}

void CTarneloWnd::DestroyFileListWindow()
{
    if (m_pFileList && m_pFileList->GetSafeHwnd() && ::IsWindow(m_pFileList->GetSafeHwnd()))
        m_pFileList->DestroyWindow();
}

void CTarneloWnd::DeleteFileList()
{
    delete m_pFileList;
    m_pFileList = nullptr;
}

void CTarneloWnd::ExecuteItem(int index)
{
    CWaitCursor wait;
    if (!m_pInfo || index < 0)
        return;
    auto it = m_pInfo->m_items.begin();
    for (int i = 0; i < index && it != m_pInfo->m_items.end(); ++i)
        ++it;
    if (it == m_pInfo->m_items.end())
        return;
    const CString path = it->strPath;

    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", path.GetString(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32)
        return;
    LogValue(L"ERR!", L"<boxwnd> ShellExecute failed:", static_cast<long>(result));
    CString target;
    if (ResolveShortcut(target, path)) {
        const INT_PTR again = reinterpret_cast<INT_PTR>(
            ::ShellExecuteW(nullptr, L"open", target.GetString(), nullptr, nullptr, SW_SHOWNORMAL));
        if (again <= 32)
            LogValue(L"ERR!", L"<boxwnd> ShellExecute failed again:", static_cast<long>(again));
    } else {
        LogValue(L"ERR!", L"<boxwnd> GetRealFilePath failed:", static_cast<long>(::GetLastError()));
    }
}

// ---- Menu --------------------------------------------------------------------------------------

LRESULT CTarneloWnd::OnRButtonUpMsg(WPARAM wParam, LPARAM lParam)
{
    OnRButtonUp(static_cast<UINT>(wParam),
                POINT{ static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) });
    return Default();
}

void CTarneloWnd::OnRButtonUp(UINT, POINT)
{
    Log(L"info", L"<boxwnd> R-up");
    if (IsBusy() || !m_hWnd)
        return;

    HMENU menu = ::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_BOX_MENU));
    HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
    if (!popup) {
        LogValue(L"ERR!", L"<boxwnd> LoadMenu failed:", static_cast<long>(::GetLastError()));
        if (menu)
            ::DestroyMenu(menu);
        return;
    }
    g_bMenuOpen = TRUE;
    const BOOL locked = m_pConfig && m_pConfig->m_bLock;
    const BOOL entirely = m_pConfig && m_pConfig->m_bEntirelyMoveMode;
    ::CheckMenuItem(popup, ID_BOX_FIX_POSITION, MF_BYCOMMAND | (locked ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(popup, ID_BOX_ENTIRELY_MOVE, MF_BYCOMMAND | (entirely ? MF_CHECKED : MF_UNCHECKED));

    Log(L"info", L"<boxwnd> show menu");
    HWND owner = m_hWnd;
    while ((::GetWindowLongW(owner, GWL_STYLE) & WS_CHILD) && ::GetParent(owner))
        owner = ::GetParent(owner);
    // A menu whose owner is not in the foreground is never dismissed by a click elsewhere:
    // bring the owner forward first, and let it process a message after the menu closes.
    ::SetForegroundWindow(owner);
    const UINT command = s_trackMenu(popup, owner, CursorPos());
    ::PostMessageW(owner, WM_NULL, 0, 0);
    g_bMenuOpen = FALSE;
    ::DestroyMenu(menu);

    // The command arrives as the menu's own would: after the menu has gone.
    if (command != 0)
        ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void CTarneloWnd::OnNewBox()
{
    m_bHover = FALSE;
    PostBoxEvent(BOXEVENT_ADD_BOX, reinterpret_cast<LPARAM>(this));
}

void CTarneloWnd::OnEditBox()
{
    m_bHover = FALSE;
    SetTimer(kTimerCommandPending, kCommandPendingMs);
    m_bCommandPending = TRUE;
    PostBoxEvent(BOXEVENT_EDIT_BOX, reinterpret_cast<LPARAM>(this));
}

void CTarneloWnd::OnDeleteBox()
{
    SetTimer(kTimerCommandPending, kCommandPendingMs);
    m_bCommandPending = TRUE;
    PostBoxEvent(BOXEVENT_DELETE_BOX, reinterpret_cast<LPARAM>(this));
}

void CTarneloWnd::OnRegisterFromStartMenu()
{
    RegisterProgram(GetCommonStartMenuFolder());
}

void CTarneloWnd::OnRegisterFromProgramFiles()
{
    RegisterProgram(GetProgramFilesFolder());
}

void CTarneloWnd::RegisterProgram(const CString& folder)
{
    CString path;
    if (!s_pickFile(m_hWnd, folder, path) || !m_pInfo)
        return;
    if (m_pInfo->AddItem(ExtractFileName(path), path, FALSE))
        PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
    else
        Log(L"info", L"<boxwnd> program not registered");
}

void CTarneloWnd::OnFixPosition()
{
    if (!m_pConfig)
        return;
    m_pConfig->m_bLock = m_pConfig->m_bLock ? FALSE : TRUE;
    PostBoxEvent(BOXEVENT_UPDATE_CONFIG, 0);
}

void CTarneloWnd::OnEntirelyMove()
{
    if (!m_pConfig)
        return;
    m_pConfig->m_bEntirelyMoveMode = m_pConfig->m_bEntirelyMoveMode ? FALSE : TRUE;
    PostBoxEvent(BOXEVENT_UPDATE_CONFIG, 0);
}

void CTarneloWnd::OnAlignBoxes()
{
    PostBoxEvent(BOXEVENT_ALIGN_WINDOW, 0);
}

void CTarneloWnd::OnStyle()
{
    m_bHover = FALSE;
    if (!m_pStyle)
        return;
    // The dialog posts its own previews (lParam 1); the final event says whether the
    // manager saves the style or reloads it from its file.
    CSetStyleDlg dialog;
    dialog.m_pTargetWnd = m_pOwner;
    dialog.m_nTargetMessage = m_nBoxMsg;
    dialog.m_nTargetParam = BOXEVENT_UPDATE_STYLE;
    dialog.m_pStyle = m_pStyle;
    const INT_PTR result = dialog.DoModal();
    PostBoxEvent(result == IDOK ? BOXEVENT_UPDATE_STYLE : BOXEVENT_RESTORE_STYLE, 0);
}

void CTarneloWnd::OnOptions()
{
    m_bHover = FALSE;
    // The dialog works on the application's box list and settings.
    auto* app = dynamic_cast<CTarneloApp*>(AfxGetApp());
    CSetOptionDlg dialog(app ? &app->m_infoManager : nullptr, app ? &app->m_config : m_pConfig);
    if (dialog.DoModal() != IDOK)
        return;
    PostBoxEvent(BOXEVENT_UPDATE_CONFIG, 0);
    PostBoxEvent(BOXEVENT_UPDATE_HOT_KEY, 0);
}

void CTarneloWnd::OnHelp()
{
    m_bHover = FALSE;
    const CString address = LoadResString(IDS_HELP_PAGE_URL);
    if (address.IsEmpty())
        return;
    ::ShellExecuteW(m_hWnd, L"open", address.GetString(), nullptr, nullptr, SW_SHOW);
}

void CTarneloWnd::OnVersion()
{
    m_bHover = FALSE;
    CAboutDlg dialog(this);
    dialog.DoModal();
}

void CTarneloWnd::OnExit()
{
    if (ShowQuestionMessage(IDS_EXIT_QUESTION) == IDYES)
        PostBoxEvent(BOXEVENT_EXIT_APP, 0);
}

// ---- Activation, keys and hot key --------------------------------------------------------------

void CTarneloWnd::OnActivate(UINT state, HWND other, BOOL minimized)
{
    LogValue3(L"info", L"<boxwnd> OnActivate (st,first,act)", static_cast<long>(state), g_bFirstActivation,
              m_bKeyboardMode);
    if (state == WA_ACTIVE) {
        if (g_bFirstActivation) {
            g_bFirstActivation = FALSE;
        } else if (m_bTaskSwitcher && !IsPointInBoxRect(m_rect, CursorPos())) {
            // Alt+Tab brought the box forward: the next key selects.
            LogValue2(L"info", FormatString(L"<boxwnd> activate(alt+tab):%s", ShortName(m_pInfo).GetString()),
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
    LogValue2(L"info", L"<boxwnd> key (char,act)", static_cast<long>(key), m_bKeyboardMode);
    if (m_bKeyboardMode) {
        LogValue2(L"info", FormatString(L"<boxwnd> activate:%s", ShortName(m_pInfo).GetString()), m_rect.left,
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
    LogValue3(L"info", L"<boxwnd> OnHotKey (id,k1,k2)", static_cast<long>(id), static_cast<long>(modifiers),
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
    LogValue2(L"info", L"<boxwnd> ignored.", m_pInfo ? static_cast<long>(m_pInfo->m_nHotKeyModifiers) : 0,
              m_pInfo ? static_cast<long>(m_pInfo->m_nHotKeyKey) : 0);
    ::SetForegroundWindow(m_hWnd);
}

// ---- Dropped files -----------------------------------------------------------------------------

void CTarneloWnd::OnDropFiles(HDROP hDrop)
{
    Log(L"info", L"<boxwnd> OnDropFiles");
    const UINT count = ::DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0);
    int registered = 0;
    for (UINT i = 0; i < count; ++i) {
        // Each path is read whole: ask for its length first (a path may pass MAX_PATH).
        const UINT length = ::DragQueryFileW(hDrop, i, nullptr, 0);
        if (length == 0) {
            LogValue(L"info", L"<boxwnd> empty dropped path skipped:", static_cast<long>(i));
            continue;
        }
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
        const UINT copied = ::DragQueryFileW(hDrop, i, buffer.data(), length + 1);
        const CString path(buffer.data(), static_cast<int>(copied < length ? copied : length));
        if (path.IsEmpty()) {
            LogValue(L"info", L"<boxwnd> empty dropped path skipped:", static_cast<long>(i));
            continue;
        }

        const BOOL desktopShortcut = IsDesktopShortcut(path);
        if (desktopShortcut && m_pConfig && !m_pConfig->m_bRegisterAndMoveConfirmed) {
            Log(L"info", L"<boxwnd> shortcut item dropped.");
            const int answer = ShowQuestionMessage(IDS_DELETE_DESKTOP_SHORTCUT_QUESTION);
            m_pConfig->m_bRegisterAndMove = answer == IDYES ? TRUE : FALSE;
            m_pConfig->m_bRegisterAndMoveConfirmed = TRUE;
            PostBoxEvent(BOXEVENT_UPDATE_CONFIG, 0);
        }
        const BOOL move = desktopShortcut && m_pConfig && m_pConfig->m_bRegisterAndMove;
        if (m_pInfo && m_pInfo->AddItem(ExtractFileName(path), path, move))
            ++registered;
        else
            Log(L"info", L"<boxwnd> dropped path not registered");
    }
    ::DragFinish(hDrop);
    Default();

    // "Got it." only when something was registered: a drop that registered nothing
    // changed nothing to save.
    if (registered == 0) {
        Log(L"info", L"<boxwnd> nothing registered");
        return;
    }
    if (!m_pGraphics)
        Redraw();
    if (m_pStyle) {
        m_noticeWnd.Show(m_rect.left + m_pStyle->m_nIconCellWidth + 30, m_rect.bottom - 10, this, WM_NOTICEMSG,
                         m_pGraphics, LoadResString(IDS_GOT_IT), m_pStyle->m_menuTextColor,
                         m_pStyle->m_strMenuFontFace);
    }
    PostBoxEvent(BOXEVENT_UPDATE_BOX_INFO, 0);
}

LRESULT CTarneloWnd::OnNoticeMsg(WPARAM, LPARAM)
{
    if (m_noticeWnd.GetSafeHwnd() && ::IsWindow(m_noticeWnd.GetSafeHwnd()))
        m_noticeWnd.DestroyWindow();
    return 1;
}
